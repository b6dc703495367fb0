// The settings: a file of its own, or the user's over the system-wide ones.
#include "platform/files/settings.h"

#include "platform/files/filesys.h"

#include "files_support.h"

#include <QFileInfo>

using zarv::fs::Settings;
using zarv::fs::test::readRaw;

namespace {

void writeIni(const QString& folder, const QByteArray& text)
{
    zarv::fs::test::writeRaw(QDir(folder).filePath(QStringLiteral("zarv.ini")), text);
}

} // namespace

// What a run takes from the settings: the return e-mail address, the folders
// for A: and B:, the verified file's folder, the e-mail folder, the
// system-information program.
QStringList valuesOf(const Settings& s)
{
    return {s.returnEmail(),    s.driveAFolder(), s.driveBFolder(),
            s.verifiedFolder(), s.emailFolder(),  s.systemInfoProgram()};
}

TEST(SettingsFile, DefaultsWithoutAFileAndTheKeysOfOne)
{
    QTemporaryDir dir;
    const QString home = QDir::homePath();
    const Settings none(dir.path());
    EXPECT_EQ(none.filePath(), dir.filePath(QStringLiteral("zarv.ini")));
    EXPECT_EQ(valuesOf(none), (QStringList{"zarv@brenhallow.gov", home + "/ZARV-A", home + "/ZARV-B",
                                           home + "/ZARV-Verified", home, ""}));
    EXPECT_EQ(none.value(QStringLiteral("Other/Key"), QStringLiteral("fallback")), QStringLiteral("fallback"));

    // Sections and keys in any case; a comma stays; a blank value gives the default.
    writeIni(dir.path(),
             "[Return]\r\nEmail=clerk@example.org\r\n"
             "[Drives]\r\nA=/media/floppy\r\nB=~/diskette b\r\n"
             "[receiving]\r\nverifiedfolder=/srv/verified, 2024\r\nEmailFolder=  \r\n"
             "[About]\r\nSystemInfo=/usr/bin/hardinfo\r\n");
    EXPECT_EQ(valuesOf(Settings(dir.path())),
              (QStringList{"clerk@example.org", "/media/floppy", home + "/diskette b", "/srv/verified,2024", home,
                           "/usr/bin/hardinfo"}));
}

namespace {

// Points an environment variable elsewhere for a test and puts it back.
class EnvVar {
public:
    EnvVar(const char* name, const QByteArray& value) : name_(name), had_(qEnvironmentVariableIsSet(name)),
                                                        old_(qgetenv(name))
    {
        qputenv(name, value);
    }
    ~EnvVar()
    {
        if (had_)
            qputenv(name_, old_);
        else
            qunsetenv(name_);
    }

private:
    const char* name_;
    bool had_;
    QByteArray old_;
};

} // namespace

TEST(SettingsFile, TheUsersFileIsReadOverTheSystemWideOnesAndOnlyItIsWritten)
{
    QTemporaryDir root;
    const QString user = root.filePath(QStringLiteral("config"));
    const QString sys1 = root.filePath(QStringLiteral("etc1")), sys2 = root.filePath(QStringLiteral("etc2"));
    EnvVar home("XDG_CONFIG_HOME", user.toLocal8Bit());
    EnvVar dirs("XDG_CONFIG_DIRS", (sys1 + u':' + sys2).toLocal8Bit());
    QDir().mkpath(sys1 + QStringLiteral("/zarv"));
    QDir().mkpath(sys2 + QStringLiteral("/zarv"));
    writeIni(sys1 + QStringLiteral("/zarv"), "[Return]\nEmail=office@x\n[Drives]\nA=/media/stick\n");
    writeIni(sys2 + QStringLiteral("/zarv"), "[Return]\nEmail=second@x\n[About]\nSystemInfo=hardinfo\n");
    const QByteArray systemBytes = readRaw(sys1 + QStringLiteral("/zarv/zarv.ini"));

    EXPECT_EQ(Settings::userFile(), user + QStringLiteral("/zarv/zarv.ini"));
    EXPECT_EQ(Settings::systemFiles(), (QStringList{sys1 + QStringLiteral("/zarv/zarv.ini"),
                                                    sys2 + QStringLiteral("/zarv/zarv.ini")}));
    ASSERT_TRUE(Settings::createUserFile());
    ASSERT_TRUE(QFileInfo::exists(Settings::userFile()));
    // A fresh user's file only holds notes: the system-wide values, first folder first, then the defaults.
    const QString homeFolder = QDir::homePath();
    EXPECT_EQ(valuesOf(Settings::instance()),
              (QStringList{"office@x", "/media/stick", homeFolder + "/ZARV-B", homeFolder + "/ZARV-Verified",
                           homeFolder, "hardinfo"}));

    writeIni(user + QStringLiteral("/zarv"), "[return]\nemail=me@x\n[About]\nSystemInfo=\n");
    ASSERT_TRUE(Settings::createUserFile());   // an existing file is kept as the user left it
    EXPECT_EQ(Settings::instance().returnEmail(), QStringLiteral("me@x"));
    EXPECT_EQ(Settings::instance().systemInfoProgram(), QStringLiteral("hardinfo"));   // an empty key takes the system-wide value
    EXPECT_EQ(readRaw(sys1 + QStringLiteral("/zarv/zarv.ini")), systemBytes);

    // The folder used last goes into the user's file, once, its other lines as they were.
    for (const QString& folder : {QStringLiteral("/srv/a, b; \"c\" \\d"), QStringLiteral("/home/Åsa")}) {
        ASSERT_TRUE(Settings::instance().setReceivingLastFolder(folder));
        EXPECT_EQ(Settings::instance().receivingLastFolder(), folder);
    }
    writeIni(user + QStringLiteral("/zarv"), "; note\r\n[Receiving]\r\n;LastFolder=\r\nEmailFolder=/e\r\n[About]\r\n");
    ASSERT_TRUE(Settings::instance().setReceivingLastFolder(QStringLiteral("/x")));
    ASSERT_TRUE(Settings::instance().setReceivingLastFolder(QStringLiteral("/y")));
    EXPECT_EQ(readRaw(Settings::userFile()),
              QByteArray("; note\r\n[Receiving]\r\nLastFolder=\"/y\"\r\n;LastFolder=\r\nEmailFolder=/e\r\n[About]\r\n"));
    EXPECT_EQ(readRaw(sys1 + QStringLiteral("/zarv/zarv.ini")), systemBytes);
}
