// The shortcuts behind filters and fields (parsed texts kept for reuse, hash
// indexes, remembered field names, the collation's ASCII path) must answer
// exactly as a plain reading of the rows would.
#include "dbfixture.h"

#include "platform/data/criteria.h"
#include "platform/data/textrule.h"
#include "platform/data/values.h"

#include <QRandomGenerator>
#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace zarv::db::test {
namespace {

using LookupTest = DbTest;

QString code(int n, int width)
{
    return QStringLiteral("%1").arg(n, width, 10, QLatin1Char('0'));
}

TEST_F(LookupTest, FiltersInUseKeepJudgingNewRowsWhileManyOthersAreParsed)
{
    seed({"0001|01|1|Smith0", "0002|01|2|Jones"});
    Recordset rs(&conn, kSorted);
    rs.open();
    // More cursors hold a filter than there are texts kept parsed.
    std::vector<std::unique_ptr<Recordset>> held;
    for (int i = 0; i < 12; ++i) {
        held.push_back(rs.clone());
        held.back()->setFilter(eq("NAME", QStringLiteral("smith%1").arg(i)));
    }
    auto busy = rs.clone();
    for (int i = 0; i < 40; ++i)
        busy->setFilter(eq("MORTCO", code(i, 4)) + "AND " + eq("NAME", "x"));

    for (int i = 0; i < 12; ++i)
        addDetail(rs, "0003", "01", code(i, 2), QStringLiteral("SMITH%1").arg(i));
    addDetail(rs, "0004", "01", "4", "Smith00");
    for (int i = 0; i < 12; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(all(*held[size_t(i)], "MORTCO"), i == 0 ? QStringList({"0001", "0003"}) : QStringList({"0003"}));
    }
    EXPECT_EQ(busy->recordCount(), 0);
}

TEST_F(LookupTest, TextThatDoesNotParseIsRefusedEveryTime)
{
    seed({"0001|01|1|Smith", "0002|01|2|Jones"});
    Recordset rs(&conn, "Detail");
    rs.open();
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        for (const char* bad : {"NAME = 'x' AND CD = '01' AND", "NAME = 'x' AND ", "NAME = 'x' AND \t "})
            EXPECT_EQ(errorOf([&] { rs.setFilter(QString::fromUtf8(bad)); }), DbError::BadArguments) << bad;
        rs.setFilter(eq("NAME", "jones"));   // parsed where the refused text was
        EXPECT_EQ(all(rs, "NAME"), QStringList({"Jones"}));
        EXPECT_EQ(errorOf([&] { rs.find("NOPE = 'x'"); }), DbError::BadArguments);
        rs.setFilter(QString());
        rs.find("NAME = 'SMITH'");
        EXPECT_EQ(rs.text("MORTCO"), "0001");
    }
}

// Adds, edits and deletes (some undone by a rollback) move rows between the
// buckets of the index; every key must still count what the database holds.
TEST_F(LookupTest, KeyFiltersAgreeWithTheDatabaseThroughEditsDeletesAndRollback)
{
    Recordset rs(&conn, "Detail");
    rs.open();
    auto probe = rs.clone();
    probe->setFilter(eq("MORTCO", "0001") + "AND " + eq("NAME", "N1"));   // the index starts empty
    QRandomGenerator rng(7);
    const auto name = [&] { return QStringLiteral("N%1").arg(rng.bounded(13)); };
    for (int i = 0; i < 400; ++i)
        addDetail(rs, code(int(rng.bounded(7)), 4), "01", code(i, 6), name());

    const auto check = [&](const char* stage) {
        SCOPED_TRACE(stage);
        for (int m = 0; m < 7; ++m) {
            for (int n = 0; n < 13; ++n) {
                const QString mortco = code(m, 4);
                const QString nm = QStringLiteral("n%1").arg(n);   // another letter case
                probe->setFilter(eq("MORTCO", mortco) + "AND " + eq("NAME", nm));
                ASSERT_EQ(probe->recordCount(),
                          countInDatabase(QStringLiteral("WHERE MORTCO = '%1' AND NAME = '%2'").arg(mortco, nm)))
                    << qPrintable(mortco) << " " << qPrintable(nm);
                // The same count without a filter text, the fields in another
                // order, through a cursor that holds a filter of its own.
                const int fields[] = {rs.fieldIndex("NAME"), rs.fieldIndex("MORTCO")};
                const QString texts[] = {nm, mortco};
                ASSERT_EQ(rs.countEqual(fields, texts, 2), probe->recordCount());
            }
        }
    };
    const auto scramble = [&](int rows) {
        for (int k = 0; k < rows; ++k) {
            rs.setFilter(eq("FOLIO", code(int(rng.bounded(400)), 6)));
            if (rs.eof())
                continue;
            if (rng.bounded(2) == 0) {
                rs.deleteCurrent();
            } else {
                rs.setValue("NAME", name() + QStringLiteral("x").repeated(int(rng.bounded(2))));
                rs.update();
            }
        }
    };
    check("added");
    const int twice[] = {rs.fieldIndex("NAME"), rs.fieldIndex("NAME")};
    const int unknown[] = {-1};
    const QString texts[] = {"N1", "N2"};
    EXPECT_EQ(errorOf([&] { rs.countEqual(twice, texts, 2); }), DbError::BadArguments);
    EXPECT_EQ(errorOf([&] { rs.countEqual(unknown, texts, 1); }), DbError::ItemNotFound);
    scramble(150);
    check("edited and deleted");
    conn.beginTrans();
    scramble(150);
    conn.rollbackTrans();
    check("rolled back");
}

