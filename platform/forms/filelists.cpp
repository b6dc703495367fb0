#include "platform/forms/filelists.h"

#include "platform/files/outputnames.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>
#include <QStyle>
#include <algorithm>

namespace zarv::ui {

namespace {

constexpr int kPathRole = Qt::UserRole;

bool isReadyFolder(const QString& path)
{
    const QFileInfo info(path);
    return !path.isEmpty() && info.isDir() && info.isReadable() && info.isExecutable();
}

// True when path is folder or lies inside it.
bool isUnder(const QString& path, const QString& folder)
{
    if (folder == QLatin1String("/"))
        return path.startsWith(QLatin1Char('/'));
    return path == folder || path.startsWith(folder + QLatin1Char('/'));
}

// The watcher follows the one folder a list shows.
void watchOnly(QFileSystemWatcher& watcher, const QString& folder)
{
    const QStringList watched = watcher.directories();
    if (watched == QStringList{folder})
        return;
    if (!watched.isEmpty())
        watcher.removePaths(watched);
    if (!folder.isEmpty() && QFileInfo(folder).isDir())
        watcher.addPath(folder);
}

} // namespace

bool isClerkVolume(const Volume& volume)
{
    // File systems that hold no files of anybody's, or only read-only images.
    static const QByteArrayList pseudo = {
        "proc",     "sysfs",      "devtmpfs", "devpts",    "tmpfs",    "ramfs",      "cgroup",   "cgroup2",
        "securityfs", "debugfs",  "tracefs",  "configfs",  "fusectl",  "mqueue",     "hugetlbfs", "pstore",
        "bpf",      "binfmt_misc", "autofs",  "efivarfs",  "rpc_pipefs", "nsfs",     "selinuxfs", "nfsd",
        "squashfs", "fuse.portal", "fuse.lxcfs",
    };
    if (pseudo.contains(volume.fileSystem))
        return false;
    const QString& root = volume.root;
    const auto under = [&root](const char* folder) {
        const QLatin1String f(folder);
        return root == f || root.startsWith(f + QLatin1Char('/'));
    };
    for (const char* system : {"/proc", "/sys", "/dev", "/boot", "/efi", "/snap", "/var/lib"}) {
        if (under(system))
            return false;
    }
    // /run is the system's but for removable media and the desktop's network shares.
    if (under("/run"))
        return under("/run/media") || volume.fileSystem == "fuse.gvfsd-fuse";
    return true;
}

QString cleanFolder(const QString& path)
{
    if (path.isEmpty())
        return path;
    return QDir::cleanPath(QDir(path).absolutePath());
}

// ---------------------------------------------------------------- DriveList

DriveList::DriveList(QWidget* parent) : QComboBox(parent)
{
    // As wide as its longest drive, so that no drive's name is cut.
    setSizeAdjustPolicy(QComboBox::AdjustToContents);
    setMinimumContentsLength(12);
    refresh();
    connect(this, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (!quiet_ && index >= 0)
            emit driveChanged(itemData(index, kPathRole).toString());
    });
}

void DriveList::addDrive(const QString& root, const QString& label)
{
    if (indexOfRoot(root) >= 0)
        return;
    const QString text = label.isEmpty() ? root : QStringLiteral("%1 [%2]").arg(root, label);
    addItem(style()->standardIcon(QStyle::SP_DriveHDIcon), text, root);
}

int DriveList::indexOfRoot(const QString& root) const
{
    const QString wanted = cleanFolder(root);
    for (int i = 0; i < count(); ++i) {
        if (itemData(i, kPathRole).toString() == wanted)
            return i;
    }
    return -1;
}

void DriveList::refresh()
{
    if (fixed_)
        return;
    const QString current = drive();
    QList<QPair<QString, QString>> volumes;
    for (const QStorageInfo& v : QStorageInfo::mountedVolumes()) {
        if (!v.isValid() || !v.isReady())
            continue;
        const QString root = cleanFolder(v.rootPath());
        // Bind-mounted single files are no place for data files either.
        if (!isClerkVolume({root, v.fileSystemType()}) || !isReadyFolder(root))
            continue;
        volumes.append({root, v.name().isEmpty() ? v.displayName() : v.name()});
    }
    std::sort(volumes.begin(), volumes.end());

    const bool wasQuiet = quiet_;
    quiet_ = true;
    clear();
    addDrive(cleanFolder(QDir::homePath()), tr("Home"));
    for (const auto& [root, label] : volumes)
        addDrive(root, label == root ? QString() : label);
    for (const auto& [label, folder] : folders_) {
        if (isReadyFolder(folder))
            addDrive(cleanFolder(folder), label);
    }
    for (const QString& root : inUse_)
        addDrive(root, QString());
    setCurrentIndex(std::max(0, indexOfRoot(current)));
    quiet_ = wasQuiet;
}

