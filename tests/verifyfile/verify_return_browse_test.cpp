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

} // namespace
} // namespace zarv::test
