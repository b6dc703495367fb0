#include "services/userfolders.h"

#include "platform/files/filesys.h"
#include "platform/files/settings.h"
#include "platform/ui/uiservices.h"
#include "services/schema.h"

#include <QDir>
#include <QFileInfo>

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

} // namespace

QString PrepareUserFolders(const QString& oldFolder)
{
    const QDir data(fs::dataFolder());
    if (!QDir().mkpath(data.path())) {
        refuse(QStringLiteral("The data folder %1 cannot be created.").arg(QDir::toNativeSeparators(data.path())));
        return {};
    }
    const QString zarvMdb = QStringLiteral("Zarv.mdb");
    const QDir old(oldFolder);
    if (!oldFolder.isEmpty() && old != data && QFileInfo(old.filePath(zarvMdb)).size() > 0
        && !QFileInfo::exists(data.filePath(zarvMdb)) && !takeOver(old, data))
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
    return data.path();
}

} // namespace zarv
