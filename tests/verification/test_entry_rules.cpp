// The rules of the folio screens that need no window: folio forms, codes,
// the whole-form check of a new folio in its order, literal lookups and the
// jurisdiction list that follows a district.
#include "verification_support.h"

#include "verification/folioentry.h"

using namespace zarv::folioentry;

TEST(FolioForms, DigitsPaddingAndNotes)
{
    EXPECT_EQ(PaddedFolio("1234-567.8"), "000000000012345678");
    EXPECT_EQ(PaddedFolio("1234567890123456789"), "234567890123456789");   // the rightmost 18
    EXPECT_EQ(PaddedFolio("00-0 0"), kNoFolio);
    EXPECT_EQ(PaddedFolio("abc"), kNoFolio);
    EXPECT_EQ(Digits(QStringLiteral("1\u0663 2")), "12");   // only ASCII digits count
    EXPECT_EQ(NoteFolio("000000000012345678"), "12345.678");
    EXPECT_EQ(NoteFolio(""), ".");
}

TEST(FolioForms, CodesAreAsciiDigitsWithTrailingBlanksOnly)
{
    EXPECT_EQ(DistrictCode(" 05 Westport"), "05");
    EXPECT_EQ(DistrictCode("5"), "5 ");
    EXPECT_EQ(JurisdictionCode("7000"), "700");
    struct Case {
        const char* code;
        int low, high;
        CodeVerdict verdict;
    };
    const Case cases[] = {
        {"  ", 1, 99, CodeVerdict::Blank},  {"05", 1, 99, CodeVerdict::Valid},    {"5 ", 1, 99, CodeVerdict::Valid},
        {"00", 1, 99, CodeVerdict::Invalid}, {"+5", 1, 99, CodeVerdict::Invalid}, {"1.", 1, 99, CodeVerdict::Invalid},
        {"-1", 1, 99, CodeVerdict::Invalid}, {"7 ", 701, 799, CodeVerdict::Invalid},
        {"7e2", 701, 799, CodeVerdict::Invalid}, {"&H2", 1, 99, CodeVerdict::Invalid},
        {"799", 701, 799, CodeVerdict::Valid}, {"1 2", 1, 999, CodeVerdict::Invalid},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CheckCode(QString::fromLatin1(c.code), c.low, c.high), c.verdict) << c.code;
    EXPECT_EQ(CheckCode(QStringLiteral("\uFF10\uFF15"), 1, 99), CodeVerdict::Invalid);   // full-width 05
}

class EntryRulesTest : public FolioScreenTest {
protected:
    void SetUp() override
    {
        FolioScreenTest::SetUp();
        addCodes();
        addVerify(" |0042|100|01|701|000000000012345678|111111111|ACTIVE ONE");
        addVerify("D|0042|200|02|702|000000000000000777|222222222|DELETED ONE");
        addVerify(" |0042|AB%|02|703||333333333|WILD ONE");
        openList();
        clone = DE().rsVerify().clone();
    }
    std::unique_ptr<db::Recordset> clone;
};

