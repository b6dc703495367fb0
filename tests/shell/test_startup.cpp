// Starting the program: one running copy, the database check before anything is
// shown, then the start screen with the drivers it is given.
#include "shell_fixture.h"

#include "shell/formparts.h"
#include "shell/startup.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLineEdit>
#include <QLockFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <optional>
#include <unistd.h>

using namespace zarv;
using namespace zarv::test;
using ui::Buttons;
using ui::Icon;

namespace {

class StartupTest : public ShellTest {
protected:
    StartOptions options() const
    {
        StartOptions o;
        o.programFolder = folder();
        o.programName = QStringLiteral("zarv");
        o.lockFolder = locks_.path();
        o.show = false;
        return o;
    }
    QTemporaryDir locks_;
};

const ui::ExpectedBox kAlreadyRunning = box(QStringLiteral("ZARV application is already running"), ui::Answer::OK,
                                             Icon::Information, Buttons::OK, QStringLiteral("ZARV"));

TEST_F(StartupTest, StartsAtTheStartScreenOverTheProgramsDatabases)
{
    StartedProgram started = StartZarv(options());
    ASSERT_NE(started.startScreen, nullptr);
    EXPECT_FALSE(ui().ending());
    EXPECT_EQ(DE().programFolder(), folder());
    EXPECT_EQ(started.startScreen->objectName(), QStringLiteral("ZarvPayment"));
    EXPECT_FALSE(started.startScreen->Command_OK->isEnabled());
    EXPECT_TRUE(ui().boxes().empty());
}

TEST_F(StartupTest, ASecondCopyIsRefusedWhileTheFirstRuns)
{
    StartedProgram first = StartZarv(options());
    ASSERT_NE(first.startScreen, nullptr);

    ui().expectBox(kAlreadyRunning);
    StartedProgram second = StartZarv(options());
    EXPECT_EQ(second.startScreen, nullptr);
    EXPECT_EQ(second.lock, nullptr);
    EXPECT_TRUE(ui().ending());
    EXPECT_EQ(ui().exitCode(), 0);

    // Once the first has ended, the next copy starts.
    first = StartedProgram();
    ui().reset();
    StartedProgram third = StartZarv(options());
    EXPECT_NE(third.startScreen, nullptr);
    EXPECT_FALSE(ui().ending());
}

TEST_F(StartupTest, TheDefaultLockFolderIsUsableAndPrivate)
{
    const QString folder = defaultLockFolder();
    ASSERT_FALSE(folder.isEmpty());
    EXPECT_TRUE(QFileInfo(folder).isDir());
    EXPECT_TRUE(QFileInfo(folder).isWritable());
}

TEST(StartupDeathTest, ACopyThatCrashedLeavesNoStaleLock)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // The dying copy runs this test again up to the statement below: it finds
    // the parent's lock folder in the environment instead of making its own.
    const char* const kFolderVariable = "ZARV_TEST_LOCK_FOLDER";
    std::optional<QTemporaryDir> own;
    if (qEnvironmentVariableIsEmpty(kFolderVariable)) {
        own.emplace();
        qputenv(kFolderVariable, own->path().toLocal8Bit());
    }
    const QString lockFolder = qEnvironmentVariable(kFolderVariable);

    // The copy holds the lock and dies without releasing it.
    EXPECT_EXIT(
        {
            std::unique_ptr<QLockFile> lock = claimSingleInstance(lockFolder);
            if (!lock)
                ::_exit(3);
            (void)lock.release();
            ::_exit(0);
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_TRUE(QFileInfo::exists(QDir(lockFolder).filePath(QStringLiteral("zarv.lock"))));

    // The next copy takes the lock over.
    EXPECT_NE(claimSingleInstance(lockFolder), nullptr);
    qunsetenv(kFolderVariable);
}

TEST_F(StartupTest, ALockHeldByALivingCopyIsNeverTakenOverByAge)
{
    auto first = claimSingleInstance(locks_.path());
    ASSERT_NE(first, nullptr);
    // However old its lock file is, a running copy keeps it.
    const QString lockFile = locks_.filePath(QStringLiteral("zarv.lock"));
    QFile f(lockFile);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.setFileTime(QDateTime::currentDateTime().addDays(-2), QFileDevice::FileModificationTime));
    f.close();
    EXPECT_EQ(claimSingleInstance(locks_.path()), nullptr);
}

TEST_F(StartupTest, AMissingDatabaseEndsTheProgramBeforeAnythingIsShown)
{
    struct Case {
        const char* missing;
        const char* programName;
        const char* message;
    } cases[] = {
        {"Zarv.mdb", "zarv", "SEVERE ERROR - The Zarv.mdb file is missing: "},
        {"ZarvDb.mdb", "zarv", "SEVERE ERROR - The ZarvDb.mdb file is missing: "},
        {"label.mdb", "zarv", "SEVERE ERROR - The Label.mdb file is missing: "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.missing);
        takeDE().reset();
        ui().reset();
        QTemporaryDir program;
        ASSERT_TRUE(QFile::copy(path(QStringLiteral("Zarv.mdb")), program.filePath(QStringLiteral("Zarv.mdb"))));
        ASSERT_TRUE(QFile::copy(path(QStringLiteral("ZarvDb.mdb")), program.filePath(QStringLiteral("ZarvDb.mdb"))));
        ASSERT_TRUE(QFile::copy(path(QStringLiteral("label.mdb")), program.filePath(QStringLiteral("label.mdb"))));
        QFile::remove(program.filePath(QLatin1String(c.missing)));
        StartOptions o = options();
        o.programFolder = program.path();
        o.programName = QLatin1String(c.programName);
        ui().expectBox(box(QString::fromLatin1(c.message) + program.filePath(QLatin1String(c.missing)),
                           ui::Answer::OK, Icon::Critical));
        StartedProgram started = StartZarv(o);
        EXPECT_EQ(started.startScreen, nullptr);
        EXPECT_TRUE(ui().ending());
        EXPECT_EQ(ui().exitCode(), 1);
        EXPECT_TRUE(ui().allExpectationsMet()) << ui().report().toStdString();
    }
    ui().reset();
}

TEST_F(StartupTest, TheDriversGivenAtStartAreBehindTheButtons)
{
    int runs = 0;
    StartOptions o = options();
    o.paymentRun = [&](ZarvPayment&) { ++runs; };
    StartedProgram started = StartZarv(o);
    ASSERT_NE(started.startScreen, nullptr);
    EXPECT_TRUE(started.startScreen->Command_OK->isEnabled());
    EXPECT_FALSE(started.startScreen->Command_VERIFY_OK->isEnabled());
    started.startScreen->Command_OK->click();
    EXPECT_EQ(runs, 1);
}

} // namespace

namespace {

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
        StartOptions o = options();
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
