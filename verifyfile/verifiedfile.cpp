#include "verifyfile/verifiedfile.h"

#include "platform/data/recordset.h"
#include "platform/files/filesys.h"
#include "platform/files/settings.h"
#include "platform/files/textfile.h"
#include "platform/text/failure.h"
#include "services/clientdata.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

#include <exception>
#include <memory>

namespace zarv {

namespace {

constexpr int kFolioWidth = 18;
const QString kNoFolio = QStringLiteral("000000000000000000");

// The text as the code page will write it: a character it cannot hold becomes
// one "?", so that the width counted here is the width written.
QString asWritten(const QString& text)
{
    return fs::decodeCp1252(fs::encodeCp1252(text));
}

// Left-aligned, padded with blanks on the right and cut to width.
QString fixed(const QString& text, int width)
{
    const QString t = asWritten(text);
    if (t.size() >= width)
        return t.left(width);
    return t + RepeatString(QStringLiteral(" "), width - int(t.size()));
}

void setError(QString* error, const QString& text)
{
    if (error)
        *error = text;
}

const QString kOriginKey = QStringLiteral("Receiving/VerifiedFrom");
const QString kOriginTimeKey = QStringLiteral("Receiving/VerifiedAt");

QString modifiedAt(const QString& path)
{
    return QFileInfo(path).lastModified().toUTC().toString(Qt::ISODateWithMs);
}

// A part of a file name: characters no file name may hold become "_".
// (Until the program names all its outputs in one place.)
QString fileNamePart(const QString& text)
{
    QString part;
    for (const QChar c : text)
        part += (c.unicode() < 0x20 || QStringLiteral("/\\:*?\"<>|").contains(c)) ? QLatin1Char('_') : c;
    return part;
}

// The kept copy's name in the verified file's folder, numbered when taken.
QString keptPath(const QString& path, const QString& workbook)
{
    const QFileInfo info(path);
    const QString when = info.lastModified().toString(QStringLiteral("yyyy-MM-dd hhmmss"));
    const QString from = workbook.isEmpty()
        ? QStringLiteral("before ") + when
        : QStringLiteral("from ") + fileNamePart(QFileInfo(workbook).completeBaseName()) + QLatin1Char(' ') + when;
    const QString stem = info.dir().filePath(info.completeBaseName() + QLatin1Char(' ') + from);
    const QString suffix = QLatin1Char('.') + info.suffix();
    QString candidate = stem + suffix;
    for (int n = 2; QFileInfo::exists(candidate) || QFileInfo(candidate).isSymLink(); ++n)
        candidate = stem + QStringLiteral(" (%1)").arg(n) + suffix;
    return candidate;
}

} // namespace

void RecordVerifiedOrigin(const QString& path, const QString& workbook)
{
    // Only the name of a kept copy depends on it: a settings file that cannot
    // be written does not stop the upload.
    fs::Settings& settings = fs::Settings::instance();
    settings.setValue(kOriginKey, workbook);
    settings.setValue(kOriginTimeKey, modifiedAt(path));
}

QString VerifiedOrigin(const QString& path)
{
    const fs::Settings& settings = fs::Settings::instance();
    if (!QFileInfo(path).isFile() || settings.value(kOriginTimeKey) != modifiedAt(path))
        return {};
    return settings.value(kOriginKey);
}

QString KeptVerifiedFile::note() const
{
    if (copy.isEmpty())
        return {};
    const QString from = workbook.isEmpty() ? QString()
                                            : QStringLiteral(", written from ") + QFileInfo(workbook).fileName() +
                                                  QLatin1Char(',');
    return QStringLiteral("The verified file that was there before%1 is kept as %2.")
        .arg(from, QDir::toNativeSeparators(copy));
}

bool KeepEarlierVerifiedFile(const QString& path, KeptVerifiedFile* kept, QString* error)
{
    *kept = {};
    if (!QFileInfo::exists(path))
        return true;
    const QString workbook = VerifiedOrigin(path);
    const QString copy = keptPath(path, workbook);
    QString why;
    if (!fs::copyReplace(path, copy, &why) || !fs::sameBytes(path, copy)) {
        fs::removeFile(copy);
        setError(error, QStringLiteral("The verified file %1 that is already there could not be kept as %2%3")
                            .arg(QDir::toNativeSeparators(path), QDir::toNativeSeparators(copy),
                                 why.isEmpty() ? QString() : QStringLiteral(": ") + why));
        return false;
    }
    kept->copy = copy;
    kept->workbook = workbook;
    return true;
}

const std::array<VerifiedField, 14>& VerifiedLayout()
{
    static const std::array<VerifiedField, 14> layout = {{
        {"ACD", 1},
        {"MORTCO", 4},
        {"NUMBER", 12},
        {"CD", 2},
        {"JUR", 3},
        {"FOLIO", kFolioWidth},
        {"NAME", 70},
        {"ADDR1", 30},
        {"ADDR2", 30},
        {"ADDR3", 30},
        {"ADDR4", 30},
        {"ADDR5", 30},
        {"LEGAL", 32},
        {"PID", 9},
    }};
    return layout;
}

QString VerifiedFileName()
{
    return QStringLiteral("ZARVP040_VERIFIED.zarv");
}

QString VerifiedFilePath()
{
    return QDir(fs::Settings::instance().verifiedFolder()).filePath(VerifiedFileName());
}

QString VerifiedFolio(const QString& stored)
{
    QString digits;
    for (const QChar c : stored) {
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            digits += c;
    }
    if (digits.isEmpty() || digits == kNoFolio)
        return fixed(stored, kFolioWidth);
    return (RepeatString(QStringLiteral("0"), kFolioWidth) + digits).right(kFolioWidth);
}

QString VerifiedRecord(const std::function<QString(const QString& field)>& value)
{
    QString record;
    record.reserve(kVerifiedRecordLength);
    for (const VerifiedField& f : VerifiedLayout()) {
        const QString name = QString::fromLatin1(f.field);
        const QString stored = value(name);
        record += name == QLatin1String("FOLIO") ? VerifiedFolio(stored) : fixed(stored, f.width);
    }
    return record;
}

QString VerifiedRecord(const db::Recordset& rs)
{
    return VerifiedRecord([&rs](const QString& field) { return rs.text(field); });
}

bool WriteVerifiedFile(const db::Recordset& rows, const QString& path, QString* error)
{
    return WriteVerifiedFile(rows, path, {}, error);
}

bool WriteVerifiedFile(const db::Recordset& rows, const QString& path, const std::function<bool(qint64)>& keep,
                       QString* error)
{
    const QString folder = QFileInfo(path).absolutePath();
    if (!QFileInfo(folder).isDir() && !QDir().mkpath(folder)) {
        setError(error, QStringLiteral("Could not write %1: the folder %2 could not be made")
                            .arg(QDir::toNativeSeparators(path), QDir::toNativeSeparators(folder)));
        return false;
    }

    fs::LineWriter out;
    if (!out.open(path)) {
        setError(error, out.errorString());
        return false;
    }
    try {
        // A cursor of our own: every row, in the recordset's order, and the
        // recordset's own position and filter untouched.
        const std::unique_ptr<db::Recordset> cursor = rows.clone();
        for (; !cursor->eof(); cursor->moveNext()) {
            if (!keep || keep(cursor->bookmark()))
                out.writeLine(VerifiedRecord(*cursor));
        }
    } catch (const std::exception&) {
        // Only reading the folios throws here.
        const Failure failure = currentFailure();
        out.cancel();
        setError(error, QStringLiteral("Could not write %1: reading the folios failed (%2 %3)")
                            .arg(QDir::toNativeSeparators(path))
                            .arg(failure.number)
                            .arg(failure.description));
        return false;
    }
    if (!out.commit()) {
        setError(error, out.errorString());
        return false;
    }
    return true;
}

} // namespace zarv
