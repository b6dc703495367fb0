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

// What a file's attributes say to the program: found and plain, read-only,
// hidden (not found) or missing.
TEST_F(FileProcedures, AttributeFlags)
{
    const QString readOnly = make(QStringLiteral("ro.csv"), "x");
    QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    const struct {
        QString path;
        bool found, readOnly, archive;
        int attr;
    } cases[] = {
        {make(QStringLiteral("Zarvdata.csv"), "x"), true, false, true, 32},
        {readOnly, true, true, true, 33},
        {make(QStringLiteral(".hidden.csv"), "x"), false, false, false, 34},
        {dir.filePath(QStringLiteral("missing.csv")), false, false, false, -1},
        {make(QStringLiteral("empty.csv"), {}), false, false, false, -1},   // a file needs content
        {dir.path(), false, false, false, -1},                               // a folder is no file
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        const FileAttributeFlags f = GetFileAttributeFlags(c.path);
        EXPECT_EQ(f.Found, c.found);
        EXPECT_EQ(f.IsReadOnly, c.readOnly);
        EXPECT_EQ(f.IsArchive, c.archive);
        EXPECT_FALSE(f.IsCompressed);
        EXPECT_EQ(f.Attr, c.attr);
    }
}

} // namespace
