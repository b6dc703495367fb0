#pragma once
// The last screen of a payment run: the payment total the cheque must match,
// where the data file is, where to e-mail it, and a copy of it to the folder
// that stands for diskette drive A: or B:.
#include "ui_ZARV_ReturnInstructions.h"

#include <QDialog>
#include <optional>

namespace zarv {

// The data file's path from the ZarvSystem row (Dir and File, one "/" between
// them); nullopt when there is no row.
std::optional<QString> ReturnFilePath();
// What the path labels show without a ZarvSystem row.
inline constexpr const char* kUnknownPath = "??? UNKNOWN ???";

// The sum of every group's TOT_PAY.
double PaymentTotal();

// The controls are laid out in ZARV_ReturnInstructions.ui.
class ZARV_ReturnInstructions : public QDialog, public Ui_ZARV_ReturnInstructions {
    Q_OBJECT
public:
    explicit ZARV_ReturnInstructions(QWidget* parent = nullptr);

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
