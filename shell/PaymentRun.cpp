#include "shell/PaymentRun.h"
#include "services/activitylog.h"

#include "paymentfile/screens/DuplicateFolios.h"
#include "paymentfile/paymentfile.h"
#include "payments/Group.h"
#include "platform/text/vb.h"
#include "platform/ui/uiservices.h"
#include "shell/ZARV_ReturnInstructions.h"
#include "shell/ZarvPayment.h"
#include "services/dataenvironment.h"
#include "services/failurenotice.h"
#include "services/system.h"
#include "services/tabledigest.h"
#include "shell/formparts.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace zarv {

namespace {

using ui::Buttons;
using ui::Icon;

const QString kDataTitle = QStringLiteral("ZARV Data");
const QString kCrLf = QStringLiteral("\r\n");

QString paymentCount()
{
    return LoggedRows(DE().Zarv, QStringLiteral("Detail"), QStringLiteral("payments"));
}

PaymentEditing& editing()
{
    static PaymentEditing e;
    return e;
}

// Leaves the run with the start screen usable again.
void stop(ZarvPayment& s)
{
    s.Command_OK->setEnabled(true);
    s.Command_Exit->setEnabled(true);
}

void showChoosing(ZarvPayment& s)
{
    s.Frame_UseOnlyCurrentYearData->show();
    s.Frame_File_Type->show();
}

QString fileYear()
{
    db::Recordset& rs = DE().rsZarvSystem();
    if (rs.recordCount() < 1)
        return {};
    rs.moveFirst();
    return rs.text(QStringLiteral("Year"));
}

// The year gate: true when the run may go on to the editing.
bool yearAccepted(ZarvPayment& s)
{
    const QString fileYearText = vb::Trim(s.m_Year);
    const QString thisYear = QString::number(QDate::currentDate().year());
    if (fileYearText == thisYear || s.OptionNo->isChecked())
        return true;

    // A later year than this one cannot be last year's data: say so plainly.
    const bool future = fileYearText.size() == 4 && fileYearText > thisYear;
    const QString file = QDir::toNativeSeparators(s.m_FilePath);
    if (future) {
        ui::ui().msgBox(QStringLiteral("The %1 data contain FUTURE/UNKNOWN year payments??" "?!").arg(file) + kCrLf +
                            QStringLiteral("Year = ") + s.m_Year,
                        Buttons::OK, Icon::Critical, kDataTitle);
        s.Text_Msg->setText(QStringLiteral("The %1 data contain FUTURE/UNKNOWN year payments??" "?! = ").arg(file) +
                            s.m_Year);
        return false;
    }
    ui::ui().msgBox(QStringLiteral("The %1 data does not contain the current years payments!").arg(file) + kCrLf +
                        QStringLiteral("Year in the file = ") + s.m_Year + kCrLf + QStringLiteral("This Year = ") +
                        thisYear + kCrLf + kCrLf +
                        QStringLiteral("If you want to view the historical ZARV data then under the 'Use Only "
                                       "Current Year Data' select the NO option"),
                    Buttons::OK, Icon::Critical, kDataTitle);
    s.Text_Msg->setText(QStringLiteral("The %1 data does not contain the current years payments! Year = ").arg(file) +
                        s.m_Year);
    return false;
}

void hideForSaving(ZarvPayment& s, bool historical)
{
    for (QWidget* w : std::initializer_list<QWidget*>{
             s.Drive, s.Dir, s.File, s.Command_Browse, s.Label_Disk, s.Label_Directory, s.Label_Files,
             s.Frame_UseOnlyCurrentYearData,
             s.Label_SelectTheZarvFileLocation, s.Command_OK, s.Command_VERIFY_OK, s.Command_Exit, s.Text_Msg})
        w->hide();
    if (historical)
        s.Frame_File_Type->hide();
    s.Label_PleaseWait->show();
}

// Saves until a save succeeds or the clerk gives up. True when the file is
// written; savedElsewhere tells whether it went under a typed name.
bool saveWithRetry(ZarvPayment& s, bool historical, bool& savedElsewhere)
{
    SaveRun run;
    for (;;) {
        const SaveResult saved = Mdb2Csv(s.m_Year, s.m_FilePath, s.m_BakPath, run);
        LogOutcome(saved.ok, s.m_FilePath, QStringLiteral("saved"), QStringLiteral("not saved"), paymentCount);
        if (saved.ok)
            return true;
        const QString prompt =
            historical ? QStringLiteral("File Save failed. Do you want to try to save to a different file name "
                                        "(You may have the ZARV file open by another program)")
                       : QStringLiteral("File Save failed. Do you want to try to save to a different file name");
        const std::optional<QString> answer =
            ui::ui().inputBox(prompt, QStringLiteral("File Save FAILED"), s.m_FilePath);
        const QString name = answer ? vb::Trim(*answer) : QString();
        // Giving up loses the run's work: one stray Escape must not do it.
        if (name.isEmpty()
            && !ui::ui().confirm(QStringLiteral("Give up saving the ZARV data?\r\nThe changes of this run are then "
                                                "NOT saved, and the program ends."),
                                 QStringLiteral("ZARV Data Save"), Icon::Exclamation))
            continue;
        if (name.isEmpty()) {
            ui::ui().msgBox(historical ? QStringLiteral("ZARV data Save FAILED") : QStringLiteral("ZARV data save FAILED"),
                            Buttons::OK, Icon::Critical, QStringLiteral("ZARV Data Save"));
            return false;
        }
        s.m_FilePath = name;
        savedElsewhere = true;
    }
}

// The working tables as far as the file holds the clerk's work (the counts and
// totals of the groups are recounted from the payments).
QByteArray paymentTablesDigest()
{
    return TableDigest(DE().Zarv, {QStringLiteral("Group"), QStringLiteral("Detail"), QStringLiteral("Fol_Mask")},
                       {QStringLiteral("FOLIO_CNT"), QStringLiteral("TOT_PAY")});
}

// The return instructions name the file the data went to: ZarvSystem follows a
// save under another name (and the next start opens it).
void rememberSavedFile(const QString& path)
{
    const QFileInfo info(path);
    db::Recordset& rs = ZarvSystemRowToWrite();
    rs.setValue(QStringLiteral("Dir"), QDir::toNativeSeparators(info.absolutePath()));
    rs.setValue(QStringLiteral("File"), info.fileName());
    rs.move(0);
    DE().flush();
}

// Everything after the editing: the clerk's edits are in the tables and are
// written whatever happens, unless the clerk gives up. A session that changed
// nothing leaves the file and its backup as they are.
void saveAndEnd(ZarvPayment& s, bool historical, const QByteArray& loaded)
{
    ui::ui().setBusy(true);
    ui::ui().doEvents();
    hideForSaving(s, historical);
    ui::ui().doEvents();
    s.Restore();

    s.m_PathLen = int(s.m_FilePath.size());
    s.m_BakPath = BakPathFor(s.m_FilePath);

    bool unchanged = false;
    try {
        unchanged = !loaded.isEmpty() && paymentTablesDigest() == loaded;
    } catch (const std::exception&) {
        unchanged = false;      // when in doubt, save
    }
    bool savedElsewhere = false;
    if (!unchanged && !saveWithRetry(s, historical, savedElsewhere)) {
        ui::ui().setBusy(false);
        s.Unload();
        return;
    }
    if (savedElsewhere) {
        ui::ui().setBusy(false);
        ui::ui().msgBox(QStringLiteral("The ZARV data is saved to ") + QDir::toNativeSeparators(s.m_FilePath) +
                            QStringLiteral("\r\nReturn that file as the next screen shows."),
                        Buttons::OK, Icon::Information, QStringLiteral("ZARV Data Save"));
        Guarded(QString(), [&] { rememberSavedFile(s.m_FilePath); });
    }

    s.Park();
    ui::ui().setBusy(false);
    ui::ui().doEvents();
    {
        ZARV_ReturnInstructions instructions;
        ui::ui().showModal(instructions);
        if (ui::ui().ending())
            return;
    }
    s.Unload();
}

} // namespace

