#pragma once
// Enters a new payment for the current group: empty boxes, the same field rules
// as the change screen, and on OK a new row of rsDetail unless the folio holds a
// payment of the same owner already.
#include "payments/paymenteditor.h"

namespace zarv {

class Detail_Add : public PaymentFieldEditor {
    Q_OBJECT
public:
    explicit Detail_Add(QWidget* parent = nullptr);

    // A new payment belongs to the current group of rsGroup: without one the
    // screen cannot open.
    static bool canOpen();

private:
    void Form_Load();

    bool canSave() const override { return canOpen(); }
    FolioCheck checkFolio(const std::vector<FolioPayment>& sameFolio) const override;
    void save(const QString& mortco, const QString& folio) override;
};

} // namespace zarv
