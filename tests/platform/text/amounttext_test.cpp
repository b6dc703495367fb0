// Amounts typed by a clerk or written by a spreadsheet program.
#include "platform/text/amounttext.h"

#include <QString>

#include <gtest/gtest.h>

#include <stdexcept>

using zarv::txt::ReadAmount;

namespace {

QString q(const char* s) { return QString::fromUtf8(s); }

TEST(ReadAmount, ReadsTheFormsASpreadsheetWrites)
{
    const std::pair<const char*, double> cases[] = {
        {"25", 25},           {" 25.00 ", 25},       {"-25.10", -25.1},      {"+3", 3},
        {".5", 0.5},          {"5.", 5},             {"1e3", 1000},          {"1.5E-2", 0.015},
        {"$25.00", 25},       {"-$25.00", -25},      {"$-25.00", -25},       {"25.00 $", 25},
        {"€ 7", 7},           {"1,234.50", 1234.5},  {"12,345,678", 12345678},
        {"(25.00)", -25},     {"($1,234.50)", -1234.5}, {"( 5 )", -5},      {"12-", -12},
        {"-0.00", 0},         {"$ -", 0},            {" - ", 0},
    };
    for (const auto& [text, want] : cases) {
        const auto v = ReadAmount(q(text));
        ASSERT_TRUE(v.has_value()) << text;
        EXPECT_EQ(*v, want) << text;
    }
}

TEST(ReadAmount, RefusesEverythingElseAndOverflowsWhenTooLarge)
{
    for (const char* text : {"", "   ", "abc", "12abc", "12.5x", "1.2.3", "1,2,3", "12,34", "1,234,5", ",100",
                             "100,", "(-25)", "(25", "25)", "$$25", "--1", "-3-", "1 000", "1e", "&H1F", "-+", "$",
                             "()", "25%", "1\t", "١٢"}) {
        EXPECT_FALSE(ReadAmount(q(text)).has_value()) << text;
    }
    // Too large overflows, too small is zero.
    EXPECT_THROW(ReadAmount(q("1e999")), std::overflow_error);
    EXPECT_EQ(*ReadAmount(q("1e-999")), 0);
}

} // namespace
