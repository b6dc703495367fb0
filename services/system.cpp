#include "services/system.h"
#include "services/activitylog.h"

#include "platform/files/filesys.h"
#include "platform/files/outputnames.h"
#include "services/dataenvironment.h"
#include "platform/text/vb.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <sqlite3.h>
#include "platform/ui/uiservices.h"

namespace zarv {

bool FileExists(const QString& filePath)
{
    return fs::fileExists(filePath);
}

QString StripTrailingChar(const QString& text, const QString& ch)
{
    const QString s = vb::Trim(text);
    if (s.isEmpty())
        return {};
    if (ch.size() != 1)
        return s;
    qsizetype end = s.size();
    while (end > 0 && s.at(end - 1) == ch.at(0))
        --end;
    return s.left(end);
}

QString StripLeadingChar(const QString& text, const QString& ch)
{
    const QString s = vb::Trim(text);
    if (s.isEmpty())
        return {};
    if (ch.size() != 1)
        return s;
    qsizetype start = 0;
    while (start < s.size() && s.at(start) == ch.at(0))
        ++start;
    return s.mid(start);
}

FileAttributeFlags GetFileAttributeFlags(const QString& filePath)
{
    FileAttributeFlags f;
    if (!FileExists(filePath))
        return f;
    const int attr = fs::fileAttributes(filePath);
    if (attr < 0 || attr > 0xFFFF)
        return f;
    f.Attr = attr;
    switch (attr) {
    case 0: case 1: case 32: case 33: case 2048: case 2049: case 2080: case 2081:
        f.Found = true;
        f.IsReadOnly = (attr & 1) != 0;
        f.IsArchive = (attr & 32) != 0;
        f.IsCompressed = (attr & 2048) != 0;
        break;
    default:
        break;
    }
    return f;
}

bool AskAboutFileAttributes(const QString& filePath, const QString& unknownTitle)
{
    const FileAttributeFlags flags = GetFileAttributeFlags(filePath);
    QString title;
    QString text;
    if (!flags.Found) {
        title = unknownTitle;
        text = QStringLiteral("CAUTION This program could not determine if the file attribute of ") + filePath +
               QStringLiteral(" ZARV data file is READONLY (Error # ") + QString::number(flags.Attr) +
               QStringLiteral("). You can Stop now and check the file properties (The file attributes must NOT be "
                              "READONLY). You can continue and take the risk of losing all the data changes. Do "
                              "you want to continue ?");
    } else if (flags.IsReadOnly) {
        title = QStringLiteral("ZARV data File is READONLY");
        text = QStringLiteral("CAUTION This program found that the file attribute of ") + filePath +
               QStringLiteral(" is READONLY. You can Stop now and change the file property (The file attributes "
                              "must NOT be READONLY). You can continue and lose all data changes. Do you want to "
                              "continue ?");
    } else {
        return true;
    }
    // Enter stops: going on risks the run's work.
    return ui::ui().msgBox(ui::MessageBox{text, ui::Buttons::YesNo, ui::Icon::None, title, ui::Answer::No}) ==
           ui::Answer::Yes;
}

QString PourIntoMask(QStringView mask, QStringView chars, qsizetype maxLength)
{
    // Each place of the mask gives at most one character: no more room is
    // taken than that (a folio shown is kept with every payment).
    const qsizetype n = std::min(mask.size(), maxLength);
    QString out;
    out.reserve(n);
    qsizetype j = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const QChar m = mask.at(i);
        if (m == QLatin1Char('#')) {
            if (j < chars.size())
                out += chars.at(j);
            ++j;
        } else {
            out += m;
        }
    }
    return out;
}

QString FormatAmountMask(const QString& text)
{
    static const QString mask = QStringLiteral("###############.###");
    return PourIntoMask(mask, vb::Right(text, mask.count(QLatin1Char('#'))), mask.size());
}

QString ReceivedCopyPath(const QString& filePath)
{
    return fs::receivedCopyPath(filePath);
}

namespace {

QByteArray fileDigest(const QString& path)
{
    QFile file(path);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!file.open(QIODevice::ReadOnly) || !hash.addData(&file))
        return {};
    return hash.result().toHex();
}

