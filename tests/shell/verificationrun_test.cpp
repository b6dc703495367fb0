// A whole verification run from the start screen's Verify button: load the
// sample workbook, work through the list, exchange it with Verify.csv, close,
// and find the workbook written anew beside its backup; and the ways a run
// stops without touching the workbook.
#include "shell_fixture.h"

#include "platform/workbook/workbook.h"
#include "platform/workbook/workbookwriter.h"
#include "shell/ZARV_ReturnInstructions2.h"
#include "services/sharedstate.h"
#include "services/system.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <sys/stat.h>
#include <unistd.h>

using namespace zarv;
using namespace zarv::test;
using ui::Answer;
using ui::Buttons;
using ui::Icon;

namespace {

const QStringList kFields = {"ACD",   "MORTCO", "NUMBER", "CD",    "JUR",   "FOLIO", "PID",
                             "NAME",  "ADDR1",  "ADDR2",  "ADDR3", "ADDR4", "ADDR5", "LEGAL"};

class VerificationRunTest : public ShellTest {
protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        workInTestFolder();   // nothing may be written here
        work_ = makeFolder(QStringLiteral("work"));
        sample_ = sample(QStringLiteral("MortNo1234.xlsx"));
        ASSERT_FALSE(sample_.isEmpty()) << "samples/MortNo1234.xlsx is missing";
        workbook_ = writeFile(QStringLiteral("work/MortNo1234.xlsx"), sample_);
        backup_ = workbook_ + QStringLiteral(".bak");
    }

    // The start screen in the workbook mode with a file chosen, Verify wired.
    std::unique_ptr<ZarvPayment> start(const QString& file = QStringLiteral("MortNo1234.xlsx"))
    {
        return startOn(work_, file, Run::Verification);
    }
    // The clerk marks one folio D and closes the list.
    void expectOneFolioMarked()
    {
        expectScreen<Verify_Numbers>([](Verify_Numbers& list) {
            selectNumber(list, QStringLiteral("100200300"));
            list.Command_Inactivate->click();
            list.Command_Close->click();
        });
    }
    void expectInstructionsExited()
    {
        expectScreen<ZARV_ReturnInstructions2>([](ZARV_ReturnInstructions2& s) { s.Command_Exit->click(); });
    }

    static QStringList rows(db::Recordset& rs)
    {
        QStringList out;
        const std::unique_ptr<db::Recordset> c = rs.clone();
        for (c->moveFirst(); !c->eof(); c->moveNext()) {
            QStringList cells;
            for (const QString& f : kFields)
                cells << c->text(f);
            out << cells.join(u'|');
        }
        return out;
    }
    static qsizetype verifyCount() { return verifyRows().size(); }
    static QStringList verifyRows()
    {
        db::Recordset rs(&DE().Zarv, QStringLiteral("SELECT * FROM VERIFY ORDER BY NUMBER"), db::LockType::ReadOnly);
        rs.open();
        return rs.recordCount() > 0 ? rows(rs) : QStringList();
    }
    // Sheet 1 of a workbook as "A|B|...|N" rows below its headings.
    static QStringList sheetRows(const QString& path)
    {
        xl::Workbook book;
        if (!book.open(path)) {
            ADD_FAILURE() << book.errorText().toStdString();
            return {};
        }
        EXPECT_EQ(book.sheetCount(), 5);
        const xl::Worksheet* sheet = book.sheet(1);
        QStringList out;
        for (int r = 2; r <= sheet->lastRow(); ++r) {
            QStringList cells;
            for (int c = 1; c <= 14; ++c)
                cells << sheet->cell(r, c);
            out << cells.join(u'|');
        }
        return out;
    }
    QStringList filesInWork() const
    {
        return QDir(work_).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    }

    QString work_;
    QString workbook_;
    QString backup_;
    QByteArray sample_;
};

