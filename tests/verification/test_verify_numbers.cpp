// The verification list as a clerk meets it: the grid, the button rule, status
// marks, sort orders, window sizes, closing, and the Verify.csv buttons.
#include "verification_support.h"

#include "platform/grid/recordsetgrid.h"
#include "platform/ui/screens/parking.h"
#include "services/screens/Form_InformationDialog.h"
#include "platform/ui/screens/screenfit.h"
#include "services/sharedstate.h"
#include "verification/screens/Verify_Number_Delete.h"
#include "verification/screens/Verify_Numbers.h"
#include "verification/verifyhelp.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>
#include <QRegularExpression>

using ui::Answer;
using ui::Buttons;
using ui::Icon;

namespace {

class ListTest : public VerificationTest {
protected:
    void SetUp() override
    {
        VerificationTest::SetUp();
        addCodes();
    }

    // The five rows most tests work on, in number order N-1 ... N-5.
    void addFive()
    {
        addVerify(" |1234|N-3|02|703|000000000000000300|300|CARL|C ST|||||LEGAL C");
        addVerify("A|1234|N-1|01|701|000000000123456789|100|ERIN|A ST|||||LEGAL E");
        addVerify("D|5678|N-4|03|704|000000000000000400|444|ANNA|D ST|||||LEGAL A");
        addVerify("C|1234|N-2|01|702|000000000000000200|200|DORA|B ST|||||LEGAL D");
        addVerify("X|5678|N-5|03|705||555|BERT|E ST|||||LEGAL B");
    }

    std::unique_ptr<Verify_Numbers> open()
    {
        auto w = std::make_unique<Verify_Numbers>();
        w->show();
        return w;
    }

