#include "payments/Detail_Add.h"

#include "platform/data/recordset.h"
#include "platform/forms/fieldrules.h"
#include "platform/text/vb.h"
#include "shell/data/dataenvironment.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace zarv {

Detail_Add::Detail_Add(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Detail_Add"));
    BuildPaymentEditor(*this, *this,
                       {QStringLiteral("Add a New Payment"),
                        QStringLiteral("Please enter the new payment information and press the \"OK\" button."),
                        QStringLiteral("OK to create the new payment"),
                        QStringLiteral("Cancel the creation of this payment")});
    // A new payment has no delinquent amount of its own.
    txtDELQ->setEnabled(false);
    lblFieldLabel[lblDelinquent]->setEnabled(false);

    rules = new ui::FieldRules(this);
    ui::FieldRules::setCausesValidation(Command_Cancel, false);
    rules->onLostFocus(txtCD, [this] { txtCD_LostFocus(); });
    rules->onLostFocus(txtJUR, [this] { txtJUR_LostFocus(); });
    rules->onGotFocus(txtFOLIO_DISP, [this] { txtFOLIO_DISP_GotFocus(); });
    rules->onLostFocus(txtFOLIO_DISP, [this] { txtFOLIO_DISP_LostFocus(); });
    rules->onLostFocus(txtNUMBER, [this] { txtNUMBER_LostFocus(); });
    rules->onLostFocus(txtLEGAL, [this] { txtLEGAL_LostFocus(); });
    rules->onValidate(txtNAME, [this](bool& cancel) { txtNAME_Validate(cancel); });
    rules->onValidate(txtPAYMENT, [this](bool& cancel) { txtPAYMENT_Validate(cancel); });

    connect(Command_OK, &QPushButton::clicked, this, [this] { Command_OK_Click(); });
    connect(Command_Cancel, &QPushButton::clicked, this, [this] { Command_Cancel_Click(); });

    Form_Load();
    Command_OK->setEnabled(canOpen());
}

bool Detail_Add::canOpen()
{
    return HasCurrentRow(DE().rsGroup()) && DE().rsDetail().isOpen();
}

void Detail_Add::Form_Load()
{
    for (QLineEdit* b : {txtCD, txtJUR, txtFOLIO_DISP, txtNUMBER, txtNAME, txtLEGAL})
        b->clear();
    for (QLineEdit* b : {txtGROSS_TAX, txtREG_GRANT, txtADD_GRANT, txtDELQ})
        b->setText(QStringLiteral("0.00"));
    // The options are shown, but a new payment is always of type A with no tax
    // amounts of its own; they cannot be changed here.
    SelectGrantOption(*this, Grant::A);
    for (QRadioButton* o : {OptionB, OptionC})
        o->setEnabled(false);
    txtPAYMENT->setText(QStringLiteral("0.00"));
}

void Detail_Add::txtCD_LostFocus()
{
    CodeCheckRule(txtCD, Text_Msg, QStringLiteral("Collection District"));
}

void Detail_Add::txtJUR_LostFocus()
{
    CodeCheckRule(txtJUR, Text_Msg, QStringLiteral("Jurisdiction"));
}

void Detail_Add::txtFOLIO_DISP_GotFocus()
{
    try {
        FolioDisplayRule(*this);
    } catch (const std::exception&) {
        ShowScreenError(QStringLiteral("Detail_Add.txtFOLIO_DISP_GotFocus"));
    }
}

void Detail_Add::txtFOLIO_DISP_LostFocus()
{
    try {
        FolioDisplayRule(*this);
    } catch (const std::exception&) {
        ShowScreenError(QStringLiteral("Detail_Add.txtFOLIO_DISP_LostFocus"));
    }
}

void Detail_Add::txtNUMBER_LostFocus()
{
    TrimRule(txtNUMBER);
}

void Detail_Add::txtLEGAL_LostFocus()
{
    TrimRule(txtLEGAL);
}

void Detail_Add::txtNAME_Validate(bool& Cancel)
{
    NameCheckRule(*this, Cancel);
}

void Detail_Add::txtPAYMENT_Validate(bool& Cancel)
{
    AmountCheckRule(*this, Cancel);
}

void Detail_Add::Command_OK_Click()
{
    if (!canOpen())
        return;
    bool cancel = false;
    txtPAYMENT_Validate(cancel);
    if (cancel) {
        txtPAYMENT->setFocus(Qt::OtherFocusReason);
        return;
    }
    db::Recordset& rs = DE().rsDetail();
    try {
        const QString folio = FolioOfBox(*this);
        const QString mortco = CurrentGroupMortco();
        const std::vector<FolioPayment> sameFolio = PaymentsOfFolio(rs, mortco, txtCD->text(), txtJUR->text(), folio);
        const FolioCheck check = CheckNewPayment(sameFolio, txtNAME->text());
        if (check.verdict == FolioVerdict::Duplicate) {
            ShowDuplicateFolioError(*this, txtNAME);
            return;
        }
        if (check.verdict == FolioVerdict::Notice)
            ShowFolioNotice(*this, check.listed, false, folio);
        save(mortco, folio);
    } catch (const std::exception&) {
        DropPendingEdit(rs);
        ShowScreenError(QStringLiteral("Detail_Add.Command_OK_Click"));
        return;
    }
    accept();
}

void Detail_Add::save(const QString& mortco, const QString& folio)
{
    db::Recordset& rs = DE().rsDetail();
    rs.addNew();
    rs.setValue(QStringLiteral("MORTCO"), mortco);
    WritePaymentBoxes(rs, *this, folio);
    for (const char* amount : {"GROSS_TAX", "REG_GRANT", "ADD_GRANT", "DELQ"})
        rs.setValue(QLatin1String(amount), 0.0);
    rs.setValue(QStringLiteral("ABC"), QStringLiteral("A"));
    rs.setValue(QStringLiteral("PAYMENT"), PaymentToStore(*this));
    rs.move(0);
}

void Detail_Add::Command_Cancel_Click()
{
    reject();
}

} // namespace zarv
