#include "shell/receivestartup.h"

#include "platform/files/filesys.h"
#include "platform/ui/uiservices.h"
#include "shell/data/dataenvironment.h"
#include "shell/startup.h"

#include <QLockFile>

namespace zarv {

StartedReceive::StartedReceive() = default;
StartedReceive::StartedReceive(StartedReceive&&) noexcept = default;
StartedReceive& StartedReceive::operator=(StartedReceive&&) noexcept = default;
StartedReceive::~StartedReceive()
{
    // The window goes first; the lock is released when nothing of the program is left.
    screen.reset();
    lock.reset();
}

StartedReceive StartReceive(const ReceiveOptions& options)
{
    StartedReceive started;
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

    started.screen = std::make_unique<Verify_Return>();
    if (options.show)
        started.screen->show();
    return started;
}

} // namespace zarv