    static void select(Verify_Numbers& w, int row)
    {
        static_cast<QTableView*>(w.TDBGrid)->selectRow(row);
    }
    // Change, Delete, Undelete as enabled: e.g. "-DU" for Delete and Undelete.
    static QString rowButtons(const Verify_Numbers& w)
    {
        return QString(w.Command_ChangeDetail->isEnabled() ? u'C' : u'-') +
               QString(w.Command_Inactivate->isEnabled() ? u'D' : u'-') +
               QString(w.Command_Activate->isEnabled() ? u'U' : u'-');
    }
};

// An empty list starts in mortgage number order at the first window size. It
// offers nothing that needs a row, sorts by another order (which rows that come
// in later follow) and exports an empty file.
TEST_F(ListTest, AnEmptyListStartsInNumberOrderAndOffersNothingThatNeedsARow)
{
    writeCsv("x\r\n");
    auto w = open();
    EXPECT_EQ(w->windowTitle(), QStringLiteral("ZARV (Mortgage Number Verification) - Folio List"));
    EXPECT_EQ(w->mnuACD->title(), QStringLiteral("Change Mortgage Number \"Status\""));
    EXPECT_EQ(w->mnuACD_Blank->text(), QStringLiteral("Set to \"No Change\" status"));
    EXPECT_EQ(w->Option_Sort[2]->toolTip(), QStringLiteral("Sort by"));
    // The window size choices say what they do.
    for (int i = 0; i < verifylist::kWindowLayouts; ++i)
        EXPECT_EQ(w->Option_Window[size_t(i)]->text(), QStringList({"Small", "Normal", "Large", "Largest"})[i]);
    EXPECT_EQ(w->Option3->toolTip(), QStringLiteral("1280 X 1024 Normal Sized Fonts (96 DPI) "));
    EXPECT_EQ(w->Option4->toolTip(), QStringLiteral("1600 X 1200 Normal Sized Fonts (96 DPI) "));
    EXPECT_TRUE(w->Option_Sort_Mortgage->isChecked());
    EXPECT_TRUE(w->Option_1024x768NormalSizeFont->isChecked());
    for (QAction* a : w->findChildren<QAction*>())
        EXPECT_TRUE(a->isEnabled()) << a->objectName().toStdString();
    w->EnableControls(true, true);
    EXPECT_EQ(rowButtons(*w), QStringLiteral("---"));
    EXPECT_TRUE(w->Command_Close->isEnabled());
    EXPECT_TRUE(w->Command_AddDetail->isEnabled());
    EXPECT_FALSE(w->Command_Search->isEnabled());
    // No screen opens for these without a row (an unexpected one fails the test).
    w->mnuACD_Added->trigger();
    w->mnuDelete->trigger();
    w->mnuChange->trigger();
    w->mnuFind->trigger();
    w->mnuPermanentDelete->trigger();
    w->TDBGrid_DblClick();
    EXPECT_TRUE(verifyRows().isEmpty());
    EXPECT_EQ(rowButtons(*w), QStringLiteral("---"));

    w->Option_Sort[6]->click();   // by name
    EXPECT_TRUE(w->Option_Sort[6]->isChecked());
    EXPECT_EQ(rowButtons(*w), QStringLiteral("---"));
    EXPECT_TRUE(w->Command_Close->isEnabled());
    EXPECT_TRUE(ui().boxes().empty());

    ui().expectBox(box("Export to the Verify.csv file complete. 0 Records exported (" + csvPath() + ")"));
    w->mnuExport->trigger();
    EXPECT_TRUE(QFileInfo::exists(csvPath()));
    EXPECT_EQ(readCsv(), QByteArray());

    addFive();
    DE().rsVerify().requery();
    w->TDBGrid->rebind();
    EXPECT_EQ(w->TDBGrid->recordsetModel()->cellText(0, 7), QStringLiteral("ANNA"));
}

TEST_F(ListTest, TheGridShowsStatusWordsAndFoliosAndTheButtonsFollowTheCurrentRow)
{
    addFive();
    auto w = open();
    const ui::RecordsetModel* m = w->TDBGrid->recordsetModel();
    ASSERT_EQ(m->rowCount(), 5);
    EXPECT_EQ(m->headerData(5, Qt::Horizontal).toString(), QStringLiteral("Folio Number"));
    EXPECT_EQ(m->cellText(0, 5), QStringLiteral("012-345-678-9"));   // jurisdiction 701's mask
    EXPECT_EQ(m->cellText(4, 5), QString());                          // no folio
    EXPECT_EQ(m->cellText(0, 7), QStringLiteral("ERIN"));
    EXPECT_EQ(current(), QStringLiteral("N-1"));                      // painting never moves the list
    const struct {
        int row;
        const char* status;
        const char* buttons;
    } cases[] = {
        {0, "Add", "CD-"},  {1, "Change", "CD-"}, {2, " ", "CD-"}, {3, "Delete", "--U"},
        {4, "X", "CD-"},    // any other letter counts as active
    };
    for (const auto& c : cases) {
        EXPECT_EQ(m->cellText(c.row, 0), QString::fromLatin1(c.status));
        select(*w, c.row);
        EXPECT_EQ(rowButtons(*w), QString::fromLatin1(c.buttons)) << c.row;
        EXPECT_TRUE(w->Command_AddDetail->isEnabled());
        EXPECT_TRUE(w->Command_Search->isEnabled());
    }
}

// PERMANENT DELETE removes a row added in this list; any other row is refused
// with the offer to mark it D, which Enter declines.
TEST_F(ListTest, PermanentDeleteRemovesOnlyARowAddedHereAndOffersToMarkAnyOtherD)
{
    addFive();
    auto w = open();
    const auto offer = [&](Answer answer) {
        ui::ExpectedBox b = box(ui::containing("PERMANENT DELETE removes only a folio added in this list by mistake"),
                                answer, Icon::Question, Buttons::YesNo);
        b.enter = answer == Answer::No;
        ui().expectBox(b);
    };
    for (const char* number : {"N-3", "N-2", "N-5"}) {
        select(*w, verifyRows("NUMBER").indexOf(QRegularExpression(QStringLiteral("^.\\|\\d+\\|") + number + "\\|.*")));
        ASSERT_EQ(current(), number);
        const QString before = storedAcd(number);
        offer(Answer::No);
        w->mnuPermanentDelete->trigger();
        EXPECT_EQ(ui().boxes().back().defaultAnswer, Answer::No);
        EXPECT_EQ(storedAcd(number), before) << number;
        offer(Answer::Yes);
        w->mnuPermanentDelete->trigger();
        EXPECT_EQ(storedAcd(number), "D") << number;
        EXPECT_EQ(verifyRows().size(), 5);
    }
    EXPECT_TRUE(ui().boxes().front().prompt.contains("mortgage N-3, folio 000000000000000300 has no status"))
        << ui().boxes().front().prompt.toStdString();
    // A row marked D already stays as it is.
    select(*w, 3);
    ASSERT_EQ(current(), "N-4");
    ui().expectBox(box(ui::containing("is marked D already"), Answer::OK, Icon::Information, Buttons::OK));
    w->mnuPermanentDelete->trigger();
    EXPECT_EQ(storedAcd("N-4"), "D");

    select(*w, 0);
    ASSERT_EQ(current(), "N-1");
    ui().expectModal(QStringLiteral("Verify_Number_Delete"), [](QDialog& d) {
        static_cast<Verify_Number_Delete&>(d).Command_Delete->click();
    });
    w->mnuPermanentDelete->trigger();
    EXPECT_EQ(storedAcd("N-1"), "<none>");
    EXPECT_EQ(verifyRows().size(), 4);
    EXPECT_TRUE(ui().clean()) << ui().report().toStdString();
}

// Status marks overwrite the code and the buttons follow; a mark or a sort the
// database refuses is reported and the list keeps every row.
TEST_F(ListTest, StatusMarksOverwriteTheCodeAndTheButtonsFollowOrAreReportedWhenRefused)
{
    addFive();
    auto w = open();
    select(*w, 0);   // N-1, "A"
    w->Command_Inactivate->click();
    EXPECT_EQ(storedAcd("N-1"), QStringLiteral("D"));
    EXPECT_EQ(rowButtons(*w), QStringLiteral("--U"));
    w->Command_Activate->click();
    EXPECT_EQ(storedAcd("N-1"), QStringLiteral(" "));   // not back to "A"
    EXPECT_EQ(rowButtons(*w), QStringLiteral("CD-"));

    const std::pair<QAction*, const char*> marks[] = {
        {w->mnuACD_Deleted, "D"}, {w->mnuACD_Added, "A"}, {w->mnuACD_Changed, "C"},
        {w->mnuACD_Blank, " "},   {w->mnuDelete, "D"},    {w->mnuUndelete, " "},
    };
    for (const auto& [action, code] : marks) {
        action->trigger();
        EXPECT_EQ(storedAcd("N-1"), QString::fromLatin1(code)) << action->objectName().toStdString();
        EXPECT_EQ(rowButtons(*w), QString::fromLatin1(code) == QLatin1String("D") ? QStringLiteral("--U")
                                                                                  : QStringLiteral("CD-"));
        EXPECT_EQ(current(), QStringLiteral("N-1"));
    }
    // The Edit items test their buttons: Undelete on an active row does nothing.
    w->mnuACD_Added->trigger();
    w->mnuUndelete->trigger();
    EXPECT_EQ(storedAcd("N-1"), QStringLiteral("A"));
    EXPECT_FALSE(ui().busy());
    EXPECT_EQ(w->TDBGrid->recordsetModel()->cellText(0, 0), QStringLiteral("Add"));

    // A mark the database refuses.
    DE().Zarv.execute(QStringLiteral("CREATE TRIGGER keep BEFORE UPDATE ON VERIFY BEGIN SELECT RAISE(ABORT, 'locked'); END"));
    ui().expectBox(box(ui::containing("Verify_Numbers.setStatus Unexpected error"), Answer::OK,
                       Icon::Critical));
    w->Command_Inactivate->click();
    EXPECT_TRUE(ui().boxes().back().prompt.contains(QStringLiteral("locked")));
    EXPECT_EQ(storedAcd("N-1"), QStringLiteral("A"));
    EXPECT_EQ(rowButtons(*w), QStringLiteral("CD-"));
    EXPECT_FALSE(ui().busy());

    // A sort order the database cannot give: the list stays in its order with every row.
    DE().Zarv.execute(QStringLiteral("DROP TRIGGER keep"));
    DE().Zarv.execute(QStringLiteral("ALTER TABLE VERIFY RENAME COLUMN NAME TO OWNER"));
    const int byName = 6;
    ui().expectBox(box(ui::containing("Verify_Numbers.Option_Sort_Click Unexpected error"), Answer::OK,
                       Icon::Critical));
    w->Option_Sort[size_t(byName)]->click();
    EXPECT_EQ(DE().rsVerify().recordCount(), 5);
    EXPECT_EQ(w->TDBGrid->recordsetModel()->rowCount(), 5);
    EXPECT_FALSE(w->Option_Sort[size_t(byName)]->isChecked());
    EXPECT_EQ(current(), QStringLiteral("N-1"));
}

TEST_F(ListTest, EachSortOrderShowsTheListInItsOrderAndKeepsTheCurrentRow)
{
    // Rows whose fields put them in a different order for every choice.
    addVerify(" |1234|N-3|01|704|000000000000000300|500|CARL|A ST|||||LEGAL E");
    addVerify(" |5678|N-1|03|701|000000000123456789|300|ERIN|C ST|||||LEGAL B");
    addVerify(" |5678|N-4|01|703|000000000000000400|200|ANNA|B ST|||||LEGAL D");
    addVerify(" |1234|N-2|02|705|000000000000000200|100|DORA|E ST|||||LEGAL A");
    addVerify(" |1234|N-5|02|702||400|BERT|D ST|||||LEGAL C");
    auto w = open();
    const struct {
        int order;
        const char* caption;
        const char* numbers;   // the list as the clerk sees it after choosing the order
    } cases[] = {
        {0, "Mortgage#", "N-1 N-2 N-3 N-4 N-5"},
        {1, "Mort.Co", "N-2 N-3 N-5 N-1 N-4"},
        {2, "Collection District(CD)", "N-4 N-3 N-5 N-2 N-1"},
        {3, "Jurisdiction (JUR)", "N-1 N-5 N-4 N-3 N-2"},
        {4, "Folio Number", "N-5 N-2 N-3 N-4 N-1"},
        {5, "Property Identifier (PID)", "N-2 N-4 N-1 N-5 N-3"},
        {6, "Name", "N-4 N-5 N-3 N-2 N-1"},
        {7, "Address", "N-3 N-4 N-1 N-5 N-2"},
        {8, "Legal Description", "N-2 N-1 N-5 N-4 N-3"},
    };
    const ui::RecordsetModel* m = w->TDBGrid->recordsetModel();
    select(*w, 2);   // N-3
    for (const bool byMenu : {false, true}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(testing::Message() << c.caption << (byMenu ? " (View menu)" : ""));
            if (byMenu)
                w->mnuSortBy[size_t(c.order)]->trigger();
            else
                w->Option_Sort[size_t(c.order)]->click();
            EXPECT_EQ(w->Option_Sort[size_t(c.order)]->text(), QString::fromLatin1(c.caption));
            QStringList shown;
            for (int r = 0; r < m->rowCount(); ++r)
                shown << m->cellText(r, 2);
            EXPECT_EQ(shown.join(u' '), QString::fromLatin1(c.numbers));
            EXPECT_EQ(current(), QStringLiteral("N-3"));
            // The View menu re-sorts without moving the option buttons.
            EXPECT_TRUE(w->Option_Sort[size_t(byMenu ? 8 : c.order)]->isChecked());
            EXPECT_TRUE(w->Frame_Sort->isVisibleTo(w.get()));
            EXPECT_FALSE(ui().busy());
        }
    }
}

