#pragma once
// A clerk at the keyboard and mouse, over Qt Test: what these add is where a
// click lands on a check box, that keys go to the control that has the focus,
// and that an Alt letter waits for the button's animated click to finish.
#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTest>
#include <QWidget>
#include <algorithm>
#include <gtest/gtest.h>
#include <ostream>

#include "printers.h"

namespace zarv::test::clerk {

// Lets queued events and timers run for a while (a button's animated click).
inline void wait(int ms = 0)
{
    QTest::qWait(ms);
}

// Shows the window and makes it the active one, so that focus changes happen.
inline void activate(QWidget* window)
{
    window->show();
    window->activateWindow();
    QApplication::setActiveWindow(window);
    QCoreApplication::processEvents();
}

// A left click on the control: in the middle, but for a check box or option
// button on its box (only the box and its caption take a click).
inline void click(QWidget* w)
{
    const bool boxed = w->inherits("QCheckBox") || w->inherits("QRadioButton");
    QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier,
                      boxed ? QPoint(std::min(8, w->width() / 2), w->height() / 2) : w->rect().center());
}

// A double click as the window system sends it: a click, then a second press
// that arrives as a double click, and its release.
inline void doubleClick(QWidget* w, QPoint at)
{
    QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseDClick(w, Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseRelease(w, Qt::LeftButton, Qt::NoModifier, at);
}

// A key to the control that has the focus (or, failing one, the given window).
inline void key(Qt::Key k, Qt::KeyboardModifiers mods = Qt::NoModifier, QWidget* window = nullptr)
{
    QWidget* target = QApplication::focusWidget();
    if (!target && window)
        target = window->focusWidget() ? window->focusWidget() : window;
    if (target)
        QTest::keyClick(target, k, mods);
}

// Alt plus a letter: the keyboard mnemonic of a caption ("&OK" is Alt+O). A
// button answers with an animated click: waits until it has come up again,
// which is when it reports the click.
inline void alt(char letter)
{
    key(Qt::Key(Qt::Key_A + (QChar::toUpper(char16_t(letter)) - u'A')), Qt::AltModifier);
    const auto aButtonIsDown = [] {
        const QWidgetList widgets = QApplication::allWidgets();
        return std::any_of(widgets.begin(), widgets.end(), [](QWidget* w) {
            const auto* button = qobject_cast<QAbstractButton*>(w);
            return button && button->isDown();
        });
    };
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

// Opens the list of a combo and picks the first item that starts with the prefix.
inline void pick(QComboBox* combo, const QString& prefix)
{
    click(combo);
    for (int i = 0; i < combo->count(); ++i) {
        if (combo->itemText(i).startsWith(prefix)) {
            combo->setCurrentIndex(i);
            emit combo->activated(i);
            return;
        }
    }
    ADD_FAILURE() << "no item " << prefix.toStdString();
}

} // namespace zarv::test::clerk
