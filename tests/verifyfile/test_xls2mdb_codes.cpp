// The workbook load, sheets 2 to 5 and failures: code tables, the first row of
// a code winning, folio lengths, and what an error leaves behind.
#include "verify_support.h"

#include "services/dataenvironment.h"

#include <QDate>

namespace zarv::test {
namespace {

using ui::Icon;

class Xls2MdbCodes : public DeTest {
protected:
    Book bookWithOneFolio()
    {
        Book b;
        b.mortgage.push_back(folioRow("|1234|N1||||123456789"));    // known by its PID alone
        return b;
    }
    QString save(const Book& b)
    {
        const QString p = path("MortNo2.xlsx");
        writeBook(p, b);
        return p;
    }
    void expectError(const ui::TextMatch& text)
    {
        ui().expectBox(criticalBox(text));
    }
    static QString year() { return QString::number(QDate::currentDate().year()); }
};

TEST_F(Xls2MdbCodes, FillsTheCodeTablesFirstRowOfACodeWinning)
{
    Book b = bookWithOneFolio();
    b.folioMask.insert(b.folioMask.end(), {
        {"701", "5", "###-##"},
        {"701", "9", "dropped"},
        {"702", "05", "##"},
        {"703", "123", "#"},
        {"704", "", "#"},
        {"705 ", "  12 ", "  mask  "},
        {"706", "18", ""},
    });
    b.districts.insert(b.districts.end(), {
        {"1", "One"},
        {"123", "  Twelve  "},
        {"1", "dropped"},
        {"", "No code"},
        {"ab", "Letters"},
        {"AB", "dropped: the same code"},
    });
    b.jurisdictions.insert(b.jurisdictions.end(), {
        {"7012", "Seven O One"},
        {"70", "Seventy"},
        {"701", "dropped"},
    });
    b.combos.insert(b.combos.end(), {
        {"12", "701"},
        {"12", "701"},
        {"1", "70"},
        {"12", "702"},
    });
    // Codes with quotes are stored and looked up literally.
    b.folioMask.insert(b.folioMask.end(), {{"7'1", "9", "#"}, {"7'1", "8", "dropped"}, {"' OR ''='", "7", "#"}});
    b.districts.insert(b.districts.end(), {{"1'", "Quote"}, {"1'", "dropped"}});
    b.jurisdictions.insert(b.jurisdictions.end(), {{"7'1", "O'Neill"}, {"7'1", "dropped"}});
    b.combos.insert(b.combos.end(), {{"1'", "7'1"}, {"1'", "7'1"}, {"12", "7'1"}});
    EXPECT_TRUE(Xls2Mdb(save(b)));

    const QString y = year();
    EXPECT_EQ(storedRows("Fol_Mask"),
              QStringList({"701|" + y + "|5|###-##", "702|" + y + "|5|##", "703|" + y + "|23|#", "704|" + y + "|0|#",
                           "705 |" + y + "|12|mask", "706|" + y + "|18|", "7'1|" + y + "|9|#",
                           "' OR ''='|" + y + "|7|#"}));
    EXPECT_EQ(storedRows("Collection_District"),
              QStringList({"1 |One", "12|Twelve", "  |No code", "ab|Letters", "1'|Quote"}));
    EXPECT_EQ(storedRows("Jurisdiction"), QStringList({"701|Seven O One", "70 |Seventy", "7'1|O'Neill"}));
    EXPECT_EQ(storedRows("CD_JUR"), QStringList({"12|701", "1 |70 ", "12|702", "1'|7'1", "12|7'1"}));

    // rsCD_JUR is left filtered on the last pair it looked up; the others are not.
    EXPECT_FALSE(de().rsCD_JUR().filter().isEmpty());
    EXPECT_EQ(de().rsCD_JUR().recordCount(), 1);
    EXPECT_TRUE(de().rsFol_Mask().filter().isEmpty());
    // The workbook is closed.
    EXPECT_FALSE(xlBook.isOpen());
    EXPECT_EQ(xlSheet, nullptr);
}

TEST_F(Xls2MdbCodes, CodeSheetsAreReadToTheirLastRowWithContent)
{
    Book b = bookWithOneFolio();
    // Empty rows are passed over; a row with half its cells or more holding
    // their headings (in any letter case) repeats the heading row and is left
    // out, and said; a code equal to another column's heading is a code.
    b.districts.insert(b.districts.end(), {{"01", "One"}, {}, {"02", "Two"}, {"collection district code", "x"}, {},
                                           {}, {"03", "After two empty rows"}, kDistrictHeadings,
                                           {"COLLECTION DISTRICT NAME", "y"}});
    b.jurisdictions = {{"701", "Before the heading"}, kJurisdictionHeadings, {}, {}, {}, {"702", "After"}};
    RecordingSink list;
    EXPECT_TRUE(Xls2Mdb(save(b), list));
    EXPECT_EQ(storedRows("Collection_District", {"Collection_District_Code"}),
              QStringList({"01", "02", "03", "CO"}));
    EXPECT_EQ(storedRows("Jurisdiction", {"Jurisdiction_Code"}), QStringList({"701", "702"}));
    EXPECT_EQ(list.lines,
              QStringList({"Rows not loaded from the sheet \"Collection District\": row 5 and row 9 repeat the "
                           "heading row."}));
}

TEST_F(Xls2MdbCodes, SheetsAreFoundByTheirNamesElseByPosition)
{
    Book b = bookWithOneFolio();
    addCodes(b, {{"01|District"}, {"701|Jurisdiction"}, {"01|701"}, {"701|10|###"}});
    auto tables = [] {
        return QStringList{storedRows("VERIFY", {"NUMBER"}).join(","),
                           storedRows("Fol_Mask", {"JUR_CD", "FOLIO_MASK"}).join(","),
                           storedRows("Collection_District").join(","), storedRows("Jurisdiction").join(","),
                           storedRows("CD_JUR").join(",")};
    };
    const QStringList expected = {"N1", "701|###", "01|District", "701|Jurisdiction", "01|701"};
    // A clerk moved the sheets about; their names still say which is which.
    for (const std::vector<int>& order : {std::vector<int>{0, 1, 3, 2, 4}, std::vector<int>{4, 3, 2, 1, 0}}) {
        b.order = order;
        ASSERT_TRUE(Xls2Mdb(save(b)));
        EXPECT_EQ(tables(), expected);
    }
    // Sheets without their names are taken by position.
    b.order = {0, 1, 2, 3, 4};
    b.named = false;
    ASSERT_TRUE(Xls2Mdb(save(b)));
    EXPECT_EQ(tables(), expected);
}

struct ErrorCase {
    const char* name;
    std::function<void(Book&)> change;
    QString cause;          // what the critical message starts with
    QString step;           // the step and number it ends with
};

TEST_F(Xls2MdbCodes, AnErrorEndsTheLoadWithItsStepAndResultFalse)
{
    const std::vector<ErrorCase> cases = {
        {"fewer than five worksheets", [](Book& b) { b.sheets = 3; }, "The workbook ",
         "\r\n(load step 202)"},
        {"only a first worksheet", [](Book& b) { b.sheets = 1; }, "", "\r\n(load step 143)"},
        {"folio length not a number, table empty",
         [](Book& b) { b.folioMask.push_back({"701", "AB", "#"}); }, "Type mismatch",
         "\r\n(load step 173, row "},
        {"folio length not a number, after a lookup",
         [](Book& b) { b.folioMask.insert(b.folioMask.end(), {{"701", "9", "#"}, {"702", "9x", "#"}}); },
         "Type mismatch", "\r\n(load step 158, row "},
    };
    for (const ErrorCase& c : cases) {
        SCOPED_TRACE(c.name);
        // The folio list of an earlier load stays: the error is met while the
        // workbook is read through, before anything is emptied.
        addVerifyRow(" |1111|OLD|12|701|1");
        Book b = bookWithOneFolio();
        c.change(b);
        const QString p = save(b);
        expectError(ui::containing(c.step));
        EXPECT_FALSE(Xls2Mdb(p));
        EXPECT_TRUE(ui().allExpectationsMet()) << ui().report().toStdString();
        ASSERT_FALSE(ui().boxes().empty());
        const QString shown = ui().boxes().back().prompt;
        EXPECT_TRUE(shown.startsWith(c.cause) && shown.contains(c.step)) << shown.toStdString();
        EXPECT_EQ(tableRows("SELECT * FROM VERIFY", {"NUMBER"}), QStringList({"OLD"}));
        de().Zarv.execute("DELETE FROM VERIFY");
        EXPECT_FALSE(xlBook.isOpen());
        EXPECT_FALSE(de().Zarv.inTransaction());
    }
}

TEST_F(Xls2MdbCodes, AFileThatIsNoWorkbookStopsAtTheFirstSheet)
{
    expectError(ui::containing("\r\n(load step 82)"));
    RecordingSink list;
    EXPECT_FALSE(Xls2Mdb(path("missing.xlsx"), list));
    ASSERT_EQ(list.lines.size(), 1);
    EXPECT_TRUE(list.lines[0].endsWith("\r\n(load step 82)"));
    EXPECT_TRUE(list.lines[0].section(QStringLiteral("\r\n"), 0, 0).contains("missing.xlsx"));   // the cause first
    EXPECT_EQ(list.printEnabled, 1);
}

TEST_F(Xls2MdbCodes, ARefusedRowIsDroppedAndTheRowsBeforeItStay)
{
    // A store that refuses a second row of the same mortgage number.
    de().Zarv.execute("CREATE UNIQUE INDEX VERIFY_Test_Number ON VERIFY (NUMBER)");
    // The refused row comes early, and after many rows (past the points where
    // the rows already stored are committed).
    for (int refused : {2, 1300}) {
        SCOPED_TRACE(refused);
        Book b;
        for (int i = 1; i < refused; ++i)
            b.mortgage.push_back(folioRow(QString("|1234|N%1|12|701|%1").arg(i)));
        b.mortgage.push_back(folioRow(QString("|1234|N1|12|701|%1").arg(refused)));
        b.mortgage.push_back(folioRow("|1234|AFTER|12|701|99999"));
        expectError(ui::containing(QString("\r\n(load step 128, row %1 of the sheet \"Mortgage\")").arg(refused + 1)));
        RecordingSink list;
        EXPECT_FALSE(Xls2Mdb(save(b), list));
        EXPECT_FALSE(de().Zarv.inTransaction());
        EXPECT_FALSE(de().rsVerify().editPending());
        EXPECT_EQ(de().rsVerify().recordCount(), refused - 1);
        de().flush();
        const QStringList stored = storedRows("VERIFY", {"NUMBER"});
        ASSERT_EQ(stored.size(), refused - 1);
        EXPECT_EQ(stored.first(), "N1");
        EXPECT_EQ(stored.last(), QString("N%1").arg(refused - 1));
        EXPECT_EQ(list.printEnabled, 1);
        EXPECT_TRUE(ui().allExpectationsMet()) << ui().report().toStdString();
    }
}

} // namespace
} // namespace zarv::test
