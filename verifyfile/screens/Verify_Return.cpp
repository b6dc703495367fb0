#include "verifyfile/screens/Verify_Return.h"

#include "platform/files/filesys.h"
#include "platform/files/settings.h"
#include "platform/grid/recordsetgrid.h"
#include "platform/text/vb.h"
#include "platform/ui/uiservices.h"
#include "services/clientdata.h"
#include "services/dataenvironment.h"
#include "services/failurenotice.h"
#include "services/system.h"
#include "verifyfile/screens/VerifyReturnReport.h"
#include "verifyfile/verifiedfile.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>

#include <exception>

namespace zarv {

namespace {

// The texts of the screen.
const QString kSelectAFile = QStringLiteral("Please select the Mortgage Number Verification file");
const QString kFileNotFound = QStringLiteral("File not found");
const QString kPleaseWait = QStringLiteral("please wait...");
const QString kCheckTheFile = QStringLiteral("Check if this is the file that you want to upload");
const QString kNothingInTheFile = QStringLiteral("There is nothing in the selected file!");
const QString kNotWritten = QStringLiteral("ERROR - The verified file was NOT written: ");
const QString kNothingToUpload =
    QStringLiteral("Every loaded record has an error: nothing can be uploaded and no verified file is written.");
const QString kReportPrinted = QStringLiteral("Error Report Printed !");
const QString kClosing = QStringLiteral("The receiving screen closes now.");
const QString kUploadStopped = QStringLiteral("Upload stopped: nothing was written.");
// After a failure whose message box named its cause.
const QString kNotEmptied =
    QStringLiteral("Error Verify_Return(Form_Load): the earlier verification list could not be emptied.");
const QString kNotShown =
    QStringLiteral("Error Verify_Return(Command_OK_Click): the loaded folios cannot be shown.");

// A grid column: field, caption, least width in twips, the field's length.
ui::GridColumn column(const char* field, const char* heading, int twips, int chars)
{
    ui::GridColumn c;
    c.field = QString::fromLatin1(field);
    c.heading = QString::fromLatin1(heading);
    c.width = twips;
    c.widthInTwips = true;
    c.chars = chars;
    return c;
}

QString joinPath(const QString& folder, const QString& file)
{
    return folder.endsWith(QLatin1Char('/')) ? folder + file : folder + QLatin1Char('/') + file;
}

} // namespace

// While a load or a print runs: the lists, OK and Close wait, and the
// handlers that would start another piece of work return at once.
class Verify_Return::Working {
public:
    explicit Working(Verify_Return& screen) : screen_(screen) { screen_.setWorking(true); }
    ~Working() { screen_.setWorking(false); }
    Working(const Working&) = delete;
    Working& operator=(const Working&) = delete;

private:
    Verify_Return& screen_;
};

Verify_Return::Verify_Return(QWidget* parent) : QDialog(parent)
{
    setupUi(this);
    setWindowTitle(caption());
    File->setPattern(QStringLiteral("*.xlsx"));
    std::vector<ui::GridColumn> columns = {
        column("MORTCO", "Mort.Co", 1000, 4),         column("ACD", "", 300, 1),
        column("NUMBER", "Mortgage Number", 2000, 12), column("CD", "CD", 400, 2),
        column("JUR", "JUR", 500, 3),                 column("FOLIO", "Folio Number", 2200, 18),
        column("PID", "PID", 1200, 9),                column("NAME", "Name", 3000, 70),
        column("ADDR1", "Address Line1", 2200, 30),   column("ADDR2", "Address Line 2", 2200, 30),
        column("ADDR3", "Address Line 3", 2200, 30),  column("ADDR4", "Address Line 4", 2200, 30),
        column("ADDR5", "Address Line 5", 2200, 30),  column("LEGAL", "Legal Description", 2500, 32),
    };
    columns[kFolioColumn].format = [this](const QVariant& value, qint64 bookmark) {
        return TDBGrid_Verify_FormatText(kFolioColumn, ui::RecordsetModel::plainText(value), bookmark);
    };
    TDBGrid_Verify->bind(nullptr, std::move(columns));
    connectHandlers();
    Form_Load();
}

Verify_Return::~Verify_Return()
{
    // The grid must not read rsVerify once the screen is gone.
    if (TDBGrid_Verify && TDBGrid_Verify->recordsetModel())
        TDBGrid_Verify->recordsetModel()->setRecordset(nullptr);
}

// ---------------------------------------------------------------- controls

void Verify_Return::connectHandlers()
{
    connect(Drive, &ui::DriveList::driveChanged, this, &Verify_Return::Drive_Change);
    connect(Dir, &ui::DirList::pathChanged, this, &Verify_Return::Dir_Change);
    connect(File, &QListWidget::itemClicked, this, &Verify_Return::File_Click);
    connect(Command_OK, &QPushButton::clicked, this, &Verify_Return::Command_OK_Click);
    connect(Command_Browse, &QPushButton::clicked, this, &Verify_Return::Command_Browse_Click);
    connect(Command_Upload, &QPushButton::clicked, this, &Verify_Return::Command_Upload_Click);
    connect(Command_Close, &QPushButton::clicked, this, &Verify_Return::Command_Close_Click);
    connect(Command_PrintErrors, &QPushButton::clicked, this, &Verify_Return::Command_PrintErrors_Click);
    // A list read to its end stays at its end when the window or the lines
    // change size, so that its last line is always seen whole.
    QScrollBar* messages = List_Msg->verticalScrollBar();
    connect(messages, &QScrollBar::valueChanged, this,
            [this, messages](int value) { messagesAtEnd_ = value >= messages->maximum(); });
    connect(messages, &QScrollBar::rangeChanged, this, [this, messages](int, int end) {
        if (messagesAtEnd_)
            messages->setValue(end);
    });
}

// ---------------------------------------------------------------- load and leave

void Verify_Return::Form_Load()
{
    // The lists start in the folder a workbook was chosen from last, else in the
    // folder that receives the returned workbooks, else at home.
    const fs::Settings& settings = fs::Settings::instance();
    QString start = ui::cleanFolder(QDir::homePath());
    for (const QString& folder : {settings.receivingLastFolder(), settings.emailFolder()}) {
        if (!folder.isEmpty() && QFileInfo(folder).isDir()) {
            start = ui::cleanFolder(folder);
            break;
        }
    }
    const QString root = Drive->addDriveFor(start);
    // Choosing another drive runs Drive_Change; otherwise it runs here.
    if (root.isEmpty() || root == Drive->drive() || !Drive->setDrive(root))
        Drive_Change();
    Dir->setPath(start);    // a folder that does not exist leaves the list where it was

    List_Msg->clear();
    reportLines_.clear();
    UploadRequested = false;
    hideSelectedFile();
    emptyVerify();
    Command_PrintErrors->setEnabled(false);
    printErrorsWanted_ = false;
    ui::ui().setBusy(false);
    ui::ui().doEvents();
}

void Verify_Return::Form_Activate()
{
    ui::ui().setBusy(false);
    ui::ui().doEvents();
}

void Verify_Return::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    Form_Activate();
}

