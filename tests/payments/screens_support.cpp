#include "screens_support.h"

#include "paymentfile/paymentfile.h"
#include "payments/Detail.h"
#include "payments/Group.h"
#include "platform/data/recordset.h"
#include "platform/files/textfile.h"
#include "platform/grid/recordsetgrid.h"
#include "services/dataenvironment.h"

#include <QDate>
#include <QDir>
#include <QHeaderView>
#include <QPushButton>

namespace zarv::test {

namespace {

const QString kHeading = QStringLiteral(
    "MORTGAGE NUMBER,NAME OF OWNER,COLLECTION DISTRICT,JURISDICTION,FOLIO NUMBER,PAYMENT AMOUNT,PAYMENT TYPE "
    "A/B/C,(A) - GROSS TAX,(B) - REGULAR GRANT,(C) - ADDITIONAL GRANT,DELINQUENT/CREDIT AMOUNT,LEGAL DESCRIPTION");

double groupValue(const QString& mortco, const char* field)
{
    const QStringList value = columnOf("SELECT * FROM \"Group\" WHERE MORTCO = '" + mortco + "'", field);
    EXPECT_EQ(value.size(), 1) << "no group " << mortco.toStdString();
    return value.isEmpty() ? -1 : value.front().toDouble();
}

} // namespace

QString paymentLine(const QString& number, const QString& name, const QString& cd, const QString& jur,
                    const QString& folio, const QString& payment, const QString& abc, const QString& gross,
                    const QString& reg, const QString& add, const QString& delq, const QString& legal)
{
    return QStringList{number, name, cd, jur, folio, payment, abc, gross, reg, add, delq, legal}.join(u',');
}

QStringList paymentFile(const QString& year, const std::vector<SampleGroup>& groups)
{
    QStringList lines{QStringLiteral("ZARV DATA FOR YEAR ") + year, QString(), QStringLiteral("FOLIO MASK INFORMATION"),
                      QStringLiteral("70109###-###-###"), QStringLiteral("70206##-####"), QString()};
    for (const SampleGroup& g : groups) {
        lines << QStringLiteral("PAYMENT GROUP INFORMATION") << QStringLiteral("Group #,") + g.group
              << QStringLiteral("Agency #,") + g.mortco << QStringLiteral("Name1:,AGENCY ") + g.mortco << QString()
              << QStringLiteral("PAYMENT DETAIL INFORMATION") << kHeading;
        lines << g.payments << QString();
    }
    return lines;
}

std::vector<SampleGroup> sampleGroups()
{
    return {
        {QStringLiteral("0001"), QStringLiteral("0042"),
         {paymentLine("12345", "OWNER NAME", "01", "701", "123456789", "1500", "B", "1700", "1500", "1225", "0",
                      "LOT 1"),
          paymentLine("22222", "BROWN", "02", "702", "654321", "250.5", "A", "250.5", "0", "0", "0", "LOT 2"),
          paymentLine("33333", "ADAMS", "01", "702", "111111", "99.99", "C", "150", "120", "99.99", "0", "LOT 3")}},
        {QStringLiteral("0002"), QStringLiteral("0077"),
         {paymentLine("44444", "CLARK", "03", "701", "222333444", "1000", "A", "1000", "0", "0", "0", "LOT 4"),
          paymentLine("55555", "DAVIS", "03", "701", "555666777", "2000", "A", "2000", "0", "0", "0", "LOT 5")}},
        {QStringLiteral("0003"), QStringLiteral("0099"),
         {paymentLine("66666", "EVANS", "04", "702", "998877", "10", "A", "10", "0", "0", "0", "LOT 6")}},
    };
}

void ScreensTest::SetUp()
{
    DeTest::SetUp();
    // The payment file lies in the test's folder, where exports and reports go;
    // the process runs elsewhere, where nothing may be written.
    RememberDataFile(QStringLiteral("/"), folder(), QStringLiteral("Zarvdata.csv"));
    workingFolder_ = QDir::currentPath();
    QDir().mkpath(path(QStringLiteral("elsewhere")));
    QDir::setCurrent(path(QStringLiteral("elsewhere")));
    qputenv("ZARV_FORCE_PDF", "1");
}

void ScreensTest::TearDown()
{
    QDir::setCurrent(workingFolder_);
    DeTest::TearDown();
}

QString ScreensTest::currentYear()
{
    return QString::number(QDate::currentDate().year());
}

void ScreensTest::load(const std::vector<SampleGroup>& groups, const QString& year)
{
    QByteArray bytes;
    for (const QString& l : paymentFile(year, groups))
        bytes += fs::encodeCp1252(l) + "\r\n";
    const QString path = writeFile(QStringLiteral("Zarvdata.csv"), bytes);
    ASSERT_TRUE(Csv2Mdb(path)) << ui().report().toStdString();
    ASSERT_FALSE(DupFoliosFound);
}

double ScreensTest::folioCount(const QString& mortco) const
{
    return groupValue(mortco, "FOLIO_CNT");
}

double ScreensTest::totalPay(const QString& mortco) const
{
    return groupValue(mortco, "TOT_PAY");
}

QStringList ScreensTest::storedPayments(const QString& mortco) const
{
    QStringList out;
    for (const QVariantMap& row : rowsOf("SELECT * FROM Detail WHERE MORTCO = '" + mortco + "' ORDER BY NAME"))
        out << fieldsOf(row, {"NAME", "PAYMENT", "ABC"}).join(u' ');
    return out;
}

QStringList ScreensTest::storedPayment(const QString& where, const QStringList& fields)
{
    return onlyRowOf("SELECT * FROM Detail WHERE " + where, fields);
}

void ScreensTest::clickRow(ui::RecordsetGrid* grid, int row)
{
    const QRect cell = grid->visualRect(grid->model()->index(row, 0));
    ASSERT_TRUE(cell.isValid()) << "row " << row << " is not on the grid";
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
}

void ScreensTest::chooseGroup(Group& screen, const QString& mortco)
{
    ui::RecordsetModel* model = screen.TDBGrid->recordsetModel();
    ASSERT_NE(model, nullptr);
    for (int row = 0; row < model->rowCount(); ++row) {
        if (model->cellText(row, 0) == mortco) {
            clerk::activate(&screen);
            clickRow(screen.TDBGrid, row);
            ASSERT_EQ(DE().rsGroup().text(QStringLiteral("MORTCO")), mortco);
            return;
        }
    }
    FAIL() << "no group " << mortco.toStdString() << " on the group screen";
}

void ScreensTest::openList(Group& screen, const QString& mortco, const std::function<void(Detail&)>& script)
{
    chooseGroup(screen, mortco);
    expectScreen<Detail>("Detail", [script](Detail& list) {
        script(list);
        clerk::activate(&list);
        clerk::click(list.Command_Close);
    });
    clerk::activate(&screen);
    clerk::click(screen.Command_Details);
}

QStringList ScreensTest::listNames(Detail& list)
{
    return gridNames(list.TDBGrid);
}

QStringList ScreensTest::gridNames(ui::RecordsetGrid* grid)
{
    ui::RecordsetModel* model = grid->recordsetModel();
    QStringList names;
    for (int row = 0; row < model->rowCount(); ++row)
        names << model->cellText(row, 4);
    return names;
}

QString ScreensTest::currentName(Detail& list)
{
    const int row = list.TDBGrid->currentRowIndex();
    EXPECT_EQ(row, DE().rsDetail().currentRow()) << "grid and list disagree on the current row";
    return row < 0 ? QString() : list.TDBGrid->recordsetModel()->cellText(row, 4);
}

GroupScreenTest::GroupScreenTest() = default;
GroupScreenTest::~GroupScreenTest() = default;

void GroupScreenTest::SetUp()
{
    ScreensTest::SetUp();
    loadSample();
    group = std::make_unique<Group>();
    clerk::activate(group.get());
}

void GroupScreenTest::TearDown()
{
    group.reset();
    ScreensTest::TearDown();
}

} // namespace zarv::test
