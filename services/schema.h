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

// What is wrong with the database file at path: "" when it opens and passes
// SQLite's quick check, otherwise the first fault found in plain words of the
// database engine ("database disk image is malformed").
QString databaseDamage(const QString& path);

// Copies into the table of that name in the database `to` every row of it that
// can still be read from the damaged database `from`, column by column of
// `to`. Returns how many rows were kept.
long long copyReadableRows(const QString& from, const QString& to, const QString& table);

// Adds to the working tables of Zarv.mdb the columns a database made by an
// earlier version lacks. Raises DbError when the database refuses.
void addMissingColumns(db::Connection& zarv);

} // namespace zarv
