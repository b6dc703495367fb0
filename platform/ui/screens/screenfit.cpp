#include "platform/ui/screens/screenfit.h"

#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QLayout>
#include <QMainWindow>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QWidget>
#include <algorithm>

namespace zarv::ui {

QRect availableAreaFor(const QWidget* window)
{
    QScreen* screen = window ? window->screen() : nullptr;
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

QMargins frameMarginsOf(const QWidget* window)
{
    const QRect frame = window->frameGeometry();
    const QRect client = window->geometry();
    if (window->isVisible() && frame != client)
        return QMargins(client.left() - frame.left(), client.top() - frame.top(),
                        frame.right() - client.right(), frame.bottom() - client.bottom());
    // Not framed yet: a title bar and thin borders, as window managers draw them.
    const int title = std::max(window->style()->pixelMetric(QStyle::PM_TitleBarHeight), 24);
    return QMargins(4, title + 4, 4, 4);
}

namespace {

// The window's content in a scroll area; false when its shape has no single
// content widget to put there.
bool scrollContent(QWidget* window)
{
    if (window->findChild<QScrollArea*>(QStringLiteral("ScreenScroll")))
        return true;
    auto makeScroll = [](QWidget* parent) {
        auto* scroll = new QScrollArea(parent);
        scroll->setObjectName(QStringLiteral("ScreenScroll"));
        scroll->setFrameShape(QFrame::NoFrame);
        scroll->setWidgetResizable(true);
        return scroll;
    };
    if (auto* main = qobject_cast<QMainWindow*>(window)) {
        QWidget* content = main->centralWidget();
        if (!content)
            return false;
        QScrollArea* scroll = makeScroll(main);
        scroll->setWidget(main->takeCentralWidget());
        main->setCentralWidget(scroll);
        return true;
    }
    QLayout* top = window->layout();
    if (!top)
        return false;
    // The window's one content widget (beside a menu bar) goes into the scroll area.
    QWidget* content = nullptr;
    int at = -1;
    for (int i = 0; i < top->count(); ++i) {
        if (QWidget* w = top->itemAt(i)->widget()) {
            if (content)
                return false;
            content = w;
            at = i;
        }
    }
    auto* box = qobject_cast<QBoxLayout*>(top);
    if (!content || !box)
        return false;
    QScrollArea* scroll = makeScroll(window);
    const int stretch = box->stretch(at);
    box->removeWidget(content);
    scroll->setWidget(content);
    box->insertWidget(at, scroll, stretch);
    return true;
}

// Moves a framed window of the given size inside the area, where it lies
// partly outside.
void moveInside(QWidget* window, const QRect& area, const QSize& size, const QMargins& frame)
{
    const QRect framed = QRect(window->pos(), size.grownBy(frame));
    QPoint at = framed.topLeft();
    at.setX(std::clamp(at.x(), area.left(), std::max(area.left(), area.right() + 1 - framed.width())));
    at.setY(std::clamp(at.y(), area.top(), std::max(area.top(), area.bottom() + 1 - framed.height())));
    if (at != framed.topLeft())
        window->move(at);
}

// A window that grows while it is shown (a longer message beside a box widens
// its layout) grows from its top left corner and may run off the screen: it is
// moved back inside as it grows.
class StayOnScreen : public QObject {
public:
    using QObject::QObject;

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* window = static_cast<QWidget*>(watched);
        if (event->type() == QEvent::Resize && window->isVisible()) {
            const QRect area = availableAreaFor(window);
            if (!area.isEmpty())
                moveInside(window, area, window->size(), frameMarginsOf(window));
        }
        return false;
    }
};

void stayOnScreen(QWidget* window)
{
    static const QString kName = QStringLiteral("StayOnScreen");
    if (window->findChild<QObject*>(kName, Qt::FindDirectChildrenOnly))
        return;
    auto* filter = new StayOnScreen(window);
    filter->setObjectName(kName);
    window->installEventFilter(filter);
}

} // namespace

void fitToScreen(QWidget* window)
{
    if (!window || !window->isWindow())
        return;
    const QRect area = availableAreaFor(window);
    if (area.isEmpty())
        return;
    // A window nobody sized takes its preferred size when it is shown: take it now.
    if (!window->testAttribute(Qt::WA_Resized))
        window->adjustSize();
    const QMargins frame = frameMarginsOf(window);
    const QSize room = area.size().shrunkBy(frame);
    const QSize wanted = window->size();
    const QSize least = window->minimumSizeHint().expandedTo(window->minimumSize());
    if ((least.width() > room.width() || least.height() > room.height()) && scrollContent(window)) {
        // The window's least size is now the scroll area's, which is small.
        window->setMinimumSize(0, 0);
        if (QLayout* l = window->layout())
            l->activate();
    }
    const QSize size = wanted.boundedTo(room).expandedTo(window->minimumSizeHint().boundedTo(room));
    if (size != window->size())
        window->resize(size);
    if (window->testAttribute(Qt::WA_Moved) || window->isVisible())
        moveInside(window, area, size, frame);
    stayOnScreen(window);
}

} // namespace zarv::ui
