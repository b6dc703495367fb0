// zarvreceive: the tax office's program that receives a returned verification
// workbook. It opens the receiving screen and ends when the screen closes.
#include "platform/ui/screens/qtui.h"
#include "shell/receivestartup.h"

#include <QApplication>

int main(int argc, char** argv)
{
    return zarv::RunProgram(argc, argv, [](QApplication& app, zarv::ui::QtUi& qtUi, const QString& programName) {
        zarv::ReceiveOptions options;
        options.programName = programName;
        const zarv::StartedReceive started = zarv::StartReceive(options);
        if (!started.screen || qtUi.ending())
            return qtUi.exitCode();
        // Upload and Close both end the program; nothing follows an upload here.
        QObject::connect(started.screen.get(), &QDialog::finished, &app, [] { QCoreApplication::exit(0); });
        return app.exec();
    });
}
