// BASIC string and number functions over QString.
#include "platform/text/vb.h"

#include "platform/text/codepage.h"

#include <QList>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <stdexcept>
#include <string>

namespace zarv::vb {

namespace {

const QChar kBlank(u' ');

bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }

// Blanks that Val skips wherever they stand.
bool isValBlank(QChar c) { return c == u' ' || c == u'\t' || c == u'\n'; }

bool isExponentMark(QChar c) { return c == u'E' || c == u'e' || c == u'D' || c == u'd'; }

int hexValue(QChar c)
{
    if (isDigit(c))
        return c.unicode() - u'0';
    if (c >= u'A' && c <= u'F')
        return c.unicode() - u'A' + 10;
    if (c >= u'a' && c <= u'f')
        return c.unicode() - u'a' + 10;
    return -1;
}

// A double as its 15 significant decimal digits and the power of ten of the
// first one: v = 0.D1D2...D15 * 10^(exponent + 1). v must be finite and not 0.
struct Decimal {
    std::string digits;   // exactly 15 digits, first one not 0
    int exponent = 0;
};

Decimal toDecimal(double magnitude)
{
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.14e", magnitude);
    Decimal d;
    const std::string text(buf);
    const auto ePos = text.find('e');
    for (std::size_t i = 0; i < ePos; ++i)
        if (text[i] != '.')
            d.digits.push_back(text[i]);
    d.exponent = std::stoi(text.substr(ePos + 1));
    return d;
}

// The non-negative number as integer digits and fraction digits (no sign).
struct FixedText {
    std::string integer;    // without leading zeros; "" for 0
    std::string fraction;   // exactly the requested number of digits
};

void stripLeadingZeros(std::string& s)
{
    const auto first = s.find_first_not_of('0');
    s.erase(0, first == std::string::npos ? s.size() : first);
}

// Rounds half away from zero to `decimals` places on the 15-digit form.
FixedText toFixed(double magnitude, int decimals)
{
    FixedText f;
    if (magnitude == 0.0) {
        f.fraction.assign(std::size_t(decimals), '0');
        return f;
    }
    const Decimal d = toDecimal(magnitude);
    const int pointAt = d.exponent + 1;   // digits before the decimal point
    std::string all;                      // integer and fraction digits together
    int intLen;
    if (pointAt <= 0) {
        all = std::string(std::size_t(-pointAt), '0') + d.digits;
        intLen = 0;
    } else if (pointAt >= int(d.digits.size())) {
        all = d.digits + std::string(std::size_t(pointAt) - d.digits.size(), '0');
        intLen = pointAt;
    } else {
        all = d.digits;
        intLen = pointAt;
    }
    const std::size_t keep = std::size_t(intLen + decimals);
    if (all.size() > keep) {
        const bool up = all[keep] >= '5';
        all.resize(keep);
        if (up) {
            int i = int(keep) - 1;
            for (; i >= 0 && all[std::size_t(i)] == '9'; --i)
                all[std::size_t(i)] = '0';
            if (i >= 0) {
                ++all[std::size_t(i)];
            } else {
                all.insert(all.begin(), '1');
                ++intLen;
            }
        }
    } else {
        all.append(keep - all.size(), '0');
    }
    f.integer = all.substr(0, std::size_t(intLen));
    f.fraction = all.substr(std::size_t(intLen));
    stripLeadingZeros(f.integer);
    return f;
}

// The plain number-to-text form without any leading blank; leadingZero decides
// between "0.5" and ".5".
QString numberText(double v, bool leadingZero)
{
    if (std::isnan(v))
        return QStringLiteral("NaN");
    if (std::isinf(v))
        return v < 0 ? QStringLiteral("-1.#INF") : QStringLiteral("1.#INF");
    if (v == 0.0)
        return QStringLiteral("0");
    const Decimal d = toDecimal(std::fabs(v));
    std::string digits = d.digits;
    digits.erase(digits.find_last_not_of('0') + 1);
    std::string out = v < 0 ? "-" : "";
    const int e = d.exponent;
    if (e >= 15 || e < -4) {   // outside 1E-05 .. 1E+15
        out += digits.substr(0, 1);
        if (digits.size() > 1)
            out += "." + digits.substr(1);
        char exp[16];
        std::snprintf(exp, sizeof exp, "E%c%02d", e < 0 ? '-' : '+', std::abs(e));
        out += exp;
    } else if (e < 0) {
        out += leadingZero ? "0." : ".";
        out += std::string(std::size_t(-e - 1), '0') + digits;
    } else if (int(digits.size()) <= e + 1) {
        out += digits + std::string(std::size_t(e + 1) - digits.size(), '0');
    } else {
        out += digits.substr(0, std::size_t(e + 1)) + "." + digits.substr(std::size_t(e + 1));
    }
    return QString::fromLatin1(out.data(), qsizetype(out.size()));
}

// Reads "&H..." or "&O..." (or "&..." octal) from position i (at the '&').
double readRadixNumber(const QString& s, qsizetype i)
{
    ++i;
    int radix = 8;
    if (i < s.size() && (s[i] == u'H' || s[i] == u'h')) {
        radix = 16;
        ++i;
    } else if (i < s.size() && (s[i] == u'O' || s[i] == u'o')) {
        ++i;
    }
    unsigned long long value = 0;
    int digits = 0;
    for (; i < s.size(); ++i) {
        if (isValBlank(s[i]))
            continue;
        const int d = hexValue(s[i]);
        if (d < 0 || d >= radix)
            break;
        value = value * unsigned(radix) + unsigned(d);
        if (++digits > 16)
            throw std::overflow_error("Overflow");
    }
    // The literal takes the smallest of the 16-bit and 32-bit types it fits.
    if (value <= 0xFFFFull)
        return double(static_cast<qint16>(static_cast<quint16>(value)));
    if (value <= 0xFFFFFFFFull)
        return double(static_cast<qint32>(static_cast<quint32>(value)));
    return double(value);
}

} // namespace