// Two names whose index keys have the same 64-bit hash: the second block of
// the hash is solved for, given the first. The keys are the folded names with
// a length and a tag in front, three blocks of four units for nine units.
std::pair<QString, QString> namesSharingAHash()
{
    constexpr quint64 kMul = 0xFF51AFD7ED558CCDULL;
    quint64 inverse = kMul;   // Newton's iteration for kMul^-1 modulo 2^64
    for (int i = 0; i < 6; ++i)
        inverse *= 2 - kMul * inverse;
    const auto block = [](const char16_t* u) {
        return quint64(u[0]) | quint64(u[1]) << 16 | quint64(u[2]) << 32 | quint64(u[3]) << 48;
    };
    const auto afterFirst = [&](const char16_t* key) {
        quint64 h = 0x9E3779B97F4A7C15ULL ^ 24;
        h = (h ^ (block(key) * kMul)) * 0xC4CEB9FE1A85EC53ULL;
        return h ^ (h >> 29);
    };
    const std::u16string a(u"\x000A\x0000TQRSTUVWXY", 12);
    for (char16_t first = u'A'; first <= u'Z'; ++first) {
        std::u16string b = a;
        b[3] = first;
        if (first == a[3])
            continue;
        const quint64 second = (afterFirst(a.data()) ^ afterFirst(b.data()) ^ (block(a.data() + 4) * kMul)) * inverse;
        bool usable = true;
        for (int k = 0; k < 4; ++k) {
            const auto u = char16_t(second >> (16 * k));
            usable = usable && u >= 0x20 && (u < 0xD800 || u > 0xDFFF) && detail::foldUnit(u) == u;
            b[size_t(4 + k)] = u;
        }
        if (usable)
            return {QString::fromStdU16String(a.substr(3)), QString::fromStdU16String(b.substr(3))};
    }
    return {};
}

TEST_F(LookupTest, KeysWithTheSameHashStayApart)
{
    const auto [first, second] = namesSharingAHash();
    ASSERT_FALSE(first.isEmpty());
    detail::Field name;
    name.affinity = detail::Affinity::Text;
    ASSERT_NE(detail::literalKey(name, first), detail::literalKey(name, second));
    ASSERT_EQ(detail::hashUnits(detail::literalKey(name, first)), detail::hashUnits(detail::literalKey(name, second)));

    Recordset rs(&conn, "Detail");
    rs.open();
    addDetail(rs, "0001", "01", "1", first);
    addDetail(rs, "0001", "01", "2", second);
    auto probe = rs.clone();
    for (const QString& n : {first, second}) {
        probe->setFilter(eq("NAME", n));
        EXPECT_EQ(probe->recordCount(), 1);
        EXPECT_EQ(probe->text("NAME"), n);
        probe->setFilter(eq("MORTCO", "0001") + "AND " + eq("NAME", n));
        EXPECT_EQ(probe->recordCount(), 1);
    }
}

TEST_F(LookupTest, FieldNamesInAnyCaseTheExactOneFirstAndNoStaleHint)
{
    seed({"0001|01|000000000000000100|Smith|10"});
    Recordset twins(&conn, "SELECT MORTCO AS code, NAME AS Code, CD FROM Detail");
    twins.open();
    EXPECT_EQ(twins.fieldIndex("code"), 0);
    EXPECT_EQ(twins.fieldIndex("Code"), 1);
    EXPECT_EQ(twins.fieldIndex("CODE"), 0);   // no exact name: the first in any case
    EXPECT_EQ(twins.text("Code"), "Smith");
    EXPECT_EQ(twins.text("cd"), "01");

    Recordset rs(&conn, "Detail");
    rs.open();
    EXPECT_EQ(rs.fieldIndex("mortco"), 0);
    EXPECT_EQ(rs.fieldIndex("Payment"), 4);
    EXPECT_EQ(rs.fieldIndex("NOPE"), -1);
    EXPECT_EQ(rs.fieldIndex(QString()), -1);
    // The same characters rewritten in place name another field.
    QString field = QString::fromLatin1("FOLIO");
    const QChar* at = field.constData();
    EXPECT_EQ(rs.fieldIndex(field), 2);
    EXPECT_EQ(rs.text(field), "000000000000000100");
    field.resize(4);
    std::copy_n(u"NAME", 4, field.data());
    ASSERT_EQ(field.constData(), at);
    EXPECT_EQ(rs.fieldIndex(field), 3);
    EXPECT_EQ(rs.text(field), "Smith");
    field[0] = u'X';
    EXPECT_EQ(rs.fieldIndex(field), -1);
}

TEST_F(LookupTest, DatabaseOrderFollowsTheTextRuleBeyondAscii)
{
    // Dotless i and long s are capitalised to ASCII letters.
    const QStringList names = {"abc", "ABD", "abé", "ab", "Ab", "aé", "AZ", "a~", "Zed", "zèbre", "é",
                               "_x",  "ÀB",  "àa",  "ıa", "Ib", "ſt", "Su", "st"};
    QStringList rows;
    for (int i = 0; i < names.size(); ++i)
        rows << QStringLiteral("0001|01|%1|%2").arg(code(i, 2), names[i]);
    seed(rows);
    Recordset rs(&conn, "SELECT * FROM Detail ORDER BY NAME, FOLIO");
    rs.open();
    QStringList expected = names;   // equal names keep their folio (insertion) order
    std::stable_sort(expected.begin(), expected.end(),
                     [](const QString& a, const QString& b) { return compareText(a, b) < 0; });
    EXPECT_EQ(all(rs, "NAME"), expected);
}

} // namespace
} // namespace zarv::db::test
