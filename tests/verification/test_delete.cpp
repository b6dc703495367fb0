// The permanent delete screen: what it shows, where the current row lands
// after a delete, and a delete the database refuses.
#include "verification_support.h"

#include "verification/screens/Verify_Number_Add.h"
#include "verification/screens/Verify_Number_Change.h"
#include "verification/screens/Verify_Number_Delete.h"
#include "verification/screens/Verify_Numbers_Search.h"

#include <QCheckBox>

namespace {

class DeleteTest : public FolioScreenTest {
protected:
    void SetUp() override
    {
        FolioScreenTest::SetUp();
        addCodes();
        addVerify(" |0042|100|01|701|000000000012345678|111|ONE");
        addVerify("D|0042|200|02|702|000000000000000777|222|TWO");
        addVerify("A|0042|300|03|704|||THREE|MAIN ST|||||LOT 3");
        openList();
    }

    // Opens the screen on the row with this number and presses Delete.
    void deleteRow(const QString& number)
    {
        moveTo(number);
        auto s = openScreen<Verify_Number_Delete>();
        clerk::click(s->Command_Delete);
        EXPECT_FALSE(s->isVisible());
    }

    QStringList numbers() const
    {
        QStringList list;
        for (const QString& row : storedRows())
            list << row.section(u'|', 2, 2);
        return list;
    }
};

TEST_F(DeleteTest, ShowsTheRowReadOnlyWithCancelFocused)
{
    moveTo("300");
    auto s = openScreen<Verify_Number_Delete>();
    EXPECT_EQ(s->Label1->text(), "Permanently Delete Folio Record");
    EXPECT_TRUE(s->Label2->text().startsWith("This function will DELETE from your file a new folio ADDED  by MISTAKE."));
    EXPECT_EQ(s->Text_Msg->text(), "Please Select the \"Delete\" button to confirm the permanent removal of the record, "
                                   "or the \"Cancel\" button to quit.");
    EXPECT_EQ(QApplication::focusWidget(), s->Command_Cancel);
    EXPECT_EQ(s->txtNUMBER->text(), "300");
    EXPECT_EQ(s->Label_Collection_District_Name->text(), "Southby");
    EXPECT_EQ(s->Label_Jurisdiction_Name->text(), "Southby Village");
    EXPECT_EQ(s->txtADDR1->text(), "MAIN ST");
    EXPECT_EQ(s->txtLEGAL->text(), "LOT 3");
    for (QLineEdit* box : s->findChildren<QLineEdit*>())
        EXPECT_TRUE(box->isReadOnly()) << box->objectName().toStdString();
    EXPECT_TRUE(folioentry::paintedWith(s.get(), 0x00C0C0FF));

    clerk::click(s->Command_Cancel);
    EXPECT_FALSE(s->isVisible());
    EXPECT_EQ(numbers(), QStringList({"100", "200", "300"}));
    EXPECT_EQ(current(), "300");

}

TEST_F(DeleteTest, TheFollowerOrTheFirstRowBecomesCurrentAndTheListKeepsItsOrder)
{
    de().Zarv.execute("UPDATE VERIFY SET ACD = 'A'");
    const QString byName = QStringLiteral("SELECT * FROM VERIFY ORDER BY NAME");   // ONE, THREE, TWO
    openList(byName);
    deleteRow("300");
    EXPECT_EQ(numbers(), QStringList({"100", "200"}));
    EXPECT_EQ(current(), "200");
    expectConsistentList();
    deleteRow("200");                       // the last row: the first follows
    EXPECT_EQ(current(), "100");
    expectConsistentList();
    deleteRow("100");                       // the only row: the list is empty, in its sort order
    EXPECT_TRUE(numbers().isEmpty());
    EXPECT_TRUE(DE().rsVerify().isOpen());
    EXPECT_TRUE(DE().rsVerify().eof());
    EXPECT_EQ(DE().rsVerify().source(), byName);
    expectConsistentList();
}

TEST_F(DeleteTest, ARefusedDeleteIsReportedAndTheRowStaysCurrent)
{
    de().Zarv.execute("CREATE TRIGGER keep BEFORE DELETE ON VERIFY BEGIN SELECT RAISE(ABORT, 'locked'); END");
    ui().expectBox(box(ui::containing("ERROR - The Folio Record could NOT be deleted!"), ui::Answer::OK,
                       ui::Icon::Critical));
    deleteRow("300");
    EXPECT_TRUE(ui().boxes().back().prompt.contains("locked"));
    EXPECT_EQ(numbers(), QStringList({"100", "200", "300"}));
    EXPECT_EQ(current(), "300");
    expectConsistentList();
}

TEST_F(DeleteTest, AnySequenceOfTheScreensLeavesTheListConsistent)
{
    auto add = openScreen<Verify_Number_Add>();
    clerk::type(add->txtNUMBER, "n9");
    clerk::type(add->txtPID, "77");
    clerk::click(add->txtNAME);
    clerk::click(add->Command_OK);
    ASSERT_FALSE(add->isVisible()) << add->Text_Msg->text().toStdString();
    EXPECT_EQ(current(), "N9");
    expectConsistentList();

    auto change = openScreen<Verify_Number_Change>();
    clerk::type(change->txtNUMBER, "N10");
    clerk::click(change->Command_Previous);     // stores N10 as changed, then moves up
    EXPECT_EQ(current(), "300");
    clerk::click(change->Command1);
    expectConsistentList();

    auto search = openScreen<Verify_Numbers_Search>();
    clerk::click(search->Check[Verify_Numbers_Search::NUMBER]);
    clerk::type(search->txtNUMBER, "N10");
    clerk::click(search->Command_Find);
    clerk::click(search->Command_Select);
    EXPECT_EQ(current(), "N10");
    EXPECT_EQ(DE().rsVerify().text("ACD"), "C");
    expectConsistentList();

    // A row marked changed is not deleted: it is marked D when the clerk agrees.
    ui().expectBox(ui::containing("PERMANENT DELETE removes only"), ui::Answer::Yes);
    deleteRow("N10");
    EXPECT_EQ(numbers(), QStringList({"100", "200", "300", "N10"}));
    EXPECT_EQ(DE().rsVerify().text("ACD"), "D");
    expectConsistentList();
    deleteRow("300");
    EXPECT_EQ(numbers(), QStringList({"100", "200", "N10"}));
    expectConsistentList();
}

} // namespace
