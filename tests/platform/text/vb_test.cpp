// BASIC text and number functions: the edge cases data files and messages rely on.
#include "platform/text/vb.h"

#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>

using namespace zarv::vb;

namespace {

QString q(const char* s) { return QString::fromUtf8(s); }

} // namespace

TEST(VbTrim, RemovesBlanksOnlyNotTabsOrOtherSpaces)
{
    EXPECT_EQ(Trim(q("  a b  ")), q("a b"));
    EXPECT_EQ(Trim(q("\ta\t")), q("\ta\t"));
    EXPECT_EQ(Trim(q("\u00A0a ")), q("\u00A0a"));
    EXPECT_EQ(LTrim(q("  a  ")), q("a  "));
    EXPECT_EQ(RTrim(q("  a  ")), q("  a"));
    EXPECT_EQ(Trim(q("    ")), QString());
}

// One character to one; a letter of Windows-1252 whose capital the code page
// lacks stays as it is, so upper case never turns a writable text into one
// that is not.
TEST(VbCase, MapsOneCharacterToOneInsideTheAnsiCodePage)
{
    EXPECT_EQ(UCase(q("straße")), q("STRAßE"));
    EXPECT_EQ(UCase(q("abc é 1")), q("ABC É 1"));
    EXPECT_EQ(UCase(q("ﬁ")).size(), 1);   // a ligature stays one character
    EXPECT_EQ(UCase(q("µ ƒ ÿ š œ ž à")), q("µ ƒ Ÿ Š Œ Ž À"));
    EXPECT_EQ(UCase(q("αβ")), q("ΑΒ"));     // letters outside it are not held back
}

TEST(VbSubstrings, NeverFailPastTheEnd)
{
    const QString s = q("abcdef");
    EXPECT_EQ(Left(s, 3), q("abc"));
    EXPECT_EQ(Left(s, 99), s);
    EXPECT_EQ(Left(s, 0), QString());
    EXPECT_EQ(Left(s, -2), QString());
    EXPECT_EQ(Right(s, 2), q("ef"));
    EXPECT_EQ(Right(s, 99), s);
    EXPECT_EQ(Right(s, -1), QString());
    EXPECT_EQ(Mid(s, 2, 3), q("bcd"));
    EXPECT_EQ(Mid(s, 5, 10), q("ef"));
    EXPECT_EQ(Mid(s, 7), QString());
    EXPECT_EQ(Mid(s, 99, 2), QString());
    EXPECT_EQ(Mid(s, 0, 2), q("ab"));
    EXPECT_EQ(Mid(s, -5), s);
    EXPECT_EQ(Mid(s, 3), q("cdef"));
    EXPECT_EQ(Mid(s, 2, 0), QString());
    EXPECT_EQ(Mid(s, 2, -1), QString());
}

struct ValCase {
    const char* text;
    double value;
};

TEST(VbVal, ReadsTheNumberAtTheStartAndOverflowThrows)
{
    const ValCase cases[] = {
        {"", 0},           {"abc", 0},         {"1 2 3", 123},      {"  -1.5e2x", -150},
        {".5", 0.5},       {"-.5", -0.5},      {"+7", 7},           {"1,000", 1},
        {"12abc", 12},     {"1.2.3", 1.2},     {"1e", 1},           {"1e+", 1},
        {"2D3", 2000},     {"2d-1", 0.2},      {"\t4\n2", 42},      {"- 5", -5},
        {"&H10", 16},      {"&hff", 255},      {"&HFFFF", -1},      {"&O17", 15},
        {"&H", 0},         {"--5", 0},         {"\r5", 0},          {"0012", 12},
        {"1.5E+3 ", 1500}, {"3..4", 3},        {"-", 0},            {".", 0},
    };
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(Val(q(c.text)), c.value) << c.text;
    EXPECT_FALSE(std::signbit(Val(q("-0"))));   // negative zero reads as zero
    EXPECT_EQ(Str(Val(q("-0.00"))), q(" 0"));
    EXPECT_THROW(Val(q("1e999")), std::overflow_error);
}

struct NumberTextCase {
    double value;
    const char* cstr;
    const char* str;
};

