// The duplicate list screen: what it lists, what it puts into Detail for the
// printed report, and its Print and Close buttons.
#include "payfile_support.h"

#include "paymentfile/screens/DuplicateFolios.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

namespace {

DupFolioRow entry(const QString& mortco, const QString& name, double payment, const QString& legal = "LOT 1")
{
    // In the order of the columns: folio shown, agency, number, name, district,
    // jurisdiction, folio, the three grants, delinquent, legal, type, payment.
    return {"123-456-789", mortco, "M1", name, "01", "701", "000000000123456789",
            payment, 0.0, 0.0, 0.0, legal, "A", payment};
}

class DuplicateFoliosTest : public PayFileTest {
protected:
    // A payment file with the first payment and `repeats` copies of it.
    void loadWithRepeats(int repeats)
    {
        QStringList lines{"ZARV DATA FOR YEAR 2024", "", "FOLIO MASK INFORMATION", "70109###-###-###", "",
                          "PAYMENT GROUP INFORMATION", "Agency #,0001", "PAYMENT DETAIL INFORMATION"};
        for (int i = 0; i <= repeats; ++i)
            lines << QStringLiteral("#M%1,OWNER A,01,701,#123456789,%2.00,A,0,0,0,0,LOT %1").arg(i).arg(i);
        if (repeats > 0)
            ui().expectIntake(ui::containing(QStringLiteral("Repeat, line ")), true);
        ASSERT_TRUE(load(lines));
        ASSERT_EQ(DupFolioCount, repeats);
    }

    static QStringList listLines(DuplicateFolios& s)
    {
        QStringList out;
        for (int i = 0; i < s.List_DuplicateFolios->count(); ++i)
            out << s.List_DuplicateFolios->item(i)->text();
        return out;
    }
};

TEST_F(DuplicateFoliosTest, ListsTheFirst201AndCountsThemAll)
{
    loadWithRepeats(350);
    DuplicateFolios screen;
    EXPECT_EQ(screen.windowTitle(), "ZARV - Duplicate Folios");
    EXPECT_EQ(screen.List_DuplicateFolios->count(), 201);
    EXPECT_EQ(screen.List_DuplicateFolios->currentRow(), 0);
    EXPECT_EQ(screen.Label_FolioCount->text(), "There are 350 Duplicate Folios in the file");
    EXPECT_TRUE(screen.List_DuplicateFolios->item(200)->text().contains("LOT 201"));

    // Detail now holds the listed ones, numbered apart in FOLIO.
    const QStringList folios = columnOf("SELECT FOLIO FROM Detail ORDER BY rowid", "FOLIO");
    ASSERT_EQ(folios.size(), 201);
    EXPECT_EQ(folios.front(), " 0");
    EXPECT_EQ(folios.back(), " 200");
    EXPECT_EQ(columnOf("SELECT NUMBER FROM Detail ORDER BY rowid", "NUMBER").back(), "M201");
    EXPECT_FALSE(ui().busy());
}

TEST_F(DuplicateFoliosTest, OneDuplicateIsOneLineAndCloseEndsTheScreen)
{
    loadWithRepeats(1);
    DuplicateFolios screen;
    EXPECT_EQ(screen.Label2->text(), DupFolioListHeading());
    EXPECT_TRUE(screen.Label2->font().fixedPitch() || screen.Label2->font().styleHint() == QFont::TypeWriter);
    EXPECT_TRUE(screen.Label1->text().startsWith("There are duplicate folios in the ZARV data file."));
    EXPECT_TRUE(screen.Command_OK->isDefault()) << "Enter closes";
    EXPECT_EQ(screen.Command_OK->toolTip(), "Close this screen");
    EXPECT_EQ(screen.Label_FolioCount->text(), "There is 1 Duplicate Folio in the file");
    // The run names the file the repeats are in.
    screen.setDataFile(QStringLiteral("/data/agency/Zarvdata.csv"));
    EXPECT_EQ(screen.windowTitle(), "ZARV - Duplicate Folios in Zarvdata.csv");
    EXPECT_TRUE(screen.Label1->text().startsWith("There are duplicate folios in the ZARV data file /data/agency/Zarvdata.csv."));
    EXPECT_EQ(screen.Label_FolioCount->text(), "There is 1 Duplicate Folio in Zarvdata.csv");
    EXPECT_EQ(listLines(screen), QStringList{"0001   01 701 123-456-789          OWNER A                             1.00 "
                                             "LOT 1                            "});
    EXPECT_EQ(onlyRowOf("SELECT * FROM Detail", {"FOLIO_DISP", "PAYMENT", "LEGAL"}),
              QStringList({"123-456-789", "1", "LOT 1"}));

    ui().expectModal("DuplicateFolios", [](QDialog& d) { d.findChild<QPushButton*>("Command_OK")->click(); });
    ui::ui().showModal(screen);
    EXPECT_FALSE(screen.isVisible());
}

// Every listed repeat is stored for the report, repeats of one another too,
// each value cut to its column; the list shows what the load met.
TEST_F(DuplicateFoliosTest, EveryListedRepeatIsStoredCutToItsColumns)
{
    ResetDupFolios();
    DupFolios[0] = entry("0001", "SAME", 5);
    DupFolios[1] = entry("0001", "SAME", 5);
    DupFolioRow& r = DupFolios[2] = entry("0001", "ABCDEFGHIJKLMNOPQRSTUVWXYZ1234", 5,
                                          "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789");
    r[dfNumber] = "ABCDEFGHIJKLMNO";
    r[dfJur] = "7011";
    DupFolioCount = 3;
    DupFoliosFound = true;
    DuplicateFolios screen;
    const QStringList lines = listLines(screen);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0], lines[1]);
    EXPECT_TRUE(lines[2].contains(" 7011 "));
    EXPECT_EQ(columnOf("SELECT FOLIO FROM Detail ORDER BY rowid", "FOLIO"), QStringList({" 0", " 1", " 2"}));
    EXPECT_EQ(onlyRowOf("SELECT * FROM Detail WHERE FOLIO = ' 2'", {"NAME", "LEGAL", "NUMBER", "JUR"}),
              QStringList({"ABCDEFGHIJKLMNOPQRSTUVWXY", "ABCDEFGHIJKLMNOPQRSTUVWXYZ012345", "ABCDEFGHIJKL",
                           "701"}));
}

