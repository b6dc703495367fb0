// How the import reads a Verify.csv that a spreadsheet program saved: UTF-8
// with or without a byte-order mark, and the refusals of a file that cannot be
// read as the export's comma-separated lines, which name the line and cost no row.
#include "verification_support.h"

#include "platform/files/textdecoder.h"
#include "platform/files/textfile.h"
#include "verification/verifyimport.h"
#include "platform/data/recordset.h"
#include "services/dataenvironment.h"

using verifyimport::ImportVerifyCsv;
using verifyimport::kOption1;
using verifyimport::kOption2;

namespace {

class ImportReading : public VerificationTest {
protected:
    void SetUp() override
    {
        VerificationTest::SetUp();
        addCodes();
    }
    bool import(const QString& option) { return ImportVerifyCsv(option, csvPath(), {}); }
    // The list holds this one row, and rsVerify shows it.
    void listOnly(const QString& cells)
    {
        DE().Zarv.execute(QStringLiteral("DELETE FROM VERIFY"));
        addVerify(cells);
        if (DE().rsVerify().isOpen())
            DE().rsVerify().requery();
    }
};

TEST_F(ImportReading, AUtf8FileWithOrWithoutAMarkKeepsItsAccentsWithEitherOption)
{
    const QString line = QStringLiteral("A,1234,M-1,01,701,1,,MU\u00D1OZ JOS\u00C9,R\u00DCE 5,,,,,\u0160T \u20AC");
    const QString row = QStringLiteral("A|1234|M-1|01|701|000000000000000001||MU\u00D1OZ JOS\u00C9|R\u00DCE 5||||"
                                       "|\u0160T \u20AC");
    const QByteArray files[] = {"\xEF\xBB\xBF" + line.toUtf8() + "\r\n", line.toUtf8() + "\n",
                                fs::encodeCp1252(line) + "\r\n"};
    for (const QString& option : {kOption1, kOption2}) {
        for (int f = 0; f < 3; ++f) {
            listOnly(" |1234|M-1|01|701|000000000000000001||OLD NAME");
            writeCsv(files[f]);
            // Read as UTF-8, said once on the intake screen.
            if (f < 2)
                ui().expectIntake(ui::containing("The file is read as UTF-8"), true);
            if (option == kOption2)
                ui().expectBox(box(ui::containing("Replace the list?"), ui::Answer::Yes));
            EXPECT_TRUE(import(option)) << f;
            ASSERT_TRUE(ui().clean()) << ui().report().toStdString();
            EXPECT_EQ(verifyRows(), QStringList{row}) << f;
        }
    }
}

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
        for (const auto& c : cases) {
            listOnly(" |1234|M-9|01|701|000000000000000009||KEPT");
            writeCsv(c.bytes);
            ui().expectBox(ui::ExpectedBox{ui::containing(c.named.front()), ui::Answer::OK, ui::Icon::Critical, {}, {}});
            EXPECT_FALSE(import(option)) << c.bytes.toStdString();
            ASSERT_FALSE(ui().boxes().empty());
            for (const QString& part : c.named)
                EXPECT_TRUE(ui().boxes().back().prompt.contains(part)) << ui().boxes().back().prompt.toStdString();
            EXPECT_EQ(verifyRows(), QStringList{" |1234|M-9|01|701|000000000000000009||KEPT||||||"});
        }
    }
}

// Excel's "CSV (Macintosh)" and "Unicode Text", LibreOffice with the semicolon
// as separator, and files with empty lines: the same records as the export's
// own form, after the intake screen has named what the reader decided. An
// empty line is no record wherever it stands.
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
    const QString tabbed = joined(QStringLiteral("\t"), lines);
    const struct {
        const char* form;
        QByteArray bytes;
        QString shown;   // empty: no screen
    } cases[] = {
        {"the export's form", fs::encodeCp1252(joined(QStringLiteral(","), lines)), {}},
        {"lines ended by LF", fs::encodeCp1252(joined(QStringLiteral(","), lines).replace("\r\n", "\n")), {}},
        {"lines ended by CR", fs::encodeCp1252(joined(QStringLiteral(","), lines).replace("\r\n", "\r")), {}},
        {"empty lines at the end", fs::encodeCp1252(joined(QStringLiteral(","), lines) + "\r\n ,,\r\n,,,,\r\n"), {}},
        {"semicolons", fs::encodeCp1252(joined(QStringLiteral(";"), lines)),
         QStringLiteral("separated by semicolons")},
        {"CSV (Macintosh)", fs::encodeMacRoman(joined(QStringLiteral(","), lines)),
         QStringLiteral("Character set, line 1: The file is read as Mac Roman")},
        {"Unicode Text", QByteArray("\xFF\xFE") + QByteArray(reinterpret_cast<const char*>(tabbed.utf16()),
                                                              tabbed.size() * 2),
         QStringLiteral("The file is read as UTF-16")},
        {"an empty line between records",
         fs::encodeCp1252(joined(QStringLiteral(","), {lines[0], QString(), lines[1], QStringLiteral(" , ,"), lines[2]})),
         QStringLiteral("Line passed over, line 2: An empty line is no record; it is passed over.\nLine passed "
                        "over, line 4:")},
    };
    QStringList want;
    for (const QString& option : {kOption1, kOption2}) {
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
    writeCsv(cases[3].bytes);
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
    // Loaded, option 2 stores the first of each.
    ui().expectIntake(ui::containing("Repeat, line 2"), true);
    ui().expectBox(box("The list holds 1 folio and " + csvPath() + " holds 4 lines.\r\nImport 2 deletes the 1 folio and "
                       "puts the lines of the file in their place.\r\nReplace the list?",
                       ui::Answer::Yes));
    EXPECT_TRUE(import(kOption2));
    EXPECT_EQ(verifyRows(), (QStringList{"A|1234|M-1|01|701|000000000000000001||FIRST||||||",
                                         " |1234|M-3|03|705||12345|PID||||||"}));
}

} // namespace
