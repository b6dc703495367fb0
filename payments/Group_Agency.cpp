#include "payments/Group_Agency.h"

#include "payments/paymentrules.h"
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
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>

namespace zarv {

Group_Agency::Group_Agency(QWidget* parent) : QDialog(parent)
{
    setupUi(this);
    ui::escapePresses(this, Command_Cancel);
    ui::makeStatusBox(Text_Msg);

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
    rules_ = new ui::FieldRules(this);
    for (const Binding& b : bindings_) {
        ui::fitToLength(b.box);
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
    Guarded(QStringLiteral("Group_Agency.Form_Load"), [this] {
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
    });
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
        ui::markError(box, message);
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
    const bool stored = Guarded(QStringLiteral("Group_Agency.Form_Unload"), [&] {
        if (rs.isOpen() && rs.recordCount() >= 1 && HasCurrentRow(rs)) {
            for (const Binding& b : bindings_) {
                if (b.box->text() != b.loaded)
                    rs.setValue(QLatin1String(b.field), b.box->text());
            }
            rs.move(0);
        }
    });
    if (stored)
        return true;
    // The row keeps what it held; the boxes show it again, so a second OK closes.
    DropPendingEdit(rs);
    Form_Load();
    return false;
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
