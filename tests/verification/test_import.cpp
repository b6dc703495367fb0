// Importing Verify.csv with both options: what is added, updated, refused, and
// what the clerk is asked and shown on the way.
#include "verification_support.h"

#include "platform/data/recordset.h"
#include "verification/verifycsv.h"
#include "verification/verifyimport.h"
#include "services/Form_InformationDialog.h"

#include <QPushButton>
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
        ui().expectBox(box("Verify.csv file is NOT found in the working directory", Answer::OK, Icon::None,
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
    EXPECT_FALSE(import(kOption2));
    EXPECT_EQ(verifyRows(), (QStringList{"A|1234|M-0|01|701|000000000000000001||KEPT||||||"}));
    EXPECT_EQ(refreshes, 1);    // the list shows what was stored
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

// The program's own export, read back with option 1, leaves the list as it was.
TEST_F(Import, ExportThenImportOptionOneLeavesThePopulatedListAsItWas)
{
    const QStringList rows = {
        " |1234|100200300|01|701|000000000000012345||ANNA BERG|12 HARBOUR ROAD|WESTPORT||||LOT 4 PLAN 88",
        "A|1234|100200301|01|702|000000000000012346||SMITH, JOHN AND MARY|UNIT 4, 12 MAIN|EASTON, EAST||||LOT 1, PLAN 2",
        "C|1234|100 200 302|02|702|1100220||KARI LUND|FARM 9|||||",
        "D|1234|100200304|03|704|000000000099887766||PETER SMYTHE|1 MAIN STREET|SOUTHBY||||",
        " |1234|100200307|03|705||987654321|M AND K HOLDINGS, LTD|PO BOX 12|||||BLOCK 2",
        "X|ABCD|NO CODES|09|799|5||UNKNOWN CODES STAY AS THEY ARE||||||",
    };
    for (const QString& r : rows)
        addVerify(r);
    const QStringList before = verifyRows();

    QString step;
    EXPECT_EQ(verifycsv::WriteVerifyCsv(DE().rsVerify(), csvPath(), step, {}), 6);
    expectRejection(ui(), "Collection District (09) is NOT in the list of valid Collection Districts!",
                    "X,ABCD,NO CODES,09,799,5,,UNKNOWN CODES STAY AS THEY ARE,,,,,,");
    EXPECT_TRUE(import(kOption1));
    EXPECT_EQ(verifyRows(), before);

    // With option 2 the list is rebuilt from the file: folios take their 18-digit form.
    expectRejection(ui(), "Collection District (09) is NOT in the list of valid Collection Districts!",
                    "X,ABCD,NO CODES,09,799,5,,UNKNOWN CODES STAY AS THEY ARE,,,,,,");
    EXPECT_TRUE(import(kOption2));
    const QStringList rebuilt = {"C|1234|100 200 302|02|702|000000000001100220||KARI LUND|FARM 9|||||",
                                 before[0], before[1], before[3], before[4]};
    EXPECT_EQ(verifyRows("NUMBER"), rebuilt);
}

TEST_F(Import, AnApostropheIsDroppedOnTheWayThroughTheFile)
{
    addVerify("C|1234|100200302|02|702|000000000001100220||JOHN O'NEILL|4 MILL LANE|||||");
    QString step;
    verifycsv::WriteVerifyCsv(DE().rsVerify(), csvPath(), step, {});
    EXPECT_EQ(readCsv(), QByteArray("C,1234,100200302,02,702,000000000001100220,,JOHN ONEILL,4 MILL LANE,,,,,\r\n"));
    EXPECT_TRUE(import(kOption1));
    EXPECT_EQ(verifyRows(), QStringList{"C|1234|100200302|02|702|000000000001100220||JOHN ONEILL|4 MILL LANE|||||"});
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
