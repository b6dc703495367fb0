// The add, change and delete screens as a clerk works them from the payment
// list, with the group recount after the list closes.
#include "screens_support.h"

#include "payments/Detail.h"
#include "payments/Detail_Add.h"
#include "payments/Detail_Change.h"
#include "payments/Detail_Delete.h"
#include "payments/Group.h"
#include "platform/data/recordset.h"
#include "platform/forms/fieldrules.h"
#include "platform/forms/formcolours.h"
#include "platform/grid/recordsetgrid.h"
#include "services/screens/Form_InformationDialog.h"
#include "services/dataenvironment.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

using namespace zarv;
using namespace zarv::test;

namespace {

class EditorTest : public GroupScreenTest {
protected:
    // Opens the list of the group, moves it to the payment of the owner and
    // clicks the button that opens the editor, whose script follows.
    template <typename Screen>
    void edit(const QString& mortco, const QString& owner, std::function<void(Screen&)> script,
              std::function<void(Detail&)> after = {})
    {
        constexpr bool adding = std::is_same_v<Screen, Detail_Add>;
        constexpr bool changing = std::is_same_v<Screen, Detail_Change>;
        openList(*group, mortco, [&](Detail& list) {
            if (!owner.isEmpty()) {
                const int row = listNames(list).indexOf(owner);
                ASSERT_GE(row, 0) << owner.toStdString();
                clickRow(list.TDBGrid, row);
            }
            expectScreen<Screen>(adding ? "Detail_Add" : changing ? "Detail_Change" : "Detail_Delete", script);
            clerk::activate(&list);
            clerk::click(adding ? list.Command_AddDetail
                                : changing ? list.Command_ChangeDetail : list.Command_DeleteDetail);
            if (after)
                after(list);
        });
    }
};

// ---------------------------------------------------------------- add

TEST_F(EditorTest, AddedPaymentIsStoredCurrentAndCounted)
{
    edit<Detail_Add>(
        "0042", {},
        [](Detail_Add& add) {
            EXPECT_EQ(add.Label1->text(), "Add a New Payment");
            EXPECT_EQ(add.txtPAYMENT->text(), "0.00");
            EXPECT_TRUE(add.OptionA->isChecked());
            clerk::type(add.txtCD, "05");
            clerk::type(add.txtJUR, "701");
            clerk::type(add.txtFOLIO_DISP, "000-000-567");
            clerk::type(add.txtNUMBER, "  777  ");
            EXPECT_EQ(add.txtFOLIO_DISP->text(), "000-000-567");
            clerk::type(add.txtNAME, " NEWMAN ");
            clerk::type(add.txtLEGAL, "LOT 9");
            clerk::type(add.txtPAYMENT, "12.5");
            clerk::click(add.Command_OK);
            EXPECT_FALSE(add.isVisible());
        },
        [this](Detail& list) {
            EXPECT_EQ(currentName(list), "NEWMAN");
            EXPECT_EQ(list.TDBGrid->recordsetModel()->rowCount(), 4);
        });
    EXPECT_EQ(folioCount("0042"), 4);
    EXPECT_DOUBLE_EQ(totalPay("0042"), 1862.99);
    EXPECT_EQ(group->Label_Total->text(), "4,872.99");

    EXPECT_EQ(storedPayment("NAME = 'NEWMAN'", {"MORTCO", "CD", "FOLIO", "FOLIO_DISP", "NUMBER", "ABC",
                                                "PAYMENT", "GROSS_TAX", "REG_GRANT", "ADD_GRANT", "DELQ"}),
              QStringList({"0042", "05", "000000000000000567", "000-000-567", "777", "A", "12.5", "0", "0", "0",
                           "0"}));
}

TEST_F(EditorTest, CancelOnTheAddScreenWritesNothingWhateverTheBoxesHold)
{
    edit<Detail_Add>("0099", {}, [this](Detail_Add& add) {
        clerk::type(add.txtNAME, "");
        clerk::type(add.txtPAYMENT, "-3");      // the name check holds the focus...
        EXPECT_EQ(QApplication::focusWidget(), add.txtNAME);
        EXPECT_EQ(add.Text_Msg->text(), "You must enter a Name!");
        ui().expectBox(ui::containing("Leave without storing this new payment?"), ui::Answer::Yes);
        clerk::click(add.Command_Cancel);       // ...but Cancel validates nothing
        EXPECT_FALSE(add.isVisible());
    });
    EXPECT_EQ(storedPayments("0099"), QStringList({"EVANS 10 A"}));
    EXPECT_EQ(ui().beeps(), 1);
}

// ---------------------------------------------------------------- a typed folio is never cut or padded

// A folio refused for its digit count beeps and keeps the focus, but not what
// the clerk types next for the following boxes: the box takes only what its
// mask can hold (digits up to its places, its separators), for either
// jurisdiction form, and its mark and message go, for the eye and the screen
// reader, once it fits.
TEST_F(EditorTest, ARefusedFolioTakesOnlyWhatItsMaskCanHoldAndItsMessageGoesOnceItFits)
{
    struct Case {
        const char* jur;
        const char* first;      // refused: too few digits
        const char* next;       // typed on, as for the following boxes
        const char* held;
    };
    const Case cases[] = {
        {"701", "12345678", "9BCB-7099TES", "123456789-"},
        {"702", "1234", "56.78AB", "123456"},
    };
    for (const Case& c : cases) {
        ui().reset();
        edit<Detail_Add>("0099", {}, [&](Detail_Add& add) {
            clerk::type(add.txtCD, "01");
            clerk::type(add.txtJUR, QLatin1String(c.jur));
            clerk::click(add.txtFOLIO_DISP);
            QTest::keyClicks(add.txtFOLIO_DISP, QLatin1String(c.first));
            clerk::click(add.txtNUMBER);
            ASSERT_EQ(QApplication::focusWidget(), add.txtFOLIO_DISP) << c.jur;
            EXPECT_TRUE(ui::isMarkedError(add.txtFOLIO_DISP));
            EXPECT_EQ(ui().beeps(), 1);
            EXPECT_TRUE(add.txtFOLIO_DISP->accessibleDescription().contains(add.Text_Msg->text()))
                << add.txtFOLIO_DISP->accessibleDescription().toStdString();
            QTest::keyClicks(add.txtFOLIO_DISP, QLatin1String(c.next));   // the box still has the focus
            EXPECT_EQ(add.txtFOLIO_DISP->text(), QLatin1String(c.held));
            EXPECT_FALSE(ui::isMarkedError(add.txtFOLIO_DISP));
            EXPECT_EQ(add.Text_Msg->text(), "");
            EXPECT_EQ(add.txtFOLIO_DISP->accessibleDescription(), "");
            clerk::click(add.txtNUMBER);
            EXPECT_EQ(QApplication::focusWidget(), add.txtNUMBER);
            ui().expectBox(ui::containing("Leave without storing"), ui::Answer::Yes);
            clerk::click(add.Command_Cancel);
        });
    }
}

// The digits typed must fill the jurisdiction's mask exactly (a folio that
// does not fit is refused as the test above shows); one that fits is shown
// through its mask once the box is left, its zeros kept. 701 shows 9 digits,
// 702 shows 6. OK stores nothing until the digits fit.
TEST_F(EditorTest, ATypedFolioThatDoesNotFitItsMaskIsRefusedNeverCutOrPadded)
{
    struct Case {
        const char* jur;
        const char* typed;
        const char* shown;      // after leaving the box
    };
    const Case cases[] = {
        {"701", "310442187", "310-442-187"},   {"701", "310-442-187", "310-442-187"},
        {"701", "000-000-567", "000-000-567"}, {"702", "12-3456", "12-3456"},
    };
    for (const Case& c : cases) {
        ui().reset();
        edit<Detail_Change>("0077", "CLARK", [&](Detail_Change& change) {
            clerk::type(change.txtJUR, QLatin1String(c.jur));
            clerk::type(change.txtFOLIO_DISP, QLatin1String(c.typed));
            clerk::click(change.txtNUMBER);
            EXPECT_EQ(change.txtFOLIO_DISP->text(), c.shown) << c.typed;
            EXPECT_EQ(QApplication::focusWidget(), change.txtNUMBER) << c.typed;
            ui().expectBox(ui::containing("Leave without storing"), ui::Answer::Yes);
            clerk::click(change.Command_Cancel);
        });
        EXPECT_EQ(storedPayments("0077"), QStringList({"CLARK 1000 A", "DAVIS 2000 A"})) << c.typed;
    }

    // The add screen: OK checks a folio typed into a box never entered.
    edit<Detail_Add>("0099", {}, [this](Detail_Add& add) {
        add.txtCD->setText("01");
        add.txtJUR->setText("701");
        add.txtNAME->setText("NEWMAN");
        add.txtFOLIO_DISP->setText("31044218");     // never entered: OK checks it
        clerk::click(add.Command_OK);
        EXPECT_TRUE(add.isVisible());
        EXPECT_EQ(QApplication::focusWidget(), add.txtFOLIO_DISP);
        EXPECT_EQ(add.Text_Msg->text(), "A Folio Number of jurisdiction 701 has 9 digits (###-###-###); 8 were typed.");
        clerk::type(add.txtFOLIO_DISP, "031044218");
        clerk::click(add.Command_OK);
        EXPECT_FALSE(add.isVisible());
    });
    EXPECT_EQ(storedPayment("NAME = 'NEWMAN'", {"FOLIO", "FOLIO_DISP"}),
              QStringList({"000000000031044218", "031-044-218"}));
}

// ---------------------------------------------------------------- change through A, B and C

struct GrantCase {
    const char* option;
    const char* shown;      // the payment box after the click
    const char* message;
    double stored;
    const char* abc;
};

void PrintTo(const GrantCase& c, std::ostream* os)
{
    *os << c.option;
}

class ChangeGrantTest : public EditorTest, public ::testing::WithParamInterface<GrantCase> {};

TEST_P(ChangeGrantTest, TheOptionSetsThePaymentAndItsType)
{
    const GrantCase c = GetParam();
    // OWNER NAME: gross 1700, regular 1500, additional 1225, stored as B with 1500.
    DE().Zarv.execute(QStringLiteral("UPDATE Detail SET DELQ = -10 WHERE NAME = 'OWNER NAME'"));
    DE().rsDetail().requery();
    edit<Detail_Change>(
        "0042", "OWNER NAME",
        [&](Detail_Change& change) {
            EXPECT_TRUE(change.OptionB->isChecked());
            EXPECT_EQ(change.txtPAYMENT->text(), "1,500.00");
            EXPECT_EQ(change.txtDELQ->text(), "-10.00");
            EXPECT_EQ(change.Text_Msg->text(),
                      "Please make the changes and press the \"OK\" or \"Cancel\" button.");
            auto* option = change.findChild<QRadioButton*>(QLatin1String(c.option));
            ASSERT_NE(option, nullptr);
            clerk::click(option);
            EXPECT_TRUE(option->isChecked());
            EXPECT_EQ(change.txtPAYMENT->text(), c.shown);
            EXPECT_EQ(change.Text_Msg->text(), c.message);
            clerk::click(change.Command_OK);
            EXPECT_FALSE(change.isVisible());
        },
        [](Detail& list) { EXPECT_EQ(currentName(list), "OWNER NAME"); });
    EXPECT_EQ(storedPayments("0042"),
              QStringList({"ADAMS 99.99 C", "BROWN 250.5 A", QStringLiteral("OWNER NAME ") + QString::number(c.stored) + ' ' + c.abc}));
    EXPECT_EQ(folioCount("0042"), 3);
    EXPECT_DOUBLE_EQ(totalPay("0042"), 350.49 + c.stored);
    EXPECT_DOUBLE_EQ(group->TotalBulkPayment, 3360.49 + c.stored);
}

INSTANTIATE_TEST_SUITE_P(
    Options, ChangeGrantTest,
    ::testing::Values(GrantCase{"OptionA", "1,690.00", "No Grant Selected. Payment Amount Recalculated!", 1690, "A"},
                      GrantCase{"OptionB", "1,490.00", "Regular Grant Selected. Payment Amount Recalculated!", 1490, "B"},
                      GrantCase{"OptionC", "1,215.00", "Additional Grant Selected. Payment Amount Recalculated!", 1215, "C"}));

TEST_F(EditorTest, AnOptionWithoutAGrantKeepsTheAmount)
{
    edit<Detail_Change>("0077", "CLARK", [](Detail_Change& change) {
        EXPECT_TRUE(change.OptionA->isChecked());
        clerk::click(change.OptionC);
        EXPECT_TRUE(change.OptionC->isChecked());
        EXPECT_EQ(change.txtPAYMENT->text(), "1,000.00");
        EXPECT_EQ(change.Text_Msg->text(), "");
        clerk::click(change.Command_OK);
    });
    EXPECT_EQ(storedPayments("0077"), QStringList({"CLARK 1000 C", "DAVIS 2000 A"}));
}

TEST_F(EditorTest, TheFieldRulesRunAsTheFocusMoves)
{
    edit<Detail_Change>("0077", "CLARK", [](Detail_Change& change) {
        clerk::type(change.txtCD, "");
        clerk::click(change.txtJUR);
        EXPECT_EQ(change.Text_Msg->text(), "The Collection District should be entered!");
        EXPECT_TRUE(ui::isMarkedError(change.txtCD));
        clerk::type(change.txtJUR, "7x");
        clerk::click(change.txtCD);
        EXPECT_EQ(change.Text_Msg->text(), "The Jurisdiction should be numeric!");
        EXPECT_TRUE(ui::isMarkedError(change.txtJUR));
        clerk::type(change.txtCD, " 5 ");
        clerk::type(change.txtJUR, "702");
        EXPECT_EQ(change.txtCD->text(), "5");
        EXPECT_FALSE(ui::isMarkedError(change.txtCD));
        clerk::type(change.txtFOLIO_DISP, "12");
        clerk::click(change.txtNUMBER);
        EXPECT_EQ(change.txtFOLIO_DISP->text(), "12");   // refused: too few digits for the 702 mask
        EXPECT_EQ(QApplication::focusWidget(), change.txtFOLIO_DISP);
        clerk::type(change.txtFOLIO_DISP, "   ");
        clerk::click(change.txtNUMBER);
        EXPECT_EQ(change.txtFOLIO_DISP->text(), "");

        // The amount check holds the focus until the amount is valid.
        clerk::type(change.txtPAYMENT, "abc");
        clerk::click(change.Command_OK);
        EXPECT_EQ(change.Text_Msg->text(), "The Payment Amount must be numeric!");
        EXPECT_EQ(change.txtPAYMENT->text(), "abc");
        EXPECT_TRUE(change.isVisible());
        EXPECT_EQ(QApplication::focusWidget(), change.txtPAYMENT);
        change.txtPAYMENT->setText("-1");
        clerk::click(change.OptionB);
        EXPECT_EQ(change.Text_Msg->text(), "Payment refunds are not allowed!");
        EXPECT_EQ(change.txtPAYMENT->text(), "-1.00");
        EXPECT_FALSE(change.OptionB->isChecked());
        change.txtPAYMENT->setText("12.5");
        clerk::click(change.Command_OK);
    });
    EXPECT_EQ(storedPayments("0077"), QStringList({"CLARK 12.5 A", "DAVIS 2000 A"}));
    EXPECT_EQ(totalPay("0077"), 2012.5);
}

// OK checks every box again, boxes never entered and left included, so that
// nothing a box would refuse is ever stored.
TEST_F(EditorTest, TheChangeScreensOkChecksEveryBoxSoABadValueIsNeverStored)
{
    edit<Detail_Change>("0077", "DAVIS", [](Detail_Change& change) {
        for (const char* bad : {"-5", "12abc", ""}) {
            change.txtPAYMENT->setText(QLatin1String(bad));   // never entered and left
            change.Command_OK->click();
            EXPECT_TRUE(change.isVisible()) << bad;
            EXPECT_TRUE(ui::isMarkedError(change.txtPAYMENT));
        }
        change.txtPAYMENT->setText("5");
        change.txtJUR->setText("");
        change.txtNAME->setText("DAVISON");
        change.Command_OK->click();
        EXPECT_TRUE(change.isVisible());
        EXPECT_EQ(change.Text_Msg->text(), "The Jurisdiction should be entered!");
        EXPECT_EQ(QApplication::focusWidget(), change.txtJUR);
        clerk::click(change.Command_Cancel);
    });
    EXPECT_EQ(storedPayments("0077"), QStringList({"CLARK 1000 A", "DAVIS 2000 A"}));
}

TEST_F(EditorTest, AnEmptyNameIsRefusedWithABeepOnlyWhenLeft)
{
    edit<Detail_Change>("0099", "EVANS", [this](Detail_Change& change) {
        clerk::type(change.txtNAME, "  ");
        clerk::click(change.Command_OK);
        EXPECT_EQ(change.Text_Msg->text(), "You must enter a Name!");
        EXPECT_TRUE(ui::isMarkedError(change.txtNAME));
        EXPECT_TRUE(change.isVisible());
        clerk::key(Qt::Key_Return);     // Enter presses OK: refused the same way
        EXPECT_EQ(ui().beeps(), 2);
        EXPECT_TRUE(change.isVisible());
        clerk::alt('o');
        EXPECT_TRUE(change.isVisible());
        change.txtNAME->setText("EVANS JR");
        clerk::alt('o');
        EXPECT_FALSE(change.isVisible());
    });
    EXPECT_EQ(storedPayments("0099"), QStringList({"EVANS JR 10 A"}));
    EXPECT_EQ(ui().beeps(), 3);
}

// ---------------------------------------------------------------- the duplicate-folio rule on the screens

TEST_F(EditorTest, AnotherPaymentOfTheFolioIsListedInTheNoticeBeforeTheSave)
{
    edit<Detail_Change>("0077", "DAVIS", [this](Detail_Change& change) {
        clerk::type(change.txtFOLIO_DISP, "222333444");     // CLARK's folio, in the same district
        ui().expectModal("Form_InformationDialog", [](QDialog& d) {
            auto& notice = dynamic_cast<Form_InformationDialog&>(d);
            EXPECT_EQ(notice.Label_Title->text(), "FOLIO # 03 701 222-333-444");
            EXPECT_EQ(notice.Text_Msg->toPlainText(),
                      "This folio has multiple payments: \nCLARK 1000.00\n\nPlus this changed payment \nDAVIS 2000.00");
            clerk::click(notice.OKButton);
        });
        clerk::click(change.Command_OK);
        EXPECT_FALSE(change.isVisible());
    });
    EXPECT_EQ(storedPayment("NAME = 'DAVIS'", {"FOLIO", "FOLIO_DISP"}),
              QStringList({"000000000222333444", "222-333-444"}));
}

TEST_F(EditorTest, MovingOntoAFolioOfTheSameOwnerIsRefused)
{
    DE().Zarv.execute(QStringLiteral("UPDATE Detail SET NAME = 'CLARK' WHERE NAME = 'DAVIS'"));
    DE().Zarv.execute(QStringLiteral("UPDATE Detail SET FOLIO = '000000000999999999' WHERE NUMBER = '55555'"));
    DE().rsDetail().requery();
    edit<Detail_Change>("0077", {}, [this](Detail_Change& change) {
        EXPECT_EQ(change.txtNAME->text(), "CLARK");
        clerk::type(change.txtFOLIO_DISP, "999999999");
        clerk::click(change.Command_OK);
        EXPECT_TRUE(change.isVisible());
        EXPECT_EQ(change.Text_Msg->text(), "ERROR - Duplicate Folio with 100% EXACT SAME NAME");
        EXPECT_TRUE(ui::isMarkedError(change.txtFOLIO_DISP));
        EXPECT_EQ(QApplication::focusWidget(), change.txtFOLIO_DISP);
        ui().expectBox(ui::containing("Leave without storing the changes to this payment?"), ui::Answer::Yes);
        clerk::click(change.Command_Cancel);
    });
    EXPECT_EQ(ui().beeps(), 1);
    EXPECT_EQ(storedPayment("NUMBER = '44444'", {"FOLIO"}), QStringList{"000000000222333444"});
}

// ---------------------------------------------------------------- typed quotes and wildcards

// The boxes are stored as the payment file will hold them (commas and quotes
// dropped), and the duplicate rule compares that form: two owners the file
// could not tell apart are never both stored, and adding the second is refused
// on the name box.
TEST_F(EditorTest, TextsAreStoredAsTheFileWillHoldThemAndWildcardsAsTyped)
{
    edit<Detail_Add>("0077", {}, [](Detail_Add& add) {
        add.txtCD->setText("01");
        add.txtJUR->setText("701");
        add.txtNUMBER->setText("%_*");
        add.txtNAME->setText("O'BRIEN, %");
        add.txtLEGAL->setText("LOT 1, \"B\"");
        clerk::click(add.Command_OK);
        EXPECT_FALSE(add.isVisible());
    });
    EXPECT_TRUE(ui().boxes().empty());
    EXPECT_EQ(folioCount("0077"), 3);
    EXPECT_EQ(storedPayment("NUMBER = '%_*'", {"NAME", "LEGAL"}), QStringList({"OBRIEN %", "LOT 1 B"}));

    edit<Detail_Add>("0077", {}, [](Detail_Add& add) {
        add.txtCD->setText("01");
        add.txtJUR->setText("701");
        add.txtNAME->setText("obrien, % ");      // nor does the letter case make another owner
        clerk::click(add.Command_OK);
        EXPECT_TRUE(add.isVisible());
        EXPECT_EQ(add.Text_Msg->text(), "ERROR - Duplicate Folio with 100% EXACT SAME NAME");
        EXPECT_TRUE(ui::isMarkedError(add.txtNAME));
        clerk::click(add.Command_Cancel);
    });
    EXPECT_EQ(folioCount("0077"), 3);
}

// ---------------------------------------------------------------- OK checks every box

TEST_F(EditorTest, OkRunsEveryBoxsCheckInTabOrderBeforeAnythingIsStored)
{
    edit<Detail_Add>("0099", {}, [](Detail_Add& add) {
        clerk::click(add.Command_OK);       // nothing entered
        EXPECT_TRUE(add.isVisible());
        EXPECT_EQ(add.Text_Msg->text(), "The Collection District should be entered!");
        EXPECT_EQ(QApplication::focusWidget(), add.txtCD);
        for (QLineEdit* box : {add.txtCD, add.txtJUR, add.txtNAME})
            EXPECT_TRUE(ui::isMarkedError(box)) << box->objectName().toStdString();

        add.txtCD->setText("05");
        add.txtJUR->setText("7x");
        add.Command_OK->click();
        EXPECT_EQ(add.Text_Msg->text(), "The Jurisdiction should be numeric!");
        EXPECT_EQ(QApplication::focusWidget(), add.txtJUR);

        add.txtJUR->setText("702");
        add.Command_OK->click();
        EXPECT_EQ(add.Text_Msg->text(), "You must enter a Name!");
        EXPECT_EQ(QApplication::focusWidget(), add.txtNAME);

        add.txtNAME->setText("NEWMAN");
        add.txtPAYMENT->setText("12-");
        add.Command_OK->click();
        EXPECT_EQ(add.Text_Msg->text(), "Payment refunds are not allowed!");
        EXPECT_EQ(QApplication::focusWidget(), add.txtPAYMENT);

        add.txtPAYMENT->setText("12");
        add.Command_OK->click();
        EXPECT_FALSE(add.isVisible());
    });
    EXPECT_EQ(storedPayments("0099"), QStringList({"EVANS 10 A", "NEWMAN 12 A"}));
}

// The file is written in Windows-1252: a character it has no place for is
// refused where it is typed, and by OK for a box never left.
TEST_F(EditorTest, ACharacterThePaymentFileCannotHoldIsRefusedByItsBox)
{
    edit<Detail_Add>("0099", {}, [](Detail_Add& add) {
        clerk::type(add.txtCD, "05");
        clerk::type(add.txtJUR, "702");
        clerk::type(add.txtNAME, QString::fromUtf8("\u03A9MEGA"));
        clerk::click(add.txtLEGAL);
        EXPECT_EQ(QApplication::focusWidget(), add.txtNAME);
        EXPECT_EQ(add.Text_Msg->text(),
                  QString::fromUtf8("The Name holds \"\u03A9\", a character the payment file cannot hold!"));
        EXPECT_TRUE(ui::isMarkedError(add.txtNAME));

        add.txtNAME->setText(QString::fromUtf8("\u00C9MILE \u00B5"));   // both in the code page
        clerk::type(add.txtLEGAL, QString::fromUtf8("LOT \u2603"));
        clerk::click(add.txtNUMBER);
        EXPECT_EQ(QApplication::focusWidget(), add.txtLEGAL);
        EXPECT_EQ(add.Text_Msg->text(), QString::fromUtf8("The Legal Description holds \"\u2603\", a character the "
                                                          "payment file cannot hold!"));
        add.txtLEGAL->setText("LOT 1");
        add.txtNUMBER->setText(QString::fromUtf8("N\U0001F600"));      // never left: OK finds it
        add.Command_OK->click();
        EXPECT_EQ(QApplication::focusWidget(), add.txtNUMBER);
        EXPECT_TRUE(add.Text_Msg->text().startsWith("The Mortgage Number holds \""));
        add.txtNUMBER->setText("N1");
        add.Command_OK->click();
        EXPECT_FALSE(add.isVisible());
    });
    EXPECT_EQ(storedPayments("0099"), QStringList({"EVANS 10 A", QString::fromUtf8("\u00C9MILE \u00B5 0 A")}));
}

// ---------------------------------------------------------------- the stored folio

// Jurisdiction 702 shows six digits of the folio: the box cannot give back the
// others, so only an edit of the box itself replaces the stored folio. Until
// then the box shows the stored folio as OK will store it, under whatever
// jurisdiction the clerk has typed, before or after passing through the box.
TEST_F(EditorTest, TheChangeScreenKeepsTheStoredFolioUnlessItsBoxIsEdited)
{
    const auto storeClarksFolio = [] {
        DE().Zarv.execute(QStringLiteral("UPDATE Detail SET JUR = '702', FOLIO = '000000000123111111', "
                                         "FOLIO_DISP = '11-1111' WHERE NAME = 'CLARK'"));
        DE().rsDetail().requery();
    };
    const struct {
        const char* jur;        // typed first, if any
        const char* jurAfter;   // typed after passing through the folio box, if any
        const char* shown;      // the folio box once both are left
        const char* stored;     // FOLIO_DISP after OK
    } cases[] = {
        // The mask of 702 cannot show these digits: the folio is shown as its digits.
        {nullptr, nullptr, "123111111", "123111111"},
        {"701", nullptr, "123-111-111", "123-111-111"},
        {"703", nullptr, "000000000123111111  ", "000000000123111111  "},   // no mask: all 18 digits
        {"701", "703", "000000000123111111  ", "000000000123111111  "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.jur ? c.jur : "702 kept") + " then " + (c.jurAfter ? c.jurAfter : "-"));
        storeClarksFolio();
        edit<Detail_Change>("0077", "CLARK", [&](Detail_Change& change) {
            if (c.jur)
                clerk::type(change.txtJUR, QLatin1String(c.jur));
            clerk::click(change.txtFOLIO_DISP);     // passing through the box
            if (c.jurAfter)
                clerk::type(change.txtJUR, QLatin1String(c.jurAfter));
            clerk::type(change.txtNUMBER, "99999");
            EXPECT_EQ(change.txtFOLIO_DISP->text(), QLatin1String(c.shown));
            clerk::click(change.Command_OK);
            EXPECT_FALSE(change.isVisible());
        });
        EXPECT_EQ(storedPayment("NAME = 'CLARK'", {"NUMBER", "FOLIO", "FOLIO_DISP"}),
                  QStringList({"99999", "000000000123111111", QLatin1String(c.stored)}));
    }