TEST_F(VerificationRunTest, AWholeRunWritesTheMarkedFoliosInTheChosenOrderBesideABackup)
{
    auto w = start();
    QStringList expected;
    expectScreen<Verify_Numbers>([&](Verify_Numbers& list) {
        EXPECT_TRUE(ui().isParked(w.get()));
        ASSERT_EQ(DE().rsVerify().recordCount(), 8);

        // Every status, by button and by menu.
        selectNumber(list, QStringLiteral("100200300"));
        list.Command_Inactivate->click();                   // " " -> "D"
        selectNumber(list, QStringLiteral("100200301"));
        list.mnuACD_Added->trigger();                       // " " -> "A"
        selectNumber(list, QStringLiteral("100200303"));
        list.mnuACD_Changed->trigger();                     // " " -> "C"
        selectNumber(list, QStringLiteral("100200304"));
        list.Command_Activate->click();                     // "D" -> " "
        selectNumber(list, QStringLiteral("100200302"));
        list.mnuACD_Blank->trigger();                       // "C" -> " "
        list.Option_Sort[6]->click();                       // by name
        EXPECT_EQ(DE().rsVerify().text(QStringLiteral("NUMBER")), QStringLiteral("100200302"));

        // Verify.csv goes beside the workbook.
        ui().expectBox(box(QStringLiteral("Export to the Verify.csv file complete. 8 Records exported (%1)")
                               .arg(path(QStringLiteral("work/Verify.csv")))));
        list.Command_Export->click();
        ui().expectBox(box("Import from the " + path(QStringLiteral("work/Verify.csv")) + " file (option #1) complete. Lines imported: 8, "
                           "refused: 0."));
        list.Command_Import1->click();
        EXPECT_EQ(DE().rsVerify().recordCount(), 8);
        ui().expectBox(box(ui::containing(QStringLiteral("Replace the list?")), ui::Answer::Yes));
        ui().expectBox(box("Import from the " + path(QStringLiteral("work/Verify.csv")) + " file (option #2) complete. Lines imported: 8, "
                           "refused: 0."));
        list.Command_Import2->click();

        expected = rows(DE().rsVerify());
        list.Command_Close->click();
    });
    expectScreen<ZARV_ReturnInstructions2>([&](ZARV_ReturnInstructions2& instructions) {
        EXPECT_EQ(instructions.Label_FileName->text(), workbook_);
        EXPECT_TRUE(ui().isParked(w.get()));
        instructions.Command_Exit->click();
    });
    w->Command_VERIFY_OK->click();

    EXPECT_TRUE(ui().ending());
    EXPECT_EQ(ui().modalsShown(), (QStringList{"Verify_Numbers", "ZARV_ReturnInstructions2"}));
    // The list after both imports is the list before them, the folio with only
    // a PID and the apostrophe included, with its marks; in name order.
    ASSERT_EQ(expected.size(), 8);
    EXPECT_EQ(expected, (QStringList{
                            "D|1234|100200300|01|701|000000000000012345||ANNA BERG|12 HARBOUR ROAD|WESTPORT||||LOT 4 PLAN 88",
                            "A|1234|100200301|01|701|000000000000012346||ANNA BERG|12 HARBOUR ROAD|WESTPORT||||LOT 5 PLAN 88",
                            " |1234|100200302|02|702|000000000001100220||JOHN O'NEILL|4 MILL LANE|APT 2|EASTON|||",
                            "C|1234|100200303|02|703|000000000000770001||KARI LUND|FARM 9|NORTH VALE||||GORE 3 CON 2",
                            " |1234|100200307|01|702|000000000000055501|987654321|M AND K HOLDINGS LTD|PO BOX 12|WESTPORT||||BLOCK 2",
                            "A|1234|100200306|  |   ||123456789|NEW OWNER|5 QUAY STREET|WESTPORT||||",
                            " |1234|100200304|03|704|000000000099887766||PETER SMYTHE|1 MAIN STREET|SOUTHBY||||",
                            " |1234|100200305|03|705|000000000000000042||ROSA DIAZ|77 BAY VIEW|||||",
                        }))
        << expected.join(u'\n').toStdString();
    EXPECT_EQ(sheetRows(workbook_), expected);
    EXPECT_EQ(readFile(backup_), sample_);
    EXPECT_EQ(verifyCount(), 0);
    EXPECT_FALSE(DE().rsVerify().isOpen());
    EXPECT_EQ(filesInWork(),
              (QStringList{"MortNo1234.received.xlsx", "MortNo1234.xlsx", "MortNo1234.xlsx.bak", "Verify.csv"}));
    EXPECT_EQ(readFile(path(QStringLiteral("work/MortNo1234.received.xlsx"))), sample_);
    EXPECT_TRUE(QDir(folder()).entryList({"*.csv"}, QDir::Files).isEmpty());
    EXPECT_TRUE(w->Label_PleaseWait->isVisibleTo(w.get()));
    EXPECT_FALSE(ui().busy());
}

