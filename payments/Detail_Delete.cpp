#include "payments/Detail_Delete.h"

#include "payments/paymentrules.h"
#include "platform/data/recordset.h"
#include "services/dataenvironment.h"
#include "services/failurenotice.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>

namespace zarv {

Detail_Delete::Detail_Delete(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Detail_Delete"));
    Picture1 = new QLabel(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(32, 32));
    Picture1->setToolTip(QStringLiteral("Make sure that this is the correct payment to delete!"));
    BuildPaymentEditor(*this, *this,
                       {QStringLiteral("Delete Payment"), QStringLiteral("Confirm the DELETE of this Payment"),
                        QStringLiteral("Delete this payment"),
                        QStringLiteral("Cancel the delete. Leave the payment alone.")},
                       Picture1);
    MakePaymentEditorReadOnly(*this);
    // Enter keeps the payment: only a deliberate OK deletes it.
    Command_OK->setDefault(false);
    Command_OK->setAutoDefault(false);
    Command_Cancel->setDefault(true);
    QWidget::setTabOrder(Command_Cancel, Command_OK);

    connect(Command_OK, &QPushButton::clicked, this, [this] { Command_OK_Click(); });
    connect(Command_Cancel, &QPushButton::clicked, this, [this] { Command_Cancel_Click(); });

    Form_Load();
    Command_OK->setEnabled(loaded_);
}

bool Detail_Delete::canOpen()
{
    return HasCurrentRow(DE().rsDetail());
}

void Detail_Delete::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    Command_Cancel->setFocus(Qt::OtherFocusReason);
}

void Detail_Delete::Form_Load()
{
    Guarded(QStringLiteral("Detail_Delete.Form_Load"), [this] {
        db::Recordset& rs = DE().rsDetail();
        if (!HasCurrentRow(rs))
            return;     // the boxes keep their empty design state
        bookmark_ = rs.bookmark();
        const StoredAmounts stored = ShowStoredPayment(rs, *this);
        SelectGrantOption(*this, GrantOf(rs.text(QStringLiteral("ABC"))));
        if (stored.regGrant <= 0) {
            if (OptionB->isChecked())
                OptionA->setChecked(true);
            OptionB->setEnabled(false);
        }
        if (stored.addGrant <= 0) {
            if (OptionC->isChecked())
                OptionA->setChecked(true);
            OptionC->setEnabled(false);
        }
        txtPAYMENT->setText(PaymentBoxText(rs.number(QStringLiteral("PAYMENT"))));
        loaded_ = true;
    });
}

void Detail_Delete::Command_OK_Click()
{
    if (!loaded_)
        return;
    bool deleted = false;
    const bool ended = Guarded(QStringLiteral("Detail_Delete.Command_OK_Click"), [this, &deleted] {
        db::Recordset& rs = DE().rsDetail();
        ReturnToPayment(rs, bookmark_);
        rs.deleteCurrent();
        deleted = true;
        if (rs.recordCount() > 0) {
            rs.moveNext();
            if (rs.eof())
                rs.moveFirst();
        }
    });
    if (!ended && !deleted)
        return;     // nothing changed: the screen stays
    accept();
}

void Detail_Delete::Command_Cancel_Click()
{
    reject();
}

} // namespace zarv
