#include "payments/paymenteditor.h"

#include "paymentfile/paymentformat.h"
#include "payments/paymentrules.h"
#include "payments/screenparts.h"
#include "platform/data/recordset.h"
#include "platform/forms/dialogkeys.h"
#include "platform/forms/fieldrules.h"
#include "platform/forms/formcolours.h"
#include "platform/text/vb.h"
#include "platform/ui/uiservices.h"
#include "services/screens/Form_InformationDialog.h"
#include "services/clientdata.h"
#include "services/dataenvironment.h"
#include "services/failurenotice.h"

#include <QDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <functional>
#include <utility>

namespace zarv {

namespace {

constexpr quint32 kScreenColour = 0x00FFFFC0;   // form, frame, options and labels

QLineEdit* box(QDialog& screen, const char* name, int maxLength)
{
    auto* b = named(new QLineEdit(&screen), name);
    if (maxLength > 0)
        b->setMaxLength(maxLength);
    return b;
}

QLineEdit* amountBox(QWidget* parent, const char* name)
{
    auto* b = named(new QLineEdit(parent), name);
    ui::lockBox(b, true);
    b->setMaximumWidth(150);
    return b;
}

} // namespace

void BuildPaymentEditor(QDialog& screen, PaymentEditorControls& c, const PaymentEditorTexts& texts, QWidget* picture)
{
    screen.setWindowTitle(QStringLiteral("ZARV - ") + texts.title);
    ui::setBackColour(&screen, kScreenColour);

    c.Label1 = named(new QLabel(texts.title, &screen), "Label1");
    QFont titleFont = c.Label1->font();
    titleFont.setBold(true);
    titleFont.setPointSize(12);
    c.Label1->setFont(titleFont);

    static const char* const kLabels[8] = {"Mortgage Number:", "Name:", "Collection District:", "Jurisdiction:",
                                           "Folio Number:", "Delinquent / Credit:", "Legal Description:",
                                           "Payment Amount:"};
    for (int i = 0; i < 8; ++i) {
        auto* l = new QLabel(QString::fromLatin1(kLabels[i]), &screen);
        l->setObjectName(QStringLiteral("lblFieldLabel_%1").arg(i));
        l->setProperty("index", i);
        c.lblFieldLabel[static_cast<size_t>(i)] = l;
    }

    c.txtCD = box(screen, "txtCD", 2);
    c.txtJUR = box(screen, "txtJUR", 3);
    ui::setBackColour(c.txtJUR, ui::colour::White);
    c.txtFOLIO_DISP = box(screen, "txtFOLIO_DISP", 20);
    c.txtNUMBER = box(screen, "txtNUMBER", 12);
    c.txtNAME = box(screen, "txtNAME", 25);
    c.txtLEGAL = box(screen, "txtLEGAL", 32);

    c.Frame1 = named(new QGroupBox(QStringLiteral("<Grant>"), &screen), "Frame1");
    c.OptionA = named(new QRadioButton(QStringLiteral("(&A) NO Grant"), c.Frame1), "OptionA");
    c.OptionB = named(new QRadioButton(QStringLiteral("(&B) Regular Grant"), c.Frame1), "OptionB");
    c.OptionC = named(new QRadioButton(QStringLiteral("(&C) Additional Grant"), c.Frame1), "OptionC");
    // None is selected until the screen loads.
    c.txtGROSS_TAX = amountBox(c.Frame1, "txtGROSS_TAX");
    c.txtREG_GRANT = amountBox(c.Frame1, "txtREG_GRANT");
    c.txtADD_GRANT = amountBox(c.Frame1, "txtADD_GRANT");
    auto* grant = new QGridLayout(c.Frame1);
    grant->addWidget(c.OptionA, 0, 0);
    grant->addWidget(c.txtGROSS_TAX, 0, 1);
    grant->addWidget(c.OptionB, 1, 0);
    grant->addWidget(c.txtREG_GRANT, 1, 1);
    grant->addWidget(c.OptionC, 2, 0);
    grant->addWidget(c.txtADD_GRANT, 2, 1);

    c.txtDELQ = amountBox(&screen, "txtDELQ");
    c.txtPAYMENT = named(new QLineEdit(&screen), "txtPAYMENT");
    c.txtPAYMENT->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    c.txtPAYMENT->setMaximumWidth(150);

    // Enter in a box presses OK; Escape presses Cancel (Alt+A to Alt+C are the options').
    c.Command_OK = named(new QPushButton(QStringLiteral("&OK"), &screen), "Command_OK");
    c.Command_OK->setToolTip(texts.okToolTip);
    c.Command_OK->setDefault(true);
    c.Command_Cancel = named(new QPushButton(QStringLiteral("Ca&ncel"), &screen), "Command_Cancel");
    c.Command_Cancel->setToolTip(texts.cancelToolTip);
    ui::escapePresses(&screen, c.Command_Cancel);

    c.Text_Msg = named(new QLineEdit(texts.message, &screen), "Text_Msg");
    ui::makeStatusBox(c.Text_Msg);

    auto* fields = new QGridLayout;
    auto addRow = [&](int row, int label, QWidget* w) {
        fields->addWidget(c.lblFieldLabel[static_cast<size_t>(label)], row, 0, Qt::AlignRight);
        fields->addWidget(w, row, 1);
    };
    addRow(0, lblCollectionDistrict, c.txtCD);
    addRow(1, lblJurisdiction, c.txtJUR);
    addRow(2, lblFolioNumber, c.txtFOLIO_DISP);
    addRow(3, lblMortgageNumber, c.txtNUMBER);
    addRow(4, lblName, c.txtNAME);
    addRow(5, lblLegal, c.txtLEGAL);
    fields->addWidget(c.Frame1, 6, 0, 1, 2);
    addRow(7, lblDelinquent, c.txtDELQ);
    addRow(8, lblPayment, c.txtPAYMENT);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(c.Command_OK);
    buttons->addWidget(c.Command_Cancel);
    buttons->addStretch();

    auto* top = new QHBoxLayout;
    top->addWidget(c.Label1, 1);
    if (picture)
        top->addWidget(picture, 0, Qt::AlignRight);

    auto* layout = new QVBoxLayout(&screen);
    layout->addLayout(top);
    layout->addLayout(fields);
    layout->addLayout(buttons);
    layout->addWidget(c.Text_Msg);

    QWidget* order[] = {c.txtCD, c.txtJUR, c.txtFOLIO_DISP, c.txtNUMBER, c.txtNAME, c.txtLEGAL, c.OptionA,
                        c.OptionB, c.OptionC, c.txtPAYMENT, c.Command_OK, c.Command_Cancel};
    for (size_t i = 1; i < std::size(order); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

void MakePaymentEditorReadOnly(PaymentEditorControls& c)
{
    for (QLineEdit* b : {c.txtCD, c.txtJUR, c.txtFOLIO_DISP, c.txtNUMBER, c.txtNAME, c.txtLEGAL})
        ui::lockBox(b, false);
    for (QLineEdit* b : {c.txtGROSS_TAX, c.txtREG_GRANT, c.txtADD_GRANT, c.txtDELQ, c.txtPAYMENT})
        ui::lockBox(b, true);
    for (QRadioButton* o : {c.OptionA, c.OptionB, c.OptionC}) {
        o->setEnabled(false);
        o->setFocusPolicy(Qt::NoFocus);
    }
    QWidget::setTabOrder(c.Command_OK, c.Command_Cancel);
}

// ---------------------------------------------------------------- the stored payment

QString AmountBoxText(double amount)
{
    return vb::Format(amount, QStringLiteral("##,###,###,##0.00"));
}

QString PaymentBoxText(double payment)
{
    return vb::Format(payment, QStringLiteral("###,###,###,###,##0.00"));
}

StoredAmounts ShowStoredPayment(const db::Recordset& rs, PaymentEditorControls& c)
{
    c.txtCD->setText(rs.text(QStringLiteral("CD")));
    c.txtJUR->setText(rs.text(QStringLiteral("JUR")));
    c.txtFOLIO_DISP->setText(rs.text(QStringLiteral("FOLIO_DISP")));
    c.txtNUMBER->setText(rs.text(QStringLiteral("NUMBER")));
    c.txtNAME->setText(rs.text(QStringLiteral("NAME")));
    c.txtLEGAL->setText(rs.text(QStringLiteral("LEGAL")));
    const StoredAmounts stored{rs.number(QStringLiteral("GROSS_TAX")), rs.number(QStringLiteral("REG_GRANT")),
                               rs.number(QStringLiteral("ADD_GRANT")), rs.number(QStringLiteral("DELQ"))};
    c.txtGROSS_TAX->setText(AmountBoxText(stored.grossTax));
    c.txtREG_GRANT->setText(AmountBoxText(stored.regGrant));
    c.txtADD_GRANT->setText(AmountBoxText(stored.addGrant));
    c.txtDELQ->setText(AmountBoxText(stored.delq));
    return stored;
}

void ReturnToPayment(db::Recordset& rs, qint64 bookmark)
{
    if (!HasCurrentRow(rs) || rs.bookmark() != bookmark)
        rs.setBookmark(bookmark);
}

// ---------------------------------------------------------------- field rules

QString CodeCheckRule(QLineEdit* box, QLineEdit* status, const QString& what)
{
    status->clear();
    box->setText(vb::Trim(box->text()));
    ui::markNormal(box);
    const QString message = CodeCheckMessage(box->text(), what);
    if (!message.isEmpty()) {
        status->setText(message);
        ui::markError(box);
    }
    return message;
}

void FolioDisplayRule(PaymentEditorControls& c)
{
    const QString text = vb::Trim(c.txtFOLIO_DISP->text());
    if (text.isEmpty() || !FolioFitMessage(c.txtJUR->text(), text).isEmpty()) {
        c.txtFOLIO_DISP->setText(text);
        return;
    }
    c.txtFOLIO_DISP->setText(FormatFolio(c.txtJUR->text(), FolioOf(text)));
}

QString FolioFitRule(PaymentEditorControls& c)
{
    const QString text = vb::Trim(c.txtFOLIO_DISP->text());
    const QString message = text.isEmpty() ? QString() : FolioFitMessage(c.txtJUR->text(), text);
    if (message.isEmpty()) {
        if (ui::isMarkedError(c.txtFOLIO_DISP))
            ui::markNormal(c.txtFOLIO_DISP);
        return {};
    }
    c.Text_Msg->setText(message);
    ui::ui().beep();
    ui::markError(c.txtFOLIO_DISP);
    return message;
}

void TrimRule(QLineEdit* box)
{
    box->setText(vb::Trim(box->text()));
}

QString CharacterCheckRule(QLineEdit* box, QLineEdit* status, const QString& what)
{
    const QString message = CharacterCheckMessage(box->text(), what);
    if (!message.isEmpty()) {
        status->setText(message);
        ui::markError(box);
    } else if (ui::isMarkedError(box)) {
        ui::markNormal(box);
        status->clear();
    }
    return message;
}

QString NameCheckRule(PaymentEditorControls& c)
{
    c.txtNAME->setText(vb::Trim(c.txtNAME->text()));
    if (c.txtNAME->text().isEmpty()) {
        const QString message = QStringLiteral("You must enter a Name!");
        c.Text_Msg->setText(message);
        ui::ui().beep();
        ui::markError(c.txtNAME);
        return message;
    }
    ui::markNormal(c.txtNAME);
    c.Text_Msg->clear();
    return CharacterCheckRule(c.txtNAME, c.Text_Msg, QStringLiteral("Name"));
}

QString AmountCheckRule(PaymentEditorControls& c)
{
    const AmountCheck check = CheckPaymentAmount(c.txtPAYMENT->text());
    c.txtPAYMENT->setText(check.text);
    if (check.verdict != AmountVerdict::Accepted) {
        c.Text_Msg->setText(check.message);
        ui::markError(c.txtPAYMENT);
        return check.message;
    }
    c.Text_Msg->clear();
    return {};
}

QString FolioOfBox(const PaymentEditorControls& c)
{
    const QString text = vb::Trim(c.txtFOLIO_DISP->text());
    return text.isEmpty() ? QString() : FolioOf(text);
}

double PaymentToStore(const PaymentEditorControls& c)
{
    return vb::Val(FormatAmountText(vb::Trim(c.txtPAYMENT->text()), QStringLiteral("###################0.00")));
}

void ShowDuplicateFolioError(PaymentEditorControls& c, QLineEdit* box)
{
    c.Text_Msg->setText(QStringLiteral("ERROR - Duplicate Folio with 100% EXACT SAME NAME"));
    ui::ui().beep();
    ui::markError(box);
    box->setFocus(Qt::OtherFocusReason);
}

void ShowFolioNotice(const PaymentEditorControls& c, const std::vector<FolioPayment>& listed, bool changed,
                     const QString& folio)
{
    ui::ui().doEvents();
    ShowInformationDialog(QStringLiteral("Informational"),
                          FolioNoticeText(listed, changed, c.txtNAME->text(), c.txtPAYMENT->text()),
                          FolioNoticeTitle(c.txtCD->text(), c.txtJUR->text(), folio));
    ui::ui().doEvents();
}

// The texts go in as the payment file will hold them (see pf::writtenText).
void WritePaymentBoxes(db::Recordset& rs, const PaymentEditorControls& c, const QString& folio)
{
    const QString jur = pf::storedText(c.txtJUR->text(), pf::kJurWidth);
    rs.setValue(QStringLiteral("CD"), pf::storedText(c.txtCD->text(), pf::kCdWidth));
    rs.setValue(QStringLiteral("JUR"), jur);
    rs.setValue(QStringLiteral("FOLIO"), folio);
    rs.setValue(QStringLiteral("FOLIO_DISP"), pf::shownFolio(jur, folio));
    rs.setValue(QStringLiteral("NUMBER"), pf::storedText(c.txtNUMBER->text(), pf::kNumberWidth));
    rs.setValue(QStringLiteral("NAME"), pf::storedText(c.txtNAME->text(), pf::kNameWidth));
    rs.setValue(QStringLiteral("LEGAL"), pf::storedText(c.txtLEGAL->text(), pf::kLegalWidth));
}

void SelectGrantOption(PaymentEditorControls& c, Grant g)
{
    QRadioButton* option = g == Grant::B ? c.OptionB : g == Grant::C ? c.OptionC : c.OptionA;
    option->setChecked(true);
}

Grant SelectedGrant(const PaymentEditorControls& c)
{
    if (c.OptionA->isChecked())
        return Grant::A;
    if (c.OptionB->isChecked())
        return Grant::B;
    return Grant::C;
}

// ---------------------------------------------------------------- the change and add screens

PaymentFieldEditor::PaymentFieldEditor(QWidget* parent, const QString& name, const PaymentEditorTexts& texts,
                                       bool changing)
    : QDialog(parent), changing_(changing)
{
    setObjectName(name);
    BuildPaymentEditor(*this, *this, texts);

    rules = new ui::FieldRules(this);
    ui::FieldRules::setCausesValidation(Command_Cancel, false);
    rules->onLostFocus(txtCD, [this] { txtCD_LostFocus(); });
    rules->onLostFocus(txtJUR, [this] { txtJUR_LostFocus(); });
    rules->onGotFocus(txtFOLIO_DISP, [this] { txtFOLIO_DISP_GotFocus(); });
    rules->onLostFocus(txtFOLIO_DISP, [this] { txtFOLIO_DISP_LostFocus(); });
    rules->onLostFocus(txtNUMBER, [this] { txtNUMBER_LostFocus(); });
    rules->onLostFocus(txtLEGAL, [this] { txtLEGAL_LostFocus(); });
    rules->onValidate(txtNUMBER, [this](bool& cancel) { txtNUMBER_Validate(cancel); });
    rules->onValidate(txtNAME, [this](bool& cancel) { txtNAME_Validate(cancel); });
    rules->onValidate(txtLEGAL, [this](bool& cancel) { txtLEGAL_Validate(cancel); });
    rules->onValidate(txtPAYMENT, [this](bool& cancel) { txtPAYMENT_Validate(cancel); });
    rules->onValidate(txtFOLIO_DISP, [this](bool& cancel) { txtFOLIO_DISP_Validate(cancel); });

    connect(Command_OK, &QPushButton::clicked, this, [this] { Command_OK_Click(); });
    connect(Command_Cancel, &QPushButton::clicked, this, [this] { Command_Cancel_Click(); });
    for (QLineEdit* b : {txtCD, txtJUR, txtFOLIO_DISP, txtNUMBER, txtNAME, txtLEGAL, txtPAYMENT})
        connect(b, &QLineEdit::textEdited, this, [this] { edited_ = true; });
    for (QRadioButton* o : {OptionA, OptionB, OptionC})
        connect(o, &QRadioButton::clicked, this, [this] { edited_ = true; });
}

void PaymentFieldEditor::txtCD_LostFocus()
{
    CodeCheckRule(txtCD, Text_Msg, QStringLiteral("Collection District"));
}

void PaymentFieldEditor::txtJUR_LostFocus()
{
    CodeCheckRule(txtJUR, Text_Msg, QStringLiteral("Jurisdiction"));
}

void PaymentFieldEditor::folioDisplay(const char* handler)
{
    try {
        FolioDisplayRule(*this);
    } catch (const std::exception&) {
        ShowFailure(objectName() + QLatin1Char('.') + QLatin1String(handler));
    }
}

void PaymentFieldEditor::txtFOLIO_DISP_GotFocus()
{
    folioDisplay("txtFOLIO_DISP_GotFocus");
}

void PaymentFieldEditor::txtFOLIO_DISP_LostFocus()
{
    folioDisplay("txtFOLIO_DISP_LostFocus");
}

void PaymentFieldEditor::txtNUMBER_LostFocus()
{
    TrimRule(txtNUMBER);
}

void PaymentFieldEditor::txtLEGAL_LostFocus()
{
    TrimRule(txtLEGAL);
}

void PaymentFieldEditor::txtNUMBER_Validate(bool& Cancel)
{
    Cancel = !CharacterCheckRule(txtNUMBER, Text_Msg, QStringLiteral("Mortgage Number")).isEmpty();
}

void PaymentFieldEditor::txtNAME_Validate(bool& Cancel)
{
    Cancel = !NameCheckRule(*this).isEmpty();
}

void PaymentFieldEditor::txtLEGAL_Validate(bool& Cancel)
{
    Cancel = !CharacterCheckRule(txtLEGAL, Text_Msg, QStringLiteral("Legal Description")).isEmpty();
}

void PaymentFieldEditor::txtPAYMENT_Validate(bool& Cancel)
{
    Cancel = !AmountCheckRule(*this).isEmpty();
}

void PaymentFieldEditor::txtFOLIO_DISP_Validate(bool& Cancel)
{
    try {
        Cancel = folioTyped() && !FolioFitRule(*this).isEmpty();
    } catch (const std::exception&) {
        ShowFailure(objectName() + QStringLiteral(".txtFOLIO_DISP_Validate"));
        Cancel = true;
    }
}

QString PaymentFieldEditor::folioToStore() const
{
    return FolioOfBox(*this);
}

// A box the clerk never entered has had no check: OK runs them all, so that
// nothing a check would refuse is ever stored.
bool PaymentFieldEditor::checkEveryBox()
{
    const std::pair<QLineEdit*, std::function<QString()>> checks[] = {
        {txtCD, [this] { return CodeCheckRule(txtCD, Text_Msg, QStringLiteral("Collection District")); }},
        {txtJUR, [this] { return CodeCheckRule(txtJUR, Text_Msg, QStringLiteral("Jurisdiction")); }},
        {txtFOLIO_DISP, [this] { return folioTyped() ? FolioFitRule(*this) : QString(); }},
        {txtNUMBER, [this] { return CharacterCheckRule(txtNUMBER, Text_Msg, QStringLiteral("Mortgage Number")); }},
        {txtNAME, [this] { return NameCheckRule(*this); }},
        {txtLEGAL, [this] { return CharacterCheckRule(txtLEGAL, Text_Msg, QStringLiteral("Legal Description")); }},
        {txtPAYMENT, [this] { return AmountCheckRule(*this); }},
    };
    QLineEdit* first = nullptr;
    QString message;
    for (const auto& [box, check] : checks) {
        const QString refused = check();
        if (!refused.isEmpty() && !first) {
            first = box;
            message = refused;
        }
    }
    if (!first)
        return true;
    // Leaving the box the focus was in runs its rule, which may clear the status line.
    first->setFocus(Qt::OtherFocusReason);
    Text_Msg->setText(message);
    return false;
}

void PaymentFieldEditor::Command_OK_Click()
{
    if (!canSave())
        return;
    if (!checkEveryBox())
        return;
    db::Recordset& rs = DE().rsDetail();
    try {
        const QString folio = folioToStore();
        const QString mortco = CurrentGroupMortco();
        // The codes as they will be stored (see WritePaymentBoxes).
        const FolioCheck check = checkFolio(PaymentsOfFolio(rs, mortco, pf::storedText(txtCD->text(), pf::kCdWidth),
                                                            pf::storedText(txtJUR->text(), pf::kJurWidth), folio));
        if (check.verdict == FolioVerdict::Duplicate) {
            ShowDuplicateFolioError(*this, check.markFolioBox ? txtFOLIO_DISP : txtNAME);
            return;
        }
        if (check.verdict == FolioVerdict::Notice)
            ShowFolioNotice(*this, check.listed, changing_, folio);
        save(mortco, folio);
    } catch (const std::exception&) {
        DropPendingEdit(rs);
        ShowFailure(objectName() + QStringLiteral(".Command_OK_Click"));
        return;
    }
    accept();
}

void PaymentFieldEditor::Command_Cancel_Click()
{
    reject();
}

void PaymentFieldEditor::reject()
{
    if (edited_ && !ui::ui().ending()
        && !ui::ui().confirm(changing_ ? QStringLiteral("Leave without storing the changes to this payment?")
                                       : QStringLiteral("Leave without storing this new payment?"),
                             windowTitle()))
        return;
    QDialog::reject();
}

} // namespace zarv
