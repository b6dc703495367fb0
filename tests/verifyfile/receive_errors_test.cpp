// A returned workbook with faults, received on the screen: every record that
// was not loaded or has an error is named by row, folio and reason, codes the
// workbook's own code tables lack are reported, the verified file holds the
// records without errors and appears only at Upload, and the printed report
// holds the errors alone, whole, in lines that stay apart inside the page.
#include "verify_return_support.h"

#include "services/dataenvironment.h"
#include "verifyfile/returnedworkbook.h"
#include "verifyfile/verifiedfile.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>

namespace zarv::test {
namespace {

using ui::Answer;
using ui::Buttons;
using ui::Icon;

class ReceiveErrors : public ReturnScreenTest {
protected:
    // The list's lines that name a row.
    QStringList rowLines() const { return lines().filter(QRegularExpression(QStringLiteral("^Row \\d+, "))); }
};

TEST_F(ReceiveErrors, EachRecordNotLoadedOrWithAnErrorIsNamedAndOnlyTheCleanOnesAreUploaded)
{
    returned("MortNo9.xlsx", nineReturnedRecords());
    Verify_Return& s = open();
    load("MortNo9.xlsx");

    EXPECT_EQ(rowLines(),
              QStringList({
                  "Row 4, folio 111: status 'X' is not A, C, D or blank",
                  "Row 5, folio 222: mortgage number 1234567890123456789012 has 22 characters, more than 12 "
                  "(stored cut to 123456789012)",
                  "Row 6, folio 333: jurisdiction 999 is not in the code table (sheet \"Jurisdiction\")",
                  "Row 8, folio 000000000000012345: NOT LOADED: the same company, jurisdiction and folio as row 2",
                  "Row 9, no folio or PID: NOT LOADED: no district, jurisdiction, folio or PID",
                  "Row 10, folio 444: collection district 03 with jurisdiction 701 is not a pair of the code table "
                  "(sheet \"Collection Jurisdiction Combo\")",
              }))
        << lines().join('\n').toStdString();
    EXPECT_TRUE(lines().contains("9 records read: 7 loaded, 2 NOT loaded; 4 of the loaded with errors."))
        << lines().join('\n').toStdString();
    // Nothing waits for the upload before the clerk chose it, and the list says
    // what Upload will write.
    EXPECT_FALSE(QFileInfo::exists(verifiedFile()));
    const QString target = QDir::toNativeSeparators(QFileInfo(verifiedFile()).absoluteFilePath());
    EXPECT_EQ(lines().last(), "Upload writes the verified file " + target +
                                  ". It will hold the 3 records without errors; the 4 records with errors are left out.");
    EXPECT_TRUE(s.Command_PrintErrors->isEnabled());
    EXPECT_TRUE(s.Command_Upload->isEnabled());
    for (const ui::ShownBox& b : ui().boxes())
        ADD_FAILURE() << "unexpected box: " << b.prompt.toStdString();

    // Upload names each record it leaves out and asks first; Enter answers No.
    const QString question = "6 records are left out of the verified file:\r\n"
                             "Row 4, mortgage number 102, folio 111: status 'X' is not A, C, D or blank\r\n"
                             "Row 5, mortgage number 1234567890123456789012, folio 222: mortgage number "
                             "1234567890123456789012 has 22 characters, more than 12 (stored cut to 123456789012)\r\n"
                             "Row 6, mortgage number 104, folio 333: jurisdiction 999 is not in the code table "
                             "(sheet \"Jurisdiction\")\r\n"
                             "Row 8, mortgage number 106, folio 000000000000012345: NOT LOADED: the same company, "
                             "jurisdiction and folio as row 2\r\n"
                             "Row 9, mortgage number 107, no folio or PID: NOT LOADED: no district, jurisdiction, "
                             "folio or PID\r\n"
                             "Row 10, mortgage number 108, folio 444: collection district 03 with jurisdiction 701 is "
                             "not a pair of the code table (sheet \"Collection Jurisdiction Combo\")\r\n\r\n"
                             "Write the verified file with the 3 other records, without these 6?";
    ui::ExpectedBox ask = box(question, Answer::No, Icon::Question, Buttons::YesNo);
    ask.enter = true;
    ask.defaultAnswer = Answer::No;
    ui().expectBox(ask);
    s.Command_Upload->click();
    ASSERT_TRUE(ui().clean()) << ui().report().toStdString();
    EXPECT_FALSE(QFileInfo::exists(verifiedFile()));
    EXPECT_FALSE(UploadRequested);
    EXPECT_TRUE(s.Command_Upload->isEnabled());
    EXPECT_EQ(lines().last(), "Upload stopped: nothing was written.");

    ui().expectBox(box(question, Answer::Yes, Icon::Question, Buttons::YesNo));
    ui().expectBox(infoBox(ui::containing("The verified file " + target + " was written at ")));
    s.Command_Upload->click();
    ASSERT_TRUE(ui().clean()) << ui().report().toStdString();
    EXPECT_TRUE(ui().boxes().back().prompt.endsWith(
        ". It holds the 3 records without errors; the 4 records with errors are left out.\r\n"
        "The receiving screen closes now."));
    EXPECT_TRUE(UploadRequested);

    EXPECT_EQ(verifiedNumbers(readFile(verifiedFile())), QStringList({"100", "101", "105"}));
}

TEST_F(ReceiveErrors, AWorkbookWhoseRecordsAllHaveErrorsCannotBeUploaded)
{
    Book b = nineReturnedRecords();
    b.jurisdictions.resize(1);       // the headings only: no jurisdiction is known
    for (int i = 500; i < 520; ++i)
        b.mortgage.push_back(folioRow(QString(" |1234|%1|01|701|%1").arg(i)));
    returned("MortNo9.xlsx", b);
    Verify_Return& s = open();
    load("MortNo9.xlsx");
    // The PID-only record needs no jurisdiction.
    EXPECT_EQ(rowLines().filter("is not in the code table").size(), 26);
    EXPECT_TRUE(s.Command_Upload->isEnabled());
    // The Upload box names 25 of the 28 records left out; the list names them all.
    ui().expectBox(ui::containing("\r\n... and 3 more, each named in the message list.\r\n"), Answer::No);
    s.Command_Upload->click();
    EXPECT_TRUE(ui().clean()) << ui().report().toStdString();
    ASSERT_FALSE(ui().boxes().empty());
    EXPECT_EQ(ui().boxes().back().prompt.split("\r\n").filter(QRegularExpression("^Row \\d+, ")).size(), 25);

    b.mortgage.erase(b.mortgage.begin() + 6);     // row 7, the PID-only record
    returned("MortNo8.xlsx", b);
    load("MortNo8.xlsx");
    EXPECT_FALSE(s.Command_Upload->isEnabled());
    EXPECT_EQ(lines().last(), "Every loaded record has an error: nothing can be uploaded and no verified file is written.");
    EXPECT_FALSE(QFileInfo::exists(verifiedFile()));
}

// ---------------------------------------------------------------- the printed report

// The words of a PDF with their boxes, from pdftotext -bbox.
struct PdfWord {
    QString text;
    QRectF box;
    int page = 0;
};

std::vector<PdfWord> pdfWords(const QString& pdf, QRectF* pageBox)
{
    std::vector<PdfWord> words;
    QProcess p;
    p.start("pdftotext", {"-bbox", pdf, "-"});
    if (!p.waitForFinished(30000))
        return words;
    const QString html = QString::fromUtf8(p.readAllStandardOutput());
    static const QRegularExpression page(R"re(<page width="([\d.]+)" height="([\d.]+)">)re");
    static const QRegularExpression word(
        R"re(<page |<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re");
    const QRegularExpressionMatch size = page.match(html);
    if (size.hasMatch())
        *pageBox = QRectF(0, 0, size.captured(1).toDouble(), size.captured(2).toDouble());
    int pageNumber = 0;
    for (auto it = word.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        if (m.captured(0).startsWith("<page")) {
            ++pageNumber;
            continue;
        }
        const double x0 = m.captured(1).toDouble(), y0 = m.captured(2).toDouble();
        QString text = m.captured(5);
        text.replace("&quot;", "\"").replace("&#39;", "'").replace("&apos;", "'").replace("&lt;", "<").replace(
            "&gt;", ">").replace("&amp;", "&");
        words.push_back({text, QRectF(QPointF(x0, y0), QPointF(m.captured(3).toDouble(), m.captured(4).toDouble())),
                         pageNumber});
    }
    return words;
}

TEST_F(ReceiveErrors, ThePrintedReportHoldsTheErrorsWholeInLinesThatStayApartInsideThePage)
{
    // Long texts: a status that runs past the quoted length, and a load that
    // lists the rows of a code sheet it left out.
    Book b = nineReturnedRecords();
    b.mortgage[3][0] = "X IS NOT A STATUS, NOR IS ANY OTHER LETTER THAN A, C OR D";
    b.districts.push_back({"", "", "", "", "", "A REMARK RIGHT OF THE DISTRICT COLUMNS"});
    returned("MortNo9.xlsx", b);
    Verify_Return& s = open();
    load("MortNo9.xlsx");
    const QStringList listed = lines();
    // Rows of an earlier print are replaced.
    db::Recordset old(&de().ZarvDb, "ErrorMessage");
    for (int i = 1; i <= 20; ++i)
        addRow(old, {{"ErrorNumber", i}, {"ErrorMsg", "OLD"}});
    old.close();

    const QString pdf = QDir(reportFolder()).filePath("ErrorReport.pdf");
    ui().expectPrint(QStringLiteral("Verification File Errors"));
    ui().expectBox(infoBox("The error report was saved as " + pdf));
    s.Command_PrintErrors->click();
    EXPECT_TRUE(ui().clean()) << ui().report().toStdString();
    QStringList numbered;
    for (int i = 0; i < s.reportLines().size(); ++i)
        numbered << QString::number(i + 1) + "|" + s.reportLines()[i];
    EXPECT_EQ(errorMessageRows(), numbered);
    EXPECT_GT(QFileInfo(pdf).size(), 0);
    EXPECT_TRUE(s.Command_PrintErrors->isEnabled());
    EXPECT_FALSE(ui().busy());
    EXPECT_FALSE(de().rsErrorMessage().isOpen());
    if (QStandardPaths::findExecutable("pdftotext").isEmpty())
        GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";

    // Only the errors, each one whole, in the list's order.
    QStringList errors;
    for (const QString& line : listed) {
        if (line.startsWith("Row ") || line.startsWith("Rows not loaded"))
            errors << line;
    }
    ASSERT_GE(errors.size(), 7);
    QRectF page;
    const std::vector<PdfWord> words = pdfWords(pdf, &page);
    ASSERT_FALSE(words.empty());
    if (qEnvironmentVariableIsSet("KEEP_PDF"))
        QFile::copy(pdf, qEnvironmentVariable("KEEP_PDF"));
    QString printed;
    for (const PdfWord& w : words)
        printed += w.text + ' ';
    EXPECT_FALSE(printed.contains("please wait")) << printed.toStdString();
    EXPECT_FALSE(printed.contains("Check if this is the file")) << printed.toStdString();
    QSet<QString> printedWords;
    for (const PdfWord& w : words)
        printedWords.insert(w.text);
    for (const QString& e : errors) {
        for (const QString& word : e.split(' ', Qt::SkipEmptyParts))
            EXPECT_TRUE(printedWords.contains(word)) << "cut: " << word.toStdString() << " of " << e.toStdString();
    }
    const auto squeeze = [](QString t) { return t.remove(QRegularExpression("\\s+")); };
    qsizetype at = 0;
    for (const QString& e : errors) {
        const qsizetype found = squeeze(printed).indexOf(squeeze(e), at);
        EXPECT_GE(found, 0) << "not printed whole: " << e.toStdString();
        if (found >= 0)
            at = found;
    }

    // Every word inside the page, and no two words on top of each other.
    for (size_t i = 0; i < words.size(); ++i) {
        EXPECT_TRUE(page.contains(words[i].box)) << words[i].text.toStdString();
        for (size_t j = i + 1; j < words.size(); ++j) {
            if (words[i].page != words[j].page)
                continue;
            const QRectF overlap = words[i].box.intersected(words[j].box);
            EXPECT_FALSE(overlap.height() > 0.5 && overlap.width() > 0.5)
                << words[i].text.toStdString() << " overlaps " << words[j].text.toStdString();
        }
    }
}

} // namespace
} // namespace zarv::test

