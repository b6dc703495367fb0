// The add screen as a clerk works it: the boxes checked as they are left,
// the jurisdiction list that follows the district, Save and Cancel.
#include "verification_support.h"

#include "platform/text/vb.h"
#include "verification/screens/Verify_Number_Add.h"
#include "verification/screens/folioentry_widgets.h"
#include "verification/verifycsv.h"
#include "verification/verifyimport.h"

using folioentry::paintedWith;
namespace colour = folioentry::colour;

namespace {

class AddTest : public FolioScreenTest {
protected:
    void SetUp() override
    {
        FolioScreenTest::SetUp();
        addCodes();
        addVerify(" |0042|100|01|701|000000000012345678|111111111|ACTIVE ONE");
        addVerify("D|0042|200|02|702|000000000000000777|222222222|DELETED ONE");
        addVerify("A|0077|300|02|703|||NO FOLIO");
        openList();
    }

    // Types a complete, valid new folio into the screen (focus ends in txtNAME).
    void typeValidFolio(Verify_Number_Add& s, const QString& folio = QStringLiteral("0000000055"))
    {
        clerk::type(s.txtNUMBER, " new-1 ");
        clerk::type(s.txtMORTCO, "0042");
        clerk::pick(s.ComboCD, "01");
        clerk::click(s.ComboJUR);
        clerk::type(s.txtFOLIO, folio);
        clerk::type(s.txtPID, "");
        clerk::click(s.txtNAME);
    }

    static QWidget* focus() { return QApplication::focusWidget(); }

