// The settings file beside the program.
#include "platform/files/settings.h"

#include "platform/files/filesys.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using zarv::fs::Settings;

namespace {

void writeIni(const QString& folder, const QByteArray& text)
{
    QFile f(QDir(folder).filePath(QStringLiteral("zarv.ini")));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_EQ(f.write(text), text.size());
}

} // namespace

TEST(SettingsFile, DefaultsWithoutAFile)
{
    QTemporaryDir dir;
    const Settings s(dir.path());
    const QString home = QDir::homePath();
    EXPECT_EQ(s.filePath(), dir.filePath(QStringLiteral("zarv.ini")));
    EXPECT_EQ(s.returnEmail(), QStringLiteral("zarv@brenhallow.gov"));
    EXPECT_EQ(s.driveAFolder(), home + QStringLiteral("/ZARV-A"));
    EXPECT_EQ(s.driveBFolder(), home + QStringLiteral("/ZARV-B"));
    EXPECT_EQ(s.verifiedFolder(), home + QStringLiteral("/ZARV-Verified"));
    EXPECT_EQ(s.emailFolder(), home);
    EXPECT_EQ(s.systemInfoProgram(), QString());
    EXPECT_EQ(s.value(QStringLiteral("Other/Key"), QStringLiteral("fallback")), QStringLiteral("fallback"));
}

TEST(SettingsFile, ReadsTheKeys)
{
    QTemporaryDir dir;
    writeIni(dir.path(),
             "[Return]\r\nEmail=clerk@example.org\r\n"
             "[Drives]\r\nA=/media/floppy\r\nB=~/diskette b\r\n"
             "[receiving]\r\nverifiedfolder=/srv/verified, 2024\r\nEmailFolder=  \r\n"
             "[About]\r\nSystemInfo=/usr/bin/hardinfo\r\n");
    const Settings s(dir.path());
    EXPECT_EQ(s.returnEmail(), QStringLiteral("clerk@example.org"));
    EXPECT_EQ(s.driveAFolder(), QStringLiteral("/media/floppy"));
    EXPECT_EQ(s.driveBFolder(), QDir::homePath() + QStringLiteral("/diskette b"));
    EXPECT_EQ(s.verifiedFolder(), QStringLiteral("/srv/verified,2024"));   // any case; a comma stays
    EXPECT_EQ(s.emailFolder(), QDir::homePath());                          // blank gives the default
    EXPECT_EQ(s.systemInfoProgram(), QStringLiteral("/usr/bin/hardinfo"));
}

TEST(SettingsFile, InstanceFollowsTheFolderSet)
{
    QTemporaryDir a, b;
    writeIni(a.path(), "[Return]\nEmail=a@x\n");
    writeIni(b.path(), "[Return]\nEmail=b@x\n");
    Settings::setFolder(a.path());
    EXPECT_EQ(Settings::instance().returnEmail(), QStringLiteral("a@x"));
    Settings::setFolder(b.path());
    EXPECT_EQ(Settings::instance().returnEmail(), QStringLiteral("b@x"));
    Settings::setFolder(QString());
    EXPECT_EQ(Settings::instance().filePath(),
              QDir(zarv::fs::programFolder()).filePath(QStringLiteral("zarv.ini")));
}
