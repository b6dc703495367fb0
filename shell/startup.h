#pragma once
// How the program starts: one running copy at a time, the data environment over
// the program's folder with its databases checked, then the start screen.
#include "shell/ZarvPayment.h"

#include <QString>
#include <memory>

class QLockFile;

namespace zarv {

struct StartOptions {
    QString programFolder;      // where the databases are; "" for the program's own folder
    QString programName;        // the program file's name (decides which databases are opened)
    QString lockFolder;         // where the running copy's lock lives; "" for defaultLockFolder()
    ZarvPayment::RunDriver paymentRun;       // behind OK; none leaves the button disabled
    ZarvPayment::RunDriver verificationRun;  // behind Verify; likewise
    bool show = true;           // show the start screen
};

// What a started program holds until it ends.
struct StartedProgram {
    StartedProgram();
    StartedProgram(StartedProgram&&) noexcept;
    StartedProgram& operator=(StartedProgram&&) noexcept;
    ~StartedProgram();
    std::unique_ptr<QLockFile> lock;
    std::unique_ptr<ZarvPayment> startScreen;   // null when the program is to end at once
};

// The per-user folder of running programs' locks (the temporary folder where the
// system has none).
QString defaultLockFolder();
// Claims the single running copy. Null when another living copy holds the lock;
// a lock left by a copy that ended without releasing it is taken over.
std::unique_ptr<QLockFile> claimSingleInstance(const QString& lockFolder);

// Refuses a second copy ("ZARV application is already running"), installs the
// data environment, checks its databases, and opens the start screen. When the
// program must end at once, ui().ending() is true afterwards and startScreen is null.
StartedProgram StartZarv(const StartOptions& options);

} // namespace zarv
