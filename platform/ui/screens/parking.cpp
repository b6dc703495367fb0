#include "platform/ui/screens/parking.h"
#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <algorithm>

namespace zarv::ui {

bool windowMovesRefused()
{
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

std::vector<WindowParking::Entry>::iterator WindowParking::find(QWidget* window)
{
    return std::find_if(parked_.begin(), parked_.end(),
                        [window](const Entry& e) { return e.window == window; });
}

std::vector<WindowParking::Entry>::const_iterator WindowParking::find(QWidget* window) const
{
    return std::find_if(parked_.cbegin(), parked_.cend(),
                        [window](const Entry& e) { return e.window == window; });
}

void WindowParking::forgetDestroyed()
{
    std::erase_if(parked_, [](const Entry& e) { return e.window.isNull(); });
}

namespace {

// On X11 the window manager has the last word on where a window stands, and
// most keep a strip of every window on screen; it need not say so either (a
// window parked again just after it came back is not reported moved).
bool windowManagerPlacesWindows()
{
    return QGuiApplication::platformName() == QLatin1String("xcb");
}

// Every screen together.
QRect desktopOf()
{
    QRect desktop;
    for (QScreen* s : QGuiApplication::screens())
        desktop |= s->geometry();
    return desktop;
}

bool inView(const QWidget* window)
{
    if (window->isMinimized() || !window->isVisible())
        return false;
    const QRect frame = window->frameGeometry();
    for (QScreen* s : QGuiApplication::screens()) {
        if (s->geometry().intersects(frame))
            return true;
    }
    return false;
}

// Window managers answer a move later, by a move of their own: a parked window
// that any of them brings back into view is minimised.
class ParkWatch : public QObject {
public:
    explicit ParkWatch(QWidget* window) : QObject(window), window_(window) { window->installEventFilter(this); }
    ~ParkWatch() override
    {
        if (window_)
            window_->removeEventFilter(this);
    }
    ParkWatch(const ParkWatch&) = delete;
    ParkWatch& operator=(const ParkWatch&) = delete;

    void check()
    {
        if (window_ && inView(window_))
            window_->showMinimized();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // A window that leaves its minimised state while parked is looked at too.
        if (watched == window_ && (event->type() == QEvent::Move || event->type() == QEvent::Resize
                                   || event->type() == QEvent::Show || event->type() == QEvent::WindowStateChange))
            check();
        return false;
    }

private:
    QPointer<QWidget> window_;
};

} // namespace

// Positions are set on the window's client area (geometry), never through its
// frame: a window manager that places frames by their own rule would otherwise
// shift the window by its title bar on every round trip.
bool WindowParking::park(QWidget* w, int leftTwips)
{
    if (!w)
        return false;
    forgetDestroyed();
    QWidget* window = w->window();
    auto it = find(window);
    if (it == parked_.end()) {
        parked_.push_back(Entry{window, window->geometry(), nullptr});
        it = parked_.end() - 1;
    }
    if (windowMovesRefused()) {
        window->showMinimized();
        return true;
    }
    // The frame's left edge goes where asked, and further left when a wide window
    // would still show a strip at the desktop's left edge.
    const QRect frame = window->frameGeometry();
    const int frameLeft = std::min(twipsToPixels(leftTwips), desktopOf().left() - frame.width() - 1);
    const QRect client = window->geometry();
    window->setGeometry(QRect(QPoint(frameLeft + (client.x() - frame.x()), client.y()), client.size()));
    if (windowManagerPlacesWindows()) {
        // Without a window manager the move alone takes it out of view.
        window->showMinimized();
        return true;
    }
    if (!it->watch)
        it->watch = new ParkWatch(window);
    static_cast<ParkWatch*>(it->watch.data())->check();
    return true;
}

bool WindowParking::restore(QWidget* w)
{
    if (!w)
        return false;
    forgetDestroyed();
    QWidget* window = w->window();
    auto it = find(window);
    if (it == parked_.end())
        return false;
    delete it->watch;
    const QRect home = it->home;
    parked_.erase(it);
    if (window->isMinimized()) {
        window->setGeometry(home);
        window->showNormal();
    }
    window->setGeometry(home);
    return true;
}

void WindowParking::clear()
{
    for (Entry& e : parked_)
        delete e.watch;
    parked_.clear();
}

bool WindowParking::isParked(QWidget* w) const
{
    return w && find(w->window()) != parked_.end();
}

} // namespace zarv::ui
