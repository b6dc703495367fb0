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

TEST(CsvReader, TakesTheCharacterSetTheBytesReadAsElseWindows1252)
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
        {"\xF0\x9F\x98\x80 \xC3\x89", Encoding::Utf8, QStringLiteral("\U0001F600 \u00C9")},
        // Valid UTF-8 only into characters Windows-1252 lacks: Windows-1252 ("\u0252" is C9 92).
        {"REN\xC9\x92S BAKERY", Encoding::Windows1252, QStringLiteral("REN\u00C9\u2019S BAKERY")},
        {"\xF0\x9F\x98\x80", Encoding::Windows1252, QStringLiteral("\u00F0\u0178\u02DC\u20AC")},
        // Excel's "CSV (Macintosh)": capitals where Windows-1252 has signs or small letters.
        {"CR\x83" "DIT FONCIER,NU\x84" "EZ,M\x86" "LLER,REN\xE9,ZO\xE8", Encoding::MacRoman,
         QStringLiteral("CR\u00C9DIT FONCIER,NU\u00D1EZ,M\u00DCLLER,REN\u00C8,ZO\u00CB")},
        {"Cr\x8E" "dit,Nu\x96" "ez", Encoding::MacRoman, QStringLiteral("Cr\u00E9dit,Nu\u00F1ez")},
        {"M\xDC" "LLER,Ren\xE9,JOS\xC9", Encoding::Windows1252, QStringLiteral("M\u00DCLLER,Ren\u00E9,JOS\u00C9")},
        // A byte-order mark of UTF-16, either byte order (Excel's "Unicode Text").
        {QByteArray("\xFF\xFE" "A\0\t\0\xC9\0\r\0\n\0", 12), Encoding::Utf16, QStringLiteral("A,\u00C9")},
        {QByteArray("\xFE\xFF\0A\0\t\0\xC9", 8), Encoding::Utf16, QStringLiteral("A,\u00C9")},
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

// A file of several megabytes is decoded a block at a time: no line, line end
// or character is split where one block ends and the next begins.
TEST(CsvReader, ALargeFileReadsAsItsLinesWhateverItsLineEndsAndCharacterSet)
{
    const struct {
        const char* end;
        QByteArray letter;   // what begins each line after the first, and how it reads
        QString read;
        Encoding encoding;
    } cases[] = {
        {"\r\n", "E", QStringLiteral("E"), Encoding::Windows1252},
        {"\n", "\xE9", QStringLiteral("\u00E9"), Encoding::Windows1252},
        {"\n", "\xC3\x89", QStringLiteral("\u00C9"), Encoding::Utf8},
        {"\r\n", "\xEF\xBB\xBF\xC3\x89", QStringLiteral("\uFEFF\u00C9"), Encoding::Utf8},   // a mark only at the start
    };
    for (const auto& c : cases) {
        QByteArray bytes = QByteArray("HEAD") + c.end;
        QStringList lines{QStringLiteral("HEAD")};
        for (int n = 0; bytes.size() < 3 * (1 << 20); ++n) {
            const QByteArray count = QByteArray::number(n);
            bytes += c.letter + QByteArray(n % 97, 'x') + count + c.end;
            lines << c.read + QString(n % 97, u'x') + QString::fromLatin1(count);
        }
        bytes += "LAST\x1A";
        lines << QStringLiteral("LAST");
        CsvReader r;
        r.open(bytes);
        EXPECT_EQ(r.encoding(), c.encoding);
        EXPECT_EQ(r.lineCount(), lines.size());
        EXPECT_EQ(linesOf(r), lines) << c.end;
    }
}

