#include "verifyfile/verifiedfile.h"

#include "platform/data/recordset.h"
#include "platform/files/outputnames.h"
#include "platform/files/settings.h"
#include "platform/files/textfile.h"
#include "platform/text/failure.h"
#include "services/clientdata.h"

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

} // namespace

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
    return fs::verifiedFileName();
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
