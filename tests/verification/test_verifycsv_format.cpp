// The Verify.csv line format on its own: how a row becomes a line and how a
// line splits back into fields.
#include "verification_support.h"

#include "verification/verifycsv.h"
#include "verification/verifyimport.h"

using namespace zarv::verifycsv;

namespace {

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

TEST(SplitVerifyCsvLine, PlainLinesSplitAtEveryCommaAndQuotedFieldsKeepTheirCommas)
{
    const struct {
        const char* line;
        int count;
        const char* fields;   // joined by |
    } cases[] = {
        {"a,b,c", 3, "a|b|c"},
        {",b,,d", 4, "|b||d"},
        {"a,b", 4, "a|b||"},                    // missing fields are empty
        {"a,b,c,d,e", 3, "a|b|c"},              // fields beyond the count are ignored
        {"", 2, "|"},
        {"a,\"b,c\",d", 3, "a|b,c|d"},
        {"\"x\"\"y, z\",w", 2, "x\"y, z|w"},    // "" inside quotes is one quote
        {"\"ab\"cd,e", 2, "abcd|e"},            // text after the closing quote stays with the field
        {"\"open,b,c", 3, "open,b,c||"},        // a quote that never closes takes the rest (the file is refused)
        {"a,b\"c,d", 3, "a|b\"c|d"},            // a quote inside a field means nothing
        {"a,\"\",c", 3, "a||c"},
        {"a,\"b,c\"", 2, "a|b,c"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SplitVerifyCsvLine(QString::fromLatin1(c.line), c.count).join(u'|'), QString::fromLatin1(c.fields))
            << c.line;
}

TEST(SplitVerifyCsvLine, ReadsBackWhatTheLineWriterWrote)
{
    const QStringList row = fields("C|1234|9|01|701|1||SMITH, JOHN|UNIT 4, 12 MAIN|,||||LOT 1, PLAN 2,");
    const QStringList back = SplitVerifyCsvLine(VerifyCsvLine(row), kFieldCount);
    EXPECT_EQ(back, row);      // a lone comma too: written as "," and read back as ,
}

TEST(LineShowsAcd, TheStatusFieldShowsAsALetterAndACommaOrALeadingComma)
{
    for (const char* yes : {"A,1234", "C,", "D,x", " ,1234", ",1234", ","})
        EXPECT_TRUE(LineShowsAcd(QString::fromLatin1(yes))) << yes;
    for (const char* no : {"1234,5", "AB,", "X,1234", "a,1234", "", " ", "  ,"})
        EXPECT_FALSE(LineShowsAcd(QString::fromLatin1(no))) << no;
}

TEST(Folio18, KeepsTheDigitsZeroPaddedToEighteen)
{
    const struct {
        const char* folio;
        const char* stored;
    } cases[] = {
        {"12345", "000000000000012345"},
        {"12.5", "000000000000000125"},
        {"123-456-789", "000000000123456789"},
        {"12345678901234567890", "345678901234567890"},
        {"0", "000000000000000000"},
        {"", "000000000000000000"},
        {"000000000000012345", "000000000000012345"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(verifyimport::Folio18(QString::fromLatin1(c.folio)), QString::fromLatin1(c.stored)) << c.folio;
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
