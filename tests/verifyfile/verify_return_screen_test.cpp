// The receiving screen, driven as a clerk at the tax office uses it: open it,
// pick a returned workbook, press OK, read the list, print the errors, upload.
#include "verify_return_support.h"

#include "platform/data/recordset.h"
#include "platform/grid/recordsetgrid.h"
#include "services/dataenvironment.h"
#include "verifyfile/screens/VerifyReturnReport.h"
#include "verifyfile/verifiedfile.h"

#include <QDir>
#include <QFile>
#include <QFrame>
#include <QGroupBox>
#include <QPushButton>
#include <QRegularExpression>

namespace zarv::test {
namespace {

using ui::Answer;
using ui::Buttons;
using ui::Icon;

const QString kSelect = "Please select the Mortgage Number Verification file";
const QString kNotFound = "File not found";
const QString kWait = "please wait...";
const QString kCheck = "Check if this is the file that you want to upload";
const QString kNothing = "There is nothing in the selected file!";
const QString kPrinted = "Error Report Printed !";

const std::vector<bool> kNothingShown = {false, false, false, false};
const std::vector<bool> kUploadable = {true, true, true, true};

// Three clean folios: one with a mask in FolioMask, one without, one by PID only.
const QStringList kCleanRows = {
    " |1234|100200300|01|701|000000000000012345||ANNA BERG|12 HARBOUR ROAD|WESTPORT||||LOT 4",
    "D|1234|100200304|03|704|99887766||PETER SMYTHE|1 MAIN STREET",
    "A|1234|100200306|||  |123456789|NEW OWNER|5 QUAY STREET",
};

// A returned workbook with the code tables its folios' districts and
// jurisdictions are checked against.
Book withCodes(const QStringList& rows)
{
    Book b{mortgageRows(rows)};
    addCodes(b, {{"01|NORTH", "03|SOUTH"}, {"701|WESTPORT", "704|EASTBAY"}, {"01|701", "03|704"}});
    return b;
}

class VerifyReturnScreen : public ReturnScreenTest {
protected:
    QString clean() { return returned("MortNo1234.xlsx", withCodes(kCleanRows)); }

    // What the list shows after a workbook of n records without an error.
    QStringList cleanLoad(int n) const
    {
        return {Records(n) + " read: " + QString::number(n) + " loaded, 0 NOT loaded; 0 of the loaded with errors.",
                kCheck,
                "Upload writes the verified file " + QDir::toNativeSeparators(verifiedFile()) + ". It will hold the " +
                    Records(n) + " loaded; none has an error."};
    }
    // Presses Upload, which writes the verified file.
    void upload()
    {
        ui().expectBox(infoBox(ui::containing("The verified file " + QDir::toNativeSeparators(verifiedFile()))));
        screen().Command_Upload->click();
    }

