#pragma once
// Where the files the program writes for the clerk go (exports, Verify.csv, the
// PDF of a report when there is no printer): beside the file being worked on,
// where the clerk looks for them, never in the program's own folder.
#include <QString>

namespace zarv {

// The folder of the file being worked on: the payment file or workbook of the
// run, as the ZarvSystem row remembers it. The home folder when no file has been
// chosen yet. A remembered folder that is gone stays the answer, so that a write
// there fails and names it rather than going somewhere the clerk does not look.
QString WorkingFolder();
// The full path of a file of that name in WorkingFolder().
QString WorkingFilePath(const QString& fileName);
// The full path of the file being worked on itself; "" when none was chosen.
QString WorkingFile();

} // namespace zarv
