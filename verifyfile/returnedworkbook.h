#pragma once
// A verification workbook a mortgage company sent back, as the tax office takes
// it: the workbook load fills VERIFY and the code tables, then every folio row
// of the first sheet that was not loaded, or was loaded with an error, is named
// by its row, its folio and the reason, and the codes the workbook's own code
// tables lack are reported. The verified file holds only the records without
// errors. The receiving screen and the receiving program's batch run both go
// through here, so that both name the same records in the same words.
#include "verifyfile/verifyfile.h"

#include <QDateTime>
#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

#include <vector>

namespace zarv {

// One thing wrong with a folio row of the first sheet.
struct ReturnedRowError {
    int row = 0;            // the row of the first sheet
    QString folio;          // what identifies the row: "folio ...", "PID ..." or "no folio or PID"
    QString reason;
    bool loaded = true;     // false: the row is not in VERIFY

    // "Row 5, folio 123456: jurisdiction 999 is not in the code table ..."
    QString text() const;
};

// A record the verified file leaves out: not loaded, or loaded with errors.
struct LeftOutRecord {
    int row = 0;            // the row of the first sheet
    QString number;         // the mortgage number as the row gives it
    QString folio;          // as ReturnedRowError::folio
    QStringList reasons;    // each reason, in the order of the columns

    // "Row 4, mortgage number 102, folio 111: status 'X' is not A, C, D or blank"
    QString text() const;
};

// "1 record", "2 records".
QString Records(int n);

class ReturnedWorkbook {
public:
    // Loads the workbook at path into the tables and checks every folio row.
    // The load's own notes (rows left out of a code sheet, a failure) go to
    // notes as they come; the named rows are in errors() afterwards.
    static ReturnedWorkbook load(const QString& path, VerifyMessageSink& notes);

    // Every sheet was read to its end; false: the tables hold only part of the
    // workbook and nothing of it may be uploaded.
    bool complete() const { return complete_; }
    int rowsLoaded() const { return loaded_; }
    int rowsNotLoaded() const { return notLoaded_; }
    // Loaded records with at least one error; they stay out of the verified file.
    int recordsWithErrors() const { return int(withErrors_.size()); }
    int recordsWithoutErrors() const { return loaded_ - recordsWithErrors(); }
    // Each error in row order, a row's errors in the order of its columns.
    const std::vector<ReturnedRowError>& errors() const { return errors_; }
    // Their texts; for a workbook not loaded completely, the one line that says so.
    QStringList errorLines() const;
    // Every record the verified file leaves out, in row order: those not
    // loaded and those loaded with errors.
    std::vector<LeftOutRecord> leftOut() const;
    int recordsLeftOut() const { return rowsNotLoaded() + recordsWithErrors(); }
    // What the load decided that no error names (values stored cut), one
    // line each: "Value cut, row 5: ...".
    const QStringList& findingLines() const { return findings_; }
    // One line: how many rows were read, loaded, left out and loaded with errors.
    QString summary() const;

    // Writes the records of VERIFY that have no error to path (safely, see
    // WriteVerifiedFile) and notes when. False with *error set on failure.
    bool writeVerifiedFile(const QString& path, QString* error = nullptr);
    // What the file at path holds (and, once written, when it was written).
    QString verifiedFileNote(const QString& path) const;

private:
    bool complete_ = false;
    QString path_;                  // the workbook as chosen
    int loaded_ = 0;
    int notLoaded_ = 0;
    std::vector<ReturnedRowError> errors_;
    QStringList findings_;
    QHash<int, QString> numbers_;   // the mortgage number of each row named in errors_
    QSet<qint64> withErrors_;      // bookmarks of the loaded records with errors
    QDateTime writtenAt_;
};

} // namespace zarv
