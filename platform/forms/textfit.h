#pragma once
// Boxes sized by the text they must show, in the box's own font, so that a
// larger desktop font makes them wider rather than cutting their text.
#include <QString>

class QLineEdit;

namespace zarv::ui {

// The width a box needs to show text whole (frame, margins and cursor included).
int boxWidthFor(const QLineEdit* box, const QString& text);

// The box is never narrower than its longest text so far: a layout around it,
// and with it the window, widens to show each new text whole.
void followText(QLineEdit* box);

// The box is wide enough for a value of its field's length (its maxLength).
void fitToLength(QLineEdit* box);

} // namespace zarv::ui
