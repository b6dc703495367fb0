#pragma once
// The rules the folio screens (search, add, change, permanent delete) share and
// a test can call without a window: the forms of a folio, the district and
// jurisdiction codes of a combo text, the duplicate lookups on a clone of
// rsVerify with their notes, the whole-form check of a new folio, the
// jurisdiction list that follows a district, and the details of the current row.
//
// Every lookup builds its filter through platform/data/criteria.h, so a typed
// quote, %, _ or * is matched as itself; a lookup that fails counts as no hit.
#include "services/foliorule.h"

#include <QString>
#include <QStringList>
#include <array>
#include <memory>
#include <optional>

namespace zarv {

namespace db {
class Recordset;
}

namespace folioentry {

// Box colours of the folio screens, &H00BBGGRR.
namespace colour {
inline constexpr unsigned White = 0x00FFFFFF;      // a box's normal state
inline constexpr unsigned Attention = 0x00C0FFFF;  // light yellow: a note, a ticked criterion, a locked box
inline constexpr unsigned Duplicate = 0x00C0C0FF;  // light red: a duplicate folio or PID
inline constexpr unsigned Unticked = 0x00E0E0E0;   // light grey: an unticked criterion
}

// The stored folio that means "no folio".
inline const QString kNoFolio = QStringLiteral("000000000000000000");

// ---------------------------------------------------------------- folio forms

// The ASCII digits 0-9 of a text, in their order; everything else is dropped.
QString Digits(const QString& text);
// The digits of a box laid into 18 places: zero-padded on the left, the
// rightmost 18 of a longer run. kNoFolio when no digit other than 0 was typed.
QString PaddedFolio(const QString& text);
// A stored folio as notes show it: 000000000012345678 as 12345.678, "" as ".".
QString NoteFolio(const QString& storedFolio);

// ---------------------------------------------------------------- district and jurisdiction codes

constexpr int kDistrictWidth = 2;
constexpr int kJurisdictionWidth = 3;
// The values a district and a jurisdiction code may take.
constexpr int kDistrictLow = 1;
constexpr int kDistrictHigh = 99;
constexpr int kJurisdictionLow = 701;
constexpr int kJurisdictionHigh = 799;

// The code of a combo text: its first `width` characters after trimming,
// padded with blanks to the width ("05 Westport" -> "05", "5" -> "5 ").
QString CodeOf(const QString& comboText, int width);
inline QString DistrictCode(const QString& t) { return CodeOf(t, kDistrictWidth); }
inline QString JurisdictionCode(const QString& t) { return CodeOf(t, kJurisdictionWidth); }

bool IsBlankCode(const QString& code);
// The value of a code that is ASCII digits followed by nothing but blanks
// ("5 " -> 5); nothing for any other code (signs, points, exponents, letters,
// other scripts' digits, a blank between digits, all blanks).
std::optional<int> CodeValue(const QString& code);

enum class CodeVerdict { Blank, Valid, Invalid };
// A code of all blanks is Blank; digits in [low, high] Valid; anything else Invalid.
CodeVerdict CheckCode(const QString& code, int low, int high);

// ---------------------------------------------------------------- lookups on a clone of rsVerify

// A cursor of the screen's own over rsVerify (opened first when it is closed),
// so that its lookups leave the list's current row where it stands.
std::unique_ptr<db::Recordset> CloneOfVerify();
// Closes a screen's clone and lets it go; a close that fails is ignored.
void CloseClone(std::unique_ptr<db::Recordset>& clone);

// The filters of the lookups (trailing blank included).
QString FolioFilter(const QString& jurisdictionCode, const QString& paddedFolio, bool markedDeleted);
QString PidFilter(const QString& pid, bool markedDeleted);
QString NumberFilter(const QString& number);   // among active rows

// The first row that passes a lookup, in the clone's order.
struct Hit {
    bool found = false;
    long others = 0;        // rows that passed, the skipped one left out
    qint64 bookmark = 0;
    QString CD, JUR, FOLIO, PID, NAME;
};
// Clears the clone's filter, applies `filter`, reads the first passing row
// (leaving out the row `skip`, when given) and clears the filter again. A
// filter or read that fails is no hit.
Hit Lookup(db::Recordset& clone, const QString& filter, std::optional<qint64> skip = std::nullopt);

// The notes a hit gives.
QString FolioNote(const Hit& hit, bool markedDeleted);
QString PidNote(const Hit& hit, bool markedDeleted);
QString NumberNote(const Hit& hit);     // the change screen's

// ---------------------------------------------------------------- the whole-form check of a new folio

struct NewFolio {
    QString number;         // the boxes' texts
    QString mortco;
    QString districtText;   // the combos' texts
    QString jurisdictionText;
    QString folio;
    QString pid;
};

struct FormCheck {
    int failed = 0;         // 1-11: the first check that failed; 0 when all passed
    QString message;        // its message
    bool ok() const { return failed == 0; }
};

// What a new folio must be, whatever else the list holds (checks 1-9, in their
// order): number, company ID (given, four characters), district (digits,
// 01-99), jurisdiction (digits, 701-799), folio or PID given, folio not all
// zeros. A blank district or jurisdiction passes. The import of Verify.csv
// holds its lines to this same rule.
FormCheck CheckNewFolioFields(const NewFolio& f);
// The record a new folio becomes, as the folio rule reads it.
foliorule::Record RecordOfNewFolio(const NewFolio& f);
// "" when the tax office takes a record with these findings; otherwise what
// the clerk is told: "The tax office would leave this folio out: <reasons>."
QString TaxOfficeRefusal(const foliorule::Findings& findings);
// The folio rule against the code tables (12): the tax office must take the
// folio (a district and a jurisdiction of the code tables, and a pair of
// them, unless the folio is known by its PID alone).
FormCheck CheckForTaxOffice(const NewFolio& f, const foliorule::CodeTables& tables);
// Checks 1-9, then the folio rule against the working code tables (12), then
// no active row with the jurisdiction and folio (10) and no active row with
// the PID (11).
FormCheck ValidateNewFolio(const NewFolio& f, db::Recordset& clone);

// The row a save appends, field by field in the table's order (ACD first); a
// CR, LF or TAB typed or pasted into a box is stored as a blank.
struct VerifyRow {
    static const std::array<QString, 14>& fieldNames();
    std::array<QString, 14> values;
};
VerifyRow NewVerifyRow(const NewFolio& f, const QString& name, const std::array<QString, 5>& addr,
                       const QString& legal);

// ---------------------------------------------------------------- code lists

// "code name" items of a code table in the table's order (the recordset is not moved).
QStringList CodeItems(db::Recordset& table, const QString& codeField, const QString& nameField);

// The jurisdiction list for the district of a combo text (its first two
// characters, neither trimmed nor padded) and what the jurisdiction text becomes.
struct JurisdictionList {
    QStringList items;
    QString text;
};
// One pair: its jurisdiction, chosen. Several: the previous choice stays when it
// is among them, else the text is empty. None (or a district that is no code):
// every jurisdiction, and the text stays the previous choice.
JurisdictionList JurisdictionChoices(const QString& districtText, const QString& previousChoice);

// The name of a code in a code table; "" when the table is empty, the code is
// missing or the lookup fails (the recordset is not moved).
QString CodeName(db::Recordset& table, const QString& codeField, const QString& nameField, const QString& code);

// ---------------------------------------------------------------- details of the current row

// What the change and permanent delete screens show of the current row of
// rsVerify. Every field is read on its own, so a failing lookup or a missing
// name leaves only that field empty; without a current row all are empty.
struct VerifyDetails {
    bool hasRow = false;
    QString MORTCO, CD, JUR, NUMBER, FOLIO, PID, NAME, LEGAL;
    std::array<QString, 5> ADDR;
    QString districtName;
    QString jurisdictionName;
    QString folioDisplay;   // FormatFolio of JUR and FOLIO
};
VerifyDetails ReadVerifyDetails(const db::Recordset& rsVerify);

} // namespace folioentry
} // namespace zarv
