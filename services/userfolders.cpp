#include "services/userfolders.h"

#include "platform/files/filesys.h"
#include "platform/files/outputnames.h"
#include "platform/files/settings.h"
#include "platform/ui/uiservices.h"
#include "services/schema.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

namespace zarv {

namespace {

const char* const kDatabases[] = {"Zarv.mdb", "ZarvDb.mdb", "label.mdb"};

bool refuse(const QString& text)
{
    ui::ui().msgBox(text, ui::Buttons::OK, ui::Icon::Critical);
    return false;
}

// Copies the databases of an installation that kept them beside the program,
// and its settings where the user has none yet. The old files stay where they are.
bool takeOver(const QDir& old, const QDir& data)
{
    QString error;
    for (const char* name : kDatabases) {
        // A write-ahead log left beside a database holds rows not yet written into it.
        for (const QString& file : {QString::fromLatin1(name), QString::fromLatin1(name) + QStringLiteral("-wal")}) {
            const QString source = old.filePath(file);
            if (QFileInfo::exists(source) && !fs::copyReplace(source, data.filePath(file), &error))
                return refuse(QStringLiteral("The databases of the earlier ZARV in %1 cannot be copied to %2.\r\n%3")
                                  .arg(QDir::toNativeSeparators(old.path()), QDir::toNativeSeparators(data.path()), error));
        }
    }
    const QString oldIni = old.filePath(QStringLiteral("zarv.ini"));
    const QString userIni = fs::Settings::userFile();
    QString note;
    if (QFileInfo::exists(oldIni) && !QFileInfo::exists(userIni) && QDir().mkpath(QFileInfo(userIni).path())
        && fs::copyReplace(oldIni, userIni, &error))
        note = QStringLiteral("\r\nIts settings are now in %1.").arg(QDir::toNativeSeparators(userIni));
    ui::ui().msgBox(QStringLiteral("ZARV now keeps its databases in %1.\r\nThe databases of the earlier ZARV in %2 "
                                   "were copied there; the old files are left as they were.%3")
                        .arg(QDir::toNativeSeparators(data.path()), QDir::toNativeSeparators(old.path()), note),
                    ui::Buttons::OK, ui::Icon::Information);
    return true;
}

// Names each settings file that cannot be read, and what is used instead.
void tellUnreadableSettings()
{
    const QList<fs::Settings::Unreadable> files = fs::Settings::instance().unreadableFiles();
    for (const fs::Settings::Unreadable& f : files)
        ui::ui().msgBox(QStringLiteral("The settings file %1 cannot be read: %2.\r\nZARV works with the values of "
                                       "the other settings files, or its defaults, instead.")
                            .arg(QDir::toNativeSeparators(f.file), f.reason),
                        ui::Buttons::OK, ui::Icon::Exclamation);
}

} // namespace

bool MakeDataFolder(const QString& folder)
{
    QString error;
    if (fs::makeFolder(folder, &error))
        return true;
    return refuse(QStringLiteral("The data folder %1 cannot be created.\r\n%2")
                      .arg(QDir::toNativeSeparators(folder), error));
}

bool RenewDamagedDatabases(const QString& folder, const QDateTime& now)
{
    const QDir dir(folder);
    struct SetAside {
        QString name, path, aside;
    };
    std::vector<SetAside> damaged;
    QStringList told;
    for (const char* name : kDatabases) {
        const QString path = dir.filePath(QLatin1String(name));
        if (!QFileInfo(path).isFile())
            continue;
        const QString damage = databaseDamage(path);
        if (damage.isEmpty())
            continue;
        SetAside d{QLatin1String(name), path, fs::datedPath(path, now, QStringLiteral("damaged"))};
        told << QStringLiteral("The database %1 is damaged (%2).").arg(QDir::toNativeSeparators(path), damage)
             << QStringLiteral("It is kept as %1.").arg(QDir::toNativeSeparators(d.aside));
        damaged.push_back(d);
    }
    if (damaged.empty())
        return true;
    told << QStringLiteral("New databases are made in its place. The working tables are filled again from the next "
                           "payment file or workbook you open; the folio masks and error messages that can still be "
                           "read are kept.");
    ui::ui().msgBox(told.join(QStringLiteral("\r\n")), ui::Buttons::OK, ui::Icon::Exclamation);
    for (const SetAside& d : damaged) {
        // Its journal goes with it: left behind, it would be played into the new database.
        for (const QString& end : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm"), QStringLiteral("-journal")}) {
            if (!QFileInfo::exists(d.path + end))
                continue;
            if (::rename(QFile::encodeName(d.path + end).constData(), QFile::encodeName(d.aside + end).constData()) != 0)
                return refuse(QStringLiteral("The damaged database %1 cannot be set aside as %2: %3")
                                  .arg(QDir::toNativeSeparators(d.path + end), QDir::toNativeSeparators(d.aside + end),
                                       QString::fromLocal8Bit(std::strerror(errno))));
        }
    }
    QString error;
    if (!createDatabases(folder, &error))
        return refuse(QStringLiteral("The databases cannot be created in %1.\r\n%2")
                          .arg(QDir::toNativeSeparators(folder), error));
    for (const SetAside& d : damaged) {
        if (d.name == QLatin1String("ZarvDb.mdb"))
            for (const QString& table : {QStringLiteral("FolioMask"), QStringLiteral("ErrorMessage")})
                copyReadableRows(d.aside, d.path, table);
    }
    return true;
}

QString PrepareUserFolders(const QString& oldFolder)
{
    const QDir data(fs::dataFolder());
    if (!MakeDataFolder(data.path()))
        return {};
    const QString zarvMdb = QStringLiteral("Zarv.mdb");
    const QDir old(oldFolder);
    if (!oldFolder.isEmpty() && old != data && QFileInfo(old.filePath(zarvMdb)).size() > 0
        && !QFileInfo::exists(data.filePath(zarvMdb)) && !takeOver(old, data))
        return {};
    if (!RenewDamagedDatabases(data.path()))
        return {};
    QString error;
    if (!createDatabases(data.path(), &error)) {
        refuse(QStringLiteral("The databases cannot be created in %1.\r\n%2")
                   .arg(QDir::toNativeSeparators(data.path()), error));
        return {};
    }
    // Without its own settings file the user still has the system-wide values.
    if (!fs::Settings::createUserFile(&error))
        ui::ui().msgBox(QStringLiteral("Your settings file %1 cannot be created.\r\n%2")
                            .arg(QDir::toNativeSeparators(fs::Settings::userFile()), error),
                        ui::Buttons::OK, ui::Icon::Exclamation);
    tellUnreadableSettings();
    return data.path();
}

} // namespace zarv
