// The Verify.csv line on its own: how a row becomes a line, how a line splits
// back into fields and is read, and the checks of one record in their fixed
// order (the add screen's, whatever the code tables of the workbook list).
#include "verification_support.h"

#include "verification/folioentry.h"
#include "verification/verifycsv.h"
#include "verification/verifyimport.h"

#include <algorithm>

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
        // How the file spells a folio, a PID or a code comes first.
        {",1234,9,1,701,1.23456789012346E+017",
         "Folio Number 1.23456789012346E+017 is in exponent form and has lost digits: write it in full (save the "
         "column as text)."},
        {",,,AB,1,1E5", "Folio Number 1E5 is in exponent form and has lost digits: write it in full (save the column "
                        "as text)."},
        {",1234,9,1,701,12A4", "Folio Number is NOT numeric."},
        {",1234,9,1,701,+12", "Folio Number is NOT numeric."},
        {",1234,9,1,701,1,1E5", "Property Identifier 1E5 is in exponent form and has lost digits: write it in full "
                                "(save the column as text)."},
        {",1234,9,1,701,,12A", "Property Identifier is NOT numeric."},
        {",1234,9,1,701,,1.5", "Property Identifier is NOT numeric."},
        {",1234,9,1,701,,-12", "Property Identifier is NOT numeric."},
        {",1234,9,100,701,1", "Collection District is NOT valid (must be 01-99)."},
        {",1234,9,1E1,701,1", "Collection District is NOT valid (must be 01-99)."},
        {",1234,9,1,702.0,5", "Jurisdiction Code is NOT valid (must be 701-799)."},
        // Then the add screen's rule, in its order.
        {",,,,,,", "Mortgage Number is MISSING"},
        {"", "Mortgage Number is MISSING"},
        {",1234,,01,701,1", "Mortgage Number is MISSING"},
        {",,9,01,701,1", "Mortgage Company ID is MISSING"},
        {",123,9,01,701,1", "Mortgage Company ID is NOT four characters long"},
        {",12345,9,AB,1", "Mortgage Company ID is NOT four characters long"},
        {",1234,9,AB,,", "Collection District is NOT valid (must be 01-99)."},
        {",1234,9,0,701,1", "Collection District is NOT valid (must be 01-99)."},
        {",1234,9,7.,701,1", "Collection District is NOT valid (must be 01-99)."},
        {",1234,9,1,70A,1", "Jurisdiction Code is NOT valid (must be 701-799)."},
        {",1234,9,1,7'1,1", "Jurisdiction Code is NOT valid (must be 701-799)."},
        {",1234,9,1,700,1", "Jurisdiction Code is NOT valid (must be 701-799)."},
        {",1234,9,1,800,1", "Jurisdiction Code is NOT valid (must be 701-799)."},
        {",1234,9,1,701,,", "NO Folio Number or Property Identifier."},
        {",1234,9,,,,", "NO Folio Number or Property Identifier."},
        {",1234,9,1,701,0", "Folio Number is MISSING"},
        {",1234,9,1,703,0", "Folio Number is MISSING"},
        {",1234,9,1,701,000,123", "Folio Number is MISSING"},
        {",1234,9,1,701,--", "Folio Number is MISSING"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(check(c.line), c.message) << c.line.toStdString();
}

