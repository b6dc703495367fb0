// Loading the payment data file: sections, markers, group values, payment
// fields, repeats, the year on line 1 and the failures the user is told of.
#include "payfile_support.h"

#include <string_view>

#include "services/sharedstate.h"

#include <QDate>
#include <QDir>

namespace {

QString thisYear()
{
    return QString::number(QDate::currentDate().year());
}

class LoadTest : public PayFileTest {
protected:
    // Header, one mask and the start of a group with the given agency.
    static QStringList start(const QString& agency = QStringLiteral("0001"))
    {
        return {"ZARV DATA FOR YEAR 2024", "", "FOLIO MASK INFORMATION", "70109###-###-###", "",
                "PAYMENT GROUP INFORMATION", "Group #,0001", "Agency #," + agency, "",
                "PAYMENT DETAIL INFORMATION", kPaymentHeading};
    }

    static void expectEmpty(std::initializer_list<const char*> tables = {"Detail", "\"Group\""})
    {
        for (const char* table : tables)
            EXPECT_TRUE(rowsOf(QStringLiteral("SELECT * FROM ") + QLatin1String(table)).empty()) << table;
    }

    // A refusal: one plain box under the program's title, naming what is wrong
    // (and its line), and nothing of the file in the tables.
    void expectRefusal(const ui::TextMatch& naming)
    {
        ui().expectBox(
            ExpectedBox{naming, Answer::OK, Icon::Critical, ui::Buttons::OK, ui::UiServices::appTitle()});
    }
    void expectNothingLoaded()
    {
        ASSERT_FALSE(ui().boxes().empty());
        EXPECT_TRUE(ui().boxes().back().prompt.endsWith(QStringLiteral("\n\nNothing was loaded.")))
            << ui().boxes().back().prompt.toStdString();
        EXPECT_FALSE(ui().boxes().back().prompt.contains(QStringLiteral("Unexpected error")));
        EXPECT_TRUE(ui().boxes().back().prompt.contains(QStringLiteral(" cannot be loaded.\n\n")))
            << "the refusal names the file";
        expectEmpty();
    }
    // The intake screen naming values longer than their columns, answered.
    void expectCuts(const QString& naming, Answer answer = Answer::Yes)
    {
        ui().expectIntake(ui::containing(naming), answer == Answer::Yes);
    }
    // The clerk loads a file whose repeats the intake screen names.
    void expectRepeats() { ui().expectIntake(ui::containing(QStringLiteral("Repeat, line ")), true); }
};

TEST_F(LoadTest, MissingOrEmptyFileIsFalseWithoutAWordAndEmptiesTheTables)
{
    addMask("701", 9, "###-###-###");
    addGroup("0001", "0001");
    addPayment("0001", {{"NAME", "OLD"}});

    EXPECT_FALSE(Csv2Mdb(path("nothere.csv")));
    EXPECT_FALSE(Csv2Mdb(writeFile("empty.csv", QByteArray())));
    EXPECT_FALSE(Csv2Mdb(folder()));   // a folder is no file
    expectEmpty({"Detail", "\"Group\"", "Fol_Mask"});
}

// A whole file: each payment's fields follow their rules (upper case, two-digit
// districts, folios of 18 digits and in their mask's form), each group is
// counted from its payments.
TEST_F(LoadTest, ReadsAWholeFileAndLeavesTheScreensTheirRows)
{
    QStringList lines = start("0001");
    lines << "#m1,owner a,5,701,#123-456-789,150.00,b,150.00,0.00,0.00,-25.00,LOT 1"
          << "#M2,OWNER B,02,701,#1,25.50,B,30.00,4.50,0.00,0.00," << "" << ""
          << "PAYMENT GROUP INFORMATION" << "Group #,0002" << "Agency #,0002" << ""
          << "PAYMENT DETAIL INFORMATION" << kPaymentHeading
          << "#M3,OWNER C,03,799,#42,10.00,C,10.00,0.00,0.00,0.00,X" << "" << "";
    ASSERT_TRUE(load(lines));
    EXPECT_FALSE(DupFoliosFound);

    const auto groups = rowsOf(QStringLiteral("SELECT * FROM \"Group\""));
    ASSERT_EQ(groups.size(), 2u);
    const QStringList fields{"FOLIO_CNT", "TOT_PAY", "SORTORDER", "ACD", "CREATE"};
    EXPECT_EQ(fieldsOf(groups[0], fields), QStringList({"2", "175.5", "F", "", ""}));
    EXPECT_EQ(fieldsOf(groups[1], fields), QStringList({"1", "10", "F", "", ""}));

    EXPECT_EQ(onlyRowOf("SELECT * FROM Detail WHERE NUMBER = 'M1'",
                        {"MORTCO", "NAME", "CD", "JUR", "FOLIO", "PAYMENT", "ABC", "GROSS_TAX", "DELQ", "LEGAL"}),
              QStringList({"0001", "OWNER A", "05", "701", "000000000123456789", "150", "B", "150", "-25", "LOT 1"}));
    EXPECT_EQ(columnOf("SELECT FOLIO_DISP FROM Detail ORDER BY NUMBER", "FOLIO_DISP"),
              QStringList({"123-456-789", "000-000-001", "000000000000000042  "}));
    EXPECT_EQ(columnOf("SELECT Year FROM ZarvSystem", "Year"), QStringList{"2024"});

    // The hand-over: groups on their first row, payments still on the last agency.
    EXPECT_EQ(de().rsGroup().text("GROUP"), "0001");
    EXPECT_EQ(de().rsDetail().filter(), "MORTCO = '0002'");
    EXPECT_EQ(de().rsDetail().recordCount(), 1);
}

TEST_F(LoadTest, EmptiesWhatTheTablesHeldBefore)
{
    addMask("705", 9, "#########");
    addGroup("0009", "0009");
    addPayment("0009", {{"NAME", "OLD"}});
    de().rsDetail().setFilter("MORTCO = '0008'");   // a list showing no payments: the load empties the table all the same

    ASSERT_TRUE(load(start("0001") << "#M1,NEW,01,701,#1,1.00,A,1.00,0,0,0,"));
    EXPECT_EQ(columnOf("SELECT NAME FROM Detail", "NAME"), QStringList{"NEW"});
    EXPECT_EQ(columnOf("SELECT MORTCO FROM \"Group\"", "MORTCO"), QStringList{"0001"});
    EXPECT_EQ(columnOf("SELECT JUR_CD FROM Fol_Mask", "JUR_CD"), QStringList{"701"});
}

// ---------------------------------------------------------------- line 1 and the year

struct YearCase {
    const char* name;
    QString line1;
    bool result;
    QString systemYear;   // ZarvSystem.Year afterwards ("before" when untouched)
    QString maskYear;     // YEAR of the mask row (the fallback row when refused)
    QString refused;      // the year the message names, when refused
};

class LoadYearTest : public LoadTest, public ::testing::WithParamInterface<YearCase> {};

TEST_P(LoadYearTest, TakesTheYearFromAValidHeaderOnly)
{
    const YearCase& c = GetParam();
    addRow(de().rsZarvSystem(), {{"Year", "before"}});
    if (!c.refused.isNull()) {
        // The refusal names the file first.
        ui().expectBox(ExpectedBox{ui::containing(QDir::toNativeSeparators(path(QStringLiteral("Zarvdata.csv"))) +
                                                  QStringLiteral(" cannot be loaded.\n\n") + YearRefusedMessage(c.refused)),
                                   Answer::OK, Icon::Critical, ui::Buttons::OK, QStringLiteral("ZARV Data")});
    }
    QStringList lines = start();
    lines[0] = c.line1;
    EXPECT_EQ(load(lines), c.result);
    EXPECT_EQ(columnOf("SELECT Year FROM ZarvSystem", "Year"), QStringList{c.systemYear});
    EXPECT_EQ(columnOf("SELECT YEAR FROM Fol_Mask", "YEAR"), QStringList{c.maskYear});
    if (!c.refused.isNull()) {
        EXPECT_EQ(columnOf("SELECT FOLIO_MASK FROM Fol_Mask", "FOLIO_MASK"), QStringList{"LOST THE FOLIO MASKS"});
        EXPECT_TRUE(rowsOf("SELECT * FROM \"Group\"").empty());
    }
}

const QString kNextYear = QString::number(QDate::currentDate().year() + 1);
const QString kYearAfter = QString::number(QDate::currentDate().year() + 2);

INSTANTIATE_TEST_SUITE_P(
    Years, LoadYearTest,
    ::testing::Values(
        YearCase{"InWindow", "ZARV DATA FOR YEAR 2019", true, "2019", "2019", {}},
        YearCase{"FirstYear", "ZARV DATA FOR YEAR 2000", true, "2000", "2000", {}},
        YearCase{"NextYear", "ZARV DATA FOR YEAR " + kNextYear, true, kNextYear, kNextYear, {}},
        YearCase{"SpreadsheetCommas", "ZARV DATA FOR YEAR 2021,,,,", true, "2021", "2021", {}},
        YearCase{"TooOld", "ZARV DATA FOR YEAR 1999", false, "before", thisYear(), "1999"},
        YearCase{"TooNew", "ZARV DATA FOR YEAR " + kYearAfter, false, "before", thisYear(), kYearAfter},
        YearCase{"NoYear", "ZARV DATA FOR YEAR ", false, "before", thisYear(), ""},
        YearCase{"ThreeDigits", "ZARV DATA FOR YEAR 201", false, "before", thisYear(), "201"},
        YearCase{"QuotedAndPadded", "\"ZARV DATA FOR YEAR 2019\",,,", true, "2019", "2019", {}},
        YearCase{"Utf8Mark", "\u00EF\u00BB\u00BFZARV DATA FOR YEAR 2019", true, "2019", "2019", {}}),
    [](const auto& info) { return std::string(info.param.name); });

// Without its header on line 1 the file is not read at all: a file that lost
// the line (it starts at the mask section) would lose its masks and year.
TEST_F(LoadTest, AFileWhoseFirstLineIsNotTheHeaderIsRefused)
{
    addRow(de().rsZarvSystem(), {{"Year", "before"}});
    for (const char* line1 : {"FOLIO MASK INFORMATION", "zarv data for year 2019", "", "name,amount",
                              "ZARV DATA FOR YEAR2019", " ZARV DATA FOR YEAR 2019"}) {
        QStringList lines = start();
        lines[0] = QLatin1String(line1);
        // Blank lines before the header are passed over.
        const bool blank = !*line1;
        expectRefusal(ui::containing(
            QStringLiteral("Line %1: The file does not begin with the payment file's header line "
                           "\"ZARV DATA FOR YEAR YYYY\" and its year; its first line reads \"%2\".")
                .arg(blank ? 3 : 1)
                .arg(QLatin1String(blank ? "FOLIO MASK INFORMATION" : line1))));
        EXPECT_FALSE(load(lines << "#M1,N,01,701,#1,1,A,0,0,0,0,")) << line1;
        expectNothingLoaded();
        EXPECT_TRUE(rowsOf("SELECT * FROM Fol_Mask").empty());
        EXPECT_EQ(columnOf("SELECT Year FROM ZarvSystem", "Year"), QStringList{"before"});
    }
}

TEST_F(LoadTest, ALaterHeaderSetsTheYearOfTheMasksAfterItAndIgnoresLinesUntilTheNextMarker)
{
    ASSERT_TRUE(load({"ZARV DATA FOR YEAR 2019", "", "FOLIO MASK INFORMATION", "70109#########",
                      "ZARV DATA FOR YEAR 2021", "70209#########",   // ignored: header section
                      "FOLIO MASK INFORMATION", "70309#########", "ZARV DATA FOR YEAR 1999",
                      "FOLIO MASK INFORMATION", "70409#########"}));
    EXPECT_EQ(columnOf("SELECT JUR_CD FROM Fol_Mask", "JUR_CD"), QStringList({"701", "703", "704"}));
    EXPECT_EQ(columnOf("SELECT YEAR FROM Fol_Mask", "YEAR"), QStringList({"2019", "2021", "2021"}));
    EXPECT_EQ(columnOf("SELECT Year FROM ZarvSystem", "Year"), QStringList{"2019"});
    EXPECT_TRUE(rowsOf("SELECT * FROM \"Group\"").empty());   // masks and no group load
}

// ---------------------------------------------------------------- masks and markers

TEST_F(LoadTest, MaskLinesFirstOneWinsAndCommasBetweenThePartsAreAccepted)
{
    // The last mask has fewer places than its length: the load says so.
    ui().expectBox(ExpectedBox{ui::containing(QStringLiteral("Jurisdiction 705: 3######### (12 digits)")),
                               Answer::OK, Icon::Information, ui::Buttons::OK,
                                   QStringLiteral("ZARV Data")});
    ASSERT_TRUE(load({"ZARV DATA FOR YEAR 2024", "", "FOLIO MASK INFORMATION", "70109###-###-###",
                      "70112############",           // same jurisdiction: ignored
                      "702,12,####.####.####,,,",    // parts separated by commas
                      "70310NO MASK",                // no "#": nothing stored
                      "70418  ##################  ", // mask trimmed
                      "705123#########"}));          // length "12", mask "3#########"
    const auto masks = rowsOf("SELECT * FROM Fol_Mask");
    const QStringList want[] = {{"701", "9", "###-###-###", "2024"},
                                {"702", "12", "####.####.####", "2024"},
                                {"704", "18", "##################", "2024"},
                                {"705", "12", "3#########", "2024"}};
    ASSERT_EQ(masks.size(), std::size(want));
    for (size_t i = 0; i < masks.size(); ++i)
        EXPECT_EQ(fieldsOf(masks[i], {"JUR_CD", "FOLIO_LEN", "FOLIO_MASK", "YEAR"}), want[i]);
}

// ---------------------------------------------------------------- groups

TEST_F(LoadTest, GroupValuesAreTakenByPositionAndWidthAndCleaned)
{
    expectCuts("Value cut, line 8: CONTACT is longer than the program can keep and will be cut. (as read \"a "
               "contact person whose name runs on\", stored \"A CONTACT PERSON WHOSE NA\")\nValue cut, line 9: CONT_PHONE is longer than the program can keep and will be cut. (as read \"(555) 123-4567 ext 9\", stored \"(555) 123-456\")");
    ASSERT_TRUE(load({"ZARV DATA FOR YEAR 2024", "PAYMENT GROUP INFORMATION", "Group #,1,,,,", "Agency #,ab",
                      "Payment Due Date,2024-06-30,,", "Name1:,owner a, owner b,,,",
                      "Name2:,\"Quoted\" name's", "Contact Person:,a contact person whose name runs on",
                      "Contact Phone Number:,(555) 123-4567 ext 9", "Address1:,  1 main st,",
                      "Address6:,x", "Address7:,not a label", "Number of Payment records,99",
                      "Payment Amount,12.00", "Name1 :,not the label either"}));
    const auto g = rowsOf("SELECT * FROM \"Group\"");
    ASSERT_EQ(g.size(), 1u);
    const QString shown = ui().intakes().back().lines().join(u'\n');
    EXPECT_TRUE(shown.contains("Stated count, line 13: Group 0001, agency 00AB states 99 payments; its "
                               "payment lines hold 0.")) << shown.toStdString();
    EXPECT_TRUE(shown.contains("Stated count, line 14: Group 0001, agency 00AB states a total of 12.00; "
                               "its 0 payment lines add up to 0.00."));
    // The count and total are recounted, not read.
    EXPECT_EQ(fieldsOf(g[0], {"GROUP", "MORTCO", "DUEDATE", "NAME1", "NAME2", "CONTACT", "CONT_PHONE", "ADDR1",
                              "ADDR6", "FOLIO_CNT", "TOT_PAY"}),
              QStringList({"0001", "00AB", "2024-06-30", "OWNER A, OWNER B", "QUOTED NAMES",
                           "A CONTACT PERSON WHOSE NA", "(555) 123-456", "1 MAIN ST", "X", "0", "0"}));
}

TEST_F(LoadTest, AnEmptyOrMissingAgencyNumberIsFourZerosBeforeAnySave)
{
    expectCuts("Value cut, line 4: GROUP is longer than the program can keep and will be cut. (as read \"12345\", stored \"1234\")");
    ASSERT_TRUE(load({"ZARV DATA FOR YEAR 2024", "PAYMENT GROUP INFORMATION", "Agency #,", "Group #,12345"}));
    EXPECT_EQ(columnOf("SELECT MORTCO FROM \"Group\"", "MORTCO"), QStringList{"0000"});
    EXPECT_EQ(columnOf("SELECT \"GROUP\" FROM \"Group\"", "GROUP"), QStringList{"1234"});

    // A section without an Agency # line: the same, as the table holds it and
    // as the screens show it, before any save.
    ASSERT_TRUE(load({"ZARV DATA FOR YEAR 2024", "PAYMENT GROUP INFORMATION", "Group #,7", "",
                      "PAYMENT DETAIL INFORMATION", "#M1,N,01,701,#1,1,A,0,0,0,0,"}));
    EXPECT_EQ(columnOf("SELECT MORTCO FROM \"Group\"", "MORTCO"), QStringList{"0000"});
    EXPECT_EQ(columnOf("SELECT MORTCO FROM Detail", "MORTCO"), QStringList{"0000"});
    de().rsGroup().moveFirst();
    EXPECT_EQ(de().rsGroup().text(QStringLiteral("MORTCO")), QStringLiteral("0000"));
}

TEST_F(LoadTest, FileIdsNumberTheGroupsInFileOrder)
{
    QStringList lines{"ZARV DATA FOR YEAR 2024"};
    for (int i = 1; i <= 12; ++i)
        lines << "PAYMENT GROUP INFORMATION" << QStringLiteral("Agency #,%1").arg(i);
    ASSERT_TRUE(load(lines));
    const QStringList ids = columnOf("SELECT FILE_ID FROM \"Group\"", "FILE_ID");
    ASSERT_EQ(ids.size(), 12);
    EXPECT_EQ(ids.front(), "001");
    EXPECT_EQ(ids.at(9), "010");
    EXPECT_EQ(ids.back(), "012");
}

// Two sections for one agency: each payment keeps its section (FILE_ID), each
// group is counted over its agency's payments read so far, and a payment of
// the second that repeats one of the first is a repeat. The save writes each
// payment once, under its own section, so the file reads back the same.
TEST_F(LoadTest, AnAgencySplitOverSectionsLoadsAndSavesEachPaymentUnderItsSection)
{
    const auto section = [](const char* group, const char* agency) {
        return QStringList{"", "", "PAYMENT GROUP INFORMATION", QStringLiteral("Group #,%1").arg(group),
                           QStringLiteral("Agency #,%1").arg(agency), "", "PAYMENT DETAIL INFORMATION",
                           kPaymentHeading};
    };
    QStringList lines = start("0007") << "#M1,A,01,701,#1,10.00,A,10.00,0.00,0.00,0.00,";
    lines << section("0002", "0008") << "#M2,B,01,701,#2,5.00,A,5.00,0.00,0.00,0.00,";
    lines << section("0003", "0007") << "#M3,C,01,701,#3,2.50,A,2.50,0.00,0.00,0.00,";
    lines << section("0004", "0007");   // no payments of its own
    ASSERT_TRUE(load(lines));
    EXPECT_FALSE(DupFoliosFound);
    EXPECT_EQ(columnOf("SELECT FOLIO_CNT FROM \"Group\"", "FOLIO_CNT"), QStringList({"1", "1", "2", "2"}));
    EXPECT_EQ(columnOf("SELECT TOT_PAY FROM \"Group\"", "TOT_PAY"), QStringList({"10", "5", "12.5", "12.5"}));
    EXPECT_EQ(columnOf("SELECT FILE_ID FROM Detail ORDER BY NUMBER", "FILE_ID"), QStringList({"001", "002", "003"}));

    const QStringList first = crlfLines(save());
    ASSERT_TRUE(Csv2Mdb(path("Saved.csv")));
    EXPECT_EQ(crlfLines(save()), first);

    expectRepeats();
    ASSERT_TRUE(load(start("0007") << "#M1,A,01,701,#1,10.00,A,10,0,0,0," << section("0002", "7")
                                   << "#M9,a,1,701,#000-000-001,1.00,A,1,0,0,0,"));
    EXPECT_TRUE(DupFoliosFound);
    EXPECT_EQ(DupFolios[0][dfNumber].toString(), "M9");
}

// ---------------------------------------------------------------- payment lines

struct FieldCase {
    const char* line;
    const char* field;
    QVariant want;
    const char* cut = nullptr;   // the value as read, when it is longer than its column
};

TEST_F(LoadTest, FieldRulesOneByOne)
{
    const FieldCase cases[] = {
        {"#M1,N,01,701,#1,1,x,0,0,0,0,", "ABC", "A"},
        {"#M1,N,01,701,#1,1,,0,0,0,0,", "ABC", "A"},
        {"#M1,N,01,701,#1,1,c,0,0,0,0,", "ABC", "C"},
        {"#M1,N,01,701,#1,1, b ,0,0,0,0,", "ABC", "B"},
        {"#M1,N,01,701,#1,1,bc,0,0,0,0,", "ABC", "B"},
        {"##M1,N,01,701,#1,1,A,0,0,0,0,", "NUMBER", "#M1"},
        {"M1,N,01,701,#1,1,A,0,0,0,0,", "NUMBER", "M1"},
        {"#ABCDEFGHIJKLMNO,N,01,701,#1,1,A,0,0,0,0,", "NUMBER", "ABCDEFGHIJKL", "ABCDEFGHIJKLMNO"},
        {"#M1,N,123,701,#1,1,A,0,0,0,0,", "CD", "23", "123"},
        {"#M1,N,001,701,#1,1,A,0,0,0,0,", "CD", "01"},
        {"#M1,N,,701,#1,1,A,0,0,0,0,", "CD", "0"},
        {"#M1,N,01,7011,#1,1,A,0,0,0,0,", "JUR", "701", "7011"},
        {"#M1,N,01,701,#12a3 4-5,1,A,0,0,0,0,", "FOLIO", "000000000000012345"},
        {"#M1,N,01,701,#,1,A,0,0,0,0,", "FOLIO", "000000000000000000"},
        {"#M1,N,01,799,#1234567890123456789012,1,A,0,0,0,0,", "FOLIO", "567890123456789012", "#1234567890123456789012"},
        {"#M1,N,01,799,#0012345678901234567890,1,A,0,0,0,0,", "FOLIO", "345678901234567890", "#0012345678901234567890"},
        {"#M1,N,01,799,#0000-123456789012345678,1,A,0,0,0,0,", "FOLIO", "123456789012345678"},
        {"#M1,N,01,701,#1, 12.5 ,A,0,0,0,0,", "PAYMENT", 12.5},
        {"#M1,N,01,701,#1,1e3,A,0,0,0,0,", "PAYMENT", 1000.0},
        {"#M1,N,01,701,#1,1,A,0,0,0,0,LOT 1, PLAN 2", "LEGAL", "LOT 1 PLAN 2"},   // shown as extra fields
        {"#M1,N,01,701,#1,1,A,0,0,0,0,ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789", "LEGAL", "ABCDEFGHIJKLMNOPQRSTUVWXYZ012345",
         "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789"},
        {"#M1,N,01,701,#1,1,A,0,0,0,0,lower case", "LEGAL", "lower case"},
        {"#M1,N,01,701", "FOLIO", "000000000000000000"},
        {"#M1,N,01,701", "ABC", "A"},
        {"#M1,\"O'BRIEN, J\",01,701,#1,1,A,0,0,0,0,", "NAME", "OBRIEN J"},
        {"#M1,\"O'BRIEN, J\",01,701,#1,1,A,0,0,0,0,", "CD", "01"},
        {"#M1, owner ,01,701,#1,1,A,0,0,0,0, LOT 1 ", "NAME", "OWNER"},
        {"# M1 ,N,01,701,#1,1,A,0,0,0,0,", "NUMBER", "M1"},
        {"#M1,abcdefghijklmnopqrstuvwxyz0123,01,701,#1,1,A,0,0,0,0,", "NAME", "ABCDEFGHIJKLMNOPQRSTUVWXY",
         "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123"},
        {"#µm1,µ ƒ ÿ é,01,701,#1,1,A,0,0,0,0,", "NAME", "µ ƒ Ÿ É"},
    };
    for (const FieldCase& c : cases) {
        if (c.cut) {
            expectCuts(QStringLiteral("Value cut, line 12: %1 is longer than the program can keep and will be cut. (as read \"%2\", stored \"%3\")")
                           .arg(QLatin1String(c.field), QLatin1String(c.cut), c.want.toString()));
        }
        if (std::string_view(c.line).find(", PLAN") != std::string_view::npos)
            ui().expectIntake(ui::containing("Extra fields, line 12: The line holds 13 fields where a payment has "
                                             "12; only the legal description can have taken the commas"), true);
        ASSERT_TRUE(load(start() << QString::fromUtf8(c.line))) << c.line;
        EXPECT_EQ(onlyRowOf("SELECT * FROM Detail", {QString::fromLatin1(c.field)}), QStringList{c.want.toString()})
            << c.line;
    }
}

TEST_F(LoadTest, APaymentReadBeforeAnyMaskShowsTheDefaultFolio)
{
    ASSERT_TRUE(load({"ZARV DATA FOR YEAR 2024", "PAYMENT GROUP INFORMATION", "Agency #,1",
                      "PAYMENT DETAIL INFORMATION", "#M1,N,01,701,#123456789,1,A,0,0,0,0,", "FOLIO MASK INFORMATION",
                      "70109###-###-###", "PAYMENT DETAIL INFORMATION", "#M2,N2,01,701,#123456789,1,A,0,0,0,0,"}));
    EXPECT_EQ(columnOf("SELECT FOLIO_DISP FROM Detail ORDER BY NUMBER", "FOLIO_DISP"),
              QStringList({"000000000123456789  ", "123-456-789"}));
}

// ---------------------------------------------------------------- repeats

TEST_F(LoadTest, ARepeatGoesToTheDuplicateListWithItsValues)
{
    QStringList lines = start();
    lines << "#M1,OWNER A,01,701,#123456789,150.00,A,150.00,0.00,0.00,0.00,LOT 1"
          << "#m9,owner a,1,701,#123-456-789,7.25,c,1.50,2.50,3.50,-4.50,SECOND ONE";
    expectRepeats();
    ASSERT_TRUE(load(lines));
    EXPECT_TRUE(DupFoliosFound);
    EXPECT_EQ(DupFolioCount, 1);
    EXPECT_EQ(rowsOf("SELECT * FROM Detail").size(), 1u);

    // In the order of the columns: folio shown, agency, number, name, district,
    // jurisdiction, folio, the three grants, delinquent, legal, type, payment.
    EXPECT_EQ(textsOf(DupFolios[0]), QStringList({"123-456-789", "0001", "M9", "OWNER A", "01", "701",
                                                  "000000000123456789", "1.5", "2.5", "3.5", "-4.5",
                                                  "SECOND ONE", "C", "7.25"}));
    EXPECT_FALSE(DupFolios[1][dfName].isValid());
}

// Repeats are found on the values as they are stored: cut to their widths and
// in the form the writer gives them, so neither the table's unique key nor the
// next load meets a pair the repeat test let through.
TEST_F(LoadTest, ValuesThatAgreeOnceStoredAreRepeats)
{
    expectCuts("Value cut, line 12: NAME is longer than the program can keep and will be cut. (as read \"ABCDEFGHIJKLMNOPQRSTUVWXYZ\", stored \"ABCDEFGHIJKLMNOPQRSTUVWXY\")");
    ASSERT_TRUE(load(start() << "#M1,ABCDEFGHIJKLMNOPQRSTUVWXYZ,01,701,#123456789,1,A,0,0,0,0,"
                             << "#M2,ABCDEFGHIJKLMNOPQRSTUVWXY,01,701,#123456789,2,A,0,0,0,0,"
                             << "#M3,\"SMITH, J\",01,701,#5,1,A,0,0,0,0,"
                             << "#M4,SMITH J,01,701,#5,1,A,0,0,0,0,"
                             << "#M5,O'BRIEN,01,701,#5,1,A,0,0,0,0,"
                             << "#M6,OBRIEN,01,701,#5,1,A,0,0,0,0,"
                             << "#M7,LATER,01,701,#1,1,A,0,0,0,0,"
                             << "#M8,ABCDEFGHIJKLMNOPQRSTUVWX YZ,01,701,#8,1,A,0,0,0,0,"   // cut at a blank
                             << "#M9,ABCDEFGHIJKLMNOPQRSTUVWX,01,701,#8,1,A,0,0,0,0,"));
    EXPECT_EQ(columnOf("SELECT NUMBER FROM Detail ORDER BY NUMBER", "NUMBER"),
              QStringList({"M1", "M3", "M5", "M7", "M8"}));
    EXPECT_EQ(DupFolioCount, 4);
    EXPECT_EQ(DupFolios[0][dfName].toString(), "ABCDEFGHIJKLMNOPQRSTUVWXY");
    EXPECT_EQ(DupFolios[1][dfNumber].toString(), "M4");
}

// The count goes past 32767 without overflowing.
TEST_F(LoadTest, EveryRepeatIsCountedAndTheFirst201AreKept)
{
    QStringList lines = start();
    lines << "#FIRST,OWNER,01,701,#1,1.00,A,0,0,0,0,";
    for (int i = 0; i < 32800; ++i)
        lines << QStringLiteral("#R%1,OWNER,01,701,#1,%2,A,0,0,0,0,").arg(i).arg(i);
    expectRepeats();
    ASSERT_TRUE(load(lines));
    EXPECT_EQ(DupFolioCount, 32800);
    EXPECT_EQ(DupFolios[0][dfNumber].toString(), "R0");
    EXPECT_EQ(DupFolios[200][dfNumber].toString(), "R200");
    EXPECT_EQ(DupFolios[200][dfPayment].toDouble(), 200);

    // A second load starts the list afresh.
    ASSERT_TRUE(load(start() << "#ONLY,OWNER,01,701,#1,1.00,A,0,0,0,0,"));
    EXPECT_FALSE(DupFoliosFound);
    EXPECT_EQ(DupFolioCount, 0);
    EXPECT_FALSE(DupFolios[0][dfNumber].isValid());
}

// ---------------------------------------------------------------- failures

// What the file itself gets wrong is refused in plain words, naming the line
// and what to do; nothing of the file stays in the tables.
TEST_F(LoadTest, TheFilesOwnFaultsAreRefusedInPlainWordsNamingTheLine)
{
    const std::pair<QStringList, const char*> cases[] = {
        {{"ZARV DATA FOR YEAR 2024", "", "nothing else"},
         "The file holds no FOLIO MASK INFORMATION section and no PAYMENT GROUP INFORMATION section: it is not "
         "a payment data file.\n\nChoose the payment data file"},
        {{"ZARV DATA FOR YEAR 2024", "PAYMENT DETAIL INFORMATION", "#M1,N,01,701,#1,1,A,0,0,0,0,"},
         "Line 3: The payment line \"#M1,N,01,701,#1,1,A,0,0,0,0,\" comes before any PAYMENT GROUP INFORMATION "
         "section, so it belongs to no payment group.\n\nPut the payment under its group's section"},
        {start() << "#M0,FIRST,01,701,#9,1,A,0,0,0,0," << "#M1,N,01,701,#1,N/A,A,0,0,0,0,",
         "Line 13: The amount \"N/A\" on the payment line \"#M1,N,01,701,#1,N/A,A,0,0,0,0,\" is not a number.\n\n"
         "Correct the amount in the file"},
        {start() << "#M1,N,01,701,#1,1,A,12.5x,0,0,0,", "Line 12: The amount \"12.5x\""},
        {start() << "#M1,N,01,701,#1,1,A,0,0,0,$,", "Line 12: The amount \"$\""},
    };
    for (const auto& [lines, naming] : cases) {
        expectRefusal(ui::containing(QLatin1String(naming)));
        EXPECT_FALSE(load(lines)) << naming;
        expectNothingLoaded();
    }
}

// Values longer than their columns are listed (line, field, as read, as it
// would be stored) before the load goes on: the clerk may load nothing.
TEST_F(LoadTest, ValuesLongerThanTheirColumnsAreNamedAndTheClerkDecides)
{
    QStringList lines = start();
    lines.insert(8, "Name1:,ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789");
    lines << "#M1,N,01,701,#12345678901234567890,1,A,0,0,0,0,"
          << "#M2,N,01,701,#1234567890123456789,1,A,0,0,0,0,"
          << "#M34567890123Z,N,01,701,#3,1,A,0,0,0,0,"
          << "#M4,ABCDEFGHIJKLMNOPQRSTUVWXYZ,01,701,#4,1,A,0,0,0,0,"
          << "#M5,N,01,701,#5,1,A,0,0,0,0,LOT 1 PLAN 2 BLOCK 3 SECTION 4 XY";
    const QString list = QStringLiteral(
        "Value cut, line 9: NAME1 is longer than the program can keep and will be cut. (as read \"ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789\", stored \"ABCDEFGHIJKLMNOPQRSTUVWXYZ012345678\")\n"
        "Value cut, line 13: FOLIO is longer than the program can keep and will be cut. (as read \"#12345678901234567890\", stored \"345678901234567890\")\n"
        "Value cut, line 14: FOLIO is longer than the program can keep and will be cut. (as read \"#1234567890123456789\", stored \"234567890123456789\")\n"
        "Value cut, line 15: NUMBER is longer than the program can keep and will be cut. (as read \"M34567890123Z\", stored \"M34567890123\")\n"
        "Value cut, line 16: NAME is longer than the program can keep and will be cut. (as read \"ABCDEFGHIJKLMNOPQRSTUVWXYZ\", stored \"ABCDEFGHIJKLMNOPQRSTUVWXY\")\n"
        "Value cut, line 17: LEGAL is longer than the program can keep and will be cut. (as read \"LOT 1 PLAN 2 BLOCK 3 SECTION 4 XY\", stored \"LOT 1 PLAN 2 BLOCK 3 SECTION 4 X\")");
    addRow(de().rsZarvSystem(), {{"Year", "before"}});
    expectCuts(list, Answer::No);
    EXPECT_FALSE(load(lines));
    expectEmpty({"Detail", "\"Group\"", "Fol_Mask"});
    EXPECT_EQ(columnOf("SELECT Year FROM ZarvSystem", "Year"), QStringList{"before"});

    expectCuts(list, Answer::Yes);
    ui().expectBox(ui::containing("Jurisdiction 701: ###-###-### (9 digits)"));   // the 20-digit folio
    ASSERT_TRUE(load(lines));
    EXPECT_EQ(columnOf("SELECT FOLIO FROM Detail ORDER BY NUMBER", "FOLIO").mid(0, 2),
              QStringList({"345678901234567890", "234567890123456789"}));
    EXPECT_EQ(columnOf("SELECT Year FROM ZarvSystem", "Year"), QStringList{"2024"});

    // Past two hundred values the screen says how many more there are.
    QStringList many = start();
    for (int i = 0; i < 205; ++i)
        many << QStringLiteral("#M%1,N,01,701,#%1,1,A,0,0,0,0,%2").arg(i).arg(QString(40, QLatin1Char('L')));
    expectCuts("Value cut: ... and 5 more like these.", Answer::No);
    EXPECT_FALSE(load(many));
}

// A group's own count and total are checked against its payment lines; one
// that differs (lines deleted in a spreadsheet, say) is named with its lines.
TEST_F(LoadTest, AGroupWhoseStatedCountOrTotalDiffersIsNamedAndTheClerkDecides)
{
    QStringList lines = start();
    lines.insert(8, "Number of Payment records,3");
    lines.insert(9, "Payment Amount,999.00");
    lines << "#M1,N,01,701,#1,150.00,A,0,0,0,0,";
    const auto more = [](const char* group, const char* count, const char* total) {
        return QStringList{"PAYMENT GROUP INFORMATION", QStringLiteral("Group #,%1").arg(group),
                           QStringLiteral("Agency #,%1").arg(group), QStringLiteral("Number of Payment records,%1").arg(count),
                           QStringLiteral("Payment Amount,%1").arg(total), "PAYMENT DETAIL INFORMATION",
                           "#M1,N,01,701,#1,0.10,A,0,0,0,0,", "#M2,N,01,701,#2,0.20,A,0,0,0,0,"};
    };
    lines << more("0002", "2", "0.30") << more("0003", "2", "\"$0.35\"") << more("0004", "two", "0.30");
    const QString named = QStringLiteral(
        "Stated count, line 9: Group 0001, agency 0001 states 3 payments; its payment lines hold 1. The group is "
        "counted from its payment lines. (as read \"3\", stored \"1\")\n"
        "Stated count, line 10: Group 0001, agency 0001 states a total of 999.00; its 1 payment lines add up to "
        "150.00. The group is totalled from its payment lines. (as read \"999.00\", stored \"150.00\")\n"
        "Stated count, line 27: Group 0003, agency 0003 states a total of $0.35; its 2 payment lines add up to "
        "0.30. The group is totalled from its payment lines. (as read \"$0.35\", stored \"0.30\")\n"
        "Stated count, line 34: Group 0004, agency 0004 states two payments; its payment lines hold 2. The group "
        "is counted from its payment lines. (as read \"two\", stored \"2\")");
    for (const bool loadIt : {false, true}) {
        ui().expectIntake(ui::TextMatch::exactly(named), loadIt);
        EXPECT_EQ(load(lines), loadIt);
        ASSERT_TRUE(ui().clean()) << ui().report().toStdString();
    }
    EXPECT_EQ(columnOf("SELECT FOLIO_CNT FROM \"Group\"", "FOLIO_CNT"), QStringList({"1", "2", "2", "2"}));
    const QStringList saved = crlfLines(save());
    EXPECT_TRUE(saved.contains("Number of Payment records,1") && saved.contains("Payment Amount,150.00"));
    ASSERT_TRUE(Csv2Mdb(path("Saved.csv")));   // the recounted figures: no question
}

// Spreadsheet programs write amounts with a currency sign, thousands
// separators and parentheses or a trailing minus for a negative.
TEST_F(LoadTest, AmountsInASpreadsheetsFormsReadAsTheirNumbers)
{
    ASSERT_TRUE(load(start() << "#M1,N,01,701,#1,$25.00,A,$1234.50,(25.00),($7.25),12-,"
                             << "#M2,N,01,701,#2,\"1,234.50\",A,\"$1,234.50\",0,0,\"(1,000)\","));
    const auto rows = rowsOf(QStringLiteral("SELECT * FROM Detail ORDER BY NUMBER"));
    ASSERT_EQ(rows.size(), 2u);
    const QStringList fields{"PAYMENT", "GROSS_TAX", "REG_GRANT", "ADD_GRANT", "DELQ", "ABC"};
    EXPECT_EQ(fieldsOf(rows[0], fields), QStringList({"25", "1234.5", "-25", "-7.25", "-12", "A"}));
    // A field holding a thousands separator comes in quotes.
    EXPECT_EQ(fieldsOf(rows[1], fields), QStringList({"1234.5", "1234.5", "0", "0", "-1000", "A"}));
}

TEST_F(LoadTest, AnAmountTooLargeForANumberIsReportedWithItsStep)
{
    expectRefusal(QStringLiteral("Csv2Mdb Unexpected error # 6 Debug (  9-10) occurred: Overflow"));
    EXPECT_FALSE(load(start() << "#M1,N,01,701,#1,1,A,0,0,0,1e999,"));
    EXPECT_TRUE(rowsOf("SELECT * FROM Detail").empty());
}

// A write the database refuses names the step the load stopped at.
TEST_F(LoadTest, ARefusedWriteNamesTheStepItStoppedAt)
{
    const struct {
        const char* table;
        const char* marker;
    } cases[] = {{"Fol_Mask", "  8-18"}, {"\"Group\"", "  4"}, {"Detail", " FOLIO # = 109-000-001 & NAME = 'N'"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.table);
        DE().Zarv.execute(QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON %1 BEGIN SELECT RAISE(ABORT, 'full'); "
                                         "END")
                              .arg(QLatin1String(c.table)));
        expectRefusal(ui::containing(QStringLiteral(" Debug (") + c.marker));
        EXPECT_FALSE(load(start() << "#M1,N,01,701,#109000001,1.00,A,0,0,0,0,"));
        DE().Zarv.execute(QStringLiteral("DROP TRIGGER refuse"));
    }
}

} // namespace
