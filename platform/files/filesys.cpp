// File presence, attributes, safe copies and replacement.
#include "platform/files/filesys.h"

#include "platform/files/safesave.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QStandardPaths>

#include <cerrno>
#include <cstring>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

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

bool finish(SafeSave& save, bool written, QString* error)
{
    if (written && save.commit())
        return true;
    if (!save.failed())
        save.failWith(QStringLiteral("the save was abandoned"));
    save.cancel();
    if (error && error->isEmpty())
        *error = save.errorString();
    return false;
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
    if (error)
        error->clear();
    QFile from(source);
    if (!from.open(QIODevice::ReadOnly)) {
        setError(error, QStringLiteral("Could not read %1: %2").arg(nativePath(source), from.errorString()));
        return false;
    }
    SafeSave save(target);
    bool written = save.open();
    while (written) {
        const QByteArray chunk = from.read(kChunk);
        if (chunk.isEmpty()) {
            if (from.error() != QFileDevice::NoError) {
                setError(error, QStringLiteral("Could not read %1: %2").arg(nativePath(source), from.errorString()));
                written = false;
            }
            break;
        }
        written = save.write(chunk);
    }
    return finish(save, written, error);
}

bool writeFileAtomically(const QString& path, const QByteArray& bytes, QString* error)
{
    if (error)
        error->clear();
    SafeSave save(path);
    return finish(save, save.open() && save.write(bytes), error);
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

QString dataFolder()
{
    // Named here rather than by the application's name, which is "ZARV" in titles.
    return QDir::cleanPath(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                           QStringLiteral("/zarv"));
}

bool makeFolder(const QString& folder, QString* error)
{
    const QString clean = QDir::cleanPath(QDir(folder).absolutePath());
    if (QFileInfo(clean).isDir())
        return true;
    // Each missing folder from the top down, so that the one refused is named.
    qsizetype at = 0;
    while (at >= 0) {
        at = clean.indexOf(u'/', at + 1);
        const QString step = at < 0 ? clean : clean.left(at);
        if (QFileInfo(step).isDir())
            continue;
        if (::mkdir(QFile::encodeName(step).constData(), 0777) != 0 && errno != EEXIST) {
            setError(error, QStringLiteral("%1: %2").arg(nativePath(step), QString::fromLocal8Bit(std::strerror(errno))));
            return false;
        }
        if (!QFileInfo(step).isDir()) {
            setError(error, QStringLiteral("%1: %2").arg(nativePath(step), QString::fromLocal8Bit(std::strerror(ENOTDIR))));
            return false;
        }
    }
    return true;
}

void settleHome()
{
    if (!qEnvironmentVariableIsEmpty("HOME"))
        return;
    if (const passwd* user = ::getpwuid(::getuid()); user && user->pw_dir && *user->pw_dir)
        qputenv("HOME", QByteArray(user->pw_dir));
}

} // namespace zarv::fs
