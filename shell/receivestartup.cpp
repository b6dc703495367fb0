#include "shell/receivestartup.h"

namespace zarv {

StartedReceive StartReceive(const ReceiveOptions& options)
{
    StartedReceive started;
    if (!StartRunningCopy(options, started))
        return started;

    started.screen = std::make_unique<Verify_Return>();
    if (options.show)
        started.screen->show();
    return started;
}

} // namespace zarv
