#pragma once
// The printed payment list: the rows of rsDetail as they stand (current order
// and filter), three lines per payment, with a page header on every page and
// the count and total after the last payment. Printed without a dialog by the
// payment list and by the duplicate list.
//
// The layout is built as fixed-pitch text lines (so it can be checked without
// a printer) and painted through the print layer's banded report painter.
#include "platform/print/print.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <vector>

namespace zarv {

namespace db {
class Recordset;
}

struct DetailReportRow {
    QString cd, jur, folioDisp, name, number, abc, legal;
    double grossTax = 0, regGrant = 0, addGrant = 0, delq = 0, payment = 0;
};

class DetailReport {
public:
    static QString caption() { return QStringLiteral("Detail Report"); }
    // Characters per line of the layout; the painter sizes its font to fit them.
    static constexpr int kLineWidth = 100;

    explicit DetailReport(std::vector<DetailReportRow> rows);
    // The rows of rs from its first row to its end, as the filter and order show
    // them. Leaves rs at its end (the caller moves it back).
    static DetailReport fromRecordset(db::Recordset& rs);

    const std::vector<DetailReportRow>& rows() const { return rows_; }
    long Function2() const { return static_cast<long>(rows_.size()); }   // number of payments
    double Function1() const { return total_; }                           // total payment amount

    // Page header: date, title and page number, then the column headings.
    static QStringList pageHeaderLines(const QDateTime& now, int page);
    static QStringList headingLines();
    // One payment: three lines.
    static QStringList blockLines(const DetailReportRow& row);
    // After the last payment (the rule above it is drawn, not written).
    QStringList footerLines() const;

    // The report as printed, under the document name given.
    ui::TextReport textReport(const QString& documentName) const;
    // Prints the report without asking; without a printer it goes to the PDF target.
    ui::PrintOutcome print(const ui::PdfTarget& target) const;

private:
    std::vector<DetailReportRow> rows_;
    double total_ = 0;
};

// Prints rsDetail as it stands, titled `title` (what the rows are): the print
// dialog with its preview offers a printer or a PDF file (the PDF target's);
// where no dialog can be shown, the default printer, else the PDF target. The
// user is told the full path of a PDF file, and of a failure. True when the
// report was printed (or saved); savedAs gets the PDF file's path when it went
// to one, "" otherwise.
bool PrintDetailReport(const QString& title, const ui::PdfTarget& target, QString* savedAs = nullptr);

} // namespace zarv
