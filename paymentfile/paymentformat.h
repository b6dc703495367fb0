#pragma once
// The layout of the payment data file, shared by its reader and its writer so
// the two cannot drift apart: the fixed texts, the group labels with the
// position and width of their values, and the payment line.
#include <QString>
#include <QStringView>
#include <QVariant>

#include <array>

namespace zarv::pf {

inline const QString kHeader = QStringLiteral("ZARV DATA FOR YEAR ");
inline const QString kMaskMarker = QStringLiteral("FOLIO MASK INFORMATION");
inline const QString kGroupMarker = QStringLiteral("PAYMENT GROUP INFORMATION");
inline const QString kDetailMarker = QStringLiteral("PAYMENT DETAIL INFORMATION");
inline const QString kColumnHeading = QStringLiteral("MORTGAGE NUMBER");
inline const QString kColumnHeaderLine = QStringLiteral(
    "MORTGAGE NUMBER,NAME OF OWNER,COLLECTION DISTRICT,JURISDICTION,FOLIO NUMBER,PAYMENT AMOUNT,"
    "PAYMENT TYPE A/B/C,(A) - GROSS TAX,(B) - REGULAR GRANT,(C) - ADDITIONAL GRANT,"
    "DELINQUENT/CREDIT AMOUNT,LEGAL DESCRIPTION");
inline const QString kCountLabel = QStringLiteral("Number of Payment records,");
inline const QString kTotalLabel = QStringLiteral("Payment Amount,");
inline const QString kFallbackMask = QStringLiteral("LOST THE FOLIO MASKS");

// How the reader cleans a group value. Every value first loses the commas that
// end it: the line it is cut from may go on with more fields, and the reader
// drops a line's trailing commas, so the line written from a value that kept
// them would not read back the same.
enum class Cleaning {
    Code,     // zero-padded to four, upper case
    None,     // as read
    Text,     // upper case
};

// One label-and-value line of a group section. The writer puts the label, its
// comma and the value; the reader takes width characters from position (1-based).
struct GroupLabel {
    const char* label;   // without its comma; the reader compares this much
    const char* field;
    int position;
    int width;
    Cleaning cleaning;
};

// In file order.
inline constexpr std::array<GroupLabel, 13> kGroupLabels{{
    {"Group #", "GROUP", 9, 4, Cleaning::Code},
    {"Agency #", "MORTCO", 10, 4, Cleaning::Code},
    {"Payment Due Date", "DUEDATE", 18, 10, Cleaning::None},
    {"Name1:", "NAME1", 8, 35, Cleaning::Text},
    {"Name2:", "NAME2", 8, 35, Cleaning::Text},
    {"Contact Person:", "CONTACT", 17, 25, Cleaning::Text},
    {"Contact Phone Number:", "CONT_PHONE", 23, 13, Cleaning::Text},
    {"Address1:", "ADDR1", 11, 30, Cleaning::Text},
    {"Address2:", "ADDR2", 11, 30, Cleaning::Text},
    {"Address3:", "ADDR3", 11, 30, Cleaning::Text},
    {"Address4:", "ADDR4", 11, 30, Cleaning::Text},
    {"Address5:", "ADDR5", 11, 30, Cleaning::Text},
    {"Address6:", "ADDR6", 11, 30, Cleaning::Text},
}};

// Widths of a stored payment row.
inline constexpr int kNumberWidth = 12;
inline constexpr int kNameWidth = 25;
inline constexpr int kCdWidth = 2;
inline constexpr int kJurWidth = 3;
inline constexpr int kFolioWidth = 18;
inline constexpr int kFolioDispWidth = 20;
inline constexpr int kLegalWidth = 32;
inline constexpr int kAbcWidth = 1;

// The fields of one payment line, as the reader's rules leave them.
struct PaymentFields {
    QString number, name, cd, jur, folio, abc, legal;
    double payment = 0, grossTax = 0, regGrant = 0, addGrant = 0, delq = 0;
    // The district and folio fields as read, only when their rule dropped
    // more than leading zeros (they are wider than their columns); else null.
    QString cdRead, folioRead;
};

// The fields of a line as csv::split gives them, without any quote of either
// kind (the load drops them all). At most max fields are taken; what follows
// the last one is ignored. Returns how many the line holds. The views point
// into line, or into storage when the line holds a quote.
int splitFields(QStringView line, QStringView* fields, int max, QString& storage);

// A line as the program itself writes it: the fields joined by commas again,
// with no quotes and without the empty fields a spreadsheet program pads a
// line with at its end. The view points into line or into storage.
QStringView plainLine(const QString& line, QString& storage);

// The form in which the writer puts NUMBER, NAME, CD, JUR and LEGAL into a
// payment line: every comma and every quote of either kind dropped, blanks
// trimmed. The load and the payment editors store these fields in this form,
// so a row holds what the file will hold, and two payments the file could not
// tell apart are never both stored.
QString writtenText(QStringView s);
QString writtenText(const QString& s);   // s itself when it is in that form
// writtenText cut to the width of its column.
QString storedText(QStringView s, int width);

// Splits a payment line into its twelve fields (as splitFields does) and
// applies the reader's rules: the five text fields in their written form, "#"
// dropped and upper case for the mortgage number, upper case name, district
// zero-padded to two, folio reduced to its digits and zero-padded to 18, type
// A/B/C (anything else A), amounts read as numbers. The texts are not yet cut
// to their columns' widths.
// When marker is given, it names the rule in progress ("  9- 1" to "  9-10 #2").
// An amount that is no number is refused (a Refusal naming no line).
PaymentFields parsePaymentLine(QStringView line, QString* marker = nullptr);

// The 18 digits a folio field reads back to: its digits right-aligned in
// eighteen zeros, of more than 18 the last 18.
QString folioDigits(QStringView s);

// The folio as the file and the screens show it: FormatFolio of the
// jurisdiction's mask, unless that form would not read back to the same
// digits (a mask with fewer places than the folio has digits, one longer than
// the 20 characters shown, one holding digits of its own); then the folio's
// digits alone, without leading zeros. shownPlain, when given, tells which.
QString shownFolio(const QString& jur, const QString& folio, bool* shownPlain = nullptr);

// The group value of a label line, cleaned as the label says.
QString groupValue(const QString& line, const GroupLabel& label);

// "##########0.00": the only amount form the file knows.
QString amountText(double v);

// The two-digit folio length of a mask line: 9 -> "09", 123 -> "23", none -> "00".
QString folioLenText(const QVariant& folioLen);

// The writer's payment line from a row's values, the five texts in their
// written form; passed through StripQuotes.
QString paymentLine(const QString& number, const QString& name, const QString& cd, const QString& jur,
                    const QString& folioDisp, double payment, const QString& abc, double grossTax,
                    double regGrant, double addGrant, double delq, const QString& legal);

// The current calendar year as four digits.
QString currentYearText();

} // namespace zarv::pf
