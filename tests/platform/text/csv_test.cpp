// The one CSV rule: how a line splits into fields and how fields are written
// so that they split back.
#include "platform/text/csv.h"

#include <gtest/gtest.h>

#include <random>

using namespace zarv;

namespace {

struct Split {
    QString fields;   // joined by |
    bool unclosed = false;
};

Split splitOf(const QString& line, int max)
{
    std::vector<QStringView> f(static_cast<size_t>(max));
    QString storage;
    bool unclosed = false;
    const int n = csv::split(line, f.data(), max, storage, &unclosed);
    QStringList out;
    for (int i = 0; i < n; ++i)
        out << f[size_t(i)].toString();
    return {out.join(u'|'), unclosed};
}

TEST(CsvSplit, FieldsAsSpreadsheetProgramsWriteThem)
{
    const struct {
        const char* line;
        const char* fields;
        bool unclosed;
    } cases[] = {
        {"a,b,c", "a|b|c", false},
        {",b,,d,", "|b||d|", false},
        {"", "", false},
        {"a,\"b,c\",d", "a|b,c|d", false},
        // A doubled quote inside a quoted field is one quote, and the field goes on.
        {"\"SMITH \"\"JR\"\", JOHN\",01,701", "SMITH \"JR\", JOHN|01|701", false},
        {"\"\"\"\",x", "\"|x", false},
        {"a,\"\",c", "a||c", false},
        // Text after the closing quote stays with the field; a quote that does not
        // open a field is an ordinary character, and so is an apostrophe.
        {"\"ab\"cd,e", "abcd|e", false},
        {"a,b\"c,d", "a|b\"c|d", false},
        {" \"a,b\"", " \"a|b\"", false},
        {"'a,b'", "'a|b'", false},
        // A quote that opens a field and never closes takes the rest of the line.
        {"#M1,\"ACME HOLDINGS,01,701", "#M1|ACME HOLDINGS,01,701", true},
        {"a,\"b\"\"", "a|b\"", true},
        {"\"", "", true},
    };
    for (const auto& c : cases) {
        const Split s = splitOf(QString::fromLatin1(c.line), 20);
        EXPECT_EQ(s.fields, QString::fromLatin1(c.fields)) << c.line;
        EXPECT_EQ(s.unclosed, c.unclosed) << c.line;
        EXPECT_EQ(csv::unclosedQuote(QString::fromLatin1(c.line)) >= 0, c.unclosed) << c.line;
    }
    EXPECT_EQ(splitOf(QStringLiteral("a,\"b,c\",d,e"), 2).fields, QStringLiteral("a|b,c"));
    EXPECT_EQ(csv::split(QStringLiteral("a,\"b,c\""), 4), QStringList({"a", "b,c", "", ""}));
    EXPECT_EQ(csv::unclosedQuote(QStringLiteral("a,b,\"c")), 4);
}

TEST(CsvWrite, QuotesOnlyWhatNeedsItAndEveryLineSplitsBackIntoItsFields)
{
    EXPECT_EQ(csv::join({"a", "", "b c", "x,y", "say \"hi\"", "two\nlines", "O'NEIL"}),
              QStringLiteral("a,,b c,\"x,y\",\"say \"\"hi\"\"\",\"two\nlines\",O'NEIL"));

    // Whatever the fields hold (but line ends, which no line holds), the line
    // the writer makes splits back into them, and no quote of it is left open.
    const QString alphabet = QStringLiteral("ab ,\"'\t;\u00C9\x1A");
    std::mt19937 rng(7);
    for (int round = 0; round < 3000; ++round) {
        QStringList fields;
        const int n = 1 + int(rng() % 6);
        for (int f = 0; f < n; ++f) {
            QString v;
            for (int k = int(rng() % 7); k > 0; --k)
                v += alphabet.at(rng() % alphabet.size());
            fields << v;
        }
        const QString line = csv::join(fields);
        ASSERT_EQ(csv::unclosedQuote(line), -1) << line.toStdString();
        ASSERT_EQ(csv::split(line, n), fields) << line.toStdString();
    }
}

TEST(CsvBlankLine, BlanksTabsCommasAndEndOfFileMarksOnly)
{
    for (const char* blank : {"", " ", ",,,", "\t", "\x1A", " \x1A,\x1A ,", "\x1A\x1A"})
        EXPECT_TRUE(csv::isBlankLine(QString::fromLatin1(blank))) << blank;
    for (const char* data : {"a", ",,0", "\"\"", "\x1A" "a", "\xA0"})
        EXPECT_FALSE(csv::isBlankLine(QString::fromLatin1(data))) << data;
}

} // namespace
