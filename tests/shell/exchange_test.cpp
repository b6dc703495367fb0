// One exchange between the company and the tax office, end to end: the company
// loads a workbook, adds, changes, marks D, imports Verify.csv and writes the
// workbook; the receiving side loads it and uploads. Every record the company
// kept reaches the verified file, or was named at the company before the
// workbook was written.
#include "shell_fixture.h"

#include "services/screens/Form_InformationDialog.h"
#include "services/sharedstate.h"
#include "shell/ZARV_ReturnInstructions2.h"
#include "verification/screens/Verify_Number_Add.h"
#include "verification/screens/Verify_Number_Change.h"
#include "verifyfile/returnedworkbook.h"
#include "verifyfile/verifiedfile.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <gmock/gmock.h>

using namespace zarv;
using namespace zarv::test;
using ui::Answer;
using ::testing::UnorderedElementsAreArray;

namespace {

class ExchangeTest : public ShellTest {
protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        workInTestFolder();
        work_ = makeFolder(QStringLiteral("work"));
        workbook_ = QDir(work_).filePath(QStringLiteral("MortNo1234.xlsx"));
    }

    // The sample workbook with one more folio, added by the company in an
    // earlier run without district or jurisdiction: the tax office leaves it out.
    void writeWorkbook()
    {
        ASSERT_TRUE(Xls2Mdb(samplePath(QStringLiteral("MortNo1234.xlsx"))));
        db::Recordset& rs = DE().rsVerify();
        rs.addNew();
        for (const auto& [field, value] : {std::pair{"ACD", "A"}, {"MORTCO", "1234"}, {"NUMBER", "OLD-1"},
                                           {"FOLIO", "000000000000000555"}, {"NAME", "EARLIER ADD"}})
            rs.setValue(QLatin1String(field), QLatin1String(value));
        rs.move(0);
        ASSERT_TRUE(Mdb2XlsWithoutBackup(workbook_));
        DE().Zarv.execute(QStringLiteral("DELETE FROM VERIFY"));
        rs.close();
    }
    QString work_;
    QString workbook_;
};

