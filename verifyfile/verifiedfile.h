#pragma once
// The verified file ZARVP040_VERIFIED.zarv: one fixed-width record of 301
// characters per VERIFY row, in Windows-1252, each ending in CR LF. The fields
// follow each other without separators:
//
//   ACD 1-1, MORTCO 2-5, NUMBER 6-17, CD 18-19, JUR 20-22, FOLIO 23-40,
//   NAME 41-110, ADDR1..ADDR5 111-260 (30 each), LEGAL 261-292, PID 293-301.
//
// Every field but FOLIO is the stored value as it stands, blank-padded on the
// right and cut to its width. FOLIO is the digits of the stored value,
// zero-padded on the left to 18 (the last 18 of a longer run); a value with no
// digit, or exactly 18 zeros, is written like the other fields.
//
// Widths count characters: a character the code page cannot hold is written as
// one "?", so every record is exactly 301 bytes before its line end.
#include <QString>

#include <array>
#include <functional>

namespace zarv {

namespace db {
class Recordset;
}

struct VerifiedField {
    const char* field;      // the VERIFY field
    int width;
};

// The record's fields in the order they are written.
const std::array<VerifiedField, 14>& VerifiedLayout();
constexpr int kVerifiedRecordLength = 301;

// "ZARVP040_VERIFIED.zarv"
QString VerifiedFileName();
// The verified file in the folder the settings file names for it.
QString VerifiedFilePath();

// The FOLIO field of a record from the stored folio.
QString VerifiedFolio(const QString& stored);

// One record (without its line end) from the values of a row, asked for by
// field name; a missing or Null value is "".
QString VerifiedRecord(const std::function<QString(const QString& field)>& value);
// The record of the recordset's current row.
QString VerifiedRecord(const db::Recordset& rs);

// Writes one record per row of rows (every row under no filter, in the
// recordset's order, whatever its ACD) to path, safely: the records go to a
// temporary file in the target's folder, which takes the target's place only
// when every record is written. The folder is made when it does not exist.
// False with *error set when anything failed; the target is then as it was.
// rows must be open; it does not move.
bool WriteVerifiedFile(const db::Recordset& rows, const QString& path, QString* error = nullptr);
// The same with only the rows whose bookmark keep accepts.
bool WriteVerifiedFile(const db::Recordset& rows, const QString& path, const std::function<bool(qint64)>& keep,
                       QString* error = nullptr);

// ---------------------------------------------------------------- earlier verified files
//
// A verified file is never replaced silently: the tax office's system may not
// have taken it yet. Before an upload writes a new one, the one already there
// is copied beside it under a name that says which workbook it was written
// from and when: "ZARVP040_VERIFIED from MortNo1234 2026-12-10 091503.zarv",
// or "ZARVP040_VERIFIED before 2026-12-10 091503.zarv" when its workbook is
// not known (the time is the file's own).

// Notes which workbook the verified file at path was just written from.
void RecordVerifiedOrigin(const QString& path, const QString& workbook);
// The workbook the verified file at path was written from; "" when none was
// recorded for the file as it stands.
QString VerifiedOrigin(const QString& path);

struct KeptVerifiedFile {
    QString copy;       // the copy's path; "" when there was no file to keep
    QString workbook;   // the workbook it was written from; "" when not known
    // "The verified file that was there before, written from MortNo1234.xlsx,
    // is kept as <copy>."; "" when there was none.
    QString note() const;
};

// Copies the verified file at path, when there is one, to its kept name. False
// with *error set when the copy could not be made; the file is then as it was.
bool KeepEarlierVerifiedFile(const QString& path, KeptVerifiedFile* kept, QString* error = nullptr);

} // namespace zarv