// When the text of a line stands for a row's value as the export wrote it.
TEST(ImportSameField, NumbersRespelledStandForTheRowsValueDigitsLostDoNot)
{
    const struct {
        Field f;
        const char* file;
        const char* exported;
        bool same;
    } cases[] = {
        {NAME, "OBRIEN MARY", "OBRIEN MARY", true},   {NAME, "OBRIEN MARY JR", "OBRIEN MARY", false},
        {CD, "1", "01", true},                        {CD, "10", "01", false},
        {PID, "12345678", "012345678", true},         {PID, "0", "", false},
        {PID, "", "0", false},                        {MORTCO, "42", "0042", true},
        {NUMBER, "7", "07", true},                    {FOLIO, "12345", "000000000000012345", true},
        {FOLIO, "123456", "123-456", true},           {FOLIO, "", "", true},
        {FOLIO, "1.23456789012346E+017", "123456789012346017", false},
        {FOLIO, "1.23456789012346E+017", "123456789012345678", false},
        {FOLIO, "0", "", false},                      {NAME, "123-456", "123456", false},
        {ADDR1, "5 MAIN ST", "05 MAIN ST", false},    // a text with digits is no number
    };
    for (const auto& c : cases)
        EXPECT_EQ(verifyimport::SameFieldText(c.f, QString::fromLatin1(c.file), QString::fromLatin1(c.exported)), c.same)
            << c.file << " / " << c.exported;
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

// A district and a jurisdiction pass the import exactly when they pass the add
// screen, whether the code tables are empty or list other codes and pairs.
TEST_F(ImportChecks, TheCodeTablesDoNotDecideWhichCodesPass)
{
    int passed = 0;
    for (bool tables : {false, true}) {
        if (tables)
            addCodes();
        for (int cd = 0; cd <= 99; ++cd) {
            for (int jur : {700, 701, 702, 703, 755, 799, 800}) {
                for (const QString& district : {QString::number(cd), QString::number(cd).rightJustified(2, u'0')}) {
                    const QString line = QStringLiteral(",1234,9,%1,%2,1").arg(district).arg(jur);
                    const bool screen =
                        folioentry::CheckNewFolioFields({"9", "1234", district, QString::number(jur), "1", ""}).ok();
                    EXPECT_EQ(check(line).isEmpty(), screen) << line.toStdString() << " tables " << tables;
                    passed += screen ? 1 : 0;
                }
            }
        }
    }
    EXPECT_EQ(passed, 2 * 99 * 5 * 2);   // districts 01-99 with 701, 702, 703, 755 and 799
    EXPECT_EQ(check(",1234,9,55,755,1"), QString());
    EXPECT_EQ(check(",1234,9,00,755,1"), QStringLiteral("Collection District is NOT valid (must be 01-99)."));
    EXPECT_EQ(check(",1234,9,55,800,1"), QStringLiteral("Jurisdiction Code is NOT valid (must be 701-799)."));
}

// ---------------------------------------------------------------- the line format

QStringList fields(const QString& cells)
{
    QStringList values = cells.split(u'|');
    while (values.size() < kFieldCount)
        values << QString();
    return values;
}

TEST(VerifyCsvLine, WritesTrimmedValuesWithoutQuotesAndQuotesOnlyValuesWithCommas)
{
    const struct {
        const char* row;
        const char* line;
    } cases[] = {
        // An unchanged row begins with a comma; empty values stay empty: 13 commas.
        {" |1234|100200300|01|701|000000000000012345||ANNA BERG|12 HARBOUR ROAD|WESTPORT||||LOT 4 PLAN 88",
         ",1234,100200300,01,701,000000000000012345,,ANNA BERG,12 HARBOUR ROAD,WESTPORT,,,,LOT 4 PLAN 88"},
        {"D|AB  | 77 |02|702|  12||||||||", "D,AB,77,02,702,12,,,,,,,,"},
        // Quotes and apostrophes go; a comma keeps its value together in double quotes.
        {"A|1234|9|01|701|1||JOHN O'NEILL|\"THE\" FARM||||| LOT 'A'", "A,1234,9,01,701,1,,JOHN ONEILL,THE FARM,,,,,LOT A"},
        {"C|1234|9|01|701|1||SMITH, JOHN|UNIT 4, 12 MAIN|||||LOT 1, PLAN 2",
         "C,1234,9,01,701,1,,\"SMITH, JOHN\",\"UNIT 4, 12 MAIN\",,,,,\"LOT 1, PLAN 2\""},
        {"C|1234|9|01|701|1||O'HARA, \"JIM\"||||||", "C,1234,9,01,701,1,,\"OHARA, JIM\",,,,,,"},
        // A blank that a quote held away from the edge is trimmed once the quote is gone.
        {"A|1234|9|01|701|1||' SMITH|1 MAIN \"||||", "A,1234,9,01,701,1,,SMITH,1 MAIN,,,,,"},
        // A line break or tab the list still holds never splits the line.
        {"A|1234|9|01|701|1||TWO\r\nLINES|A\tB||||", "A,1234,9,01,701,1,,TWO  LINES,A B,,,,,"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(VerifyCsvLine(fields(QString::fromLatin1(c.row))), QString::fromLatin1(c.line)) << c.row;
}

TEST(LineShowsAcd, TheStatusFieldShowsAsALetterAndACommaOrALeadingComma)
{
    for (const char* yes : {"A,1234", "C,", "D,x", " ,1234", ",1234", ","})
        EXPECT_TRUE(LineShowsAcd(QString::fromLatin1(yes))) << yes;
    for (const char* no : {"1234,5", "AB,", "X,1234", "a,1234", "", " ", "  ,"})
        EXPECT_FALSE(LineShowsAcd(QString::fromLatin1(no))) << no;
}

// A line as the import reads it: the status upper-cased, anything but A, C or D
// a blank; the company to the PID trimmed and upper-cased; the name, addresses
// and legal description upper-cased only, their blanks kept. An unquoted comma
// moves the rest along; without the status field the first field is the company.
TEST(ParseVerifyRecord, ReadsFourteenOrThirteenFieldsAndNormalisesThem)
{
    const struct {
        const char* line;
        bool hasAcd;
        const char* record;
    } cases[] = {
        {"c, ab12 , n-1 ,7,701, 12 ,9,  smith, j ,a1,a2,a3,a4,a5,lot", true,
         "C|AB12|N-1|7|701|12|9|  SMITH| J |A1|A2|A3|A4|A5"},
        {"A,1234,9,01,701,1,,\"smith, j\",a1,,,,,lot", true, "A|1234|9|01|701|1||SMITH, J|A1|||||LOT"},
        {"1234,9,01,701,1", false, " |1234|9|01|701|1"},
        {"X,1234", true, " |1234"},  {",1234", true, " |1234"}, {" ,1234", true, " |1234"},
        {"AC,1234", true, " |1234"}, {"d,1234", true, "D|1234"},
    };
    for (const auto& c : cases) {
        const auto r = verifyimport::ParseVerifyRecord(QString::fromLatin1(c.line), c.hasAcd);
        EXPECT_EQ(QStringList(r.value.begin(), r.value.end()), fields(QString::fromLatin1(c.record))) << c.line;
        EXPECT_EQ(r.raw, QString::fromLatin1(c.line));
    }
}

} // namespace
