// Writing the payment data file: the exact layout, the header year, the
// backup copy, the total, and what a failed save leaves behind.
#include "payfile_support.h"
#include "faults.h"

#include "platform/files/textfile.h"
#include "platform/text/vb.h"
#include "services/sharedstate.h"
#include "services/system.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

Fields payment(const QString& number, const QString& name, const QString& cd, const QString& jur,
               const QString& folio, double amount, const QString& abc = "A", double delq = 0,
               const QString& legal = {})
{
    return {{"NUMBER", number}, {"NAME", name},     {"CD", cd},          {"JUR", jur},
            {"FOLIO", folio},   {"PAYMENT", amount}, {"ABC", abc},       {"GROSS_TAX", amount},
            {"REG_GRANT", 0.0}, {"ADD_GRANT", 0.0},  {"DELQ", delq},     {"LEGAL", legal}};
}

class SaveTest : public DeTest {
protected:
    QString target() const { return path(QStringLiteral("Zarvdata.csv")); }
    QString backup() const { return path(QStringLiteral("Zarvdata.bak")); }

    SaveResult save(const QString& year = QStringLiteral("2024")) { return Mdb2Csv(year, target(), backup()); }
    QStringList savedLines() { return crlfLines(readFile(target())); }

    void expectFailure(const QString& containing)
    {
        ui().expectBox(ExpectedBox{ui::containing(containing), Answer::OK, Icon::Critical, ui::Buttons::OK,
                                   QStringLiteral("ZARV Data Save"), false});
    }
    QString lastBox() { return ui().boxes().empty() ? QString() : ui().boxes().back().prompt; }

    // Everything in the test's folder but the databases.
    QStringList strayFiles() const
    {
        QStringList names = QDir(folder()).entryList(QDir::Files | QDir::Hidden | QDir::Dirs | QDir::NoDotAndDotDot);
        names.removeIf([](const QString& n) { return n.endsWith(QLatin1String(".mdb")) || n.contains(QLatin1String(".mdb-")); });
        return names;
    }
};

// Amounts between cents are written rounded; a group's total is the sum of its
// amounts, rounded once.
TEST_F(SaveTest, WritesTheLayoutExactly)
{
    addMask("701", 9, "###-###-###");
    addMask("702", 123, "####-####");
    addGroup("0001", "0001", {{"DUEDATE", "2024-06-30"}, {"NAME1", "ACME, TRUST"}, {"ADDR6", " SIX "}});
    addPayment("0001", payment("M1", "OWNER, A'S", "01", "701", "000000000123456789", 150.004, "A", -25,
                               "LOT 1, PLAN \"2\""));
    addPayment("0001", payment("M2", "OWNER B", "02", "799", "000000000000000042", 1234.504, "B"));
    addGroup("0002", "0002");
    addPayment("0099", payment("M3", "NOBODY", "01", "701", "000000000000000001", 5));   // no group

    const SaveResult r = save();
    EXPECT_TRUE(r.ok);
    EXPECT_DOUBLE_EQ(r.total, 1384.508);

    QStringList want{"ZARV DATA FOR YEAR 2024", "", "FOLIO MASK INFORMATION", "70109###-###-###", "70223####-####", ""};
    want << groupSection({"0001", "0001", "2024-06-30", "ACME, TRUST", "", "", "", "", "", "", "", "", " SIX "}, 2,
                         "1384.51",
                         {"#M1,OWNER AS,01,701,#123-456-789,150.00,A,150.00,0.00,0.00,-25.00,LOT 1 PLAN 2",
                          "#M2,OWNER B,02,799,#000000000000000042,1234.50,B,1234.50,0.00,0.00,0.00,"});
    want << groupSection({"0002", "0002"}, 0, "0.00", {});
    EXPECT_EQ(savedLines(), want);

    // The rows hold what was written.
    EXPECT_EQ(onlyRowOf("SELECT * FROM Detail WHERE NUMBER = 'M1'", {"NAME", "LEGAL"}),
              QStringList({"OWNER AS", "LOT 1 PLAN 2"}));
    // The stored counts are neither written nor changed.
    EXPECT_EQ(columnOf("SELECT FOLIO_CNT FROM \"Group\"", "FOLIO_CNT"), QStringList({"0", "0"}));
}

