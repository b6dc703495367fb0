// The user's folders on start: databases and settings made where missing, an
// earlier installation's databases beside the program taken over once.
#include "platform/files/filesys.h"
#include "platform/files/settings.h"
#include "platform/ui/scriptedui.h"
#include "env/testenv.h"
#include "faults.h"
#include "services/schema.h"
#include "services/userfolders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sqlite3.h>
#include <sys/stat.h>

using namespace zarv;

namespace {

const char* const kDatabases[] = {"Zarv.mdb", "ZarvDb.mdb", "label.mdb"};

// HOME's data and config folders inside a temporary folder for one test.
class UserFoldersTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* name : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CONFIG_DIRS", "HOME"})
            saved_.push_back({name, qEnvironmentVariableIsSet(name), qgetenv(name)});
        qputenv("XDG_DATA_HOME", root_.filePath(QStringLiteral("data")).toLocal8Bit());
        qputenv("XDG_CONFIG_HOME", root_.filePath(QStringLiteral("config")).toLocal8Bit());
        qputenv("XDG_CONFIG_DIRS", root_.filePath(QStringLiteral("etc")).toLocal8Bit());
    }
    void TearDown() override
    {
        for (const Saved& s : saved_)
            s.had ? qputenv(s.name, s.value) : qunsetenv(s.name);
    }
    QString data() const { return root_.filePath(QStringLiteral("data/zarv")); }
    QString old() const { return root_.filePath(QStringLiteral("program")); }

    QTemporaryDir root_;
    ui::ScopedStandIn<ui::ScriptedUi> ui_;

private:
    struct Saved {
        const char* name;
        bool had;
        QByteArray value;
    };
    std::vector<Saved> saved_;
};

TEST_F(UserFoldersTest, AFreshUserGetsTheDatabasesAndASettingsFileWithoutAWord)
{
    ASSERT_EQ(fs::dataFolder(), data());
    EXPECT_EQ(PrepareUserFolders(old()), data());
    for (const char* name : kDatabases)
        EXPECT_GT(QFileInfo(QDir(data()).filePath(QLatin1String(name))).size(), 0) << name;
    EXPECT_EQ(fs::Settings::userFile(), root_.filePath(QStringLiteral("config/zarv/zarv.ini")));
    EXPECT_TRUE(QFileInfo::exists(fs::Settings::userFile()));
    EXPECT_FALSE(QFileInfo::exists(old()));
    EXPECT_TRUE(ui_->clean()) << ui_->report().toStdString();
}

TEST_F(UserFoldersTest, AnEarlierInstallationsDatabasesAndSettingsAreTakenOverOnceAndLeftInPlace)
{
    ASSERT_TRUE(createDatabases(old()));
    QFile ini(QDir(old()).filePath(QStringLiteral("zarv.ini")));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[Return]\nEmail=kept@x\n");
    ini.close();
    // The earlier program is gone without a checkpoint: its last row is still in the write-ahead log.
    sqlite3* earlier = nullptr;
    ASSERT_EQ(sqlite3_open(QDir(old()).filePath(QStringLiteral("Zarv.mdb")).toUtf8().constData(), &earlier), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(earlier, "PRAGMA journal_mode=WAL; PRAGMA wal_autocheckpoint=0; "
                                    "INSERT INTO ZarvSystem (Drive, Dir, File, Year) VALUES ('C:', '/x', 'kept.csv', '2026')",
                           nullptr, nullptr, nullptr), SQLITE_OK);
    ASSERT_GT(QFileInfo(QDir(old()).filePath(QStringLiteral("Zarv.mdb-wal"))).size(), 0);

    ui_->expectBox(test::box(ui::containing(QStringLiteral("ZARV now keeps its databases in ") +
                                            QDir::toNativeSeparators(data())),
                             ui::Answer::OK, ui::Icon::Information));
    EXPECT_EQ(PrepareUserFolders(old()), data());
    for (const char* name : {"ZarvDb.mdb", "label.mdb"}) {
        const QString n = QLatin1String(name);
        EXPECT_TRUE(fs::sameBytes(QDir(old()).filePath(n), QDir(data()).filePath(n))) << name;
    }
    sqlite3* taken = nullptr;
    ASSERT_EQ(sqlite3_open(QDir(data()).filePath(QStringLiteral("Zarv.mdb")).toUtf8().constData(), &taken), SQLITE_OK);
    sqlite3_stmt* row = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(taken, "SELECT File FROM ZarvSystem", -1, &row, nullptr), SQLITE_OK);
    ASSERT_EQ(sqlite3_step(row), SQLITE_ROW);
    EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(row, 0)), "kept.csv");
    sqlite3_finalize(row);
    sqlite3_close(taken);
    sqlite3_close(earlier);
    EXPECT_EQ(fs::Settings::instance().returnEmail(), QStringLiteral("kept@x"));
    ASSERT_EQ(ui_->boxes().size(), 1u);
    EXPECT_TRUE(ui_->boxes()[0].prompt.contains(QStringLiteral("Its settings are now in")));

    // Once: the next start finds its databases in the data folder and says nothing.
    EXPECT_EQ(PrepareUserFolders(old()), data());
    EXPECT_EQ(ui_->boxes().size(), 1u);
    EXPECT_TRUE(ui_->clean()) << ui_->report().toStdString();
}

