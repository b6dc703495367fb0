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
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace zarv {

namespace {

constexpr long kZarvModeColor = 0xFFFFC0;     // &HFFFFC0
constexpr long kVerifyModeColor = 0xFFC0C0;   // &HFFC0C0

template <typename W>
W* named(W* widget, const char* name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

} // namespace

ZarvPayment::ZarvPayment(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("ZarvPayment"));
    setWindowTitle(QStringLiteral("ZARV - ZARVENHOLT"));
    setWindowIcon(zarvIcon());
    buildControls();
    buildMenus();
    resize(640, 500);
    Form_Load();
}

ZarvPayment::~ZarvPayment() = default;

void ZarvPayment::buildControls()
{
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("ZarvPaymentArea"));
    setCentralWidget(central);

    Frame_File_Type = named(new QGroupBox(QStringLiteral("<File Type>"), central), "Frame_File_Type");
    Option_ZARV = named(new QRadioButton(QStringLiteral("Regular ZARV Usage"), Frame_File_Type), "Option_ZARV");
    Option_ZARV->setToolTip(QStringLiteral("Work with the regular ZARV payment files"));
    Option_VERIFY = named(new QRadioButton(QStringLiteral("Mortgage # Verification File"), Frame_File_Type),
                          "Option_VERIFY");
    Option_VERIFY->setToolTip(QStringLiteral(
        "Mortgage company option: provides electronic files for folio/mortgage # verification"));
    auto* typeLayout = new QVBoxLayout(Frame_File_Type);
    typeLayout->addWidget(Option_ZARV);
    typeLayout->addWidget(Option_VERIFY);
    Option_ZARV->setChecked(true);

    Frame_UseOnlyCurrentYearData = named(new QGroupBox(QStringLiteral("<Use Only Current Year Data>"), central),
                                         "Frame_UseOnlyCurrentYearData");
    Option_Yes = named(new QRadioButton(QStringLiteral("Yes"), Frame_UseOnlyCurrentYearData), "Option_Yes");
    OptionNo = named(new QRadioButton(QStringLiteral("No"), Frame_UseOnlyCurrentYearData), "OptionNo");
    auto* yearLayout = new QHBoxLayout(Frame_UseOnlyCurrentYearData);
    yearLayout->addWidget(Option_Yes);
    yearLayout->addWidget(OptionNo);
    yearLayout->addStretch();
    Option_Yes->setChecked(true);

    Label_SelectTheZarvFileLocation = named(new QLabel(QStringLiteral("Select the Zarv.csv file location"), central),
                                            "Label_SelectTheZarvFileLocation");
    QFont strong = Label_SelectTheZarvFileLocation->font();
    strong.setBold(true);
    strong.setPointSizeF(strong.pointSizeF() * 1.15);
    Label_SelectTheZarvFileLocation->setFont(strong);

    Label_Disk = named(new QLabel(QStringLiteral("Disk"), central), "Label_Disk");
    Drive = named(new ui::DriveList(central), "Drive");
    Label_Disk->setBuddy(Drive);
    Label_Directory = named(new QLabel(QStringLiteral("Directory"), central), "Label_Directory");
    Dir = named(new ui::DirList(central), "Dir");
    Label_Directory->setBuddy(Dir);
    Label_Files = named(new QLabel(QStringLiteral("Files"), central), "Label_Files");
    File = named(new ui::FileList(central), "File");
    Label_Files->setBuddy(File);
    File->setPattern(QStringLiteral("*.csv"));
    Command_Browse = named(new QPushButton(QStringLiteral("&Browse..."), central), "Command_Browse");
    Command_Browse->setToolTip(QStringLiteral("Choose the file in the standard file dialog"));

    Command_OK = named(new QPushButton(QStringLiteral("&OK"), central), "Command_OK");
    Command_OK->setToolTip(QStringLiteral("Work with the ZARV File Selected"));
    Command_VERIFY_OK = named(new QPushButton(QStringLiteral("&Verify"), central), "Command_VERIFY_OK");
    Command_VERIFY_OK->setToolTip(QStringLiteral("Work with the Mortgage Number Verification File Selected"));
    Command_Exit = named(new QPushButton(QStringLiteral("E&xit"), central), "Command_Exit");
    Command_Exit->setToolTip(QStringLiteral("Exit ZARV"));

    Text_Msg = named(new QLineEdit(QStringLiteral("Please select the location of the ZARV file."), central),
                     "Text_Msg");
    ui::makeStatusBox(Text_Msg);

    Label_PleaseWait = named(new QLabel(QStringLiteral("Please Wait While Saving the ZARV data!"), central),
                             "Label_PleaseWait");
    QFont waitFont = Label_PleaseWait->font();
    waitFont.setBold(true);
    waitFont.setPointSizeF(waitFont.pointSizeF() * 1.6);
    Label_PleaseWait->setFont(waitFont);
    Label_PleaseWait->setAlignment(Qt::AlignCenter);
    Label_PleaseWait->setVisible(false);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* b : {Command_OK, Command_VERIFY_OK, Command_Exit}) {
        b->setMinimumWidth(100);
        buttons->addWidget(b);
    }
    buttons->addStretch();

    auto* grid = new QGridLayout(central);
    grid->addWidget(Frame_File_Type, 0, 0);
    grid->addWidget(Frame_UseOnlyCurrentYearData, 0, 1, Qt::AlignTop);
    grid->addWidget(Label_SelectTheZarvFileLocation, 1, 0, 1, 2);
    grid->addWidget(Label_Disk, 2, 0);
    auto* filesHeading = new QHBoxLayout;
    filesHeading->addWidget(Label_Files);
    filesHeading->addStretch();
    filesHeading->addWidget(Command_Browse);
    grid->addLayout(filesHeading, 2, 1);
    grid->addWidget(Drive, 3, 0);
    grid->addWidget(File, 3, 1, 3, 1);
    grid->addWidget(Label_Directory, 4, 0);
    grid->addWidget(Dir, 5, 0);
    grid->addWidget(Label_PleaseWait, 6, 0, 1, 2);
    grid->addLayout(buttons, 7, 0, 1, 2);
    grid->addWidget(Text_Msg, 8, 0, 1, 2);
    grid->setRowStretch(5, 1);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);

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
}

void ZarvPayment::buildMenus()
{
    mnuFile = named(menuBar()->addMenu(QStringLiteral("&File")), "mnuFile");
    mnuFileExit = named(mnuFile->addAction(QStringLiteral("E&xit")), "mnuFileExit");
    mnuHelp = named(menuBar()->addMenu(QStringLiteral("&Help")), "mnuHelp");
    mnuHelpAbout = named(mnuHelp->addAction(QStringLiteral("&About")), "mnuHelpAbout");
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
