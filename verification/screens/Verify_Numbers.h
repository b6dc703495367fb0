#pragma once
// The verification list: every row of VERIFY in a read-only grid over the shared
// rsVerify. The user marks rows added, changed, deleted or unchanged, re-sorts
// the list in nine orders (the current row is found again), switches among four
// window sizes, exchanges the rows with Verify.csv, and closes the list so that
// the run writes the workbook anew, or ends the program without saving.
#include "services/foliorule.h"
#include "verification/verifylist.h"

#include <QDialog>
#include <array>
#include <memory>
#include <optional>

class QAction;
class QGroupBox;
class QLineEdit;
class QMenu;
class QMenuBar;
class QPushButton;
class QRadioButton;

namespace zarv {

namespace ui {
class RecordsetGrid;
}

class Verify_Numbers : public QDialog {
    Q_OBJECT
public:
    explicit Verify_Numbers(QWidget* parent = nullptr);
    ~Verify_Numbers() override;

    // --- menus
    QMenuBar* menuBar = nullptr;
    QMenu* mnuFile = nullptr;
    QAction* mnuClose = nullptr;
    QAction* mnuCloseNOW = nullptr;
    QMenu* mnuEdit = nullptr;
    QAction* mnuAdd = nullptr;
    QAction* mnuChange = nullptr;
    QAction* mnuDelete = nullptr;
    QAction* mnuPermanentDelete = nullptr;
    QAction* mnuUndelete = nullptr;
    QAction* mnuFind = nullptr;
    QMenu* mnuACD = nullptr;
    QAction* mnuACD_Added = nullptr;
    QAction* mnuACD_Changed = nullptr;
    QAction* mnuACD_Deleted = nullptr;
    QAction* mnuACD_Blank = nullptr;
    QMenu* mnuDataExchange = nullptr;
    QAction* mnuExportHelp = nullptr;
    QAction* mnuExport = nullptr;
    QAction* mnuImportHelp = nullptr;
    QAction* mnuImportAppend = nullptr;
    QAction* mnuImportReplace = nullptr;
    QMenu* mnuView = nullptr;
    std::array<QAction*, verifylist::kSortOrders> mnuSortBy{};       // mnuSortByMortgageNumber ... mnuSortByLegal
    QMenu* mnuWindow = nullptr;
    std::array<QAction*, verifylist::kWindowLayouts> mnuWindowSize{}; // mnuWindowSize1 ... mnuWindowSize4

    // --- controls
    QGroupBox* Frame1 = nullptr;
    QPushButton* Command_AddDetail = nullptr;
    QPushButton* Command_ChangeDetail = nullptr;
    QPushButton* Command_Inactivate = nullptr;
    QPushButton* Command_Activate = nullptr;
    QPushButton* Command_Search = nullptr;
    QPushButton* Command_Close = nullptr;
    QGroupBox* Frame_Sort = nullptr;
    std::array<QRadioButton*, verifylist::kSortOrders> Option_Sort{};  // Option_Sort_Mortgage ... Option_Sort_Legal
    QRadioButton*& Option_Sort_Mortgage = Option_Sort[0];
    QGroupBox* Frame4 = nullptr;
    std::array<QRadioButton*, verifylist::kWindowLayouts> Option_Window{};
    QRadioButton*& Option_1024x768LargeSizeFont = Option_Window[0];
    QRadioButton*& Option_1024x768NormalSizeFont = Option_Window[1];
    QRadioButton*& Option3 = Option_Window[2];
    QRadioButton*& Option4 = Option_Window[3];
    QGroupBox* FrameExpImp = nullptr;
    QPushButton* Command_Export = nullptr;
    QPushButton* Command_Import1 = nullptr;
    QPushButton* Command_Import2 = nullptr;
    QPushButton* Command_Exp_Help = nullptr;
    QPushButton* Command_Imp_Help = nullptr;
    QLineEdit* Text_Msg = nullptr;
    ui::RecordsetGrid* TDBGrid = nullptr;

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

    void buildControls();
    void buildMenus();
    void connectControls();
    void bindGrid();
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

    QWidget* client_ = nullptr;     // the area under the menu bar
    QWidget* column_ = nullptr;     // the frames and buttons left of the grid

    bool blnLoading = false;
    QString strSortSQL;
    int intSavedLeft = 0;           // twips; no 16-bit limit
    QString strStep;                // the export's step, for its error message
    verifylist::SavedRow saved_;
    // The workbook's code tables, as loaded (the list does not change them);
    // none when they could not be read.
    std::optional<foliorule::CodeTables> codeTables_;
    bool busyState_ = false;        // between DisableControls and EnableControls
    bool exchangeRunning_ = false;
};

} // namespace zarv
