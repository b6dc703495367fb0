#include "../files/files_support.h"
#include "platform/print/print.h"
#include "platform/ui/screens/scriptedscreens.h"
#include <QDir>
#include <QFile>
#include <QFontMetricsF>
#include <QLabel>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <QWidget>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace zarv::ui;

namespace {

using zarv::fs::test::readRaw;

// Page objects of a PDF; the page tree nodes ("/Type /Pages") are not pages.
int pdfPageCount(const QByteArray& pdf)
{
    static const QRegularExpression page(QStringLiteral("/Type\\s*/Page(?![a-zA-Z])"));
    return static_cast<int>(QString::fromLatin1(pdf).count(page));
}

class PrintTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved_ = qgetenv("ZARV_FORCE_PDF");
        qputenv("ZARV_FORCE_PDF", "1");
        ASSERT_TRUE(dir_.isValid());
    }
    void TearDown() override
    {
        if (saved_.isNull())
            qunsetenv("ZARV_FORCE_PDF");
        else
            qputenv("ZARV_FORCE_PDF", saved_);
    }
    QString folder() const { return dir_.path(); }
    QStringList filesInFolder() const
    {
        return QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    }

    QTemporaryDir dir_;
    QByteArray saved_;
};

} // namespace

TEST_F(PrintTest, FormGoesToOnePdfPageInTheWorkingFolderReplacingAnOldOneOrBesideIt)
{
    QWidget form;
    form.setWindowTitle(QStringLiteral("About ZARV"));
    auto* layout = new QVBoxLayout(&form);
    layout->addWidget(new QLabel(QStringLiteral("Zarvenholt")));
    form.resize(600, 400);

    const PrintOutcome out = printWidget(form, {folder(), QStringLiteral("About.pdf")});
    ASSERT_TRUE(out.ok) << out.error.toStdString();
    EXPECT_FALSE(out.toPrinter);
    EXPECT_EQ(out.where, QDir(folder()).filePath(QStringLiteral("About.pdf")));
    EXPECT_EQ(out.pages, 1);
    const QByteArray pdf = readRaw(out.where);
    EXPECT_TRUE(pdf.startsWith("%PDF"));
    EXPECT_EQ(pdfPageCount(pdf), 1);
    EXPECT_EQ(filesInFolder(), QStringList{QStringLiteral("About.pdf")});   // no temporary left behind

    // An existing file is replaced, or kept when a name of its own is asked for.
    const QString target = QDir(folder()).filePath(QStringLiteral("DetailReport.pdf"));
    zarv::fs::test::writeRaw(target, "old");
    const PrintOutcome unique = printWidget(form, {folder(), QStringLiteral("DetailReport.pdf"), true});
    ASSERT_TRUE(unique.ok) << unique.error.toStdString();
    EXPECT_EQ(unique.where, QDir(folder()).filePath(QStringLiteral("DetailReport (2).pdf")));
    EXPECT_EQ(readRaw(target), QByteArray("old"));

    const PrintOutcome replaced = printWidget(form, {folder(), QStringLiteral("DetailReport.pdf"), false});
    ASSERT_TRUE(replaced.ok) << replaced.error.toStdString();
    EXPECT_EQ(replaced.where, target);
    EXPECT_TRUE(readRaw(target).startsWith("%PDF"));
}

TEST_F(PrintTest, BandedReportBreaksPagesBetweenBlocks)
{
    PrintJob job({folder(), QStringLiteral("DetailReport.pdf")});
    ASSERT_TRUE(job.begin()) << job.outcome().error.toStdString();
    ReportPainter report(job);
    const qreal line = QFontMetricsF(job.painter().font(), job.painter().device()).lineSpacing();
    ASSERT_GT(line, 0);

    std::vector<int> headerPages;
    report.setPageHeader(4 * line, [&](QPainter& p, const QRectF& area, int page) {
        headerPages.push_back(page);
        p.drawText(area, Qt::AlignRight | Qt::AlignTop, QStringLiteral("Page %1").arg(page));
    });

    const QRectF body = report.bodyArea();
    int outside = 0;
    std::vector<int> blocksPerPage;
    for (int i = 0; i < 120; ++i) {
        ASSERT_TRUE(report.addBlock(3 * line, [&](QPainter& p, const QRectF& area) {
            if (area.top() < body.top() - 0.01 || area.bottom() > body.bottom() + 0.01)
                ++outside;
            if (blocksPerPage.size() < static_cast<size_t>(report.pageNumber()))
                blocksPerPage.push_back(0);
            ++blocksPerPage.back();
            p.drawText(area.adjusted(0, 0, 0, -2 * line), QStringLiteral("Payment %1").arg(i));
        }));
    }
    int footerPage = 0;
    ASSERT_TRUE(report.finish(2 * line, [&](QPainter& p, const QRectF& area) {
        footerPage = report.pageNumber();
        p.drawText(area, QStringLiteral("******************* END OF REPORT ********************"));
    })) << job.outcome().error.toStdString();

    const int pages = report.pageNumber();
    EXPECT_GT(pages, 1);
    EXPECT_EQ(outside, 0);
    EXPECT_EQ(job.outcome().pages, pages);
    EXPECT_EQ(footerPage, pages);
    ASSERT_EQ(headerPages.size(), static_cast<size_t>(pages));
    for (int p = 0; p < pages; ++p)
        EXPECT_EQ(headerPages[static_cast<size_t>(p)], p + 1);
    // Full pages hold as many blocks as fit whole; only the last may hold fewer.
    const int fit = static_cast<int>(body.height() / (3 * line));
    for (size_t p = 0; p + 1 < blocksPerPage.size(); ++p)
        EXPECT_EQ(blocksPerPage[p], fit) << "page " << p + 1;
    EXPECT_EQ(pdfPageCount(readRaw(job.outcome().where)), pages);
}

