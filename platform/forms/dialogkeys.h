#pragma once
// Keys a screen does not take the way a plain dialog would.
#include <functional>

class QAbstractButton;
class QDialog;
class QWidget;

namespace zarv::ui {

// Escape presses the screen's Cancel or Close button as a click on it would: the
// focus goes to the button first, so that the box being left is checked as for a
// click, and a check that keeps the focus in its box stops the press. A disabled
// or hidden button is not pressed.
void escapePresses(QDialog* dialog, QAbstractButton* button);

// Escape runs action instead of closing the screen (a question before a step
// that cannot be taken back, say).
void escapeRuns(QDialog* dialog, std::function<void()> action);

// Enter in a box presses no button (a focused button still takes Enter itself):
// for screens that have no default button, although a dialog would otherwise
// make its first button the default when it is shown.
void noDefaultButton(QDialog* dialog);
// Whether noDefaultButton() was applied to the window of w.
bool hasNoDefaultButton(const QWidget* w);

} // namespace zarv::ui
