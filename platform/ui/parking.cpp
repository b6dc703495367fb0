#include "platform/ui/parking.h"
#include <QGuiApplication>
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

bool WindowParking::park(QWidget* w, int leftTwips)
{
    if (!w || windowMovesRefused())
        return false;
    forgetDestroyed();
    QWidget* window = w->window();
    if (find(window) == parked_.end())
        parked_.push_back(Entry{window, window->pos()});
    window->move(twipsToPixels(leftTwips), window->y());
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
    window->move(it->home);
    parked_.erase(it);
    return true;
}

bool WindowParking::isParked(QWidget* w) const
{
    return w && find(w->window()) != parked_.end();
}

std::optional<QPoint> WindowParking::homeOf(QWidget* w) const
{
    if (!w)
        return std::nullopt;
    auto it = find(w->window());
    if (it == parked_.end() || it->window.isNull())
        return std::nullopt;
    return it->home;
}

} // namespace zarv::ui
