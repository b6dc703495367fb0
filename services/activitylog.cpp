#include "services/activitylog.h"

#include "platform/data/connection.h"
#include "platform/data/recordset.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace zarv {

namespace {

// Tabs and line ends inside a field would break the line into false fields.
QString field(const QString& text)
{
    QString f = text;
    for (QChar& c : f)
        if (c == u'\t' || c == u'\n' || c == u'\r')
            c = u' ';
    return f;
}

QString programName()
{
    const QString path = QCoreApplication::instance() ? QCoreApplication::applicationFilePath() : QString();
    return path.isEmpty() ? QStringLiteral("zarv") : QFileInfo(path).fileName();
}

} // namespace

QString ActivityLogPath()
{
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    // A relative path is no XDG folder and is ignored.
    if (state.isEmpty() || QDir::isRelativePath(state))
        state = QDir::home().filePath(QStringLiteral(".local/state"));
    return QDir(state).filePath(QStringLiteral("zarv/zarv.log"));
}

void LogFile(const QString& filePath, const QString& outcome, const QString& counts)
{
    const QString path = ActivityLogPath();
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return;
    if (QFileInfo(path).size() >= kMostLogBytes) {
        const QString older = path + QStringLiteral(".1");
        QFile::remove(older);
        QFile::rename(path, older);
    }
    QFile log(path);
    if (!log.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text))
        return;
    const QDateTime now = QDateTime::currentDateTime();
    const QStringList fields = {now.toOffsetFromUtc(now.offsetFromUtc()).toString(Qt::ISODate), programName(),
                                QDir::toNativeSeparators(QFileInfo(filePath).absoluteFilePath()), counts, outcome};
    QStringList cleaned;
    for (const QString& f : fields)
        cleaned << field(f);
    log.write((cleaned.join(u'\t') + u'\n').toUtf8());
}

bool LogOutcome(bool ok, const QString& filePath, const QString& done, const QString& notDone,
                const std::function<QString()>& counts)
{
    LogFile(filePath, ok ? done : notDone, counts ? counts() : QString());
    return ok;
}

QString LoggedRows(db::Connection& connection, const QString& table, const QString& noun)
{
    try {
        db::Recordset count(&connection, QStringLiteral("SELECT COUNT(*) AS N FROM ") + table, db::LockType::ReadOnly);
        count.open();
        return QStringLiteral("%1 %2").arg(qint64(count.number(QStringLiteral("N")))).arg(noun);
    } catch (const std::exception&) {
        return {};
    }
}

} // namespace zarv
