// samples/MortNo1234.xlsx: a verification workbook written by the program's own
// writer from the data below. Run the tests with ZARV_WRITE_SAMPLES=1 to write
// it anew; without it the sample is loaded and checked against the same data.
#include "verify_support.h"

#include "services/dataenvironment.h"

#include <QDate>
#include <QFile>

namespace zarv::test {
namespace {

// VERIFY rows as the load stores them.
const QStringList kFolios = {
    " |1234|100200300|01|701|000000000000012345||ANNA BERG|12 HARBOUR ROAD|WESTPORT||||LOT 4 PLAN 88",
    " |1234|100200301|01|701|000000000000012346||ANNA BERG|12 HARBOUR ROAD|WESTPORT||||LOT 5 PLAN 88",
    "C|1234|100200302|02|702|000000000001100220||JOHN O'NEILL|4 MILL LANE|APT 2|EASTON|||",
    " |1234|100200303|02|703|000000000000770001||KARI LUND|FARM 9|NORTH VALE||||GORE 3 CON 2",
    "D|1234|100200304|03|704|000000000099887766||PETER SMYTHE|1 MAIN STREET|SOUTHBY||||",
    " |1234|100200305|03|705|000000000000000042||ROSA DIAZ|77 BAY VIEW|||||",
    "A|1234|100200306|  |   ||123456789|NEW OWNER|5 QUAY STREET|WESTPORT||||",
    " |1234|100200307|01|702|000000000000055501|987654321|M AND K HOLDINGS LTD|PO BOX 12|WESTPORT||||BLOCK 2",
};
const QStringList kMasks = {"701|10|###-###-###-#", "702|12|##-####-######", "703|9|###-###-###",
                            "704|8|####-####", "705|11|###-####-####"};
const QStringList kDistricts = {"01|Westport", "02|Easton", "03|Southby"};
const QStringList kJurisdictions = {"701|Westport Town", "702|Easton Township", "703|North Vale",
                                    "704|Southby Village", "705|Bay County"};
const QStringList kCombos = {"01|701", "01|702", "02|702", "02|703", "03|704", "03|705"};

class SampleWorkbook : public DeTest {};

TEST_F(SampleWorkbook, WriteAnew)
{
    if (qEnvironmentVariableIsEmpty("ZARV_WRITE_SAMPLES"))
        GTEST_SKIP() << "set ZARV_WRITE_SAMPLES=1 to write samples/MortNo1234.xlsx anew";
    for (const QString& f : kFolios)
        addVerifyRow(f);
    addCodes({kDistricts, kJurisdictions, kCombos, kMasks});
    const QString sample = samplePath("MortNo1234.xlsx");
    ASSERT_TRUE(Mdb2Xls(sample));
    QFile::remove(BackupNameFor(sample));
}

TEST_F(SampleWorkbook, LoadsIntoTheTables)
{
    const QByteArray bytes = readFile(samplePath("MortNo1234.xlsx"));
    ASSERT_FALSE(bytes.isEmpty()) << "samples/MortNo1234.xlsx is missing: run with ZARV_WRITE_SAMPLES=1";
    EXPECT_TRUE(Xls2Mdb(writeFile("MortNo1234.xlsx", bytes)));
    EXPECT_EQ(tableRows("SELECT * FROM VERIFY ORDER BY NUMBER", kVerifyFields), kFolios);
    EXPECT_EQ(storedRows("Fol_Mask", {"JUR_CD", "FOLIO_LEN", "FOLIO_MASK"}), kMasks);
    EXPECT_EQ(storedRows("Collection_District"), kDistricts);
    EXPECT_EQ(storedRows("Jurisdiction"), kJurisdictions);
    EXPECT_EQ(storedRows("CD_JUR"), kCombos);
    EXPECT_EQ(storedRows("Fol_Mask", {"YEAR"}).value(0), QString::number(QDate::currentDate().year()));
}

// The load's own workbook: a failed open leaves no sheet to read from, and says why.
TEST_F(SampleWorkbook, OpenAndCloseSetTheModuleWorkbook)
{
    OpenVerifyWorkbook(samplePath("MortNo1234.xlsx"));
    ASSERT_TRUE(xlBook.isOpen());
    EXPECT_EQ(xlSheet->cell(1, 2), "MORTGAGE CO.");
    OpenVerifyWorkbook(path("missing.xlsx"));
    EXPECT_FALSE(xlBook.isOpen());
    EXPECT_EQ(xlSheet, nullptr);
    EXPECT_TRUE(xlBook.errorText().contains("missing.xlsx"));
    OpenVerifyWorkbook(samplePath("MortNo1234.xlsx"));
    CloseVerifyWorkbook();
    EXPECT_EQ(xlSheet, nullptr);
    CloseVerifyWorkbook();   // closing twice is harmless
}

} // namespace
} // namespace zarv::test
