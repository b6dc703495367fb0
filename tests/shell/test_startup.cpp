// Starting the program: one running copy, the database check before anything is
// shown, then the start screen with the drivers it is given.
#include "shell_fixture.h"

#include "shell/formparts.h"
#include "shell/startup.h"

#include "platform/data/textrule.h"
#include "services/schema.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <sqlite3.h>
#include <QPushButton>
#include <QTemporaryDir>
#include <optional>
#include <unistd.h>

using namespace zarv;
using namespace zarv::test;
using ui::Buttons;
using ui::Icon;

namespace {

using StartupTest = ShellTest;

ui::ExpectedBox alreadyRunning(const QString& folder)
{
    return box(ui::containing(QStringLiteral("ZARV application is already running on the data folder ") + folder),
               ui::Answer::OK, Icon::Information, Buttons::OK, QStringLiteral("ZARV"));
}

// The lock lives in the data folder itself, so two programs started from
// different logins (each with its own runtime folder) still meet there.
TEST_F(StartupTest, ASecondCopyOnTheSameDataFolderIsRefusedNamingTheFolderAndSinceWhen)
{
    qputenv("XDG_RUNTIME_DIR", path(QStringLiteral("first-login")).toLocal8Bit());
    StartedProgram first = StartZarv(programOptions());
    ASSERT_NE(first.startScreen, nullptr);

    qputenv("XDG_RUNTIME_DIR", path(QStringLiteral("second-login")).toLocal8Bit());
    ui().expectBox(alreadyRunning(folder()));
    StartedProgram second = StartZarv(programOptions());
    qunsetenv("XDG_RUNTIME_DIR");
    EXPECT_EQ(second.startScreen, nullptr);
    EXPECT_EQ(second.lock, nullptr);
    EXPECT_TRUE(ui().ending());
    EXPECT_EQ(ui().exitCode(), 0);
    ASSERT_TRUE(second.inUse.has_value());
    EXPECT_EQ(second.inUse->folder, folder());
    EXPECT_EQ(second.inUse->holder.pid, ::getpid());
    EXPECT_LE(second.inUse->holder.since.secsTo(QDateTime::currentDateTime()), 60);
    const QString told = ui().boxes().at(0).prompt;
    EXPECT_TRUE(told.contains(QStringLiteral("in use by zarv (process %1 on ").arg(::getpid()))) << told.toStdString();
    EXPECT_TRUE(told.contains(QStringLiteral(" since "))) << told.toStdString();

    // Once the first has ended, the next copy starts.
    first = StartedProgram();
    ui().reset();
    StartedProgram third = StartZarv(programOptions());
    EXPECT_NE(third.startScreen, nullptr);
    EXPECT_FALSE(ui().ending());
}

TEST(StartupDeathTest, ACopyThatCrashedLeavesNoStaleLock)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // The dying copy runs this test again up to the statement below: it finds
    // the parent's data folder in the environment instead of making its own.
    const char* const kFolderVariable = "ZARV_TEST_LOCK_FOLDER";
    std::optional<QTemporaryDir> own;
    if (qEnvironmentVariableIsEmpty(kFolderVariable)) {
        own.emplace();
        qputenv(kFolderVariable, own->path().toLocal8Bit());
    }
    const QString folder = qEnvironmentVariable(kFolderVariable);

