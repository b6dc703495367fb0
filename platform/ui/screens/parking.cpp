#include "platform/ui/screens/parking.h"
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

// Every screen together.
QRect desktopOf()
{
    QRect desktop;
    for (QScreen* s : QGuiApplication::screens())
        desktop |= s->geometry();
    return desktop;
}

} // namespace

// Positions are set on the window's client area (geometry), never through its
// frame: a window manager that places frames by their own rule would otherwise
// shift the window by its title bar on every round trip.
bool WindowParking::park(QWidget* w, int leftTwips)
{
    if (!w || windowMovesRefused())
        return false;
    forgetDestroyed();
    QWidget* window = w->window();
    if (find(window) == parked_.end())
        parked_.push_back(Entry{window, window->geometry()});
    // The frame's left edge goes where asked, and further left when a wide window
    // would still show a strip at the desktop's left edge.
    const QRect frame = window->frameGeometry();
    const int frameLeft = std::min(twipsToPixels(leftTwips), desktopOf().left() - frame.width() - 1);
    const QRect client = window->geometry();
    window->setGeometry(QRect(QPoint(frameLeft + (client.x() - frame.x()), client.y()), client.size()));
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
    window->setGeometry(it->home);
    parked_.erase(it);
    return true;
}

bool WindowParking::isParked(QWidget* w) const
{
    return w && find(w->window()) != parked_.end();
}

std::optional<QRect> WindowParking::homeOf(QWidget* w) const
{
    if (!w)
        return std::nullopt;
    auto it = find(w->window());
    if (it == parked_.end() || it->window.isNull())
        return std::nullopt;
    return it->home;
}

} // namespace zarv::ui
