#pragma once
// The receiving screen: the tax office picks a verification workbook that a
// mortgage company sent back, loads it into VERIFY and the code tables (the
// load's notes go to the screen's message list), sees the folios in a grid with
// each record not loaded or loaded with an error named in the list, and ends
// with Upload, which writes the records without errors into the fixed-width
// verified file, or Close. The errors can be stored in ErrorMessage and printed.
//
// Opening it discards the verification list held in VERIFY. Upload names the
// records it leaves out and asks first; a verified file already there is kept
// under a name of its own (see KeepEarlierVerifiedFile), never replaced silently.
#include "platform/print/print.h"
#include "platform/forms/filelists.h"
#include "verifyfile/returnedworkbook.h"
#include "verifyfile/verifiedfile.h"
#include "verifyfile/verifyfile.h"

#include "ui_Verify_Return.h"

#include <QDialog>
#include <QString>
#include <QStringList>

#include <optional>

namespace zarv {

// False while the screen is open; True once the user has left it by Upload.
inline bool UploadRequested = false;

// The controls are laid out in Verify_Return.ui.
class Verify_Return : public QDialog, public Ui_Verify_Return, public VerifyMessageSink {
    Q_OBJECT
public:
    // Needs the data environment: opening the screen empties VERIFY.
    explicit Verify_Return(QWidget* parent = nullptr);
    ~Verify_Return() override;

    static QString caption()
    {
        return QStringLiteral("ZARV (Verify Mortgage Number - Receive folios from Mortgage Company)");
    }
    // The grid's "Folio Number" column.
    static constexpr int kFolioColumn = 5;

    // Full path of the workbook being loaded.
    QString VerifyFilePath;

    // --- event handlers
    // Loads a workbook given at start, as a workbook chosen through Browse:
    // shown in the lists and loaded, or the message list says why it cannot be.
    void openFile(const QString& filePath);

    void Drive_Change();
    void Dir_Change();
    void File_Click();
    void Command_Browse_Click();
    void Command_OK_Click();
    void Command_Upload_Click();
    void Command_Close_Click();
    void Command_PrintErrors_Click();
    // The display text of a grid cell: the folio in its jurisdiction's format
    // from the reference masks; any other column and an empty cell unchanged.
    QString TDBGrid_Verify_FormatText(int ColIndex, const QString& Value, qint64 Bookmark) const;

    // --- the message list, as the workbook load uses it: every line the load
    // adds is one of its errors and goes into the error report as well.
    void addLine(const QString& text) override;
    void enablePrintErrors() override;

    // The lines the error report holds: the errors of the last load, without
    // the screen's own notes ("please wait...", the summary, ...).
    const QStringList& reportLines() const { return reportLines_; }

    // True while a workbook is being loaded or the error report printed:
    // another load, a print and leaving the screen wait until it is done.
    bool busyWorking() const { return working_; }

    // Where the error report goes when the machine has no printer: beside the
    // workbook loaded last (in the folder shown before one is loaded), unless a
    // target is set here (std::nullopt goes back to that).
    void setReportTarget(std::optional<ui::PdfTarget> target) { reportTarget_ = std::move(target); }
    ui::PdfTarget reportTarget() const;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    class Working;

    void connectHandlers();
    void Form_Load();
    void Form_Activate();
    void Unload(int result);

    // What the screen shows of the selected workbook: nothing, or its folios.
    void hideSelectedFile();
    void showSelectedFile(bool uploadable);
    void loadSelectedFile();
    void rememberFolder();      // the screen opens there next time
    void addNote(const QString& text);     // the list only, not the report
    void addError(const QString& text);    // the list and the report; enables Print Errors
    bool writeVerifiedFile();
    void emptyVerify();
    bool leftOutAccepted();     // names the records Upload leaves out and asks
    bool keepEarlierVerifiedFile(KeptVerifiedFile* kept);
    void setWorking(bool on);

    std::optional<ReturnedWorkbook> returned_;   // the workbook on show
    QStringList reportLines_;
    std::optional<ui::PdfTarget> reportTarget_;
    ui::DriveFolders driveFolders_;
    bool working_ = false;
    bool printErrorsWanted_ = false;
    bool unloaded_ = false;
    bool messagesAtEnd_ = true;
};

} // namespace zarv
