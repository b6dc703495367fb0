#include "platform/files/settings.h"

#include "platform/files/filesys.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QStringList>

#include <algorithm>

namespace zarv::fs {

namespace {

QString g_folder;   // set by Settings::setFolder; empty means the user's and the system-wide files

const QString kFileName = QStringLiteral("zarv/zarv.ini");

// The user's file as first written: every key a note showing its default.
const char kUserFile[] =
    "; Your settings of ZARV. A key left as a note (\";\") takes the system-wide value\r\n"
    "; (/etc/xdg/zarv/zarv.ini) or its default. \"~\" at the start of a folder stands\r\n"
    "; for your home folder.\r\n"
    "\r\n"
    "[Return]\r\n"
    "; The address the return-instruction screens tell you to send the data file to.\r\n"
    ";Email=zarv@brenhallow.gov\r\n"
    "\r\n"
    "[Drives]\r\n"
    "; The folders that stand for diskette drives A: and B:.\r\n"
    ";A=~/ZARV-A\r\n"
    ";B=~/ZARV-B\r\n"
    "\r\n"
    "[Receiving]\r\n"
    "; Where the receiving program writes the verified file, and where it looks for\r\n"
    "; returned workbooks first (until it has been used: it then opens in the folder\r\n"
    "; used last, which it keeps as LastFolder).\r\n"
    ";VerifiedFolder=~/ZARV-Verified\r\n"
    ";EmailFolder=~\r\n"
    "\r\n"
    "[About]\r\n"
    "; The system-information program that \"System Info...\" in the About box starts.\r\n"
    ";SystemInfo=\r\n";

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

// A value as the INI reader takes it back whole: quoted, with "\\" and "\"" escaped,
// so that commas, semicolons and blanks in a folder's name are kept.
QByteArray quotedValue(const QString& value)
{
    QString text = value;
    text.replace(u'\\', QStringLiteral("\\\\")).replace(u'"', QStringLiteral("\\\""));
    return '"' + text.toUtf8() + '"';
}

QString toText(const QVariant& v)
{
    // An unquoted value with commas comes back as a list.
    if (v.metaType().id() == QMetaType::QStringList)
        return v.toStringList().join(u',');
    return v.toString();
}

} // namespace

Settings::Settings(const QString& folder) : files_{QDir(folder).filePath(QStringLiteral("zarv.ini"))} {}

Settings& Settings::instance()
{
    static Settings settings{QString()};
    if (g_folder.isEmpty())
        settings.files_ = QStringList{userFile()} + systemFiles();
    else
        settings.files_ = {QDir(g_folder).filePath(QStringLiteral("zarv.ini"))};
    return settings;
}

void Settings::setFolder(const QString& folder) { g_folder = folder; }

QString Settings::userFile()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)).filePath(kFileName);
}

QStringList Settings::systemFiles()
{
    QStringList files;
    const QString user = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    for (const QString& folder : QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation))
        if (folder != user)
            files << QDir(folder).filePath(kFileName);
    return files;
}

bool Settings::createUserFile(QString* error)
{
    const QString path = userFile();
    if (QFileInfo::exists(path))
        return true;
    if (!QDir().mkpath(QFileInfo(path).path())) {
        if (error)
            *error = QStringLiteral("The folder %1 cannot be created.").arg(QFileInfo(path).path());
        return false;
    }
    return writeFileAtomically(path, QByteArray(kUserFile), error);
}

QString Settings::filePath() const { return files_.value(0); }