namespace zarv::test {
namespace {

// ---------------------------------------------------------------- each check

struct CheckCase {
    QStringList rows;           // sheet-1 rows from row 3 on; row 2 is clean
    QStringList errors;         // the lines naming rows 3 and on
};

TEST_F(ReceiveErrors, EachCheckNamesItsRowAndTheVerifiedFileLeavesOutExactlyTheRecordsWithErrors)
{
    const QString clean = " |1234|100|01|701|555||CLEAN";
    const std::vector<CheckCase> cases = {
        {{" |    |101|01|701|556"}, {"Row 3, folio 556: no mortgage company"}},
        {{" |1234|101||701|557"}, {"Row 3, folio 557: no collection district"}},
        {{" |1234|101|012|701|558"}, {"Row 3, folio 558: collection district 012 has more than 2 characters"}},
        {{" |1234|101|01||559"}, {"Row 3, folio 559: no jurisdiction"}},
        {{" |1234|101|01|7011|560"}, {"Row 3, folio 560: jurisdiction 7011 has more than 3 characters"}},
        {{" |1234|101|05|701|561"},
         {"Row 3, folio 561: collection district 05 is not in the code table (sheet \"Collection District\")"}},
        {{" |1234|101|01|701|1234567890123456789"},
         {"Row 3, folio 1234567890123456789: folio 1234567890123456789 has 19 characters, more than 18 (stored cut "
          "to 123456789012345678)"}},
        {{" |1234|101|01|701|562|1234567890"},
         {"Row 3, folio 562: PID 1234567890 has 10 characters, more than 9 (stored cut to 123456789)"}},
        {{" |1234|101|01|701|||NO NUMBER"}, {"Row 3, no folio or PID: neither folio nor PID"}},
        {{"X|    |101|05|999|563"},
         {"Row 3, folio 563: status 'X' is not A, C, D or blank", "Row 3, folio 563: no mortgage company",
          "Row 3, folio 563: collection district 05 is not in the code table (sheet \"Collection District\")",
          "Row 3, folio 563: jurisdiction 999 is not in the code table (sheet \"Jurisdiction\")"}},
        // A PID-only record needs no district or jurisdiction, but one it gives is checked.
        {{"A|1234|101|||  |123456789", "D|1234|102|05||  |987654321", " |1234|103|||  |123456789"},
         {"Row 4, PID 987654321: collection district 05 is not in the code table (sheet \"Collection District\")",
          "Row 5, PID 123456789: NOT LOADED: the same company and PID as row 3"}},
        // A status cell of nothing but a no-break space or a tab is a blank status.
        {{QStringLiteral("\u00A0|1234|101|01|701|556"), QStringLiteral("\t|1234|102|01|701|557")}, {}},
        // Letter case aside, as the tables compare; every known pair passes.
        {{"a|abcd|101|03|704|564", "c|1234|102|01|701|565", "d|abcd|103|03|704|564"},
         {"Row 5, folio 564: NOT LOADED: the same company, jurisdiction and folio as row 3"}},
    };
    for (const CheckCase& c : cases) {
        SCOPED_TRACE(c.rows.join(" / ").toStdString());
        Book b = nineReturnedRecords();
        b.mortgage = mortgageRows(QStringList{clean} + c.rows);
        const QString workbook = returned("Check.xlsx", b);
        RecordingSink notes;
        ReturnedWorkbook book = ReturnedWorkbook::load(workbook, notes);
        ASSERT_TRUE(book.complete());
        EXPECT_TRUE(notes.lines.isEmpty()) << notes.lines.join('\n').toStdString();
        EXPECT_EQ(book.errorLines(), c.errors);

        QSet<int> rowsWithErrors;
        for (const ReturnedRowError& e : book.errors()) {
            if (e.loaded)
                rowsWithErrors.insert(e.row);
        }
        EXPECT_EQ(book.recordsWithErrors(), rowsWithErrors.size());
        const QString verified = path("check.zarv");
        ASSERT_TRUE(book.writeVerifiedFile(verified));
        EXPECT_EQ(readFile(verified).size(), book.recordsWithoutErrors() * (kVerifiedRecordLength + 2));
        EXPECT_EQ(book.recordsWithoutErrors() + book.recordsWithErrors(), tableCount("VERIFY"));
        EXPECT_TRUE(readFile(verified).startsWith(" 1234100"));   // the clean record is always there
    }
}

} // namespace
} // namespace zarv::test
