#include "verification_support.h"

#include "platform/data/criteria.h"
#include "services/screens/Form_InformationDialog.h"
#include "services/dataenvironment.h"
#include "services/sharedstate.h"

#include <QDir>

namespace zarv::test {

namespace {

const QStringList kVerifyFields = {"ACD",   "MORTCO", "NUMBER", "CD",    "JUR",   "FOLIO", "PID",
                                   "NAME",  "ADDR1",  "ADDR2",  "ADDR3", "ADDR4", "ADDR5", "LEGAL"};

QStringList rowsOf(db::Recordset& rs)
{
    QStringList rows;
    if (rs.recordCount() <= 0)
        return rows;
    for (rs.moveFirst(); !rs.eof(); rs.moveNext()) {
        QStringList cells;
        for (const QString& f : kVerifyFields)
            cells << rs.text(f);
        rows << cells.join(u'|');
    }
    return rows;
}

} // namespace

void VerificationTest::SetUp()
{
    DeTest::SetUp();
    // The workbook being worked on lies in the test's folder, where Verify.csv
    // goes; the process runs elsewhere, where nothing may be written.
    RememberDataFile(QStringLiteral("/"), folder(), QStringLiteral("MortNo1234.xlsx"));
    savedCurrent_ = QDir::currentPath();
    const QString elsewhere = path(QStringLiteral("elsewhere"));
    ASSERT_TRUE(QDir().mkpath(elsewhere) && QDir::setCurrent(elsewhere));
}

void VerificationTest::TearDown()
{
    QDir::setCurrent(savedCurrent_);
    DeTest::TearDown();
}

void VerificationTest::addCodes()
{
    test::addCodes({{"01|Westport", "02|Easton", "03|Southby"},
                    {"701|Westport Town", "702|Easton Township", "703|North Vale", "704|Southby Village", "705|Bay County"},
                    {"01|701", "01|702", "02|702", "02|703", "03|704", "03|705"},
                    {"701|10|###-###-###-#"}});
}

void VerifyTableTest::addVerify(const QString& cells)
{
    QStringList values = cells.split(u'|');
    while (values.size() < kVerifyFields.size())
        values << QString();
    addRow("VERIFY", kVerifyFields, QVariantList(values.begin(), values.end()));
}

QStringList VerifyTableTest::verifyRows(const QString& orderBy) const
{
    db::Recordset rs(&DE().Zarv, QStringLiteral("SELECT * FROM VERIFY ORDER BY ") + orderBy, db::LockType::ReadOnly);
    rs.open();
    return rowsOf(rs);
}

QString VerifyTableTest::storedAcd(const QString& number) const
{
    for (const QString& row : storedRows()) {
        if (row.section(u'|', 2, 2) == number)
            return row.section(u'|', 0, 0);
    }
    return QStringLiteral("<none>");
}

QStringList VerifyTableTest::recordsetRows()
{
    const std::unique_ptr<db::Recordset> rs = DE().rsVerify().clone();
    return rowsOf(*rs);
}

void VerifyTableTest::openList(const QString& source)
{
    db::Recordset& rs = DE().rsVerify();
    if (rs.isOpen())
        rs.close();
    rs.open(source);
}

void VerifyTableTest::moveTo(const QString& number)
{
    db::Recordset& rs = DE().rsVerify();
    rs.moveFirst();
    rs.find(db::eq(QStringLiteral("NUMBER"), number));
    ASSERT_FALSE(rs.eof()) << number.toStdString();
}

QString VerifyTableTest::current(const QString& field)
{
    const db::Recordset& rs = DE().rsVerify();
    if (!rs.isOpen() || rs.eof() || rs.bof())
        return QStringLiteral("<none>");
    return rs.text(field);
}

void VerifyTableTest::expectConsistentList() const
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

void FolioScreenTest::addCodes()
{
    test::addCodes({{"01|Westport", "02|Easton", "03|Southby", "5 |Fiveways", "07|Lakeside"},
                    {"701|Westport Town", "702|Easton Township", "703|North Vale", "704|Southby Village", "705|Bay County"},
                    {"01|701", "02|702", "02|703", "03|704"},
                    {"701|10|###-###-###-#", "702|18|######-######-######"}});
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

void expectRejection(ui::ScriptedUi& u, const QString& message, const QString& raw)
{
    u.expectModal(QStringLiteral("Form_InformationDialog"), [message, raw](QDialog& d) {
        auto& dialog = static_cast<Form_InformationDialog&>(d);
        EXPECT_EQ(gMsgType, QStringLiteral("CRITICAL"));
        EXPECT_EQ(gMsgTitle, QStringLiteral("Import ERROR"));
        EXPECT_EQ(gMsgText, QStringLiteral("Record is NOT imported!\r\n") + message +
                                QStringLiteral("\r\n \r\nRecord:\r\n") + raw);
        dialog.OKButton->click();
    });
}

} // namespace zarv::test
