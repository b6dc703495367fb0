#include "payments/Detail_Change.h"

#include "platform/data/recordset.h"
#include "platform/text/vb.h"
#include "services/dataenvironment.h"
#include "services/failurenotice.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace zarv {

Detail_Change::Detail_Change(QWidget* parent)
    : PaymentFieldEditor(parent, QStringLiteral("Detail_Change"),
                         {QStringLiteral("Change Payment"),
                          QStringLiteral("Please make the changes and press the \"OK\" or \"Cancel\" button."),
                          QStringLiteral("OK to save the changes to this payment"),
                          QStringLiteral("Cancel the changes and leave the payment alone.")},
                         true)
{
    connect(OptionA, &QRadioButton::clicked, this, [this] { OptionA_Click(); });
    connect(OptionB, &QRadioButton::clicked, this, [this] { OptionB_Click(); });
    connect(OptionC, &QRadioButton::clicked, this, [this] { OptionC_Click(); });
    connect(txtFOLIO_DISP, &QLineEdit::textEdited, this, [this] { folioEdited_ = true; });

    Form_Load();
    Command_OK->setEnabled(loaded_);
}

bool Detail_Change::canOpen()
{
    return HasCurrentRow(DE().rsDetail());
}

void Detail_Change::Form_Load()
{
    Guarded(QStringLiteral("Detail_Change.Form_Load"), [this] {
        db::Recordset& rs = DE().rsDetail();
        if (!HasCurrentRow(rs))
            return;
        bookmark_ = rs.bookmark();
        stored_ = ShowStoredPayment(rs, *this);
        storedFolio_ = rs.text(QStringLiteral("FOLIO"));
        loadedFolioText_ = vb::Trim(txtFOLIO_DISP->text());
        // The stored option and amount are shown as stored: nothing is
        // recalculated, nor said to be, until the clerk chooses an option.
        SelectGrantOption(*this, GrantOf(rs.text(QStringLiteral("ABC"))));
        txtPAYMENT->setText(PaymentBoxText(rs.number(QStringLiteral("PAYMENT"))));
        loaded_ = true;
    });
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
        txtPAYMENT->setText(AmountBoxText(*r.payment));
    Text_Msg->setText(r.message);
}

FolioCheck Detail_Change::checkFolio(const std::vector<FolioPayment>& sameFolio) const
{
    return CheckChangedPayment(sameFolio, bookmark_, txtNAME->text());
}

QString Detail_Change::folioToStore() const
{
    if (!folioTyped())
        return storedFolio_;
    return PaymentFieldEditor::folioToStore();
}

// The box holds the stored folio while it shows the text loaded with the row
// or the stored folio as the box shows it untyped, whatever the clerk did to
// get there.
bool Detail_Change::folioTyped() const
{
    if (!folioEdited_)
        return false;
    const QString text = vb::Trim(txtFOLIO_DISP->text());
    return text != loadedFolioText_ && text != vb::Trim(shownAsStored(storedFolio_));
}

void Detail_Change::save(const QString&, const QString& folio)
{
    db::Recordset& rs = DE().rsDetail();
    ReturnToPayment(rs, bookmark_);
    WritePaymentBoxes(rs, *this, folio);
    rs.setValue(QStringLiteral("ABC"), AbcOf(SelectedGrant(*this)));
    rs.setValue(QStringLiteral("PAYMENT"), PaymentToStore(*this));
    rs.move(0);
}

} // namespace zarv
