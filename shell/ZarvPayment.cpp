#include "shell/ZarvPayment.h"

#include "platform/data/recordset.h"
#include "platform/files/settings.h"
#include "platform/forms/formcolours.h"
#include "platform/ui/screens/parking.h"
#include "platform/ui/uiservices.h"
#include "shell/About.h"
#include "services/dataenvironment.h"
#include "services/system.h"
#include "shell/formparts.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QPushButton>
#include <QRadioButton>

namespace zarv {

namespace {

constexpr long kZarvModeColor = 0xFFFFC0;     // &HFFFFC0
constexpr long kVerifyModeColor = 0xFFC0C0;   // &HFFC0C0

} // namespace

ZarvPayment::ZarvPayment(QWidget* parent) : QMainWindow(parent)
{
    setupUi(this);
    setWindowIcon(zarvIcon());
    // Sizes relative to the desktop's font, which a .ui file cannot state.
    ui::scaleFont(Label_SelectTheZarvFileLocation, 1.15);
    ui::scaleFont(Label_PleaseWait, 1.6);
    ui::makeStatusBox(Text_Msg);
    File->setPattern(QStringLiteral("*.csv"));
    connectHandlers();
    Form_Load();
}

ZarvPayment::~ZarvPayment() = default;

void ZarvPayment::connectHandlers()
{
    connect(Option_ZARV, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            Option_ZARV_Click();
    });
    connect(Option_VERIFY, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            Option_VERIFY_Click();
    });
    connect(Drive, &ui::DriveList::driveChanged, this, &ZarvPayment::Drive_Change);
    connect(Dir, &ui::DirList::pathChanged, this, &ZarvPayment::Dir_Change);
    connect(Command_Browse, &QPushButton::clicked, this, &ZarvPayment::Command_Browse_Click);
    connect(Command_OK, &QPushButton::clicked, this, &ZarvPayment::Command_OK_Click);
    connect(Command_VERIFY_OK, &QPushButton::clicked, this, &ZarvPayment::Command_VERIFY_OK_Click);
    connect(Command_Exit, &QPushButton::clicked, this, &ZarvPayment::Command_Exit_Click);
    connect(mnuFileExit, &QAction::triggered, this, &ZarvPayment::mnuFileExit_Click);
    connect(mnuHelpAbout, &QAction::triggered, this, &ZarvPayment::mnuHelpAbout_Click);
}

void ZarvPayment::Form_Load()
{
    // The screen opens in the payment-file mode; the lists start at the home
    // folder (the first drive) until the remembered choice moves them.
    paintMode(kZarvModeColor);
    enableRunButtons();
    Drive->setFolders({{QStringLiteral("A:"), fs::Settings::instance().driveAFolder()},
                       {QStringLiteral("B:"), fs::Settings::instance().driveBFolder()}});
    const QString root = Drive->drive();
    driveFolders_.setShownDrive(root);
    Dir->setTop(root);
    Dir->setPath(root);
    restoreChoice();
}

void ZarvPayment::openHome()
{
    const QString home = Drive->drives().value(0);
    if (!Drive->setDrive(home) || Drive->drive() != home)
        return;
    if (Dir->path() != home) {
        Dir->setTop(home);
        Dir->setPath(home);
    }
    File->setPath(Dir->path());
}

void ZarvPayment::restoreChoice()
{
    // A step that fails is skipped: the lists stay where they are.
    if (!hasDE())
        return;
    try {
        db::Recordset& rs = DE().rsZarvSystem();
        if (!rs.isOpen())
            rs.open();
        File->setPattern(QStringLiteral("*.csv"));
        if (rs.recordCount() > 0) {
            rs.moveFirst();
            const QString dir = rs.text(QStringLiteral("Dir"));
            const QString file = rs.text(QStringLiteral("File"));
            // The folder used last, whichever kind of run chose it (a workbook is
            // not in the payment file list, but its folder is the place to open);
            // its file is chosen again while it is there and not empty.
            m_FilePath = joinPath(dir, file);
            if (!dir.isEmpty() && QFileInfo(dir).isDir()) {
                const QString drive = Drive->addDriveFor(dir);
                if (!drive.isEmpty())
                    Drive->setDrive(drive);
                Dir->setTop(Drive->drive());
                if (Dir->setPath(dir)) {
                    File->setPath(Dir->path());
                    File->setFileName(!file.isEmpty() && FileExists(m_FilePath) ? file : QString());
                    return;
                }
            }
        }
        openHome();
    } catch (const std::exception&) {
        File->setPattern(QStringLiteral("*.csv"));
    }
}

void ZarvPayment::paintMode(long bgr)
{
    const QColor colour = ui::vbColour(quint32(bgr));
    ui::setBackColour(centralWidget(), colour);
    for (QLabel* l : {Label_Disk, Label_Directory, Label_SelectTheZarvFileLocation, Label_Files})
        ui::setBackColour(l, colour);
}

void ZarvPayment::enableRunButtons()
{
    const bool zarv = zarvMode();
    Command_OK->setEnabled(zarv && paymentRun_);
    Command_VERIFY_OK->setEnabled(!zarv && verificationRun_);
}

