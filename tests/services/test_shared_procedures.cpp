// The small text and file procedures every part of the program leans on.
#include "services/clientdata.h"
#include "services/system.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>

using namespace zarv;

namespace {

// Each procedure over the texts the data files and screens give it.
TEST(TextProcedures, GiveWhatTheFilesAndScreensRelyOn)
{
    const auto strip = [](auto procedure, const char* ch) {
        return [=](const QString& s) { return procedure(s, QString::fromLatin1(ch)); };
    };
    const std::function<QString(const QString&)> trailingComma = strip(StripTrailingChar, ","),
                                                  trailingCommas = strip(StripTrailingChar, ",,"),
                                                  leadingZeros = strip(StripLeadingChar, "0"),
                                                  shownAmount = [](const QString& s) {
                                                      return StripLeadingChar(FormatAmountMask(s), QStringLiteral("0"));
                                                  };
    const struct {
        const char* what;
        std::function<QString(const QString&)> procedure;
        const char* text;
        const char* expected;
    } cases[] = {
        {"trailing run", trailingComma, "ABC ,,", "ABC "},   // the blank before the run stays
        {"trailing run", trailingComma, " , ,, ", ", "},     // trimmed first: ", ,," less its run
        {"trailing run", trailingComma, ",,,", ""},
        {"trailing run", trailingComma, "A,B,", "A,B"},
        {"trailing run", trailingCommas, "A,B,,", "A,B,,"},  // a two-character argument never matches
        {"trailing run", trailingComma, "   ", ""},
        {"trailing run", trailingComma, "2019,,,,,", "2019"},
        {"leading run", leadingZeros, "000123", "123"},
        {"leading run", leadingZeros, "0", ""},
        {"leading run", leadingZeros, " 0012 ", "12"},
        {"leading run", leadingZeros, "100", "100"},
        {"leading run", leadingZeros, "000000000000012345", "12345"},
        {"amount mask", FormatAmountMask, "000000000012345678", "000000000012345.678"},
        {"amount mask", FormatAmountMask, "99000000000012345678", "000000000012345.678"},
        {"amount mask", FormatAmountMask, "12345", "12345."},
        {"amount mask", FormatAmountMask, "", "."},
        {"amount shown", shownAmount, "000000000012345678", "12345.678"},
        {"quotes", StripQuotes, "  \"A\",'B'  ", "A,B"},
        {"quotes", StripQuotes, "\" x \"", " x "},
        {"quotes", StripQuotes, "   ", ""},
        {"quotes", StripQuotes, "O'HARA", "OHARA"},
        {"spaces", CollapseSpaces, "  JOHN   A  SMITH ", "JOHN A SMITH"},
        {"spaces", CollapseSpaces, "A\t\tB", "A\t\tB"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.procedure(QString::fromUtf8(c.text)), QString::fromUtf8(c.expected)) << c.what << ": " << c.text;

    EXPECT_EQ(RepeatString(QStringLiteral("ab"), 3), QStringLiteral("ababab"));
    EXPECT_EQ(RepeatString(QStringLiteral("ab"), 0), QString());
    EXPECT_EQ(RepeatString(QStringLiteral("ab"), -4), QString());
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