    // The copy holds the lock and dies without releasing it: its name stays in the file.
    EXPECT_EXIT(
        {
            std::unique_ptr<fs::FolderLock> lock = claimDataFolder(folder, QStringLiteral("zarv"), nullptr);
            if (!lock)
                ::_exit(3);
            (void)lock.release();
            ::_exit(0);
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_GT(QFileInfo(fs::FolderLock::filePath(folder)).size(), 0);

    // The next copy takes the lock over.
    EXPECT_NE(claimDataFolder(folder, QStringLiteral("zarv"), nullptr), nullptr);
    qunsetenv(kFolderVariable);
}

TEST_F(StartupTest, ALockHeldByALivingCopyIsNeverTakenOverByAge)
{
    auto first = claimDataFolder(folder(), QStringLiteral("zarv"), nullptr);
    ASSERT_NE(first, nullptr);
    // However old its lock file is, a running copy keeps it.
    QFile f(fs::FolderLock::filePath(folder()));
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.setFileTime(QDateTime::currentDateTime().addDays(-2), QFileDevice::FileModificationTime));
    f.close();
    ui().expectBox(alreadyRunning(folder()));
    EXPECT_EQ(claimDataFolder(folder(), QStringLiteral("zarv"), nullptr), nullptr);
    // Released, it names no one.
    first.reset();
    EXPECT_EQ(QFileInfo(fs::FolderLock::filePath(folder())).size(), 0);
}

// A database damaged on disk: named, kept aside under a dated name, and new
// ones made, so that the clerk can load the file again; the reference rows
// that can still be read are kept.
TEST_F(StartupTest, ADamagedDatabaseIsNamedSetAsideAndRenewed)
{
    const auto rows = [](const QString& file, const char* sql) {
        sqlite3* db = nullptr;
        sqlite3_open(file.toUtf8().constData(), &db);
        sqlite3_stmt* st = nullptr;
        long long n = -1;
        if (sqlite3_prepare_v2(db, sql, -1, &st, nullptr) == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW)
            n = sqlite3_column_int64(st, 0);
        sqlite3_finalize(st);
        sqlite3_close(db);
        return n;
    };
    struct Case {
        const char* database;
        bool cut;       // cut to half; else 4 KB of garbage in its middle
    } cases[] = {{"Zarv.mdb", true}, {"Zarv.mdb", false}, {"ZarvDb.mdb", false}, {"ZarvDb.mdb", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.database) + (c.cut ? " cut" : " garbage"));
        takeDE().reset();
        ui().reset();
        QTemporaryDir program;
        ASSERT_TRUE(createDatabases(program.path()));
        // Enough rows in both to span many pages.
        for (const char* name : {"Zarv.mdb", "ZarvDb.mdb"}) {
            sqlite3* db = nullptr;
            ASSERT_EQ(sqlite3_open(program.filePath(QLatin1String(name)).toUtf8().constData(), &db), SQLITE_OK);
            db::detail::registerTextRule(db);
            const char* fill = QByteArray(name) == "Zarv.mdb"
                ? "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 3000) "
                  "INSERT INTO Detail (MORTCO, NUMBER, NAME) SELECT '0104', i, 'OWNER ' || i FROM n"
                : "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 3000) "
                  "INSERT INTO FolioMask (JUR_CD, YEAR, FOLIO_LEN, FOLIO_MASK) "
                  "SELECT printf('%03d', i % 1000), '2026', 9, '###-###-###' FROM n";
            ASSERT_EQ(sqlite3_exec(db, fill, nullptr, nullptr, nullptr), SQLITE_OK);
            sqlite3_close(db);
        }
        const QString file = program.filePath(QLatin1String(c.database));
        // The garbage starts a page in the middle of the file.
        const QByteArray header = readFile(file).left(18);
        const qint64 pageSize = (uchar(header[16]) << 8) | uchar(header[17]);
        QFile damaged(file);
        ASSERT_TRUE(damaged.open(QIODevice::ReadWrite));
        ASSERT_TRUE(c.cut ? damaged.resize(damaged.size() / 2)
                          : damaged.seek(damaged.size() / 2 / pageSize * pageSize)
                                && damaged.write(QByteArray(4096, '\x5a')) == 4096);
        damaged.close();

        StartOptions o = programOptions();
        o.programFolder = program.path();
        ui().expectBox(box(ui::containing(QStringLiteral("The database %1 is damaged (").arg(file)), ui::Answer::OK,
                           Icon::Exclamation));
        StartedProgram started = StartZarv(o);
        EXPECT_NE(started.startScreen, nullptr);
        EXPECT_FALSE(ui().ending());
        EXPECT_TRUE(ui().allExpectationsMet()) << ui().report().toStdString();

        const QStringList aside = QDir(program.path()).entryList({QStringLiteral("*.damaged.*.mdb")}, QDir::Files);
        ASSERT_EQ(aside.size(), 1) << aside.join(' ').toStdString();
        EXPECT_TRUE(ui().boxes().at(0).prompt.contains(QStringLiteral("It is kept as ") + program.filePath(aside[0])));
        EXPECT_TRUE(databaseDamage(file).isEmpty());
        EXPECT_EQ(rows(file, "SELECT count(*) FROM sqlite_master WHERE type = 'table'"),
                  QByteArray(c.database) == "Zarv.mdb" ? 9 : 2);
        if (QByteArray(c.database) == "ZarvDb.mdb") {
            // Garbage over one page loses that page's rows only; a file cut short may keep none.
            const long long kept = rows(file, "SELECT count(*) FROM FolioMask");
            EXPECT_GT(kept, c.cut ? -1 : 0);
            EXPECT_LT(kept, 3000);
        }
        // The next start finds nothing to say.
        started = StartedProgram();
        takeDE().reset();
        ui().reset();
        EXPECT_NE(StartZarv(o).startScreen, nullptr);
        EXPECT_TRUE(ui().boxes().empty());
    }
    ui().reset();
}

