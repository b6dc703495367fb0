#pragma once
// How the load reads sheets 2 to 5 of the verification workbook into the code
// tables: per sheet its headings, recordset, lookup, field values and the step
// markers its error message shows.
#include "services/dataenvironment.h"

#include <QString>
#include <QStringList>
#include <QVariant>

#include <array>
#include <span>
#include <functional>
#include <vector>

namespace zarv::loadsteps {

// The cells of columns A to C of one row, as read.
using CodeCells = std::array<QString, 3>;

// The markers of one way of inserting a row: AddNew, each field, the text shown
// while the row is saved (followed by the sheet's reading text), after saving.
struct InsertSteps {
    const char* addNew;
    std::vector<const char*> fields;
    const char* reading;
    const char* saved;
};

struct CodeSheetSteps {
    const char* stateTest;
    const char* open;
    const char* filterNone;
    const char* worksheet;
    const char* ready;        // after the worksheet is chosen; nullptr for none
    const char* rowStart;
    const char* countTest;
    const char* first;
    const char* criterion;
    const char* lookup;       // the Find, or setting the Filter
    const char* absentTest;
    InsertSteps afterLookup;  // the code was looked up and not found
    InsertSteps intoEmpty;    // the table was still empty
    const char* afterSheet;   // nullptr for none
};

struct CodeField {
    QString name;
    std::function<QVariant(const CodeCells&)> value;
};

struct CodeSheet {
    int position;                       // worksheet position when no sheet has its name
    QString name;
    QStringList headings;               // one per column read
    db::Recordset& (DataEnvironment::*recordset)();
    bool byFilter;                      // look the key up by Filter (else by Find)
    std::function<QString(const CodeCells&)> key;
    std::vector<CodeField> fields;      // in the order they are assigned
    std::function<QString(const CodeCells&)> readingText;
    CodeSheetSteps steps;
};

// Sheets 2 to 5 in the order they are read.
const std::vector<CodeSheet>& codeSheets();

// What a row of a sheet is to the load. Every row up to the sheet's last row
// with content is looked at; only data rows are loaded.
enum class RowKind {
    Empty,      // nothing in any cell, or only blanks, tabs and no-break spaces in the sheet's columns
    Heading,    // at least half of the columns hold their own heading (letter case, blanks, tabs
                // and no-break spaces aside): a heading retyped in a cell or two merged into one
                // is still the heading row, while a folio with one cell equal to its heading (a
                // name "NAME") is a folio
    Outside,    // nothing in the sheet's columns but a value right of them
    Data,
};
RowKind kindOfRow(std::span<const QString> cells, const QStringList& headings, int lastColumnOfRow);

// The rows of a sheet that hold something and are not loaded all the same,
// for the one note that names them. The first heading row is the sheet's own
// and is not named.
class LeftOutRows {
public:
    // Notes a heading, repeated heading or outside row.
    void add(RowKind kind, int row);
    // "" when no row was left out; otherwise the note for the sheet of that
    // name with that many columns.
    QString note(const QString& sheetName, int columns) const;

private:
    bool headingSeen_ = false;
    QList<int> headings_;
    QList<int> outside_;
};

// The FOLIO_LEN of a "FOLIO LENGTH" cell: the last two digits of its number
// (an empty cell gives 0). A cell that is not a number raises a type mismatch.
double folioLength(const QString& cell);

// The code of a district (two characters) or jurisdiction (three) cell: its
// first characters, padded with blanks; neither trimmed nor upper-cased.
QString districtCode(const QString& cell);
QString jurisdictionCode(const QString& cell);

} // namespace zarv::loadsteps