// Each value stands under its heading, whatever the folio's mask; amounts show
// two decimals and no digit of a folio or an amount is cut.
TEST(DupFolioListLine, EveryValueStandsUnderItsHeadingWithTwoDecimals)
{
    const QString heading = DupFolioListHeading();
    EXPECT_EQ(heading, "Agency CD JUR Folio Number         Name                      Payment Amount Legal Description");
    struct Case {
        const char* folio;
        const char* name;
        double payment;
        const char* paymentShown;
    };
    const Case cases[] = {
        {"123-456-789", "OWNER", 1948.6, "1,948.60"},
        {"12-3456", "OWNER", 12.5, "12.50"},
        {"000000000000000042", "ABCDEFGHIJKLMNOPQRSTUVWXYZ123", 0, "0.00"},
        {"1234-5678-9012-3456", "OWNER", 12345678.95, "12,345,678.95"},
    };
    for (const Case& c : cases) {
        DupFolioRow e = entry("0001", c.name, c.payment);
        e[dfFolioDisp] = QString::fromLatin1(c.folio);
        const QString line = DupFolioListLine(e);
        EXPECT_EQ(line.mid(heading.indexOf("CD"), 3), "01 ");
        EXPECT_EQ(line.mid(heading.indexOf("JUR"), 4), "701 ");
        EXPECT_EQ(line.mid(heading.indexOf("Folio Number")).section(' ', 0, 0), c.folio);
        EXPECT_EQ(line.mid(heading.indexOf("Name"), 26), QString::fromLatin1(c.name).left(25).leftJustified(26));
        // The amount ends under the last letter of its heading.
        const int end = int(heading.indexOf("Payment Amount") + 14);
        EXPECT_EQ(line.left(end).section(' ', -1), c.paymentShown) << c.payment;
        EXPECT_EQ(line.mid(heading.indexOf("Legal Description"), 6), "LOT 1 ");
    }
}

TEST_F(DuplicateFoliosTest, PrintWritesTheReportAndSaysWhere)
{
    qputenv("ZARV_FORCE_PDF", "1");
    const QString before = QDir::currentPath();
    QDir().mkpath(path("elsewhere"));
    QDir::setCurrent(path("elsewhere"));

    loadWithRepeats(3);
    RememberDataFile(QStringLiteral("/"), folder(), QStringLiteral("Zarvdata.csv"));
    DuplicateFolios screen;
    de().rsDetail().moveLast();
    // Beside the payment file, named for what it lists.
    const QString pdf = QDir(folder()).absoluteFilePath("Duplicate folios.pdf");
    ui().expectPrint(QStringLiteral("Duplicate Folios"));
    ui().expectBox(ExpectedBox{"The report was saved as " + pdf, Answer::OK, Icon::Information, ui::Buttons::OK,
                               QStringLiteral("Duplicate Folios")});
    screen.Command_Print->click();

    EXPECT_EQ(ui().offeredPdfs(), QStringList{pdf});
    EXPECT_EQ(screen.Label_FolioCount->text(), "Report saved as " + pdf);
    EXPECT_TRUE(screen.Command_Print->isEnabled());
    EXPECT_FALSE(ui().busy());
    EXPECT_EQ(de().rsDetail().currentRow(), 0);
    EXPECT_GT(QFileInfo(pdf).size(), 0);
    EXPECT_EQ(QDir(path("elsewhere")).entryList(QDir::Files), QStringList());

    QDir::setCurrent(before);
    qunsetenv("ZARV_FORCE_PDF");
}

TEST_F(DuplicateFoliosTest, ADatabaseFailureIsReportedAndTheListStillShows)
{
    loadWithRepeats(2);
    de().rsDetail().close();
    de().Zarv.execute("DROP TABLE Detail");
    ui().expectBox(ExpectedBox{ui::containing("The duplicate folios could not be stored for printing. Unexpected error #"),
                               Answer::OK, Icon::Critical, ui::Buttons::OK, QStringLiteral("ZARV Data")});
    DuplicateFolios screen;
    EXPECT_EQ(screen.List_DuplicateFolios->count(), 2);
    EXPECT_EQ(screen.Label_FolioCount->text(), "There are 2 Duplicate Folios in the file");
}

} // namespace
