// The group screen: totals, the year banner, Select with its recount, the
// agency screen.
#include "screens_support.h"

#include "payments/Detail.h"
#include "payments/Group.h"
#include "payments/Group_Agency.h"

#include <functional>
#include "platform/data/recordset.h"
#include "platform/forms/formcolours.h"
#include "platform/grid/recordsetgrid.h"
#include "services/dataenvironment.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

using namespace zarv;
using namespace zarv::test;

namespace {

class GroupTest : public GroupScreenTest {
protected:
    // The agency's stored values.
    static QStringList stored(const char* mortco, const QStringList& fields)
    {
        return onlyRowOf(QStringLiteral("SELECT * FROM \"Group\" WHERE MORTCO = '") + mortco + '\'', fields);
    }
};

TEST_F(GroupTest, OpensOnTheFirstGroupWithTheGrandTotal)
{
    EXPECT_EQ(group->Label_Total->text(), "4,860.49");
    // The paying agency, as the grid's first column names it; its group number is the tip.
    EXPECT_EQ(group->Label_Group->text(), "0042");
    EXPECT_EQ(group->Label_Group->toolTip(), "Group 0001");
    EXPECT_EQ(group->windowTitle(), "ZARV - Payment Groups");
    EXPECT_EQ(group->TDBGrid->currentRowIndex(), 0);
    EXPECT_TRUE(group->Frame_Historical->isHidden());
    EXPECT_EQ(group->Text_Msg->text(), "Please select the Agency and press the desired button.");
    EXPECT_EQ(group->TDBGrid->recordsetModel()->cellText(0, 4), "$1,850.49");
    EXPECT_EQ(group->TDBGrid->recordsetModel()->cellText(0, 3), "3") << "a count is a whole number";
    // Every heading names its own column.
    QStringList headings;
    for (int c = 0; c < group->TDBGrid->recordsetModel()->columnCount(); ++c)
        headings << group->TDBGrid->recordsetModel()->headerData(c, Qt::Horizontal).toString();
    EXPECT_EQ(headings, QStringList({"Agency", "Name 1", "Name 2", "Folios", "Payment Amount", "Contact Person",
                                     "Phone Number", "Address 1", "Address 2", "Address 3", "Address 4",
                                     "Address 5", "Address 6", "Due Date"}));
}

TEST_F(GroupTest, ShowsTheYearOfOldDataAndGroupsLargeTotals)
{
    group.reset();   // one screen over the data, as in a run
    load({{QStringLiteral("0001"), QStringLiteral("0001"), {paymentLine("1", "A", "01", "701", "1", "1234567.5")}}},
         QStringLiteral("2019"));
    Group screen;
    EXPECT_FALSE(screen.Frame_Historical->isHidden());
    EXPECT_EQ(screen.Label_Historical_Year->text(), "2019");
    EXPECT_EQ(screen.Label_Total->text(), "1,234,567.50");
}

TEST_F(GroupTest, SelectRestrictsTheListToTheGroupAndRecountsItAfterwards)
{
    // The load's totals are changed behind the screen's back; Select counts again.
    DE().Zarv.execute(QStringLiteral("UPDATE Detail SET PAYMENT = 1 WHERE NAME = 'CLARK'"));
    DE().rsDetail().requery();

    openList(*group, QStringLiteral("0077"), [&](Detail& list) {
        EXPECT_TRUE(group->Command_Details->isEnabled() == false);
        EXPECT_TRUE(ui().isParked(group.get()));
        EXPECT_EQ(listNames(list), QStringList({"CLARK", "DAVIS"}));
        EXPECT_EQ(currentName(list), "CLARK");
        EXPECT_TRUE(list.Option_Sort_CD->isChecked());
    });

    EXPECT_FALSE(ui().isParked(group.get()));
    EXPECT_TRUE(group->Command_Details->isEnabled());
    EXPECT_EQ(group->Text_Msg->text(), "");
    EXPECT_EQ(folioCount("0077"), 2);
    EXPECT_EQ(totalPay("0077"), 2001);
    EXPECT_EQ(group->Label_Total->text(), "3,861.49");
    EXPECT_DOUBLE_EQ(group->TotalBulkPayment, 3861.49);
    EXPECT_EQ(DE().rsDetail().filter(), "");
    EXPECT_EQ(DE().rsGroup().text("MORTCO"), "0077");
    EXPECT_EQ(group->TDBGrid->recordsetModel()->cellText(group->TDBGrid->currentRowIndex(), 4), "$2,001.00");
}

TEST_F(GroupTest, DoubleClickOnAGroupSelectsIt)
{
    expectScreen<Detail>("Detail", [](Detail& list) {
        EXPECT_EQ(listNames(list), QStringList({"EVANS"}));
        clerk::click(list.Command_Close);
    });
    const QRect cell = group->TDBGrid->visualRect(group->TDBGrid->model()->index(2, 0));
    clerk::doubleClick(group->TDBGrid->viewport(), cell.center());
    EXPECT_EQ(ui().modalsShown(), QStringList({"Detail"}));
}

TEST_F(GroupTest, WithoutGroupsNothingOpens)
{
    group.reset();
    load({});
    Group screen;
    clerk::activate(&screen);
    EXPECT_EQ(screen.Label_Total->text(), "0.00");
    clerk::click(screen.Command_Details);
    clerk::click(screen.Command_AgencyInformation);
    EXPECT_TRUE(ui().modalsShown().isEmpty());
    EXPECT_EQ(ui().beeps(), 2);
    EXPECT_TRUE(screen.Command_Details->isEnabled());
}

// Enter as OK is left to the refused-boxes test below.
TEST_F(GroupTest, TheAgencyScreenStoresItsEditsOnOk)
{
    chooseGroup(*group, QStringLiteral("0077"));
    expectScreen<Group_Agency>("Group_Agency", [&](Group_Agency& agency) {
        EXPECT_EQ(agency.windowTitle(), "ZARV - Agency 0077 Information");
        EXPECT_EQ(agency.Label5->text(), "0077");
        EXPECT_EQ(agency.Label6->text(), "2");
        EXPECT_EQ(agency.Label7->text(), "$3,000.00");
        EXPECT_EQ(agency.Text1->maxLength(), 35);
        EXPECT_EQ(agency.Text4->maxLength(), 13);
        clerk::type(agency.Text1, QStringLiteral("CLOSED BY OK"));
        clerk::type(agency.Text5, QStringLiteral("1 HIGH STREET"));
        clerk::click(agency.Command1);
        EXPECT_FALSE(agency.isVisible());
    });
    clerk::activate(group.get());
    clerk::click(group->Command_AgencyInformation);
    EXPECT_EQ(DE().rsGroup().text("NAME1"), "CLOSED BY OK");
    EXPECT_EQ(stored("0077", {"NAME1", "ADDR1"}), QStringList({"CLOSED BY OK", "1 HIGH STREET"}));
    EXPECT_TRUE(group->Command_AgencyInformation->isEnabled());
    EXPECT_FALSE(ui().isParked(group.get()));
}

// Esc, Cancel and the close box leave the agency as it was; with a box changed
// they ask first, and Enter on that question keeps the clerk on the screen.
TEST_F(GroupTest, TheAgencyScreenCancelsOnEscCancelAndTheCloseBoxAskingFirstWhenEdited)
{
    chooseGroup(*group, QStringLiteral("0077"));
    const QStringList before = stored("0077", {"NAME1"});
    const std::function<void(Group_Agency&)> leaves[] = {
        [](Group_Agency&) { clerk::key(Qt::Key_Escape); },
        [](Group_Agency& a) { clerk::click(a.Command_Cancel); },
        [](Group_Agency& a) { a.close(); },
    };
    for (const auto& leave : leaves) {
        expectScreen<Group_Agency>("Group_Agency", [&](Group_Agency& agency) {
            leave(agency);      // nothing changed: no question
            EXPECT_FALSE(agency.isVisible());
        });
        clerk::activate(group.get());
        clerk::click(group->Command_AgencyInformation);

        expectScreen<Group_Agency>("Group_Agency", [&](Group_Agency& agency) {
            // A character the file cannot hold: leaving without storing never checks it.
            clerk::type(agency.Text1, QString::fromUtf8("NOT WANTED \u03A9"));
            ui().expectBoxEnter(ui::containing("Leave without storing the changes to the agency's information?"));
            leave(agency);
            EXPECT_TRUE(agency.isVisible()) << "Enter answers No";
            EXPECT_EQ(ui().boxes().back().defaultAnswer, ui::Answer::No);
            ui().expectBox(ui::containing("Leave without storing"), ui::Answer::Yes);
            leave(agency);
            EXPECT_FALSE(agency.isVisible());
        });
        clerk::activate(group.get());
        clerk::click(group->Command_AgencyInformation);
        EXPECT_EQ(stored("0077", {"NAME1"}), before);
    }
}

// Leaving a box and OK both refuse a character the payment file cannot hold;
// nothing is stored until every box passes.
TEST_F(GroupTest, TheAgencyScreenRefusesACharacterThePaymentFileCannotHold)
{
    chooseGroup(*group, QStringLiteral("0077"));
    const auto refused = [](const char* what, const char* character) {
        return boxWith(ui::TextMatch::exactly(QStringLiteral("The %1 holds \"%2\", a character the payment file "
                                                             "cannot hold!")
                                                  .arg(QLatin1String(what), QString::fromUtf8(character))),
                       ui::Icon::Exclamation);
    };
    const QStringList before = stored("0077", {"NAME1", "ADDR6"});
    expectScreen<Group_Agency>("Group_Agency", [&](Group_Agency& agency) {
        ui().expectBox(refused("Name", "\u03A9"));
        clerk::type(agency.Text1, QString::fromUtf8("\u03A9MEGA \u00B5"));
        clerk::click(agency.Text2);
        EXPECT_EQ(QApplication::focusWidget(), agency.Text1);
        EXPECT_TRUE(ui::isMarkedError(agency.Text1));

        agency.Text1->setText(QString::fromUtf8("\u00C9MILE \u00B5"));   // both in the code page
        agency.Text10->setText(QString::fromUtf8("FLAT \U0001F600"));    // never entered
        ui().expectBox(refused("Address", "\U0001F600"));
        clerk::click(agency.Command1);
        EXPECT_TRUE(agency.isVisible());
        EXPECT_EQ(QApplication::focusWidget(), agency.Text10);
        EXPECT_EQ(stored("0077", {"NAME1", "ADDR6"}), before);

        agency.Text10->setText(QStringLiteral("FLAT 1"));
        clerk::click(agency.Command1);
        EXPECT_FALSE(agency.isVisible());
    });
    clerk::activate(group.get());
    clerk::click(group->Command_AgencyInformation);
    EXPECT_EQ(stored("0077", {"NAME1", "ADDR6"}), QStringList({QStringLiteral("\u00C9MILE \u00B5"), "FLAT 1"}));
}

TEST_F(GroupTest, WithSeveralRefusedBoxesTheAgencyScreenNamesTheOneTheClerkIsIn)
{
    chooseGroup(*group, QStringLiteral("0077"));
    expectScreen<Group_Agency>("Group_Agency", [&](Group_Agency& agency) {
        agency.Text7->setFocus();
        clerk::wait();
        agency.Text1->setText(QString::fromUtf8("\u03A9MEGA"));      // never entered
        agency.Text7->setText(QString::fromUtf8("FLAT \U0001F600"));
        ui().expectBox(boxWith(ui::TextMatch::exactly(QString::fromUtf8("The Address holds \"\U0001F600\", a character "
                                                                         "the payment file cannot hold!")),
                               ui::Icon::Exclamation));
        clerk::key(Qt::Key_Return);   // OK without leaving the box
        EXPECT_TRUE(agency.isVisible());
        EXPECT_EQ(QApplication::focusWidget(), agency.Text7);

        // The box the clerk is in now passes: the first refused box is named and takes the focus.
        agency.Text7->setText(QStringLiteral("FLAT 1"));
        ui().expectBox(boxWith(ui::TextMatch::exactly(QString::fromUtf8("The Name holds \"\u03A9\", a character the "
                                                                         "payment file cannot hold!")),
                               ui::Icon::Exclamation));
        clerk::key(Qt::Key_Return);
        EXPECT_EQ(QApplication::focusWidget(), agency.Text1);
        agency.Text1->setText(QStringLiteral("OMEGA"));
        clerk::key(Qt::Key_Return);   // now Enter stores them
        EXPECT_FALSE(agency.isVisible());
    });
    clerk::activate(group.get());
    clerk::click(group->Command_AgencyInformation);
    EXPECT_EQ(stored("0077", {"NAME1", "ADDR3"}), QStringList({"OMEGA", "FLAT 1"}));
}

} // namespace