bool ZarvPayment::zarvMode() const
{
    return !Option_VERIFY->isChecked();
}

void ZarvPayment::setPaymentRun(RunDriver driver)
{
    paymentRun_ = std::move(driver);
    enableRunButtons();
}

void ZarvPayment::setVerificationRun(RunDriver driver)
{
    verificationRun_ = std::move(driver);
    enableRunButtons();
}

// ---------------------------------------------------------------- handlers

void ZarvPayment::Option_ZARV_Click()
{
    paintMode(kZarvModeColor);
    Label_SelectTheZarvFileLocation->setText(QStringLiteral("Select the Zarv.csv file location"));
    Text_Msg->setText(QStringLiteral("Please select the location of the ZARV file."));
    restoreChoice();
    enableRunButtons();
    Frame_UseOnlyCurrentYearData->setVisible(true);
    Frame_File_Type->setVisible(true);
}

void ZarvPayment::Option_VERIFY_Click()
{
    paintMode(kVerifyModeColor);
    Label_SelectTheZarvFileLocation->setText(QStringLiteral("Select the MortNo*.xlsx file location"));
    Text_Msg->setText(QStringLiteral("Please select the location of the Mortgage Number Verification file."));
    File->setPattern(QStringLiteral("*.xlsx"));
    enableRunButtons();
    Frame_UseOnlyCurrentYearData->setVisible(false);
}

void ZarvPayment::Dir_Change()
{
    driveFolders_.folderOpened(*Drive, *Dir, *File);
}

void ZarvPayment::Drive_Change()
{
    // The folder list opens the drive's last folder (its root the first time); a
    // drive that cannot be read leaves every list as it was.
    driveFolders_.openDrive(*Drive, *Dir);
}

void ZarvPayment::Command_Browse_Click()
{
    const bool zarv = zarvMode();
    const std::optional<QString> chosen =
        ui::ui().openFileBox(zarv ? QStringLiteral("Select the ZARV data file")
                                  : QStringLiteral("Select the Mortgage Number Verification file"),
                             Dir->path(),
                             zarv ? QStringLiteral("ZARV data files (*.csv)")
                                  : QStringLiteral("Mortgage Number Verification files (*.xlsx)"));
    if (!chosen)
        return;
    if (!ui::showFile(*Drive, *Dir, *File, *chosen))
        Text_Msg->setText(QStringLiteral("%1 cannot be chosen here: only %2 files are listed.")
                              .arg(QDir::toNativeSeparators(*chosen), File->pattern()));
}

void ZarvPayment::openFile(const QString& filePath)
{
    const QString shown = QDir::toNativeSeparators(filePath);
    const bool workbook = QFileInfo(filePath).suffix().compare(QLatin1String("xlsx"), Qt::CaseInsensitive) == 0;
    (workbook ? Option_VERIFY : Option_ZARV)->setChecked(true);
    if (!QFileInfo(filePath).isFile()) {
        Text_Msg->setText(shown + QStringLiteral(" file not found"));
        return;
    }
    if (!ui::showFile(*Drive, *Dir, *File, filePath)) {
        Text_Msg->setText(QStringLiteral("%1 cannot be opened here: only %2 files are listed.").arg(shown, File->pattern()));
        return;
    }
    if (workbook)
        Command_VERIFY_OK_Click();
    else
        Command_OK_Click();
}

void ZarvPayment::Command_OK_Click()
{
    if (paymentRun_)
        paymentRun_(*this);
}

void ZarvPayment::Command_VERIFY_OK_Click()
{
    if (verificationRun_)
        verificationRun_(*this);
}

void ZarvPayment::Command_Exit_Click()
{
    Unload();
}

void ZarvPayment::mnuFileExit_Click()
{
    Unload();
}

void ZarvPayment::mnuHelpAbout_Click()
{
    About about(this);
    ui::ui().showModal(about);
}

void ZarvPayment::closeEvent(QCloseEvent* e)
{
    if (!ui::ui().ending())
        ui::ui().endProgram(0);
    QMainWindow::closeEvent(e);
}

// ---------------------------------------------------------------- driver operations

void ZarvPayment::RememberChoice()
{
    RememberDataFile(Drive->drive(), Dir->path(), File->fileName());
}

bool ZarvPayment::ReadOnlyTest(const QString& filePath)
{
    if (AskAboutFileAttributes(filePath, QStringLiteral("Checking the ZARV data File Attributes")))
        return true;
    // Stopping leaves the clerk on this screen to choose again; nothing was loaded.
    Text_Msg->setText(QStringLiteral("Stopped: ") + QDir::toNativeSeparators(filePath) +
                      QStringLiteral(" was not opened."));
    return false;
}

void ZarvPayment::Park()
{
    m_SavedLeft = ui::pixelsToTwips(x());
    ui::ui().parkWindow(this, kParkedLeft);
}

void ZarvPayment::Restore()
{
    ui::ui().restoreWindow(this);
}

void ZarvPayment::Unload()
{
    ui::ui().endProgram(0);
}

} // namespace zarv