TEST_F(SaveTest, EmptyTablesGiveTheShortestFile)
{
    const SaveResult r = save();
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.total, 0);
    EXPECT_EQ(readFile(target()), QByteArray("ZARV DATA FOR YEAR 2024\r\n\r\nFOLIO MASK INFORMATION\r\n\r\n"));
    EXPECT_FALSE(QFileInfo::exists(backup()));   // a new file has nothing to back up
}

// A file of masks only holds no line of fields: a mask that happens to hold a
// semicolon or a tab must not make the saved file read as another form. It
// loads again as it was, with no question.
TEST_F(SaveTest, AMaskHoldingAnotherSeparatorLoadsBackAsItWas)
{
    const QStringList masks = {QStringLiteral("###;###"), QStringLiteral("###\t###")};
    for (const QString& m : masks)
        addMask(QStringLiteral("70") + QString::number(masks.indexOf(m)), int(m.count(u'#')), m);
    ASSERT_TRUE(save().ok);
    de().Zarv.execute("DELETE FROM Fol_Mask");
    LoadEnd end = LoadEnd::Failed;
    Csv2Mdb(target(), &end);
    EXPECT_EQ(end, LoadEnd::Loaded) << ui().report().toStdString();
    EXPECT_EQ(columnOf("SELECT FOLIO_MASK FROM Fol_Mask ORDER BY JUR_CD", "FOLIO_MASK"), masks);
    EXPECT_TRUE(ui().clean()) << ui().report().toStdString();
}

TEST_F(SaveTest, AFileWhosePaymentsTotalZeroIsSavedAndSaysSo)
{
    addMask("701", 9, "#########");
    addGroup("0001", "0001");
    addPayment("0001", payment("M1", "OWNER", "01", "701", "000000000000000001", 0));
    const SaveResult r = save();
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.total, 0);
    EXPECT_EQ(savedLines().size(), 5 + 22);
}

// An agency split over several sections: each payment is written once, under
// the section it was loaded under (its FILE_ID); one that came from none of
// them (added during the run) goes to the agency's first. Each section counts
// what it lists.
TEST_F(SaveTest, AnAgencySplitOverSectionsWritesEachPaymentOnceUnderItsOwnSection)
{
    addGroup("0001", "0007", {{"FILE_ID", "001"}});
    addGroup("0002", "0008", {{"FILE_ID", "002"}});
    addGroup("0003", "0007", {{"FILE_ID", "003"}});
    addGroup("0004", "0007", {{"FILE_ID", "003"}});   // a FILE_ID met again lists nothing
    Fields m1 = payment("M1", "A", "01", "701", "000000000000000001", 10);
    m1.emplace_back("FILE_ID", "003");
    Fields m2 = payment("M2", "B", "01", "701", "000000000000000002", 5);
    m2.emplace_back("FILE_ID", "001");
    addPayment("0007", m1);
    addPayment("0007", m2);
    addPayment("0007", payment("M3", "C", "01", "701", "000000000000000003", 1));
    const SaveResult r = save();
    ASSERT_TRUE(r.ok);
    EXPECT_DOUBLE_EQ(r.total, 16);
    const QStringList lines = savedLines();
    const auto section = [&](const QString& group) {
        const qsizetype at = lines.indexOf("Group #," + group);
        QStringList out{lines.value(at + 13), lines.value(at + 14)};
        for (qsizetype i = at + 18; i < lines.size() && lines[i].startsWith('#'); ++i)
            out << lines[i].section(',', 0, 0);
        return out;
    };
    EXPECT_EQ(section("0001"), QStringList({"Number of Payment records,2", "Payment Amount,6.00", "#M2", "#M3"}));
    EXPECT_EQ(section("0003"), QStringList({"Number of Payment records,1", "Payment Amount,10.00", "#M1"}));
    EXPECT_EQ(section("0004"), QStringList({"Number of Payment records,0", "Payment Amount,0.00"}));
}

struct HeaderYearCase {
    const char* name;
    QString year;
    QString maskYear;   // null: no mask row
    QString want;
};

