#include "payments/Group_Agency.h"

#include "payments/paymentrules.h"
#include "payments/screenparts.h"
#include "platform/data/recordset.h"
#include "platform/forms/dialogkeys.h"
#include "platform/forms/fieldrules.h"
#include "platform/forms/formcolours.h"
#include "platform/forms/textfit.h"
#include "platform/text/vb.h"
#include "platform/ui/uiservices.h"
#include "services/dataenvironment.h"
#include "services/failurenotice.h"

#include <QApplication>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace zarv {

namespace {

QLineEdit* textBox(QWidget* parent, const char* name, int maxLength)
{
    auto* b = named(new QLineEdit(parent), name);
    b->setMaxLength(maxLength);
    ui::fitToLength(b);
    return b;
}

QLabel* valueLabel(QWidget* parent, const char* name)
{
    auto* l = named(new QLabel(parent), name);
    l->setFrameShape(QFrame::Panel);
    l->setFrameShadow(QFrame::Sunken);
    l->setMinimumWidth(120);
    return l;
}

} // namespace

Group_Agency::Group_Agency(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Group_Agency"));
    setWindowTitle(QStringLiteral("ZARV - Agency Information"));

    Frame1 = named(new QGroupBox(QStringLiteral("<Controls>"), this), "Frame1");
    Label1 = named(new QLabel(QStringLiteral("Agency"), Frame1), "Label1");
    Label2 = named(new QLabel(QStringLiteral("No. of Records"), Frame1), "Label2");
    Label3 = named(new QLabel(QStringLiteral("Payment Amount"), Frame1), "Label3");
    Label4 = named(new QLabel(QStringLiteral("Due Date"), Frame1), "Label4");
    Label5 = valueLabel(Frame1, "Label5");
    Label6 = valueLabel(Frame1, "Label6");
    Label7 = valueLabel(Frame1, "Label7");
    Label8 = valueLabel(Frame1, "Label8");
    auto* controls = new QFormLayout(Frame1);
    controls->addRow(Label1, Label5);
    controls->addRow(Label2, Label6);
    controls->addRow(Label3, Label7);
    controls->addRow(Label4, Label8);

    Frame2 = named(new QGroupBox(QStringLiteral("<Name>"), this), "Frame2");
    Text1 = textBox(Frame2, "Text1", 35);
    Text2 = textBox(Frame2, "Text2", 35);
    auto* names = new QVBoxLayout(Frame2);
    names->addWidget(Text1);
    names->addWidget(Text2);

    Frame3 = named(new QGroupBox(QStringLiteral("<Contact Person/Phone Number>"), this), "Frame3");
    Text3 = textBox(Frame3, "Text3", 25);
    Text4 = textBox(Frame3, "Text4", 13);
    auto* contact = new QHBoxLayout(Frame3);
    contact->addWidget(Text3, 2);
    contact->addWidget(Text4, 1);

    Frame4 = named(new QGroupBox(QStringLiteral("<Address>"), this), "Frame4");
    Text5 = textBox(Frame4, "Text5", 30);
    Text6 = textBox(Frame4, "Text6", 30);
    Text7 = textBox(Frame4, "Text7", 30);
    Text8 = textBox(Frame4, "Text8", 30);
    Text9 = textBox(Frame4, "Text9", 30);
    Text10 = textBox(Frame4, "Text10", 30);
    auto* address = new QVBoxLayout(Frame4);
    for (QLineEdit* b : {Text5, Text6, Text7, Text8, Text9, Text10})
        address->addWidget(b);

    Command1 = named(new QPushButton(QStringLiteral("&OK"), this), "Command1");
    Command1->setToolTip(QStringLiteral("Store the changes and close this window"));
    Command1->setDefault(true);     // Enter confirms
    Command_Cancel = named(new QPushButton(QStringLiteral("&Cancel"), this), "Command_Cancel");
    Command_Cancel->setToolTip(QStringLiteral("Close this window without storing the changes"));
    Command_Cancel->setAutoDefault(false);
    ui::escapePresses(this, Command_Cancel);
    Text_Msg = named(new QLineEdit(QStringLiteral("Please make any necessary changes."), this), "Text_Msg");
    ui::makeStatusBox(Text_Msg);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Frame1);
    layout->addWidget(Frame2);
    layout->addWidget(Frame3);
    layout->addWidget(Frame4);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command1);
    buttons->addWidget(Command_Cancel);
    buttons->addStretch();
    layout->addLayout(buttons);
    layout->addWidget(Text_Msg);

    bindings_ = {{{Text1, "NAME1", "Name", {}},
                  {Text2, "NAME2", "Name", {}},
                  {Text3, "CONTACT", "Contact Person", {}},
                  {Text4, "CONT_PHONE", "Contact Phone Number", {}},
                  {Text5, "ADDR1", "Address", {}},
                  {Text6, "ADDR2", "Address", {}},
                  {Text7, "ADDR3", "Address", {}},
                  {Text8, "ADDR4", "Address", {}},
                  {Text9, "ADDR5", "Address", {}},
                  {Text10, "ADDR6", "Address", {}}}};
    for (size_t i = 1; i < bindings_.size(); ++i)
        QWidget::setTabOrder(bindings_[i - 1].box, bindings_[i].box);
    QWidget::setTabOrder(Text10, Command1);
    QWidget::setTabOrder(Command1, Command_Cancel);

    rules_ = new ui::FieldRules(this);
    for (const Binding& b : bindings_) {
        rules_->onValidate(b.box, [box = b.box, what = b.what](bool& cancel) {
            const QString message = characterCheck(box, what);
            if (!message.isEmpty())
                ui::ui().msgBox(message, ui::Buttons::OK, ui::Icon::Exclamation);
            cancel = !message.isEmpty();
        });
    }

    ui::FieldRules::setCausesValidation(Command_Cancel, false);
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Command_Cancel, &QPushButton::clicked, this, [this] { Command_Cancel_Click(); });
    Form_Load();
}

