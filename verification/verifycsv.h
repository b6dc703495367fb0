#pragma once
// Verify.csv: the flat comma-separated exchange file of the VERIFY table. One
// line per row, the fourteen fields in the table's order, no header. A value
// that holds a comma is written in double quotes so that it reads back as one
// field; quotes and apostrophes are dropped from the values as they are written.
#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <stdexcept>

namespace zarv {

namespace db {
class Recordset;
}

namespace verifycsv {

// The VERIFY fields in the file's order, with their widths in the table.
constexpr int kFieldCount = 14;
enum Field { ACD, MORTCO, NUMBER, CD, JUR, FOLIO, PID, NAME, ADDR1, ADDR2, ADDR3, ADDR4, ADDR5, LEGAL };
const std::array<QString, kFieldCount>& fieldNames();
const std::array<int, kFieldCount>& fieldWidths();

// The file's name, kept as the tax office knows it; it lies beside the workbook
// being worked on.
inline const QString kFileName = QStringLiteral("Verify.csv");
QString VerifyCsvPath();

// One line of the file from the fourteen values of a row: each value as
// ExportedValue gives it; a value holding a comma is then put in double quotes.
QString VerifyCsvLine(const QStringList& values);
// A stored value as the line holds it (before a value with a comma is quoted):
// CR, LF and TAB as blanks, without quotes and apostrophes, trimmed.
QString ExportedValue(const QString& value);

// Splits one line into count fields by csv::split: missing fields come back
// empty, fields beyond count are ignored.
QStringList SplitVerifyCsvLine(const QString& line, int count);

// True when an (upper-cased) line shows that the file carries the status field
// first: it begins with "A,", "C,", "D,", " ," or ",".
bool LineShowsAcd(const QString& line);

// A failure of the export that is not the database's (the file could not be
// written); the database's own failures arrive as db::DbError.
class CsvError : public std::runtime_error {
public:
    explicit CsvError(const QString& description)
        : std::runtime_error(description.toStdString()), description_(description)
    {
    }
    const QString& description() const { return description_; }

private:
    QString description_;
};

// Called every 200th row with the rows written so far and the total.
using ExportProgress = std::function<void(long written, long total)>;

// Writes every row of rs in its current order (rows marked for deletion too,
// any filter ignored) to path: the lines go to a temporary file that replaces
// path only when complete, so a failure leaves an older file as it was. The
// walk runs on a clone, so rs does not move. strStep is set before each step,
// for the caller's error message. Returns the number of rows written; throws
// db::DbError or CsvError.
long WriteVerifyCsv(db::Recordset& rs, const QString& path, QString& strStep, const ExportProgress& progress);

} // namespace verifycsv
} // namespace zarv
