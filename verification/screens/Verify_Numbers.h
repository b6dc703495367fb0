#pragma once
// The verification list: every row of VERIFY in a read-only grid over the shared
// rsVerify. The user marks rows added, changed, deleted or unchanged, re-sorts
// the list in nine orders (the current row is found again), switches among four
// window sizes, exchanges the rows with Verify.csv, and closes the list so that
// the run writes the workbook anew, or ends the program without saving.
#include "services/foliorule.h"
#include "ui_Verify_Numbers.h"
#include "verification/verifylist.h"

#include <QDialog>
#include <array>
#include <memory>
#include <optional>

namespace zarv {

// The controls and menus are laid out in Verify_Numbers.ui.
class Verify_Numbers : public QDialog, public Ui_Verify_Numbers {
    Q_OBJECT
public:
    explicit Verify_Numbers(QWidget* parent = nullptr);
    ~Verify_Numbers() override;

    // The View menu's items and the sort options, in the order of verifylist::sortOrders();
    // the Window menu's items and the size options, in the order of verifylist::windowLayouts().
    std::array<QAction*, verifylist::kSortOrders> mnuSortBy{};
    std::array<QAction*, verifylist::kWindowLayouts> mnuWindowSize{};
    std::array<QRadioButton*, verifylist::kSortOrders> Option_Sort{};
    std::array<QRadioButton*, verifylist::kWindowLayouts> Option_Window{};

    // --- event handlers
    void Command_AddDetail_Click();
    void Command_ChangeDetail_Click();
    void Command_Inactivate_Click();
    void Command_Activate_Click();
    void Command_Search_Click();
    void Command_Close_Click();
    void mnuPermanentDelete_Click();
    void mnuACD_Added_Click();
    void mnuACD_Changed_Click();
    void mnuACD_Deleted_Click();
    void mnuACD_Blank_Click();
    void mnuCloseNOW_Click();
    // Escape: asks before closing the list, which ends the run.
    void Escape_Press();
    void Command_Export_Click();
    void Command_Exp_Help_Click();
    void Command_Imp_Help_Click();
    void Command_Import1_Click();
    void Command_Import2_Click();
    void TDBGrid_RowColChange();
    void TDBGrid_DblClick();
    // The nine sort orders in the View menu's order (Option_Sort_Mortgage_Click ...).
    void Option_Sort_Click(int order);
    // The four layouts (Option_1024x768LargeSizeFont_Click ... Option4_Click).
    void Option_Window_Click(int layout);

    // --- the busy state and the button rule
    void DisableControls(bool ClearMsg, bool SetHourglass);
    void EnableControls(bool ClearMsg, bool ResetPointer);

    // True while an export or import runs: nothing the user does is taken.
    bool exchangeRunning() const { return exchangeRunning_; }
    // The source text of rsVerify for the order chosen last ("" before any).
    const QString& sortSource() const { return strSortSQL; }
    // The saved fields of the row current when the last re-sort began.
    const verifylist::SavedRow& savedRow() const { return saved_; }

protected:
    bool event(QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    class ExchangeGuard;
    enum class Child { Add, Change, Search, PermanentDelete };

    void findOptions();
    void connectControls();
    void connectMenus();
    void bindGrid();
    void fitColumnToScreen();
    void Form_Load();
    void Form_Activate();

    void setStatus(const QString& code);
    // The folios of the list the tax office would leave out: how many, as the
    // list opens; the reasons of the current row, whenever it is one of them.
    void nameLeftOutRows();
    void nameCurrentRow();
    void runChild(Child which, bool parked);
    // "%1" in the texts stands for the full path of the file imported.
    void runImport(const QString& option, const QString& doneText, const QString& failedText);
    void showHelp(const QString& text, const QString& title);
    void applyRowButtons(const verifylist::RowButtons& rule);
    void blockUserActions(bool block);
    bool idle() const { return !exchangeRunning_; }

    // A new find, add, change or permanent-delete screen.
    std::unique_ptr<QDialog> childScreen(Child which);

    bool blnLoading = false;
    QString strSortSQL;
    int intSavedLeft = 0;           // twips; no 16-bit limit
    QString strStep;                // the export's step, for its error message
    verifylist::SavedRow saved_;
    // The workbook's code tables, as loaded (the list does not change them);
    // none when they could not be read.
    std::optional<foliorule::CodeTables> codeTables_;
    int gridWidthForName_ = 0;      // pixels
    bool busyState_ = false;        // between DisableControls and EnableControls
    bool exchangeRunning_ = false;
};

} // namespace zarv
