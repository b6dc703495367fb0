#pragma once
// Removes the current row of rsVerify from VERIFY for good, after showing its
// fields read-only; only a folio added in this list (marked "A") goes. Any other
// row is refused, with the offer to mark it "D" instead: a row marked "D" on
// the list stays and is reported back as a removal. Afterwards the row that
// followed the deleted one is current, or the first row, or none. A delete the
// database refuses is reported and the row stays current.
#include "ui_Verify_Number_Delete.h"
#include "verification/screens/folioentry_widgets.h"

#include <QDialog>

namespace zarv {

// The controls are laid out in Verify_Number_Delete.ui.
class Verify_Number_Delete : public QDialog, public Ui_Verify_Number_Delete {
    Q_OBJECT
public:
    explicit Verify_Number_Delete(QWidget* parent = nullptr);

    void Command_Delete_Click();
    void Command_Cancel_Click();

protected:
    bool event(QEvent* e) override;

private:
    void Form_Load();
    // Deletes the current row and moves to its follower; false when the
    // database refused the delete (the user has been told).
    bool deleteCurrentRow();
};

} // namespace zarv
