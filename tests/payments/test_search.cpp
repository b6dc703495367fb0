// The payment search: criteria, literal matching, Select moving the list.
#include "screens_support.h"

#include "payments/Detail.h"
#include "payments/Detail_Search.h"
#include "payments/Group.h"
#include "platform/data/recordset.h"
#include "platform/forms/formcolours.h"
#include "platform/grid/recordsetgrid.h"
#include "services/dataenvironment.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

using namespace zarv;
using namespace zarv::test;

namespace {

class SearchTest : public ScreensTest {
protected:
    void open(const QString& mortco, std::function<void(Detail_Search&)> script,
              std::function<void(Detail&)> before = {}, std::function<void(Detail&)> after = {})
    {
        Group screen;
        clerk::activate(&screen);
        openList(screen, mortco, [&](Detail& list) {
            if (before)
                before(list);
            expectScreen<Detail_Search>("Detail_Search", script);
            clerk::activate(&list);
            clerk::click(list.Command_Search);
            if (after)
                after(list);
        });
    }

    static QStringList resultNames(Detail_Search& search) { return gridNames(search.TDBGrid); }

    // Ticks the criterion and types the text into its box.
    static void tick(QCheckBox* check, QLineEdit* box, const QString& text)
    {
        if (!check->isChecked())
            clerk::click(check);
        clerk::type(box, text);
    }
};

TEST_F(SearchTest, StartsEmptyWhateverTheAgencyIsCalled)
{
    // An agency named NONE must not fill the result of a search nobody ran.
    load({{QStringLiteral("0001"), QStringLiteral("NONE"), {paymentLine("1", "NOBODY", "01", "701", "1", "5")}}});
    open("NONE", [](Detail_Search& search) {
        EXPECT_EQ(search.TDBGrid->recordsetModel()->rowCount(), 0);
        EXPECT_FALSE(search.Command_Select->isEnabled());
        for (QLineEdit* box : {search.txtCD, search.txtJUR, search.txtFOLIO_DISP, search.txtNUMBER, search.txtNAME}) {
            EXPECT_FALSE(box->isEnabled());
            EXPECT_EQ(ui::backColour(box), QColor(0xE0, 0xE0, 0xE0));
        }
        EXPECT_FALSE(search.Check_NAME->isChecked());
        tick(search.Check_NAME, search.txtNAME, "NOB");
        EXPECT_EQ(ui::backColour(search.txtNAME), ui::vbColour(ui::colour::SystemWindow));
        clerk::click(search.Command_Find);
        EXPECT_EQ(resultNames(search), QStringList({"NOBODY"}));
        EXPECT_EQ(search.Text_Msg->text(), "Payment Found!");
        clerk::click(search.Command_Close);
    });
    EXPECT_FALSE(DE().rsDetail2().isOpen());
}

struct CriterionCase {
    const char* check;
    const char* box;
    const char* text;
    QStringList found;      // in the result's order
};

void PrintTo(const CriterionCase& c, std::ostream* os)
{
    *os << c.check << " " << c.text;
}

class CriterionTest : public SearchTest, public ::testing::WithParamInterface<CriterionCase> {};

TEST_P(CriterionTest, FindsByTheCriterionAndSelectMovesTheList)
{
    const CriterionCase c = GetParam();
    loadSample();
    open(
        "0042",
        [&](Detail_Search& search) {
            auto* check = search.findChild<QCheckBox*>(QLatin1String(c.check));
            auto* box = search.findChild<QLineEdit*>(QLatin1String(c.box));
            ASSERT_TRUE(check && box);
            tick(check, box, QLatin1String(c.text));
            clerk::key(Qt::Key_Return);     // Find is the default button
            EXPECT_EQ(resultNames(search), c.found);
            EXPECT_EQ(search.Text_Msg->text(), c.found.size() == 1 ? "Payment Found!"
                                                                   : "Multiple payments found that matched the search!");
            EXPECT_TRUE(search.Command_Select->isEnabled());
            clickRow(search.TDBGrid, int(c.found.size()) - 1);
            clerk::click(search.Command_Select);
            EXPECT_FALSE(search.isVisible());
        },
        [](Detail& list) { clerk::click(list.Option_Sort_Name); },
        [&](Detail& list) {
            EXPECT_EQ(currentName(list), c.found.back());
            EXPECT_EQ(listNames(list), QStringList({"ADAMS", "BROWN", "OWNER NAME"}));
        });
    EXPECT_EQ(folioCount("0042"), 3);
    EXPECT_DOUBLE_EQ(totalPay("0042"), 1850.49);
}

INSTANTIATE_TEST_SUITE_P(
    Criteria, CriterionTest,
    ::testing::Values(CriterionCase{"Check_CD", "txtCD", "01", {"OWNER NAME", "ADAMS"}},
                      CriterionCase{"Check_JUR", "txtJUR", "70", {"OWNER NAME", "ADAMS", "BROWN"}},
                      CriterionCase{"Check_FOLIO", "txtFOLIO_DISP", "456-7", {"OWNER NAME"}},
                      CriterionCase{"Check_NUMBER", "txtNUMBER", "222", {"BROWN"}},
                      CriterionCase{"Check_NAME", "txtNAME", "dam", {"ADAMS"}}));

TEST_F(SearchTest, TypedQuotesAndWildcardsMatchOnlyThemselves)
{
    load({{QStringLiteral("0001"), QStringLiteral("0001"),
           {paymentLine("1", "50% OFF", "01", "701", "1", "1"), paymentLine("2", "50X OFF", "01", "701", "2", "1"),
            paymentLine("3", "A_B", "01", "701", "3", "1"), paymentLine("4", "AXB", "01", "701", "4", "1"),
            paymentLine("5", "X*Y", "01", "701", "5", "1"), paymentLine("6", "XZY", "01", "701", "6", "1"),
            paymentLine("7", "[A]B", "01", "701", "7", "1"), paymentLine("8", "A", "01", "701", "8", "1")}}});
    // The file cannot carry a quote: put one in afterwards.
    DE().Zarv.execute(QStringLiteral("UPDATE Detail SET NAME = 'O''BRIEN' WHERE NUMBER = '8'"));
    DE().rsDetail().requery();
    open("0001", [](Detail_Search& search) {
        const std::pair<const char*, QStringList> cases[] = {
            {"%", {"50% OFF"}}, {"_", {"A_B"}}, {"*", {"X*Y"}}, {"[A]", {"[A]B"}}, {"'", {"O'BRIEN"}}, {"''", {}}};
        for (const auto& [typed, found] : cases) {
            tick(search.Check_NAME, search.txtNAME, QLatin1String(typed));
            clerk::click(search.Command_Find);
            EXPECT_EQ(resultNames(search), found) << typed;
        }
        tick(search.Check_CD, search.txtCD, "'");
        clerk::click(search.Command_Find);
        EXPECT_EQ(search.Text_Msg->text(), "There are no payments matching the search criteria!");
        EXPECT_FALSE(search.Command_Select->isEnabled());
        clerk::click(search.Command_Close);
    });
    EXPECT_TRUE(ui().boxes().empty());
}

TEST_F(SearchTest, MissingAndEmptyCriteriaAreReported)
{
    loadSample();
    open("0042", [](Detail_Search& search) {
        clerk::click(search.Command_Find);
        EXPECT_EQ(search.Text_Msg->text(), "No Search criteria has been selected!");
        EXPECT_TRUE(search.Command_Find->isEnabled());

        clerk::click(search.Check_NAME);
        clerk::click(search.Check_JUR);
        clerk::click(search.Command_Find);
        EXPECT_EQ(search.Text_Msg->text(), "Jurisdiction Search has nothing entered to search on!");
        EXPECT_EQ(QApplication::focusWidget(), search.txtJUR);
        search.txtJUR->setText("7");
        clerk::click(search.Command_Find);
        EXPECT_EQ(search.Text_Msg->text(), "Name Search has nothing entered to search on!");
        EXPECT_EQ(QApplication::focusWidget(), search.txtNAME);

        // An unticked criterion is ignored, and keeps its text.
        clerk::click(search.Check_NAME);
        EXPECT_FALSE(search.txtNAME->isEnabled());
        search.txtNAME->setText("NOBODY");
        clerk::click(search.Command_Find);
        EXPECT_EQ(resultNames(search).size(), 3);
        clerk::click(search.Check_NAME);
        EXPECT_EQ(search.txtNAME->text(), "NOBODY");
        clerk::click(search.Command_Find);
        EXPECT_EQ(search.Text_Msg->text(), "There are no payments matching the search criteria!");
        EXPECT_FALSE(search.Command_Select->isEnabled());
        clerk::click(search.Command_Close);
    });
}

TEST_F(SearchTest, BlankBoxesAreTrimmedOnLeavingButNotByEnter)
{
    loadSample();
    open("0077", [](Detail_Search& search) {
        // Leaving a box trims it: blanks typed around a name still find it.
        clerk::click(search.Check_NAME);
        clerk::type(search.txtNAME, " DAVIS ");
        clerk::click(search.Command_Find);
        EXPECT_EQ(resultNames(search), QStringList({"DAVIS"}));
        clerk::click(search.Check_NAME);

        // Enter does not leave the box, so its blanks are not trimmed away.
        clerk::click(search.Check_NUMBER);
        clerk::click(search.txtNUMBER);
        search.txtNUMBER->setText("   ");
        clerk::key(Qt::Key_Return);
        EXPECT_EQ(resultNames(search), QStringList({"CLARK", "DAVIS"}));   // no number condition, this group only

        clerk::click(search.Check_NUMBER);
        clerk::click(search.Check_FOLIO);
        clerk::click(search.txtFOLIO_DISP);
        search.txtFOLIO_DISP->setText("  ");
        clerk::key(Qt::Key_Return);
        EXPECT_EQ(search.txtFOLIO_DISP->text(), "");
        EXPECT_EQ(search.Text_Msg->text(), "There are no payments matching the search criteria!");
        clerk::click(search.Command_Close);
    });
}

TEST_F(SearchTest, APaymentGoneFromTheListCannotBeSelected)
{
    loadSample();
    // ADAMS shares BROWN's district, jurisdiction and folio: only the name tells them apart.
    DE().Zarv.execute(QStringLiteral("UPDATE Detail SET CD = '02', "
                                     "FOLIO = (SELECT FOLIO FROM Detail WHERE NAME = 'BROWN') WHERE NAME = 'ADAMS'"));
    DE().rsDetail().requery();
    open(
        "0042",
        [](Detail_Search& search) {
            tick(search.Check_NAME, search.txtNAME, "BROWN");
            clerk::click(search.Command_Find);
            // Meanwhile the payment leaves the list.
            db::Recordset& list = DE().rsDetail();
            list.find(QStringLiteral("NAME = 'BROWN'"));
            list.deleteCurrent();
            list.moveFirst();
            list.moveNext();
            clerk::click(search.Command_Select);
            EXPECT_TRUE(search.isVisible());
            EXPECT_EQ(search.Text_Msg->text(), "ERROR could not find the payment");
            EXPECT_TRUE(search.Command_Select->isEnabled());
            EXPECT_EQ(list.text("NAME"), "ADAMS");      // where it stood
            clerk::click(search.Command_Close);
        },
        {}, [](Detail& list) { EXPECT_EQ(currentName(list), "ADAMS"); });
    EXPECT_EQ(ui().beeps(), 1);
    EXPECT_EQ(folioCount("0042"), 2);
}

TEST_F(SearchTest, DoubleClickOnAResultSelectsIt)
{
    loadSample();
    open(
        "0042",
        [](Detail_Search& search) {
            const QRect empty(0, 0, 10, 10);
            clerk::doubleClick(search.TDBGrid->viewport(), empty.center());   // nothing found yet: nothing happens
            EXPECT_TRUE(search.isVisible());
            tick(search.Check_CD, search.txtCD, "0");
            clerk::click(search.Command_Find);
            const QRect cell = search.TDBGrid->visualRect(search.TDBGrid->model()->index(1, 0));
            clerk::doubleClick(search.TDBGrid->viewport(), cell.center());
            EXPECT_FALSE(search.isVisible());
        },
        {}, [](Detail& list) { EXPECT_EQ(currentName(list), "ADAMS"); });
}

} // namespace
