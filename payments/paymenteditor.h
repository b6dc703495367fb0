#pragma once
// What the three payment editors share (Detail_Change, Detail_Add,
// Detail_Delete): the layout (the title, the boxes of one payment with their
// labels, the grant options with their amounts, OK, Cancel and the status
// line), the stored payment the change and delete screens show, and the field
// rules and OK of the change and add screens.
#include "payments/paymentrules.h"
#include "ui_PaymentEditor.h"

#include <QDialog>
#include <QString>

#include <array>
#include <vector>

namespace zarv {

namespace db {
class Recordset;
}
namespace ui {
class FieldRules;
}

// The controls, laid out in PaymentEditor.ui under their object names; the
// eight field labels are lblFieldLabel_0 to _7, also reachable by index.
struct PaymentEditorControls : Ui_PaymentEditor {
    // "Mortgage Number:", "Name:", "Collection District:", "Jurisdiction:",
    // "Folio Number:", "Delinquent / Credit:", "Legal Description:", "Payment Amount:"
    std::array<QLabel*, 8> lblFieldLabel{};
};

struct PaymentEditorTexts {
    QString title;          // Label1
    QString message;        // the status line when the screen opens
    QString okToolTip;
    QString cancelToolTip;
};

// Indexes into lblFieldLabel.
enum PaymentFieldLabel : int {
    lblMortgageNumber = 0,
    lblName = 1,
    lblCollectionDistrict = 2,
    lblJurisdiction = 3,
    lblFolioNumber = 4,
    lblDelinquent = 5,
    lblLegal = 6,
    lblPayment = 7,
};

// Builds the controls on the screen. picture, when given, goes beside the title.
// Editable boxes are in the tab order txtCD, txtJUR, txtFOLIO_DISP, txtNUMBER,
// txtNAME, txtLEGAL, the options, txtPAYMENT, OK, Cancel; the amount boxes of
// the options and txtDELQ are locked.
void BuildPaymentEditor(QDialog& screen, PaymentEditorControls& c, const PaymentEditorTexts& texts,
                        QWidget* picture = nullptr);

// Locks every box and disables the options (the delete screen).
void MakePaymentEditorReadOnly(PaymentEditorControls& c);

// ---------------------------------------------------------------- the stored payment of the change and delete screens

// An amount as the amount boxes show it, and a payment as the payment box shows
// a stored one.
QString AmountBoxText(double amount);
QString PaymentBoxText(double payment);
// Fills the six text boxes and the four amount boxes from the current row of
// rs and returns the stored amounts; the options and the payment box are left
// to the screen.
StoredAmounts ShowStoredPayment(const db::Recordset& rs, PaymentEditorControls& c);
// Makes the row the screen opened on current again when it is not.
void ReturnToPayment(db::Recordset& rs, qint64 bookmark);

// ---------------------------------------------------------------- the field rules of the change and add screens

// Each check returns "" when the box passes, else the message it wrote to
// Text_Msg (the box then has the error colour).
// Leaving txtCD or txtJUR: trimmed, normal colour, then the code check (what:
// "Collection District" or "Jurisdiction") marks the box and writes Text_Msg.
QString CodeCheckRule(QLineEdit* box, QLineEdit* status, const QString& what);
// Entering and leaving the folio box: the trimmed text in its jurisdiction's
// mask, when its digits fit the mask (a text that does not fit stays as typed).
void FolioDisplayRule(PaymentEditorControls& c);
// The Validate rule of the folio box: its digits must fit the jurisdiction's
// mask exactly, so that no digit is dropped or added.
QString FolioFitRule(PaymentEditorControls& c);
void TrimRule(QLineEdit* box);
// A text box of the payment file: every character one the file can hold.
QString CharacterCheckRule(QLineEdit* box, QLineEdit* status, const QString& what);
// The Validate rules of the name and payment boxes.
QString NameCheckRule(PaymentEditorControls& c);
QString AmountCheckRule(PaymentEditorControls& c);

// ---------------------------------------------------------------- OK of the change and add screens

// The 18-digit folio of the folio box; "" for an empty box.
QString FolioOfBox(const PaymentEditorControls& c);
// The payment box as stored: its number with two decimals.
double PaymentToStore(const PaymentEditorControls& c);
// The duplicate error: status text, beep, error colour and the focus on box.
void ShowDuplicateFolioError(PaymentEditorControls& c, QLineEdit* box);
// The notice of the other payments of the folio, in the message dialog.
void ShowFolioNotice(const PaymentEditorControls& c, const std::vector<FolioPayment>& listed, bool changed,
                     const QString& folio);
// Writes CD, JUR, FOLIO, FOLIO_DISP, NUMBER, NAME and LEGAL from the boxes.
void WritePaymentBoxes(db::Recordset& rs, const PaymentEditorControls& c, const QString& folio);

void SelectGrantOption(PaymentEditorControls& c, Grant g);
Grant SelectedGrant(const PaymentEditorControls& c);

// ---------------------------------------------------------------- the change and add screens

// The boxes of one payment under the field rules above. OK checks the amount
// again and the folio's other payments in the group, then the screen stores
// the payment its own way.
class PaymentFieldEditor : public QDialog, public PaymentEditorControls {
    Q_OBJECT
public:
    ui::FieldRules* rules = nullptr;

protected:
    // name: the screen's object name, which its error messages give as well.
    // changing: OK changes a stored payment (the notice says so) rather than
    // adding one.
    PaymentFieldEditor(QWidget* parent, const QString& name, const PaymentEditorTexts& texts, bool changing);

    void txtCD_LostFocus();
    void txtJUR_LostFocus();
    void txtFOLIO_DISP_GotFocus();
    void txtFOLIO_DISP_LostFocus();
    void txtNUMBER_LostFocus();
    void txtLEGAL_LostFocus();
    void txtNUMBER_Validate(bool& Cancel);
    void txtNAME_Validate(bool& Cancel);
    void txtLEGAL_Validate(bool& Cancel);
    void txtPAYMENT_Validate(bool& Cancel);
    void txtFOLIO_DISP_Validate(bool& Cancel);
    void Command_OK_Click();
    void Command_Cancel_Click();
    // Cancel, Escape and the close box: with typed changes, only after the
    // clerk agrees to leave them unstored.
    void reject() override;

    // False when there is no payment to store (OK does nothing).
    virtual bool canSave() const = 0;
    // The screen's rule over the stored payments of the folio.
    virtual FolioCheck checkFolio(const std::vector<FolioPayment>& sameFolio) const = 0;
    // Stores the boxes as the payment of the group (mortco) and folio.
    virtual void save(const QString& mortco, const QString& folio) = 0;
    // The 18-digit folio OK stores: the folio box's.
    virtual QString folioToStore() const;
    // Whether OK takes the folio from the box (and so checks it).
    virtual bool folioTyped() const { return true; }
    // An 18-digit folio as OK stores it for display, under the jurisdiction in its box.
    QString shownAsStored(const QString& folio) const;

private:
    void folioDisplay(const char* handler);
    void folioEdited();
    void clearFolioRefusal();
    // Runs the check of every box in tab order; false (the focus on the first
    // box refused, its message shown) when any refuses.
    bool checkEveryBox();

    bool changing_;
    bool edited_ = false;       // the clerk typed in a box or chose an option
};

} // namespace zarv
