// The rules behind the payment screens, run without a window.
#include "screens_support.h"

#include "payments/paymentrules.h"
#include "platform/data/recordset.h"
#include "services/dataenvironment.h"

#include <QRegularExpression>

using namespace zarv;
using namespace zarv::test;

namespace {

// ---------------------------------------------------------------- the duplicate-folio rule

struct DupCase {
    const char* what;
    bool adding;
    std::vector<FolioPayment> sameFolio;
    const char* typedName;
    FolioVerdict verdict;
    std::vector<qint64> listed;
    bool folioBox;
};

void PrintTo(const DupCase& c, std::ostream* os)
{
    *os << c.what;
}

constexpr qint64 kChanged = 10;

class DuplicateRuleTest : public ::testing::TestWithParam<DupCase> {};

TEST_P(DuplicateRuleTest, Verdict)
{
    const DupCase c = GetParam();
    const FolioCheck check = c.adding ? CheckNewPayment(c.sameFolio, QLatin1String(c.typedName))
                                      : CheckChangedPayment(c.sameFolio, kChanged, QLatin1String(c.typedName));
    EXPECT_EQ(check.verdict, c.verdict);
    std::vector<qint64> listed;
    for (const FolioPayment& p : check.listed)
        listed.push_back(p.bookmark);
    EXPECT_EQ(listed, c.listed);
    if (c.verdict == FolioVerdict::Duplicate) {
        EXPECT_EQ(check.markFolioBox, c.folioBox);
    }
}

using V = FolioVerdict;
INSTANTIATE_TEST_SUITE_P(
    Cases, DuplicateRuleTest,
    ::testing::Values(
        DupCase{"none", false, {}, "SMITH", V::Save, {}, false},
        DupCase{"itself only", false, {{kChanged, "SMITH", 1}}, "SMITH", V::Save, {}, false},
        DupCase{"itself only, renamed", false, {{kChanged, "SMITH", 1}}, "JONES", V::Save, {}, false},
        DupCase{"another, same name", false, {{11, "SMITH", 1}}, " SMITH ", V::Duplicate, {}, true},
        DupCase{"another, other name", false, {{11, "JONES", 1}}, "SMITH", V::Notice, {11}, false},
        DupCase{"another, name differing in case", false, {{11, "smith", 1}}, "SMITH", V::Duplicate, {}, true},
        DupCase{"several, itself among them", false, {{kChanged, "SMITH", 1}, {11, "JONES", 2}}, "SMITH", V::Notice,
                {11}, false},
        DupCase{"several, itself renamed", false, {{kChanged, "OLD", 1}, {11, "JONES", 2}}, "NEW", V::Notice,
                {kChanged, 11}, false},
        DupCase{"several, one the same", false, {{kChanged, "SMITH", 1}, {11, "SMITH ", 2}}, "SMITH", V::Duplicate,
                {}, false},
        DupCase{"several others, one the same", false, {{11, "A", 1}, {12, "B", 2}}, "B", V::Duplicate, {}, false},
        DupCase{"add, none", true, {}, "SMITH", V::Save, {}, false},
        DupCase{"add, other name", true, {{11, "JONES", 1}}, "SMITH", V::Notice, {11}, false},
        DupCase{"add, same name", true, {{11, "SMITH", 1}}, "smith ", V::Duplicate, {}, false},
        DupCase{"add, several", true, {{11, "A", 1}, {12, "B", 2}}, "C", V::Notice, {11, 12}, false}),
    [](const ::testing::TestParamInfo<DupCase>& info) {
        QString name = QString::fromLatin1(info.param.what);
        name.replace(QRegularExpression(QStringLiteral("[^A-Za-z]+")), QStringLiteral("_"));
        return name.toStdString();
    });

TEST(FolioNotice, TitleAndTextAsTheDialogShowsThem)
{
    const std::vector<FolioPayment> listed{{11, " JONES ", 12.5}, {12, "BROWN", 1234.567}};
    EXPECT_EQ(FolioNoticeText(listed, true, " SMITH ", "1,500"),
              "This folio has multiple payments: \r\nJONES 12.50\r\nBROWN 1234.57\r\n\r\n"
              "Plus this changed payment \r\nSMITH 1500.00");
    EXPECT_EQ(FolioNoticeText({}, false, "SMITH", "7"),
              "This folio has multiple payments: \r\n\r\nPlus this new payment \r\nSMITH 7.00");
}

class FolioRowsTest : public ScreensTest {};

TEST_F(FolioRowsTest, TheMatchKeyTakesAnyTypedTextLiterally)
{
    loadSample();
    db::Recordset& rs = DE().rsDetail();
    rs.setFilter(QString());
    EXPECT_EQ(MatchKeyFilter("0042", "01", "701", "000000000123456789"),
              "MORTCO = '0042' AND CD = '01' AND JUR = '701' AND FOLIO = '000000000123456789' ");
    const auto found = PaymentsOfFolio(rs, "0042", "01", "701", "000000000123456789");
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found.front().name, "OWNER NAME");
    EXPECT_EQ(found.front().payment, 1500);
    for (const char* odd : {"'", "0'1", "%", "_1", "*", "' OR ''='"})
        EXPECT_TRUE(PaymentsOfFolio(rs, "0042", QLatin1String(odd), "701", "").empty()) << odd;
    EXPECT_TRUE(rs.filter().isEmpty());
}

