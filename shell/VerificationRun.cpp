#include "shell/VerificationRun.h"

#include "platform/data/connection.h"
#include "platform/files/filesys.h"
#include "platform/files/outputnames.h"
#include "platform/text/vb.h"
#include "platform/ui/uiservices.h"
#include "shell/ZARV_ReturnInstructions2.h"
#include "shell/ZarvPayment.h"
#include "services/dataenvironment.h"
#include "services/failurenotice.h"
#include "services/foliorule.h"
#include "services/system.h"
#include "services/tabledigest.h"
#include "shell/formparts.h"
#include "verification/screens/Verify_Numbers.h"
#include "verifyfile/verifyfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>


namespace zarv {

namespace {

using ui::Buttons;
using ui::Icon;

const QString kCrLf = QStringLiteral("\r\n");
const QString kLoadFailed = QStringLiteral("Mortgage Verification file Load FAILED");

// Leaves the run with the start screen usable again.
void stop(ZarvPayment& s)
{
    s.Command_VERIFY_OK->setEnabled(true);
    s.Command_Exit->setEnabled(true);
}

void hideForSaving(ZarvPayment& s)
{
    for (QWidget* w : std::initializer_list<QWidget*>{
             s.Drive, s.Dir, s.File, s.Command_Browse, s.Label_Directory, s.Label_Disk, s.Label_Files,
             s.Frame_UseOnlyCurrentYearData,
             s.Command_OK, s.Frame_File_Type, s.Label_SelectTheZarvFileLocation, s.Command_VERIFY_OK, s.Command_Exit,
             s.Text_Msg})
        w->hide();
    s.Label_PleaseWait->show();
}

// The tables the workbook is written from.
QByteArray verificationTablesDigest()
{
    return TableDigest(DE().Zarv, {QStringLiteral("VERIFY"), QStringLiteral("Fol_Mask"),
                                   QStringLiteral("Collection_District"), QStringLiteral("Jurisdiction"),
                                   QStringLiteral("CD_JUR")});
}

class WriteBack {
public:
    explicit WriteBack(ZarvPayment& s) : s_(s) {}
    // Backs up, writes and empties VERIFY, asking to retry while it fails. False
    // when the clerk gave up: the workbook and VERIFY are as they were.
    bool run();
    // Empties VERIFY, the workbook staying as it is (the run changed nothing).
    void leaveWorkbook() { emptyVerify(); }

private:
    bool backUp();
    bool write();
    void emptyVerify();
    QString keptText() const;

