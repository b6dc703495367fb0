#pragma once
// The name, contact and address lines of the current group of rsGroup, edited
// in place; the edits are committed when the screen closes (OK or close box).
#include <QDialog>

#include <array>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace zarv {

namespace ui {
class FieldRules;
}

class Group_Agency : public QDialog {
    Q_OBJECT
public:
    explicit Group_Agency(QWidget* parent = nullptr);

    // The screen edits the current group row: without one it cannot open.
    static bool canOpen();

    QGroupBox* Frame1 = nullptr;    // "<Controls>"
    QGroupBox* Frame2 = nullptr;    // "<Name>"
    QGroupBox* Frame3 = nullptr;    // "<Contact Person/Phone Number>"
    QGroupBox* Frame4 = nullptr;    // "<Address>"
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;       // MORTCO
    QLabel* Label6 = nullptr;       // FOLIO_CNT
    QLabel* Label7 = nullptr;       // TOT_PAY
    QLabel* Label8 = nullptr;       // DUEDATE
    QLineEdit* Text1 = nullptr;     // NAME1 ... Text10: ADDR6
    QLineEdit* Text2 = nullptr;
    QLineEdit* Text3 = nullptr;
    QLineEdit* Text4 = nullptr;
    QLineEdit* Text5 = nullptr;
    QLineEdit* Text6 = nullptr;
    QLineEdit* Text7 = nullptr;
    QLineEdit* Text8 = nullptr;
    QLineEdit* Text9 = nullptr;
    QLineEdit* Text10 = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command_Cancel = nullptr;     // leaves without storing the edits
    QLineEdit* Text_Msg = nullptr;

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
