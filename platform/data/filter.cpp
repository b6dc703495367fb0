#include "platform/data/filter.h"

#include "platform/data/connection.h"
#include "platform/data/dberror.h"
#include "platform/data/rowset.h"

#include <QVarLengthArray>
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

// A scanner over the text: no copies of it are made, and the conditions it
// fills keep their storage from one parse to the next.
class Parser {
public:
    Parser(QStringView text, const RowSet& rows) : s_(text), rows_(rows) {}

    void parse(std::vector<Condition>& out)
    {
        size_t count = 0;
        skipBlanks();
        if (!atEnd()) {
            for (;;) {   // a condition must follow every AND
                if (count == out.size())
                    out.emplace_back();
                condition(out[count++]);
                skipBlanks();
                if (atEnd())
                    break;
                expectAnd();
            }
        }
        out.resize(count);
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

    // The word at the current place, in any letter case.
    bool wordAhead(QLatin1String word) const
    {
        const qsizetype n = word.size();
        if (s_.size() - i_ < n)
            return false;
        for (qsizetype k = 0; k < n; ++k) {
            const char16_t c = s_[i_ + k].unicode();
            if (c >= 0x80)   // the general rule for the rare text beyond ASCII
                return s_.mid(i_, n).compare(word, Qt::CaseInsensitive) == 0;
            if (foldUnit(c) != char16_t(word[k].unicode()))
                return false;
        }
        return true;
    }

    void expectAnd()
    {
        if (!wordAhead(QLatin1String("AND")) || !peek(3).isSpace())
            raiseBadArguments();
        i_ += 3;
        skipBlanks();
    }

    void condition(Condition& c)
    {
        c.field = rows_.fieldIndexInText(fieldName());
        if (c.field < 0)
            raiseBadArguments();
        skipBlanks();
        c.op = op();
        skipBlanks();
        literal(c.literal);
        const Field& f = rows_.fields()[size_t(c.field)];
        // Only a number column compares a literal as a number.
        c.number = 0;
        c.literalNumeric = f.numeric() && readNumber(c.literal, &c.number);
        c.like = c.op == Op::Like ? LikePattern(c.literal) : LikePattern();
        c.key.resize(0);
        if (c.op == Op::Eq || c.op == Op::Ne)
            appendLiteralKey(c.key, f, c.literal);
    }

    QStringView fieldName()
    {
        if (peek() == u'[') {
            const qsizetype close = s_.indexOf(u']', i_ + 1);
            if (close < 0 || close == i_ + 1)
                raiseBadArguments();
            const QStringView name = s_.mid(i_ + 1, close - i_ - 1);
            i_ = close + 1;
            return name;
        }
        const qsizetype start = i_;
        while (!atEnd() && isNameChar(s_[i_]))
            ++i_;
        if (i_ == start)
            raiseBadArguments();
        return s_.mid(start, i_ - start);
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
        if (wordAhead(QLatin1String("LIKE")) && (peek(4).isSpace() || peek(4) == u'\''))
            return take(4, Op::Like);
        raiseBadArguments();
    }

    Op take(qsizetype n, Op o)
    {
        i_ += n;
        return o;
    }

    void literal(QString& out)
    {
        out.resize(0);
        if (peek() == u'\'') {
            quotedText(out);
            return;
        }
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
        const QStringView text = s_.mid(start, i_ - start);
        if (!readNumber(text, nullptr))
            raiseBadArguments();
        out.append(text);
    }

    void quotedText(QString& out)
    {
        ++i_;   // opening quote
        qsizetype close = i_;
        while (close < s_.size() && s_[close] != u'\'')
            ++close;
        if (close == s_.size())
            raiseBadArguments();
        if (peekAt(close + 1) != u'\'') {   // no doubled quote: one piece
            out.append(s_.mid(i_, close - i_));
            i_ = close + 1;
            return;
        }
        for (;;) {
            if (atEnd())
                raiseBadArguments();
            const QChar c = s_[i_++];
            if (c != u'\'') {
                out.append(c);
            } else if (peek() == u'\'') {
                out.append(c);
                ++i_;
            } else {
                return;
            }
        }
    }

    QStringView s_;
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

void parseFilterInto(QStringView text, const RowSet& rows, Filter& f)
{
    Parser(text, rows).parse(f.conditions);
    f.indexFields.clear();
    f.indexKey.resize(0);
    f.rest.clear();
    QVarLengthArray<std::pair<int, int>, 16> eqs;   // (field, condition)
    for (int i = 0; i < int(f.conditions.size()); ++i) {
        const Condition& c = f.conditions[size_t(i)];
        const bool taken = std::any_of(eqs.begin(), eqs.end(), [&](const auto& e) { return e.first == c.field; });
        if (c.op == Op::Eq && !taken)
            eqs.append({c.field, i});
        else
            f.rest.push_back(i);
    }
    std::sort(eqs.begin(), eqs.end());
    for (const auto& [field, cond] : eqs) {
        f.indexFields.push_back(field);
        f.indexKey.append(QStringView(f.conditions[size_t(cond)].key));
    }
}

std::shared_ptr<const Filter> FilterCache::get(const QString& text, const RowSet& rows)
{
    const size_t h = size_t(hashUnits(text));
    for (Entry& e : entries_) {
        if (e.used != 0 && e.hash == h && e.text == text) {
            e.used = ++clock_;
            return e.filter;
        }
    }
    Entry& e = victim();
    e.used = 0;
    // Parsed over in place when no cursor holds it any more.
    if (!e.filter || e.filter.use_count() > 1)
        e.filter = std::make_shared<Filter>();
    parseFilterInto(text, rows, *e.filter);
    e.text = text;
    e.hash = h;
    e.used = ++clock_;
    return e.filter;
}

FilterCache::Entry& FilterCache::victim()
{
    // An empty entry, else the one used longest ago that no cursor holds, else
    // the one used longest ago.
    Entry* best = nullptr;
    for (Entry& e : entries_) {
        if (!e.filter)
            return e;
        const bool free = e.filter.use_count() == 1;
        const bool bestFree = best && best->filter.use_count() == 1;
        if (!best || (free && !bestFree) || (free == bestFree && e.used < best->used))
            best = &e;
    }
    return *best;
}

bool passes(const Condition& c, const Field& f, const Cell& value)
{
    switch (c.op) {
    case Op::Eq:
        return cellMatchesKey(f, value, c.key);
    case Op::Ne:
        return !cellMatchesKey(f, value, c.key);
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
