#include "shell/startup.h"

#include "platform/files/filesys.h"
#include "platform/ui/screens/qtui.h"
#include "platform/ui/screens/screenfit.h"
#include "platform/ui/uiservices.h"
#include "services/dataenvironment.h"
#include "services/screens/Form_InformationDialog.h"
#include "services/userfolders.h"
#include "shell/formparts.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMetaObject>

namespace zarv {

RunningCopy::RunningCopy() = default;
RunningCopy::RunningCopy(RunningCopy&&) noexcept = default;
RunningCopy& RunningCopy::operator=(RunningCopy&&) noexcept = default;
RunningCopy::~RunningCopy() = default;

QString FolderInUseText(const QString& folder, const fs::LockHolder& holder)
{
    return QStringLiteral("ZARV application is already running on the data folder %1: it is in use by %2.\r\n"
                          "Only one program at a time may work on its databases; close the other one first.")
        .arg(QDir::toNativeSeparators(folder), holder.describe());
}

std::unique_ptr<fs::FolderLock> claimDataFolder(const QString& folder, const QString& programName,
                                                std::optional<FolderInUse>* inUse)
{
    fs::FolderLock::Outcome outcome{};
    fs::LockHolder holder;
    QString error;
    auto lock = fs::FolderLock::take(folder, programName.isEmpty() ? QStringLiteral("zarv") : programName, &outcome,
                                     &holder, &error);
    if (lock)
        return lock;
    if (outcome == fs::FolderLock::Outcome::InUse) {
        if (inUse)
            *inUse = FolderInUse{folder, holder};
        ui::ui().msgBox(FolderInUseText(folder, holder), ui::Buttons::OK, ui::Icon::Information);
    } else {
        ui::ui().msgBox(QStringLiteral("The data folder %1 cannot be locked for this program.\r\n%2")
                            .arg(QDir::toNativeSeparators(folder), error),
                        ui::Buttons::OK, ui::Icon::Critical);
    }
    return nullptr;
}

void openOnceRunning(QObject& screen, const std::function<void()>& open)
{
    QMetaObject::invokeMethod(&screen, open, Qt::QueuedConnection);
}

bool StartRunningCopy(const ProgramOptions& options, RunningCopy& copy)
{
    fs::settleHome();
    copy.inUse.reset();
    const bool userFolder = options.programFolder.isEmpty();
    const QString folder = userFolder ? fs::dataFolder() : options.programFolder;
    if (userFolder && !MakeDataFolder(folder)) {
        ui::ui().endProgram(1);
        return false;
    }
    // The folder is locked before any of its tables is touched.
    copy.lock = claimDataFolder(folder, options.programName, &copy.inUse);
    if (!copy.lock) {
        ui::ui().endProgram(copy.inUse ? 0 : 1);
        return false;
    }
    const bool ready = userFolder ? !PrepareUserFolders(fs::programFolder()).isEmpty() : RenewDamagedDatabases(folder);
    if (!ready) {
        ui::ui().endProgram(1);
        return false;
    }
    installDE(std::make_unique<DataEnvironment>(folder, options.programName));
    return DE().DataEnvironment_Initialize() && !ui::ui().ending();
}

StartedProgram StartZarv(const StartOptions& options)
{
    StartedProgram started;
    if (!StartRunningCopy(options, started))
        return started;

    started.startScreen = std::make_unique<ZarvPayment>();
    started.startScreen->setPaymentRun(options.paymentRun);
    started.startScreen->setVerificationRun(options.verificationRun);
    ui::fitToScreen(started.startScreen.get());
    if (options.show)
        started.startScreen->show();
    if (!options.openFile.isEmpty())
        openOnceRunning(*started.startScreen, [screen = started.startScreen.get(), file = options.openFile] {
            screen->openFile(file);
        });
    return started;
}

int RunProgram(int argc, char** argv, const ProgramBody& run)
{
    fs::settleHome();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ZARV"));
    QApplication::setApplicationVersion(QStringLiteral(ZARV_VERSION));
    QApplication::setWindowIcon(zarvIcon());

    ui::QtUi qtUi;
    ui::install(&qtUi);
    useInformationDialog();
    const int exitCode = run(app, qtUi, QFileInfo(QString::fromLocal8Bit(argv[0])).fileName());
    takeDE().reset();
    ui::install(nullptr);
    return exitCode;
}

} // namespace zarv
