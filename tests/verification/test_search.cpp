// The search screen as a clerk works it: status choices and criteria, the
// normalising of typed values, literal matching, Select moving the list.
#include "verification_support.h"

#include "platform/grid/recordsetgrid.h"
#include "verification/screens/Verify_Numbers_Search.h"
#include "verification/screens/folioentry_widgets.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QRadioButton>

using S = Verify_Numbers_Search;
using folioentry::isBold;
using folioentry::paintedWith;
namespace colour = folioentry::colour;

namespace {

class SearchTest : public FolioScreenTest {
protected:
    void SetUp() override
    {
        FolioScreenTest::SetUp();
        addCodes();
        addVerify(" |0042|100|05|701|000000000012345678|001234567|O'HARA|1 MAIN ST");
        addVerify("A|0042|200|5 |702|000000000000000777|222222222|50% OFF");
        addVerify("C|0077|300|02|703|||SMITH||||||LOT_9");
        addVerify("D|0077|400|03|704|||SMITH GONE");
        addVerify("X|0099|500|01|701|000000000000000500||ODD CODE");
        openList(QStringLiteral("SELECT * FROM VERIFY ORDER BY NAME"));
        screen = openScreen<Verify_Numbers_Search>();
    }
    void TearDown() override
    {
        screen.reset();
        FolioScreenTest::TearDown();
    }

    // Ticks the criterion and types into its box (the focus is there then).
    void criterion(int field, const QString& text)
    {
        if (!screen->Check[size_t(field)]->isChecked()) {
            clerk::click(screen->Check[size_t(field)]);
            EXPECT_EQ(QApplication::focusWidget(), screen->Entry[size_t(field)]);
        }
        if (auto* combo = qobject_cast<QComboBox*>(screen->Entry[size_t(field)]))
            typeInto(combo, text);
        else
            clerk::type(static_cast<QLineEdit*>(screen->Entry[size_t(field)]), text);
    }

    // Presses Find and returns the mortgage numbers the grid shows.
    QStringList find()
    {
        clerk::click(screen->Command_Find);
        QStringList found;
        ui::RecordsetModel* model = screen->TDBGrid->recordsetModel();
        for (int row = 0; row < model->rowCount(); ++row)
            found << model->cellText(row, 2);
        return found;
    }

    // The screen closed and opened anew.
    void reopen()
    {
        screen.reset();
        screen = openScreen<Verify_Numbers_Search>();
    }

