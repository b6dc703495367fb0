#pragma once
// Comma-separated lines as spreadsheet programs read and write them: the one
// rule by which every such file of the program is split and written.
#include <QString>
#include <QStringList>
#include <QStringView>

namespace zarv::csv {

// Splits a line into fields. Fields are separated by commas. A field that
// opens with a double quote runs to its closing quote, commas included, and a
// doubled quote "" inside it is one quote; text after the closing quote up to
// the next comma still belongs to the field. A quote anywhere else is an
// ordinary character. A quote that opens a field and never closes takes the
// rest of the line into that field and sets *unclosed.
// At most max fields are taken (what follows the last is ignored); returns how
// many the line gives. The views point into line, or into storage when the
// line holds a double quote.
int split(QStringView line, QStringView* fields, int max, QString& storage, bool* unclosed = nullptr);
// The same, as count texts: missing fields are empty.
QStringList split(QStringView line, int count);

// Where a quote that opens a field of the line and never closes stands, -1
// when every quoted field closes.
qsizetype unclosedQuote(QStringView line);

// Whether a field must be put in quotes to be read back: it holds a comma, a
// double quote or a line break.
bool needsQuotes(QStringView value);
// Appends one field as split() reads it back: in double quotes, each quote
// doubled, when it needs them; otherwise as it is.
void appendField(QString& line, QStringView value);
// The fields joined by commas, each as appendField writes it.
QString join(const QStringList& fields);

// The end-of-file mark of old tools.
inline constexpr char16_t kEndOfFile = 0x1A;

// True for a line of nothing but blanks, tabs, commas and end-of-file marks:
// it holds no field, wherever it stands.
bool isBlankLine(QStringView line);

} // namespace zarv::csv
