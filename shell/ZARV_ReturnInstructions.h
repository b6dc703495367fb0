#pragma once
// The last screen of a payment run: the payment total the cheque must match,
// where the data file is, where to e-mail it, and a copy of it to the folder
// that stands for diskette drive A: or B:.
#include <QDialog>
#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace zarv {

// The data file's path from the ZarvSystem row (Dir and File, one "/" between
// them); nullopt when there is no row.
std::optional<QString> ReturnFilePath();
// What the path labels show without a ZarvSystem row.
inline constexpr const char* kUnknownPath = "??? UNKNOWN ???";

// The sum of every group's TOT_PAY.
double PaymentTotal();

class ZARV_ReturnInstructions : public QDialog {
    Q_OBJECT
public:
    explicit ZARV_ReturnInstructions(QWidget* parent = nullptr);

    QLabel* Label_Payment = nullptr;
    QLabel* Label_FileName = nullptr;
    QLabel* Label_FileName2 = nullptr;
    QLabel* Label_Email = nullptr;
    QPushButton* Command_DriveA = nullptr;
    QPushButton* Command_DriveB = nullptr;
    QPushButton* Command_Exit = nullptr;
    QLineEdit* Text_Msg = nullptr;

    void Command_DriveA_Click();
    void Command_DriveB_Click();
    void Command_Exit_Click();

    // The file a copy to drive A: (B:) writes: Zarvdata.csv in the drive's folder.
    static QString driveATarget();
    static QString driveBTarget();

private:
    struct Diskette;
    void Form_Load();
    void copyToDiskette(const Diskette& d);
    void enableButtons(bool on);
};

// True when path names the file target (same folder, name in any letter case).
bool sameDisketteFile(const QString& path, const QString& target);

} // namespace zarv
