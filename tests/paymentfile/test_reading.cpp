// How the load reads a payment file that another program wrote: its character
// set, its field separator, its quotes and its end-of-file marks. Each form is
// read as the same data, or refused with a message naming its line, and then
// nothing is loaded.
#include "payfile_support.h"

#include "platform/files/textfile.h"

namespace {

class ReadingTest : public PayFileTest {
protected:
    // Lines 1 to 11; the first payment line is line 12.
    static QStringList start(const QString& name1 = QStringLiteral("ACME BANK"))
    {
        return {"ZARV DATA FOR YEAR 2024", "", "FOLIO MASK INFORMATION", "70109###-###-###", "",
                "PAYMENT GROUP INFORMATION", "Agency #,0001", "Name1:," + name1, "",
                "PAYMENT DETAIL INFORMATION", kPaymentHeading};
    }
    // Expects the load to be refused with one critical message under the
    // program's title holding every part (no report of an unexpected error),
    // before anything is stored unless told that earlier lines were.
    void expectRefusal(const QByteArray& bytes, const QStringList& parts, const char* what, bool storedBefore = false)
    {
        ui().expectBox(ui::ExpectedBox{ui::containing(parts.front()), ui::Answer::OK, ui::Icon::Critical,
                                       ui::Buttons::OK, ui::UiServices::appTitle()});
        EXPECT_FALSE(load(bytes)) << what;
        ASSERT_FALSE(ui().boxes().empty()) << what;
        const QString prompt = ui().boxes().back().prompt;
        for (const QString& part : parts)
            EXPECT_TRUE(prompt.contains(part)) << what << ": " << prompt.toStdString();
        EXPECT_FALSE(prompt.contains(QStringLiteral("Unexpected error"))) << what;
        if (!storedBefore) {
            EXPECT_TRUE(rowsOf("SELECT * FROM Detail").empty()) << what;
        }
        EXPECT_FALSE(DupFoliosFound) << what;
    }
};

// LibreOffice on Linux saves UTF-8 without a byte-order mark. A file that is
// valid UTF-8 and holds a character beyond ASCII is read as UTF-8; any other
// file as Windows-1252, so that bytes that happen to spell UTF-8 in a
// Windows-1252 file still need that sequence to be valid everywhere.
TEST_F(ReadingTest, AUtf8FileWithOrWithoutAMarkIsReadAsUtf8AndSavedInTheCodePage)
{
    const QStringList lines = start(QStringLiteral("CR\u00C9DIT FONCIER"))
                              << QStringLiteral("#M1,NU\u00D1EZ MAR\u00CDA,01,701,#1,5.00,A,5.00,0,0,0,")
                              << QStringLiteral("#M2,\u0160IMEK \u20AC \u0178,01,701,#2,5.00,A,5.00,0,0,0,");
    const QByteArray cp1252 = fileBytes(lines);
    QByteArray first;
    const std::pair<QByteArray, const char*> forms[] = {
        {cp1252, nullptr},
        {utf8Bytes(lines), "Character set, line 8: The file is read as UTF-8"},
        {"\xEF\xBB\xBF" + utf8Bytes(lines, "\n") + "\x1A", "The file is read as UTF-8 (with a byte-order mark)"}};
    for (const auto& [bytes, said] : forms) {
        // Read as UTF-8, and said once, before anything is stored.
        if (said)
            ui().expectIntake(ui::containing(QLatin1String(said)), true);
        ASSERT_TRUE(load(bytes));
        ASSERT_TRUE(ui().clean()) << ui().report().toStdString();
        EXPECT_EQ(columnOf("SELECT NAME1 FROM \"Group\"", "NAME1"), QStringList{QStringLiteral("CR\u00C9DIT FONCIER")});
        EXPECT_EQ(columnOf("SELECT NAME FROM Detail ORDER BY NUMBER", "NAME"),
                  QStringList({QStringLiteral("NU\u00D1EZ MAR\u00CDA"), QStringLiteral("\u0160IMEK \u20AC \u0178")}));
        const QByteArray saved = save();
        if (first.isEmpty())
            first = saved;
        EXPECT_EQ(saved, first);
        EXPECT_TRUE(saved.contains("Name1:,CR\xC9" "DIT FONCIER\r\n"));
        EXPECT_TRUE(saved.contains("#M1,NU\xD1" "EZ MAR\xCD" "A,01,701,"));
        EXPECT_TRUE(saved.contains("#M2,\x8AIMEK \x80 \x9F,01,701,"));
    }
    // Windows-1252 bytes that are no UTF-8 (0xC9 before a letter) and a file of
    // ASCII alone read as the code page.
    ASSERT_TRUE(load(fileBytes(start() << QStringLiteral("#M1,\u00C9\u00C3\u2030,01,701,#1,5.00,A,5.00,0,0,0,"))));
    EXPECT_EQ(columnOf("SELECT NAME FROM Detail", "NAME"), QStringList{QStringLiteral("\u00C9\u00C3\u2030")});
}

// LibreOffice's CSV of the sample, as it is and with accented names in UTF-8,
// Mac Roman, UTF-16 with tabs and semicolons with decimal commas
// (fixtures/README.md), saves back to that copy of the sample in the payment
// file's form.
TEST_F(ReadingTest, CalcCopiesOfTheSampleSaveBackToTheSample)
{
    QByteArray sample = readFile(samplePath(QStringLiteral("Zarvdata.csv")));
    for (const auto& [from, to] : {std::pair{"Name1:,NORTHMARK SAVINGS & LOAN", u"Name1:,CR\u00C9DIT FONCIER"},
                                   std::pair{"VASQUEZ-HOLM INES", u"NU\u00D1EZ-HOLM IN\u00C9S"},
                                   std::pair{"LINDQVIST PER", u"LINDQVIST P\u00C5L"}}) {
        ASSERT_TRUE(sample.contains(from));
        sample.replace(from, fs::encodeCp1252(QString::fromUtf16(to)));
    }
    const QByteArray plain = readFile(samplePath(QStringLiteral("Zarvdata.csv")));
    const struct {
        const char* file;
        QStringList shown;
        const QByteArray& savesAs;
    } copies[] = {
        {"Zarvdata-calc.csv", {}, plain},   // group codes, districts and amounts re-spelled
        {"Zarvdata-calc-utf8.csv", {"The file is read as UTF-8"}, sample},
        {"Zarvdata-calc-mac.csv", {"The file is read as Mac Roman"}, sample},
        {"Zarvdata-calc-utf16.txt", {"The file is read as UTF-16", "separated by tabs (Tab)"}, sample},
        {"Zarvdata-calc-semicolon.csv", {"separated by semicolons (;)", "Decimal mark, line 28:"}, sample},
    };
    for (const auto& c : copies) {
        if (!c.shown.isEmpty())
            ui().expectIntake(ui::containing(c.shown.first()), true);
        ASSERT_TRUE(load(readFile(QStringLiteral(ZARV_SOURCE_DIR "/tests/paymentfile/fixtures/") + c.file))) << c.file;
        ASSERT_TRUE(ui().clean()) << c.file << ": " << ui().report().toStdString();
        for (const QString& s : c.shown)
            EXPECT_TRUE(ui().intakes().back().lines().join(u'\n').contains(s)) << c.file << ": " << s.toStdString();
        EXPECT_FALSE(DupFoliosFound) << c.file;
        EXPECT_EQ(save(), c.savesAs) << c.file;
    }
}

// Read as UTF-8, a file may hold characters the payment file's code page cannot
// (or, with a mark, bytes that are no UTF-8): a save would turn them into "?".
// The load names each such line and what it holds, mark or no mark, and loads
// nothing; a line the code page can hold is not named.
TEST_F(ReadingTest, AUtf8FileHoldingACharacterTheCodePageLacksIsRefusedNamingTheLines)
{
    const QByteArray bytes = utf8Bytes(start(QStringLiteral("SNOW \u2603 BANK,,"))
                                       << QStringLiteral("#M1,J\u00D6RG \u0160IMEK,01,701,#1,5.00,A,5.00,0,0,0,")
                                       << QStringLiteral("#M2,\u03A9MEGA \U0001F600 \u03A9,01,701,#2,5.00,A,5.00,0,0,0,"));
    const QStringList named{QStringLiteral("line 8 holds \"\u2603\": Name1:,SNOW \u2603 BANK,,"),
                            QStringLiteral("line 13 holds \"\u03A9\" \"\U0001F600\": #M2,\u03A9MEGA"),
                            QStringLiteral("cannot hold; they would be lost")};
    expectRefusal(bytes, named, "UTF-8 without a mark");
    expectRefusal("\xEF\xBB\xBF" + bytes + "#M3,CAF\xE9,01,701,#3,5.00,A,5.00,0,0,0,\r\n",
                  QStringList(named) << QStringLiteral("line 14 holds \"\uFFFD\": #M3,CAF\uFFFD,"), "with a mark");
    EXPECT_FALSE(ui().boxes().back().prompt.contains(QStringLiteral("line 12")));
}

// A quote that opens a field of a payment line and never closes would take the
// rest of the line into one field; a doubled quote inside a quoted field is one
// quote.
TEST_F(ReadingTest, AnUnclosedQuoteIsRefusedNamingTheLineAndADoubledQuoteIsOneQuote)
{
    expectRefusal(fileBytes(start() << "#M0,FIRST,01,701,#9,1.00,A,1.00,0,0,0,"
                                    << "#M1,\"ACME HOLDINGS,01,701,#310-442-187,150.00,A,150.00,0.00,0.00,-25.00,LOT 1"),
                  {QStringLiteral("line 13"), QStringLiteral("#M1,\"ACME HOLDINGS,01,701,")}, "payment line", true);
    EXPECT_EQ(columnOf("SELECT NUMBER FROM Detail", "NUMBER"), QStringList{});   // a refused load keeps nothing
    // A group value is read whole, by its position: the writer writes it as it
    // is stored, an opening quote a clerk typed included.
    QStringList lines = start();
    lines[7] = "Name1:,\"ACME, INC";
    ASSERT_TRUE(load(fileBytes(lines)));
    EXPECT_EQ(columnOf("SELECT NAME1 FROM \"Group\"", "NAME1"), QStringList{"ACME, INC"});

    ASSERT_TRUE(load(fileBytes(start() << "#M1,\"SMITH \"\"JR\"\", JOHN\",01,701,#310-442-187,150.00,A,150.00,"
                                          "0.00,0.00,-25.00,\"LOT 1, \"\"B\"\"\"")));
    EXPECT_EQ(onlyRowOf("SELECT * FROM Detail", {"NAME", "CD", "FOLIO", "PAYMENT", "DELQ", "LEGAL"}),
              QStringList({"SMITH JR JOHN", "01", "000000000310442187", "150", "-25", "LOT 1 B"}));
}

// A line of nothing but Ctrl-Z, blanks, tabs, commas and empty quotes (a
// spreadsheet's empty row) is a blank line wherever it stands, and the group
// goes on after it; at the very end of the file Ctrl-Z is the old end-of-file
// mark.
TEST_F(ReadingTest, ALineOfCtrlZBlanksAndCommasIsBlankWhereverItStands)
{
    const QByteArray body = fileBytes(start() << "#M1,OWNER,01,701,#310-442-187,150.00,A,150.00,0.00,0.00,-25.00,LOT 1");
    const QByteArray m2 = "#M2,OTHER,01,701,#2,1.00,A,1.00,0,0,0,\n";
    for (const QByteArray& tail : {QByteArray("\x1A\r\n\r\n"), QByteArray("\x1A\r\n"), QByteArray(" \x1A,\x1A ,\n\x1A"),
                                   QByteArray("\x1A\x1A"), "\x1A\x1A\n" + m2, ",,,,,,,,,,,\n  \t , ,\n\t\n\"\",\"\"\n" + m2}) {
        ASSERT_TRUE(load(body + tail)) << tail.toHex().toStdString();
        EXPECT_FALSE(DupFoliosFound);
        const QStringList want = tail.contains("#M2") ? QStringList({"M1", "M2"}) : QStringList{"M1"};
        EXPECT_EQ(columnOf("SELECT NUMBER FROM Detail ORDER BY NUMBER", "NUMBER"), want) << tail.toHex().toStdString();
        EXPECT_EQ(columnOf("SELECT FOLIO_CNT FROM \"Group\"", "FOLIO_CNT"), QStringList{QString::number(want.size())});
    }
}

} // namespace
