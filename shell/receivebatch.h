#pragma once
// The receiving program's batch run (zarvreceive --batch): each returned
// workbook is loaded and checked as the receiving screen does it, without a
// window. Beside each workbook go <name>_VERIFIED.zarv (its records without
// errors, as the screen's verified file holds them) and <name>_ERRORS.txt (the
// lines of the screen's error report, then one "LEFT OUT: " line per record
// the verified file leaves out, then what the load decided that no error names,
// such as a value stored cut, one finding a line; empty when there is none). Runs on the data
// environment in force; needs no display.
//
// Standard output, one line per workbook, fields separated by tabs:
//
//   PATH  OUTCOME  WRITTEN  LEFT-OUT  ERRORS-FILE
//
// OUTCOME is OK (nothing listed), ERRORS (checked; records left out, other
// errors or findings listed) or FAILED (not read or not checked to its end: no verified
// file). A last line totals the run:
//
//   TOTAL  OUTCOME  WRITTEN  LEFT-OUT  WORKBOOKS
//
// A tab, line feed, carriage return or backslash in a path is written as
// \t, \n, \r or \\, so every line splits at its tabs.
#include "platform/ui/nodisplayui.h"

#include <QString>
#include <QStringList>
#include <QTextStream>

#include <vector>

namespace zarv {

// An entry the batch checks: a workbook file, or anything named like one
// (a folder, a link to nothing, a file that cannot be read).
struct BatchEntry {
    QString path;       // absolute
    QString problem;    // why it cannot be read as a workbook; "" when it can be tried
};

// The entries the paths name, each once: a file as given, a folder's entries
// named *.xlsx (any letter case, hidden ones aside) in name order. A path
// that is neither adds its text to *problems.
std::vector<BatchEntry> ReturnedWorkbookEntries(const QStringList& paths, QStringList* problems);

// "<folder>/<name>_VERIFIED.zarv" and "<folder>/<name>_ERRORS.txt" for the workbook <folder>/<name>.xlsx.
QString BatchVerifiedFilePath(const QString& workbook);
QString BatchErrorsFilePath(const QString& workbook);

// Runs the check over the paths: the lines above on out, anything the program
// has to say besides on err. Returns kBatchClean, kBatchErrors or
// kBadCommandLine (no workbook found).
int RunReceiveBatch(const QStringList& paths, QTextStream& out, QTextStream& err);

// The user-interface services of a run without a window: every message is
// one line on standard error led by the program's name and, while a workbook
// is checked, its path.
class BatchUi : public ui::NoDisplayUi {
public:
    BatchUi(QTextStream& err, QString programName);
    using NoDisplayUi::msgBox;
    ui::Answer msgBox(const ui::MessageBox& box) override;
    void setWorkbook(const QString& path) { workbook_ = path; }
    // "zarvreceive: <text>" as one line.
    void say(const QString& text);

private:
    QTextStream& err_;
    QString program_;
    QString workbook_;
};

} // namespace zarv
