// Folio display formats, from the working and the reference mask tables, and
// the find that leads to a jurisdiction's mask.
#include "env/tablerows.h"
#include "env/testenv.h"

#include "services/clientdata.h"
#include "services/sharedstate.h"

using namespace zarv;
using test::addMask;

namespace {

class FormatFolioTest : public test::DeTest {};

TEST_F(FormatFolioTest, PoursTheRightmostDigitsIntoTheMask)
{
    addMask("701", 15, "###-##-####-###.###");
    addMask("702", 6, "##-####");
    addMask("703", 6, "####-####");
    addMask("704", 3, "AB###");
    addMask("705", 9, "###-###-###");
    addMask("706", 0, "X-#");
    addMask("707", 18, "##########-##########-##");
    struct Case {
        const char* jur;
        const char* folio;
        const char* shown;
    };
    const Case cases[] = {
        {"701", "000abcdefghijklmno", "abc-de-fghi-jkl.mno"},
        {"702", "000000000000abcdef", "ab-cdef"},
        {"703", "000000000000abcdef", "abcd-ef"},
        {"704", "000000000000000xyz", "ABxyz"},
        {"705", "abcde", "abc-de-"},               // short folio: leftover places vanish
        {"706", "000000000000000123", "X-"},       // a length of 0 shows no digit
        {"707", "123456789012345678", "1234567890-12345678"},  // mask cut after 20 characters
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatFolio(c.jur, c.folio), QString::fromLatin1(c.shown)) << c.jur;
}

// Without a mask row that can be used the folio is padded to twenty; awkward
// jurisdictions and bad rows never fail.
TEST_F(FormatFolioTest, WithoutAMaskTheFolioIsPaddedToTwenty)
{
    EXPECT_EQ(FormatFolio("701", "000000000000012345"), QStringLiteral("000000000000012345  "));
    addMask("701", 6, "##-####");
    addMask("702", -3, "##-####");   // a negative length cannot be used
    addMask("703", 6, "");           // nor an empty mask
    addMask("704", QString(), "##-####");   // nor an empty length
    addMask("705", "  ", "##-####");
    for (const char* jur : {"7'1", "70%", "702", "703", "704", "705", "799"})
        EXPECT_EQ(FormatFolio(jur, "000000000000123456"), QStringLiteral("000000000000123456  ")) << jur;
    EXPECT_TRUE(de().rsFol_Mask().eof());
    // The "#" count comes from the trimmed folio, the characters from the untrimmed one.
    EXPECT_EQ(FormatFolio("799", " 123"), QStringLiteral(" 12") + QString(17, ' '));
    EXPECT_EQ(FormatFolio("799", ""), QString(20, ' '));
}

// The first mask row serves without a find; any other jurisdiction is found,
// and strFind is left naming it, whatever it held before (it is only
// rewritten when it says something else).
TEST_F(FormatFolioTest, FindTextAlwaysEndsNamingTheJurisdiction)
{
    addMask("701", 6, "##-####");
    addMask("7'2", 6, "####-##");
    addMask("702", 6, "###-###");
    struct Case {
        const char* before;
        const char* jur;
        const char* shown;
        const char* after;
    };
    const Case cases[] = {
        {"", "7'2", "1234-56", "JUR_CD = '7''2'"},
        {"JUR_CD = '7''2'", "7'2", "1234-56", "JUR_CD = '7''2'"},
        {"JUR_CD = '7'2'", "7'2", "1234-56", "JUR_CD = '7''2'"},   // a quote not doubled
        {"JUR_CD = '7''2''", "7'2", "1234-56", "JUR_CD = '7''2'"},
        {"JUR_CD = '7022'", "702", "123-456", "JUR_CD = '702'"},
        {"JUR_CD = '70'", "702", "123-456", "JUR_CD = '702'"},
        {"jur_cd = '702'", "702", "123-456", "JUR_CD = '702'"},
        {"JUR_CD = '", "702", "123-456", "JUR_CD = '702'"},
        {"JUR_CD = '702' ", "702", "123-456", "JUR_CD = '702'"},
        {"JUR_CD = '702'", "799", "000000000000123456  ", "JUR_CD = '799'"},   // not there: still named
        {"JUR_CD = '799'", "701", "12-3456", "JUR_CD = '799'"},                 // the first row: no find
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.before) + " / " + c.jur);
        strFind = QString::fromUtf8(c.before);
        EXPECT_EQ(FormatFolio(QString::fromUtf8(c.jur), "000000000000123456"), QString::fromUtf8(c.shown));
        EXPECT_EQ(strFind, QString::fromUtf8(c.after));
    }
}

} // namespace