    // An edit the clerk undoes gives the stored folio back: the box is
    // neither refused nor left marked.
    storeClarksFolio();
    edit<Detail_Change>("0077", "CLARK", [&](Detail_Change& change) {
        clerk::click(change.txtFOLIO_DISP);
        clerk::key(Qt::Key_Backspace);
        clerk::key(Qt::Key_Tab);                 // eight digits: refused, the focus stays
        EXPECT_EQ(QApplication::focusWidget(), change.txtFOLIO_DISP);
        clerk::key(Qt::Key_Z, Qt::ControlModifier);
        clerk::key(Qt::Key_Tab);
        EXPECT_NE(QApplication::focusWidget(), change.txtFOLIO_DISP);
        EXPECT_EQ(change.txtFOLIO_DISP->text(), QStringLiteral("123111111"));
        EXPECT_FALSE(ui::isMarkedError(change.txtFOLIO_DISP));
        EXPECT_EQ(change.Text_Msg->text(), QString());
        clerk::click(change.Command_OK);
        EXPECT_FALSE(change.isVisible());
    });
    EXPECT_EQ(storedPayment("NAME = 'CLARK'", {"FOLIO", "FOLIO_DISP"}),
              QStringList({"000000000123111111", "123111111"}));
}

// ---------------------------------------------------------------- delete

