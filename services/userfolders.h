#pragma once
// Where a user's working files live: the databases in the user's data folder
// (fs::dataFolder(), ~/.local/share/zarv) and the settings in the user's
// config folder (~/.config/zarv/zarv.ini); the program's own folder is only read.
#include <QDateTime>
#include <QString>

namespace zarv {

// Makes the user's folders ready before the data environment opens them: the
// databases are created with their tables where missing, and so is the user's
// settings file. Databases an earlier installation kept beside the program
// (oldFolder) are copied to the data folder once, when it has none yet, with
// that installation's settings file, and the clerk is told. Returns the data
// folder, or "" after telling the clerk why it cannot be used.
// Settings files that cannot be read are named, with what is used instead.
QString PrepareUserFolders(const QString& oldFolder);

// Creates the data folder where missing. False after telling the clerk which
// folder cannot be made and the system's reason.
bool MakeDataFolder(const QString& folder);

// Checks each database in folder (SQLite's quick check). A damaged one is named
// to the clerk, set aside with its journal under a dated name
// ("Zarv.damaged.2026-12-09-235800.mdb"), and new ones are made; the reference
// rows of a damaged ZarvDb.mdb that can still be read are copied into its new
// one. False after telling the clerk when that cannot be done.
bool RenewDamagedDatabases(const QString& folder, const QDateTime& now = QDateTime::currentDateTime());

} // namespace zarv
