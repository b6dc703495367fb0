#pragma once
// Builds filter and find texts from values a user typed, so that no value can
// break or widen a condition: a quote is doubled, and under LIKE the wildcard
// characters % _ * and [ are matched as themselves.
#include <QString>

namespace zarv::db {

QString quoted(const QString& value);                 // 'O''Hara'
QString likeContains(const QString& value);           // '%50[%] off%'
// "FIELD = 'value' " and "FIELD LIKE '%value%' " with the trailing blank the
// program's conditions carry.
QString eq(const QString& field, const QString& value);
QString ne(const QString& field, const QString& value);
QString contains(const QString& field, const QString& value);

} // namespace zarv::db
