#include "platform/print/print.h"
#include "platform/ui/uiservices.h"
#include <QDir>
#include <QFontMetricsF>
#include <QFileInfo>
#include <QPrinter>
#include <QPrinterInfo>
#include "platform/files/safesave.h"
#include <QWidget>
#include <algorithm>

namespace zarv::ui {

namespace {

const QMarginsF kMarginsMm(12.7, 12.7, 12.7, 12.7);   // half an inch all round

// A fixed-pitch font sized so that a line of lineWidth characters fills the
// width at most.
QFont textReportFont(QPainter& painter, qreal width, int lineWidth)
{
    QFont font(QStringLiteral("Courier"));
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPointSizeF(9);
    const qreal lineLength =
        QFontMetricsF(font, painter.device()).horizontalAdvance(QString(lineWidth, QLatin1Char('0')));
    if (lineLength > width && lineLength > 0)
        font.setPointSizeF(9 * width / lineLength);
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

} // namespace

// ---------------------------------------------------------------- PrintJob

PrintJob::PrintJob(PdfTarget target, bool pdfOnly) : target_(std::move(target)), pdfOnly_(pdfOnly) {}

PrintJob::PrintJob(QPrinter& chosen) : chosen_(&chosen) {}

PrintJob::~PrintJob()
{
    abandon();
}

bool PrintJob::printerAvailable()
{
    if (qEnvironmentVariable("ZARV_FORCE_PDF") == QLatin1String("1"))
        return false;
    return !QPrinterInfo::defaultPrinter().isNull();
}

QString PrintJob::pdfPathFor(const PdfTarget& target)
{
    const QDir folder(target.folder);
    QString path = folder.absoluteFilePath(target.fileName);
    if (!target.uniqueName || !QFileInfo::exists(path))
        return QDir::cleanPath(path);
    const QFileInfo name(target.fileName);
    const QString base = name.completeBaseName();
    const QString suffix = name.suffix().isEmpty() ? QString() : QStringLiteral(".") + name.suffix();
    for (long long n = 2;; ++n) {
        path = folder.absoluteFilePath(QStringLiteral("%1 (%2)%3").arg(base).arg(n).arg(suffix));
        if (!QFileInfo::exists(path))
            return QDir::cleanPath(path);
    }
}

bool PrintJob::fail(const QString& error)
{
    abandon();
    outcome_.ok = false;
    outcome_.error = error;
    return false;
}

void PrintJob::abandon()
{
    if (painter_) {
        QPrinter* printer = chosen_ ? chosen_ : printer_.get();
        if (printer && outcome_.toPrinter)
            printer->abort();
        if (painter_->isActive())
            painter_->end();
        painter_.reset();
    }
    partial_.reset();           // removes the unfinished PDF
}

bool PrintJob::begin()
{
    abandon();
    outcome_ = PrintOutcome{};
    pages_ = 0;
    const bool started = chosen_ ? beginChosen() : !pdfOnly_ && printerAvailable() ? beginPrinter() : beginPdf();
    if (started)
        pages_ = 1;
    return started;
}

bool PrintJob::beginChosen()
{
    const bool toFile = !chosen_->outputFileName().isEmpty();
    outcome_.toPrinter = !toFile;
    outcome_.where = toFile ? QFileInfo(chosen_->outputFileName()).absoluteFilePath() : chosen_->printerName();
    if (chosen_->docName().isEmpty())
        chosen_->setDocName(documentName_);
    painter_ = std::make_unique<QPainter>();
    if (!painter_->begin(chosen_))
        return fail(toFile ? QStringLiteral("The PDF file \"%1\" could not be written.").arg(outcome_.where)
                           : QStringLiteral("The printer \"%1\" could not be started.").arg(outcome_.where));
    return true;
}

bool PrintJob::beginPrinter()
{
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    outcome_.toPrinter = true;
    outcome_.where = info.printerName();
    printer_ = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    printer_->setDocName(documentName_);
    printer_->setPageOrientation(orientation_);
    printer_->setPageMargins(kMarginsMm, QPageLayout::Millimeter);
    painter_ = std::make_unique<QPainter>();
    if (!painter_->begin(printer_.get()))
        return fail(QStringLiteral("The printer \"%1\" could not be started.").arg(outcome_.where));
    return true;
}

bool PrintJob::beginPdf()
{
    outcome_.toPrinter = false;
    if (target_.folder.isEmpty() || target_.fileName.isEmpty())
        return fail(QStringLiteral("No folder or file name was given for the PDF file."));
    const QFileInfo folder(target_.folder);
    finalPath_ = pdfPathFor(target_);
    outcome_.where = finalPath_;
    if (!folder.isDir())
        return fail(QStringLiteral("The folder \"%1\" does not exist.").arg(target_.folder));

    // Written beside the target and put in its place when complete.
    partial_ = std::make_unique<fs::SafeSave>(finalPath_);
    const QString writerPath = partial_->open() ? partial_->writerPath() : QString();
    if (writerPath.isEmpty())
        return fail(QStringLiteral("The PDF file \"%1\" could not be written: %2").arg(finalPath_, partial_->reason()));

    printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer_->setOutputFormat(QPrinter::PdfFormat);
    printer_->setOutputFileName(writerPath);
    printer_->setDocName(documentName_);
    printer_->setPageOrientation(orientation_);
    printer_->setPageMargins(kMarginsMm, QPageLayout::Millimeter);
    painter_ = std::make_unique<QPainter>();
    if (!painter_->begin(printer_.get()))
        return fail(QStringLiteral("The PDF file \"%1\" could not be written.").arg(finalPath_));
    return true;
}

QPainter& PrintJob::painter()
{
    Q_ASSERT(painter_);
    return *painter_;
}

QPrinter* PrintJob::printer() const
{
    return chosen_ ? chosen_ : printer_.get();
}

QRectF PrintJob::pageArea() const
{
    if (!printer())
        return {};
    const QRectF r = printer()->pageRect(QPrinter::DevicePixel);
    return QRectF(0, 0, r.width(), r.height());
}

qreal PrintJob::dpi() const
{
    return printer() ? printer()->resolution() : 72.0;
}

bool PrintJob::newPage()
{
    if (!active())
        return false;
    if (!printer()->newPage())
        return fail(QStringLiteral("A new page could not be started on \"%1\".").arg(outcome_.where));
    ++pages_;
    return true;
}

bool PrintJob::finish()
{
    if (!active()) {
        if (outcome_.error.isEmpty())
            outcome_.error = QStringLiteral("Nothing was printed: the print job had not started.");
        return false;
    }
    const bool ended = painter_->end();
    painter_.reset();
    if (!ended || printer()->printerState() == QPrinter::Error)
        return fail(outcome_.toPrinter
                        ? QStringLiteral("The printer \"%1\" refused the job.").arg(outcome_.where)
                        : QStringLiteral("The PDF file \"%1\" could not be written.").arg(outcome_.where));
    if (!outcome_.toPrinter && partial_) {
        if (!partial_->commit())
            return fail(QStringLiteral("The PDF file \"%1\" could not be written: %2").arg(finalPath_, partial_->reason()));
        partial_.reset();
    }
    outcome_.ok = true;
    outcome_.error.clear();
    outcome_.pages = pages_;
    return true;
}

// ---------------------------------------------------------------- printWidget

void drawWidget(QWidget& form, PrintJob& job)
{
    job.setDocumentName(form.windowTitle());
    const QSize size = form.size().isEmpty() ? form.sizeHint() : form.size();
    job.setOrientation(size.width() > size.height() ? QPageLayout::Landscape : QPageLayout::Portrait);
    if (!job.begin())
        return;
    if (size.width() > 0 && size.height() > 0) {
        const QRectF area = job.pageArea();
        const qreal natural = job.dpi() / std::max(1, form.logicalDpiX());
        const qreal fit = std::min(area.width() / size.width(), area.height() / size.height());
        QPainter& p = job.painter();
        p.save();
        p.scale(std::min(natural, fit), std::min(natural, fit));
        form.render(&p, QPoint(), QRegion(QRect(QPoint(), size)),
                    QWidget::DrawWindowBackground | QWidget::DrawChildren);
        p.restore();
    }
    job.finish();
}

PrintOutcome printWidget(QWidget& form, const PdfTarget& target)
{
    PrintJob job(target);
    drawWidget(form, job);
    return job.outcome();
}

PrintOutcome offerPrint(const QString& title, const PdfTarget& target, const DrawPrint& draw)
{
    PrintRequest request;
    request.title = title;
    request.pdfPath = PrintJob::pdfPathFor(target);
    request.paint = [&draw](QPrinter& printer) {
        PrintJob job(printer);
        draw(job);
        return job.outcome();
    };
    request.savePdf = [&draw](const QString& path) {
        const QFileInfo file(path);
        PrintJob job(PdfTarget{file.absolutePath(), file.fileName(), false}, true);
        draw(job);
        return job.outcome();
    };
    if (std::optional<PrintOutcome> chosen = ui().printDialog(request)) {
        chosen->chosen = true;
        return *chosen;
    }
    PrintJob job(target);
    draw(job);
    return job.outcome();
}

// ---------------------------------------------------------------- ReportPainter

ReportPainter::ReportPainter(PrintJob& job) : job_(job) {}

void ReportPainter::setPageHeader(qreal height, DrawPageBand draw)
{
    headerHeight_ = std::max<qreal>(0, height);
    header_ = std::move(draw);
}

QRectF ReportPainter::bodyArea() const
{
    const QRectF page = job_.pageArea();
    return QRectF(page.left(), page.top() + headerHeight_, page.width(),
                  std::max<qreal>(0, page.height() - headerHeight_));
}

bool ReportPainter::startPage()
{
    if (!job_.active())
        return false;
    if (page_ > 0 && !job_.newPage())
        return false;
    ++page_;
    const QRectF page = job_.pageArea();
    if (header_) {
        QPainter& p = job_.painter();
        p.save();
        header_(p, QRectF(page.left(), page.top(), page.width(), headerHeight_), page_);
        p.restore();
    }
    y_ = bodyArea().top();
    return true;
}

bool ReportPainter::addBlock(qreal height, const DrawBlock& draw)
{
    if (!job_.active())
        return false;
    const QRectF body = bodyArea();
    const bool pageHasBlocks = y_ > body.top();
    if (page_ == 0 || (pageHasBlocks && y_ + height > body.bottom())) {
        if (!startPage())
            return false;
    }
    if (draw) {
        QPainter& p = job_.painter();
        p.save();
        draw(p, QRectF(body.left(), y_, body.width(), height));
        p.restore();
    }
    y_ += height;
    return true;
}

bool ReportPainter::finish(qreal footerHeight, const DrawBlock& footer)
{
    if (!job_.active())
        return job_.finish();
    if (page_ == 0 && !startPage())
        return job_.finish();
    if (footer && footerHeight > 0)
        addBlock(footerHeight, footer);
    return job_.finish();
}

// ---------------------------------------------------------------- text reports

void placeText(QString& line, int x, const QString& text)
{
    const int end = x + int(text.size());
    if (line.size() < end)
        line = line.leftJustified(end, QLatin1Char(' '));
    line.replace(x, text.size(), text);
}

QString centredText(const QString& text, int width)
{
    const int x = std::max(0, (width - int(text.size())) / 2);
    return QString(x, QLatin1Char(' ')) + text;
}

QStringList wrapWords(const QString& text, int width)
{
    QStringList lines;
    qsizetype at = 0;
    const qsizetype n = text.size();
    while (at < n || lines.isEmpty()) {
        qsizetype end = at + width;
        if (end >= n) {
            lines << text.mid(at);
            break;
        }
        // The last blank within the line, or the blank right after it.
        qsizetype cut = text.lastIndexOf(u' ', end);
        if (cut <= at) {
            cut = end;      // one word longer than the line
            lines << text.mid(at, cut - at);
            at = cut;
        } else {
            qsizetype keep = cut;
            while (keep > at && text[keep - 1] == u' ')
                --keep;
            lines << text.mid(at, keep - at);
            at = cut;
        }
        while (at < n && text[at] == u' ')
            ++at;
    }
    return lines;
}

void drawTextReport(const TextReport& report, PrintJob& job)
{
    job.setDocumentName(report.documentName);
    if (!job.begin())
        return;

    const QFont font = textReportFont(job.painter(), job.pageArea().width(), report.lineWidth);
    job.painter().setFont(font);
    const qreal line = QFontMetricsF(font, job.painter().device()).lineSpacing();

    ReportPainter painter(job);
    if (report.pageHeader) {
        const qreal headerLines = report.pageHeader(1).size();
        painter.setPageHeader(line * (headerLines + 1), [&, headerLines](QPainter& p, const QRectF& area, int pageNumber) {
            p.setFont(font);
            drawLines(p, area, report.pageHeader(pageNumber), line);
            drawRule(p, area, area.top() + line * (headerLines + 0.5));
        });
    }
    for (qsizetype i = 0; i < report.blockCount; ++i) {
        const QStringList lines = report.block(i);
        if (!painter.addBlock(line * (lines.size() + report.blockGap), [&, lines](QPainter& p, const QRectF& area) {
                p.setFont(font);
                drawLines(p, area, lines, line);
            }))
            break;
    }
    painter.finish(line * (report.footer.size() + 1), [&](QPainter& p, const QRectF& area) {
        p.setFont(font);
        drawRule(p, area, area.top() + line * 0.5);
        drawLines(p, area.adjusted(0, line, 0, 0), report.footer, line);
    });
}

PrintOutcome printTextReport(const TextReport& report, const PdfTarget& target)
{
    PrintJob job(target);
    drawTextReport(report, job);
    return job.outcome();
}

bool tellPrintOutcome(const PrintOutcome& outcome, const QString& what, const QString& title)
{
    if (outcome.cancelled)
        return false;
    if (!outcome.ok) {
        ui().msgBox(what + QStringLiteral(" could not be printed: ") + outcome.error, Buttons::OK, Icon::Critical,
                    title);
        return false;
    }
    if (!outcome.toPrinter) {
        ui().msgBox((outcome.chosen ? QString() : QStringLiteral("No printer is installed. ")) + what +
                        QStringLiteral(" was saved as ") + QDir::toNativeSeparators(outcome.where),
                    Buttons::OK, Icon::Information, title);
    }
    return true;
}

} // namespace zarv::ui
