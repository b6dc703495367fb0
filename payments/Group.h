#pragma once
// The payment groups (agencies) of the loaded file with their totals and the
// grand total. Opens the payment list of the selected group (and recounts the
// group afterwards) and the agency screen. Shown modally by the payment run;
// the file is written back when it closes.
#include <QDialog>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace zarv {

namespace ui {
class RecordsetGrid;
}

class Group : public QDialog {
    Q_OBJECT
public:
    explicit Group(QWidget* parent = nullptr);

    QGroupBox* Frame4 = nullptr;
    QLabel* Label_Group = nullptr;
    QGroupBox* Frame_Historical = nullptr;
    QLabel* Label_Historical_Year = nullptr;
    QGroupBox* Frame2 = nullptr;
    QPushButton* Command_Details = nullptr;
    QGroupBox* Frame1 = nullptr;
    QPushButton* Command_AgencyInformation = nullptr;
    QPushButton* Command1 = nullptr;
    QLineEdit* Text_Msg = nullptr;
    ui::RecordsetGrid* TDBGrid = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label_Total = nullptr;

    // The sum of TOT_PAY over all groups, as Label_Total shows it.
    double TotalBulkPayment = 0;

    // How far the screen moves left while the payment list or the agency screen is up.
    static constexpr int kParkTwips = 20000;

protected:
    void showEvent(QShowEvent* e) override;
    // The window manager's close (its close box, Alt+F4) ends the run: it asks first.
    void closeEvent(QCloseEvent* e) override;

private:
    void Form_Load();
    void Form_Activate();
    void Command_Details_Click();
    void Command_AgencyInformation_Click();
    void Command1_Click();
    // Escape: asks before closing the screen, which ends the run.
    void Escape_Press();

    void showHistoricalYear();
    void showGrandTotal();
    void restrictToGroup(const QString& mortco);
    void recountGroup();
    void showGroupNumber();
    void park();
    void unpark();
};

// The grand total as Label_Total shows it ("###,###,###,##0.00").
QString GrandTotalText(double total);

} // namespace zarv
