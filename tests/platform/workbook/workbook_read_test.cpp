// Reading hand-made .xlsx packages: cell kinds, positions, sheet order, damage.
#include "bookbuilder.h"
#include "platform/workbook/workbook.h"
#include "platform/workbook/xmlslices.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <stdexcept>
#include <sys/resource.h>
#include <unistd.h>

namespace zarv::xl {
namespace {

using test::BookBuilder;

// What a workbook reads as, whole and in slices of each size given (1: cut
// after every item): its cells and faults, or the error that refused it. The
// readings must agree.
QStringList readEveryWay(const QString& file, Workbook& book, const QList<qint64>& slices = {1})
{
    QStringList whole;
    for (const qint64 slice : QList<qint64>{0} + slices) {
        ReadLimits limits;
        limits.sliceBytes = slice;
        QStringList out;
        if (!book.open(file, limits))
            out << book.errorText();
        for (int s = 1; s <= book.sheetCount(); ++s) {
            const Worksheet& sheet = *book.sheet(s);
            for (int r = 1; r <= sheet.lastRow(); ++r) {
                for (int c = 1; c <= sheet.lastColumn(r); ++c) {
                    if (!sheet.cell(r, c).isEmpty())
                        out << QStringLiteral("%1!%2:%3").arg(s).arg(cellReference(r, c), sheet.cell(r, c));
                }
            }
            for (const CellFault& f : sheet.faults())
                out << QStringLiteral("%1!%2 fault %3 %4").arg(s).arg(cellReference(f.row, f.column)).arg(f.kind).arg(f.text);
        }
        if (slice == 0)
            whole = out;
        else
            EXPECT_EQ(out, whole) << "read whole and in slices of " << slice << " bytes";
    }
    return whole;
}

// The cells of a sheet's first row.
QStringList firstRow(const Worksheet& sheet)
{
    QStringList row;
    for (int column = 1; column <= sheet.lastColumn(); ++column)
        row << sheet.cell(1, column);
    return row;
}

const QString kSheet1 = QStringLiteral("xl/worksheets/sheet1.xml");

class WorkbookRead : public ::testing::Test {
protected:
    QString path(const QString& name = QStringLiteral("book.xlsx")) const { return dir_.filePath(name); }

    // Writes the package and opens it; the test fails when it does not open.
    const Worksheet& openSheet(const BookBuilder& builder, int position = 1)
    {
        EXPECT_TRUE(builder.write(path()));
        EXPECT_TRUE(book_.open(path())) << book_.errorText().toStdString();
        const Worksheet* sheet = book_.sheet(position);
        if (sheet == nullptr)
            throw std::runtime_error("no such sheet");
        return *sheet;
    }

