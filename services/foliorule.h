#pragma once
// The one rule that says whether the tax office takes a folio record. The
// company asks it where a record is typed (add screen), imported (Verify.csv),
// loaded (the workbook) and listed, and before the workbook is written back;
// the receiving side asks it for every record of a returned workbook and leaves
// out exactly the records it names. Its findings are data: the field, the
// reason in plain words, and whether the tax office leaves the record out.
//
// A record known by its PID alone (a company, a PID, no jurisdiction and no
// folio) needs no district and no jurisdiction; every other record needs both,
// each a code of the workbook's code tables, and the two a pair of them.
#include <QSet>
#include <QString>
#include <QStringList>

#include <vector>

namespace zarv {

namespace db {
class Connection;
class Recordset;
}

namespace foliorule {

// The widths the tax office's record gives each field.
constexpr int kNumberWidth = 12;
constexpr int kDistrictWidth = 2;
constexpr int kJurisdictionWidth = 3;
constexpr int kFolioWidth = 18;
constexpr int kPidWidth = 9;

enum class Field { Status, Company, Number, District, Jurisdiction, Folio, Pid };

enum class Kind {
    Invalid,        // a value the field cannot take
    Missing,        // a value the record needs is not given
    TooLong,        // longer than the field
    NotInTable,     // a code its code table lacks
    NotAPair,       // district and jurisdiction are no pair of the pair table
};

struct Finding {
    Field field;
    Kind kind;
    QString reason;         // plain words: "no collection district"
    bool leftOut = true;    // the tax office leaves the record out
};
using Findings = std::vector<Finding>;

// A record's fields as typed, read from a cell or stored (blanks around them
// do not count).
struct Record {
    QString acd, mortco, number, cd, jur, folio, pid;
};

// The codes of the code tables a workbook brought, compared as the tables
// compare them (letter case aside), each code blank-padded to its width.
class CodeTables {
public:
    CodeTables() = default;
    CodeTables(const QStringList& districts, const QStringList& jurisdictions,
               const QList<QPair<QString, QString>>& pairs);
    // The tables Collection_District, Jurisdiction and CD_JUR of the connection.
    static CodeTables read(db::Connection& zarv);
    // Those of the working database.
    static CodeTables fromWorkingDatabase();

    bool hasDistrict(const QString& code) const;
    bool hasJurisdiction(const QString& code) const;
    bool hasPair(const QString& district, const QString& jurisdiction) const;

private:
    QSet<QString> districts_;
    QSet<QString> jurisdictions_;
    QSet<QString> pairs_;
};

// A code as the tables key it: trimmed, blank-padded to width.
// A value as a reason or a message quotes it: a long one is shortened, so that
// every reason fits a row of a report's table.
QString Quoted(const QString& text);
// The text followed by blanks, cut to n characters: a field as its table keeps it.
QString PadCut(const QString& text, int n);

QString CodeKey(const QString& code, int width);

// Known by its PID alone: a company, a PID, no jurisdiction and no folio.
bool PidOnly(const Record& r);

// Everything the tax office finds wrong with the record, in the order of its fields.
Findings Judge(const Record& r, const CodeTables& tables);

// Whether any finding leaves the record out.
bool LeftOut(const Findings& findings);
// The reasons of the findings that leave the record out, joined by "; ".
QString LeftOutReasons(const Findings& findings);

// The record of the current row of a VERIFY recordset.
Record RecordOf(const db::Recordset& rs);

// What identifies a record to the clerk: "mortgage 100200300, folio 123" or
// "mortgage 100200300, PID 123456789".
QString Identify(const Record& r);

// A record of VERIFY the tax office would leave out.
struct NamedRecord {
    qint64 bookmark = 0;
    Record record;
    QString reasons;
    QString text() const;   // "mortgage 1, folio 2: no collection district"
};
// Every row of the working table VERIFY, in the order of rows, that the rule
// leaves out against the working code tables.
std::vector<NamedRecord> LeftOutRows(db::Recordset& rows);

} // namespace foliorule
} // namespace zarv
