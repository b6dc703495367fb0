// The reader and the writer agree: a file the writer produced reads back into
// tables that write the same bytes again, over many generated files.
#include "payfile_support.h"

#include <QRegularExpression>

#include <map>

namespace {

constexpr int kRounds = 40;

// The 18 digits a folio field stands for: its digits right-aligned in zeros.
QString eighteenDigits(const QString& field)
{
    QString d;
    for (const QChar c : field)
        if (c.isDigit())
            d += c;
    return (QString(18, QLatin1Char('0')) + d).right(18);
}

class RoundTripTest : public DeTest {
protected:
    QString file(int n) const { return path(QStringLiteral("Zarvdata%1.csv").arg(n)); }

    // Saves the tables as file n with the data year the last load stored.
    QByteArray save(int n, const QString& year)
    {
        const SaveResult r = Mdb2Csv(year, file(n), path(QStringLiteral("Zarvdata%1.bak").arg(n)));
        EXPECT_TRUE(r.ok);
        return readFile(file(n));
    }
    void expectUnshownFolios(const QString& naming)
    {
        ui().expectBox(ExpectedBox{ui::containing(naming), Answer::OK, Icon::Information, ui::Buttons::OK,
                                   QStringLiteral("ZARV Data")});
    }
    // Number -> the 18 digits of its folio, from the payment lines of a file.
    static std::map<QString, QString> foliosOf(const QByteArray& bytes)
    {
        std::map<QString, QString> out;
        for (const QString& line : QString::fromLatin1(bytes).split(QLatin1Char('\n'))) {
            if (!line.startsWith(QLatin1Char('#')))
                continue;
            const QStringList f = line.split(QLatin1Char(','));
            out[f.value(0).mid(1)] = eighteenDigits(f.value(4));
        }
        return out;
    }
    QByteArray loadAndSave(int from, int to)
    {
        EXPECT_TRUE(Csv2Mdb(file(from)));
        EXPECT_FALSE(DupFoliosFound);
        return save(to, columnOf(QStringLiteral("SELECT Year FROM ZarvSystem"), QStringLiteral("Year")).value(0));
    }

    static QList<QByteArray> withoutTotals(const QByteArray& bytes)
    {
        QList<QByteArray> lines = bytes.split('\n');
        lines.removeIf([](const QByteArray& l) { return l.startsWith("Payment Amount,"); });
        return lines;
    }

