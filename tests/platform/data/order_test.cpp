// Rows put in order by the data layer rather than by the database: the order
// must be the database's own, value for value, and rows kept from a closed
// recordset must never hide a change made since.
#include "dbfixture.h"

#include "platform/data/criteria.h"
#include "platform/data/sourcequery.h"

#include <QRandomGenerator>
#include <cmath>
#include <limits>
#include <sqlite3.h>

namespace zarv::db::test {
namespace {

using OrderTest = DbTest;

// --- what a source's ORDER BY leaves to the data layer

struct SourceCase {
    const char* source;
    bool wholeTable;
    const char* order;        // "A,-B" (- for DESC); nullptr when the database orders
    const char* unordered;    // nullptr: not checked
    const char* equalities = nullptr;   // "A=x;B=y"; nullptr when the WHERE is left to the database
};

QString describe(const std::optional<std::vector<detail::OrderTerm>>& order)
{
    if (!order)
        return QStringLiteral("<database>");
    QStringList parts;
    for (const auto& t : *order)
        parts << (t.descending ? u'-' + t.column : t.column);
    return parts.join(u',');
}

TEST(SourceQuery, TakesApartTheOrderOnlyWhenItIsPlainColumns)
{
    const SourceCase cases[] = {
        {"Detail", true, nullptr, nullptr},
        {"SELECT * FROM Detail", true, nullptr, nullptr},
        {"SELECT * FROM Detail ORDER BY MORTCO, NAME", true, "MORTCO,NAME", "SELECT \"Detail\".rowid, \"Detail\".* FROM \"Detail\""},
        {"select * from detail order by cd desc, jur asc;", true, "-cd,jur", nullptr},
        {"SELECT * FROM [Detail] ORDER BY \"Owner \"\"A\"\"\" DESC, [B C]", true, "-Owner \"A\",B C", nullptr},
        {"SELECT * FROM Detail WHERE NAME = 'X ORDER BY Y' ORDER BY CD", false, "CD",
         "SELECT \"Detail\".rowid, \"Detail\".* FROM \"Detail\" WHERE NAME = 'X ORDER BY Y'", "NAME=X ORDER BY Y"},
        {"SELECT * FROM Detail WHERE CD IN (SELECT CD FROM T ORDER BY CD) ORDER BY NAME", false, "NAME",
         "SELECT \"Detail\".rowid, \"Detail\".* FROM \"Detail\" WHERE CD IN (SELECT CD FROM T ORDER BY CD)"},
        {"SELECT * FROM Detail WHERE MORTCO = '0001'", false, nullptr, nullptr},
        {"SELECT * FROM Detail WHERE MORTCO = '0001' ORDER BY CD", false, "CD", nullptr, "MORTCO=0001"},
        {"SELECT * FROM Detail WHERE mortco='O''Neil' and \"CD\" = '' ORDER BY CD", false, "CD", nullptr,
         "mortco=O'Neil;CD="},
        {"SELECT * FROM Detail WHERE NAME = 'A AND B = ''C''' ORDER BY CD", false, "CD", nullptr, "NAME=A AND B = 'C'"},
        {"SELECT * FROM Detail WHERE MORTCO = '0001' OR CD = '01' ORDER BY CD", false, "CD", nullptr, nullptr},
        {"SELECT * FROM Detail WHERE MORTCO = '0001' AND ORDER BY CD", false, "CD", nullptr, nullptr},
        {"SELECT * FROM Detail WHERE PAYMENT = 5 ORDER BY CD", false, "CD", nullptr, nullptr},
        {"SELECT * FROM Detail WHERE MORTCO LIKE '0%' ORDER BY CD", false, "CD", nullptr, nullptr},
        {"SELECT * FROM Detail WHERE (MORTCO = '0001') ORDER BY CD", false, "CD", nullptr, nullptr},
        {"SELECT * FROM Detail ORDER BY UPPER(NAME)", false, nullptr, nullptr},
        {"SELECT * FROM Detail ORDER BY NAME COLLATE NOCASE", false, nullptr, nullptr},
        {"SELECT * FROM Detail ORDER BY 2", false, nullptr, nullptr},
        {"SELECT * FROM Detail ORDER BY NAME LIMIT 5", false, nullptr, nullptr},
        {"SELECT * FROM Detail WHERE CD = '1' -- ORDER BY NAME", false, nullptr, nullptr},
        {"SELECT * FROM Detail /* all */ ORDER BY NAME", false, nullptr, nullptr},
        {"SELECT * FROM Detail WHERE NAME = '--' ORDER BY NAME", false, "NAME", nullptr, "NAME=--"},
        {"SELECT * FROM `De``tail` ORDER BY NAME", true, "NAME", "SELECT \"De`tail\".rowid, \"De`tail\".* FROM \"De`tail\""},
        {"SELECT * FROM Detail ORDER BY NAME NULLS LAST", false, nullptr, nullptr},
        {"SELECT NAME FROM Detail ORDER BY NAME", false, nullptr, nullptr},
    };
    for (const SourceCase& c : cases) {
        SCOPED_TRACE(c.source);
        const detail::SourceQuery q = detail::sourceQuery(QString::fromUtf8(c.source));
        EXPECT_EQ(describe(q.order), c.order ? QString::fromUtf8(c.order) : QStringLiteral("<database>"));
        if (!q.table.isEmpty()) {
            EXPECT_EQ(q.wholeTable, c.wholeTable);
        }
        if (c.unordered) {
            EXPECT_EQ(q.unordered, QString::fromUtf8(c.unordered));
        }
        QStringList equalities;
        for (const auto& e : q.equalities.value_or(std::vector<detail::Equality>{}))
            equalities << e.column + u'=' + e.text;
        EXPECT_EQ(q.equalities ? equalities.join(u';') : QStringLiteral("<database>"),
                  c.equalities ? QString::fromUtf8(c.equalities) : QStringLiteral("<database>"));
    }
}

// --- the order itself, against SQLite's

// Values of every storage class in one untyped column, texts that differ in
// letter case, Nul units, characters beyond the first plane, integers beyond
// 2^53 next to the reals nearest them.
class MixedValues {
public:
    explicit MixedValues(sqlite3* db) : db_(db) {}

