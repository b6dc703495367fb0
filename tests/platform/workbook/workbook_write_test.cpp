// Writing workbooks: round trip through the reader, refusals, and the old
// file kept safe on failure.
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

    // The blocks whose checks are off, as the package holds them (its styles
    // and widths are checked in Mdb2XlsTest.WrittenPackageHasTheLayout).
    const QByteArray xml = test::readZipPart(path(), QStringLiteral("xl/worksheets/sheet1.xml"));
    pugi::xml_document sheet;
    ASSERT_TRUE(sheet.load_buffer(xml.constData(), std::size_t(xml.size())));
    const pugi::xml_node ignored = sheet.child("worksheet").child("ignoredErrors").child("ignoredError");
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

    // A workbook that cannot take the old one's place is not reported saved:
    // here a folder took the name while it was being written.
    WorkbookWriter blocked;
    writeSample(blocked);
    ASSERT_TRUE(QFile::remove(path()));
    ASSERT_TRUE(QDir().mkdir(path()));
    EXPECT_FALSE(blocked.save());
    EXPECT_TRUE(blocked.errorText().endsWith(QStringLiteral("could not be written.")))
        << blocked.errorText().toStdString();
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
