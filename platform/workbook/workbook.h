#pragma once
// Reading .xlsx workbooks: every worksheet is parsed once, when the workbook is
// opened, into a compact table of its non-empty cells; cells are then read as
// the text BASIC would show for their value.
#include <QString>
#include <QtGlobal>
#include <memory>
#include <vector>

namespace zarv::xl {

namespace detail {
class SheetBuilder;
}

// A cell whose text stands for no value: an error value, or a formula whose
// result the file does not store (programs that write formulas without
// working them out leave the result out).
struct CellFault {
    enum Kind : quint8 { ErrorValue, NoResult };
    int row;
    int column;
    Kind kind;
    QString text;   // the error value ("#N/A"); "" for NoResult

    bool operator==(const CellFault&) const = default;
};

// "F3" for row 3, column 6.
QString cellReference(int row, int column);

// One worksheet of an open workbook.
class Worksheet {
public:
    const QString& name() const { return name_; }

    // The text of the cell at a 1-based row and column: strings as stored,
    // numbers as CStr shows them ("12", "0.5", "1E+15"), a number whose cell
    // format is a date or time as CStr shows a date ("3/31/2026",
    // "3/31/2026 2:05:00 PM", "2:05:00 PM"), booleans "TRUE" / "FALSE" as a
    // spreadsheet shows them, error values as their text ("#N/A"). "" for an
    // empty or missing cell and for any position outside the sheet.
    QString cell(int row, int column) const;
    // The cells whose text stands for no value, by row and then column. An
    // error value's cell reads as its text; a formula without a result is
    // not a cell.
    const std::vector<CellFault>& faults() const { return faults_; }

    // The highest row and column holding a non-empty cell; 0 for an empty sheet.
    int lastRow() const { return rows_.empty() ? 0 : rows_.back().row; }
    int lastColumn() const { return lastColumn_; }
    // The highest column of that row holding a non-empty cell; 0 for a row
    // with none.
    int lastColumn(int row) const;

private:
    friend class detail::SheetBuilder;
    struct Row {
        int row;
        unsigned first;   // index of the row's first cell in cells_
        unsigned count;
    };
    struct Cell {
        int column;
        QString text;
    };
    const Row* findRow(int row) const;

    QString name_;
    std::vector<Row> rows_;    // ascending by row
    std::vector<Cell> cells_;  // each row's cells ascending by column
    int lastColumn_ = 0;
    std::vector<CellFault> faults_;
};

// What a workbook may take to read. A workbook comes from outside the program,
// so a package that would unpack or parse to more than these is refused before
// it is read: memory stays well inside 1 GB whatever the file holds. A
// verification workbook of 32,766 folios takes about a tenth of each.
struct ReadLimits {
    qint64 partBytes = qint64(128) << 20;    // one part, unpacked
    qint64 totalBytes = qint64(256) << 20;   // all parts read, unpacked
    qint64 packedRatio = 100;                // unpacked against packed size, for parts above:
    qint64 ratioFloor = qint64(1) << 20;
    qint64 marksPerPart = 8'000'000;         // elements and attributes of one part
    qint64 cells = 4'000'000;                // non-empty cells of all worksheets, and the
                                             // room set aside for them beforehand
    // A sheet's rows and the shared strings are parsed a slice of about this
    // many bytes at a time (see WorkbookLoader::parseList); 0: each part whole.
    qint64 sliceBytes = 512 * 1024;
};

// An .xlsx workbook opened for reading. Its worksheets (chart and dialog sheets
// do not count) are numbered 1, 2, ... in the order the workbook lists them,
// whatever the names or order of their files inside the package.
class Workbook {
public:
    Workbook();
    ~Workbook();
    Workbook(Workbook&&) noexcept;
    Workbook& operator=(Workbook&&) noexcept;
    Workbook(const Workbook&) = delete;
    Workbook& operator=(const Workbook&) = delete;

    // Opens and reads the whole workbook, closing whatever was open before.
    // On failure returns false, holds no sheets, and errorText() says why in a
    // sentence that names the file (missing file, not a workbook, damaged part).
    // Throws nothing.
    bool open(const QString& path, const ReadLimits& limits = {});
    void close();

    bool isOpen() const { return open_; }
    const QString& path() const { return path_; }
    const QString& errorText() const { return error_; }

    int sheetCount() const { return int(sheets_.size()); }
    // The worksheet at a 1-based position; nullptr when there is no such sheet
    // (missingSheetText gives the message for that case).
    const Worksheet* sheet(int position) const;
    // The first worksheet of that name, letter case aside as in a spreadsheet;
    // nullptr when there is none.
    const Worksheet* sheet(const QString& name) const;
    QString missingSheetText(int position) const;

private:
    bool load(const QString& path, const ReadLimits& limits);

    std::vector<std::unique_ptr<Worksheet>> sheets_;
    QString path_;
    QString error_;
    bool open_ = false;
};

} // namespace zarv::xl