TEST_F(PrintTest, AnEmptyReportStillPrintsOnePageAndAnAbandonedJobNone)
{
    PrintJob job({folder(), QStringLiteral("Empty.pdf")});
    ASSERT_TRUE(job.begin());
    ReportPainter report(job);
    int headers = 0;
    report.setPageHeader(50, [&](QPainter&, const QRectF&, int) { ++headers; });
    ASSERT_TRUE(report.finish());
    EXPECT_EQ(headers, 1);
    EXPECT_EQ(pdfPageCount(readRaw(job.outcome().where)), 1);

    {
        PrintJob abandoned({folder(), QStringLiteral("Half.pdf")});
        ASSERT_TRUE(abandoned.begin());
        abandoned.painter().drawText(QPointF(10, 10), QStringLiteral("half"));
    }
    EXPECT_EQ(filesInFolder(), QStringList{QStringLiteral("Empty.pdf")});   // none of the abandoned job
}

TEST_F(PrintTest, UnwritableTargetFailsWithAReason)
{
    QFile plain(QDir(folder()).filePath(QStringLiteral("plain.txt")));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    QDir(folder()).mkdir(QStringLiteral("locked"));
    const QString locked = QDir(folder()).filePath(QStringLiteral("locked"));
    QFile::setPermissions(locked, QFile::ReadOwner | QFile::ExeOwner);

    QStringList targets{QDir(folder()).filePath(QStringLiteral("missing")), plain.fileName()};
    if (geteuid() != 0)      // the superuser writes anywhere
        targets << locked;
    QWidget form;
    form.resize(50, 50);
    for (const QString& target : targets) {
        const PrintOutcome out = printWidget(form, {target, QStringLiteral("Form.pdf")});
        EXPECT_FALSE(out.ok) << target.toStdString();
        EXPECT_FALSE(out.error.isEmpty()) << target.toStdString();
        EXPECT_FALSE(QFile::exists(QDir(target).filePath(QStringLiteral("Form.pdf"))));
    }
    TextReport report;
    report.blockCount = 1;
    report.block = [](qsizetype) { return QStringList{QStringLiteral("x")}; };
    const PrintOutcome text = printTextReport(report, {targets.first(), QStringLiteral("R.pdf")});
    EXPECT_FALSE(text.ok);
    EXPECT_FALSE(text.error.isEmpty());
    QFile::setPermissions(locked, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    PrintJob never({folder(), QStringLiteral("Never.pdf")});
    EXPECT_FALSE(never.finish());                      // finishing a job never begun
    EXPECT_FALSE(never.outcome().error.isEmpty());
}

// ---------------------------------------------------------------- text reports

TEST(TextLines, PlaceWidensTheLineAndCentreFillsFromTheLeft)
{
    QString line;
    placeText(line, 3, QStringLiteral("ab"));
    EXPECT_EQ(line, QStringLiteral("   ab"));
    placeText(line, 1, QStringLiteral("XYZ"));      // over what stands there
    EXPECT_EQ(line, QStringLiteral(" XYZb"));
    EXPECT_EQ(centredText(QStringLiteral("abcd"), 10), QStringLiteral("   abcd"));
    EXPECT_EQ(centredText(QStringLiteral("a long text"), 4), QStringLiteral("a long text"));
}

TEST_F(PrintTest, TextReportRepeatsItsHeaderAndKeepsEveryBlock)
{
    std::vector<int> headerPages;
    std::vector<qsizetype> blocksAsked;
    TextReport report;
    report.documentName = QStringLiteral("Lines");
    report.pageHeader = [&](int page) {
        headerPages.push_back(page);
        return QStringList{QStringLiteral("Page %1").arg(page), QStringLiteral("Heading")};
    };
    report.blockCount = 200;
    report.block = [&](qsizetype i) {
        blocksAsked.push_back(i);
        return QStringList{QStringLiteral("Block %1").arg(i), QStringLiteral("second line")};
    };
    report.footer = {QStringLiteral("END")};

    const PrintOutcome outcome = printTextReport(report, {folder(), QStringLiteral("Lines.pdf")});
    ASSERT_TRUE(outcome.ok) << outcome.error.toStdString();
    EXPECT_GT(outcome.pages, 1);
    EXPECT_EQ(pdfPageCount(readRaw(outcome.where)), outcome.pages);
    ASSERT_EQ(blocksAsked.size(), 200u);
    for (qsizetype i = 0; i < 200; ++i)
        EXPECT_EQ(blocksAsked[size_t(i)], i);
    // Asked once for its size, then once per page in order.
    ASSERT_EQ(headerPages.size(), size_t(outcome.pages) + 1);
    for (int p = 1; p <= outcome.pages; ++p)
        EXPECT_EQ(headerPages[size_t(p)], p);
}

TEST(TellPrintOutcome, SaysWhereTheReportWentOrWhyItFailed)
{
    ScopedUi u;
    u->expectBox(ExpectedBox{QStringLiteral("No printer is installed. The list was saved as /tmp/List.pdf"),
                             Answer::OK, Icon::Information, Buttons::OK, QStringLiteral("Lists")});
    u->expectBox(ExpectedBox{QStringLiteral("The list could not be printed: disk full"), Answer::OK, Icon::Critical,
                             Buttons::OK, QStringLiteral("ZARV")});

    PrintOutcome pdf;
    pdf.ok = true;
    pdf.where = QStringLiteral("/tmp/List.pdf");
    EXPECT_TRUE(tellPrintOutcome(pdf, QStringLiteral("The list"), QStringLiteral("Lists")));
    PrintOutcome failed;
    failed.error = QStringLiteral("disk full");
    EXPECT_FALSE(tellPrintOutcome(failed, QStringLiteral("The list")));
    PrintOutcome printed;
    printed.ok = true;
    printed.toPrinter = true;
    EXPECT_TRUE(tellPrintOutcome(printed, QStringLiteral("The list")));     // nothing to say
    EXPECT_TRUE(u->clean()) << u->report().toStdString();
}

// The print dialog, answered by the scripted user: its title names the print,
// it offers the PDF target, and the file the user chooses is written whole; a
// cancelled dialog writes nothing and says nothing. Where no dialog can be
// shown (a run without a display), the print goes where it went before.
TEST_F(PrintTest, OfferedPrintsGoWhereTheUserChoosesInTheDialog)
{
    const PdfTarget target{folder(), QStringLiteral("Payments 0104.pdf"), true};
    const QString offered = QDir(folder()).filePath(target.fileName);
    const QString chosen = QDir(folder()).filePath(QStringLiteral("Mine.pdf"));
    TextReport report;
    report.documentName = QStringLiteral("Payments of Agency 0104");
    report.blockCount = 3;
    report.block = [](qsizetype i) { return QStringList{QStringLiteral("payment %1").arg(i)}; };
    const DrawPrint draw = [&report](PrintJob& job) { drawTextReport(report, job); };

    struct Case {
        std::optional<QString> answer;      // nullopt: cancel
        QString written;                    // "" for nothing
    };
    for (const Case& c : {Case{QString(), offered}, Case{chosen, chosen}, Case{std::nullopt, QString()}}) {
        ScopedUi u;
        u->expectPrint(QStringLiteral("Payments of Agency 0104"), c.answer);
        const PrintOutcome out = offerPrint(QStringLiteral("Payments of Agency 0104"), target, draw);
        EXPECT_TRUE(u->clean()) << u->report().toStdString();
        EXPECT_EQ(u->offeredPdfs(), QStringList{offered});
        EXPECT_EQ(out.cancelled, c.written.isEmpty());
        EXPECT_EQ(out.ok, !c.written.isEmpty());
        EXPECT_EQ(out.where, c.written);
        if (!c.written.isEmpty()) {
            EXPECT_TRUE(out.chosen);
            EXPECT_EQ(pdfPageCount(readRaw(c.written)), 1);
        }
        // The chosen file was named by the dialog: no talk of a missing printer.
        if (!c.written.isEmpty())
            u->expectBox(ExpectedBox{QStringLiteral("The report was saved as ") + c.written, Answer::OK, Icon::Information});
        EXPECT_EQ(tellPrintOutcome(out, QStringLiteral("The report")), !c.written.isEmpty());
        EXPECT_TRUE(u->clean()) << u->report().toStdString();
        for (const QString& f : filesInFolder())
            QFile::remove(QDir(folder()).filePath(f));
    }

    // No dialog: the PDF target, as without a printer.
    UiServices* const before = installed();
    install(nullptr);
    const PrintOutcome unasked = offerPrint(QStringLiteral("Payments of Agency 0104"), target, draw);
    install(before);
    EXPECT_TRUE(unasked.ok && !unasked.chosen && !unasked.toPrinter);
    EXPECT_EQ(unasked.where, offered);
}