TEST_F(ListTest, TheButtonRuleFollowsTheRowFoundAgainNotTheFirstRow)
{
    addFive();
    // A list sorted before it opens keeps its order; the option buttons show the number order.
    DE().rsVerify().close();
    DE().rsVerify().setSource(QStringLiteral("SELECT * FROM VERIFY ORDER BY NAME"));
    auto w = open();
    EXPECT_EQ(w->TDBGrid->recordsetModel()->cellText(0, 7), QStringLiteral("ANNA"));
    select(*w, 0);   // N-4, marked "D"
    w->mnuSortBy[6]->trigger();   // by name: ANNA (N-4) comes first anyway
    select(*w, 2);   // CARL, N-3, active
    w->mnuSortBy[0]->trigger();   // by number: N-1 ("A") first
    EXPECT_EQ(current(), QStringLiteral("N-3"));
    select(*w, 3);   // N-4 "D"
    w->mnuSortBy[4]->trigger();   // by folio: N-5 (no folio, active) first
    EXPECT_EQ(current(), QStringLiteral("N-4"));
    EXPECT_EQ(rowButtons(*w), QStringLiteral("--U"));
    // The View menu re-sorts without moving the option buttons.
    EXPECT_TRUE(w->Option_Sort_Mortgage->isChecked());
    EXPECT_EQ(w->sortSource(), QStringLiteral("SELECT * FROM VERIFY ORDER BY FOLIO"));
}

