#pragma once
// The rules behind the payment screens, kept apart from the widgets so that each
// can be run and checked on its own: the 18-digit folio of a typed text, the
// field checks, the payment arithmetic of the grant options, the duplicate-folio
// rule and its notice, the group restriction, the sort orders and the
// Export.csv line.
#include <QString>

#include <optional>
#include <vector>

namespace zarv {

namespace db {
class Recordset;
}

// ---------------------------------------------------------------- the list's orders

inline const QString kSortByDistrict = QStringLiteral("SELECT * FROM Detail ORDER BY MORTCO, CD, JUR, FOLIO");
inline const QString kSortByJurisdiction = QStringLiteral("SELECT * FROM Detail ORDER BY MORTCO, JUR, FOLIO");
inline const QString kSortByMortgage = QStringLiteral("SELECT * FROM Detail ORDER BY MORTCO, NUMBER");
inline const QString kSortByName = QStringLiteral("SELECT * FROM Detail ORDER BY MORTCO, NAME");

// ---------------------------------------------------------------- shared rows

// True when rs is open and stands on a row.
bool HasCurrentRow(const db::Recordset& rs);
// MORTCO of the current group row of rsGroup; DbError when there is none.
QString CurrentGroupMortco();
// "MORTCO = '<agency>'": the restriction of rsDetail to one group.
QString GroupFilter(const QString& mortco);

// ---------------------------------------------------------------- amounts shown

// The grids' "Currency" format: "$1,500.00", "-$25.10".
QString CurrencyText(double amount);

// ---------------------------------------------------------------- field rules

// The 18-digit folio of a typed text: its digits right-aligned in eighteen
// zeros, of more than 18 digits the last 18.
QString FolioOf(const QString& text);

// An amount as typed: readable when the whole text is an amount as txt::ReadAmount
// takes it (grouping commas, as the screens show amounts, a currency sign, a
// sign behind, parentheses); its value, 0 when unreadable.
bool AmountReadable(const QString& text);
double AmountOf(const QString& text);
// The text an amount box holds after its check: the number in the pattern, or
// the text unchanged when it is no number.
QString FormatAmountText(const QString& text, const QString& pattern);

enum class AmountVerdict { Accepted, NotNumeric, Negative };
struct AmountCheck {
    QString text;           // what the box holds afterwards
    AmountVerdict verdict = AmountVerdict::Accepted;
    QString message;        // "" when accepted
};
// The payment amount check: trimmed, formatted "##########0.00", refused when
// it is no number or below zero.
AmountCheck CheckPaymentAmount(const QString& boxText);

// The district or jurisdiction check; "" when the trimmed code passes.
// what: "Collection District" or "Jurisdiction".
QString CodeCheckMessage(const QString& trimmedCode, const QString& what);

// "" when the payment file's code page (Windows-1252) can hold every character
// of the text, else the message naming the first it cannot hold. what: the
// box's name ("Name", "Legal Description", ...).
QString CharacterCheckMessage(const QString& text, const QString& what);

// ---------------------------------------------------------------- grant options

enum class Grant { A, B, C };
// "A"/"a" is A, "B"/"b" B, "C"/"c" C, anything else A.
Grant GrantOf(const QString& abc);
QString AbcOf(Grant g);

struct StoredAmounts {
    double grossTax = 0;
    double regGrant = 0;
    double addGrant = 0;
    double delq = 0;
};
// What a click on the option makes of the payment: the new amount (nullopt when
// the grant is not above zero and the amount stays) and the status text.
struct Recalculation {
    std::optional<double> payment;
    QString message;
};
Recalculation RecalculatePayment(Grant g, const StoredAmounts& stored);

// ---------------------------------------------------------------- the duplicate-folio rule

// A stored payment of the same group and folio.
struct FolioPayment {
    qint64 bookmark = 0;
    QString name;
    double payment = 0;
};

enum class FolioVerdict { Save, Notice, Duplicate };
struct FolioCheck {
    FolioVerdict verdict = FolioVerdict::Save;
    std::vector<FolioPayment> listed;   // the payments the notice lists, in order
    bool markFolioBox = false;          // a duplicate is shown on the folio box (else the name box)
};

// Names are the same when, in the form the payment file holds them (commas and
// quotes dropped, trimmed), the data layer's text rule calls them equal: the
// rule of the table's unique key, so a name the check lets through can never
// be refused later by the database nor written as a repeat into the file.
bool SameOwnerName(const QString& a, const QString& b);

// The rule for a changed payment (changed: the bookmark of the row being
// changed) and for a new one.
FolioCheck CheckChangedPayment(const std::vector<FolioPayment>& sameFolio, qint64 changed, const QString& typedName);
FolioCheck CheckNewPayment(const std::vector<FolioPayment>& sameFolio, const QString& typedName);

// The filter of the match key ("MORTCO = '..' AND CD = '..' AND JUR = '..'
// AND FOLIO = '..' "), every value quoted so that it matches only itself.
QString MatchKeyFilter(const QString& mortco, const QString& cd, const QString& jur, const QString& folio);
// The stored payments under the match key, in the order of rsDetail, read
// through a clone (rsDetail does not move).
std::vector<FolioPayment> PaymentsOfFolio(db::Recordset& rsDetail, const QString& mortco, const QString& cd,
                                          const QString& jur, const QString& folio);

// The notice's title and text. changed: the change screen ("Plus this changed
// payment "), else the add screen ("Plus this new payment ").
QString FolioNoticeTitle(const QString& cd, const QString& jur, const QString& folio);
QString FolioNoticeText(const std::vector<FolioPayment>& listed, bool changed, const QString& typedName,
                        const QString& typedPayment);

// ---------------------------------------------------------------- Export.csv

// The line of the current row of rs, as Export.csv holds it.
QString ExportLine(const db::Recordset& rs);

struct ExportResult {
    bool ok = false;
    long lines = 0;
    QString error;          // why the file could not be written
};
// Writes the payments of the group (mortco) among the rows of rsDetail, in its
// order, to path: all or nothing (the old file stays when writing fails).
ExportResult WriteExport(db::Recordset& rsDetail, const QString& mortco, const QString& path);

// ---------------------------------------------------------------- errors

// Drops a pending edit or new row after a failure (errors ignored).
void DropPendingEdit(db::Recordset& rs);

} // namespace zarv
