// Importing Verify.csv with both options: what is added, updated, refused, and
// what the clerk is asked and shown on the way.
#include "verification_support.h"

#include "platform/data/recordset.h"
#include "verification/verifycsv.h"
#include "verification/verifyimport.h"
#include "services/Form_InformationDialog.h"

#include "platform/text/vb.h"

#include <QPushButton>
#include <random>
#include <sqlite3.h>

using namespace zarv;
using namespace zarv::test;
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

    int refreshes = 0;
};

TEST_F(Import, AMissingOrEmptyFileIsReportedAndChangesNothing)
{
    addVerify(" |1234|9|01|701|000000000000000001||A");
    for (bool empty : {false, true}) {
        if (empty)
            writeCsv("");
        ui().expectBox(box("Verify.csv file is NOT found: " + csvPath(), Answer::OK, Icon::None,
                                Buttons::OK, QStringLiteral("Verify.csv file is missing")));
        EXPECT_FALSE(import(kOption2));
        EXPECT_EQ(verifyRows().size(), 1);
    }
    EXPECT_EQ(refreshes, 0);
}

TEST_F(Import, OptionOneUpdatesTheMatchingRowAndAddsTheRest)
{
    addVerify(" |1234|M-1|01|701|000000000000000011||OLD ONE|OLD ST|||||OLD LEGAL");
    addVerify("A|1234|m-2|01|702|000000000000000022||OLD TWO");
    addVerify("D|1234|M-3|02|703|000000000000000033||OLD THREE");
    addVerify(" |1234|M-4|03|704||444444444|OLD FOUR");
    writeCsv("D,9999,M-1,01,701,11,,NEW ONE,NEW ST,,,,,NEW LEGAL\r\n"     // same number: status from the file
             ",1234,m-2,01,702,22,,NEW TWO\r\n"                          // read as M-2: differs in case, "C"
             ",1234,M-33,02,703,0033,,NEW THREE\r\n"                     // other number: "C"
             "A,1234,M-4,03,704,,444444444,NEW FOUR\r\n"                 // matched by PID
             "A,1234,M-5,03,705,55,,FIVE,\"1, THE MEWS\"\r\n");          // new
    EXPECT_TRUE(import(kOption1));
    EXPECT_EQ(verifyRows(), (QStringList{
                                "D|1234|M-1|01|701|000000000000000011||NEW ONE|NEW ST|||||NEW LEGAL",
                                "C|1234|m-2|01|702|000000000000000022||NEW TWO||||||",
                                "C|1234|M-3|02|703|000000000000000033||NEW THREE||||||",
                                "A|1234|M-4|03|704||444444444|NEW FOUR||||||",
                                "A|1234|M-5|03|705|000000000000000055||FIVE|1, THE MEWS|||||",
                            }));
    EXPECT_EQ(refreshes, 1);
    EXPECT_TRUE(DE().rsVerify().isOpen());
}

TEST_F(Import, FoliosAreComparedInTheirEighteenDigitFormOnBothSides)
{
    // Folios as a workbook brings them: as typed.
    addVerify(" |1234|M-1|01|701|12345||ONE");
    addVerify(" |1234|M-2|01|702|123-456||TWO");
    writeCsv(",1234,M-1,01,701,000000000000012345,,ONE AGAIN\r\n"
             ",1234,M-2,01,702,123456,,TWO AGAIN\r\n");
    EXPECT_TRUE(import(kOption1));
    EXPECT_EQ(verifyRows(), (QStringList{" |1234|M-1|01|701|12345||ONE AGAIN||||||",
                                         " |1234|M-2|01|702|123-456||TWO AGAIN||||||"}));
}

TEST_F(Import, TheFirstMatchingRowInTheListsOrderIsUpdated)
{
    addVerify(" |1234|M-B|01|701|1||SECOND IN NUMBER ORDER");
    addVerify(" |1234|M-A|01|701|0001||FIRST IN NUMBER ORDER");
    DE().rsVerify();    // ordered by NUMBER
    writeCsv(",1234,M-A,01,701,1,,UPDATED\r\n");
    EXPECT_TRUE(import(kOption1));
    EXPECT_EQ(verifyRows(), (QStringList{" |1234|M-B|01|701|1||SECOND IN NUMBER ORDER||||||",
                                         " |1234|M-A|01|701|0001||UPDATED||||||"}));
}

TEST_F(Import, OptionTwoEmptiesTheListAndRefusesRepeats)
{
    addVerify("A|1234|OLD|01|701|000000000000000099||GONE");
    const QString repeat = QStringLiteral(",1234,M-2,01,701,0001,,REPEAT");
    const QString repeatPid = QStringLiteral(",1234,M-4,03,705,,12345,REPEAT PID");
    writeCsv("C,1234,M-1,01,701,1,,FIRST\r\n" + repeat.toLatin1() + "\r\n" +
             ",1234,M-3,03,705,,12345,PID ONLY\r\n" + repeatPid.toLatin1() + "\r\n");
    expectRejection(ui(), "Duplicate Jurisdiction and (Folio Number or Property Identifier).", repeat);
    expectRejection(ui(), "Duplicate Jurisdiction and (Folio Number or Property Identifier).", repeatPid);
    EXPECT_TRUE(import(kOption2));
    EXPECT_EQ(verifyRows(), (QStringList{"C|1234|M-1|01|701|000000000000000001||FIRST||||||",
                                         " |1234|M-3|03|705||12345|PID ONLY||||||"}));
}