TEST(CsvReader, RefusesOtherSeparatorsUnclosedQuotesAndWhatTheCodePageLacksNamingTheLines)
{
    const struct {
        QByteArray bytes;
        Fault fault;
        QStringList named;
    } cases[] = {
        // A line of fields separated otherwise than the file's other lines.
        {"a;b\r\nc;d\r\ne,f\r\n", Fault::Separator,
         {"separated by semicolons (;), but line 3 separates its fields by commas (,): e,f"}},
        {"a,b\r\nc\td\r\ne,f\r\n", Fault::Separator, {"line 2 separates its fields by tabs (Tab)"}},
        // A value holding the other separator, or one in quotes, does not count; blank lines do not vote.
        {"a,b;c,d\r\n\"x;y\",z\r\n", Fault::None, {}},
        {"a,b\r\n\t\r\n;;;\r\nc,d\r\n", Fault::None, {}},
        // A line with more of the other separator agrees when it holds the file's own too.
        {"a,b\r\nName1:,FLAT 2; 3 HIGH ST; LEEDS\r\nc,d\r\n", Fault::None, {}},
        {"a;\"b,c\";d\r\nx;1,50\r\n", Fault::None, {}},   // a tie on a line goes to the other separator
        {"ok,\"x\"\r\n#M1,\"ACME,01\r\nb,\"c\"\"\r\n", Fault::UnclosedQuote,
         {"line 2: #M1,\"ACME,01", "line 3: b,\"c\"\""}},
        {"a;\"b\r\nc;d\r\n", Fault::UnclosedQuote, {"line 1: a;\"b"}},
        {"a,\xE2\x98\x83\r\nb,\xC3\x89\r\n\xCE\xA9\xF0\x9F\x98\x80", Fault::Unwritable,
         {QStringLiteral("line 1 holds \"\u2603\": a,\u2603"),
          QStringLiteral("line 3 holds \"\u03A9\" \"\U0001F600\""), "read as UTF-8"}},
        {"\xEF\xBB\xBF" "a\r\nb\xE9", Fault::Unwritable,
         {QStringLiteral("line 2 holds \"\uFFFD\""), "byte-order mark"}},
        {"CR\x83" "DIT\xAD", Fault::Unwritable, {QStringLiteral("line 1 holds \"\u2260\""), "Mac Roman"}},
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

    // A file that cannot be opened says why.
    EXPECT_FALSE(r.open(QStringLiteral("/nonexistent/folder/Verify.csv")));
    EXPECT_TRUE(r.errorString().contains(QStringLiteral("Verify.csv")));
}

// A file separated by semicolons or tabs is handed out in the comma form, and
// what the reader decided (separator, character set) is kept as findings.
TEST(CsvReader, OtherSeparatorsAndCharacterSetsAreReadAndNoted)
{
    const struct {
        QByteArray bytes;
        QStringList lines;
        QStringList findings;
    } cases[] = {
        {"a;\"b;c\";1,50\r\n;;\r\nd;\"e\"\"f\"", {"a,b;c,\"1,50\"", ",,", "d,\"e\"\"f\""},
         {"Field separator: The fields are separated by semicolons (;)"}},
        {QByteArray("\xFF\xFE" "a\0\t\0b\0,\0c\0", 12), {"a,\"b,c\""},
         {"Character set: The file is read as UTF-16", "Field separator: The fields are separated by tabs (Tab)"}},
        {"x,y\r\n\xC3\x89MILE,z", {"x,y", QStringLiteral("\u00C9MILE,z")},
         {QStringLiteral("Character set, line 2: The file is read as UTF-8; it will be written back in Windows-1252. "
                         "(as read \"\u00C3\u2030MILE,z\", stored \"\u00C9MILE,z\")")}},
        {"a,b\r\nc,d", {"a,b", "c,d"}, {}},
        {"\xEF\xBB\xBF" "a,b", {"a,b"}, {}},
    };
    for (const auto& c : cases) {
        CsvReader r;
        r.open(c.bytes);
        EXPECT_EQ(r.fault(), Fault::None) << r.refusal().toStdString();
        EXPECT_EQ(linesOf(r), c.lines) << c.bytes.toHex().toStdString();
        Intake intake;
        intake.findings = r.findings();
        const QStringList shown = intake.lines();
        EXPECT_EQ(shown.size(), c.findings.size()) << shown.join(u'\n').toStdString();
        for (qsizetype i = 0; i < std::min(shown.size(), c.findings.size()); ++i)
            EXPECT_TRUE(shown[i].startsWith(c.findings[i])) << shown[i].toStdString();
    }
}

} // namespace