class SaveHeaderYearTest : public SaveTest, public ::testing::WithParamInterface<HeaderYearCase> {};

TEST_P(SaveHeaderYearTest, TheArgumentWinsThenTheFirstMaskThenToday)
{
    const HeaderYearCase& c = GetParam();
    if (!c.maskYear.isNull()) {
        addMask("701", 9, "#########", c.maskYear);
        addMask("702", 9, "#########", "2011");
    }
    ASSERT_TRUE(save(c.year).ok);
    EXPECT_EQ(savedLines().value(0), "ZARV DATA FOR YEAR " + c.want);
}

const QString kThisYear = QString::number(QDate::currentDate().year());

INSTANTIATE_TEST_SUITE_P(
    Years, SaveHeaderYearTest,
    ::testing::Values(HeaderYearCase{"Argument", "2012", "2009", "2012"},
                      HeaderYearCase{"ArgumentOutsideTheWindowStillWins", "1990", "2009", "1990"},
                      HeaderYearCase{"FirstMask", "", "2009", "2009"},
                      HeaderYearCase{"BlankArgument", "    ", "2009", "2009"},
                      HeaderYearCase{"FiveCharacters", "20120", "2009", "2009"},
                      HeaderYearCase{"MaskTooOld", "", "1999", kThisYear},
                      HeaderYearCase{"MaskTooNew", "", QString::number(QDate::currentDate().year() + 2), kThisYear},
                      HeaderYearCase{"MaskEmpty", "", "", kThisYear},
                      HeaderYearCase{"NoMask", "", QString(), kThisYear}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SaveTest, PaymentsFollowTheCurrentOrderOfThePaymentRecordset)
{
    addGroup("0001", "0001");
    addPayment("0001", payment("M1", "ZED", "01", "701", "000000000000000001", 1));
    addPayment("0001", payment("M2", "ADAM", "02", "701", "000000000000000001", 2));
    db::Recordset& rs = de().rsDetail();
    rs.close();
    rs.setSource("SELECT * FROM Detail ORDER BY MORTCO, NAME");
    rs.open();
    ASSERT_TRUE(save().ok);
    const QStringList lines = savedLines();
    EXPECT_TRUE(lines.indexOf(QRegularExpression("^#M2,.*")) < lines.indexOf(QRegularExpression("^#M1,.*")));
}

TEST_F(SaveTest, LeavesTheRecordsetsAsTheScreensExpect)
{
    addGroup("0001", "0001");
    addGroup("0002", "0002");
    addPayment("0001", payment("M1", "A", "01", "701", "000000000000000001", 1));
    addPayment("0002", payment("M2", "B", "01", "701", "000000000000000001", 2));
    de().rsDetail().setFilter("MORTCO = '0002'");
    ASSERT_TRUE(save().ok);
    EXPECT_TRUE(de().rsGroup().eof());
    EXPECT_EQ(de().rsDetail().filter(), "");
    EXPECT_EQ(de().rsDetail().currentRow(), 0);
    EXPECT_EQ(strFilter, "MORTCO = '0002'");
}

TEST_F(SaveTest, ANullInAnyFieldIsWrittenAsEmptyOrZero)
{
    // A Detail table that allows Nulls, as an older database file might.
    de().rsDetail().close();
    de().Zarv.execute("DROP TABLE Detail");
    de().Zarv.execute("CREATE TABLE Detail (MORTCO TEXT, NUMBER TEXT, NAME TEXT, CD TEXT, JUR TEXT, FOLIO TEXT, "
                      "FOLIO_DISP TEXT, PAYMENT DOUBLE, ABC TEXT, GROSS_TAX DOUBLE, REG_GRANT DOUBLE, "
                      "ADD_GRANT DOUBLE, DELQ DOUBLE, LEGAL TEXT)");
    de().Zarv.execute("INSERT INTO Detail (MORTCO) VALUES ('0001')");
    de().Zarv.execute("INSERT INTO Detail (MORTCO, NAME, PAYMENT) VALUES ('0001', 'SECOND', 5)");
    de().rsDetail().open();
    addGroup("0001", "0001");

    const SaveResult r = save();
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.total, 5);
    const QStringList lines = savedLines();
    EXPECT_TRUE(lines.contains("#,,,,#,0.00,,0.00,0.00,0.00,0.00,")) << lines.join('\n').toStdString();
    EXPECT_TRUE(lines.contains("#,SECOND,,,#,5.00,,0.00,0.00,0.00,0.00,"));
}

