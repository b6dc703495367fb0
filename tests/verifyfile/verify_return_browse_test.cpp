// The receiving screen's Browse: the standard file dialog at the folder shown;
// the workbook chosen loads at once, as a click on it in the list does.
#include "verify_return_support.h"

#include "platform/forms/filelists.h"
#include "platform/grid/recordsetgrid.h"

#include <QPushButton>

namespace zarv::test {
namespace {

// Browse opens at the folder shown and loads the workbook chosen. The screen
// opens where the clerk last chose a workbook, kept in the user's settings file
// (its notes and other keys left as they were); a folder used last that is gone
// gives the e-mail folder again, then the home folder.
TEST_F(ReturnScreenTest, BrowseOpensAtTheFolderShownAndTheScreenStartsInTheFolderAWorkbookWasChosenFromLast)
{
    const QString other = path("returned, \"2024\"; Björk");
    QDir().mkpath(other);
    writeBook(other + "/MortNo4321.xlsx",
              Book{mortgageRows({" |1234|100200300|01|701|000000000000012345||ANNA BERG|12 HARBOUR ROAD"})});

    Verify_Return& s = open();
    ASSERT_EQ(s.Dir->path(), emailFolder());
    ASSERT_TRUE(s.Dir->setPath(other));
    closeScreen();
    EXPECT_EQ(open().Dir->path(), emailFolder()) << "a folder only looked into is not the one used";

    ui().expectFileBox(ui::containing("Mortgage Number Verification file"), std::nullopt);
    screen().Command_Browse->click();
    ASSERT_EQ(ui().fileBoxes().size(), 1u);
    EXPECT_EQ(ui().fileBoxes()[0].folder, emailFolder());
    EXPECT_EQ(screen().Dir->path(), emailFolder());
    EXPECT_EQ(screen().List_Msg->count(), 0);

    ui().expectFileBox(ui::TextMatch::any(), other + "/MortNo4321.xlsx");
    screen().Command_Browse->click();
    EXPECT_EQ(screen().Dir->path(), other);
    EXPECT_EQ(screen().File->fileName(), QStringLiteral("MortNo4321.xlsx"));
    EXPECT_EQ(screen().VerifyFilePath, other + "/MortNo4321.xlsx");
    EXPECT_FALSE(screen().TDBGrid_Verify->isHidden());
    ASSERT_EQ(tableCount("VERIFY"), 1);
    // A workbook gone by the time it is chosen (or given at start) is named.
    const QString gone = other + "/MortNo0.xlsx";
    ui().expectFileBox(ui::TextMatch::any(), gone);
    screen().Command_Browse->click();
    EXPECT_EQ(lines().last(), "File not found: " + QDir::toNativeSeparators(gone));
    closeScreen();
    EXPECT_EQ(QDir(fs::Settings::instance().verifiedFolder()), QDir(path("verified")));
    EXPECT_EQ(fs::Settings::instance().emailFolder(), emailFolder());
    Verify_Return& again = open();
    EXPECT_EQ(again.Dir->path(), other);
    EXPECT_EQ(again.File->path(), other);
    EXPECT_EQ(again.Drive->drive(), again.Drive->driveOf(other));

    ASSERT_TRUE(QDir(other).removeRecursively());
    EXPECT_EQ(open().Dir->path(), emailFolder());
    ASSERT_TRUE(QDir(emailFolder()).removeRecursively());
    EXPECT_EQ(open().Dir->path(), QDir::homePath());
}

} // namespace
} // namespace zarv::test
