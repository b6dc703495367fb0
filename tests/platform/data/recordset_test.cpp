#include "dbfixture.h"

#include "platform/data/criteria.h"

namespace zarv::db::test {
namespace {

const QStringList kThreeGroups = {
    QStringLiteral("0001|01|000000000000000100|Adams|10"),
    QStringLiteral("0001|02|000000000000000200|Baker|20"),
    QStringLiteral("0002|01|000000000000000300|Clark|30"),
    QStringLiteral("0002|03|000000000000000400|Davis|40"),
    QStringLiteral("0003|01|000000000000000500|Evans|50"),
};

// Five rows in three groups, and a recordset open over them in key order.
class RecordsetTest : public DbTest {
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        seed(kThreeGroups);
        rs.open();
    }
    Recordset rs{&conn, kSorted};
};

TEST_F(RecordsetTest, AddNewOnFilteredSortedRecordsetAppendsAndBecomesCurrent)
{
    rs.setFilter(eq("MORTCO", "0001"));
    rs.moveLast();
    const auto atEnd = rs.clone();
    atEnd->moveLast();
    atEnd->moveNext();

    rs.addNew();
    EXPECT_TRUE(rs.editPending());
    EXPECT_EQ(rs.recordCount(), 3);   // the pending row counts
    rs.setValue("MORTCO", "0001");
    rs.setValue("CD", "00");          // sorts first, yet lands at the end
    rs.setValue("NAME", "Aaron");
    rs.move(0);

    EXPECT_FALSE(rs.editPending());
    EXPECT_EQ(rs.text("NAME"), "Aaron");
    EXPECT_EQ(rs.text("FOLIO"), "");   // the column default
    EXPECT_EQ(rs.currentRow(), 2);
    atEnd->find(eq("NAME", "Aaron"));   // as MoveNext, a Find from EOF goes no further
    EXPECT_TRUE(atEnd->eof());
    const qint64 b = rs.bookmark();
    rs.moveNext();
    EXPECT_TRUE(rs.eof());
    EXPECT_EQ(all(rs, "NAME"), QStringList({"Adams", "Baker", "Aaron"}));
    rs.setBookmark(b);
    EXPECT_EQ(rs.text("CD"), "00");

    // A row the filter refuses still stays current once saved.
    addDetail(rs, "0009", "01", "000000000000000700", "Outsider");
    EXPECT_EQ(rs.text("MORTCO"), "0009");
    EXPECT_EQ(rs.recordCount(), 4);
    EXPECT_EQ(countInDatabase(), 7);
}

// Where a Find starts and how it steps is held by the model test; a Find
// takes one condition only.
TEST_F(RecordsetTest, FindRefusesMoreThanOneCondition)
{
    EXPECT_EQ(errorOf([&] { rs.find("CD = '01' AND NAME = 'Evans'"); }), DbError::BadArguments);
}

// A Null reads as the empty text and zero.
TEST_F(RecordsetTest, NullReadsAsEmptyTextAndZero)
{
    conn.execute("INSERT INTO Loose (T, R) VALUES (NULL, NULL)");
    conn.execute("INSERT INTO Loose (T, R) VALUES ('abc', 1.5)");
    Recordset loose(&conn, "Loose");
    loose.open();
    EXPECT_TRUE(loose.value("T").isNull());
    EXPECT_TRUE(loose.value("R").isNull());
    EXPECT_EQ(loose.text("T"), "");
    EXPECT_EQ(loose.text("R"), "");
    EXPECT_EQ(loose.number("R"), 0.0);
    loose.moveNext();
    EXPECT_EQ(loose.number("T"), 0.0);        // text that is no number
    EXPECT_EQ(loose.text("R"), "1.5");
    EXPECT_EQ(loose.value("R").typeId(), QMetaType::Double);
    EXPECT_EQ(errorOf([&] { loose.value("MISSING"); }), DbError::ItemNotFound);
}

TEST_F(RecordsetTest, ReadOnlyRefusesEveryChange)
{
    Recordset readOnly(&conn, kSorted, LockType::ReadOnly);
    readOnly.open();
    EXPECT_EQ(errorOf([&] { readOnly.setValue("NAME", "X"); }), DbError::ReadOnly);
    EXPECT_EQ(errorOf([&] { readOnly.addNew(); }), DbError::ReadOnly);
    EXPECT_EQ(errorOf([&] { readOnly.deleteCurrent(); }), DbError::ReadOnly);
    EXPECT_EQ(errorOf([&] { readOnly.clone()->addNew(); }), DbError::ReadOnly);
    EXPECT_EQ(countInDatabase("WHERE NAME = 'Adams'"), 1);
}

TEST_F(RecordsetTest, GridAccessorsSkipDeletedRows)
{
    const int name = rs.fieldIndex("name");
    rs.move(1);
    rs.deleteCurrent();   // Baker
    EXPECT_EQ(rs.rowCount(), 4);
    EXPECT_EQ(rs.currentRow(), -1);
    rs.moveNext();
    EXPECT_EQ(rs.currentRow(), 1);
    EXPECT_EQ(rs.valueAt(1, name).toString(), "Clark");
    EXPECT_EQ(rs.rowOfBookmark(rs.bookmarkAt(3)), 3);
    rs.moveToRow(3);
    EXPECT_EQ(rs.text("NAME"), "Evans");

    rs.addNew();   // the pending row shows as the last one
    rs.setValue("NAME", "Pending");
    EXPECT_EQ(rs.rowCount(), 5);
    EXPECT_EQ(rs.currentRow(), 4);
    EXPECT_EQ(rs.valueAt(4, name).toString(), "Pending");
    rs.cancelUpdate();
    EXPECT_EQ(rs.rowCount(), 4);
    EXPECT_EQ(rs.text("NAME"), "Evans");
}

TEST_F(RecordsetTest, ObserversHearTheirOwnRecordsetOnly)
{
    std::vector<Recordset::Event> seen;
    rs.addObserver([&](Recordset::Event e) { seen.push_back(e); });
    auto clone = rs.clone();
    clone->moveNext();
    clone->deleteCurrent();
    EXPECT_TRUE(seen.empty());

    rs.setValue("NAME", "Abbott");
    rs.move(0);
    rs.moveNext();
    using E = Recordset::Event;
    EXPECT_EQ(seen, (std::vector<E>{E::RowChanged, E::CurrentChanged, E::CurrentChanged}));
}

// SQLite hands the largest rowid out again once its row is gone: a row read
// before must not reach the row that took its rowid.
TEST_F(RecordsetTest, AStaleRowNeverReachesTheRowThatTookItsRowid)
{
    struct Case {
        const char* what;
        bool throughSql;      // the delete and the insert run as statements
        bool deleteStale;     // the stale row is deleted rather than edited
    };
    const Case cases[] = {
        {"edit, recordset", false, false},
        {"delete, recordset", false, true},
        {"edit, statements", true, false},
        {"delete, statements", true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        conn.execute("DROP TABLE IF EXISTS T");
        conn.execute("CREATE TABLE T (K TEXT NOT NULL DEFAULT '' COLLATE JET, A TEXT NOT NULL DEFAULT '' COLLATE JET, "
                     "N DOUBLE NOT NULL DEFAULT 0)");
        conn.execute("INSERT INTO T (rowid,K,A) VALUES (1,'k1','old1'),(2,'k2','old2')");
        Recordset screen(&conn, "SELECT * FROM T ORDER BY K");
        screen.open();
        if (c.throughSql) {
            conn.execute("DELETE FROM T WHERE K = 'k2'");
            conn.execute("INSERT INTO T (K,A) VALUES ('k3','new')");
        } else {
            Recordset other(&conn, "T");
            other.open();
            other.moveLast();
            other.deleteCurrent();
            other.addNew();
            other.setValue("K", "k3");
            other.setValue("A", "new");
            other.update();
        }
        ASSERT_EQ(countInDatabase("T", "WHERE rowid = 2 AND K = 'k3'"), 1);   // the rowid was taken again
        screen.moveLast();
        try {
            if (c.deleteStale) {
                screen.deleteCurrent();
            } else {
                screen.setValue("N", 99.0);
                screen.update();
            }
            ADD_FAILURE() << "the stale row was written";
        } catch (const DbError& e) {
            EXPECT_EQ(e.number(), DbError::DatabaseFailure);
            EXPECT_TRUE(e.description().startsWith("Row cannot be located for updating")) << e.description().toStdString();
        }
        EXPECT_EQ(countInDatabase("T", "WHERE K = 'k3' AND A = 'new' AND N = 0"), 1);
        EXPECT_EQ(countInDatabase("T", ""), 2);
        // The row that is still the one read stays writable.
        screen.moveFirst();
        screen.setValue("N", 5.0);
        screen.update();
        EXPECT_EQ(countInDatabase("T", "WHERE K = 'k1' AND N = 5"), 1);
    }
}

} // namespace
} // namespace zarv::db::test
