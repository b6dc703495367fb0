#pragma once
// The drive, folder and file lists of the start screen. A drive is the user's
// home folder, a volume the clerk can keep files on (a disk, a removable medium,
// a network share), a folder the screen names (the ones standing for drives A:
// and B:) or the volume of a folder in use; the system's own mounts are never
// listed. The folder list
// shows the path from the drive's root down to the current folder and the
// folders inside it; the file list shows the files of one folder that match a
// pattern.
#include <QComboBox>
#include <QFileSystemWatcher>
#include <QHash>
#include <QListWidget>
#include <QStringList>

namespace zarv::ui {

// A mounted volume as the machine lists it.
struct Volume {
    QString root;
    QByteArray fileSystem;      // "ext4", "nfs4", "cifs", "fuse.sshfs", "tmpfs", ...
};
// True for a volume a clerk can keep files on: a disk (the root volume
// included), a removable medium, a network share. False for the system's
// pseudo file systems (proc, sysfs, tmpfs, cgroup, ...), read-only images, and
// the mounts that belong to the system (/boot, /proc, /sys, /dev, /run, /snap).
bool isClerkVolume(const Volume& volume);

class DriveList : public QComboBox {
    Q_OBJECT
public:
    explicit DriveList(QWidget* parent = nullptr);

    // Lists the home folder, the removable media and the named folders again;
    // keeps the current drive when it is still there, else the home folder.
    void refresh();
    // Folders listed after the removable media, each with its label ("A:"),
    // while they exist.
    void setFolders(const QList<QPair<QString, QString>>& labelledFolders);
    // Lists the volume that holds path when no listed drive holds it, so that a
    // folder in use can be shown with its drive; returns the drive holding path.
    QString addDriveFor(const QString& path);
    // Replaces the listed drives (roots of folders); used where the machine's
    // volumes are not wanted, e.g. in tests.
    void setDrives(const QStringList& roots);
    QStringList drives() const;

    // The root folder of the current drive.
    QString drive() const;
    // Makes root the current drive. False (nothing changes) when it is not
    // listed or not ready. driveChanged follows a change.
    bool setDrive(const QString& root);
    // Shows root as the current drive without telling anybody.
    void showDrive(const QString& root);
    // The listed drive that holds path (the one with the longest root), or "".
    QString driveOf(const QString& path) const;

signals:
    void driveChanged(const QString& root);

protected:
    // A volume mounted since the last look shows up when the list opens.
    void showPopup() override;

private:
    void addDrive(const QString& root, const QString& label);
    int indexOfRoot(const QString& root) const;
    bool quiet_ = false;
    bool fixed_ = false;    // drives given by setDrives: not looked up again
    QList<QPair<QString, QString>> folders_;    // label, folder
    QStringList inUse_;     // volumes added for a folder in use
};

class DirList : public QListWidget {
    Q_OBJECT
public:
    explicit DirList(QWidget* parent = nullptr);

    QString path() const { return path_; }
    // Opens folder path. False (nothing changes) when it is not a readable
    // folder. pathChanged follows a change.
    bool setPath(const QString& path);
    // The first folder shown above the current one (the drive's root); "/" by
    // default, and whenever the path lies outside it.
    void setTop(const QString& top);
    QString top() const { return top_; }
    // Lists the current folder again.
    void refresh();
    // The folders inside the current one, as listed.
    QStringList subfolders() const;
    // The folder an entry stands for.
    QString folderAt(int row) const;
    int rowOf(const QString& folder) const;

    // A typed letter moves to the next folder whose name starts with it.
    void keyboardSearch(const QString& search) override;

signals:
    void pathChanged(const QString& path);

private:
    void open(QListWidgetItem* item);
    QString path_;
    QString top_ = QStringLiteral("/");
    QFileSystemWatcher watcher_;    // a folder made or removed in the current one shows at once
};

class FileList : public QListWidget {
    Q_OBJECT
public:
    explicit FileList(QWidget* parent = nullptr);

    QString path() const { return path_; }
    void setPath(const QString& path);
    // One or more patterns separated by ";", matched without regard to case.
    // Files the program writes itself (copies, backups, exports) are left out.
    QString pattern() const { return pattern_; }
    void setPattern(const QString& pattern);
    void refresh();

    // The selected file's name; "" when none is selected.
    QString fileName() const;
    // Selects the listed file of that name (exact case first, else any case);
    // clears the selection when none is listed.
    void setFileName(const QString& name);
    // The selected row, -1 when none.
    int listIndex() const;
    void setListIndex(int index);
    int listCount() const { return count(); }
    QString list(int index) const;

private:
    void fill(const QString& keep);
    QString path_;
    QString pattern_ = QStringLiteral("*.*");
    QFileSystemWatcher watcher_;    // a file that arrives or goes shows at once
};

// Opens the folder of filePath in the lists (its drive listed and chosen) and
// selects the file. False when the folder cannot be opened or the file is not
// one the file list shows (another pattern, hidden).
bool showFile(DriveList& drive, DirList& dir, FileList& file, const QString& filePath);

// Keeps a screen's folder list with its drive list: each drive opens at the
// folder last shown on it (its root the first time), and the file list follows
// the folder list.
class DriveFolders {
public:
    // The drive the folder list shows (a screen sets it as it loads).
    void setShownDrive(const QString& root) { shownDrive_ = root; }
    QString shownDrive() const { return shownDrive_; }

    // After the drive list changed: opens the drive's folder. A drive that
    // cannot be read leaves the folder list as it was and the drive list showing
    // the drive before; false then, and when no drive is chosen.
    bool openDrive(DriveList& drive, DirList& dir);
    // After the folder list changed: the file list shows the folder, which is
    // remembered for the current drive.
    void folderOpened(const DriveList& drive, const DirList& dir, FileList& file);

private:
    QString shownDrive_;
    QHash<QString, QString> folders_;   // the last folder shown on each drive
};

// The folder path in the form the lists keep: absolute, cleaned, no trailing "/"
// except for the root.
QString cleanFolder(const QString& path);

} // namespace zarv::ui
