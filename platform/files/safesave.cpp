// Safe replacement of a file through QSaveFile, with the old file's mode and
// group, leftovers of killed saves cleared, and failures told in words.
#include "platform/files/safesave.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zarv::fs {

namespace {

QString native(const QString& path) { return QDir::toNativeSeparators(path); }

bool allOf(QStringView s, bool (*ok)(char16_t))
{
    for (QChar c : s)
        if (!ok(c.unicode()))
            return false;
    return true;
}

bool letter(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }
bool letterOrDigit(char16_t c) { return letter(c) || (c >= u'0' && c <= u'9'); }

// Whether this process may write path, judged by the rights it writes with
// (access() would judge by the real user, who may be allowed more).
bool writable(const QString& path, int mode)
{
    return ::faccessat(AT_FDCWD, QFile::encodeName(path).constData(), mode, AT_EACCESS) == 0;
}

// Why the target cannot be written at all, or "" when nothing stands in the way.
QString obstacle(const QFileInfo& target)
{
    if (target.isDir())
        return QStringLiteral("a folder of that name is in the way");
    const QString folder = target.absolutePath();
    if (!QFileInfo(folder).isDir())
        return QStringLiteral("the folder %1 does not exist").arg(native(folder));
    if (!writable(folder, W_OK | X_OK))
        return failureReason(errno, folder);
    if (target.exists() && !writable(target.absoluteFilePath(), W_OK))
        return errno == EACCES || errno == EPERM ? QStringLiteral("the file is read-only") : failureReason(errno, folder);
    return {};
}

} // namespace

QString failureReason(int error, const QString& folder)
{
    switch (error) {
    case ENOSPC:
        return QStringLiteral("the disk is full");
    case EDQUOT:
        return QStringLiteral("the disk space allowed to this user is used up");
    case EFBIG:
        return QStringLiteral("the file would be larger than this system allows");
    case EROFS:
        return QStringLiteral("the folder %1 cannot be written (the disk is read-only)").arg(native(folder));
    case EACCES:
    case EPERM:
        return QStringLiteral("the folder %1 cannot be written").arg(native(folder));
    case ENOENT:
    case ENOTDIR:
        return QStringLiteral("the folder %1 does not exist").arg(native(folder));
    case EIO:
        return QStringLiteral("the disk failed (input/output error)");
    case ENAMETOOLONG:
        return QStringLiteral("the name is too long");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("too many files are open");
    case ENOMEM:
        return QStringLiteral("out of memory");
    default:
        return QString::fromLocal8Bit(std::strerror(error));
    }
}

QString couldNotWrite(const QString& path, const QString& reason)
{
    return QStringLiteral("Could not write %1: %2").arg(native(path), reason);
}

bool isLeftoverOf(const QString& fileName, const QString& targetFileName)
{
    const qsizetype n = targetFileName.size();
    // QSaveFile's name while the new file takes its place: "<target>.XXXXXX".
    if (fileName.size() == n + 7 && fileName.startsWith(targetFileName) && fileName[n] == u'.'
        && allOf(QStringView(fileName).mid(n + 1), letter))
        return true;
    // Names the workbook writer and the verification run used for the new file.
    if (fileName.size() == n + 8 && fileName[0] == u'.' && QStringView(fileName).mid(1, n) == targetFileName
        && fileName[n + 1] == u'.' && allOf(QStringView(fileName).mid(n + 2), letterOrDigit))
        return true;
    return fileName.size() == n + 2 && fileName.startsWith(QLatin1String(".~")) && fileName.endsWith(targetFileName);
}

int removeLeftovers(const QString& target)
{
    const QFileInfo info(target);
    const QString name = info.fileName();
    if (name.isEmpty())
        return 0;
    const QDir folder = info.absoluteDir();
    int removed = 0;
    for (const QString& entry : folder.entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Unsorted)) {
        if (!isLeftoverOf(entry, name))
            continue;
        const QString path = folder.filePath(entry);
        struct stat st {};
        if (::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISREG(st.st_mode) && QFile::remove(path))
            ++removed;
    }
    return removed;
}

// ---------------------------------------------------------------- SafeSave

struct SafeSave::Impl {
    QString target;
    QString folder;
    std::unique_ptr<QSaveFile> file;
    int fd = -1;
    bool hadTarget = false;
    struct stat old {};
    QString reason;