// After the load the list shows the payments in the order of the file.
TEST_F(EditorTest, DeletingTheLastPaymentOfTheListLeavesTheFirstCurrent)
{
    edit<Detail_Delete>(
        "0042", "ADAMS",
        [](Detail_Delete& del) {
            EXPECT_EQ(del.txtNAME->text(), "ADAMS");
            EXPECT_TRUE(del.txtNAME->isReadOnly());
            EXPECT_FALSE(del.OptionA->isEnabled());
            EXPECT_TRUE(del.OptionC->isChecked());
            EXPECT_EQ(del.txtPAYMENT->text(), "99.99");
            EXPECT_EQ(del.txtREG_GRANT->text(), "120.00");
            EXPECT_EQ(QApplication::focusWidget(), del.Command_Cancel) << "Enter keeps the payment";
            clerk::click(del.Command_OK);
        },
        [](Detail& list) {
            EXPECT_EQ(listNames(list), QStringList({"OWNER NAME", "BROWN"}));
            EXPECT_EQ(currentName(list), "OWNER NAME");
        });
    EXPECT_EQ(folioCount("0042"), 2);
    EXPECT_DOUBLE_EQ(totalPay("0042"), 1750.5);
    EXPECT_EQ(group->Label_Total->text(), "4,760.50");
}

