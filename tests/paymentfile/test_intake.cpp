// What the load had to decide about a payment file other programs wrote (its
// character set, separator and decimal mark, lines passed over) is shown on
// the intake screen before anything is stored; the same data loads whatever
// the form, or the file is refused naming its line.
#include "payfile_support.h"

#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

namespace {

const QStringList kFile = {
    "ZARV DATA FOR YEAR 2024", "", "FOLIO MASK INFORMATION", "70109###-###-###", "",
    "PAYMENT GROUP INFORMATION", "Group #,0001", "Agency #,0042", "Name1:,CR\u00C9DIT FONCIER",
    "Number of Payment records,2", "Payment Amount,1244.50", "", "PAYMENT DETAIL INFORMATION", kPaymentHeading,
    "#M1,NU\u00D1EZ,01,701,#123-456-789,1234.50,A,1234.50,0.00,0.00,0.00,LOT 1",
    "#M2,M\u00DCLLER,01,701,#987-654-321,10.00,B,0.00,10.00,0.00,0.00,LOT 2"};

class IntakeTest : public PayFileTest {
protected:
    static std::vector<QVariantMap> tables()
    {
        std::vector<QVariantMap> rows = rowsOf("SELECT * FROM Detail ORDER BY NUMBER");
        for (const QVariantMap& g : rowsOf("SELECT * FROM \"Group\"")) {
            QVariantMap row = g;
            row.remove(QStringLiteral("ID"));
            rows.push_back(row);
        }
        for (QVariantMap& r : rows)
            r.remove(QStringLiteral("ID"));
        return rows;
    }
};

TEST_F(IntakeTest, EveryFormAClerksToolWritesLoadsAsTheSameDataAfterTheScreenNamesWhatWasDecided)
{
    ASSERT_TRUE(load(fileBytes(kFile)));
    ASSERT_TRUE(ui().intakes().empty());   // the program's own form needs no decision
    const std::vector<QVariantMap> want = tables();
    const QByteArray wantSaved = save();

    QStringList blankFirst = kFile;
    blankFirst.prepend(QStringLiteral(" ,,"));
    blankFirst.prepend(QString());
    QStringList oddHeader = kFile;
    oddHeader.first() += QStringLiteral("\u00A0");   // a no-break space after the year
    const struct {
        const char* form;
        QByteArray bytes;
        QStringList shown;
    } cases[] = {
        {"semicolons, decimal commas", fileBytes(separated(kFile, u';', true)),
         {"Field separator: The fields are separated by semicolons (;)",
          "Decimal mark, line 15: Amounts are written with a decimal comma"}},
        {"semicolons, decimal points", fileBytes(separated(kFile, u';', false)), {"semicolons (;)"}},
        {"Excel's Unicode Text", utf16Bytes(separated(kFile, u'\t')),
         {"Character set, line 9: The file is read as UTF-16", "Field separator: The fields are separated by tabs"}},
        {"CSV (Macintosh)", macRomanBytes(kFile),
         {QStringLiteral("Character set, line 9: The file is read as Mac Roman; it will be written back in "
                         "Windows-1252. (as read \"Name1:,CR\u0192DIT FONCIER\", stored \"Name1:,CR\u00C9DIT "
                         "FONCIER\")")}},
        {"UTF-8", kFile.join(QStringLiteral("\r\n")).toUtf8(),
         {QStringLiteral("(as read \"Name1:,CR\u00C3\u2030DIT FONCIER\", stored \"Name1:,CR\u00C9DIT FONCIER\")")}},
        {"UTF-8 from line 1", oddHeader.join(QStringLiteral("\r\n")).toUtf8(),
         {QStringLiteral("Character set, line 1: The file is read as UTF-8")}},
        {"blank lines before the header", fileBytes(blankFirst),
         {"Line passed over, line 1:", "Line passed over, line 2:"}},
    };
    for (const auto& c : cases) {
        ui().expectIntake(ui::containing(c.shown.join(u'\n').isEmpty() ? QString() : c.shown.first()), true);
        ASSERT_TRUE(load(c.bytes)) << c.form;
        ASSERT_TRUE(ui().clean()) << c.form << ": " << ui().report().toStdString();
        const QString shown = ui().intakes().back().lines().join(u'\n');
        for (const QString& s : c.shown)
            EXPECT_TRUE(shown.contains(s)) << c.form << ": " << shown.toStdString() << "\nwants " << s.toStdString();
        EXPECT_EQ(tables(), want) << c.form;
        EXPECT_EQ(save(), wantSaved) << c.form;
    }
}

TEST_F(IntakeTest, AReadingThatIsNotCertainIsRefusedNamingItsLine)
{
    QStringList thousands = separated(kFile, u';', true);
    thousands[14].replace(QStringLiteral("1234,50;A"), QStringLiteral("1.234,50;A"));
    QStringList mixedMarks = separated(kFile, u';', true);
    mixedMarks[15].replace(QStringLiteral("10,00"), QStringLiteral("10.00"));
    QStringList commaLine = separated(kFile, u';', true);
    commaLine[15] = kFile[15];
    // A comma in a field where no one text field can have taken it.
    QStringList shifted = kFile;
    shifted[15].replace(QStringLiteral("#987-654-321"), QStringLiteral("#987-654,321"));
    QStringList shortLine = separated(kFile, u';', false);
    shortLine[14].chop(QStringLiteral(";LOT 1").size());
    const struct {
        QStringList lines;
        QStringList naming;
    } cases[] = {
        {thousands, {"Line 15:", "\"1.234,50\"", "both a decimal comma and a point"}},
        {mixedMarks, {"Line 16:", "decimal comma and those of line 16 a decimal point"}},
        {commaLine, {"separated by semicolons (;), but line 16 separates its fields by commas (,)"}},
        {shifted, {"Line 16:", "holds 13 fields where a payment has 12"}},
        {shortLine, {"Line 15:", "holds 11 fields where a payment has 12"}},
    };
    for (const auto& c : cases) {
        ui().expectBox(ui::ExpectedBox{ui::containing(c.naming.first()), Answer::OK, ui::Icon::Critical, {}, {}});
        EXPECT_FALSE(load(fileBytes(c.lines))) << c.naming.first().toStdString();
        ASSERT_TRUE(ui().clean()) << ui().report().toStdString();
        for (const QString& n : c.naming)
            EXPECT_TRUE(ui().boxes().back().prompt.contains(n)) << ui().boxes().back().prompt.toStdString();
        EXPECT_TRUE(rowsOf("SELECT * FROM Detail").empty());
    }
    // A name typed with a comma: only the name can have taken it.
    QStringList named = kFile;
    named[15].replace(QStringLiteral("M\u00DCLLER"), QStringLiteral("GARCIA-LOPEZ, ANA"));
    ui().expectIntake(ui::containing(QStringLiteral("Extra fields, line 16: The line holds 13 fields where a payment "
                                                    "has 12; only the owner's name can have taken the commas, and is "
                                                    "read so. (as read \"GARCIA-LOPEZ, ANA\", stored \"GARCIA-LOPEZ "
                                                    "ANA\")")),
                      true);
    ASSERT_TRUE(load(fileBytes(named)));
    EXPECT_EQ(columnOf("SELECT NAME FROM Detail ORDER BY NUMBER", "NAME"),
              (QStringList{QStringLiteral("NU\u00D1EZ"), QStringLiteral("GARCIA-LOPEZ ANA")}));
}

// The clerk's side: one screen shows a value that would be cut, a count that
// differs and the separator; Cancel, the default, leaves the tables and the
// file as they were; Load stores what the screen showed.
TEST_F(IntakeTest, TheClerkSeesEveryDecisionOnOneScreenAndCancelsOrLoads)
{
    ASSERT_TRUE(load(fileBytes(kFile)));
    const std::vector<QVariantMap> before = tables();

    QStringList lines = kFile;
    lines[9] = QStringLiteral("Number of Payment records,3");
    lines[14].replace(QStringLiteral("NU\u00D1EZ"), QStringLiteral("NU\u00D1EZ Y GARCIA DE LA FUENTE"));
    const QByteArray bytes = fileBytes(separated(lines, u';', false));
    writeFile(QStringLiteral("Zarvdata.csv"), bytes);

    QStringList storedNames;
    const auto look = [&](QDialog& d) {
        auto* table = d.findChild<QTableWidget*>(QStringLiteral("tblFindings"));
        ASSERT_NE(table, nullptr);
        EXPECT_FALSE(table->accessibleName().isEmpty());
        QStringList kinds;
        storedNames.clear();
        for (int r = 0; r < table->rowCount(); ++r) {
            kinds << table->item(r, 0)->text();
            if (table->item(r, 0)->text() == QStringLiteral("Value cut"))
                storedNames << table->item(r, 3)->text();
        }
        EXPECT_TRUE(kinds.contains(QStringLiteral("Field separator"))) << kinds.join(u',').toStdString();
        EXPECT_TRUE(kinds.contains(QStringLiteral("Value cut")));
        EXPECT_TRUE(kinds.contains(QStringLiteral("Stated count")));
        EXPECT_TRUE(d.findChild<QLabel*>(QStringLiteral("lblFile"))->text().endsWith(QStringLiteral("Zarvdata.csv")));
        EXPECT_TRUE(d.findChild<QLabel*>(QStringLiteral("lblWrittenBack"))->text().contains(QStringLiteral("commas")));
        EXPECT_TRUE(d.findChild<QPushButton*>(QStringLiteral("cmdCancel"))->isDefault());
    };
    ui().expectModal(QStringLiteral("Intake"), [&](QDialog& d) {
        look(d);
        QTest::keyClick(&d, Qt::Key_Return);   // Enter: the default, Cancel
    });
    LoadEnd end = LoadEnd::Loaded;
    EXPECT_FALSE(Csv2Mdb(file(), &end));
    EXPECT_EQ(end, LoadEnd::Stopped);
    ASSERT_TRUE(ui().clean()) << ui().report().toStdString();
    EXPECT_EQ(tables(), before);
    EXPECT_EQ(readFile(file()), bytes);

    ui().expectModal(QStringLiteral("Intake"), [&](QDialog& d) {
        look(d);
        QTest::mouseClick(d.findChild<QPushButton*>(QStringLiteral("cmdLoad")), Qt::LeftButton);
    });
    EXPECT_TRUE(Csv2Mdb(file()));
    ASSERT_TRUE(ui().clean()) << ui().report().toStdString();
    EXPECT_EQ(storedNames, QStringList{QStringLiteral("NU\u00D1EZ Y GARCIA DE LA FUEN")});
    EXPECT_EQ(columnOf("SELECT NAME FROM Detail ORDER BY NUMBER", "NAME"),
              (QStringList{QStringLiteral("NU\u00D1EZ Y GARCIA DE LA FUEN"), QStringLiteral("M\u00DCLLER")}));
    EXPECT_EQ(readFile(file()), bytes);
}

} // namespace

