// A clerk who works the screens of both runs from the keyboard: one Alt letter
// per control, Escape as Cancel or Close, Enter as OK in a payment editor, Tab
// out of a grid, and the focus back where it was after a child screen.
#include "screens_support.h"
#include "tests/platform/forms/keyboard.h"

#include "paymentfile/screens/DuplicateFolios.h"
#include "platform/data/recordset.h"
#include "payments/Detail.h"
#include "payments/Detail_Add.h"
#include "payments/Detail_Change.h"
#include "payments/Detail_Delete.h"
#include "payments/Detail_Search.h"
#include "payments/Group.h"
#include "payments/Group_Agency.h"
#include "platform/grid/recordsetgrid.h"
#include "services/screens/Form_InformationDialog.h"
#include "services/dataenvironment.h"
#include "shell/About.h"
#include "shell/ZARV_ReturnInstructions.h"
#include "shell/ZARV_ReturnInstructions2.h"
#include "shell/ZarvPayment.h"
#include "verifyfile/screens/Verify_Return.h"
#include "verification/screens/Verify_Number_Add.h"
#include "verification/screens/Verify_Number_Change.h"
#include "verification/screens/Verify_Number_Delete.h"
#include "verification/screens/Verify_Numbers.h"
#include "verification/screens/Verify_Numbers_Search.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>

using namespace zarv;
using namespace zarv::test;

namespace {

class KeyboardTest : public GroupScreenTest {
protected:
    void escape() { clerk::key(Qt::Key_Escape); }

