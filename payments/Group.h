#pragma once
// The payment groups (agencies) of the loaded file with their totals and the
// grand total. Opens the payment list of the selected group (and recounts the
// group afterwards) and the agency screen. Shown modally by the payment run;
// the file is written back when it closes.
#include "ui_Group.h"

#include <QDialog>
#include <QString>
#include <optional>

namespace zarv {

// The controls are laid out in Group.ui.
class Group : public QDialog, public Ui_Group {
    Q_OBJECT
public:
    explicit Group(QWidget* parent = nullptr);

    // The sum of TOT_PAY over all groups, as Label_Total shows it.
    double TotalBulkPayment = 0;

    // How far the screen moves left while the payment list or the agency screen is up.
    static constexpr int kParkTwips = 20000;

    // The payment data file of the run, which the question on leaving names.
    void setDataFile(const QString& path) { dataFile_ = path; }
    // After the screen closed: the clerk chose to end the run without saving.
    bool leftWithoutSaving() const { return withoutSaving_; }

protected:
    void showEvent(QShowEvent* e) override;
    // The window's close (its close box, Alt+F4) ends the run: it asks first,
    // as Close and Escape do.
    void closeEvent(QCloseEvent* e) override;

private:
    void Form_Load();
    void Form_Activate();
    void Command_Details_Click();
    void Command_AgencyInformation_Click();
    void Command1_Click();
    // Escape: asks before closing the screen, which ends the run.
    void Escape_Press();
    // The one question of every way out of the run: true to save and end,
    // false to end without saving, nothing to go back to the groups (the default).
    std::optional<bool> askToLeave() const;
    // Asks, and closes the screen unless the clerk goes back.
    void leave();

    void showHistoricalYear();
    void showGrandTotal();
    void restrictToGroup(const QString& mortco);
    void recountGroup();
    void showGroupNumber();
    void park();
    void unpark();

    QString dataFile_;
    bool withoutSaving_ = false;
};

// The grand total as Label_Total shows it ("###,###,###,##0.00").
QString GrandTotalText(double total);

} // namespace zarv