TEST(VbStr, FifteenSignificantDigitsInTheBasicForm)
{
    const NumberTextCase cases[] = {
        {0.5, "0.5", " .5"},
        {-0.5, "-0.5", "-.5"},
        {4, "4", " 4"},
        {-3, "-3", "-3"},
        {0, "0", " 0"},
        {1234.5, "1234.5", " 1234.5"},
        {100, "100", " 100"},
        {1e15, "1E+15", " 1E+15"},
        {123456789012345.0, "123456789012345", " 123456789012345"},
        {0.0001, "0.0001", " .0001"},
        {0.00001, "1E-05", " 1E-05"},
        {1.5e-7, "1.5E-07", " 1.5E-07"},
        {-2.5e20, "-2.5E+20", "-2.5E+20"},
        {0.1 + 0.2, "0.3", " .3"},
        {1.0 / 3.0, "0.333333333333333", " .333333333333333"},
        {2.0 / 3.0, "0.666666666666667", " .666666666666667"},
        {999999999999999.9, "1E+15", " 1E+15"},
        {1e100, "1E+100", " 1E+100"},
        {-1234567.125, "-1234567.125", "-1234567.125"},
        {12.3456789, "12.3456789", " 12.3456789"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CStr(c.value), q(c.cstr)) << c.cstr;
        EXPECT_EQ(Str(c.value), q(c.str)) << c.str;
    }
    // Integers are plain.
    EXPECT_EQ(CStr(0LL), q("0"));
    EXPECT_EQ(CStr(-42LL), q("-42"));
    EXPECT_EQ(CStr(1234567890123456789LL), q("1234567890123456789"));
    EXPECT_EQ(Str(-1), q("-1"));
}

struct FormatCase {
    double value;
    const char* pattern;
    const char* text;
};

TEST(VbFormat, DigitPatterns)
{
    const FormatCase cases[] = {
        {1234.5, "##########0.00", "1234.50"},
        {0, "##########0.00", "0.00"},
        {0.5, "##.00", ".50"},
        {1234567.891, "###,###,###,##0.00", "1,234,567.89"},
        {-1234567.891, "###,###,###,##0.00", "-1,234,567.89"},
        {999.999, "###,###,###,##0.00", "1,000.00"},
        {0, "#,##0", "0"},
        {1234, "#,##0", "1,234"},
        {1234567, "#,##0", "1,234,567"},
        {999, "#,##0", "999"},
        {5, "0000", "0005"},
        {12345, "0000", "12345"},
        {7, "00", "07"},
        {1.5, "0.000", "1.500"},
        {-0.5, "0.000", "-0.500"},
        {2.675, "0.00", "2.68"},
        {1.005, "0.00", "1.01"},
        {0.125, "0.00", "0.13"},
        {-2.675, "0.00", "-2.68"},
        {-0.001, "0.00", "0.00"},
        {-0.004, "##########0.00", "0.00"},
        {-0.4, "0", "0"},
        {2.5, "0", "3"},
        {-2.5, "0", "-3"},
        {9.995, "0.00", "10.00"},
        {1e15, "0", "1000000000000000"},
        {1.5, "#.##", "1.5"},
        {3, "0.##", "3."},
        {12.345, "$#,##0.00", "$12.35"},
        {42, "0 units", "42 units"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Format(c.value, q(c.pattern)), q(c.text)) << c.value << " " << c.pattern;
}

struct NumericCase {
    const char* text;
    bool numeric;
};

TEST(VbIsNumeric, WholeTextReadsAsANumber)
{
    const NumericCase cases[] = {
        {"", false},        {"   ", false},     {"1", true},          {" 12 ", true},
        {"-1.5", true},     {"+3", true},       {"3-", true},         {"1,000.50", true},
        {"1.2.3", false},   {"12abc", false},   {"-", false},         {".", false},
        {".5", true},       {"5.", true},       {"1e5", true},        {"1E+05", true},
        {"2d-3", true},     {"1e", false},      {"&H1F", true},       {"&H", false},
        {"&HXY", false},    {",100", false},    {"100,", false},      {"-3-", false},
        {"1 000", false},   {"abc", false},     {"\t7\t", true},      {"--1", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsNumeric(q(c.text)), c.numeric) << c.text;
}

TEST(VbConvert, RoundsHalfToEvenAndThrowsOutOfRange)
{
    const std::pair<double, int> cases[] = {
        {2.5, 2}, {3.5, 4}, {-2.5, -2}, {-3.5, -4}, {0.5, 0}, {1.5, 2},
        {2.4999, 2}, {2.5001, 3}, {-0.4, 0}, {32767.4, 32767}, {-32768.4, -32768},
    };
    for (const auto& [v, expected] : cases)
        EXPECT_EQ(CInt(v), expected) << v;
    EXPECT_THROW(CInt(32767.5), std::overflow_error);
    EXPECT_THROW(CInt(-32768.6), std::overflow_error);
    EXPECT_THROW(CInt(1e10), std::overflow_error);
    EXPECT_THROW(CInt(std::nan("")), std::overflow_error);
}