QString Trim(const QString& s) { return RTrim(LTrim(s)); }

QString LTrim(const QString& s)
{
    qsizetype i = 0;
    while (i < s.size() && s[i] == kBlank)
        ++i;
    return s.mid(i);
}

QString RTrim(const QString& s)
{
    qsizetype n = s.size();
    while (n > 0 && s[n - 1] == kBlank)
        --n;
    return s.left(n);
}

QChar UCaseChar(QChar c)
{
    if (c.unicode() < 0x80)
        return c >= u'a' && c <= u'z' ? QChar(c.unicode() - 0x20) : c;
    const QChar u = c.toUpper();
    // A letter of the code page keeps its place in it (µ, ƒ have no capital there).
    if (u != c && txt::Cp1252Byte(c.unicode()) >= 0 && txt::Cp1252Byte(u.unicode()) < 0)
        return c;
    return u;
}

QString UCase(const QString& s)
{
    QString r(s);
    for (QChar& c : r)
        c = UCaseChar(c);
    return r;
}

QString Left(const QString& s, qsizetype n)
{
    return n <= 0 ? QString() : s.left(n);
}

QString Right(const QString& s, qsizetype n)
{
    return n <= 0 ? QString() : s.right(n);
}

QString Mid(const QString& s, qsizetype start)
{
    return Mid(s, start, s.size());
}

QString Mid(const QString& s, qsizetype start, qsizetype length)
{
    if (start < 1)
        start = 1;
    if (length <= 0 || start > s.size())
        return {};
    return s.mid(start - 1, std::min(length, s.size() - start + 1));
}

double Val(const QString& s)
{
    qsizetype i = 0;
    auto skipBlanks = [&] {
        while (i < s.size() && isValBlank(s[i]))
            ++i;
    };
    skipBlanks();
    if (i < s.size() && s[i] == u'&')
        return readRadixNumber(s, i);

    std::string text;
    if (i < s.size() && (s[i] == u'+' || s[i] == u'-')) {
        if (s[i] == u'-')
            text += '-';
        ++i;
    }
    bool anyDigit = false;
    bool point = false;
    for (; i < s.size(); ++i) {
        const QChar c = s[i];
        if (isValBlank(c))
            continue;
        if (isDigit(c)) {
            text += char(c.unicode());
            anyDigit = true;
        } else if (c == u'.' && !point) {
            text += '.';
            point = true;
        } else {
            break;
        }
    }
    if (!anyDigit)
        return 0.0;
    if (i < s.size() && isExponentMark(s[i])) {
        ++i;
        skipBlanks();
        std::string exp = "e";
        if (i < s.size() && (s[i] == u'+' || s[i] == u'-'))
            exp += char(s[i++].unicode());
        bool expDigit = false;
        for (; i < s.size(); ++i) {
            if (isValBlank(s[i]))
                continue;
            if (!isDigit(s[i]))
                break;
            exp += char(s[i].unicode());
            expDigit = true;
        }
        if (expDigit)
            text += exp;
    }
    const double v = std::strtod(text.c_str(), nullptr);
    if (std::isinf(v))
        throw std::overflow_error("Overflow");
    return v == 0.0 ? 0.0 : v;   // never -0
}