    // The screen opened with a mortgage number typed, so that the focus can
    // leave the number box.
    std::unique_ptr<Verify_Number_Add> openWithNumber()
    {
        auto s = openScreen<Verify_Number_Add>();
        clerk::type(s->txtNUMBER, "N1");
        return s;
    }
};

TEST_F(AddTest, OpensEmptyWithTheListsFirstCompanyAndSaveOff)
{
    openList(QStringLiteral("SELECT * FROM VERIFY ORDER BY MORTCO DESC"));
    auto s = openScreen<Verify_Number_Add>();
    EXPECT_EQ(s->Label1->text(), "Add New Mortgage");
    EXPECT_EQ(s->windowTitle(), "ZARV (Mortgage Number Verification) - Add a Folio");
    EXPECT_EQ(s->Text_Msg->text(), "Please Enter the new information and press the 'Save' or 'Cancel' button.");
    EXPECT_EQ(s->txtMORTCO->text(), "0077");       // the first row in the list's order
    EXPECT_FALSE(s->Command_OK->isEnabled());
    EXPECT_EQ(items(s->ComboJUR), QStringList{"Please Select the Collection District first !"});
    EXPECT_EQ(s->ComboJUR->currentText(), "");
    EXPECT_EQ(s->ComboCD->count(), 5);
    EXPECT_EQ(s->ComboCD->currentText(), "");
    EXPECT_EQ(s->Label_FOLIO_Red_Required->text(), "Required");
    EXPECT_EQ(s->Label_FOLIO_Grey_Tarnwick_Format->text(), "");
    EXPECT_EQ(focus(), s->txtNUMBER);
    for (QLineEdit* box : {s->txtNUMBER, s->txtFOLIO, s->txtPID})
        EXPECT_TRUE(paintedWith(box, colour::White));
    EXPECT_EQ(s->txtFOLIO->maxLength(), 20);
    s.reset();
    // A company of the list shorter than four characters keeps Save off.
    de().Zarv.execute("UPDATE VERIFY SET MORTCO = '42'");
    openList();
    auto t = openScreen<Verify_Number_Add>();
    clerk::type(t->txtNUMBER, "N1");
    clerk::type(t->txtPID, "5");
    clerk::click(t->txtNAME);
    EXPECT_FALSE(t->Command_OK->isEnabled());
    EXPECT_EQ(t->Text_Msg->text(), "You must enter a VALID Mortgage Company ID! (must be four characters long)");
    clerk::type(t->txtMORTCO, "0042");
    clerk::click(t->txtNAME);
    EXPECT_TRUE(t->Command_OK->isEnabled());
    t.reset();
    // An empty list leaves the company empty.
    de().Zarv.execute("DELETE FROM VERIFY");
    openList();
    EXPECT_EQ(openScreen<Verify_Number_Add>()->txtMORTCO->text(), "");
}

TEST_F(AddTest, JurisdictionListFollowsTheChosenDistrict)
{
    auto s = openWithNumber();
    clerk::pick(s->ComboCD, "01");
    EXPECT_EQ(s->ComboJUR->currentText(), "701 Westport Town");      // its only pair
    clerk::pick(s->ComboCD, "02");
    EXPECT_EQ(items(s->ComboJUR), QStringList({"702 Easton Township", "703 North Vale"}));
    EXPECT_EQ(s->ComboJUR->currentText(), "");                       // 701 is not among them
    clerk::pick(s->ComboJUR, "703");
    typeInto(s->ComboCD, "02 other name");
    EXPECT_EQ(s->ComboJUR->currentText(), "703 North Vale");         // kept: among the pairs
    typeInto(s->ComboJUR, "799 typed");
    typeInto(s->ComboCD, "1");                                       // no district code: all listed
    EXPECT_EQ(s->ComboJUR->count(), 5);
    EXPECT_EQ(s->ComboJUR->currentText(), "799 typed");
    typeInto(s->ComboCD, "0'");                                      // a quote is no code either
    EXPECT_EQ(s->ComboJUR->count(), 5);
    // A leading blank lists everything while typing; the field check trims it.
    typeInto(s->ComboCD, " 01");
    EXPECT_EQ(s->ComboJUR->count(), 5);
    clerk::click(s->txtFOLIO);
    EXPECT_EQ(s->ComboCD->currentText(), "01");
    EXPECT_EQ(s->ComboJUR->currentText(), "701 Westport Town");
}

TEST_F(AddTest, CodeChecksAcceptOnlyDigitsInRange)
{
    auto s = openWithNumber();
    struct Case {
        bool district;
        const char* typed;
        bool refused;
    };
    // Which texts make a code is the unit table's (FolioForms); here the screen's ranges and messages.
    const Case cases[] = {
        {true, "1", false},      {true, "00", true},  {true, "99", false},  {false, "7000", true},
        {false, "701 X", false}, {false, "", false},  {false, "799", false}, {false, "800", true},
        {false, "700", true},    {false, "Please Select the Collection District first !", true},
    };
    for (const Case& c : cases) {
        QComboBox* combo = c.district ? s->ComboCD : s->ComboJUR;
        typeInto(combo, QString::fromLatin1(c.typed));
        const int beeps = ui().beeps();
        clerk::click(s->txtNAME);
        EXPECT_EQ(focus() == combo, c.refused) << c.typed;
        EXPECT_EQ(ui().beeps() - beeps, c.refused ? 1 : 0) << c.typed;
        if (c.refused) {
            EXPECT_EQ(s->Text_Msg->text(), c.district ? "You must enter a valid Collection District (01-99)"
                                                      : "You must enter a valid Jurisdiction Code (701-799)");
            typeInto(combo, "");
            clerk::click(s->txtNAME);
        }
    }
}

TEST_F(AddTest, FolioIsShownInItsFormatAndTheGreyLabelShowsWhatIsStored)
{
    auto s = openWithNumber();
    clerk::pick(s->ComboCD, "01");
    clerk::type(s->txtFOLIO, "001234-567.9");
    clerk::click(s->txtPID);
    EXPECT_EQ(s->txtFOLIO->text(), "001-234-567-9");
    EXPECT_EQ(s->Label_FOLIO_Grey_Tarnwick_Format->text(), "( Tarnwick Folio Format is: 000000000012345679 )");
    // Digits that do not fill the mask exactly are refused where they were typed:
    // none is dropped, none added (701 shows 10).
    for (const char* typed : {"1234567890123", "12345678901234567890", "1234-567.9"}) {
        clerk::type(s->txtFOLIO, QLatin1String(typed));
        clerk::click(s->txtPID);
        EXPECT_EQ(s->txtFOLIO->text(), typed);
        EXPECT_EQ(focus(), s->txtFOLIO) << typed;
        EXPECT_TRUE(s->Text_Msg->text().startsWith("A Folio Number of jurisdiction 701 has 10 digits (###-###-###-#); "))
            << s->Text_Msg->text().toStdString();
    }
    clerk::type(s->txtFOLIO, "4567890123");
    clerk::click(s->txtPID);
    EXPECT_EQ(s->txtFOLIO->text(), "456-789-012-3");
    EXPECT_EQ(s->Label_FOLIO_Grey_Tarnwick_Format->text(), "( Tarnwick Folio Format is: 000000004567890123 )");
    // Coming back shows the display and empties the label.
    clerk::click(s->txtFOLIO);
    EXPECT_EQ(s->Label_FOLIO_Grey_Tarnwick_Format->text(), "");
    // No mask: the 18 digits.
    typeInto(s->ComboJUR, "705");
    clerk::type(s->txtFOLIO, "987");
    clerk::click(s->txtPID);
    EXPECT_EQ(vb::Trim(s->txtFOLIO->text()), "000000000000000987");
}

TEST_F(AddTest, FolioChecksRefuseZerosAndDuplicatesOfActiveAndDeletedRows)
{
    auto s = openWithNumber();
    clerk::pick(s->ComboCD, "01");
    struct Case {
        const char* folio;
        const char* jur;        // picked first
        const char* message;    // "" when accepted
    };
    const Case cases[] = {
        {"0-000", "701", "You must enter a valid Folio Number!"},
        {"abc", "701", "You must enter a valid Folio Number!"},
        {"12345678", "701", "A Folio Number of jurisdiction 701 has 10 digits (###-###-###-#); 8 were typed."},
        {"0012345678", "701",
         "NOTE - This Folio Number already Exist! see folio 01 701 12345.678 ACTIVE ONE"},
        {"777", "702",
         "NOTE - This Folio Number already Exist (BUT it is marked as DELETED)! see folio 02 702 .777 DELETED ONE"},
        {"12345678", "702", ""},        // another jurisdiction
    };
    for (const Case& c : cases) {
        typeInto(s->ComboJUR, QLatin1String(c.jur));
        clerk::type(s->txtFOLIO, QLatin1String(c.folio));
        const int beeps = ui().beeps();
        clerk::click(s->txtNAME);
        const bool refused = *c.message != 0;
        EXPECT_EQ(focus() == s->txtFOLIO, refused) << c.folio;
        EXPECT_EQ(ui().beeps() - beeps, refused ? 1 : 0) << c.folio;
        if (refused) {
            EXPECT_EQ(s->Text_Msg->text(), QLatin1String(c.message));
        }
        const bool duplicate = QLatin1String(c.message).startsWith(QLatin1String("NOTE"));
        EXPECT_EQ(s->Label_FOLIO_Red_Required->text(), duplicate ? "Duplicate!" : "Required") << c.folio;
        const bool unfit = QLatin1String(c.message).startsWith(QLatin1String("A Folio Number"));
        EXPECT_TRUE(paintedWith(s->txtFOLIO, duplicate ? colour::Duplicate : unfit ? colour::Attention : colour::White))
            << c.folio;
    }
}

// Neither folio nor PID is a note, not a refusal; a PID is looked up across
// jurisdictions by its digits.
TEST_F(AddTest, FolioOrPidMustBeGivenAndAPidIsLookedUpByItsDigits)
{
    auto s = openWithNumber();
    clerk::click(s->txtFOLIO);
    clerk::click(s->txtPID);        // the folio box: the note, no beep
    EXPECT_EQ(s->Text_Msg->text(), "Folio Number (or Property Identifier) must be entered!");
    EXPECT_EQ(ui().beeps(), 0);
    clerk::click(s->txtNAME);       // the PID box: the note with a beep, the focus moves on
    EXPECT_EQ(ui().beeps(), 1);
    EXPECT_EQ(focus(), s->txtNAME);
    EXPECT_TRUE(paintedWith(s->txtFOLIO, colour::Attention));
    EXPECT_TRUE(paintedWith(s->txtPID, colour::Attention));
    clerk::type(s->txtPID, "111111111");
    clerk::click(s->txtNAME);
    EXPECT_EQ(focus(), s->txtPID);
    EXPECT_EQ(s->Text_Msg->text(), "NOTE - This Property Identifier (PID) already Exist! see folio 01 701 12345.678 "
                                   "111111111 ACTIVE ONE");
    EXPECT_EQ(s->Label_PID_Red_Required->text(), "Duplicate!");
    clerk::type(s->txtPID, "222222222");
    clerk::click(s->txtNAME);
    EXPECT_EQ(s->Text_Msg->text(), "NOTE - This Property Identifier (PID) already Exist (BUT it is marked as DELETED)! "
                                   "see folio 02 702 .777 222222222 DELETED ONE");
    // A PID without a digit is not numeric (never a lookup of the empty PID,
    // which the row without one would answer).
    clerk::type(s->txtPID, " -- ");
    clerk::click(s->txtNAME);
    EXPECT_EQ(focus(), s->txtPID);
    EXPECT_EQ(s->Text_Msg->text(), "The Property Identifier (PID) must be numeric!");
    EXPECT_EQ(s->Label_PID_Red_Required->text(), "");
    clerk::type(s->txtPID, " 12-34 ");
    clerk::click(s->txtNAME);
    EXPECT_EQ(focus(), s->txtNAME);
    EXPECT_EQ(s->txtPID->text(), "1234");
    EXPECT_EQ(s->Label_PID_Red_Required->text(), "");
    EXPECT_TRUE(paintedWith(s->txtPID, colour::White));
}

TEST_F(AddTest, NumberCompanyNameAndAddressChecks)
{
    auto s = openScreen<Verify_Number_Add>();
    clerk::click(s->txtMORTCO);     // an empty number is refused
    EXPECT_EQ(focus(), s->txtNUMBER);
    EXPECT_EQ(s->Text_Msg->text(), "You must enter a Mortgage Number!");
    clerk::type(s->txtNUMBER, "  300 ");
    clerk::click(s->txtMORTCO);
    EXPECT_EQ(focus(), s->txtMORTCO);
    EXPECT_EQ(s->txtNUMBER->text(), "300");
    EXPECT_EQ(s->Label_NUMBER_Msg->text(), "NOTE that there are one or more folios with this mortgage number!");
    EXPECT_TRUE(paintedWith(s->txtNUMBER, colour::Attention));
    EXPECT_EQ(s->Text_Msg->text(), "");
    EXPECT_EQ(ui().beeps(), 2);
    clerk::type(s->txtNUMBER, "200");           // only a deleted row has it
    clerk::click(s->txtMORTCO);
    EXPECT_EQ(s->Label_NUMBER_Msg->text(), "Required");
    EXPECT_TRUE(paintedWith(s->txtNUMBER, colour::White));
    clerk::type(s->txtNUMBER, "3%");            // matched as typed, so no hit
    clerk::click(s->txtMORTCO);
    EXPECT_EQ(s->Label_NUMBER_Msg->text(), "Required");
    // The company, the name and the addresses.
    clerk::type(s->txtMORTCO, "ab");
    clerk::click(s->txtNAME);
    EXPECT_EQ(focus(), s->txtMORTCO);
    EXPECT_EQ(s->Text_Msg->text(), "You must enter a valid Mortgage Company ID ! (it is four characters long)");
    clerk::type(s->txtMORTCO, "abcd");
    clerk::click(s->txtNAME);
    EXPECT_EQ(s->txtMORTCO->text(), "ABCD");
    clerk::type(s->txtNAME, "   ");
    clerk::click(s->txtADDR1);
    EXPECT_EQ(s->Text_Msg->text(), "NOTE - The Client Name should be entered");
    EXPECT_TRUE(paintedWith(s->txtNAME, colour::Attention));
    EXPECT_EQ(focus(), s->txtADDR1);
    clerk::type(s->txtADDR1, "  12 main st ");
    clerk::type(s->txtLEGAL, " lot 4 ");
    clerk::click(s->txtADDR2);
    EXPECT_EQ(s->txtADDR1->text(), "  12 MAIN ST ");
    EXPECT_EQ(s->txtLEGAL->text(), " LOT 4 ");
}

TEST_F(AddTest, SaveStoresOneAddedRowThatBecomesCurrentWithItsWholeFolio)
{
    auto s = openScreen<Verify_Number_Add>();
    typeValidFolio(*s, "000000005-5");
    clerk::type(s->txtNAME, " new\towner ");
    clerk::type(s->txtADDR3, " box 1");
    clerk::type(s->txtADDR4, "two\r\nlines");     // pasted: line breaks and tabs become blanks
    clerk::click(s->txtLEGAL);
    ASSERT_TRUE(s->Command_OK->isEnabled()) << s->Text_Msg->text().toStdString();
    clerk::click(s->Command_OK);
    EXPECT_FALSE(s->isVisible());
    EXPECT_EQ(storedRows().size(), 4);
    EXPECT_EQ(storedRows().last(), "A|0042|NEW-1|01|701|000000000000000055||NEW OWNER||| BOX 1|TWO  LINES||");
    EXPECT_EQ(current(), "NEW-1");
    expectConsistentList();

    // A folio whose display fills all 20 characters is saved whole.
    auto t = openScreen<Verify_Number_Add>();
    clerk::type(t->txtNUMBER, "N20");
    clerk::type(t->txtMORTCO, "0042");
    clerk::pick(t->ComboCD, "02");
    clerk::pick(t->ComboJUR, "702");
    clerk::type(t->txtFOLIO, "123456789012345678");
    clerk::click(t->txtNAME);
    EXPECT_EQ(t->txtFOLIO->text(), "123456-789012-345678");
    EXPECT_EQ(t->Label_FOLIO_Grey_Tarnwick_Format->text(), "( Tarnwick Folio Format is: 123456789012345678 )");
    clerk::click(t->Command_OK);
    ASSERT_FALSE(t->isVisible()) << t->Text_Msg->text().toStdString();
    EXPECT_EQ(storedRows().last(), "A|0042|N20|02|702|123456789012345678||||||||");
}

// A folio known by its PID alone needs no codes; one the tax office would
// leave out (a code the code tables lack, a folio without codes) keeps Save
// off and names why.
TEST_F(AddTest, APidOnlyFolioNeedsNoCodesAndOneTheTaxOfficeWouldDropIsRefused)
{
    auto s = openScreen<Verify_Number_Add>();
    clerk::type(s->txtNUMBER, "P1");
    clerk::type(s->txtMORTCO, "0042");
    clerk::type(s->txtPID, "99");
    clerk::click(s->txtNAME);
    clerk::click(s->Command_OK);
    ASSERT_FALSE(s->isVisible()) << s->Text_Msg->text().toStdString();
    EXPECT_EQ(storedRows().last(), "A|0042|P1|  |   ||99|||||||");

    const struct {
        const char* district;
        const char* jurisdiction;
        const char* folio;
        const char* pid;
        const char* reasons;
    } cases[] = {
        {"1", "704", "", "98", "collection district 1 is not in the code table"},
        {"", "", "5555", "", "no collection district; no jurisdiction"},
        {"", "704", "", "97", "no collection district"},     // a PID with a jurisdiction is no PID-only folio
    };
    for (const auto& c : cases) {
        auto t = openScreen<Verify_Number_Add>();
        clerk::type(t->txtNUMBER, "P2");
        clerk::type(t->txtMORTCO, "0042");
        typeInto(t->ComboCD, c.district);
        typeInto(t->ComboJUR, c.jurisdiction);
        clerk::type(t->txtFOLIO, c.folio);
        clerk::type(t->txtPID, c.pid);
        clerk::click(t->txtNAME);
        EXPECT_FALSE(t->Command_OK->isEnabled()) << c.reasons;
        EXPECT_EQ(t->Text_Msg->text(), QStringLiteral("The tax office would leave this folio out: %1.").arg(c.reasons));
    }
    EXPECT_EQ(storedRows().size(), 4);
}

TEST_F(AddTest, SaveRepeatsTheWholeCheckAndBeginsNoTransactionWhenItFails)
{
    auto s = openScreen<Verify_Number_Add>();
    typeValidFolio(*s);
    ASSERT_TRUE(s->Command_OK->isEnabled());
    // The folio was taken meanwhile (the list's rows are the screen's rows).
    db::Recordset& rs = DE().rsVerify();
    rs.addNew();
    for (const auto& [field, value] : {std::pair{"ACD", " "}, {"NUMBER", "X"}, {"JUR", "701"},
                                       {"FOLIO", "000000000000000055"}})
        rs.setValue(QLatin1String(field), QLatin1String(value));
    rs.move(0);
    clerk::click(s->Command_OK);
    EXPECT_TRUE(s->isVisible());
    EXPECT_EQ(s->Text_Msg->text(), "The Jurisdiction and Folio Number ALREADY exist!");
    EXPECT_FALSE(s->Command_OK->isEnabled());
    EXPECT_EQ(storedRows().size(), 4);
    EXPECT_FALSE(DE().Zarv.inTransaction());
}

TEST_F(AddTest, FailedSaveRollsBackReportsAndKeepsTheScreenOpen)
{
    moveTo("300");
    auto s = openScreen<Verify_Number_Add>();
    typeValidFolio(*s);
    de().Zarv.execute("CREATE TRIGGER refuse BEFORE INSERT ON VERIFY BEGIN SELECT RAISE(ABORT, 'disk full'); END");
    ui().expectBox(box("UNKNOWN ERROR - Save Failed!", ui::Answer::OK, ui::Icon::Critical));
    clerk::click(s->Command_OK);
    EXPECT_TRUE(s->isVisible());
    EXPECT_EQ(s->Text_Msg->text(), "UNKNOWN ERROR - Save Failed!");
    EXPECT_FALSE(s->Command_OK->isEnabled());
    EXPECT_FALSE(ui().busy());
    EXPECT_EQ(storedRows().size(), 3);
    EXPECT_EQ(current(), "300");
    expectConsistentList();

    // Once the cause is gone a passing field check enables Save again.
    de().Zarv.execute("DROP TRIGGER refuse");
    clerk::click(s->txtFOLIO);
    clerk::click(s->txtNAME);
    ASSERT_TRUE(s->Command_OK->isEnabled());
    clerk::click(s->Command_OK);
    EXPECT_FALSE(s->isVisible());
    EXPECT_EQ(storedRows().size(), 4);
    EXPECT_EQ(current(), "NEW-1");
}

TEST_F(AddTest, CancelClosesWithoutTheFocusedBoxsCheck)
{
    auto s = openWithNumber();
    clerk::type(s->txtFOLIO, "000");
    ui().expectBox(ui::containing("Leave without saving this new folio?"), ui::Answer::Yes);
    clerk::click(s->Command_Cancel);
    EXPECT_FALSE(s->isVisible());
    EXPECT_EQ(ui().beeps(), 0);
    EXPECT_EQ(storedRows().size(), 3);
    expectConsistentList();
}

} // namespace
