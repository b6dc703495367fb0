#include "platform/data/criteria.h"

#include "platform/data/sqlitecall.h"

namespace zarv::db {

namespace {

// The value with the characters LIKE treats as wildcards bracketed; the quote
// is doubled afterwards by quoted().
QString likeEscaped(const QString& value)
{
    QString out;
    out.reserve(value.size() + 8);
    for (const QChar c : value) {
        if (c == u'%' || c == u'_' || c == u'*' || c == u'[') {
            out += u'[';
            out += c;
            out += u']';
        } else {
            out += c;
        }
    }
    return out;
}

} // namespace

QString quoted(const QString& value)
{
    return detail::enclosed(value, u'\'');
}

QString likeContains(const QString& value)
{
    return quoted(u'%' + likeEscaped(value) + u'%');
}

QString eq(const QString& field, const QString& value)
{
    return field + QStringLiteral(" = ") + quoted(value) + u' ';
}

QString ne(const QString& field, const QString& value)
{
    return field + QStringLiteral(" <> ") + quoted(value) + u' ';
}

QString contains(const QString& field, const QString& value)
{
    return field + QStringLiteral(" LIKE ") + likeContains(value) + u' ';
}

} // namespace zarv::db
