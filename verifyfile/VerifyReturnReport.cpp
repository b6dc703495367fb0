#include "verifyfile/VerifyReturnReport.h"

#include "platform/data/recordset.h"
#include "platform/text/vb.h"
#include "shell/data/dataenvironment.h"

#include <QDir>
#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>

namespace zarv {

namespace {

constexpr int kNumberWidth = 6;     // the number, right-aligned, then the text
const QString kEndOfReport = QStringLiteral("******************* END OF REPORT ********************");

QString centred(const QString& text)
{
    const int x = std::max(0, (VerifyReturnReport::kLineWidth - int(text.size())) / 2);
    return QString(x, QLatin1Char(' ')) + text;
}

// Lays text over line from column x (0-based), widening the line as needed.
void place(QString& line, int x, const QString& text)
{
    const int end = x + int(text.size());
    if (line.size() < end)
        line = line.leftJustified(end, QLatin1Char(' '));
    line.replace(x, text.size(), text);
}

// A fixed-pitch font sized so that a layout line fills the width at most.
QFont reportFont(QPainter& painter, qreal width)
{
    QFont font(QStringLiteral("Courier"));
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPointSizeF(9);
    const qreal lineWidth = QFontMetricsF(font, painter.device())
                                .horizontalAdvance(QString(VerifyReturnReport::kLineWidth, QLatin1Char('0')));
    if (lineWidth > width && lineWidth > 0)
        font.setPointSizeF(9 * width / lineWidth);
    return font;
}

void drawLines(QPainter& p, const QRectF& area, const QStringList& lines, qreal lineHeight)
{
    const QFontMetricsF fm(p.font(), p.device());
    qreal y = area.top() + fm.ascent();
    for (const QString& l : lines) {
        p.drawText(QPointF(area.left(), y), l);
        y += lineHeight;
    }
}

void drawRule(QPainter& p, const QRectF& area, qreal y)
{
    p.drawLine(QPointF(area.left(), y), QPointF(area.right(), y));
}

void setError(QString* error, const QString& text)
{
    if (error)
        *error = text;
}

QString describe(const db::DbError& e)
{
    return QStringLiteral("Err#") + vb::Str(double(e.number())) + QStringLiteral(" Description: ") + e.description();
}

} // namespace

QString ErrorMessageText(const QString& line)
{
    QString text = line;
    text.remove(QLatin1Char('\r'));
    text.remove(QLatin1Char('\n'));
    return text.left(kErrorMsgLength);
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
                rs->addNew();
                rs->setValue(QStringLiteral("ErrorNumber"), qlonglong(i + 1));
                rs->setValue(QStringLiteral("ErrorMsg"), ErrorMessageText(lines.at(i)));
                rs->move(0);
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
    } catch (const db::DbError& e) {
        setError(error, describe(e));
    } catch (const std::exception& e) {
        setError(error, QString::fromUtf8(e.what()));
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
            ErrorReportRow r;
            r.number = static_cast<long long>(rs.number(QStringLiteral("ErrorNumber")));
            r.message = rs.text(QStringLiteral("ErrorMsg"));
            rows.push_back(std::move(r));
        }
    }
    return VerifyReturnReport(std::move(rows));
}

QStringList VerifyReturnReport::pageHeaderLines(const QDateTime& now, int page)
{
    QString first = QStringLiteral("Date: ") + now.date().toString(QStringLiteral("MM/dd/yyyy"));
    place(first, (kLineWidth - int(caption().size())) / 2, caption());
    const QString pageText = QStringLiteral("Page ") + QString::number(page);
    place(first, kLineWidth - int(pageText.size()), pageText);
    const QString second = QStringLiteral("Time: ") + now.time().toString(QStringLiteral("hh:mm:ss"));
    QString heading;
    place(heading, 0, QStringLiteral("Line").rightJustified(kNumberWidth - 2, QLatin1Char(' ')));
    place(heading, kNumberWidth + 2, QStringLiteral("Message"));
    return {first, second, QString(), heading};
}

QStringList VerifyReturnReport::blockLines(const ErrorReportRow& row)
{
    QStringList lines;
    const QString text = vb::RTrim(row.message);
    const QString number = QString::number(row.number).rightJustified(kNumberWidth - 2, QLatin1Char(' '));
    qsizetype at = 0;
    do {
        QString line;
        if (at == 0)
            place(line, 0, number);
        place(line, kNumberWidth + 2, text.mid(at, kMessageWidth));
        lines << vb::RTrim(line);
        at += kMessageWidth;
    } while (at < text.size());
    return lines;
}

QStringList VerifyReturnReport::footerLines() const
{
    return {QStringLiteral("Number of messages: ") + QString::number(rows_.size()), QString(), centred(kEndOfReport)};
}

ui::PdfTarget VerifyReturnReport::defaultTarget()
{
    return ui::PdfTarget{QDir::currentPath(), QStringLiteral("ErrorReport.pdf"), true};
}

ui::PrintOutcome VerifyReturnReport::print(const ui::PdfTarget& target) const
{
    ui::PrintJob job(target);
    job.setDocumentName(caption());
    if (!job.begin())
        return job.outcome();

    const QRectF page = job.pageArea();
    const QFont font = reportFont(job.painter(), page.width());
    job.painter().setFont(font);
    const qreal line = QFontMetricsF(font, job.painter().device()).lineSpacing();
    const QDateTime now = QDateTime::currentDateTime();

    ui::ReportPainter report(job);
    report.setPageHeader(line * 5, [&](QPainter& p, const QRectF& area, int pageNumber) {
        p.setFont(font);
        drawLines(p, area, pageHeaderLines(now, pageNumber), line);
        drawRule(p, area, area.top() + line * 4.5);
    });
    for (const ErrorReportRow& row : rows_) {
        const QStringList lines = blockLines(row);
        if (!report.addBlock(line * (lines.size() + 0.25), [&](QPainter& p, const QRectF& area) {
                p.setFont(font);
                drawLines(p, area, lines, line);
            }))
            break;
    }
    const QStringList footer = footerLines();
    report.finish(line * (footer.size() + 1), [&](QPainter& p, const QRectF& area) {
        p.setFont(font);
        drawRule(p, area, area.top() + line * 0.5);
        drawLines(p, area.adjusted(0, line, 0, 0), footer, line);
    });
    return job.outcome();
}

} // namespace zarv
