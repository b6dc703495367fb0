#include "platform/files/textdecoder.h"

#include "platform/files/textfile.h"
#include "platform/text/codepage.h"
#include "platform/text/csv.h"

#include <QStringDecoder>

#include <algorithm>
#include <array>
#include <cstring>

namespace zarv::fs {

namespace {

// The characters of Mac Roman's bytes 0x80 to 0xFF.
constexpr std::array<char16_t, 128> kMacRoman = {
    0x00C4, 0x00C5, 0x00C7, 0x00C9, 0x00D1, 0x00D6, 0x00DC, 0x00E1,
    0x00E0, 0x00E2, 0x00E4, 0x00E3, 0x00E5, 0x00E7, 0x00E9, 0x00E8,
    0x00EA, 0x00EB, 0x00ED, 0x00EC, 0x00EE, 0x00EF, 0x00F1, 0x00F3,
    0x00F2, 0x00F4, 0x00F6, 0x00F5, 0x00FA, 0x00F9, 0x00FB, 0x00FC,
    0x2020, 0x00B0, 0x00A2, 0x00A3, 0x00A7, 0x2022, 0x00B6, 0x00DF,
    0x00AE, 0x00A9, 0x2122, 0x00B4, 0x00A8, 0x2260, 0x00C6, 0x00D8,
    0x221E, 0x00B1, 0x2264, 0x2265, 0x00A5, 0x00B5, 0x2202, 0x2211,
    0x220F, 0x03C0, 0x222B, 0x00AA, 0x00BA, 0x03A9, 0x00E6, 0x00F8,
    0x00BF, 0x00A1, 0x00AC, 0x221A, 0x0192, 0x2248, 0x2206, 0x00AB,
    0x00BB, 0x2026, 0x00A0, 0x00C0, 0x00C3, 0x00D5, 0x0152, 0x0153,
    0x2013, 0x2014, 0x201C, 0x201D, 0x2018, 0x2019, 0x00F7, 0x25CA,
    0x00FF, 0x0178, 0x2044, 0x20AC, 0x2039, 0x203A, 0xFB01, 0xFB02,
    0x2021, 0x00B7, 0x201A, 0x201E, 0x2030, 0x00C2, 0x00CA, 0x00C1,
    0x00CB, 0x00C8, 0x00CD, 0x00CE, 0x00CF, 0x00CC, 0x00D3, 0x00D4,
    0xF8FF, 0x00D2, 0x00DA, 0x00DB, 0x00D9, 0x0131, 0x02C6, 0x02DC,
    0x00AF, 0x02D8, 0x02D9, 0x02DA, 0x00B8, 0x02DD, 0x02DB, 0x02C7,
};

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

// Whether some character beyond ASCII is one Windows-1252 holds.
bool anyCp1252Beyond127(const QString& text)
{
    for (const QChar c : text)
        if (c.unicode() >= 0x80 && txt::Cp1252Byte(c.unicode()) >= 0)
            return true;
    return false;
}

// Windows-1252's bytes 0x80 to 0x9F are typographic signs, its few letters
// there (Š, Œ, Ž, ƒ ...) included: where Mac Roman has its letters.
QChar cp1252(unsigned char b) { return b >= 0x80 && b < 0xA0 ? QChar(u'\u2020') : txt::Cp1252Char(b); }
QChar macRoman(unsigned char b) { return b < 0x80 ? QChar(b) : QChar(kMacRoman[b - 0x80]); }

// How many bytes beyond ASCII a reading makes letters of whose case agrees
// with the letters beside them (a letter with no letter beside it counts).
template <typename Reading>
int agreeingLetters(const unsigned char* p, qsizetype size, Reading read)
{
    int score = 0;
    for (qsizetype i = 0; i < size; ++i) {
        if (p[i] < 0x80)
            continue;
        const QChar c = read(p[i]);
        if (!c.isLetter())
            continue;
        bool agrees = true;
        bool decided = false;
        for (const qsizetype at : {i - 1, i + 1}) {
            if (at < 0 || at >= size)
                continue;
            const QChar n = read(p[at]);
            if (!n.isLetter() || n.isUpper() == n.isLower())
                continue;
            const bool same = n.isUpper() == c.isUpper();
            agrees = decided ? (agrees || same) : same;
            decided = true;
        }
        if (agrees)
            ++score;
    }
    return score;
}

bool looksMacRoman(const QByteArray& bytes)
{
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData());
    const qsizetype size = bytes.size();
    return agreeingLetters(p, size, cp1252) == 0 && agreeingLetters(p, size, macRoman) > 0;
}

QString decodeWith(QStringDecoder::Encoding encoding, QByteArrayView bytes)
{
    // Drops a leading byte-order mark; what is cut short at the end is a
    // replacement character, as everywhere else.
    QStringDecoder decoder(encoding, QStringDecoder::Flag::Stateless);
    return decoder(bytes);
}

// The end-of-file mark ends the last line, before or after its line end: the
// run of marks at [mark, markEnd) of `size` units is no part of the text.
template <typename At>
void endOfFileMark(qsizetype size, At at, qsizetype& mark, qsizetype& markEnd)
{
    markEnd = size;
    if (markEnd > 0 && at(markEnd - 1) == u'\n')
        --markEnd;
    if (markEnd > 0 && at(markEnd - 1) == u'\r')
        --markEnd;
    mark = markEnd;
    while (mark > 0 && at(mark - 1) == csv::kEndOfFile)
        --mark;
}

// Adds the lines of a text that begins a line and ends where one ends.
void splitLines(DecodedText& d, QString text)
{
    const QStringView view(text);
    const qsizetype end = view.size();
    std::vector<DecodedText::Span> lines;
    // Where the next CR and LF stand (end for none), searched again only once
    // passed, so that a text with one kind of line end is searched once.
    qsizetype nextCr = -1, nextLf = -1;
    auto next = [&](char16_t c, qsizetype& cache, qsizetype at) {
        if (cache < at) {
            cache = view.indexOf(QChar(c), at);
            if (cache < 0)
                cache = end;
        }
        return cache;
    };
    for (qsizetype at = 0; at < end;) {
        const qsizetype stop = std::min(next(u'\r', nextCr, at), next(u'\n', nextLf, at));
        lines.push_back({at, stop});
        at = stop + 1;
        if (stop < end && view[stop] == u'\r' && at < end && view[at] == u'\n')
            ++at;
    }
    if (!lines.empty()) {
        const size_t first = d.lineCount();
        lines.shrink_to_fit();
        d.chunks.push_back({std::move(text), first, std::move(lines)});
    }
}

// Bytes of a character set in which CR, LF and the end-of-file mark are the
// bytes of their ASCII codes, decoded and split into lines a block at a time,
// each block ending after an LF: the reader lets go of a block once its lines
// are read, and a large file is never held whole as text.
template <typename Decode>
void decodeInBlocks(DecodedText& d, const QByteArray& bytes, Decode decode)
{
    constexpr qsizetype kBlock = qsizetype(1) << 20;
    d.chunks.clear();
    const char* data = bytes.constData();
    qsizetype mark = 0, markEnd = 0;
    endOfFileMark(bytes.size(), [data](qsizetype i) { return char16_t(static_cast<unsigned char>(data[i])); },
                  mark, markEnd);
    // The text is the bytes before the marks and the line end after them.
    qsizetype at = 0;
    bool first = true;
    do {
        qsizetype cut = mark;
        if (mark - at > kBlock) {
            if (const void* lf = std::memchr(data + at + kBlock, '\n', size_t(mark - at - kBlock)))
                cut = static_cast<const char*>(lf) - data + 1;
        }
        if (cut < mark) {
            splitLines(d, decode(QByteArrayView(data + at, cut - at), first));
        } else if (mark == markEnd) {
            splitLines(d, decode(QByteArrayView(data + at, bytes.size() - at), first));
        } else {
            QByteArray joined(data + at, mark - at);
            joined.append(data + markEnd, bytes.size() - markEnd);
            splitLines(d, decode(QByteArrayView(joined), first));
        }
        first = false;
        at = cut;
    } while (at < mark);
}

} // namespace

