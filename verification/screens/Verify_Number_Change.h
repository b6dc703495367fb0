#pragma once
// Changes one folio of the verification list: above all its mortgage number
// (a changed number marks the row "C"), and for the company's own use its name,
// address lines and legal description. The key fields are shown read-only.
// Next and Previous Detail step over the rows marked for deletion; the row
// shown last stays current in rsVerify when the screen closes. Edits are stored
// when the row changes and when the screen closes, by its Close button, its
// window's close box or Esc alike, each after the same field checks. A row the
// tax office would leave out is named in the status line when it is shown.
#include "ui_Verify_Number_Change.h"
#include "verification/screens/folioentry_widgets.h"

#include <QDialog>
#include <array>
#include <memory>
#include <utility>

namespace zarv {

namespace db {
class Recordset;
}
namespace ui {
class FieldRules;
}

// The bookmark of the row on which the last Next Detail started.
inline qint64 SavedBookmark = 0;

// The controls are laid out in Verify_Number_Change.ui.
class Verify_Number_Change : public QDialog, public Ui_Verify_Number_Change {
    Q_OBJECT
public:
    explicit Verify_Number_Change(QWidget* parent = nullptr);
    ~Verify_Number_Change() override;

    ui::FieldRules* rules = nullptr;

    // The trimmed number as it stood when the number box last got the focus.
    const QString& oldNumber() const { return OldNumber; }

    // Refreshes every display from the current row of rsVerify.
    void ShowVerifyDetails();

    void Command_Next_Click();
    void Command_Previous_Click();
    void Command1_Click();
    void Command_Cancel_Click();
    // Whether a box holds something other than what was last shown or stored.
    bool edited() const;

protected:
    bool event(QEvent* e) override;
    // Cancel, Esc and the window's close box: leaves without storing, after
    // asking when a box was changed.
    void reject() override;
    void done(int r) override;

private:
    void styleControls();
    void connectControls();
    void Form_Load();
    void Form_Unload();

    void txtNUMBER_GotFocus();
    void txtNUMBER_Validate(bool& Cancel);
    void txtNUMBER_LostFocus();
    void txtNAME_Validate(bool& Cancel);
    void upperCaseValidate(QLineEdit* box);

    // Writes the edited boxes into the current row (the fields that differ);
    // the next move stores them.
    void writeEdits();
    void markStored();
    std::array<std::pair<QLineEdit*, QString>, 8> editableBoxes() const;
    // Writes the edits and stores the row where it stands; a changed mortgage
    // number marks the row "C".
    void storeEdits();
    // Next and Previous: clears the status line and stores the edits; false
    // when the list has no row to move to.
    bool beforeMove();
    void afterMove();
    // Adds to the status line why the tax office would leave the row shown out, if it would.
    void nameLeftOut();

    std::unique_ptr<db::Recordset> rsVerifyClone;
    QString OldNumber;
    std::array<QString, 8> shown_;      // the editable boxes' texts as last shown or stored
    bool unloaded_ = false;
};

} // namespace zarv
