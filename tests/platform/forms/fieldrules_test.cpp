#include "platform/forms/dialogkeys.h"
#include "platform/forms/fieldrules.h"
#include "platform/forms/formcolours.h"
#include "platform/ui/screens/focusreturn.h"
#include "clerk.h"

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <gtest/gtest.h>

#include <memory>

namespace {

using namespace zarv;
namespace clerk = zarv::test::clerk;
using ui::FieldRules;

// A small editing screen: a required box with a Validate rule, a box with a
// LostFocus rule behind a labelled mnemonic, OK (default) and Cancel.
class Form : public QDialog {
public:
    Form()
    {
        auto* layout = new QVBoxLayout(this);
        txtNAME = new QLineEdit(this);
        txtNAME->setObjectName(QStringLiteral("txtNAME"));
        auto* label = new QLabel(QStringLiteral("&Legal:"), this);
        txtLEGAL = new QLineEdit(this);
        txtLEGAL->setObjectName(QStringLiteral("txtLEGAL"));
        label->setBuddy(txtLEGAL);
        Command_OK = new QPushButton(QStringLiteral("&OK"), this);
        Command_OK->setObjectName(QStringLiteral("Command_OK"));
        Command_OK->setDefault(true);
        Command_Cancel = new QPushButton(QStringLiteral("Cancel"), this);
        Command_Quiet = new QPushButton(QStringLiteral("&Quiet"), this);
        Command_Quiet->setFocusPolicy(Qt::NoFocus);
        for (QWidget* w : {static_cast<QWidget*>(txtNAME), static_cast<QWidget*>(label),
                           static_cast<QWidget*>(txtLEGAL), static_cast<QWidget*>(Command_OK),
                           static_cast<QWidget*>(Command_Cancel), static_cast<QWidget*>(Command_Quiet)})
            layout->addWidget(w);
        connect(Command_OK, &QPushButton::clicked, this, [this] { log += "click OK;"; });
        connect(Command_Cancel, &QPushButton::clicked, this, [this] { log += "click Cancel;"; });
        connect(Command_Quiet, &QPushButton::clicked, this, [this] { log += "click Quiet;"; });

        rules = new FieldRules(this);
        FieldRules::setCausesValidation(Command_Cancel, false);
        rules->onValidate(txtNAME, [this](bool& cancel) {
            log += "validate NAME;";
            if (txtNAME->text().trimmed().isEmpty()) {
                ui::markError(txtNAME);
                cancel = true;
            }
        });
        rules->onLostFocus(txtNAME, [this] { log += "lost NAME;"; });
        rules->onLostFocus(txtLEGAL, [this] {
            log += "lost LEGAL;";
            txtLEGAL->setText(txtLEGAL->text().trimmed());
        });
        rules->onGotFocus(txtLEGAL, [this] { log += "got LEGAL;"; });
    }

