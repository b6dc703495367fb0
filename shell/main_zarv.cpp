// zarv: the program. Everything it does starts at the start screen.
#include "platform/ui/screens/qtui.h"
#include "shell/PaymentRun.h"
#include "shell/VerificationRun.h"
#include "shell/commandline.h"
#include "shell/startup.h"

#include <QApplication>

int main(int argc, char** argv)
{
    const zarv::CommandLine line = zarv::ReadCommandLine(zarv::Program::Zarv, zarv::ArgumentsOf(argc, argv));
    if (line.exitCode)
        return *line.exitCode;
    return zarv::RunProgram(argc, argv, [&line](QApplication& app, zarv::ui::QtUi& qtUi, const QString& programName) {
        zarv::StartOptions options;
        options.programName = programName;
        options.openFile = line.file;
        options.paymentRun = zarv::PaymentRun;
        options.verificationRun = zarv::VerificationRun;
        const zarv::StartedProgram started = zarv::StartZarv(options);
        return started.startScreen && !qtUi.ending() ? app.exec() : qtUi.exitCode();
    });
}