namespace {

// Why file cannot be used as a settings file; "" when it can (or is not there).
QString unreadable(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return {};
    if (info.isDir())
        return QStringLiteral("it is a folder");
    if (!info.exists())
        return QStringLiteral("it is a link to nothing");
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return file.errorString();
    const QByteArray bytes = file.read(1 << 20);
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(bytes);
    // Settings are text: NUL or other control bytes, or bytes that are no
    // UTF-8, mean the file is something else (or was damaged).
    const bool control = std::any_of(text.cbegin(), text.cend(), [](QChar c) {
        return c.unicode() < 0x20 && c != u'\t' && c != u'\r' && c != u'\n';
    });
    if (utf8.hasError() || control)
        return QStringLiteral("it holds bytes that are not text, so it is no settings file");
    const QSettings ini(path, QSettings::IniFormat);
    if (ini.status() != QSettings::NoError)
        return QStringLiteral("it is not in the form of a settings file");
    return {};
}

} // namespace

QList<Settings::Unreadable> Settings::unreadableFiles() const
{
    QList<Unreadable> found;
    for (const QString& file : files_)
        if (const QString why = unreadable(file); !why.isEmpty())
            found.append({file, why});
    return found;
}

QString Settings::value(const QString& key, const QString& fallback) const
{
    for (const QString& file : files_) {
        if (!unreadable(file).isEmpty())
            continue;   // named at start; its keys fall to the next file
        const QSettings ini(file, QSettings::IniFormat);
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
        if (!text.isEmpty())
            return text;
    }
    return fallback;
}

// Written line by line rather than through QSettings: QSettings rewrites the
// whole file from its keys when it saves, so the notes (";" lines, the keys
// left as notes with their defaults) and the order of the file would be lost.
// Reading goes through QSettings (value() above).
bool Settings::setValue(const QString& key, const QString& value, QString* error)
{
    const qsizetype slash = key.indexOf(u'/');
    const QByteArray section = key.left(slash).toUtf8();
    const QByteArray name = key.mid(slash + 1).toUtf8();
    const QString path = filePath();
    QByteArray text;
    if (QFileInfo::exists(path)) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            if (error)
                *error = file.errorString();
            return false;
        }
        text = file.readAll();
    }
    const QByteArray eol = text.contains("\r\n") || text.isEmpty() ? QByteArray("\r\n") : QByteArray("\n");
    const QByteArray line = name + '=' + quotedValue(value);
    QList<QByteArray> lines = text.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    for (QByteArray& l : lines)
        if (l.endsWith('\r'))
            l.chop(1);
    // Hand-edited files may spell sections and keys in any case.
    const auto same = [](const QByteArray& a, const QByteArray& b) { return a.compare(b, Qt::CaseInsensitive) == 0; };
    qsizetype sectionAt = -1;
    qsizetype at = -1;
    bool inSection = false;
    for (qsizetype i = 0; i < lines.size() && at < 0; ++i) {
        const QByteArray t = lines[i].trimmed();
        if (t.startsWith('[') && t.endsWith(']')) {
            inSection = same(t.mid(1, t.size() - 2).trimmed(), section);
            if (inSection && sectionAt < 0)
                sectionAt = i;
        } else if (inSection && !t.startsWith(';') && !t.startsWith('#') && t.contains('=')
                   && same(t.left(t.indexOf('=')).trimmed(), name)) {
            at = i;
        }
    }
    if (at >= 0) {
        lines[at] = line;
    } else if (sectionAt >= 0) {
        lines.insert(sectionAt + 1, line);
    } else {
        if (!lines.isEmpty() && !lines.last().trimmed().isEmpty())
            lines << QByteArray();
        lines << '[' + section + ']' << line;
    }
    if (!QDir().mkpath(QFileInfo(path).path())) {
        if (error)
            *error = QStringLiteral("The folder %1 cannot be created.").arg(QFileInfo(path).path());
        return false;
    }
    return writeFileAtomically(path, lines.join(eol) + eol, error);
}

QString Settings::receivingLastFolder() const
{
    return expandHome(value(QStringLiteral("Receiving/LastFolder")));
}

bool Settings::setReceivingLastFolder(const QString& folder, QString* error)
{
    return setValue(QStringLiteral("Receiving/LastFolder"), folder, error);
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
