// Number text, escapes and column letters.
#include "platform/workbook/celltext.h"

#include <gtest/gtest.h>

namespace zarv::xl::detail {
namespace {

TEST(CellText, NumbersReadAsCStrShowsThemAndOtherTextStays)
{
    const struct {
        double value;
        const char* text;
    } cases[] = {
        {0, "0"}, {-0.0, "0"}, {12, "12"}, {0.5, "0.5"}, {-0.5, "-0.5"}, {1234.5, "1234.5"},
        {1e15, "1E+15"}, {999999999999999, "999999999999999"}, {9.999999999999999e14, "1E+15"},
        {1e-5, "1E-05"}, {0.0001, "0.0001"}, {1.5e-7, "1.5E-07"}, {-2.5e20, "-2.5E+20"}, {1e100, "1E+100"},
        {0.1 + 0.2, "0.3"}, {123456789.123456789, "123456789.123457"}, {100, "100"}, {1.0 / 3, "0.333333333333333"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(numberText(c.value), QString::fromLatin1(c.text)) << c.text;
    // Numeric cells that are no number keep their text.
    EXPECT_EQ(numericCellText("42"), QStringLiteral("42"));
    EXPECT_EQ(numericCellText("4.20E1"), QStringLiteral("42"));
    EXPECT_EQ(numericCellText("12abc"), QStringLiteral("12abc"));
    EXPECT_EQ(numericCellText("inf"), QStringLiteral("inf"));
    EXPECT_EQ(numericCellText(""), QString());
}

TEST(CellText, EscapesDecodeAndProtectSymmetrically)
{
    const struct {
        const char* stored;
        const char* text;
    } cases[] = {
        {"a_x000D_b", "a\rb"},
        {"_x0009_tab_x000a_", "\ttab\n"},
        {"_x005F_x000D_", "_x000D_"},
        {"_x005F_", "_"},
        {"_x00G1_ and _x12_ stay", "_x00G1_ and _x12_ stay"},
        {"plain_text", "plain_text"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(decodeEscapes(QString::fromLatin1(c.stored)), QString::fromLatin1(c.text)) << c.stored;

    for (const char* text : {"_x000D_", "__x0041__", "_x005F_", "a_x0041_b_x0042_", "no escape"}) {
        const QString original = QString::fromLatin1(text);
        EXPECT_EQ(decodeEscapes(protectEscapes(original)), original) << text;
    }
    EXPECT_EQ(protectEscapes(QStringLiteral("_x000D_")), QStringLiteral("_x005F_x000D_"));
}

TEST(CellText, ColumnLettersAndReferences)
{
    const struct {
        int column;
        const char* letters;
    } cases[] = {{1, "A"}, {14, "N"}, {26, "Z"}, {27, "AA"}, {52, "AZ"}, {703, "AAA"}, {16384, "XFD"}};
    for (const auto& c : cases) {
        EXPECT_EQ(columnLetters(c.column), QString::fromLatin1(c.letters));
        EXPECT_EQ(columnFromReference(std::string(c.letters) + "12"), c.column);
    }
    EXPECT_EQ(columnFromReference("b3"), 2);
    for (const char* bad : {"", "12", "XFE1", "ABCD1", "$A$1"})
        EXPECT_EQ(columnFromReference(bad), 0) << bad;
}

TEST(CellText, DatesReadAsCStrShowsThemAtTheirEdges)
{
    EXPECT_EQ(dateText(46112, false), "3/31/2026");
    EXPECT_EQ(dateText(46112.99999, false), "3/31/2026 11:59:59 PM");
    EXPECT_EQ(dateText(46112.999999999, false), "4/1/2026");   // rounds to the next midnight
    EXPECT_EQ(dateText(0.5, false), "12:00:00 PM");
    EXPECT_EQ(dateText(0, false), "12:00:00 AM");
    EXPECT_EQ(dateText(59, false), "2/28/1900");
    EXPECT_EQ(dateText(60, false), "");
    EXPECT_EQ(dateText(61, false), "3/1/1900");
    EXPECT_EQ(dateText(2958465, false), "12/31/9999");
    EXPECT_EQ(dateText(2958466, false), "");
    EXPECT_EQ(dateText(-1, false), "");
    EXPECT_EQ(dateText(0, true), "1/1/1904");
    EXPECT_EQ(isoDateText("2026-03-31T14:05:00"), "3/31/2026 2:05:00 PM");
    EXPECT_EQ(isoDateText("2026-03-31"), "3/31/2026");
    EXPECT_EQ(isoDateText("00:05:09"), "12:05:09 AM");
    EXPECT_EQ(isoDateText("not a date"), "");

    for (const char* code : {"m/d/yyyy", "dd.mm.yyyy", "h:mm:ss\\ AM/PM", "[h]:mm:ss", "[$-409]mmm d", "[Red]yy"})
        EXPECT_TRUE(isDateFormatCode(code)) << code;
    for (const char* code : {"General", "0.00", "#,##0 \"days\"", "0\\d", "[Red]0.0", "@", "0;[Red]-0 \"m\""})
        EXPECT_FALSE(isDateFormatCode(code)) << code;
    EXPECT_TRUE(isBuiltInDateFormat(14) && isBuiltInDateFormat(22) && isBuiltInDateFormat(47));
    EXPECT_FALSE(isBuiltInDateFormat(13) || isBuiltInDateFormat(23) || isBuiltInDateFormat(49));
}

} // namespace
} // namespace zarv::xl::detail
