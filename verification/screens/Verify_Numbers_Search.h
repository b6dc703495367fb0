#pragma once
// Finds one folio of the verification list and makes it the list's current
// row. The screen filters its own recordset rsVerify2 by a status choice and up
// to thirteen substring criteria, shows the matches in mortgage-number order,
// and on Select sets rsVerify's bookmark to the first row of the list (in the
// list's order) that equals the chosen one in MORTCO, NUMBER, CD, JUR, FOLIO and
// PID. Close leaves rsVerify where it was; nothing is written.
#include "verification/screens/folioentry_widgets.h"

#include <QDialog>
#include <QString>
#include <array>
#include <memory>
#include <vector>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace zarv {

namespace db {
class Recordset;
}
namespace ui {
class FieldRules;
class RecordsetGrid;
}

namespace verifysearch {

enum class Status { All, Added, Changed, NotChanged, Deleted };

// One criterion that takes part in a search: its field and the value looked for.
struct Criterion {
    QString field;
    QString value;
};

// The filter of a search: the status condition ("ACD <> 'D' ", or "ACD <> '~' "
// under All with the deleted rows included, "ACD = 'A' " ...), then for each
// criterion "AND FIELD LIKE '%value%' " with the value matched literally.
QString StatusFilter(Status status, bool includeDeleted);
QString SearchFilter(Status status, bool includeDeleted, const std::vector<Criterion>& criteria);

// The folio box's text as the search takes it: the digits, without leading zeros.
QString FolioCriterion(const QString& text);

} // namespace verifysearch

class Verify_Numbers_Search : public QDialog, public folioentry::OwnerBoxes {
    Q_OBJECT
public:
    explicit Verify_Numbers_Search(QWidget* parent = nullptr);
    ~Verify_Numbers_Search() override;

    // The thirteen criteria in the fixed order of the filter.
    enum Field { MORTCO, NUMBER, CD, JUR, FOLIO, PID, NAME, ADDR1, ADDR2, ADDR3, ADDR4, ADDR5, LEGAL, kFields };
    static const char* fieldName(int field);

    // --- status frame
    QGroupBox* Frame_ACD = nullptr;
    QRadioButton* Option_ACD_ALL = nullptr;
    QRadioButton* Option_ACD_A = nullptr;
    QRadioButton* Option_ACD_C = nullptr;
    QRadioButton* Option_ACD_No_Change = nullptr;
    QRadioButton* Option_ACD_D = nullptr;
    QCheckBox* Check_ACD_Deleted = nullptr;

    // --- criteria frame: per field a check box, a label and an entry control
    QGroupBox* Frame1 = nullptr;
    std::array<QCheckBox*, kFields> Check{};
    std::array<QLabel*, kFields> Label{};
    std::array<QWidget*, kFields> Entry{};
    QLineEdit* txtMORTCO = nullptr;
    QLineEdit* txtNUMBER = nullptr;
    QComboBox* ComboCD = nullptr;
    QComboBox* ComboJUR = nullptr;
    QLineEdit* txtFOLIO = nullptr;
    QLineEdit* txtPID = nullptr;
    // txtNAME, txtADDR1-5, txtLEGAL: OwnerBoxes

    // --- result frame and buttons
    QGroupBox* Frame2 = nullptr;
    ui::RecordsetGrid* TDBGrid = nullptr;
    QPushButton* Command_Find = nullptr;
    QPushButton* Command_Select = nullptr;
    QPushButton* Command_Close = nullptr;
    QLineEdit* Text_Msg = nullptr;

    ui::FieldRules* rules = nullptr;

    // --- handlers a clerk's clicks reach
    void Command_Find_Click();
    void Command_Select_Click();
    void Command_Close_Click();
    // Unticks every criterion whose entry is empty (PID aside).
    void ClearEmptyCriteria();

    verifysearch::Status chosenStatus() const;

protected:
    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void done(int r) override;

private:
    void buildControls();
    void buildStatusFrame();
    void buildCriteriaFrame();
    void buildResultFrame();
    void connectControls();
    void Form_Load();
    void Form_Unload();
    void resetCriterion(int field);
    void fillCombo(QComboBox* combo, db::Recordset& table, const QString& codeField, const QString& nameField);

    void Option_ACD_Click();
    void Check_ACD_Deleted_Click();
    void Check_Click(int field);
    void Entry_LostFocus(int field);
    void Combo_Validate(QComboBox* combo, int width, int low, int high, const QString& message, bool& Cancel);
    QString entryText(int field) const;
    std::vector<verifysearch::Criterion> criteria() const;
    QString folioText(const QVariant& value, qint64 bookmark) const;
    bool selectMatchingRow();

    std::unique_ptr<db::Recordset> rsVerifyClone;
    bool unloaded_ = false;
};

} // namespace zarv
