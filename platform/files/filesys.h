#pragma once
// File-system services: presence, attributes, copies and safe replacement.
#include <QString>
#include <QByteArray>

namespace zarv::fs {

// True when the file exists and is not empty. Never fails.
bool fileExists(const QString& path);

// Attribute word in the classic layout: 1 read-only, 2 hidden, 16 directory,
// 32 archive. Read-only means the current user cannot write the file; hidden
// means the name starts with a dot; archive is always set for a regular file.
// -1 when the attributes cannot be read.
int fileAttributes(const QString& path);
bool isReadOnly(const QString& path);

// Copies source over target, replacing it. The bytes go to a temporary file in
// the target's folder first, so a failed copy leaves the old target whole.
bool copyReplace(const QString& source, const QString& target, QString* error = nullptr);

// Writes bytes to path safely (temporary file, then rename).
bool writeFileAtomically(const QString& path, const QByteArray& bytes, QString* error = nullptr);

bool removeFile(const QString& path);          // false when it was there and could not be removed
bool sameBytes(const QString& a, const QString& b);  // both readable and byte-equal

// The folder the program file lives in. The program only reads there.
QString programFolder();
// The user's data folder, where the working databases live:
// $XDG_DATA_HOME/zarv (~/.local/share/zarv). Not created here.
QString dataFolder();
// Creates folder and the folders above it where missing. False when one cannot
// be made, *error then naming that folder and the system's reason
// ("/srv/data/zarv: Permission denied").
bool makeFolder(const QString& folder, QString* error);
// Where HOME is unset or empty, sets it to the user's home folder from the
// system's user list, so that every folder under the home is named in full
// (never "//.local/share"). Called once at the start of each program.
void settleHome();

} // namespace zarv::fs