    // A workbook whose load lists a duplicate, a reject and a warning.
    QString withErrors()
    {
        return returned("MortNo5555.xlsx",
                        withCodes({
                            " |1234|100|01|701|000000000000012345||ANNA",
                            " |1234|101|01|701|000000000000012345||DUPLICATE",
                            " |1234|102|||||NAME ONLY|SOME ADDRESS",
                            "X|1234|103|01|701|000000000000012399||BAD CODE",
                        }));
    }
};

// ---------------------------------------------------------------- opening

TEST_F(VerifyReturnScreen, OpeningStartsInTheEmailFolderWithVerifyEmptiedAndTheVerifiedFileKept)
{
    addVerifyRow(" |1234|1|01|701|1");
    writeFile("verified/ZARVP040_VERIFIED.zarv", "OLD\r\n");
    writeFile("email/MortNo1.xlsx", "x");
    writeFile("email/RETURNED.XLSX", "x");
    writeFile("email/notes.txt", "x");
    writeFile("email/.hidden.xlsx", "x");
    UploadRequested = true;

    Verify_Return& s = open();
    EXPECT_EQ(s.windowTitle(), "ZARV (Verify Mortgage Number - Receive folios from Mortgage Company)");
    EXPECT_EQ(s.Dir->path(), emailFolder());
    EXPECT_EQ(s.File->path(), emailFolder());
    QStringList listed;
    for (int i = 0; i < s.File->listCount(); ++i)
        listed << s.File->item(i)->text();
    EXPECT_EQ(listed, QStringList({"MortNo1.xlsx", "RETURNED.XLSX"}));
    EXPECT_EQ(s.Drive->drive(), s.Drive->driveOf(emailFolder()));

    EXPECT_EQ(tableCount("VERIFY"), 0);
    EXPECT_EQ(readFile(verifiedFile()), "OLD\r\n");     // the tax office's system may not have taken it yet
    EXPECT_FALSE(UploadRequested);
    EXPECT_TRUE(lines().isEmpty());
    EXPECT_EQ(selectedFileState(), kNothingShown);
    EXPECT_FALSE(s.Command_PrintErrors->isEnabled());
    EXPECT_TRUE(s.Command_OK->isEnabled());
    EXPECT_FALSE(ui().busy());

    // The grid's columns, each as field=heading.
    const ui::RecordsetModel* model = s.TDBGrid_Verify->recordsetModel();
    ASSERT_NE(model, nullptr);
    QStringList columns;
    for (int c = 0; c < model->columnCount(); ++c)
        columns << model->column(c).field + "=" + model->column(c).heading;
    EXPECT_EQ(columns, QStringList({"MORTCO=Mort.Co", "ACD=", "NUMBER=Mortgage Number", "CD=CD", "JUR=JUR",
                                    "FOLIO=Folio Number", "PID=PID", "NAME=Name", "ADDR1=Address Line1",
                                    "ADDR2=Address Line 2", "ADDR3=Address Line 3", "ADDR4=Address Line 4",
                                    "ADDR5=Address Line 5", "LEGAL=Legal Description"}));
}

// Without a selection OK only asks for one; an empty workbook counts as not found.
TEST_F(VerifyReturnScreen, OkWithoutAWorkbookOnlySaysWhatIsMissing)
{
    writeFile("email/Empty.xlsx", "");
    Verify_Return& s = open();
    s.File->setListIndex(-1);
    s.Command_OK->click();
    EXPECT_EQ(lines(), QStringList({kSelect}));
    EXPECT_EQ(selectedFileState(), kNothingShown);
    EXPECT_FALSE(s.Command_PrintErrors->isEnabled());
    load("Empty.xlsx");
    EXPECT_EQ(lines(), QStringList({kNotFound + ": " + path("email/Empty.xlsx")}));
    EXPECT_EQ(selectedFileState(), kNothingShown);
    EXPECT_FALSE(s.Command_PrintErrors->isEnabled());
    EXPECT_TRUE(ui().boxes().empty());
    EXPECT_FALSE(QFileInfo::exists(verifiedFile()));
}

// ---------------------------------------------------------------- read-only workbooks

// A read-only workbook asks first: No stays on the screen, Yes loads.
TEST_F(VerifyReturnScreen, AReadOnlyWorkbookAsksFirstNoStaysOnTheScreenYesLoads)
{
    // An earlier load of this opening.
    returned("MortNo0001.xlsx", withCodes({" |9999|1|01|701|1"}));
    const QString locked = clean();
    ASSERT_TRUE(QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::ReadGroup));
    Verify_Return& s = open();
    load("MortNo0001.xlsx");
    ASSERT_EQ(tableCount("VERIFY"), 1);

    const QString caution = "CAUTION This program found that the file attribute of " + locked +
                            " is READONLY. You can Stop now and change the file property (The file attributes "
                            "must NOT be READONLY). You can continue and lose all data changes. Do you want to "
                            "continue ?";
    ui().expectBox(box(caution, Answer::No, Icon::None, Buttons::YesNo, "ZARV data File is READONLY"));
    load("MortNo1234.xlsx");
    // The screen stays to choose again; nothing was loaded and the earlier load stays.
    EXPECT_EQ(s.result(), 0);
    EXPECT_TRUE(lines().contains("Stopped: " + locked + " was not loaded."));
    EXPECT_FALSE(UploadRequested);
    EXPECT_EQ(tableCount("VERIFY"), 1);
    EXPECT_FALSE(QFileInfo::exists(verifiedFile()));
    EXPECT_FALSE(lines().contains(kWait));

