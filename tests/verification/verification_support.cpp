#include "verification_support.h"

#include "platform/data/criteria.h"
#include "platform/data/recordset.h"
#include "services/Form_InformationDialog.h"
#include "services/sharedstate.h"

#include <QDir>
#include <QPlainTextEdit>
#include <QPushButton>

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
    savedCurrent_ = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(folder()));
}

void VerificationTest::TearDown()
{
    QDir::setCurrent(savedCurrent_);
    DeTest::TearDown();
}

void VerifyTableTest::addRow(const QString& table, const QStringList& fields, const QStringList& values)
{
    QStringList quoted;
    for (const QString& v : values)
        quoted << db::quoted(v);
    de().Zarv.execute(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                          .arg(table, fields.join(QStringLiteral(", ")), quoted.join(QStringLiteral(", "))));
}

void VerificationTest::addCodes()
{
    const QStringList district = {"Collection_District_Code", "Collection_District_Name"};
    const QStringList jurisdiction = {"Jurisdiction_Code", "Jurisdiction_Name"};
    const QStringList pair = {"Collection_District_Code", "Jurisdiction_Code"};
    for (const char* d : {"01|Westport", "02|Easton", "03|Southby"})
        addRow("Collection_District", district, QString::fromLatin1(d).split(u'|'));
    for (const char* j : {"701|Westport Town", "702|Easton Township", "703|North Vale", "704|Southby Village",
                          "705|Bay County"})
        addRow("Jurisdiction", jurisdiction, QString::fromLatin1(j).split(u'|'));
    for (const char* p : {"01|701", "01|702", "02|702", "02|703", "03|704", "03|705"})
        addRow("CD_JUR", pair, QString::fromLatin1(p).split(u'|'));
    addRow("Fol_Mask", {"JUR_CD", "YEAR", "FOLIO_LEN", "FOLIO_MASK"}, {"701", "2024", "10", "###-###-###-#"});
}

void VerifyTableTest::addVerify(const QString& cells)
{
    QStringList values = cells.split(u'|');
    while (values.size() < kVerifyFields.size())
        values << QString();
    addRow("VERIFY", kVerifyFields, values);
}

QStringList VerifyTableTest::verifyRows(const QString& orderBy) const
{
    db::Recordset rs(&DE().Zarv, QStringLiteral("SELECT * FROM VERIFY ORDER BY ") + orderBy, db::LockType::ReadOnly);
    rs.open();
    return rowsOf(rs);
}

QStringList VerifyTableTest::recordsetRows()
{
    const std::unique_ptr<db::Recordset> rs = DE().rsVerify().clone();
    return rowsOf(*rs);
}

QString rejectionText(const QString& message, const QString& raw)
{
    return QStringLiteral("Record is NOT imported!\r\n") + message + QStringLiteral("\r\n \r\nRecord:\r\n") + raw;
}

void expectRejection(ui::ScriptedUi& u, const QString& message, const QString& raw)
{
    u.expectModal(QStringLiteral("Form_InformationDialog"), [message, raw](QDialog& d) {
        auto& dialog = static_cast<Form_InformationDialog&>(d);
        EXPECT_EQ(gMsgType, QStringLiteral("CRITICAL"));
        EXPECT_EQ(gMsgTitle, QStringLiteral("Import ERROR"));
        EXPECT_EQ(gMsgText, rejectionText(message, raw));
        dialog.OKButton->click();
    });
}

} // namespace zarv::test
