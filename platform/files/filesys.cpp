// File presence, attributes, safe copies and replacement.
#include "platform/files/filesys.h"

#include "platform/files/savefailure.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QSaveFile>

namespace zarv::fs {

namespace {

constexpr int kReadOnly = 1;
constexpr int kHidden = 2;
constexpr int kDirectory = 16;
constexpr int kArchive = 32;
constexpr qint64 kChunk = 1024 * 1024;

QString nativePath(const QString& path) { return QDir::toNativeSeparators(path); }

void setError(QString* error, const QString& text)
{
    if (error)
        *error = text;
}

using detail::couldNotWrite;

// Copies the rest of `from` into `to`; false with *error on a failure.
bool copyDevice(QFile& from, QIODevice& to, const QString& source, const QString& target,
                QString* error)
{
    for (;;) {
        const QByteArray chunk = from.read(kChunk);
        if (chunk.isEmpty()) {
            if (from.error() != QFileDevice::NoError) {
                setError(error, QStringLiteral("Could not read %1: %2")
                                    .arg(nativePath(source), from.errorString()));
                return false;
            }
            return true;
        }
        if (to.write(chunk) != chunk.size()) {
            setError(error, couldNotWrite(target, to.errorString()));
            return false;
        }
    }
}

} // namespace

bool fileExists(const QString& path)
{
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    return info.isFile() && info.size() > 0;
}

bool isReadOnly(const QString& path)
{
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    if (!info.exists())
        return false;
    // The superuser may write any file, so a file without its owner's write
    // permission also counts as read-only.
    return !info.isWritable() || !(info.permissions() & QFileDevice::WriteOwner);
}

int fileAttributes(const QString& path)
{
    if (path.isEmpty())
        return -1;
    const QFileInfo info(path);
    if (!info.exists())
        return -1;
    int attr = 0;
    if (info.isDir())
        attr |= kDirectory;
    else if (info.isFile())
        attr |= kArchive;
    if (isReadOnly(path))
        attr |= kReadOnly;
    if (info.fileName().startsWith(u'.'))
        attr |= kHidden;
    return attr;
}

bool copyReplace(const QString& source, const QString& target, QString* error)
{
    QFile from(source);
    if (!from.open(QIODevice::ReadOnly)) {
        setError(error, QStringLiteral("Could not read %1: %2").arg(nativePath(source), from.errorString()));
        return false;
    }
    return saveAtomically(
        target, [&](QIODevice& to) { return copyDevice(from, to, source, target, error); }, error);
}

bool writeFileAtomically(const QString& path, const QByteArray& bytes, QString* error)
{
    return saveAtomically(
        path,
        [&](QIODevice& to) {
            if (to.write(bytes) == bytes.size())
                return true;
            setError(error, couldNotWrite(path, to.errorString()));
            return false;
        },
        error);
}

bool saveAtomically(const QString& path, const std::function<bool(QIODevice&)>& write, QString* error)
{
    if (error)
        error->clear();
    const QString obstacle = detail::saveObstacle(path);
    if (!obstacle.isEmpty()) {
        setError(error, couldNotWrite(path, obstacle));
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        setError(error, couldNotWrite(path, detail::saveFailure(file, detail::openFallback())));
        return false;
    }
    if (!write(file)) {
        file.cancelWriting();
        if (error && error->isEmpty())
            *error = couldNotWrite(path, QStringLiteral("the save was abandoned"));
        return false;
    }
    if (!file.commit()) {
        setError(error, couldNotWrite(path, detail::saveFailure(file, detail::commitFallback())));
        return false;
    }
    return true;
}

bool removeFile(const QString& path)
{
    if (path.isEmpty())
        return true;
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return true;
    return QFile::remove(path);
}

bool sameBytes(const QString& a, const QString& b)
{
    QFile fa(a), fb(b);
    if (!fa.open(QIODevice::ReadOnly) || !fb.open(QIODevice::ReadOnly))
        return false;
    if (fa.size() != fb.size())
        return false;
    for (;;) {
        const QByteArray ca = fa.read(kChunk);
        const QByteArray cb = fb.read(kChunk);
        if (ca != cb)
            return false;
        if (ca.isEmpty())
            return fa.error() == QFileDevice::NoError && fb.error() == QFileDevice::NoError;
    }
}

QString programFolder()
{
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    const QFileInfo exe(QStringLiteral("/proc/self/exe"));
    return QFileInfo(exe.canonicalFilePath()).absolutePath();
}

} // namespace zarv::fs