TEST_F(EntryRulesTest, WholeFormCheckStopsAtTheFirstFailingCheck)
{
    const NewFolio good{"900", "0042", "01 Westport", "701 Westport Town", "999", ""};
    struct Case {
        int check;
        std::function<void(NewFolio&)> change;
        const char* message;
    };
    const std::vector<Case> cases = {
        {1, [](NewFolio& f) { f.number = "  "; f.mortco = ""; }, "You must enter a Mortgage Number!"},
        {2, [](NewFolio& f) { f.mortco = " "; f.districtText = "x"; }, "You must enter a Mortgage Company ID!"},
        {3, [](NewFolio& f) { f.mortco = "004"; }, "You must enter a VALID Mortgage Company ID! (must be four characters long)"},
        {4, [](NewFolio& f) { f.districtText = "+5"; f.jurisdictionText = "x"; }, "Collection District must be two digits long!"},
        {5, [](NewFolio& f) { f.districtText = "00"; }, "Collection District must be two digit and be from 01 to 99"},
        {6, [](NewFolio& f) { f.jurisdictionText = "7e2"; f.folio = ""; }, "Jurisdiction must be entered!"},
        {7, [](NewFolio& f) { f.jurisdictionText = "7"; }, "Jurisdiction must be from 701 to 799"},
        {8, [](NewFolio& f) { f.folio = " "; f.pid = ""; }, "Folio Number (or Property Identifier) must be entered!"},
        {9, [](NewFolio& f) { f.folio = "0-0"; f.pid = "111111111"; }, "A VALID Folio Number must be entered!"},
        {10, [](NewFolio& f) { f.folio = "12345.678"; f.pid = "111111111"; }, "The Jurisdiction and Folio Number ALREADY exist!"},
        {11, [](NewFolio& f) { f.folio = ""; f.pid = "111111111"; }, "The Property Identifier (PID) ALREADY exist!"},
        {12, [](NewFolio& f) { f.districtText = "03"; f.folio = "12345.678"; },
         "The tax office would leave this folio out: collection district 03 with jurisdiction 701 is not a pair of "
         "the code table."},
        {12, [](NewFolio& f) { f.districtText = ""; f.jurisdictionText = ""; },
         "The tax office would leave this folio out: no collection district; no jurisdiction."},
        {12, [](NewFolio& f) { f.districtText = "09"; f.jurisdictionText = "799"; },
         "The tax office would leave this folio out: collection district 09 is not in the code table; jurisdiction "
         "799 is not in the code table."},
    };
    for (const Case& c : cases) {
        NewFolio f = good;
        c.change(f);
        const FormCheck result = ValidateNewFolio(f, *clone);
        EXPECT_EQ(result.failed, c.check) << c.message;
        EXPECT_EQ(result.message, QLatin1String(c.message));
    }
    EXPECT_TRUE(ValidateNewFolio(good, *clone).ok());
}

TEST_F(EntryRulesTest, LookupsMatchTypedTextLiterallyAndAFailureIsNoHit)
{
    EXPECT_TRUE(Lookup(*clone, NumberFilter("AB%")).found);
    EXPECT_FALSE(Lookup(*clone, NumberFilter("A%")).found);
    EXPECT_FALSE(Lookup(*clone, NumberFilter("A_%")).found);
    EXPECT_FALSE(Lookup(*clone, NumberFilter("1'0")).found);
    EXPECT_EQ(clone->filter(), QString());

    const Hit hit = Lookup(*clone, FolioFilter("702", "000000000000000777", true));
    ASSERT_TRUE(hit.found);
    EXPECT_EQ(FolioNote(hit, true), "NOTE - This Folio Number already Exist (BUT it is marked as DELETED)! see folio "
                                    "02 702 .777 DELETED ONE");
    EXPECT_EQ(PidNote(Lookup(*clone, PidFilter("111111111", false)), false),
              "NOTE - This Property Identifier (PID) already Exist! see folio 01 701 12345.678 111111111 ACTIVE ONE");

    // A filter the data layer refuses and a closed recordset find nothing.
    EXPECT_FALSE(Lookup(*clone, QStringLiteral("NUMBER = 'unclosed")).found);
    db::Recordset closed;
    EXPECT_FALSE(Lookup(closed, NumberFilter("100")).found);
    // The row being edited is left out.
    const Hit own = Lookup(*clone, NumberFilter("100"));
    EXPECT_FALSE(Lookup(*clone, NumberFilter("100"), own.bookmark).found);
}

// The jurisdiction list as the add screen shows it is tried there; what that
// cannot show is checked here.
TEST_F(EntryRulesTest, JurisdictionListFollowsTheDistrict)
{
    // A district without pairs, or a wildcard: every jurisdiction, the text as it was.
    for (const char* district : {"07", "%"}) {
        JurisdictionList none = JurisdictionChoices(QLatin1String(district), "typed 7");
        EXPECT_EQ(none.items.size(), 5) << district;
        EXPECT_EQ(none.text, "typed 7") << district;
    }
    // A pair whose jurisdiction has no name row gives its code alone.
    addRow("CD_JUR", {"Collection_District_Code", "Jurisdiction_Code"}, {"07", "799"});
    DE().rsCD_JUR().requery();
    EXPECT_EQ(JurisdictionChoices("07", "").items, QStringList{"799"});
    EXPECT_EQ(DE().rsCD_JUR().filter(), QString());   // the shared pairs stay unfiltered
}
