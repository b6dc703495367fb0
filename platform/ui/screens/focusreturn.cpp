#include "platform/ui/screens/focusreturn.h"

#include <QApplication>
#include <QEvent>
#include <QHash>
#include <QPointer>
#include <QWidget>

namespace zarv::ui {

namespace {

class FocusReturn : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const QEvent::Type type = event->type();
        if ((type == QEvent::FocusOut || type == QEvent::EnabledChange) && watched->isWidgetType()) {
            auto* w = static_cast<QWidget*>(watched);
            if (type == QEvent::FocusOut)
                focusLeft(w);
            else
                enabledChanged(w);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    // Per window: the control the focus was taken from by disabling it, and
    // where the focus went then.
    struct Moved {
        QPointer<QWidget> window;
        QPointer<QWidget> from;
        QPointer<QWidget> to;
    };

    void focusLeft(QWidget* w)
    {
        if (w->isEnabled())
            return;
        QWidget* window = w->window();
        QWidget* now = window->focusWidget();
        forgetClosed();
        auto it = moved_.find(window);
        if (it != moved_.end() && it->from && it->to == w) {
            it->to = now;           // passed on by a second disabled control
            return;
        }
        moved_.insert(window, Moved{window, w, now});
    }

    void enabledChanged(QWidget* w)
    {
        if (!w->isEnabled() || moved_.isEmpty())
            return;
        QWidget* window = w->window();
        auto it = moved_.find(window);
        if (it == moved_.end() || it->from != w)
            return;
        const bool untouched = window->focusWidget() == it->to.data() || !window->focusWidget();
        moved_.erase(it);
        if (untouched && w->isVisibleTo(window) && (w->focusPolicy() & Qt::TabFocus))
            w->setFocus(Qt::OtherFocusReason);
    }

    void forgetClosed()
    {
        for (auto it = moved_.begin(); it != moved_.end();) {
            if (!it->window)
                it = moved_.erase(it);
            else
                ++it;
        }
    }

    QHash<const QWidget*, Moved> moved_;
};

} // namespace

void keepFocusOfDisabledControls()
{
    static QPointer<FocusReturn> installed;
    if (installed || !qobject_cast<QApplication*>(QCoreApplication::instance()))
        return;
    installed = new FocusReturn(QCoreApplication::instance());
    QCoreApplication::instance()->installEventFilter(installed);
}

} // namespace zarv::ui
