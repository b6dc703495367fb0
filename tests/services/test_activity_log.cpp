// The log an administrator reads: one tab-separated line per file, in the XDG
// state folder, kept to a bounded size.
#include "env/testenv.h"
#include "services/activitylog.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace zarv;

namespace {

QStringList logLines(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readAll()).split(u'\n', Qt::SkipEmptyParts);
}

TEST(ActivityLog, OneLinePerFileInTheStateFolderRotatedWhenFull)
{
    const QByteArray before = qgetenv("XDG_STATE_HOME");
    QTemporaryDir state;
    qputenv("XDG_STATE_HOME", state.path().toLocal8Bit());
    const QString log = state.path() + "/zarv/zarv.log";
    EXPECT_EQ(ActivityLogPath(), log);

    // A field's tab or line end cannot break the line into false fields.
    LogFile(state.path() + "/Zarv\tdata.csv", "loaded", "120 payments");
    EXPECT_TRUE(LogOutcome(true, state.path() + "/MortNo1.xlsx", "saved", "not saved", [] { return QString("3 folios"); }));
    EXPECT_FALSE(LogOutcome(false, state.path() + "/MortNo1.xlsx", "saved", "not saved\nat all"));
    QStringList lines = logLines(log);
    ASSERT_EQ(lines.size(), 3);
    const QStringList first = lines[0].split(u'\t');
    ASSERT_EQ(first.size(), 5) << lines[0].toStdString();
    EXPECT_LT(qAbs(QDateTime::fromString(first[0], Qt::ISODate).secsTo(QDateTime::currentDateTime())), 60);
    EXPECT_EQ(first.mid(1), (QStringList{QCoreApplication::applicationFilePath().section('/', -1),
                                         state.path() + "/Zarv data.csv", "120 payments", "loaded"}));
    EXPECT_TRUE(lines[1].endsWith("\t3 folios\tsaved"));
    EXPECT_TRUE(lines[2].endsWith("\t\tnot saved at all"));

    // Past its bound the log becomes zarv.log.1 and a new one begins.
    QFile full(log);
    ASSERT_TRUE(full.open(QIODevice::Append));
    full.write(QByteArray(kMostLogBytes, 'x'));
    full.close();
    LogFile(state.path() + "/Zarvdata.csv", "saved");
    EXPECT_EQ(logLines(log).size(), 1);
    EXPECT_GE(QFile(log + ".1").size(), kMostLogBytes);

    // A relative XDG_STATE_HOME is no XDG folder: the home's applies.
    qputenv("XDG_STATE_HOME", "relative/state");
    EXPECT_EQ(ActivityLogPath(), QDir::homePath() + "/.local/state/zarv/zarv.log");
    qputenv("XDG_STATE_HOME", before);
}

} // namespace
