// The drive, folder and file lists on their own.
#include "platform/forms/filelists.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zarv::ui;

namespace {

class FileListsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir_.isValid());
        root_ = QDir::cleanPath(dir_.path());
        for (const char* f : {"b.csv", "A.CSV", "c.Csv", ".dot.csv", "d.xlsx", "e.txt", "f.csv.bak"})
            touch(QLatin1String(f));
        QDir(root_).mkpath(QStringLiteral("Sub/Deeper"));
        QDir(root_).mkpath(QStringLiteral("alpha"));
        QDir(root_).mkpath(QStringLiteral(".hidden"));
    }
    void touch(const QString& name)
    {
        QFile f(QDir(root_).filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("x");
    }
    QTemporaryDir dir_;
    QString root_;
};

TEST_F(FileListsTest, FileListKeepsItsSelectionOnlyWhileTheFileIsListed)
{
    FileList list;
    list.setPattern(QStringLiteral("*.csv"));
    list.setPath(root_);
    list.setFileName(QStringLiteral("b.csv"));
    EXPECT_EQ(list.listIndex(), 1);
    list.setFileName(QStringLiteral("a.csv"));    // another letter case still finds it
    EXPECT_EQ(list.fileName(), QStringLiteral("A.CSV"));
    list.setPattern(QStringLiteral("*.*"));
    EXPECT_EQ(list.fileName(), QStringLiteral("A.CSV"));
    list.setPattern(QStringLiteral("*.xlsx"));
    EXPECT_EQ(list.listIndex(), -1);
    EXPECT_EQ(list.fileName(), QString());
    list.setFileName(QStringLiteral("nothing.xlsx"));
    EXPECT_EQ(list.listIndex(), -1);
}

// The list tells of a real change of folder only, however the path is written.
TEST_F(FileListsTest, DirListShowsTheWayDownAndTheVisibleSubfoldersAndTellsOfChanges)
{
    DirList list;
    QSignalSpy changes(&list, &DirList::pathChanged);
    list.setTop(root_);
    ASSERT_TRUE(list.setPath(root_ + QStringLiteral("/Sub")));
    EXPECT_EQ(list.folderAt(0), root_);
    EXPECT_EQ(list.folderAt(1), root_ + QStringLiteral("/Sub"));
    EXPECT_EQ(list.subfolders(), QStringList{"Deeper"});
    ASSERT_TRUE(list.setPath(root_));
    EXPECT_EQ(list.subfolders(), (QStringList{"alpha", "Sub"}));
    EXPECT_FALSE(list.setPath(root_ + QStringLiteral("/missing")));
    EXPECT_EQ(list.path(), root_);
    EXPECT_FALSE(list.setPath(root_ + QStringLiteral("/b.csv")));
    list.setPath(root_ + QStringLiteral("/"));
    list.setPath(root_ + QStringLiteral("/Sub/.."));
    EXPECT_EQ(changes.count(), 2);
    // Outside its top the list starts at the file system's root.
    list.setTop(root_ + QStringLiteral("/alpha"));
    EXPECT_EQ(list.folderAt(0), QStringLiteral("/"));
}

TEST_F(FileListsTest, DriveListFindsTheDriveHoldingAPath)
{
    DriveList drives;
    drives.setDrives({QStringLiteral("/"), root_, root_ + QStringLiteral("/Sub")});
    EXPECT_EQ(drives.driveOf(root_ + QStringLiteral("/Sub/Deeper")), root_ + QStringLiteral("/Sub"));
    EXPECT_EQ(drives.driveOf(root_ + QStringLiteral("/SubX")), root_);
    EXPECT_EQ(drives.driveOf(QStringLiteral("/etc")), QStringLiteral("/"));
    QSignalSpy changes(&drives, &DriveList::driveChanged);
    EXPECT_TRUE(drives.setDrive(root_ + QStringLiteral("/")));
    EXPECT_EQ(drives.drive(), root_);
    EXPECT_FALSE(drives.setDrive(QStringLiteral("/not/listed")));
    EXPECT_EQ(drives.drive(), root_);
    drives.showDrive(QStringLiteral("/"));
    EXPECT_EQ(drives.drive(), QStringLiteral("/"));
    EXPECT_EQ(changes.count(), 1);
}

TEST_F(FileListsTest, EachDriveOpensAtItsLastFolderAndTheFilesFollow)
{
    const QString sub = root_ + QStringLiteral("/Sub");
    const QString alpha = root_ + QStringLiteral("/alpha");
    DriveList drive;
    DirList dir;
    FileList file;
    DriveFolders folders;
    drive.setDrives({sub, alpha});
    QObject::connect(&drive, &DriveList::driveChanged, [&] { folders.openDrive(drive, dir); });
    QObject::connect(&dir, &DirList::pathChanged, [&] { folders.folderOpened(drive, dir, file); });
    folders.setShownDrive(sub);
    dir.setTop(sub);
    ASSERT_TRUE(dir.setPath(sub + QStringLiteral("/Deeper")));
    EXPECT_EQ(file.path(), sub + QStringLiteral("/Deeper"));

    ASSERT_TRUE(drive.setDrive(alpha));
    EXPECT_EQ(dir.path(), alpha);              // the root the first time
    EXPECT_EQ(dir.top(), alpha);
    EXPECT_EQ(file.path(), alpha);
    EXPECT_EQ(folders.shownDrive(), alpha);

    ASSERT_TRUE(drive.setDrive(sub));
    EXPECT_EQ(dir.path(), sub + QStringLiteral("/Deeper"));
    EXPECT_EQ(file.path(), sub + QStringLiteral("/Deeper"));

    // A remembered folder that is gone opens the drive's root.
    ASSERT_TRUE(drive.setDrive(alpha));
    ASSERT_TRUE(QDir(sub + QStringLiteral("/Deeper")).removeRecursively());
    ASSERT_TRUE(drive.setDrive(sub));
    EXPECT_EQ(dir.path(), sub);
    EXPECT_EQ(folders.shownDrive(), sub);
}

