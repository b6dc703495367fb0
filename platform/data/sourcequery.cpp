#include "platform/data/sourcequery.h"

#include "platform/data/connection.h"
#include "platform/data/sqlitecall.h"

#include <QRegularExpression>

namespace zarv::db::detail {

namespace {

QString unquoted(const QString& token)
{
    if (token.size() >= 2) {
        const QChar first = token.front();
        const QChar last = token.back();
        if ((first == u'"' && last == u'"') || (first == u'`' && last == u'`'))
            return undoubled(QStringView(token).mid(1, token.size() - 2), first);
        if (first == u'[' && last == u']')
            return token.mid(1, token.size() - 2);
    }
    return token;
}

bool isWordUnit(QChar c)
{
    return c.isLetterOrNumber() || c == u'_' || c == u'$';
}

// The position after the quoted name or literal starting at `i`; -1 when it
// is not closed.
qsizetype quotedEnd(QStringView text, qsizetype i)
{
    const QChar open = text[i];
    const QChar close = open == u'[' ? QChar(u']') : open;
    for (++i; i < text.size(); ++i) {
        if (text[i] != close)
            continue;
        if (close != u']' && i + 1 < text.size() && text[i + 1] == close) {
            ++i;   // a doubled quote stands for itself
            continue;
        }
        return i + 1;
    }
    return -1;
}

// The same, the end of the text when it is not closed.
qsizetype skipQuoted(QStringView text, qsizetype i)
{
    const qsizetype end = quotedEnd(text, i);
    return end < 0 ? text.size() : end;
}

qsizetype skipBlanks(QStringView text, qsizetype i)
{
    while (i < text.size() && text[i].isSpace())
        ++i;
    return i;
}

bool isAsciiLetter(QChar c)
{
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
}

// Calls `at(i, depth)` for each position of the text outside quotes and
// brackets (depth: of parentheses) from `from` on, until it returns true;
// returns that position, or -1.
template <typename At>
qsizetype scanUnquoted(QStringView text, qsizetype from, At at)
{
    int depth = 0;
    qsizetype i = from;
    while (i < text.size()) {
        const QChar c = text[i];
        if (c == u'\'' || c == u'"' || c == u'`' || c == u'[') {
            i = skipQuoted(text, i);
            continue;
        }
        if (c == u'(')
            ++depth;
        else if (c == u')')
            --depth;
        else if (at(i, depth))
            return i;
        ++i;
    }
    return -1;
}

// A comment outside quotes: "--" or "/*".
bool hasComment(QStringView text)
{
    return scanUnquoted(text, 0, [&](qsizetype i, int) {
               return text.mid(i).startsWith(u"--") || text.mid(i).startsWith(u"/*");
           }) >= 0;
}

// Where `word` stands on its own at the top level, from `from` on; -1 when nowhere.
qsizetype findTopLevelWord(QStringView text, QStringView word, qsizetype from)
{
    return scanUnquoted(text, from, [&](qsizetype i, int depth) {
        return depth == 0 && (i == 0 || !isWordUnit(text[i - 1])) && text.mid(i).startsWith(word, Qt::CaseInsensitive) &&
               (i + word.size() == text.size() || !isWordUnit(text[i + word.size()]));
    });
}

// The items of a list split at its top-level commas.
QList<QStringView> splitTopLevel(QStringView text)
{
    QList<QStringView> items;
    qsizetype start = 0;
    scanUnquoted(text, 0, [&](qsizetype i, int depth) {
        if (depth == 0 && text[i] == u',') {
            items.append(text.mid(start, i - start));
            start = i + 1;
        }
        return false;
    });
    items.append(text.mid(start));
    return items;
}

// "NAME", "NAME DESC", "\"Owner Name\" ASC": a column name and a direction.
// Anything more (an expression, a number, COLLATE, NULLS LAST) is left to the
// database.
std::optional<std::vector<OrderTerm>> parseOrderList(QStringView list)
{
    static const QRegularExpression term(
        QStringLiteral("^\\s*(\"(?:[^\"]|\"\")+\"|\\[[^\\]]+\\]|`(?:[^`]|``)+`|[A-Za-z_][A-Za-z0-9_$]*)"
                       "(?:\\s+(ASC|DESC))?\\s*$"),
        QRegularExpression::CaseInsensitiveOption);
    std::vector<OrderTerm> terms;
    for (QStringView item : splitTopLevel(list)) {
        const auto m = term.match(item);
        if (!m.hasMatch())
            return std::nullopt;
        terms.push_back({unquoted(m.captured(1)), m.captured(2).compare(QLatin1String("DESC"), Qt::CaseInsensitive) == 0});
    }
    return terms;
}

// "WHERE A = 'x' AND B = 'it''s'": the columns and their texts. Anything else
// (another operator, a number, OR, parentheses) is left to the database. Read
// in one pass: a literal may be long and made of quotes.
std::optional<std::vector<Equality>> parseEqualities(QStringView where)
{
    static const QRegularExpression whereWord(QStringLiteral("^WHERE\\s+"), QRegularExpression::CaseInsensitiveOption);
    const auto w = whereWord.match(where);
    if (!w.hasMatch())
        return std::nullopt;
    std::vector<Equality> out;
    const qsizetype n = where.size();
    qsizetype at = w.capturedLength();
    for (;;) {
        // The column: a quoted name, or a plain one.
        const qsizetype nameAt = at;
        if (at < n && (where[at] == u'"' || where[at] == u'[' || where[at] == u'`')) {
            at = quotedEnd(where, at);
            if (at < 0 || at - nameAt < 3)
                return std::nullopt;
        } else {
            if (at >= n || !(isAsciiLetter(where[at]) || where[at] == u'_'))
                return std::nullopt;
            while (at < n && (isAsciiLetter(where[at]) || (where[at] >= u'0' && where[at] <= u'9') || where[at] == u'_' || where[at] == u'$'))
                ++at;
        }
        const QString column = unquoted(where.mid(nameAt, at - nameAt).toString());
        at = skipBlanks(where, at);
        if (at >= n || where[at] != u'=')
            return std::nullopt;
        at = skipBlanks(where, at + 1);
        if (at >= n || where[at] != u'\'')
            return std::nullopt;
        const qsizetype literalAt = at;
        at = quotedEnd(where, at);
        if (at < 0)
            return std::nullopt;
        out.push_back({column, undoubled(where.mid(literalAt + 1, at - literalAt - 2), u'\'')});
        const qsizetype next = skipBlanks(where, at);
        if (next == n)
            return out;
        if (next == at || n - next < 4 || where.mid(next, 3).compare(u"AND", Qt::CaseInsensitive) != 0 ||
            !where[next + 3].isSpace())
            return std::nullopt;
        at = skipBlanks(where, next + 3);
    }
}

} // namespace

QString nameKey(const QString& unquotedName)
{
    QString key = unquotedName;
    for (QChar& c : key) {
        if (c >= u'a' && c <= u'z')
            c = QChar(char16_t(c.unicode() - 32));
    }
    return key;
}

SourceQuery sourceQuery(const QString& source)
{
    QString text = source.trimmed();
    while (text.endsWith(u';'))
        text = text.chopped(1).trimmed();

    static const QRegularExpression selectWord(QStringLiteral("^SELECT\\b"),
                                               QRegularExpression::CaseInsensitiveOption);
    SourceQuery q;
    if (!selectWord.match(text).hasMatch()) {
        q.tableName = unquoted(text);
        q.table = quoteIdentifier(q.tableName);
        q.sql = QStringLiteral("SELECT %1.rowid, %1.* FROM %1").arg(q.table);
        q.plain = QStringLiteral("SELECT * FROM %1").arg(q.table);
        q.wholeTable = true;
        return q;
    }
    q.plain = text;
    static const QRegularExpression selectAll(
        QStringLiteral("^SELECT\\s+\\*\\s+FROM\\s+(\"(?:[^\"]|\"\")+\"|\\[[^\\]]+\\]|`(?:[^`]|``)+`|[A-Za-z_][A-Za-z0-9_$]*)"
                       "(\\s+(?:WHERE|ORDER\\s+BY)\\b.*)?$"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    const auto m = selectAll.match(text);
    if (!m.hasMatch()) {
        q.sql = text;
        return q;
    }
    q.tableName = unquoted(m.captured(1));
    q.table = quoteIdentifier(q.tableName);
    const QString head = QStringLiteral("SELECT %1.rowid, %1.* FROM %1").arg(q.table);
    const QString tail = m.captured(2);
    q.sql = head + tail;

    const QStringView rest = QStringView(tail).trimmed();
    if (rest.isEmpty()) {
        q.wholeTable = true;
        return q;
    }
    if (hasComment(rest))
        return q;   // what a comment hides is the database's to read
    static const QRegularExpression orderBy(QStringLiteral("^ORDER\\s+BY\\b"), QRegularExpression::CaseInsensitiveOption);
    qsizetype orderAt = -1;
    if (orderBy.match(rest).hasMatch()) {
        orderAt = 0;
    } else {
        // After WHERE: its own ORDER BY at the top level, if any.
        for (qsizetype at = findTopLevelWord(rest, u"ORDER", 0); at >= 0; at = findTopLevelWord(rest, u"ORDER", at + 1)) {
            if (orderBy.match(rest.mid(at)).hasMatch()) {
                orderAt = at;
                break;
            }
        }
    }
    if (orderAt < 0)
        return q;
    const QStringView afterOrder = rest.mid(orderAt);
    const auto by = orderBy.match(afterOrder);
    q.order = parseOrderList(afterOrder.mid(by.capturedLength()));
    if (!q.order)
        return q;   // more than plain columns (a LIMIT, an expression): not known to be every row
    const QStringView where = rest.left(orderAt).trimmed();
    q.wholeTable = where.isEmpty();
    q.unordered = where.isEmpty() ? head : head + u' ' + where.toString();
    if (!where.isEmpty())
        q.equalities = parseEqualities(where);
    return q;
}

} // namespace zarv::db::detail
