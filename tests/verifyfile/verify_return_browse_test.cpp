// The receiving screen's Browse: the standard file dialog at the folder shown;
// the workbook chosen loads at once, as a click on it in the list does.
#include "verify_return_support.h"

#include "platform/forms/filelists.h"
#include "platform/grid/recordsetgrid.h"

#include <QPushButton>

namespace zarv::test {
namespace {

TEST_F(ReturnScreenTest, BrowseOpensAtTheFolderShownAndLoadsTheWorkbookChosen)
{
    const QString other = path("returned");
    QDir().mkpath(other);
    writeBook(other + "/MortNo4321.xlsx",
              Book{mortgageRows({" |1234|100200300|01|701|000000000000012345||ANNA BERG|12 HARBOUR ROAD"})});
    Verify_Return& s = open();
    const QString shown = s.Dir->path();

    ui().expectFileBox(ui::containing("Mortgage Number Verification file"), std::nullopt);
    s.Command_Browse->click();
    ASSERT_EQ(ui().fileBoxes().size(), 1u);
    EXPECT_EQ(ui().fileBoxes()[0].folder, shown);
    EXPECT_EQ(s.Dir->path(), shown);
    EXPECT_EQ(s.List_Msg->count(), 0);

    ui().expectFileBox(ui::TextMatch::any(), other + "/MortNo4321.xlsx");
    s.Command_Browse->click();
    EXPECT_EQ(s.Dir->path(), other);
    EXPECT_EQ(s.File->fileName(), QStringLiteral("MortNo4321.xlsx"));
    EXPECT_EQ(s.VerifyFilePath, other + "/MortNo4321.xlsx");
    EXPECT_FALSE(s.TDBGrid_Verify->isHidden());
    EXPECT_EQ(tableCount("VERIFY"), 1);
}

// The screen opens where the clerk last chose a workbook, kept in the user's
// settings file (its notes and other keys left as they were); a folder used
// last that is gone gives the e-mail folder again, then the home folder.
TEST_F(ReturnScreenTest, TheScreenStartsInTheFolderAWorkbookWasChosenFromLast)
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

    open().Dir->setPath(other);
    load("MortNo4321.xlsx");
    ASSERT_EQ(tableCount("VERIFY"), 1);
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