void DriveList::setFolders(const QList<QPair<QString, QString>>& labelledFolders)
{
    folders_ = labelledFolders;
    refresh();
}

QString DriveList::addDriveFor(const QString& path)
{
    const QString held = driveOf(path);
    if (!held.isEmpty() || !isReadyFolder(path))
        return held;
    const QString root = cleanFolder(QStorageInfo(path).rootPath());
    if (root.isEmpty() || !isReadyFolder(root))
        return QString();
    if (!fixed_)
        inUse_.append(root);
    const bool wasQuiet = quiet_;
    quiet_ = true;
    addDrive(root, QString());
    quiet_ = wasQuiet;
    return root;
}

void DriveList::showPopup()
{
    if (!fixed_)
        refresh();
    QComboBox::showPopup();
}

void DriveList::setDrives(const QStringList& roots)
{
    fixed_ = true;
    const bool wasQuiet = quiet_;
    quiet_ = true;
    clear();
    for (const QString& r : roots)
        addDrive(cleanFolder(r), QString());
    setCurrentIndex(count() > 0 ? 0 : -1);
    quiet_ = wasQuiet;
}

QStringList DriveList::drives() const
{
    QStringList roots;
    for (int i = 0; i < count(); ++i)
        roots.append(itemData(i, kPathRole).toString());
    return roots;
}

QString DriveList::drive() const
{
    return currentIndex() < 0 ? QString() : itemData(currentIndex(), kPathRole).toString();
}

bool DriveList::setDrive(const QString& root)
{
    const int index = indexOfRoot(root);
    if (index < 0 || !isReadyFolder(itemData(index, kPathRole).toString()))
        return false;
    setCurrentIndex(index);
    return true;
}

void DriveList::showDrive(const QString& root)
{
    const int index = indexOfRoot(root);
    if (index < 0)
        return;
    const bool wasQuiet = quiet_;
    quiet_ = true;
    setCurrentIndex(index);
    quiet_ = wasQuiet;
}

QString DriveList::driveOf(const QString& path) const
{
    const QString folder = cleanFolder(path);
    QString best;
    for (const QString& root : drives()) {
        if (isUnder(folder, root) && root.size() > best.size())
            best = root;
    }
    return best;
}

// ---------------------------------------------------------------- DirList

DirList::DirList(QWidget* parent) : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    // A double click or Enter opens a folder; a single click only marks it.
    connect(this, &QListWidget::itemActivated, this, &DirList::open);
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, [this] {
        // The marked folder stays marked; the current folder, if it went, stays shown.
        const int row = currentRow();
        refresh();
        if (row >= 0 && row < count())
            setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
    });
}

void DirList::keyboardSearch(const QString& search)
{
    // The entries are indented; a letter is matched against the folder's name.
    const QString letter = search.right(1);
    if (letter.trimmed().isEmpty() || count() == 0)
        return;
    const int start = std::max(0, currentRow());
    for (int step = 1; step <= count(); ++step) {
        const int row = (start + step) % count();
        const QString name = QFileInfo(folderAt(row)).fileName();
        if (name.startsWith(letter, Qt::CaseInsensitive)) {
            setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
            scrollToItem(item(row));
            return;
        }
    }
}

void DirList::open(QListWidgetItem* item)
{
    if (item)
        setPath(item->data(kPathRole).toString());
}

bool DirList::setPath(const QString& path)
{
    const QString folder = cleanFolder(path);
    if (!isReadyFolder(folder))
        return false;
    const bool changed = folder != path_;
    path_ = folder;
    refresh();
    if (changed)
        emit pathChanged(path_);
    return true;
}

void DirList::setTop(const QString& top)
{
    top_ = top.isEmpty() ? QStringLiteral("/") : cleanFolder(top);
    if (!path_.isEmpty())
        refresh();
}

void DirList::refresh()
{
    clear();
    watchOnly(watcher_, path_);
    if (path_.isEmpty())
        return;
    const QString top = isUnder(path_, top_) ? top_ : QStringLiteral("/");

    // The way down from the top to the current folder, one level deeper each.
    QStringList chain;
    for (QString p = path_;; p = QFileInfo(p).path()) {
        chain.prepend(p);
        if (p == top || p == QLatin1String("/"))
            break;
    }
    const QIcon openIcon = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closedIcon = style()->standardIcon(QStyle::SP_DirIcon);
    const QString indentUnit = QStringLiteral("  ");
    int depth = 0;
    for (const QString& p : chain) {
        const QString name = depth == 0 ? p : QFileInfo(p).fileName();
        auto* item = new QListWidgetItem(openIcon, indentUnit.repeated(depth) + name, this);
        item->setData(kPathRole, p);
        if (p == path_) {
            QFont f = item->font();
            f.setBold(true);
            item->setFont(f);
        }
        ++depth;
    }
    const QDir dir(path_);
    const QStringList subs = dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    for (const QString& s : subs) {
        auto* item = new QListWidgetItem(closedIcon, indentUnit.repeated(depth) + s, this);
        item->setData(kPathRole, dir.filePath(s));
    }
    const int current = rowOf(path_);
    setCurrentRow(current, QItemSelectionModel::ClearAndSelect);
    scrollToItem(item(current));
}

