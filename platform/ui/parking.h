#pragma once
// Moves a window's left edge off screen and back, remembering where it stood.
// Shared by the Qt services and the scripted stand-in so both move windows alike.
#include <QPoint>
#include <QPointer>
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
    // Moves w's window so that its left edge is at leftTwips; the first park of a
    // window remembers its position, a second park keeps that first position.
    // Returns false (and does nothing) when the window system refuses moves.
    bool park(QWidget* w, int leftTwips);
    // Moves a parked window back; false when it was not parked.
    bool restore(QWidget* w);
    bool isParked(QWidget* w) const;
    std::optional<QPoint> homeOf(QWidget* w) const;
    void clear() { parked_.clear(); }

private:
    struct Entry {
        QPointer<QWidget> window;
        QPoint home;
    };
    void forgetDestroyed();
    std::vector<Entry>::iterator find(QWidget* window);
    std::vector<Entry>::const_iterator find(QWidget* window) const;

    std::vector<Entry> parked_;
};

} // namespace zarv::ui
