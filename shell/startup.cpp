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
#include <QLockFile>
#include <QMetaObject>
#include <QStandardPaths>
#include <unistd.h>

namespace zarv {

RunningCopy::RunningCopy() = default;
RunningCopy::RunningCopy(RunningCopy&&) noexcept = default;
RunningCopy& RunningCopy::operator=(RunningCopy&&) noexcept = default;
RunningCopy::~RunningCopy() = default;

QString defaultLockFolder()
{
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (!runtime.isEmpty() && QDir().mkpath(runtime))
        return runtime;
    // The temporary folder is shared by every user: each gets a folder of its own.
    const QString own = QDir(QDir::tempPath()).filePath(QStringLiteral("zarv-%1").arg(::getuid()));
    QDir().mkpath(own);
    return own;
}

std::unique_ptr<QLockFile> claimSingleInstance(const QString& lockFolder)
{
    const QString folder = lockFolder.isEmpty() ? defaultLockFolder() : lockFolder;
    auto lock = std::make_unique<QLockFile>(QDir(folder).filePath(QStringLiteral("zarv.lock")));
    // Never stale by age: only a lock whose program is gone is taken over.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0))
        return nullptr;
    return lock;
}

void openOnceRunning(QObject& screen, const std::function<void()>& open)
{
    QMetaObject::invokeMethod(&screen, open, Qt::QueuedConnection);
}

bool StartRunningCopy(const ProgramOptions& options, RunningCopy& copy)
{
    copy.lock = claimSingleInstance(options.lockFolder);
    if (!copy.lock) {
        ui::ui().msgBox(QStringLiteral("ZARV application is already running"), ui::Buttons::OK,
                        ui::Icon::Information);
        ui::ui().endProgram(0);
        return false;
    }

    const QString folder = options.programFolder.isEmpty() ? PrepareUserFolders(fs::programFolder()) : options.programFolder;
    if (folder.isEmpty()) {
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
