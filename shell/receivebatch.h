#pragma once
// The receiving program's batch run (zarvreceive --batch): each returned
// workbook is loaded and checked as the receiving screen does it, without a
// window. Beside each workbook go <name>_VERIFIED.zarv (its records without
// errors, as the screen's verified file holds them) and <name>_ERRORS.txt (the
// lines of the screen's error report, one per line; empty when there is
// none). Runs on the data environment in force; needs no display.
#include "platform/ui/nodisplayui.h"

#include <QString>
#include <QStringList>
#include <QTextStream>

namespace zarv {

// The workbooks the paths name: a file as given, a folder's .xlsx files (any
// letter case, hidden ones aside) in name order. A path that is neither adds
// its text to *problems.
QStringList ReturnedWorkbookFiles(const QStringList& paths, QStringList* problems);

// "<folder>/<name>_VERIFIED.zarv" and "<folder>/<name>_ERRORS.txt" for the workbook <folder>/<name>.xlsx.
QString BatchVerifiedFilePath(const QString& workbook);
QString BatchErrorsFilePath(const QString& workbook);

// Runs the check over the paths: one line per workbook on out, anything the
// program has to say besides on err. Returns kBatchClean, kBatchErrors or
// kBadCommandLine (no workbook found).
int RunReceiveBatch(const QStringList& paths, QTextStream& out, QTextStream& err);

// The user-interface services of a run without a window.
using BatchUi = ui::NoDisplayUi;

} // namespace zarv
