#include "verification_support.h"

#include "platform/data/criteria.h"
#include "platform/data/recordset.h"
#include "services/screens/Form_InformationDialog.h"
#include "services/dataenvironment.h"
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