QString literal(QString text)
{
    return QLatin1Char('\'') + text.replace(QLatin1Char('\''), QStringLiteral("''")) + QLatin1Char('\'');
}

// What the program last wrote to filePath, as WrittenFile keeps it; "" when unknown.
QByteArray lastWrittenDigest(const QString& filePath)
{
    if (!hasDE())
        return {};
    QByteArray digest;
    try {
        sqlite3_stmt* st = nullptr;
        const QByteArray path = QFileInfo(filePath).absoluteFilePath().toUtf8();
        if (sqlite3_prepare_v2(DE().Zarv.handle(), "SELECT DIGEST FROM WrittenFile WHERE PATH = ?1", -1, &st,
                               nullptr) == SQLITE_OK) {
            sqlite3_bind_text(st, 1, path.constData(), int(path.size()), SQLITE_STATIC);
            if (sqlite3_step(st) == SQLITE_ROW)
                digest = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
        }
        sqlite3_finalize(st);
    } catch (const std::exception&) {
        // Not known: the file is taken as one that arrived.
    }
    return digest;
}

bool copyExactly(const QString& from, const QString& to, QString* error)
{
    if (fs::copyReplace(from, to, error) && fs::sameBytes(from, to))
        return true;
    if (error && error->isEmpty())
        *error = QStringLiteral("the copy differs from the original");
    return false;
}

} // namespace

void WrittenByProgram(const QString& filePath)
{
    WrittenByProgram(filePath, fileDigest(filePath));
}

void WrittenByProgram(const QString& filePath, const QByteArray& digest)
{
    if (!hasDE() || digest.isEmpty())
        return;
    try {
        const QString path = literal(QFileInfo(filePath).absoluteFilePath());
        DE().Zarv.execute(QStringLiteral("DELETE FROM WrittenFile WHERE PATH = %1").arg(path));
        DE().Zarv.execute(QStringLiteral("INSERT INTO WrittenFile (PATH, DIGEST) VALUES (%1, %2)")
                              .arg(path, literal(QString::fromLatin1(digest))));
        DE().Zarv.flush();
    } catch (const std::exception&) {
        // Not kept: the next run takes the file as one that arrived, and keeps both copies.
    }
}

bool KeepReceivedCopy(const QString& filePath, QString* error, QString* told)
{
    const QString copy = ReceivedCopyPath(filePath);
    const QFileInfo kept(copy);
    if (!QFileInfo::exists(filePath))
        return true;
    // A folder (or anything else) under the copy's name holds no copy of the file.
    if (!kept.isFile() && (kept.exists() || kept.isSymLink())) {
        if (error)
            *error = kept.isDir() ? QStringLiteral("a folder of that name is in the way")
                                  : QStringLiteral("something that is not a file has that name");
        return false;
    }
    const QString copied = QStringLiteral("copied from %1").arg(QDir::toNativeSeparators(filePath));
    if (!kept.isFile()) {
        if (copyExactly(filePath, copy, error))
            return LogOutcome(true, copy, copied, {});
        fs::removeFile(copy);   // never leave a copy that is not the file as received
        return false;
    }
    const QByteArray written = lastWrittenDigest(filePath);
    if (fs::sameBytes(filePath, copy) || (!written.isEmpty() && written == fileDigest(filePath)))
        return true;
    // A file the tax office sent anew: the older copy keeps its own dated name.
    QDateTime when = kept.lastModified();
    QString older = fs::datedPath(copy, when);
    while (QFileInfo::exists(older) || QFileInfo(older).isSymLink())
        older = fs::datedPath(copy, when = when.addSecs(1));
    if (!copyExactly(copy, older, error)) {
        fs::removeFile(older);
        return false;
    }
    if (!copyExactly(filePath, copy, error))
        return false;       // the older copy is still the copy, and kept besides
    LogFile(copy, copied);
    if (told)
        *told = QStringLiteral("%1 is neither the file received before nor the one ZARV last saved: it is now the "
                               "copy as received, %2. The earlier copy is kept as %3.")
                    .arg(QDir::toNativeSeparators(filePath), QDir::toNativeSeparators(copy),
                         QDir::toNativeSeparators(older));
    return true;
}

} // namespace zarv