TEST_F(VerificationRunTest, AWorkbookThatFailsToLoadIsLeftUntouched)
{
    const QByteArray junk("PK this is no workbook");
    const QString bad = writeFile(QStringLiteral("work/MortNo9.xlsx"), junk);
    auto w = start(QStringLiteral("MortNo9.xlsx"));
    ui().expectBox(box(ui::containing(QStringLiteral("\r\n(load step ")), Answer::OK, Icon::Critical));
    ui().expectBox(box(QStringLiteral("Mortgage Verification file Load FAILED\r\nThe file ") + bad +
                           QStringLiteral(" was not changed."),
                       Answer::OK, Icon::Critical, Buttons::OK, QStringLiteral("ZARV Data")));
    w->Command_VERIFY_OK->click();
    EXPECT_EQ(readFile(bad), junk);
    EXPECT_EQ(filesInWork(), (QStringList{"MortNo1234.xlsx", "MortNo9.xlsx"}));
    EXPECT_TRUE(ui().modalsShown().isEmpty());
    EXPECT_FALSE(ui().ending());
    EXPECT_EQ(w->Text_Msg->text(), QStringLiteral("Mortgage Verification file Load FAILED"));
    EXPECT_TRUE(w->Command_VERIFY_OK->isEnabled());
    EXPECT_TRUE(w->Command_Exit->isEnabled());
    EXPECT_FALSE(ui().busy());
}

TEST_F(VerificationRunTest, AFailedWriteKeepsVerifyAndTheOriginalWorkbook)
{
    auto w = start();
    expectScreen<Verify_Numbers>([&](Verify_Numbers& list) {
        selectNumber(list, QStringLiteral("100200305"));
        list.Command_Inactivate->click();
        // The pair table goes missing, so the writer fails on its last sheet.
        DE().rsCD_JUR().close();
        DE().Zarv.execute(QStringLiteral("DROP TABLE CD_JUR"));
        list.Command_Close->click();
    });
    const QString kept = QStringLiteral("The workbook ") + workbook_ + QStringLiteral(" was left as it was.\r\nIts backup copy is ") + backup_;
    ui().expectBox(box(ui::containing(QStringLiteral("\r\n(write step ")), Answer::OK, Icon::Critical));
    ui().expectBox(box(QStringLiteral("The Mortgage Verification file could not be saved.\r\nThe new workbook could not be "
                                      "written.\r\n") + kept +
                           QStringLiteral("\r\n\r\nClose any program that has the file open, then choose Retry."),
                       Answer::Retry, Icon::Critical, Buttons::RetryCancel, QStringLiteral("ZARV Data Save")));
    ui().expectBox(box(ui::containing(QStringLiteral("\r\n(write step ")), Answer::OK, Icon::Critical));
    ui().expectBox(box(ui::containing(QStringLiteral("could not be saved")), Answer::Cancel));
    ui().expectBox(box(ui::containing(QStringLiteral("Give up saving the Mortgage Verification file?")), Answer::Yes));
    ui().expectBox(box(QStringLiteral("The Mortgage Verification data was NOT saved.\r\n") + kept +
                           QStringLiteral("\r\nThe changes of this run stay in the table VERIFY of ") +
                           DE().databasePath(QStringLiteral("Zarv.mdb")) +
                           QStringLiteral(" until the next Mortgage Verification file is loaded."),
                       Answer::OK, Icon::Critical));
    w->Command_VERIFY_OK->click();

    EXPECT_TRUE(ui().ending());
    EXPECT_EQ(ui().modalsShown(), QStringList{"Verify_Numbers"});
    EXPECT_EQ(readFile(workbook_), sample_);
    EXPECT_EQ(readFile(backup_), sample_);
    EXPECT_EQ(filesInWork(), (QStringList{"MortNo1234.received.xlsx", "MortNo1234.xlsx", "MortNo1234.xlsx.bak"}));
    const QStringList left = verifyRows();
    ASSERT_EQ(left.size(), 8);
    EXPECT_TRUE(left[5].startsWith(QStringLiteral("D|1234|100200305|"))) << left[5].toStdString();
}

