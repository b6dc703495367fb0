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
    return enclosed(name, u'"');
}

QString enclosed(QStringView text, QChar quote)
{
    QString out;
    out.reserve(text.size() + text.count(quote) + 2);
    out += quote;
    for (const QChar c : text) {
        out += c;
        if (c == quote)
            out += quote;
    }
    out += quote;
    return out;
}

QString undoubled(QStringView inner, QChar quote)
{
    QString out;
    out.reserve(inner.size());
    for (qsizetype i = 0; i < inner.size(); ++i) {
        out += inner[i];
        if (inner[i] == quote && i + 1 < inner.size() && inner[i + 1] == quote)
            ++i;
    }
    return out;
}

} // namespace zarv::db::detail
