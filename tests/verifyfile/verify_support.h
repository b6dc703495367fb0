#pragma once
// Helpers of the verification workbook tests: hand-made workbooks, a message
// list that records what the load tells it, and table contents as text.
#include "env/tablerows.h"
#include "env/testenv.h"
#include "verifyfile/verifyfile.h"

#include <QStringList>
#include <vector>

#include "printers.h"

namespace zarv::test {

using Rows = std::vector<QStringList>;

// The headings as the workbook carries them (written out here on purpose, so
// that a wrong heading in the program shows up).
inline const QStringList kMortgageHeadings = {
    "ACD", "MORTGAGE CO.", "MORTGAGE NUMBER", "COLLECTION DISTRICT CODE", "JURISDICTION CODE",
    "FOLIO NUMBER", "PROPERTY IDENTIFIER", "NAME", "ADDRESS 1", "ADDRESS 2", "ADDRESS 3", "ADDRESS 4",
    "ADDRESS 5", "LEGAL DESCRIPTION",
};
inline const QStringList kFolioMaskHeadings = {"JURISDICTION CODE", "FOLIO LENGTH", "FOLIO MASK"};
inline const QStringList kDistrictHeadings = {"COLLECTION DISTRICT CODE", "COLLECTION DISTRICT NAME"};
inline const QStringList kJurisdictionHeadings = {"JURISDICTION CODE", "JURISDICTION NAME"};
inline const QStringList kComboHeadings = {"COLLECTION DISTRICT CODE", "JURISDICTION CODE"};

// A workbook to write: each sheet's rows from row 1 down, an empty QStringList
// being an empty row. By default every sheet holds only its heading row.
struct Book {
    Rows mortgage{kMortgageHeadings};
    Rows folioMask{kFolioMaskHeadings};
    Rows districts{kDistrictHeadings};
    Rows jurisdictions{kJurisdictionHeadings};
    Rows combos{kComboHeadings};
    int sheets = 5;     // how many of the five sheets to write
    // The sheets in the order they are written (0 Mortgage ... 4 Combo), and
    // whether they carry their names or "Sheet1", "Sheet2", ...
    std::vector<int> order{0, 1, 2, 3, 4};
    bool named = true;
};

// Adds rows to the book's code sheets, given as addCodes takes them for the
// working tables ("code|name", "district|jurisdiction", "jurisdiction|length|mask").
void addCodes(Book& book, const CodeTables& codes);

// Writes the book with the workbook layer's writer; fails the test if it cannot.
void writeBook(const QString& path, const Book& book);

// The bytes of one part of a zip package ("xl/workbook.xml"); empty if it
// cannot be read.
QByteArray zipPart(const QString& path, const QString& part);

// Puts cellXml in place of the cell at reference ("F3") of the workbook's
// sheet at position (as the writer numbers its parts), or before the end of
// the sheet's rows when the sheet has no such cell; fails the test if it
// cannot.
void replaceCell(const QString& path, int position, const QString& reference, const QString& cellXml);

// A sheet-1 row from its fourteen cells given as "A|B|C|...": missing cells
// are empty.
QStringList folioRow(const QString& cells);

// A box the load or the writer shows: OK only, no title of its own.
ui::ExpectedBox infoBox(const ui::TextMatch& text);
ui::ExpectedBox criticalBox(const ui::TextMatch& text);

// The message list of the receiving screen, as the load sees it.
class RecordingSink : public VerifyMessageSink {
public:
    void addLine(const QString& text) override { lines << text; }
    void enablePrintErrors() override { ++printEnabled; }

    QStringList lines;
    int printEnabled = 0;
};

// The rows of a query as "field|field|..." texts, in the query's order.
QStringList tableRows(const QString& source, const QStringList& fields);
long tableCount(const QString& table);
// A working table's rows in the order they were stored, as "field|field|...",
// by default of the fields the load fills (VERIFY and the four code tables).
QStringList storedRows(const QString& table, const QStringList& fields = {});

// A VERIFY row from "ACD|MORTCO|NUMBER|CD|JUR|FOLIO|PID|NAME|ADDR1|...|LEGAL".
void addVerifyRow(const QString& cells);

// VERIFY's fields in the order of the sheet's columns.
inline const QStringList kVerifyFields = {"ACD",  "MORTCO", "NUMBER", "CD",    "JUR",   "FOLIO", "PID",
                                          "NAME", "ADDR1",  "ADDR2",  "ADDR3", "ADDR4", "ADDR5", "LEGAL"};

} // namespace zarv::test
