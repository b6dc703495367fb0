#pragma once
// Turning SQLite's result codes into the DbError a caller is shown.
#include <QString>

struct sqlite3;

namespace zarv::db::detail {

// The last error of the handle in words; a duplicate key is named as such.
QString sqliteMessage(sqlite3* db);
[[noreturn]] void raiseSqlite(sqlite3* db);
// Runs statements without result rows; raises on failure.
void exec(sqlite3* db, const char* sql);
QString quoteIdentifier(const QString& name);

} // namespace zarv::db::detail