// A database that is missing or empty is named, by the name the program
// knows it by, with its full path, in the one box shown.
TEST_F(StartupTest, AMissingDatabaseEndsTheProgramBeforeAnythingIsShown)
{
    struct Case {
        const char* missing;
        bool empty;             // left as a zero-length file instead
        const char* named;
    } cases[] = {
        {"Zarv.mdb", false, "Zarv.mdb"},
        {"Zarv.mdb", true, "Zarv.mdb"},
        {"ZarvDb.mdb", false, "ZarvDb.mdb"},
        {"label.mdb", false, "Label.mdb"},
        {"label.mdb", true, "Label.mdb"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.missing) + (c.empty ? " empty" : ""));
        takeDE().reset();
        ui().reset();
        QTemporaryDir program;
        ASSERT_TRUE(createDatabases(program.path()));
        const QString missing = program.filePath(QLatin1String(c.missing));
        QFile::remove(missing);
        if (c.empty)
            QFile(missing).open(QIODevice::WriteOnly);
        StartOptions o = programOptions();
        o.programFolder = program.path();
        ui().expectBox(box(QStringLiteral("SEVERE ERROR - The %1 file is missing: %2")
                               .arg(QLatin1String(c.named), missing),
                           ui::Answer::OK, Icon::Critical, Buttons::OK, ui::UiServices::appTitle()));
        StartedProgram started = StartZarv(o);
        EXPECT_EQ(started.startScreen, nullptr);
        EXPECT_TRUE(ui().ending());
        EXPECT_EQ(ui().exitCode(), 1);
        EXPECT_TRUE(ui().clean()) << ui().report().toStdString();
        EXPECT_EQ(ui().boxes().size(), 1u);
    }
    ui().reset();
}


// A file given at start (a file manager's "open with"): once the program runs,
// a workbook starts the verification run and any other file the payment run,
// chosen in the lists as the clerk would; a file that is not there starts
// nothing and says so.
TEST_F(StartupTest, AFileGivenAtStartStartsItsRunOnceTheProgramRuns)
{
    QDir().mkpath(path(QStringLiteral("mail")));
    writeFile(QStringLiteral("mail/Zarvdata.csv"), "ZARV,2024\r\n");
    writeFile(QStringLiteral("mail/MortNo1234.XLSX"), "PK");
    struct Case {
        QString file;
        QString run;        // "payment", "verification" or "" for none
    };
    const std::vector<Case> cases = {
        {path(QStringLiteral("mail/Zarvdata.csv")), QStringLiteral("payment")},
        {path(QStringLiteral("mail/MortNo1234.XLSX")), QStringLiteral("verification")},
        {path(QStringLiteral("mail/missing.csv")), QString()},
    };
    for (const Case& c : cases) {
        QString ran, chosen;
        StartOptions o = programOptions();
        o.openFile = c.file;
        o.paymentRun = [&](ZarvPayment& s) { ran = QStringLiteral("payment"), chosen = joinPath(s.Dir->path(), s.File->fileName()); };
        o.verificationRun = [&](ZarvPayment& s) { ran = QStringLiteral("verification"), chosen = joinPath(s.Dir->path(), s.File->fileName()); };
        StartedProgram started = StartZarv(o);
        ASSERT_NE(started.startScreen, nullptr);
        EXPECT_TRUE(ran.isEmpty()) << "the run waits for the program to run";
        QCoreApplication::processEvents();
        EXPECT_EQ(ran, c.run) << c.file.toStdString();
        if (c.run.isEmpty())
            EXPECT_EQ(started.startScreen->Text_Msg->text(), QDir::toNativeSeparators(c.file) + " file not found");
        else
            EXPECT_EQ(QFileInfo(chosen).canonicalFilePath(), QFileInfo(c.file).canonicalFilePath());
    }
}

} // namespace