    void insert(int rows, quint32 seed)
    {
        QRandomGenerator rng(seed);
        sqlite3_stmt* st = nullptr;
        ASSERT_EQ(sqlite3_prepare_v2(db_, "INSERT INTO Mixed (J, B, N, X) VALUES (?, ?, ?, ?)", -1, &st, nullptr),
                  SQLITE_OK);
        for (int r = 0; r < rows; ++r) {
            bindText(st, 1, rng);
            bindText(st, 2, rng);
            bindAny(st, 3, rng);
            bindAny(st, 4, rng);
            ASSERT_EQ(sqlite3_step(st), SQLITE_DONE) << sqlite3_errmsg(db_);
            sqlite3_reset(st);
        }
        sqlite3_finalize(st);
    }

private:
    static QString text(QRandomGenerator& rng)
    {
        static const char16_t units[] = {u'a', u'A', u'b', u'B', u'z', u' ', u'0', 0, 0xE9, 0xC9, 0xFF, 0x178,
                                         0xD83D /* with its pair */, 0xE000, 0xFFFD};
        QString s;
        const int n = rng.bounded(4);
        for (int i = 0; i < n; ++i) {
            const char16_t u = units[rng.bounded(int(std::size(units)))];
            s += QChar(u);
            if (u == 0xD83D)
                s += QChar(char16_t(0xDE00));
        }
        return s;
    }

