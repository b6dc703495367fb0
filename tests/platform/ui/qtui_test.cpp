#include "platform/ui/screens/qtui.h"
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QTemporaryDir>
#include <QEventLoop>
#include <QInputDialog>
#include <QTest>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

using namespace zarv::ui;

namespace {

// Acts on the modal window on top once it is shown: act() returns true when it is
// done with it. Gives up after a few seconds and rejects the window, so a fault
// cannot hang the test run.
void whenModal(std::function<bool(QWidget*)> act)
{
    auto* timer = new QTimer(qApp);
    auto ticks = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, ticks, act] {
        QWidget* top = QApplication::activeModalWidget();
        if (top && act(top)) {
            timer->deleteLater();
            timer->stop();
            return;
        }
        if (++*ticks > 1000) {
            ADD_FAILURE() << "the expected modal window never came";
            if (auto* d = qobject_cast<QDialog*>(top))
                d->reject();
            timer->deleteLater();
            timer->stop();
        }
    });
    timer->start(5);
}

class Screen : public QDialog {
public:
    Screen(const QString& name, QDialog* child = nullptr)
    {
        setObjectName(name);
        if (child) {
            auto* open = new QPushButton(QStringLiteral("Open"), this);
            connect(open, &QPushButton::clicked, this, [this, child] {
                ui().showModal(*child);
                resumedAfterEnd = ui().ending();
            });
            openButton = open;
        }
    }
    QPushButton* openButton = nullptr;
    bool resumedAfterEnd = false;
};

struct Installed {
    explicit Installed(UiServices* s) : previous(installed()) { install(s); }
    ~Installed() { install(previous); }
    UiServices* previous;
};

} // namespace

TEST(QtUi, BusyPointerIsAStateOnTheOverrideCursor)
{
    ASSERT_EQ(QApplication::overrideCursor(), nullptr);
    {
        QtUi q;
        q.setBusy(true);
        q.setBusy(true);
        ASSERT_NE(QApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        q.setBusy(false);
        EXPECT_FALSE(q.busy());
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
        q.setBusy(false);
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
        q.setBusy(true);
    }
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);   // a busy QtUi going away restores it
}

// A real box shows the icon, buttons and title asked for; Enter presses its
// default, the answer that loses nothing unless the caller names another.
TEST(QtUi, MessageBoxShowsWhatWasAskedAndEnterGivesTheSafeAnswer)
{
    const struct {
        Buttons buttons;
        Icon icon;
        QString title;
        std::optional<Answer> named;
        QMessageBox::Icon qtIcon;
        QString shownTitle;
        Answer enter;
    } cases[] = {
        {Buttons::YesNo, Icon::Question, {}, {}, QMessageBox::Question, "ZARV", Answer::No},
        {Buttons::YesNo, Icon::Question, {}, Answer::No, QMessageBox::Question, "ZARV", Answer::No},
        {Buttons::YesNo, Icon::Question, {}, Answer::Yes, QMessageBox::Question, "ZARV", Answer::Yes},
        {Buttons::YesNoCancel, Icon::Information, {}, {}, QMessageBox::Information, "ZARV", Answer::No},
        {Buttons::OKCancel, Icon::Critical, "ZARV Data", {}, QMessageBox::Critical, "ZARV Data", Answer::Cancel},
        {Buttons::RetryCancel, Icon::Exclamation, {}, {}, QMessageBox::Warning, "ZARV", Answer::Retry},
        {Buttons::OK, Icon::None, {}, {}, QMessageBox::NoIcon, "ZARV", Answer::OK},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.shownTitle.toStdString() + " " + std::to_string(int(c.buttons)) + " named "
                     + std::to_string(c.named ? int(*c.named) : -1));
        QtUi q;
        QString title, text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QMessageBox::StandardButtons buttons;
        whenModal([&](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            if (!box)
                return false;
            title = box->windowTitle();
            text = box->text();
            icon = box->icon();
            buttons = box->standardButtons();
            QTest::keyClick(box, Qt::Key_Return);
            return true;
        });
        const zarv::ui::MessageBox asked{QStringLiteral("The prompt"), c.buttons, c.icon, c.title, c.named};
        EXPECT_EQ(q.msgBox(asked), c.enter);
        EXPECT_EQ(title, c.shownTitle);
        EXPECT_EQ(text, QStringLiteral("The prompt"));
        EXPECT_EQ(icon, c.qtIcon);
        EXPECT_EQ(buttons, QtUi::qtButtons(c.buttons));
    }
}

