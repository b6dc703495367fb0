#include "platform/workbook/celltext.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace zarv::xl::detail {

namespace {

constexpr int kSignificantDigits = 15;
constexpr int kMaxColumn = 16384;

int hexValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

// The code unit of an escape "_xHHHH_" starting at text[at], or -1 when there is none.
int escapeAt(const QString& text, qsizetype at)
{
    if (at + 7 > text.size() || text[at] != u'_' || text[at + 1] != u'x' || text[at + 6] != u'_')
        return -1;
    int value = 0;
    for (qsizetype i = at + 2; i < at + 6; ++i) {
        const int digit = hexValue(text[i]);
        if (digit < 0)
            return -1;
        value = value * 16 + digit;
    }
    return value;
}

} // namespace

QString numberText(double value)
{
    if (value == 0.0 || !std::isfinite(value))
        return value == 0.0 ? QStringLiteral("0") : QString();

    // "-d.ddddddddddddddde+XX": the value rounded to 15 significant digits.
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.*e", kSignificantDigits - 1, value);
    const bool negative = buf[0] == '-';
    const char* p = buf + (negative ? 1 : 0);

    QString digits;
    for (; *p != 'e'; ++p) {
        if (*p != '.')
            digits += QLatin1Char(*p);
    }
    const int exponent = std::atoi(p + 1);
    while (digits.size() > 1 && digits.endsWith(u'0'))
        digits.chop(1);

    QString text = negative ? QStringLiteral("-") : QString();
    if (exponent >= kSignificantDigits || exponent < -4) {
        text += digits.left(1);
        if (digits.size() > 1)
            text += u'.' + digits.mid(1);
        text += exponent < 0 ? QStringLiteral("E-") : QStringLiteral("E+");
        text += QString::number(std::abs(exponent)).rightJustified(2, u'0');
    } else if (exponent < 0) {
        text += QStringLiteral("0.") + QString(-exponent - 1, u'0') + digits;
    } else if (digits.size() <= exponent + 1) {
        text += digits + QString(exponent + 1 - digits.size(), u'0');
    } else {
        text += digits.left(exponent + 1) + u'.' + digits.mid(exponent + 1);
    }
    return text;
}

QString numericCellText(std::string_view stored)
{
    double value = 0.0;
    const char* first = stored.data();
    const char* last = first + stored.size();
    const auto [end, ec] = std::from_chars(first, last, value);
    if (ec != std::errc() || end != last || !std::isfinite(value))
        return QString::fromUtf8(stored.data(), qsizetype(stored.size()));
    return numberText(value);
}

QString decodeEscapes(const QString& stored)
{
    if (!stored.contains(QLatin1String("_x")))
        return stored;
    QString text;
    text.reserve(stored.size());
    qsizetype i = 0;
    while (i < stored.size()) {
        const int unit = escapeAt(stored, i);
        if (unit < 0) {
            text += stored[i++];
            continue;
        }
        text += QChar(char16_t(unit));
        i += 7;
    }
    return text;
}

QString protectEscapes(const QString& text)
{
    if (!text.contains(QLatin1String("_x")))
        return text;
    QString stored;
    stored.reserve(text.size() + 14);
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (escapeAt(text, i) >= 0)
            stored += QLatin1String("_x005F");  // the "_" that follows closes the guard
        stored += text[i];
    }
    return stored;
}

int columnFromReference(std::string_view reference)
{
    int column = 0;
    std::size_t letters = 0;
    for (; letters < reference.size() && letters < 4; ++letters) {
        char c = reference[letters];
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
        if (c < 'A' || c > 'Z')
            break;
        column = column * 26 + (c - 'A' + 1);
    }
    if (letters == 0 || letters > 3 || column > kMaxColumn)
        return 0;
    return column;
}

QString columnLetters(int column)
{
    QString letters;
    while (column > 0) {
        const int rest = (column - 1) % 26;
        letters.prepend(QChar(u'A' + rest));
        column = (column - 1) / 26;
    }
    return letters;
}

} // namespace zarv::xl::detail
