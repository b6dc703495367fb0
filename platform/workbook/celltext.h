#pragma once
// Text conversions between what a workbook package stores and what the program
// sees in a cell. Used by the reader and the writer; kept apart so they can be
// tested on their own.
#include <QString>
#include <string_view>

namespace zarv::xl::detail {

// A number as BASIC's CStr shows a Double: at most 15 significant digits, no
// trailing zeros, "0.5" with its leading zero, exponent form ("1E+15", "1E-05",
// "1.5E-07") for magnitudes from 1E+15 up and below 1E-04; 0 (and -0) is "0".
QString numberText(double value);

// The text of a numeric cell's stored value: the number as numberText shows it,
// or the stored characters unchanged when they do not read as a finite number.
QString numericCellText(std::string_view stored);

// Decodes the "_xHHHH_" escapes a package uses for characters XML cannot carry
// (for example "_x000D_" for a carriage return); "_x005F_" is a literal "_", so
// "_x005F_x000D_" reads as the seven characters "_x000D_".
QString decodeEscapes(const QString& stored);

// The reverse for text about to be stored: guards every literal "_xHHHH_" in the
// text by writing its underscore as "_x005F_", so a reader decodes it back to
// the same characters. Control characters are left to the writing library.
QString protectEscapes(const QString& text);

// Column number (1-based) from the letters of a cell reference such as "AB12";
// 0 when the reference does not start with 1 to 3 letters naming a column up
// to XFD (16384).
int columnFromReference(std::string_view reference);

// Column letters for a 1-based column number ("A", "Z", "AA", "XFD").
QString columnLetters(int column);

} // namespace zarv::xl::detail