// ---------------------------------------------------------------- the backup copy

TEST_F(SaveTest, TheOldFileGoesToTheBackupFirst)
{
    writeFile("Zarvdata.csv", "OLD CONTENTS\r\n");
    writeFile("Zarvdata.bak", "AN OLDER BACKUP\r\n");
    ASSERT_TRUE(save().ok);
    EXPECT_EQ(readFile(backup()), QByteArray("OLD CONTENTS\r\n"));
    EXPECT_TRUE(readFile(target()).startsWith("ZARV DATA FOR YEAR 2024\r\n"));
    // The file as first received is kept once and never replaced.
    EXPECT_EQ(strayFiles(), QStringList({"Zarvdata.bak", "Zarvdata.csv", "Zarvdata.received.csv"}));
    EXPECT_EQ(readFile(path("Zarvdata.received.csv")), QByteArray("OLD CONTENTS\r\n"));
    // What the program wrote is no new arrival: the copy stays.
    ASSERT_TRUE(save().ok);
    EXPECT_EQ(readFile(path("Zarvdata.received.csv")), QByteArray("OLD CONTENTS\r\n"));
    EXPECT_TRUE(ui().boxes().empty());

    // Next year's file arrives in its place: it becomes the copy, last year's is kept under its date.
    writeFile("Zarvdata.csv", "NEXT YEAR\r\n");
    const QString older = "Zarvdata.received." +
                          QFileInfo(path("Zarvdata.received.csv")).lastModified().toString("yyyy-MM-dd-HHmmss") + ".csv";
    ui().expectBox(ExpectedBox{ui::containing(target() + " is neither the file received before nor the one ZARV last "
                                              "saved: it is now the copy as received, " + path("Zarvdata.received.csv") +
                                              ". The earlier copy is kept as " + path(older) + "."),
                               Answer::OK, Icon::Exclamation, ui::Buttons::OK, QStringLiteral("ZARV Data Save"), false});
    ASSERT_TRUE(save().ok);
    EXPECT_TRUE(ui().clean()) << ui().report().toStdString();
    EXPECT_EQ(readFile(path("Zarvdata.received.csv")), QByteArray("NEXT YEAR\r\n"));
    EXPECT_EQ(readFile(path(older)), QByteArray("OLD CONTENTS\r\n"));
    EXPECT_EQ(strayFiles(), QStringList({"Zarvdata.bak", "Zarvdata.csv", older, "Zarvdata.received.csv"}));
}

// The backup takes the old file only when it holds something: an empty file
// leaves the backup as it was, and an empty backup is replaced.
TEST_F(SaveTest, TheBackupTakesTheOldFileOnlyWhenItHoldsSomething)
{
    writeFile("Zarvdata.csv", QByteArray());
    writeFile("Zarvdata.bak", QByteArray("KEPT\r\n"));
    ASSERT_TRUE(save().ok);
    EXPECT_EQ(readFile(backup()), QByteArray("KEPT\r\n"));
    EXPECT_FALSE(readFile(target()).isEmpty());

    writeFile("Zarvdata.csv", "OLD\r\n");
    writeFile("Zarvdata.bak", QByteArray());
    ASSERT_TRUE(save().ok);
    EXPECT_EQ(readFile(backup()), QByteArray("OLD\r\n"));
}