// ---------------------------------------------------------------- field rules

TEST(FolioOf, DigitsRightAlignedInEighteenZeros)
{
    EXPECT_EQ(FolioOf("5-67"), "000000000000000567");
    EXPECT_EQ(FolioOf("abc"), "000000000000000000");
    EXPECT_EQ(FolioOf("1234567890123456789012"), "567890123456789012");
    EXPECT_EQ(FolioOf(" 12-34 "), "000000000000001234");
}

TEST(PaymentAmount, CheckedAndFormatted)
{
    struct Case {
        const char* typed;
        const char* shown;
        AmountVerdict verdict;
        const char* message;
    };
    const Case cases[] = {
        {"12.5", "12.50", AmountVerdict::Accepted, ""},
        {" 0 ", "0.00", AmountVerdict::Accepted, ""},
        {"1,500.00", "1500.00", AmountVerdict::Accepted, ""},
        {"2.675", "2.68", AmountVerdict::Accepted, ""},
        {"-1", "-1.00", AmountVerdict::Negative, "Payment refunds are not allowed!"},
        // The test and the conversion agree: a trailing minus is a minus.
        {"12-", "-12.00", AmountVerdict::Negative, "Payment refunds are not allowed!"},
        {"(5.00)", "-5.00", AmountVerdict::Negative, "Payment refunds are not allowed!"},
        {"$25.00", "25.00", AmountVerdict::Accepted, ""},
        {"1,2,3", "1,2,3", AmountVerdict::NotNumeric, "The Payment Amount must be numeric!"},
        {"abc", "abc", AmountVerdict::NotNumeric, "The Payment Amount must be numeric!"},
        {"12abc", "12abc", AmountVerdict::NotNumeric, "The Payment Amount must be numeric!"},
        {"", "", AmountVerdict::NotNumeric, "The Payment Amount must be numeric!"},
        {"1E400", "1E400", AmountVerdict::NotNumeric, "The Payment Amount must be numeric!"},
    };
    for (const Case& c : cases) {
        const AmountCheck check = CheckPaymentAmount(QLatin1String(c.typed));
        EXPECT_EQ(check.text, c.shown) << c.typed;
        EXPECT_EQ(check.verdict, c.verdict) << c.typed;
        EXPECT_EQ(check.message, c.message) << c.typed;
    }
}

TEST(Grant, OptionsAndArithmetic)
{
    EXPECT_EQ(GrantOf("b"), Grant::B);
    EXPECT_EQ(GrantOf("c"), Grant::C);
    EXPECT_EQ(GrantOf("X"), Grant::A);
    EXPECT_EQ(GrantOf(""), Grant::A);
    const StoredAmounts stored{1700, 100, 0, -10};
    EXPECT_EQ(*RecalculatePayment(Grant::A, stored).payment, 1690);
    EXPECT_EQ(*RecalculatePayment(Grant::B, stored).payment, 90);
    const Recalculation c = RecalculatePayment(Grant::C, stored);
    EXPECT_FALSE(c.payment.has_value());
    EXPECT_EQ(c.message, "");
}

TEST(AmountsShown, Currency)
{
    EXPECT_EQ(CurrencyText(1500), "$1,500.00");
    EXPECT_EQ(CurrencyText(-25.1), "-$25.10");
    EXPECT_EQ(CurrencyText(-0.001), "$0.00");
}

} // namespace
