#pragma once
// Changes the current payment of rsDetail: the boxes are filled from the row,
// checked as the focus moves, and written back on OK unless the folio holds a
// payment of the same owner already.
#include "payments/paymenteditor.h"
#include "payments/paymentrules.h"

#include <QDialog>

namespace zarv {

namespace ui {
class FieldRules;
}

class Detail_Change : public QDialog, public PaymentEditorControls {
    Q_OBJECT
public:
    explicit Detail_Change(QWidget* parent = nullptr);

    // The screen changes the current row of rsDetail: without one it cannot open.
    static bool canOpen();
    // False when there was no payment to load (or loading it failed): OK stays disabled.
    bool loaded() const { return loaded_; }

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
    void OptionA_Click();
    void OptionB_Click();
    void OptionC_Click();
    void Command_OK_Click();
    void Command_Cancel_Click();

    void optionClick(Grant g);
    void save(const QString& folio);

    StoredAmounts stored_;
    qint64 bookmark_ = 0;
    bool loaded_ = false;
};

} // namespace zarv
