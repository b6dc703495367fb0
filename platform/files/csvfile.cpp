#include "platform/files/csvfile.h"

#include "platform/files/textfile.h"
#include "platform/text/codepage.h"
#include "platform/text/csv.h"

#include <QDir>
#include <QFile>
#include <QStringList>

namespace zarv::fs {

namespace {

// How many lines a refusal names.
constexpr int kLinesNamed = 10;

enum Separator : unsigned char { Comma, Semicolon, Tab, kSeparators };

constexpr char16_t kSeparatorChar[kSeparators] = {u',', u';', u'\t'};

QString separatorName(Separator s)
{
    switch (s) {
    case Comma: return QStringLiteral("commas (,)");
    case Semicolon: return QStringLiteral("semicolons (;)");
    default: return QStringLiteral("tabs (Tab)");
    }
}

// The characters of a line Windows-1252 cannot hold, each once and quoted
// ("" when it can hold them all).
QString unwritableCharacters(QStringView line)
{
    qsizetype at = txt::FirstOutsideCp1252(line);
    if (at < 0)
        return {};
    QStringList found;
    for (; at < line.size(); ++at) {
        if (txt::Cp1252Byte(line[at].unicode()) >= 0)
            continue;
        const qsizetype n = line[at].isHighSurrogate() && at + 1 < line.size() ? 2 : 1;
        const QString c = QLatin1Char('"') + line.mid(at, n).toString() + QLatin1Char('"');
        if (!found.contains(c))
            found << c;
        at += n - 1;
    }
    return found.join(QLatin1Char(' '));
}

// How often a line holds each separator outside quotes.
struct Tally {
    int count[kSeparators] = {};
    bool any() const { return count[Comma] + count[Semicolon] + count[Tab] > 0; }
};

Tally tally(QStringView line)
{
    Tally t;
    bool quoted = false;
    for (const QChar ch : line) {
        const char16_t c = ch.unicode();
        if (c == u'"')
            quoted = !quoted;
        else if (quoted)
            continue;
        else if (c == u',')
            ++t.count[Comma];
        else if (c == u';')
            ++t.count[Semicolon];
        else if (c == u'\t')
            ++t.count[Tab];
    }
    return t;
}

// Which separator a line uses most often outside quotes (on a tie the other
// one: a line of the program's own form holds many more commas than any);
// kSeparators for one with none, or of nothing but separators and blanks.
Separator voteOf(QStringView line)
{
    const bool other = line.contains(u';') || line.contains(u'\t');
    if (!other)
        return line.contains(u',') ? Comma : kSeparators;
    bool content = false;
    for (const QChar c : line)
        content = content || (c != u' ' && c != u'\t' && c != u';' && c != u',' && c != QChar(csv::kEndOfFile));
    if (!content)
        return kSeparators;
    const Tally t = tally(line);
    if (!t.any())
        return kSeparators;
    Separator best = t.count[Semicolon] >= t.count[Tab] ? Semicolon : Tab;
    return t.count[Comma] > t.count[best] ? Comma : best;
}

Separator separatorOf(QChar c)
{
    return c == u',' ? Comma : c == u';' ? Semicolon : Tab;
}

} // namespace

QStringList splitFieldsBy(QStringView line, QChar sep, bool* unclosed)
{
    QStringList out;
    QString field;
    qsizetype i = 0;
    const qsizetype n = line.size();
    if (unclosed)
        *unclosed = false;
    for (;;) {
        field.clear();
        if (i < n && line[i] == u'"') {
            ++i;
            bool closed = false;
            while (i < n) {
                if (line[i] == u'"') {
                    if (i + 1 < n && line[i + 1] == u'"') {
                        field += QLatin1Char('"');
                        i += 2;
                        continue;
                    }
                    ++i;
                    closed = true;
                    break;
                }
                field += line[i++];
            }
            if (!closed && unclosed)
                *unclosed = true;
        }
        while (i < n && line[i] != sep)
            field += line[i++];
        out << field;
        if (i >= n)
            break;
        ++i;
    }
    return out;
}

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
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        error_ = QStringLiteral("Could not read %1: %2").arg(QDir::toNativeSeparators(path), file.errorString());
        return false;
    }
    open(bytes, split);
    return true;
}

void CsvReader::open(const QByteArray& bytes, Split split)
{
    text_ = decodeText(bytes);
    votes_.clear();
    next_ = 0;
    separator_ = QLatin1Char(',');
    disagreement_.clear();
    unclosed_ = {};
    unwritable_ = {};
    findings_.clear();
    error_.clear();
    examine(split);
    judge();
}

bool CsvReader::agrees(size_t n) const
{
    const Separator vote = Separator(votes_[n]);
    if (vote == kSeparators || kSeparatorChar[vote] == separator_.unicode())
        return true;
    return tally(text_.line(n)).count[separatorOf(separator_)] > 0;
}

bool CsvReader::unclosed(size_t n) const
{
    const QStringView line = text_.line(n);
    if (!line.contains(u'"'))
        return false;
    if (separator_ == u',')
        return csv::unclosedQuote(line) >= 0;
    bool open = false;
    splitFieldsBy(line, separator_, &open);
    return open;
}

