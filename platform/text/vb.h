#pragma once
// Text helpers that behave exactly like the classic BASIC string and number
// functions the data files and messages were designed around.
#include <QString>

namespace zarv::vb {

// Removes U+0020 only; tabs and other blanks stay.
QString Trim(const QString& s);
QString LTrim(const QString& s);
QString RTrim(const QString& s);

// One character to one character: never "ß" -> "SS". A letter of Windows-1252
// whose capital the code page lacks (µ, ƒ) stays as it is, so the upper case of
// a text the files can hold is one they can hold too.
QString UCase(const QString& s);
QChar UCaseChar(QChar c);

// Never fail past the end; a negative or zero length gives "".
QString Left(const QString& s, qsizetype n);
QString Right(const QString& s, qsizetype n);
// 1-based start; without a length, to the end of the text.
QString Mid(const QString& s, qsizetype start);
QString Mid(const QString& s, qsizetype start, qsizetype length);

// The number read from the start of the text: blanks, tabs and line feeds are
// ignored anywhere, an optional sign, digits with "." as the decimal sign, an
// optional exponent (E or D); reading stops at the first other character; 0 when
// the text does not start with a number. No grouping separators, no locale.
// "&H1F" and "&O17" read as hexadecimal and octal. A number too large for a
// double ("1E400") throws std::overflow_error.
double Val(const QString& s);

// Number to text as the plain conversion writes it: up to 15 significant digits,
// no leading zero before the decimal point, exponent form outside 1e-5..1e15.
// Str gives a leading blank to a number that is not negative (" 4", " .5", "-3").
QString Str(double v);
QString CStr(double v);          // no leading blank, "0.5" style leading zero
QString CStr(long long v);

// Format(value, pattern) for the digit patterns the program uses:
// "##########0.00", "###,###,###,##0.00", "#,##0", "0000", "00" and the like.
// Rounds half away from zero on the 15-significant-digit decimal form
// (2.675 -> "2.68") and never writes "-0.00".
QString Format(double v, const QString& pattern);

// True when the whole text (blanks around it allowed) reads as a number:
// an optional sign, digits with optional grouping commas, an optional decimal
// point, an optional exponent. The empty or blank text is not numeric.
bool IsNumeric(const QString& s);

// The integer conversion of the BASIC kind: rounds half to even and throws
// std::overflow_error when the value does not fit -32768..32767.
int CInt(double v);

} // namespace zarv::vb
