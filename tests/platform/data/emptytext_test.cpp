// An empty text read from the database is the empty text, never Null, wherever
// it stands in the result.
#include "dbfixture.h"

namespace zarv::db::test {
namespace {

TEST_F(DbTest, EmptyTextInTheFirstRowsIsNotNull)
{
    seed({"|01|000000000000000001|", "|01|000000000000000002|SMITH", "0042|02|000000000000000003|"});
    Recordset rs(&conn, QStringLiteral("SELECT * FROM Detail ORDER BY FOLIO"));
    rs.open();
    for (int row = 0; row < 3; ++row) {
        rs.moveToRow(row);
        const QVariant mortco = rs.value(QStringLiteral("MORTCO"));
        EXPECT_TRUE(mortco.isValid() && !mortco.isNull()) << row;
        EXPECT_EQ(mortco.toString(), row == 2 ? QStringLiteral("0042") : QString());
    }
    rs.moveFirst();
    EXPECT_FALSE(rs.value(QStringLiteral("NAME")).isNull());
}

} // namespace
} // namespace zarv::db::test
