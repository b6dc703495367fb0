// Starting the receiving program: one running ZARV program at a time (the
// main program included), the database check, then the receiving screen.
#include "verify_return_support.h"

#include "services/dataenvironment.h"
#include "shell/receivestartup.h"
#include "shell/startup.h"

#include <QFile>
#include <QLockFile>
#include <QTemporaryDir>

namespace zarv::test {
namespace {

class ReceiveStartup : public ReturnScreenTest {
protected:
    ReceiveOptions options() const
    {
        ReceiveOptions o;
        o.programFolder = folder();
        o.programName = "zarvreceive";
        o.lockFolder = locks_.path();
        o.show = false;
        return o;
    }
    QTemporaryDir locks_;
};

TEST_F(ReceiveStartup, OpensTheReceivingScreenOverTheProgramsDatabases)
{
    addVerifyRow(" |1234|1|01|701|1");
    StartedReceive started = StartReceive(options());
    ASSERT_NE(started.screen, nullptr);
    EXPECT_FALSE(ui().ending());
    EXPECT_EQ(DE().programFolder(), folder());
    EXPECT_EQ(started.screen->objectName(), "Verify_Return");
    EXPECT_EQ(tableCount("VERIFY"), 0);
    EXPECT_TRUE(ui().boxes().empty());
}

TEST_F(ReceiveStartup, RefusesToRunBesideAnotherZarvProgram)
{
    const ui::ExpectedBox running{"ZARV application is already running", ui::Answer::OK, ui::Icon::Information,
                                  ui::Buttons::OK, ui::UiServices::appTitle()};
    // The main program holds the lock.
    {
        std::unique_ptr<QLockFile> zarv = claimSingleInstance(locks_.path());
        ASSERT_NE(zarv, nullptr);
        ui().expectBox(running);
        StartedReceive refused = StartReceive(options());
        EXPECT_EQ(refused.screen, nullptr);
        EXPECT_EQ(refused.lock, nullptr);
        EXPECT_TRUE(ui().ending());
        EXPECT_EQ(ui().exitCode(), 0);
    }
    ui().reset();

    // A receiving program runs: the next one is refused, and so is zarv.
    StartedReceive first = StartReceive(options());
    ASSERT_NE(first.screen, nullptr);
    EXPECT_EQ(claimSingleInstance(locks_.path()), nullptr);
    ui().expectBox(running);
    EXPECT_EQ(StartReceive(options()).screen, nullptr);
    ui().reset();

    // Once it has ended, the next copy starts.
    first = StartedReceive();
    EXPECT_NE(StartReceive(options()).screen, nullptr);
}

TEST_F(ReceiveStartup, AMissingDatabaseEndsTheProgramBeforeAnythingIsShown)
{
    for (const char* missing : {"Zarv.mdb", "ZarvDb.mdb"}) {
        SCOPED_TRACE(missing);
        takeDE().reset();
        ui().reset();
        QTemporaryDir program;
        for (const char* db : {"Zarv.mdb", "ZarvDb.mdb", "label.mdb"})
            ASSERT_TRUE(QFile::copy(path(db), program.filePath(db)));
        QFile::remove(program.filePath(missing));
        ReceiveOptions o = options();
        o.programFolder = program.path();
        ui().expectBox(criticalBox(QString("SEVERE ERROR - The %1 file is missing: %2")
                                       .arg(QString::fromLatin1(missing), program.filePath(missing))));
        StartedReceive started = StartReceive(o);
        EXPECT_EQ(started.screen, nullptr);
        EXPECT_TRUE(ui().ending());
        EXPECT_EQ(ui().exitCode(), 1);
        EXPECT_TRUE(ui().allExpectationsMet()) << ui().report().toStdString();
    }
    ui().reset();
}

} // namespace
} // namespace zarv::test
