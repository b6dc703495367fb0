#pragma once
// Colours and looks of the boxes on the screens, given as the screens state them:
// &H00BBGGRR numbers (blue in the high byte, red in the low one), or a system
// colour &H800000nn that follows the desktop's palette.
#include <QColor>
#include <QString>
#include <QtGlobal>

class QLineEdit;
class QWidget;

namespace zarv::ui {

namespace colour {
inline constexpr quint32 Error = 0x008080FF;        // a box in error: light red
inline constexpr quint32 Disabled = 0x00E0E0E0;     // read-only and disabled boxes
inline constexpr quint32 Tinted = 0x00C0FFFF;       // a highlighted value: light yellow
inline constexpr quint32 White = 0x00FFFFFF;
inline constexpr quint32 Blue = 0x00FF0000;
inline constexpr quint32 Red = 0x000000FF;
inline constexpr quint32 SystemMenu = 0x80000004;   // menu background
inline constexpr quint32 SystemWindow = 0x80000005; // the background of an edit box
inline constexpr quint32 SystemWindowText = 0x80000008;
inline constexpr quint32 SystemButtonFace = 0x8000000F;
}

// The colour of a number as above; system colours come from the application's palette.
QColor vbColour(quint32 value);

// The background of a box (its Base) or of any other control (its Window,
// filled). Applies to every colour group, so a disabled box shows it too.
void setBackColour(QWidget* w, const QColor& c);
void setBackColour(QWidget* w, quint32 value);
QColor backColour(const QWidget* w);
void setForeColour(QWidget* w, const QColor& c);
void setForeColour(QWidget* w, quint32 value);
QColor foreColour(const QWidget* w);

// A box in error takes the error colour and, for a screen reader, the reason
// as its accessible description (announced at once, as an alert); back to
// normal is the system window colour, and the description goes.
void markError(QWidget* box, const QString& why = {});
void markNormal(QWidget* box);
bool isMarkedError(const QWidget* box);

// A control's font at factor times the size it has now (a title a little
// larger than the desktop's font, whatever that font is).
void scaleFont(QWidget* w, qreal factor);

// A read-only box: locked, left out of the tab order (a click still reaches
// it), grey; amounts are right-aligned.
void lockBox(QLineEdit* box, bool rightAligned = false);

// A box that follows a tick: enabled with the system window colour, or disabled
// and grey. The text stays either way.
void enableBox(QWidget* box, bool enabled);

// The one-line status box of a screen: read-only, never a tab stop, blue text on
// the menu colour, and never narrower than the longest text it has shown.
void makeStatusBox(QLineEdit* box);

} // namespace zarv::ui
