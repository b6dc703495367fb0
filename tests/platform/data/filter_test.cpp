#include "dbfixture.h"

#include "platform/data/criteria.h"

namespace zarv::db::test {
namespace {

using FilterTest = DbTest;

TEST(Criteria, QuoteAndEscapeUserText)
{
    EXPECT_EQ(quoted("O'Hara"), "'O''Hara'");
    EXPECT_EQ(likeContains("50% off_[x]*"), "'%50[%] off[_][[]x][*]%'");
    EXPECT_EQ(eq("NAME", "O'Hara"), "NAME = 'O''Hara' ");
    EXPECT_EQ(ne("CD", "01"), "CD <> '01' ");
    EXPECT_EQ(contains("NAME", "%"), "NAME LIKE '%[%]%' ");
}

// However long a run of quotes, it is quoted and read back as itself: in a
// source's WHERE, a filter and a Find.
TEST_F(FilterTest, RunsOfQuotesOfAnyLengthMatchThemselves)
{
    const QStringList names = {"'", "''", "a''b'", QString(200000, u'\''), QString(200001, u'\'')};
    for (int i = 0; i < names.size(); ++i)
        seed({QStringLiteral("0001|01|%1|%2").arg(i).arg(QString(names[i]).replace("'", "''"))});
    Recordset rs(&conn, kSorted);
    rs.open();
    for (const QString& name : names) {
        SCOPED_TRACE(name.size());
        Recordset source(&conn, "SELECT * FROM Detail WHERE NAME = " + quoted(name) + " ORDER BY FOLIO");
        source.open();
        EXPECT_EQ(all(source, "NAME"), QStringList({name}));
        rs.setFilter(eq("NAME", name));
        EXPECT_EQ(all(rs, "NAME"), QStringList({name}));
        rs.setFilter(QString());
        rs.find(eq("NAME", name));
        ASSERT_FALSE(rs.eof());
        EXPECT_EQ(rs.text("NAME"), name);
    }
}

// Each order operator on both sides of its edge, for numbers and for texts
// (equal but for letter case counts as equal).
TEST_F(FilterTest, OrderOperatorsHoldAtBothEdges)
{
    seed({"0001|01|1|Baker|10", "0001|02|2|BAKER |20", "0001|03|3|Carter|30"});
    Recordset rs(&conn, kSorted);
    rs.open();
    const std::pair<const char*, const char*> cases[] = {
        {"PAYMENT < 20", "1"},        {"PAYMENT <= 20", "1,2"},   {"PAYMENT > 20", "3"},
        {"PAYMENT >= 20", "2,3"},     {"PAYMENT <= 9.99", ""},    {"PAYMENT >= 30.01", ""},
        {"NAME < 'baker'", ""},       {"NAME <= 'baker'", "1"},   {"NAME > 'baker'", "2,3"},
        {"NAME >= 'BAKER '", "2,3"},  {"NAME > 'BAKER '", "3"},   {"NAME <= 'CARTER'", "1,2,3"},
    };
    for (const auto& [filter, folios] : cases) {
        SCOPED_TRACE(filter);
        rs.setFilter(QString::fromUtf8(filter));
        EXPECT_EQ(all(rs, "FOLIO").join(u','), QString::fromUtf8(folios));
        rs.setFilter(QString());
        rs.find(QString::fromUtf8(filter));   // Find judges rows by the same rule
        EXPECT_EQ(rs.eof() ? QString() : rs.text("FOLIO"), QString::fromUtf8(folios).left(1));
    }
}

TEST_F(FilterTest, LikeWildcards)
{
    seed({"0001|01|1|Smith", "0001|01|2|Smyth", "0001|01|3|Smithers", "0001|01|4|smi"});
    Recordset rs(&conn, "Detail");
    rs.open();
    const std::pair<const char*, long> cases[] = {
        {"NAME LIKE 'sm_th'", 2},   {"NAME LIKE 'SM%'", 4},     {"NAME LIKE 'sm*h*'", 3},
        {"NAME LIKE '%ers'", 1},    {"NAME LIKE 'smi'", 1},     {"NAME LIKE 'sm[_]th'", 0},
        {"NAME LIKE '_%_'", 4},     {"NAME LIKE ''", 0},        {"NAME LIKE 'Sm%h%s'", 1},
        {"NAME LIKE 'sm[i]th'", 1}, {"MORTCO = '0001' AND NAME LIKE '%th%'", 3},
    };
    for (const auto& [filter, expected] : cases) {
        SCOPED_TRACE(filter);
        rs.setFilter(QString::fromUtf8(filter));
        EXPECT_EQ(rs.recordCount(), expected);
    }
}

TEST_F(FilterTest, BadTextRaisesBadArgumentsAndKeepsTheOldFilter)
{
    seed({"0001|01|1|Smith", "0002|01|2|Jones"});
    Recordset rs(&conn, "Detail");
    rs.open();
    rs.setFilter("MORTCO = '0001'");
    const char* bad[] = {
        "NAME = 'x",   "NAME == 'x'",  "NOPE = 'x'",          "NAME 'x'",    "NAME = 'x' OR CD = '1'",
        "NAME = 'x' AND", "NAME = x",  "NAME LIKE",           "= 'x'",       "NAME = 'x' 'y'",
        "PAYMENT > 1.2.3", "NAME = 'x' ANDCD = '1'",
    };
    for (const char* filter : bad) {
        SCOPED_TRACE(filter);
        try {
            rs.setFilter(QString::fromUtf8(filter));
            ADD_FAILURE() << "accepted";
        } catch (const DbError& e) {
            EXPECT_EQ(e.number(), DbError::BadArguments);
            EXPECT_EQ(e.description(), "Arguments are of the wrong type, are out of acceptable range, "
                                       "or are in conflict with one another.");
        }
        EXPECT_EQ(rs.filter(), "MORTCO = '0001'");
        EXPECT_EQ(rs.recordCount(), 1);
    }
    EXPECT_EQ(errorOf([&] { rs.find("NOPE = '1'"); }), DbError::BadArguments);
}

TEST(TextRule, CaseInsensitiveOneToOne)
{
    struct Case {
        const char* a;
        const char* b;
        int sign;
    };
    const Case cases[] = {
        {"abc", "ABC", 0}, {"straße", "STRASSE", 1}, {"é", "É", 0}, {"a", "B", -1},
        {"ab", "a", 1},    {"", "", 0},              {"Z", "a", 1}, {"_", "a", 1},   // letters compare as capitals
    };
    for (const Case& c : cases) {
        const QString a = QString::fromUtf8(c.a);
        const QString b = QString::fromUtf8(c.b);
        SCOPED_TRACE(std::string(c.a) + " vs " + c.b);
        const int r = compareText(a, b);
        EXPECT_EQ((r > 0) - (r < 0), c.sign);
        EXPECT_EQ(foldText(a) == foldText(b), c.sign == 0);
        EXPECT_EQ(foldText(a).size(), a.size());
    }
}

} // namespace
} // namespace zarv::db::test
