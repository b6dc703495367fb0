// A payment file that a spreadsheet program opened and saved again as CSV
// loads as the same data: padding commas, quoted fields, blank rows, LF line
// ends and Ctrl-Z inside values (its copies of the sample: test_reading.cpp).
#include "payfile_support.h"

namespace {

// Lines end in LF, as a spreadsheet program on Linux writes them.
class SpreadsheetTest : public PayFileTest {
protected:
    static QStringList start()
    {
        return {"ZARV DATA FOR YEAR 2024,,,", ",,,", "FOLIO MASK INFORMATION,,,", "70109###-###-###,,,", ",,,",
                "PAYMENT GROUP INFORMATION,,,", "Group #,1,,,", "Agency #,1,,,", ",,,",
                "PAYMENT DETAIL INFORMATION,,,", kPaymentHeading};
    }
};

TEST_F(SpreadsheetTest, QuotedHeaderAndPaddedLabelValuesReadAsTheirValues)
{
    QStringList lines = start();
    lines[0] = "\"ZARV DATA FOR YEAR 2019\",,,,";
    lines.insert(8, "\"Payment Due Date\",03/31/26,,,");
    lines.insert(9, "\"Name1:\",\"SMITH, JONES \"\"AND\"\" CO\",,,");
    ASSERT_TRUE(load(lines, "\n"));
    EXPECT_EQ(columnOf("SELECT Year FROM ZarvSystem", "Year"), QStringList{"2019"});
    EXPECT_EQ(columnOf("SELECT DUEDATE FROM \"Group\"", "DUEDATE"), QStringList{"03/31/26"});
    EXPECT_EQ(columnOf("SELECT NAME1 FROM \"Group\"", "NAME1"), QStringList{"SMITH, JONES AND CO"});
}

// A quoted field runs to its closing quote; the five texts the writer strips
// of commas and quotes are stored as they will be written.
TEST_F(SpreadsheetTest, AQuotedFieldHoldingACommaStaysOneField)
{
    ASSERT_TRUE(load(start() << "#M1,\"SMITH, JOHN\",01,701,#123-456-789,10.00,A,10.00,0,0,0,\"LOT 1, \"\"B\"\"\""
                             << "\"#M2\",\"O'BRIEN \"\"JR\"\"\",\"2\",701,\"#5\",\"7.50\",B,1,2,3,4,", "\n"));
    const auto rows = rowsOf("SELECT * FROM Detail ORDER BY NUMBER");
    ASSERT_EQ(rows.size(), 2u);
    const QStringList fields{"NAME", "CD", "FOLIO", "PAYMENT", "DELQ", "LEGAL"};
    EXPECT_EQ(fieldsOf(rows[0], fields),
              QStringList({"SMITH JOHN", "01", "000000000123456789", "10", "0", "LOT 1 B"}));
    EXPECT_EQ(fieldsOf(rows[1], fields), QStringList({"OBRIEN JR", "02", "000000000000000005", "7.5", "4", ""}));
    EXPECT_EQ(columnOf("SELECT TOT_PAY FROM \"Group\"", "TOT_PAY"), QStringList{"17.5"});
}

// A value cut to its width may end in the character Ctrl-Z: only the last
// line of the file can carry the end-of-file mark.
TEST_F(SpreadsheetTest, CtrlZIsAnEndOfFileMarkOnlyAtTheEndOfTheFile)
{
    QStringList lines = start();
    lines.insert(8, "Name1:,SMITH\x1A");
    lines << "#M1,OWNER,01,701,#1,5.00,A,5.00,0,0,0,LOT 1\x1A" << "#M2,OTHER,01,701,#2,5.00,A,5.00,0,0,0,";
    ASSERT_TRUE(load(fileBytes(lines) + "\x1A"));
    EXPECT_EQ(columnOf("SELECT LEGAL FROM Detail ORDER BY NUMBER", "LEGAL"), QStringList({"LOT 1\x1A", ""}));
    EXPECT_EQ(columnOf("SELECT NAME1 FROM \"Group\"", "NAME1"), QStringList{"SMITH\x1A"});
}

} // namespace
