#pragma once
// Finds payments of the current group by up to five criteria in the read-only
// rsDetail2, and on Select moves the payment list (rsDetail) to the chosen one.
// Typed criteria match literally: no character of them acts as a wildcard or
// can break the filter.
#include <QDialog>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace zarv {

namespace ui {
class FieldRules;
class RecordsetGrid;
}

class Detail_Search : public QDialog {
    Q_OBJECT
public:
    explicit Detail_Search(QWidget* parent = nullptr);

    // The search covers the current group of rsGroup: without one it cannot open.
    static bool canOpen();
    bool loaded() const { return loaded_; }

    QLabel* Label1 = nullptr;
    QGroupBox* Frame1 = nullptr;
    QCheckBox* Check_CD = nullptr;
    QLineEdit* txtCD = nullptr;
    QCheckBox* Check_JUR = nullptr;
    QLineEdit* txtJUR = nullptr;
    QCheckBox* Check_FOLIO = nullptr;
    QLineEdit* txtFOLIO_DISP = nullptr;
    QCheckBox* Check_NUMBER = nullptr;
    QLineEdit* txtNUMBER = nullptr;
    QCheckBox* Check_NAME = nullptr;
    QLineEdit* txtNAME = nullptr;
    QPushButton* Command_Find = nullptr;
    QGroupBox* Frame2 = nullptr;
    ui::RecordsetGrid* TDBGrid = nullptr;
    QPushButton* Command_Select = nullptr;
    QPushButton* Command_Close = nullptr;
    QLineEdit* Text_Msg = nullptr;

    ui::FieldRules* rules = nullptr;

public slots:
    void done(int r) override;

private:
    void Form_Load();
    void Form_Unload();
    void Check_Click(QCheckBox* check, QLineEdit* box);
    void Command_Find_Click();
    void Command_Select_Click();
    void Command_Close_Click();

    // The first ticked criterion whose box is empty, with its message; false when none.
    bool emptyCriterion(QLineEdit*& box, QString& message) const;
    QString buildFilter(const QString& mortco);
    bool placePaymentList();

    QString mortco_;
    bool loaded_ = false;
    bool unloaded_ = false;
};

} // namespace zarv