TEST_F(ListTest, RowsAlikeButForTheirPidAreFoundAgainAsTheFirstInTheNewOrder)
{
    addVerify(" |1234|SAME|01|701|1|222|TWIN||||||");
    addVerify(" |1234|SAME|01|701|1|111|TWIN||||||");
    auto w = open();
    select(*w, 1);
    ASSERT_EQ(current(QStringLiteral("PID")), QStringLiteral("111"));
    w->mnuSortBy[5]->trigger();   // by PID: 111 first
    EXPECT_EQ(current(QStringLiteral("PID")), QStringLiteral("111"));
    select(*w, 1);   // 222
    w->mnuSortBy[5]->trigger();   // the same order again: still found as the first twin
    EXPECT_EQ(current(QStringLiteral("PID")), QStringLiteral("111"));
    EXPECT_EQ(w->savedRow().values()[2], QStringLiteral("SAME"));
}

TEST_F(ListTest, EachWindowSizeSizesTheWindowAndTheGridFillsIt)
{
    auto w = open();
    for (int i = 0; i < verifylist::kWindowLayouts; ++i) {
        const verifylist::WindowLayout& l = verifylist::windowLayouts()[size_t(i)];
        w->move(40, 30);
        if (i % 2)
            w->Option_Window[size_t(i)]->click();
        else
            w->mnuWindowSize[size_t(i)]->trigger();
        clerk::wait();
        EXPECT_EQ(w->pos(), QPoint(0, 0)) << i;
        // The layout's size, or what the window's content needs at the least (wider
        // when the Name heading needs it), but never more than the screen has room for.
        const QSize room = ui::availableAreaFor(w.get()).size().shrunkBy(ui::frameMarginsOf(w.get()));
        const QSize least = QSize(ui::twipsToPixels(l.screenWidth), ui::twipsToPixels(l.screenHeight))
                                .expandedTo(w->minimumSizeHint())
                                .boundedTo(room);
        EXPECT_EQ(w->height(), least.height()) << i;
        EXPECT_GE(w->width(), least.width()) << i;
        EXPECT_LE(w->width(), room.width()) << i;
        // The grid right of the frames, at the top, to the right edge; the status line under it.
        const QRect grid = w->TDBGrid->geometry();
        EXPECT_EQ(grid.top(), 0) << i;
        EXPECT_GT(grid.left(), w->Frame_Sort->mapTo(w.get(), QPoint(w->Frame_Sort->width(), 0)).x()) << i;
        EXPECT_GE(w->TDBGrid->mapTo(w.get(), QPoint(grid.width(), 0)).x(), w->width() - 12) << i;
        EXPECT_GT(w->Text_Msg->y(), grid.bottom()) << i;
        EXPECT_EQ(w->Text_Msg->x(), 0) << i;
    }
    // An enlarged window grows its grid.
    const QSize grid = w->TDBGrid->size();
    w->resize(w->size() + QSize(120, 80));
    clerk::wait();
    EXPECT_EQ(w->TDBGrid->size(), grid + QSize(120, 80));
    // The menu left the option of the last button click selected.
    EXPECT_TRUE(w->Option_Window[3]->isChecked());
    w->mnuWindowSize[0]->trigger();
    EXPECT_TRUE(w->Option_Window[3]->isChecked());
}

