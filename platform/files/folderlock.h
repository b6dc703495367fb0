#pragma once
// The lock of a data folder: one program at a time works on the databases in
// it, whichever login, runtime folder or machine it runs from. The lock is a
// file in the folder itself ("zarv.lock") held with flock(2), so the system
// releases it with the program however that ends (a crash or a kill included),
// and a lock file left behind holds no one. While held it names its holder.
#include <QDateTime>
#include <QString>
#include <memory>

namespace zarv::fs {

// Who holds a folder's lock, as its holder wrote it down.
struct LockHolder {
    QString program;        // the program file's name
    QString host;           // the machine it runs on
    qint64 pid = 0;         // its process number there
    QDateTime since;        // when it took the lock; invalid when not known
    // "zarvreceive (process 4711 on desk-3) since 9 Dec 2026 23:14:05"
    QString describe() const;
};

class FolderLock {
public:
    enum class Outcome { Taken, InUse, Failed };
    ~FolderLock();      // releases the lock, leaving the file empty
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

    // Takes the lock of folder (which must exist) for program. Null when
    // another program holds it (outcome InUse, *holder filled as far as it is
    // known) or the lock file cannot be made or locked (Failed, *error says why).
    static std::unique_ptr<FolderLock> take(const QString& folder, const QString& program, Outcome* outcome,
                                            LockHolder* holder, QString* error);
    // The lock file of folder.
    static QString filePath(const QString& folder);

private:
    explicit FolderLock(int fd) : fd_(fd) {}
    int fd_;
};

} // namespace zarv::fs
