// Windows-1252 text files: code page, line ends, safe writing.
#include "platform/files/textfile.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace zarv::fs;

namespace {

QByteArray allBytes()
{
    QByteArray b;
    for (int i = 0; i < 256; ++i)
        b.append(char(i));
    return b;
}

void writeRaw(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

QByteArray readRaw(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

QStringList readLines(const QString& path)
{
    LineReader reader;
    EXPECT_TRUE(reader.open(path)) << reader.errorString().toStdString();
    QStringList lines;
    QString line;
    while (reader.readLine(line))
        lines.append(line);
    EXPECT_TRUE(reader.atEnd());
    return lines;
}

class TextFileTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path(const QString& name) const { return dir.filePath(name); }
};

} // namespace

TEST(CodePage, EveryByteSurvivesDecodeAndEncode)
{
    const QByteArray bytes = allBytes();
    const QString text = decodeCp1252(bytes);
    ASSERT_EQ(text.size(), 256);
    EXPECT_EQ(encodeCp1252(text), bytes);
}

TEST(CodePage, KnownCharacters)
{
    const std::pair<unsigned char, char16_t> cases[] = {
        {0x41, u'A'}, {0x80, 0x20AC}, {0x81, 0x0081}, {0x8A, 0x0160}, {0x8D, 0x008D},
        {0x8F, 0x008F}, {0x90, 0x0090}, {0x92, 0x2019}, {0x96, 0x2013}, {0x9D, 0x009D},
        {0x9F, 0x0178}, {0xA0, 0x00A0}, {0xE9, 0x00E9}, {0xFF, 0x00FF},
    };
    for (const auto& [byte, unicode] : cases) {
        const QString s = decodeCp1252(QByteArray(1, char(byte)));
        ASSERT_EQ(s.size(), 1);
        EXPECT_EQ(s[0].unicode(), unicode) << int(byte);
        EXPECT_EQ(encodeCp1252(QString(QChar(unicode))), QByteArray(1, char(byte))) << int(byte);
    }
}

TEST(CodePage, UnmappableCharactersBecomeQuestionMarks)
{
    EXPECT_EQ(encodeCp1252(QString::fromUtf8("a\u03A9b\u2192")), QByteArray("a?b?"));
    EXPECT_EQ(encodeCp1252(QString(QChar(0x0080))), QByteArray("?"));   // C1 control the page redefines
    EXPECT_EQ(encodeCp1252(QString::fromUtf8("x\U0001F600y")), QByteArray("x?y"));   // one character, one "?"
}

struct LineCase {
    const char* name;
    QByteArray bytes;
    QStringList lines;
};

TEST_F(TextFileTest, LineEndVariants)
{
    const LineCase cases[] = {
        {"empty", "", {}},
        {"no end", "a", {"a"}},
        {"crlf", "a\r\n", {"a"}},
        {"blank between", "a\r\n\r\nb", {"a", "", "b"}},
        {"only crlf", "\r\n", {""}},
        {"mixed", "a\rb\nc\r\nd", {"a", "b", "c", "d"}},
        {"lf then cr", "a\n\r", {"a", ""}},
        {"two lf", "\n\n", {"", ""}},
        {"lone cr at end", "a\r", {"a"}},
        {"cr crlf", "\r\r\n", {"", ""}},
        {"blanks kept", "  x  \r\n\t", {"  x  ", "\t"}},
    };
    for (const auto& c : cases) {
        writeRaw(path("lines.txt"), c.bytes);
        EXPECT_EQ(readLines(path("lines.txt")), c.lines) << c.name;
        QStringList all;
        ASSERT_TRUE(readAllLines(path("lines.txt"), all));
        EXPECT_EQ(all, c.lines) << c.name;
    }
}

TEST_F(TextFileTest, LinesAcrossTheReadBuffer)
{
    // Line ends and long lines at and around the reader's chunk boundaries.
    for (const int n : {262142, 262143, 262144, 600000}) {
        const QByteArray longLine(n, 'x');
        writeRaw(path("long.txt"), longLine + "\r\ny\r\n" + longLine);
        const QStringList lines = readLines(path("long.txt"));
        ASSERT_EQ(lines.size(), 3) << n;
        EXPECT_EQ(lines[0].size(), n);
        EXPECT_EQ(lines[1], QStringLiteral("y"));
        EXPECT_EQ(lines[2].size(), n);
    }
}

TEST_F(TextFileTest, ReaderReportsAMissingFile)
{
    LineReader reader;
    EXPECT_FALSE(reader.open(path("missing.csv")));
    EXPECT_TRUE(reader.errorString().contains(QStringLiteral("missing.csv")));
    QString line;
    EXPECT_FALSE(reader.readLine(line));
    QStringList lines{"stale"};
    QString error;
    EXPECT_FALSE(readAllLines(path("missing.csv"), lines, &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST_F(TextFileTest, ReadsALargeFileAcrossBufferBoundaries)
{
    QByteArray bytes;
    const QByteArray line = QByteArray(146, 'a') + "\xE9,1\r\n";
    for (int i = 0; i < 100000; ++i)
        bytes += line;
    writeRaw(path("big.csv"), bytes);

    LineReader reader;
    ASSERT_TRUE(reader.open(path("big.csv")));
    QString s;
    int count = 0;
    while (reader.readLine(s))
        ++count;
    EXPECT_EQ(count, 100000);
    EXPECT_EQ(s.size(), 149);
    EXPECT_EQ(s.right(3), QString::fromUtf8("\u00E9,1"));
}

TEST_F(TextFileTest, WriterEndsEveryLineWithCrLf)
{
    LineWriter w;
    ASSERT_TRUE(w.open(path("out.csv")));
    w.writeLine(QStringLiteral("a,b"));
    w.writeLine(QString());
    w.writeLine(QString::fromUtf8("caf\u00E9 \u20AC \u03A9"));
    ASSERT_TRUE(w.commit()) << w.errorString().toStdString();
    EXPECT_EQ(readRaw(path("out.csv")), QByteArray("a,b\r\n\r\ncaf\xE9 \x80 ?\r\n"));
}

TEST_F(TextFileTest, EveryCharacterSurvivesWriteAndRead)
{
    QByteArray bytes = allBytes();
    bytes.remove(13, 1);   // CR and LF end lines
    bytes.remove(10, 1);
    const QString line = decodeCp1252(bytes);
    LineWriter w;
    ASSERT_TRUE(w.open(path("bytes.txt")));
    w.writeLine(line);
    w.writeLine(line);
    ASSERT_TRUE(w.commit());
    EXPECT_EQ(readRaw(path("bytes.txt")), bytes + "\r\n" + bytes + "\r\n");
    EXPECT_EQ(readLines(path("bytes.txt")), QStringList({line, line}));
}

TEST_F(TextFileTest, WriterReplacesTheOldFileOnlyOnCommit)
{
    writeRaw(path("data.csv"), "old\r\n");
    {
        LineWriter w;
        ASSERT_TRUE(w.open(path("data.csv")));
        w.writeLine(QStringLiteral("new"));
        EXPECT_EQ(readRaw(path("data.csv")), QByteArray("old\r\n"));
    }   // destroyed without commit
    EXPECT_EQ(readRaw(path("data.csv")), QByteArray("old\r\n"));
    {
        LineWriter w;
        ASSERT_TRUE(w.open(path("data.csv")));
        w.writeLine(QStringLiteral("new"));
        w.cancel();
        EXPECT_FALSE(w.commit());
    }
    EXPECT_EQ(readRaw(path("data.csv")), QByteArray("old\r\n"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"data.csv"});
}

TEST_F(TextFileTest, WriterFailsCleanlyWhenTheFolderIsMissing)
{
    const QString target = path("no-such-folder/data.csv");
    LineWriter w;
    EXPECT_FALSE(w.open(target));
    w.writeLine(QStringLiteral("x"));
    EXPECT_FALSE(w.commit());
    EXPECT_TRUE(w.errorString().startsWith(QStringLiteral("Could not write ") + target))
        << w.errorString().toStdString();
    EXPECT_TRUE(w.errorString().contains(QStringLiteral("does not exist")));
}

TEST_F(TextFileTest, WriterFailsCleanlyWhenTheTargetIsAFolder)
{
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("taken")));
    LineWriter w;
    w.open(path("taken"));
    w.writeLine(QStringLiteral("x"));
    EXPECT_FALSE(w.commit());
    EXPECT_FALSE(w.errorString().isEmpty());
    EXPECT_TRUE(QFileInfo(path("taken")).isDir());
}

TEST_F(TextFileTest, FailedCommitLeavesTheOldFile)
{
    // The folder moves away while the file is being written, so the rename
    // at commit cannot happen.
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("work")));
    writeRaw(path("work/data.csv"), "old\r\n");
    LineWriter w;
    ASSERT_TRUE(w.open(path("work/data.csv")));
    w.writeLine(QStringLiteral("new"));
    ASSERT_TRUE(QDir(dir.path()).rename(QStringLiteral("work"), QStringLiteral("moved")));
    EXPECT_FALSE(w.commit());
    EXPECT_TRUE(w.errorString().startsWith(QStringLiteral("Could not write ")));
    EXPECT_FALSE(w.errorString().contains(QStringLiteral("Unknown error")));
    EXPECT_EQ(readRaw(path("moved/data.csv")), QByteArray("old\r\n"));
    EXPECT_EQ(QDir(path("moved")).entryList(QDir::Files | QDir::Hidden), QStringList{"data.csv"});
}
