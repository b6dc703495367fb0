// Starting the program: one running copy, the database check before anything is
// shown, then the start screen with the drivers it is given.
#include "shell_fixture.h"

#include "shell/startup.h"

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
