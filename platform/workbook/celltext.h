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

// A date serial number as BASIC's CStr shows a date: "3/31/2026" for a whole
// day, "3/31/2026 2:05:00 PM" with a time, "2:05:00 PM" for a time of day
// alone (a serial below 1). Serials count days from 1900 as spreadsheets do
// (1 is 1/1/1900, with their 2/29/1900), or from 1/1/1904 when date1904.
// "" for a serial that is no date (negative, 60 in 1900, past 9999).
QString dateText(double serial, bool date1904);

// The same for the ISO 8601 text of a date cell ("2026-03-31T14:05:00");
// "" when it does not read as one.
QString isoDateText(const QString& iso);

// Whether a cell with this number format holds a date or time: the built-in
// formats 14 to 22 and 45 to 47, or a format code of date or time parts
// (d, m, y, h, s outside quotes, escapes and brackets; [h] [m] [s] elapsed).
bool isBuiltInDateFormat(int id);
bool isDateFormatCode(std::string_view code);

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