TEST_F(SaveTest, TheSavedFileAndItsBackupKeepTheirModeAndGroup)
{
    writeFile("Zarvdata.csv", "OLD\r\n");
    writeFile("Zarvdata.bak", "OLDER\r\n");
    // The superuser writes a read-only file (after the read-only question) and may give any group.
    const bool root = ::geteuid() == 0;
    const gid_t group = root ? ::getegid() + 4242 : ::getegid();
    const mode_t mode = root ? 0444 : 0640;
    for (const QString& file : {target(), backup()}) {
        ASSERT_EQ(::chown(QFile::encodeName(file).constData(), uid_t(-1), group), 0);
        ASSERT_EQ(::chmod(QFile::encodeName(file).constData(), file == target() ? mode : 0604), 0);
    }
    ASSERT_TRUE(save().ok);
    EXPECT_EQ(readFile(backup()), QByteArray("OLD\r\n"));
    for (const QString& file : {target(), backup()}) {
        struct stat st {};
        ASSERT_EQ(::stat(QFile::encodeName(file).constData(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, file == target() ? mode : 0604) << file.toStdString();
        EXPECT_EQ(st.st_gid, group) << file.toStdString();
    }
}

TEST_F(SaveTest, OneRunBacksUpOnceSoARetryUnderAnotherNameKeepsTheOriginal)
{
    writeFile("Zarvdata.csv", "ORIGINAL\r\n");
    writeFile("Other.csv", "SOMETHING ELSE\r\n");
    SaveRun run;
    ASSERT_TRUE(Mdb2Csv("2024", target(), backup(), run).ok);
    EXPECT_TRUE(run.backupMade);
    ASSERT_TRUE(Mdb2Csv("2024", path("Other.csv"), backup(), run).ok);
    ASSERT_TRUE(Mdb2Csv("2024", target(), backup(), run).ok);
    EXPECT_EQ(readFile(backup()), QByteArray("ORIGINAL\r\n"));
}

struct BakCase {
    const char* file;
    const char* bak;
};

TEST(BakPathFor, ReplacesCsvKeepingTheRestOfTheName)
{
    const BakCase cases[] = {
        {"ZARVDATA.CSV", "ZARVDATA.bak"},
        {"zarvdata.Csv", "zarvdata.bak"},
        {"/home/clerk/Zarvdata.csv", "/home/clerk/Zarvdata.bak"},
        {"/home/clerk/data.txt", "/home/clerk/data.txt.BAK"},
        {"Zarvdata", "Zarvdata.BAK"},
        {"x.csv.old", "x.csv.old.BAK"},
    };
    for (const BakCase& c : cases)
        EXPECT_EQ(BakPathFor(QString::fromUtf8(c.file)), QString::fromUtf8(c.bak)) << c.file;
}

TEST(PaymentYearAccepted, FourDigitsFrom2000ToNextYear)
{
    const int y = QDate::currentDate().year();
    for (const QString& ok : {QString("2000"), QString::number(y), QString::number(y + 1)})
        EXPECT_TRUE(PaymentYearAccepted(ok)) << ok.toStdString();
    for (const QString& no : {QString("1999"), QString::number(y + 2), QString(""), QString("201"), QString(" 2019"),
                              QString("20a9"), QString("20190")})
        EXPECT_FALSE(PaymentYearAccepted(no)) << no.toStdString();
}

// ---------------------------------------------------------------- failed saves

TEST_F(SaveTest, ATargetThatIsAFolderOrInNoFolderFailsWithAMessageAndChangesNothing)
{
    QDir().mkpath(target());
    addGroup("0001", "0001");
    addPayment("0001", payment("M1", "A, B", "01", "701", "000000000000000001", 7));
    expectFailure(" could not be saved: ");
    const SaveResult r = save();
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.total, 0);
    EXPECT_TRUE(QFileInfo(target()).isDir());
    fs::LineWriter probe;   // the file layer's own words for the failure
    ASSERT_FALSE(probe.open(target()));
    EXPECT_EQ(lastBox(), target() + " could not be saved: " + probe.errorString() + "\r\nThe file " + target() +
                             " is as it was.");
    EXPECT_EQ(columnOf("SELECT NAME FROM Detail", "NAME"), QStringList{"A, B"});
    EXPECT_EQ(strayFiles(), QStringList{"Zarvdata.csv"});

    // So does a folder that is not there.
    expectFailure(" could not be saved: ");
    EXPECT_FALSE(Mdb2Csv("2024", path("no/such/folder/Zarvdata.csv"), path("no/such/folder/Zarvdata.bak")).ok);
    EXPECT_TRUE(lastBox().contains("no/such/folder/Zarvdata.csv")) << lastBox().toStdString();
}

TEST_F(SaveTest, AFailureHalfWayLeavesTheOldFileAndTheTablesAsTheyWere)
{
    const QByteArray old = "ZARV DATA FOR YEAR 2023\r\n\r\nFOLIO MASK INFORMATION\r\n\r\n";
    writeFile("Zarvdata.csv", old);
    addGroup("0001", "0001");
    addPayment("0001", payment("M0", "FIRST, ONE", "01", "701", "000000000000000001", 1));
    addPayment("0001", payment("M1", "AB", "01", "701", "000000000000000002", 7));
    // Without its comma this row would repeat the one above: the database refuses it.
    addPayment("0001", payment("M2", "A,B", "01", "701", "000000000000000002", 8));
    addPayment("0001", payment("M3", "C", "01", "701", "000000000000000003", 9));

    expectFailure("Unexpected error #");
    const SaveResult r = save();
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.total, 0);
    EXPECT_TRUE(QRegularExpression("^Unexpected error #( [0-9]+|-[0-9]+) occurred: .+\r\nThe file .+ is as it was\\.$")
                    .match(lastBox())
                    .hasMatch())
        << lastBox().toStdString();
    EXPECT_EQ(readFile(target()), old);
    EXPECT_EQ(readFile(backup()), old);
    EXPECT_EQ(strayFiles(), QStringList({"Zarvdata.bak", "Zarvdata.csv", "Zarvdata.received.csv"}));
    EXPECT_EQ(columnOf("SELECT NAME FROM Detail ORDER BY NUMBER", "NAME"),
              QStringList({"FIRST, ONE", "AB", "A,B", "C"}));
    EXPECT_FALSE(de().rsDetail().editPending());

    // Mended, the same run saves; its backup still holds the file from before the run.
    de().Zarv.execute("DELETE FROM Detail WHERE NUMBER = 'M1'");
    de().rsDetail().requery();
    SaveRun run;
    run.backupMade = true;
    ASSERT_TRUE(Mdb2Csv("2024", target(), backup(), run).ok);
    EXPECT_EQ(readFile(backup()), old);
}

