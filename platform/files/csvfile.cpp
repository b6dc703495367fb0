#include "platform/files/csvfile.h"

#include "platform/files/textfile.h"
#include "platform/text/codepage.h"
#include "platform/text/csv.h"

#include <QDir>
#include <QFile>
#include <QStringList>

#include <algorithm>
#include <cstring>

namespace zarv::fs {

namespace {

// How many lines a refusal names.
constexpr int kLinesNamed = 10;

bool anyHighByte(const char* data, qsizetype size)
{
    constexpr quint64 kHighBits = 0x8080808080808080ull;
    qsizetype i = 0;
    for (; i + 8 <= size; i += 8) {
        quint64 word;
        std::memcpy(&word, data + i, sizeof word);
        if (word & kHighBits)
            return true;
    }
    for (; i < size; ++i)
        if (static_cast<unsigned char>(data[i]) & 0x80)
            return true;
    return false;
}

bool continuation(unsigned char b) { return (b & 0xC0) == 0x80; }

// Whether the bytes are well-formed UTF-8 (no overlong form, no surrogate,
// nothing beyond U+10FFFF).
bool validUtf8(const char* data, qsizetype size)
{
    const auto* p = reinterpret_cast<const unsigned char*>(data);
    const auto* end = p + size;
    while (p < end) {
        const unsigned char c = *p;
        if (c < 0x80) {
            ++p;
            continue;
        }
        int more;
        if (c >= 0xC2 && c < 0xE0)
            more = 1;
        else if (c >= 0xE0 && c < 0xF0)
            more = 2;
        else if (c >= 0xF0 && c < 0xF5)
            more = 3;
        else
            return false;
        if (end - p <= more)
            return false;
        for (int k = 1; k <= more; ++k)
            if (!continuation(p[k]))
                return false;
        if ((c == 0xE0 && p[1] < 0xA0) || (c == 0xED && p[1] >= 0xA0) || (c == 0xF0 && p[1] < 0x90) ||
            (c == 0xF4 && p[1] >= 0x90))
            return false;
        p += more + 1;
    }
    return true;
}

// The characters of a line Windows-1252 cannot hold, each once and quoted
// ("" when it can hold them all).
QString unwritableCharacters(const QString& line)
{
    qsizetype at = txt::FirstOutsideCp1252(line);
    if (at < 0)
        return {};
    QStringList found;
    for (; at < line.size(); ++at) {
        if (txt::Cp1252Byte(line[at].unicode()) >= 0)
            continue;
        const qsizetype n = line[at].isHighSurrogate() && at + 1 < line.size() ? 2 : 1;
        const QString c = QLatin1Char('"') + line.mid(at, n) + QLatin1Char('"');
        if (!found.contains(c))
            found << c;
        at += n - 1;
    }
    return found.join(QLatin1Char(' '));
}

enum Separator { Comma, Semicolon, Tab, kSeparators };

char16_t unit(const char* p, qsizetype i) { return static_cast<unsigned char>(p[i]); }
char16_t unit(const QChar* p, qsizetype i) { return p[i].unicode(); }

// Which separator a line's fields use: the comma as soon as it holds one
// outside quotes (the program's own lines of fields always do, whatever their
// values hold); otherwise the semicolon or the tab it holds most often outside
// quotes. kSeparators for a blank line or one with none.
template <typename Char>
Separator separatorOf(const Char* p, qsizetype size)
{
    int semicolons = 0;
    int tabs = 0;
    bool quoted = false;
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t c = unit(p, i);
        if (c == u'"')
            quoted = !quoted;
        else if (quoted)
            continue;
        else if (c == u',')
            return Comma;
        else if (c == u';')
            ++semicolons;
        else if (c == u'\t')
            ++tabs;
    }
    if (semicolons + tabs == 0)
        return kSeparators;
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t c = unit(p, i);
        if (c != u' ' && c != u'\t' && c != csv::kEndOfFile)
            return semicolons >= tabs ? Semicolon : Tab;
    }
    return kSeparators;   // blank
}

QString separatorRefusal(Separator s, qsizetype lineNumber, const QString& line)
{
    return QStringLiteral("The fields of this file are separated by %1, not by commas (line %2: %3). Open the "
                          "file in the spreadsheet program and save it again as CSV with the comma as field "
                          "separator: in LibreOffice, File > Save As, file type \"Text CSV\" with \"Edit filter "
                          "settings\" ticked, field delimiter \",\"; in Excel, Save As \"CSV (Comma delimited)\", "
                          "with the comma as list separator in the region settings. Then try again.")
        .arg(s == Semicolon ? QStringLiteral("semicolons (;)") : QStringLiteral("tabs (Tab)"))
        .arg(lineNumber)
        .arg(line);
}

} // namespace

void CsvReader::Named::add(const QString& text)
{
    if (++count <= kLinesNamed)
        lines << text;
}

QString CsvReader::Named::text() const
{
    QString out = lines.join(QLatin1Char('\n'));
    if (count > kLinesNamed)
        out += QStringLiteral("\n... and %1 more lines").arg(count - kLinesNamed);
    return out;
}

bool CsvReader::open(const QString& path, Split split)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error_ = QStringLiteral("Could not open %1: %2").arg(QDir::toNativeSeparators(path), file.errorString());
        return false;
    }
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        error_ = QStringLiteral("Could not read %1: %2").arg(QDir::toNativeSeparators(path), file.errorString());
        return false;
    }
    open(std::move(bytes), split);
    return true;
}

void CsvReader::open(QByteArray bytes, Split split)
{
    bytes_ = std::move(bytes);
    lines_.clear();
    next_ = 0;
    separator_.clear();
    unclosed_ = {};
    unwritable_ = {};
    error_.clear();
    examine(split);
    judge();
}

