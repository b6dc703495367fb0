#pragma once
// Printing reports and forms. offerPrint() shows the print dialog with its
// preview (a printer or a PDF file, through the UI services); where no dialog
// can be shown, and for the print functions that never ask, the output goes to
// the default printer when the machine has one, otherwise to a PDF file in the
// folder the caller names. The caller learns where the output went (printer
// name or file path) so that it can tell the user, and whether it succeeded.
// ZARV_FORCE_PDF=1 in the environment always chooses the PDF file over the
// default printer (the tests set it).
//
// Coordinates handed to the painter are device pixels of the chosen printer,
// with (0,0) at the top left of the printable area; dpi() converts.
#include "platform/ui/uiservices.h"

#include <QPageLayout>
#include <QPainter>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class QPrinter;
class QWidget;

namespace zarv::fs {
class SafeSave;
}

namespace zarv::ui {

// Where a PDF goes when there is no printer.
struct PdfTarget {
    QString folder;             // beside the file being worked on
    QString fileName;           // named for what it holds, e.g. "Payments 0104.pdf"
    bool uniqueName = false;    // true: never replace an existing file, number the name instead
};

class PrintJob {
public:
    // pdfOnly: the PDF target even where a printer exists.
    explicit PrintJob(PdfTarget target, bool pdfOnly = false);
    // A job on a printer the print dialog set up: its destination, page and
    // orientation are the user's.
    explicit PrintJob(QPrinter& chosen);
    ~PrintJob();                // an unfinished job is abandoned: no partial PDF is left
    PrintJob(const PrintJob&) = delete;
    PrintJob& operator=(const PrintJob&) = delete;

    void setDocumentName(const QString& name) { documentName_ = name; }
    void setOrientation(QPageLayout::Orientation o) { orientation_ = o; }

    // Chooses the destination and starts the first page. False with error() set
    // when the printer or the file cannot be started.
    bool begin();
    bool active() const { return painter_ != nullptr; }
    QPainter& painter();        // only while active()
    QRectF pageArea() const;    // the printable area, device pixels, origin (0,0)
    qreal dpi() const;
    bool newPage();

    // Ends the job: the printer gets it, or the PDF is put in place under its name.
    bool finish();
    const PrintOutcome& outcome() const { return outcome_; }

    // True when the default printer is to be used (one exists and ZARV_FORCE_PDF is not set).
    static bool printerAvailable();
    // The file name to write in the folder: as given, or numbered ("Name (2).pdf") when
    // uniqueName is set and the name is taken.
    static QString pdfPathFor(const PdfTarget& target);

private:
    bool fail(const QString& error);
    QPrinter* printer() const;      // the chosen printer or the job's own
    bool beginChosen();
    bool beginPdf();
    bool beginPrinter();
    void abandon();

    PdfTarget target_;
    QPrinter* chosen_ = nullptr;
    bool pdfOnly_ = false;
    QString documentName_;
    QPageLayout::Orientation orientation_ = QPageLayout::Portrait;
    std::unique_ptr<QPrinter> printer_;
    std::unique_ptr<fs::SafeSave> partial_;
    std::unique_ptr<QPainter> painter_;
    QString finalPath_;
    int pages_ = 0;
    PrintOutcome outcome_;
};

// Draws one print on a job not yet begun: begins it, draws, finishes it.
using DrawPrint = std::function<void(PrintJob& job)>;

// Offers the print dialog with its preview, titled `title`; the PDF file it
// offers is the target's. Where no dialog can be shown, prints as PrintJob does
// (the default printer, else the PDF target).
PrintOutcome offerPrint(const QString& title, const PdfTarget& target, const DrawPrint& draw);

// Prints a form's image on one page, scaled to fit (never enlarged past its size
// on screen); landscape when the form is wider than high.
void drawWidget(QWidget& form, PrintJob& job);
PrintOutcome printWidget(QWidget& form, const PdfTarget& target);

// A banded report: a page header on every page, detail blocks that are never split
// across pages and a report footer after the last block. Heights are device
// pixels of the job.
class ReportPainter {
public:
    using DrawBlock = std::function<void(QPainter&, const QRectF& area)>;
    using DrawPageBand = std::function<void(QPainter&, const QRectF& area, int pageNumber)>;

    explicit ReportPainter(PrintJob& job);

    void setPageHeader(qreal height, DrawPageBand draw);

    // Draws one block below the previous one, on a new page when it does not fit.
    bool addBlock(qreal height, const DrawBlock& draw);
    // The report footer, kept whole like a block; then the job is finished.
    bool finish(qreal footerHeight = 0, const DrawBlock& footer = {});

    int pageNumber() const { return page_; }
    QRectF bodyArea() const;    // the space below the page header

private:
    bool startPage();

    PrintJob& job_;
    qreal headerHeight_ = 0;
    DrawPageBand header_;
    int page_ = 0;              // 0 until the first page is started
    qreal y_ = 0;               // where the next block goes
};

// ---------------------------------------------------------------- text reports

// Lays text over a fixed-pitch line from column x (0-based), widening the line
// with blanks as needed.
void placeText(QString& line, int x, const QString& text);
// The text behind the blanks that centre it in a line of `width` characters.
QString centredText(const QString& text, int width);
// The text in lines of at most `width` characters, broken between words: a line
// ends before the word that would cross the edge, and the blanks at the break
// go. Only a word longer than a whole line is cut. An empty text is one empty line.
QStringList wrapWords(const QString& text, int width);

// A banded report made of fixed-pitch text lines, in a typewriter font sized so
// that a line of lineWidth characters fits the page. Each page starts with the
// page header's lines and a rule under them; the blocks follow, never split
// across pages; after the last one a rule and the footer lines.
struct TextReport {
    QString documentName;
    int lineWidth = 100;
    // The header lines of a page (numbered from 1); as many on every page.
    std::function<QStringList(int page)> pageHeader;
    qsizetype blockCount = 0;
    std::function<QStringList(qsizetype index)> block;
    qreal blockGap = 0.5;       // the space after a block, in lines
    QStringList footer;
};
void drawTextReport(const TextReport& report, PrintJob& job);
PrintOutcome printTextReport(const TextReport& report, const PdfTarget& target);

// Tells the user where a print went: a failure as a critical box "<what> could
// not be printed: <why>", a PDF file the user chose as "<what> was saved as
// <file>", one written for want of a printer as "No printer is installed. <what>
// was saved as <file>". True when printed or saved; false, saying nothing, when
// the user cancelled the print dialog.
bool tellPrintOutcome(const PrintOutcome& outcome, const QString& what, const QString& title = {});

} // namespace zarv::ui