    ZarvPayment& s_;
    QString reason_;
    QString receivedNote_;  // the copy as received could not be kept: told once the workbook is saved
    bool backedUp_ = false;
};

bool WriteBack::backUp()
{
    if (!fs::fileExists(s_.m_FilePath))
        return true;        // no workbook left to keep a copy of
    QString why;
    // The workbook as the tax office sent it is kept before it is first replaced.
    // The copy is a courtesy: without it the run's work is still saved.
    receivedNote_.clear();
    if (!KeepReceivedCopy(s_.m_FilePath, &why, &receivedNote_)) {
        receivedNote_ = QStringLiteral("The copy of the workbook as received, %1, could not be kept (%2).")
                            .arg(QDir::toNativeSeparators(ReceivedCopyPath(s_.m_FilePath)), why);
        why.clear();
    }
    if (!fs::copyReplace(s_.m_FilePath, s_.m_BakPath, &why)) {
        reason_ = QStringLiteral("The backup copy %1 could not be made: %2").arg(s_.m_BakPath, why);
        return false;
    }
    if (!fs::sameBytes(s_.m_FilePath, s_.m_BakPath)) {
        reason_ = QStringLiteral("The backup copy %1 does not match the workbook.").arg(s_.m_BakPath);
        return false;
    }
    backedUp_ = true;
    return true;
}

// The new workbook takes the old one's place (and mode) only when complete.
bool WriteBack::write()
{
    if (Mdb2XlsWithoutBackup(s_.m_FilePath)) {
        WrittenByProgram(s_.m_FilePath);
        return true;
    }
    reason_ = QStringLiteral("The new workbook could not be written.");
    return false;
}

void WriteBack::emptyVerify()
{
    db::TransactionGuard trans(DE().Zarv);
    DE().Zarv.execute(QStringLiteral("DELETE FROM VERIFY"));
    trans.commit();
    db::Recordset& rsVerify = DE().rsVerify();
    if (rsVerify.isOpen())
        rsVerify.close();
    DE().flush();
}

QString WriteBack::keptText() const
{
    QString text = QStringLiteral("The workbook ") + s_.m_FilePath + QStringLiteral(" was left as it was.");
    if (backedUp_ || fs::fileExists(s_.m_BakPath))
        text += kCrLf + QStringLiteral("Its backup copy is ") + s_.m_BakPath;
    return text;
}

bool WriteBack::run()
{
    for (;;) {
        reason_.clear();
        if (backUp() && write()) {
            if (!receivedNote_.isEmpty())
                ui::ui().msgBox(QStringLiteral("%1 is saved.").arg(QDir::toNativeSeparators(s_.m_FilePath)) + kCrLf +
                                    receivedNote_,
                                Buttons::OK, Icon::Exclamation, QStringLiteral("ZARV Data Save"));
            emptyVerify();
            return true;
        }
        const ui::Answer answer =
            ui::ui().msgBox(QStringLiteral("The Mortgage Verification file could not be saved.") + kCrLf + reason_ +
                                kCrLf + keptText() + kCrLf + kCrLf +
                                QStringLiteral("Close any program that has the file open, then choose Retry."),
                            Buttons::RetryCancel, Icon::Critical, QStringLiteral("ZARV Data Save"));
        // Giving up loses the run's work: one stray Escape must not do it.
        if (answer != ui::Answer::Retry
            && ui::ui().confirm(QStringLiteral("Give up saving the Mortgage Verification file?\r\nThe changes of "
                                               "this run are then NOT saved, and the program ends."),
                                QStringLiteral("ZARV Data Save"), Icon::Exclamation))
            break;
    }
    ui::ui().msgBox(QStringLiteral("The Mortgage Verification data was NOT saved.") + kCrLf + keptText() + kCrLf +
                        QStringLiteral("The changes of this run stay in the table VERIFY of %1 until the next "
                                       "Mortgage Verification file is loaded.")
                            .arg(DE().databasePath(QStringLiteral("Zarv.mdb"))),
                    Buttons::OK, Icon::Critical, QStringLiteral("ZARV Data Save"));
    return false;
}

// Names the folios the tax office would leave out before the workbook is
// written with them. True to write (none, or the clerk goes on); false to go
// back to the list, the default.
bool writeWithLeftOutRows()
{
    std::vector<foliorule::NamedRecord> named;
    try {
        named = foliorule::LeftOutRows(DE().rsVerify());
    } catch (const std::exception&) {
        return true;    // nothing can be named: the workbook is written as always
    }
    if (named.empty())
        return true;
    constexpr size_t kListed = 20;
    QStringList lines;
    for (size_t i = 0; i < named.size() && i < kListed; ++i)
        lines << named[i].text();
    if (named.size() > kListed)
        lines << QStringLiteral("... and %1 more.").arg(named.size() - kListed);
    const QString count = named.size() == 1 ? QStringLiteral("1 folio") : QStringLiteral("%1 folios").arg(named.size());
    ui::MessageBox question{
        QStringLiteral("The tax office would leave out %1 of this workbook:").arg(count) + kCrLf + lines.join(kCrLf) +
            kCrLf + kCrLf +
            QStringLiteral("Write the workbook with them? No goes back to the folio list, where a folio added in "
                           "this list can be deleted and any other marked D."),
        Buttons::YesNo, Icon::Exclamation, QStringLiteral("ZARV Data Save"), ui::Answer::No};
    return ui::ui().msgBox(question) == ui::Answer::Yes;
}

// Whether the tables are as they were loaded; when in doubt, they changed.
bool unchangedSince(const QByteArray& loaded)
{
    try {
        return !loaded.isEmpty() && verificationTablesDigest() == loaded;
    } catch (const std::exception&) {
        return false;
    }
}

// Steps 7 on: the list, then the write-back and the return instructions. A
// run that changed nothing leaves the workbook and its backup as they are.
void workAndEnd(ZarvPayment& s)
{
    QByteArray loaded;
    try {
        loaded = verificationTablesDigest();
    } catch (const std::exception&) {
        loaded.clear();     // the run then writes the workbook as always
    }
    const bool loadedNothing = DE().rsVerify().isOpen() && DE().rsVerify().recordCount() == 0;
    s.Park();
    do {
        Verify_Numbers list;
        ui::ui().showModal(list);
        if (ui::ui().ending())
            return;     // closed without saving: the workbook and its backup stay as they are
    } while (!writeWithLeftOutRows());

    s.m_BakPath = VerificationBackupName(s.m_FilePath);
    if (loadedNothing && unchangedSince(loaded)) {
        // Nothing was loaded and nothing added: there is nothing to return.
        WriteBack(s).leaveWorkbook();
        s.Restore();
        s.Text_Msg->setText(QStringLiteral("The workbook ") + QDir::toNativeSeparators(s.m_FilePath) +
                            QStringLiteral(" holds no folio: there is nothing to return."));
        return stop(s);
    }

    ui::ui().setBusy(true);
    hideForSaving(s);
    s.Restore();
    ui::ui().doEvents();

    s.m_PathLen = int(s.m_FilePath.size());
    WriteBack writeBack(s);
    if (unchangedSince(loaded)) {
        writeBack.leaveWorkbook();
    } else if (!writeBack.run()) {
        ui::ui().setBusy(false);
        s.Unload();
        return;
    }

    s.Park();
    ui::ui().setBusy(false);
    ZARV_ReturnInstructions2 instructions;
    ui::ui().showModal(instructions);
    if (ui::ui().ending())
        return;
    s.Unload();
}

void run(ZarvPayment& s)
{
    s.Command_VERIFY_OK->setEnabled(false);
    s.Command_Exit->setEnabled(false);

    if (s.File->listIndex() < 0) {
        s.Text_Msg->setText(QStringLiteral("Please select the Mortgage Verification file (Hint: has a name like "
                                           "MortNo*.xlsx)"));
        return stop(s);
    }
    s.m_FilePath = joinPath(s.Dir->path(), s.File->fileName());
    if (!FileExists(s.m_FilePath)) {
        s.Text_Msg->setText(QStringLiteral("Mortgage Verification file not found: ") +
                            QDir::toNativeSeparators(s.m_FilePath));
        return stop(s);
    }
    if (!s.ReadOnlyTest(s.m_FilePath))
        return stop(s);
    s.RememberChoice();

    s.Text_Msg->setText(QStringLiteral("Setting up ZARV data, please wait..."));
    ui::ui().setBusy(true);
    ui::ui().doEvents();
    const LoadResult result = LoadVerificationWorkbook(s.m_FilePath);
    ui::ui().setBusy(false);
    if (ui::ui().ending())
        return;
    if (result == LoadResult::Refused) {
        // The clerk has been told, by the file's name; nothing was emptied.
        s.Text_Msg->setText(QDir::toNativeSeparators(s.m_FilePath) +
                            QStringLiteral(" is not a Mortgage Verification workbook: choose another file."));
        return stop(s);
    }
    if (result == LoadResult::Cancelled) {
        // The clerk cancelled on the intake screen; nothing was emptied or stored.
        s.Text_Msg->setText(QDir::toNativeSeparators(s.m_FilePath) +
                            QStringLiteral(" was not loaded: nothing was changed."));
        return stop(s);
    }
    if (result == LoadResult::Failed) {
        // Part of the workbook is in the tables: nothing may be written back from them.
        ui::ui().msgBox(kLoadFailed + kCrLf + QStringLiteral("The file ") + s.m_FilePath +
                            QStringLiteral(" was not changed."),
                        Buttons::OK, Icon::Critical, QStringLiteral("ZARV Data"));
        s.Text_Msg->setText(kLoadFailed);
        return stop(s);
    }
    workAndEnd(s);
}

} // namespace

QString VerificationBackupName(const QString& filePath)
{
    return fs::verificationBackupPath(filePath);
}

void VerificationRun(ZarvPayment& screen)
{
    if (!Guarded(QString(), [&] { run(screen); }))
        screen.Unload();
}

} // namespace zarv
