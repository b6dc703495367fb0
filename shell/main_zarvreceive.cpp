// zarvreceive: the tax office's program that receives a returned verification
// workbook. It opens the receiving screen and ends when the screen closes.
#include "platform/ui/qtui.h"
#include "shell/data/dataenvironment.h"
#include "shell/formparts.h"
#include "shell/receivestartup.h"

#include <QApplication>
#include <QFileInfo>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ZARV"));
    QApplication::setApplicationVersion(QStringLiteral(ZARV_VERSION));
    QApplication::setWindowIcon(zarv::zarvIcon());

    zarv::ui::QtUi qtUi;
    zarv::ui::install(&qtUi);

    zarv::ReceiveOptions options;
    options.programName = QFileInfo(QString::fromLocal8Bit(argv[0])).fileName();
    int exitCode = 0;
    {
        zarv::StartedReceive started = zarv::StartReceive(options);
        if (started.screen && !qtUi.ending()) {
            // Upload and Close both end the program; nothing follows an upload here.
            QObject::connect(started.screen.get(), &QDialog::finished, &app, [] { QCoreApplication::exit(0); });
            exitCode = app.exec();
        } else {
            exitCode = qtUi.exitCode();
        }
    }
    zarv::takeDE().reset();
    zarv::ui::install(nullptr);
    return exitCode;
}
