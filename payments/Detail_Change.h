#pragma once
// Changes the current payment of rsDetail: the boxes are filled from the row,
// checked as the focus moves, and written back on OK unless the folio holds a
// payment of the same owner already.
#include "payments/paymenteditor.h"
#include "payments/paymentrules.h"

namespace zarv {

class Detail_Change : public PaymentFieldEditor {
    Q_OBJECT
public:
    explicit Detail_Change(QWidget* parent = nullptr);

    // The screen changes the current row of rsDetail: without one it cannot open.
    static bool canOpen();
    // False when there was no payment to load (or loading it failed): OK stays disabled.
    bool loaded() const { return loaded_; }

private:
    void Form_Load();
    void OptionA_Click();
    void OptionB_Click();
    void OptionC_Click();

    void optionClick(Grant g);
    bool canSave() const override { return loaded_; }
    FolioCheck checkFolio(const std::vector<FolioPayment>& sameFolio) const override;
    void save(const QString& mortco, const QString& folio) override;
    QString folioToStore() const override;
    bool folioTyped() const override;

    StoredAmounts stored_;
    // The box shows the folio through its jurisdiction's mask, which may not
    // show every digit: the stored folio stays unless the clerk edits the box.
    QString storedFolio_;
    QString loadedFolioText_;
    bool folioEdited_ = false;
    qint64 bookmark_ = 0;
    bool loaded_ = false;
};

} // namespace zarv
