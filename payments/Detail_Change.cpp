#include "payments/Detail_Change.h"

#include "platform/data/recordset.h"
#include "platform/forms/fieldrules.h"
#include "platform/text/vb.h"
#include "platform/ui/uiservices.h"
#include "shell/data/dataenvironment.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace zarv {

namespace {
const QString kAmountShown = QStringLiteral("##,###,###,##0.00");
const QString kPaymentShown = QStringLiteral("###,###,###,###,##0.00");
}

Detail_Change::Detail_Change(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Detail_Change"));
    BuildPaymentEditor(*this, *this,
                       {QStringLiteral("Change Payment"),
                        QStringLiteral("Please make the changes and press the \"OK\" or \"Cancel\" button."),
                        QStringLiteral("OK to save the changes to this payment"),
                        QStringLiteral("Cancel the changes and leave the payment alone.")});

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

    connect(OptionA, &QRadioButton::clicked, this, [this] { OptionA_Click(); });
    connect(OptionB, &QRadioButton::clicked, this, [this] { OptionB_Click(); });
    connect(OptionC, &QRadioButton::clicked, this, [this] { OptionC_Click(); });
    connect(Command_OK, &QPushButton::clicked, this, [this] { Command_OK_Click(); });
    connect(Command_Cancel, &QPushButton::clicked, this, [this] { Command_Cancel_Click(); });

    Form_Load();
    Command_OK->setEnabled(loaded_);
}

bool Detail_Change::canOpen()
{
    return HasCurrentRow(DE().rsDetail());
}

void Detail_Change::Form_Load()
{
    try {
        db::Recordset& rs = DE().rsDetail();
        if (!HasCurrentRow(rs))
            return;
        bookmark_ = rs.bookmark();
        txtCD->setText(rs.text(QStringLiteral("CD")));
        txtJUR->setText(rs.text(QStringLiteral("JUR")));
        txtFOLIO_DISP->setText(rs.text(QStringLiteral("FOLIO_DISP")));
        txtNUMBER->setText(rs.text(QStringLiteral("NUMBER")));
        txtNAME->setText(rs.text(QStringLiteral("NAME")));
        txtLEGAL->setText(rs.text(QStringLiteral("LEGAL")));
        stored_ = {rs.number(QStringLiteral("GROSS_TAX")), rs.number(QStringLiteral("REG_GRANT")),
                   rs.number(QStringLiteral("ADD_GRANT")), rs.number(QStringLiteral("DELQ"))};
        txtGROSS_TAX->setText(vb::Format(stored_.grossTax, kAmountShown));
        txtREG_GRANT->setText(vb::Format(stored_.regGrant, kAmountShown));
        txtADD_GRANT->setText(vb::Format(stored_.addGrant, kAmountShown));
        txtDELQ->setText(vb::Format(stored_.delq, kAmountShown));
        // Selecting the option runs its rule, as a click does; the stored amount
        // then replaces what the rule wrote.
        const Grant g = GrantOf(rs.text(QStringLiteral("ABC")));
        SelectGrantOption(*this, g);
        optionClick(g);
        txtPAYMENT->setText(vb::Format(rs.number(QStringLiteral("PAYMENT")), kPaymentShown));
        loaded_ = true;
    } catch (const std::exception&) {
        ShowScreenError(QStringLiteral("Detail_Change.Form_Load"));
        loaded_ = false;
    }
}

void Detail_Change::txtCD_LostFocus()
{
    CodeCheckRule(txtCD, Text_Msg, QStringLiteral("Collection District"));
}

void Detail_Change::txtJUR_LostFocus()
{
    CodeCheckRule(txtJUR, Text_Msg, QStringLiteral("Jurisdiction"));
}

void Detail_Change::txtFOLIO_DISP_GotFocus()
{
    try {
        FolioDisplayRule(*this);
    } catch (const std::exception&) {
        ShowScreenError(QStringLiteral("Detail_Change.txtFOLIO_DISP_GotFocus"));
    }
}

void Detail_Change::txtFOLIO_DISP_LostFocus()
{
    try {
        FolioDisplayRule(*this);
    } catch (const std::exception&) {
        ShowScreenError(QStringLiteral("Detail_Change.txtFOLIO_DISP_LostFocus"));
    }
}

void Detail_Change::txtNUMBER_LostFocus()
{
    TrimRule(txtNUMBER);
}

void Detail_Change::txtLEGAL_LostFocus()
{
    TrimRule(txtLEGAL);
}

void Detail_Change::txtNAME_Validate(bool& Cancel)
{
    NameCheckRule(*this, Cancel);
}

void Detail_Change::txtPAYMENT_Validate(bool& Cancel)
{
    AmountCheckRule(*this, Cancel);
}

void Detail_Change::OptionA_Click()
{
    optionClick(Grant::A);
}

void Detail_Change::OptionB_Click()
{
    optionClick(Grant::B);
}

void Detail_Change::OptionC_Click()
{
    optionClick(Grant::C);
}

void Detail_Change::optionClick(Grant g)
{
    const Recalculation r = RecalculatePayment(g, stored_);
    if (r.payment)
        txtPAYMENT->setText(vb::Format(*r.payment, kAmountShown));
    Text_Msg->setText(r.message);
}

void Detail_Change::Command_OK_Click()
{
    if (!loaded_)
        return;
    // The amount is checked again: a box the user never left may hold anything.
    bool cancel = false;
    txtPAYMENT_Validate(cancel);
    if (cancel) {
        txtPAYMENT->setFocus(Qt::OtherFocusReason);
        return;
    }
    db::Recordset& rs = DE().rsDetail();
    try {
        const QString folio = FolioOfBox(*this);
        const std::vector<FolioPayment> sameFolio =
            PaymentsOfFolio(rs, CurrentGroupMortco(), txtCD->text(), txtJUR->text(), folio);
        const FolioCheck check = CheckChangedPayment(sameFolio, bookmark_, txtNAME->text());
        if (check.verdict == FolioVerdict::Duplicate) {
            ShowDuplicateFolioError(*this, check.markFolioBox ? txtFOLIO_DISP : txtNAME);
            return;
        }
        if (check.verdict == FolioVerdict::Notice)
            ShowFolioNotice(*this, check.listed, true, folio);
        save(folio);
    } catch (const std::exception&) {
        DropPendingEdit(rs);
        ShowScreenError(QStringLiteral("Detail_Change.Command_OK_Click"));
        return;
    }
    accept();
}

void Detail_Change::save(const QString& folio)
{
    db::Recordset& rs = DE().rsDetail();
    if (!HasCurrentRow(rs) || rs.bookmark() != bookmark_)
        rs.setBookmark(bookmark_);
    WritePaymentBoxes(rs, *this, folio);
    rs.setValue(QStringLiteral("ABC"), AbcOf(SelectedGrant(*this)));
    rs.setValue(QStringLiteral("PAYMENT"), PaymentToStore(*this));
    rs.move(0);
}

void Detail_Change::Command_Cancel_Click()
{
    reject();
}

} // namespace zarv