    std::unique_ptr<Verify_Numbers_Search> screen;
};

// The screen opens with an empty result and every criterion off; then the
// status choices and the tick that includes rows marked deleted.
TEST_F(SearchTest, OpensEmptyThenStatusChoicesAndIncludeDeleted)
{
    EXPECT_EQ(screen->TDBGrid->recordsetModel()->rowCount(), 0);
    EXPECT_FALSE(screen->Command_Select->isEnabled());
    EXPECT_TRUE(screen->Option_ACD_ALL->isChecked());
    EXPECT_TRUE(isBold(screen->Option_ACD_ALL));
    EXPECT_FALSE(isBold(screen->Option_ACD_A));
    EXPECT_TRUE(screen->Check_ACD_Deleted->isVisible());
    EXPECT_FALSE(screen->Check_ACD_Deleted->isChecked());
    EXPECT_EQ(screen->Frame_ACD->title(), "< Mortgage Number \"Status\" >");
    EXPECT_EQ(screen->Text_Msg->text(), "Please set the selection criteria and press the \"Find\" button.");
    for (int f = 0; f < S::kFields; ++f) {
        EXPECT_FALSE(screen->Check[size_t(f)]->isChecked());
        EXPECT_FALSE(screen->Entry[size_t(f)]->isEnabled());
        EXPECT_TRUE(paintedWith(screen->Entry[size_t(f)], colour::Unticked));
        EXPECT_EQ(folioentry::textOf(screen->Entry[size_t(f)]), "");
    }
    EXPECT_EQ(screen->ComboCD->count(), 5);
    EXPECT_EQ(screen->ComboJUR->itemText(0), "701 Westport Town");
    EXPECT_TRUE(screen->Command_Find->isDefault());

    struct Case {
        QRadioButton* S::*option;
        bool includeDeleted;
        QStringList found;
    };
    const Case cases[] = {
        {&S::Option_ACD_ALL, false, {"100", "200", "300", "500"}},   // any code but "D", "X" included
        {&S::Option_ACD_ALL, true, {"100", "200", "300", "400", "500"}},
        {&S::Option_ACD_A, false, {"200"}},
        {&S::Option_ACD_C, false, {"300"}},
        {&S::Option_ACD_No_Change, false, {"100"}},
        {&S::Option_ACD_D, false, {"400"}},
    };
    for (const Case& c : cases) {
        clerk::click((*screen).*(c.option));
        if (c.includeDeleted)
            clerk::click(screen->Check_ACD_Deleted);
        EXPECT_EQ(find(), c.found);
        EXPECT_TRUE(isBold((*screen).*(c.option)));
        EXPECT_EQ(screen->Text_Msg->text(), c.found.size() == 1 ? "Folio Record Found!"
                                                                : "Multiple Folio Records found that matched the search!");
        EXPECT_TRUE(screen->Command_Select->isEnabled());
    }
    EXPECT_FALSE(screen->Check_ACD_Deleted->isVisible());
    // The tick survives while another status is chosen and counts again under All.
    clerk::click(screen->Option_ACD_ALL);
    EXPECT_TRUE(screen->Check_ACD_Deleted->isVisible());
    EXPECT_TRUE(screen->Check_ACD_Deleted->isChecked());
    EXPECT_TRUE(isBold(screen->Check_ACD_Deleted));
    EXPECT_EQ(find().size(), 5);
    criterion(S::NAME, "NOBODY");
    EXPECT_TRUE(find().isEmpty());
    EXPECT_EQ(screen->Text_Msg->text(), "There are no Folio Records matching the search criteria!");
    EXPECT_FALSE(screen->Command_Select->isEnabled());
}

TEST_F(SearchTest, EachCriterionMatchesItsTextLiterallyAnywhereInTheField)
{
    struct Case {
        int field;
        const char* typed;
        QStringList found;
    };
    const Case cases[] = {
        {S::MORTCO, "77", {"300"}},
        {S::NUMBER, "00", {"100", "200", "300", "500"}},
        {S::CD, "5", {"200"}},              // "5 " is not "05"
        {S::CD, "05", {"100"}},
        {S::JUR, "702 Easton", {"200"}},
        {S::FOLIO, "7-77", {"200"}},
        {S::PID, "0012", {"100"}},
        {S::NAME, "smith", {"300"}},
        {S::NAME, "O'HARA", {"100"}},
        {S::NAME, "%", {"200"}},
        {S::NAME, "H_R", {}},               // not O'HARA: "_" is no wildcard
        {S::ADDR1, "main", {"100"}},
        {S::LEGAL, "T_9", {"300"}},
        {S::LEGAL, "T%9", {}},
    };
    for (const Case& c : cases) {
        reopen();
        criterion(c.field, QString::fromLatin1(c.typed));
        EXPECT_EQ(find(), c.found) << c.typed;
    }
    reopen();
    clerk::click(screen->Check[S::CD]);
    clerk::pick(screen->ComboCD, "5 ");
    EXPECT_EQ(find(), QStringList{"200"});
    EXPECT_TRUE(ui().boxes().empty());
}

TEST_F(SearchTest, LeavingABoxNormalisesItsTextAndAnEmptyOneUnticksItself)
{
    criterion(S::FOLIO, " 00-123 45");
    criterion(S::PID, "0012a");
    EXPECT_EQ(screen->txtFOLIO->text(), "12345");
    criterion(S::NAME, "   ");
    clerk::click(screen->Check[S::MORTCO]);
    EXPECT_EQ(screen->txtPID->text(), "0012");
    EXPECT_FALSE(screen->Check[S::NAME]->isChecked());
    EXPECT_FALSE(screen->txtNAME->isEnabled());
    EXPECT_FALSE(isBold(screen->Label[S::NAME]));
    EXPECT_TRUE(isBold(screen->Label[S::MORTCO]));
    EXPECT_TRUE(paintedWith(screen->txtMORTCO, colour::Attention));
    criterion(S::FOLIO, "000");
    clerk::click(screen->Check[S::LEGAL]);
    EXPECT_EQ(screen->txtFOLIO->text(), "");
    EXPECT_FALSE(screen->Check[S::FOLIO]->isChecked());
    EXPECT_TRUE(paintedWith(screen->txtFOLIO, colour::Unticked));
    // Unticking keeps the text; ticking again selects it.
    clerk::click(screen->Check[S::PID]);
    EXPECT_EQ(screen->txtPID->text(), "0012");
    clerk::click(screen->Check[S::PID]);
    EXPECT_EQ(screen->txtPID->selectedText(), "0012");
}

// A code out of range keeps the focus in its combo (the click elsewhere does
// not happen) with a beep; a code in range lets it go; an empty combo unticks.
TEST_F(SearchTest, CodeCombosAcceptOnlyCodesInRange)
{
    const struct {
        int field;
        const char* typed;
        bool refused;
    } cases[] = {
        {S::JUR, "7000", true}, {S::JUR, "800", true}, {S::JUR, "799", false}, {S::JUR, " 701 ", false},
        {S::CD, "00", true},    {S::CD, "1", false},   {S::CD, "99", false},
    };
    for (const auto& c : cases) {
        criterion(c.field, QLatin1String(c.typed));
        const int beeps = ui().beeps();
        clerk::click(screen->Check[S::NAME]);
        EXPECT_EQ(QApplication::focusWidget() == screen->Entry[size_t(c.field)], c.refused) << c.typed;
        EXPECT_EQ(screen->Check[S::NAME]->isChecked(), !c.refused) << c.typed;
        EXPECT_EQ(ui().beeps() - beeps, c.refused ? 1 : 0) << c.typed;
        if (c.field == S::JUR) {
            EXPECT_EQ(screen->Text_Msg->text(),
                      c.refused ? "You must enter a valid Jurisdiction Code (701-799)"
                                : "Please set the selection criteria and press the 'Find' button.")
                << c.typed;
        }
        if (!c.refused)
            clerk::click(screen->Check[S::NAME]);   // untick again
    }
    EXPECT_EQ(screen->ComboJUR->currentText(), "701");
    typeInto(screen->ComboJUR, "");
    screen->Text_Msg->clear();
    clerk::click(screen->Check[S::LEGAL]);
    EXPECT_EQ(screen->Text_Msg->text(), "");
    EXPECT_FALSE(screen->Check[S::JUR]->isChecked());
}

// Enter finds at once with the box as typed. A double-click on an empty result
// is reported and the screen stays open, the list where it was.
TEST_F(SearchTest, EnterFindsAtOnceWithTheBoxAsTypedAndSelectingNothingIsReported)
{
    criterion(S::NAME, " SMITH");
    clerk::key(Qt::Key_Return);
    EXPECT_EQ(screen->Text_Msg->text(), "There are no Folio Records matching the search criteria!");
    EXPECT_EQ(screen->txtNAME->text(), " SMITH");
    ui::RecordsetGrid* grid = screen->TDBGrid;
    clerk::doubleClick(grid->viewport(), QPoint(5, grid->viewport()->height() - 5));
    clerk::wait();
    EXPECT_TRUE(screen->isVisible());
    EXPECT_EQ(screen->Text_Msg->text(), "ERROR could not find the payment");
    EXPECT_TRUE(screen->Command_Select->isEnabled());
    EXPECT_EQ(ui().beeps(), 1);
    EXPECT_FALSE(ui().busy());
    EXPECT_EQ(current(), "200");        // the list's first row by name: it has not moved

    clerk::type(screen->txtNAME, "SMITH ");
    clerk::key(Qt::Key_Return);
    EXPECT_EQ(screen->Text_Msg->text(), "There are no Folio Records matching the search criteria!");
    clerk::type(screen->txtNAME, "SMITH");
    clerk::key(Qt::Key_Return);
    EXPECT_EQ(screen->Text_Msg->text(), "Folio Record Found!");
}

TEST_F(SearchTest, SelectMovesTheListToTheFirstEqualRowInItsOrder)
{
    // Two rows equal in the six compared fields; the list (by name) has "AAA" first.
    addVerify(" |0042|600|01|701|000000000000000600|6|ZZZ");
    addVerify(" |0042|600|01|701|000000000000000600|6|AAA");
    openList(QStringLiteral("SELECT * FROM VERIFY ORDER BY NAME"));
    moveTo("300");
    reopen();
    criterion(S::NUMBER, "600");
    ASSERT_EQ(find(), QStringList({"600", "600"}));
    ui::RecordsetGrid* grid = screen->TDBGrid;
    ASSERT_EQ(grid->recordsetModel()->cellText(1, 7), "AAA");   // rowid order within the number
    clerk::doubleClick(grid->viewport(), grid->visualRect(grid->recordsetModel()->index(0, 7)).center());
    EXPECT_FALSE(screen->isVisible());
    EXPECT_EQ(DE().rsVerify().text("NAME"), "AAA");
    EXPECT_FALSE(DE().rsVerify2().isOpen());

    // Close leaves the list where it was.
    moveTo("100");
    reopen();
    criterion(S::NUMBER, "300");
    find();
    clerk::click(screen->Command_Close);
    EXPECT_EQ(current(), "100");

    // Select on a row the list shows selects it whatever the list's order.
    reopen();
    clerk::click(screen->Check_ACD_Deleted);
    criterion(S::NAME, "GONE");
    ASSERT_EQ(find(), QStringList{"400"});
    clerk::click(screen->Command_Select);
    EXPECT_EQ(current(), "400");
    expectConsistentList();
}

} // namespace
