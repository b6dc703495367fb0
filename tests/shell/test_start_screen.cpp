// The start screen as a clerk meets it: the lists, the remembered choice, the
// two modes, the read-only question, parking, the ways out and the About box.
#include "shell_fixture.h"

#include "platform/forms/formcolours.h"
#include "platform/ui/screens/parking.h"
#include "shell/About.h"
#include "shell/ZarvPayment.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>

using namespace zarv;
using namespace zarv::test;
using ui::Answer;
using ui::Buttons;
using ui::Icon;

namespace {

const QColor kZarvColour(0xC0, 0xFF, 0xFF);     // &HFFFFC0
const QColor kVerifyColour(0xC0, 0xC0, 0xFF);   // &HFFC0C0

class StartScreenTest : public ShellTest {
protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        data_ = makeFolder(QStringLiteral("data"));
        makeFolder(QStringLiteral("data/2023"));
        makeFolder(QStringLiteral("data/.cache"));
        writeFile(QStringLiteral("data/Zarvdata.csv"), "ZARV,2024\r\n");
        writeFile(QStringLiteral("data/older.CSV"), "ZARV,2023\r\n");
        writeFile(QStringLiteral("data/.hidden.csv"), "x\r\n");
        writeFile(QStringLiteral("data/notes.txt"), "x\r\n");
        writeFile(QStringLiteral("data/MortNo1234.XLSX"), "PK");
        writeFile(QStringLiteral("data/empty.csv"), "");
    }

    std::unique_ptr<ZarvPayment> open()
    {
        auto w = std::make_unique<ZarvPayment>();
        w->show();
        return w;
    }

    // Opens data/ from its parent folder and clicks a file, as a user would.
    void choose(ZarvPayment& w, const QString& file)
    {
        ASSERT_TRUE(w.Dir->setPath(folder()));
        const int row = rowOfText(w.Dir, QStringLiteral("data"));
        ASSERT_GE(row, 0) << texts(w.Dir).join(u'|').toStdString();
        doubleClickItem(w.Dir, row);
        ASSERT_EQ(w.Dir->path(), data_);
        const int fileRow = rowOfText(w.File, file);
        ASSERT_GE(fileRow, 0) << texts(w.File).join(u'|').toStdString();
        clickItem(w.File, fileRow);
        ASSERT_EQ(w.File->fileName(), file);
    }

    QString data_;
};

TEST_F(StartScreenTest, EveryControlShowsItsCaption)
{
    auto w = open();
    EXPECT_EQ(w->windowTitle(), QStringLiteral("ZARV - ZARVENHOLT"));
    EXPECT_EQ(w->Frame_File_Type->title(), QStringLiteral("<File Type>"));
    EXPECT_EQ(w->Option_ZARV->text(), QStringLiteral("Regular ZARV Usage"));
    EXPECT_EQ(w->Option_VERIFY->text(), QStringLiteral("Mortgage # Verification File"));
    EXPECT_EQ(w->Option_VERIFY->toolTip(),
              QStringLiteral("Mortgage company option: provides electronic files for folio/mortgage # verification"));
    EXPECT_EQ(w->Frame_UseOnlyCurrentYearData->title(), QStringLiteral("<Use Only Current Year Data>"));
    EXPECT_EQ(w->Label_Disk->text(), QStringLiteral("Disk"));
    EXPECT_EQ(w->Label_Directory->text(), QStringLiteral("Directory"));
    EXPECT_EQ(w->Label_Files->text(), QStringLiteral("Files"));
    EXPECT_EQ(w->Command_OK->text(), QStringLiteral("&OK"));
    EXPECT_EQ(w->Command_OK->toolTip(), QStringLiteral("Work with the ZARV File Selected"));
    EXPECT_EQ(w->Command_VERIFY_OK->text(), QStringLiteral("&Verify"));
    EXPECT_EQ(w->Command_VERIFY_OK->toolTip(),
              QStringLiteral("Work with the Mortgage Number Verification File Selected"));
    EXPECT_EQ(w->Command_Exit->text(), QStringLiteral("E&xit"));
    EXPECT_EQ(w->Command_Exit->toolTip(), QStringLiteral("Exit ZARV"));
    EXPECT_EQ(w->Label_PleaseWait->text(), QStringLiteral("Please Wait While Saving the ZARV data!"));
    EXPECT_FALSE(w->Label_PleaseWait->isVisible());
    EXPECT_EQ(w->mnuFile->title(), QStringLiteral("&File"));
    EXPECT_EQ(w->mnuFileExit->text(), QStringLiteral("E&xit"));
    EXPECT_EQ(w->mnuHelp->title(), QStringLiteral("&Help"));
    EXPECT_EQ(w->mnuHelpAbout->text(), QStringLiteral("&About"));
}

