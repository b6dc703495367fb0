// Random sequences of what the program does with recordsets (opens, clones,
// filters, finds, moves, bookmarks, edits, adds, deletes, requeries, closes,
// statements, a second connection, transactions, the connection closed and
// opened again), each step followed by a comparison of every open recordset
// with a model built from SQLite queried directly. ZARV_MODEL_STEPS asks for
// a longer run (steps per seed).
#include "dbfixture.h"

#include "platform/data/criteria.h"
#include "platform/data/textrule.h"

#include <QRandomGenerator>
#include <cstring>
#include <optional>
#include <set>
#include <sqlite3.h>

namespace zarv::db::test {
namespace {

using Values = std::vector<QVariant>;
const QStringList kFields = {"K", "A", "N", "T"};

// Texts that tempt quoting, folding and the LIKE wildcards.
const QStringList kTexts = {"O'Hara", "o'hara", "abc", "ABC ", "abc  ", "50%", "5_0", "[x]", "a[b]c", "é",
                            "É",      "éclair", "10",  "010",  "9",     "",    "zz",  "x''", "_",    "%"};
const QStringList kKeys = {"a", "A", "b", "B ", " b", "é", "É", "x'y", "X'Y", "10", "010", "%", "_", "[", "k",
                           "K1", "k1", "zz", "Zz'", "9"};
const double kNumbers[] = {0, 1.5, 2, -3.25, 1e6, 7};

struct Source {
    const char* sql;        // the recordset's source
    const char* where;      // for the model's query
    const char* order;      // likewise; rowid breaks ties
};
const Source kSources[] = {
    {"M", "", "rowid"},
    {"SELECT * FROM M ORDER BY A, K", "", "A, K"},
    {"SELECT * FROM M ORDER BY T DESC, N", "", "T DESC, N"},
    {"SELECT * FROM M WHERE A = 'abc' ORDER BY K", "WHERE A = 'abc'", "K"},
    {"SELECT * FROM M WHERE N > 1 ORDER BY N DESC, K", "WHERE N > 1", "N DESC, K"},
    {"SELECT * FROM M ORDER BY LENGTH(K), K", "", "LENGTH(K), K"},
    {"SELECT * FROM M WHERE T LIKE '%0%'", "WHERE T LIKE '%0%'", "rowid"},
};

// A filter or Find condition and the same test in SQL over the model's rows
// (a Null text compares as the empty text).
struct Condition {
    QString text;
    QString sql;
};

QVariant columnValue(sqlite3_stmt* st, int col)
{
    switch (sqlite3_column_type(st, col)) {
    case SQLITE_INTEGER:
        return qlonglong(sqlite3_column_int64(st, col));
    case SQLITE_FLOAT:
        return sqlite3_column_double(st, col);
    case SQLITE_TEXT:
        return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, col)), sqlite3_column_bytes(st, col));
    default:
        return QVariant();
    }
}

bool same(const QVariant& a, const QVariant& b)
{
    return a.isNull() == b.isNull() && (a.isNull() || (a.typeId() == b.typeId() && a == b));
}

QString show(const QVariant& v)
{
    return v.isNull() ? QStringLiteral("<null>") : QStringLiteral("%1:%2").arg(v.typeName(), v.toString());
}

// The rows one recordset loaded, as its clones share them; added rows at the
// end. A rowid freed by a rollback may come back on a later row.
struct Slot {
    qint64 rid = 0;
    Values values;
    bool deleted = false;
};
struct Group {
    std::vector<Slot> rows;
    std::optional<std::vector<Slot>> atBegin;   // as they stood when the transaction began
};

struct Cursor {
    std::unique_ptr<Recordset> rs;
    std::shared_ptr<Group> group;
    std::optional<Condition> filter;
    std::vector<int> view;              // rows under the filter, deleted ones included
    enum { Bof, Row, Eof } where = Eof;
    int pos = 0;
};