    // Opens the list of the group with a script that leaves it open; the list
    // must be closed when the script ends.
    void inList(const QString& mortco, const std::function<void(Detail&)>& script)
    {
        chooseGroup(*group, mortco);
        expectScreen<Detail>("Detail", [script](Detail& list) {
            script(list);
            EXPECT_FALSE(list.isVisible()) << "the list is still open";
        });
        clerk::click(group->Command_Details);
    }
};

// Every window of both runs and the receiving screen: each Alt letter reaches
// one control, and no two windows share a title.
TEST_F(KeyboardTest, EveryWindowHasOneControlPerAltLetterAndATitleOfItsOwn)
{
    DE().Zarv.execute(QStringLiteral("INSERT INTO VERIFY (ACD, MORTCO, NUMBER, CD, JUR, FOLIO) "
                                     "VALUES (' ', '1234', 'M-1', '01', '701', '000000000000000001')"));
    DE().rsVerify().requery();
    QStringList faults = keyboard::mnemonicFaults(group.get());
    QStringList titles{group->windowTitle()};
    const auto check = [&](QWidget&& w, bool ownTitle = true) {
        faults << keyboard::mnemonicFaults(&w);
        if (ownTitle)
            titles << w.windowTitle();
    };
    check(ZarvPayment());
    check(About());
    check(Form_InformationDialog(), false);   // titled by what it shows
    check(DuplicateFolios());
    check(ZARV_ReturnInstructions());
    check(ZARV_ReturnInstructions2());
    check(Group_Agency());
    check(Detail());
    check(Detail_Add());
    check(Detail_Change());
    check(Detail_Delete());
    check(Detail_Search());
    check(Verify_Numbers());
    check(Verify_Numbers_Search());
    check(Verify_Number_Add());
    check(Verify_Number_Change());
    check(Verify_Number_Delete());
    check(Verify_Return());
    EXPECT_EQ(faults, QStringList());
    QStringList distinct = titles;
    distinct.removeDuplicates();
    EXPECT_EQ(distinct, titles);
    EXPECT_EQ(titles.count("ZARV - ZARVENHOLT"), 1) << "the start screen's only";
}

// Esc cancels every payment screen; where typed changes would be lost it asks
// first, and the question's default (Enter) keeps them. On the payment groups,
// whose closing ends the run, a stray Esc only asks.
TEST_F(KeyboardTest, EscapeOnAPaymentScreenPressesItsCancelOrCloseAskingBeforeALoss)
{
    const QStringList before = storedPayments("0042");
    inList("0042", [&](Detail& list) {
        expectScreen<Detail_Add>("Detail_Add", [&](Detail_Add& add) {
            clerk::type(add.txtNAME, "NEWMAN");
            ui().expectBoxEnter(ui::containing("Leave without storing this new payment?"));
            escape();
            EXPECT_TRUE(add.isVisible());
            ui().expectBox(ui::containing("Leave without storing this new payment?"), ui::Answer::Yes);
            escape();
            EXPECT_FALSE(add.isVisible());
        });
        clerk::click(list.Command_AddDetail);
        expectScreen<Detail_Change>("Detail_Change", [&](Detail_Change& change) {
            clerk::type(change.txtNAME, "");        // a name check Cancel does not run
            ui().expectBox(ui::containing("Leave without storing the changes to this payment?"), ui::Answer::Yes);
            escape();
            EXPECT_FALSE(change.isVisible());
        });
        clerk::click(list.Command_ChangeDetail);
        expectScreen<Detail_Delete>("Detail_Delete", [&](Detail_Delete& del) {
            escape();
            EXPECT_FALSE(del.isVisible());
        });
        clerk::click(list.Command_DeleteDetail);
        expectScreen<Detail_Search>("Detail_Search", [&](Detail_Search& search) {
            escape();
            EXPECT_FALSE(search.isVisible());
        });
        clerk::click(list.Command_Search);
        clerk::activate(&list);
        list.TDBGrid->setFocus();
        escape();
    });
    EXPECT_EQ(storedPayments("0042"), before);
    EXPECT_EQ(ui().beeps(), 0);

    clerk::activate(group.get());
    ui().expectBoxEnter(ui::containing("End the payment run"));
    escape();
    EXPECT_TRUE(group->isVisible()) << "Enter on the question keeps the run going";
    ui().expectBox(ui::containing("End the payment run"), ui::Answer::Yes);
    escape();
    EXPECT_FALSE(group->isVisible());
}

// Each screen the verification list opens: Esc closes it as its Cancel or
// Close would, with the text typed before it stored nowhere, and the focus is
// back on the control that opened it.
TEST_F(KeyboardTest, EscapeOnAVerificationScreenClosesItAndTheFocusReturnsToItsOpener)
{
    // N-1 was added in this list: PERMANENT DELETE opens its screen for it.
    for (const char* row : {"'A', '1234', 'N-1', '01', '701', '000000000000000001'",
                            "'D', '1234', 'N-2', '01', '701', '000000000000000002'"})
        DE().Zarv.execute(QStringLiteral("INSERT INTO VERIFY (ACD, MORTCO, NUMBER, CD, JUR, FOLIO) VALUES (%1)")
                              .arg(QLatin1String(row)));
    DE().rsVerify().requery();
    const auto stored = [] { return rowsOf(QStringLiteral("SELECT * FROM VERIFY ORDER BY rowid")); };
    const auto before = stored();

    Verify_Numbers list;
    struct Child {
        const char* screen;
        QWidget* opener;
        const char* typed = nullptr;        // into the box that has the focus, before Esc
        std::function<void()> open = {};    // after a click on the opener, if the click does not open it
    };
    const std::vector<Child> children = {
        {"Verify_Number_Add", list.Command_AddDetail, "N-9"},
        {"Verify_Number_Change", list.Command_ChangeDetail},
        {"Verify_Numbers_Search", list.Command_Search},
        {"Form_InformationDialog", list.Command_Exp_Help},
        {"Form_InformationDialog", list.Command_Imp_Help},
        {"Verify_Number_Delete", list.TDBGrid, nullptr, [&list] { list.mnuPermanentDelete->trigger(); }},
    };
    for (const Child& child : children) {
        clerk::activate(&list);     // as the window manager does when the last screen closed
        ui().expectModal(QLatin1String(child.screen), [&child, this](QDialog& d) {
            clerk::activate(&d);
            if (child.typed) {
                auto* box = qobject_cast<QLineEdit*>(QApplication::focusWidget());
                ASSERT_NE(box, nullptr) << child.screen;
                box->insert(QLatin1String(child.typed));
                ui().expectBox(ui::containing("Leave without saving"), ui::Answer::Yes);
            }
            escape();
            EXPECT_FALSE(d.isVisible()) << child.screen;
        });
        clerk::click(child.opener);
        if (child.open)
            child.open();
        EXPECT_EQ(ui().modalsShown().size(), &child - children.data() + 1) << child.screen;
        EXPECT_EQ(list.focusWidget(), child.opener) << child.screen;
        EXPECT_TRUE(list.isVisible()) << child.screen;
    }
    EXPECT_EQ(stored(), before);
    EXPECT_EQ(ui().beeps(), 0);

    // Closing the list ends the run: Esc asks, and Enter keeps the list open.
    clerk::activate(&list);
    ui().expectBoxEnter(ui::containing("Close the folio list and end the verification run?"));
    escape();
    EXPECT_TRUE(list.isVisible());
    ui().expectBox(ui::containing("Close the folio list and end the verification run?"), ui::Answer::Yes);
    escape();
    EXPECT_FALSE(list.isVisible());
}

// Enter on a row opens it: the groups grid opens the group's payments, the
// payment list the payment's change screen. Enter in a payment editor's box
// presses OK; on a delete screen Enter keeps.
TEST_F(KeyboardTest, EnterOnARowOpensItInAnEditorPressesOkAndOnADeleteScreenKeeps)
{
    chooseGroup(*group, "0042");
    clerk::activate(group.get());
    group->TDBGrid->setFocus();
    expectScreen<Detail>("Detail", [&](Detail& list) {
        EXPECT_EQ(list.windowTitle(), "ZARV - Payments of Agency 0042");
        clerk::activate(&list);
        list.TDBGrid->setFocus();
        expectScreen<Detail_Change>("Detail_Change", [](Detail_Change& change) {
            EXPECT_EQ(change.windowTitle(), "ZARV - Change Payment");
            clerk::type(change.txtNAME, "OWNER JR");
            clerk::key(Qt::Key_Return);
            EXPECT_FALSE(change.isVisible());
        });
        clerk::key(Qt::Key_Return);
        expectScreen<Detail_Add>("Detail_Add", [](Detail_Add& add) {
            clerk::type(add.txtCD, "01");
            clerk::type(add.txtJUR, "701");
            clerk::type(add.txtNAME, "NEWMAN");
            clerk::type(add.txtPAYMENT, "5");
            clerk::key(Qt::Key_Return);
            EXPECT_FALSE(add.isVisible());
        });
        clerk::activate(&list);
        clerk::click(list.Command_AddDetail);
        expectScreen<Detail_Delete>("Detail_Delete", [](Detail_Delete& del) {
            clerk::activate(&del);
            clerk::key(Qt::Key_Return);
            EXPECT_FALSE(del.isVisible());
        });
        clerk::click(list.Command_DeleteDetail);
        EXPECT_EQ(ui().modalsShown(), QStringList({"Detail", "Detail_Change", "Detail_Add", "Detail_Delete"}));
        clerk::activate(&list);
        clerk::click(list.Command_Close);
    });
    clerk::key(Qt::Key_Return);
    EXPECT_EQ(storedPayments("0042"),
              QStringList({"ADAMS 99.99 C", "BROWN 250.5 A", "NEWMAN 5 A", "OWNER JR 1500 B"}));

    DE().Zarv.execute(QStringLiteral("INSERT INTO VERIFY (ACD, MORTCO, NUMBER, CD, JUR, FOLIO) "
                                     "VALUES (' ', '1234', 'M-1', '01', '701', '000000000000000001')"));
    DE().rsVerify().requery();
    Verify_Number_Delete del;
    clerk::activate(&del);
    clerk::key(Qt::Key_Return);
    EXPECT_EQ(DE().rsVerify().recordCount(), 1) << "Enter keeps the folio";
}

// Tab walks out of the list's grid to its buttons; after a child screen the
// focus is on the button that opened it.
TEST_F(KeyboardTest, TabWalksOutOfTheGridAndAChildScreenGivesTheFocusBackToItsButton)
{
    expectScreen<Group_Agency>("Group_Agency", [](Group_Agency& agency) { clerk::click(agency.Command1); });
    clerk::click(group->Command_AgencyInformation);
    EXPECT_EQ(group->focusWidget(), group->Command_AgencyInformation);

    inList("0042", [&](Detail& list) {
        list.TDBGrid->setFocus();
        int tabs = 0;
        while (QApplication::focusWidget() != list.Command_Close && ++tabs < 12)
            clerk::key(Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), list.Command_Close);
        clerk::click(list.Command_Close);
    });
    EXPECT_EQ(group->focusWidget(), group->Command_Details);
}

} // namespace
