#pragma once
// Clear reasons for a failed safe save, shared by the file writers.
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QString>

namespace zarv::fs::detail {

inline QString couldNotWrite(const QString& path, const QString& reason)
{
    return QStringLiteral("Could not write %1: %2").arg(QDir::toNativeSeparators(path), reason);
}

// Why a save to path cannot even start, or "" when nothing is in the way.
inline QString saveObstacle(const QString& path)
{
    const QFileInfo target(path);
    if (target.isDir())
        return QStringLiteral("a folder of that name is in the way");
    const QFileInfo folder(target.absolutePath());
    if (!folder.isDir())
        return QStringLiteral("the folder %1 does not exist")
            .arg(QDir::toNativeSeparators(folder.absoluteFilePath()));
    return {};
}

// The save file's own reason, or the given one when it has none worth showing.
inline QString saveFailure(const QSaveFile& file, const QString& fallback)
{
    const QString reason = file.errorString();
    if (reason.isEmpty() || reason == QLatin1String("Unknown error"))
        return fallback;
    return reason;
}

inline QString openFallback() { return QStringLiteral("no temporary file could be made in its folder"); }
inline QString commitFallback() { return QStringLiteral("the new file could not take the place of the old one"); }

} // namespace zarv::fs::detail