TEST_F(StartScreenTest, OpensInThePaymentModeAtTheHomeFolderWithNothingRemembered)
{
    auto w = open();
    EXPECT_EQ(w->Drive->drive(), QDir::cleanPath(QDir::homePath()));
    EXPECT_TRUE(w->Option_ZARV->isChecked());
    EXPECT_TRUE(w->Option_Yes->isChecked());
    EXPECT_EQ(w->Text_Msg->text(), QStringLiteral("Please select the location of the ZARV file."));
    EXPECT_EQ(w->Label_SelectTheZarvFileLocation->text(), QStringLiteral("Select the Zarv.csv file location"));
    EXPECT_EQ(w->File->pattern(), QStringLiteral("*.csv"));
    EXPECT_EQ(w->Dir->path(), w->Drive->drive());
    EXPECT_EQ(w->File->path(), w->Dir->path());
    EXPECT_EQ(ui::backColour(w->centralWidget()), kZarvColour);
    EXPECT_EQ(ui::backColour(w->Label_Files), kZarvColour);
    // No driver is behind either button yet.
    EXPECT_FALSE(w->Command_OK->isEnabled());
    EXPECT_FALSE(w->Command_VERIFY_OK->isEnabled());
    // Nothing is written until a run begins.
    EXPECT_EQ(de().rsZarvSystem().recordCount(), 0);
}

TEST_F(StartScreenTest, ListsOnlyVisibleDataFilesOfThePatternInAnyCase)
{
    // The program's own copies, backups, exports and import lists beside the files.
    for (const char* own : {"Zarvdata.received.csv", "Zarvdata.received.2025-06-01-101500.csv", "Payments 0104.csv",
                            "Verify.csv", "Zarvdata.bak", "MortNo1234.received.xlsx", "MortNo1234.bak",
                            "MortNo1234.received.2025-06-01-101500.xlsx"})
        writeFile(QStringLiteral("data/") + QLatin1String(own), "x\r\n");
    auto w = open();
    w->Dir->setPath(data_);
    EXPECT_EQ(w->File->path(), data_);
    EXPECT_EQ(texts(w->File), (QStringList{"empty.csv", "older.CSV", "Zarvdata.csv"}));
    EXPECT_EQ(w->Dir->subfolders(), QStringList{"2023"});
    EXPECT_EQ(w->File->listIndex(), -1);
    EXPECT_EQ(w->File->fileName(), QString());
    click(w->Option_VERIFY);
    EXPECT_EQ(texts(w->File), QStringList{"MortNo1234.XLSX"});
}

TEST_F(StartScreenTest, TheChoiceIsRememberedAndComesBackAfterARestart)
{
    {
        auto w = open();
        choose(*w, QStringLiteral("Zarvdata.csv"));
        w->RememberChoice();
        const db::Recordset& rs = de().rsZarvSystem();
        EXPECT_EQ(rs.recordCount(), 1);
        EXPECT_EQ(rs.text("Drive"), w->Drive->drive());
        EXPECT_EQ(rs.text("Dir"), data_);
        EXPECT_EQ(rs.text("File"), QStringLiteral("Zarvdata.csv"));
        EXPECT_EQ(rs.text("Year"), QString());
    }
    restart();
    auto w = open();
    EXPECT_EQ(w->Dir->path(), data_);
    EXPECT_EQ(w->File->fileName(), QStringLiteral("Zarvdata.csv"));
    EXPECT_EQ(w->m_FilePath, data_ + QStringLiteral("/Zarvdata.csv"));

    // A second run's choice replaces the row, it never adds one; the year is emptied.
    de().rsZarvSystem().setValue("Year", QStringLiteral("2024"));
    de().rsZarvSystem().move(0);
    clickItem(w->File, rowOfText(w->File, QStringLiteral("older.CSV")));
    w->RememberChoice();
    restart();
    EXPECT_EQ(de().rsZarvSystem().recordCount(), 1);
    EXPECT_EQ(de().rsZarvSystem().text("File"), QStringLiteral("older.CSV"));
    EXPECT_EQ(de().rsZarvSystem().text("Year"), QString());
}