// Homes set up in unusual ways (a file where the folder would go, a data home
// without write permission): the message gives the path and the system's
// reason, and nothing starts.
TEST_F(UserFoldersTest, ADataFolderThatCannotBeMadeIsNamedWithTheSystemsReasonAndNothingStarts)
{
    const QString home = root_.filePath(QStringLiteral("data"));
    // The reason, and the path it is about.
    for (const auto& [reason, where] : {std::pair{ENOTDIR, home}, {EACCES, data()}}) {
        SCOPED_TRACE(reason);
        ASSERT_TRUE(reason == ENOTDIR ? QFile(home).open(QIODevice::WriteOnly) : QDir().mkpath(home));
        ASSERT_EQ(::chmod(home.toLocal8Bit().constData(), 0555), 0);
        test::ObeyPermissions obey;
        const QString why = QString::fromLocal8Bit(std::strerror(reason));
        ui_->expectBox(test::box(ui::containing(QStringLiteral("The data folder %1 cannot be created.\r\n%2: %3")
                                                    .arg(data(), where, why)),
                                 ui::Answer::OK, ui::Icon::Critical));
        EXPECT_EQ(PrepareUserFolders(old()), QString());
        EXPECT_TRUE(ui_->clean()) << ui_->report().toStdString();
        QFile::setPermissions(home, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QFile::remove(home);
    }
}

TEST_F(UserFoldersTest, WithoutHomeTheFoldersAreThoseOfTheUsersHomeInTheSystemsList)
{
    qunsetenv("HOME");
    qunsetenv("XDG_DATA_HOME");
    const passwd* user = ::getpwuid(::getuid());
    ASSERT_NE(user, nullptr);
    fs::settleHome();
    EXPECT_EQ(fs::dataFolder(), QDir::cleanPath(QString::fromLocal8Bit(user->pw_dir) + QStringLiteral("/.local/share/zarv")));
    EXPECT_FALSE(fs::dataFolder().startsWith(QStringLiteral("//")));
}

TEST_F(UserFoldersTest, ASettingsFileThatCannotBeReadIsNamedWithWhatIsUsedInstead)
{
    struct Case {
        const char* what;
        std::function<void(const QString&)> make;
        const char* reason;
    } cases[] = {
        {"garbage bytes", [](const QString& f) {
             QFile file(f);
             ASSERT_TRUE(file.open(QIODevice::WriteOnly));
             QByteArray bytes;
             for (int i = 0; i < 512; ++i)
                 bytes += char((i * 151 + 7) % 256);
             file.write(bytes);
         }, "it holds bytes that are not text"},
        {"a folder", [](const QString& f) { ASSERT_TRUE(QDir().mkpath(f)); }, "it is a folder"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QString ini = fs::Settings::userFile();
        QDir(QFileInfo(ini).path()).removeRecursively();
        ASSERT_TRUE(QDir().mkpath(QFileInfo(ini).path()));
        c.make(ini);
        ui_->expectBox(test::box(ui::containing(QStringLiteral("The settings file %1 cannot be read: %2")
                                                    .arg(ini, QLatin1String(c.reason))),
                                 ui::Answer::OK, ui::Icon::Exclamation));
        EXPECT_EQ(PrepareUserFolders(old()), data());
        EXPECT_TRUE(ui_->clean()) << ui_->report().toStdString();
        EXPECT_TRUE(ui_->boxes().back().prompt.contains(QStringLiteral("or its defaults, instead")));
        EXPECT_EQ(fs::Settings::instance().returnEmail(), QStringLiteral("zarv@brenhallow.gov"));
        ui_->reset();
    }
}

} // namespace
