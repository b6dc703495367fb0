#pragma once
// The tables of the program's three database files.
#include <QString>

namespace zarv {

// Creates Zarv.mdb, ZarvDb.mdb and label.mdb in folder with their tables and
// indexes, where they or their tables are missing; existing tables and rows are
// left as they are. False (with *error) when a file cannot be created or written.
bool createDatabases(const QString& folder, QString* error = nullptr);

} // namespace zarv
