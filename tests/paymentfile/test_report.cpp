// The printed payment list: which values go on which line of a payment's
// block, the amount forms, the count and total after the last payment, and
// printing it to a PDF where there is no printer.
#include "payfile_support.h"

#include "paymentfile/screens/DetailReport.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

DetailReportRow row(const QString& name, double payment)
{
    return {.cd = "01", .jur = "701", .folioDisp = "123-456-789", .name = name, .number = "M12345",
            .abc = "B", .legal = "LOT 1 PLAN 2", .grossTax = 1700, .regGrant = 1500, .addGrant = 1225.5,
            .delq = -25.1, .payment = payment};
}

// The words of a line, in order.
QStringList words(const QString& line)
{
    return line.split(QRegularExpression(" {2,}"), Qt::SkipEmptyParts);
}

// Each payment is a block of three lines whose amounts, of every width, end in
// the same column.
TEST(DetailReport, EachPaymentIsABlockOfThreeLinesWithItsAmountsInColumns)
{
    const QStringList lines = DetailReport::blockLines(row("OWNER NAME", 1234567.5));
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(words(lines[0]), QStringList({"01 701 123-456-789", "1,700.00", "-25.10", "1,234,567.50"}));
    EXPECT_EQ(words(lines[1]), QStringList({"OWNER NAME", "M12345", "1,500.00", "B"}));
    EXPECT_EQ(words(lines[2]), QStringList({"LOT 1 PLAN 2", "1,225.50"}));

    const QStringList small = DetailReport::blockLines(row("A", 0));
    const QStringList large = DetailReport::blockLines(row("A", 99999999.99));
    EXPECT_TRUE(small[0].endsWith(" 0.00"));
    EXPECT_EQ(small[0].size(), large[0].size());
    EXPECT_EQ(small[0].indexOf("-25.10"), large[0].indexOf("-25.10"));
    // A name of 25 characters and a legal description of 32 stay clear of the next column.
    DetailReportRow wide = row("ABCDEFGHIJKLMNOPQRSTUVWXY", 1);
    wide.legal = "ABCDEFGHIJKLMNOPQRSTUVWXYZ012345";
    wide.number = "ABCDEFGHIJKL";
    const QStringList w = DetailReport::blockLines(wide);
    EXPECT_EQ(words(w[1]).value(0), "ABCDEFGHIJKLMNOPQRSTUVWXY");
    EXPECT_EQ(words(w[1]).value(1), "ABCDEFGHIJKL");
    EXPECT_EQ(words(w[2]).value(0), "ABCDEFGHIJKLMNOPQRSTUVWXYZ012345");
}

TEST(DetailReport, TheFooterCountsAndTotalsThePrintedRows)
{
    std::vector<DetailReportRow> rows(1234, row("A", 1000.25));
    const DetailReport report(rows);
    EXPECT_EQ(report.Function2(), 1234);
    EXPECT_DOUBLE_EQ(report.Function1(), 1234 * 1000.25);
    const QStringList footer = report.footerLines();
    ASSERT_EQ(footer.size(), 4);
    EXPECT_EQ(words(footer[0]), QStringList({"Number of Payments", "1,234"}));
    EXPECT_EQ(words(footer[1]), QStringList({"Total Payment Amount", "1,234,308.50"}));
    EXPECT_EQ(footer[3].trimmed(), "******************* END OF REPORT ********************");

    const DetailReport empty({});
    EXPECT_EQ(words(empty.footerLines()[0]), QStringList({"Number of Payments", "0"}));
    EXPECT_EQ(words(empty.footerLines()[1]), QStringList({"Total Payment Amount", "0.00"}));
}

TEST(DetailReport, PageHeaderAndHeadings)
{
    const QStringList header = DetailReport::pageHeaderLines(QDateTime(QDate(2026, 3, 4), QTime(9, 5, 7)), 12);
    ASSERT_EQ(header.size(), 2);
    EXPECT_EQ(words(header[0]), QStringList({"Date: 03/04/2026", "Zarvenholt", "Page 12"}));
    EXPECT_EQ(header[1], "Time: 09:05:07");
    const QStringList headings = DetailReport::headingLines();
    ASSERT_EQ(headings.size(), 3);
    EXPECT_EQ(words(headings[0]),
              QStringList({"Collection District, Jurisdiction, Folio Number", "(A) NO Grant", "Delinquent"}));
    EXPECT_EQ(words(headings[1]), QStringList({"Name of Owner", "(B) Regular Grant", "Tax and/or", "Payment"}));
    EXPECT_EQ(words(headings[2]),
              QStringList({"Legal Description", "Mortgage #", "(C) Additional Grant", "Credits", "Amount"}));
}

class DetailReportDbTest : public DeTest {};

TEST_F(DetailReportDbTest, PrintsTheRowsOfThePaymentRecordsetAsTheyStand)
{
    for (int i = 0; i < 5; ++i)
        addPayment(i < 3 ? "0001" : "0002",
                   {{"NAME", QStringLiteral("OWNER %1").arg(4 - i)}, {"CD", "01"}, {"JUR", "701"},
                    {"FOLIO", QStringLiteral("%1").arg(i, 18, 10, QLatin1Char('0'))}, {"PAYMENT", 10.0 * (i + 1)}});
    db::Recordset& rs = de().rsDetail();
    rs.close();
    rs.setSource("SELECT * FROM Detail ORDER BY MORTCO, NAME");
    rs.open();
    rs.setFilter("MORTCO = '0001'");

    const DetailReport report = DetailReport::fromRecordset(rs);
    ASSERT_EQ(report.rows().size(), 3u);
    EXPECT_EQ(report.rows()[0].name, "OWNER 2");
    EXPECT_EQ(report.rows()[2].name, "OWNER 4");
    EXPECT_DOUBLE_EQ(report.Function1(), 60);
    EXPECT_TRUE(rs.eof());
}

TEST_F(DetailReportDbTest, WithoutAPrinterTheReportIsAPdfInTheGivenFolder)
{
    qputenv("ZARV_FORCE_PDF", "1");
    std::vector<DetailReportRow> rows(150, row("OWNER", 12.5));
    const DetailReport report(rows);
    const ui::PdfTarget target{folder(), "DetailReport.pdf", true};

    const ui::PrintOutcome first = report.print(target);
    EXPECT_TRUE(first.ok) << first.error.toStdString();
    EXPECT_FALSE(first.toPrinter);
    EXPECT_EQ(first.where, QDir(folder()).absoluteFilePath("DetailReport.pdf"));
    EXPECT_GT(first.pages, 1);
    EXPECT_GT(QFileInfo(first.where).size(), 0);

    // A second print never replaces the first.
    const ui::PrintOutcome second = report.print(target);
    EXPECT_TRUE(second.ok);
    EXPECT_NE(second.where, first.where);
    EXPECT_TRUE(QFileInfo::exists(first.where));

    // A folder that is not there is a failure with a reason.
    const ui::PrintOutcome failed = report.print({path("missing"), "DetailReport.pdf", true});
    EXPECT_FALSE(failed.ok);
    EXPECT_FALSE(failed.error.isEmpty());
    qunsetenv("ZARV_FORCE_PDF");
}

} // namespace
