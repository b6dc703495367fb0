// The change screen as a clerk works it: the details of the current row, the
// mortgage number check and marking, Next and Previous over active rows, and
// closing by Close, the window's close box or Esc.
#include "verification_support.h"

#include "verification/screens/Verify_Number_Change.h"
#include <functional>

using folioentry::paintedWith;
namespace colour = folioentry::colour;

namespace {

class ChangeTest : public FolioScreenTest {
protected:
    void SetUp() override
    {
        FolioScreenTest::SetUp();
        addCodes();
        // In number order: 100 (D), 200, 300, 400 (D), 500 (D), 600, 700 (D).
        addVerify("D|0042|100|01|701|000000000000000001|1|FIRST GONE");
        addVerify(" |0042|200|01|701|000000000012345678|111|ONE|A1|A2|A3|A4|A5|LOT 1");
        addVerify("A|0042|300|02|702|000000000000000777|222|TWO");
        addVerify("D|0042|400|03|704|||GONE A");
        addVerify("D|0042|500|5|709|12|555|GONE B");
        addVerify("C|0077|600|07|799||666|SIX");
        addVerify("D|0077|700|01|701|||GONE C");
        openList();
    }

    // The change screen opened on the row with this number.
    std::unique_ptr<Verify_Number_Change> changeRow(const QString& number)
    {
        moveTo(number);
        return openScreen<Verify_Number_Change>();
    }
};

TEST_F(ChangeTest, ShowsTheCurrentRowWithItsLookedUpDetailsAndNoneThatIsMissing)
{
    auto s = changeRow("200");
    EXPECT_EQ(s->Label1->text(), "Change Mortgage Number");
    EXPECT_EQ(s->txtNUMBER->text(), "200");
    EXPECT_EQ(s->oldNumber(), "200");
    EXPECT_EQ(QApplication::focusWidget(), s->txtNUMBER);
    EXPECT_EQ(s->txtMORTCO->text(), "0042");
    EXPECT_EQ(s->Label_Collection_District_Name->text(), "Westport");
    EXPECT_EQ(s->Label_Jurisdiction_Name->text(), "Westport Town");
    EXPECT_EQ(s->Label_FOLIO_Disp->text(), "001-234-567-8");
    EXPECT_EQ(s->Label_FOLIO_Tarnwick_Format2->text(), "000000000012345678");
    EXPECT_EQ(s->Label_PID->text(), "111");
    EXPECT_EQ(s->txtLEGAL->text(), "LOT 1");
    EXPECT_EQ(s->Label_NUMBER_Msg->text(), "");
    EXPECT_TRUE(s->TextCD->isReadOnly());
    EXPECT_TRUE(paintedWith(s->TextCD, colour::Attention));
    EXPECT_TRUE(paintedWith(s->txtNUMBER, colour::White));

    clerk::click(s->Command_Next);      // to 300 (district 02, jurisdiction 702)
    clerk::click(s->Command_Next);      // to 600: district 07 has a name, 799 has none
    EXPECT_EQ(s->txtNUMBER->text(), "600");
    EXPECT_EQ(s->Label_Collection_District_Name->text(), "Lakeside");
    EXPECT_EQ(s->Label_Jurisdiction_Name->text(), "");      // not "Easton Township" of the row before
    EXPECT_EQ(s->Label_FOLIO_Tarnwick_Format2->text(), "");
    s.reset();
    // A one-character district stored without its trailing blank is looked up as its code.
    EXPECT_EQ(changeRow("500")->Label_Collection_District_Name->text(), "Fiveways");

    // Missing names and empty code tables leave only those fields empty.
    de().Zarv.execute("DELETE FROM Collection_District");
    de().Zarv.execute("DELETE FROM Jurisdiction");
    de().Zarv.execute("DELETE FROM Fol_Mask");
    DE().rsCollection_District().requery();
    DE().rsJurisdiction().requery();
    DE().rsFol_Mask().requery();
    auto t = changeRow("300");
    EXPECT_EQ(t->Label_Collection_District_Name->text(), "");
    EXPECT_EQ(t->Label_Jurisdiction_Name->text(), "");
    EXPECT_EQ(t->Label_FOLIO_Disp->text().trimmed(), "000000000000000777");
    EXPECT_EQ(t->Label_PID->text(), "222");
    EXPECT_EQ(t->txtNAME->text(), "TWO");
    t.reset();
    // A mask table that cannot be read shows the folio as stored.
    de().Zarv.execute("DROP TABLE Fol_Mask");
    DE().rsFol_Mask().close();
    EXPECT_EQ(changeRow("300")->Label_FOLIO_Disp->text(), "000000000000000777");
}

TEST_F(ChangeTest, NextAndPreviousStepOverRowsMarkedForDeletion)
{
    auto s = changeRow("200");
    struct Step {
        QPushButton* Verify_Number_Change::*button;
        const char* number;
        const char* message;
    };
    const Step steps[] = {
        {&Verify_Number_Change::Command_Next, "300", "Positioned to the next active Detail"},
        {&Verify_Number_Change::Command_Next, "600", "Positioned to the next active Detail"},   // over 400, 500
        {&Verify_Number_Change::Command_Next, "600", "End of Detail List"},                    // only 700 (D) follows
        {&Verify_Number_Change::Command_Previous, "300", "Positioned to the previous Active Detail"},
        {&Verify_Number_Change::Command_Previous, "200", "Positioned to the previous Active Detail"},
        {&Verify_Number_Change::Command_Previous, "100", "Beginning of Detail List"},           // the first row, D
        {&Verify_Number_Change::Command_Previous, "100", "Beginning of Detail List"},
    };
    for (const Step& step : steps) {
        clerk::click((*s).*(step.button));
        EXPECT_EQ(current(), step.number) << step.message;
        EXPECT_EQ(s->txtNUMBER->text(), step.number);
        // 600's jurisdiction 799 is not in the code table: the status line names it.
        EXPECT_EQ(s->Text_Msg->text(), QLatin1String(step.message) +
                                           (QLatin1String(step.number) == QLatin1String("600")
                                                ? " The tax office would leave this folio out: jurisdiction 799 is "
                                                  "not in the code table."
                                                : ""));
        EXPECT_EQ(s->oldNumber(), step.number);
        EXPECT_EQ(QApplication::focusWidget(), s->txtNUMBER);
    }
    // The last row: Next stays on it.
    addVerify(" |0077|999|01|701|000000000000000999");
    openList();
    auto t = changeRow("999");
    clerk::click(t->Command_Next);
    EXPECT_EQ(current(), "999");
    EXPECT_EQ(t->Text_Msg->text(), "End of Details");
    EXPECT_EQ(storedRows().size(), 8);
    expectConsistentList();
}

TEST_F(ChangeTest, AnEmptyNumberIsRefusedAndNoButtonActsNorOnAnEmptyList)
{
    auto s = changeRow("200");
    clerk::type(s->txtNUMBER, "  ");
    for (QPushButton* b : {s->Command_Next, s->Command_Previous, s->Command1}) {
        clerk::click(b);
        EXPECT_EQ(QApplication::focusWidget(), s->txtNUMBER);
        EXPECT_EQ(s->Text_Msg->text(), "You must enter a Mortgage Number!");
    }
    EXPECT_TRUE(s->isVisible());
    EXPECT_EQ(current(), "200");
    EXPECT_EQ(ui().beeps(), 3);
    EXPECT_EQ(storedAcd("200"), " ");

    // On an empty list Next and Previous only clear the message.
    s.reset();
    de().Zarv.execute("DELETE FROM VERIFY");
    openList();
    auto t = openScreen<Verify_Number_Change>();
    EXPECT_EQ(t->txtNUMBER->text(), "");
    clerk::click(t->Command_Next);      // the empty number box is refused first
    EXPECT_EQ(t->Text_Msg->text(), "You must enter a Mortgage Number!");
    t->Command_Next_Click();
    EXPECT_EQ(t->Text_Msg->text(), "");
    t->Text_Msg->setText("x");
    t->Command_Previous_Click();
    EXPECT_EQ(t->Text_Msg->text(), "");
    EXPECT_EQ(current(), "<none>");
}

TEST_F(ChangeTest, DuplicateNoteNamesAnotherActiveRowNeverTheEditedOne)
{
    // 800 is carried by two other active rows, besides the one being edited.
    addVerify(" |0042|800|01|701|000000000000000081||EIGHT ONE");
    addVerify(" |0042|800|02|702|000000000000000082||EIGHT TWO");
    addVerify(" |0042|800|02|703|000000000000000083||EIGHT THREE");
    addVerify("D|0042|888|01|701|||GONE");
    addVerify("A|0042|abc|01|701|000000000000000099||LOWER");
    openList(QStringLiteral("SELECT * FROM VERIFY ORDER BY NUMBER, NAME"));
    auto s = changeRow("800");              // EIGHT ONE, the first in this order
    ASSERT_EQ(s->txtNAME->text(), "EIGHT ONE");
    clerk::click(s->txtNAME);
    EXPECT_EQ(s->Text_Msg->text(), "NOTE - This Mortgage Number already Exist! see folio 02 703 .083 EIGHT THREE");
    EXPECT_EQ(s->Label_NUMBER_Msg->text(), "NOTE that there are one or more folios with this mortgage number!");
    EXPECT_EQ(QApplication::focusWidget(), s->txtNAME);
    EXPECT_EQ(storedAcd("800"), " ");       // unchanged: not marked

    // A number only a row marked "D" carries is no duplicate; a number another
    // active row carries is noted and the edited row is still marked "C".
    clerk::type(s->txtNUMBER, "888");
    clerk::click(s->txtNAME);
    EXPECT_EQ(s->Label_NUMBER_Msg->text(), "");
    clerk::type(s->txtNUMBER, "300");
    clerk::click(s->txtNAME);
    EXPECT_EQ(s->Text_Msg->text(), "NOTE - This Mortgage Number already Exist! see folio 02 702 .777 TWO");
    clerk::click(s->Command1);
    EXPECT_EQ(current(), "300");
    EXPECT_EQ(DE().rsVerify().text("NAME"), "EIGHT ONE");
    EXPECT_EQ(DE().rsVerify().text("ACD"), "C");

    // A number stored in lower case is upper-cased and marked, and not noted against itself.
    auto t = changeRow("abc");
    clerk::click(t->txtNAME);
    EXPECT_EQ(t->Text_Msg->text(), "Please make the changes and press the 'Close' button.");
    EXPECT_EQ(t->Label_NUMBER_Msg->text(), "");
    clerk::click(t->Command1);
    EXPECT_EQ(storedAcd("ABC"), "C");
}

TEST_F(ChangeTest, NameAddressAndLegalEditsAreStoredWithoutMarking)
{
    auto s = changeRow("200");
    clerk::type(s->txtNAME, "  new owner ");
    clerk::type(s->txtADDR2, " flat 2 ");
    clerk::type(s->txtADDR3, "pasted\r\nover\tlines");    // line breaks and tabs become blanks
    clerk::type(s->txtLEGAL, "lot 9");
    EXPECT_EQ(s->txtNAME->text(), "NEW OWNER");
    clerk::click(s->Command_Next);
    EXPECT_EQ(s->txtLEGAL->text(), "");     // the next row's (none)
    EXPECT_EQ(storedRows()[1],
              " |0042|200|01|701|000000000012345678|111|NEW OWNER|A1| FLAT 2 |PASTED  OVER LINES|A4|A5|LOT 9");
    clerk::type(s->txtNAME, "");
    clerk::click(s->txtADDR1);
    EXPECT_EQ(s->Text_Msg->text(), "NOTE - The Client Name should be entered");
    EXPECT_TRUE(paintedWith(s->txtNAME, colour::Attention));
    clerk::click(s->Command1);
    EXPECT_FALSE(s->isVisible());
    EXPECT_EQ(storedRows()[2], "A|0042|300|02|702|000000000000000777|222|||||||");
    EXPECT_EQ(current(), "300");
    expectConsistentList();
}

// Close and Enter store the edits; Cancel, Esc and the close box leave the
// folio as it was, asking first when a box was changed (Enter answers No).
TEST_F(ChangeTest, CloseOrEnterStoreWhileCancelEscAndTheCloseBoxLeaveTheFolioAsItWas)
{
    const QStringList before = storedRows();
    const std::function<void(Verify_Number_Change&)> leaves[] = {
        [](Verify_Number_Change&) { clerk::key(Qt::Key_Escape); },
        [](Verify_Number_Change& c) { clerk::click(c.Command_Cancel); },
        [](Verify_Number_Change& c) { c.close(); },
    };
    for (const auto& leave : leaves) {
        auto s = changeRow("200");
        clerk::type(s->txtNUMBER, "201");
        clerk::type(s->txtLEGAL, "edited");
        ui().expectBoxEnter(ui::containing("Leave without saving the changes to this detail?"));
        leave(*s);
        EXPECT_TRUE(s->isVisible());
        ui().expectBox(ui::containing("Leave without saving"), ui::Answer::Yes);
        leave(*s);
        EXPECT_FALSE(s->isVisible());
        EXPECT_EQ(storedRows(), before);

        auto t = changeRow("200");          // nothing changed: no question
        leave(*t);
        EXPECT_FALSE(t->isVisible());
    }
    EXPECT_TRUE(ui().clean()) << ui().report().toStdString();

    auto s = changeRow("200");
    clerk::type(s->txtNUMBER, "201");
    clerk::click(s->txtLEGAL);
    clerk::key(Qt::Key_Return);                         // Enter confirms: Close
    EXPECT_FALSE(s->isVisible());
    EXPECT_EQ(storedAcd("201"), "C");
    EXPECT_EQ(current(), "201");
    expectConsistentList();
}

} // namespace
