#pragma once
// Every window fits the screen it opens on: a window larger than the screen's
// available area (what panels and docks leave) is made smaller, and one that
// lies partly outside it is moved inside. A window whose content cannot shrink
// that far shows its content in a scroll area instead.
#include <QMargins>
#include <QRect>

class QWidget;

namespace zarv::ui {

// The available area of the screen the window is on, or of the primary screen.
QRect availableAreaFor(const QWidget* window);
// The window's frame (title bar and borders) around its client area: the real
// one once the window manager has framed it, else what a frame usually takes.
QMargins frameMarginsOf(const QWidget* window);

// Makes a top-level window fit: its size (frame included) at most the available
// area; when its content cannot shrink that far, the content (the central widget
// of a main window, or the one widget of a window's layout beside its menu bar)
// moves into a scroll area that fills the window. When the window was placed
// explicitly or is showing, its frame is moved inside the area. From then on,
// a window that grows while it is shown is moved back inside.
// Call before showing a window and after resizing it.
void fitToScreen(QWidget* window);

} // namespace zarv::ui
