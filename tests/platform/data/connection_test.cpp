#include "dbfixture.h"

#include <QFileInfo>

namespace zarv::db::test {
namespace {

using ConnectionTest = DbTest;

TEST(ConnectionOpen, MissingFileRaisesAndCreatesNothing)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Nowhere.mdb");
    Connection c("Zarv");
    c.setConnectionString("Provider=MSDASQL.1;Password=;Initial Catalog=" + path);
    EXPECT_EQ(c.databasePath(), path);
    EXPECT_NE(errorOf([&] { c.open(); }), 0);
    EXPECT_EQ(c.state(), 0);
    EXPECT_FALSE(QFileInfo::exists(path));
}

TEST_F(ConnectionTest, ExecuteTranslatesJetDeleteAndQuotedTableNames)
{
    conn.execute("INSERT INTO \"Group\" (\"GROUP\", MORTCO) VALUES ('0001', '0001'), ('0002', '0002')");
    EXPECT_EQ(conn.execute("DELETE * FROM \"Group\" "), 2);   // the rows it removed
}

// What a rollback puts back in the recordsets is held by the model test.
TEST_F(ConnectionTest, TransactionsRefuseNestingAndStrayEnds)
{
    EXPECT_NE(errorOf([&] { conn.commitTrans(); }), 0);
    EXPECT_NE(errorOf([&] { conn.rollbackTrans(); }), 0);
    conn.beginTrans();
    EXPECT_NE(errorOf([&] { conn.beginTrans(); }), 0);
    EXPECT_TRUE(conn.inTransaction());
    conn.commitTrans();
    EXPECT_FALSE(conn.inTransaction());
}

TEST_F(ConnectionTest, DuplicateKeySurfacesAtTheSaveAndTheGuardRollsBack)
{
    seed({"0001|01|1|Smith|10"});
    Recordset rs(&conn, kSorted);
    rs.open();
    rs.setFilter("MORTCO = '0001'");
    const qint64 before = rs.bookmark();
    {
        TransactionGuard guard(conn);
        addDetail(rs, "0001", "02", "2", "Jones");
        rs.addNew();
        rs.setValue("MORTCO", "0001");
        rs.setValue("CD", "01");
        rs.setValue("FOLIO", "1");
        rs.setValue("NAME", "SMITH");   // the same key in another letter case
        try {
            rs.move(0);
            FAIL() << "the duplicate was saved";
        } catch (const DbError& e) {
            EXPECT_EQ(e.number(), DbError::DatabaseFailure);
            EXPECT_TRUE(e.description().contains("duplicate values")) << e.description().toStdString();
        }
        EXPECT_FALSE(rs.editPending());
        EXPECT_EQ(rs.recordCount(), 2);
        EXPECT_EQ(rs.text("NAME"), "Jones");   // back where it stood before AddNew
        rs.moveNext();                          // no pending row is saved by a later move
        EXPECT_TRUE(rs.eof());
    }
    EXPECT_FALSE(conn.inTransaction());
    EXPECT_EQ(countInDatabase(), 1);
    EXPECT_EQ(rs.recordCount(), 1);
    rs.setBookmark(before);
    conn.beginTrans();   // SQLite has no transaction left open either
    conn.commitTrans();

    // An edit the index refuses is reverted, not kept pending.
    addDetail(rs, "0001", "02", "2", "Jones");
    rs.setValue("CD", "01");
    rs.setValue("FOLIO", "1");
    rs.setValue("NAME", "smith");
    EXPECT_EQ(errorOf([&] { rs.move(0); }), DbError::DatabaseFailure);
    EXPECT_FALSE(rs.editPending());
    EXPECT_EQ(rs.text("NAME"), "Jones");
}

} // namespace
} // namespace zarv::db::test
