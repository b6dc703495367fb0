// The reader and the writer agree: a file the writer produced reads back into
// tables that write the same bytes again, over many generated files.
#include "payfile_support.h"

#include "paymentfile/paymentfile.h"
#include "platform/data/recordset.h"
#include "services/dataenvironment.h"

#include <QRegularExpression>

using namespace zarv;
using namespace zarv::test;

namespace {

constexpr int kRounds = 40;

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

} // namespace