TEST_F(StartScreenTest, ARememberedFileThatIsGoneOrEmptyOpensAtItsFolderAndAGoneFolderAtHome)
{
    struct Case {
        const char* name;
        std::function<void(const QString&)> spoil;
        bool folderStays;
    } cases[] = {
        {"deleted", [](const QString& p) { QFile::remove(p); }, true},
        {"emptied", [](const QString& p) { QFile(p).open(QIODevice::WriteOnly | QIODevice::Truncate); }, true},
        {"folder gone", [](const QString& p) { QDir(QFileInfo(p).path()).removeRecursively(); }, false},
        // After a verification run: its workbook is no payment file, but its folder opens.
        {"a workbook", [this](const QString& p) {
             QFile::rename(p, path(QStringLiteral("gone/MortNo1234.XLSX")));
             setZarvSystem(QStringLiteral("/"), path(QStringLiteral("gone")), QStringLiteral("MortNo1234.XLSX"));
         }, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString file = writeFile(QStringLiteral("gone/Zarvdata.csv"), "ZARV,2024\r\n");
        setZarvSystem(QStringLiteral("/"), path(QStringLiteral("gone")), QStringLiteral("Zarvdata.csv"));
        c.spoil(file);
        restart();
        auto w = open();
        EXPECT_EQ(w->Dir->path(), c.folderStays ? path(QStringLiteral("gone")) : QDir::cleanPath(QDir::homePath()));
        EXPECT_EQ(w->Drive->drive(), w->Drive->driveOf(w->Dir->path()));
        EXPECT_EQ(w->File->path(), w->Dir->path());
        EXPECT_EQ(w->File->fileName(), QString());
        QDir(path(QStringLiteral("gone"))).removeRecursively();
    }
}

TEST_F(StartScreenTest, SwitchingToTheWorkbookModeAndBackReadsTheRememberedChoiceAgain)
{
    setZarvSystem(QStringLiteral("/"), data_, QStringLiteral("Zarvdata.csv"));
    auto w = open();
    int paymentRuns = 0;
    int verificationRuns = 0;
    w->setPaymentRun([&](ZarvPayment& screen) {
        EXPECT_EQ(&screen, w.get());
        ++paymentRuns;
    });
    w->setVerificationRun([&](ZarvPayment&) { ++verificationRuns; });
    EXPECT_TRUE(w->Command_OK->isEnabled());
    EXPECT_FALSE(w->Command_VERIFY_OK->isEnabled());

    // The year options are exclusive, and apart from the file types.
    click(w->OptionNo);
    EXPECT_FALSE(w->Option_Yes->isChecked());
    EXPECT_TRUE(w->Option_ZARV->isChecked());
    click(w->Option_VERIFY);
    ASSERT_TRUE(w->Option_VERIFY->isChecked());
    EXPECT_TRUE(w->OptionNo->isChecked());
    EXPECT_EQ(w->Label_SelectTheZarvFileLocation->text(), QStringLiteral("Select the MortNo*.xlsx file location"));
    EXPECT_EQ(w->Text_Msg->text(),
              QStringLiteral("Please select the location of the Mortgage Number Verification file."));
    EXPECT_EQ(w->File->pattern(), QStringLiteral("*.xlsx"));
    EXPECT_EQ(texts(w->File), QStringList{"MortNo1234.XLSX"});
    EXPECT_EQ(w->Dir->path(), data_);    // the drive and folder stay
    EXPECT_EQ(ui::backColour(w->centralWidget()), kVerifyColour);
    for (QLabel* l : {w->Label_Disk, w->Label_Directory, w->Label_SelectTheZarvFileLocation, w->Label_Files})
        EXPECT_EQ(ui::backColour(l), kVerifyColour) << l->objectName().toStdString();
    EXPECT_FALSE(w->Frame_UseOnlyCurrentYearData->isVisible());
    EXPECT_TRUE(w->Frame_File_Type->isVisible());
    EXPECT_FALSE(w->Command_OK->isEnabled());
    EXPECT_TRUE(w->Command_VERIFY_OK->isEnabled());
    click(w->Command_VERIFY_OK);
    EXPECT_EQ(verificationRuns, 1);

    // Wander off to another folder; the payment mode brings back the remembered one.
    w->Dir->setPath(path(QStringLiteral("data/2023")));
    click(w->Option_ZARV);
    EXPECT_EQ(w->Label_SelectTheZarvFileLocation->text(), QStringLiteral("Select the Zarv.csv file location"));
    EXPECT_EQ(w->Text_Msg->text(), QStringLiteral("Please select the location of the ZARV file."));
    EXPECT_EQ(w->File->pattern(), QStringLiteral("*.csv"));
    EXPECT_EQ(w->Dir->path(), data_);
    EXPECT_EQ(w->File->fileName(), QStringLiteral("Zarvdata.csv"));
    EXPECT_EQ(ui::backColour(w->Label_Disk), kZarvColour);
    EXPECT_TRUE(w->Frame_UseOnlyCurrentYearData->isVisible());
    click(w->Option_Yes);
    EXPECT_FALSE(w->OptionNo->isChecked());
    EXPECT_TRUE(w->Command_OK->isEnabled());
    EXPECT_FALSE(w->Command_VERIFY_OK->isEnabled());
    click(w->Command_OK);
    EXPECT_EQ(paymentRuns, 1);
    EXPECT_EQ(verificationRuns, 1);
}

TEST_F(StartScreenTest, DrivesKeepTheirLastFolderAndAnUnreadableDriveChangesNothing)
{
    const QString d1 = makeFolder(QStringLiteral("d1"));
    const QString d2 = makeFolder(QStringLiteral("d2"));
    const QString d3 = makeFolder(QStringLiteral("d3"));
    makeFolder(QStringLiteral("d2/inner"));
    auto w = open();
    w->Drive->setDrives({d1, d2, d3});
    w->Drive->setCurrentIndex(1);    // as the user picks it
    EXPECT_EQ(w->Dir->path(), d2);
    EXPECT_EQ(w->Dir->top(), d2);
    doubleClickItem(w->Dir, rowOfText(w->Dir, QStringLiteral("inner")));
    EXPECT_EQ(w->Dir->path(), d2 + QStringLiteral("/inner"));
    // The way up ends at the drive's root.
    EXPECT_EQ(w->Dir->folderAt(0), d2);

    w->Drive->setCurrentIndex(0);
    EXPECT_EQ(w->Dir->path(), d1);
    w->Drive->setCurrentIndex(1);
    EXPECT_EQ(w->Dir->path(), d2 + QStringLiteral("/inner"));

    QDir(d3).removeRecursively();
    w->Drive->setCurrentIndex(2);
    EXPECT_EQ(w->Drive->drive(), d2);
    EXPECT_EQ(w->Dir->path(), d2 + QStringLiteral("/inner"));
    EXPECT_EQ(w->File->path(), d2 + QStringLiteral("/inner"));
}

// --- the read-only question

struct ReadOnlyCase {
    const char* name;
    Answer answer;
    bool goesOn;
};

class ReadOnlyTestTest : public StartScreenTest, public ::testing::WithParamInterface<ReadOnlyCase> {};

// A read-only file, and one whose attributes cannot be read (a hidden file's
// attribute word, hidden + archive, is none the program knows; a missing
// file's is -1): each asks,
// Enter stops, and stopping leaves the clerk on the start screen.
TEST_P(ReadOnlyTestTest, ReadOnlyFileAsksAndEnterOrNoStaysOnTheStartScreen)
{
    const ReadOnlyCase c = GetParam();
    const QString file = data_ + QStringLiteral("/Zarvdata.csv");
    const QString hidden = data_ + QStringLiteral("/.hidden.csv");
    const QString missing = data_ + QStringLiteral("/missing.csv");
    const auto undetermined = [&](const QString& f, int error) {
        return box(QStringLiteral("CAUTION This program could not determine if the file attribute of ") + f
                       + QStringLiteral(" ZARV data file is READONLY (Error # %1). You can Stop now and check the "
                                        "file properties (The file attributes must NOT be READONLY). You can "
                                        "continue and take the risk of losing all the data changes. Do you want "
                                        "to continue ?").arg(error),
                   c.answer, Icon::None, Buttons::YesNo, QStringLiteral("Checking the ZARV data File Attributes"));
    };
    ASSERT_TRUE(QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::ReadGroup));
    const std::pair<QString, ui::ExpectedBox> questions[] = {
        {file, box(QStringLiteral("CAUTION This program found that the file attribute of ") + file
                       + QStringLiteral(" is READONLY. You can Stop now and change the file property (The file "
                                        "attributes must NOT be READONLY). You can continue and lose all data "
                                        "changes. Do you want to continue ?"),
                   c.answer, Icon::None, Buttons::YesNo, QStringLiteral("ZARV data File is READONLY"))},
        {hidden, undetermined(hidden, 34)},
        {missing, undetermined(missing, -1)},
    };
    auto w = open();
    for (const auto& [asked, question] : questions) {
        SCOPED_TRACE(asked.toStdString());
        ui().expectBox(question);
        EXPECT_EQ(w->ReadOnlyTest(asked), c.goesOn);
        EXPECT_EQ(ui().boxes().back().defaultAnswer, Answer::No) << "Enter stops";
        EXPECT_FALSE(ui().ending());
        if (!c.goesOn) {
            EXPECT_EQ(w->Text_Msg->text(), QStringLiteral("Stopped: ") + asked + QStringLiteral(" was not opened."));
        }
    }
    QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

INSTANTIATE_TEST_SUITE_P(Answers, ReadOnlyTestTest,
                         ::testing::Values(ReadOnlyCase{"Yes", Answer::Yes, true},
                                           ReadOnlyCase{"No", Answer::No, false}),
                         [](const auto& info) { return std::string(info.param.name); });

// --- parking, the ways out, About

TEST_F(StartScreenTest, ParksOffTheLeftEdgeAndComesBack)
{
    auto w = open();
    w->move(200, 60);
    w->Park();
    EXPECT_EQ(w->m_SavedLeft, ui::pixelsToTwips(200));
    EXPECT_EQ(ui().parkedLeftTwips(w.get()), ZarvPayment::kParkedLeft);
    EXPECT_EQ(w->x(), ui::twipsToPixels(-19999));
    EXPECT_TRUE(w->isVisible());    // off screen, never hidden
    w->Restore();
    EXPECT_EQ(w->pos(), QPoint(200, 60));
    EXPECT_FALSE(ui().isParked(w.get()));
}

TEST_F(StartScreenTest, EveryWayOutEndsTheProgramCleanly)
{
    const std::pair<const char*, std::function<void(ZarvPayment&)>> ways[] = {
        {"Exit button", [](ZarvPayment& w) { click(w.Command_Exit); }},
        {"File/Exit", [](ZarvPayment& w) { w.mnuFileExit->trigger(); }},
        {"window closed", [](ZarvPayment& w) { w.close(); }},
    };
    for (const auto& [name, leave] : ways) {
        SCOPED_TRACE(name);
        ui().reset();
        auto w = open();
        leave(*w);
        EXPECT_TRUE(ui().ending());
        EXPECT_EQ(ui().exitCode(), 0);
    }
}

TEST_F(StartScreenTest, HelpAboutOpensTheAboutBoxOverTheStartScreen)
{
    auto w = open();
    bool seen = false;
    ui().expectModal(QStringLiteral("About"), [&](QDialog& d) {
        seen = true;
        EXPECT_EQ(d.parentWidget(), w.get());
        auto& about = static_cast<About&>(d);
        click(about.cmdOK);
    });
    w->mnuHelpAbout->trigger();
    EXPECT_TRUE(seen);
    EXPECT_FALSE(ui().ending());
    EXPECT_TRUE(w->isVisible());
}

// --- files arriving, and the file dialog

TEST_F(StartScreenTest, FilesAndFoldersThatArriveOrGoWhileTheScreenIsOpenShowWithoutReopening)
{
    auto w = open();
    ASSERT_TRUE(w->Dir->setPath(data_));
    clickItem(w->File, rowOfText(w->File, QStringLiteral("older.CSV")));
    writeFile(QStringLiteral("data/Zarvdata 2025.csv"), "ZARV,2025\r\n");
    makeFolder(QStringLiteral("data/Downloads"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return texts(w->File).contains(QStringLiteral("Zarvdata 2025.csv")); }))
        << texts(w->File).join(u'|').toStdString();
    EXPECT_TRUE(QTest::qWaitFor([&] { return w->Dir->subfolders().contains(QStringLiteral("Downloads")); }));
    EXPECT_EQ(w->File->fileName(), QStringLiteral("older.CSV"));   // the choice stays
    QFile::remove(path(QStringLiteral("data/empty.csv")));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !texts(w->File).contains(QStringLiteral("empty.csv")); }));
    // The folder opened next is the one followed.
    ASSERT_TRUE(w->Dir->setPath(path(QStringLiteral("data/2023"))));
    writeFile(QStringLiteral("data/2023/Zarvdata.csv"), "ZARV,2023\r\n");
    EXPECT_TRUE(QTest::qWaitFor([&] { return texts(w->File) == QStringList{QStringLiteral("Zarvdata.csv")}; }));
}

