// Fuzzing the payment data file's load as a payment run does it: each input is
// loaded into the working tables of a real database (made once per process, in
// memory-backed storage where there is some). An input the load accepts is
// saved, and the saved file must load again and read back as it was written:
// a second load and save gives the first save's lines, apart from what the
// load fills in itself, and a third gives the second's bytes (unless the saved
// file reads as UTF-8, which a Windows-1252 file may happen to be). An agency
// may have several group sections: each payment is saved once, under its own.
// What the load asks (values too long for their columns, counts that differ)
// is answered the safe way: nothing is loaded.
#include "paymentfile/paymentfile.h"
#include "platform/data/recordset.h"
#include "platform/files/csvfile.h"
#include "platform/ui/scriptedui.h"
#include "services/dataenvironment.h"
#include "services/schema.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

using namespace zarv;

namespace {

struct Setup {
    std::unique_ptr<QCoreApplication> app;
    std::unique_ptr<QTemporaryDir> dir;
    ui::ScriptedUi ui;   // answers every box the safe way and is emptied per input
    QString input, saved[3];
};

Setup* setup = nullptr;

[[noreturn]] void fail(const char* what)
{
    std::fprintf(stderr, "payment file fuzzing: %s\n", what);
    std::abort();
}

// What the last load showed the clerk, then the failure.
[[noreturn]] void failShowing(const char* what)
{
    for (const ui::ShownBox& box : setup->ui.boxes())
        std::fprintf(stderr, "box: %s\n", qPrintable(box.prompt));
    for (const fs::Intake& intake : setup->ui.intakes())
        for (const QString& line : intake.lines())
            std::fprintf(stderr, "intake: %s\n", qPrintable(line));
    fail(what);
}

QByteArray bytesOf(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Every payment in the table: a load hands rsDetail over filtered on one agency.
long long payments()
{
    db::Recordset& rs = DE().rsDetail();
    if (!rs.isOpen())
        rs.open();
    rs.setFilter(QString());
    rs.requery();
    return rs.recordCount();
}

// A load; a database error is no answer to any file (the load checks what it
// stores), while the file's own faults are told in words. A refused file
// leaves nothing in the tables; a load the clerk stopped leaves them as they
// were before it.
bool load(const QString& path)
{
    setup->ui.reset();
    const long long before = payments();
    LoadEnd end = LoadEnd::Failed;
    const bool ok = Csv2Mdb(path, &end);
    for (const ui::ShownBox& box : setup->ui.boxes())
        if (box.prompt.startsWith(QLatin1String("Csv2Mdb Unexpected error #-")))
            fail("the database refused what the load stored");
    const long long after = payments();
    if (end == LoadEnd::Refused && after > 0)
        fail("a refused load left payments in the tables");
    if (end == LoadEnd::Stopped && after != before)
        fail("a stopped load changed the payments in the tables");
    return ok;
}

// The load as a payment run takes it: read, and no payment repeated.
bool loaded(const QString& path)
{
    return load(path) && !DupFoliosFound;
}

// The year the last load stored, as the run hands it to the save.
QString storedYear()
{
    db::Recordset& rs = DE().rsZarvSystem();
    if (!rs.isOpen())
        rs.open();
    rs.requery();
    if (rs.recordCount() < 1)
        return {};
    rs.moveFirst();
    return rs.text(QStringLiteral("Year"));
}

QByteArray saved(int n)
{
    SaveRun run;
    run.backupMade = true;   // the backup copy is no part of what is checked here
    if (!Mdb2Csv(storedYear(), setup->saved[n], setup->saved[n] + QStringLiteral(".bak"), run).ok)
        fail("the save of a loaded file failed");
    return bytesOf(setup->saved[n]);
}

// A saved file's lines as a load reads them back, where that is not as they
// stand: the load fills in an empty group code as 0000 and pads a district to
// two characters (an empty district field gave "0"); the group totals are left
// out, for the first save summed the amounts as loaded, which may lie between
// cents, and the later ones the amounts as written.
QList<QByteArray> asReadBack(const QByteArray& bytes)
{
    QList<QByteArray> out;
    bool payments = false;
    for (QByteArray line : bytes.split('\n')) {
        if (line.startsWith("MORTGAGE NUMBER,")) {
            payments = true;
        } else if (line == "\r") {
            payments = false;
        } else if (payments) {
            QList<QByteArray> fields = line.split(',');
            if (fields.size() > 2 && fields[2].size() < 2)
                fields[2] = fields[2].rightJustified(2, '0');
            line = fields.join(',');
        } else if (line.startsWith("Payment Amount,")) {
            continue;
        } else if (line == "Group #,\r") {
            line.insert(line.size() - 1, "0000");
        }
        out << line;
    }
    return out;
}

} // namespace

// Each load reads its file in large blocks; AddressSanitizer would clear the
// shadow of each block by mapping it anew, which costs more than the load.
extern "C" const char* __asan_default_options()
{
    return "clear_shadow_mmap_threshold=1073741824";
}

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    setup = new Setup;
    setup->app = std::make_unique<QCoreApplication>(*argc, *argv);
    const QString shm = QStringLiteral("/dev/shm");
    setup->dir = QFileInfo(shm).isWritable()
                     ? std::make_unique<QTemporaryDir>(shm + QStringLiteral("/zarv-fuzz-XXXXXX"))
                     : std::make_unique<QTemporaryDir>();
    QString error;
    if (!setup->dir->isValid() || !createDatabases(setup->dir->path(), &error))
        fail("cannot make the databases");
    installDE(std::make_unique<DataEnvironment>(setup->dir->path(), QStringLiteral("zarv")));
    if (!DE().DataEnvironment_Initialize())
        fail("cannot open the databases");
    ui::install(&setup->ui);
    std::atexit([] {
        takeDE().reset();
        ui::install(nullptr);
        delete setup;   // and with it the folder
    });
    const QDir dir(setup->dir->path());
    setup->input = dir.filePath(QStringLiteral("Zarvdata.csv"));
    for (int i = 0; i < 3; ++i)
        setup->saved[i] = dir.filePath(QStringLiteral("Saved%1.csv").arg(i));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The year of an earlier input is no part of this one.
    DE().Zarv.execute(QStringLiteral("DELETE FROM ZarvSystem"));
    if (DE().rsZarvSystem().isOpen())
        DE().rsZarvSystem().requery();
    {
        QFile f(setup->input);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)
            || f.write(reinterpret_cast<const char*>(data), qint64(size)) != qint64(size))
            fail("cannot write the input");
    }
    if (!loaded(setup->input))
        return 0;
    const QByteArray first = saved(0);
    // A saved file that happens to be valid UTF-8 with characters beyond ASCII
    // (the input's "\xC3\x89" read as Windows-1252) is read as UTF-8 by design.
    fs::CsvReader asRead;
    asRead.open(first);
    if (asRead.encoding() != fs::CsvReader::Encoding::Windows1252)
        return 0;
    if (!load(setup->saved[0]))
        failShowing("the program's own file does not load again");
    // Payments the load told apart may meet once the district is padded.
    const bool merged = DupFoliosFound;
    const QByteArray second = saved(1);
    if (!loaded(setup->saved[1]))
        failShowing("the program's own file does not load again, or with a payment repeated");
    if (saved(2) != second)
        fail("a saved file loads and saves to other bytes");
    if (!merged && asReadBack(first) != asReadBack(second))
        fail("the first save reads back to other lines");
    return 0;
}