bool Group_Agency::canOpen()
{
    return HasCurrentRow(DE().rsGroup());
}

void Group_Agency::Form_Load()
{
    try {
        const db::Recordset& rs = DE().rsGroup();
        if (!HasCurrentRow(rs))
            return;
        setWindowTitle(QStringLiteral("ZARV - Agency ") + rs.text(QStringLiteral("MORTCO")) +
                       QStringLiteral(" Information"));
        Label5->setText(rs.text(QStringLiteral("MORTCO")));
        Label6->setText(vb::Format(rs.number(QStringLiteral("FOLIO_CNT")), QStringLiteral("#,##0")));
        Label7->setText(CurrencyText(rs.number(QStringLiteral("TOT_PAY"))));
        Label8->setText(rs.text(QStringLiteral("DUEDATE")));
        for (Binding& b : bindings_) {
            b.loaded = rs.text(QLatin1String(b.field));
            b.box->setText(b.loaded);
        }
    } catch (const std::exception&) {
        ShowFailure(QStringLiteral("Group_Agency.Form_Load"));
    }
}

void Group_Agency::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    Form_Activate();
}

void Group_Agency::Form_Activate()
{
    ui::ui().doEvents();
}

void Group_Agency::Command1_Click()
{
    accept();
}

QString Group_Agency::characterCheck(QLineEdit* box, const char* what)
{
    const QString message = CharacterCheckMessage(box->text(), QLatin1String(what));
    if (!message.isEmpty())
        ui::markError(box);
    else if (ui::isMarkedError(box))
        ui::markNormal(box);
    return message;
}

// The box the clerk is in, when refused, is the one named; else the first
// refused in tab order.
bool Group_Agency::checkEveryBox()
{
    QLineEdit* named = nullptr;
    QString message;
    for (const Binding& b : bindings_) {
        const QString refused = characterCheck(b.box, b.what);
        if (refused.isEmpty())
            continue;
        if (!named || b.box == QApplication::focusWidget()) {
            named = b.box;
            message = refused;
        }
    }
    if (!named)
        return true;
    ui::ui().msgBox(message, ui::Buttons::OK, ui::Icon::Exclamation);
    named->setFocus(Qt::OtherFocusReason);
    return false;
}

bool Group_Agency::Form_Unload()
{
    db::Recordset& rs = DE().rsGroup();
    try {
        if (rs.isOpen() && rs.recordCount() >= 1 && HasCurrentRow(rs)) {
            for (const Binding& b : bindings_) {
                if (b.box->text() != b.loaded)
                    rs.setValue(QLatin1String(b.field), b.box->text());
            }
            rs.move(0);
        }
        return true;
    } catch (const std::exception&) {
        try {
            if (rs.isOpen() && rs.editPending())
                rs.cancelUpdate();
        } catch (const std::exception&) {
            // The failure shown just below is the one that counts.
        }
        ShowFailure(QStringLiteral("Group_Agency.Form_Unload"));
        // The row keeps what it held; the boxes show it again, so a second OK closes.
        Form_Load();
        return false;
    }
}

void Group_Agency::Command_Cancel_Click()
{
    reject();
}

bool Group_Agency::edited() const
{
    return std::any_of(bindings_.begin(), bindings_.end(),
                       [](const Binding& b) { return b.box->text() != b.loaded; });
}

// OK stores the boxes; Cancel, Escape and the close box leave the row as it
// was, after asking when a box was changed.
void Group_Agency::done(int r)
{
    if (!unloaded_) {
        if (r == QDialog::Accepted) {
            if (!checkEveryBox() || !Form_Unload())
                return;
        } else if (edited() && !ui::ui().ending()
                   && !ui::ui().confirm(QStringLiteral("Leave without storing the changes to the agency's "
                                                       "information?"),
                                        windowTitle())) {
            return;
        }
        unloaded_ = true;
    }
    QDialog::done(r);
}

} // namespace zarv