QString encodingName(TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Windows1252: return QStringLiteral("Windows-1252");
    case TextEncoding::Utf8: return QStringLiteral("UTF-8");
    case TextEncoding::Utf8WithMark: return QStringLiteral("UTF-8 (with a byte-order mark)");
    case TextEncoding::MacRoman: return QStringLiteral("Mac Roman");
    case TextEncoding::Utf16: return QStringLiteral("UTF-16 (with a byte-order mark)");
    }
    return {};
}

QString decodeMacRoman(QByteArrayView bytes)
{
    QString s(bytes.size(), Qt::Uninitialized);
    QChar* out = s.data();
    for (qsizetype i = 0; i < bytes.size(); ++i)
        out[i] = macRoman(static_cast<unsigned char>(bytes[i]));
    return s;
}

QByteArray encodeMacRoman(QStringView text)
{
    QByteArray out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (c.unicode() < 0x80) {
            out += char(c.unicode());
            continue;
        }
        const auto hit = std::find(kMacRoman.begin(), kMacRoman.end(), c.unicode());
        out += hit == kMacRoman.end() ? '?' : char(0x80 + (hit - kMacRoman.begin()));
    }
    return out;
}

QString asWindows1252Reads(QStringView line, TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Windows1252: return line.toString();
    case TextEncoding::Utf8:
    case TextEncoding::Utf8WithMark: return decodeCp1252(line.toUtf8());
    case TextEncoding::MacRoman: return decodeCp1252(encodeMacRoman(line));
    case TextEncoding::Utf16: return {};
    }
    return {};
}

