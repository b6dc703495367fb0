#pragma once
// Finds one folio of the verification list and makes it the list's current
// row. The screen filters its own recordset rsVerify2 by a status choice and up
// to thirteen substring criteria, shows the matches in mortgage-number order,
// and on Select sets rsVerify's bookmark to the first row of the list (in the
// list's order) that equals the chosen one in MORTCO, NUMBER, CD, JUR, FOLIO and
// PID. Close leaves rsVerify where it was; nothing is written.
#include "ui_Verify_Numbers_Search.h"
#include "verification/screens/folioentry_widgets.h"

#include <QDialog>
#include <QString>
#include <array>
#include <memory>
#include <vector>

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

// The controls are laid out in Verify_Numbers_Search.ui.
class Verify_Numbers_Search : public QDialog, public Ui_Verify_Numbers_Search {
    Q_OBJECT
public:
    explicit Verify_Numbers_Search(QWidget* parent = nullptr);
    ~Verify_Numbers_Search() override;

    // The thirteen criteria in the fixed order of the filter.
    enum Field { MORTCO, NUMBER, CD, JUR, FOLIO, PID, NAME, ADDR1, ADDR2, ADDR3, ADDR4, ADDR5, LEGAL, kFields };
    static const char* fieldName(int field);

    // Per criterion, in the order of Field: its check box, its label and its
    // entry control (a text box, or a combo box for CD and JUR).
    std::array<QCheckBox*, kFields> Check{};
    std::array<QLabel*, kFields> Label{};
    std::array<QWidget*, kFields> Entry{};

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
    void findCriteria();
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
