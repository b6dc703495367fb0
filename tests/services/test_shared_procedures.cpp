// The small text and file procedures every part of the program leans on.
#include "services/clientdata.h"
#include "services/system.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zarv;

namespace {

struct StripCase {
    const char* text;
    const char* ch;
    const char* expected;
};

TEST(StripTrailingChar, DropsOnlyTheTrailingRun)
{
    const StripCase cases[] = {
        {"ABC ,,", ",", "ABC "},   // the blank before the run stays
        {" , ,, ", ",", ", "},     // trimmed first: ", ,," less its run
        {",,,", ",", ""},
        {"A,B,", ",", "A,B"},
        {"A,B,,", ",,", "A,B,,"},  // a two-character argument never matches
        {"   ", ",", ""},
        {"2019,,,,,", ",", "2019"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(StripTrailingChar(QString::fromUtf8(c.text), QString::fromUtf8(c.ch)), QString::fromUtf8(c.expected))
            << c.text;
}

TEST(StripLeadingChar, DropsOnlyTheLeadingRun)
{
    const StripCase cases[] = {
        {"000123", "0", "123"},
        {"0", "0", ""},
        {" 0012 ", "0", "12"},
        {"100", "0", "100"},
        {"000000000000012345", "0", "12345"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(StripLeadingChar(QString::fromUtf8(c.text), QString::fromUtf8(c.ch)), QString::fromUtf8(c.expected))
            << c.text;
}

TEST(FormatAmountMask, LaysTheLastEighteenIntoThePattern)
{
    EXPECT_EQ(FormatAmountMask(QStringLiteral("000000000012345678")), QStringLiteral("000000000012345.678"));
    EXPECT_EQ(FormatAmountMask(QStringLiteral("99000000000012345678")), QStringLiteral("000000000012345.678"));
    EXPECT_EQ(FormatAmountMask(QStringLiteral("12345")), QStringLiteral("12345."));
    EXPECT_EQ(FormatAmountMask(QString()), QStringLiteral("."));
    // Shown to a user with its leading zeros dropped.
    EXPECT_EQ(StripLeadingChar(FormatAmountMask(QStringLiteral("000000000012345678")), QStringLiteral("0")),
              QStringLiteral("12345.678"));
}

TEST(RepeatString, CopiesOrNothing)
{
    EXPECT_EQ(RepeatString(QStringLiteral("0"), 18), QStringLiteral("000000000000000000"));
    EXPECT_EQ(RepeatString(QStringLiteral("ab"), 3), QStringLiteral("ababab"));
    EXPECT_EQ(RepeatString(QStringLiteral("ab"), 0), QString());
    EXPECT_EQ(RepeatString(QStringLiteral("ab"), -4), QString());
    EXPECT_EQ(RepeatString(QString(), 5), QString());
}

TEST(StripQuotes, TrimsThenRemovesEveryQuote)
{
    EXPECT_EQ(StripQuotes(QStringLiteral("  \"A\",'B'  ")), QStringLiteral("A,B"));
    EXPECT_EQ(StripQuotes(QStringLiteral("\" x \"")), QStringLiteral(" x "));
    EXPECT_EQ(StripQuotes(QStringLiteral("   ")), QString());
    EXPECT_EQ(StripQuotes(QStringLiteral("O'HARA")), QStringLiteral("OHARA"));
}

TEST(CollapseSpaces, TrimsAndJoinsRuns)
{
    EXPECT_EQ(CollapseSpaces(QStringLiteral("  JOHN   A  SMITH ")), QStringLiteral("JOHN A SMITH"));
    EXPECT_EQ(CollapseSpaces(QStringLiteral("A\t\tB")), QStringLiteral("A\t\tB"));
}

class FileProcedures : public ::testing::Test {
protected:
    QString make(const QString& name, const QByteArray& bytes)
    {
        const QString path = dir.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path;
    }
    QTemporaryDir dir;
};

TEST_F(FileProcedures, FileExistsNeedsContent)
{
    EXPECT_FALSE(FileExists(make(QStringLiteral("empty.csv"), {})));
    EXPECT_TRUE(FileExists(make(QStringLiteral("one.csv"), "x")));
    EXPECT_FALSE(FileExists(dir.filePath(QStringLiteral("missing.csv"))));
    EXPECT_FALSE(FileExists(QStringLiteral("/no/such/drive/file.csv")));
    EXPECT_FALSE(FileExists(dir.path()));  // a folder is no file
}

TEST_F(FileProcedures, AttributeFlags)
{
    const QString plain = make(QStringLiteral("Zarvdata.csv"), "x");
    auto f = GetFileAttributeFlags(plain);
    EXPECT_TRUE(f.Found);
    EXPECT_FALSE(f.IsReadOnly);
    EXPECT_TRUE(f.IsArchive);
    EXPECT_FALSE(f.IsCompressed);
    EXPECT_EQ(f.Attr, 32);

    const QString readOnly = make(QStringLiteral("ro.csv"), "x");
    QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    f = GetFileAttributeFlags(readOnly);
    EXPECT_TRUE(f.Found);
    EXPECT_TRUE(f.IsReadOnly);
    EXPECT_TRUE(f.IsArchive);
    EXPECT_EQ(f.Attr, 33);

    f = GetFileAttributeFlags(make(QStringLiteral(".hidden.csv"), "x"));
    EXPECT_FALSE(f.Found);
    EXPECT_EQ(f.Attr, 34);

    f = GetFileAttributeFlags(dir.filePath(QStringLiteral("missing.csv")));
    EXPECT_FALSE(f.Found);
    EXPECT_FALSE(f.IsReadOnly);
    EXPECT_EQ(f.Attr, -1);
}

} // namespace
