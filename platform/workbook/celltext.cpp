#include "platform/workbook/celltext.h"

#include <QDate>
#include <QDateTime>
#include <QTime>

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

namespace {

QString vbDateText(const QDate& date, int seconds, bool withDate)
{
    QString text;
    if (withDate)
        text = QStringLiteral("%1/%2/%3").arg(date.month()).arg(date.day()).arg(date.year());
    if (seconds == 0 && withDate)
        return text;
    const int hour = seconds / 3600;
    const int hour12 = hour % 12 == 0 ? 12 : hour % 12;
    const QString time = QStringLiteral("%1:%2:%3 %4")
                             .arg(hour12)
                             .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
                             .arg(seconds % 60, 2, 10, QLatin1Char('0'))
                             .arg(hour < 12 ? QStringLiteral("AM") : QStringLiteral("PM"));
    return withDate ? text + u' ' + time : time;
}

} // namespace

QString dateText(double serial, bool date1904)
{
    if (!std::isfinite(serial) || serial < 0 || serial >= 2958466)
        return {};
    auto days = static_cast<long long>(std::floor(serial));
    auto seconds = static_cast<long long>(std::llround((serial - double(days)) * 86400.0));
    if (seconds >= 86400) {
        ++days;
        seconds -= 86400;
    }
    QDate date;
    if (date1904) {
        date = QDate(1904, 1, 1).addDays(days);
    } else if (days == 0) {
        return vbDateText(QDate(), int(seconds), false);
    } else if (days < 60) {
        date = QDate(1899, 12, 31).addDays(days);
    } else if (days == 60) {
        return {};    // the 2/29/1900 that only spreadsheets have
    } else {
        date = QDate(1899, 12, 30).addDays(days);
    }
    if (!date.isValid() || date.year() > 9999)
        return {};
    return vbDateText(date, int(seconds), true);
}

QString isoDateText(const QString& iso)
{
    const QString text = iso.trimmed();
    if (!text.contains(u'-')) {
        const QTime time = QTime::fromString(text.left(8), Qt::ISODate);
        return time.isValid() ? vbDateText(QDate(), time.msecsSinceStartOfDay() / 1000, false) : QString();
    }
    const QDateTime moment = QDateTime::fromString(text.contains(u'T') ? text.left(19) : text.left(10) + "T00:00:00",
                                                   Qt::ISODate);
    if (!moment.isValid())
        return {};
    return vbDateText(moment.date(), moment.time().msecsSinceStartOfDay() / 1000, true);
}

bool isBuiltInDateFormat(int id)
{
    return (id >= 14 && id <= 22) || (id >= 45 && id <= 47);
}

bool isDateFormatCode(std::string_view code)
{
    // Only the first section (for positive numbers) counts.
    bool inQuotes = false;
    for (std::size_t i = 0; i < code.size(); ++i) {
        const char c = code[i];
        if (inQuotes) {
            inQuotes = c != '"';
            continue;
        }
        switch (c) {
        case '"':
            inQuotes = true;
            break;
        case '\\':
        case '_':
        case '*':
            ++i;    // the next character is shown as it is, or is padding
            break;
        case ';':
            return false;
        case '[': {
            const std::size_t close = code.find(']', i);
            if (close == std::string_view::npos)
                return false;
            const std::string_view inside = code.substr(i + 1, close - i - 1);
            if (!inside.empty() && std::string_view("hHmMsS").find(inside[0]) != std::string_view::npos
                && inside.find_first_not_of(inside[0]) == std::string_view::npos)
                return true;    // elapsed time: [h], [mm], [ss]
            i = close;
            break;
        }
        default:
            if (std::string_view("dDmMyYhHsS").find(c) != std::string_view::npos)
                return true;
            if (c == 'G' || c == 'g')   // "General"
                return false;
            break;
        }
    }
    return false;
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
