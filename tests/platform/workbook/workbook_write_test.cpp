// Writing workbooks: round trip through the reader, the package as written,
// refusals, and the old file kept safe on failure.
#include "../files/files_support.h"
#include "bookbuilder.h"
#include "faults.h"
#include "platform/workbook/workbook.h"
#include "platform/workbook/workbookwriter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <pugixml.hpp>
#include <sys/stat.h>

namespace zarv::xl {
namespace {

// The sample's first sheet: headings, then rows 2 to 4 with gaps.
const QStringList kSampleRows[] = {
    {QStringLiteral("ACD"), QStringLiteral("MORTGAGE CO."), QStringLiteral("MORTGAGE NUMBER"),
     QStringLiteral("COLLECTION DISTRICT CODE")},
    {QStringLiteral(" "), QStringLiteral("AB  "), QStringLiteral("007"), QStringLiteral("1E+15")},
    {QStringLiteral("A"), QString(), QStringLiteral("a\rb _x000D_"), QStringLiteral("Zo\u00eb")},
    {QString(), QString(), QStringLiteral("   "), QStringLiteral("000123456789012345")},
};

class WorkbookWrite : public ::testing::Test {
protected:
    QString path(const QString& name = QStringLiteral("MortNo1.xlsx")) const { return dir_.filePath(name); }

    // A two-sheet workbook: headings, widths, rows 2 to 4 with gaps, checks off.
    void writeSample(WorkbookWriter& w)
    {
        ASSERT_TRUE(w.create(path()));
        ASSERT_TRUE(w.addSheet(QStringLiteral("Mortgage")));
        ASSERT_TRUE(w.setColumnWidths({4, 13, 16, 25}));
        ASSERT_TRUE(w.writeHeadings(kSampleRows[0]));
        for (int r = 2; r <= 4; ++r) {
            for (int c = 0; c < 4; ++c)
                ASSERT_TRUE(w.writeCell(r, c + 1, kSampleRows[r - 1][c])) << w.errorText().toStdString();
        }
        ASSERT_TRUE(w.ignoreNumberStoredAsText({2, 3, 4, 4}));
        ASSERT_TRUE(w.ignoreNumberStoredAsText({2, 1, 2, 1}));
        ASSERT_TRUE(w.addSheet(QStringLiteral("Collection Jurisdiction Combo")));
        ASSERT_TRUE(w.writeHeadings({QStringLiteral("COLLECTION DISTRICT CODE")}));
    }

    QStringList folderEntries() const
    {
        return QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
    }

    QTemporaryDir dir_;
};

TEST_F(WorkbookWrite, ReadsBackWhatWasWritten)
{
    WorkbookWriter w;
    writeSample(w);
    ASSERT_TRUE(w.save()) << w.errorText().toStdString();
    EXPECT_FALSE(w.isActive());

    Workbook book;
    ASSERT_TRUE(book.open(path())) << book.errorText().toStdString();
    ASSERT_EQ(book.sheetCount(), 2);
    EXPECT_EQ(book.sheet(2)->name(), QStringLiteral("Collection Jurisdiction Combo"));
    EXPECT_EQ(book.sheet(2)->cell(1, 1), QStringLiteral("COLLECTION DISTRICT CODE"));
    EXPECT_EQ(book.sheet(2)->lastRow(), 1);

    const Worksheet& s = *book.sheet(1);
    EXPECT_EQ(s.name(), QStringLiteral("Mortgage"));
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c)
            EXPECT_EQ(s.cell(r + 1, c + 1), kSampleRows[r][c]) << "row " << r + 1 << " column " << c + 1;
    }
    EXPECT_EQ(s.lastRow(), 4);
    EXPECT_EQ(s.lastColumn(), 4);
}

