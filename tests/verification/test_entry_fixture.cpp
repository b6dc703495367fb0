#include "test_entry_fixture.h"

#include "platform/data/criteria.h"
#include "platform/data/recordset.h"

#include <QComboBox>
#include <QLineEdit>

namespace zarv::test {

void FolioScreenTest::addCodes()
{
    test::addCodes({{"01|Westport", "02|Easton", "03|Southby", "5 |Fiveways", "07|Lakeside"},
                    {"701|Westport Town", "702|Easton Township", "703|North Vale", "704|Southby Village", "705|Bay County"},
                    {"01|701", "02|702", "02|703", "03|704"},
                    {"701|10|###-###-###-#", "702|18|######-######-######"}});
}

void FolioScreenTest::openList(const QString& source)
{
    db::Recordset& rs = DE().rsVerify();
    if (rs.isOpen())
        rs.close();
    rs.open(source);
}

void FolioScreenTest::moveTo(const QString& number)
{
    db::Recordset& rs = DE().rsVerify();
    rs.moveFirst();
    rs.find(db::eq(QStringLiteral("NUMBER"), number));
    ASSERT_FALSE(rs.eof()) << number.toStdString();
}

QString FolioScreenTest::current()
{
    const db::Recordset& rs = DE().rsVerify();
    if (!rs.isOpen() || rs.eof() || rs.bof())
        return QStringLiteral("<none>");
    return rs.text(QStringLiteral("NUMBER"));
}

void FolioScreenTest::expectConsistentList() const
{
    db::Recordset& rs = DE().rsVerify();
    ASSERT_TRUE(rs.isOpen());
    EXPECT_FALSE(rs.editPending());
    EXPECT_FALSE(DE().Zarv.inTransaction());
    EXPECT_EQ(rs.recordCount(), storedRows().size());
    if (!rs.eof() && !rs.bof()) {
        EXPECT_NO_THROW(rs.text(QStringLiteral("ACD")));
        EXPECT_EQ(rs.rowOfBookmark(rs.bookmark()), rs.currentRow());
    }
}

void FolioScreenTest::typeInto(QComboBox* combo, const QString& text)
{
    clerk::click(combo);
    combo->lineEdit()->selectAll();
    combo->lineEdit()->insert(text);
}

QStringList FolioScreenTest::items(QComboBox* combo)
{
    QStringList list;
    for (int i = 0; i < combo->count(); ++i)
        list << combo->itemText(i);
    return list;
}

} // namespace zarv::test