void Verify_Return::closeEvent(QCloseEvent* event)
{
    if (working_) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void Verify_Return::reject()
{
    if (!working_)
        Unload(QDialog::Rejected);
}

ui::PdfTarget Verify_Return::reportTarget() const
{
    if (reportTarget_)
        return *reportTarget_;
    return VerifyReturnReport::targetFor(VerifyFilePath.isEmpty() ? joinPath(Dir->path(), QStringLiteral("ZARV"))
                                                                  : VerifyFilePath);
}

void Verify_Return::Unload(int result)
{
    unloaded_ = true;
    done(result);
}

void Verify_Return::emptyVerify()
{
    const bool emptied = Guarded(QStringLiteral("Verify_Return.Form_Load"), [] {
        db::Recordset& rs = DE().rsVerify();
        if (!rs.isOpen())
            rs.open();
        if (rs.recordCount() > 0) {
            db::TransactionGuard trans(DE().Zarv);
            DE().Zarv.execute(QStringLiteral("DELETE FROM VERIFY"));
            trans.commit();
            rs.requery();
            ui::ui().doEvents();
        }
    }, ui::UiServices::appTitle());
    if (!emptied)
        addError(kNotEmptied);
}

void Verify_Return::Command_Upload_Click()
{
    // The verified file is written only now, so that nothing waits for the
    // upload before the clerk has chosen it.
    if (working_ || !returned_)
        return;
    if (!leftOutAccepted()) {
        addNote(kUploadStopped);
        return;
    }
    KeptVerifiedFile kept;
    if (!keepEarlierVerifiedFile(&kept) || !writeVerifiedFile())
        return;
    const QString target = QFileInfo(VerifiedFilePath()).absoluteFilePath();
    RecordVerifiedOrigin(target, VerifyFilePath);
    UploadRequested = true;
    QString told = returned_->verifiedFileNote(target);
    if (!kept.copy.isEmpty())
        told += QStringLiteral("\r\n") + kept.note();
    told += QStringLiteral("\r\n") + kClosing;
    ui::ui().msgBox(told, ui::Buttons::OK, ui::Icon::Information);
    Unload(QDialog::Accepted);
}

bool Verify_Return::leftOutAccepted()
{
    const std::vector<LeftOutRecord> leftOut = returned_->leftOut();
    if (leftOut.empty())
        return true;
    // A record left out here never reaches the tax office's system: each is
    // named, and writing the others goes ahead only when the clerk says so.
    QString question = QStringLiteral("%1 left out of the verified file:")
                           .arg(leftOut.size() == 1 ? QStringLiteral("1 record is")
                                                    : QStringLiteral("%1 records are").arg(leftOut.size()));
    // A box of thousands of lines cannot be read: past the first ones the
    // message list names the rest.
    constexpr size_t kNamed = 25;
    for (size_t i = 0; i < leftOut.size() && i < kNamed; ++i)
        question += QStringLiteral("\r\n") + leftOut[i].text();
    if (leftOut.size() > kNamed)
        question += QStringLiteral("\r\n... and %1 more, each named in the message list.").arg(leftOut.size() - kNamed);
    question += QStringLiteral("\r\n\r\nWrite the verified file with the %1, without %2?")
                    .arg(returned_->recordsWithoutErrors() == 1
                             ? QStringLiteral("1 other record")
                             : QStringLiteral("%1 other records").arg(returned_->recordsWithoutErrors()),
                         leftOut.size() == 1 ? QStringLiteral("this one")
                                             : QStringLiteral("these %1").arg(leftOut.size()));
    return ui::ui().confirm(question);
}

bool Verify_Return::keepEarlierVerifiedFile(KeptVerifiedFile* kept)
{
    QString error;
    if (KeepEarlierVerifiedFile(QFileInfo(VerifiedFilePath()).absoluteFilePath(), kept, &error))
        return true;
    const QString message = kNotWritten + error;
    addError(message);
    ui::ui().msgBox(message, ui::Buttons::OK, ui::Icon::Critical);
    return false;
}

void Verify_Return::Command_Close_Click()
{
    if (working_)
        return;
    Unload(QDialog::Rejected);
}

// ---------------------------------------------------------------- the lists

void Verify_Return::Drive_Change()
{
    // The folder list opens the drive's last folder (its root the first time);
    // a drive that cannot be read leaves the lists as they were.
    driveFolders_.openDrive(*Drive, *Dir);
}

void Verify_Return::Dir_Change()
{
    driveFolders_.folderOpened(*Drive, *Dir, *File);
}

void Verify_Return::File_Click()
{
    Command_OK_Click();
}

void Verify_Return::Command_Browse_Click()
{
    if (working_ || unloaded_)
        return;
    const std::optional<QString> chosen =
        ui::ui().openFileBox(QStringLiteral("Select the Mortgage Number Verification file"), Dir->path(),
                             QStringLiteral("Mortgage Number Verification files (*.xlsx)"));
    if (chosen)
        openFile(*chosen);
}

void Verify_Return::openFile(const QString& filePath)
{
    if (working_ || unloaded_)
        return;
    // A file chosen loads at once, as a click on it in the list does.
    if (!QFileInfo(filePath).isFile())
        addNote(kFileNotFound + QStringLiteral(": ") + QDir::toNativeSeparators(filePath));
    else if (ui::showFile(*Drive, *Dir, *File, filePath))
        Command_OK_Click();
    else
        addLine(QDir::toNativeSeparators(filePath) + QStringLiteral(" cannot be chosen here: only ") + File->pattern() +
                QStringLiteral(" files are listed."));
}

// ---------------------------------------------------------------- the message list

void Verify_Return::addLine(const QString& text)
{
    reportLines_ << text;
    addNote(text);
}

void Verify_Return::addNote(const QString& text)
{
    List_Msg->addItem(text);
    List_Msg->scrollToBottom();
    ui::ui().doEvents();
}

void Verify_Return::addError(const QString& text)
{
    addLine(text);
    enablePrintErrors();
}

void Verify_Return::enablePrintErrors()
{
    // During a load the button waits for its end, so that no print starts
    // while the tables are being filled.
    printErrorsWanted_ = true;
    if (!working_)
        Command_PrintErrors->setEnabled(true);
}

void Verify_Return::setWorking(bool on)
{
    working_ = on;
    Frame_Select->setEnabled(!on);
    Command_Close->setEnabled(!on);
    if (!on && printErrorsWanted_)
        Command_PrintErrors->setEnabled(true);
}

// ---------------------------------------------------------------- loading a workbook

void Verify_Return::hideSelectedFile()
{
    Frame_VerificationFile->setEnabled(false);
    Shape_VerificationFile->setVisible(false);
    Command_Upload->setEnabled(false);
    TDBGrid_Verify->setVisible(false);
}

void Verify_Return::showSelectedFile(bool uploadable)
{
    TDBGrid_Verify->recordsetModel()->setRecordset(&DE().rsVerify());
    TDBGrid_Verify->setVisible(true);
    Shape_VerificationFile->setVisible(uploadable);
    Command_Upload->setEnabled(uploadable);
}

void Verify_Return::Command_OK_Click()
{
    if (working_ || unloaded_)
        return;
    Working working(*this);

    List_Msg->clear();
    reportLines_.clear();
    returned_.reset();
    Command_PrintErrors->setEnabled(false);
    printErrorsWanted_ = false;
    ui::ui().doEvents();
    // The grid lets go of rsVerify while the load refills it.
    TDBGrid_Verify->recordsetModel()->setRecordset(nullptr);
    hideSelectedFile();

    if (File->listIndex() < 0) {
        addNote(kSelectAFile);
        return;
    }
    VerifyFilePath = joinPath(Dir->path(), File->fileName());
    if (!FileExists(VerifyFilePath)) {
        addNote(kFileNotFound + QStringLiteral(": ") + QDir::toNativeSeparators(VerifyFilePath));
        return;
    }
    rememberFolder();
    if (!AskAboutFileAttributes(VerifyFilePath, QStringLiteral("Checking the file Attributes"))) {
        // Stopping keeps the screen open to choose another workbook.
        addLine(QStringLiteral("Stopped: ") + QDir::toNativeSeparators(VerifyFilePath) +
                QStringLiteral(" was not loaded."));
        return;
    }
    loadSelectedFile();
}

void Verify_Return::rememberFolder()
{
    // Only where the screen opens next depends on it: a settings file that
    // cannot be written neither stops the load nor troubles the clerk.
    fs::Settings& settings = fs::Settings::instance();
    if (settings.receivingLastFolder() != Dir->path())
        settings.setReceivingLastFolder(Dir->path());
}

void Verify_Return::loadSelectedFile()
{
    // Shown while the workbook is read, gone once the load has said its own.
    const int waitRow = List_Msg->count();
    addNote(kPleaseWait);
    ui::ui().setBusy(true);
    ui::ui().doEvents();

    const ReturnedWorkbook& book = returned_.emplace(ReturnedWorkbook::load(VerifyFilePath, *this));
    if (List_Msg->count() > waitRow && List_Msg->item(waitRow)->text() == kPleaseWait)
        delete List_Msg->takeItem(waitRow);
    const bool loaded = book.complete();
    ui::ui().doEvents();
    Frame_VerificationFile->setEnabled(true);

    const bool shown = Guarded(QStringLiteral("Verify_Return.Command_OK_Click"), [&] {
        db::Recordset& rs = DE().rsVerify();
        if (!rs.isOpen())
            rs.open();
        rs.setFilter(QString());
        const bool hasRows = rs.recordCount() > 0;
        for (const QString& line : book.errorLines())
            addError(line);
        // A workbook not loaded completely is in the tables in part: nothing of it may go on.
        if (loaded) {
            if (book.rowsLoaded() + book.rowsNotLoaded() > 0)
                addNote(book.summary());
            if (hasRows) {
                const bool uploadable = book.recordsWithoutErrors() > 0;
                showSelectedFile(uploadable);
                if (uploadable) {
                    addNote(kCheckTheFile);
                    addNote(book.verifiedFileNote(QFileInfo(VerifiedFilePath()).absoluteFilePath()));
                } else {
                    addNote(kNothingToUpload);
                }
            } else {
                addNote(kNothingInTheFile);
            }
        }
        if (loaded && hasRows)
            rs.moveFirst();
    }, ui::UiServices::appTitle());
    if (!shown) {
        hideSelectedFile();
        Frame_VerificationFile->setEnabled(true);
        addError(kNotShown);
    }
    TDBGrid_Verify->setEnabled(true);
    ui::ui().setBusy(false);
    ui::ui().doEvents();
}

bool Verify_Return::writeVerifiedFile()
{
    QString error;
    try {
        if (returned_->writeVerifiedFile(VerifiedFilePath(), &error))
            return true;
    } catch (const std::exception&) {
        error = FailureDetail(currentFailure());
    }
    const QString message = kNotWritten + error;
    addError(message);
    ui::ui().msgBox(message, ui::Buttons::OK, ui::Icon::Critical);
    return false;
}

// ---------------------------------------------------------------- the folio column

QString Verify_Return::TDBGrid_Verify_FormatText(int ColIndex, const QString& Value, qint64 Bookmark) const
{
    if (ColIndex != kFolioColumn || Value.isEmpty())
        return Value;
    const QString fixedPattern = StripLeadingChar(FormatAmountMask(Value), QStringLiteral("0"));
    try {
        const db::Recordset& rs = DE().rsVerify();
        if (!rs.isOpen() || rs.recordCount() == 0)
            return fixedPattern;
        const int row = rs.rowOfBookmark(Bookmark);
        if (row < 0)
            return fixedPattern;
        const QString folio = rs.valueAt(row, rs.fieldIndex(QStringLiteral("FOLIO"))).toString();
        if (folio != Value)
            return fixedPattern;
        const QString jur = rs.valueAt(row, rs.fieldIndex(QStringLiteral("JUR"))).toString();
        return FormatFolioFromFolioMask(jur, folio);
    } catch (const std::exception&) {
        return fixedPattern;
    }
}

// ---------------------------------------------------------------- Print Errors

void Verify_Return::Command_PrintErrors_Click()
{
    if (working_ || unloaded_)
        return;
    Working working(*this);
    printErrorsWanted_ = false;
    Command_PrintErrors->setEnabled(false);
    ui::ui().doEvents();

    ui::ui().setBusy(true);
    QString error;
    const bool stored = StoreErrorMessages(reportLines_, &error);
    ui::PrintOutcome outcome;
    if (stored) {
        try {
            db::Recordset& rs = DE().rsErrorMessage();
            const VerifyReturnReport report = VerifyReturnReport::fromRecordset(rs);
            const ui::TextReport text = report.textReport();
            outcome = ui::offerPrint(VerifyReturnReport::caption(), reportTarget(),
                                     [&text](ui::PrintJob& job) { ui::drawTextReport(text, job); });
            rs.close();
        } catch (const std::exception&) {
            outcome.ok = false;
            outcome.error = FailureDetail(currentFailure());
        }
    }
    ui::ui().setBusy(false);

    if (!stored) {
        ui::ui().msgBox(QStringLiteral("The messages could not be stored for the error report: ") + error,
                        ui::Buttons::OK, ui::Icon::Critical);
    } else if (ui::tellPrintOutcome(outcome, QStringLiteral("The error report")) && outcome.toPrinter) {
        // A PDF file has been named by the box before: nothing went to a printer.
        ui::ui().msgBox(kReportPrinted, ui::Buttons::OK, ui::Icon::Information);
    }
    printErrorsWanted_ = true;
    ui::ui().doEvents();
}

} // namespace zarv