TEST_F(FileListsTest, TypingALetterInTheFolderListMovesToTheNextFolderWithIt)
{
    QDir(root_).mkpath(QStringLiteral("bravo"));
    QDir(root_).mkpath(QStringLiteral("Beta"));
    DirList list;
    list.setTop(root_);
    ASSERT_TRUE(list.setPath(root_));
    list.keyboardSearch(QStringLiteral("b"));
    EXPECT_EQ(list.folderAt(list.currentRow()), root_ + QStringLiteral("/Beta"));
    list.keyboardSearch(QStringLiteral("b"));
    EXPECT_EQ(list.folderAt(list.currentRow()), root_ + QStringLiteral("/bravo"));
    list.keyboardSearch(QStringLiteral("S"));
    EXPECT_EQ(list.folderAt(list.currentRow()), root_ + QStringLiteral("/Sub"));
    EXPECT_EQ(list.path(), root_);      // only marked; Enter opens it
}

TEST(Volumes, EveryDiskMediumAndShareIsAClerksVolumeAndNoSystemMountIs)
{
    const Volume listed[] = {
        {"/", "ext4"},           {"/", "overlay"},         {"/srv", "ext4"},
        {"/home", "btrfs"},      {"/data", "xfs"},         {"/media/clerk/USB STICK", "vfat"},
        {"/run/media/clerk/STICK", "exfat"},               {"/mnt/backup", "ext4"},
        {"/mnt/office", "cifs"}, {"/srv/archive", "nfs4"}, {"/net/files", "nfs"},
        {"/home/clerk/remote", "fuse.sshfs"},              {"/run/user/1000/gvfs", "fuse.gvfsd-fuse"},
    };
    const Volume system[] = {
        {"/proc", "proc"},       {"/sys", "sysfs"},        {"/sys/fs/cgroup", "cgroup2"},
        {"/sys/fs/cgroup/cpu", "cgroup"},                  {"/dev", "devtmpfs"},
        {"/dev/pts", "devpts"},  {"/dev/shm", "tmpfs"},    {"/run", "tmpfs"},
        {"/run/user/1000", "tmpfs"},                       {"/run/user/1000/doc", "fuse.portal"},
        {"/mnt/sandbox/tools", "tmpfs"},                   {"/boot", "ext4"},
        {"/boot/efi", "vfat"},   {"/snap/core22/1122", "squashfs"},
        {"/media/clerk/image", "squashfs"},                {"/var/lib/docker/overlay2/abc/merged", "overlay"},
        {"/proc/sys/fs/binfmt_misc", "binfmt_misc"},
    };
    for (const Volume& v : listed)
        EXPECT_TRUE(isClerkVolume(v)) << v.root.toStdString() << " " << v.fileSystem.toStdString();
    for (const Volume& v : system)
        EXPECT_FALSE(isClerkVolume(v)) << v.root.toStdString() << " " << v.fileSystem.toStdString();
}

TEST_F(FileListsTest, TheDrivesAreHomeThenTheVolumesThenTheNamedFoldersAndNoSystemMount)
{
    DriveList drives;
    const QString a = root_ + QStringLiteral("/alpha");
    drives.setFolders({{QStringLiteral("A:"), a}, {QStringLiteral("B:"), root_ + QStringLiteral("/missing")}});
    QStringList roots = drives.drives();
    ASSERT_FALSE(roots.isEmpty());
    EXPECT_EQ(roots.first(), QDir::cleanPath(QDir::homePath()));
    EXPECT_EQ(roots.last(), a);                 // a missing folder is not listed
    EXPECT_EQ(drives.drive(), roots.first());
    for (const QString& r : roots.mid(1, roots.size() - 2)) {
        for (const char* system : {"/proc", "/sys", "/dev", "/run/user", "/boot"})
            EXPECT_FALSE(r.startsWith(QLatin1String(system))) << r.toStdString();
    }
    EXPECT_EQ(roots.removeDuplicates(), 0);
    // A folder in use outside them brings its volume along.
    EXPECT_EQ(drives.addDriveFor(a), a);
    const QString volume = drives.addDriveFor(QStringLiteral("/"));
    EXPECT_EQ(volume, QStringLiteral("/"));
    EXPECT_TRUE(drives.drives().contains(QStringLiteral("/")));
}

} // namespace