// A payment that repeats an earlier one is named on the screen with its line,
// its key as read and as it would be stored, before anything is kept: one that
// repeats only once its name is cut as well. Cancel stores nothing; Load sets
// the repeats aside for the list of duplicate folios as before.
TEST_F(IntakeTest, RepeatedPaymentsAreNamedOnTheScreenBeforeAnythingIsStored)
{
    const QString longName = QStringLiteral("M\u00DCLLER Y GARCIA DE LA FUENTE ");
    QStringList lines = kFile;
    lines[9] = QStringLiteral("Number of Payment records,5");
    lines[10] = QStringLiteral("Payment Amount,1274.50");
    lines << lines[15] << lines[15] << lines[15];
    lines[17].replace(QStringLiteral("M\u00DCLLER"), longName + QStringLiteral("A"));
    lines[18].replace(QStringLiteral("M\u00DCLLER"), longName + QStringLiteral("B"));
    for (const bool loadIt : {false, true}) {
        ui().expectIntake(ui::containing(QStringLiteral("Repeat, line 17: The payment repeats an earlier one")), loadIt);
        EXPECT_EQ(load(fileBytes(lines)), loadIt);
        ASSERT_TRUE(ui().clean()) << ui().report().toStdString();
        const QStringList shown = ui().intakes().back().lines().filter(QStringLiteral("Repeat, line"));
        ASSERT_EQ(shown.size(), 2) << shown.join(u'\n').toStdString();
        EXPECT_TRUE(shown[0].contains(QStringLiteral("(as read \"0042, 01, 701, 987-654-321, M\u00DCLLER\", stored \"0042, 01, 701, 000000000987654321, M\u00DCLLER\")"))) << shown[0].toStdString();
        EXPECT_TRUE(shown[1].startsWith(QStringLiteral("Repeat, line 19:"))) << shown[1].toStdString();
        EXPECT_TRUE(shown[1].contains(longName + QStringLiteral("B\", stored \""))) << shown[1].toStdString();
        EXPECT_EQ(rowsOf("SELECT * FROM Detail").size(), loadIt ? 3u : 0u);
        if (loadIt)
            EXPECT_EQ(DupFolioCount, 2);
    }
}
