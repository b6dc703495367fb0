#pragma once
// Moves a window's left edge off screen and back, remembering where it stood.
// Shared by the Qt services and the scripted stand-in so both move windows alike.
#include <QPointer>
#include <QRect>
#include <QWidget>
#include <optional>
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
    // remembers its place, a second park keeps that first place.
    // Returns false (and does nothing) when the window system refuses moves.
    bool park(QWidget* w, int leftTwips);
    // Moves a parked window back; false when it was not parked.
    bool restore(QWidget* w);
    bool isParked(QWidget* w) const;
    // Where a parked window comes back to: its client area (geometry()).
    std::optional<QRect> homeOf(QWidget* w) const;
    void clear() { parked_.clear(); }

private:
    struct Entry {
        QPointer<QWidget> window;
        QRect home;
    };
    void forgetDestroyed();
    std::vector<Entry>::iterator find(QWidget* window);
    std::vector<Entry>::const_iterator find(QWidget* window) const;

    std::vector<Entry> parked_;
};

} // namespace zarv::ui