TEST_F(ExchangeTest, EveryRecordTheCompanyKeptIsVerifiedOrWasNamedBeforeTheWorkbookWasWritten)
{
    writeWorkbook();
    auto w = startOn(work_, QStringLiteral("MortNo1234.xlsx"), Run::Verification);

    // The load names the folio without codes before it stores anything; the
    // tax office's own records, the one known by its PID alone among them,
    // draw no finding.
    ui().expectIntake(ui::TextMatch::exactly("Tax office leaves out, row 10: The tax office would leave out mortgage "
                                             "OLD-1, folio 000000000000000555: no collection district; no "
                                             "jurisdiction. It is loaded; correct it in the list before the "
                                             "workbook goes back."),
                      true);
    QStringList kept;
    expectScreen<Verify_Numbers>([&](Verify_Numbers& list) {
        // The folio the tax office would leave out is named as the list opens
        // and when it is the current row.
        EXPECT_TRUE(list.Text_Msg->text().startsWith("1 folio of this list would be left out by the tax office"))
            << list.Text_Msg->text().toStdString();
        selectNumber(list, QStringLiteral("OLD-1"));
        EXPECT_EQ(list.Text_Msg->text(),
                  "The tax office would leave this folio out: no collection district; no jurisdiction.");

        expectScreen<Verify_Number_Add>([](Verify_Number_Add& add) {
            clerk::activate(&add);
            clerk::type(add.txtNUMBER, QStringLiteral("NEW-1"));
            clerk::pick(add.ComboCD, QStringLiteral("02"));
            clerk::pick(add.ComboJUR, QStringLiteral("703"));
            clerk::type(add.txtFOLIO, QStringLiteral("123456789"));
            clerk::type(add.txtNAME, QStringLiteral("ADDED HERE"));
            clerk::click(add.txtLEGAL);
            ASSERT_TRUE(add.Command_OK->isEnabled()) << add.Text_Msg->text().toStdString();
            clerk::click(add.Command_OK);
        });
        list.Command_AddDetail->click();
        EXPECT_EQ(statusOf(QStringLiteral("NEW-1")), "A");

        selectNumber(list, QStringLiteral("100200302"));
        expectScreen<Verify_Number_Change>([](Verify_Number_Change& change) {
            clerk::activate(&change);
            clerk::type(change.txtNUMBER, QStringLiteral("100200399"));
            clerk::click(change.Command1);
        });
        list.Command_ChangeDetail->click();
        EXPECT_EQ(statusOf(QStringLiteral("100200399")), "C");

        selectNumber(list, QStringLiteral("100200305"));
        list.Command_Inactivate->click();
        EXPECT_EQ(statusOf(QStringLiteral("100200305")), "D");

        // Verify.csv out, two lines added in a spreadsheet program, back in:
        // the folio known by its PID alone goes in, the one without codes is
        // refused naming why.
        const QString csv = QDir(work_).filePath(QStringLiteral("Verify.csv"));
        ui().expectBox(box(ui::containing("Export to the Verify.csv file complete.")));
        list.Command_Export->click();
        QFile file(csv);
        ASSERT_TRUE(file.open(QIODevice::Append));
        file.write("A,1234,NEW-PID,,,,555666777,ADDED BY FILE\r\nA,0104,M1,,,123456789,,NAME\r\n");
        file.close();
        expectScreen<Form_InformationDialog>([](Form_InformationDialog& i) {
            EXPECT_TRUE(gMsgText.contains("The tax office would leave this folio out: no collection district; "
                                          "no jurisdiction."))
                << gMsgText.toStdString();
            i.OKButton->click();
        });
        ui().expectBox(box(ui::containing("complete. Lines imported: 11, refused: 1.")));
        list.Command_Import1->click();
        EXPECT_EQ(statusOf(QStringLiteral("NEW-PID")), "A");
        EXPECT_EQ(statusOf(QStringLiteral("M1")), "<none>");

        kept = listed();
        list.Command_Close->click();
    });
    // Named again before the workbook is written: Enter goes back to the list,
    // and the clerk then goes on.
    const ui::TextMatch named = ui::containing("The tax office would leave out 1 folio of this workbook:\r\n"
                                               "mortgage OLD-1, folio 000000000000000555: no collection district; "
                                               "no jurisdiction");
    ui().expectBoxEnter(named);
    expectScreen<Verify_Numbers>([&](Verify_Numbers& list) {
        EXPECT_THAT(listed(), UnorderedElementsAreArray(kept));
        list.Command_Close->click();
    });
    ui().expectBox(box(named, Answer::Yes, ui::Icon::Exclamation, ui::Buttons::YesNo));
    expectScreen<ZARV_ReturnInstructions2>([](ZARV_ReturnInstructions2& s) { s.Command_Exit->click(); });
    w->Command_VERIFY_OK->click();
    ASSERT_TRUE(ui().clean()) << ui().report().toStdString();
    ASSERT_EQ(kept.size(), 11);

    // The tax office receives the workbook and uploads it.
    struct Notes : VerifyMessageSink {
        void addLine(const QString& text) override { lines << text; }
        void enablePrintErrors() override {}
        QStringList lines;
    } notes;
    ReturnedWorkbook returned = ReturnedWorkbook::load(workbook_, notes);
    ASSERT_TRUE(returned.complete()) << notes.lines.join('\n').toStdString();
    const QString verified = path(QStringLiteral("ZARVP040_VERIFIED.zarv"));
    ASSERT_TRUE(returned.writeVerifiedFile(verified));
    QStringList uploaded;
    for (const QByteArray& record : readFile(verified).split('\n')) {
        if (!record.isEmpty())
            uploaded << QString::fromLatin1(record.mid(5, 12)).trimmed();
    }
    QStringList expected = kept;
    expected.removeOne(QStringLiteral("OLD-1"));      // the one named before the workbook was written
    EXPECT_THAT(uploaded, UnorderedElementsAreArray(expected));
    QStringList errors;
    for (const ReturnedRowError& e : returned.errors())
        errors << e.folio + ": " + e.reason;
    EXPECT_EQ(errors, (QStringList{"folio 000000000000000555: no collection district",
                                   "folio 000000000000000555: no jurisdiction"}));
}

} // namespace
