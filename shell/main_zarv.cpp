// zarv: the program. Everything it does starts at the start screen.
#include "platform/ui/qtui.h"
#include "shell/data/dataenvironment.h"
#include "shell/PaymentRun.h"
#include "shell/VerificationRun.h"
#include "shell/formparts.h"
#include "shell/startup.h"

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

    zarv::StartOptions options;
    options.programName = QFileInfo(QString::fromLocal8Bit(argv[0])).fileName();
    options.paymentRun = zarv::PaymentRun;
    options.verificationRun = zarv::VerificationRun;
    int exitCode = 0;
    {
        zarv::StartedProgram started = zarv::StartZarv(options);
        exitCode = started.startScreen && !qtUi.ending() ? app.exec() : qtUi.exitCode();
    }
    zarv::takeDE().reset();
    zarv::ui::install(nullptr);
    return exitCode;
}