    // The lines that differ, for a readable failure.
    static std::string difference(const QByteArray& a, const QByteArray& b)
    {
        const QList<QByteArray> la = a.split('\n');
        const QList<QByteArray> lb = b.split('\n');
        for (qsizetype i = 0; i < std::max(la.size(), lb.size()); ++i) {
            if (la.value(i) != lb.value(i))
                return "line " + std::to_string(i + 1) + ":\n  " + la.value(i).toStdString() + "\n  " +
                       lb.value(i).toStdString();
        }
        return {};
    }
};

TEST_F(RoundTripTest, AWrittenFileReadsBackToTheSameBytes)
{
    for (int seed = 1; seed <= kRounds; ++seed) {
        std::mt19937 rng(static_cast<unsigned>(seed));
        const GenFile content = generateContent(rng, GenOptions{});
        emptyTables();
        storeContent(content);

        const QByteArray written = save(0, content.year);
        ASSERT_FALSE(written.isEmpty());
        const QByteArray again = loadAndSave(0, 1);
        ASSERT_EQ(written, again) << "seed " << seed << ": " << difference(written, again);
    }
}

// Amounts that are not whole cents are written rounded; the group totals of the
// first file are sums of the unrounded amounts, so only the second writing is
// bound to repeat itself exactly. The payment lines agree at once.
TEST_F(RoundTripTest, AmountsBetweenCentsSettleAfterOneReading)
{
    for (int seed = 1; seed <= kRounds / 2; ++seed) {
        std::mt19937 rng(static_cast<unsigned>(1000 + seed));
        GenOptions o;
        o.subCentAmounts = true;
        const GenFile content = generateContent(rng, o);
        emptyTables();
        storeContent(content);

        const QByteArray first = save(0, content.year);
        const QByteArray second = loadAndSave(0, 1);
        const QByteArray third = loadAndSave(1, 2);
        ASSERT_EQ(second, third) << "seed " << seed << ": " << difference(second, third);

        EXPECT_EQ(withoutTotals(first), withoutTotals(second)) << "seed " << seed;
    }
}

// Whatever another program made of the file, reading it brings it into the
// writer's form: the payment lines at once, the group totals (sums of amounts
// that may lie between cents) after one more reading; from there it stays.
TEST_F(RoundTripTest, AnUntidyFileSettlesIntoTheWritersForm)
{
    const char* ends[] = {"\r\n", "\n", "\r"};
    for (int seed = 1; seed <= kRounds / 2; ++seed) {
        std::mt19937 rng(static_cast<unsigned>(5000 + seed));
        const QStringList lines = generateMessyLines(rng, 1 + seed % 5, 25);
        writeFile("Zarvdata0.csv", fileBytes(lines, ends[seed % 3]));

        // Its phone numbers are too long and its groups claim 999 payments.
        ui().expectIntake(ui::containing("Stated count"), true);
        ASSERT_TRUE(Csv2Mdb(file(0))) << "seed " << seed;
        const long stored = static_cast<long>(rowsOf("SELECT * FROM Detail").size());
        const QByteArray first =
            save(1, columnOf(QStringLiteral("SELECT Year FROM ZarvSystem"), QStringLiteral("Year")).value(0));
        EXPECT_EQ(crlfLines(first).filter(QRegularExpression("^#")).size(), stored) << "seed " << seed;

        const QByteArray second = loadAndSave(1, 2);
        EXPECT_EQ(withoutTotals(first), withoutTotals(second)) << "seed " << seed;
        const QByteArray third = loadAndSave(2, 3);
        ASSERT_EQ(second, third) << "seed " << seed << ": " << difference(second, third);
    }
}

// A mask that cannot show every digit of a folio (fewer places than digits,
// longer than the 20 characters shown, holding a digit of its own) costs the
// folio none of its digits, however often the file is saved; the load names
// such masks, whether or not a folio of the file met the fault.
TEST_F(RoundTripTest, NoSaveChangesTheDigitsOfAFolio)
{
    writeFile("Zarvdata0.csv",
              fileBytes({"ZARV DATA FOR YEAR 2024", "", "FOLIO MASK INFORMATION", "70109###-###",
                         "70516##-##-##-##-##-##-##-##", "70609###-###-###-7", "70709###-###-###",
                         "70809###-###", "",   // no folio of the file shows the fault
                         "PAYMENT GROUP INFORMATION", "Agency #,0001", "", "PAYMENT DETAIL INFORMATION",
                         "#M1,A,01,701,#310-442-187,1.00,A,1.00,0.00,0.00,0.00,",
                         "#M2,B,01,705,#12-34-56-78-90-12-34-56,1.00,A,1.00,0.00,0.00,0.00,",
                         "#M3,C,01,706,#123-456-789,1.00,A,1.00,0.00,0.00,0.00,",
                         "#M4,D,01,707,#000-456-789,1.00,A,1.00,0.00,0.00,0.00,"}));
    const std::map<QString, QString> want{{"M1", "000000000310442187"},
                                          {"M2", "001234567890123456"},
                                          {"M3", "000000000123456789"},
                                          {"M4", "000000000000456789"}};
    QByteArray saved[3];
    for (int n = 0; n < 3; ++n) {
        expectUnshownFolios("Jurisdiction 701: ###-### (9 digits)\nJurisdiction 705: ##-##-##-##-##-##-##-## "
                            "(16 digits)\nJurisdiction 706: ###-###-###-7 (9 digits)\n"
                            "Jurisdiction 708: ###-### (9 digits)\n");
        saved[n] = loadAndSave(n, n + 1);
        EXPECT_EQ(foliosOf(saved[n]), want) << "save " << n + 1;
    }
    EXPECT_TRUE(saved[0].contains("#M1,A,01,701,#310442187,"));
    EXPECT_TRUE(saved[0].contains("#M4,D,01,707,#000-456-789,"));
    EXPECT_EQ(saved[1], saved[2]);
}

// A file's lines are read without the commas a spreadsheet pads them with, so a
// group value cut by its width just after a field separator is stored without
// it, and the line written from it reads back the same.
TEST_F(RoundTripTest, AGroupValueCutAfterAFieldSeparatorReadsBackAsWritten)
{
    writeFile("Zarvdata0.csv", fileBytes({"ZARV DATA FOR YEAR 2024", "", "FOLIO MASK INFORMATION", "70109###-###-###",
                                          "", "PAYMENT GROUP INFORMATION", "Group #,1", "Agency #,1",
                                          "Payment Due Date,6/30/2024,LATE", "", "PAYMENT DETAIL INFORMATION",
                                          "#M1,A,01,701,#310-442-187,1.00,A,1.00,0.00,0.00,0.00,"}));
    ui().expectIntake(ui::containing("Value cut, line 9: DUEDATE is longer than the program can keep and will be "
                                     "cut. (as read \"6/30/2024,LATE\", stored \"6/30/2024\")"),
                      true);
    const QByteArray first = loadAndSave(0, 1);
    EXPECT_EQ(columnOf("SELECT DUEDATE FROM \"Group\"", "DUEDATE"), QStringList{"6/30/2024"});
    EXPECT_EQ(loadAndSave(1, 2), first);
}

// ---------------------------------------------------------------- what other programs make of a written file

// A written file as another program or a hand edit may leave it. Each form is
// read as the same data, so that its save gives the first save's bytes, or is
// refused with a message naming the line that shows the fault. What the reader
// had to decide is shown on the intake screen first.
TEST_F(RoundTripTest, WhatOtherProgramsMakeOfAWrittenFileReadsAsTheSameDataOrIsRefusedNamingItsLine)
{
    enum Form {
        Utf8, Utf8WithMark, CtrlZLines, Semicolons, Tabs, UnclosedQuote, MacRoman, Utf16Tabs, EmptyLines,
        ExtraField, SemicolonsAndDecimalCommas, kForms
    };
    for (int seed = 1; seed <= 3 * kForms; ++seed) {
        std::mt19937 rng(static_cast<unsigned>(7000 + seed));
        const Form form = Form(seed % kForms);
        const GenFile content = generateContent(rng, GenOptions{});
        emptyTables();
        storeContent(content);
        // Each seed's file is new: the last seed's, as another program left it, would be kept as a copy received.
        QFile::remove(file(0));
        const QByteArray written = save(0, content.year);
        QStringList lines = crlfLines(written);
        const bool beyondAscii = std::any_of(written.begin(), written.end(), [](char c) { return c & 0x80; });

        QString refusalNames;   // empty: read as the same data
        QString shown;          // the finding the intake screen must show; empty: no screen
        QByteArray tail;        // after the last line end
        switch (form) {
        case Utf8WithMark:
            lines.front().prepend(QChar(0xFEFF));
            [[fallthrough]];
        case Utf8:
        case MacRoman:
            if (beyondAscii)
                shown = form == MacRoman ? QStringLiteral("The file is read as Mac Roman")
                                         : QStringLiteral("The file is read as UTF-8");
            break;
        case CtrlZLines: {
            const char* blanks[] = {"\x1A", "\x1A,\x1A ", " ,,\x1A"};
            for (int k = 0; k < 3; ++k)
                lines.insert(1 + qsizetype(rng() % lines.size()), QLatin1String(blanks[rng() % 3]));
            tail = "\x1A";
            break;
        }
        case EmptyLines:
            for (int k = 0; k < 3; ++k)
                lines.insert(qsizetype(rng() % lines.size()), QString());
            if (lines.front().isEmpty())
                shown = QStringLiteral("Line passed over, line 1:");
            break;
        case Semicolons:
        case Tabs:
        case SemicolonsAndDecimalCommas:
            if (written.contains(','))
                shown = form == Tabs ? QStringLiteral("separated by tabs") : QStringLiteral("separated by semicolons");
            lines = separated(lines, form == Tabs ? u'\t' : u';', form == SemicolonsAndDecimalCommas);
            break;
        case Utf16Tabs:
            lines = separated(lines, u'\t');
            shown = QStringLiteral("The file is read as UTF-16");
            break;
        case UnclosedQuote:
        case ExtraField:
            for (qsizetype i = 0; i < lines.size(); ++i) {
                if (!lines[i].startsWith(u'#'))
                    continue;
                const QStringList fields = lines[i].split(u',');
                // An extra field among the codes and amounts, where no text field can have taken it.
                const int f = form == ExtraField ? 3 + int(rng() % 8) : int(rng() % fields.size());
                qsizetype at = 0;
                for (int k = 0; k < f; ++k)
                    at += fields[k].size() + 1;
                if (form == ExtraField) {
                    // A value typed with a comma and no quotes.
                    lines[i].insert(at, QStringLiteral("X,"));
                    refusalNames = QStringLiteral("holds 13 fields where a payment has 12");
                    break;
                }
                // A quote before a field of the first payment line, never closed.
                lines[i].insert(at, u'"');
                refusalNames = QStringLiteral("line %1: ").arg(i + 1) + lines[i];
                break;
            }
            break;
        case kForms:
            break;
        }
        const QByteArray bytes = form == Utf16Tabs ? utf16Bytes(lines)
                                 : form == MacRoman ? macRomanBytes(lines)
                                 : form == Utf8 || form == Utf8WithMark ? utf8Bytes(lines)
                                                                        : fileBytes(lines);
        writeFile("Zarvdata0.csv", bytes + tail);

        if (!refusalNames.isEmpty()) {
            ui().expectBox(ExpectedBox{ui::containing(refusalNames), Answer::OK, Icon::Critical, {}, {}});
            EXPECT_FALSE(Csv2Mdb(file(0))) << "seed " << seed;
            EXPECT_TRUE(rowsOf("SELECT * FROM Detail").empty()) << "seed " << seed;
            ASSERT_TRUE(ui().clean()) << "seed " << seed << ": " << ui().report().toStdString();
            continue;
        }
        if (!shown.isEmpty())
            ui().expectIntake(ui::containing(shown), true);
        const QByteArray first = loadAndSave(0, 1);
        ASSERT_TRUE(ui().clean()) << "seed " << seed << " form " << form << ": " << ui().report().toStdString();
        ASSERT_EQ(first, written) << "seed " << seed << " form " << form << ": " << difference(written, first);
        ASSERT_EQ(loadAndSave(1, 2), first) << "seed " << seed;
    }
}

// ---------------------------------------------------------------- spreadsheet forms at random

// One field as a spreadsheet program may write it: as is, or in quotes with
// every quote doubled (always so when it holds a comma or a quote).
QString csvField(std::mt19937& rng, const QString& value)
{
    const bool mustQuote = value.contains(QLatin1Char(',')) || value.contains(QLatin1Char('"'));
    if (!mustQuote && rng() % 3)
        return value;
    QString v = value;
    return QLatin1Char('"') + v.replace(QLatin1String("\""), QLatin1String("\"\"")) + QLatin1Char('"');
}

// A line of fields, padded with empty fields to width now and then.
QString csvLine(std::mt19937& rng, const QStringList& fields, int width = 12)
{
    QStringList out;
    for (const QString& f : fields)
        out << csvField(rng, f);
    if (rng() % 2)
        while (out.size() < width)
            out << QString();
    return out.join(QLatin1Char(','));
}

QString digitsOf(std::mt19937& rng, int n)
{
    QString s;
    for (int i = 0; i < n; ++i)
        s += QChar(u'0' + int(rng() % 10));
    return s;
}

TEST_F(RoundTripTest, SpreadsheetFormsAndOddMasksLeaveEveryFolioAlone)
{
    const char* blanks[] = {",,,,,,,,,,,", "  \t ", "\t", "", "\"\",\"\",,"};
    for (int seed = 1; seed <= 15; ++seed) {
        std::mt19937 rng(static_cast<unsigned>(9000 + seed));
        QStringList lines{csvLine(rng, {"ZARV DATA FOR YEAR 2024"}), "", "FOLIO MASK INFORMATION"};
        // Two sound masks and one that cannot show its folios, of each kind in turn.
        const QString odd[] = {"###-###", "##-##-##-##-##-##-##-##", "###-###-###-1"};
        const int oddLen[] = {9, 16, 9};
        const int kind = seed % 3;
        lines << csvLine(rng, {"70109###-###-###"}) << csvLine(rng, {"70212####-####-####"})
              << csvLine(rng, {QStringLiteral("703%1%2").arg(oddLen[kind], 2, 10, QLatin1Char('0')).arg(odd[kind])});
        const int lens[] = {9, 12, oddLen[kind]};
        lines << "";

        std::map<QString, QString> want;
        int number = 0;
        for (int g = 1; g <= 1 + int(rng() % 3); ++g) {
            lines << "PAYMENT GROUP INFORMATION" << csvLine(rng, {"Group #", QString::number(g)})
                  << csvLine(rng, {"Agency #", QString::number(g)})
                  << csvLine(rng, {"Payment Due Date", "03/31/26"})
                  << csvLine(rng, {"Name1:", "BANK, \"NO\" " + QString::number(g)}) << ""
                  << "PAYMENT DETAIL INFORMATION" << QStringLiteral("MORTGAGE NUMBER,NAME OF OWNER");
            for (int p = 0; p < 1 + int(rng() % 12); ++p) {
                const int j = int(rng() % 3);
                const QString digits = digitsOf(rng, 1 + int(rng() % lens[j]));
                QString folio = digits;
                if (rng() % 2)
                    folio.insert(folio.size() / 2, QLatin1Char('-'));
                const QString num = QStringLiteral("M%1").arg(++number);
                QString name = QStringLiteral("OWNER %1").arg(number);
                if (rng() % 2)
                    name += rng() % 2 ? QStringLiteral(", JR") : QStringLiteral(" \"O'NEIL\"");
                const unsigned cents = rng() % 100000;
                const QString amount = QStringLiteral("%1.%2").arg(cents / 100).arg(cents % 100, 2, 10, QLatin1Char('0'));
                lines << csvLine(rng, {"#" + num, name, QString::number(1 + rng() % 9),
                                       QStringLiteral("70%1").arg(j + 1), "#" + folio, amount, "A", amount, "0", "0",
                                       "0", "LOT " + QString::number(p) + (rng() % 2 ? ", PLAN 2" : "")});
                want[num] = eighteenDigits(digits);
                if (rng() % 4 == 0)
                    lines << blanks[rng() % std::size(blanks)];
            }
            lines << "" << "";
        }
        QByteArray bytes = rng() % 2 ? fileBytes(lines, "\n") : fileBytes(lines);
        if (seed % 4 == 0)
            bytes = "\xEF\xBB\xBF" + QString::fromLatin1(bytes).toUtf8();
        if (seed % 3 == 0)
            bytes += "\x1A";
        writeFile("Zarvdata0.csv", bytes);

        const QString naming = QStringLiteral("Jurisdiction 703: %1").arg(odd[kind]);
        expectUnshownFolios(naming);
        const QByteArray first = loadAndSave(0, 1);
        expectUnshownFolios(naming);
        const QByteArray second = loadAndSave(1, 2);
        ASSERT_EQ(first, second) << "seed " << seed << ": " << difference(first, second);
        EXPECT_EQ(foliosOf(first), want) << "seed " << seed;
    }
}

// ---------------------------------------------------------------- what the load asks about

// Generated files with values longer than their columns, groups whose stated
// count or total is wrong, and agencies split over several sections. The load
// names every cut value and every wrong group by its line; a clerk who stops
// gets nothing loaded; one who goes on gets the file's data cut to its columns,
// each payment under the section it came from, and the file saved from it loads
// without a question and saves to the same bytes again.
TEST_F(RoundTripTest, OverWideValuesWrongCountsAndSplitAgenciesAreNamedOrLoadedAlike)
{
    const QString& heading = kPaymentHeading;
    int answered[2] = {0, 0};
    for (int seed = 1; seed <= 30; ++seed) {
        std::mt19937 rng(static_cast<unsigned>(12000 + seed));
        QStringList lines{"ZARV DATA FOR YEAR 2024", "", "FOLIO MASK INFORMATION", "70109###-###-###",
                          "70218##################", ""};
        QStringList cutsNamed;     // "Line n, FIELD:"
        QStringList groupsNamed;   // "on line n:"
        std::map<QString, QStringList> want;   // number -> stored NAME, FOLIO, LEGAL, FILE_ID, PAYMENT
        const int agencies = 1 + int(rng() % 3);
        const int sections = agencies + int(rng() % 3);
        int serial = 0;
        for (int g = 1; g <= sections; ++g) {
            const int agency = g <= agencies ? g : 1 + int(rng() % agencies);
            lines << "PAYMENT GROUP INFORMATION" << QStringLiteral("Group #,%1").arg(g)
                  << QStringLiteral("Agency #,%1").arg(agency);
            const QString name1 = QString(30 + int(rng() % 8), QLatin1Char('B'));
            lines << "Name1:," + name1;
            if (name1.size() > 35)
                cutsNamed << QStringLiteral("Value cut, line %1: NAME1 is").arg(lines.size());
            const int k = int(rng() % 5);
            QStringList payments;
            long long cents = 0;
            for (int p = 0; p < k; ++p) {
                const QString number = QStringLiteral("M%1").arg(++serial);
                const int line = int(lines.size()) + 5 + p + 1;
                const QString name = QStringLiteral("N%1 ").arg(serial, 3, 10, QLatin1Char('0')) +
                                     QString(16 + int(rng() % 12), QLatin1Char('X'));
                const bool wide = rng() % 4 == 0;
                const QString jur = wide ? "702" : (rng() % 2 ? "701" : "702");
                const QString folio = jur == "701" ? digitsOf(rng, 1 + int(rng() % 9))
                                                   : QString::number(1 + rng() % 9) + digitsOf(rng, int(rng() % 20));
                const QString legal = QStringLiteral("LOT %1 ").arg(p) + QString(int(rng() % 30), QLatin1Char('L'));
                const long long c = 1 + rng() % 100000;
                cents += c;
                const QString amount = QStringLiteral("%1.%2").arg(c / 100).arg(c % 100, 2, 10, QLatin1Char('0'));
                payments << QStringLiteral("#%1,%2,01,%3,#%4,%5,A,%5,0.00,0.00,0.00,%6")
                                .arg(number, name, jur, folio, amount, legal);
                if (name.size() > 25)
                    cutsNamed << QStringLiteral("Value cut, line %1: NAME is").arg(line);
                if (folio.size() > 18)
                    cutsNamed << QStringLiteral("Value cut, line %1: FOLIO is").arg(line);
                if (legal.size() > 32)
                    cutsNamed << QStringLiteral("Value cut, line %1: LEGAL is").arg(line);
                want[number] = {name.left(25).trimmed(), eighteenDigits(folio), legal.left(32).trimmed(),
                                QStringLiteral("%1").arg(g, 3, 10, QLatin1Char('0')), amount};
            }
            const bool wrong = rng() % 4 == 0;
            if (wrong)
                groupsNamed << QStringLiteral("Stated count, line %1: Group").arg(lines.size() + 2);
            lines << QStringLiteral("Number of Payment records,%1").arg(k + (wrong && rng() % 2 ? 1 : 0))
                  << QStringLiteral("Payment Amount,%1.%2")
                         .arg((cents + (wrong ? 100 : 0)) / 100)
                         .arg((cents + (wrong ? 100 : 0)) % 100, 2, 10, QLatin1Char('0'))
                  << "" << "PAYMENT DETAIL INFORMATION" << heading << payments << "" << "";
        }
        writeFile("Zarvdata0.csv", fileBytes(lines));

        // The clerk cancels on the intake screen now and then.
        const bool asked = !(cutsNamed.isEmpty() && groupsNamed.isEmpty());
        const bool stopped = asked && rng() % 3 == 0;
        if (asked)
            ui().expectIntake(ui::TextMatch::any(), !stopped);
        const size_t shown = ui().intakes().size();
        const std::vector<QVariantMap> detailBefore = rowsOf("SELECT * FROM Detail");
        const std::vector<QVariantMap> groupsBefore = rowsOf("SELECT * FROM \"Group\"");
        EXPECT_EQ(Csv2Mdb(file(0)), !stopped) << "seed " << seed;
        ASSERT_TRUE(ui().clean()) << "seed " << seed << ": " << ui().report().toStdString();
        const QString screen = asked ? ui().intakes().back().lines().join(QLatin1Char('\n')) : QString();
        EXPECT_EQ(ui().intakes().size(), shown + (asked ? 1 : 0)) << "seed " << seed;
        for (const QString& n : cutsNamed + groupsNamed)
            EXPECT_TRUE(screen.contains(n)) << "seed " << seed << ": " << n.toStdString();
        ++answered[stopped ? 0 : 1];
        if (stopped) {
            // Cancel leaves the tables as they were.
            EXPECT_EQ(rowsOf("SELECT * FROM Detail"), detailBefore) << "seed " << seed;
            EXPECT_EQ(rowsOf("SELECT * FROM \"Group\""), groupsBefore) << "seed " << seed;
            continue;
        }
        std::map<QString, QStringList> stored;
        for (const QVariantMap& r : rowsOf("SELECT * FROM Detail")) {
            stored[r["NUMBER"].toString()] = {r["NAME"].toString(), r["FOLIO"].toString(), r["LEGAL"].toString(),
                                              r["FILE_ID"].toString(), QString::number(r["PAYMENT"].toDouble(), 'f', 2)};
        }
        EXPECT_EQ(stored, want) << "seed " << seed;

        const QByteArray first = save(1, "2024");
        const size_t before = ui().boxes().size() + ui().intakes().size();
        const QByteArray second = loadAndSave(1, 2);
        EXPECT_EQ(ui().boxes().size() + ui().intakes().size(), before) << "seed " << seed;   // the saved file asks nothing
        ASSERT_EQ(first, second) << "seed " << seed << ": " << difference(first, second);
    }
    EXPECT_GT(answered[0], 0);
    EXPECT_GT(answered[1], 0);
}

} // namespace
