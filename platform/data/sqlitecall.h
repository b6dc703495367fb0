#pragma once
// Turning SQLite's result codes into the DbError a caller is shown.
#include <QString>
#include <QStringView>

struct sqlite3;

namespace zarv::db::detail {

// The last error of the handle in words; a duplicate key is named as such.
QString sqliteMessage(sqlite3* db);
[[noreturn]] void raiseSqlite(sqlite3* db);
// Runs statements without result rows; raises on failure.
void exec(sqlite3* db, const char* sql);
QString quoteIdentifier(const QString& name);
// `text` between two `quote`s, each quote inside doubled, as SQL writes a
// literal or a name; and the inside of one read back. Both in one pass, so
// a text of nothing but quotes costs no more than any other.
QString enclosed(QStringView text, QChar quote);
QString undoubled(QStringView inner, QChar quote);

} // namespace zarv::db::detail
