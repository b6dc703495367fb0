// FormatFolio leaves strFind naming the jurisdiction it looked for, whatever
// strFind held before (it is only rewritten when it says something else).
#include "env/tablerows.h"
#include "env/testenv.h"

#include "services/clientdata.h"
#include "services/sharedstate.h"

using namespace zarv;
using test::addMask;

namespace {

class FolioFindTest : public test::DeTest {};

TEST_F(FolioFindTest, FindTextAlwaysEndsNamingTheJurisdiction)
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
