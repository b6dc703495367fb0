#include "payments/Detail_Add.h"

#include "platform/data/recordset.h"
#include "services/dataenvironment.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace zarv {

Detail_Add::Detail_Add(QWidget* parent)
    : PaymentFieldEditor(parent, QStringLiteral("Detail_Add"),
                         {QStringLiteral("Add a New Payment"),
                          QStringLiteral("Please enter the new payment information and press the \"OK\" button."),
                          QStringLiteral("OK to create the new payment"),
                          QStringLiteral("Cancel the creation of this payment")},
                         false)
{
    // A new payment has no delinquent amount of its own.
    txtDELQ->setEnabled(false);
    lblFieldLabel[lblDelinquent]->setEnabled(false);

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

FolioCheck Detail_Add::checkFolio(const std::vector<FolioPayment>& sameFolio) const
{
    return CheckNewPayment(sameFolio, txtNAME->text());
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

} // namespace zarv