TEST_F(ListTest, CloseAndTheWindowsCloseBoxCloseTheListWithoutEndingTheRun)
{
    addFive();
    {
        auto w = open();
        w->Command_Close->click();
        EXPECT_EQ(w->result(), int(QDialog::Accepted));
        EXPECT_FALSE(w->isVisible());
        EXPECT_EQ(w->Text_Msg->text(), QStringLiteral("Closing form..."));
        EXPECT_TRUE(ui().busy());
        EXPECT_FALSE(ui().ending());
    }
    {
        auto w = open();
        EXPECT_TRUE(w->close());
        EXPECT_FALSE(w->isVisible());
        EXPECT_FALSE(ui().ending());
    }
}

// ---------------------------------------------------------------- Verify.csv

TEST_F(ListTest, ExportWritesEveryRowInTheListsOrderAndReportsTheCount)
{
    addFive();
    addVerify(" |1234|N-6|01|701|1||SMITH, JO|\"QUOTED\" ST||||");
    writeCsv("old content that is replaced\r\n");
    auto w = open();
    w->Option_Sort[6]->click();   // by name
    select(*w, 3);
    ui().expectBox(box("Export to the Verify.csv file complete. 6 Records exported (" + csvPath() + ")", Answer::OK,
                            Icon::Information, Buttons::OK, ui::UiServices::appTitle()));
    w->Command_Export->click();
    EXPECT_EQ(readCsv(), QByteArray("D,5678,N-4,03,704,000000000000000400,444,ANNA,D ST,,,,,LEGAL A\r\n"
                                    "X,5678,N-5,03,705,,555,BERT,E ST,,,,,LEGAL B\r\n"
                                    ",1234,N-3,02,703,000000000000000300,300,CARL,C ST,,,,,LEGAL C\r\n"
                                    "C,1234,N-2,01,702,000000000000000200,200,DORA,B ST,,,,,LEGAL D\r\n"
                                    "A,1234,N-1,01,701,000000000123456789,100,ERIN,A ST,,,,,LEGAL E\r\n"
                                    ",1234,N-6,01,701,1,,\"SMITH, JO\",QUOTED ST,,,,,\r\n"));
    EXPECT_EQ(w->Text_Msg->text(), "Export to the Verify.csv file complete. 6 Records exported (" + csvPath() + ")");
    EXPECT_EQ(current(), QStringLiteral("N-4"));   // back on the first row
    EXPECT_EQ(rowButtons(*w), QStringLiteral("--U"));
    EXPECT_FALSE(ui().busy());
}

// A long export shows its progress every 200 rows, and nothing the clerk
// clicks meanwhile starts a second action or closes the list.
TEST_F(ListTest, ALongExportShowsItsProgressAndNothingStartsOrClosesWhileItRuns)
{
    for (int i = 0; i < 1234; ++i)
        addVerify(QStringLiteral(" |1234|%1|01|701|%2||NAME").arg(i, 5, 10, QLatin1Char('0')).arg(i + 1));
    auto w = open();
    QStringList shown;
    QObject::connect(w->Text_Msg, &QLineEdit::textChanged, [&](const QString& t) {
        shown << t;
        if (!t.startsWith(QStringLiteral(" (")))
            return;
        EXPECT_TRUE(w->exchangeRunning());
        w->Command_Close->click();
        w->Command_Import1_Click();
        w->Command_Export_Click();
        w->mnuCloseNOW_Click();
        EXPECT_FALSE(w->close());
    });
    ui().expectBox(box("Export to the Verify.csv file complete. 1234 Records exported (" + csvPath() + ")"));
    w->Command_Export->click();
    const QStringList progress = shown.filter(QRegularExpression(QStringLiteral("^ \\(\\d+/1234\\)$")));
    EXPECT_EQ(progress, (QStringList{" (200/1234)", " (400/1234)", " (600/1234)", " (800/1234)", " (1000/1234)",
                                     " (1200/1234)"}));
    EXPECT_EQ(shown.first(),
              "Please wait while exporting the Folio Verification data to the " + csvPath() + " file...");
    EXPECT_TRUE(w->isVisible());
    EXPECT_FALSE(ui().ending());
    EXPECT_EQ(readCsv().count("\r\n"), 1234);
}

