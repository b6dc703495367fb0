#pragma once
// Removes the current row of rsVerify from VERIFY for good, after showing its
// fields read-only; only a folio added in this list (marked "A") goes. Any other
// row is refused, with the offer to mark it "D" instead: a row marked "D" on
// the list stays and is reported back as a removal. Afterwards the row that
// followed the deleted one is current, or the first row, or none. A delete the
// database refuses is reported and the row stays current.
#include "verification/screens/folioentry_widgets.h"

#include <QDialog>

class QLabel;
class QPushButton;

namespace zarv {

class Verify_Number_Delete : public QDialog, public folioentry::VerifyDetailControls {
    Q_OBJECT
public:
    explicit Verify_Number_Delete(QWidget* parent = nullptr);

    QLabel* Label1 = nullptr;           // "Permanently Delete Folio Record"
    QLabel* Label2 = nullptr;           // what the screen is for
    QPushButton* Command_Cancel = nullptr;
    QPushButton* Command_Delete = nullptr;

    void Command_Delete_Click();
    void Command_Cancel_Click();

protected:
    bool event(QEvent* e) override;

private:
    void buildControls();
    void Form_Load();
    // Deletes the current row and moves to its follower; false when the
    // database refused the delete (the user has been told).
    bool deleteCurrentRow();
};

} // namespace zarv