void setPaymentEditing(PaymentEditing e)
{
    editing() = std::move(e);
}

namespace {

// Loads the file chosen on the start screen into the tables. False when the run
// stops here: the status line and the boxes have said why.
bool loadChosenFile(ZarvPayment& s)
{
    if (s.File->listIndex() < 0) {
        s.Text_Msg->setText(QStringLiteral("Please select the Zarvdata.csv file"));
        stop(s);
        return false;
    }
    s.m_FilePath = joinPath(s.Dir->path(), s.File->fileName());
    if (!FileExists(s.m_FilePath)) {
        s.Text_Msg->setText(QDir::toNativeSeparators(s.m_FilePath) + QStringLiteral(" file not found"));
        stop(s);
        return false;
    }
    if (!s.ReadOnlyTest(s.m_FilePath)) {
        stop(s);
        return false;
    }

    bool loaded = false;
    LoadEnd end = LoadEnd::Failed;
    Guarded(QString(), [&] {
        s.RememberChoice();
        s.Text_Msg->setText(QStringLiteral("Setting up ZARV data, please wait..."));
        ui::ui().setBusy(true);
        ui::ui().doEvents();
        loaded = Csv2Mdb(s.m_FilePath, &end);
    });

    // The status line names the file; the boxes give its whole path.
    const QString fileName = QFileInfo(s.m_FilePath).fileName();
    LogOutcome(loaded && !DupFoliosFound, s.m_FilePath, QStringLiteral("loaded"),
               end == LoadEnd::Stopped ? QStringLiteral("not loaded: stopped by the clerk") : QStringLiteral("refused"),
               paymentCount);
    if (!loaded) {
        ui::ui().setBusy(false);
        // A refusal has said in plain words what is wrong, and a stop was the
        // clerk's own choice: neither needs a second box.
        if (end != LoadEnd::Refused && end != LoadEnd::Stopped)
            ui::ui().msgBox(QStringLiteral("ZARV Data Load FAILED"), Buttons::OK, Icon::Critical, kDataTitle);
        s.Text_Msg->setText(end == LoadEnd::Stopped ? QStringLiteral("Nothing was loaded")
                                                    : QStringLiteral("ZARV Data Load FAILED (%1)").arg(fileName));
        showChoosing(s);
        stop(s);
        return false;
    }

    if (DupFoliosFound) {
        ui::ui().setBusy(false);
        ui::ui().msgBox(QStringLiteral("ZARV Data Load FAILED (Duplicate Folios in the input file %1)")
                            .arg(QDir::toNativeSeparators(s.m_FilePath)),
                        Buttons::OK, Icon::Critical, kDataTitle);
        s.Text_Msg->setText(QStringLiteral("ZARV Data Load FAILED (%1)").arg(fileName));
        stop(s);
        showChoosing(s);
        DuplicateFolios list;
        list.setDataFile(s.m_FilePath);
        ui::ui().showModal(list);
        if (ui::ui().ending())
            return false;
        s.Text_Msg->setText(QStringLiteral("ZARV Data Load FAILED (Duplicate Folios in %1)").arg(fileName));
        ui::ui().setBusy(false);
        ui::ui().doEvents();
        return false;
    }
    return true;
}

} // namespace

void PaymentRun(ZarvPayment& s)
{
    s.Command_OK->setEnabled(false);
    s.Command_Exit->setEnabled(false);
    if (!loadChosenFile(s))
        return;

    ui::ui().setBusy(false);
    if (!Guarded(QString(), [&] { s.m_Year = fileYear(); }) || !yearAccepted(s))
        return stop(s);

    const bool historical = s.OptionNo->isChecked();
    QByteArray loadedDigest;
    try {
        loadedDigest = paymentTablesDigest();
    } catch (const std::exception&) {
        loadedDigest.clear();   // the run then saves as always
    }
    s.Park();
    bool withoutSaving = false;
    // After a failure the edits made so far are in the tables: they are saved below.
    Guarded(QString(), [&] {
        if (editing()) {
            editing()();
        } else {
            Group groups;
            groups.setDataFile(s.m_FilePath);
            ui::ui().showModal(groups);
            withoutSaving = groups.leftWithoutSaving();
        }
    });
    if (ui::ui().ending())
        return;
    if (withoutSaving) {
        // The clerk's choice: the file and its backup stay as they were.
        s.Restore();
        s.Unload();
        return;
    }
    saveAndEnd(s, historical, loadedDigest);
}

} // namespace zarv
