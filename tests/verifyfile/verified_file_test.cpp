// The verified file: every field at its positions, the folio rule, widths
// counted in characters and written in Windows-1252, every row in the
// recordset's order, and the safe write.
#include "verify_support.h"

#include "platform/data/recordset.h"
#include "services/dataenvironment.h"
#include "verifyfile/verifiedfile.h"

#include <QDir>

namespace zarv::test {
namespace {

QByteArray blanks(int n)
{
    return QByteArray(n, ' ');
}

class VerifiedFile : public DeTest {
protected:
    QString target() const { return path("verified/ZARVP040_VERIFIED.zarv"); }

    // rsVerify over the rows added so far.
    db::Recordset& verify()
    {
        db::Recordset& rs = de().rsVerify();
        if (rs.isOpen())
            rs.requery();
        else
            rs.open();
        return rs;
    }

    // Writes rsVerify and returns the file's records (each still ending in CR LF).
    QList<QByteArray> write()
    {
        QString error;
        EXPECT_TRUE(WriteVerifiedFile(verify(), target(), &error)) << error.toStdString();
        const QByteArray bytes = readFile(target());
        QList<QByteArray> records;
        for (qsizetype at = 0; at < bytes.size(); at += kVerifiedRecordLength + 2)
            records << bytes.mid(at, kVerifiedRecordLength + 2);
        EXPECT_EQ(bytes.size() % (kVerifiedRecordLength + 2), 0) << "a record of the wrong length";
        return records;
    }
};

// Where each field stands (1-based) and what the row below puts there.
struct Slice {
    const char* field;
    int start;
    int width;
    QByteArray expected;
};

TEST_F(VerifiedFile, EveryFieldStandsAtItsPositionsWithPidLast)
{
    addVerifyRow("A|1234|M-0001|12|701|12-345.678|987654321|ANNA BERG|ADDR ONE|ADDR TWO|ADDR THREE|ADDR FOUR|"
                 "ADDR FIVE|LOT 4 PLAN 88");
    const QList<QByteArray> records = write();
    ASSERT_EQ(records.size(), 1);
    const QByteArray r = records[0];
    EXPECT_TRUE(r.endsWith("\r\n"));

    const std::vector<Slice> slices = {
        {"ACD", 1, 1, "A"},
        {"MORTCO", 2, 4, "1234"},
        {"NUMBER", 6, 12, "M-0001" + blanks(6)},
        {"CD", 18, 2, "12"},
        {"JUR", 20, 3, "701"},
        {"FOLIO", 23, 18, "000000000012345678"},
        {"NAME", 41, 70, "ANNA BERG" + blanks(61)},
        {"ADDR1", 111, 30, "ADDR ONE" + blanks(22)},
        {"ADDR2", 141, 30, "ADDR TWO" + blanks(22)},
        {"ADDR3", 171, 30, "ADDR THREE" + blanks(20)},
        {"ADDR4", 201, 30, "ADDR FOUR" + blanks(21)},
        {"ADDR5", 231, 30, "ADDR FIVE" + blanks(21)},
        {"LEGAL", 261, 32, "LOT 4 PLAN 88" + blanks(19)},
        {"PID", 293, 9, "987654321"},
    };
    int next = 1;
    for (const Slice& s : slices) {
        EXPECT_EQ(s.start, next) << s.field << " does not follow the field before it";
        EXPECT_EQ(r.mid(s.start - 1, s.width), s.expected) << s.field;
        next = s.start + s.width;
    }
    EXPECT_EQ(next, kVerifiedRecordLength + 1);
}

TEST_F(VerifiedFile, NoRowsGiveAnEmptyFileEmptyValuesBlanksOnly)
{
    EXPECT_TRUE(write().isEmpty());
    EXPECT_TRUE(QFileInfo::exists(target()));
    EXPECT_EQ(QFileInfo(target()).size(), 0);

    addVerifyRow("");
    EXPECT_EQ(write(), QList<QByteArray>({blanks(kVerifiedRecordLength) + "\r\n"}));
    // Null reads as empty text.
    EXPECT_EQ(VerifiedRecord([](const QString&) { return QString(); }), QString(kVerifiedRecordLength, u' '));
}

struct FolioCase {
    const char* name;
    QString stored;
    QString expected;
};

TEST(VerifiedFolio, DigitsAreZeroPaddedOtherwiseTheStoredValueIsKept)
{
    const std::vector<FolioCase> cases = {
        {"eight digits with dashes and points", "12-34.56-78", "000000000012345678"},
        {"empty", "", QString(18, u' ')},
        {"exactly eighteen zeros", "000000000000000000", "000000000000000000"},
        {"letters without a digit", "ABC", "ABC" + QString(15, u' ')},
        {"the single digit zero", "0", "000000000000000000"},
        {"twenty-two digits keep the last eighteen", "1234567890123456789012", "567890123456789012"},
        {"blanks around the digits", "  42 ", "000000000000000042"},
        {"twenty zeros are not exactly eighteen", "00000000000000000000", "000000000000000000"},
        {"eighteen zeros among letters stay as stored", "A-000000000000000000", "A-0000000000000000"},
        {"digits among letters", "X7Y8", "000000000000000078"},
        {"stored in eighteen digits", "000000000000012345", "000000000000012345"},
    };
    for (const FolioCase& c : cases)
        EXPECT_EQ(VerifiedFolio(c.stored), c.expected) << c.name;
}

TEST_F(VerifiedFile, ValuesAreWrittenAsStoredCutAndPaddedToTheirWidthsCountedInCharacters)
{
    const QString name75 = QString(70, u'N') + "XXXXX";
    addVerifyRow("x|AB|1234567890123|1|7| 5 |12|" + name75 + "| lower case |||| |" + QString(32, u'L') + "MORE");
    // É, Ü, the en dash and the euro sign are one byte each in Windows-1252;
    // the emoji and the omega cannot be written and become one "?" each.
    addVerifyRow(QString::fromUtf8(" |ÅBC|Ω-1|12|701|1||ÉLISE MÜLLER – €5 😀||||||😀") + QString(31, u'L') + "Z");
    const QList<QByteArray> records = write();
    ASSERT_EQ(records.size(), 2);
    const QByteArray w = records[1];
    EXPECT_EQ(w.mid(1, 4), QByteArray("\xC5" "BC "));
    EXPECT_EQ(w.mid(5, 12), QByteArray("?-1") + blanks(9));
    EXPECT_EQ(w.mid(40, 70), QByteArray("\xC9" "LISE M" "\xDC" "LLER " "\x96" " " "\x80" "5 ?") + blanks(51));
    // The emoji counts as one of LEGAL's 32 characters, not as two.
    EXPECT_EQ(w.mid(260, 32), "?" + QByteArray(31, 'L'));

    const QByteArray r = records[0];
    EXPECT_EQ(r.left(1), "x");                                  // case kept
    EXPECT_EQ(r.mid(1, 4), "AB  ");
    EXPECT_EQ(r.mid(5, 12), "123456789012");
    EXPECT_EQ(r.mid(17, 2), "1 ");
    EXPECT_EQ(r.mid(19, 3), "7  ");
    EXPECT_EQ(r.mid(22, 18), "000000000000000005");
    EXPECT_EQ(r.mid(40, 70), QByteArray(70, 'N'));
    EXPECT_EQ(r.mid(110, 30), " lower case " + blanks(18));  // not trimmed
    EXPECT_EQ(r.mid(230, 30), " " + blanks(29));
    EXPECT_EQ(r.mid(260, 32), QByteArray(32, 'L'));
    EXPECT_EQ(r.mid(292, 9), "12" + blanks(7));
}

TEST_F(VerifiedFile, EveryRowInTheRecordsetsOrderDeletedOnesIncluded)
{
    addVerifyRow("D|1234|300|01|701|3");
    addVerifyRow(" |1234|100|01|701|1");
    addVerifyRow("X|1234|200|01|701|2");
    addVerifyRow("A|1234|250||||55");
    db::Recordset& rs = verify();
    // A filter and a position on the screen's recordset change nothing.
    rs.setFilter("ACD = 'A'");
    const qint64 before = rs.bookmark();

    QString error;
    ASSERT_TRUE(WriteVerifiedFile(rs, target(), &error)) << error.toStdString();
    EXPECT_EQ(rs.filter(), "ACD = 'A'");
    EXPECT_EQ(rs.bookmark(), before);

    QStringList heads;
    const QByteArray bytes = readFile(target());
    ASSERT_EQ(bytes.size(), 4 * (kVerifiedRecordLength + 2));
    for (int i = 0; i < 4; ++i)
        heads << QString::fromLatin1(bytes.mid(i * (kVerifiedRecordLength + 2), 8));
    // Sorted by NUMBER, as the recordset's source orders it.
    EXPECT_EQ(heads, QStringList({" 1234100", "X1234200", "A1234250", "D1234300"}));
}

// A failed write leaves the old file whole and no temporary file; a folder in
// the way is reported, a missing folder is made.
TEST_F(VerifiedFile, AFailedWriteLeavesTheOldFileWholeAndAMissingFolderIsMade)
{
    const QString old = writeFile("verified/ZARVP040_VERIFIED.zarv", "OLD RECORDS\r\n");
    addVerifyRow(" |1234|100|01|701|1");
    db::Recordset rows(&de().Zarv, "SELECT * FROM VERIFY");   // never opened: reading it fails

    QString error;
    EXPECT_FALSE(WriteVerifiedFile(rows, old, &error));
    EXPECT_TRUE(error.contains(QDir::toNativeSeparators(old))) << error.toStdString();
    EXPECT_EQ(readFile(old), "OLD RECORDS\r\n");
    EXPECT_EQ(QDir(path("verified")).entryList(QDir::Files | QDir::Hidden), QStringList({"ZARVP040_VERIFIED.zarv"}));
    QDir().mkpath(path("blocked/ZARVP040_VERIFIED.zarv"));
    error.clear();
    EXPECT_FALSE(WriteVerifiedFile(verify(), path("blocked/ZARVP040_VERIFIED.zarv"), &error));
    EXPECT_FALSE(error.isEmpty());

    // A good write then replaces the old file, or makes the folders it needs.
    for (const QString& target : {old, path("new/deeper/ZARVP040_VERIFIED.zarv")}) {
        ASSERT_TRUE(WriteVerifiedFile(verify(), target, &error)) << error.toStdString();
        EXPECT_EQ(readFile(target).size(), kVerifiedRecordLength + 2) << target.toStdString();
    }
}

} // namespace
} // namespace zarv::test