    void bindText(sqlite3_stmt* st, int at, QRandomGenerator& rng)
    {
        if (rng.bounded(10) == 0) {
            sqlite3_bind_null(st, at);
            return;
        }
        if (rng.bounded(20) == 0) {
            // Bytes that are no UTF-8, as another program may have stored them.
            // Overlong forms, an encoded surrogate, a code point past U+10FFFF.
            static const char* const broken[] = {"\xff", "\xfe", "a\xff", "a\xfe\xfe", "\xc1\x81", "a\xc1\x81",
                                                 "\xed\xa0\x80", "\xf4\x90\x80\x80", "\xe0\x81\x81"};
            sqlite3_bind_text(st, at, broken[rng.bounded(int(std::size(broken)))], -1, SQLITE_STATIC);
            return;
        }
        const QByteArray utf8 = text(rng).toUtf8();
        sqlite3_bind_text(st, at, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
    }

    void bindAny(sqlite3_stmt* st, int at, QRandomGenerator& rng)
    {
        static const qint64 ints[] = {0, 1, -1, 2, 9007199254740992LL, 9007199254740993LL, -9007199254740993LL,
                                      std::numeric_limits<qint64>::max(), std::numeric_limits<qint64>::min()};
        static const double reals[] = {0.0, -0.0, 0.5, -0.5, 1.0, 2.0, 9007199254740992.0, 9007199254740994.0,
                                       9223372036854775808.0, -9223372036854775808.0, 1e300, -1e300};
        switch (rng.bounded(5)) {
        case 0:
            sqlite3_bind_null(st, at);
            break;
        case 1:
            sqlite3_bind_int64(st, at, ints[rng.bounded(int(std::size(ints)))]);
            break;
        case 2:
            sqlite3_bind_double(st, at, reals[rng.bounded(int(std::size(reals)))]);
            break;
        case 3: {
            const QByteArray utf8 = text(rng).toUtf8();
            sqlite3_bind_text(st, at, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
            break;
        }
        default: {
            static const char bytes[] = {'\0', '\x01', 'a', '\xff'};
            QByteArray b;
            for (int i = rng.bounded(3); i > 0; --i)
                b += bytes[rng.bounded(4)];
            sqlite3_bind_blob(st, at, b.constData(), int(b.size()), SQLITE_TRANSIENT);
            break;
        }
        }
    }

    sqlite3* db_;
};

// The rowids a query of the database gives, in its order.
std::vector<qint64> databaseRowids(sqlite3* db, const QString& sql)
{
    std::vector<qint64> out;
    sqlite3_stmt* st = nullptr;
    EXPECT_EQ(sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &st, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    while (sqlite3_step(st) == SQLITE_ROW)
        out.push_back(sqlite3_column_int64(st, 0));
    sqlite3_finalize(st);
    return out;
}

std::vector<qint64> recordsetOrder(Recordset& rs)
{
    std::vector<qint64> out;
    for (int i = 0; i < rs.rowCount(); ++i)
        out.push_back(rs.bookmarkAt(i));
    return out;
}

TEST_F(OrderTest, EveryKindOfValueComesInTheDatabasesOrder)
{
    conn.execute(QStringLiteral("CREATE TABLE Mixed (J TEXT COLLATE JET, B TEXT, N, X)"));
    MixedValues(conn.handle()).insert(400, 20261209);
    conn.flush();

    const char* orders[] = {"J", "B", "N", "X DESC", "N DESC, J", "J DESC, B, N DESC", "X, N, B DESC"};
    for (const char* order : orders) {
        SCOPED_TRACE(order);
        const QString orderBy = QString::fromUtf8(order);
        Recordset rs(&conn, QStringLiteral("SELECT * FROM Mixed ORDER BY ") + orderBy);
        rs.open();
        // Rows equal on the columns come by rowid.
        const auto expected =
            databaseRowids(conn.handle(), "SELECT rowid FROM Mixed ORDER BY " + orderBy + ", rowid");
        EXPECT_EQ(recordsetOrder(rs), expected);
        rs.close();
        // And again from the rows the close kept.
        rs.open();
        EXPECT_EQ(recordsetOrder(rs), expected);
    }
}

// --- rows kept from a closed recordset

const QStringList kFour = {
    QStringLiteral("0001|01|000000000000000100|Adams|10"),
    QStringLiteral("0001|02|000000000000000200|baker|20"),
    QStringLiteral("0002|01|000000000000000300|Clark|30"),
    QStringLiteral("0002|03|000000000000000400|Davis|40"),
};
const QString kByName = QStringLiteral("SELECT * FROM Detail ORDER BY NAME");
const QString kByPaymentDown = QStringLiteral("SELECT * FROM Detail ORDER BY PAYMENT DESC");

TEST_F(OrderTest, ANewOrderShowsWhatWasWrittenAnyOtherWaySinceTheClose)
{
    struct Writer {
        const char* what;
        std::function<void()> write;
    };
    const Writer writers[] = {
        {"a statement", [this] { conn.execute(QStringLiteral("UPDATE Detail SET PAYMENT = 1 WHERE NAME = 'Davis'")); }},
        {"a whole-table delete and a new row",
         [this] {
             conn.execute(QStringLiteral("DELETE * FROM Detail"));
             seed({QStringLiteral("0009|01|000000000000000900|Zoe|7")});
         }},
        {"another recordset",
         [this] {
             Recordset other(&conn, QStringLiteral("Detail"));
             other.open();
             other.find(eq("NAME", "Adams"));
             other.deleteCurrent();
         }},
        {"another connection to the same file",
         [this] {
             Connection second{QStringLiteral("Second")};
             second.setConnectionString(conn.connectionString());
             second.execute(QStringLiteral("UPDATE Detail SET NAME = 'Aaron' WHERE NAME = 'Davis'"));
             second.close();
         }},
        {"a rolled-back transaction",
         [this] {
             // Opened and written inside the transaction, closed, then undone.
             conn.beginTrans();
             Recordset inside(&conn, kByName);
             inside.open();
             inside.setValue(QStringLiteral("NAME"), QStringLiteral("Inside"));
             inside.close();
             conn.rollbackTrans();
         }},
    };
    for (const Writer& w : writers) {
        SCOPED_TRACE(w.what);
        conn.execute(QStringLiteral("DELETE * FROM Detail"));
        seed(kFour);
        Recordset rs(&conn, kByName);
        rs.open();
        rs.close();
        w.write();
        rs.open(kByPaymentDown);
        QStringList expected;
        Recordset fresh(&conn, QStringLiteral("SELECT * FROM Detail ORDER BY PAYMENT DESC, rowid"));
        conn.dropSpareRows();   // nothing kept: the database's own answer
        fresh.open();
        EXPECT_EQ(all(rs, QStringLiteral("NAME")), all(fresh, QStringLiteral("NAME")));
        EXPECT_EQ(all(rs, QStringLiteral("PAYMENT")), all(fresh, QStringLiteral("PAYMENT")));
        rs.close();
        fresh.close();
    }
}

// Rows that no longer match their table would only take up memory (a million
// payments held twice): a write through this connection drops what a close
// kept, and a close keeps nothing stale.
TEST_F(OrderTest, RowsThatNoLongerMatchTheirTableAreNotKept)
{
    seed(kFour);
    Recordset other(&conn, QStringLiteral("Detail"));
    other.open();
    double payment = 0;
    const auto write = [&] {
        other.setValue(QStringLiteral("PAYMENT"), ++payment);
        other.update();
    };
    const auto statement = [this] {
        conn.execute(QStringLiteral("UPDATE Detail SET PAYMENT = 5 WHERE NAME = 'Davis'"));
    };
    struct Case {
        const char* what;
        bool beforeTheClose;
        std::function<void()> write;
        bool kept;
    };
    const Case cases[] = {
        {"nothing written", false, [] {}, true},
        {"a statement after the close", false, statement, false},
        {"a recordset's write after the close", false, write, false},
        {"a recordset's write before the close", true, write, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Recordset rs(&conn, kByName);
        rs.open();
        if (c.beforeTheClose)
            c.write();
        rs.close();
        if (!c.beforeTheClose)
            c.write();
        EXPECT_EQ(conn.takeSpareRows(detail::nameKey(QStringLiteral("Detail"))) != nullptr, c.kept);
    }
}

// Every row and value, in order, as text (a Null as <null>).
QStringList dump(Recordset& rs)
{
    QStringList out;
    for (int r = 0; r < rs.rowCount(); ++r) {
        QStringList values;
        for (int f = 0; f < rs.fieldCount(); ++f) {
            const QVariant v = rs.valueAt(r, f);
            values << (v.isNull() ? QStringLiteral("<null>") : v.toString());
        }
        out << values.join(u'|');
    }
    return out;
}

// Sets fields of the current row, or of a new one, and saves it.
void save(Recordset& rs, std::initializer_list<std::pair<const char*, QVariant>> values, bool adding = false)
{
    if (adding)
        rs.addNew();
    for (const auto& [field, value] : values)
        rs.setValue(QString::fromLatin1(field), value);
    rs.update();
}

// What the database stores can differ from what the recordset was given; the
// rows it keeps must show the stored values when they serve again.
TEST_F(OrderTest, RowsWrittenThroughARecordsetServeAgainAsStored)
{
    struct Case {
        const char* what;
        const char* schema;
        const char* seed;
        std::function<void(Recordset&)> write;
        bool shownAtOnce = true;   // false: the recordset shows it after a requery
    };
    const Case cases[] = {
        {"a numeric default of a text column", "CREATE TABLE W (NAME TEXT, T TEXT DEFAULT 1.0)",
         "INSERT INTO W (NAME) VALUES ('a')",
         [](Recordset& rs) { save(rs, {{"NAME", "b"}}, true); }},
        {"more rows than are read back one by one", "CREATE TABLE W (NAME TEXT, T TEXT DEFAULT 1.0)",
         "INSERT INTO W (NAME) VALUES ('a')",
         [](Recordset& rs) {
             for (int i = 0; i < 5000; ++i) {
                 rs.addNew();
                 rs.setValue(QStringLiteral("NAME"), QStringLiteral("n%1").arg(i));
                 rs.move(0);
             }
         }},
        {"a generated column", "CREATE TABLE W (NAME TEXT, A INTEGER, B INTEGER GENERATED ALWAYS AS (A * 2) STORED)",
         "INSERT INTO W (NAME, A) VALUES ('a', 1)",
         [](Recordset& rs) { save(rs, {{"A", 5}}); }},
        {"a NaN, stored as Null", "CREATE TABLE W (NAME TEXT, R REAL)", "INSERT INTO W VALUES ('a', 1.5)",
         [](Recordset& rs) { save(rs, {{"R", std::numeric_limits<double>::quiet_NaN()}}); }},
        {"a row replaced on a unique conflict", "CREATE TABLE W (NAME TEXT UNIQUE ON CONFLICT REPLACE, V INTEGER)",
         "INSERT INTO W VALUES ('a', 1), ('b', 2)",
         [](Recordset& rs) { save(rs, {{"NAME", "a"}, {"V", 3}}, true); }, false},
        {"a trigger that changes the row written",
         "CREATE TABLE W (NAME TEXT, V INTEGER); "
         "CREATE TRIGGER W_up AFTER UPDATE OF V ON W BEGIN UPDATE W SET NAME = 'changed' WHERE rowid = NEW.rowid; END",
         "INSERT INTO W VALUES ('a', 1)",
         [](Recordset& rs) { save(rs, {{"V", 2}}); }},
        {"a trigger that changes the row added",
         "CREATE TABLE W (NAME TEXT, V INTEGER); "
         "CREATE TRIGGER W_in AFTER INSERT ON W BEGIN UPDATE W SET V = 7 WHERE rowid = NEW.rowid; END",
         "INSERT INTO W VALUES ('a', 1)",
         [](Recordset& rs) { save(rs, {{"NAME", "b"}, {"V", 2}}, true); }},
        {"values the database keeps in another form: -0, NaN, a lone surrogate",
         "CREATE TABLE W (NAME TEXT, R REAL, S REAL)", "INSERT INTO W VALUES ('a', 1.5, 1.5)",
         [](Recordset& rs) {
             save(rs, {{"NAME", QStringLiteral("b") + QChar(0xD800)}, {"R", -0.0},
                       {"S", std::numeric_limits<double>::quiet_NaN()}}, true);
             rs.moveFirst();
             save(rs, {{"R", -0.0}});
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        conn.execute(QStringLiteral("DROP TABLE IF EXISTS W"));
        conn.execute(QString::fromUtf8(c.schema));
        conn.execute(QString::fromUtf8(c.seed));
        Recordset rs(&conn, QStringLiteral("SELECT * FROM W ORDER BY NAME"));
        rs.open();
        c.write(rs);
        Recordset now(&conn, QStringLiteral("SELECT * FROM W"));
        now.open();
        QStringList shown = dump(rs), stored = dump(now);
        shown.sort();
        stored.sort();
        if (c.shownAtOnce) {
            EXPECT_EQ(shown, stored) << "shown at once";
        }
        now.close();
        rs.close();
        rs.open(QStringLiteral("SELECT * FROM W ORDER BY NAME DESC"));
        conn.dropSpareRows();
        Recordset fresh(&conn, QStringLiteral("SELECT * FROM W ORDER BY NAME DESC"));
        fresh.open();
        EXPECT_EQ(dump(rs), dump(fresh));
    }
}

// SQLite ends a transaction by itself after some errors (a full disk, an I/O
// error); what it undid must not be served from memory, nor reported saved.
TEST_F(OrderTest, ATransactionTheDatabaseUndidIsNeitherServedNorReportedSaved)
{
    seed(kFour);
    conn.flush();
    Recordset rs(&conn, kByName);
    rs.open();
    rs.setValue(QStringLiteral("NAME"), QStringLiteral("Gathered"));
    rs.update();
    ASSERT_EQ(sqlite3_exec(conn.handle(), "ROLLBACK", nullptr, nullptr, nullptr), SQLITE_OK);
    rs.close();
    rs.open(kByPaymentDown);
    EXPECT_EQ(all(rs, QStringLiteral("NAME")), (QStringList{"Davis", "Clark", "baker", "Adams"}));

    conn.beginTrans();
    rs.moveFirst();
    rs.setValue(QStringLiteral("NAME"), QStringLiteral("Explicit"));
    rs.update();
    ASSERT_EQ(sqlite3_exec(conn.handle(), "ROLLBACK", nullptr, nullptr, nullptr), SQLITE_OK);
    // A write now would be saved on its own: refused, and so is the commit.
    rs.moveNext();
    rs.setValue(QStringLiteral("NAME"), QStringLiteral("Alone"));
    EXPECT_NE(errorOf([&] { rs.update(); }), 0);
    rs.cancelUpdate();
    EXPECT_NE(errorOf([&] { conn.commitTrans(); }), 0);
    ASSERT_TRUE(conn.inTransaction());   // for the caller to roll back
    conn.rollbackTrans();
    rs.moveFirst();
    EXPECT_EQ(rs.text(QStringLiteral("NAME")), QStringLiteral("Davis"));   // put back as the database has it
    EXPECT_EQ(countInDatabase(QStringLiteral("WHERE NAME IN ('Explicit', 'Alone')")), 0);
}

// --- a part of a whole table already in memory (a search within one group)

TEST_F(OrderTest, APartOfATableInMemoryHoldsWhatTheDatabaseWouldSelect)
{
    conn.execute(QStringLiteral("CREATE TABLE Part (K TEXT COLLATE JET, B TEXT, N NUMERIC, S TEXT)"));
    sqlite3* db = conn.handle();
    // K: texts in both cases, Null and a blob; B compares exactly; N is numeric.
    const char* rows[] = {
        "'a', 'a', 5, 's1'",   "'A', 'A', '5', 's2'", "NULL, 'a', 6, 's3'",  "x'61', 'a', 5, 's4'",
        "'ab', 'a', 5.0, 's5'", "'a', 'x''y', 5, 's6'", "'É', 'é', 7, 's7'", "'é', 'É', 7, 's8'",
        "CAST(x'c181' AS TEXT), CAST(x'c181' AS TEXT), 8, 's9'",
    };
    for (const char* r : rows)
        conn.execute(QStringLiteral("INSERT INTO Part VALUES (%1)").arg(QString::fromUtf8(r)));
    conn.flush();

    Recordset whole(&conn, QStringLiteral("SELECT * FROM Part ORDER BY S"));
    whole.open();
    const char* wheres[] = {
        "K = 'a'", "K = 'A' AND B = 'a'", "B = 'A'", "K = 'é'", "B = 'x''y'", "K = ''", "N = '5'", "S = 'S1'",
        "K = '\uFFFD\uFFFD'", "B = '\uFFFD\uFFFD'",
    };
    for (const char* where : wheres) {
        SCOPED_TRACE(where);
        const QString w = QString::fromUtf8(where);
        Recordset part(&conn, QStringLiteral("SELECT * FROM Part WHERE ") + w + QStringLiteral(" ORDER BY K DESC, N"));
        part.open();
        EXPECT_EQ(recordsetOrder(part),
                  databaseRowids(db, QStringLiteral("SELECT rowid FROM Part WHERE ") + w +
                                         QStringLiteral(" ORDER BY K DESC, N, rowid")));
    }

    // Names match as the database matches them: ASCII letters in either case only.
    conn.execute(QStringLiteral("CREATE TABLE Names (\"É\" TEXT COLLATE JET, S TEXT)"));
    conn.execute(QStringLiteral("INSERT INTO Names VALUES ('x', 's1')"));
    Recordset names(&conn, QStringLiteral("SELECT * FROM Names ORDER BY S"));
    names.open();
    for (const char* where : {"\"É\" = 'x'", "\"é\" = 'x'"}) {
        SCOPED_TRACE(where);
        const QString w = QString::fromUtf8(where);
        Recordset part(&conn, QStringLiteral("SELECT * FROM Names WHERE ") + w + QStringLiteral(" ORDER BY S"));
        part.open();
        EXPECT_EQ(recordsetOrder(part), databaseRowids(db, QStringLiteral("SELECT rowid FROM Names WHERE ") + w));
    }

    // What was written since, through the whole table's recordset or past it.
    whole.moveFirst();
    whole.setValue(QStringLiteral("K"), QStringLiteral("A"));   // s1 stays in the part
    whole.moveNext();
    whole.setValue(QStringLiteral("K"), QStringLiteral("b"));   // s2 leaves it
    whole.move(0);
    conn.execute(QStringLiteral("UPDATE Part SET K = 'a' WHERE S = 's5'"));
    Recordset part(&conn, QStringLiteral("SELECT * FROM Part WHERE K = 'a' ORDER BY S"));
    part.open();
    EXPECT_EQ(all(part, QStringLiteral("S")), (QStringList{"s1", "s5", "s6"}));
}

} // namespace
} // namespace zarv::db::test