    QTemporaryDir dir_;
    Workbook book_;
};

TEST_F(WorkbookRead, CellKindsReadAsBasicShowsThem)
{
    BookBuilder builder;
    builder.sharedStrings(QStringLiteral(
        "<si><t>plain</t></si>"
        "<si><r><rPr><b/></rPr><t>rich </t></r><r><t xml:space=\"preserve\"> text</t></r>"
        "<rPh sb=\"0\" eb=\"1\"><t>PHONETIC</t></rPh></si>"
        "<si><t xml:space=\"preserve\">   </t></si>"
        "<si><t>a_x000D_b</t></si>"
        "<si><t>_x005F_x000D_ literal</t></si>"
        "<si><t> </t></si>"));
    builder.sheet(QStringLiteral("Data"), QStringLiteral(
        "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c><c r=\"B1\" t=\"s\"><v>1</v></c><c r=\"C1\" t=\"s\"><v>2</v></c>"
        "<c r=\"D1\" t=\"s\"><v>3</v></c><c r=\"E1\" t=\"s\"><v>4</v></c><c r=\"F1\" t=\"s\"><v>5</v></c></row>"
        "<row r=\"2\"><c r=\"A2\" t=\"inlineStr\"><is><t>inline</t></is></c>"
        "<c r=\"B2\" t=\"inlineStr\"><is><r><t>in</t></r><r><t>line rich</t></r></is></c>"
        "<c r=\"C2\" t=\"str\"><f>A1</f><v>formula</v></c><c r=\"G2\" t=\"str\"><f>A1</f><v>x_x0009_y_x005F_x0009_</v></c>"
        "<c r=\"D2\" t=\"b\"><v>1</v></c><c r=\"E2\" t=\"b\"><v>0</v></c><c r=\"F2\" t=\"e\"><v>#N/A</v></c></row>"
        "<row r=\"3\"><c r=\"A3\"><v>12</v></c><c r=\"B3\" t=\"n\"><v>0.5</v></c><c r=\"C3\"><v>1234.5</v></c>"
        "<c r=\"D3\"><v>1000000000000000</v></c><c r=\"E3\"><v>1.0000000000000001E-5</v></c>"
        "<c r=\"F3\"><v>123456789012345678</v></c><c r=\"G3\"><v>-0.1</v></c><c r=\"H3\"><v>0.30000000000000004</v></c></row>"
        "<row r=\"5\"><c r=\"C5\" s=\"1\"/><c r=\"D5\" t=\"s\"><v>0</v></c></row>"));
    const Worksheet& sheet = openSheet(builder);

    const struct {
        int row, column;
        const char* text;
    } cases[] = {
        {1, 1, "plain"}, {1, 2, "rich  text"}, {1, 3, "   "}, {1, 4, "a\rb"}, {1, 5, "_x000D_ literal"}, {1, 6, " "},
        {2, 1, "inline"}, {2, 2, "inline rich"}, {2, 3, "formula"}, {2, 4, "TRUE"}, {2, 5, "FALSE"}, {2, 6, "#N/A"}, {2, 7, "x\ty_x0009_"},
        {3, 1, "12"}, {3, 2, "0.5"}, {3, 3, "1234.5"}, {3, 4, "1E+15"}, {3, 5, "1E-05"},
        {3, 6, "1.23456789012346E+17"}, {3, 7, "-0.1"}, {3, 8, "0.3"},
        {4, 1, ""}, {5, 3, ""}, {5, 4, "plain"}, {5, 5, ""}, {99, 1, ""}, {0, 1, ""}, {1, 0, ""}, {-3, -3, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(sheet.cell(c.row, c.column), QString::fromUtf8(c.text)) << "row " << c.row << " column " << c.column;
    EXPECT_EQ(sheet.name(), QStringLiteral("Data"));
    EXPECT_EQ(sheet.lastRow(), 5);
    EXPECT_EQ(sheet.lastColumn(), 8);
}

TEST_F(WorkbookRead, MissingReferencesFollowThePreviousPosition)
{
    BookBuilder builder;
    builder.sheet(QStringLiteral("S"), QStringLiteral(
        "<row><c t=\"inlineStr\"><is><t>A1</t></is></c><c t=\"inlineStr\"><is><t>B1</t></is></c></row>"
        "<row r=\"4\"><c r=\"C4\" t=\"inlineStr\"><is><t>C4</t></is></c><c t=\"inlineStr\"><is><t>D4</t></is></c></row>"
        "<row><c t=\"inlineStr\"><is><t>A5</t></is></c><c/><c t=\"inlineStr\"><is><t>C5</t></is></c></row>"
        "<row r=\"7\"><c r=\"B7\"><v>7</v></c><c r=\"A7\"><v>1</v></c></row>"
        "<row r=\"3\"><c r=\"A3\" t=\"inlineStr\"><is><t>A3</t></is></c></row>"));
    const Worksheet& sheet = openSheet(builder);

    for (const char* ref : {"A1", "B1", "A3", "C4", "D4", "A5", "C5"}) {   // A3 comes last in the file
        const int row = ref[1] - '0';
        const int column = ref[0] - 'A' + 1;
        EXPECT_EQ(sheet.cell(row, column), QString::fromLatin1(ref));
    }
    EXPECT_EQ(sheet.cell(2, 1), QString());
    EXPECT_EQ(sheet.cell(5, 2), QString());
    EXPECT_EQ(sheet.cell(7, 1), QStringLiteral("1"));   // cells out of column order
    EXPECT_EQ(sheet.cell(7, 2), QStringLiteral("7"));
}

// Worksheets come in workbook order without chart sheets, however their parts
// are named and stored, in the strict namespaces as in the transitional ones.
TEST_F(WorkbookRead, WorksheetsComeInWorkbookOrderWithoutChartSheets)
{
    for (const auto flavour : {BookBuilder::Flavour::Transitional, BookBuilder::Flavour::Strict}) {
        SCOPED_TRACE(int(flavour));
        BookBuilder builder(flavour);
        builder.sharedStrings(QStringLiteral("<si><t>shared</t></si>"))
            .sheet(QStringLiteral("First"),
                   QStringLiteral("<row r=\"1\"><c r=\"A1\"><v>1</v></c><c r=\"B1\" t=\"s\"><v>0</v></c></row>"))
            .chartSheet(QStringLiteral("Chart"))
            .sheet(QStringLiteral("Second"), QStringLiteral("<row r=\"1\"><c r=\"A1\"><v>2.5</v></c></row>"))
            .sheet(QStringLiteral("Third"), QString())
            .scrambled();
        openSheet(builder);

        ASSERT_EQ(book_.sheetCount(), 3);
        const char* names[] = {"First", "Second", "Third"};
        const char* firstCells[] = {"1", "2.5", ""};
        for (int i = 1; i <= 3; ++i) {
            EXPECT_EQ(book_.sheet(i)->name(), QString::fromLatin1(names[i - 1]));
            EXPECT_EQ(book_.sheet(i)->cell(1, 1), QString::fromLatin1(firstCells[i - 1]));
        }
        EXPECT_EQ(book_.sheet(1)->cell(1, 2), QStringLiteral("shared"));
        EXPECT_EQ(book_.sheet(QStringLiteral("sECOND")), book_.sheet(2));   // a name in any letter case
        EXPECT_EQ(book_.sheet(3)->lastRow(), 0);
        EXPECT_EQ(book_.sheet(4), nullptr);
        EXPECT_EQ(book_.sheet(0), nullptr);
        EXPECT_TRUE(book_.missingSheetText(5).contains(QStringLiteral("3 worksheets")));
    }
}

TEST_F(WorkbookRead, BadFilesGiveAClearErrorAndNoSheets)
{
    const QList<test::Part> standard = BookBuilder().sheet(QStringLiteral("S"), QString()).parts();
    auto without = [&](const QString& name) {
        QList<test::Part> parts;
        for (const test::Part& p : standard) {
            if (p.name != name)
                parts.append(p);
        }
        return parts;
    };
    auto replaced = [&](const QString& name, const QByteArray& content) {
        return test::withPart(standard, name, [&](const QByteArray&) { return content; });
    };
    // This workbook has no shared strings: index 0 is already past their end.
    const QByteArray badIndex = "<worksheet><sheetData><row><c t=\"s\"><v>0</v></c></row></sheetData></worksheet>";

    const struct {
        const char* label;
        QList<test::Part> parts;
        const char* expected;
    } cases[] = {
        {"no workbook part", without(QStringLiteral("xl/workbook.xml")), "has no part xl/workbook.xml"},
        {"no relationships", without(QStringLiteral("xl/_rels/workbook.xml.rels")), "workbook.xml.rels"},
        {"sheet part missing", without(kSheet1), "xl/worksheets/sheet1.xml is missing"},
        {"corrupt workbook", replaced(QStringLiteral("xl/workbook.xml"), "<workbook><sheets>"), "not valid XML"},
        {"corrupt sheet", replaced(kSheet1, "<worksheet><sheetData><row>"), "not valid XML"},
        {"bad string index", replaced(kSheet1, badIndex), "shared string \"0\""},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(test::writeZip(path(), c.parts));
        EXPECT_FALSE(book_.open(path())) << c.label;
        EXPECT_TRUE(book_.errorText().contains(QString::fromLatin1(c.expected))) << c.label << ": " << book_.errorText().toStdString();
        EXPECT_EQ(book_.sheetCount(), 0);
        EXPECT_FALSE(book_.isOpen());
    }

    QFile text(path(QStringLiteral("text.xlsx")));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("ACD,MORTGAGE CO.\r\n");
    text.close();
    EXPECT_FALSE(book_.open(text.fileName()));
    EXPECT_TRUE(book_.errorText().contains(QStringLiteral("not a zip package"))) << book_.errorText().toStdString();

    EXPECT_FALSE(book_.open(path(QStringLiteral("absent.xlsx"))));
    EXPECT_TRUE(book_.errorText().contains(QStringLiteral("does not exist")));
    EXPECT_FALSE(book_.open(dir_.path()));
    EXPECT_TRUE(book_.errorText().contains(QStringLiteral("folder")));

    // A failed open replaces what an earlier one read; a close clears the error.
    openSheet(BookBuilder().sheet(QStringLiteral("A"), QString()).sheet(QStringLiteral("B"), QString()));
    ASSERT_EQ(book_.sheetCount(), 2);
    EXPECT_FALSE(book_.open(path(QStringLiteral("absent.xlsx"))));
    EXPECT_EQ(book_.sheet(1), nullptr);
    book_.close();
    EXPECT_TRUE(book_.errorText().isEmpty());
}

// A workbook from outside is read within a bounded memory or refused before
// it is unpacked: the limits below are lowered so each shows on a small file.
TEST_F(WorkbookRead, APackageThatUnpacksToMoreThanAWorkbookHoldsIsRefused)
{
    // 8 MB of empty cells packed into a few KB: refused from the sizes the
    // package states, before anything is unpacked.
    const QString bomb = QStringLiteral("<row r=\"1\">") + QStringLiteral("<c/>").repeated(2'000'000) +
                         QStringLiteral("</row>");
    ASSERT_TRUE(BookBuilder().sheet(QStringLiteral("S"), bomb).write(path()));
    EXPECT_FALSE(book_.open(path()));
    EXPECT_TRUE(book_.errorText().contains(QStringLiteral("xl/worksheets/sheet1.xml unpacks to 80"))
                && book_.errorText().contains(QStringLiteral("refused")))
        << book_.errorText().toStdString();
    EXPECT_EQ(book_.sheetCount(), 0);

    const QString rows = QStringLiteral("<row r=\"1\"><c r=\"A1\"><v>1</v></c><c r=\"B1\"><v>2</v></c></row>");
    ASSERT_TRUE(BookBuilder().sheet(QStringLiteral("A"), rows).sheet(QStringLiteral("B"), rows).write(path()));
    const struct {
        const char* label;
        ReadLimits limits;
        const char* expected;
    } cases[] = {
        {"a part too large", {.partBytes = 100}, "unpacks to"},
        {"all parts together too large", {.totalBytes = 600}, "more than 600 bytes in all"},
        {"too much markup in a part", {.marksPerPart = 10}, "more than 10 elements and attributes"},
        {"too many cells", {.cells = 3}, "is refused: the workbook holds more than 3 cells"},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(book_.open(path(), c.limits)) << c.label;
        EXPECT_TRUE(book_.errorText().contains(QString::fromLatin1(c.expected))) << c.label << ": "
                                                                                 << book_.errorText().toStdString();
    }
    EXPECT_TRUE(book_.open(path())) << book_.errorText().toStdString();
    EXPECT_EQ(book_.sheet(2)->cell(1, 2), QStringLiteral("2"));
}

// A sheet's rows and the shared strings are parsed a slice at a time; where
// the slices are cut changes nothing, whatever markup lies between the items.
TEST_F(WorkbookRead, ASheetReadInSlicesReadsAsReadWhole)
{
    QString rows = QStringLiteral("\n<!-- </row></sheetData> --><?note </row>?>");
    for (int r = 1; r <= 40; ++r) {
        rows += QStringLiteral("<x:row r=\"%1\" note='a/> b &quot;'>"
                               "<x:c r=\"A%1\" t=\"inlineStr\"><x:is><x:t><![CDATA[</row><row> %1]]></x:t></x:is></x:c>"
                               "<x:c r=\"B%1\" t=\"s\"><x:v>%2</x:v></x:c><x:c r=\"C%1\"><x:v>%1.5</x:v></x:c></x:row>\n")
                    .arg(r)
                    .arg(r % 3);
        if (r % 7 == 0)
            rows += QStringLiteral("<x:row r=\"%1\"/><!-- a comment -->").arg(r + 100);
    }
    QString sheet = QStringLiteral("<x:worksheet xmlns:x=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
                                   "<x:dimension ref=\"A1:C40\"/><x:sheetData>%1</x:sheetData>"
                                   "<x:mergeCells count=\"0\"/></x:worksheet>")
                        .arg(rows);
    QList<test::Part> parts = test::withPart(
        BookBuilder()
            .sharedStrings(QStringLiteral("<si><t>zero &amp; one</t></si><!-- </si> -->"
                                          "<si><r><t>ri</t></r><r><t>ch</t></r></si>\n<si><t/></si>"))
            .sheet(QStringLiteral("S"), QString())
            .parts(),
        kSheet1, [&](const QByteArray&) { return sheet.toUtf8(); });
    // A document type leaves the part to be parsed whole, and so does another
    // encoding than UTF-8.
    const QList<test::Part> typed = test::withPart(parts, kSheet1, [](const QByteArray& xml) {
        return "<?xml version=\"1.0\"?><!DOCTYPE worksheet>" + xml;
    });
    const QList<test::Part> latin = test::withPart(parts, kSheet1, [](QByteArray xml) {
        xml.replace("<![CDATA[</row><row> 1]]>", "caf\xE9");
        return "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>" + xml;
    });

    const auto read = [&](const QList<test::Part>& book) {
        EXPECT_TRUE(test::writeZip(path(), book));
        return readEveryWay(path(), book_, {1, 200, 1000, qint64(1) << 30});
    };
    const QStringList whole = read(parts);
    ASSERT_EQ(whole.size(), 107) << whole.first().toStdString();   // 120 cells, 13 of them empty
    EXPECT_EQ(whole.mid(0, 5), (QStringList{"1!A1:</row><row> 1", "1!B1:rich", "1!C1:1.5", "1!A2:</row><row> 2",
                                            "1!C2:2.5"}));
    EXPECT_EQ(whole[6], QStringLiteral("1!B3:zero & one"));
    EXPECT_EQ(read(typed), whole);
    EXPECT_EQ(read(latin).first(), QStringLiteral("1!A1:caf\u00E9"));

    // Damage in a later slice is found and named at its place in the part.
    const QStringList damaged = read(test::withPart(parts, kSheet1, [](QByteArray xml) {
        return xml.replace("<x:v>39.5</x:v></x:c></x:row>", "<x:v>39.5</x:v></x:c></x:rowx>");
    }));
    ASSERT_EQ(damaged.size(), 1);
    EXPECT_TRUE(damaged.first().contains(QStringLiteral("not valid XML"))) << damaged.first().toStdString();
}

// The parts spreadsheet programs write are read in slices; a part whose
// slices could not be read alone is read whole.
TEST(XmlSlices, TheListsOfUsualPartsAreFoundAndCutBetweenItems)
{
    const QByteArray rows = "<sheetData><row r=\"1\"><c/></row><row r=\"2\"/><row r=\"3\"></row></sheetData>";
    const QByteArray sheet = "<worksheet xmlns=\"x\"><dimension ref=\"A1\"/>" + rows + "</worksheet>";
    const struct {
        const char* label;
        QByteArray part;
        bool sliced;
    } cases[] = {
        {"a declaration naming UTF-8 and more",
         "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n" + sheet, true},
        {"utf-8 in single quotes", "<?xml version='1.0' encoding='utf-8'?>" + sheet, true},
        {"a declaration without an encoding", "<?xml version=\"1.0\"?>" + sheet, true},
        {"no declaration", sheet, true},
        {"a UTF-8 byte-order mark", "\xEF\xBB\xBF" + sheet, true},
        {"another encoding", "<?xml version=\"1.0\" encoding=\"windows-1252\"?>" + sheet, false},
        {"UTF-16", QByteArray("\xFF\xFE<\0w\0", 6) + sheet, false},
        {"a document type", "<!DOCTYPE worksheet>" + sheet, false},
        {"a list that does not end", sheet.left(sheet.size() - 25), false},
    };
    for (const auto& c : cases) {
        const auto list = detail::findListSlices(c.part, "sheetData", 1, 1);
        ASSERT_EQ(list.has_value(), c.sliced) << c.label;
        if (!list)
            continue;
        const QByteArray content = c.part.mid(list->contentBegin, list->contentEnd - list->contentBegin);
        EXPECT_EQ(content, rows.mid(11, rows.size() - 23)) << c.label;
        QByteArrayList pieces;
        qsizetype at = list->contentBegin;
        for (const qsizetype cut : list->cuts) {
            pieces << c.part.mid(at, cut - at);
            at = cut;
        }
        EXPECT_EQ(pieces, (QByteArrayList{"<row r=\"1\"><c/></row>", "<row r=\"2\"/>", "<row r=\"3\"></row>"}))
            << c.label;
    }
}

// A cell whose text stands for no value is listed as a fault of its sheet; a
// boolean reads as a spreadsheet shows it.
TEST_F(WorkbookRead, ErrorValuesAndFormulasWithoutAResultAreFaults)
{
    const int none = -1;
    const struct {
        const char* cell;   // column C of row 3
        const char* text;
        int fault;
    } cases[] = {
        {"<c r=\"C3\" t=\"e\"><v>#N/A</v></c>", "#N/A", CellFault::ErrorValue},
        {"<c r=\"C3\" t=\"e\"><f>1/0</f><v>#DIV/0!</v></c>", "#DIV/0!", CellFault::ErrorValue},
        {"<c r=\"C3\"><f>A1+1</f><v></v></c>", "", CellFault::NoResult},   // as openpyxl writes it
        {"<c r=\"C3\"><f>A1+1</f><v/></c>", "", CellFault::NoResult},
        {"<c r=\"C3\" s=\"0\"><f>A1+1</f></c>", "", CellFault::NoResult},
        {"<c r=\"C3\" t=\"b\"><f>A1=1</f></c>", "", CellFault::NoResult},
        {"<c r=\"C3\" t=\"str\"><f>A1&amp;B1</f></c>", "", CellFault::NoResult},
        {"<c r=\"C3\"><f t=\"shared\" si=\"0\"/></c>", "", CellFault::NoResult},
        {"<c r=\"C3\" t=\"str\"><f>\"\"</f><v></v></c>", "", none},   // a formula whose result is no text
        {"<c r=\"C3\"><f>A1+1</f><v>2</v></c>", "2", none},
        {"<c r=\"C3\" t=\"b\"><v>1</v></c>", "TRUE", none},
        {"<c r=\"C3\" t=\"b\"><v>false</v></c>", "FALSE", none},
        {"<c r=\"C3\" t=\"b\"><f>A1=1</f><v>0</v></c>", "FALSE", none},
        {"<c r=\"C3\" t=\"e\"/>", "", none},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.cell);
        ASSERT_TRUE(BookBuilder().sheet(QStringLiteral("S"), QStringLiteral("<row r=\"3\">%1</row>").arg(c.cell)).write(path()));
        QStringList expected;
        if (*c.text != '\0')
            expected << QStringLiteral("1!C3:") + c.text;
        if (c.fault != none)
            expected << QStringLiteral("1!C3 fault %1 %2").arg(c.fault).arg(c.text);
        EXPECT_EQ(readEveryWay(path(), book_), expected);
    }

    // Listed by row and column, however the file orders them.
    ASSERT_TRUE(BookBuilder()
                    .sheet(QStringLiteral("S"), QStringLiteral("<row r=\"5\"><c r=\"B5\" t=\"e\"><v>#REF!</v></c></row>"
                                                               "<row r=\"2\"><c r=\"D2\"><f>1</f></c>"
                                                               "<c r=\"A2\" t=\"e\"><v>#N/A</v></c></row>"))
                    .write(path()));
    ASSERT_TRUE(book_.open(path()));
    const std::vector<CellFault> sorted = {{2, 1, CellFault::ErrorValue, QStringLiteral("#N/A")},
                                           {2, 4, CellFault::NoResult, QString()},
                                           {5, 2, CellFault::ErrorValue, QStringLiteral("#REF!")}};
    EXPECT_EQ(book_.sheet(1)->faults(), sorted);
    EXPECT_EQ(cellReference(1048576, 16384), QStringLiteral("XFD1048576"));
}

// A damaged part is refused whether it is read whole or in slices, and a sound
// one reads the same both ways: one NUL byte put after each tag of the sample's
// first sheet in turn.
TEST_F(WorkbookRead, ANulByteInASheetReadsTheSameWholeAndInSlices)
{
    const QString samplePath = QStringLiteral(ZARV_SOURCE_DIR "/samples/MortNo1234.xlsx");
    const QList<test::Part> sample = test::readZip(samplePath);
    const QByteArray sheet = test::readZipPart(samplePath, kSheet1);
    ASSERT_GT(sheet.count("</row>"), 3);
    auto withNulAt = [&](qsizetype at) {
        return test::withPart(sample, kSheet1, [at](QByteArray content) { return content.insert(at, '\0'); });
    };

    qsizetype afterThirdRow = 0;
    for (int k = 0; k < 3; ++k)
        afterThirdRow = sheet.indexOf("</row>", afterThirdRow) + 6;
    ASSERT_TRUE(test::writeZip(path(), withNulAt(afterThirdRow)));
    const QStringList refused = readEveryWay(path(), book_);
    ASSERT_EQ(refused.size(), 1);
    EXPECT_TRUE(refused.first().contains(QStringLiteral("is damaged: part xl/worksheets/sheet1.xml")))
        << refused.first().toStdString();

    int opened = 0;
    for (qsizetype at = sheet.indexOf('>'); at >= 0; at = sheet.indexOf('>', at + 1)) {
        ASSERT_TRUE(test::writeZip(path(), withNulAt(at + 1)));
        SCOPED_TRACE(at + 1);
        opened += readEveryWay(path(), book_).size() > 1 ? 1 : 0;
    }
    EXPECT_GT(opened, 0);   // a NUL after the root's end leaves the sheet whole
}

// A worksheet has one list of rows; one with two is refused, read whole or in
// slices.
TEST_F(WorkbookRead, ASheetWithTwoListsOfRowsIsRefused)
{
    const QByteArray rows = "<row r=\"1\"><c r=\"A1\"><v>1</v></c></row>";
    for (const QByteArray& lists : {"<sheetData/><sheetData>" + rows + "</sheetData>",
                                    "<sheetData>" + rows + "</sheetData><sheetData>" + rows + "</sheetData>",
                                    "<sheetData>" + rows + "</sheetData><sheetData></sheetData>"}) {
        SCOPED_TRACE(lists.toStdString());
        const QList<test::Part> parts = test::withPart(
            BookBuilder().sheet(QStringLiteral("S"), QString()).parts(), kSheet1,
            [&](QByteArray content) { return content.replace("<sheetData></sheetData>", lists); });
        ASSERT_TRUE(test::writeZip(path(), parts));
        const QStringList read = readEveryWay(path(), book_);
        ASSERT_EQ(read.size(), 1);
        EXPECT_TRUE(read.first().contains(QStringLiteral("it holds 2 lists of rows (sheetData)")))
            << read.first().toStdString();
    }
}

// The room set aside for the cells sheets announce comes from one budget for
// the workbook: sixty sheets each claiming the most cells a sheet can hold
// open within a gigabyte of address space.
TEST_F(WorkbookRead, TheRoomSetAsideForCellsIsOneBudgetForTheWorkbook)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the sanitizer's shadow memory does not fit under a limit on address space";
#else
    BookBuilder builder;
    for (int i = 1; i <= 60; ++i)
        builder.sheet(QStringLiteral("S%1").arg(i), QStringLiteral("<row r=\"1\"><c r=\"A1\"><v>%1</v></c></row>").arg(i));
    QList<test::Part> parts = builder.parts();
    for (test::Part& p : parts)
        p.content.replace("<sheetData>", "<dimension ref=\"A1:XFD1048576\"/><sheetData>");
    ASSERT_TRUE(test::writeZip(path(), parts));

    // Exit 0 when the workbook opens under the limit, 1 when it is refused with
    // a text that says why, 2 otherwise.
    const auto openUnder = [](const QString& file, qint64 headroom) {
        QFile statm(QStringLiteral("/proc/self/statm"));
        if (!statm.open(QIODevice::ReadOnly))
            std::_Exit(3);
        const qint64 mapped = statm.readAll().split(' ').value(0).toLongLong() * sysconf(_SC_PAGESIZE);
        const rlimit limit{rlim_t(mapped + headroom), rlim_t(mapped + headroom)};
        setrlimit(RLIMIT_AS, &limit);
        Workbook book;
        if (book.open(file))
            std::_Exit(book.sheetCount() == 60 && book.sheet(60)->cell(1, 1) == QStringLiteral("60") ? 0 : 2);
        std::_Exit(book.errorText().contains(QStringLiteral("needs more memory than this computer can give")) ? 1 : 2);
    };
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(openUnder(path(), qint64(1) << 30), ::testing::ExitedWithCode(0), "");
    EXPECT_EXIT(openUnder(path(), qint64(40) << 20), ::testing::ExitedWithCode(1), "");
#endif
}

// Cells a spreadsheet keeps as dates read as BASIC's CStr shows a date, in
// workbooks saved by two other programs; one saved with the 1904 date system
// shows its date cells four years and a day later ("true" and "1" both say so).
TEST_F(WorkbookRead, DateCellsReadAsCStrShowsADate)
{
    const QString fixtures = QStringLiteral(ZARV_SOURCE_DIR "/tests/platform/workbook/fixtures/");
    ASSERT_TRUE(book_.open(fixtures + QStringLiteral("dates_openpyxl.xlsx"))) << book_.errorText().toStdString();
    EXPECT_EQ(firstRow(*book_.sheet(1)), QStringList({"3/31/2026", "3/31/2026 2:05:00 PM", "2:05:00 PM", "12/1/2026",
                                                      "46112", "46112.5", "1/1/1900", "6:00:00 AM", "3/31/2026"}));

    const QString fixture = fixtures + QStringLiteral("dates_libreoffice.xlsx");
    const QList<test::Part> parts = test::readZip(fixture);
    ASSERT_TRUE(test::readZipPart(fixture, QStringLiteral("xl/workbook.xml")).contains("date1904=\"false\""));
    const QStringList from1900 = {"3/31/2026", "3/31/2026 2:05:00 PM", "2:05:00 PM", "46112", "3/31/2026"};
    const QStringList from1904 = {"4/1/2030", "4/1/2030 2:05:00 PM", "1/1/1904 2:05:00 PM", "46112", "3/31/2026"};
    const struct {
        const char* attribute;
        QStringList row;
    } cases[] = {{"date1904=\"false\"", from1900}, {"date1904=\"0\"", from1900}, {"", from1900},
                 {"date1904=\"true\"", from1904}, {"date1904=\"1\"", from1904}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.attribute);
        ASSERT_TRUE(test::writeZip(path(), test::withPart(parts, QStringLiteral("xl/workbook.xml"), [&](QByteArray xml) {
            return xml.replace("date1904=\"false\"", c.attribute);
        })));
        ASSERT_TRUE(book_.open(path())) << book_.errorText().toStdString();
        EXPECT_EQ(firstRow(*book_.sheet(1)), c.row);
    }
}

} // namespace
} // namespace zarv::xl