TEST_F(WorkbookWrite, PackageHoldsLayoutStylesAndChecks)
{
    WorkbookWriter w;
    writeSample(w);
    ASSERT_TRUE(w.save());

    auto parse = [&](pugi::xml_document& doc, const char* part) {
        const QByteArray xml = test::readZipPart(path(), QString::fromLatin1(part));
        ASSERT_FALSE(xml.isEmpty()) << part;
        ASSERT_TRUE(doc.load_buffer(xml.constData(), std::size_t(xml.size()), pugi::parse_default | pugi::parse_ws_pcdata_single));
    };
    pugi::xml_document workbook, styles, sheet;
    parse(workbook, "xl/workbook.xml");
    parse(styles, "xl/styles.xml");
    parse(sheet, "xl/worksheets/sheet1.xml");

    QStringList names;
    for (pugi::xml_node s : workbook.child("workbook").child("sheets").children("sheet"))
        names << QString::fromUtf8(s.attribute("name").value());
    EXPECT_EQ(names, QStringList({QStringLiteral("Mortgage"), QStringLiteral("Collection Jurisdiction Combo")}));
    EXPECT_EQ(workbook.child("workbook").child("bookViews").child("workbookView").attribute("activeTab").as_int(0), 0);

    pugi::xml_node ws = sheet.child("worksheet");
    const double widths[] = {4, 13, 16, 25};
    int column = 0;
    for (pugi::xml_node col : ws.child("cols").children("col")) {
        ASSERT_LT(column, 4);
        EXPECT_EQ(col.attribute("min").as_int(), column + 1);
        EXPECT_NEAR(col.attribute("width").as_double(), widths[column] + 0.71, 0.01);  // the font's padding added
        ++column;
    }
    EXPECT_EQ(column, 4);

    pugi::xml_node cellXfs = styles.child("styleSheet").child("cellXfs");
    auto xfOf = [&](pugi::xml_node cell) {
        int i = cell.attribute("s").as_int(-1);
        pugi::xml_node xf = cellXfs.first_child();
        while (i-- > 0 && xf)
            xf = xf.next_sibling();
        return xf;
    };
    pugi::xml_node data = ws.child("sheetData");
    pugi::xml_node heading = data.find_child_by_attribute("row", "r", "1").first_child();
    int fontId = xfOf(heading).attribute("fontId").as_int();
    pugi::xml_node font = styles.child("styleSheet").child("fonts").first_child();
    while (fontId-- > 0)
        font = font.next_sibling();
    EXPECT_TRUE(font.child("b"));
    EXPECT_EQ(font.child("sz").attribute("val").as_double(), 8.0);
    EXPECT_EQ(xfOf(heading).attribute("numFmtId").as_int(), 49);

    int lastRow = 0;
    for (pugi::xml_node row : data.children("row")) {
        lastRow = row.attribute("r").as_int();
        for (pugi::xml_node c : row.children("c")) {
            if (lastRow > 1) {
                EXPECT_EQ(xfOf(c).attribute("numFmtId").as_int(), 49) << c.attribute("r").value();
            }
            EXPECT_STRNE(c.attribute("r").value(), "B3");   // empty text writes no cell
        }
    }
    EXPECT_EQ(lastRow, 4);

    pugi::xml_node ignored = ws.child("ignoredErrors").child("ignoredError");
    EXPECT_STREQ(ignored.attribute("sqref").value(), "C2:D4 A2");
    EXPECT_TRUE(ignored.attribute("numberStoredAsText").as_bool());
}