DecodedText decodeText(const QByteArray& bytes)
{
    DecodedText d;
    const char* data = bytes.constData();
    const qsizetype size = bytes.size();
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        // Two bytes a unit: decoded whole.
        d.encoding = TextEncoding::Utf16;
        QString text = decodeWith(bytes.startsWith("\xFF\xFE") ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE,
                                  bytes);
        qsizetype mark = 0, markEnd = 0;
        endOfFileMark(text.size(), [&text](qsizetype i) { return text[i].unicode(); }, mark, markEnd);
        if (mark < markEnd)
            text.remove(mark, markEnd - mark);
        splitLines(d, std::move(text));
        return d;
    }
    // A block after the first keeps a leading U+FEFF: it is no mark there.
    const auto utf8 = [](QByteArrayView block, bool first) {
        if (first)
            return decodeWith(QStringDecoder::Utf8, block);
        QStringDecoder decoder(QStringDecoder::Utf8,
                               QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
        return QString(decoder(block));
    };
    const auto latin1 = [](QByteArrayView block, bool) { return QString::fromLatin1(block); };
    const auto cp1252 = [](QByteArrayView block, bool) { return decodeCp1252(block); };
    const auto macRoman = [](QByteArrayView block, bool) { return decodeMacRoman(block); };
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        d.encoding = TextEncoding::Utf8WithMark;
        decodeInBlocks(d, bytes, utf8);
    } else if (!anyHighByte(data, size)) {
        decodeInBlocks(d, bytes, latin1);
    } else {
        if (validUtf8(data, size)) {
            decodeInBlocks(d, bytes, utf8);
            if (std::any_of(d.chunks.begin(), d.chunks.end(),
                            [](const DecodedText::Chunk& c) { return anyCp1252Beyond127(c.text); }))
                d.encoding = TextEncoding::Utf8;
        }
        if (d.encoding == TextEncoding::Windows1252) {
            if (looksMacRoman(bytes)) {
                d.encoding = TextEncoding::MacRoman;
                decodeInBlocks(d, bytes, macRoman);
            } else {
                decodeInBlocks(d, bytes, cp1252);
            }
        }
    }
    return d;
}

QStringView DecodedText::line(size_t n) const
{
    // Lines are read in order: the chunk of the line before is the first tried.
    if (!(chunkAt_ < chunks.size() && chunks[chunkAt_].firstLine <= n &&
          (chunkAt_ + 1 == chunks.size() || n < chunks[chunkAt_ + 1].firstLine))) {
        const auto it = std::upper_bound(chunks.begin(), chunks.end(), n,
                                         [](size_t line, const Chunk& c) { return line < c.firstLine; });
        chunkAt_ = size_t(it - chunks.begin()) - 1;
    }
    Q_ASSERT(chunkAt_ >= released_);
    const Chunk& c = chunks[chunkAt_];
    const Span& s = c.lines[n - c.firstLine];
    return QStringView(c.text).mid(s.begin, s.end - s.begin);
}

void DecodedText::releaseBefore(size_t n)
{
    while (released_ + 1 < chunks.size() && chunks[released_ + 1].firstLine <= n) {
        Chunk& c = chunks[released_++];
        c.text = QString();
        std::vector<Span>().swap(c.lines);
    }
}

} // namespace zarv::fs