TEST_F(Import, LineEndsOfEveryKindAreRead)
{
    for (const QByteArray& end : {QByteArray("\n"), QByteArray("\r"), QByteArray("\r\n")}) {
        writeCsv("A,1234,M-1,01,701,1,,ONE" + end + "C,1234,M-2,01,702,2,,TWO" + end);
        EXPECT_TRUE(import(kOption2));
        EXPECT_EQ(verifyRows(), (QStringList{"A|1234|M-1|01|701|000000000000000001||ONE||||||",
                                             "C|1234|M-2|01|702|000000000000000002||TWO||||||"}))
            << end.toHex().toStdString();
    }
}

TEST_F(Import, ATabInAValueBecomesOneBlank)
{
    writeCsv("A,\t1234,M-1,01,701,1,,SMITH\tJOHN,\t12 MAIN\r\n");
    EXPECT_TRUE(import(kOption2));
    EXPECT_EQ(verifyRows(), QStringList{"A|1234|M-1|01|701|000000000000000001||SMITH JOHN| 12 MAIN|||||"});
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
    expectRejection(ui(), "Mortgage Company ID is NOT four characters long", shifted);
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
        expectRejection(ui(), "Mortgage Company ID is NOT four characters long", bad[i]);
    ui().expectBox(question(Answer::Yes));
    for (int i = 6; i < 12; ++i)
        expectRejection(ui(), "Mortgage Company ID is NOT four characters long", bad[i]);
    ui().expectBox(question(Answer::No));
    EXPECT_FALSE(import(kOption1));     // option 1 keeps what it stored
    EXPECT_EQ(verifyRows(), (QStringList{"A|1234|M-0|01|701|000000000000000001||KEPT||||||"}));
    EXPECT_EQ(refreshes, 1);    // the list shows what was stored
}

// Option 2 deletes the list and stores the file's records as one unit.
TEST_F(Import, OptionTwoPutsTheOldListBackWhenItStoresNothingIsStoppedOrFails)
{
    addVerify("A|1234|OLD|01|701|000000000000000099||KEPT");
    const QStringList before = verifyRows();
    const auto listLeft = [](const QString& first, Icon icon) {
        return box(first + QStringLiteral("\r\nThe list was left as it was."), Answer::OK, icon, Buttons::OK);
    };

    writeCsv(",12,M-1,01,701,1\r\n");
    expectRejection(ui(), "Mortgage Company ID is NOT four characters long", ",12,M-1,01,701,1");
    ui().expectBox(listLeft(QStringLiteral("No record of Verify.csv could be imported."), Icon::Information));
    EXPECT_FALSE(import(kOption2));
    EXPECT_EQ(verifyRows(), before);

    QByteArray file = "A,1234,M-0,01,701,1,,STORED FIRST\r\n";
    for (int i = 0; i < 6; ++i)
        file += ",12\r\n";
    writeCsv(file);
    for (int i = 0; i < 6; ++i)
        expectRejection(ui(), "Mortgage Company ID is NOT four characters long", ",12");
    ui().expectBox(box("There has been a number of errors... do you want to Continue ?", Answer::No, Icon::None,
                       Buttons::YesNo, QStringLiteral("Multiple Verification Folio Errors")));
    ui().expectBox(listLeft(QStringLiteral("The import was stopped."), Icon::Information));
    EXPECT_FALSE(import(kOption2));
    EXPECT_EQ(verifyRows(), before);
    EXPECT_EQ(recordsetRows(), before);     // and the list shows it

    de().Zarv.execute("CREATE TRIGGER refuse BEFORE INSERT ON VERIFY WHEN NEW.NAME = 'REFUSED' "
                      "BEGIN SELECT RAISE(ABORT, 'refused'); END");
    writeCsv("A,1234,M-0,01,701,1,,STORED FIRST\r\nA,1234,M-1,01,701,2,,REFUSED\r\n");
    ui().expectBox(box(ui::containing("No record of this import was kept.\r\nThe list was left as it was."),
                       Answer::OK, Icon::Critical));
    EXPECT_FALSE(import(kOption2));
    EXPECT_EQ(verifyRows(), before);
    EXPECT_FALSE(DE().Zarv.inTransaction());
    EXPECT_EQ(refreshes, 3);
}

TEST_F(Import, OverLongValuesAndOddPidsAreRejectedAndTheRestGoesIn)
{
    const QString longName = QStringLiteral(",1234,M-1,01,701,1,,") + QString(71, u'N');
    const QString oddPid = QStringLiteral(",1234,M-2,01,701,,12.5,ODD PID");
    writeCsv(longName.toLatin1() + "\n" + oddPid.toLatin1() + "\n,1234,M-3,01,701,3,,FINE\n");
    expectRejection(ui(), "Name is longer than 70 characters.", longName);
    expectRejection(ui(), "Property Identifier is NOT numeric.", oddPid);
    EXPECT_TRUE(import(kOption1));
    EXPECT_EQ(verifyRows(), (QStringList{" |1234|M-3|01|701|000000000000000003||FINE||||||"}));
}