TEST_F(EditorTest, DeletingInTheMiddleLeavesTheFollowerCurrent)
{
    edit<Detail_Delete>("0042", "BROWN", [](Detail_Delete& del) { clerk::click(del.Command_OK); },
                        [](Detail& list) { EXPECT_EQ(currentName(list), "ADAMS"); });
    EXPECT_EQ(folioCount("0042"), 2);
    EXPECT_DOUBLE_EQ(totalPay("0042"), 1599.99);
}

TEST_F(EditorTest, DeletingTheOnlyPaymentEmptiesTheListAndTheGroup)
{
    edit<Detail_Delete>(
        "0099", {},
        [](Detail_Delete& del) { clerk::click(del.Command_OK); },
        [](Detail& list) {
            EXPECT_EQ(list.TDBGrid->recordsetModel()->rowCount(), 0);
            EXPECT_EQ(list.TDBGrid->currentRowIndex(), -1);
            // Without a current payment the editors that need one do not open.
            clerk::click(list.Command_ChangeDetail);
            clerk::click(list.Command_DeleteDetail);
        });
    EXPECT_EQ(folioCount("0099"), 0);
    EXPECT_EQ(totalPay("0099"), 0);
    EXPECT_EQ(group->Label_Total->text(), "4,850.49");
    EXPECT_EQ(ui().modalsShown(), QStringList({"Detail", "Detail_Delete"}));
}

