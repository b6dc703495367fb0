// A screen reader reads every control of the payment screens, the verification
// screens, the start screen, the closing screens and the receiving screen by a
// name.
#include "shell_fixture.h"
#include "accessibility.h"
#include "clerk.h"

#include "paymentfile/paymentfile.h"
#include "paymentfile/screens/DuplicateFolios.h"
#include "payments/Detail.h"
#include "payments/Detail_Add.h"
#include "payments/Detail_Change.h"
#include "payments/Detail_Delete.h"
#include "payments/Detail_Search.h"
#include "payments/Group.h"
#include "payments/Group_Agency.h"
#include "platform/data/recordset.h"
#include "services/screens/Form_InformationDialog.h"
#include "services/sharedstate.h"
#include "shell/About.h"
#include "shell/ZARV_ReturnInstructions.h"
#include "shell/ZARV_ReturnInstructions2.h"
#include "shell/ZarvPayment.h"
#include "verification/screens/Verify_Number_Add.h"
#include "verification/screens/Verify_Number_Change.h"
#include "verification/screens/Verify_Number_Delete.h"
#include "verification/screens/Verify_Numbers.h"
#include "verification/screens/Verify_Numbers_Search.h"
#include "verifyfile/screens/Verify_Return.h"
#include "platform/ui/screens/intakescreen.h"
#include "verifyfile/verifyfile.h"

#include <QFile>
#include <QLabel>
#include <QTest>

namespace zarv::test {
namespace {

class AccessibleNamesTest : public ShellTest {
protected:
    void expectNamed(QWidget&& screen) { expectNamed(screen); }
    void expectNamed(QWidget& screen)
    {
        const QStringList unnamed = unnamedControls(&screen);
        EXPECT_TRUE(unnamed.isEmpty()) << screen.objectName().toStdString() << ": "
                                       << unnamed.join(QStringLiteral(", ")).toStdString();
    }
    void load(const QByteArray& bytes)
    {
        Csv2Mdb(writeFile(QStringLiteral("Zarvdata.csv"), bytes));
        ui().reset();
        if (DE().rsGroup().recordCount() > 0)
            DE().rsGroup().moveFirst();
    }
    void loadWorkbook()
    {
        QFile::copy(samplePath(QStringLiteral("MortNo1234.xlsx")), path(QStringLiteral("MortNo1234.xlsx")));
        Xls2Mdb(path(QStringLiteral("MortNo1234.xlsx")));
        ui().reset();
        ASSERT_GT(DE().rsVerify().recordCount(), 0);
        DE().rsVerify().moveFirst();
    }
    static QByteArray sample()
    {
        QFile f(samplePath(QStringLiteral("Zarvdata.csv")));
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }
};

TEST_F(AccessibleNamesTest, EveryPaymentScreenNamesItsControls)
{
    load(sample());
    expectNamed(Group());
    expectNamed(Group_Agency());
    DE().rsDetail().setFilter(QStringLiteral("MORTCO = '") + DE().rsGroup().text(QStringLiteral("MORTCO")) + u'\'');
    DE().rsDetail().moveFirst();
    expectNamed(Detail());
    expectNamed(Detail_Search());
    expectNamed(Detail_Add());
    expectNamed(Detail_Change());
    expectNamed(Detail_Delete());
}

TEST_F(AccessibleNamesTest, TheStartAndClosingScreensNameTheirControls)
{
    expectNamed(ZarvPayment());
    expectNamed(About());
    expectNamed(ZARV_ReturnInstructions());
    expectNamed(ZARV_ReturnInstructions2());
    fs::Intake intake;
    intake.path = QStringLiteral("/home/clerk/Zarvdata.csv");
    intake.add({fs::IntakeFinding::Kind::Cut, 14, QStringLiteral("NU\u00D1EZ Y GARCIA DE LA FUENTE"),
                QStringLiteral("NU\u00D1EZ Y GARCIA DE LA FUEN"), QStringLiteral("The name will be cut.")});
    expectNamed(ui::IntakeScreen(intake));
    gMsgType = QStringLiteral("Informational");
    gMsgTitle = QStringLiteral("FOLIO # 01 701 123-456-789");
    gMsgText = QStringLiteral("This folio has multiple payments");
    expectNamed(Form_InformationDialog());
}

TEST_F(AccessibleNamesTest, EveryVerificationScreenNamesItsControls)
{
    loadWorkbook();
    expectNamed(Verify_Numbers());
    expectNamed(Verify_Numbers_Search());
    expectNamed(Verify_Number_Add());
    expectNamed(Verify_Number_Change());
    expectNamed(Verify_Number_Delete());
}

// A box the add screen marks in error tells a screen reader why, and stops
// once the value is right.
TEST_F(AccessibleNamesTest, ABoxMarkedInErrorSaysWhy)
{
    loadWorkbook();
    Verify_Number_Add s;
    clerk::activate(&s);
    s.txtNUMBER->setFocus();
    clerk::type(s.txtNUMBER, DE().rsVerify().text(QStringLiteral("NUMBER")));
    QTest::keyClick(s.txtNUMBER, Qt::Key_Tab);
    EXPECT_TRUE(s.txtNUMBER->accessibleDescription().contains(s.Label_NUMBER_Msg->text()))
        << s.txtNUMBER->accessibleDescription().toStdString();
    s.txtNUMBER->setFocus();
    s.txtNUMBER->setText(QStringLiteral("NEW-1"));
    QTest::keyClick(s.txtNUMBER, Qt::Key_Tab);
    EXPECT_EQ(s.txtNUMBER->accessibleDescription(), QString());
}

TEST_F(AccessibleNamesTest, TheDuplicateListNamesItsControls)
{
    QList<QByteArray> lines = sample().split('\n');
    const qsizetype first = lines.indexOf("PAYMENT DETAIL INFORMATION\r") + 2;
    ASSERT_GT(first, 1);
    lines.insert(first + 1, lines[first]);
    load(lines.join('\n'));
    ASSERT_TRUE(DupFoliosFound);
    expectNamed(DuplicateFolios());
}

TEST_F(AccessibleNamesTest, TheReceivingScreenNamesItsListsAndTable)
{
    Verify_Return screen;
    expectNamed(screen);
    // Each list is read with the caption over it.
    EXPECT_EQ(screen.Label_Disk->buddy(), screen.Drive);
    EXPECT_EQ(screen.Label_Directory->buddy(), screen.Dir);
    EXPECT_EQ(screen.Label_Files->buddy(), screen.File);
}

} // namespace
} // namespace zarv::test