TEST_F(VerificationRunTest, ABackupThatCannotBeMadeStopsTheWriteBeforeTheWorkbookIsTouched)
{
    QDir().mkdir(backup_);     // a folder where the backup copy should go
    auto w = start();
    expectScreen<Verify_Numbers>([&](Verify_Numbers& list) {
        selectNumber(list, QStringLiteral("100200300"));
        list.Command_Inactivate->click();
        list.mnuClose->trigger();
    });
    ui().expectBox(box(ui::containing(QStringLiteral("The backup copy ") + backup_ + QStringLiteral(" could not be made")),
                       Answer::Cancel, Icon::Critical, Buttons::RetryCancel));
    // Cancel (or Escape) on the failure only asks; Enter on the question tries again.
    ui().expectBoxEnter(ui::containing(QStringLiteral("Give up saving the Mortgage Verification file?")));
    ui().expectBox(box(ui::containing(QStringLiteral("The backup copy ") + backup_ + QStringLiteral(" could not be made")),
                       Answer::Cancel, Icon::Critical, Buttons::RetryCancel));
    ui().expectBox(box(ui::containing(QStringLiteral("Give up saving the Mortgage Verification file?")), Answer::Yes));
    ui().expectBox(box(ui::containing(QStringLiteral("The Mortgage Verification data was NOT saved.")), Answer::OK));
    w->Command_VERIFY_OK->click();
    EXPECT_TRUE(ui().ending());
    EXPECT_EQ(readFile(workbook_), sample_);
    EXPECT_TRUE(QFileInfo(backup_).isDir());
    EXPECT_EQ(verifyCount(), 8);
}

// The copy of the workbook as received is a courtesy, as in the payment run:
// when it cannot be kept (a folder in its place; a name past the longest the
// file system takes, which the backup's name is not) the workbook is written
// all the same and the clerk is told so once it is saved.
TEST_F(VerificationRunTest, AReceivedCopyThatCannotBeKeptIsReportedOnceTheWorkbookIsSaved)
{
    const QString longName = QStringLiteral("MortNo1234") + QString(233, u'x') + QStringLiteral(".xlsx");
    for (const QString& name : {QStringLiteral("MortNo1234.xlsx"), longName}) {
        SCOPED_TRACE(name.left(20).toStdString());
        ui().reset();
        const QString book = writeFile(QStringLiteral("work/") + name, sample_);
        const QString received = ReceivedCopyPath(book);
        const bool folder = name != longName;
        if (folder)
            QDir().mkdir(received);
        auto w = start(name);
        expectOneFolioMarked();
        const QString note = book + QStringLiteral(" is saved.\r\nThe copy of the workbook as received, ") + received +
                             QStringLiteral(", could not be kept (");
        ui().expectBox(box(folder ? ui::TextMatch(note + QStringLiteral("a folder of that name is in the way)."))
                                  : ui::containing(note),
                           Answer::OK, Icon::Exclamation, Buttons::OK, QStringLiteral("ZARV Data Save")));
        expectInstructionsExited();
        w->Command_VERIFY_OK->click();
        EXPECT_TRUE(ui().clean()) << ui().report().toStdString();
        EXPECT_EQ(ui().modalsShown(), (QStringList{"Verify_Numbers", "ZARV_ReturnInstructions2"}));
        EXPECT_TRUE(sheetRows(book).value(0).startsWith(QStringLiteral("D|1234|100200300|")));
        EXPECT_EQ(readFile(VerificationBackupName(book)), sample_);
        EXPECT_EQ(QFileInfo(received).isDir(), folder);
        EXPECT_FALSE(QFileInfo(received).isFile());
        EXPECT_EQ(verifyCount(), 0);
    }
}