    ui().expectBox(box(caution, Answer::Yes, Icon::None, Buttons::YesNo, "ZARV data File is READONLY"));
    load("MortNo1234.xlsx");
    EXPECT_EQ(s.result(), 0);
    EXPECT_EQ(tableCount("VERIFY"), 3);
    EXPECT_EQ(selectedFileState(), kUploadable);
    EXPECT_EQ(lines(), cleanLoad(3));
    QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

// ---------------------------------------------------------------- a clean workbook

TEST_F(VerifyReturnScreen, ACleanWorkbookShowsItsFoliosAndWritesTheVerifiedFile)
{
    db::Recordset masks(&de().ZarvDb, "FolioMask");
    addMask(masks, "701", 10, "###-###-###-#", "2019");
    addMask(masks, "701", 10, "##########", "2024");
    clean();
    Verify_Return& s = open();
    load("MortNo1234.xlsx");

    EXPECT_EQ(lines(), cleanLoad(3));
    EXPECT_TRUE(ui().boxes().empty());
    EXPECT_FALSE(QFileInfo::exists(verifiedFile()));     // not before Upload
    EXPECT_EQ(selectedFileState(), kUploadable);
    EXPECT_FALSE(s.Command_PrintErrors->isEnabled());
    EXPECT_FALSE(ui().busy());
    EXPECT_TRUE(s.Frame_Select->isEnabled());

    // The grid in NUMBER order, the folio through the reference masks.
    const ui::RecordsetModel* model = s.TDBGrid_Verify->recordsetModel();
    ASSERT_EQ(model->rowCount(), 3);
    EXPECT_EQ(model->cellText(0, 2), "100200300");
    EXPECT_EQ(model->cellText(0, Verify_Return::kFolioColumn), "000-001-234-5");
    EXPECT_EQ(model->cellText(1, Verify_Return::kFolioColumn), "99887766" + QString(12, u' '));
    EXPECT_EQ(model->cellText(2, Verify_Return::kFolioColumn), "");
    EXPECT_EQ(model->cellText(1, 1), "D");
    EXPECT_EQ(model->currentRow(), 0);

    // Upload writes the file, says where and when, and leaves the folios for what follows.
    const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
    upload();
    EXPECT_TRUE(ui().allExpectationsMet()) << ui().report().toStdString();
    EXPECT_TRUE(UploadRequested);
    EXPECT_EQ(s.result(), int(QDialog::Accepted));
    EXPECT_EQ(tableCount("VERIFY"), 3);
    // Each field's place in the record is checked in verified_file_test.cpp.
    EXPECT_EQ(verifiedNumbers(readFile(verifiedFile())),
              QStringList({"100200300", "100200304", "100200306"}));
    const QRegularExpressionMatch m =
        QRegularExpression("^The verified file (.+) was written at (.+)\\. It holds the 3 records loaded; none has an "
                           "error\\.\r\nThe receiving screen closes now\\.$")
            .match(ui().boxes().back().prompt);
    ASSERT_TRUE(m.hasMatch()) << ui().boxes().back().prompt.toStdString();
    EXPECT_EQ(m.captured(1), QDir::toNativeSeparators(verifiedFile()));
    const QDateTime at = QDateTime::fromString(m.captured(2), "yyyy-MM-dd hh:mm:ss");
    EXPECT_TRUE(at >= before && at <= QFileInfo(verifiedFile()).lastModified().addSecs(1))
        << m.captured(2).toStdString();
}

// A click on a file loads it at once; Close leaves without Upload.
TEST_F(VerifyReturnScreen, AClickOnAFileLoadsItAtOnceAndCloseLeavesWithoutUpload)
{
    clean();
    Verify_Return& s = open();
    choose("MortNo1234.xlsx");
    emit s.File->itemClicked(s.File->item(s.File->listIndex()));
    EXPECT_EQ(lines(), cleanLoad(3));
    s.Command_Close->click();
    EXPECT_FALSE(UploadRequested);
    EXPECT_EQ(s.result(), int(QDialog::Rejected));
    EXPECT_EQ(tableCount("VERIFY"), 3);
    EXPECT_FALSE(QFileInfo::exists(verifiedFile()));
}

// A workbook without folios, and one whose load fails (sheet 1 is read, then a
// folio length that is no number stops the load), write nothing and cannot be uploaded.
TEST_F(VerifyReturnScreen, AWorkbookWithoutFoliosOrAFailedLoadWritesNothingAndCannotBeUploaded)
{
    Book failing{mortgageRows(kCleanRows)};
    failing.folioMask.push_back({"701", "AB", "###"});
    returned("MortNo0000.xlsx", Book{});
    returned("MortNo4444.xlsx", failing);
    Verify_Return& s = open();
    for (const bool empty : {true, false}) {
        SCOPED_TRACE(empty ? "no folios" : "a failed load");
        if (empty) {
            ui().expectBox(criticalBox("ERROR - The Verification file is empty"));
            load("MortNo0000.xlsx");
            EXPECT_EQ(lines(), QStringList({"ERROR - The Verification file is empty", kNothing}));
        } else {
            ui().expectBox(criticalBox(ui::containing("\r\n(load step ")));
            load("MortNo4444.xlsx");
            ASSERT_GT(tableCount("VERIFY"), 0) << "the load should have stored part of the workbook";
            EXPECT_FALSE(lines().contains(kCheck));
            EXPECT_TRUE(lines().last().contains("MortNo4444.xlsx could not be loaded completely"))
                << lines().last().toStdString();
        }
        EXPECT_EQ(selectedFileState(), std::vector<bool>({true, false, false, false}));
        EXPECT_TRUE(s.Command_PrintErrors->isEnabled());
        EXPECT_FALSE(QFileInfo::exists(verifiedFile()));
        EXPECT_FALSE(ui().busy());
    }
}

// ---------------------------------------------------------------- a workbook with errors

TEST_F(VerifyReturnScreen, AWorkbookWithErrorsListsThemAndWithoutAPrinterTheReportGoesBesideIt)
{
    withErrors();
    Verify_Return& s = open();
    load("MortNo5555.xlsx");

    const QStringList errors = {
        "Row 3, folio 000000000000012345: NOT LOADED: the same company, jurisdiction and folio as row 2",
        "Row 4, no folio or PID: NOT LOADED: no district, jurisdiction, folio or PID",
        "Row 5, folio 000000000000012399: status 'X' is not A, C, D or blank",
    };
    EXPECT_EQ(lines(), errors + QStringList({"4 records read: 2 loaded, 2 NOT loaded; 1 of the loaded with errors.", kCheck,
                                        "Upload writes the verified file " + QDir::toNativeSeparators(verifiedFile()) +
                                            ". It will hold the 1 record without errors; the 1 record with errors "
                                            "is left out."}));
    EXPECT_EQ(s.reportLines(), errors);
    EXPECT_TRUE(ui().boxes().empty());
    EXPECT_EQ(selectedFileState(), kUploadable);
    EXPECT_TRUE(s.Command_PrintErrors->isEnabled());

    // Without a printer the error report goes beside the returned workbook, named for it.
    s.setReportTarget(std::nullopt);
    const QString before = QDir::currentPath();
    QDir().mkpath(path("elsewhere"));
    QDir::setCurrent(path("elsewhere"));
    const QString pdf = QDir(emailFolder()).filePath("MortNo5555 errors.pdf");
    ui().expectPrint(QStringLiteral("Verification File Errors"));
    ui().expectBox(infoBox("The error report was saved as " + pdf));
    s.Command_PrintErrors->click();
    QDir::setCurrent(before);
    EXPECT_GT(QFileInfo(pdf).size(), 0);
    EXPECT_EQ(QDir(path("elsewhere")).entryList(QDir::Files), QStringList());
}

// A print that fails, or messages that cannot be stored for it, are said and
// never reported as printed; the clerk can print again.
TEST_F(VerifyReturnScreen, AFailedPrintIsSaidAndNeverReportedAsPrinted)
{
    for (const bool stored : {true, false}) {
        SCOPED_TRACE(stored ? "the print fails" : "the messages cannot be stored");
        withErrors();
        Verify_Return& s = open();
        load("MortNo5555.xlsx");
        if (stored) {
            s.setReportTarget(ui::PdfTarget{path("no such folder"), "ErrorReport.pdf", false});
            ui().expectPrint(QStringLiteral("Verification File Errors"));
            ui().expectBox(criticalBox(ui::containing("The error report could not be printed: ")));
        } else {
            de().rsErrorMessage().close();
            de().ZarvDb.execute("DROP TABLE ErrorMessage");
            const QString notStored = "The messages could not be stored for the error report: ";
            ui().expectBox(criticalBox(ui::containing(notStored)));
        }
        s.Command_PrintErrors->click();
        EXPECT_TRUE(ui().clean()) << ui().report().toStdString();
        if (stored)
            EXPECT_EQ(errorMessageRows().size(), s.reportLines().size());
        EXPECT_FALSE(QFileInfo::exists(QDir(reportFolder()).filePath("ErrorReport.pdf")));
        EXPECT_TRUE(s.Command_PrintErrors->isEnabled());
        for (const ui::ShownBox& b : ui().boxes())
            EXPECT_NE(b.prompt, kPrinted);
    }
}

// ---------------------------------------------------------------- mended faults

TEST_F(VerifyReturnScreen, AVerifiedFileThatCannotBeWrittenIsListedAndTheScreenStays)
{
    clean();
    QDir().mkpath(verifiedFile());     // a folder stands where the file goes
    Verify_Return& s = open();
    load("MortNo1234.xlsx");
    ui().expectBox(criticalBox(ui::containing("ERROR - The verified file was NOT written: ")));
    s.Command_Upload->click();

    EXPECT_TRUE(lines().last().startsWith("ERROR - The verified file was NOT written: ")) << lines().last().toStdString();
    EXPECT_FALSE(UploadRequested);
    EXPECT_EQ(s.result(), 0);
    // The clerk can make room and upload again.
    EXPECT_EQ(selectedFileState(), kUploadable);
    EXPECT_TRUE(s.Command_PrintErrors->isEnabled());
    QDir(verifiedFile()).removeRecursively();
    upload();
    EXPECT_TRUE(UploadRequested);
    EXPECT_EQ(readFile(verifiedFile()).size(), 3 * (kVerifiedRecordLength + 2));
}

TEST_F(VerifyReturnScreen, ASecondLoadCannotStartWhileOneRuns)
{
    withErrors();
    clean();
    Verify_Return& s = open();
    int during = 0;
    std::vector<bool> okEnabled, closeEnabled, working;
    bool busy = false;
    QObject::connect(s.List_Msg->model(), &QAbstractItemModel::rowsInserted, &s, [&] {
        // The first line the load itself adds, after "please wait...".
        if (++during != 2)
            return;
        // The clerk clicks around while the workbook is being read.
        okEnabled.push_back(s.Command_OK->isEnabled());
        closeEnabled.push_back(s.Command_Close->isEnabled());
        working.push_back(s.busyWorking());
        busy = ui().busy();
        s.File->setFileName("MortNo1234.xlsx");
        s.Command_OK_Click();
        s.File_Click();
        s.Command_PrintErrors_Click();
        s.Command_Upload_Click();
        s.Command_Close_Click();
        s.close();
    });
    load("MortNo5555.xlsx");

    ASSERT_GT(during, 2);
    EXPECT_EQ(okEnabled, std::vector<bool>({false}));
    EXPECT_EQ(closeEnabled, std::vector<bool>({false}));
    EXPECT_EQ(working, std::vector<bool>({true}));
    EXPECT_TRUE(busy);
    EXPECT_EQ(lines().count(kWait), 0);   // shown while the load ran
    EXPECT_EQ(lines().filter(kCheck).size(), 1);
    EXPECT_EQ(s.result(), 0);
    EXPECT_FALSE(UploadRequested);
    EXPECT_EQ(tableCount("VERIFY"), 2);
    // Afterwards the screen answers again.
    EXPECT_TRUE(s.Command_OK->isEnabled());
    EXPECT_TRUE(s.Command_Close->isEnabled());
    EXPECT_FALSE(s.busyWorking());
}

// Names and addresses typed with Alt+Enter in a spreadsheet, and a tab.
const QStringList kRowsWithLineBreaks = {
    " |1234|1|01|701|11||ANNA\nBERG|12 HARBOUR\r\nROAD|WEST\tPORT",
    " |1234|2|01|701|12||PETER\rSMYTHE|1 MAIN|||||LOT\n4",
};

TEST_F(VerifyReturnScreen, LineBreaksAndTabsInCellsBecomeBlanksSoEachFolioIsOneRecord)
{
    returned("MortNo7777.xlsx", withCodes(kRowsWithLineBreaks));
    open();
    load("MortNo7777.xlsx");
    EXPECT_EQ(lines(), cleanLoad(2));
    upload();
    EXPECT_EQ(tableRows("SELECT * FROM VERIFY ORDER BY NUMBER", {"NAME", "ADDR1", "ADDR2", "LEGAL"}),
              QStringList({"ANNA BERG|12 HARBOUR  ROAD|WEST PORT|", "PETER SMYTHE|1 MAIN||LOT 4"}));
    EXPECT_EQ(verifiedNumbers(readFile(verifiedFile())), QStringList({"1", "2"}));
}

// An Upload never replaces a verified file silently: the one already there is
// kept under a name that says which workbook it came from and when it was
// written, and the Upload's message says so.
TEST_F(VerifyReturnScreen, AnEarlierVerifiedFileIsKeptUnderTheNameOfItsWorkbookAndTime)
{
    const QString folder = QFileInfo(verifiedFile()).absolutePath();
    auto keptFiles = [&] {
        return QDir(folder).entryList({"*.zarv"}, QDir::Files, QDir::Name).filter(QRegularExpression("^ZARVP040_VERIFIED "));
    };
    auto stamp = [](const QString& file) {
        return QFileInfo(file).lastModified().toString("yyyy-MM-dd hhmmss");
    };
    // One whose workbook nobody recorded.
    writeFile("verified/ZARVP040_VERIFIED.zarv", "OLD\r\n");
    const QString unknownKept = "ZARVP040_VERIFIED before " + stamp(verifiedFile()) + ".zarv";
    clean();
    open();
    load("MortNo1234.xlsx");
    ui().expectBox(infoBox(ui::containing("The verified file that was there before is kept as " +
                                          QDir::toNativeSeparators(QDir(folder).filePath(unknownKept)) + ".")));
    screen().Command_Upload->click();
    ASSERT_TRUE(ui().clean()) << ui().report().toStdString();
    EXPECT_EQ(keptFiles(), QStringList{unknownKept});
    EXPECT_EQ(readFile(QDir(folder).filePath(unknownKept)), "OLD\r\n");

    // The next Upload keeps this one under the workbook it came from.
    const QByteArray first = readFile(verifiedFile());
    const QString fromFirst = "ZARVP040_VERIFIED from MortNo1234 " + stamp(verifiedFile()) + ".zarv";
    returned("MortNo7777.xlsx", withCodes({kCleanRows[0]}));
    open();
    EXPECT_EQ(readFile(verifiedFile()), first);
    load("MortNo7777.xlsx");
    ui().expectBox(infoBox(ui::containing("The verified file that was there before, written from MortNo1234.xlsx, is "
                                          "kept as " + QDir::toNativeSeparators(QDir(folder).filePath(fromFirst)) + ".")));
    screen().Command_Upload->click();
    ASSERT_TRUE(ui().clean()) << ui().report().toStdString();
    EXPECT_EQ(keptFiles(), QStringList({unknownKept, fromFirst}));
    EXPECT_EQ(readFile(QDir(folder).filePath(fromFirst)), first);
    EXPECT_EQ(readFile(verifiedFile()).count("\r\n"), 1);
}

// ---------------------------------------------------------------- ErrorMessage

TEST_F(VerifyReturnScreen, ErrorMessageRowsAreNumberedPastTheSixteenBitRange)
{
    QStringList many;
    for (int i = 1; i <= 33000; ++i)
        many << QString("line %1").arg(i);
    QString error;
    ASSERT_TRUE(StoreErrorMessages(many, &error)) << error.toStdString();
    const QStringList rows = errorMessageRows();
    EXPECT_EQ(rows.size(), 33000);
    EXPECT_EQ(rows.last(), "33000|line 33000");
}

TEST(ErrorMessageRows, LineBreaksPartWordsAndLongTextsGoOnOverRowsEndingBetweenWords)
{
    EXPECT_EQ(ErrorMessageRows("one\r\ntwo\rthree\nfour"), QStringList({"one two three four"}));
    EXPECT_EQ(ErrorMessageRows("one :  \r\n next"), QStringList({"one :   next"}));
    EXPECT_EQ(ErrorMessageRows(""), QStringList({""}));
    // 150 and 100 characters of words: cut between them, never inside one.
    const QString words = (QString(9, u'a') + ' ').repeated(25) + "end";
    const QStringList rows = ErrorMessageRows(words);
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[0].size(), 199);
    EXPECT_EQ(rows.join(' '), words);
    for (const QString& row : rows)
        EXPECT_LE(row.size(), kErrorMsgLength);
}

TEST(VerifyReturnReportLayout, LongMessagesWrapUnderTheirNumber)
{
    const QStringList lines = VerifyReturnReport::blockLines({12, QString(95, u'x') + "yyyyy"});
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0], "  12    " + QString(90, u'x'));
    EXPECT_EQ(lines[1], QString(8, u' ') + "xxxxxyyyyy");
    EXPECT_EQ(VerifyReturnReport::blockLines({1, ""}), QStringList({"   1"}));

    // Lines break between words: the word that would cross the edge starts the next line.
    const QString words = QString(84, u'a') + " workbook that was returned";
    EXPECT_EQ(VerifyReturnReport::blockLines({3, words}),
              QStringList({"   3    " + QString(84, u'a'), QString(8, u' ') + "workbook that was returned"}));
}

} // namespace
} // namespace zarv::test
