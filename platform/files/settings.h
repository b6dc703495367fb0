#pragma once
// The program's settings (INI): the user's file $XDG_CONFIG_HOME/zarv/zarv.ini
// (~/.config/zarv/zarv.ini) read over the system-wide defaults in
// $XDG_CONFIG_DIRS (/etc/xdg/zarv/zarv.ini). The program never writes the
// system-wide file; it writes the user's to create it, with every key a
// note, so that the system-wide values hold until the user sets one, and to
// remember the folder the receiving screen was used in last.
#include <QString>
#include <QStringList>

namespace zarv::fs {

class Settings {
public:
    // Reads <folder>/zarv.ini alone; missing file or keys give the defaults below.
    explicit Settings(const QString& folder);
    static Settings& instance();              // the user's and the system-wide files, or the folder set below
    static void setFolder(const QString& folder);  // for tests and the receiving program

    // The user's settings file, and the system-wide ones under it, first first.
    static QString userFile();
    static QStringList systemFiles();
    // Creates the user's file where there is none. False when it cannot be written.
    static bool createUserFile(QString* error = nullptr);
    // A settings file that is there but cannot be read as settings (a folder,
    // unreadable, not text, not in the INI form): its path and why.
    struct Unreadable {
        QString file;
        QString reason;
    };
    // Those of the files this reads (none is used: its keys fall to the next
    // file or the defaults).
    QList<Unreadable> unreadableFiles() const;

    QString returnEmail() const;        // [Return] Email      default "zarv@brenhallow.gov"
    QString driveAFolder() const;       // [Drives] A          default <home>/ZARV-A
    QString driveBFolder() const;       // [Drives] B          default <home>/ZARV-B
    QString verifiedFolder() const;     // [Receiving] VerifiedFolder  default <home>/ZARV-Verified
    QString emailFolder() const;        // [Receiving] EmailFolder     default <home>
    QString systemInfoProgram() const;  // [About] SystemInfo  default "" (none)
    QString receivingLastFolder() const;    // [Receiving] LastFolder  default "" (none yet)
    bool setReceivingLastFolder(const QString& folder, QString* error = nullptr);
    QString value(const QString& key, const QString& fallback = {}) const;
    QString filePath() const;   // the file that takes precedence
    // Sets key ("Section/Name") in the file that takes precedence, the rest of
    // that file (its notes included) left as it is. False when it cannot be written.
    bool setValue(const QString& key, const QString& value, QString* error = nullptr);

private:
    QStringList files_;         // in order of precedence
};

} // namespace zarv::fs
