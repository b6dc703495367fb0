#include "shell/receivestartup.h"
#include "platform/ui/screens/screenfit.h"

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
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("ZARV"));
    QCoreApplication::setApplicationVersion(QStringLiteral(ZARV_VERSION));
    QTextStream out(stdout);
    QTextStream err(stderr);

    BatchUi batchUi(err);
    ui::install(&batchUi);
    ReceiveOptions options;
    options.programName = QFileInfo(QString::fromLocal8Bit(argv[0])).fileName();
    options.show = false;
    RunningCopy copy;
    // A program that could not start has checked nothing: that is no clean run.
    int exitCode = kBatchErrors;
    if (StartRunningCopy(options, copy))
        exitCode = RunReceiveBatch(paths, out, err);
    takeDE().reset();
    ui::install(nullptr);
    return exitCode;
}

} // namespace zarv