QString Str(double v)
{
    const QString t = numberText(v, false);
    return (std::isnan(v) || v >= 0) ? kBlank + t : t;
}

QString CStr(double v) { return numberText(v, true); }

QString CStr(long long v) { return QString::number(v); }

namespace {

// One element of a Format pattern.
struct PatternItem {
    enum Kind { Digit, Literal } kind;
    QChar placeholder;   // '0' or '#' for Digit
    QString text;        // for Literal
};

struct Pattern {
    QList<PatternItem> integer;
    QList<PatternItem> fraction;
    bool hasPoint = false;
    bool grouping = false;
};

Pattern parsePattern(const QString& pattern)
{
    Pattern p;
    auto target = [&]() -> QList<PatternItem>& { return p.hasPoint ? p.fraction : p.integer; };
    auto literal = [&](const QString& t) {
        QList<PatternItem>& items = target();
        if (!items.isEmpty() && items.back().kind == PatternItem::Literal)
            items.back().text += t;
        else
            items.append({PatternItem::Literal, QChar(), t});
    };
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern[i];
        if (c == u'0' || c == u'#') {
            target().append({PatternItem::Digit, c, {}});
        } else if (c == u'.' && !p.hasPoint) {
            p.hasPoint = true;
        } else if (c == u',') {
            if (!p.hasPoint)
                p.grouping = true;
        } else if (c == u'\\' && i + 1 < pattern.size()) {
            literal(QString(pattern[++i]));
        } else if (c == u'"') {
            const qsizetype close = pattern.indexOf(u'"', i + 1);
            const qsizetype end = close < 0 ? pattern.size() : close;
            literal(pattern.mid(i + 1, end - i - 1));
            i = end;
        } else {
            literal(QString(c));
        }
    }
    return p;
}

qsizetype countDigits(const QList<PatternItem>& items)
{
    qsizetype n = 0;
    for (const auto& it : items)
        n += it.kind == PatternItem::Digit;
    return n;
}

// Digits the integer part must show at least: up to the leftmost '0' placeholder.
qsizetype minimumIntegerDigits(const QList<PatternItem>& items)
{
    qsizetype fromRight = 0;
    qsizetype minimum = 0;
    for (auto it = items.crbegin(); it != items.crend(); ++it) {
        if (it->kind != PatternItem::Digit)
            continue;
        ++fromRight;
        if (it->placeholder == u'0')
            minimum = fromRight;
    }
    return minimum;
}

QString groupThousands(const QString& digits)
{
    QString out;
    const qsizetype n = digits.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0)
            out += u',';
        out += digits[i];
    }
    return out;
}

QString formatInteger(const Pattern& p, QString digits)
{
    const qsizetype minimum = minimumIntegerDigits(p.integer);
    if (digits.size() < minimum)
        digits = QString(minimum - digits.size(), u'0') + digits;

    if (p.grouping) {
        // Literals before the first placeholder lead, the others follow.
        QString lead, trail;
        bool seenDigit = false;
        for (const auto& it : p.integer) {
            if (it.kind == PatternItem::Digit)
                seenDigit = true;
            else
                (seenDigit ? trail : lead) += it.text;
        }
        return lead + groupThousands(digits) + trail;
    }

    // Digits fill the placeholders from the right; the leftmost placeholder
    // takes whatever digits are left over.
    qsizetype leftmost = -1;
    for (qsizetype i = 0; i < p.integer.size(); ++i)
        if (p.integer[i].kind == PatternItem::Digit) {
            leftmost = i;
            break;
        }
    QString out;
    qsizetype remaining = digits.size();
    for (qsizetype i = p.integer.size() - 1; i >= 0; --i) {
        const PatternItem& it = p.integer[i];
        if (it.kind == PatternItem::Literal) {
            out.prepend(it.text);
        } else if (i == leftmost) {
            out.prepend(digits.left(remaining));
            remaining = 0;
        } else if (remaining > 0) {
            out.prepend(digits[--remaining]);
        }
    }
    if (leftmost < 0)
        out.prepend(digits);
    return out;
}

