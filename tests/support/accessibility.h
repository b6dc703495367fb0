#pragma once
// What a screen reader finds on a screen: every control the clerk can reach
// with the keyboard or the mouse must be read out by a name of its own (its
// accessible name, or the caption of the label that is its buddy), and every
// list, table and status line too, though the clerk never tabs into them.
#include <QAbstractItemView>
#include <QAccessible>
#include <QLineEdit>
#include <QStringList>
#include <QWidget>

namespace zarv::test {

// The controls of window, shown or not, that a screen reader would read
// without a name: "objectName (class)" for each.
inline QStringList unnamedControls(QWidget* window)
{
    QStringList unnamed;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (w->window() != window)
            continue;
        // The parts of a composite control (a view's viewport, a box's inner
        // edit) are read as the control they belong to.
        if (w->parentWidget() && (qobject_cast<QAbstractItemView*>(w->parentWidget()) ||
                                  w->parentWidget()->focusProxy() == w || w->objectName().startsWith(u"qt_")))
            continue;
        // A picture that acts on a click is reached with the mouse alone.
        const bool reachable =
            w->focusPolicy() != Qt::NoFocus || w->metaObject()->indexOfSignal("clicked()") >= 0;
        const bool shown = qobject_cast<QAbstractItemView*>(w) || qobject_cast<QLineEdit*>(w);
        if (!reachable && !shown)
            continue;
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
        if (!a || a->text(QAccessible::Name).trimmed().isEmpty())
            unnamed << QStringLiteral("%1 (%2)").arg(w->objectName(), QLatin1String(w->metaObject()->className()));
    }
    return unnamed;
}

} // namespace zarv::test
