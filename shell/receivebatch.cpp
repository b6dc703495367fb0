#include "shell/receivebatch.h"

#include "platform/files/filesys.h"
#include "platform/files/outputnames.h"
#include "platform/files/textfile.h"
#include "shell/commandline.h"
#include "verifyfile/returnedworkbook.h"

#include <QCollator>
#include <QDir>
#include <QFileInfo>
#include <QSet>

#include <algorithm>
#include <functional>

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

const QString kOk = QStringLiteral("OK");
const QString kErrors = QStringLiteral("ERRORS");
const QString kFailed = QStringLiteral("FAILED");
const QString kTotal = QStringLiteral("TOTAL");
const QString kLeftOut = QStringLiteral("LEFT OUT: ");

QString native(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

// A field of an output line: the characters that would split it escaped.
QString field(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '\\': out += QStringLiteral("\\\\"); break;
        case '\t': out += QStringLiteral("\\t"); break;
        case '\n': out += QStringLiteral("\\n"); break;
        case '\r': out += QStringLiteral("\\r"); break;
        default: out += c;
        }
    }
    return out;
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

// Why an entry named like a workbook cannot be read as one; "" when it can be tried.
QString problemOf(const QFileInfo& info)
{
    if (info.isSymLink() && !info.exists())
        return QStringLiteral("%1 is a link to %2, which does not exist.")
            .arg(native(info.absoluteFilePath()), native(info.symLinkTarget()));
    if (info.isDir())
        return QStringLiteral("%1 is a folder, not a workbook.").arg(native(info.absoluteFilePath()));
    if (!info.isFile())
        return QStringLiteral("%1 is not a file.").arg(native(info.absoluteFilePath()));
    if (!info.isReadable())
        return QStringLiteral("%1 cannot be read: permission denied.").arg(native(info.absoluteFilePath()));
    return {};
}

struct Outcome {
    QString outcome;
    int written = 0;
    int leftOut = 0;
};

// Checks one entry and writes its two files.
Outcome receiveOne(const BatchEntry& entry, const std::function<void(const QString&)>& say)
{
    const QString& workbook = entry.path;
    const QString verified = BatchVerifiedFilePath(workbook);
    const QString errorsFile = BatchErrorsFilePath(workbook);
    Outcome result{kFailed};

    QStringList errors;
    bool checked = false;
    if (!entry.problem.isEmpty()) {
        errors << entry.problem;
    } else {
        BatchNotes notes;
        ReturnedWorkbook book = ReturnedWorkbook::load(workbook, notes);
        errors = notes.lines + book.errorLines();
        if (book.complete()) {
            checked = true;
            for (const LeftOutRecord& r : book.leftOut())
                errors << kLeftOut + r.text();
            errors << book.findingLines();
            result.leftOut = book.recordsLeftOut();
            if (book.recordsWithoutErrors() > 0) {
                QString why;
                if (book.writeVerifiedFile(verified, &why)) {
                    result.written = book.recordsWithoutErrors();
                } else {
                    errors << QStringLiteral("ERROR - The verified file was NOT written: ") + why;
                    checked = false;
                }
            }
        }
    }
    if (result.written == 0 && !fs::removeFile(verified)) {
        // A verified file of an earlier run must not pass for this workbook's.
        errors << QStringLiteral("ERROR - The verified file %1 of an earlier run could not be removed.")
                      .arg(native(verified));
        checked = false;
    }
    QString why;
    if (!writeLines(errorsFile, errors, &why)) {
        say(QStringLiteral("%1: the list of errors %2 was NOT written: %3").arg(native(workbook), native(errorsFile), why));
        checked = false;
    }
    if (checked)
        result.outcome = errors.isEmpty() ? kOk : kErrors;
    return result;
}

} // namespace

BatchUi::BatchUi(QTextStream& err, QString programName)
    : NoDisplayUi(err), err_(err), program_(std::move(programName))
{
}

ui::Answer BatchUi::msgBox(const ui::MessageBox& box)
{
    QString text = box.prompt;
    text.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    say(workbook_.isEmpty() ? text : native(workbook_) + QStringLiteral(": ") + text);
    return ui::safeAnswer(box.buttons);
}

void BatchUi::say(const QString& text)
{
    err_ << program_ << QStringLiteral(": ") << text << Qt::endl;
}

std::vector<BatchEntry> ReturnedWorkbookEntries(const QStringList& paths, QStringList* problems)
{
    std::vector<BatchEntry> entries;
    QSet<QString> seen;
    auto add = [&](const QFileInfo& info) {
        // A workbook named twice (a folder given twice, a file also in a folder
        // given) is checked once.
        const QString canonical = info.canonicalFilePath();
        const QString key = canonical.isEmpty() ? info.absoluteFilePath() : canonical;
        if (seen.contains(key))
            return;
        seen.insert(key);
        entries.push_back({QDir::cleanPath(info.absoluteFilePath()), problemOf(info)});
    };
    for (const QString& path : paths) {
        const QFileInfo info(path);
        if (!info.isDir()) {
            if (info.exists() || info.isSymLink())
                add(info);
            else if (problems)
                *problems << path;
            continue;
        }
        // Every entry named like a workbook: files, folders, links to nothing
        // and entries that cannot be read all get their line.
        QFileInfoList found = QDir(path).entryInfoList({QStringLiteral("*.xlsx")},
                                                       QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot,
                                                       QDir::NoSort);
        QCollator byName;
        byName.setNumericMode(true);
        std::sort(found.begin(), found.end(),
                  [&byName](const QFileInfo& a, const QFileInfo& b) { return byName(a.fileName(), b.fileName()); });
        for (const QFileInfo& f : std::as_const(found))
            if (!fs::isCopyOrBackup(f.fileName()))
                add(f);
    }
    return entries;
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
    auto* batchUi = dynamic_cast<BatchUi*>(ui::installed());
    auto say = [&](const QString& text) {
        if (batchUi)
            batchUi->say(text);
        else
            err << text << Qt::endl;
    };
    QStringList missing;
    const std::vector<BatchEntry> entries = ReturnedWorkbookEntries(paths, &missing);
    for (const QString& path : std::as_const(missing))
        say(QStringLiteral("%1: no such workbook or folder").arg(native(path)));
    if (entries.empty()) {
        say(QStringLiteral("no returned workbook (.xlsx) was found."));
        return kBadCommandLine;
    }
    bool anyErrors = !missing.isEmpty();
    int written = 0;
    int leftOut = 0;
    for (const BatchEntry& entry : entries) {
        if (batchUi)
            batchUi->setWorkbook(entry.path);
        const Outcome o = receiveOne(entry, say);
        if (batchUi)
            batchUi->setWorkbook(QString());
        out << field(native(entry.path)) << '\t' << o.outcome << '\t' << o.written << '\t' << o.leftOut << '\t'
            << field(native(BatchErrorsFilePath(entry.path))) << Qt::endl;
        written += o.written;
        leftOut += o.leftOut;
        anyErrors = anyErrors || o.outcome != kOk;
    }
    out << kTotal << '\t' << (anyErrors ? kErrors : kOk) << '\t' << written << '\t' << leftOut << '\t'
        << entries.size() << Qt::endl;
    return anyErrors ? kBatchErrors : kBatchClean;
}

} // namespace zarv
