// Start-up of the data environment: which database files it insists on, what it
// tells the user when one is missing, and the connections it sets.
#include "env/tablerows.h"
#include "env/testenv.h"

#include "platform/data/recordset.h"
#include "services/schema.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace zarv;
using zarv::ui::Answer;
using zarv::ui::ExpectedBox;
using zarv::ui::Icon;

namespace {

class DataEnvironmentStart : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(createDatabases(dir.path())); }
    bool start(const QString& programName, const QString& folder = {})
    {
        de = std::make_unique<DataEnvironment>(folder.isEmpty() ? dir.path() : folder, programName);
        return de->DataEnvironment_Initialize();
    }

    QTemporaryDir dir;
    ui::ScopedUi ui;
    std::unique_ptr<DataEnvironment> de;
};

// The folder given with a separator at its end, a file named in another letter case.
TEST_F(DataEnvironmentStart, AllFilesPresentSetsTheThreeConnections)
{
    ASSERT_TRUE(QFile::rename(dir.filePath("label.mdb"), dir.filePath("Label.MDB")));
    ASSERT_TRUE(start(QStringLiteral("zarv"), dir.path() + "/"));
    const QString start = QStringLiteral(
        "Provider=MSDASQL.1;Password=%1;Persist Security Info=True;Data Source=MS Access Database;"
        "Mode=ReadWrite;Initial Catalog=");
    EXPECT_EQ(de->Zarv.connectionString(), start.arg(QString()) + dir.filePath("Zarv.mdb"));
    EXPECT_EQ(de->ZarvDb.connectionString(), start.arg("lanterns") + dir.filePath("ZarvDb.mdb"));
    EXPECT_EQ(de->LabelDb.connectionString(), start.arg("lanterns") + dir.filePath("Label.MDB"));
    EXPECT_EQ(de->Zarv.connectionTimeout(), 120);
    EXPECT_FALSE(ui->ending());
    EXPECT_TRUE(ui->clean()) << ui->report().toStdString();
}

// A working database made by an earlier version gets the columns added since,
// its rows kept; starting again changes nothing more.
TEST_F(DataEnvironmentStart, AnOlderWorkingDatabaseGetsTheColumnsAddedSince)
{
    const QString zarv = dir.filePath("Zarv.mdb");
    {
        db::Connection c(QStringLiteral("old"));
        c.setConnectionString(QStringLiteral("Initial Catalog=") + zarv);
        c.execute(QStringLiteral("DROP TABLE Detail"));
        QStringList columns;
        for (const char* t : {"MORTCO", "NUMBER", "NAME", "CD", "JUR", "FOLIO", "FOLIO_DISP", "ABC", "LEGAL"})
            columns << QStringLiteral("%1 TEXT NOT NULL DEFAULT ''").arg(QLatin1String(t));
        for (const char* n : {"PAYMENT", "GROSS_TAX", "REG_GRANT", "ADD_GRANT", "DELQ"})
            columns << QStringLiteral("%1 DOUBLE NOT NULL DEFAULT 0").arg(QLatin1String(n));
        c.execute(QStringLiteral("CREATE TABLE Detail (%1)").arg(columns.join(", ")));
        c.execute(QStringLiteral("INSERT INTO Detail (MORTCO, NAME) VALUES ('0001', 'KEPT')"));
        c.close();
    }
    for (int run = 0; run < 2; ++run) {
        ASSERT_TRUE(start(QStringLiteral("zarv")));
        db::Recordset& rs = de->rsDetail();
        ASSERT_GE(rs.fieldIndex(QStringLiteral("FILE_ID")), 0);
        ASSERT_EQ(rs.recordCount(), 1);
        EXPECT_EQ(rs.text(QStringLiteral("NAME")), "KEPT");
        EXPECT_EQ(rs.text(QStringLiteral("FILE_ID")), "");
        de.reset();
    }
    EXPECT_TRUE(ui->clean()) << ui->report().toStdString();
}

TEST_F(DataEnvironmentStart, ZarvWinProgramNeedsOnlyTheWorkingDatabase)
{
    QFile::remove(dir.filePath("ZarvDb.mdb"));
    QFile::remove(dir.filePath("label.mdb"));
    for (const char* name : {"ZARVWIN", "zarvwin32", "ZarvWin.exe"}) {
        ASSERT_TRUE(start(QString::fromLatin1(name))) << name;
        EXPECT_EQ(de->ZarvDb.connectionString(), de->Zarv.connectionString());
        EXPECT_EQ(de->LabelDb.connectionString(), de->Zarv.connectionString());
    }
    // A name that only looks alike still needs every file; the message gives the file's full path.
    ExpectedBox missing;
    missing.prompt = QStringLiteral("SEVERE ERROR - The ZarvDb.mdb file is missing: ") + dir.filePath("ZarvDb.mdb");
    missing.icon = Icon::Critical;
    missing.title = ui::UiServices::appTitle();
    ui->expectBox(missing);
    EXPECT_FALSE(start(QStringLiteral("ZARVWI")));
    EXPECT_TRUE(ui->clean()) << ui->report().toStdString();
}

class Commands : public test::DeTest {};

TEST_F(Commands, EveryRecordsetOpensOverItsTable)
{
    for (db::Recordset* rs :
         {&de().rsGroup(), &de().rsDetail(), &de().rsDetail2(), &de().rsFol_Mask(), &de().rsZarvSystem(),
          &de().rsFolioMask(), &de().rsVerify(), &de().rsVerify2(), &de().rsCD_JUR(), &de().rsJurisdiction(),
          &de().rsCollection_District(), &de().rsErrorMessage()}) {
        EXPECT_EQ(rs->state(), 1) << rs->source().toStdString();
        EXPECT_EQ(rs->recordCount(), 0);
    }
    EXPECT_EQ(de().rsDetail().source(), QStringLiteral("SELECT * FROM Detail ORDER BY MORTCO, CD, JUR, FOLIO"));
    EXPECT_EQ(de().rsDetail2().lockType(), db::LockType::ReadOnly);
}

TEST_F(Commands, DetailRefusesARepeatOfItsKeyInAnyLetterCase)
{
    auto& d = de().rsDetail();
    auto add = [&](const char* name) {
        test::addRow(d, {{"MORTCO", "0042"}, {"CD", "01"}, {"JUR", "701"}, {"FOLIO", "000000000000012345"},
                         {"NAME", QString::fromLatin1(name)}});
    };
    add("SMITH JOHN");
    EXPECT_THROW(add("Smith John"), db::DbError);
    EXPECT_EQ(d.recordCount(), 1);
    add("SMITH JANE");
    EXPECT_EQ(d.recordCount(), 2);
}

} // namespace