bool CsvReader::fieldsAgree()
{
    if (next_ == 0 || agrees(next_ - 1))
        return true;
    if (disagreement_.isEmpty()) {
        const size_t n = next_ - 1;
        disagreement_ = QStringLiteral("The fields of this file are separated by %1, but line %2 separates its "
                                       "fields by %3: %4\nWhich fields the line holds cannot be told. Give "
                                       "every line the same separator, then try again.")
                            .arg(separatorName(separatorOf(separator_)))
                            .arg(n + 1)
                            .arg(separatorName(Separator(votes_[n])), text_.line(n).toString());
        judge();
    }
    return false;
}

bool CsvReader::quotesClose()
{
    if (next_ == 0 || !unclosed(next_ - 1))
        return true;
    unclosed_.add(QStringLiteral("line %1: %2").arg(next_).arg(text_.line(next_ - 1).toString()));
    judge();
    return false;
}

bool CsvReader::readLine(QString& line)
{
    if (next_ >= text_.lineCount())
        return false;
    // Only the line read last is looked at again (fieldsAgree, quotesClose).
    text_.releaseBefore(next_);
    const QStringView raw = text_.line(next_++);
    if (separator_ == u',') {
        line = raw.toString();
        return true;
    }
    line.clear();
    const QStringList fields = splitFieldsBy(raw, separator_);
    for (qsizetype f = 0; f < fields.size(); ++f) {
        if (f > 0)
            line += QLatin1Char(',');
        csv::appendField(line, fields[f]);
    }
    return true;
}

void CsvReader::close()
{
    text_ = {};
    votes_ = {};
    next_ = 0;
}

void CsvReader::examine(Split split)
{
    const size_t lines = text_.lineCount();
    votes_.assign(lines, kSeparators);
    int count[kSeparators] = {};
    for (size_t n = 0; n < lines; ++n) {
        const Separator v = voteOf(text_.line(n));
        votes_[n] = v;
        if (v != kSeparators)
            ++count[v];
    }
    Separator used = Comma;
    for (int s = Semicolon; s < kSeparators; ++s)
        if (count[s] > count[used])
            used = Separator(s);
    separator_ = QChar(kSeparatorChar[used]);

    const bool ownCharacters = text_.encoding == Encoding::Windows1252;
    for (size_t n = 0; n < lines; ++n) {
        if (split == Split::EveryLine) {
            if (disagreement_.isEmpty() && !agrees(n)) {
                next_ = n + 1;
                fieldsAgree();
            }
            if (unclosed(n))
                unclosed_.add(QStringLiteral("line %1: %2").arg(n + 1).arg(text_.line(n).toString()));
        }
        if (!ownCharacters) {
            const QString found = unwritableCharacters(text_.line(n));
            if (!found.isEmpty())
                unwritable_.add(QStringLiteral("line %1 holds %2: %3")
                                    .arg(QString::number(n + 1), found, text_.line(n).toString()));
        }
    }
    next_ = 0;

    if (!ownCharacters) {
        IntakeFinding f{IntakeFinding::Kind::Encoding, 0, {}, {}, {}};
        f.text = QStringLiteral("The file is read as %1; it will be written back in Windows-1252.")
                     .arg(encodingName(text_.encoding));
        // The first line beyond ASCII, as the other reading would have shown it.
        for (size_t n = 0; n < lines; ++n) {
            const QStringView line = text_.line(n);
            bool beyond = false;
            for (const QChar c : line)
                beyond = beyond || c.unicode() >= 0x80;
            if (!beyond)
                continue;
            f.line = int(n + 1);
            f.asRead = asWindows1252Reads(line, text_.encoding);
            f.asStored = line.toString();
            if (f.asRead.isNull())
                f.asRead = QStringLiteral("");
            break;
        }
        // A mark alone, before nothing but ASCII, changes nothing the file holds.
        if (f.line > 0 || text_.encoding == Encoding::Utf16)
            findings_.push_back(f);
    }
    if (used != Comma)
        findings_.push_back({IntakeFinding::Kind::Separator, 0, {}, {},
                             QStringLiteral("The fields are separated by %1; they will be written back separated by "
                                            "commas.")
                                 .arg(separatorName(used))});
}

// The refusal of what was found, the separator first: with lines that
// disagree no quote can be judged.
void CsvReader::judge()
{
    fault_ = Fault::None;
    refusal_.clear();
    if (!disagreement_.isEmpty()) {
        fault_ = Fault::Separator;
        refusal_ = disagreement_;
    } else if (unclosed_.count > 0) {
        fault_ = Fault::UnclosedQuote;
        refusal_ = QStringLiteral("On these lines a double quote opens a field and never closes, so where the "
                                  "field ends cannot be told. Close or remove the quote, then try again.\n") +
                   unclosed_.text();
    } else if (unwritable_.count > 0) {
        fault_ = Fault::Unwritable;
        refusal_ = QStringLiteral("The file is read as %1 and holds characters that Windows-1252, the "
                                  "character set of the files the program writes, cannot hold; they would be "
                                  "lost. Replace them and try again.\n")
                       .arg(encodingName(text_.encoding)) +
                   unwritable_.text();
    }
}

} // namespace zarv::fs
