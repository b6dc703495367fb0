#pragma once
// How the receiving program starts: the same lock on the data folder as the
// main program (the two share the working database, so one refuses while the
// other runs), the data environment over the user's data folder with its databases
// checked, then the receiving screen Verify_Return.
#include "shell/startup.h"
#include "verifyfile/screens/Verify_Return.h"

#include <memory>

namespace zarv {

// The receiving program is told no more than what both programs are.
using ReceiveOptions = ProgramOptions;

// What a started receiving program holds until it ends.
struct StartedReceive : RunningCopy {
    std::unique_ptr<Verify_Return> screen;     // null when the program is to end at once
};

// Refuses a second copy ("ZARV application is already running"), installs the
// data environment, checks its databases, and opens the receiving screen. When
// the program must end at once, ui().ending() is true afterwards and screen is null.
StartedReceive StartReceive(const ReceiveOptions& options);

// zarvreceive --batch: the application without a window (no display needed),
// messages to standard error, the same single running copy and data
// environment as the screen, then RunReceiveBatch over the paths. Returns the
// program's exit code.
int RunReceiveBatchProgram(int argc, char** argv, const QStringList& paths);

} // namespace zarv
