// Renders the main screens, opened over the sample files, to PNG pictures for
// the README: zarvshots <output folder> [<samples folder>]. Runs offscreen, over
// databases of its own in a temporary folder; messages the loads would show
// are answered and not shown.
#include "paymentfile/paymentfile.h"
#include "payments/Detail.h"
#include "payments/Group.h"
#include "platform/data/recordset.h"
#include "platform/files/settings.h"
#include "platform/forms/filelists.h"
#include "platform/ui/screens/scriptedscreens.h"
#include "platform/ui/screens/screenfit.h"
#include "services/dataenvironment.h"
#include "services/schema.h"
#include "shell/ZarvPayment.h"
#include "verification/screens/Verify_Numbers.h"
#include "verifyfile/screens/Verify_Return.h"
#include "verifyfile/verifyfile.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <cstdio>

using namespace zarv;

namespace {

bool save(QWidget& screen, const QString& file)
{
    // Sized for the screen as the program's openers size every window.
    ui::fitToScreen(&screen);
    screen.show();
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
    const bool ok = screen.grab().save(file);
    std::printf("%s %s\n", ok ? "wrote" : "could not write", qPrintable(file));
    screen.hide();
    return ok;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: zarvshots <output folder> [<samples folder>]\n");
        return 2;
    }
    const QDir out(args[1]);
    const QDir samples(args.size() > 2 ? args[2] : QStringLiteral(ZARV_SOURCE_DIR "/samples"));
    QDir().mkpath(out.path());

    QTemporaryDir work;
    QString error;
    if (!work.isValid() || !createDatabases(work.path(), &error)) {
        std::fprintf(stderr, "cannot create the databases: %s\n", qPrintable(error));
        return 1;
    }
    ui::ScopedUi answers;
    // The lists show the sample files as a clerk would have them: in the
    // Downloads folder of the home folder.
    qputenv("HOME", QFile::encodeName(work.path()));
    const QString data = QDir(work.path()).filePath(QStringLiteral("Downloads"));
    QDir().mkpath(data);
    for (const char* name : {"Zarvdata.csv", "MortNo1234.xlsx"})
        QFile::copy(samples.filePath(QLatin1String(name)), QDir(data).filePath(QLatin1String(name)));
    QFile ini(QDir(work.path()).filePath(QStringLiteral("zarv.ini")));
    if (ini.open(QIODevice::WriteOnly))
        ini.write("[Receiving]\nEmailFolder=" + data.toUtf8() + "\nVerifiedFolder=" + work.path().toUtf8() + "\n");
    ini.close();
    fs::Settings::setFolder(work.path());
    QDir::setCurrent(work.path());

    auto de = std::make_unique<DataEnvironment>(work.path(), QStringLiteral("zarv"));
    if (!de->DataEnvironment_Initialize())
        return 1;
    installDE(std::move(de));

    bool ok = true;
    // The start screen opens at the data folder and the payment file in it.
    RememberDataFile(QStringLiteral("/"), data, QStringLiteral("Zarvdata.csv"));
    {
        ZarvPayment start;
        ok &= save(start, out.filePath(QStringLiteral("start.png")));
    }

    Csv2Mdb(QDir(data).filePath(QStringLiteral("Zarvdata.csv")));
    DE().rsGroup().moveFirst();
    {
        Group groups;
        ok &= save(groups, out.filePath(QStringLiteral("groups.png")));
    }
    db::Recordset& payments = DE().rsDetail();
    payments.setFilter(QStringLiteral("MORTCO = '") + DE().rsGroup().text(QStringLiteral("MORTCO")) + u'\'');
    if (payments.recordCount() > 0)
        payments.moveFirst();
    {
        Detail list;
        ok &= save(list, out.filePath(QStringLiteral("payments.png")));
    }

    Xls2Mdb(QDir(data).filePath(QStringLiteral("MortNo1234.xlsx")));
    if (DE().rsVerify().recordCount() > 0)
        DE().rsVerify().moveFirst();
    {
        Verify_Numbers list;
        ok &= save(list, out.filePath(QStringLiteral("verification.png")));
    }
    {
        Verify_Return receiving;
        receiving.Dir->setPath(data);
        receiving.File->refresh();
        receiving.File->setFileName(QStringLiteral("MortNo1234.xlsx"));
        receiving.Command_OK->click();
        ok &= save(receiving, out.filePath(QStringLiteral("receiving.png")));
    }
    takeDE().reset();
    return ok ? 0 : 1;
}
