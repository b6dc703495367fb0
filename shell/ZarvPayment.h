#pragma once
// The start screen: the program's first and last window. The user chooses the
// kind of work (payment data file or mortgage number verification workbook) and
// the file; the run drivers behind OK and Verify take it from there. Closing it
// ends the program.
#include "platform/forms/filelists.h"
#include "ui_ZarvPayment.h"

#include <QMainWindow>
#include <functional>

namespace zarv {

// The controls (Command_OK, Text_Msg, Drive, Dir, File, ...) are laid out in
// ZarvPayment.ui and are members under their object names.
class ZarvPayment : public QMainWindow, public Ui_ZarvPayment {
    Q_OBJECT
public:
    using RunDriver = std::function<void(ZarvPayment&)>;

    // Needs the data environment: it restores the remembered choice at once.
    explicit ZarvPayment(QWidget* parent = nullptr);
    ~ZarvPayment() override;

    // The drivers behind OK and Verify. Without a driver its button stays disabled.
    void setPaymentRun(RunDriver driver);
    void setVerificationRun(RunDriver driver);

    // Opens a file given at start: a verification workbook (.xlsx) starts the
    // verification run on it, any other file the payment run, as if the clerk
    // had chosen it in the lists and pressed Verify or OK. A file the lists
    // cannot show leaves the screen to choose from, saying why.
    void openFile(const QString& filePath);

    // --- operations the run drivers use

    // Remembers the drive, folder and file now chosen in the single ZarvSystem
    // row (Year emptied). Throws db::DbError when the table refuses.
    void RememberChoice();
    // Warns when the file is read-only or its attributes cannot be read. True:
    // go on. The user's No (the default) gives false, and the screen stays to choose again.
    bool ReadOnlyTest(const QString& filePath);
    // Moves the screen off the left edge while a run's screen is up, and back.
    void Park();
    void Restore();
    // Unloads the start screen: the program ends.
    void Unload();
    // True in the payment-file mode, false in the workbook mode.
    bool zarvMode() const;

    // The screen's left edge when it is parked, in twips.
    static constexpr int kParkedLeft = -19999;

    // --- the run's form values
    QString m_FilePath;
    QString m_Year;
    QString m_BakPath;
    int m_PathLen = 0;
    int m_SavedLeft = 0;

    // --- event handlers
    void Option_ZARV_Click();
    void Option_VERIFY_Click();
    void Dir_Change();
    void Drive_Change();
    void Command_Browse_Click();
    void Command_OK_Click();
    void Command_VERIFY_OK_Click();
    void Command_Exit_Click();
    void mnuFileExit_Click();
    void mnuHelpAbout_Click();

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    void connectHandlers();
    void Form_Load();
    // Steps 3 and 4 of the load: drive, folder and file from ZarvSystem.
    void restoreChoice();
    // The lists at the home folder, where a run starts without a remembered place.
    void openHome();
    void paintMode(long bgr);
    void enableRunButtons();

    RunDriver paymentRun_;
    RunDriver verificationRun_;
    ui::DriveFolders driveFolders_;
};

} // namespace zarv