    bool fail(const QString& why)
    {
        if (reason.isEmpty())
            reason = why;
        if (file) {
            file->cancelWriting();
            file.reset();   // QSaveFile drops its temporary file
        }
        fd = -1;
        return false;
    }
};

SafeSave::SafeSave(const QString& target) : d(std::make_unique<Impl>())
{
    const QFileInfo info(target);
    d->target = info.absoluteFilePath();
    d->folder = info.absolutePath();
}

SafeSave::~SafeSave() { cancel(); }

bool SafeSave::open()
{
    cancel();
    d->reason.clear();
    const QFileInfo target(d->target);
    const QString why = obstacle(target);
    if (!why.isEmpty())
        return d->fail(why);
    removeLeftovers(d->target);

    const QByteArray name = QFile::encodeName(d->target);
    d->hadTarget = ::stat(name.constData(), &d->old) == 0 && S_ISREG(d->old.st_mode);

    d->file = std::make_unique<QSaveFile>(d->target);
    errno = 0;
    if (!d->file->open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        const int error = errno;
        const QString qt = d->file->errorString();
        return d->fail(error ? failureReason(error, d->folder)
                             : !qt.isEmpty() && qt != QLatin1String("Unknown error")
                                 ? qt
                                 : QStringLiteral("no temporary file could be made in its folder"));
    }
    d->fd = d->file->handle();
    if (d->hadTarget) {
        // The old file's group, and its owner where that is allowed; changing
        // either may clear the set-id bits, so the mode comes after.
        if (::fchown(d->fd, d->old.st_uid, d->old.st_gid) != 0)
            (void)::fchown(d->fd, uid_t(-1), d->old.st_gid);
        // Writable by its owner until commit(), for a library that opens it anew.
        (void)::fchmod(d->fd, (d->old.st_mode & 07777) | S_IWUSR);
    }
    return true;
}

bool SafeSave::write(const char* data, qint64 size)
{
    if (d->fd < 0)
        return d->fail(QStringLiteral("the file is not open"));
    while (size > 0) {
        const ssize_t n = ::write(d->fd, data, size_t(size));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return fail(errno);
        }
        data += n;
        size -= n;
    }
    return true;
}

QString SafeSave::writerPath()
{
    if (d->fd < 0) {
        d->fail(QStringLiteral("the file is not open"));
        return {};
    }
    // The open temporary file under a name of its own, unnamed or not.
    const QString path = QStringLiteral("/proc/self/fd/%1").arg(d->fd);
    if (!QFileInfo::exists(path)) {
        d->fail(QStringLiteral("the new file cannot be reached by name on this system"));
        return {};
    }
    return path;
}

bool SafeSave::fail(int error, const QString& otherwise)
{
    return d->fail(error != 0 || otherwise.isEmpty() ? failureReason(error, d->folder) : otherwise);
}

bool SafeSave::failWith(const QString& reason) { return d->fail(reason); }

bool SafeSave::commit()
{
    if (d->fd < 0)
        return d->fail(QStringLiteral("the file is not open"));
    if (d->hadTarget)
        (void)::fchmod(d->fd, d->old.st_mode & 07777);
    // Flushed first, so that a disk that fills up only now is still named.
    if (::fdatasync(d->fd) != 0 && errno != EINVAL)
        return fail(errno);
    errno = 0;
    if (!d->file->commit()) {
        const int error = errno;
        const QString qt = d->file->errorString();
        d->file.reset();
        d->fd = -1;
        return d->fail(error ? failureReason(error, d->folder)
                             : !qt.isEmpty() && qt != QLatin1String("Unknown error")
                                 ? qt
                                 : QStringLiteral("the new file could not take the place of the old one"));
    }
    d->file.reset();
    d->fd = -1;
    return true;
}

void SafeSave::cancel()
{
    if (d->file) {
        d->file->cancelWriting();
        d->file.reset();
    }
    d->fd = -1;
}

bool SafeSave::failed() const { return !d->reason.isEmpty(); }
const QString& SafeSave::target() const { return d->target; }
QString SafeSave::reason() const { return d->reason; }
QString SafeSave::errorString() const { return d->reason.isEmpty() ? QString() : couldNotWrite(d->target, d->reason); }

} // namespace zarv::fs
