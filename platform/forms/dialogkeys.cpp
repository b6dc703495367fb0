#include "platform/forms/dialogkeys.h"

#include <QDialog>
#include <QKeyEvent>
#include <QList>

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

} // namespace

void ignoreEscape(QDialog* dialog)
{
    dialog->installEventFilter(new KeyEater(dialog, {Qt::Key_Escape}));
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
