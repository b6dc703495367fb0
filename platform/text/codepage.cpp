#include "platform/text/codepage.h"

#include <array>

namespace zarv::txt {

namespace {

// Unicode of the bytes 0x80..0x9F.
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

} // namespace

int Cp1252Byte(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return int(c);
    for (std::size_t i = 0; i < kHigh.size(); ++i) {
        if (kHigh[i] == c)
            return int(0x80 + i);
    }
    return -1;
}

QChar Cp1252Char(unsigned char b)
{
    return QChar(b >= 0x80 && b < 0xA0 ? kHigh[std::size_t(b - 0x80)] : char16_t(b));
}

qsizetype FirstOutsideCp1252(QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (Cp1252Byte(text[i].unicode()) < 0)
            return i;
    }
    return -1;
}

} // namespace zarv::txt
