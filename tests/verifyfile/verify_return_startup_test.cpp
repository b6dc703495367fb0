// Starting the receiving program: one running ZARV program at a time (the
// main program included), then the receiving screen.
#include "verify_return_support.h"

#include "services/dataenvironment.h"
#include "shell/receivestartup.h"
#include "shell/startup.h"


namespace zarv::test {
namespace {

class ReceiveStartup : public ReturnScreenTest {
protected:
    ReceiveOptions options() const
    {
        ReceiveOptions o;
        o.programFolder = folder();
        o.programName = "zarvreceive";
        o.show = false;
        return o;
    }
};

// The receiving screen opens over the program's databases, unless another
// ZARV program works on the same data folder.
TEST_F(ReceiveStartup, OpensTheReceivingScreenUnlessAnotherZarvProgramWorksOnTheSameDataFolder)
{
    const ui::ExpectedBox running =
        infoBox(ui::containing("ZARV application is already running on the data folder " + folder()));
    // The main program holds the folder.
    {
        std::unique_ptr<fs::FolderLock> zarv = claimDataFolder(folder(), "zarv", nullptr);
        ASSERT_NE(zarv, nullptr);
        ui().expectBox(running);
        StartedReceive refused = StartReceive(options());
        EXPECT_EQ(refused.screen, nullptr);
        EXPECT_EQ(refused.lock, nullptr);
        ASSERT_TRUE(refused.inUse.has_value());
        EXPECT_EQ(refused.inUse->folder, folder());
        EXPECT_EQ(refused.inUse->holder.program, "zarv");
        EXPECT_TRUE(ui().ending());
        EXPECT_EQ(ui().exitCode(), 0);
    }
    ui().reset();

    // A receiving program runs: the next one is refused, and so is zarv.
    addVerifyRow(" |1234|1|01|701|1");
    StartedReceive first = StartReceive(options());
    ASSERT_NE(first.screen, nullptr);
    EXPECT_FALSE(ui().ending());
    EXPECT_EQ(DE().programFolder(), folder());
    EXPECT_EQ(first.screen->objectName(), "Verify_Return");
    EXPECT_EQ(tableCount("VERIFY"), 0);
    EXPECT_TRUE(ui().boxes().empty());
    ui().expectBox(box(ui::containing("in use by zarvreceive")));
    EXPECT_EQ(claimDataFolder(folder(), "zarv", nullptr), nullptr);
    ui().expectBox(running);
    EXPECT_EQ(StartReceive(options()).screen, nullptr);
    ui().reset();

    // Once it has ended, the next copy starts.
    first = StartedReceive();
    EXPECT_NE(StartReceive(options()).screen, nullptr);
}

} // namespace
} // namespace zarv::test
