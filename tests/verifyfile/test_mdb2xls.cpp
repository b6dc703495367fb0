// The workbook writer: what the written package holds (read here with libzip
// and pugixml, not with the program's reader), the round trip through the load,
// the backup copy, and failures that must leave the old files as they were.
#include "verify_support.h"

#include "faults.h"

#include "platform/workbook/workbook.h"
#include "services/dataenvironment.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <pugixml.hpp>

#include <map>

namespace zarv::test {
namespace {

using ui::Icon;

// ---------------------------------------------------------------- an independent look into the package

bool loadPart(const QString& workbook, const std::string& part, pugi::xml_document& doc)
{
    const QByteArray bytes = zipPart(workbook, QString::fromStdString(part));
    return !bytes.isEmpty() && doc.load_buffer(bytes.constData(), size_t(bytes.size()));
}

struct SheetXml {
    QString name;
    pugi::xml_document doc;
};

// The worksheets in workbook order, each found through the relationships.
std::vector<std::unique_ptr<SheetXml>> worksheets(const QString& workbook)
{
    pugi::xml_document book, rels;
    std::vector<std::unique_ptr<SheetXml>> out;
    if (!loadPart(workbook, "xl/workbook.xml", book)
        || !loadPart(workbook, "xl/_rels/workbook.xml.rels", rels))
        return out;
    std::map<std::string, std::string> targets;
    for (pugi::xml_node r : rels.child("Relationships").children("Relationship"))
        targets[r.attribute("Id").value()] = r.attribute("Target").value();
    for (pugi::xml_node s : book.child("workbook").child("sheets").children("sheet")) {
        auto sheet = std::make_unique<SheetXml>();
        sheet->name = QString::fromUtf8(s.attribute("name").value());
        std::string target = targets[s.attribute("r:id").value()];
        if (target.rfind("/xl/", 0) == 0)
            target = target.substr(4);
        EXPECT_TRUE(loadPart(workbook, "xl/" + target, sheet->doc)) << target;
        out.push_back(std::move(sheet));
    }
    return out;
}

QString inlineOrShared(pugi::xml_node c, const std::vector<QString>& shared)
{
    const std::string type = c.attribute("t").value();
    if (type == "inlineStr") {
        QString text;
        for (pugi::xpath_node t : c.child("is").select_nodes(".//t"))
            text += QString::fromUtf8(t.node().text().get());
        return text;
    }
    if (type == "s")
        return shared.at(size_t(c.child("v").text().as_int()));
    return QString::fromUtf8(c.child("v").text().get());
}

// ---------------------------------------------------------------- fixture

class Mdb2XlsTest : public DeTest {
protected:
    void fillTables()
    {
        addVerifyRow("A|1234|N1|12|701|000000000000012345|123456789|  john   smith  |1  main st|||||lot  4  b");
        addVerifyRow("C|ABCD|N2|1 |70 |12345||Mary Major|||||| ");
        addVerifyRow(" |1234|N3|  |   ||987654321|pid only||||||");
        addVerifyRow("D|1234|N0|12|702|777||x|a1|a2|a3|a4|a5|legal");
        addCodes({{"1 |One", "12|Twelve"}, {"70 |Seventy", "701|Seven O One"}, {"1 |70 ", "12|701"},
                  {"701|9|###-###", "702|118|##", "703|18|#"}});
    }
    // The district, jurisdiction and pair tables, each in the order stored.
    static QStringList codes()
    {
        return storedRows("Collection_District") + storedRows("Jurisdiction") + storedRows("CD_JUR");
    }
    void expectError(const ui::TextMatch& text)
    {
        ui().expectBox(criticalBox(text));
    }
    // Files of the test folder whose names start with a dot: temporary files.
    QStringList hiddenFiles() const
    {
        return QDir(folder()).entryList(QStringList{".*"}, QDir::Files | QDir::Hidden);
    }
};

TEST_F(Mdb2XlsTest, WrittenPackageHasTheLayout)
{
    fillTables();
    const QString p = path("MortNo1234.xlsx");
    ASSERT_TRUE(Mdb2Xls(p));

    pugi::xml_document styles, sst;
    ASSERT_TRUE(loadPart(p, "xl/styles.xml", styles));
    std::vector<QString> shared;
    if (loadPart(p, "xl/sharedStrings.xml", sst)) {
        for (pugi::xml_node si : sst.child("sst").children("si")) {
            QString text;
            for (pugi::xpath_node t : si.select_nodes(".//t"))
                text += QString::fromUtf8(t.node().text().get());
            shared.push_back(text);
        }
    }
    std::vector<pugi::xml_node> xfs, fonts;
    for (pugi::xml_node xf : styles.child("styleSheet").child("cellXfs").children("xf"))
        xfs.push_back(xf);
    for (pugi::xml_node f : styles.child("styleSheet").child("fonts").children("font"))
        fonts.push_back(f);
    auto numFmt = [&](pugi::xml_node n) { return xfs.at(size_t(n.attribute("s").as_int())).attribute("numFmtId").as_int(); };

    struct Expect {
        QString name;
        QStringList headings;
        std::vector<int> widths;
        QString ignored;
        int lastRow;
    };
    const std::vector<Expect> expected = {
        {"Mortgage", kMortgageHeadings, {4, 13, 16, 25, 18, 19, 20, 44, 30, 30, 30, 30, 30, 42}, "C2:G5", 5},
        {"Folio Mask", kFolioMaskHeadings, {17, 12, 12}, "A2:B4", 4},
        {"Collection District", kDistrictHeadings, {24, 35}, "A2:A3", 3},
        {"Jurisdiction", kJurisdictionHeadings, {19, 31}, "A2:A3", 3},
        {"Collection Jurisdiction Combo", kComboHeadings, {23, 17}, "A2:B3", 3},
    };
    const auto sheets = worksheets(p);
    ASSERT_EQ(sheets.size(), expected.size());
    for (size_t i = 0; i < sheets.size(); ++i) {
        const Expect& e = expected[i];
        SCOPED_TRACE(e.name.toStdString());
        const pugi::xml_node ws = sheets[i]->doc.child("worksheet");
        EXPECT_EQ(sheets[i]->name, e.name);

        std::vector<int> widths;
        for (pugi::xml_node col : ws.child("cols").children("col")) {
            for (int c = col.attribute("min").as_int(); c <= col.attribute("max").as_int(); ++c) {
                EXPECT_EQ(c, int(widths.size()) + 1);   // each width on its own column, from A on
                widths.push_back(int(col.attribute("width").as_double()));
            }
            EXPECT_EQ(xfs.at(size_t(col.attribute("style").as_int())).attribute("numFmtId").as_int(), 49);
        }
        EXPECT_EQ(widths, e.widths);

        int lastRow = 0;
        QStringList headings;
        for (pugi::xml_node row : ws.child("sheetData").children("row")) {
            lastRow = std::max(lastRow, row.attribute("r").as_int());
            for (pugi::xml_node c : row.children("c")) {
                EXPECT_EQ(numFmt(c), 49) << c.attribute("r").value();
                const std::string type = c.attribute("t").value();
                EXPECT_TRUE(type == "s" || type == "inlineStr" || type == "str") << c.attribute("r").value();
                if (row.attribute("r").as_int() != 1)
                    continue;
                headings << inlineOrShared(c, shared);
                const pugi::xml_node font = fonts.at(size_t(xfs.at(size_t(c.attribute("s").as_int())).attribute("fontId").as_int()));
                EXPECT_TRUE(font.child("b")) << c.attribute("r").value();
                EXPECT_EQ(font.child("sz").attribute("val").as_double(), 8.0);
            }
        }
        EXPECT_EQ(headings, e.headings);
        EXPECT_EQ(lastRow, e.lastRow);   // nothing below the last record

        const pugi::xml_node ignored = ws.child("ignoredErrors").child("ignoredError");
        EXPECT_EQ(QString::fromUtf8(ignored.attribute("sqref").value()), e.ignored);
        EXPECT_TRUE(ignored.attribute("numberStoredAsText").as_bool());
    }
    // The first sheet is the active one.
    pugi::xml_document book;
    ASSERT_TRUE(loadPart(p, "xl/workbook.xml", book));
    EXPECT_EQ(book.child("workbook").child("bookViews").child("workbookView").attribute("activeTab").as_int(0), 0);
}

// The cells hold the written forms, and the load gives the tables back.
TEST_F(Mdb2XlsTest, CellsHoldTheWrittenFormsAndLoadBackAsTheTables)
{
    fillTables();
    de().rsVerify().setFilter("NUMBER = 'N2'");   // a filter an earlier screen left keeps no record out
    const QStringList codesBefore = codes();
    const QString p = path("MortNo1234.xlsx");
    ASSERT_TRUE(Mdb2Xls(p));
    {
        xl::Workbook wb;
        ASSERT_TRUE(wb.open(p)) << wb.errorText().toStdString();
        auto row = [&](int sheet, int r, int columns) {
            QStringList cells;
            for (int c = 1; c <= columns; ++c)
                cells << wb.sheet(sheet)->cell(r, c);
            return cells.join(u'|');
        };
        // Sheet 1 in rsVerify's order (NUMBER); names, addresses, legal collapsed.
        EXPECT_EQ(row(1, 2, 14), "D|1234|N0|12|702|777||x|a1|a2|a3|a4|a5|legal");
        EXPECT_EQ(row(1, 3, 14),
                  "A|1234|N1|12|701|000000000000012345|123456789|john smith|1 main st|||||lot 4 b");
        EXPECT_EQ(row(1, 4, 14), "C|ABCD|N2|1 |70 |12345||Mary Major||||||");
        EXPECT_EQ(row(1, 5, 14), " |1234|N3|  |   ||987654321|pid only||||||");
        EXPECT_EQ(row(2, 2, 3), "701|09|###-###");
        EXPECT_EQ(row(2, 3, 3), "702|18|##");
        EXPECT_EQ(row(3, 2, 2), "1 |One");
        EXPECT_EQ(row(5, 2, 2), "1 |70 ");
        EXPECT_EQ(wb.sheet(1)->lastRow(), 5);
    }

    ui().expectIntake(ui::containing("mortgage N0, folio 777: jurisdiction 702 is not in the code table"), true);
    ASSERT_TRUE(Xls2Mdb(p));
    // Names, addresses and legal descriptions come back in upper case.
    EXPECT_EQ(tableRows("SELECT * FROM VERIFY ORDER BY NUMBER", kVerifyFields),
              QStringList({"D|1234|N0|12|702|777||X|A1|A2|A3|A4|A5|LEGAL",
                           "A|1234|N1|12|701|000000000000012345|123456789|JOHN SMITH|1 MAIN ST|||||LOT 4 B",
                           "C|ABCD|N2|1 |70 |12345||MARY MAJOR||||||",
                           " |1234|N3|  |   ||987654321|PID ONLY||||||"}));
    // Folio lengths keep their last two digits; the year is this year's.
    const QString y = QString::number(QDate::currentDate().year());
    EXPECT_EQ(storedRows("Fol_Mask"),
              QStringList({"701|" + y + "|9|###-###", "702|" + y + "|18|##", "703|" + y + "|18|#"}));
    EXPECT_EQ(codes(), codesBefore);
}

TEST_F(Mdb2XlsTest, NullTextIsWrittenAsAnEmptyCell)
{
    de().Zarv.execute("DROP TABLE VERIFY");
    de().Zarv.execute("CREATE TABLE VERIFY (ACD TEXT, MORTCO TEXT, NUMBER TEXT, CD TEXT, JUR TEXT, FOLIO TEXT, PID TEXT, "
                      "NAME TEXT, ADDR1 TEXT, ADDR2 TEXT, ADDR3 TEXT, ADDR4 TEXT, ADDR5 TEXT, LEGAL TEXT)");
    addRow("VERIFY", {"ACD", "MORTCO", "NUMBER", "NAME", "LEGAL"}, {QVariant(), QVariant(), "N1", QVariant(), QVariant()});
    addRow("Fol_Mask", {"JUR_CD", "FOLIO_MASK"}, {"701", "#"});
    const QString p = path("MortNo1.xlsx");
    ASSERT_TRUE(Mdb2Xls(p));
    xl::Workbook wb;
    ASSERT_TRUE(wb.open(p));
    QStringList cells;
    for (int c = 1; c <= 14; ++c)
        cells << wb.sheet(1)->cell(2, c);
    EXPECT_EQ(cells.join(u'|'), " |    |N1|  |   |||||||||");
    EXPECT_EQ(wb.sheet(2)->cell(2, 2), "00");
}

struct BackupName {
    const char* file;
    const char* backup;
};

TEST(VerifyBackupName, ReplacesAnXlsxEndingOrAppends)
{
    const std::vector<BackupName> cases = {
        {"/data/MortNo1234.xlsx", "/data/MortNo1234.bak"},
        {"/data/MortNo1234.XLSX", "/data/MortNo1234.bak"},
        {"/data/MortNo1234.xls", "/data/MortNo1234.xls.bak"},
        {"/data/MortNo1234", "/data/MortNo1234.bak"},
        {"/data/MortNo1234.xlsx.zip", "/data/MortNo1234.xlsx.zip.bak"},
    };
    for (const BackupName& c : cases)
        EXPECT_EQ(BackupNameFor(c.file), c.backup) << c.file;
}

TEST_F(Mdb2XlsTest, OldWorkbookIsCopiedToItsBackupBeforeItIsReplacedAndWithoutABackupNothingIsWritten)
{
    const QString p = path("MortNo1.XLSX");
    Book old;
    old.mortgage.push_back(folioRow("|9999|OLD|12|701|1"));
    writeBook(p, old);
    writeFile("MortNo1.bak", "an older backup");
    const QByteArray oldBytes = readFile(p);

    fillTables();
    ASSERT_TRUE(Mdb2Xls(p));
    EXPECT_EQ(readFile(path("MortNo1.bak")), oldBytes);
    xl::Workbook wb;
    ASSERT_TRUE(wb.open(p));
    EXPECT_EQ(wb.sheet(1)->cell(2, 3), "N0");
    EXPECT_TRUE(hiddenFiles().isEmpty()) << hiddenFiles().join(", ").toStdString();

    // Without a workbook (an empty file counts as none) an older backup is removed after the write.
    writeFile("MortNo2.bak", "an older backup");
    writeFile("MortNo2.xlsx", "");
    ASSERT_TRUE(Mdb2Xls(path("MortNo2.xlsx")));
    EXPECT_FALSE(QFileInfo::exists(path("MortNo2.bak")));
    EXPECT_GT(QFileInfo(path("MortNo2.xlsx")).size(), 0);

    // No backup means no write: here the backup name is taken by a folder.
    writeFile("MortNo3.xlsx", "old workbook bytes");
    ASSERT_TRUE(QDir(folder()).mkdir("MortNo3.bak"));
    expectError(ui::containing("\r\n(write step 7)"));
    EXPECT_FALSE(Mdb2Xls(path("MortNo3.xlsx")));
    EXPECT_EQ(readFile(path("MortNo3.xlsx")), "old workbook bytes");
}

TEST_F(Mdb2XlsTest, AFailedWriteLeavesWorkbookAndBackupAsTheyWere)
{
    const QString p = path("MortNo1.xlsx");
    Book old;
    old.mortgage.push_back(folioRow("|9999|OLD|12|701|1"));
    writeBook(p, old);
    const QByteArray oldBytes = readFile(p);

    // A name longer than a cell can hold makes the write fail on sheet 1.
    addVerifyRow(" |1234|N1|12|701|1||" + QString(40000, 'x'));
    expectError(ui::containing("could not be written.\r\n(write step 26)"));
    EXPECT_FALSE(Mdb2Xls(p));
    EXPECT_EQ(readFile(p), oldBytes);
    EXPECT_EQ(readFile(path("MortNo1.bak")), oldBytes);
    EXPECT_TRUE(hiddenFiles().isEmpty()) << hiddenFiles().join(", ").toStdString();

    // With no workbook there, an older backup stays when the write fails.
    QFile::remove(p);
    writeFile("MortNo1.bak", "an older backup");
    expectError(ui::containing("could not be written.\r\n(write step 26)"));
    EXPECT_FALSE(Mdb2Xls(p));
    EXPECT_FALSE(QFileInfo::exists(p));
    EXPECT_EQ(readFile(path("MortNo1.bak")), "an older backup");
}

// A disk or permission fault names its cause first; the step it stopped at
// and the error number follow for the office.
TEST_F(Mdb2XlsTest, AFileFaultLeadsWithItsCauseThenTheStep)
{
    ZARV_SKIP_UNLESS_DISK_FAULTS_CAN_BE_FAKED();
    const QString p = path("MortNo1.xlsx");
    const QString workbook = "The workbook \"" + QDir::toNativeSeparators(p) + "\" could not be written.";
    fillTables();
    // The one message Mdb2Xls shows, and whether it claimed success.
    const auto shown = [&] {
        ui().reset();
        ui().expectBox(criticalBox(ui::TextMatch::any()));
        const bool ok = Mdb2Xls(p);
        return (ok ? QStringLiteral("written|") : QString()) +
               (ui().boxes().empty() ? QStringLiteral("<no message>") : ui().boxes().back().prompt);
    };
    const auto asAClerk = [&] {
        ObeyPermissions clerk;
        return shown();
    };
    struct Case {
        const char* fault;
        std::function<QString()> run;
        QString expected;
    };
    const Case cases[] = {
        {"full disk", [&] { return withFullDisk(shown); },
         "The disk is full. " + workbook + "\r\n(write step 121)"},
        {"read-only workbook",
         [&] {
             writeFile("MortNo1.xlsx", "old workbook bytes");
             QFile::setPermissions(p, QFileDevice::ReadOwner);
             const QString text = asAClerk();
             EXPECT_EQ(readFile(p), "old workbook bytes");
             QFile::setPermissions(p, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
             QFile::remove(p);
             QFile::remove(path("MortNo1.bak"));
             return text;
         },
         "The file is read-only. " + workbook + "\r\n(write step 6)"},
        {"folder not writable",
         [&] {
             QFile::setPermissions(folder(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
             const QString text = asAClerk();
             QFile::setPermissions(folder(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
             return text;
         },
         "The folder " + QDir::toNativeSeparators(folder()) + " cannot be written. " + workbook +
             "\r\n(write step 6)"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.run(), c.expected) << c.fault;
    EXPECT_FALSE(QFileInfo::exists(p));
    EXPECT_TRUE(hiddenFiles().isEmpty()) << hiddenFiles().join(", ").toStdString();
}

} // namespace
} // namespace zarv::test
