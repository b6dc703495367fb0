// The file's amount form must be exactly Format(v, "##########0.00"), which the
// writer computes through its own faster routine.
#include "paymentfile/paymentformat.h"
#include "platform/text/vb.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

using namespace zarv;

namespace {

TEST(AmountText, WritesThePaymentFileForm)
{
    const std::pair<double, const char*> cases[] = {
        {0, "0.00"},          {-0.0, "0.00"},        {1234.5, "1234.50"},  {-12, "-12.00"},
        {-25, "-25.00"},      {0.5, "0.50"},         {2.675, "2.68"},      {1.005, "1.01"},
        {0.005, "0.01"},      {-0.005, "-0.01"},     {-0.004, "0.00"},     {0.994999, "0.99"},
        {9.995, "10.00"},     {99999999999.995, "100000000000.00"},        {1e-9, "0.00"},
        {123456789012.34, "123456789012.34"},        {1e16, "10000000000000000.00"},
    };
    for (const auto& [v, want] : cases)
        EXPECT_EQ(pf::amountText(v), QString::fromLatin1(want)) << v;
}

TEST(AmountText, AgreesWithTheGeneralFormatEverywhere)
{
    const QString pattern = QStringLiteral("##########0.00");
    std::mt19937_64 rng(42);
    std::uniform_real_distribution<double> unit(0, 1);
    int checked = 0;
    for (int exp = -22; exp <= 19; ++exp) {
        for (int i = 0; i < 2000; ++i) {
            double v = unit(rng) * std::pow(10.0, exp);
            if (i % 3 == 0)
                v = std::round(v * 200) / 200;   // half cents: the rounding edge
            if (i % 2)
                v = -v;
            ASSERT_EQ(pf::amountText(v), vb::Format(v, pattern)) << v;
            ++checked;
        }
    }
    for (double v : {std::numeric_limits<double>::max(), std::numeric_limits<double>::denorm_min(),
                     std::numeric_limits<double>::infinity(), 4503599627370495.5, 0.125, 0.375})
        EXPECT_EQ(pf::amountText(v), vb::Format(v, pattern)) << v;
    EXPECT_GT(checked, 80000);
}

} // namespace