TEST_F(VerificationRunTest, CloseWithoutSavingLeavesWorkbookAndBackupUntouched)
{
    const QByteArray oldBackup("an older backup");
    writeFile(QStringLiteral("work/MortNo1234.xlsx.bak"), oldBackup);
    auto w = start();
    expectScreen<Verify_Numbers>([&](Verify_Numbers& list) {
        selectNumber(list, QStringLiteral("100200300"));
        list.Command_Inactivate->click();
        // The question's default keeps the run going.
        ui().expectBoxEnter(ui::containing(QStringLiteral("Close WITHOUT saving?")));
        list.mnuCloseNOW->trigger();
        EXPECT_FALSE(ui().ending());
        EXPECT_EQ(ui().boxes().back().defaultAnswer, Answer::No);
        ui().expectBox(box(ui::containing(QStringLiteral("the workbook ") + QDir::toNativeSeparators(workbook_) +
                                          QStringLiteral(" stays as it was")),
                           Answer::Yes, Icon::Exclamation, Buttons::YesNo));
        list.mnuCloseNOW->trigger();
    });
    w->Command_VERIFY_OK->click();
    EXPECT_TRUE(ui().ending());
    EXPECT_EQ(ui().modalsShown(), QStringList{"Verify_Numbers"});
    EXPECT_EQ(readFile(workbook_), sample_);
    EXPECT_EQ(readFile(backup_), oldBackup);
    EXPECT_FALSE(w->Label_PleaseWait->isVisibleTo(w.get()));
    EXPECT_TRUE(verifyRows().value(0).startsWith(QStringLiteral("D|1234|100200300|")));
}

TEST_F(VerificationRunTest, WithoutAChosenWorkbookTheRunStopsAtOnce)
{
    auto w = start(QStringLiteral("none.xlsx"));
    ASSERT_LT(w->File->listIndex(), 0);
    w->Command_VERIFY_OK->click();
    EXPECT_EQ(w->Text_Msg->text(),
              QStringLiteral("Please select the Mortgage Verification file (Hint: has a name like MortNo*.xlsx)"));
    EXPECT_TRUE(w->Command_VERIFY_OK->isEnabled());
    EXPECT_TRUE(w->Command_Exit->isEnabled());
    EXPECT_EQ(verifyCount(), 0);

    auto gone = start();
    ASSERT_GE(gone->File->listIndex(), 0);
    QFile::remove(workbook_);   // chosen, then gone before Verify
    gone->Command_VERIFY_OK->click();
    EXPECT_EQ(gone->Text_Msg->text(), QStringLiteral("Mortgage Verification file not found: ") + workbook_);
    EXPECT_TRUE(gone->Command_VERIFY_OK->isEnabled());
}


