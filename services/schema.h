#pragma once
// The tables of the program's three database files.
#include <QString>

namespace zarv {

namespace db {
class Connection;
}

// Creates Zarv.mdb, ZarvDb.mdb and label.mdb in folder with their tables and
// indexes, where they or their tables are missing; existing tables and rows are
// left as they are. False (with *error) when a file cannot be created or written.
bool createDatabases(const QString& folder, QString* error = nullptr);

// Adds to the working tables of Zarv.mdb the columns a database made by an
// earlier version lacks. Raises DbError when the database refuses.
void addMissingColumns(db::Connection& zarv);

} // namespace zarv
