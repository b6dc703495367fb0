#pragma once
// A clerk at the keyboard and mouse, for screen tests without QtTest: clicks give
// the focus as the window system would (to the first control under the pointer
// that takes the focus on a click) before the press arrives; keys go to the
// control that has the focus and pass through the shortcut map first.
#include <QAbstractButton>
#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QWidget>
#include <algorithm>
#include <ostream>

#include "printers.h"

namespace zarv::test::clerk {

// Lets queued events and timers run for a while (a button's animated click).
inline void wait(int ms = 0)
{
    QElapsedTimer t;
    t.start();
    do {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    } while (t.elapsed() < ms);
}

// Shows the window and makes it the active one, so that focus changes happen.
inline void activate(QWidget* window)
{
    window->show();
    window->activateWindow();
    QApplication::setActiveWindow(window);
    QCoreApplication::processEvents();
}

inline void giveFocusAsAClickWould(QWidget* w)
{
    for (QWidget* f = w; f; f = f->parentWidget()) {
        if (f->isEnabled() && (f->focusPolicy() & Qt::ClickFocus)) {
            f->setFocus(Qt::MouseFocusReason);
            return;
        }
        if (f->isWindow())
            return;
    }
}

inline void mouse(QWidget* w, QEvent::Type type, QPoint at)
{
    const QPointF local(at);
    QMouseEvent e(type, local, w->mapToGlobal(local), Qt::LeftButton,
                  type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

// Where a click takes: the middle, but for a check box or option button its
// box (only the box and its caption take a click).
inline QPoint clickPoint(QWidget* w)
{
    if (w->inherits("QCheckBox") || w->inherits("QRadioButton"))
        return QPoint(std::min(8, w->width() / 2), w->height() / 2);
    return w->rect().center();
}

// A left click on the control.
inline void click(QWidget* w)
{
    const QPoint at = clickPoint(w);
    giveFocusAsAClickWould(w);
    mouse(w, QEvent::MouseButtonPress, at);
    mouse(w, QEvent::MouseButtonRelease, at);
}

// A double click: a click, then the second press arrives as a double click.
inline void doubleClick(QWidget* w, QPoint at)
{
    giveFocusAsAClickWould(w);
    mouse(w, QEvent::MouseButtonPress, at);
    mouse(w, QEvent::MouseButtonRelease, at);
    mouse(w, QEvent::MouseButtonDblClick, at);
    mouse(w, QEvent::MouseButtonRelease, at);
}

// A key as typed: to the focused control (the application's or, failing that, the window's).
inline void key(int k, Qt::KeyboardModifiers mods = Qt::NoModifier, const QString& text = {},
                QWidget* window = nullptr)
{
    QWidget* target = QApplication::focusWidget();
    if (!target && window)
        target = window->focusWidget() ? window->focusWidget() : window;
    if (!target)
        return;
    QKeyEvent press(QEvent::KeyPress, k, mods, text);
    QApplication::sendEvent(target, &press);
    QWidget* now = QApplication::focusWidget() ? QApplication::focusWidget() : target;
    QKeyEvent release(QEvent::KeyRelease, k, mods, text);
    QApplication::sendEvent(now, &release);
}

inline void tab() { key(Qt::Key_Tab); }
inline void backtab() { key(Qt::Key_Backtab, Qt::ShiftModifier); }
inline void enter() { key(Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r")); }

// True while some button is held down, as during its animated click.
inline bool aButtonIsDown()
{
    const QWidgetList widgets = QApplication::allWidgets();
    return std::any_of(widgets.begin(), widgets.end(), [](QWidget* w) {
        const auto* button = qobject_cast<QAbstractButton*>(w);
        return button && button->isDown();
    });
}

// Alt plus a letter: the keyboard mnemonic of a caption ("&OK" is Alt+O). A
// button answers with an animated click: waits until it has come up again,
// which is when it reports the click.
inline void alt(char letter)
{
    const QChar c = QChar::fromLatin1(letter).toUpper();
    key(Qt::Key_A + (c.unicode() - 'A'), Qt::AltModifier, QString(QChar::fromLatin1(letter).toLower()));
    QElapsedTimer t;
    t.start();
    while (aButtonIsDown() && t.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

// Clicks into the box and types the text over what it holds (as far as the
// box's length limit lets it).
inline void type(QLineEdit* box, const QString& text)
{
    click(box);
    box->selectAll();
    box->insert(text);
}

} // namespace zarv::test::clerk
