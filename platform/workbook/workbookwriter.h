#pragma once
// Writing .xlsx workbooks of text cells: named worksheets in order, column
// widths, a bold size-8 heading row, every cell a text cell (number format "@").
//
// The workbook goes to a temporary file in the target's folder and replaces the
// target only when it was written completely; a failed write leaves the old file
// as it was. The first error ends the write: every later call returns false, and
// errorText() keeps that first error.
//
// Cells of a sheet are written from top to bottom: a row once left cannot be
// written again (the sheet data streams to disk), and within a row the columns
// may come in any order. Sheets are written one after the other.
#include <QList>
#include <QString>
#include <QStringList>
#include <memory>

namespace zarv::xl {

// A block of cells, 1-based and inclusive.
struct CellRange {
    int firstRow = 1;
    int firstColumn = 1;
    int lastRow = 1;
    int lastColumn = 1;
};

class WorkbookWriter {
public:
    static constexpr int kMaxRows = 1048576;    // rows of an .xlsx worksheet
    static constexpr int kMaxColumns = 16384;   // columns, A to XFD

    WorkbookWriter();
    ~WorkbookWriter();   // discards an unsaved workbook
    WorkbookWriter(const WorkbookWriter&) = delete;
    WorkbookWriter& operator=(const WorkbookWriter&) = delete;

    // Starts a new workbook that save() will store at path, discarding any
    // workbook in progress. Fails when the folder is missing or not writable or
    // the target exists and is read-only.
    bool create(const QString& path);

    // Adds a worksheet after the others; it becomes the sheet being written.
    // The name follows the sheet-name rules (1 to 31 characters, none of []:*?/\,
    // unique regardless of letter case).
    bool addSheet(const QString& name);

    // Width of a 1-based column in characters of the standard font; widths
    // sets the columns from A on. The column's cells are text cells.
    bool setColumnWidth(int column, double width);
    bool setColumnWidths(const QList<double>& widths);

    // Writes row 1 of the current sheet, from column A on: the whole row bold,
    // font size 8. Must come before any other row of the sheet.
    bool writeHeadings(const QStringList& headings);

    // Writes text into a cell of the current sheet as a text cell, exactly as
    // given. Empty text writes nothing (the cell stays empty).
    bool writeCell(int row, int column, const QString& text);

    // Switches off the "number stored as text" check over a block of the current
    // sheet. May be called any number of times per sheet; blocks add up.
    bool ignoreNumberStoredAsText(const CellRange& range);

    // Writes the workbook with its first sheet active and puts it in place of
    // the target. After save(), successful or not, the writer holds no workbook.
    bool save();

    // Drops the workbook in progress; the target is not touched.
    void discard();

    bool isActive() const;
    int sheetCount() const;
    const QString& errorText() const { return error_; }

private:
    struct Book;
    bool ready(bool needSheet);
    bool fail(const QString& why);
    bool checkPosition(int row, int column);

    std::unique_ptr<Book> book_;
    QString error_;
};

} // namespace zarv::xl