// What the export writes, either option takes back row for row, in the forms
// the workbook and the add screen store: codes the checks would refuse, a PID
// without district or jurisdiction, a folio as typed, letter case, quotes.
TEST_F(Import, ExportThenImportGivesBackTheListWithEitherOption)
{
    const QStringList rows = {
        " |1234|100200300|01|701|000000000000012345||ANNA BERG|12 HARBOUR ROAD|WESTPORT||||LOT 4 PLAN 88",
        "A|1234|100200301|01|702|000000000000012346||SMITH, JOHN AND MARY|UNIT 4, 12 MAIN|EASTON, EAST||||LOT 1, PLAN 2",
        "C|1234|100 200 302|02|702|1100220||JOHN O'NEILL| FARM 9 |||||",
        "D|1234|100200304|03|704|000000000099887766||PETER SMYTHE|1 MAIN STREET|SOUTHBY||||",
        "A|1234|100200306|  |   ||123456789|NEW OWNER|5 QUAY STREET|WESTPORT||||",
        "A|0042|p2|1 |704||98|||||||",
        "X|ABCD|NO CODES|09|799|5||UNKNOWN CODES STAY AS THEY ARE||||||",
        " |1234|100200308|01|701|0000000000000012345||SAME FOLIO, OTHER FORM||||||",
    };
    for (const QString& r : rows)
        addVerify(r);
    const QStringList before = verifyRows();

    QString step;
    EXPECT_EQ(verifycsv::WriteVerifyCsv(DE().rsVerify(), csvPath(), step, {}), rows.size());
    EXPECT_TRUE(readCsv().contains("JOHN ONEILL,FARM 9,"));     // the file carries no quote
    EXPECT_TRUE(import(kOption1));
    EXPECT_EQ(verifyRows(), before);
    EXPECT_TRUE(import(kOption2));
    QStringList after = verifyRows();
    after.sort();
    QStringList sorted = before;
    sorted.sort();
    EXPECT_EQ(after, sorted);

    // A line edited in the file is checked and stored as the file has it; the
    // row's own line after it puts the row back as it was.
    const QByteArray edited = "C,1234,100 200 302,02,702,1100220,,JOHN ONEILL JR,FARM 9,,,,,\r\n";
    writeCsv(edited + "C,1234,100 200 302,02,702,1100220,,JOHN ONEILL,FARM 9,,,,,\r\n");
    EXPECT_TRUE(import(kOption1));
    after = verifyRows();
    after.sort();
    EXPECT_EQ(after, sorted);
    writeCsv(edited);
    EXPECT_TRUE(import(kOption1));
    EXPECT_TRUE(verifyRows().contains("C|1234|100 200 302|02|702|1100220||JOHN ONEILL JR|FARM 9|||||"));
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
        EXPECT_TRUE(import(option)) << option.toStdString();
        EXPECT_EQ(verifyRows(), before);
    }
}

// Random lists in the forms the workbook and the add screen store: every
// status, rows with only a PID, names with commas and quotes, values at their
// widths. Export then either import gives the list back.
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
    const QString words = QStringLiteral("ABCMNZ019 ,'\"-.&");
    for (int list = 0; list < 30; ++list) {
        de().Zarv.execute("DELETE FROM VERIFY");
        const int size = 1 + int(random() % 20);
        for (int i = 0; i < size; ++i) {
            const bool pidOnly = random() % 4 == 0;
            const QStringList row = {
                pick({" ", "A", "C", "D"}),
                pick({"1234", "0042", "AB  "}),
                vb::Trim(text(12, QStringLiteral("Mm09 -,'"))),
                pidOnly ? QStringLiteral("  ") : pick({"01", "02", "03", "1 ", "  ", "09"}),
                pidOnly ? QStringLiteral("   ") : pick({"701", "702", "704", "799", "   "}),
                pidOnly ? QString() : pick({"000000000000012345", "12345", "123-456", "000000000000000001"}),
                pick({"", "123456789", "42"}),
                vb::Trim(text(70, words)),
                text(30, words), text(30, words), text(30, words), text(30, words), text(30, words),
                vb::Trim(text(32, words)),
            };
            addVerify(row.join(u'|'));
        }
        QStringList before = verifyRows();
        before.sort();
        DE().rsVerify().requery();
        QString step;
        for (const QString& option : {kOption1, kOption2}) {
            verifycsv::WriteVerifyCsv(DE().rsVerify(), csvPath(), step, {});
            EXPECT_TRUE(import(option)) << option.toStdString();
            QStringList after = verifyRows();
            after.sort();
            ASSERT_EQ(after, before) << "list " << list << " " << option.toStdString() << "\n"
                                     << readCsv().toStdString();
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
