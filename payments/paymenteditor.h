#pragma once
// The layout the three payment editors share (Detail_Change, Detail_Add,
// Detail_Delete): the title, the boxes of one payment with their labels, the
// grant options with their amounts, OK, Cancel and the status line.
#include "payments/paymentrules.h"

#include <QString>

#include <array>
#include <vector>

class QDialog;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QWidget;

namespace zarv {

namespace db {
class Recordset;
}

struct PaymentEditorControls {
    QLabel* Label1 = nullptr;
    QGroupBox* Frame1 = nullptr;
    // "Mortgage Number:", "Name:", "Collection District:", "Jurisdiction:",
    // "Folio Number:", "Delinquent / Credit:", "Legal Description:", "Payment Amount:"
    std::array<QLabel*, 8> lblFieldLabel{};
    QLineEdit* txtCD = nullptr;
    QLineEdit* txtJUR = nullptr;
    QLineEdit* txtFOLIO_DISP = nullptr;
    QLineEdit* txtNUMBER = nullptr;
    QLineEdit* txtNAME = nullptr;
    QLineEdit* txtLEGAL = nullptr;
    QRadioButton* OptionA = nullptr;
    QRadioButton* OptionB = nullptr;
    QRadioButton* OptionC = nullptr;
    QLineEdit* txtGROSS_TAX = nullptr;
    QLineEdit* txtREG_GRANT = nullptr;
    QLineEdit* txtADD_GRANT = nullptr;
    QLineEdit* txtDELQ = nullptr;
    QLineEdit* txtPAYMENT = nullptr;
    QPushButton* Command_OK = nullptr;
    QPushButton* Command_Cancel = nullptr;
    QLineEdit* Text_Msg = nullptr;
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

// ---------------------------------------------------------------- the field rules of the change and add screens

// Leaving txtCD or txtJUR: trimmed, normal colour, then the code check (what:
// "Collection District" or "Jurisdiction") marks the box and writes Text_Msg.
void CodeCheckRule(QLineEdit* box, QLineEdit* status, const QString& what);
// Entering and leaving the folio box: the trimmed text in its jurisdiction's mask.
void FolioDisplayRule(PaymentEditorControls& c);
void TrimRule(QLineEdit* box);
// The Validate rules of the name and payment boxes.
void NameCheckRule(PaymentEditorControls& c, bool& cancel);
void AmountCheckRule(PaymentEditorControls& c, bool& cancel);

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

} // namespace zarv
