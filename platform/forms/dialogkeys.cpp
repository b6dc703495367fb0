#include "platform/forms/dialogkeys.h"

#include <QAbstractButton>
#include <QDialog>
#include <QKeyEvent>
#include <QList>
#include <QPointer>

namespace zarv::ui {

namespace {

const char* const kNoDefaultButton = "zarvNoDefaultButton";

// Eats the given keys when they reach the dialog itself (a control that takes
// them has done so before).
class KeyEater : public QObject {
public:
    KeyEater(QDialog* dialog, std::initializer_list<int> keys) : QObject(dialog), keys_(keys) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress && keys_.contains(static_cast<QKeyEvent*>(event)->key())) {
            event->accept();
            return true;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QList<int> keys_;
};

class EscapePresser : public QObject {
public:
    EscapePresser(QDialog* dialog, QAbstractButton* button) : QObject(dialog), dialog_(dialog), button_(button) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != dialog_ || event->type() != QEvent::KeyPress
            || static_cast<QKeyEvent*>(event)->key() != Qt::Key_Escape)
            return QObject::eventFilter(watched, event);
        event->accept();
        if (!button_ || !button_->isEnabled() || !button_->isVisibleTo(dialog_))
            return true;
        if (button_->focusPolicy() & Qt::TabFocus) {
            button_->setFocus(Qt::ShortcutFocusReason);
            if (dialog_->focusWidget() != button_)
                return true;        // a check kept the focus in its box
        }
        button_->click();
        return true;
    }

private:
    QDialog* dialog_;
    QPointer<QAbstractButton> button_;
};

class EscapeRunner : public QObject {
public:
    EscapeRunner(QDialog* dialog, std::function<void()> action)
        : QObject(dialog), dialog_(dialog), action_(std::move(action))
    {
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != dialog_ || event->type() != QEvent::KeyPress
            || static_cast<QKeyEvent*>(event)->key() != Qt::Key_Escape)
            return QObject::eventFilter(watched, event);
        event->accept();
        action_();
        return true;
    }

private:
    QDialog* dialog_;
    std::function<void()> action_;
};

} // namespace

void escapeRuns(QDialog* dialog, std::function<void()> action)
{
    dialog->installEventFilter(new EscapeRunner(dialog, std::move(action)));
}

void escapePresses(QDialog* dialog, QAbstractButton* button)
{
    dialog->installEventFilter(new EscapePresser(dialog, button));
}

void noDefaultButton(QDialog* dialog)
{
    dialog->setProperty(kNoDefaultButton, true);
    dialog->installEventFilter(new KeyEater(dialog, {Qt::Key_Return, Qt::Key_Enter}));
}

bool hasNoDefaultButton(const QWidget* w)
{
    return w && w->window()->property(kNoDefaultButton).toBool();
}

} // namespace zarv::ui
