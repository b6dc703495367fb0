#include "platform/data/filter.h"

#include "platform/data/connection.h"
#include "platform/data/dberror.h"
#include "platform/data/rowset.h"

#include <algorithm>

namespace zarv::db::detail {

void raiseBadArguments()
{
    throw DbError(DbError::BadArguments,
                  QStringLiteral("Arguments are of the wrong type, are out of acceptable range, "
                                 "or are in conflict with one another."));
}

namespace {

bool isNameChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'_' || c == u'$' || c == u'#';
}

class Parser {
public:
    Parser(const QString& text, const RowSet& rows) : s_(text), rows_(rows) {}

    std::vector<Condition> parse()
    {
        std::vector<Condition> out;
        skipBlanks();
        if (atEnd())
            return out;
        for (;;) {
            out.push_back(condition());
            skipBlanks();
            if (atEnd())
                return out;
            expectAnd();
        }
    }

private:
    bool atEnd() const { return i_ >= s_.size(); }
    QChar peek(qsizetype ahead = 0) const { return peekAt(i_ + ahead); }
    QChar peekAt(qsizetype at) const { return at < s_.size() ? s_[at] : QChar(); }

    void skipBlanks()
    {
        while (!atEnd() && s_[i_].isSpace())
            ++i_;
    }

    void expectAnd()
    {
        if (QStringView(s_).mid(i_, 3).compare(QLatin1String("AND"), Qt::CaseInsensitive) != 0 || !peek(3).isSpace())
            raiseBadArguments();
        i_ += 3;
        skipBlanks();
    }

    Condition condition()
    {
        Condition c;
        c.field = rows_.fieldIndex(fieldName());
        if (c.field < 0)
            raiseBadArguments();
        skipBlanks();
        c.op = op();
        skipBlanks();
        c.literal = literal();
        const Field& f = rows_.fields()[size_t(c.field)];
        // Only a number column compares a literal as a number.
        c.literalNumeric = f.numeric() && readNumber(c.literal, &c.number);
        if (c.op == Op::Like)
            c.like = LikePattern(c.literal);
        if (c.op == Op::Eq || c.op == Op::Ne)
            c.key = literalKey(f, c.literal);
        return c;
    }

    QStringView fieldName()
    {
        if (peek() == u'[') {
            const qsizetype close = s_.indexOf(u']', i_ + 1);
            if (close < 0 || close == i_ + 1)
                raiseBadArguments();
            const QStringView name = QStringView(s_).mid(i_ + 1, close - i_ - 1);
            i_ = close + 1;
            return name;
        }
        const qsizetype start = i_;
        while (!atEnd() && isNameChar(s_[i_]))
            ++i_;
        if (i_ == start)
            raiseBadArguments();
        return QStringView(s_).mid(start, i_ - start);
    }

    Op op()
    {
        const QChar a = peek();
        const QChar b = peek(1);
        if (a == u'<' && b == u'>') return take(2, Op::Ne);
        if (a == u'<' && b == u'=') return take(2, Op::Le);
        if (a == u'>' && b == u'=') return take(2, Op::Ge);
        if (a == u'=') return take(1, Op::Eq);
        if (a == u'<') return take(1, Op::Lt);
        if (a == u'>') return take(1, Op::Gt);
        if (QStringView(s_).mid(i_, 4).compare(QLatin1String("LIKE"), Qt::CaseInsensitive) == 0 &&
            (peek(4).isSpace() || peek(4) == u'\''))
            return take(4, Op::Like);
        raiseBadArguments();
    }

    Op take(qsizetype n, Op o)
    {
        i_ += n;
        return o;
    }

    QString literal()
    {
        if (peek() == u'\'')
            return quotedText();
        const qsizetype start = i_;
        if (peek() == u'+' || peek() == u'-')
            ++i_;
        while (!atEnd() && (s_[i_].isDigit() || s_[i_] == u'.'))
            ++i_;
        if (!atEnd() && (s_[i_] == u'e' || s_[i_] == u'E')) {
            ++i_;
            if (peek() == u'+' || peek() == u'-')
                ++i_;
            while (!atEnd() && s_[i_].isDigit())
                ++i_;
        }
        const QString text = s_.mid(start, i_ - start);
        if (!readNumber(text, nullptr))
            raiseBadArguments();
        return text;
    }

    QString quotedText()
    {
        ++i_;   // opening quote
        const qsizetype close = s_.indexOf(u'\'', i_);
        if (close < 0)
            raiseBadArguments();
        if (peekAt(close + 1) != u'\'') {   // no doubled quote: one piece
            QString out = s_.mid(i_, close - i_);
            i_ = close + 1;
            return out;
        }
        QString out;
        for (;;) {
            if (atEnd())
                raiseBadArguments();
            const QChar c = s_[i_++];
            if (c != u'\'') {
                out += c;
            } else if (peek() == u'\'') {
                out += c;
                ++i_;
            } else {
                return out;
            }
        }
    }

    const QString& s_;
    const RowSet& rows_;
    qsizetype i_ = 0;
};

int compareNumbers(double a, double b)
{
    return a < b ? -1 : (a > b ? 1 : 0);
}

bool orderHolds(Op op, int cmp)
{
    switch (op) {
    case Op::Lt: return cmp < 0;
    case Op::Gt: return cmp > 0;
    case Op::Le: return cmp <= 0;
    case Op::Ge: return cmp >= 0;
    default: return false;
    }
}

} // namespace

Filter parseFilter(const QString& text, const RowSet& rows)
{
    Filter f;
    f.conditions = Parser(text, rows).parse();
    std::vector<std::pair<int, int>> eqs;   // (field, condition)
    for (int i = 0; i < int(f.conditions.size()); ++i) {
        const Condition& c = f.conditions[size_t(i)];
        const bool taken = std::any_of(eqs.begin(), eqs.end(), [&](const auto& e) { return e.first == c.field; });
        if (c.op == Op::Eq && !taken)
            eqs.emplace_back(c.field, i);
        else
            f.rest.push_back(i);
    }
    std::sort(eqs.begin(), eqs.end());
    for (const auto& [field, cond] : eqs) {
        f.indexFields.push_back(field);
        f.indexKey += f.conditions[size_t(cond)].key;
    }
    return f;
}

bool passes(const Condition& c, const Field& f, const QVariant& value)
{
    switch (c.op) {
    case Op::Eq:
        return cellKey(f, value) == c.key;
    case Op::Ne:
        return cellKey(f, value) != c.key;
    case Op::Like:
        return c.like.matches(cellText(value));
    default:
        break;
    }
    double d = 0;
    if (f.numeric() && c.literalNumeric && cellNumber(value, &d))
        return orderHolds(c.op, compareNumbers(d, c.number));
    return orderHolds(c.op, compareText(cellText(value), c.literal));
}

bool passesAll(const Filter& filter, const RowSet& rows, int row)
{
    const auto& values = rows.row(row).values;
    for (const Condition& c : filter.conditions) {
        if (!passes(c, rows.fields()[size_t(c.field)], values[size_t(c.field)]))
            return false;
    }
    return true;
}

bool passesRest(const Filter& filter, const RowSet& rows, int row)
{
    const auto& values = rows.row(row).values;
    for (const int i : filter.rest) {
        const Condition& c = filter.conditions[size_t(i)];
        if (!passes(c, rows.fields()[size_t(c.field)], values[size_t(c.field)]))
            return false;
    }
    return true;
}

} // namespace zarv::db::detail
