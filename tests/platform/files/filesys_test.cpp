// File presence, attributes and safe replacement.
#include "platform/files/filesys.h"
#include "platform/files/textfile.h"

#include "faults.h"
#include "files_support.h"

#include <QFileInfo>
#include <QIODevice>

#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

using namespace zarv::fs;
using namespace zarv::fs::test;

namespace {

const QFileDevice::Permissions kReadOnly =
    QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther;   // 0444

using FileSysTest = FolderTest;

} // namespace

// What the runs ask of a file: there with something in it, its attributes
// (read-only 1, hidden 2, folder 16, archive 32), removal, the same bytes.
TEST_F(FileSysTest, PresenceAttributesRemovalAndSameBytes)
{
    for (const char* name : {"plain.csv", "locked.csv", ".hidden", ".hidden-locked", "same.csv"})
        writeRaw(path(name), "x");
    writeRaw(path("empty.csv"), "");
    writeRaw(path("empty2.csv"), "");
    writeRaw(path("longer.csv"), "xy");
    writeRaw(path("other.csv"), "y");
    ASSERT_TRUE(QFile::setPermissions(path("locked.csv"), kReadOnly));
    ASSERT_TRUE(QFile::setPermissions(path(".hidden-locked"), kReadOnly));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder")));

    const struct {
        const char* name;
        bool exists;
        int attributes;
        bool sameAsPlain;
    } cases[] = {
        {"plain.csv", true, 32, true},       {"locked.csv", true, 33, true},   {".hidden", true, 34, true},
        {".hidden-locked", true, 35, true},  {"folder", false, 16, false},     {"missing.csv", false, -1, false},
        {"empty.csv", false, 32, false},     {"longer.csv", true, 32, false},  {"other.csv", true, 32, false},
        {"", false, -1, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString file = *c.name ? path(QString::fromLatin1(c.name)) : QString();
        EXPECT_EQ(fileExists(file), c.exists);
        EXPECT_EQ(fileAttributes(file), c.attributes);
        EXPECT_EQ(isReadOnly(file), c.attributes == 33 || c.attributes == 35);
        EXPECT_EQ(sameBytes(path("same.csv"), file), c.sameAsPlain);
    }
    EXPECT_FALSE(fileExists(QStringLiteral("/no/such/drive/x.csv")));
    EXPECT_TRUE(sameBytes(path("empty.csv"), path("empty2.csv")));

    EXPECT_TRUE(removeFile(path("plain.csv")));
    EXPECT_FALSE(QFile::exists(path("plain.csv")));
    EXPECT_TRUE(removeFile(path("plain.csv")));   // already gone
    EXPECT_FALSE(removeFile(path("folder")));
}

TEST_F(FileSysTest, CopyReplaceReplacesTheTargetOrOnFailureLeavesIt)
{
    writeRaw(path("target.bak"), "old");
    QString error;
    EXPECT_FALSE(copyReplace(path("missing.csv"), path("target.bak"), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("missing.csv"))) << error.toStdString();
    // A source that opens but fails while being read.
    error.clear();
    EXPECT_FALSE(copyReplace(QStringLiteral("/proc/self/mem"), path("target.bak"), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(readRaw(path("target.bak")), QByteArray("old"));
    EXPECT_EQ(names(), QStringList{"target.bak"});

    writeRaw(path("source.csv"), "new contents\r\n");
    error.clear();
    EXPECT_FALSE(copyReplace(path("source.csv"), path("gone/target.bak"), &error));
    EXPECT_TRUE(error.startsWith(QStringLiteral("Could not write "))) << error.toStdString();
    ASSERT_TRUE(copyReplace(path("source.csv"), path("target.bak"), &error)) << error.toStdString();
    EXPECT_EQ(readRaw(path("target.bak")), QByteArray("new contents\r\n"));
    ASSERT_TRUE(copyReplace(path("source.csv"), path("fresh.bak")));
    EXPECT_TRUE(sameBytes(path("source.csv"), path("fresh.bak")));
}

TEST(ProgramFolder, IsTheFolderOfTheRunningProgram)
{
    const QString folder = programFolder();
    EXPECT_TRUE(QFileInfo(folder).isDir());
    EXPECT_EQ(QFileInfo(folder).canonicalFilePath(),
              QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath()).canonicalPath());
}

// ---------------------------------------------------------------- leftovers and the old file's mode

namespace {

struct stat statOf(const QString& path)
{
    struct stat st {};
    ::stat(QFile::encodeName(path).constData(), &st);
    return st;
}

// A group the file may be given: another group of the user, or any group for the superuser.
gid_t otherGroup()
{
    if (::geteuid() == 0)
        return ::getegid() + 4242;
    gid_t groups[64];
    const int n = ::getgroups(64, groups);
    for (int i = 0; i < n; ++i)
        if (groups[i] != ::getegid())
            return groups[i];
    return ::getegid();
}

} // namespace

TEST_F(FileSysTest, ASaveKeepsTheOldFilesModeAndGroup)
{
    writeRaw(path("Zarvdata.csv"), "old");
    writeRaw(path("Zarvdata.bak"), "older");
    const gid_t group = otherGroup();
    for (const char* name : {"Zarvdata.csv", "Zarvdata.bak"}) {
        ASSERT_EQ(::chown(QFile::encodeName(path(name)).constData(), uid_t(-1), group), 0);
        ASSERT_EQ(::chmod(QFile::encodeName(path(name)).constData(), 0640), 0);
    }
    ASSERT_TRUE(::chmod(QFile::encodeName(path("Zarvdata.csv")).constData(), 0444) == 0);

    QString error;
    ASSERT_TRUE(copyReplace(path("Zarvdata.csv"), path("Zarvdata.bak"), &error)) << error.toStdString();
    if (::geteuid() == 0) {   // only the superuser writes a file without write permission
        ASSERT_TRUE(writeFileAtomically(path("Zarvdata.csv"), "new", &error)) << error.toStdString();
    }
    for (const char* name : {"Zarvdata.csv", "Zarvdata.bak"}) {
        const struct stat st = statOf(path(name));
        EXPECT_EQ(st.st_mode & 07777, std::strcmp(name, "Zarvdata.csv") == 0 ? 0444u : 0640u) << name;
        EXPECT_EQ(st.st_gid, group) << name;
    }
}

TEST_F(FileSysTest, ASaveRemovesWhatKilledSavesOfTheSameTargetLeft)
{
    writeRaw(path("Zarvdata.csv"), "data");
    // QSaveFile's names for the new file, and the workbook writer's.
    const QStringList litter = {"Zarvdata.bak.AbCdEf", "Zarvdata.bak.xyzXYZ", ".Zarvdata.bak.AbC1Ef"};
    const QStringList kept = {"Zarvdata.bak.AbCdE", "Zarvdata.bak.AbCdEfG", "Zarvdata.bak.AbC-Ef", "Other.bak.AbCdEf",
                              "Zarvdata.csv.AbCdEf", "Zarvdata.bakAbCdEf"};
    for (const QString& name : litter + kept)
        writeRaw(path(name), "x");
    ASSERT_TRUE(QDir(dir.path()).mkdir("Zarvdata.bak.FolDer"));   // a folder is never a leftover

    ASSERT_TRUE(copyReplace(path("Zarvdata.csv"), path("Zarvdata.bak")));
    QStringList expected = kept + QStringList{"Zarvdata.bak", "Zarvdata.csv"};
    expected.sort();
    EXPECT_EQ(names(), expected);
    EXPECT_TRUE(QFileInfo(path("Zarvdata.bak.FolDer")).isDir());
}

// ---------------------------------------------------------------- failures name their cause

// A folder the user cannot write, a full disk, a read-only disk: the backup
// copy, a whole-file write and a line writer each say why they failed, and
// the old files stay as they were.
TEST_F(FileSysTest, AFailedSaveSaysWhyAndLeavesTheOldFiles)
{
    using Work = std::function<QString()>;
    const QString folder = QDir::toNativeSeparators(dir.path());
    const struct {
        const char* fault;
        std::function<QString(const Work&)> under;
        QString reason;
    } cases[] = {
        {"a folder that cannot be written",
         [&](const Work& work) {
             ::chmod(QFile::encodeName(dir.path()).constData(), 0555);
             zarv::test::ObeyPermissions asAUser;
             const QString texts = work();
             ::chmod(QFile::encodeName(dir.path()).constData(), 0700);
             return texts;
         },
         QStringLiteral("the folder %1 cannot be written").arg(folder)},
        {"a full disk", zarv::test::withFullDisk, QStringLiteral("the disk is full")},
        {"a read-only disk", zarv::test::withReadOnlyDisk,
         QStringLiteral("the folder %1 cannot be written (the disk is read-only)").arg(folder)},
    };
    writeRaw(path("Zarvdata.csv"), QByteArray(100000, 'x'));
    writeRaw(path("Zarvdata.bak"), "older");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fault);
        if (c.reason.contains(QLatin1String("disk")))
            ZARV_SKIP_UNLESS_DISK_FAULTS_CAN_BE_FAKED();
        const QString texts = c.under([&] {
            QString copy, whole;
            copyReplace(path("Zarvdata.csv"), path("Zarvdata.bak"), &copy);
            writeFileAtomically(path("Zarvdata.csv"), "new", &whole);
            LineWriter out;
            if (out.open(path("Verify.csv"))) {
                out.writeLine(QStringLiteral("A,1234"));
                out.commit();
            }
            return QStringList{copy, whole, out.errorString()}.join(u'\n');
        });
        QStringList expected;
        for (const char* file : {"Zarvdata.bak", "Zarvdata.csv", "Verify.csv"})
            expected << QStringLiteral("Could not write %1: %2")
                            .arg(QDir::toNativeSeparators(path(file)), c.reason);
        EXPECT_EQ(texts, expected.join(u'\n'));
        EXPECT_EQ(readRaw(path("Zarvdata.bak")), QByteArray("older"));
        EXPECT_EQ(readRaw(path("Zarvdata.csv")), QByteArray(100000, 'x'));
        EXPECT_EQ(names(), (QStringList{"Zarvdata.bak", "Zarvdata.csv"}));
    }
}
