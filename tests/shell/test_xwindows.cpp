// Parking and fitting as a real window manager does them. CTest runs these on an
// X server of 1024x768 with openbox (scripts/xvfb-tests.sh); the window system's
// own view of each window is read with xwininfo and xprop. Anywhere else they
// are skipped.
#include "shell_fixture.h"

#include "payments/Group.h"
#include "platform/forms/filelists.h"
#include "platform/ui/screens/screenfit.h"
#include "shell/receivestartup.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QProcess>
#include <QRadioButton>
#include <QRegularExpression>

namespace zarv::test {
namespace {

// A window as the X server and the window manager have it.
struct XWindow {
    bool viewable = false;
    QRect client;
    QRect frame;        // the client with the window manager's frame around it
};

QString run(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    p.waitForFinished(5000);
    return QString::fromLocal8Bit(p.readAllStandardOutput());
}

int field(const QString& text, const QString& name)
{
    const QRegularExpression re(QRegularExpression::escape(name) + QStringLiteral(":\\s*(-?\\d+)"));
    return re.match(text).captured(1).toInt();
}

XWindow xwindow(const QWidget& w)
{
    const QString id = QString::number(w.winId());
    const QString info = run(QStringLiteral("xwininfo"), {QStringLiteral("-id"), id});
    XWindow x;
    x.viewable = info.contains(QStringLiteral("Map State: IsViewable"));
    x.client = QRect(field(info, QStringLiteral("Absolute upper-left X")),
                     field(info, QStringLiteral("Absolute upper-left Y")), field(info, QStringLiteral("Width")),
                     field(info, QStringLiteral("Height")));
    // _NET_FRAME_EXTENTS(CARDINAL) = left, right, top, bottom
    const QString extents = run(QStringLiteral("xprop"), {QStringLiteral("-id"), id, QStringLiteral("_NET_FRAME_EXTENTS")});
    const QStringList e = extents.section(u'=', 1).split(u',', Qt::SkipEmptyParts);
    x.frame = e.size() == 4 ? x.client.adjusted(-e[0].trimmed().toInt(), -e[2].trimmed().toInt(),
                                                e[1].trimmed().toInt(), e[3].trimmed().toInt())
                            : x.client;
    return x;
}

QRect rootWindow()
{
    const QString info = run(QStringLiteral("xwininfo"), {QStringLiteral("-root")});
    return QRect(0, 0, field(info, QStringLiteral("Width")), field(info, QStringLiteral("Height")));
}

// Waits (events running) until the window system shows what `done` wants, or a
// few seconds have passed; returns the last look.
XWindow waitFor(const QWidget& w, const std::function<bool(const XWindow&)>& done)
{
    QElapsedTimer t;
    t.start();
    XWindow x = xwindow(w);
    while (!done(x) && t.elapsed() < 3000) {
        clerk::wait(50);
        x = xwindow(w);
    }
    // A window manager's late answer would come now.
    clerk::wait(300);
    return xwindow(w);
}

bool outOfView(const XWindow& x, const QRect& root)
{
    return !x.viewable || !x.frame.intersects(root);
}

class XWindowTest : public ShellTest {
protected:
    void SetUp() override
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            GTEST_SKIP() << "needs an X server with a window manager (scripts/xvfb-tests.sh)";
        ShellTest::SetUp();
        data_ = useSampleFolder();
        root_ = rootWindow();
    }

    void expectWithinScreen(const QWidget& w, const QString& what)
    {
        const XWindow x = waitFor(w, [](const XWindow& x) { return x.viewable; });
        EXPECT_TRUE(x.viewable) << what.toStdString();
        EXPECT_TRUE(root_.contains(x.frame)) << what.toStdString() << ": " << x.frame << " on " << root_;
    }

    QString data_;
    QRect root_;
};

// The start screen parks, the groups open: the start screen is wholly out of
// view while they are up and within the screen, and comes back where it was.
TEST_F(XWindowTest, TheStartScreenParksWhollyOutOfViewWhileTheGroupsAreUp)
{
    ASSERT_TRUE(loadPayments());
    ZarvPayment start;
    start.move(150, 100);
    start.show();
    expectWithinScreen(start, QStringLiteral("ZarvPayment"));
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        const QRect home = waitFor(start, [](const XWindow& x) { return x.viewable; }).client;
        // Parked again at once after it came back, as a run does for its last screen.
        for (int again = 0; again < 2; ++again) {
            ui().expectModal(QStringLiteral("Group"), [&](QDialog& groups) {
                const XWindow parked = waitFor(start, [&](const XWindow& x) { return outOfView(x, root_); });
                EXPECT_TRUE(outOfView(parked, root_)) << "a strip stays in view: " << parked.frame;
                expectWithinScreen(groups, QStringLiteral("Group"));
                groups.hide();
            });
            start.Park();
            Group groups;
            ui().showModal(groups);
            start.Restore();
        }
        EXPECT_TRUE(ui().allExpectationsMet()) << ui().report().toStdString();
        const XWindow back = waitFor(start, [&](const XWindow& x) { return x.viewable && x.client == home; });
        EXPECT_TRUE(back.viewable);
        EXPECT_EQ(back.client, home);
    }
}

TEST_F(XWindowTest, EveryLargeWindowLiesWithinTheScreen)
{
    loadWorkbook();
    {
        Verify_Numbers list;
        ui::fitToScreen(&list);
        list.show();
        expectWithinScreen(list, QStringLiteral("Verify_Numbers"));
        for (QRadioButton* size : list.Option_Window) {
            size->click();
            expectWithinScreen(list, size->text() + QStringLiteral(" window"));
        }
    }
    StartedReceive received = StartReceive(programOptions(true));
    ASSERT_NE(received.screen, nullptr);
    expectWithinScreen(*received.screen, QStringLiteral("Verify_Return"));
}

} // namespace
} // namespace zarv::test
