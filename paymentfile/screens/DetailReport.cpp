#include "paymentfile/screens/DetailReport.h"

#include "platform/data/recordset.h"
#include "platform/text/vb.h"
#include "services/dataenvironment.h"

#include <QDir>

namespace zarv {

namespace {

// The columns of the layout, in characters.
struct Column {
    int x;
    int width;
    bool right;
};
constexpr Column kLeft{0, 32, false};      // district, jurisdiction and folio / name / legal description
constexpr Column kMortgage{33, 12, false}; // mortgage number
constexpr Column kGrants{46, 20, true};    // (A) gross tax / (B) regular grant / (C) additional grant
constexpr Column kDelq{67, 16, true};      // delinquent tax and/or credits
constexpr Column kPayment{84, 16, true};   // payment amount, payment type below it

const QString kEndOfReport = QStringLiteral("******************* END OF REPORT ********************");

// Lays text into line at the column; a right-aligned text longer than its column
// grows to the left.
void place(QString& line, const Column& c, const QString& text)
{
    const int x = c.right ? c.x + c.width - int(text.size()) : c.x;
    ui::placeText(line, std::max(x, 0), text);
}

QString amount(double v)
{
    return vb::Format(v, QStringLiteral("#,##0.00"));
}

QStringList trimmed(QStringList lines)
{
    for (QString& l : lines)
        l = vb::RTrim(l);
    return lines;
}

} // namespace

DetailReport::DetailReport(std::vector<DetailReportRow> rows) : rows_(std::move(rows))
{
    for (const DetailReportRow& r : rows_)
        total_ += r.payment;
}

DetailReport DetailReport::fromRecordset(db::Recordset& rs)
{
    std::vector<DetailReportRow> rows;
    if (!rs.isOpen())
        rs.open();
    if (rs.recordCount() > 0) {
        rows.reserve(static_cast<size_t>(rs.recordCount()));
        for (rs.moveFirst(); !rs.eof(); rs.moveNext()) {
            DetailReportRow r;
            r.cd = rs.text(QStringLiteral("CD"));
            r.jur = rs.text(QStringLiteral("JUR"));
            r.folioDisp = rs.text(QStringLiteral("FOLIO_DISP"));
            r.name = rs.text(QStringLiteral("NAME"));
            r.number = rs.text(QStringLiteral("NUMBER"));
            r.abc = rs.text(QStringLiteral("ABC"));
            r.legal = rs.text(QStringLiteral("LEGAL"));
            r.grossTax = rs.number(QStringLiteral("GROSS_TAX"));
            r.regGrant = rs.number(QStringLiteral("REG_GRANT"));
            r.addGrant = rs.number(QStringLiteral("ADD_GRANT"));
            r.delq = rs.number(QStringLiteral("DELQ"));
            r.payment = rs.number(QStringLiteral("PAYMENT"));
            rows.push_back(std::move(r));
        }
    }
    return DetailReport(std::move(rows));
}

QStringList DetailReport::pageHeaderLines(const QDateTime& now, int page)
{
    QString first = QStringLiteral("Date: ") + now.date().toString(QStringLiteral("MM/dd/yyyy"));
    const QString title = QStringLiteral("Zarvenholt");
    place(first, Column{(kLineWidth - int(title.size())) / 2, int(title.size()), false}, title);
    place(first, Column{kPayment.x, kPayment.width, true}, QStringLiteral("Page ") + QString::number(page));
    const QString second = QStringLiteral("Time: ") + now.time().toString(QStringLiteral("hh:mm:ss"));
    return trimmed({first, second});
}

QStringList DetailReport::headingLines()
{
    QString l1, l2, l3;
    place(l1, kLeft, QStringLiteral("Collection District, Jurisdiction, Folio Number"));
    place(l2, kLeft, QStringLiteral("Name of Owner"));
    place(l3, kLeft, QStringLiteral("Legal Description"));
    place(l3, kMortgage, QStringLiteral("Mortgage #"));
    place(l1, kGrants, QStringLiteral("(A) NO Grant"));
    place(l2, kGrants, QStringLiteral("(B) Regular Grant"));
    place(l3, kGrants, QStringLiteral("(C) Additional Grant"));
    place(l1, kDelq, QStringLiteral("Delinquent"));
    place(l2, kDelq, QStringLiteral("Tax and/or"));
    place(l3, kDelq, QStringLiteral("Credits"));
    place(l2, kPayment, QStringLiteral("Payment"));
    place(l3, kPayment, QStringLiteral("Amount"));
    return trimmed({l1, l2, l3});
}

QStringList DetailReport::blockLines(const DetailReportRow& row)
{
    QString l1, l2, l3;
    place(l1, kLeft, row.cd + QLatin1Char(' ') + row.jur + QLatin1Char(' ') + row.folioDisp);
    place(l1, kGrants, amount(row.grossTax));
    place(l1, kDelq, amount(row.delq));
    place(l1, kPayment, amount(row.payment));
    place(l2, kLeft, row.name);
    place(l2, kMortgage, row.number);
    place(l2, kGrants, amount(row.regGrant));
    place(l2, kPayment, row.abc);
    place(l3, kLeft, row.legal);
    place(l3, kGrants, amount(row.addGrant));
    return trimmed({l1, l2, l3});
}

QStringList DetailReport::footerLines() const
{
    QString count, total;
    place(count, kGrants, QStringLiteral("Number of Payments"));
    place(count, kPayment, vb::Format(double(Function2()), QStringLiteral("#,##0")));
    place(total, kGrants, QStringLiteral("Total Payment Amount"));
    place(total, kPayment, amount(Function1()));
    return trimmed({count, total, QString(), ui::centredText(kEndOfReport, kLineWidth)});
}

ui::TextReport DetailReport::textReport(const QString& documentName) const
{
    const QDateTime now = QDateTime::currentDateTime();
    ui::TextReport report;
    report.documentName = documentName;
    report.lineWidth = kLineWidth;
    report.pageHeader = [now](int page) {
        QStringList lines = pageHeaderLines(now, page);
        lines << QString() << headingLines();
        return lines;
    };
    report.blockCount = qsizetype(rows_.size());
    report.block = [this](qsizetype i) { return blockLines(rows_[size_t(i)]); };
    report.footer = footerLines();
    return report;
}

ui::PrintOutcome DetailReport::print(const ui::PdfTarget& target) const
{
    return ui::printTextReport(textReport(caption()), target);
}

bool PrintDetailReport(const QString& title, const ui::PdfTarget& target, QString* savedAs)
{
    const DetailReport report = DetailReport::fromRecordset(DE().rsDetail());
    const ui::TextReport text = report.textReport(title);
    const ui::PrintOutcome outcome =
        ui::offerPrint(title, target, [&text](ui::PrintJob& job) { ui::drawTextReport(text, job); });
    if (savedAs)
        *savedAs = outcome.ok && !outcome.toPrinter ? outcome.where : QString();
    return ui::tellPrintOutcome(outcome, QStringLiteral("The report"), title);
}

} // namespace zarv
