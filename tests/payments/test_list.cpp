// The payment list: its sort orders that outlive the screen, the export and the
// printed report.
#include "screens_support.h"

#include "paymentfile/screens/DetailReport.h"
#include "payments/Detail.h"
#include "payments/Group.h"
#include "payments/paymentrules.h"
#include "platform/data/recordset.h"
#include "platform/grid/recordsetgrid.h"
#include "services/dataenvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

using namespace zarv;
using namespace zarv::test;

namespace {

class ListTest : public GroupScreenTest {};

struct SortCase {
    const char* option;
    const char* source;
    QStringList names;      // group 0042, top to bottom
};

void PrintTo(const SortCase& c, std::ostream* os)
{
    *os << c.option;
}

class SortTest : public ListTest, public ::testing::WithParamInterface<SortCase> {};

TEST_P(SortTest, TheOrderOutlivesTheListAndHoldsForEveryGroup)
{
    const SortCase c = GetParam();
    openList(*group, "0042", [&](Detail& list) {
        clickRow(list.TDBGrid, 1);
        list.Text_Msg->setText("something");
        auto* option = list.findChild<QRadioButton*>(QLatin1String(c.option));
        ASSERT_NE(option, nullptr);
        clerk::click(option);
        EXPECT_EQ(list.Text_Msg->text(), "");
        EXPECT_EQ(listNames(list), c.names);
        EXPECT_EQ(list.TDBGrid->currentRowIndex(), 0);
        EXPECT_EQ(currentName(list), c.names.front());
    });
    EXPECT_EQ(DE().rsDetail().source(), c.source);
    EXPECT_EQ(folioCount("0042"), 3);
    EXPECT_DOUBLE_EQ(totalPay("0042"), 1850.49);

    // Open again, for this group and another: the same order, its option selected.
    openList(*group, "0042", [&](Detail& list) {
        EXPECT_TRUE(list.findChild<QRadioButton*>(QLatin1String(c.option))->isChecked());
        EXPECT_EQ(listNames(list), c.names);
        EXPECT_EQ(currentName(list), c.names.front());
    });
    openList(*group, "0077", [&](Detail& list) {
        EXPECT_TRUE(list.findChild<QRadioButton*>(QLatin1String(c.option))->isChecked());
        EXPECT_EQ(list.TDBGrid->recordsetModel()->rowCount(), 2);
    });
    EXPECT_EQ(folioCount("0077"), 2);
    EXPECT_EQ(group->Label_Total->text(), "4,860.49");
}

INSTANTIATE_TEST_SUITE_P(
    Orders, SortTest,
    ::testing::Values(
        SortCase{"Option_Sort_CD", "SELECT * FROM Detail ORDER BY MORTCO, CD, JUR, FOLIO", {"OWNER NAME", "ADAMS", "BROWN"}},
        SortCase{"Option_Sort_JUR", "SELECT * FROM Detail ORDER BY MORTCO, JUR, FOLIO", {"OWNER NAME", "ADAMS", "BROWN"}},
        SortCase{"Option_Sort_Mortgage", "SELECT * FROM Detail ORDER BY MORTCO, NUMBER", {"OWNER NAME", "BROWN", "ADAMS"}},
        SortCase{"Option_Sort_Name", "SELECT * FROM Detail ORDER BY MORTCO, NAME", {"ADAMS", "BROWN", "OWNER NAME"}}));

TEST_F(ListTest, TheListNeverShrinksBelowItsSmallestSize)
{
    openList(*group, "0099", [](Detail& list) {
        list.resize(100, 100);
        EXPECT_GE(list.width(), 643);
        EXPECT_GE(list.height(), 430);
    });
}

// ---------------------------------------------------------------- export

TEST_F(ListTest, ExportWritesTheGroupInTheListsOrderByteForByte)
{
    DE().Zarv.execute(QStringLiteral(
        "UPDATE Detail SET NAME = 'O''NEIL, \"JR\"', DELQ = -25.1, LEGAL = 'LOT 1' WHERE NAME = 'OWNER NAME'"));
    DE().rsDetail().requery();
    writeFile(QStringLiteral("Payments 0042.csv"), QByteArray(5000, 'x'));    // replaced, not appended to
    openList(*group, "0042", [&](Detail& list) {
        clerk::click(list.Option_Sort_Name);
        clerk::click(list.Command_Export);
        EXPECT_EQ(list.Text_Msg->text(), "Export Complete! (" + path("Payments 0042.csv") + ")");
        EXPECT_TRUE(list.Command_Export->isEnabled());
        EXPECT_EQ(QApplication::focusWidget(), list.Command_Export);
    });
    EXPECT_EQ(ui().beeps(), 1);
    EXPECT_EQ(readFile(path("Payments 0042.csv")),
              QByteArray("33333,ADAMS,01,702,11-1111,99.99,C,150.00,120.00,99.99,0.00,LOT 3\r\n"
                         "22222,BROWN,02,702,65-4321,250.50,A,250.50,0.00,0.00,0.00,LOT 2\r\n"
                         "12345,\"ONEIL, JR\",01,701,123-456-789,1500.00,B,1700.00,1500.00,1225.00,-25.10,LOT 1\r\n"));
}

// An agency code from the file may hold characters no file name can: they are
// replaced, so the export and the report are still written beside the file.
TEST_F(ListTest, AnAgencyCodeWithASlashStillNamesTheExportAndTheReport)
{
    EXPECT_EQ(Detail::exportPath("A/1"), path("Payments A_1.csv"));
    EXPECT_EQ(Detail::reportName("A/1"), "Payments A_1.pdf");
}

TEST_F(ListTest, AnExportThatCannotBeWrittenSaysSoAndAnEmptyGroupExportsAnEmptyFile)
{
    QDir(folder()).mkdir(QStringLiteral("Payments 0042.csv"));   // a folder stands where the file goes
    openList(*group, "0042", [this](Detail& list) {
        ui().expectBox(boxWith(ui::containing(path("Payments 0042.csv") + " could not be written"), ui::Icon::Critical));
        clerk::click(list.Command_Export);
        EXPECT_EQ(list.Text_Msg->text(), "Export FAILED! (" + path("Payments 0042.csv") + ")");
        EXPECT_TRUE(list.Command_Export->isEnabled());
    });
    EXPECT_EQ(ui().beeps(), 0);
    EXPECT_TRUE(QFileInfo(path("Payments 0042.csv")).isDir());
    const QStringList leftovers = QDir(folder()).entryList(QDir::Files | QDir::Hidden);
    for (const QString& f : leftovers)
        EXPECT_FALSE(f.contains(QLatin1String("Payments"))) << f.toStdString();

    // A group without payments exports an empty file.
    DE().Zarv.execute(QStringLiteral("DELETE FROM Detail WHERE MORTCO = '0099'"));
    DE().rsDetail().requery();
    openList(*group, "0099", [this](Detail& list) {
        clerk::click(list.Command_Export);
        EXPECT_EQ(list.Text_Msg->text(), "Export Complete! (" + path("Payments 0099.csv") + ")");
    });
    EXPECT_TRUE(QFileInfo(path("Payments 0099.csv")).isFile());
    EXPECT_EQ(QFileInfo(path("Payments 0099.csv")).size(), 0);
}

// ---------------------------------------------------------------- the printed report

TEST_F(ListTest, PrintingWritesTheGroupsReportAndGoesBackToTheFirstPayment)
{
    openList(*group, "0042", [&](Detail& list) {
        ui().expectPrint(QStringLiteral("Payments of Agency 0042"));
        ui().expectBox(boxWith(ui::containing(path("Payments 0042.pdf")), ui::Icon::Information));
        clickRow(list.TDBGrid, 2);
        // The report prints the group's payments only, all of them whichever row is current.
        EXPECT_EQ(DetailReport::fromRecordset(DE().rsDetail()).rows().size(), 3u);
        clickRow(list.TDBGrid, 2);
        clerk::click(list.Command_Print);
        EXPECT_EQ(list.Text_Msg->text(), "Report saved as " + path("Payments 0042.pdf"));
        EXPECT_TRUE(list.Command_Print->isEnabled());
        EXPECT_EQ(list.TDBGrid->currentRowIndex(), 0);
    });
    EXPECT_EQ(ui().beeps(), 1);
    EXPECT_GT(QFileInfo(path("Payments 0042.pdf")).size(), 0);
}

TEST_F(ListTest, AFailedPrintIsNotReportedAsPrinted)
{
    // The payment file's folder is gone: the PDF cannot be written there, and
    // goes nowhere else.
    RememberDataFile(QStringLiteral("/"), path("gone"), QStringLiteral("Zarvdata.csv"));
    openList(*group, "0042", [this](Detail& list) {
        ui().expectPrint(QStringLiteral("Payments of Agency 0042"));
        ui().expectBox(boxWith(ui::containing("could not be printed"), ui::Icon::Critical));
        clerk::click(list.Command_Print);
        EXPECT_EQ(list.Text_Msg->text(), "");
        EXPECT_TRUE(list.Command_Print->isEnabled());
    });
    EXPECT_EQ(ui().beeps(), 0);
    EXPECT_FALSE(QFileInfo::exists(path("gone")));
    EXPECT_EQ(QDir(path("elsewhere")).entryList(QDir::Files), QStringList());
}

} // namespace
