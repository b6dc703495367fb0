#include "shell/startup.h"

#include "platform/files/filesys.h"
#include "platform/ui/uiservices.h"
#include "shell/data/dataenvironment.h"

#include <QDir>
#include <QLockFile>
#include <QStandardPaths>
#include <unistd.h>

namespace zarv {

StartedProgram::StartedProgram() = default;
StartedProgram::StartedProgram(StartedProgram&&) noexcept = default;
StartedProgram& StartedProgram::operator=(StartedProgram&&) noexcept = default;
StartedProgram::~StartedProgram()
{
    // The window goes first; the lock is released when nothing of the program is left.
    startScreen.reset();
    lock.reset();
}

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

StartedProgram StartZarv(const StartOptions& options)
{
    StartedProgram started;
    started.lock = claimSingleInstance(options.lockFolder);
    if (!started.lock) {
        ui::ui().msgBox(QStringLiteral("ZARV application is already running"), ui::Buttons::OK,
                        ui::Icon::Information);
        ui::ui().endProgram(0);
        return started;
    }

    const QString folder = options.programFolder.isEmpty() ? fs::programFolder() : options.programFolder;
    installDE(std::make_unique<DataEnvironment>(folder, options.programName));
    if (!DE().DataEnvironment_Initialize() || ui::ui().ending())
        return started;

    started.startScreen = std::make_unique<ZarvPayment>();
    started.startScreen->setPaymentRun(options.paymentRun);
    started.startScreen->setVerificationRun(options.verificationRun);
    if (options.show)
        started.startScreen->show();
    return started;
}

} // namespace zarv
