#pragma once
// The program's settings file (INI), one beside the program.
#include <QString>

namespace zarv::fs {

class Settings {
public:
    // Reads <folder>/zarv.ini; missing file or keys give the defaults below.
    explicit Settings(const QString& folder);
    static Settings& instance();              // over programFolder(), or the folder set below
    static void setFolder(const QString& folder);  // for tests and the receiving program

    QString returnEmail() const;        // [Return] Email      default "zarv@brenhallow.gov"
    QString driveAFolder() const;       // [Drives] A          default <home>/ZARV-A
    QString driveBFolder() const;       // [Drives] B          default <home>/ZARV-B
    QString verifiedFolder() const;     // [Receiving] VerifiedFolder  default <home>/ZARV-Verified
    QString emailFolder() const;        // [Receiving] EmailFolder     default <home>
    QString systemInfoProgram() const;  // [About] SystemInfo  default "" (none)
    QString value(const QString& key, const QString& fallback = {}) const;
    QString filePath() const;

private:
    QString folder_;
};

} // namespace zarv::fs
