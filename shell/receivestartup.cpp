#include "shell/receivestartup.h"
#include "platform/ui/screens/screenfit.h"

#include "platform/files/filesys.h"
#include "services/dataenvironment.h"
#include "shell/commandline.h"
#include "shell/receivebatch.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTextStream>

#include <cstdio>

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
    if (!options.openFile.isEmpty())
        openOnceRunning(*started.screen, [screen = started.screen.get(), file = options.openFile] {
            screen->openFile(file);
        });
    return started;
}

int RunReceiveBatchProgram(int argc, char** argv, const QStringList& paths)
{
    fs::settleHome();
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("ZARV"));
    QCoreApplication::setApplicationVersion(QStringLiteral(ZARV_VERSION));
    QTextStream out(stdout);
    QTextStream err(stderr);

    ReceiveOptions options;
    options.programName = QFileInfo(QString::fromLocal8Bit(argv[0])).fileName();
    options.show = false;
    BatchUi batchUi(err, options.programName);
    ui::install(&batchUi);
    RunningCopy copy;
    // A program that could not start has checked nothing: that is no clean run.
    int exitCode = kBatchErrors;
    if (StartRunningCopy(options, copy)) {
        exitCode = RunReceiveBatch(paths, out, err);
    } else if (copy.inUse) {
        // Another copy has the data: the caller may try again later.
        batchUi.say(QStringLiteral("nothing was checked: another copy of ZARV is using its data."));
        exitCode = kBatchBusy;
    }
    takeDE().reset();
    ui::install(nullptr);
    return exitCode;
}

} // namespace zarv
