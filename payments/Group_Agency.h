#pragma once
// The name, contact and address lines of the current group of rsGroup, edited
// in place; the edits are committed when the screen closes (OK or close box).
#include "ui_Group_Agency.h"

#include <QDialog>

#include <array>

namespace zarv {

namespace ui {
class FieldRules;
}

// The controls are laid out in Group_Agency.ui: Label5 to Label8 show MORTCO,
// FOLIO_CNT, TOT_PAY and DUEDATE; Text1 to Text10 edit NAME1 to ADDR6.
class Group_Agency : public QDialog, public Ui_Group_Agency {
    Q_OBJECT
public:
    explicit Group_Agency(QWidget* parent = nullptr);

    // The screen edits the current group row: without one it cannot open.
    static bool canOpen();

public slots:
    void done(int r) override;

protected:
    void showEvent(QShowEvent* e) override;

private:
    void Form_Load();
    void Form_Activate();
    bool Form_Unload();
    void Command1_Click();
    void Command_Cancel_Click();
    // Whether a box holds something other than what the row held.
    bool edited() const;
    // The message refusing a character the payment file cannot hold ("" when
    // the box passes); a refused box is marked.
    static QString characterCheck(QLineEdit* box, const char* what);
    // Runs every box's check before anything is stored: false when one refuses.
    bool checkEveryBox();

    // Box, field and what the box is called in a message, in tab order.
    struct Binding {
        QLineEdit* box;
        const char* field;
        const char* what;
        QString loaded;
    };
    std::array<Binding, 10> bindings_{};
    ui::FieldRules* rules_ = nullptr;
    bool unloaded_ = false;
};

} // namespace zarv
