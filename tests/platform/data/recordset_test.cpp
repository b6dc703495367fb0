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
// before must not reach the row that took its rowid, and the refusal says why.
// Every way of writing and of reusing a rowid is run by the model test.
TEST_F(RecordsetTest, AStaleRowNeverReachesTheRowThatTookItsRowid)
{
    conn.execute("DELETE FROM Detail WHERE NAME = 'Evans'");
    seed({"0009|01|000000000000000900|Newman|90"});
    ASSERT_EQ(countInDatabase("WHERE rowid = 5 AND NAME = 'Newman'"), 1);   // Evans's rowid, taken again
    rs.moveLast();
    rs.setValue("PAYMENT", 1.0);
    try {
        rs.update();
        ADD_FAILURE() << "the stale row was written";
    } catch (const DbError& e) {
        EXPECT_EQ(e.number(), DbError::DatabaseFailure);
        EXPECT_TRUE(e.description().startsWith("Row cannot be located for updating"))
            << e.description().toStdString();
    }
    EXPECT_EQ(countInDatabase("WHERE NAME = 'Newman' AND PAYMENT = 90"), 1);
}

} // namespace
} // namespace zarv::db::test
