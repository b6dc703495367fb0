#pragma once
// Reading Verify.csv back into VERIFY. A line that names a row of the list
// (its jurisdiction and folio, or jurisdiction and PID) is read against that
// row: a field the line holds as the export wrote it, or as a spreadsheet
// program re-spells a number, stands for the row's own value; only what the
// clerk changed is taken and checked, and refused when the change makes the
// tax office leave the row out. Any other line is checked by the add screen's
// rule and by the folio rule against the code tables (a record the tax office
// would leave out is refused, naming why), and is added, or updates a row it
// repeats (option 1) or is refused as a duplicate (option 2, which empties
// VERIFY first, once the clerk agreed). A refused line is shown in the
// rejection dialog and skipped.
#include "verification/verifycsv.h"

#include <QHash>
#include <QString>
#include <array>
#include <bitset>
#include <functional>
#include <optional>

namespace zarv {

namespace db {
class Recordset;
}

namespace verifyimport {

inline const QString kOption1 = QStringLiteral("Option1_Replace");
inline const QString kOption2 = QStringLiteral("Option2_DELETE");

// The working values of one record of the file.
struct VerifyRecord {
    std::array<QString, verifycsv::kFieldCount> value;   // indexed by verifycsv::Field
    QString strFolio18;     // the folio as stored and matched; "" without a folio
    QString raw;            // the line as read, for the rejection dialog

    QString& operator[](verifycsv::Field f) { return value[size_t(f)]; }
    const QString& operator[](verifycsv::Field f) const { return value[size_t(f)]; }
};

// Splits and normalises one line. With blnHasACD the first field is the status
// (upper case, anything but "A", "C" or "D" becomes " "); without it the status
// is " " and the first field is the company. A CR, LF or TAB in a field becomes
// a blank; then the company to the PID are trimmed and upper-cased, the name,
// addresses and legal description upper-cased only.
VerifyRecord ParseVerifyRecord(const QString& line, bool blnHasACD);
// One field of a record as ParseVerifyRecord reads it from the text the line
// holds for it.
QString ReadField(verifycsv::Field f, const QString& text);

// The folio's digits, zero-padded on the left to 18 (the rightmost 18 of a
// longer run); "000000000000000000" when it has no digit.
QString Folio18(const QString& folio);

// The fields the import refuses when a value is longer than the table's
// width for it (verifycsv::fieldWidths), and how the refusal names each.
struct LengthLimit {
    verifycsv::Field field;
    const char* label;
};
const std::array<LengthLimit, 9>& LengthLimits();

// A number a spreadsheet program wrote in exponent form ("1.23456789012346E+017"):
// its last digits are gone.
bool ExponentForm(const QString& text);

// Whether the text a line holds for a field (as ReadField gives it) stands for
// a row's value, given that value as the export writes it and ReadField reads
// it back: the same text, the same digits but for leading zeros (a spreadsheet
// program reads an all-digit field as a number), or for the folio the same 18
// digits of a folio written with separators.
bool SameFieldText(verifycsv::Field f, const QString& fileText, const QString& exportedText);

// The fields of a record that the line brought (the rest are a row's own values).
using FromFile = std::bitset<verifycsv::kFieldCount>;

// The checks of one record, in their fixed order. First how the file spells
// the fields it brought (a folio or PID in exponent form, a folio or PID that
// is no number, a district or jurisdiction longer than its code); then the add
// screen's rule for a new folio (company ID, number, the district and
// jurisdiction codes by their range, a folio or PID, a folio not all zeros);
// last the field widths. The code tables are left to the folio rule, which
// the import asks next. Returns the message of the first that fails, or ""
// when the record passes; on the way a
// district the line brought becomes two digits (or two blanks), a jurisdiction
// three characters, and strFolio18 is set from the folio.
QString CheckVerifyRecord(VerifyRecord& record, const FromFile& fromFile);
QString CheckVerifyRecord(VerifyRecord& record);

// The rows the duplicate search looks at: the first row, in the order the rows
// were given, of each jurisdiction and folio (both folios in their 18-digit
// form) and of each jurisdiction and PID (an all-digit PID as its number, so
// 012345678 and 12345678 are one). Rows of every status count.
class VerifyMatchIndex {
public:
    // Indexes every row of rs in its order (rs itself does not move).
    void build(db::Recordset& rs);
    // The bookmark of the row the record matches: by folio when it has one,
    // else by PID.
    std::optional<qint64> find(const VerifyRecord& record) const;
    // Takes a row added after build(); it matches only where no earlier row does.
    void add(const QString& jur, const QString& folio, const QString& pid, qint64 bookmark);
    void clear();

    static QString folioKey(const QString& jur, const QString& folio18);
    static QString pidKey(const QString& jur, const QString& pid);

private:
    QHash<QString, qint64> byFolio_;
    QHash<QString, qint64> byPid_;
};

// What an import did with the lines of the file.
struct ImportCounts {
    bool read = false;          // the file was read (the counts mean something)
    bool declined = false;      // the clerk chose not to replace the list
    long imported = 0;          // lines whose rows the list now holds
    long refused = 0;           // lines shown in the rejection dialog
    // Why the import is not complete, as the clerk was told it; "" when it is
    // complete or the clerk stopped it (the continue question).
    QString why;
};

// Imports the file at path with the option text kOption1 or kOption2 (compared
// exactly; any other text imports as option 1). A line with every field as the
// export wrote its row stands for that row as stored, without the checks:
// option 1 leaves the row as it is, option 2 stores it again as it was, so the
// list exported and imported at once comes back unchanged, also through a
// spreadsheet program. Option 1 keeps the records stored before a stop.
// Option 2 first asks, giving the count of folios and of lines, whether to
// replace the list (No is the default); it deletes the list and stores its
// records as one unit: a No to the continue question, an error or a file of
// which no record could be stored puts the old list back, and the clerk is
// told so. True only when the file was read to its end and kept. refreshGrid
// is called after rsVerify was re-opened at the end.
bool ImportVerifyCsv(const QString& ImportOption, const QString& path, const std::function<void()>& refreshGrid,
                     ImportCounts* counts = nullptr);

} // namespace verifyimport
} // namespace zarv
