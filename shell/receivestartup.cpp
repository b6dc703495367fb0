#include "shell/receivestartup.h"
#include "platform/ui/screenfit.h"

namespace zarv {

StartedReceive StartReceive(const ReceiveOptions& options)
{
    StartedReceive started;
    if (!StartRunningCopy(options, started))
        return started;

    started.screen = std::make_unique<Verify_Return>();
    ui::fitToScreen(started.screen.get());
    if (options.show)
        started.screen->show();
    return started;
}

} // namespace zarv