    QLineEdit* txtNAME;
    QLineEdit* txtLEGAL;
    QPushButton* Command_OK;
    QPushButton* Command_Cancel;
    QPushButton* Command_Quiet;
    FieldRules* rules;
    QString log;
};

// The form shown and active, the focus in the name box, the log empty.
std::unique_ptr<Form> shownForm()
{
    auto form = std::make_unique<Form>();
    clerk::activate(form.get());
    form->txtNAME->setFocus();
    clerk::wait();
    EXPECT_EQ(QApplication::focusWidget(), form->txtNAME);
    form->log.clear();
    return form;
}

class FieldRulesTest : public ::testing::Test {
protected:
    void SetUp() override { form = shownForm(); }
    std::unique_ptr<Form> form;
};

// However the clerk leaves a box its check refuses, the check runs once, the
// focus stays and nothing else happens; once the box is right, the same way
// goes through with the events in the order they come.
TEST(FieldRules, NoWayPastARefusedCheckAndTheSameWayOnceItIsRight)
{
    const struct {
        const char* way;
        std::function<void(Form&)> act;
        const char* log;     // once the name is filled in
        const char* focus;   // the control that then has the focus
        std::function<void(Form&)> prepare = nullptr;
    } cases[] = {
        {"a click on OK", [](Form& f) { clerk::click(f.Command_OK); }, "validate NAME;lost NAME;click OK;",
         "Command_OK"},
        // Enter does not move the focus: no LostFocus.
        {"Enter on the default button", [](Form&) { clerk::key(Qt::Key_Return); }, "validate NAME;click OK;",
         "txtNAME"},
        {"Alt+O", [](Form&) { clerk::alt('o'); }, "validate NAME;lost NAME;click OK;", "Command_OK"},
        {"Alt+L to the label's buddy", [](Form&) { clerk::alt('l'); }, "validate NAME;lost NAME;got LEGAL;",
         "txtLEGAL"},
        {"Tab", [](Form&) { clerk::key(Qt::Key_Tab); }, "validate NAME;lost NAME;got LEGAL;", "txtLEGAL"},
        {"a button that takes no focus", [](Form& f) { clerk::click(f.Command_Quiet); },
         "validate NAME;click Quiet;", "txtNAME"},
        {"Escape pressing OK", [](Form&) { clerk::key(Qt::Key_Escape); }, "validate NAME;lost NAME;click OK;",
         "Command_OK", [](Form& f) { ui::escapePresses(&f, f.Command_OK); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.way);
        const std::unique_ptr<Form> form = shownForm();
        if (c.prepare)
            c.prepare(*form);
        c.act(*form);
        c.act(*form);   // tried again, the check runs again
        EXPECT_EQ(form->log, "validate NAME;validate NAME;");
        EXPECT_EQ(QApplication::focusWidget(), form->txtNAME);
        EXPECT_TRUE(ui::isMarkedError(form->txtNAME));
        EXPECT_EQ(form->rules->refusals(), 2);

        form->txtNAME->setText(QStringLiteral("SMITH"));
        form->log.clear();
        c.act(*form);
        EXPECT_EQ(form->log, c.log);
        ASSERT_NE(QApplication::focusWidget(), nullptr);
        EXPECT_EQ(QApplication::focusWidget()->objectName(), QLatin1String(c.focus));
    }
}

TEST_F(FieldRulesTest, CancelValidatesNothingAndTheCheckWaitsForTheNextControl)
{
    clerk::click(form->Command_Cancel);
    EXPECT_EQ(form->log, "lost NAME;click Cancel;");
    EXPECT_EQ(QApplication::focusWidget(), form->Command_Cancel);

    // From Cancel on to OK, the waiting check of the name runs and holds.
    form->log.clear();
    clerk::click(form->Command_OK);
    EXPECT_EQ(form->log, "validate NAME;");
    EXPECT_EQ(QApplication::focusWidget(), form->txtNAME);
}

TEST_F(FieldRulesTest, AScreenWithoutADefaultButtonTakesEnterForNothing)
{
    ui::noDefaultButton(form.get());
    clerk::activate(form.get());   // shown again: a dialog picks its default button now
    form->txtNAME->setFocus();
    form->txtNAME->setText(QStringLiteral("SMITH"));
    clerk::key(Qt::Key_Return);
    EXPECT_EQ(form->log, "");
    EXPECT_TRUE(form->isVisible());

    // A focused button still takes Enter itself.
    clerk::click(form->Command_Cancel);
    form->log.clear();
    clerk::key(Qt::Key_Return);
    EXPECT_EQ(form->log, "click Cancel;");
}

TEST_F(FieldRulesTest, AButtonEnabledAgainGetsTheFocusBackOnlyWhenTheClerkLeftTheFocusAlone)
{
    ui::keepFocusOfDisabledControls();
    clerk::click(form->Command_Cancel);
    ASSERT_EQ(QApplication::focusWidget(), form->Command_Cancel);

    form->Command_Cancel->setEnabled(false);
    clerk::wait();
    EXPECT_NE(QApplication::focusWidget(), form->Command_Cancel);
    form->Command_Cancel->setEnabled(true);
    clerk::wait();
    EXPECT_EQ(QApplication::focusWidget(), form->Command_Cancel);

    // Moved on by the clerk meanwhile: the focus stays where the clerk put it.
    form->txtNAME->setText(QStringLiteral("SMITH"));
    form->Command_Cancel->setEnabled(false);
    clerk::wait();
    clerk::click(form->txtLEGAL);
    ASSERT_EQ(QApplication::focusWidget(), form->txtLEGAL);
    form->Command_Cancel->setEnabled(true);
    clerk::wait();
    EXPECT_EQ(QApplication::focusWidget(), form->txtLEGAL);
}

TEST(FormColours, NumbersAreBlueGreenRedAndBoxesTakeThem)
{
    EXPECT_EQ(ui::vbColour(ui::colour::Error), QColor(0xFF, 0x80, 0x80));
    EXPECT_EQ(ui::vbColour(0x00C0FFFF), QColor(0xFF, 0xFF, 0xC0));
    EXPECT_EQ(ui::vbColour(0x00FFFFC0), QColor(0xC0, 0xFF, 0xFF));
    EXPECT_EQ(ui::vbColour(ui::colour::SystemWindow), QApplication::palette().color(QPalette::Base));

    // Boxes take and leave the error colour.
    QLineEdit box;
    ui::markError(&box);
    EXPECT_TRUE(ui::isMarkedError(&box));
    ui::markNormal(&box);
    EXPECT_FALSE(ui::isMarkedError(&box));
    EXPECT_EQ(ui::backColour(&box), QApplication::palette().color(QPalette::Base));

    QLabel label;
    ui::setBackColour(&label, 0x00FFFFC0u);
    EXPECT_EQ(ui::backColour(&label), QColor(0xC0, 0xFF, 0xFF));
    EXPECT_TRUE(label.autoFillBackground());
}

TEST(FormColours, LockedAndDisabledBoxes)
{
    QLineEdit amount;
    ui::lockBox(&amount, true);
    EXPECT_TRUE(amount.isReadOnly());
    EXPECT_FALSE(amount.focusPolicy() & Qt::TabFocus);
    EXPECT_TRUE(amount.alignment() & Qt::AlignRight);
    EXPECT_EQ(ui::backColour(&amount), QColor(0xE0, 0xE0, 0xE0));

    QLineEdit criterion;
    criterion.setText(QStringLiteral("701"));
    ui::enableBox(&criterion, false);
    EXPECT_FALSE(criterion.isEnabled());
    EXPECT_EQ(criterion.palette().color(QPalette::Disabled, QPalette::Base), QColor(0xE0, 0xE0, 0xE0));
    ui::enableBox(&criterion, true);
    EXPECT_TRUE(criterion.isEnabled());
    EXPECT_EQ(criterion.text(), "701");
    EXPECT_FALSE(ui::isMarkedError(&criterion));

    QLineEdit status;
    ui::makeStatusBox(&status);
    EXPECT_EQ(status.focusPolicy(), Qt::NoFocus);
    EXPECT_EQ(ui::foreColour(&status), QColor(0, 0, 0xFF));
}

} // namespace
