// The checks of one Verify.csv record, in their fixed order, against the code
// tables of a small workbook.
#include "verification_support.h"

#include "verification/verifyimport.h"

#include <algorithm>

using namespace zarv;
using namespace zarv::test;
using namespace zarv::verifycsv;
using verifyimport::CheckVerifyRecord;
using verifyimport::ParseVerifyRecord;

namespace {

class ImportChecks : public VerificationTest {
protected:
    QString check(const QString& line)
    {
        verifyimport::VerifyRecord r = ParseVerifyRecord(line, true);
        return CheckVerifyRecord(r);
    }
};

TEST_F(ImportChecks, TheFirstCheckThatFailsGivesTheMessage)
{
    addCodes();
    const struct {
        QString line;
        QString message;
    } cases[] = {
        {",,9,01,701,1", "Mortgage Company ID is MISSING"},
        {",,,,,,", "Mortgage Company ID is MISSING"},
        {"", "Mortgage Company ID is MISSING"},
        {",123,9,01,701,1", "Mortgage Company ID is NOT four characters long"},
        {",12345,,AB,1,X", "Mortgage Company ID is NOT four characters long"},
        {",1234,,01,701,1", "Mortgage Number is MISSING"},
        {",1234,,AB,1,X", "Mortgage Number is MISSING"},
        {",1234,9,,701,1", "Collection District is NOT valid (must be 01-99)."},
        {",1234,9,AB,,", "Collection District is NOT valid (must be 01-99)."},
        {",1234,9,0,701,1", "Collection District is NOT valid (must be 01-99)."},
        {",1234,9,100,701,1", "Collection District is NOT valid (must be 01-99)."},
        {",1234,9,99,701,1", "Collection District (99) is NOT in the list of valid Collection Districts!"},
        {",1234,9,4,701,1", "Collection District (04) is NOT in the list of valid Collection Districts!"},
        {",1234,9,1,,1", "Jurisdiction Code is NOT valid (must be 701-799)."},
        {",1234,9,1,70A,1", "Jurisdiction Code is NOT valid (must be 701-799)."},
        {",1234,9,1,700,1", "Jurisdiction Code is NOT valid (must be 701-799)."},
        {",1234,9,1,800,1", "Jurisdiction Code is NOT valid (must be 701-799)."},
        {",1234,9,1,799,1", "Jurisdiction (799) is NOT in the list of valid Jurisdictions!"},
        {",1234,9,1,701,12-34,X", "Folio Number is NOT numeric."},
        {",1234,9,1,701,,12A", "Property Identifier is NOT numeric."},
        {",1234,9,1,701,,1.5", "Property Identifier is NOT numeric."},
        {",1234,9,1,701,,-12", "Property Identifier is NOT numeric."},
        {",1234,9,1,701,1,1E5", "Property Identifier is NOT numeric."},
        {",1234,9,1,701,,", "NO Folio Number or Property Identifier."},
        {",1234,9,1,703,1", "Collection District (01) and Jurisdiction (703) is NOT in the list of valid combinations!"},
        {",1234,9,1,703,0", "Collection District (01) and Jurisdiction (703) is NOT in the list of valid combinations!"},
        {",1234,9,1,701,0", "Folio Number is MISSING"},
        {",1234,9,1,701,000,123", "Folio Number is MISSING"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(check(c.line), c.message) << c.line.toStdString();
}

TEST_F(ImportChecks, APassingRecordHasItsCodesAndFolioInTheirStoredForms)
{
    addCodes();
    const struct {
        const char* line;
        const char* cd;
        const char* jur;
        const char* folio18;
    } cases[] = {
        {",1234,9,2,702,12.5", "02", "702", "000000000000000125"},
        {",1234,9,01,701,12345678901234567890", "01", "701", "345678901234567890"},
        {",1234,9,2,702,,987654321", "02", "702", ""},
        {",1234,9,02,702.0,5", "02", "702", "000000000000000005"},
        {"A,1234,123456789012,3,705,1,123456789," , "03", "705", "000000000000000001"},
    };
    for (const auto& c : cases) {
        verifyimport::VerifyRecord r = ParseVerifyRecord(QString::fromLatin1(c.line), true);
        EXPECT_EQ(CheckVerifyRecord(r), QString()) << c.line;
        EXPECT_EQ(r[CD], QString::fromLatin1(c.cd)) << c.line;
        EXPECT_EQ(r[JUR], QString::fromLatin1(c.jur)) << c.line;
        EXPECT_EQ(r.strFolio18, QString::fromLatin1(c.folio18)) << c.line;
    }
}

TEST_F(ImportChecks, EveryLimitedFieldPassesAtItsWidthAndIsRefusedOneBeyond)
{
    addCodes();
    // The widths of VERIFY's columns and the words the clerk reads, stated here
    // so that a wrong width or label in the program cannot pass.
    struct Limit {
        Field field;
        const char* label;
        int width;
    };
    const Limit limits[] = {
        {NUMBER, "Mortgage Number", 12}, {PID, "Property Identifier", 9}, {NAME, "Name", 70},
        {ADDR1, "Address Line 1", 30},   {ADDR2, "Address Line 2", 30},    {ADDR3, "Address Line 3", 30},
        {ADDR4, "Address Line 4", 30},   {ADDR5, "Address Line 5", 30},    {LEGAL, "Legal Description", 32},
    };
    for (const Limit& limit : limits) {
        for (int size : {limit.width, limit.width + 1}) {
            QStringList values = {"A", "1234", "9", "01", "701", "1", "", "N", "", "", "", "", "", ""};
            values[limit.field] = QString(size, limit.field == PID ? u'7' : u'X');
            const QString expected = size > limit.width ? QStringLiteral("%1 is longer than %2 characters.")
                                                              .arg(QLatin1String(limit.label))
                                                              .arg(limit.width)
                                                        : QString();
            EXPECT_EQ(check(values.join(u',')), expected) << limit.label << " " << size;
        }
    }
}

TEST_F(ImportChecks, AnEmptyCodeTableListsNothingButAnEmptyPairTableIsNotChecked)
{
    // No districts at all: every district is unknown.
    EXPECT_EQ(check(",1234,9,01,701,1"),
              QStringLiteral("Collection District (01) is NOT in the list of valid Collection Districts!"));

    addRow("Collection_District", {"Collection_District_Code", "Collection_District_Name"}, {"01", "Westport"});
    DE().rsCollection_District().requery();
    EXPECT_EQ(check(",1234,9,01,701,1"),
              QStringLiteral("Jurisdiction (701) is NOT in the list of valid Jurisdictions!"));

    addRow("Jurisdiction", {"Jurisdiction_Code", "Jurisdiction_Name"}, {"703", "North Vale"});
    DE().rsJurisdiction().requery();
    EXPECT_EQ(check(",1234,9,01,703,1"), QString());   // no pairs listed: any pair passes

    addRow("CD_JUR", {"Collection_District_Code", "Jurisdiction_Code"}, {"01", "701"});
    DE().rsCD_JUR().requery();
    EXPECT_EQ(check(",1234,9,01,703,1"),
              QStringLiteral("Collection District (01) and Jurisdiction (703) is NOT in the list of valid combinations!"));
    EXPECT_EQ(DE().rsCD_JUR().filter(), QString());    // the pair table is left unfiltered
}

TEST_F(ImportChecks, OddFormsOfTheCodesAreRefusedOrNotListed)
{
    addCodes();
    EXPECT_EQ(check(",1234,9,1,7'1,1"), QStringLiteral("Jurisdiction Code is NOT valid (must be 701-799)."));
    // A district that reads as a number in an odd form is looked up as written, and not found.
    EXPECT_EQ(check(",1234,9,1E1,701,1"),
              QStringLiteral("Collection District (E1) is NOT in the list of valid Collection Districts!"));
}

} // namespace