QStringList DirList::subfolders() const
{
    QStringList names;
    const int first = rowOf(path_) + 1;
    for (int i = first; i < count(); ++i)
        names.append(QFileInfo(folderAt(i)).fileName());
    return names;
}

QString DirList::folderAt(int row) const
{
    const QListWidgetItem* it = item(row);
    return it ? it->data(kPathRole).toString() : QString();
}

int DirList::rowOf(const QString& folder) const
{
    const QString wanted = cleanFolder(folder);
    for (int i = 0; i < count(); ++i) {
        if (folderAt(i) == wanted)
            return i;
    }
    return -1;
}

// ---------------------------------------------------------------- FileList

FileList::FileList(QWidget* parent) : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, [this] { refresh(); });
}

void FileList::setPath(const QString& path)
{
    const QString folder = cleanFolder(path);
    const QString keep = folder == path_ ? fileName() : QString();
    path_ = folder;
    fill(keep);
}

void FileList::setPattern(const QString& pattern)
{
    pattern_ = pattern;
    fill(fileName());
}

void FileList::refresh()
{
    fill(fileName());
}

void FileList::fill(const QString& keep)
{
    clear();
    watchOnly(watcher_, path_);
    if (!path_.isEmpty()) {
        QStringList filters;
        for (const QString& p : pattern_.split(QLatin1Char(';'), Qt::SkipEmptyParts))
            filters.append(p.trimmed());
        QDir dir(path_);
        dir.setNameFilters(filters);
        // Without QDir::Hidden no dot file is listed; name filters ignore case.
        dir.setFilter(QDir::Files);
        dir.setSorting(QDir::Name | QDir::IgnoreCase);
        // The program's own copies, backups and other outputs are never files to work on.
        const QStringList names = dir.entryList();
        for (const QString& name : names)
            if (fs::mayBeDataFile(name))
                addItem(name);
    }
    setFileName(keep);
}

QString FileList::fileName() const
{
    const int index = listIndex();
    return index < 0 ? QString() : item(index)->text();
}

void FileList::setFileName(const QString& name)
{
    int found = -1;
    if (!name.isEmpty()) {
        for (int i = 0; i < count() && found < 0; ++i) {
            if (item(i)->text() == name)
                found = i;
        }
        for (int i = 0; i < count() && found < 0; ++i) {
            if (item(i)->text().compare(name, Qt::CaseInsensitive) == 0)
                found = i;
        }
    }
    setListIndex(found);
}

int FileList::listIndex() const
{
    const QList<QListWidgetItem*> selected = selectedItems();
    return selected.isEmpty() ? -1 : row(selected.first());
}

void FileList::setListIndex(int index)
{
    if (index < 0 || index >= count()) {
        clearSelection();
        return;
    }
    setCurrentRow(index, QItemSelectionModel::ClearAndSelect);
    scrollToItem(item(index));
}

QString FileList::list(int index) const
{
    const QListWidgetItem* it = item(index);
    return it ? it->text() : QString();
}

bool showFile(DriveList& drive, DirList& dir, FileList& file, const QString& filePath)
{
    const QFileInfo info(filePath);
    const QString folder = cleanFolder(info.absolutePath());
    const QString root = drive.addDriveFor(folder);
    if (!root.isEmpty() && root != drive.drive())
        drive.setDrive(root);
    dir.setTop(drive.driveOf(folder));
    if (!dir.setPath(folder))
        return false;
    file.setPath(dir.path());
    file.setFileName(info.fileName());
    return file.fileName() == info.fileName();
}

// ---------------------------------------------------------------- DriveFolders

bool DriveFolders::openDrive(DriveList& drive, DirList& dir)
{
    const QString root = drive.drive();
    if (root.isEmpty())
        return false;
    QString folder = folders_.value(root, root);
    if (!QFileInfo(folder).isDir())
        folder = root;
    const QString oldTop = dir.top();
    dir.setTop(root);
    if (!dir.setPath(folder)) {
        dir.setTop(oldTop);
        drive.showDrive(shownDrive_);
        return false;
    }
    shownDrive_ = root;
    return true;
}

void DriveFolders::folderOpened(const DriveList& drive, const DirList& dir, FileList& file)
{
    file.setPath(dir.path());
    if (!drive.drive().isEmpty())
        folders_.insert(drive.drive(), dir.path());
}

} // namespace zarv::ui