bool CsvReader::fieldsSeparatedByCommas(const QString& line)
{
    const Separator s = separatorOf(line.constData(), line.size());
    if (s == Comma || s == kSeparators)
        return true;
    if (separator_.isEmpty()) {
        separator_ = separatorRefusal(s, lineNumber(), line);
        judge();
    }
    return false;
}

void CsvReader::noteUnclosedQuote(const QString& line)
{
    unclosed_.add(QStringLiteral("line %1: %2").arg(lineNumber()).arg(line));
    judge();
}

bool CsvReader::readLine(QString& line)
{
    if (next_ >= lines_.size())
        return false;
    line = decode(lines_[next_++]);
    return true;
}

void CsvReader::close()
{
    bytes_ = QByteArray();
    lines_ = {};
    next_ = 0;
}

QString CsvReader::decode(const Line& line) const
{
    const char* p = bytes_.constData() + line.begin;
    if (encoding_ == Encoding::Windows1252)
        return decodeCp1252(QByteArrayView(p, line.end - line.begin));
    return QString::fromUtf8(p, line.end - line.begin);
}

void CsvReader::examine(Split split)
{
    const char* data = bytes_.constData();
    qsizetype begin = 0;
    qsizetype end = bytes_.size();
    if (bytes_.startsWith("\xEF\xBB\xBF")) {
        encoding_ = Encoding::Utf8WithMark;
        begin = 3;
    } else {
        encoding_ = anyHighByte(data, end) && validUtf8(data, end) ? Encoding::Utf8 : Encoding::Windows1252;
    }

    // The end-of-file mark ends the last line, before or after its line end.
    qsizetype markEnd = end;
    if (markEnd > begin && data[markEnd - 1] == '\n')
        --markEnd;
    if (markEnd > begin && data[markEnd - 1] == '\r')
        --markEnd;
    qsizetype mark = markEnd;
    while (mark > begin && data[mark - 1] == char(csv::kEndOfFile))
        --mark;
    if (mark < markEnd) {
        bytes_.remove(mark, markEnd - mark);
        data = bytes_.constData();
        end = bytes_.size();
    }

    // Where the next CR and LF stand (end for none), searched again only once
    // passed, so that a file with one kind of line end is searched once.
    qsizetype nextCr = -1, nextLf = -1;
    auto next = [&](char c, qsizetype& cache, qsizetype at) {
        if (cache < at) {
            const void* hit = std::memchr(data + at, c, size_t(end - at));
            cache = hit ? static_cast<const char*>(hit) - data : end;
        }
        return cache;
    };
    for (qsizetype at = begin; at < end;) {
        const qsizetype stop = std::min(next('\r', nextCr, at), next('\n', nextLf, at));
        lines_.push_back({at, stop});
        at = stop + 1;
        if (stop < end && data[stop] == '\r' && at < end && data[at] == '\n')
            ++at;
    }

    int votes[kSeparators] = {};
    int firstVote[kSeparators] = {};
    const bool utf8 = encoding_ != Encoding::Windows1252;
    for (size_t n = 0; n < lines_.size(); ++n) {
        const Line& l = lines_[n];
        const char* p = data + l.begin;
        const qsizetype size = l.end - l.begin;
        if (split == Split::EveryLine) {
            Separator s = kSeparators;
            if (std::memchr(p, ';', size_t(size)) || std::memchr(p, '\t', size_t(size)))
                s = separatorOf(p, size);
            else if (std::memchr(p, ',', size_t(size)))
                s = Comma;
            if (s != kSeparators && votes[s]++ == 0)
                firstVote[s] = int(n);
        }
        const bool quote = split == Split::EveryLine && std::memchr(p, '"', size_t(size)) != nullptr;
        const bool high = utf8 && anyHighByte(p, size);
        if (!quote && !high)
            continue;
        const QString text = decode(l);
        if (quote && csv::unclosedQuote(text) >= 0)
            unclosed_.add(QStringLiteral("line %1: %2").arg(n + 1).arg(text));
        if (high) {
            const QString found = unwritableCharacters(text);
            if (!found.isEmpty())
                unwritable_.add(QStringLiteral("line %1 holds %2: %3").arg(QString::number(n + 1), found, text));
        }
    }

    Separator used = Comma;
    for (int sep = Semicolon; sep < kSeparators; ++sep)
        if (votes[sep] > votes[used])
            used = Separator(sep);
    if (used != Comma)
        separator_ = separatorRefusal(used, firstVote[used] + 1, decode(lines_[size_t(firstVote[used])]));
}

// The refusal of what was found, the separator first: with another separator
// no quote can be judged.
void CsvReader::judge()
{
    fault_ = Fault::None;
    refusal_.clear();
    if (!separator_.isEmpty()) {
        fault_ = Fault::Separator;
        refusal_ = separator_;
    } else if (unclosed_.count > 0) {
        fault_ = Fault::UnclosedQuote;
        refusal_ = QStringLiteral("On these lines a double quote opens a field and never closes, so where the "
                                  "field ends cannot be told. Close or remove the quote, then try again.\n") +
                   unclosed_.text();
    } else if (unwritable_.count > 0) {
        fault_ = Fault::Unwritable;
        refusal_ = QStringLiteral("The file is read as UTF-8 (%1) and holds characters that Windows-1252, the "
                                  "character set of the files the program writes, cannot hold; they would be "
                                  "lost. Replace them and try again.\n")
                       .arg(encoding_ == Encoding::Utf8WithMark ? QStringLiteral("it begins with a byte-order mark")
                                                                 : QStringLiteral("it is valid UTF-8"))
                   + unwritable_.text();
    }
}

} // namespace zarv::fs
