#pragma once
// How the programs start: one running copy at a time, the data environment over
// the user's data folder with its databases checked, then the first screen (the
// start screen here; the receiving program's in receivestartup.h).
#include "shell/ZarvPayment.h"

#include "platform/files/folderlock.h"

#include <QString>
#include <functional>
#include <memory>
#include <optional>

class QApplication;
class QObject;

namespace zarv {

namespace ui {
class QtUi;
}

// What both programs are told at start.
struct ProgramOptions {
    QString programFolder;      // where the databases are; "" for the user's data folder (userfolders.h)
    QString programName;        // the program file's name (decides which databases are opened)
    bool show = true;           // show the first screen
    QString openFile;           // a file given on the command line: the first screen opens it once the program runs
};

struct StartOptions : ProgramOptions {
    ZarvPayment::RunDriver paymentRun;       // behind OK; none leaves the button disabled
    ZarvPayment::RunDriver verificationRun;  // behind Verify; likewise
};

// A data folder another program holds: which folder, and who holds it since when.
struct FolderInUse {
    QString folder;
    fs::LockHolder holder;
};

// The running copy's lock on its data folder. A started program derives its
// first screen from this, so that the screen goes first and the lock is
// released when nothing else of the program is left.
struct RunningCopy {
    RunningCopy();
    RunningCopy(RunningCopy&&) noexcept;
    RunningCopy& operator=(RunningCopy&&) noexcept;
    ~RunningCopy();
    std::unique_ptr<fs::FolderLock> lock;
    // Set when the start was refused because another program works on the data folder.
    std::optional<FolderInUse> inUse;
};

// What a started program holds until it ends.
struct StartedProgram : RunningCopy {
    std::unique_ptr<ZarvPayment> startScreen;   // null when the program is to end at once
};

// What the clerk is told when another program holds the data folder: the
// folder, the holder and since when.
QString FolderInUseText(const QString& folder, const fs::LockHolder& holder);
// Locks the data folder for this program. Null after telling the clerk when
// another program holds it (*inUse then says which folder and who) or it
// cannot be locked; a lock left by a program that has ended is taken over.
std::unique_ptr<fs::FolderLock> claimDataFolder(const QString& folder, const QString& programName,
                                                std::optional<FolderInUse>* inUse);

// The start both programs share: makes the data folder where missing and locks
// it before any table is touched; refuses a second program on the same data
// folder (FolderInUseText, copy.inUse set) and ends the program; then prepares
// the databases (damaged ones renewed), installs the data environment and
// checks it. True when the program may open its first screen.
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