TEST_F(EditorTest, DeleteShowsTheTypeWithoutItsGrantAsA)
{
    DE().Zarv.execute(QStringLiteral("UPDATE Detail SET ABC = 'b', REG_GRANT = 0 WHERE NAME = 'CLARK'"));
    DE().rsDetail().requery();
    edit<Detail_Delete>("0077", "CLARK", [](Detail_Delete& del) {
        EXPECT_TRUE(del.OptionA->isChecked());
        EXPECT_FALSE(del.OptionB->isChecked());
        clerk::click(del.Command_Cancel);
    });
    EXPECT_EQ(storedPayments("0077"), QStringList({"CLARK 1000 b", "DAVIS 2000 A"}));
}

// ---------------------------------------------------------------- failures inside a screen

TEST_F(EditorTest, AFailedSaveIsShownAndTheScreenStaysWithNothingWritten)
{
    DE().Zarv.execute(QStringLiteral(
        "CREATE TRIGGER refuse_change BEFORE UPDATE ON Detail BEGIN SELECT RAISE(ABORT, 'disk full'); END"));
    edit<Detail_Change>("0077", "CLARK", [this](Detail_Change& change) {
        ui().expectBox(boxWith(ui::containing("Detail_Change.Command_OK_Click Unexpected error #"), ui::Icon::Critical));
        clerk::type(change.txtNAME, "CLARKE");
        clerk::type(change.txtPAYMENT, "1");
        clerk::click(change.Command_OK);
        EXPECT_TRUE(change.isVisible());
        EXPECT_FALSE(DE().rsDetail().editPending());
        EXPECT_EQ(DE().rsDetail().text("NAME"), "CLARK");
        ui().expectBox(ui::containing("Leave without storing the changes to this payment?"), ui::Answer::Yes);
        clerk::click(change.Command_Cancel);
    });
    EXPECT_EQ(storedPayments("0077"), QStringList({"CLARK 1000 A", "DAVIS 2000 A"}));
}

TEST_F(EditorTest, AFailedAddLeavesNoNewRowBehind)
{
    DE().Zarv.execute(QStringLiteral(
        "CREATE TRIGGER refuse_add BEFORE INSERT ON Detail BEGIN SELECT RAISE(ABORT, 'disk full'); END"));
    edit<Detail_Add>(
        "0099", {},
        [this](Detail_Add& add) {
            ui().expectBox(boxWith(ui::containing("Detail_Add.Command_OK_Click Unexpected error #"), ui::Icon::Critical));
            add.txtCD->setText("04");
            add.txtJUR->setText("702");
            clerk::type(add.txtNAME, "NOBODY");
            clerk::click(add.Command_OK);
            EXPECT_TRUE(add.isVisible());
            ui().expectBox(ui::containing("Leave without storing this new payment?"), ui::Answer::Yes);
            clerk::click(add.Command_Cancel);
        },
        [](Detail& list) { EXPECT_EQ(listNames(list), QStringList({"EVANS"})); });
    EXPECT_EQ(folioCount("0099"), 1);
}

} // namespace
