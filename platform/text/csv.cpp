#include "platform/text/csv.h"

#include <QVarLengthArray>

#include <limits>

namespace zarv::csv {

namespace {

// The one rule of split(). Without fields only walks the line; *unclosedAt is
// where a quote that opens a field and never closes stands.
int splitLine(QStringView line, QStringView* fields, int max, QString& storage, qsizetype* unclosedAt)
{
    int n = 0;
    if (!line.contains(u'"')) {
        QStringView rest = line;
        while (n < max) {
            const qsizetype comma = rest.indexOf(u',');
            if (comma < 0) {
                if (fields)
                    fields[n] = rest;
                return n + 1;
            }
            if (fields)
                fields[n] = rest.left(comma);
            ++n;
            rest = rest.mid(comma + 1);
        }
        return n;
    }
    // No field is longer than the line: storage is sized once and never moves.
    storage.resize(line.size());
    QChar* out = storage.data();
    qsizetype i = 0;
    while (n < max) {
        QChar* const start = out;
        if (i < line.size() && line[i] == u'"') {
            const qsizetype opening = i;
            for (++i;; ++i) {
                if (i >= line.size()) {
                    *unclosedAt = opening;
                    break;
                }
                if (line[i] == u'"') {
                    if (i + 1 < line.size() && line[i + 1] == u'"') {
                        *out++ = line[++i];
                        continue;
                    }
                    ++i;
                    break;
                }
                *out++ = line[i];
            }
        }
        for (; i < line.size() && line[i] != u','; ++i)
            *out++ = line[i];
        if (fields)
            fields[n] = QStringView(start, out - start);
        ++n;
        if (i >= line.size())
            return n;
        ++i;   // the comma
    }
    return n;
}

} // namespace

int split(QStringView line, QStringView* fields, int max, QString& storage, bool* unclosed)
{
    qsizetype unclosedAt = -1;
    const int n = splitLine(line, fields, max, storage, &unclosedAt);
    if (unclosed && unclosedAt >= 0)
        *unclosed = true;
    return n;
}

QStringList split(QStringView line, int count)
{
    QStringList out;
    if (count <= 0)
        return out;
    QVarLengthArray<QStringView, 16> fields(count);
    QString storage;
    const int n = split(line, fields.data(), count, storage);
    out.reserve(count);
    for (int i = 0; i < count; ++i)
        out.append(i < n ? fields[i].toString() : QString());
    return out;
}

qsizetype unclosedQuote(QStringView line)
{
    if (!line.contains(u'"'))
        return -1;
    QString storage;
    qsizetype unclosedAt = -1;
    splitLine(line, nullptr, std::numeric_limits<int>::max(), storage, &unclosedAt);
    return unclosedAt;
}

bool needsQuotes(QStringView value)
{
    // The characters that need quotes, as bits of their codes (all below 64).
    constexpr quint64 kSpecial = (1ull << '\n') | (1ull << '\r') | (1ull << '"') | (1ull << ',');
    for (const QChar c : value) {
        const char16_t u = c.unicode();
        if (u < 64 && (kSpecial >> u) & 1)
            return true;
    }
    return false;
}

void appendField(QString& line, QStringView value)
{
    if (!needsQuotes(value)) {
        line += value;
        return;
    }
    line += u'"';
    for (const QChar c : value) {
        if (c == u'"')
            line += u'"';
        line += c;
    }
    line += u'"';
}

QString join(const QStringList& fields)
{
    QString line;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            line += u',';
        appendField(line, fields[i]);
    }
    return line;
}

bool isBlankLine(QStringView line)
{
    for (const QChar c : line) {
        if (c != u' ' && c != u'\t' && c != u',' && c != kEndOfFile)
            return false;
    }
    return true;
}

} // namespace zarv::csv
