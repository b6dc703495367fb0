// One table of folio records fed to the company's checks (the workbook load's
// intake screen, the add screen's whole-form check, Import 2 of Verify.csv, the
// folio list of a loaded workbook) and to the receiving side: no record is taken by one side and left
// out by the other. The tax office's own records (one known by its PID alone,
// without district or jurisdiction) are taken by both.
#include "verify_support.h"

#include "platform/data/recordset.h"
#include "platform/text/vb.h"
#include "services/foliorule.h"
#include "services/sharedstate.h"
#include "services/screens/Form_InformationDialog.h"
#include "verification/folioentry.h"
#include "verification/verifyimport.h"
#include "verifyfile/returnedworkbook.h"

#include <QPushButton>
#include <QSet>

namespace zarv::test {
namespace {

struct Case {
    const char* cells;      // ACD|MORTCO|NUMBER|CD|JUR|FOLIO|PID|NAME
    bool taken;             // the tax office takes it
};

// Districts 01 and 02, jurisdictions 701 and 702, the pairs 01/701 and 02/702.
const Case kCases[] = {
    {" |1234|R1|01|701|000000000000012345||WITH CODES", true},
    {"A|1234|R2||||123456789|PID ALONE", true},
    {"A|0104|R3|||123456789||FOLIO WITHOUT CODES", false},
    {"A|1234|R4|09|701|555||DISTRICT NOT IN THE TABLE", false},
    {"A|1234|R5|01|799|555||JURISDICTION NOT IN THE TABLE", false},
    {"A|1234|R6|01|702|555||NO SUCH PAIR", false},
    {"A|1234|R7||701||555666777|PID WITH A JURISDICTION ONLY", false},
    {"C|1234|R8|01||000000000000000777||FOLIO WITHOUT JURISDICTION", false},
    {"A|1234|R9|02|702||555666778|PID WITH CODES", true},
    {"A|1234|R10|01|||987654321|PID WITH A DISTRICT", true},
    {"A|1234|R11|09|||987654322|PID WITH AN UNKNOWN DISTRICT", false},
};

class FolioRuleBothSides : public DeTest {
protected:
    static QString number(const Case& c) { return QString::fromLatin1(c.cells).section(u'|', 2, 2); }
};

// Each side gives the mortgage numbers it leaves out.
TEST_F(FolioRuleBothSides, NoRecordIsTakenByOneSideAndLeftOutByTheOther)
{
    Book b;
    QSet<QString> all;
    QSet<QString> leftOut;
    for (const Case& c : kCases) {
        b.mortgage.push_back(folioRow(QString::fromLatin1(c.cells)));
        all.insert(number(c));
        if (!c.taken)
            leftOut.insert(number(c));
    }
    addCodes(b, {{"01|NORTH", "02|SOUTH"}, {"701|WESTPORT", "702|EASTBAY"}, {"01|701", "02|702"}});
    const QString workbook = path("MortNo1234.xlsx");
    writeBook(workbook, b);

    // The receiving side.
    RecordingSink notes;
    const ReturnedWorkbook returned = ReturnedWorkbook::load(workbook, notes);
    ASSERT_TRUE(returned.complete());
    QSet<QString> receivedOut;
    for (const ReturnedRowError& e : returned.errors())
        receivedOut.insert(number(kCases[e.row - 2]));
    EXPECT_EQ(receivedOut, leftOut);

    // The company's load of the same workbook names, before it stores
    // anything, each record the receiving side leaves out.
    ui().expectIntake(ui::TextMatch::any(), true);
    ASSERT_TRUE(Xls2Mdb(workbook));
    ASSERT_EQ(ui().intakes().size(), 1u);
    QSet<QString> loadOut;
    for (const fs::IntakeFinding& f : ui().intakes().front().findings) {
        if (f.kind == fs::IntakeFinding::Kind::LeftOut)
            loadOut.insert(number(kCases[f.line - 2]));
    }
    EXPECT_EQ(loadOut, leftOut);

    // The company's folio list of the same workbook names what the receiving side leaves out.
    QSet<QString> listOut;
    for (const foliorule::NamedRecord& named : foliorule::LeftOutRows(DE().rsVerify()))
        listOut.insert(vb::Trim(named.record.number));
    EXPECT_EQ(listOut, leftOut);

    // The add screen's whole-form check takes what the receiving side takes.
    const foliorule::CodeTables tables = foliorule::CodeTables::fromWorkingDatabase();
    QSet<QString> addOut;
    for (const Case& c : kCases) {
        const QStringList f = QString::fromLatin1(c.cells).split(u'|');
        const folioentry::NewFolio folio{f[2], f[1], f[3], f[4], f[5], f[6]};
        if (!folioentry::CheckNewFolioFields(folio).ok()
            || !folioentry::CheckForTaxOffice(folio, tables).ok())
            addOut.insert(f[2]);
    }
    EXPECT_EQ(addOut, leftOut);

    // Import 2 of the same records as Verify.csv lines into an empty list.
    DE().Zarv.execute(QStringLiteral("DELETE FROM VERIFY"));
    DE().rsVerify().close();
    QByteArray csv;
    for (const Case& c : kCases)
        csv += QString::fromLatin1(c.cells).replace(u'|', u',').toLatin1() + "\r\n";
    const QString file = writeFile(QStringLiteral("Verify.csv"), csv);
    int refusals = 0;
    for (const Case& c : kCases) {
        if (c.taken)
            continue;
        ui().expectModal(QStringLiteral("Form_InformationDialog"), [](QDialog& d) {
            EXPECT_TRUE(gMsgText.contains("The tax office would leave this folio out: ")) << gMsgText.toStdString();
            static_cast<Form_InformationDialog&>(d).OKButton->click();
        });
        if (++refusals == 6)
            ui().expectBox(box(ui::containing("do you want to Continue ?"), ui::Answer::Yes));
    }
    verifyimport::ImportCounts counts;
    EXPECT_TRUE(verifyimport::ImportVerifyCsv(verifyimport::kOption2, file, {}, &counts));
    EXPECT_TRUE(ui().clean()) << ui().report().toStdString();
    for (const QString& row : storedRows(QStringLiteral("VERIFY"), {QStringLiteral("NUMBER")}))
        all.remove(row);
    EXPECT_EQ(all, leftOut);
}

} // namespace
} // namespace zarv::test
