#include "services/system.h"
#include "services/activitylog.h"

#include "platform/files/filesys.h"
#include "platform/text/vb.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
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
    QString out;
    out.reserve(maxLength);
    qsizetype j = 0;
    const qsizetype n = std::min(mask.size(), maxLength);
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

QString CountText(long long count, const QString& one, const QString& many)
{
    return QString::number(count) + QLatin1Char(' ') + (count == 1 ? one : many);
}

QString ReceivedCopyPath(const QString& filePath)
{
    const QFileInfo info(filePath);
    const QString name = info.fileName();
    const QString suffix = info.suffix();
    const QString stem = suffix.isEmpty() ? name : name.left(name.size() - suffix.size() - 1);
    const QString copy = stem + QStringLiteral(".received") + (suffix.isEmpty() ? QString() : QLatin1Char('.') + suffix);
    const qsizetype slash = filePath.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? copy : filePath.left(slash + 1) + copy;
}

bool KeepReceivedCopy(const QString& filePath, QString* error)
{
    const QString copy = ReceivedCopyPath(filePath);
    const QFileInfo kept(copy);
    if (kept.isFile() || !QFileInfo::exists(filePath))
        return true;
    // A folder (or anything else) under the copy's name holds no copy of the file.
    if (kept.exists() || kept.isSymLink()) {
        if (error)
            *error = kept.isDir() ? QStringLiteral("a folder of that name is in the way")
                                  : QStringLiteral("something that is not a file has that name");
        return false;
    }
    if (fs::copyReplace(filePath, copy, error) && fs::sameBytes(filePath, copy))
        return LogOutcome(true, copy, QStringLiteral("copied from %1").arg(QDir::toNativeSeparators(filePath)), {});
    if (error && error->isEmpty())
        *error = QStringLiteral("the copy differs from the original");
    fs::removeFile(copy);   // never leave a copy that is not the file as received
    return false;
}

} // namespace zarv
