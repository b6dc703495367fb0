// Saves killed at random moments: the payment file, the workbook and the
// backup copy of each are always whole, old or new, and the next save of the
// same files leaves nothing else in the folder. ZARV_CRASH_KILLS asks for
// more kills than the few the suite makes; ZARV_CRASH_SEED repeats a run.
#include "platform/files/filesys.h"
#include "platform/files/textfile.h"
#include "platform/workbook/workbook.h"
#include "platform/workbook/workbookwriter.h"

#include "printers.h"
#include "textlines.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <random>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace zarv {
namespace {

constexpr int kLines = 30000;
constexpr int kRows = 1500;

struct Files {
    QString csv, bak, book, bookBak;
    explicit Files(const QString& folder)
        : csv(folder + "/Zarvdata.csv"), bak(folder + "/Zarvdata.bak"), book(folder + "/MortNo1.xlsx"),
          bookBak(folder + "/MortNo1.bak")
    {
    }
};

QString lineOf(int version, int i) { return QStringLiteral("%1,PAYMENT %2,LOT %2 PLAN 88").arg(version).arg(i); }

// One save of each file as the runs make it: the backup copy first, then the file.
bool saveAll(const Files& f, int version)
{
    if (fs::fileExists(f.csv) && !fs::copyReplace(f.csv, f.bak))
        return false;
    fs::LineWriter out;
    if (!out.open(f.csv))
        return false;
    for (int i = 0; i < kLines; ++i)
        out.writeLine(lineOf(version, i));
    if (!out.commit())
        return false;

    if (fs::fileExists(f.book) && !fs::copyReplace(f.book, f.bookBak))
        return false;
    xl::WorkbookWriter book;
    if (!book.create(f.book) || !book.addSheet(QStringLiteral("Mortgage")))
        return false;
    for (int r = 1; r <= kRows; ++r) {
        if (!book.writeCell(r, 1, QString::number(version)) || !book.writeCell(r, 2, lineOf(version, r)))
            return false;
    }
    return book.save();
}

// The version a whole text file holds, -1 for a torn or mixed one.
int textVersion(const QString& path)
{
    const QStringList lines = test::writtenLines(path);
    if (lines.size() != kLines)
        return -1;
    const int version = lines.front().section(u',', 0, 0).toInt();
    for (int i = 0; i < kLines; ++i)
        if (lines[i] != lineOf(version, i))
            return -1;
    return version;
}

int bookVersion(const QString& path)
{
    xl::Workbook book;
    if (!book.open(path) || book.sheetCount() != 1 || book.sheet(1)->lastRow() != kRows)
        return -1;
    const xl::Worksheet* sheet = book.sheet(1);
    const int version = sheet->cell(1, 1).toInt();
    for (int r = 1; r <= kRows; ++r)
        if (sheet->cell(r, 1) != QString::number(version) || sheet->cell(r, 2) != lineOf(version, r))
            return -1;
    return version;
}

TEST(KilledSaves, LeaveEveryFileWholeOldOrNewAndNoLitterAfterTheNextSave)
{
    const int kills = qEnvironmentVariableIsSet("ZARV_CRASH_KILLS") ? qEnvironmentVariableIntValue("ZARV_CRASH_KILLS") : 5;
    const unsigned seed = qEnvironmentVariableIsSet("ZARV_CRASH_SEED")
                              ? unsigned(qEnvironmentVariableIntValue("ZARV_CRASH_SEED"))
                              : std::random_device{}();
    SCOPED_TRACE("ZARV_CRASH_SEED=" + std::to_string(seed));
    std::mt19937 random(seed);

    QTemporaryDir dir;
    const Files f(dir.path());
    ASSERT_TRUE(saveAll(f, 1));
    ASSERT_TRUE(saveAll(f, 2));
    int litterSeen = 0;
    for (int k = 0; k < kills; ++k) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::prctl(PR_SET_PDEATHSIG, SIGKILL);
            for (int version = 3 + 1000 * k;; ++version)
                saveAll(f, version);
        }
        ::usleep(std::uniform_int_distribution<useconds_t>(1000, 400000)(random));
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);

        EXPECT_GE(textVersion(f.csv), 1) << "kill " << k;
        EXPECT_GE(textVersion(f.bak), 1) << "kill " << k;
        EXPECT_GE(bookVersion(f.book), 1) << "kill " << k;
        EXPECT_GE(bookVersion(f.bookBak), 1) << "kill " << k;
        litterSeen += QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size() > 4;
    }
    ASSERT_TRUE(saveAll(f, 0));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              (QStringList{"MortNo1.bak", "MortNo1.xlsx", "Zarvdata.bak", "Zarvdata.csv"}));
    RecordProperty("litterBeforeTheNextSave", litterSeen);
}

} // namespace
} // namespace zarv
