#pragma once
// Text and folio procedures shared by the file conversions and the screens.
#include <QString>
#include <QStringList>

namespace zarv {

// Count copies of text; "" for a count of 0 or less.
QString RepeatString(const QString& text, int count);
// The text trimmed of blanks, with every double and single quote removed.
QString StripQuotes(const QString& text);
// The text trimmed of blanks, each run of blanks reduced to one.
QString CollapseSpaces(const QString& text);
// The text with every CR, LF and TAB turned into one blank each, so a value
// typed with a line break in a spreadsheet cell stays one line in every file.
QString SingleLine(const QString& text);

// One line of a comma-separated file meant for a spreadsheet program (an agency's
// payment export, Verify.csv): each value as CsvValue gives it, then as csv::appendField writes
// it (a value holding a comma in double quotes), the line trimmed.
QString CsvLine(const QStringList& values);
// A value as such a line holds it before quoting: on one line, without quotes
// and apostrophes, trimmed.
QString CsvValue(const QString& value);

// The folio in its jurisdiction's display format, from the working table
// Fol_Mask (FormatFolio) or the reference table FolioMask (the twin). Moves the
// mask recordset and overwrites strFind.
QString FormatFolio(const QString& jurCd, const QString& folio);
QString FormatFolioFromFolioMask(const QString& jurCd, const QString& folio);

// How many digits FormatFolio shows of a folio of jurCd (the "#" places its
// mask fills); 18 where the default form applies.
int FolioDisplayDigits(const QString& jurCd);
// "" when the digits of a typed folio fit jurCd's display exactly, so that
// none is dropped and none added (up to 18 where the default form applies);
// otherwise what the clerk is told.
QString FolioFitMessage(const QString& jurCd, const QString& typed);

} // namespace zarv
