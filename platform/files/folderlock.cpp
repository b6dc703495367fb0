#include "platform/files/folderlock.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QSysInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <unistd.h>

namespace zarv::fs {

namespace {

QString systemError(int number)
{
    return QString::fromLocal8Bit(std::strerror(number));
}

QByteArray readAll(int fd)
{
    QByteArray bytes;
    char buffer[512];
    off_t at = 0;
    for (;;) {
        const ssize_t n = ::pread(fd, buffer, sizeof buffer, at);
        if (n <= 0 || bytes.size() > 4096)
            return bytes;
        bytes.append(buffer, n);
        at += n;
    }
}

// The lock file's text: "program=", "host=", "pid=", "since=" lines.
LockHolder parse(const QByteArray& text)
{
    LockHolder h;
    for (const QByteArray& line : text.split('\n')) {
        const qsizetype eq = line.indexOf('=');
        const QByteArray key = line.left(eq);
        const QString value = QString::fromUtf8(line.mid(eq + 1)).trimmed();
        if (eq < 0)
            continue;
        if (key == "program")
            h.program = value;
        else if (key == "host")
            h.host = value;
        else if (key == "pid")
            h.pid = value.toLongLong();
        else if (key == "since")
            h.since = QDateTime::fromString(value, Qt::ISODate);
    }
    return h;
}

QByteArray text(const LockHolder& h)
{
    return "program=" + h.program.toUtf8() + "\nhost=" + h.host.toUtf8() + "\npid=" + QByteArray::number(h.pid) +
           "\nsince=" + h.since.toString(Qt::ISODate).toUtf8() + "\n";
}

// Where the system cannot lock the file (some network folders): the holder
// written in it still tells a living copy on this machine from one that ended.
bool heldByLivingCopy(const LockHolder& h)
{
    if (h.pid <= 0)
        return false;
    if (h.host != QSysInfo::machineHostName())
        return true;    // a copy on another machine cannot be asked: it holds the folder
    return ::kill(pid_t(h.pid), 0) == 0 || errno == EPERM;
}

} // namespace

QString LockHolder::describe() const
{
    QString who = program.isEmpty() ? QStringLiteral("another copy of ZARV") : program;
    if (pid > 0)
        who += host.isEmpty() ? QStringLiteral(" (process %1)").arg(pid)
                              : QStringLiteral(" (process %1 on %2)").arg(QString::number(pid), host);
    if (since.isValid())
        who += QStringLiteral(" since ") + QLocale::system().toString(since.toLocalTime(), QLocale::LongFormat);
    return who;
}

QString FolderLock::filePath(const QString& folder)
{
    return QDir(folder).filePath(QStringLiteral("zarv.lock"));
}

std::unique_ptr<FolderLock> FolderLock::take(const QString& folder, const QString& program, Outcome* outcome,
                                             LockHolder* holder, QString* error)
{
    const QString path = filePath(folder);
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
        *outcome = Outcome::Failed;
        *error = QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), systemError(errno));
        return nullptr;
    }
    int refused = 0;
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EINTR)
            continue;
        refused = errno;
        break;
    }
    if (refused == EWOULDBLOCK) {
        *outcome = Outcome::InUse;
        *holder = parse(readAll(fd));
        ::close(fd);
        return nullptr;
    }
    if (refused != 0) {
        const LockHolder written = parse(readAll(fd));
        if (heldByLivingCopy(written)) {
            *outcome = Outcome::InUse;
            *holder = written;
            ::close(fd);
            return nullptr;
        }
    }
    LockHolder me;
    me.program = program;
    me.host = QSysInfo::machineHostName();
    me.pid = ::getpid();
    me.since = QDateTime::currentDateTime();
    const QByteArray bytes = text(me);
    if (::ftruncate(fd, 0) != 0 || ::pwrite(fd, bytes.constData(), size_t(bytes.size()), 0) != bytes.size()) {
        *outcome = Outcome::Failed;
        *error = QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), systemError(errno));
        ::close(fd);
        return nullptr;
    }
    *outcome = Outcome::Taken;
    return std::unique_ptr<FolderLock>(new FolderLock(fd));
}

FolderLock::~FolderLock()
{
    // Emptied first: a lock file left behind then names no one.
    (void)::ftruncate(fd_, 0);
    ::close(fd_);
}

} // namespace zarv::fs
