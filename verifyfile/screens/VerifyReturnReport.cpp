#include "verifyfile/screens/VerifyReturnReport.h"

#include "platform/data/recordset.h"
#include "platform/files/outputnames.h"
#include "platform/text/vb.h"
#include "services/dataenvironment.h"
#include "services/failurenotice.h"

#include <QDir>
#include <QFileInfo>

namespace zarv {

namespace {

constexpr int kNumberWidth = 6;     // the number, right-aligned, then the text
const QString kEndOfReport = QStringLiteral("******************* END OF REPORT ********************");

void setError(QString* error, const QString& text)
{
    if (error)
        *error = text;
}


} // namespace

QStringList ErrorMessageRows(const QString& line)
{
    QString text;
    text.reserve(line.size());
    bool breakSeen = false;
    for (const QChar c : line) {
        if (c == u'\r' || c == u'\n') {
            breakSeen = true;
            continue;
        }
        if (breakSeen && c != u' ' && !text.isEmpty() && !text.endsWith(u' '))
            text += u' ';
        breakSeen = false;
        text += c;
    }
    return ui::wrapWords(text, kErrorMsgLength);
}

bool StoreErrorMessages(const QStringList& lines, QString* error)
{
    db::Recordset* rs = nullptr;
    try {
        DataEnvironment& de = DE();
        rs = &de.rsErrorMessage();
        if (!rs->isOpen())
            rs->open();
        db::TransactionGuard trans(de.ZarvDb);
        try {
            if (rs->recordCount() > 0) {
                de.ZarvDb.execute(QStringLiteral("DELETE FROM ErrorMessage"));
                rs->requery();
            }
            // Numbered past 32767 as well: the count is a plain int.
            for (qsizetype i = 0; i < lines.size(); ++i) {
                for (const QString& piece : ErrorMessageRows(lines.at(i))) {
                    rs->addNew();
                    rs->setValue(QStringLiteral("ErrorNumber"), qlonglong(i + 1));
                    rs->setValue(QStringLiteral("ErrorMsg"), piece);
                    rs->move(0);
                }
            }
            trans.commit();
        } catch (...) {
            if (rs->isOpen() && rs->editPending())
                rs->cancelUpdate();
            throw;
        }
        if (rs->recordCount() > 0)
            rs->moveFirst();
        return true;
    } catch (const std::exception&) {
        setError(error, FailureDetail(currentFailure()));
    }
    // The transaction was rolled back: show the rows the table holds again.
    try {
        if (rs && rs->isOpen())
            rs->requery();
    } catch (const std::exception&) {
        // The failure already reported is the one that counts.
    }
    return false;
}

// ---------------------------------------------------------------- report

VerifyReturnReport::VerifyReturnReport(std::vector<ErrorReportRow> rows) : rows_(std::move(rows)) {}

VerifyReturnReport VerifyReturnReport::fromRecordset(db::Recordset& rs)
{
    std::vector<ErrorReportRow> rows;
    if (!rs.isOpen())
        rs.open();
    if (rs.recordCount() > 0) {
        rows.reserve(static_cast<size_t>(rs.recordCount()));
        for (rs.moveFirst(); !rs.eof(); rs.moveNext()) {
            const auto number = static_cast<long long>(rs.number(QStringLiteral("ErrorNumber")));
            const QString text = rs.text(QStringLiteral("ErrorMsg"));
            if (!rows.empty() && rows.back().number == number)
                rows.back().message += QLatin1Char(' ') + text;
            else
                rows.push_back({number, text});
        }
    }
    return VerifyReturnReport(std::move(rows));
}

QStringList VerifyReturnReport::pageHeaderLines(const QDateTime& now, int page)
{
    QString first = QStringLiteral("Date: ") + now.date().toString(QStringLiteral("MM/dd/yyyy"));
    ui::placeText(first, (kLineWidth - int(caption().size())) / 2, caption());
    const QString pageText = QStringLiteral("Page ") + QString::number(page);
    ui::placeText(first, kLineWidth - int(pageText.size()), pageText);
    const QString second = QStringLiteral("Time: ") + now.time().toString(QStringLiteral("hh:mm:ss"));
    QString heading;
    ui::placeText(heading, 0, QStringLiteral("Line").rightJustified(kNumberWidth - 2, QLatin1Char(' ')));
    ui::placeText(heading, kNumberWidth + 2, QStringLiteral("Message"));
    return {first, second, QString(), heading};
}

QStringList VerifyReturnReport::blockLines(const ErrorReportRow& row)
{
    QStringList lines;
    const QString text = vb::RTrim(row.message);
    const QString number = QString::number(row.number).rightJustified(kNumberWidth - 2, QLatin1Char(' '));
    const QStringList parts = ui::wrapWords(text, kMessageWidth);
    for (qsizetype i = 0; i < parts.size(); ++i) {
        QString line;
        if (i == 0)
            ui::placeText(line, 0, number);
        ui::placeText(line, kNumberWidth + 2, parts[i]);
        lines << vb::RTrim(line);
    }
    return lines;
}

QStringList VerifyReturnReport::footerLines() const
{
    return {QStringLiteral("Number of messages: ") + QString::number(rows_.size()), QString(),
            ui::centredText(kEndOfReport, kLineWidth)};
}

ui::PdfTarget VerifyReturnReport::targetFor(const QString& workbookPath)
{
    const QFileInfo workbook(workbookPath);
    return ui::PdfTarget{workbook.absolutePath(), fs::reportPdfName(workbook.completeBaseName() + QStringLiteral(" errors")), true};
}

ui::TextReport VerifyReturnReport::textReport() const
{
    const QDateTime now = QDateTime::currentDateTime();
    ui::TextReport report;
    report.documentName = caption();
    report.lineWidth = kLineWidth;
    report.pageHeader = [now](int page) { return pageHeaderLines(now, page); };
    report.blockCount = qsizetype(rows_.size());
    report.block = [this](qsizetype i) { return blockLines(rows_[size_t(i)]); };
    report.blockGap = 0.25;
    report.footer = footerLines();
    return report;
}

ui::PrintOutcome VerifyReturnReport::print(const ui::PdfTarget& target) const
{
    return ui::printTextReport(textReport(), target);
}

} // namespace zarv
