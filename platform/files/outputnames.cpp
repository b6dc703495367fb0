#include "platform/files/outputnames.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace zarv::fs {

namespace {

const QString kReceived = QStringLiteral("received");

QString stamp(const QDateTime& when)
{
    return when.toString(QStringLiteral("yyyy-MM-dd-HHmmss"));
}

// The folder part of a path with its separator ("" for a bare name), and the name.
std::pair<QString, QString> split(const QString& filePath)
{
    const qsizetype slash = filePath.lastIndexOf(QLatin1Char('/'));
    return {filePath.left(slash + 1), filePath.mid(slash + 1)};
}

// The name without its last extension, and the extension with its dot ("" for none).
std::pair<QString, QString> stemAndSuffix(const QString& name)
{
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot <= 0)
        return {name, QString()};
    return {name.left(dot), name.mid(dot)};
}

// filePath with its last extension replaced: "...<ext>" in any letter case
// becomes "...<with>", any other name gets "<otherwise>" appended.
QString replacedEnding(const QString& filePath, const QString& ext, const QString& with, const QString& otherwise)
{
    if (filePath.endsWith(ext, Qt::CaseInsensitive))
        return filePath.left(filePath.size() - ext.size()) + with;
    return filePath + otherwise;
}

} // namespace

QString safeFileName(const QString& name)
{
    QString out;
    out.reserve(name.size());
    for (const QChar c : name) {
        const bool bad = c.unicode() < 0x20 || c.unicode() == 0x7F || QStringView(u"/\\:*?\"<>|").contains(c);
        out += bad ? QLatin1Char('_') : c;
    }
    while (!out.isEmpty() && (out.endsWith(QLatin1Char(' ')) || out.endsWith(QLatin1Char('.'))))
        out.chop(1);
    return out.isEmpty() ? QStringLiteral("_") : out;
}

QString paymentsExportName(const QString& agency)
{
    return safeFileName(QStringLiteral("Payments %1").arg(agency)) + QStringLiteral(".csv");
}

QString reportPdfName(const QString& what)
{
    return safeFileName(what) + QStringLiteral(".pdf");
}

QString paymentBackupPath(const QString& filePath)
{
    return replacedEnding(filePath, QStringLiteral(".csv"), QStringLiteral(".bak"), QStringLiteral(".BAK"));
}

QString workbookBackupPath(const QString& filePath)
{
    return replacedEnding(filePath, QStringLiteral(".xlsx"), QStringLiteral(".bak"), QStringLiteral(".bak"));
}

QString verificationBackupPath(const QString& filePath)
{
    return replacedEnding(filePath, QStringLiteral(".zarv"), QStringLiteral(".bak"), QStringLiteral(".bak"));
}

QString receivedCopyPath(const QString& filePath)
{
    const auto [folder, name] = split(filePath);
    const auto [stem, suffix] = stemAndSuffix(name);
    return folder + stem + QLatin1Char('.') + kReceived + suffix;
}

QString datedPath(const QString& filePath, const QDateTime& when, const QString& label)
{
    const auto [folder, name] = split(filePath);
    auto [stem, suffix] = stemAndSuffix(name);
    if (!label.isEmpty() && !stem.endsWith(QLatin1Char('.') + label, Qt::CaseInsensitive))
        stem += QLatin1Char('.') + label;
    return folder + stem + QLatin1Char('.') + stamp(when) + suffix;
}

QString verifiedFileName()
{
    return QStringLiteral("ZARVP040_VERIFIED.zarv");
}

QString keptVerifiedFileName(const QString& workbook, const QDateTime& when)
{
    const QString at = when.toString(QStringLiteral("yyyy-MM-dd hhmmss"));
    const QString from = workbook.isEmpty()
        ? QStringLiteral("before ") + at
        : QStringLiteral("from %1 %2").arg(QFileInfo(workbook).completeBaseName(), at);
    return safeFileName(QStringLiteral("ZARVP040_VERIFIED ") + from) + QStringLiteral(".zarv");
}

QString batchVerifiedPath(const QString& workbook)
{
    const QFileInfo info(workbook);
    return info.dir().filePath(info.completeBaseName() + QStringLiteral("_VERIFIED.zarv"));
}

QString batchErrorsPath(const QString& workbook)
{
    const QFileInfo info(workbook);
    return info.dir().filePath(info.completeBaseName() + QStringLiteral("_ERRORS.txt"));
}

bool isCopyOrBackup(const QString& fileName)
{
    // "<name>.received.<ext>", "<name>.received.<date>.<ext>", "<name>.<label>.<date>.<ext>", "*.bak".
    static const QRegularExpression copy(
        QStringLiteral(R"(\.received\.|\.\d{4}-\d{2}-\d{2}-\d{6}\.[^.]*$|\.bak$)"),
        QRegularExpression::CaseInsensitiveOption);
    return copy.match(split(fileName).second).hasMatch();
}

bool mayBeDataFile(const QString& fileName)
{
    static const QRegularExpression other(
        QStringLiteral(R"(^(Payments .*\.csv|Export\.csv|Verify\.csv|.*_ERRORS\.txt|.*_VERIFIED\.zarv|ZARVP040_VERIFIED.*)$)"),
        QRegularExpression::CaseInsensitiveOption);
    const QString name = split(fileName).second;
    return !isCopyOrBackup(name) && !other.match(name).hasMatch();
}

} // namespace zarv::fs
