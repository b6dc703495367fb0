// A payment run offscreen: load the file, edit through the screens, save; the
// written file carries exactly the edits.
#include "screens_support.h"
#include "textlines.h"

#include "paymentfile/paymentfile.h"
#include "payments/Detail.h"
#include "payments/Detail_Add.h"
#include "payments/Detail_Change.h"
#include "payments/Detail_Delete.h"
#include "payments/Group.h"
#include "platform/grid/recordsetgrid.h"
#include "services/dataenvironment.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>

using namespace zarv;
using namespace zarv::test;

namespace {

class RunTest : public ScreensTest {
protected:
    QStringList savedLines(const QString& name)
    {
        const SaveResult saved = Mdb2Csv(currentYear(), path(name), path(name + QStringLiteral(".bak")));
        EXPECT_TRUE(saved.ok) << ui().report().toStdString();
        return writtenLines(path(name));
    }

    // The lines of the first list that the second lacks, each as often as it is missing.
    static QStringList minus(QStringList a, const QStringList& b)
    {
        for (const QString& line : b)
            a.removeOne(line);
        return a;
    }

    void selectRowOf(Detail& list, const QString& owner)
    {
        const int row = listNames(list).indexOf(owner);
        ASSERT_GE(row, 0);
        clickRow(list.TDBGrid, row);
    }
};

TEST_F(RunTest, TheSavedFileCarriesExactlyTheEdits)
{
    loadSample();
    const QStringList before = savedLines(QStringLiteral("before.csv"));

    Group group;
    clerk::activate(&group);
    // 0042: OWNER NAME paid without grant.
    openList(group, "0042", [&](Detail& list) {
        selectRowOf(list, "OWNER NAME");
        expectScreen<Detail_Change>("Detail_Change", [](Detail_Change& change) {
            clerk::click(change.OptionA);
            clerk::click(change.Command_OK);
        });
        clerk::click(list.Command_ChangeDetail);
    });
    // 0077: a new payment.
    openList(group, "0077", [&](Detail& list) {
        expectScreen<Detail_Add>("Detail_Add", [](Detail_Add& add) {
            clerk::type(add.txtCD, "05");
            clerk::type(add.txtJUR, "701");
            clerk::type(add.txtFOLIO_DISP, "000-000-077");
            clerk::type(add.txtNUMBER, "88888");
            clerk::type(add.txtNAME, "NEWMAN");
            clerk::type(add.txtLEGAL, "LOT 8");
            clerk::type(add.txtPAYMENT, "12.5");
            clerk::click(add.Command_OK);
        });
        clerk::click(list.Command_AddDetail);
    });
    // 0099: its only payment deleted.
    openList(group, "0099", [&](Detail& list) {
        expectScreen<Detail_Delete>("Detail_Delete", [](Detail_Delete& del) { clerk::click(del.Command_OK); });
        clerk::click(list.Command_DeleteDetail);
    });
    EXPECT_EQ(group.Label_Total->text(), "5,062.99");
    ui().expectBox(ui::containing("End the payment run"), ui::Answer::Yes);
    clerk::click(group.Command1);
    EXPECT_FALSE(group.isVisible());

    const QStringList after = savedLines(QStringLiteral("after.csv"));
    const QStringList gone = minus(before, after);
    const QStringList added = minus(after, before);

    // Payment lines, less the mark the writer puts before the mortgage number unless kept.
    auto paymentLines = [](const QStringList& lines, bool keepMark = false) {
        QStringList out;
        for (const QString& l : lines) {
            if (l.count(u',') >= 11 && !l.startsWith(QLatin1String("MORTGAGE NUMBER")))
                out << (!keepMark && l.startsWith(u'#') ? l.mid(1) : l);
        }
        return out;
    };
    const QStringList gonePayments = paymentLines(gone);
    const QStringList addedPayments = paymentLines(added);
    ASSERT_EQ(gonePayments.size(), 2) << gone.join('\n').toStdString();
    ASSERT_EQ(addedPayments.size(), 2) << added.join('\n').toStdString();
    EXPECT_TRUE(gonePayments[0].startsWith(QLatin1String("12345,OWNER NAME,")));
    EXPECT_TRUE(gonePayments[1].startsWith(QLatin1String("66666,EVANS,")));

    const QStringList owner = addedPayments[0].split(u',');
    EXPECT_EQ(owner.mid(0, 2), QStringList({"12345", "OWNER NAME"}));
    EXPECT_EQ(owner[5].toDouble(), 1700);
    EXPECT_EQ(owner[6], "A");
    const QStringList newman = addedPayments[1].split(u',');
    EXPECT_EQ(newman.mid(0, 4), QStringList({"88888", "NEWMAN", "05", "701"}));
    EXPECT_EQ(newman[5].toDouble(), 12.5);
    EXPECT_EQ(newman[6], "A");
    EXPECT_EQ(newman[11], "LOT 8");

    // Every other line that changed is a group's count or total.
    for (const QString& l : minus(gone, paymentLines(gone, true)) + minus(added, paymentLines(added, true))) {
        EXPECT_TRUE(l.startsWith(QLatin1String("Number of Payment records,")) ||
                    l.startsWith(QLatin1String("Payment Amount,")) || l.startsWith(QLatin1String("ZARV DATA")))
            << l.toStdString();
    }
}

} // namespace