TEST_F(ListTest, AFailedExportSaysWhereItStoppedAndLeavesTheOldFile)
{
    addFive();
    QDir().mkdir(csvPath());   // a folder where the file should go
    auto w = open();
    ui().expectBox(box(ui::containing("\r\nEnsure that the " + DE().databasePath("Zarv.mdb") +
                                       " is not open.\r\n"
                                       "Check diskspace... then try again"),
                       Answer::OK, Icon::Critical));
    w->Command_Export->click();
    ASSERT_FALSE(ui().boxes().empty());
    EXPECT_TRUE(ui().boxes().back().prompt.startsWith(
        "Verify_Numbers.Command_Export_Click Unexpected error #"))
        << ui().boxes().back().prompt.toStdString();
    EXPECT_TRUE(ui().boxes().back().prompt.contains(" Debug (2 Open Verify.csv) occurred: "));
    EXPECT_TRUE(QFileInfo(csvPath()).isDir());
    EXPECT_EQ(w->Text_Msg->text(), QString());
    EXPECT_TRUE(w->Command_Close->isEnabled());
    EXPECT_TRUE(w->Command_Export->isEnabled());
    EXPECT_FALSE(ui().busy());
}

TEST_F(ListTest, TheHelpTextsShowInTheMessageDialog)
{
    auto w = open();
    w->Text_Msg->setText(QStringLiteral("something"));
    ui().expectModal(QStringLiteral("Form_InformationDialog"), [](QDialog& d) {
        EXPECT_EQ(gMsgType, QStringLiteral("Informational"));
        EXPECT_EQ(gMsgTitle, QStringLiteral("Export Information"));
        const QStringList lines = gMsgText.split(QStringLiteral("\r\n"));
        EXPECT_EQ(lines.size(), 27);
        EXPECT_EQ(lines.value(0), QStringLiteral("The Mortgage Number Verification can be export by two methods:"));
        EXPECT_EQ(lines.value(5), QStringLiteral("ACD     Char (1)  {A-Added Folio, C-Changed Folio, D-Marked for "
                                                 "Deletion Folio, blank for no change}"));
        EXPECT_EQ(lines.value(7), QStringLiteral("NUMBER  Char (12) Mortgage Number"));
        EXPECT_EQ(lines.value(12), QStringLiteral("NAME    Char (70) Name"));
        EXPECT_EQ(lines.value(17), QStringLiteral("ADDR5   Char (30) Address Line 5"));
        EXPECT_EQ(lines.value(22), QStringLiteral("please use the MS Access to export the VERIFY table data to your "
                                                  "desired file format. "));
        EXPECT_EQ(lines.value(26),
                  QStringLiteral("3. Optionally if you have Excel then you can export the data from there."));
        static_cast<Form_InformationDialog&>(d).OKButton->click();
    });
    w->Command_Exp_Help->click();
    EXPECT_EQ(w->Text_Msg->text(), QString());

    ui().expectModal(QStringLiteral("Form_InformationDialog"), [](QDialog& d) {
        EXPECT_EQ(gMsgTitle, QStringLiteral("Import Information"));
        const QStringList lines = gMsgText.split(QStringLiteral("\r\n"));
        EXPECT_EQ(lines.size(), 27);
        EXPECT_EQ(lines.value(4), QStringLiteral(" "));
        EXPECT_EQ(lines.value(18), QStringLiteral("That the Collection District if present is two digits from 01 to 99."));
        EXPECT_EQ(lines.value(19), QStringLiteral("That the Jurisdiction if present is three digits from 701 to 799. "));
        // Codes are checked against the code tables, as the tax office checks them.
        EXPECT_EQ(lines.value(23), QStringLiteral("That the tax office will take the folio: a Collection District and "
                                                  "a Jurisdiction of the code tables that form one of their pairs"));
        EXPECT_EQ(lines.value(24), QStringLiteral("(a folio known by its Property Identifier alone needs neither), as "
                                                  "on the Add screen."));
        EXPECT_EQ(lines.value(25), QString());
        EXPECT_EQ(lines.value(26),
                  QStringLiteral("If you require any further help please contact the Velmoran, Brenhallow"));
        static_cast<Form_InformationDialog&>(d).OKButton->click();
    });
    w->mnuImportHelp->trigger();
}

