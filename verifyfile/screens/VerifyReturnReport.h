#pragma once
// The error report of the receiving screen: the messages of a workbook load,
// kept in the table ErrorMessage of the reference database (one row per line of
// the screen's message list, numbered from 1) and printed from there without a
// dialog.
//
// The layout is built as fixed-pitch text lines (so it can be checked without a
// printer) and painted through the print layer's banded report painter.
#include "platform/print/print.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <vector>

namespace zarv {

namespace db {
class Recordset;
}

// The longest message text a row of ErrorMessage holds.
constexpr int kErrorMsgLength = 200;

// A list line as ErrorMessage keeps it: its line breaks go (a blank stays
// between the words they parted), and a text of more than 200 characters goes
// on over further rows, each piece ending between words. At least one row.
QStringList ErrorMessageRows(const QString& line);

// Replaces every row of ErrorMessage by the lines, numbered 1, 2, 3 ... in
// their order (the rows of one line share its number), in one transaction on
// the ZarvDb connection. False with *error
// set when the table refused: the rows it held before are then kept. Leaves
// rsErrorMessage open on its first row.
bool StoreErrorMessages(const QStringList& lines, QString* error = nullptr);

struct ErrorReportRow {
    long long number = 0;
    QString message;
};

class VerifyReturnReport {
public:
    static QString caption() { return QStringLiteral("Verification File Errors"); }
    // Characters per line of the layout; the painter sizes its font to fit them.
    static constexpr int kLineWidth = 100;
    // Characters of message text per line: the rest holds the number.
    static constexpr int kMessageWidth = 90;

    explicit VerifyReturnReport(std::vector<ErrorReportRow> rows);
    // The rows of rs (ErrorMessage) from its first row to its end, the rows of
    // one number joined into one message. Leaves rs at its end.
    static VerifyReturnReport fromRecordset(db::Recordset& rs);

    const std::vector<ErrorReportRow>& rows() const { return rows_; }

    // Page header: date, title and page number, then the column headings.
    static QStringList pageHeaderLines(const QDateTime& now, int page);
    // One message: its number, then its text over as many lines as it needs.
    static QStringList blockLines(const ErrorReportRow& row);
    // After the last message.
    QStringList footerLines() const;

    // Where the report of a returned workbook goes when the machine has no
    // printer: beside the workbook, named for it ("MortNo1234 errors.pdf"),
    // numbered rather than replacing an earlier one.
    static ui::PdfTarget targetFor(const QString& workbookPath);
    ui::TextReport textReport() const;
    ui::PrintOutcome print(const ui::PdfTarget& target) const;

private:
    std::vector<ErrorReportRow> rows_;
};

} // namespace zarv
