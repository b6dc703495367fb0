// The workbook load, sheet 1: stored forms, the stop rule, warnings, rejects,
// duplicates, the summary and where each message goes.
#include "verify_support.h"

#include "services/dataenvironment.h"

namespace zarv::test {
namespace {

using ui::Icon;

const QString kEmpty = "ERROR - The Verification file is empty";
const QString kNote = "NOTE: The program only issues the first 3 warnings.";

class Xls2MdbRows : public DeTest {
protected:
    QString book(const Rows& mortgage)
    {
        Book b;
        b.mortgage = mortgage;
        const QString p = path("MortNo1.xlsx");
        writeBook(p, b);
        return p;
    }
    static Rows withHeadings(const Rows& data)
    {
        Rows rows{kMortgageHeadings};
        rows.insert(rows.end(), data.begin(), data.end());
        return rows;
    }
    QStringList numbers() { return storedRows("VERIFY", {"NUMBER"}); }
    QStringList verifyRows() { return storedRows("VERIFY"); }
    void expectInfo(const QString& text) { ui().expectBox(infoBox(text)); }
    void expectCritical(const ui::TextMatch& text) { ui().expectBox(criticalBox(text)); }
};

// A data row of company 1234 in district 12, jurisdiction 701.
QStringList folio(const QString& number, const QString& folioNumber)
{
    return folioRow("|1234|" + number + "|12|701|" + folioNumber);
}

TEST_F(Xls2MdbRows, StoresEachColumnInItsLoadedForm)
{
    const QString p = book(withHeadings({
        folioRow("a|ab|  123456789012|1|70|12345||john   smith|addr one||||| legal x"),
        folioRow("Add|abcde|n-2|12|701|000000000000012345|123456789|o'hara"),
        folioRow(" A|1234|X1|12|702|99"),
        folioRow("|1234|X2|||  |987654321|pid only"),
        folioRow("d|1234|X3| 1|703|  55  | 42 ||" + QString(35, 'a') + "|||||b"),
    }));
    ui().expectIntake(ui::TextMatch::any(), true);
    EXPECT_TRUE(Xls2Mdb(p));
    EXPECT_EQ(verifyRows(), QStringList({
                                "A|AB  |1234567890|1 |70 |12345||JOHN   SMITH|ADDR ONE|||||LEGAL X",
                                "A|ABCD|n-2|12|701|000000000000012345|123456789|O'HARA||||||",
                                " |1234|X1|12|702|99||||||||",
                                " |1234|X2|  |   ||987654321|PID ONLY||||||",
                                "D|1234|X3| 1|703|55|42||" + QString(30, 'A') + "|||||B",
                            }));
    // The load keeps the last saved row current and leaves no clone filter behind.
    EXPECT_EQ(de().rsVerify().text("NUMBER"), "X3");
}

// The row with one cell changed.
QStringList with(QStringList row, int column, const QString& value)
{
    row[column] = value;
    return row;
}

struct RowsCase {
    const char* name;
    Rows rows;
    QStringList loaded;
    QString leftOut;        // the note naming rows left out, "" for none
};

TEST_F(Xls2MdbRows, FolioRowsAreReadToTheLastRowWithContent)
{
    const QStringList h = kMortgageHeadings;
    const QStringList blank;
    const QStringList nameIsHeading = with(folio("N2", "2"), 7, "NAME");
    const QStringList nameIsOtherHeading = with(folio("N2", "2"), 7, "ACD");
    const QStringList paddedHeading = with(folio("N2", "2"), 0, "ACD ");
    const QStringList outside = with(QStringList(15), 14, "stray");
    // Heading rows as clerks leave them: one heading retyped, two merged into
    // one cell, lower case, blanks, tabs and no-break spaces around the words.
    const QStringList retyped = with(h, 7, "OWNER NAME");
    const QStringList merged = with(with(h, 1, "MORTGAGE CO. MORTGAGE NUMBER"), 2, "");
    QStringList lower;
    for (const QString& heading : h)
        lower << heading.toLower();
    lower[7] = "owner name";
    QStringList spaced;
    for (const QString& heading : h)
        spaced << "\u00A0" + QString(heading).replace(' ', "\t") + "  ";
    QStringList halfRetyped = h;   // seven of fourteen still hold their heading
    for (int col = 0; col < 7; ++col)
        halfRetyped[col] = "X";
    QStringList mostlyData = folio("N2", "2");   // six cells hold their heading, the rest a folio
    for (int col : {7, 8, 9, 10, 11, 12})
        mostlyData[col] = h[col];
    const QStringList noBreakSpaces(14, "\u00A0");
    const QStringList tabs = {"\t", "\t\t", " \t ", "\u00A0\t", "\t", "\t", "\t", "\t", "\t", "\t", "\t", "\t", "\t", "\t"};
    const QString note = "Rows not loaded from the sheet \"Mortgage\": ";
    const std::vector<RowsCase> cases = {
        {"as the writer lays it out", {h, folio("N1", "1"), folio("N2", "2")}, {"N1", "N2"}, ""},
        {"empty rows inside the data", {h, folio("N1", "1"), blank, blank, folio("N2", "2"), folio("N3", "3")},
         {"N1", "N2", "N3"}, ""},
        {"heading, two empty rows, then data", {h, blank, blank, folio("N1", "1")}, {"N1"}, ""},
        {"a row of blanks is empty", {h, folio("N1", "1"), folioRow(" |    | |  |   "), blank, folio("N2", "2")},
         {"N1", "N2"}, ""},
        {"a data cell equal to its heading", {h, folio("N1", "1"), nameIsHeading, folio("N3", "3")},
         {"N1", "N2", "N3"}, ""},
        {"a cell equal to another column's heading", {h, nameIsOtherHeading}, {"N2"}, ""},
        {"a heading with a blank", {h, paddedHeading}, {"N2"}, ""},
        {"no heading row", {folio("N1", "1"), folio("N2", "2")}, {"N1", "N2"}, ""},
        {"heading repeated inside the data", {h, folio("N1", "1"), blank, h, folio("N2", "2")}, {"N1", "N2"},
         note + "row 4 repeats the heading row."},
        {"values right of the last column", {h, folio("N1", "1"), outside, blank, blank, outside},
         {"N1"}, note + "row 3 and row 6 have values only outside columns A to N."},
        {"headings only", {h}, {}, ""},
        {"a heading retyped in one cell", {retyped, folio("N1", "1")}, {"N1"}, ""},
        {"two headings merged into one cell", {merged, folio("N1", "1"), merged, folio("N2", "2")}, {"N1", "N2"},
         note + "row 3 repeats the heading row."},
        {"a heading repeated in lower case", {h, folio("N1", "1"), lower, folio("N2", "2")}, {"N1", "N2"},
         note + "row 3 repeats the heading row."},
        {"headings spaced with tabs and no-break spaces", {spaced, folio("N1", "1"), spaced}, {"N1"},
         note + "row 3 repeats the heading row."},
        {"half the headings in place", {halfRetyped, folio("N1", "1")}, {"N1"}, ""},
        {"fewer than half the headings in place", {h, mostlyData}, {"N2"}, ""},
        {"rows of no-break spaces and tabs are empty", {h, noBreakSpaces, folio("N1", "1"), tabs}, {"N1"}, ""},
    };
    for (const RowsCase& c : cases) {
        SCOPED_TRACE(c.name);
        const QString p = book(c.rows);
        if (c.loaded.isEmpty())
            expectCritical(kEmpty);
        RecordingSink list;
        EXPECT_TRUE(Xls2Mdb(p, list));
        EXPECT_EQ(numbers(), c.loaded);
        list.lines.removeAll(kEmpty);
        EXPECT_EQ(list.lines, c.leftOut.isEmpty() ? QStringList() : QStringList{c.leftOut});
        EXPECT_TRUE(ui().allExpectationsMet()) << ui().report().toStdString();
    }
    // Without the list the note is on the intake screen.
    ui().expectIntake(ui::containing("Line passed over: " + note + "row 4 repeats the heading row."), true);
    EXPECT_TRUE(Xls2Mdb(book({h, folio("N1", "1"), blank, h, folio("N2", "2")})));
    EXPECT_EQ(numbers(), QStringList({"N1", "N2"}));
}

TEST_F(Xls2MdbRows, OnlyTheFirstThreeWarningsAreListedAndCounted)
{
    const QString p = book(withHeadings({
        folioRow("X|1234|N1|12|701|1"),
        folioRow("|    |N2|12|701|2"),
        folioRow("|1234|1234567890123|12|701|3"),
        folioRow("|1234|N4||701|4"),
    }));
    expectInfo("INFORMATION: There was a total of 3 records NOT loaded.\r\n\r\n"
               " 3 records were not loaded for formatting reasons");
    RecordingSink list;
    EXPECT_TRUE(Xls2Mdb(p, list));
    EXPECT_EQ(list.lines.mid(0, 3),
              QStringList({"WARNING ( Invalid value in the Add/Change/Delete column ) :   Row:2\r\n"
                           " The column A (Add/Change/Delete) content is not valid. :X\r\n"
                           " \r\n"
                           " Valid values are 'A', 'C', 'D', or ' ' \r\n"
                           " 'A' - Add this mortgage\r\n"
                           " 'C' - Change this mortgage\r\n"
                           " 'D' - Delete/Remove this mortgage\r\n"
                           " ' ' - no change\r\n\r\n" + kNote,
                           "WARNING ( Mortgage Company # MISSING ) :   Row:3\r\n"
                           " The Mortgage Company is stored in column B and it is four characters.\r\n"
                           " The Mortgage Company identifies who pays for the property taxes\r\n\r\n" + kNote,
                           "WARNING ( Mortgage # TRUNCATED ) :   Row:4\r\n"
                           " Mortgage # on the spreadsheet:1234567890123\r\n"
                           " Mortgage # truncated to (12 char. MAX):123456789012\r\n\r\n" + kNote}));
    // Warned rows are stored all the same.
    EXPECT_EQ(verifyRows(), QStringList({
                                "X|1234|N1|12|701|1||||||||",
                                " |    |N2|12|701|2||||||||",
                                " |1234|123456789012|12|701|3||||||||",
                                " |1234|N4|  |701|4||||||||",
                            }));
}

struct WarningCase {
    const char* row;
    QString message;
};

TEST_F(Xls2MdbRows, EachWarningGoesToTheListWithItsText)
{
    const std::vector<WarningCase> cases = {
        {"|1234|N||701|5",
         "WARNING ( Collection District Code 'CD' is MISSING ) :   Row:2\r\n"
         " The Collection District Code is stored in column D and it is two digits.\r\n\r\n" + kNote},
        {"|1234|N|123|701|5",
         "WARNING ( Collection District Code 'CD' is too long ) :   Row:2\r\n"
         " Collection District Code on the spreadsheet:123\r\n"
         " Collection District Code truncated to (2 digits):12\r\n"
         " The Collection District Code is stored in column D and it is two digits.\r\n\r\n" + kNote},
        {"|1234|N|12||5",
         "WARNING ( Jurisdiction Code 'JUR' is MISSING ) :   Row:2\r\n"
         " The Jurisdiction Code is stored in column E and it is three digits.\r\n\r\n" + kNote},
        {"|1234|N|12|7011|5",
         "WARNING ( Jurisdiction Code 'JUR' is too long ) :   Row:2\r\n"
         " Jurisdiction Code on the spreadsheet:7011\r\n"
         " Jurisdiction Code truncated to (3 digits):701\r\n"
         " The Jurisdiction Code is stored in column E and it is three digits.\r\n\r\n" + kNote},
        {"|1234|N|12|701|1234567890123456789",
         "WARNING ( FOLIO # TRUNCATED ) :   Row:2\r\n"
         " FOLIO # on the spreadsheet:1234567890123456789\r\n"
         " FOLIO # truncated to (18 digits MAX):123456789012345678\r\n\r\n" + kNote},
        {"|1234|N|12|701|5|1234567890",
         "WARNING ( PID # TRUNCATED ) :   Row:2\r\n"
         " PID on the spreadsheet:1234567890\r\n"
         " PID truncated to (9 digits MAX):123456789\r\n\r\n" + kNote},
        {"|1234|N|12|701||| name |a1|a2|a3|a4|a5",
         "WARNING ( FOLIO # and PID # is MISSING ) :   Row:2\r\n"
         " The Folio # or PID # needs to be entered!\r\n\r\n"
         " on the spreadsheet: \r\n"
         "   Name( name ) \r\n"
         "   Address(a1 a2 a3 a4 a5)\r\n\r\n" + kNote},
    };
    for (const WarningCase& c : cases) {
        SCOPED_TRACE(c.row);
        const QString p = book(withHeadings({folioRow(c.row)}));
        expectInfo("INFORMATION: There was a total of 1 records NOT loaded.\r\n\r\n"
                   " 1 record was not loaded for formatting reasons");
        RecordingSink list;
        EXPECT_TRUE(Xls2Mdb(p, list));
        EXPECT_EQ(list.lines, QStringList({c.message, "INFORMATION: There was a total of 1 records NOT loaded.", "",
                                           " 1 record was not loaded for formatting reasons"}));
        EXPECT_EQ(list.printEnabled, 1);
        EXPECT_EQ(tableCount("VERIFY"), 1);
    }
}

// PID-only rows skip the district checks and match on company and PID.
TEST_F(Xls2MdbRows, DuplicateAndRejectMessagesNameTheRow)
{
    QStringList longLegal = folioRow("||N5");
    longLegal[13] = QString(250, 'L');
    const QString p = book(withHeadings({
        folioRow("|ABCD|N1|12|701|555"),
        folioRow("|abcd|N2|12|701|555"),                 // same key in other letter case
        folioRow("|WXYZ|N3|12|701|555"),                 // same folio, another company
        folioRow("|  1234 |N4||||| name|  a1 | |a3||a5|  legal  "),
        longLegal,
        folioRow("|1234|N6|12|701|1234567890123456789"),
        folioRow("|1234|N7|12|701|1234567890123456780"),  // stored cut to the same 18 digits: a repeat
        folioRow("|1234|P1|||  |77"),
        folioRow("|1234|P2|||   |77"),
        folioRow("|9999|P3||||77"),
        folioRow("|1234|P4|12|701||77"),                 // has a jurisdiction: keyed on the folio
    }));
    RecordingSink list;
    expectInfo("INFORMATION: There was a total of 6 records NOT loaded.\r\n"
               " 5 records were not loaded because they were duplicate or rejected folios\r\n"
               " 1 record was not loaded for formatting reasons");
    EXPECT_TRUE(Xls2Mdb(p, list));
    EXPECT_EQ(numbers(), QStringList({"N1", "N3", "N6", "P1", "P3", "P4"}));
    EXPECT_EQ(list.lines,
              QStringList({
                  "WARNING ( RECORD IGNORED ) DUPLICATE FOLIO NUMBER:   Row:3 Mort. Co:abcd CD:12 JUR:701 FOLIO:555 "
                  "(Most likely duplicate KEY violation)",
                  "RECORD REJECTED, NO Folio or PID! Row:5 Mort. Co:1234 Addr.:a1a3a5 Legal:legal",
                  ("RECORD REJECTED, NO Folio or PID! Row:6 Legal:" + QString(250, 'L')).left(200),
                  "WARNING ( FOLIO # TRUNCATED ) :   Row:7\r\n"
                  " FOLIO # on the spreadsheet:1234567890123456789\r\n"
                  " FOLIO # truncated to (18 digits MAX):123456789012345678\r\n\r\n" + kNote,
                  "WARNING ( RECORD IGNORED ) DUPLICATE FOLIO NUMBER:   Row:8 Mort. Co:1234 CD:12 JUR:701 "
                  "FOLIO:1234567890123456780 (Most likely duplicate KEY violation)",
                  "WARNING ( RECORD IGNORED ) DUPLICATE PID NUMBER:   Row:10 Mort. Co:1234 PID:77 ",
                  "INFORMATION: There was a total of 6 records NOT loaded.",
                  " 5 records were not loaded because they were duplicate or rejected folios",
                  " 1 record was not loaded for formatting reasons",
              }));
}

TEST_F(Xls2MdbRows, EmptySheetIsReportedAfterTheSummary)
{
    const QString p = book(withHeadings({folioRow("|1234|R1"), folioRow("|1234|R2")}));
    const QString summary = "INFORMATION: There was a total of 2 records NOT loaded.\r\n"
                            " 2 records were not loaded because they were duplicate or rejected folios\r\n";
    expectInfo(summary);
    expectCritical(kEmpty);
    RecordingSink list;
    EXPECT_TRUE(Xls2Mdb(p, list));
    EXPECT_EQ(list.lines, QStringList({"RECORD REJECTED, NO Folio or PID! Row:2 Mort. Co:1234",
                                       "RECORD REJECTED, NO Folio or PID! Row:3 Mort. Co:1234",
                                       "INFORMATION: There was a total of 2 records NOT loaded.",
                                       " 2 records were not loaded because they were duplicate or rejected folios", "",
                                       kEmpty}));
    EXPECT_EQ(list.printEnabled, 2);
}

// Everything the reader decided about the workbook is on one screen before
// anything is emptied or stored: Cancel (the default) leaves the tables as they
// were, Load stores what the screen showed.
TEST_F(Xls2MdbRows, TheCompanysLoadShowsWhatItDecidedOnOneScreenBeforeAnythingIsStored)
{
    addVerifyRow(" |1111|OLD|12|701|1");
    addRow("Jurisdiction", {"Jurisdiction_Code", "Jurisdiction_Name"}, {"799", "Old"});
    const QString name75 = QString(75, 'N');
    Book b;
    b.mortgage = withHeadings({
        folio("N1", "1"),
        folioRow("|1234|N2|12|701|2||" + name75),   // a value cut
        folio("N3", "1"),                           // a repeat of row 2
        folioRow("|1234|R4"),                       // no folio or PID
        kMortgageHeadings,                         // a heading repeated
        folioRow("|1234|N7|12|799|7"),              // a jurisdiction the code sheets lack
        folioRow("A|1234|P8||||123456789"),         // the tax office's PID-only record
    });
    addCodes(b, {{"12|NORTH"}, {"701|WESTPORT"}, {"12|701"}});
    const QString p = path("MortNo1.xlsx");
    writeBook(p, b);
    const QString shown = QStringList{
        "Value cut, row 3: NAME holds 75 characters; the list keeps 70, so it is stored cut. (as read \"" + name75 +
            "\", stored \"" + name75.left(70) + "\")",
        "Repeat, row 4: The row repeats the company, jurisdiction and folio of row 2. It is not loaded. "
        "(as read \"1234, 701, 1\", stored \"not loaded\")",
        "Line passed over, row 5: The row has no district, jurisdiction, folio or PID. It is not loaded.",
        "Tax office leaves out, row 7: The tax office would leave out mortgage N7, folio 7: jurisdiction 799 is not "
        "in the code table. It is loaded; correct it in the list before the workbook goes back.",
        "Line passed over: Rows not loaded from the sheet \"Mortgage\": row 6 repeats the heading row.",
    }.join('\n');

    ui().expectIntake(ui::TextMatch::exactly(shown), false);
    EXPECT_EQ(LoadVerificationWorkbook(p), LoadResult::Cancelled);
    EXPECT_EQ(numbers(), QStringList({"OLD"}));
    EXPECT_EQ(tableRows("SELECT * FROM Jurisdiction", {"Jurisdiction_Code"}), QStringList({"799"}));
    EXPECT_FALSE(xlBook.isOpen());

    ui().expectIntake(ui::TextMatch::exactly(shown), true);
    EXPECT_EQ(LoadVerificationWorkbook(p), LoadResult::Loaded);
    EXPECT_EQ(numbers(), QStringList({"N1", "N2", "N7", "P8"}));
    EXPECT_TRUE(ui().boxes().empty()) << ui().report().toStdString();
    EXPECT_TRUE(ui().clean()) << ui().report().toStdString();
}

TEST_F(Xls2MdbRows, PurgeEmptiesEveryTableItFills)
{
    addVerifyRow(" |1111|OLD|12|701|1");
    addCodes({{"99|Old"}, {"799|Old"}, {"99|799"}, {"799|9|#"}});
    // A filter left on a recordset must not keep its table from being emptied.
    de().rsCD_JUR().setFilter("Jurisdiction_Code = 'none'");

    const QString p = book(withHeadings({folio("N1", "1")}));
    ui().expectIntake(ui::containing("Tax office leaves out, row 2: "), true);
    EXPECT_TRUE(Xls2Mdb(p));
    EXPECT_EQ(numbers(), QStringList({"N1"}));
    for (const char* table : {"Fol_Mask", "Collection_District", "Jurisdiction", "CD_JUR"})
        EXPECT_EQ(tableCount(table), 0) << table;
    EXPECT_TRUE(de().rsVerify().isOpen());
}

} // namespace
} // namespace zarv::test