TEST(QtUi, InputBoxGivesTheTypedTextOrNothingOnCancel)
{
    QtUi q;
    QString shownDefault, shownTitle;
    whenModal([&](QWidget* w) {
        auto* dialog = qobject_cast<QInputDialog*>(w);
        if (!dialog)
            return false;
        shownDefault = dialog->textValue();
        shownTitle = dialog->windowTitle();
        dialog->setTextValue(QStringLiteral("Other.csv"));
        dialog->accept();
        return true;
    });
    EXPECT_EQ(q.inputBox(QStringLiteral("New file name"), {}, QStringLiteral("Zarvdata.csv")),
              std::optional<QString>(QStringLiteral("Other.csv")));
    EXPECT_EQ(shownDefault, QStringLiteral("Zarvdata.csv"));
    EXPECT_EQ(shownTitle, QStringLiteral("ZARV"));

    whenModal([](QWidget* w) {
        auto* dialog = qobject_cast<QInputDialog*>(w);
        if (dialog)
            dialog->reject();
        return dialog != nullptr;
    });
    EXPECT_EQ(q.inputBox(QStringLiteral("New file name"), QStringLiteral("T"), {}), std::nullopt);
}

TEST(QtUi, ParkingMovesTheLeftEdgeWhollyOutOfViewAndBackWithoutHiding)
{
    if (windowMovesRefused())
        GTEST_SKIP() << "the window system places windows itself";
    QtUi q;
    QDialog form;
    form.resize(200, 100);
    form.move(120, 80);
    form.show();
    q.parkWindow(&form, -19999);
    EXPECT_EQ(form.x(), -1333);
    EXPECT_EQ(form.y(), 80);
    EXPECT_TRUE(form.isVisible());
    q.parkWindow(&form, -39999);         // parked further: the first home is kept
    EXPECT_EQ(form.x(), -2666);
    q.restoreWindow(&form);
    EXPECT_EQ(form.pos(), QPoint(120, 80));
    q.restoreWindow(&form);              // not parked any more: nothing moves
    EXPECT_EQ(form.pos(), QPoint(120, 80));

    // A window wider than the 20000 twips it is moved by is wholly out of view
    // all the same, and comes back exactly where it was.
    form.setGeometry(300, 90, 1500, 400);
    const QRect home = form.geometry();
    const QRect homeFrame = form.frameGeometry();
    QRect desktop;
    for (QScreen* s : QGuiApplication::screens())
        desktop |= s->geometry();
    for (int round = 0; round < 3; ++round) {
        q.parkWindow(&form, pixelsToTwips(form.x()) - 20000);
        EXPECT_FALSE(form.frameGeometry().intersects(desktop)) << form.frameGeometry().x();
        EXPECT_TRUE(form.isVisible());
        q.restoreWindow(&form);
        EXPECT_EQ(form.geometry(), home);
        EXPECT_EQ(form.frameGeometry(), homeFrame);
    }
}

// A window manager that keeps a strip of every window on screen answers the
// move with one of its own; the parked window is then minimised, and restoring
// brings it back whole where it was, as often as it is parked.
TEST(QtUi, AParkedWindowTheWindowManagerPullsBackIsMinimisedAndComesBackWhereItWas)
{
    if (windowMovesRefused())
        GTEST_SKIP() << "the window system places windows itself";
    QtUi q;
    QDialog form;
    form.setGeometry(300, 90, 640, 400);
    form.show();
    const QRect home = form.geometry();
    for (const int strip : {1, 64, 639}) {
        SCOPED_TRACE(strip);
        q.parkWindow(&form, -19999);
        EXPECT_FALSE(form.isMinimized()) << "moved out of view: nothing more to do";
        form.move(strip - form.frameGeometry().width(), form.y());   // the window manager's answer
        EXPECT_TRUE(form.isMinimized());
        q.restoreWindow(&form);
        EXPECT_FALSE(form.isMinimized());
        EXPECT_TRUE(form.isVisible());
        EXPECT_EQ(form.geometry(), home);
        form.move(form.x() + 1, form.y());      // no longer parked: a move is the clerk's own
        EXPECT_FALSE(form.isMinimized());
        form.setGeometry(home);
    }
}

