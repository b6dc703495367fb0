#pragma once
// Reading Verify.csv back into VERIFY. Every record is checked against the code
// tables; a bad one is shown in the rejection dialog and skipped. A good one is
// added, or, when its property is already listed, updates that row (option 1)
// or is refused as a duplicate (option 2, which empties VERIFY first). What
// the export wrote for a row of the list is taken back as that row.
#include "verification/verifycsv.h"

#include <QHash>
#include <QString>
#include <array>
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

// Whether a code is listed in the code tables of DE (rsCollection_District,
// rsJurisdiction, rsCD_JUR), each value looked up once: the tables do not
// change while one file is imported. An empty district or jurisdiction table
// lists nothing.
class CodeLookups {
public:
    bool district(const QString& cd);
    bool jurisdiction(const QString& jur);
    // CD_JUR holds at least one pair (counted without a filter).
    bool pairsListed();
    bool pair(const QString& cd, const QString& jur);

private:
    QHash<QString, bool> districts_;
    QHash<QString, bool> jurisdictions_;
    QHash<QString, bool> pairs_;
    std::optional<bool> pairsListed_;
};

// The fields the import refuses when a value is longer than the table's
// width for it (verifycsv::fieldWidths), and how the refusal names each.
struct LengthLimit {
    verifycsv::Field field;
    const char* label;
};
const std::array<LengthLimit, 9>& LengthLimits();

// The checks of one record against the code tables, in their fixed order.
// Returns the message of the first that fails, or "" when the record passes; on
// the way the district becomes two digits, the jurisdiction three characters and
// strFolio18 is set.
QString CheckVerifyRecord(VerifyRecord& record, CodeLookups& codes);
QString CheckVerifyRecord(VerifyRecord& record);

// The rows the duplicate search looks at: the first row, in the order the rows
// were given, of each jurisdiction and folio (both folios in their 18-digit
// form) and of each jurisdiction and PID. Rows of every status count.
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

private:
    static QString folioKey(const QString& jur, const QString& folio18);
    static QString pidKey(const QString& jur, const QString& pid);

    QHash<QString, qint64> byFolio_;
    QHash<QString, qint64> byPid_;
};

// Imports the file at path with the option text kOption1 or kOption2 (compared
// exactly; any other text imports as option 1). A line that reads exactly as
// the export writes a row of the list stands for that row as stored, without
// the checks: option 1 leaves the row as it is, option 2 stores it again as it
// was, so the list exported and imported at once comes back unchanged.
// Option 1 keeps the records stored before a stop. Option 2 deletes the list
// and stores its records as one unit: a No to the continue question, an error
// or a file of which no record could be stored puts the old list back, and the
// clerk is told so. True only when the file was read to its end and kept.
// refreshGrid is called after rsVerify was re-opened at the end.
bool ImportVerifyCsv(const QString& ImportOption, const QString& path, const std::function<void()>& refreshGrid);
// The same; why gets the reason the clerk was shown when it is not complete,
// "" when it is complete or the clerk stopped it (the continue question).
bool ImportVerifyCsv(const QString& ImportOption, const QString& path, const std::function<void()>& refreshGrid,
                     QString& why);

} // namespace verifyimport
} // namespace zarv
