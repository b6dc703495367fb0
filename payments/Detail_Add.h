#pragma once
// Enters a new payment for the current group: empty boxes, the same field rules
// as the change screen, and on OK a new row of rsDetail unless the folio holds a
// payment of the same owner already.
#include "payments/paymenteditor.h"

#include <QDialog>

namespace zarv {

namespace ui {
class FieldRules;
}

class Detail_Add : public QDialog, public PaymentEditorControls {
    Q_OBJECT
public:
    explicit Detail_Add(QWidget* parent = nullptr);

    // A new payment belongs to the current group of rsGroup: without one the
    // screen cannot open.
    static bool canOpen();

    ui::FieldRules* rules = nullptr;

private:
    void Form_Load();
    void txtCD_LostFocus();
    void txtJUR_LostFocus();
    void txtFOLIO_DISP_GotFocus();
    void txtFOLIO_DISP_LostFocus();
    void txtNUMBER_LostFocus();
    void txtLEGAL_LostFocus();
    void txtNAME_Validate(bool& Cancel);
    void txtPAYMENT_Validate(bool& Cancel);
    void Command_OK_Click();
    void Command_Cancel_Click();

    void save(const QString& mortco, const QString& folio);
};

} // namespace zarv
