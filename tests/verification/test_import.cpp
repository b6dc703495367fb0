// Importing Verify.csv with both options: what is added, updated, refused, and
// what the clerk is asked and shown on the way.
#include "verification_support.h"

#include "verification/verifycsv.h"
#include "verification/verifyimport.h"
#include "services/screens/Form_InformationDialog.h"
#include "services/sharedstate.h"

#include "platform/files/textdecoder.h"
#include "platform/files/textfile.h"
#include "platform/text/csv.h"
#include "platform/text/vb.h"

#include <QRegularExpression>
#include <random>
#include <sqlite3.h>

using ui::Answer;
using ui::Buttons;
using ui::Icon;
using verifyimport::ImportVerifyCsv;
using verifyimport::kOption1;
using verifyimport::kOption2;

namespace {

class Import : public VerificationTest {
protected:
    void SetUp() override
    {
        VerificationTest::SetUp();
        addCodes();
    }

    bool import(const QString& option)
    {
        return ImportVerifyCsv(option, csvPath(), [this] { ++refreshes; });
    }
    // The question option 2 asks first when the list holds folios: Yes.
    void confirmReplacing()
    {
        ui().expectBox(box(ui::containing("Replace the list?"), Answer::Yes, Icon::Question, Buttons::YesNo));
    }
    bool importReplacing()
    {
        confirmReplacing();
        return import(kOption2);
    }

