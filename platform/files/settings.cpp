// The program's settings file, zarv.ini beside the program.
#include "platform/files/settings.h"

#include "platform/files/filesys.h"

#include <QDir>
#include <QSettings>
#include <QStringList>

namespace zarv::fs {

namespace {

QString g_folder;   // set by Settings::setFolder; empty means the program's folder

QString home() { return QDir::homePath(); }

// "~" or "~/..." at the start of a folder stands for the home folder.
QString expandHome(const QString& folder)
{
    if (folder == u'~')
        return home();
    if (folder.startsWith(QLatin1String("~/")))
        return home() + folder.mid(1);
    return folder;
}

QString toText(const QVariant& v)
{
    // An unquoted value with commas comes back as a list.
    if (v.metaType().id() == QMetaType::QStringList)
        return v.toStringList().join(u',');
    return v.toString();
}

} // namespace

Settings::Settings(const QString& folder) : folder_(folder) {}

Settings& Settings::instance()
{
    static Settings settings{QString()};
    settings.folder_ = g_folder.isEmpty() ? programFolder() : g_folder;
    return settings;
}

void Settings::setFolder(const QString& folder) { g_folder = folder; }

QString Settings::filePath() const { return QDir(folder_).filePath(QStringLiteral("zarv.ini")); }

QString Settings::value(const QString& key, const QString& fallback) const
{
    const QSettings ini(filePath(), QSettings::IniFormat);
    QVariant v = ini.value(key);
    if (!v.isValid()) {
        // Hand-edited files may spell sections and keys in any case.
        const QStringList keys = ini.allKeys();
        for (const QString& k : keys)
            if (k.compare(key, Qt::CaseInsensitive) == 0) {
                v = ini.value(k);
                break;
            }
    }
    const QString text = toText(v).trimmed();
    return text.isEmpty() ? fallback : text;
}

QString Settings::returnEmail() const
{
    return value(QStringLiteral("Return/Email"), QStringLiteral("zarv@brenhallow.gov"));
}

QString Settings::driveAFolder() const
{
    return expandHome(value(QStringLiteral("Drives/A"), home() + QStringLiteral("/ZARV-A")));
}

QString Settings::driveBFolder() const
{
    return expandHome(value(QStringLiteral("Drives/B"), home() + QStringLiteral("/ZARV-B")));
}

QString Settings::verifiedFolder() const
{
    return expandHome(value(QStringLiteral("Receiving/VerifiedFolder"), home() + QStringLiteral("/ZARV-Verified")));
}

QString Settings::emailFolder() const
{
    return expandHome(value(QStringLiteral("Receiving/EmailFolder"), home()));
}

QString Settings::systemInfoProgram() const
{
    return value(QStringLiteral("About/SystemInfo"));
}

} // namespace zarv::fs
