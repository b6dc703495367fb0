// Windows-1252 text files: code page, line ends, safe writing.
#include "platform/files/textfile.h"

#include "files_support.h"
#include "textlines.h"

#include <QFileInfo>

using namespace zarv::fs;
using namespace zarv::fs::test;

namespace {

QByteArray allBytes()
{
    QByteArray b;
    for (int i = 0; i < 256; ++i)
        b.append(char(i));
    return b;
}

using TextFileTest = FolderTest;

} // namespace

// Every byte decodes and encodes back; what the page lacks is one "?" a character.
TEST(CodePage, EveryByteSurvivesAndWhatThePageLacksBecomesAQuestionMark)
{
    EXPECT_EQ(decodeCp1252(allBytes()).size(), 256);
    EXPECT_EQ(encodeCp1252(decodeCp1252(allBytes())), allBytes());
    const std::pair<unsigned char, char16_t> cases[] = {
        {0x41, u'A'}, {0x80, 0x20AC}, {0x81, 0x0081}, {0x8A, 0x0160}, {0x8D, 0x008D},
        {0x8F, 0x008F}, {0x90, 0x0090}, {0x92, 0x2019}, {0x96, 0x2013}, {0x9D, 0x009D},
        {0x9F, 0x0178}, {0xA0, 0x00A0}, {0xE9, 0x00E9}, {0xFF, 0x00FF},
    };
    for (const auto& [byte, unicode] : cases) {
        EXPECT_EQ(decodeCp1252(QByteArray(1, char(byte))), QString(QChar(unicode))) << int(byte);
        EXPECT_EQ(encodeCp1252(QString(QChar(unicode))), QByteArray(1, char(byte))) << int(byte);
    }
    EXPECT_EQ(encodeCp1252(QString::fromUtf8("a\u03A9b\u2192")), QByteArray("a?b?"));
    EXPECT_EQ(encodeCp1252(QString(QChar(0x0080))), QByteArray("?"));   // C1 control the page redefines
    EXPECT_EQ(encodeCp1252(QString::fromUtf8("x\U0001F600y")), QByteArray("x?y"));   // one character, one "?"
}

// Every line ends with CR LF; every character of the page reads back as written.
TEST_F(TextFileTest, WriterEndsEveryLineWithCrLfAndEveryCharacterReadsBack)
{
    LineWriter w;
    ASSERT_TRUE(w.open(path("out.csv")));
    w.writeLine(QStringLiteral("a,b"));
    w.writeLine(QString());
    w.writeLine(QString::fromUtf8("caf\u00E9 \u20AC \u03A9"));
    ASSERT_TRUE(w.commit()) << w.errorString().toStdString();
    EXPECT_EQ(readRaw(path("out.csv")), QByteArray("a,b\r\n\r\ncaf\xE9 \x80 ?\r\n"));

    QByteArray bytes = allBytes();
    bytes.remove(13, 1);   // CR and LF end lines
    bytes.remove(10, 1);
    const QString line = decodeCp1252(bytes);
    ASSERT_TRUE(w.open(path("bytes.txt")));
    w.writeLine(line);
    w.writeLine(line);
    ASSERT_TRUE(w.commit());
    EXPECT_EQ(readRaw(path("bytes.txt")), bytes + "\r\n" + bytes + "\r\n");
    EXPECT_EQ(zarv::test::writtenLines(path("bytes.txt")), QStringList({line, line}));
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
    EXPECT_EQ(names(), QStringList{"data.csv"});
}

// A missing folder, a folder in the target's place, a folder moved away before
// the commit's rename: the write fails, says why, and leaves what was there.
TEST_F(TextFileTest, AFailedWriteSaysWhyAndLeavesWhatWasThere)
{
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("taken")));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("work")));
    writeRaw(path("work/data.csv"), "old\r\n");
    const struct {
        const char* target;
        bool movesAway;
        const char* says;
    } cases[] = {
        {"no-such-folder/data.csv", false, "does not exist"},
        {"taken", false, ""},
        {"work/data.csv", true, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.target);
        LineWriter w;
        const bool opened = w.open(path(c.target));
        if (c.movesAway) {
            ASSERT_TRUE(opened);
            ASSERT_TRUE(QDir(dir.path()).rename(QStringLiteral("work"), QStringLiteral("moved")));
        }
        w.writeLine(QStringLiteral("x"));
        EXPECT_FALSE(w.commit());
        EXPECT_TRUE(w.errorString().startsWith(QStringLiteral("Could not write ") + path(c.target)))
            << w.errorString().toStdString();
        EXPECT_TRUE(w.errorString().contains(QLatin1String(c.says)));
        EXPECT_FALSE(w.errorString().contains(QStringLiteral("Unknown error")));
    }
    EXPECT_TRUE(QFileInfo(path("taken")).isDir());
    EXPECT_EQ(readRaw(path("moved/data.csv")), QByteArray("old\r\n"));
    EXPECT_EQ(QDir(path("moved")).entryList(QDir::Files | QDir::Hidden), QStringList{"data.csv"});
}
