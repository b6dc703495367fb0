// The reader of comma-separated files other programs wrote: character set,
// lines, the end-of-file mark, and the files it refuses.
#include "platform/files/csvfile.h"

#include <gtest/gtest.h>

using namespace zarv::fs;
using Encoding = CsvReader::Encoding;
using Fault = CsvReader::Fault;

namespace {

QStringList linesOf(CsvReader& r)
{
    QStringList out;
    QString line;
    while (r.readLine(line))
        out << line;
    return out;
}

TEST(CsvReader, TakesUtf8WhenItIsValidAndHoldsMoreThanAsciiElseWindows1252)
{
    const struct {
        QByteArray bytes;
        Encoding encoding;
        QString text;
    } cases[] = {
        {"CR\xC3\x89" "DIT NU\xC3\x91" "EZ \xE2\x82\xAC", Encoding::Utf8, QStringLiteral("CR\u00C9DIT NU\u00D1EZ \u20AC")},
        {"\xEF\xBB\xBF" "CR\xC3\x89" "DIT", Encoding::Utf8WithMark, QStringLiteral("CR\u00C9DIT")},
        {"\xEF\xBB\xBF" "ABC", Encoding::Utf8WithMark, QStringLiteral("ABC")},
        {"ABC", Encoding::Windows1252, QStringLiteral("ABC")},
        {"CR\xC9" "DIT \x80 \x8A", Encoding::Windows1252, QStringLiteral("CR\u00C9DIT \u20AC \u0160")},
        // One sequence that is no UTF-8 makes the whole file Windows-1252.
        {"\xC3\x89 \xC9", Encoding::Windows1252, QStringLiteral("\u00C3\u2030 \u00C9")},
        {"\xC0\xAF", Encoding::Windows1252, QStringLiteral("\u00C0\u00AF")},              // overlong
        {"\xED\xA0\x80", Encoding::Windows1252, QStringLiteral("\u00ED\u00A0\u20AC")},    // surrogate
        {"\xF4\x90\x80\x80", Encoding::Windows1252, QStringLiteral("\u00F4\u0090\u20AC\u20AC")},   // past U+10FFFF
        {"A\xC3", Encoding::Windows1252, QStringLiteral("A\u00C3")},                      // cut short
        {"\xF0\x9F\x98\x80", Encoding::Utf8, QStringLiteral("\U0001F600")},
    };
    for (const auto& c : cases) {
        CsvReader r;
        r.open(c.bytes);
        EXPECT_EQ(r.encoding(), c.encoding) << c.bytes.toHex().toStdString();
        EXPECT_EQ(linesOf(r), QStringList{c.text}) << c.bytes.toHex().toStdString();
    }
}

TEST(CsvReader, LinesEndAtEveryKindOfLineEndAndCtrlZEndsOnlyTheLastLine)
{
    const struct {
        QByteArray bytes;
        QStringList lines;
    } cases[] = {
        {"", {}},
        {"\r\n", {""}},
        {"a\rb\nc\r\n\r\nd", {"a", "b", "c", "", "d"}},
        {"a\n\rb", {"a", "", "b"}},
        {"a\r\n\x1A", {"a"}},
        {"a\x1A\x1A", {"a"}},
        {"a\x1A\r\n", {"a"}},
        {"a\r\n\x1A\r\n\r\n", {"a", "\x1A", ""}},   // a line of its own (the load takes it as blank)
        {"a\x1A\r\n\r\n", {"a\x1A", ""}},
        {"\x1A" "b\r\nc\x1A,\r\n", {"\x1A" "b", "c\x1A,"}},
        {"\x1A", {}},
    };
    for (const auto& c : cases) {
        CsvReader r;
        r.open(c.bytes);
        EXPECT_EQ(r.fault(), Fault::None);
        EXPECT_EQ(linesOf(r), c.lines) << c.bytes.toHex().toStdString();
        EXPECT_EQ(r.lineNumber(), c.lines.size());
    }
}

TEST(CsvReader, RefusesOtherSeparatorsUnclosedQuotesAndWhatTheCodePageLacksNamingTheLines)
{
    const struct {
        QByteArray bytes;
        Fault fault;
        QStringList named;
    } cases[] = {
        {"HEADER\r\na;b;c\r\n;;\r\n", Fault::Separator, {"semicolons (;)", "line 2: a;b;c", "comma"}},
        {"a\tb\tc\n", Fault::Separator, {"tabs (Tab)", "line 1"}},
        // A value holding the other separator, or one in quotes, does not count.
        {"a,b;c,d\r\n\"x;y\",z\r\n", Fault::None, {}},
        {"a;\"b,c\";d\r\n", Fault::Separator, {"line 1"}},
        // Lines of the other kind outnumber the comma lines; blank lines do not vote.
        {"a;b\r\nc;d\r\ne,f\r\n", Fault::Separator, {"line 1"}},
        {"a,b\r\n\t\r\n;;;\r\nc,d\r\n", Fault::None, {}},
        {"ok,\"x\"\r\n#M1,\"ACME,01\r\nb,\"c\"\"\r\n", Fault::UnclosedQuote,
         {"line 2: #M1,\"ACME,01", "line 3: b,\"c\"\""}},
        // Other separators are named before quotes: with them no quote can be judged.
        {"a;\"b\r\n", Fault::Separator, {"semicolons"}},
        {"a,\xE2\x98\x83\r\nb,\xC3\x89\r\n\xCE\xA9\xF0\x9F\x98\x80", Fault::Unwritable,
         {QStringLiteral("line 1 holds \"\u2603\": a,\u2603"),
          QStringLiteral("line 3 holds \"\u03A9\" \"\U0001F600\""), "valid UTF-8"}},
        {"\xEF\xBB\xBF" "a\r\nb\xE9", Fault::Unwritable,
         {QStringLiteral("line 2 holds \"\uFFFD\""), "byte-order mark"}},
    };
    for (const auto& c : cases) {
        CsvReader r;
        r.open(c.bytes);
        EXPECT_EQ(r.fault(), c.fault) << c.bytes.toStdString();
        EXPECT_EQ(r.refusal().isEmpty(), c.fault == Fault::None) << r.refusal().toStdString();
        for (const QString& n : c.named)
            EXPECT_TRUE(r.refusal().contains(n)) << r.refusal().toStdString() << "\nwants " << n.toStdString();
    }
    // Ten lines are named, the rest counted.
    QByteArray many;
    for (int i = 0; i < 25; ++i)
        many += "\"open\r\n";
    CsvReader r;
    r.open(many);
    EXPECT_TRUE(r.refusal().contains(QStringLiteral("line 10:")));
    EXPECT_FALSE(r.refusal().contains(QStringLiteral("line 11:")));
    EXPECT_TRUE(r.refusal().contains(QStringLiteral("and 15 more lines")));
}

// A file of which only some lines hold fields leaves their separators and
// quotes to the caller: the others (a mask "###;###", a value typed with an
// opening quote) read whole, whatever they hold.
TEST(CsvReader, LinesOfFieldsTheCallerHandsOverAreJudgedAsItReadsThem)
{
    CsvReader r;
    r.open(QByteArray("70109###;###\r\nName1:,\"ACME, INC\r\n#M1,\"OPEN,01\r\n#M2,A;B;C;D\r\nGroup #;1\r\n"),
           CsvReader::Split::ByCaller);
    EXPECT_EQ(r.fault(), Fault::None);
    QString line;
    for (int n = 0; n < 3; ++n)
        ASSERT_TRUE(r.readLine(line));
    EXPECT_TRUE(r.fieldsSeparatedByCommas(line));
    r.noteUnclosedQuote(line);
    EXPECT_EQ(r.fault(), Fault::UnclosedQuote);
    EXPECT_TRUE(r.refusal().endsWith(QStringLiteral("\nline 3: #M1,\"OPEN,01"))) << r.refusal().toStdString();
    ASSERT_TRUE(r.readLine(line));
    EXPECT_TRUE(r.fieldsSeparatedByCommas(line));   // a comma, however many semicolons the values hold
    ASSERT_TRUE(r.readLine(line));
    EXPECT_FALSE(r.fieldsSeparatedByCommas(line));
    EXPECT_EQ(r.fault(), Fault::Separator);
    EXPECT_TRUE(r.refusal().contains(QStringLiteral("semicolons (;), not by commas (line 5: Group #;1)")))
        << r.refusal().toStdString();
}

TEST(CsvReader, AFileThatCannotBeOpenedSaysWhy)
{
    CsvReader r;
    EXPECT_FALSE(r.open(QStringLiteral("/nonexistent/folder/Verify.csv")));
    EXPECT_TRUE(r.errorString().contains(QStringLiteral("Verify.csv")));
}

} // namespace