TEST(QtUi, EndProgramLeavesNestedModalScreensAtOnce)
{
    QtUi q;
    Installed scope(&q);
    Screen inner(QStringLiteral("Verify_Search"));
    Screen outer(QStringLiteral("Verify_Numbers"), &inner);

    whenModal([&](QWidget* w) {
        if (w == &outer) {
            outer.openButton->click();   // runs the inner screen's loop inside this one
            return true;
        }
        return false;
    });
    whenModal([&](QWidget* w) {
        if (w != &inner)
            return false;
        q.endProgram(4);
        return true;
    });
    EXPECT_EQ(q.showModal(outer), QDialog::Rejected);
    EXPECT_TRUE(outer.resumedAfterEnd);
    EXPECT_FALSE(inner.isVisible());
    EXPECT_FALSE(outer.isVisible());
    EXPECT_TRUE(q.ending());
    EXPECT_EQ(q.exitCode(), 4);
    // Once ending, nothing more is shown.
    EXPECT_EQ(q.showModal(inner), QDialog::Rejected);
    EXPECT_FALSE(inner.isVisible());
    EXPECT_EQ(q.msgBox(QStringLiteral("Save?"), Buttons::YesNo), Answer::No);

    // Give the test program its event loops back, as main()'s exec() would.
    QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
    QCoreApplication::exec();
    QEventLoop loop;
    bool ran = false;
    QTimer::singleShot(0, &loop, [&] {
        ran = true;
        loop.exit(7);
    });
    EXPECT_EQ(loop.exec(), 7);
    EXPECT_TRUE(ran);
}

// Qt's print preview, titled for the print; on a machine without a printer its
// Print opens the print dialog set to the PDF file beside the work, and the
// print goes there. Closing the preview prints nothing.
TEST(QtUi, PrintPreviewOffersThePdfFileAndPrintsWhereTheUserSaid)
{
    const QByteArray forced = qgetenv("ZARV_FORCE_PDF");
    qputenv("ZARV_FORCE_PDF", "1");
    QTemporaryDir dir;
    const QString pdf = QDir(dir.path()).filePath(QStringLiteral("Payments 0104.pdf"));
    PrintRequest request;
    request.title = QStringLiteral("Payments of Agency 0104");
    request.pdfPath = pdf;
    QStringList drawnOn;
    request.paint = [&](QPrinter& printer) {
        drawnOn << printer.outputFileName();
        QPainter painter(&printer);
        painter.drawText(QPointF(100, 100), QStringLiteral("payment"));
        painter.end();
        PrintOutcome out;
        out.ok = true;
        out.where = printer.outputFileName();
        return out;
    };

    for (const bool print : {false, true}) {
        QtUi q;
        QString title;
        bool fits = false;
        whenModal([&](QWidget* w) {
            if (auto* dialog = qobject_cast<QPrintDialog*>(w)) {
                static_cast<QDialog*>(dialog)->accept();
                return true;
            }
            auto* preview = qobject_cast<QPrintPreviewDialog*>(w);
            if (!preview || !title.isEmpty())
                return false;
            title = preview->windowTitle();
            fits = preview->screen()->availableGeometry().contains(preview->geometry());
            if (!print) {
                preview->reject();
                return true;
            }
            for (QAction* a : preview->findChildren<QAction*>())
                if (a->text() == QStringLiteral("Print"))
                    QTimer::singleShot(0, a, &QAction::trigger);
            return false;       // the print dialog follows
        });
        const std::optional<PrintOutcome> out = q.printDialog(request);
        ASSERT_TRUE(out.has_value());
        EXPECT_EQ(title, request.title);
        EXPECT_TRUE(fits) << "the preview lies within the screen";
        EXPECT_FALSE(drawnOn.isEmpty()) << "the preview shows the print";
        EXPECT_EQ(drawnOn.last(), pdf);
        EXPECT_EQ(out->cancelled, !print);
        EXPECT_EQ(QFileInfo::exists(pdf), print);
        if (print)
            EXPECT_EQ(out->where, pdf);
    }
    qputenv("ZARV_FORCE_PDF", forced);
}