// The backup is a courtesy: when the old one cannot be replaced the file is
// written all the same, and the clerk is told so once the file is saved.
TEST_F(SaveTest, ABackupThatCannotBeReplacedIsReportedOnceTheFileIsSaved)
{
    writeFile("Zarvdata.csv", "OLD\r\n");
    QDir().mkpath(backup());
    ui().expectBox(ExpectedBox{ui::containing(target() + " is saved.\r\nIts backup copy " + backup() +
                                              " could not be made ("),
                               Answer::OK, Icon::Exclamation, ui::Buttons::OK, QStringLiteral("ZARV Data Save"), false});
    SaveRun run;
    ASSERT_TRUE(Mdb2Csv("2024", target(), backup(), run).ok);
    EXPECT_TRUE(readFile(target()).startsWith("ZARV DATA FOR YEAR 2024\r\n"));
    EXPECT_TRUE(QFileInfo(backup()).isDir());
    // A second save of the run does not ask again.
    ASSERT_TRUE(Mdb2Csv("2024", target(), backup(), run).ok);
    EXPECT_EQ(ui().boxes().size(), 1u);
}

// Likewise the copy as received: a folder in its place, or a name past the
// longest the file system takes (the backup's name is not).
TEST_F(SaveTest, AReceivedCopyThatCannotBeKeptIsReportedOnceTheFileIsSaved)
{
    const QString longBase = QStringLiteral("Zarvdata") + QString(236, u'x');
    for (const QString& base : {QStringLiteral("Zarvdata"), longBase}) {
        SCOPED_TRACE(base.left(12).toStdString());
        const QString file = writeFile(base + ".csv", "OLD\r\n");
        const QString bak = path(base + ".bak");
        const QString received = ReceivedCopyPath(file);
        const bool folder = base != longBase;
        if (folder)
            QDir().mkpath(received);
        const QString note = file + " is saved.\r\nThe copy of the file as received, " + received + ", could not be kept (";
        ui().expectBox(ExpectedBox{folder ? ui::TextMatch(note + "a folder of that name is in the way).")
                                          : ui::containing(note),
                                   Answer::OK, Icon::Exclamation, ui::Buttons::OK, QStringLiteral("ZARV Data Save"),
                                   false});
        ASSERT_TRUE(Mdb2Csv("2024", file, bak).ok);
        EXPECT_TRUE(ui().clean()) << ui().report().toStdString();
        EXPECT_TRUE(readFile(file).startsWith("ZARV DATA FOR YEAR 2024\r\n"));
        EXPECT_EQ(readFile(bak), QByteArray("OLD\r\n"));
        EXPECT_EQ(QFileInfo(received).isDir(), folder);
        EXPECT_FALSE(QFileInfo(received).isFile());
    }
}