class Model : public DbTest {
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        conn.execute("CREATE TABLE M (K TEXT NOT NULL DEFAULT '' COLLATE JET, A TEXT COLLATE JET, "
                     "N DOUBLE NOT NULL DEFAULT 0, T TEXT NOT NULL DEFAULT '' COLLATE JET)");
        conn.execute("CREATE UNIQUE INDEX M_Key ON M (K)");
        ASSERT_EQ(sqlite3_open(":memory:", &scratch_), SQLITE_OK);
        ASSERT_EQ(detail::registerTextRule(scratch_), SQLITE_OK);
        exec(scratch_, "CREATE TABLE R (rid INTEGER PRIMARY KEY, K TEXT COLLATE JET, A TEXT COLLATE JET, "
                       "N DOUBLE, T TEXT COLLATE JET)");
        second_.setConnectionString(conn.connectionString());
    }
    void TearDown() override { sqlite3_close(scratch_); }

    static void exec(sqlite3* db, const char* sql) { ASSERT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sql; }

    // --- SQLite asked directly

    std::vector<std::pair<qint64, Values>> query(const QString& sql)
    {
        std::vector<std::pair<qint64, Values>> out;
        sqlite3_stmt* st = nullptr;
        sqlite3* db = conn.handle();
        EXPECT_EQ(sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &st, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
        while (sqlite3_step(st) == SQLITE_ROW) {
            Values v;
            for (int c = 1; c <= 4; ++c)
                v.push_back(columnValue(st, c));
            out.emplace_back(sqlite3_column_int64(st, 0), std::move(v));
        }
        sqlite3_finalize(st);
        return out;
    }

    std::optional<Values> stored(qint64 rid)
    {
        auto rows = query(QStringLiteral("SELECT rowid, K, A, N, T FROM M WHERE rowid = %1").arg(rid));
        if (rows.empty())
            return std::nullopt;
        return rows.front().second;
    }

    bool keyTaken(const QString& key, qint64 exceptRid)
    {
        return !query(QStringLiteral("SELECT rowid, K, A, N, T FROM M WHERE K = %1 AND rowid <> %2").arg(quoted(key)).arg(exceptRid))
                    .empty();
    }

    // The rows (of `rows`) that pass a condition, judged by SQLite over their values.
    std::set<int> passing(const Group& g, const std::vector<int>& rows, const QString& sql)
    {
        exec(scratch_, "DELETE FROM R");
        sqlite3_stmt* ins = nullptr;
        sqlite3_prepare_v2(scratch_, "INSERT INTO R VALUES (?, ?, ?, ?, ?)", -1, &ins, nullptr);
        for (int row : rows) {
            sqlite3_bind_int64(ins, 1, row);
            const Values& v = g.rows[size_t(row)].values;
            for (int c = 0; c < 4; ++c) {
                if (v[size_t(c)].isNull()) {
                    sqlite3_bind_null(ins, c + 2);
                } else if (c == 2) {
                    sqlite3_bind_double(ins, c + 2, v[size_t(c)].toDouble());
                } else {
                    const QByteArray u = v[size_t(c)].toString().toUtf8();
                    sqlite3_bind_text(ins, c + 2, u.constData(), int(u.size()), SQLITE_TRANSIENT);
                }
            }
            EXPECT_EQ(sqlite3_step(ins), SQLITE_DONE);
            sqlite3_reset(ins);
        }
        sqlite3_finalize(ins);
        std::set<int> out;
        sqlite3_stmt* st = nullptr;
        const QByteArray q = ("SELECT rid FROM R WHERE " + sql).toUtf8();
        EXPECT_EQ(sqlite3_prepare_v2(scratch_, q.constData(), -1, &st, nullptr), SQLITE_OK) << q.constData();
        while (sqlite3_step(st) == SQLITE_ROW)
            out.insert(sqlite3_column_int(st, 0));
        sqlite3_finalize(st);
        return out;
    }

    // --- random pieces

    QString pick(const QStringList& l) { return l[int(rng_.bounded(int(l.size())))]; }
    bool chance(int percent) { return int(rng_.bounded(100)) < percent; }

    Condition condition()
    {
        const int field = int(rng_.bounded(4));
        const QString name = kFields[field];
        if (field == 2) {
            static const char* ops[] = {"=", "<>", "<", ">", "<=", ">="};
            const QString op = QString::fromLatin1(ops[rng_.bounded(6)]);
            const QString n = QString::number(kNumbers[rng_.bounded(6)]);
            return {name + u' ' + op + u' ' + n, "N " + op + u' ' + n};
        }
        const QString column = QStringLiteral("IFNULL(%1, '') COLLATE JET").arg(name);
        const QString value = field == 0 ? pick(kKeys) : pick(kTexts);
        switch (rng_.bounded(5)) {
        case 0:
            return {eq(name, value), column + " = " + quoted(value)};
        case 1:
            return {ne(name, value), column + " <> " + quoted(value)};
        case 2:
            return {contains(name, value), column + " LIKE " + likeContains(value)};
        case 3: {
            const QString pattern = value.left(1) + (chance(50) ? "%" : "_") + value.mid(2);
            return {name + " LIKE " + quoted(pattern), column + " LIKE " + quoted(pattern)};
        }
        default: {
            static const char* ops[] = {"<", ">", "<=", ">="};
            const QString op = QString::fromLatin1(ops[rng_.bounded(4)]);
            return {name + u' ' + op + u' ' + quoted(value), column + u' ' + op + u' ' + quoted(value)};
        }
        }
    }

    std::optional<Condition> someFilter()
    {
        if (chance(20))
            return std::nullopt;
        return condition();
    }

    QVariant someValue(int field)
    {
        if (field == 0)
            return pick(kKeys);
        if (field == 2)
            return kNumbers[rng_.bounded(6)];
        if (field == 1 && chance(20))
            return QVariant();
        if (field == 3 && chance(15))
            return double(rng_.bounded(20));   // a number into a text column
        return pick(kTexts);
    }

    // --- the model's side of each step

    const Slot& slot(const Cursor& c, int i) const { return c.group->rows[size_t(c.view[size_t(i)])]; }
    bool liveAt(const Cursor& c, int i) const { return !slot(c, i).deleted; }
    bool onLiveRow(const Cursor& c) const { return c.where == Cursor::Row && liveAt(c, c.pos); }
    std::vector<int> live(const Cursor& c) const
    {
        std::vector<int> out;
        for (int i = 0; i < int(c.view.size()); ++i) {
            if (liveAt(c, i))
                out.push_back(c.view[size_t(i)]);
        }
        return out;
    }

    int nextLive(const Cursor& c, int from) const
    {
        for (int i = std::max(from, 0); i < int(c.view.size()); ++i) {
            if (liveAt(c, i))
                return i;
        }
        return int(c.view.size());
    }
    int prevLive(const Cursor& c, int from) const
    {
        for (int i = std::min(from, int(c.view.size()) - 1); i >= 0; --i) {
            if (liveAt(c, i))
                return i;
        }
        return -1;
    }
    void place(Cursor& c, int i)
    {
        c.where = i < 0 ? Cursor::Bof : (i >= int(c.view.size()) ? Cursor::Eof : Cursor::Row);
        c.pos = i;
    }

    void rebuild(Cursor& c)
    {
        c.view.clear();
        std::vector<int> rows;
        for (int row = 0; row < int(c.group->rows.size()); ++row) {
            if (!c.filter || !c.group->rows[size_t(row)].deleted)
                rows.push_back(row);
        }
        const std::set<int> pass = c.filter ? passing(*c.group, rows, c.filter->sql) : std::set<int>();
        for (int row : rows) {
            if (!c.filter || pass.count(row))
                c.view.push_back(row);
        }
        place(c, nextLive(c, 0));
    }

    std::shared_ptr<Group> load(const Source& s)
    {
        auto g = std::make_shared<Group>();
        for (auto& [rid, v] : query(QStringLiteral("SELECT rowid, K, A, N, T FROM M %1 ORDER BY %2, rowid")
                                        .arg(QString::fromUtf8(s.where), QString::fromUtf8(s.order))))
            g->rows.push_back({rid, std::move(v), false});
        if (conn.inTransaction())
            g->atBegin = g->rows;
        return g;
    }

    // A row added through `by`: every cursor of its rows takes it in when its filter passes it.
    void added(Cursor& by, qint64 rid)
    {
        Group& g = *by.group;
        const int row = int(g.rows.size());
        g.rows.push_back({rid, *stored(rid), false});
        for (Cursor& c : cursors_) {
            if (c.group.get() != &g)
                continue;
            if (&c == &by || !c.filter || passing(g, {row}, c.filter->sql).count(row))
                c.view.push_back(row);
        }
        place(by, int(by.view.size()) - 1);
    }

    // --- the steps

    Cursor& anyCursor() { return cursors_[rng_.bounded(int(cursors_.size()))]; }

    void open()
    {
        const Source& s = kSources[rng_.bounded(int(std::size(kSources)))];
        Cursor c;
        c.rs = std::make_unique<Recordset>(&conn, QString::fromUtf8(s.sql));
        c.rs->open();
        c.group = load(s);
        rebuild(c);
        cursors_.push_back(std::move(c));
    }

    void reopen(Cursor& c, bool requery)
    {
        const Source& s = kSources[rng_.bounded(int(std::size(kSources)))];
        if (requery) {
            c.rs->requery();
            const auto at = std::find_if(std::begin(kSources), std::end(kSources),
                                         [&](const Source& k) { return c.rs->source() == QString::fromUtf8(k.sql); });
            c.group = load(*at);
        } else {
            c.rs->close();
            if (chance(30)) {   // a filter set while closed applies at the open
                c.filter = someFilter();
                c.rs->setFilter(c.filter ? c.filter->text : QString());
            }
            c.rs->open(QString::fromUtf8(s.sql));
            c.group = load(s);
        }
        rebuild(c);
    }

    void move(Cursor& c)
    {
        long expected = 0;
        const int kind = int(rng_.bounded(5));
        const bool none = live(c).empty();
        switch (kind) {
        case 0:
            expected = none ? DbError::BofOrEof : 0;
            EXPECT_EQ(errorOf([&] { c.rs->moveFirst(); }), expected);
            if (!none)
                place(c, nextLive(c, 0));
            return;
        case 1:
            expected = none ? DbError::BofOrEof : 0;
            EXPECT_EQ(errorOf([&] { c.rs->moveLast(); }), expected);
            if (!none)
                place(c, prevLive(c, int(c.view.size()) - 1));
            return;
        default: {
            const long n = kind == 2 ? 1 : (kind == 3 ? -1 : long(rng_.bounded(7)) - 3);
            if ((n > 0 && c.where == Cursor::Eof) || (n < 0 && c.where == Cursor::Bof)) {
                EXPECT_EQ(errorOf([&] { c.rs->move(n); }), DbError::BofOrEof);
                return;
            }
            EXPECT_EQ(errorOf([&] { c.rs->move(n); }), 0);
            int i = c.where == Cursor::Row ? c.pos : (c.where == Cursor::Bof ? -1 : int(c.view.size()));
            for (long k = 0; k < n && i < int(c.view.size()); ++k)
                i = nextLive(c, i + 1);
            for (long k = 0; k < -n && i >= 0; ++k)
                i = prevLive(c, i - 1);
            place(c, i);
        }
        }
    }

    void find(Cursor& c)
    {
        const Condition cond = condition();
        const long skip = long(rng_.bounded(3));
        const bool forward = chance(50);
        EXPECT_EQ(errorOf([&] { c.rs->find(cond.text, skip, forward); }), 0) << qPrintable(cond.text);
        const std::set<int> pass = passing(*c.group, live(c), cond.sql);
        const int n = int(c.view.size());
        if (forward && c.where != Cursor::Eof) {
            int from = c.where == Cursor::Bof ? 0 : c.pos;
            for (long k = 0; k < skip && from < n; ++k)
                from = nextLive(c, from + 1);
            while (from < n && !(liveAt(c, from) && pass.count(c.view[size_t(from)])))
                ++from;
            place(c, from);
        } else if (!forward && c.where != Cursor::Bof) {
            int from = c.where == Cursor::Eof ? n - 1 : c.pos;
            for (long k = 0; k < skip && from >= 0; ++k)
                from = prevLive(c, from - 1);
            while (from >= 0 && !(liveAt(c, from) && pass.count(c.view[size_t(from)])))
                --from;
            place(c, from);
        }
    }

    void bookmark(Cursor& to)
    {
        std::vector<Cursor*> clones;
        for (Cursor& c : cursors_) {
            if (c.group == to.group && c.where == Cursor::Row)
                clones.push_back(&c);
        }
        if (clones.empty())
            return;
        const Cursor& from = *clones[rng_.bounded(int(clones.size()))];
        const qint64 rid = slot(from, from.pos).rid;
        EXPECT_EQ(from.rs->bookmark(), rid);
        // The row a bookmark names is the last one with its rowid.
        int row = int(to.group->rows.size()) - 1;
        while (row >= 0 && to.group->rows[size_t(row)].rid != rid)
            --row;
        const auto at = std::find(to.view.begin(), to.view.end(), row);
        const bool reachable = at != to.view.end() && !to.group->rows[size_t(row)].deleted;
        EXPECT_EQ(errorOf([&] { to.rs->setBookmark(rid); }), reachable ? 0 : DbError::BadArguments);
        if (reachable)
            place(to, int(at - to.view.begin()));
    }

    // An edit, an addition or a deletion; refused when the row held is no
    // longer the stored one or when the key is taken.
    void write(Cursor& c)
    {
        const int kind = int(rng_.bounded(onLiveRow(c) ? 5 : 2));
        if (kind <= 1) {   // add, saved or cancelled
            Values v = {QString(), QVariant(), 0.0, QString()};
            c.rs->addNew();
            for (int f = 0; f < 4; ++f) {
                if (f == 0 || chance(60)) {
                    v[size_t(f)] = someValue(f);
                    c.rs->setValue(kFields[f], v[size_t(f)]);
                }
            }
            if (kind == 1) {
                c.rs->cancelUpdate();
                return;
            }
            const bool refused = keyTaken(v[0].toString(), -1);
            EXPECT_EQ(errorOf([&] { c.rs->update(); }), refused ? DbError::DatabaseFailure : 0);
            if (!refused)
                added(c, c.rs->bookmark());
            return;
        }
        Slot& row = c.group->rows[size_t(c.view[size_t(c.pos)])];
        const std::optional<Values> now = stored(row.rid);
        bool stale = !now;
        for (int f = 0; now && f < 4; ++f)
            stale = stale || !same((*now)[size_t(f)], row.values[size_t(f)]);
        if (kind == 2) {   // delete
            EXPECT_EQ(errorOf([&] { c.rs->deleteCurrent(); }), stale ? DbError::DatabaseFailure : 0);
            row.deleted = !stale;
            return;
        }
        QString key = row.values[0].toString();
        bool edited = false;
        for (int f = 0; f < 4; ++f) {
            if (chance(40)) {
                edited = true;
                const QVariant v = someValue(f);
                c.rs->setValue(kFields[f], v);
                if (f == 0)
                    key = v.toString();
            }
        }
        if (kind == 3) {
            c.rs->cancelUpdate();
            return;
        }
        const bool refused = edited && (stale || keyTaken(key, row.rid));
        EXPECT_EQ(errorOf([&] { c.rs->update(); }), refused ? DbError::DatabaseFailure : 0) << (stale ? "stale" : "");
        if (edited && !refused)
            row.values = *stored(row.rid);
    }

    void statement(Connection& on)
    {
        const QString k = quoted(pick(kKeys));
        const QString statements[] = {
            "UPDATE M SET N = N + 1 WHERE K LIKE '%a%' OR T = '10'",
            "DELETE FROM M WHERE rowid = (SELECT max(rowid) FROM M)",   // its rowid is handed out again
            "INSERT INTO M (K, A, N, T) VALUES (" + k + ", 'abc', 2, '010')",
            "UPDATE M SET A = NULL WHERE rowid % 3 = 0",
            "UPDATE M SET A = 'abc', T = " + k + " WHERE rowid % 4 = 1",
            "DELETE FROM M WHERE N > 5",
        };
        try {
            on.execute(statements[rng_.bounded(int(std::size(statements)))]);
        } catch (const DbError&) {
            // A key taken: the statement changed nothing.
        }
    }

    void transaction()
    {
        if (!conn.inTransaction()) {
            conn.beginTrans();
            for (Cursor& c : cursors_)
                c.group->atBegin = c.group->rows;
            return;
        }
        if (chance(50)) {
            conn.commitTrans();
        } else {
            conn.rollbackTrans();
            // What the recordsets changed since is undone; rows they added are gone.
            std::set<Group*> done;
            for (Cursor& c : cursors_) {
                Group& g = *c.group;
                if (!g.atBegin || !done.insert(&g).second)
                    continue;
                for (size_t i = 0; i < g.rows.size(); ++i) {
                    if (i < g.atBegin->size())
                        g.rows[i] = (*g.atBegin)[i];
                    else
                        g.rows[i].deleted = true;
                }
            }
        }
        for (Cursor& c : cursors_)
            c.group->atBegin.reset();
    }

    // Closes the connection (the next use opens it again) and checks that
    // nothing gathered before the close is lost; later steps write on through it.
    void reconnect()
    {
        const QString all = QStringLiteral("SELECT rowid, K, A, N, T FROM M ORDER BY rowid");
        const auto before = query(all);
        conn.close();
        EXPECT_TRUE(query(all) == before) << "writes lost at the close";
    }

    void step()
    {
        if (cursors_.empty()) {
            open();
            return;
        }
        Cursor& c = anyCursor();
        const int r = int(rng_.bounded(100));
        if (r < 6 && cursors_.size() < 6) {
            open();
        } else if (r < 11 && cursors_.size() < 6) {
            Cursor copy;
            copy.rs = c.rs->clone();
            copy.group = c.group;
            rebuild(copy);
            cursors_.push_back(std::move(copy));
        } else if (r < 14) {
            c.rs->close();
            cursors_.erase(cursors_.begin() + (&c - cursors_.data()));
        } else if (r < 19) {
            reopen(c, r < 16);
        } else if (r < 22) {
            // Rows just read and written only through this recordset still
            // match the table: the close keeps them for the next open.
            reopen(c, false);
            for (int i = 0; i < 4; ++i) {
                write(c);
                move(c);
            }
            reopen(c, false);
        } else if (r < 30) {
            c.filter = someFilter();
            c.rs->setFilter(c.filter ? c.filter->text : QString());
            rebuild(c);
        } else if (r < 45) {
            move(c);
        } else if (r < 53) {
            find(c);
        } else if (r < 58) {
            bookmark(c);
        } else if (r < 84) {
            write(c);
        } else if (r < 89) {
            statement(conn);
        } else if (r < 93) {
            if (!conn.inTransaction())
                statement(second_);
        } else if (r < 97 || conn.inTransaction()) {
            transaction();
        } else {
            reconnect();
        }
    }

    // Every open recordset against the model: count, rows in order, values, current row.
    void check()
    {
        for (Cursor& c : cursors_) {
            const std::vector<int> rows = live(c);
            ASSERT_EQ(c.rs->recordCount(), long(rows.size())) << qPrintable(c.rs->source());
            ASSERT_EQ(c.rs->rowCount(), int(rows.size()));
            for (int i = 0; i < int(rows.size()); ++i) {
                const Slot& want = c.group->rows[size_t(rows[size_t(i)])];
                ASSERT_EQ(c.rs->bookmarkAt(i), want.rid) << "row " << i << " of " << qPrintable(c.rs->source());
                for (int f = 0; f < 4; ++f) {
                    const QVariant got = c.rs->valueAt(i, f);
                    ASSERT_TRUE(same(got, want.values[size_t(f)]))
                        << qPrintable(kFields[f]) << " " << qPrintable(show(got)) << " held, "
                        << qPrintable(show(want.values[size_t(f)])) << " expected";
                }
            }
            const bool onLive = onLiveRow(c);
            const auto at = onLive ? std::find(rows.begin(), rows.end(), c.view[size_t(c.pos)]) : rows.end();
            ASSERT_EQ(c.rs->currentRow(), onLive ? int(at - rows.begin()) : -1);
            ASSERT_EQ(c.rs->eof(), c.where == Cursor::Eof || (c.where == Cursor::Bof && rows.empty()));
            ASSERT_EQ(c.rs->bof(), c.where == Cursor::Bof || (c.where == Cursor::Eof && rows.empty()));
            if (c.where == Cursor::Row) {
                ASSERT_EQ(errorOf([&] { c.rs->value(0); }), onLive ? 0 : DbError::RowDeleted);
            }
        }
    }

    void run(quint32 seed, int steps)
    {
        rng_.seed(seed);
        for (int i = 0; i < steps; ++i) {
            SCOPED_TRACE(testing::Message() << "seed " << seed << ", step " << i);
            step();
            ASSERT_NO_FATAL_FAILURE(check());
            if (HasFailure())
                return;
        }
        if (conn.inTransaction())
            conn.rollbackTrans();
    }

    QRandomGenerator rng_;
    sqlite3* scratch_ = nullptr;
    Connection second_{QStringLiteral("Second")};
    std::vector<Cursor> cursors_;
};

TEST_F(Model, RecordsetsAgreeWithTheDatabaseStepByStep)
{
    const int steps = qEnvironmentVariableIsSet("ZARV_MODEL_STEPS") ? qEnvironmentVariableIntValue("ZARV_MODEL_STEPS") : 600;
    const int seeds = qEnvironmentVariableIsSet("ZARV_MODEL_STEPS") ? 20 : 4;
    for (int s = 1; s <= seeds && !HasFailure(); ++s) {
        conn.execute("DELETE FROM M");
        cursors_.clear();
        run(quint32(s), steps);
    }
}

} // namespace
} // namespace zarv::db::test