    int refreshes = 0;
};

TEST_F(Import, AMissingOrEmptyFileIsReportedAndChangesNothing)
{
    // An empty file is as good as none (a missing one is tried from the list).
    addVerify(" |1234|9|01|701|000000000000000001||A");
    writeCsv("");
    ui().expectBox(box("Verify.csv file is NOT found: " + csvPath(), Answer::OK, Icon::None, Buttons::OK,
                       QStringLiteral("Verify.csv file is missing")));
    EXPECT_FALSE(import(kOption2));
    EXPECT_EQ(verifyRows().size(), 1);
    EXPECT_EQ(refreshes, 0);
}

// Option 1 updates the first row in the list's order whose jurisdiction and
// folio match, the folios compared in their 18-digit form on both sides (a
// workbook brings them as typed), and adds the rest.
TEST_F(Import, OptionOneUpdatesTheMatchingRowAndAddsTheRest)
{
    addVerify(" |1234|M-1|01|701|000000000000000011||OLD ONE|OLD ST|||||OLD LEGAL");
    addVerify("A|1234|m-2|01|702|000000000000000022||OLD TWO");
    addVerify("D|1234|M-3|02|703|000000000000000033||OLD THREE");
    addVerify(" |1234|M-4|03|704||444444444|OLD FOUR");
    addVerify(" |1234|M-B|01|701|1||SECOND IN NUMBER ORDER");
    addVerify(" |1234|M-A|01|701|0001||FIRST IN NUMBER ORDER");
    addVerify(" |1234|M-6|01|702|123-456||SIX");
    DE().rsVerify();    // ordered by NUMBER
    writeCsv("D,9999,M-1,01,701,11,,NEW ONE,NEW ST,,,,,NEW LEGAL\r\n"     // same number: status from the file
             ",1234,m-2,01,702,22,,NEW TWO\r\n"                          // the row's own number: status from the file
             ",1234,M-33,02,703,0033,,NEW THREE\r\n"                     // other number: "C"
             "A,1234,M-4,03,704,,444444444,NEW FOUR\r\n"                 // matched by PID
             ",1234,M-A,01,701,1,,UPDATED\r\n"
             ",1234,M-6,01,702,123456,,SIX AGAIN\r\n"
             "A,\t1234,M-5,03,705,55,,FIVE\tJOHN,\t1 THE MEWS\r\n");     // new; a tab is one blank
    EXPECT_TRUE(import(kOption1));
    EXPECT_EQ(verifyRows(), (QStringList{
                                "D|1234|M-1|01|701|000000000000000011||NEW ONE|NEW ST|||||NEW LEGAL",
                                " |1234|m-2|01|702|000000000000000022||NEW TWO||||||",
                                "C|1234|M-3|02|703|000000000000000033||NEW THREE||||||",
                                "A|1234|M-4|03|704||444444444|NEW FOUR||||||",
                                " |1234|M-B|01|701|1||SECOND IN NUMBER ORDER||||||",
                                " |1234|M-A|01|701|0001||UPDATED||||||",
                                " |1234|M-6|01|702|123-456||SIX AGAIN||||||",
                                "A|1234|M-5|03|705|000000000000000055||FIVE JOHN| 1 THE MEWS|||||",
                            }));
    EXPECT_EQ(refreshes, 1);
    EXPECT_TRUE(DE().rsVerify().isOpen());
}

TEST_F(Import, AFileWithoutTheStatusFieldIsReadFromTheCompany)
{
    writeCsv("1234,M-1,01,701,1,,ONE,,,,,,LEGAL\r\n1234,M-2,01,702,2,,TWO\r\n");
    EXPECT_TRUE(import(kOption2));
    EXPECT_EQ(verifyRows(), (QStringList{" |1234|M-1|01|701|000000000000000001||ONE||||||LEGAL",
                                         " |1234|M-2|01|702|000000000000000002||TWO||||||"}));

    // One line that begins with a comma makes the whole file one of fourteen fields.
    const QString shifted = QStringLiteral("1234,M-3,01,701,3,,THREE");
    writeCsv(shifted.toLatin1() + "\r\n,1234,M-4,01,702,4,,FOUR\r\n");
    confirmReplacing();
    expectRejection(ui(), "Property Identifier is NOT numeric.", shifted);
    EXPECT_TRUE(import(kOption2));
    EXPECT_EQ(verifyRows(), (QStringList{" |1234|M-4|01|702|000000000000000004||FOUR||||||"}));
}

TEST_F(Import, SixRejectionsBringTheQuestionAndNoStops)
{
    const QStringList bad = {",1", ",2", ",3", ",4", ",5", ",6", ",7", ",8", ",9", ",10", ",11", ",12"};
    const auto question = [](Answer a) {
        return box("There has been a number of errors... do you want to Continue ?", a, Icon::None,
                        Buttons::YesNo, QStringLiteral("Multiple Verification Folio Errors"));
    };
    QByteArray file = "A,1234,M-0,01,701,1,,KEPT\r\n";
    for (const QString& b : bad)
        file += b.toLatin1() + "\r\n";
    file += "A,1234,M-9,01,702,9,,NEVER READ\r\n";
    writeCsv(file);
    for (int i = 0; i < 6; ++i)
        expectRejection(ui(), "Mortgage Number is MISSING", bad[i]);
    ui().expectBox(question(Answer::Yes));
    for (int i = 6; i < 12; ++i)
        expectRejection(ui(), "Mortgage Number is MISSING", bad[i]);
    ui().expectBox(question(Answer::No));
    EXPECT_FALSE(import(kOption1));     // option 1 keeps what it stored
    EXPECT_EQ(verifyRows(), (QStringList{"A|1234|M-0|01|701|000000000000000001||KEPT||||||"}));
    EXPECT_EQ(refreshes, 1);    // the list shows what was stored
}

// Option 2 deletes the list and stores the file's records as one unit (a stop
// at the continue question is tried from the list).
TEST_F(Import, OptionTwoPutsTheOldListBackWhenItStoresNothingOrFails)
{
    addVerify("A|1234|OLD|01|701|000000000000000099||KEPT");
    const QStringList before = verifyRows();
    writeCsv(",12,M-1,01,701,1\r\n");
    confirmReplacing();
    expectRejection(ui(), "Mortgage Company ID is NOT four characters long", ",12,M-1,01,701,1");
    ui().expectBox(box("No record of " + csvPath() + " could be imported.\r\nThe list was left as it was.",
                       Answer::OK, Icon::Information, Buttons::OK));
    EXPECT_FALSE(import(kOption2));
    EXPECT_EQ(verifyRows(), before);

    de().Zarv.execute("CREATE TRIGGER refuse BEFORE INSERT ON VERIFY WHEN NEW.NAME = 'REFUSED' "
                      "BEGIN SELECT RAISE(ABORT, 'refused'); END");
    writeCsv("A,1234,M-0,01,701,1,,STORED FIRST\r\nA,1234,M-1,01,701,2,,REFUSED\r\n");
    confirmReplacing();
    ui().expectBox(box(ui::containing("No record of this import was kept.\r\nThe list was left as it was."),
                       Answer::OK, Icon::Critical));
    EXPECT_FALSE(import(kOption2));
    EXPECT_EQ(verifyRows(), before);
    EXPECT_EQ(recordsetRows(), before);     // and the list shows it
    EXPECT_FALSE(DE().Zarv.inTransaction());
    EXPECT_EQ(refreshes, 2);
}

// A status the workbook load takes with a warning does not show the file as
// one with statuses; its own lines still do.
TEST_F(Import, AListWhoseOnlyStatusIsAnotherLetterComesBackToo)
{
    addVerify("X|1234|M-1|01|701|000000000000000001||ONE");
    const QStringList before = verifyRows();
    QString step;
    verifycsv::WriteVerifyCsv(DE().rsVerify(), csvPath(), step, {});
    for (const QString& option : {kOption1, kOption2}) {
        SCOPED_TRACE(option.toStdString());
        EXPECT_TRUE(option == kOption2 ? importReplacing() : import(option));
        EXPECT_EQ(verifyRows(), before);
    }
}

// What a spreadsheet program does to an exported file when it saves it again.
struct Resave {
    const char* name;
    bool numbers;       // all-digit fields as numbers: leading zeros dropped, past 15 digits in exponent form
    bool quoteAll;      // every field in double quotes
    bool utf8;
    bool mark;          // a UTF-8 byte-order mark
    const char* end;    // the line end
};

const Resave kResaves[] = {
    {"as exported", false, false, false, false, "\r\n"},
    {"LibreOffice", true, false, true, false, "\n"},
    {"Excel CSV UTF-8", true, true, true, true, "\r\n"},
    {"quoted, Windows-1252", false, true, false, false, "\r\n"},
    {"numbers, Windows-1252", true, false, false, false, "\r\n"},
};

// An all-digit field as a spreadsheet program writes the number it read: past
// 15 digits in exponent form, rounded, as LibreOffice writes them (1.23456789012346E+017).
QString asNumber(const QString& digits)
{
    QString n = digits;
    n.remove(QRegularExpression(QStringLiteral("^0+(?=.)")));
    if (n.size() <= 15)
        return n;
    n = QString::number(n.toDouble(), 'E', 14);     // 1.23456789012346E+17
    n.replace(QRegularExpression(QStringLiteral("\\.?0*E")), QStringLiteral("E"));
    return n.replace(QRegularExpression(QStringLiteral("E\\+(\\d\\d)$")), QStringLiteral("E+0\\1"));
}

bool allDigits(const QString& t)
{
    return !t.isEmpty() && std::all_of(t.begin(), t.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

// The lines of an exported file as the program saved them again.
QStringList resaved(const QByteArray& exported, const Resave& how)
{
    QStringList lines = fs::decodeCp1252(exported).split(QStringLiteral("\r\n"));
    lines.removeAll(QString());
    for (QString& line : lines) {
        QStringList fields = csv::split(line, verifycsv::kFieldCount);
        if (how.numbers) {
            for (QString& f : fields) {
                if (allDigits(f))
                    f = asNumber(f);
            }
        }
        if (how.quoteAll) {
            for (QString& f : fields)
                f = u'"' + QString(f).replace(u'"', QStringLiteral("\"\"")) + u'"';
            line = fields.join(u',');
        } else {
            line = csv::join(fields);
        }
    }
    return lines;
}

QByteArray bytesOf(const QStringList& lines, const Resave& how)
{
    QByteArray out = how.mark ? QByteArray("\xEF\xBB\xBF") : QByteArray();
    for (const QString& line : lines)
        out += (how.utf8 ? line.toUtf8() : fs::encodeCp1252(line)) + how.end;
    return out;
}

// Random lists in the forms the workbook and the add screen store: every
// status, rows with only a PID, names with commas, quotes and accents (among
// them Windows-1252's own, such as the euro sign), values
// at their widths, folios of 18 digits. Each exported file, as exported and as
// spreadsheet programs save it again, goes through either import: each line
// finds its own row unchanged, or is refused with a message naming it (a folio
// a spreadsheet wrote in exponent form); nothing is added or altered silently.
TEST_F(Import, ExportThenImportIsTheIdentityOnRandomLists)
{
    std::mt19937 random(20261209);
    const auto pick = [&](const QStringList& from) { return from[int(random() % from.size())]; };
    const auto text = [&](int width, const QString& alphabet) {
        QString t(int(random() % (width + 1)), u' ');
        if (random() % 4 == 0)
            t.resize(width);
        for (QChar& c : t)
            c = alphabet[int(random() % alphabet.size())];
        return t;
    };
    const QString words = QStringLiteral("ABCMNZ019 ,'\"-.&\u00C9\u00D1\u20AC\u0160");
    for (int list = 0; list < 16; ++list) {
        QStringList rows;
        const int size = 1 + int(random() % 20);
        for (int i = 0; i < size; ++i) {
            const bool pidOnly = random() % 4 == 0;
            rows << QStringList{
                pick({" ", "A", "C", "D", "X"}),
                pick({"1234", "0042", "AB  "}),
                vb::Trim(text(12, QStringLiteral("Mm09 -,'"))),
                pidOnly ? QStringLiteral("  ") : pick({"01", "02", "03", "1 ", "  ", "09"}),
                pidOnly ? QStringLiteral("   ") : pick({"701", "702", "704", "799", "   "}),
                pidOnly ? QString()
                        : pick({"000000000000012345", "12345", "123-456", "000000000000000001", "123456789012345678",
                                "000012345678901234", "0000000000000012345"}),
                pick({"", "123456789", "042"}),
                vb::Trim(text(70, words)),
                text(30, words), text(30, words), text(30, words), text(30, words), text(30, words),
                vb::Trim(text(32, words)),
            }.join(u'|');
        }
        for (const Resave& how : kResaves) {
            for (const QString& option : {kOption1, kOption2}) {
                de().Zarv.execute("DELETE FROM VERIFY");
                for (const QString& r : rows)
                    addVerify(r);
                DE().rsVerify().requery();
                const QStringList inListOrder = recordsetRows();
                QString step;
                verifycsv::WriteVerifyCsv(DE().rsVerify(), csvPath(), step, {});
                const QStringList lines = resaved(readCsv(), how);
                writeCsv(bytesOf(lines, how));

                // Read as UTF-8 when it holds more than ASCII: the intake screen says so first.
                const QString all = lines.join(QString());
                if (how.utf8 && std::any_of(all.begin(), all.end(), [](QChar c) { return c.unicode() > 0x7F; }))
                    ui().expectIntake(ui::containing("The file is read as UTF-8"), true);
                if (option == kOption2)
                    confirmReplacing();
                // The lines whose folio lost digits are refused, naming them.
                QStringList kept = inListOrder;
                int refused = 0;
                for (int i = 0; i < int(lines.size()); ++i) {
                    const QString line = lines[i];
                    if (!csv::split(line, verifycsv::kFieldCount)[verifycsv::FOLIO].contains(u'E'))
                        continue;
                    if (option == kOption2)
                        kept.removeAt(i - refused);
                    ui().expectModal(QStringLiteral("Form_InformationDialog"), [line](QDialog& d) {
                        EXPECT_TRUE(gMsgText.contains(QStringLiteral("is in exponent form and has lost digits")))
                            << gMsgText.toStdString();
                        EXPECT_TRUE(gMsgText.endsWith(QStringLiteral("Record:\r\n") + line)) << gMsgText.toStdString();
                        static_cast<Form_InformationDialog&>(d).OKButton->click();
                    });
                    if (++refused % 6 == 0)
                        ui().expectBox(box(ui::containing("do you want to Continue ?"), Answer::Yes));
                }
                const bool nothingLeft = option == kOption2 && refused == int(lines.size());
                if (nothingLeft)
                    ui().expectBox(box(ui::containing("No record of " + csvPath() + " could be imported.")));
                EXPECT_EQ(import(option), !nothingLeft);
                QStringList after = verifyRows();
                after.sort();
                QStringList expected = option == kOption1 || nothingLeft ? inListOrder : kept;
                expected.sort();
                ASSERT_EQ(after, expected) << "list " << list << ", " << how.name << ", " << option.toStdString()
                                           << "\n" << lines.join(u'\n').toStdString();
                ASSERT_TRUE(ui().clean()) << ui().report().toStdString();
            }
        }
    }
}

// A full disk can make the database undo the whole import by itself: the
// clerk is told that nothing of it was kept, and the list shows the table.
TEST_F(Import, AnImportTheDatabaseUndidIsNotReportedAsKept)
{
    const QString longName = QStringLiteral(",1234,M-2,01,701,2,,") + QString(71, u'N');
    writeCsv(",1234,M-1,01,701,1,,FIRST\n" + longName.toLatin1() + "\n,1234,M-3,01,701,3,,THIRD\n");
    ui().expectModal(QStringLiteral("Form_InformationDialog"), [](QDialog& d) {
        ASSERT_EQ(sqlite3_exec(DE().Zarv.handle(), "ROLLBACK", nullptr, nullptr, nullptr), SQLITE_OK);
        static_cast<Form_InformationDialog&>(d).OKButton->click();
    });
    ui().expectBox(box(ui::containing("No record of this import was kept."), Answer::OK, Icon::Critical));
    EXPECT_FALSE(import(kOption1));
    EXPECT_EQ(verifyRows(), QStringList{});
    EXPECT_EQ(refreshes, 1);
    EXPECT_FALSE(DE().Zarv.inTransaction());
}

} // namespace

// ---------------------------------------------------------------- lines a spreadsheet program saved

namespace {

class ImportFromSpreadsheet : public Import {
protected:
    QStringList exported(const QStringList& rows)
    {
        for (const QString& r : rows)
            addVerify(r);
        QString step;
        verifycsv::WriteVerifyCsv(DE().rsVerify(), csvPath(), step, {});
        return verifyRows();
    }
};

// Only what the clerk changed is taken: a field the file holds as the export
// wrote it (or as a spreadsheet re-spelled that) leaves the row's value alone.
// A line changed is checked and stored; the row's own line after it puts the
// row back as it was.
TEST_F(ImportFromSpreadsheet, OnlyTheFieldsTheClerkChangedAreTaken)
{
    const QStringList before = exported({
        "C|1234|100 200 302|02|702|1100220||JOHN O'NEILL| FARM 9 |||||\"OLD\" MILL",
        " |0042|7|1 |704||98|O'BRIEN MARY||||||",
    });
    EXPECT_TRUE(readCsv().contains("JOHN ONEILL,FARM 9,"));     // the file carries no quote
    for (bool replacing : {false, true}) {
        writeCsv("C,1234,100 200 302,2,702,1100220,,JOHN ONEILL,FARM 9,NEW LINE,,,,OLD MILL\r\n"
                 ",42,07,1,704,,098,OBRIEN MARY,,,,,,LOT 9\r\n");
        EXPECT_TRUE(replacing ? importReplacing() : import(kOption1));
        QStringList rows = verifyRows();
        rows.sort();
        EXPECT_EQ(rows, (QStringList{" |0042|7|1 |704||98|O'BRIEN MARY||||||LOT 9",
                                     "C|1234|100 200 302|02|702|1100220||JOHN O'NEILL| FARM 9 |NEW LINE||||\"OLD\" MILL"}))
            << replacing;
        de().Zarv.execute("DELETE FROM VERIFY");
        for (const QString& r : before)
            addVerify(r);
        DE().rsVerify().requery();
    }
    const QByteArray edited = "C,1234,100 200 302,02,702,1100220,,JOHN ONEILL JR,FARM 9,,,,,OLD MILL\r\n";
    writeCsv(edited + "C,1234,100 200 302,02,702,1100220,,JOHN ONEILL,FARM 9,,,,,OLD MILL\r\n");
    EXPECT_TRUE(import(kOption1));
    EXPECT_EQ(verifyRows(), before);
    writeCsv(edited);
    EXPECT_TRUE(import(kOption1));
    EXPECT_EQ(verifyRows().first(),
              "C|1234|100 200 302|02|702|1100220||JOHN ONEILL JR| FARM 9 |||||\"OLD\" MILL");
}

// What the add screen accepts, the import accepts: a folio with only a PID and
// no district or jurisdiction, a folio written with separators. A record the
// tax office would leave out (no codes with a folio, codes the code tables
// lack, a pair they lack) is refused naming why, on a new line or changed on a
// row's own.
TEST_F(ImportFromSpreadsheet, WhatTheAddScreenAcceptsIsImportedAndWhatTheTaxOfficeDropsIsRefused)
{
    const QByteArray noCodes = "A,0104,M1,,,123456789,,NAME";
    const QByteArray unlisted = "A,1234,100200308,55,755,5555,,UNLISTED CODES";
    writeCsv("A,1234,100200306,,,,123456789,NEW OWNER,5 QUAY STREET,WESTPORT,,,,\r\n"
             "A,1234,100200307,01,701,123-456.7,,DASHES\r\n" + noCodes + "\r\n" + unlisted + "\r\n");
    expectRejection(ui(), "The tax office would leave this folio out: no collection district; no jurisdiction.",
                    QString::fromLatin1(noCodes));
    expectRejection(ui(), "The tax office would leave this folio out: collection district 55 is not in the code "
                          "table; jurisdiction 755 is not in the code table.",
                    QString::fromLatin1(unlisted));
    EXPECT_TRUE(import(kOption1));
    EXPECT_EQ(verifyRows(), (QStringList{"A|1234|100200306|  |   ||123456789|NEW OWNER|5 QUAY STREET|WESTPORT||||",
                                         "A|1234|100200307|01|701|000000000001234567||DASHES||||||"}));

    const QByteArray noPair = "A,1234,100200309,3,701,123-456.8,,NO PAIR";
    writeCsv(noPair + "\r\nA,1234,100200307,01,701,123-456.7,,DASHES\r\n");
    confirmReplacing();
    expectRejection(ui(), "The tax office would leave this folio out: collection district 03 with jurisdiction 701 "
                          "is not a pair of the code table.",
                    QString::fromLatin1(noPair));
    EXPECT_TRUE(import(kOption2));
    EXPECT_EQ(verifyRows(), (QStringList{"A|1234|100200307|01|701|000000000001234567||DASHES||||||"}));
    EXPECT_TRUE(ui().clean()) << ui().report().toStdString();
}

} // namespace

// ---------------------------------------------------------------- reading a file a spreadsheet saved

namespace {

// UTF-8 with or without a byte-order mark, the forms a clerk's tools write, and
// the refusals of a file that cannot be read as the export's comma-separated
// lines, which name the line and cost no row.
class ImportReading : public Import {
protected:
    // The list holds this one row, and rsVerify shows it.
    void listOnly(const QString& cells)
    {
        DE().Zarv.execute(QStringLiteral("DELETE FROM VERIFY"));
        addVerify(cells);
        if (DE().rsVerify().isOpen())
            DE().rsVerify().requery();
    }
};

TEST_F(ImportReading, AFileThatCannotBeReadAsTheExportsLinesIsRefusedNamingTheLineAndChangesNothing)
{
    const QByteArray good = "A,1234,M-1,01,701,1,,GOOD\r\n";
    const struct {
        QByteArray bytes;
        QStringList named;
    } cases[] = {
        // A character the program's files cannot hold, mark or no mark.
        {good + QStringLiteral("A,1234,M-2,01,701,2,,SNOW \u2603 \u00C9\r\n").toUtf8(),
         {QStringLiteral("line 2 holds \"\u2603\"")}},
        {"\xEF\xBB\xBF" + good + QStringLiteral("A,1234,M-2,01,701,2,,\u03A9MEGA\r\n").toUtf8(),
         {QStringLiteral("line 2 holds \"\u03A9\"")}},
        // A quote that opens a field and never closes.
        {good + "A,1234,M-2,01,701,2,,\"SMITH, JOHN,1 MAIN\r\n", {QStringLiteral("line 2")}},
        // Lines whose separators disagree.
        {"A;1234;M-1;01;701;1;;GOOD\r\nA,1234,M-2,01,701,2,,SMITH\r\nA;1234;M-3;01;701;3;;X\r\n",
         {QStringLiteral("line 2 separates its fields by commas")}},
        // A name typed with a comma and no quotes: every later field would move.
        {good + "A,1234,M-2,01,701,2,,GARCIA-LOPEZ, ANA,1 MAIN ST,,,,,LOT 1\r\n",
         {QStringLiteral("line 2 holds 15 fields where a record has 14"), QStringLiteral("GARCIA-LOPEZ, ANA")}},
        {"1234,M-1,01,701,1,,GOOD\r\n\r\n1234,M-2,01,701,2,,SMITH, JOHN,1 MAIN ST,,,,,LOT 1\r\n",
         {QStringLiteral("line 3 holds 14 fields where a record has 13")}},
    };
    for (const QString& option : {kOption1, kOption2}) {
        SCOPED_TRACE(option.toStdString());
        for (const auto& c : cases) {
            listOnly(" |1234|M-9|01|701|000000000000000009||KEPT");
            writeCsv(c.bytes);
            ui().expectBox(box(ui::containing(c.named.front()), ui::Answer::OK, ui::Icon::Critical));
            EXPECT_FALSE(import(option)) << c.bytes.toStdString();
            ASSERT_FALSE(ui().boxes().empty());
            for (const QString& part : c.named)
                EXPECT_TRUE(ui().boxes().back().prompt.contains(part)) << ui().boxes().back().prompt.toStdString();
            EXPECT_EQ(verifyRows(), QStringList{" |1234|M-9|01|701|000000000000000009||KEPT||||||"});
        }
    }
}

// UTF-8, LibreOffice with the semicolon as separator, every field in quotes,
// empty fields after the last and empty lines: the same records as the export's
// own form, after the intake screen has named what the reader decided (the
// reader's own tests hold the other character sets and line ends). An empty line
// is no record wherever it stands.
TEST_F(ImportReading, EveryFormAClerksToolWritesImportsTheSameRecords)
{
    const QStringList lines = {QStringLiteral("A,1234,M-1,01,701,1,,CR\u00C9DIT FONCIER,1 MAIN ST,,,,,LOT 1"),
                               QStringLiteral("A,1234,M-2,01,701,2,,\"NU\u00D1EZ, ANA\",,,,,,"),
                               QStringLiteral("A,1234,M-3,01,701,3,,M\u00DCLLER,,,,,,\"LOT 3, PLAN 2\"")};
    const auto joined = [&](const QString& sep, QStringList l) {
        for (QString& line : l) {
            if (sep == QStringLiteral(","))
                continue;   // the export's own form, quotes and all
            line.replace(QStringLiteral("\"NU\u00D1EZ, ANA\""), QStringLiteral("NU\u00D1EZ\u0001 ANA"));
            line.replace(QStringLiteral("\"LOT 3, PLAN 2\""), QStringLiteral("LOT 3\u0001 PLAN 2"));
            line.replace(QStringLiteral(","), sep);
            line.replace(QChar(1), QLatin1Char(','));
        }
        return l.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
    };
    const Resave& quoted = kResaves[3];   // "quoted, Windows-1252"
    const QByteArray exported = fs::encodeCp1252(joined(QStringLiteral(","), lines));
    const QByteArray withEmptyLines = fs::encodeCp1252(joined(QStringLiteral(","), lines) + "\r\n ,,\r\n,,,,\r\n");
    const struct {
        const char* form;
        QByteArray bytes;
        QString shown;   // empty: no screen
    } cases[] = {
        {"the export's form", exported, {}},
        {"UTF-8", joined(QStringLiteral(","), lines).toUtf8(), QStringLiteral("The file is read as UTF-8")},
        {"empty lines at the end", withEmptyLines, {}},
        {"empty fields after the last",
         fs::encodeCp1252(joined(QStringLiteral(","), lines).replace("\r\n", ",,\r\n")), {}},
        {"every field quoted", bytesOf(resaved(exported, quoted), quoted), {}},
        {"semicolons", fs::encodeCp1252(joined(QStringLiteral(";"), lines)),
         QStringLiteral("separated by semicolons")},
        {"an empty line between records",
         fs::encodeCp1252(joined(QStringLiteral(","), {lines[0], QString(), lines[1], QStringLiteral(" , ,"), lines[2]})),
         QStringLiteral("Line passed over, line 2: An empty line is no record; it is passed over.\nLine passed "
                        "over, line 4:")},
    };
    QStringList want;
    for (const QString& option : {kOption1, kOption2}) {
        SCOPED_TRACE(option.toStdString());
        for (const auto& c : cases) {
            listOnly(" |1234|M-9|01|701|000000000000000009||KEPT");
            writeCsv(c.bytes);
            if (!c.shown.isEmpty())
                ui().expectIntake(ui::containing(c.shown), true);
            if (option == kOption2)
                ui().expectBox(box(ui::containing("holds 1 folio and"), ui::Answer::Yes));
            EXPECT_TRUE(import(option)) << c.form;
            ASSERT_TRUE(ui().clean()) << c.form << ": " << ui().report().toStdString();
            if (want.isEmpty())
                want = verifyRows();
            EXPECT_EQ(verifyRows(), want) << c.form;
            EXPECT_EQ(verifyRows().size(), option == kOption1 ? 4 : 3) << c.form;
        }
        want.clear();
    }
    // The opening question counts records, not empty lines.
    listOnly(" |1234|M-9|01|701|000000000000000009||KEPT");
    writeCsv(withEmptyLines);
    ui().expectBox(box(ui::containing("holds 3 lines."), ui::Answer::No));
    EXPECT_FALSE(import(kOption2));
}

// A record the file holds twice is named with both lines before anything is
// stored, with what each option does with it; Cancel leaves the list.
TEST_F(ImportReading, RepeatsWithinTheFileAreNamedOnTheIntakeScreen)
{
    writeCsv("A,1234,M-1,01,701,1,,FIRST\r\n,1234,M-2,01,701,0001,,AGAIN\r\n"
             ",1234,M-3,03,705,,12345,PID\r\n,1234,M-4,03,705,,12345,PID AGAIN\r\n");
    for (const QString& option : {kOption1, kOption2}) {
        SCOPED_TRACE(option.toStdString());
        listOnly(" |1234|M-9|01|701|000000000000000009||KEPT");
        const QString does = option == kOption1 ? "It is read over the earlier one." : "It is not imported.";
        ui().expectIntake(ui::containing("Repeat, line 2: The record repeats the jurisdiction and folio of line 1. " +
                                         does + " (as read \"701, 0001, \", stored \"701, 000000000000000001, \")\n"
                                         "Repeat, line 4: The record repeats the jurisdiction and PID of line 3."),
                          false);
        EXPECT_FALSE(import(option));
        ASSERT_TRUE(ui().clean()) << ui().report().toStdString();
        EXPECT_EQ(verifyRows(), QStringList{" |1234|M-9|01|701|000000000000000009||KEPT||||||"});
    }
    // Loaded, option 1 reads each repeat over the record it repeats: another number marks it changed.
    ui().expectIntake(ui::containing("Repeat, line 2"), true);
    EXPECT_TRUE(import(kOption1));
    EXPECT_EQ(verifyRows(), (QStringList{" |1234|M-9|01|701|000000000000000009||KEPT||||||",
                                         "C|1234|M-1|01|701|000000000000000001||AGAIN||||||",
                                         "C|1234|M-3|03|705||12345|PID AGAIN||||||"}));
    listOnly(" |1234|M-9|01|701|000000000000000009||KEPT");
    // Loaded, option 2 stores the first of each.
    ui().expectIntake(ui::containing("Repeat, line 2"), true);
    ui().expectBox(box("The list holds 1 folio and " + csvPath() + " holds 4 lines.\r\n"
                       "Import 2 deletes the 1 folio and puts the lines of the file in their place.\r\n"
                       "Replace the list?",
                       ui::Answer::Yes));
    EXPECT_TRUE(import(kOption2));
    EXPECT_EQ(verifyRows(), (QStringList{"A|1234|M-1|01|701|000000000000000001||FIRST||||||",
                                         " |1234|M-3|03|705||12345|PID||||||"}));
}

} // namespace