// The disk refuses the file half way: the save stops at the first line it
// could not write, says so, and leaves the old file as it was.
TEST_F(SaveTest, TheFirstRefusedWriteEndsTheSave)
{
    addGroup("0001", "0001");
    for (int i = 0; i < 10000; ++i)
        addPayment("0001", payment(QStringLiteral("M%1").arg(i), QStringLiteral("OWNER %1").arg(i), "01", "701",
                                   QStringLiteral("%1").arg(i, 18, 10, QLatin1Char('0')), 1));
    int moves = 0;
    const int watch = de().rsDetail().addObserver([&](db::Recordset::Event e) {
        if (e == db::Recordset::Event::CurrentChanged)
            ++moves;
    });
    expectFailure(target() + " could not be saved: Could not write " + target());

    de().Zarv.flush();   // the rows are in the database before the disk fills
    rlimit before{};
    getrlimit(RLIMIT_FSIZE, &before);
    rlimit small = before;
    small.rlim_cur = 32 * 1024;   // less than the first piece the writer hands on
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &small);
    const SaveResult r = save();
    setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, oldHandler);
    de().rsDetail().removeObserver(watch);

    EXPECT_FALSE(r.ok);
    EXPECT_LT(moves, 16000);   // the recount walks all 10000; the writing stops early
    EXPECT_FALSE(QFileInfo::exists(target()));
}

// On a full disk neither the backup nor the file can be written: one message,
// once the save has failed, says so, and nothing claims the file was saved.
TEST_F(SaveTest, OnAFullDiskOneTrueMessageComesOnceTheSaveHasFailed)
{
    ZARV_SKIP_UNLESS_DISK_FAULTS_CAN_BE_FAKED();
    const QByteArray old = "ZARV DATA FOR YEAR 2023\r\n";
    writeFile("Zarvdata.csv", old);
    addGroup("0001", "0001");
    addPayment("0001", payment("M1", "OWNER", "01", "701", "000000000000000001", 7));
    de().Zarv.flush();
    const QString shown = withFullDisk([&] {
        ui().reset();
        ui().expectBox(ExpectedBox{ui::containing(target() + " could not be saved: "), Answer::OK, Icon::Critical,
                                   ui::Buttons::OK, QStringLiteral("ZARV Data Save"), false});
        const bool ok = save().ok;
        QStringList prompts;
        for (const ui::ShownBox& b : ui().boxes())
            prompts << b.prompt;
        return QString::number(ok) + QLatin1Char('|') + QString::number(ui().clean()) + QLatin1Char('|') +
               prompts.join(QLatin1Char('#'));
    });
    const QStringList parts = shown.split(QLatin1Char('|'));
    ASSERT_EQ(parts.size(), 3) << shown.toStdString();
    EXPECT_EQ(parts[0], "0");
    EXPECT_EQ(parts[1], "1") << shown.toStdString();
    EXPECT_FALSE(parts[2].contains("all the same")) << shown.toStdString();
    EXPECT_FALSE(parts[2].contains("#")) << "one message: " << shown.toStdString();
    EXPECT_TRUE(parts[2].endsWith("The file " + target() + " is as it was.")) << shown.toStdString();
    EXPECT_EQ(readFile(target()), old);
}

} // namespace
