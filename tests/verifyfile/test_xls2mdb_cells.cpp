// The workbook load, cell by cell: what spreadsheet programs put in cells
// besides text (numbers, booleans, error values, formulas without a result),
// and workbooks saved by one.
#include "verify_support.h"

#include "services/dataenvironment.h"

#include <QDir>

namespace zarv::test {
namespace {

const QString kFixtures = QStringLiteral(ZARV_SOURCE_DIR "/tests/verifyfile/fixtures/");

QString duplicateFolio(int row, const QString& company, const QString& jurisdiction, const QString& folio)
{
    return QString("WARNING ( RECORD IGNORED ) DUPLICATE FOLIO NUMBER:   Row:%1 Mort. Co:%2 CD:12 JUR:%3 FOLIO:%4 "
                   "(Most likely duplicate KEY violation)")
        .arg(row)
        .arg(company, jurisdiction, folio);
}

QString summaryOfRepeats(int count)
{
    return count == 1 ? QString("INFORMATION: There was a total of 1 records NOT loaded.\r\n"
                                " 1 record was not loaded because it a duplicate or rejected folio\r\n")
                      : QString("INFORMATION: There was a total of %1 records NOT loaded.\r\n"
                                " %1 records were not loaded because they were duplicate or rejected folios\r\n")
                            .arg(count);
}

class Xls2MdbCells : public DeTest {
protected:
    // A workbook whose sheet 1 holds the heading row and then data, and whose
    // Jurisdiction sheet holds jurisdiction 701.
    QString book(const Rows& data)
    {
        Book b;
        b.mortgage.insert(b.mortgage.end(), data.begin(), data.end());
        b.jurisdictions.push_back({"701", "Westport Town"});
        const QString p = path("MortNo1.xlsx");
        writeBook(p, b);
        return p;
    }
    QStringList numbers() { return storedRows("VERIFY", {"NUMBER"}); }
};

// The repeat test compares folios as the 18 digits the verified file carries.
TEST_F(Xls2MdbCells, AFolioTypedAsANumberOrAsTextIsOneFolio)
{
    const QString p = book({
        folioRow("|1234|N1|12|701|000000000123456001"),
        folioRow("|1234|N2|12|701|becomes the number 123456001"),
        folioRow("|1234|N3|12|701|123-456-001"),
        folioRow("|1234|N4|12|702|123456001"),   // another jurisdiction
        folioRow("|ABCD|N5|12|701|123456001"),   // another company
        folioRow("|1234|N6|12|701|123456002"),
    });
    replaceCell(p, 1, "F3", "<c r=\"F3\"><v>123456001</v></c>");
    RecordingSink list;
    ui().expectBox(infoBox(summaryOfRepeats(2)));
    EXPECT_TRUE(Xls2Mdb(p, list));
    EXPECT_EQ(numbers(), QStringList({"N1", "N4", "N5", "N6"}));
    EXPECT_EQ(list.lines.mid(0, 2), QStringList({duplicateFolio(3, "1234", "701", "123456001"),
                                                 duplicateFolio(4, "1234", "701", "123-456-001")}));
}

struct FaultCase {
    const char* name;
    int sheet;
    const char* reference;
    const char* cell;
    QString says;   // after "Cell ... of the sheet ... in the workbook "..." "
};

// An error value or a formula without a stored result in a column the load
// reads refuses the whole workbook before anything is stored, naming the cell.
TEST_F(Xls2MdbCells, ErrorValuesAndFormulasWithoutAResultRefuseTheWorkbook)
{
    const QString storeResults = "holds a formula whose result is not stored in the file (the program that wrote it "
                                 "did not work its formulas out). Opening the workbook in a spreadsheet program and "
                                 "saving it stores the results; then load it again.";
    const std::vector<FaultCase> cases = {
        {"an error value", 1, "F3", "<c r=\"F3\" t=\"e\"><v>#N/A</v></c>",
         "holds the error value #N/A instead of a value. Correct the cell, or the cells its formula uses, save the "
         "workbook and load it again."},
        {"a formula without its result", 1, "C2", "<c r=\"C2\"><f>A1&amp;B1</f><v></v></c>", storeResults},
        {"a text formula without its result", 1, "N3", "<c r=\"N3\" t=\"str\"><f>H3</f></c>", storeResults},
        {"in a code sheet", 4, "B2", "<c r=\"B2\" t=\"e\"><f>1/0</f><v>#DIV/0!</v></c>",
         "holds the error value #DIV/0! instead of a value."},
    };
    const QString sheetNames[] = {"", "Mortgage", "Folio Mask", "Collection District", "Jurisdiction"};
    for (const FaultCase& c : cases) {
        SCOPED_TRACE(c.name);
        ui().reset();
        const QString p = book({folioRow("|1234|N1|12|701|1"), folioRow("|1234|N2|12|701|2")});
        replaceCell(p, c.sheet, c.reference, c.cell);
        ui().expectBox(criticalBox(ui::containing(
            QString("Cell %1 of the sheet \"%2\" in the workbook \"%3\" ")
                .arg(c.reference, sheetNames[c.sheet], QDir::toNativeSeparators(p)) + c.says)));
        EXPECT_FALSE(Xls2Mdb(p));
        EXPECT_TRUE(ui().clean()) << ui().report().toStdString();
        ASSERT_FALSE(ui().boxes().empty());
        EXPECT_TRUE(ui().boxes().back().prompt.startsWith("Cell ") &&
                    ui().boxes().back().prompt.endsWith("\r\n(load step 82)"))
            << ui().boxes().back().prompt.toStdString();   // the cause leads, the step follows
        EXPECT_EQ(tableCount("VERIFY"), 0);
        EXPECT_EQ(tableCount("Jurisdiction"), 0);
    }

    // The first is named and the others counted.
    ui().reset();
    const QString p = book({folioRow("|1234|N1|12|701|1")});
    replaceCell(p, 1, "G2", "<c r=\"G2\"><f>1</f></c>");
    replaceCell(p, 1, "B2", "<c r=\"B2\" t=\"e\"><v>#NAME?</v></c>");
    replaceCell(p, 5, "A1", "<c r=\"A1\" t=\"e\"><v>#REF!</v></c>");
    ui().expectBox(criticalBox(ui::containing("Cell B2 of the sheet \"Mortgage\"")));
    EXPECT_FALSE(Xls2Mdb(p));
    ASSERT_FALSE(ui().boxes().empty());
    EXPECT_TRUE(ui().boxes().back().prompt.contains(" 2 more cells hold error values or formulas without results.\r\n"))
        << ui().boxes().back().prompt.toStdString();
}

// Cells the load does not read may hold anything; a boolean reads as a
// spreadsheet shows it; a stray cell far below the data is named by its row.
TEST_F(Xls2MdbCells, CellsOutsideTheColumnsReadAndBooleansLoad)
{
    const QString p = book({folioRow("|1234|N1|12|701|1"), folioRow("|1234|N2|12|701|2")});
    replaceCell(p, 1, "C2", "<c r=\"C2\" t=\"b\"><v>1</v></c>");   // a mortgage number keeps its letter case
    replaceCell(p, 1, "N3", "<c r=\"N3\" t=\"b\"><f>1=2</f><v>0</v></c>");
    replaceCell(p, 1, "O9", "<c r=\"O9\" t=\"e\"><v>#N/A</v></c>");
    replaceCell(p, 4, "C9", "<c r=\"C9\"><f>A2</f></c>");
    replaceCell(p, 1, "B1048576", "<c r=\"B1048576\" t=\"inlineStr\"><is><t>1234</t></is></c>");
    RecordingSink list;
    ui().expectBox(infoBox(summaryOfRepeats(1)));
    EXPECT_TRUE(Xls2Mdb(p, list));
    EXPECT_EQ(storedRows("VERIFY", {"NUMBER", "NAME", "LEGAL"}), QStringList({"TRUE||", "N2||FALSE"}));
    EXPECT_EQ(list.lines.mid(0, 2),
              QStringList({"RECORD REJECTED, NO Folio or PID! Row:1048576 Mort. Co:1234",
                           "Rows not loaded from the sheet \"Mortgage\": row 9 has values only outside "
                           "columns A to N."}));
    EXPECT_EQ(tableCount("Jurisdiction"), 1);
}

// Workbooks saved by LibreOffice (see fixtures/README.md): each folio is
// loaded once, headings however retyped are headings, an error value refuses.
TEST_F(Xls2MdbCells, WorkbooksSavedByLibreOffice)
{
    RecordingSink list;
    ui().expectBox(infoBox(summaryOfRepeats(1)));
    EXPECT_TRUE(Xls2Mdb(kFixtures + "mortgage_libreoffice.xlsx", list));
    EXPECT_EQ(storedRows("VERIFY"),
              QStringList({" |1234|N1|12|701|123456001||SMITH JOHN|1 MAIN ST|||||TRUE",
                           " |1234|N3|12|702|123456002||NAME||||||",
                           "A|1234|N4|  |   ||123456789|NEW OWNER||||||"}));
    EXPECT_EQ(list.lines, QStringList({duplicateFolio(3, "1234", "701", "000000000123456001"),
                                       "Rows not loaded from the sheet \"Mortgage\": row 6 repeats the heading row.",
                                       "INFORMATION: There was a total of 1 records NOT loaded.",
                                       " 1 record was not loaded because it a duplicate or rejected folio", ""}));
    EXPECT_EQ(storedRows("Fol_Mask", {"JUR_CD", "FOLIO_LEN", "FOLIO_MASK"}),
              QStringList({"701|9|###-###-###", "702|9|###-###-###"}));
    EXPECT_EQ(storedRows("Jurisdiction"), QStringList({"701|Westport Town", "702|Easton Township"}));
    EXPECT_EQ(storedRows("CD_JUR"), QStringList({"12|701", "12|702"}));

    const QString withError = kFixtures + "error_value_libreoffice.xlsx";
    ui().expectBox(criticalBox(ui::containing(
        QString("Cell F3 of the sheet \"Mortgage\" in the workbook \"%1\" holds the error value #N/A instead of a value.")
            .arg(QDir::toNativeSeparators(withError)))));
    EXPECT_FALSE(Xls2Mdb(withError));
    EXPECT_EQ(tableCount("VERIFY"), 3);     // refused before anything was emptied
    EXPECT_TRUE(ui().clean()) << ui().report().toStdString();
}

} // namespace
} // namespace zarv::test