TEST_F(WorkbookWrite, RefusesBadCallsAndKeepsTheFirstError)
{
    using Action = bool (*)(WorkbookWriter&);
    const struct {
        const char* label;
        Action action;
        const char* expected;
    } cases[] = {
        {"row past the limit", [](WorkbookWriter& w) { return w.writeCell(WorkbookWriter::kMaxRows + 1, 1, QStringLiteral("x")); }, "1048576"},
        {"row 0", [](WorkbookWriter& w) { return w.writeCell(0, 1, QStringLiteral("x")); }, "Row 0 is outside"},
        {"column past the limit", [](WorkbookWriter& w) { return w.writeCell(6, 16385, QStringLiteral("x")); }, "16384"},
        {"row above the last", [](WorkbookWriter& w) { return w.writeCell(4, 1, QStringLiteral("x")); }, "top to bottom"},
        {"headings after rows", [](WorkbookWriter& w) { return w.writeHeadings({QStringLiteral("H")}); }, "headings"},
        {"bad sheet name", [](WorkbookWriter& w) { return w.addSheet(QStringLiteral("a/b")); }, "a/b"},
        {"repeated sheet name", [](WorkbookWriter& w) { return w.addSheet(QStringLiteral("SHEET")); }, "SHEET"},
        {"long sheet name", [](WorkbookWriter& w) { return w.addSheet(QString(32, u'x')); }, "31"},
        {"empty sheet name", [](WorkbookWriter& w) { return w.addSheet(QString()); }, "name"},
        {"reversed block", [](WorkbookWriter& w) { return w.ignoreNumberStoredAsText({3, 1, 2, 1}); }, "block"},
        {"wide column", [](WorkbookWriter& w) { return w.setColumnWidth(1, 300); }, "width"},
    };
    for (const auto& c : cases) {
        WorkbookWriter w;
        ASSERT_TRUE(w.create(path()));
        ASSERT_TRUE(w.addSheet(QStringLiteral("Sheet")));
        ASSERT_TRUE(w.writeCell(5, 1, QStringLiteral("five")));
        EXPECT_FALSE(c.action(w)) << c.label;
        const QString first = w.errorText();
        EXPECT_TRUE(first.contains(QString::fromUtf8(c.expected))) << c.label << ": " << first.toStdString();
        EXPECT_FALSE(w.writeCell(6, 1, QStringLiteral("later")));
        EXPECT_FALSE(w.save());
        EXPECT_EQ(w.errorText(), first) << c.label;
        EXPECT_TRUE(folderEntries().isEmpty()) << c.label;   // neither target nor temporary file
    }

    WorkbookWriter w;
    EXPECT_FALSE(w.writeCell(1, 1, QStringLiteral("x")));
    ASSERT_TRUE(w.create(path()));
    EXPECT_FALSE(w.writeCell(1, 1, QStringLiteral("x")));
    EXPECT_TRUE(w.errorText().startsWith(QStringLiteral("No worksheet")));
    EXPECT_FALSE(w.create(dir_.filePath(QStringLiteral("missing/book.xlsx"))));
    EXPECT_TRUE(w.errorText().contains(QStringLiteral("does not exist")));
}

TEST_F(WorkbookWrite, FailedWriteLeavesTheOldFileAndSaveReplacesIt)
{
    zarv::fs::test::writeRaw(path(), "old workbook");

    {
        WorkbookWriter w;
        writeSample(w);
        EXPECT_FALSE(w.writeCell(WorkbookWriter::kMaxRows + 1, 1, QStringLiteral("x")));
        EXPECT_FALSE(w.save());
        WorkbookWriter abandoned;
        writeSample(abandoned);   // dropped unsaved when it goes out of scope
    }
    EXPECT_EQ(zarv::fs::test::readRaw(path()), QByteArray("old workbook"));
    EXPECT_EQ(folderEntries(), QStringList({QStringLiteral("MortNo1.xlsx")}));

    WorkbookWriter w;
    ASSERT_TRUE(w.create(path()));
    ASSERT_TRUE(w.addSheet(QStringLiteral("Last")));
    ASSERT_TRUE(w.writeCell(WorkbookWriter::kMaxRows, 2, QStringLiteral("bottom")));
    ASSERT_TRUE(w.save()) << w.errorText().toStdString();
    EXPECT_EQ(folderEntries(), QStringList({QStringLiteral("MortNo1.xlsx")}));
    Workbook book;
    ASSERT_TRUE(book.open(path())) << book.errorText().toStdString();
    EXPECT_EQ(book.sheet(1)->cell(WorkbookWriter::kMaxRows, 2), QStringLiteral("bottom"));
}

TEST_F(WorkbookWrite, AFullDiskSaysSoAndLeavesTheOldFile)
{
    ZARV_SKIP_UNLESS_DISK_FAULTS_CAN_BE_FAKED();
    zarv::fs::test::writeRaw(path(), "old workbook");
    const QString text = zarv::test::withFullDisk([&] {
        WorkbookWriter w;
        writeSample(w);
        return w.save() ? QStringLiteral("saved") : w.errorText();
    });
    EXPECT_EQ(text, QStringLiteral("The disk is full. The workbook \"%1\" could not be written.")
                        .arg(QDir::toNativeSeparators(path())));
    EXPECT_EQ(zarv::fs::test::readRaw(path()), QByteArray("old workbook"));
    EXPECT_EQ(folderEntries(), QStringList({QStringLiteral("MortNo1.xlsx")}));
}

} // namespace
} // namespace zarv::xl