// Import 2 asks before it replaces the list, the safe answer first; either
// option says afterwards how many lines went in and how many were refused, and
// the list starts again at its first row. A missing file stops an import with
// one message that says why, and the status line keeps the reason.
TEST_F(ListTest, TheImportButtonsAskBeforeReplacingAndReportTheOutcome)
{
    addFive();
    auto w = open();
    select(*w, 3);   // N-4, "D"
    const QString bad = QStringLiteral(",12,N-9");
    writeCsv(",1234,N-1,01,701,123456789,,ERIN AGAIN\r\n" + bad.toLatin1() + "\r\n");
    ui::ExpectedBox question = box("The list holds 5 folios and " + csvPath() + " holds 2 lines.\r\n"
                                   "Import 2 deletes all 5 folios and puts the lines of the file in their place.\r\n"
                                   "Replace the list?",
                                   Answer::No, Icon::Question, Buttons::YesNo);
    question.defaultAnswer = Answer::No;
    ui().expectBox(question);
    ui().expectBox(box("Import from the " + csvPath() + " file (option #2) was not run: the list was left as it was.",
                       Answer::OK, Icon::Information));
    w->Command_Import2->click();
    EXPECT_EQ(verifyRows().size(), 5);

    question.answer = Answer::Yes;
    for (const bool replacing : {false, true}) {
        SCOPED_TRACE(replacing ? "Import 2" : "Import 1");
        if (replacing)
            ui().expectBox(question);
        expectRejection(ui(), "Mortgage Company ID is NOT four characters long", bad);
        const QString done = QStringLiteral("Import from the %1 file (option #%2) complete. Lines imported: 1, refused: 1.")
                                 .arg(csvPath())
                                 .arg(replacing ? 2 : 1);
        ui().expectBox(box(done, Answer::OK, Icon::Information, Buttons::OK, ui::UiServices::appTitle()));
        (replacing ? w->Command_Import2 : w->Command_Import1)->click();
        EXPECT_EQ(w->Text_Msg->text(), done);
        EXPECT_EQ(current(), QStringLiteral("N-1"));
        EXPECT_EQ(rowButtons(*w), QStringLiteral("CD-"));
        EXPECT_EQ(w->TDBGrid->recordsetModel()->cellText(0, 7), QStringLiteral("ERIN AGAIN"));
    }
    EXPECT_EQ(verifyRows().size(), 1);

    QFile::remove(csvPath());
    ui().expectBox(box("Verify.csv file is NOT found: " + csvPath()));
    w->mnuImportReplace->trigger();
    EXPECT_EQ(w->Text_Msg->text(), "Import from the " + csvPath() + " file (option #2) is NOT complete. Verify.csv file is NOT found: " + csvPath());
    EXPECT_EQ(verifyRows().size(), 1);
    EXPECT_FALSE(ui().busy());
}

// Import 2 stopped at the continue question puts the old list back: the status
// line counts none of the file's lines as imported.
TEST_F(ListTest, ImportTwoStoppedPutsTheListBackAndCountsNoLineImported)
{
    addFive();
    const QStringList before = verifyRows();
    auto w = open();
    const QString bad = QStringLiteral(",12,N-9");
    QByteArray csv = ",1234,N-8,01,701,8,,EIGHT\r\n";
    for (int i = 0; i < 6; ++i)
        csv += bad.toLatin1() + "\r\n";
    writeCsv(csv);
    ui().expectBox(ui::containing("Replace the list?"), Answer::Yes);
    for (int i = 0; i < 6; ++i)
        expectRejection(ui(), "Mortgage Company ID is NOT four characters long", bad);
    ui().expectBox(box("There has been a number of errors... do you want to Continue ?", Answer::No));
    ui().expectBox(box("The import was stopped.\r\nThe list was left as it was.", Answer::OK, Icon::Information));
    w->Command_Import2->click();
    EXPECT_TRUE(ui().clean()) << ui().report().toStdString();
    EXPECT_EQ(verifyRows(), before);
    EXPECT_EQ(recordsetRows(), verifyRows("NUMBER"));     // and the list shows it
    EXPECT_EQ(w->Text_Msg->text(), "Import from the " + csvPath() + " file (option #2) is NOT complete. The import "
                                   "was stopped. The list was left as it was. Lines imported: 0, refused: 6.");
}

