#include "platform/data/sqlitecall.h"

#include "platform/data/dberror.h"

#include <sqlite3.h>

namespace zarv::db::detail {

QString sqliteMessage(sqlite3* db)
{
    if (!db)
        return QStringLiteral("The database could not be opened (out of memory).");
    const QString detail = QString::fromUtf8(sqlite3_errmsg(db));
    const int code = sqlite3_extended_errcode(db);
    if (code == SQLITE_CONSTRAINT_UNIQUE || code == SQLITE_CONSTRAINT_PRIMARYKEY) {
        return QStringLiteral("The changes you requested to the table were not successful because they would "
                              "create duplicate values in the index, primary key, or relationship. (%1)")
            .arg(detail);
    }
    return detail;
}

void raiseSqlite(sqlite3* db)
{
    throw DbError(DbError::DatabaseFailure, sqliteMessage(db));
}

void exec(sqlite3* db, const char* sql)
{
    if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        raiseSqlite(db);
}

QString quoteIdentifier(const QString& name)
{
    QString inner = name;
    inner.replace(u'"', QStringLiteral("\"\""));
    return u'"' + inner + u'"';
}

} // namespace zarv::db::detail
