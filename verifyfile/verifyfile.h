#pragma once
// The verification workbook: loading its five sheets into VERIFY and the code
// tables (Xls2Mdb), writing the tables back into a new workbook (Mdb2Xls), and
// the workbook the load reads from (OpenVerifyWorkbook, CloseVerifyWorkbook).
// Both conversions work on DE() and talk to the user only through ui::ui() or
// the message list they are given.
#include "platform/files/intake.h"
#include "platform/workbook/workbook.h"
#include "verifyfile/verifylayout.h"

#include <QString>

#include <array>

namespace zarv {

// ---------------------------------------------------------------- messages

// The cells of a row of the first sheet (columns A to N), or the VERIFY fields
// stored from them.
using FolioRowCells = std::array<QString, verifylayout::kMortgageColumns>;

// Why a row of the first sheet holding a folio was not stored.
enum class RowLeftOut {
    NoFolioOrPid,       // neither district, jurisdiction, folio nor PID
    RepeatedFolio,      // company, jurisdiction and folio of a row already stored
    RepeatedPid,        // company and PID of a PID-only row already stored
};

// Where a load sends its notes when they go to a screen's list rather than to
// message boxes: the receiving screen's List_Msg and its Print Errors button.
class VerifyMessageSink {
public:
    virtual ~VerifyMessageSink() = default;
    // Appends one message (line breaks kept) at the end of the list.
    virtual void addLine(const QString& text) = 0;
    // Enables the button that stores and prints the listed messages.
    virtual void enablePrintErrors() = 0;

    // A list that names every folio row itself (the receiving check's) is told
    // of each row of the first sheet as it is stored or left out, by its row
    // number; the load then lists neither its warnings, its rejects and
    // duplicates, nor its summary, and shows no box for them.
    virtual bool namesRows() const { return false; }
    // cells as read; stored as VERIFY holds them; bookmark of the VERIFY row.
    virtual void rowStored(int /*row*/, const FolioRowCells& /*cells*/, const FolioRowCells& /*stored*/,
                           bool /*pidOnly*/, qint64 /*bookmark*/)
    {
    }
    virtual void rowLeftOut(int /*row*/, const FolioRowCells& /*cells*/, RowLeftOut /*why*/) {}
    // At the end of a load that names rows: what the load decided about the
    // workbook that no named row says (values stored cut).
    virtual void findings(const fs::Intake& /*intake*/) {}
};

// ---------------------------------------------------------------- load

// Empties Fol_Mask, Collection_District, Jurisdiction, CD_JUR and VERIFY, then
// fills them from the five worksheets of the workbook at FileName. The
// workbook is read through first: when the reader had to decide something
// (rows passed over or repeated, values stored cut, records the tax office
// would leave out), the intake screen shows every such finding before anything
// is emptied, and the clerk loads or cancels. "ERROR - The Verification file
// is empty" is a box.
//
// True when every sheet was read to its end (also when sheet 1 held no folio,
// which the user has been told). False when the clerk cancelled (the tables
// are as they were) or an error ended the load: the user has seen the critical
// message; an error met while reading through leaves the tables as they were,
// one met while storing drops the row being stored and rolls its transaction
// back, and the tables hold only part of the workbook, so the caller must not
// go on to write them back.
bool Xls2Mdb(const QString& FileName);

// The same load, telling a file that is no verification workbook (it has none
// of the workbook's sheet names, and its first sheet does not start with the
// workbook's headings) from a failed load: such a file is Refused with one
// critical message that names it, before any table is emptied. Cancelled: the
// clerk cancelled on the intake screen; nothing was emptied.
enum class LoadResult { Loaded, Refused, Failed, Cancelled };
LoadResult LoadVerificationWorkbook(const QString& FileName);

// The same load for the receiving side, without the intake screen: rejects,
// duplicates and warnings are added to list (every reject and duplicate is
// listed). The summary lines, the empty
// message and an error message are listed as well and enable Print Errors; the
// summary, the empty message and an error are still shown as boxes.
bool Xls2Mdb(const QString& FileName, VerifyMessageSink& list);

// ---------------------------------------------------------------- write

// Writes VERIFY, Fol_Mask, Collection_District, Jurisdiction and CD_JUR into a
// new five-sheet workbook at FileName. An existing workbook there is first
// copied to BackupNameFor(FileName) (an older backup is replaced) and the copy
// compared with it; the new workbook goes to a temporary file that takes the
// workbook's place only when complete. True when the new workbook is in place.
// On failure the user has seen the cause and the write step, and the old workbook and
// its backup are as they were before the call.
bool Mdb2Xls(const QString& FileName);
// The same for a caller that made its own backup copy: no copy is made.
bool Mdb2XlsWithoutBackup(const QString& FileName);

// "MortNo1.xlsx" (any letter case of ".xlsx") -> "MortNo1.bak"; any other name
// gets ".bak" appended.
QString BackupNameFor(const QString& FileName);

// ---------------------------------------------------------------- workbook

// The workbook being read and its worksheet in use, shared by the load and the
// open and close procedures below. xlSheet is null while no workbook is open.
extern xl::Workbook xlBook;
extern const xl::Worksheet* xlSheet;

// Opens the workbook at FileName into xlBook and sets xlSheet to its first
// worksheet. Reports nothing: after a failed open xlBook is closed (its
// errorText() says why) and xlSheet is null, so the reader's next step fails.
void OpenVerifyWorkbook(const QString& FileName);

// Closes xlBook without saving anything and clears xlSheet. Never fails.
void CloseVerifyWorkbook();

} // namespace zarv
