// A payment file that a spreadsheet program opened and saved again as CSV
// loads as the same data, Ctrl-Z inside values too (its copies of the sample:
// test_reading.cpp; its padding commas, quotes, blank rows and line ends: the
// generated files of test_roundtrip.cpp).
#include "payfile_support.h"

namespace {

// The start of a file as a spreadsheet program pads its lines with commas.
class SpreadsheetTest : public PayFileTest {
protected:
    static QStringList start()
    {
        return {"ZARV DATA FOR YEAR 2024,,,", ",,,", "FOLIO MASK INFORMATION,,,", "70109###-###-###,,,", ",,,",
                "PAYMENT GROUP INFORMATION,,,", "Group #,1,,,", "Agency #,1,,,", ",,,",
                "PAYMENT DETAIL INFORMATION,,,", kPaymentHeading};
    }
};

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