TEST_F(VerificationRunTest, ARewrittenWorkbookKeepsItsModeAndGroupAndLeavesNothingElse)
{
    const QByteArray name = QFile::encodeName(workbook_);
    // The superuser may give the file any group; another user keeps the own one.
    const gid_t group = ::geteuid() == 0 ? ::getegid() + 4242 : ::getegid();
    ASSERT_EQ(::chown(name.constData(), uid_t(-1), group), 0);
    ASSERT_EQ(::chmod(name.constData(), ::geteuid() == 0 ? 0444 : 0640), 0);
    const mode_t mode = ::geteuid() == 0 ? 0444 : 0640;
    auto w = start();
    if (mode == 0444)
        ui().expectBox(box(ui::containing(QStringLiteral(" is READONLY.")), Answer::Yes, Icon::None, Buttons::YesNo,
                           QStringLiteral("ZARV data File is READONLY")));
    expectOneFolioMarked();
    expectInstructionsExited();
    w->Command_VERIFY_OK->click();

    EXPECT_EQ(verifyCount(), 0);
    EXPECT_NE(readFile(workbook_), sample_);
    struct stat st {};
    ASSERT_EQ(::stat(name.constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, mode);
    EXPECT_EQ(st.st_gid, group);
    EXPECT_EQ(filesInWork(), (QStringList{"MortNo1234.received.xlsx", "MortNo1234.xlsx", "MortNo1234.xlsx.bak"}));
}

// A run that changed nothing (a re-sort is no change) leaves the workbook and
// its backup as they were and keeps no copy; the list is emptied as after any run.
TEST_F(VerificationRunTest, ARunThatChangesNothingLeavesTheWorkbookAndItsBackupAsTheyAre)
{
    const QByteArray oldBackup("an older backup");
    writeFile(QStringLiteral("work/MortNo1234.xlsx.bak"), oldBackup);
    auto w = start();
    expectScreen<Verify_Numbers>([&](Verify_Numbers& list) {
        list.Option_Sort[6]->click();
        selectNumber(list, QStringLiteral("100200300"));
        list.mnuACD_Deleted->trigger();
        list.Command_Activate->click();         // and back again
        list.Command_Close->click();
    });
    expectInstructionsExited();
    w->Command_VERIFY_OK->click();
    EXPECT_TRUE(ui().ending());
    EXPECT_EQ(readFile(workbook_), sample_);
    EXPECT_EQ(readFile(backup_), oldBackup);
    EXPECT_EQ(filesInWork(), (QStringList{"MortNo1234.xlsx", "MortNo1234.xlsx.bak"}));
    EXPECT_EQ(verifyCount(), 0);
}

// A spreadsheet that is no verification workbook (none of its sheets and
// headings) is refused once, by name, before anything is emptied; the clerk
// is back at the start screen and no return instructions follow.
TEST_F(VerificationRunTest, ASpreadsheetThatIsNoVerificationWorkbookIsRefusedOnceByName)
{
    DE().Zarv.execute(QStringLiteral("INSERT INTO VERIFY (ACD, MORTCO, NUMBER) VALUES (' ', '1234', 'KEPT')"));
    const QString other = path(QStringLiteral("work/MortNo0000.xlsx"));
    {
        xl::WorkbookWriter book;
        ASSERT_TRUE(book.create(other));
        for (int sheet = 1; sheet <= 5; ++sheet) {
            ASSERT_TRUE(book.addSheet(QStringLiteral("Sheet%1").arg(sheet)));
            ASSERT_TRUE(book.writeHeadings({QStringLiteral("DATE"), QStringLiteral("AMOUNT"), QStringLiteral("NOTE")}));
            ASSERT_TRUE(book.writeCell(2, 2, QStringLiteral("12.50")));
        }
        ASSERT_TRUE(book.save());
    }
    const QByteArray bytes = readFile(other);
    auto w = start(QStringLiteral("MortNo0000.xlsx"));
    ui().expectBox(box(ui::containing(other + QStringLiteral(" is not a Mortgage Verification workbook")), Answer::OK,
                       Icon::Critical));
    w->Command_VERIFY_OK->click();
    EXPECT_TRUE(ui().clean()) << ui().report().toStdString();
    EXPECT_EQ(ui().boxes().size(), 1u);
    EXPECT_TRUE(ui().modalsShown().isEmpty());
    EXPECT_FALSE(ui().ending());
    EXPECT_TRUE(w->Text_Msg->text().contains(QStringLiteral("not a Mortgage Verification workbook")));
    EXPECT_TRUE(w->Command_VERIFY_OK->isEnabled());
    EXPECT_EQ(readFile(other), bytes);
    EXPECT_EQ(verifyCount(), 1);
}

// Cancel on the intake screen: the list of the last run, the workbook and the
// start screen are as they were.
TEST_F(VerificationRunTest, CancelOnTheIntakeScreenChangesNothing)
{
    DE().Zarv.execute(QStringLiteral("INSERT INTO VERIFY (ACD, MORTCO, NUMBER) VALUES (' ', '1234', 'KEPT')"));
    const QString other = path(QStringLiteral("work/MortNo77.xlsx"));
    {
        using namespace verifylayout;
        xl::WorkbookWriter book;
        ASSERT_TRUE(book.create(other));
        for (const auto& [name, headings] : {std::pair{kMortgageSheet, kMortgageHeadings}, {kFolioMaskSheet, kFolioMaskHeadings},
                                             {kDistrictSheet, kDistrictHeadings}, {kJurisdictionSheet, kJurisdictionHeadings},
                                             {kComboSheet, kComboHeadings}}) {
            ASSERT_TRUE(book.addSheet(name));
            ASSERT_TRUE(book.writeHeadings(headings));
            if (name == kMortgageSheet) {
                for (const auto& [column, text] : {std::pair{2, "1234"}, {3, "NO-CODES"}, {6, "555"}})
                    ASSERT_TRUE(book.writeCell(2, column, QString::fromLatin1(text)));
            }
        }
        ASSERT_TRUE(book.save());
    }
    const QByteArray bytes = readFile(other);
    auto w = start(QStringLiteral("MortNo77.xlsx"));
    ui().expectIntake(ui::containing(QStringLiteral("Tax office leaves out, row 2: ")), false);
    w->Command_VERIFY_OK->click();
    EXPECT_TRUE(ui().clean()) << ui().report().toStdString();
    EXPECT_TRUE(ui().modalsShown().isEmpty());
    EXPECT_EQ(w->Text_Msg->text(), QDir::toNativeSeparators(other) + QStringLiteral(" was not loaded: nothing was changed."));
    EXPECT_TRUE(w->Command_VERIFY_OK->isEnabled());
    EXPECT_FALSE(ui().busy());
    EXPECT_EQ(readFile(other), bytes);
    EXPECT_EQ(verifyCount(), 1);
}

// A workbook of headings only loads nothing: when the clerk adds nothing,
// there is nothing to return and no return instructions are shown.
TEST_F(VerificationRunTest, ARunThatLoadedNothingAndAddedNothingShowsNoReturnInstructions)
{
    ASSERT_TRUE(Mdb2XlsWithoutBackup(workbook_));       // the tables are empty: headings only
    const QByteArray empty = readFile(workbook_);
    auto w = start();
    ui().expectBox(box(QStringLiteral("ERROR - The Verification file is empty"), Answer::OK, Icon::Critical));
    expectScreen<Verify_Numbers>([](Verify_Numbers& list) { list.Command_Close->click(); });
    w->Command_VERIFY_OK->click();
    EXPECT_TRUE(ui().clean()) << ui().report().toStdString();
    EXPECT_EQ(ui().modalsShown(), QStringList{QStringLiteral("Verify_Numbers")});
    EXPECT_FALSE(ui().ending());
    EXPECT_TRUE(w->Command_VERIFY_OK->isEnabled());
    EXPECT_TRUE(w->File->isVisible());
    EXPECT_EQ(readFile(workbook_), empty);
}

} // namespace
