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
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QValidator>

#include <functional>
#include <utility>

namespace zarv {

namespace {

constexpr quint32 kScreenColour = 0x00FFFFC0;   // form, frame, options and labels

// The folio box takes what the mask of the jurisdiction in its box can hold:
// digits up to the places the mask fills and the mask's own separators. What
// does not fit goes nowhere, rather than into the folio, while the focus stays
// in a refused box. Shortening a text that no longer fits (its jurisdiction
// changed) is always taken.
class FolioBoxValidator : public QValidator {
public:
    FolioBoxValidator(QLineEdit* folio, QLineEdit* jur) : QValidator(folio), folio_(folio), jur_(jur) {}

    State validate(QString& input, int&) const override
    {
        const QChar mark(0x2022);
        const QString mask = FormatFolio(jur_->text(), QString(18, mark));
        const qsizetype places = std::min<qsizetype>(mask.count(mark), 18);
        qsizetype digits = 0;
        bool holds = true;
        for (const QChar c : input) {
            if (c >= u'0' && c <= u'9')
                ++digits;
            else if (c == mark || (c != u' ' && !mask.contains(c)))
                holds = false;
        }
        if (holds && digits <= places)
            return Acceptable;
        return deletedFrom(input, folio_->text()) ? Intermediate : Invalid;
    }

    // Whether text is what remains of old when a stretch of it is deleted.
    static bool deletedFrom(const QString& text, const QString& old)
    {
        if (text.size() >= old.size())
            return false;
        qsizetype same = 0;
        while (same < text.size() && text[same] == old[same])
            ++same;
        return old.endsWith(QStringView(text).mid(same));
    }

private:
    QLineEdit* folio_;
    QLineEdit* jur_;
};

} // namespace

void BuildPaymentEditor(QDialog& screen, PaymentEditorControls& c, const PaymentEditorTexts& texts, QWidget* picture)
{
    c.setupUi(&screen);
    c.lblFieldLabel = {c.lblFieldLabel_0, c.lblFieldLabel_1, c.lblFieldLabel_2, c.lblFieldLabel_3,
                       c.lblFieldLabel_4, c.lblFieldLabel_5, c.lblFieldLabel_6, c.lblFieldLabel_7};
    screen.setWindowTitle(QStringLiteral("ZARV - ") + texts.title);
    c.Label1->setText(texts.title);
    c.Text_Msg->setText(texts.message);
    c.Command_OK->setToolTip(texts.okToolTip);
    c.Command_Cancel->setToolTip(texts.cancelToolTip);
    if (picture)
        c.TitleRow->addWidget(picture, 0, Qt::AlignRight);

    ui::setBackColour(&screen, kScreenColour);
    ui::setBackColour(c.txtJUR, ui::colour::White);
    for (QLineEdit* b : {c.txtGROSS_TAX, c.txtREG_GRANT, c.txtADD_GRANT, c.txtDELQ})
        ui::lockBox(b, true);
    ui::makeStatusBox(c.Text_Msg);
    // Enter in a box presses OK; Escape presses Cancel (Alt+A to Alt+C are the options').
    ui::escapePresses(&screen, c.Command_Cancel);
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
        ui::markError(box, message);
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
    ui::markError(c.txtFOLIO_DISP, message);
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
        ui::markError(box, message);
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
        ui::markError(c.txtNAME, message);
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
        ui::markError(c.txtPAYMENT, check.message);
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
    ui::markError(box, c.Text_Msg->text());
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
    txtFOLIO_DISP->setValidator(new FolioBoxValidator(txtFOLIO_DISP, txtJUR));
    connect(txtFOLIO_DISP, &QLineEdit::textEdited, this, [this] { folioEdited(); });

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
    // A stored folio is shown in the form of the jurisdiction it goes with.
    if (!folioTyped())
        folioDisplay("txtJUR_LostFocus");
}

QString PaymentFieldEditor::shownAsStored(const QString& folio) const
{
    return pf::shownFolio(pf::storedText(txtJUR->text(), pf::kJurWidth), folio);
}

void PaymentFieldEditor::folioDisplay(const char* handler)
{
    Guarded(objectName() + QLatin1Char('.') + QLatin1String(handler), [this] {
        if (folioTyped()) {
            FolioDisplayRule(*this);
            return;
        }
        // A folio the clerk has not typed is the stored one, which the box may
        // show only in part: it is shown as OK will store it, and no refusal
        // of an edit since undone stands.
        txtFOLIO_DISP->setText(shownAsStored(folioToStore()));
        clearFolioRefusal();
    });
}

void PaymentFieldEditor::folioEdited()
{
    // A refused folio's mark and message go as soon as its digits fit.
    if (!ui::isMarkedError(txtFOLIO_DISP))
        return;
    Guarded(objectName() + QStringLiteral(".txtFOLIO_DISP_Change"), [this] {
        if (FolioFitMessage(txtJUR->text(), vb::Trim(txtFOLIO_DISP->text())).isEmpty())
            clearFolioRefusal();
    });
}

void PaymentFieldEditor::clearFolioRefusal()
{
    if (!ui::isMarkedError(txtFOLIO_DISP))
        return;
    ui::markNormal(txtFOLIO_DISP);
    if (Text_Msg->text().startsWith(QStringLiteral("A Folio Number")))
        Text_Msg->clear();
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
    Cancel = true;
    Guarded(objectName() + QStringLiteral(".txtFOLIO_DISP_Validate"),
            [&] { Cancel = folioTyped() && !FolioFitRule(*this).isEmpty(); });
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
    bool stored = false;
    const bool ran = Guarded(objectName() + QStringLiteral(".Command_OK_Click"), [&] {
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
        stored = true;
    });
    if (!ran)
        DropPendingEdit(rs);
    if (stored)
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