TEST_F(StartScreenTest, BrowseOpensTheFileDialogAtTheFolderShownAndChoosesTheFileInTheLists)
{
    const QString elsewhere = makeFolder(QStringLiteral("elsewhere/deep"));
    writeFile(QStringLiteral("elsewhere/deep/Zarvdata.csv"), "ZARV,2024\r\n");
    writeFile(QStringLiteral("elsewhere/deep/MortNo77.xlsx"), "PK");
    writeFile(QStringLiteral("elsewhere/deep/notes.txt"), "x");
    auto w = open();
    ASSERT_TRUE(w->Dir->setPath(data_));

    ui().expectFileBox(ui::containing(QStringLiteral("ZARV data file")), elsewhere + QStringLiteral("/Zarvdata.csv"));
    click(w->Command_Browse);
    ASSERT_EQ(ui().fileBoxes().size(), 1u);
    EXPECT_EQ(ui().fileBoxes()[0].folder, data_);
    EXPECT_EQ(ui().fileBoxes()[0].filter, QStringLiteral("ZARV data files (*.csv)"));
    EXPECT_EQ(w->Dir->path(), elsewhere);
    EXPECT_EQ(w->File->path(), elsewhere);
    EXPECT_EQ(w->File->fileName(), QStringLiteral("Zarvdata.csv"));
    EXPECT_EQ(w->Drive->drive(), w->Drive->driveOf(elsewhere));

    // Cancel changes nothing; a file the list does not show is not chosen, and says so.
    ui().expectFileBox(ui::TextMatch::any(), std::nullopt);
    click(w->Command_Browse);
    EXPECT_EQ(w->File->fileName(), QStringLiteral("Zarvdata.csv"));
    ui().expectFileBox(ui::TextMatch::any(), elsewhere + QStringLiteral("/notes.txt"));
    click(w->Command_Browse);
    EXPECT_EQ(w->File->fileName(), QString());
    EXPECT_TRUE(w->Text_Msg->text().startsWith(elsewhere + QStringLiteral("/notes.txt cannot be chosen here")))
        << w->Text_Msg->text().toStdString();

    // In the workbook mode the dialog offers workbooks.
    click(w->Option_VERIFY);
    ui().expectFileBox(ui::containing(QStringLiteral("Verification file")), elsewhere + QStringLiteral("/MortNo77.xlsx"));
    click(w->Command_Browse);
    EXPECT_EQ(ui().fileBoxes().back().filter, QStringLiteral("Mortgage Number Verification files (*.xlsx)"));
    EXPECT_EQ(w->File->fileName(), QStringLiteral("MortNo77.xlsx"));
    EXPECT_TRUE(ui().clean()) << ui().report().toStdString();
}

} // namespace
