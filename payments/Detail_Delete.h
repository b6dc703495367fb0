#pragma once
// Shows the current payment of rsDetail read-only and deletes it on OK.
#include "payments/paymenteditor.h"

#include <QDialog>

class QLabel;

namespace zarv {

class Detail_Delete : public QDialog, public PaymentEditorControls {
    Q_OBJECT
public:
    explicit Detail_Delete(QWidget* parent = nullptr);

    // The screen deletes the current row of rsDetail: without one it cannot open.
    static bool canOpen();
    bool loaded() const { return loaded_; }

    QLabel* Picture1 = nullptr;

protected:
    void showEvent(QShowEvent* e) override;

private:
    void Form_Load();
    void Command_OK_Click();
    void Command_Cancel_Click();

    qint64 bookmark_ = 0;
    bool loaded_ = false;
};

} // namespace zarv
