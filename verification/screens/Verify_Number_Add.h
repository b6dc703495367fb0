#pragma once
// Adds one folio to the verification list: plain entry boxes checked as the
// focus leaves them, district and jurisdiction lists that follow each other,
// and on Save the whole-form check, then one new row of rsVerify with ACD "A",
// stored in a transaction; the new row is current when the screen closes.
#include "ui_Verify_Number_Add.h"
#include "verification/screens/folioentry_widgets.h"
#include "verification/folioentry.h"

#include <QDialog>
#include <array>
#include <memory>

namespace zarv {

namespace db {
class Recordset;
}
namespace ui {
class FieldRules;
}

// The controls are laid out in Verify_Number_Add.ui.
class Verify_Number_Add : public QDialog, public Ui_Verify_Number_Add {
    Q_OBJECT
public:
    explicit Verify_Number_Add(QWidget* parent = nullptr);
    ~Verify_Number_Add() override;

    // txtADDR1 ... txtADDR5
    std::array<QLineEdit*, 5> txtADDR{};

    ui::FieldRules* rules = nullptr;

    // The whole-form check: with bSetSaveButton, Save is switched off first and
    // on again only when every check passes. The first failing check's message
    // goes to Text_Msg.
    bool ValidateAllFields(bool bSetSaveButton);
    // Refills the jurisdiction list for the district in ComboCD.
    void LoadJurisdictionCombo();
    // The boxes as the whole-form check and Save read them.
    folioentry::NewFolio enteredFolio() const;

protected:
    bool event(QEvent* e) override;
    void done(int r) override;
    // Cancel, Esc and the window's close box: after asking when something was typed.
    void reject() override;

private:
    void styleControls();
    void connectControls();
    void Form_Load();
    void Form_Unload();

    void Command_OK_Click();
    void Command_Cancel_Click();
    bool typed_ = false;        // the clerk typed in a box or picked from a list

    void ComboCD_Change();
    void ComboCD_Validate(bool& Cancel);
    void ComboJUR_Validate(bool& Cancel);
    void codeValidate(QComboBox* combo, int width, int low, int high, const QString& message, bool& Cancel);

    void txtMORTCO_Validate(bool& Cancel);
    void txtMORTCO_LostFocus();
    void txtNAME_Validate(bool& Cancel);
    void txtADDR_Validate(int index);
    void txtLEGAL_Validate();

    void txtNUMBER_Validate(bool& Cancel);
    void txtNUMBER_LostFocus();
    void txtFOLIO_GotFocus();
    void txtFOLIO_Validate(bool& Cancel);
    void txtFOLIO_LostFocus();
    void txtPID_Validate(bool& Cancel);
    void txtPID_LostFocus();

    QString jurisdictionCode() const;
    QString displayedFolio(const QString& padded) const;
    // "" when the digits of a typed folio fit the jurisdiction's mask exactly.
    QString fitMessage(const QString& folio) const;
    void refuse(const QString& message, bool& Cancel);
    void save(const folioentry::NewFolio& f);

    std::unique_ptr<db::Recordset> rsVerifyClone;
    bool loading_ = false;
};

} // namespace zarv
