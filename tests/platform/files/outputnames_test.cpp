// The names of the files the program writes: one rule, safe for any value.
#include "platform/files/outputnames.h"

#include <gtest/gtest.h>

using namespace zarv::fs;

namespace {

const QDateTime kWhen(QDate(2026, 12, 9), QTime(23, 58, 0));

TEST(OutputNames, EveryOutputIsNamedByTheOneRuleAndHoldsNoCharacterAFileNameCannot)
{
    const struct {
        QString name, expected;
    } cases[] = {
        {paymentsExportName("0104"), "Payments 0104.csv"},
        {paymentsExportName("A/1"), "Payments A_1.csv"},
        {paymentsExportName("A\\1:*?\"<>|"), "Payments A_1_______.csv"},
        {paymentsExportName(QString(QChar(9)) + "B."), "Payments _B.csv"},
        {reportPdfName("Payments A/1"), "Payments A_1.pdf"},
        {reportPdfName("Duplicate folios"), "Duplicate folios.pdf"},
        {reportPdfName(".."), "_.pdf"},
        {paymentBackupPath("/d/Zarvdata.CSV"), "/d/Zarvdata.bak"},
        {paymentBackupPath("/d/Zarvdata.txt"), "/d/Zarvdata.txt.BAK"},
        {workbookBackupPath("/d/MortNo1.XLSX"), "/d/MortNo1.bak"},
        {verificationBackupPath("/d/MortNo1.xlsx"), "/d/MortNo1.xlsx.bak"},
        {verificationBackupPath("/d/Run.ZARV"), "/d/Run.bak"},
        {receivedCopyPath("/d.x/Zarvdata.csv"), "/d.x/Zarvdata.received.csv"},
        {receivedCopyPath("/d.x/Zarvdata"), "/d.x/Zarvdata.received"},
        {datedPath("/d/Zarvdata.received.csv", kWhen), "/d/Zarvdata.received.2026-12-09-235800.csv"},
        {datedPath("/d/Zarv.mdb", kWhen, "damaged"), "/d/Zarv.damaged.2026-12-09-235800.mdb"},
        {keptVerifiedFileName("/in/MortNo1:2.xlsx", kWhen), "ZARVP040_VERIFIED from MortNo1_2 2026-12-09 235800.zarv"},
        {keptVerifiedFileName("", kWhen), "ZARVP040_VERIFIED before 2026-12-09 235800.zarv"},
        {batchErrorsPath("/in/MortNo1.xlsx"), "/in/MortNo1_ERRORS.txt"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.name, c.expected);
}

TEST(OutputNames, CopiesBackupsAndOtherOutputsAreNeverFilesToWorkOn)
{
    for (const char* name : {"Zarvdata.received.csv", "MortNo1.RECEIVED.xlsx", "Zarvdata.received.2026-12-09-235800.csv",
                             "MortNo1.bak", "Zarvdata.BAK", "Zarv.damaged.2026-12-09-235800.mdb"}) {
        EXPECT_TRUE(isCopyOrBackup(name)) << name;
        EXPECT_FALSE(mayBeDataFile(name)) << name;
    }
    for (const char* name : {"Payments 0104.csv", "verify.csv", "Export.csv", "MortNo1_ERRORS.txt"})
        EXPECT_FALSE(mayBeDataFile(name)) << name;
    for (const char* name : {"Zarvdata.csv", "zarvdata 2026.csv", "MortNo1234.xlsx", "received.csv", "Verify 2.csv"}) {
        EXPECT_FALSE(isCopyOrBackup(name)) << name;
        EXPECT_TRUE(mayBeDataFile(name)) << name;
    }
}

} // namespace
