#pragma once
// Where a user's working files live: the databases in the user's data folder
// (fs::dataFolder(), ~/.local/share/zarv) and the settings in the user's
// config folder (~/.config/zarv/zarv.ini); the program's own folder is only read.
#include <QString>

namespace zarv {

// Makes the user's folders ready before the data environment opens them: the
// databases are created with their tables where missing, and so is the user's
// settings file. Databases an earlier installation kept beside the program
// (oldFolder) are copied to the data folder once, when it has none yet, with
// that installation's settings file, and the clerk is told. Returns the data
// folder, or "" after telling the clerk why it cannot be used.
QString PrepareUserFolders(const QString& oldFolder);

} // namespace zarv
