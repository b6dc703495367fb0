// zarvreceive: the tax office's program that receives returned verification
// workbooks. It opens the receiving screen and ends when the screen closes;
// with --batch it checks the workbooks given without opening a window.
#include "platform/ui/screens/qtui.h"
#include "shell/commandline.h"
#include "shell/receivestartup.h"

#include <QApplication>

int main(int argc, char** argv)
{
    const zarv::CommandLine line = zarv::ReadCommandLine(zarv::Program::Receive, zarv::ArgumentsOf(argc, argv));
    if (line.exitCode)
        return *line.exitCode;
    if (line.batch)
        return zarv::RunReceiveBatchProgram(argc, argv, line.paths);
    return zarv::RunProgram(argc, argv, [&line](QApplication& app, zarv::ui::QtUi& qtUi, const QString& programName) {
        zarv::ReceiveOptions options;
        options.programName = programName;
        options.openFile = line.file;
        const zarv::StartedReceive started = zarv::StartReceive(options);
        if (!started.screen || qtUi.ending())
            return qtUi.exitCode();
        // Upload and Close both end the program; nothing follows an upload here.
        QObject::connect(started.screen.get(), &QDialog::finished, &app, [] { QCoreApplication::exit(0); });
        return app.exec();
    });
}
