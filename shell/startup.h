#pragma once
// How the programs start: one running copy at a time, the data environment over
// the user's data folder with its databases checked, then the first screen (the
// start screen here; the receiving program's in receivestartup.h).
#include "shell/ZarvPayment.h"

#include <QString>
#include <functional>
#include <memory>

class QApplication;
class QLockFile;
class QObject;

namespace zarv {

namespace ui {
class QtUi;
}

// What both programs are told at start.
struct ProgramOptions {
    QString programFolder;      // where the databases are; "" for the user's data folder (userfolders.h)
    QString programName;        // the program file's name (decides which databases are opened)
    QString lockFolder;         // where the running copy's lock lives; "" for defaultLockFolder()
    bool show = true;           // show the first screen
    QString openFile;           // a file given on the command line: the first screen opens it once the program runs
};

struct StartOptions : ProgramOptions {
    ZarvPayment::RunDriver paymentRun;       // behind OK; none leaves the button disabled
    ZarvPayment::RunDriver verificationRun;  // behind Verify; likewise
};

// The running copy's lock. A started program derives its first screen from
// this, so that the screen goes first and the lock is released when nothing
// else of the program is left.
struct RunningCopy {
    RunningCopy();
    RunningCopy(RunningCopy&&) noexcept;
    RunningCopy& operator=(RunningCopy&&) noexcept;
    ~RunningCopy();
    std::unique_ptr<QLockFile> lock;
};

// What a started program holds until it ends.
struct StartedProgram : RunningCopy {
    std::unique_ptr<ZarvPayment> startScreen;   // null when the program is to end at once
};

// The per-user folder of running programs' locks (the temporary folder where the
// system has none).
QString defaultLockFolder();
// Claims the single running copy. Null when another living copy holds the lock;
// a lock left by a copy that ended without releasing it is taken over.
std::unique_ptr<QLockFile> claimSingleInstance(const QString& lockFolder);

// The start both programs share: refuses a second copy ("ZARV application is
// already running") and ends the program, or claims the running copy into
// copy.lock, installs the data environment and checks its databases. True when
// the program may open its first screen.
bool StartRunningCopy(const ProgramOptions& options, RunningCopy& copy);

// Runs `open` on the first screen once the program's event loop runs (the
// screen is up by then), for a file given on the command line.
void openOnceRunning(QObject& screen, const std::function<void()>& open);

// Refuses a second copy, installs the data environment, checks its databases,
// and opens the start screen; a file in options.openFile is opened once the
// program runs. When the program must end at once, ui().ending()
// is true afterwards and startScreen is null.
StartedProgram StartZarv(const StartOptions& options);

// The frame both programs' main() run in: the application with its name,
// version and icon, the Qt UI services installed, then `run` with the program
// file's name; afterwards the data environment and the services are taken
// down. Returns what run returns.
using ProgramBody = std::function<int(QApplication& app, ui::QtUi& qtUi, const QString& programName)>;
int RunProgram(int argc, char** argv, const ProgramBody& run);

} // namespace zarv
