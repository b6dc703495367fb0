#pragma once
// Takes a window wholly out of view while a screen it opened is up, and puts it
// back where it stood. The window's left edge goes off screen; where the window
// system keeps part of it in view anyway (a window manager that pulls a strip of
// every window back onto the screen, as X11's commonly do, or one that refuses
// moves), the window is minimised as well. It is never hidden or closed for it.
// Shared by the Qt services and the scripted stand-in so both park windows alike.
#include <QPointer>
#include <QRect>
#include <QWidget>
#include <vector>

namespace zarv::ui {

// Twips as the screens give positions, at 96 dots per inch: 15 twips per pixel.
constexpr int kTwipsPerPixel = 15;
constexpr int twipsToPixels(int twips) { return twips / kTwipsPerPixel; }
constexpr int pixelsToTwips(int pixels) { return pixels * kTwipsPerPixel; }

// True where the window system does not let a program place its windows.
bool windowMovesRefused();

class WindowParking {
public:
    // Moves w's window so that its left edge is at leftTwips, or further left when
    // the window would not be wholly off screen there; the first park of a window
    // remembers its place, a second park keeps that first place. While the window
    // is parked, any part of it that comes into view (the window manager moved it
    // back) minimises it.
    bool park(QWidget* w, int leftTwips);
    // Puts a parked window back where it was (and back from its minimised state);
    // false when it was not parked.
    bool restore(QWidget* w);
    bool isParked(QWidget* w) const;
    // Forgets every parked window where it stands.
    void clear();

private:
    struct Entry {
        QPointer<QWidget> window;
        QRect home;
        QPointer<QObject> watch;    // minimises the window when it comes into view
    };
    void forgetDestroyed();
    std::vector<Entry>::iterator find(QWidget* window);
    std::vector<Entry>::const_iterator find(QWidget* window) const;

    std::vector<Entry> parked_;
};

} // namespace zarv::ui