QString formatFraction(const Pattern& p, const QString& digits)
{
    // Trailing zeros standing on '#' places are dropped.
    qsizetype shown = digits.size();
    {
        qsizetype k = digits.size();
        for (auto it = p.fraction.crbegin(); it != p.fraction.crend() && k > 0; ++it) {
            if (it->kind != PatternItem::Digit)
                continue;
            --k;
            if (it->placeholder != u'#' || digits[k] != u'0')
                break;
            shown = k;
        }
    }
    QString out;
    qsizetype k = 0;
    for (const auto& it : p.fraction) {
        if (it.kind == PatternItem::Literal)
            out += it.text;
        else if (k < shown)
            out += digits[k++];
    }
    return out;
}

} // namespace

QString Format(double v, const QString& pattern)
{
    const QString section = pattern.section(u';', 0, 0);
    if (section.isEmpty() || !std::isfinite(v))
        return CStr(v);
    const Pattern p = parsePattern(section);
    if (countDigits(p.integer) + countDigits(p.fraction) == 0 && !p.hasPoint)
        return section;

    const int decimals = int(countDigits(p.fraction));
    const FixedText f = toFixed(std::fabs(v), decimals);
    const bool zero = f.integer.empty() && f.fraction.find_first_not_of('0') == std::string::npos;

    QString out;
    if (v < 0 && !zero)
        out += u'-';
    out += formatInteger(p, QString::fromLatin1(f.integer.data(), qsizetype(f.integer.size())));
    if (p.hasPoint) {
        out += u'.';
        out += formatFraction(p, QString::fromLatin1(f.fraction.data(), qsizetype(f.fraction.size())));
    }
    return out;
}

bool IsNumeric(const QString& s)
{
    const QString t = s.trimmed();
    if (t.isEmpty())
        return false;
    qsizetype i = 0;
    const qsizetype n = t.size();

    if (t[0] == u'&') {
        int radix = 8;
        i = 1;
        if (i < n && (t[i] == u'H' || t[i] == u'h')) {
            radix = 16;
            ++i;
        } else if (i < n && (t[i] == u'O' || t[i] == u'o')) {
            ++i;
        }
        if (i == n)
            return false;
        for (; i < n; ++i) {
            const int d = hexValue(t[i]);
            if (d < 0 || d >= radix)
                return false;
        }
        return true;
    }

    bool leadingSign = false;
    if (t[i] == u'+' || t[i] == u'-') {
        leadingSign = true;
        ++i;
    }
    bool anyDigit = false;
    for (; i < n; ++i) {
        if (isDigit(t[i]))
            anyDigit = true;
        else if (t[i] == u',' && i > 0 && isDigit(t[i - 1]) && i + 1 < n && isDigit(t[i + 1]))
            continue;
        else
            break;
    }
    if (i < n && t[i] == u'.') {
        for (++i; i < n && isDigit(t[i]); ++i)
            anyDigit = true;
    }
    if (!anyDigit)
        return false;
    if (i < n && isExponentMark(t[i])) {
        ++i;
        if (i < n && (t[i] == u'+' || t[i] == u'-'))
            ++i;
        bool expDigit = false;
        for (; i < n && isDigit(t[i]); ++i)
            expDigit = true;
        if (!expDigit)
            return false;
    }
    if (!leadingSign && i < n && (t[i] == u'+' || t[i] == u'-'))
        ++i;
    return i == n;
}

namespace {

double roundHalfEven(double v)
{
    const double r = std::round(v);   // half away from zero
    if (std::fabs(v - std::trunc(v)) == 0.5 && std::fmod(r, 2.0) != 0.0)
        return r - std::copysign(1.0, v);
    return r;
}

} // namespace

int CInt(double v)
{
    const double r = roundHalfEven(v);
    if (!(r >= -32768.0 && r <= 32767.0))
        throw std::overflow_error("Overflow");
    return int(r);
}

} // namespace zarv::vb
