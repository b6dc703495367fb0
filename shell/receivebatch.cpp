#include "shell/receivebatch.h"

#include "platform/files/filesys.h"
#include "platform/files/outputnames.h"
#include "platform/files/textfile.h"
#include "shell/commandline.h"
#include "verifyfile/returnedworkbook.h"

#include <QCollator>
#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace zarv {

namespace {

// The load's own notes (a code sheet's rows left out, a failure) are errors
// of the workbook like the named rows.
class BatchNotes : public VerifyMessageSink {
public:
    void addLine(const QString& text) override { lines << text; }
    void enablePrintErrors() override {}
    QStringList lines;
};

QString native(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

bool writeLines(const QString& path, const QStringList& lines, QString* error)
{
    fs::LineWriter out;
    if (!out.open(path)) {
        *error = out.errorString();
        return false;
    }
    for (const QString& line : lines) {
        if (!out.writeLine(line)) {
            *error = out.errorString();
            out.cancel();
            return false;
        }
    }
    if (!out.commit()) {
        *error = out.errorString();
        return false;
    }
    return true;
}

// Checks one workbook and writes its two files; returns the line that reports
// it and whether it had errors.
std::pair<QString, bool> receiveOne(const QString& workbook)
{
    BatchNotes notes;
    ReturnedWorkbook book = ReturnedWorkbook::load(workbook, notes);
    const QString verified = BatchVerifiedFilePath(workbook);
    const QString errorsFile = BatchErrorsFilePath(workbook);

    QStringList errors = notes.lines + book.errorLines();
    QString verifiedNote;
    if (book.complete() && book.recordsWithoutErrors() > 0) {
        QString why;
        if (book.writeVerifiedFile(verified, &why))
            verifiedNote = book.verifiedFileNote(verified);
        else
            errors << QStringLiteral("ERROR - The verified file was NOT written: ") + why;
    }
    if (verifiedNote.isEmpty()) {
        // A verified file of an earlier run must not pass for this workbook's.
        verifiedNote = QStringLiteral("No verified file is written.");
        if (!fs::removeFile(verified))
            errors << QStringLiteral("ERROR - The verified file %1 of an earlier run could not be removed.")
                          .arg(native(verified));
    }

    QString why;
    QString errorsNote = errors.isEmpty() ? QStringLiteral("No errors; %1 is empty.").arg(native(errorsFile))
                                          : QStringLiteral("%1 listed in %2.")
                                                .arg(errors.size() == 1 ? QStringLiteral("1 error is")
                                                                        : QStringLiteral("%1 errors are")
                                                                              .arg(errors.size()),
                                                     native(errorsFile));
    if (!writeLines(errorsFile, errors, &why)) {
        errors << why;
        errorsNote = QStringLiteral("ERROR - The list of errors was NOT written: ") + why;
    }
    const bool failed = !errors.isEmpty();
    const QString status = failed ? QStringLiteral("ERRORS") : QStringLiteral("OK");
    QString line = native(workbook) + QStringLiteral(": ") + status + QStringLiteral(": ");
    if (book.complete())
        line += book.summary() + QLatin1Char(' ');
    line += verifiedNote + QLatin1Char(' ') + errorsNote;
    return {line, failed};
}

} // namespace

QStringList ReturnedWorkbookFiles(const QStringList& paths, QStringList* problems)
{
    QStringList files;
    for (const QString& path : paths) {
        const QFileInfo info(path);
        if (info.isFile()) {
            files << info.absoluteFilePath();
            continue;
        }
        if (!info.isDir()) {
            if (problems)
                *problems << path;
            continue;
        }
        QFileInfoList found = QDir(path).entryInfoList({QStringLiteral("*.xlsx")}, QDir::Files, QDir::NoSort);
        QCollator byName;
        byName.setNumericMode(true);
        std::sort(found.begin(), found.end(),
                  [&byName](const QFileInfo& a, const QFileInfo& b) { return byName(a.fileName(), b.fileName()); });
        for (const QFileInfo& f : std::as_const(found))
            if (!fs::isCopyOrBackup(f.fileName()))
                files << f.absoluteFilePath();
    }
    return files;
}

QString BatchVerifiedFilePath(const QString& workbook)
{
    return fs::batchVerifiedPath(workbook);
}

QString BatchErrorsFilePath(const QString& workbook)
{
    return fs::batchErrorsPath(workbook);
}

int RunReceiveBatch(const QStringList& paths, QTextStream& out, QTextStream& err)
{
    QStringList missing;
    const QStringList workbooks = ReturnedWorkbookFiles(paths, &missing);
    for (const QString& path : std::as_const(missing))
        err << QStringLiteral("%1: no such workbook or folder").arg(native(path)) << Qt::endl;
    if (workbooks.isEmpty()) {
        err << QStringLiteral("No returned workbook (.xlsx) was found.") << Qt::endl;
        return kBadCommandLine;
    }
    bool anyErrors = !missing.isEmpty();
    for (const QString& workbook : workbooks) {
        const auto [line, failed] = receiveOne(workbook);
        out << line << Qt::endl;
        anyErrors = anyErrors || failed;
    }
    return anyErrors ? kBatchErrors : kBatchClean;
}

} // namespace zarv