// Nothing the clerk clicks while an import waits on its rejection dialog starts
// a second action or closes the list.
TEST_F(ListTest, NothingStartsOrClosesWhileAnImportRuns)
{
    addFive();
    auto w = open();
    const QString bad = QStringLiteral(",12,N-9,01,701,9");
    writeCsv(bad.toLatin1() + "\r\n,1234,N-8,01,701,8,,EIGHT\r\n");
    ui().expectModal(QStringLiteral("Form_InformationDialog"), [&](QDialog& d) {
        EXPECT_TRUE(w->exchangeRunning());
        EXPECT_FALSE(w->menuBar->isEnabled());
        EXPECT_FALSE(w->Command_Close->isEnabled());
        EXPECT_FALSE(w->Command_Import2->isEnabled());
        EXPECT_FALSE(w->TDBGrid->isEnabled());
        w->Command_Close->click();
        w->Command_Export->click();
        w->Command_Import2_Click();
        w->Option_Sort_Click(6);
        w->mnuCloseNOW->trigger();
        w->mnuCloseNOW_Click();
        w->Command_Close_Click();
        w->mnuACD_Deleted_Click();
        EXPECT_FALSE(w->close());     // the window's close box
        EXPECT_TRUE(w->isVisible());
        EXPECT_FALSE(ui().ending());
        static_cast<Form_InformationDialog&>(d).OKButton->click();
    });
    ui().expectBox(box("Import from the " + csvPath() + " file (option #1) complete. Lines imported: 1, refused: 1."));
    w->Command_Import1->click();
    EXPECT_FALSE(w->exchangeRunning());
    EXPECT_TRUE(w->menuBar->isEnabled());
    EXPECT_TRUE(w->Command_Close->isEnabled());
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(verifyRows().size(), 6);
    EXPECT_EQ(DE().rsVerify().source(), DataEnvironment::kVerifySource);
}

TEST_F(ListTest, AChildScreenKeepsTheFramesInPlaceAndFindParksTheList)
{
    addFive();
    auto w = open();
    clerk::wait();
    const auto places = [&w] {
        QList<QRect> out;
        for (QWidget* c : std::initializer_list<QWidget*>{w->Frame1, w->Command_Close, w->Frame_Sort, w->Frame4,
                                                          w->FrameExpImp, w->TDBGrid, w->Text_Msg})
            out << (c->isVisibleTo(w.get()) ? c->geometry() : QRect());
        return out;
    };
    const QList<QRect> before = places();
    ui().expectModal(QStringLiteral("Verify_Number_Add"), [&](QDialog& d) {
        clerk::wait();
        EXPECT_EQ(places(), before);
        EXPECT_FALSE(w->Frame_Sort->isEnabled());
        d.reject();
    });
    w->Command_AddDetail->click();
    EXPECT_TRUE(w->Frame_Sort->isEnabled());
    EXPECT_EQ(places(), before);

    select(*w, 0);
    ui().expectModal(QStringLiteral("Verify_Numbers_Search"), [&](QDialog& d) {
        EXPECT_EQ(ui().parkedLeftTwips(w.get()), std::optional<int>(-99999));
        EXPECT_FALSE(w->Command_Close->isEnabled());
        EXPECT_TRUE(w->Frame_Sort->isVisibleTo(w.get()));
        EXPECT_FALSE(w->Frame_Sort->isEnabled());
        // The clerk's choice comes back as rsVerify's current row.
        db::Recordset& rs = DE().rsVerify();
        rs.find(QStringLiteral("NUMBER = 'N-4'"));
        d.reject();
    });
    w->Command_Search->click();
    EXPECT_FALSE(ui().isParked(w.get()));
    EXPECT_EQ(current(), QStringLiteral("N-4"));
    EXPECT_EQ(rowButtons(*w), QStringLiteral("--U"));
    EXPECT_TRUE(w->Command_Close->isEnabled());
    EXPECT_TRUE(w->Frame_Sort->isVisibleTo(w.get()));
    EXPECT_FALSE(ui().busy());
}

// A double-click or Enter on a row of the list opens it: an active row in the
// change screen, a row marked deleted not at all.
TEST_F(ListTest, ADoubleClickOrEnterOpensAnActiveRowOnly)
{
    addFive();
    auto w = open();
    clerk::activate(w.get());
    for (const bool byKey : {false, true}) {
        const auto openRow = [&] {
            w->TDBGrid->setFocus();
            byKey ? clerk::key(Qt::Key_Return) : w->TDBGrid_DblClick();
        };
        select(*w, 3);   // "D"
        openRow();
        select(*w, 0);
        ui().expectModal(QStringLiteral("Verify_Number_Change"));
        openRow();
    }
    EXPECT_EQ(ui().modalsShown(), QStringList({"Verify_Number_Change", "Verify_Number_Change"}));
    EXPECT_EQ(rowButtons(*w), QStringLiteral("CD-"));
    EXPECT_TRUE(w->isVisible());
}

} // namespace
