#include "platform/forms/fieldrules.h"

#include "platform/forms/dialogkeys.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

namespace zarv::ui {

namespace {
const char* const kCausesValidation = "causesValidation";
}

FieldRules::FieldRules(QWidget* form) : QObject(form), form_(form)
{
    if (auto* app = qobject_cast<QApplication*>(QCoreApplication::instance())) {
        app->installEventFilter(this);
        connect(app, &QApplication::focusChanged, this, &FieldRules::onFocusChanged);
    }
}

FieldRules::~FieldRules()
{
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeEventFilter(this);
}

void FieldRules::onGotFocus(QWidget* control, Rule rule)
{
    rules_[control].gotFocus = std::move(rule);
    connect(control, &QObject::destroyed, this, &FieldRules::forget, Qt::UniqueConnection);
}

void FieldRules::onLostFocus(QWidget* control, Rule rule)
{
    rules_[control].lostFocus = std::move(rule);
    connect(control, &QObject::destroyed, this, &FieldRules::forget, Qt::UniqueConnection);
}

void FieldRules::onValidate(QWidget* control, ValidateRule rule)
{
    rules_[control].validate = std::move(rule);
    connect(control, &QObject::destroyed, this, &FieldRules::forget, Qt::UniqueConnection);
}

void FieldRules::forget(QObject* control)
{
    rules_.remove(static_cast<const QWidget*>(control));
}

void FieldRules::setCausesValidation(QWidget* control, bool causes)
{
    control->setProperty(kCausesValidation, causes);
}

bool FieldRules::causesValidation(const QWidget* control)
{
    if (!control)
        return false;
    const QVariant v = control->property(kCausesValidation);
    return !v.isValid() || v.toBool();
}

bool FieldRules::inForm(const QWidget* w) const
{
    return w && form_ && w->window() == form_->window();
}

bool FieldRules::hasValidate(const QWidget* w) const
{
    const auto it = rules_.constFind(w);
    return it != rules_.constEnd() && bool(it->validate);
}

QWidget* FieldRules::boxToValidate(QWidget* focused) const
{
    if (hasValidate(focused))
        return focused;
    if (pending_ && pending_ != focused)
        return pending_;
    return nullptr;
}

bool FieldRules::runValidate(QWidget* box)
{
    const auto it = rules_.constFind(box);
    if (it == rules_.constEnd() || !it->validate || validating_)
        return true;
    const ValidateRule rule = it->validate;   // the rule may change the rules
    bool cancel = false;
    validating_ = true;
    rule(cancel);
    validating_ = false;
    return !cancel;
}

bool FieldRules::validateBefore(QWidget* target)
{
    QWidget* focused = QApplication::focusWidget();
    if (!inForm(focused) || focused == target)
        return true;
    QWidget* box = boxToValidate(focused);
    if (!box || box == target || !causesValidation(target))
        return true;
    if (runValidate(box))
        return true;
    ++refusals_;
    return false;
}

void FieldRules::armSwallow(QWidget* target)
{
    swallow_ = target;
    // The press that moved the focus is delivered right after the focus change;
    // a move made by the keyboard has no press to swallow, so forget it soon.
    QTimer::singleShot(0, this, [this, t = QPointer<QWidget>(target)] {
        if (swallow_ == t)
            swallow_.clear();
    });
}

void FieldRules::refuse(QWidget* box, QWidget* target)
{
    ++refusals_;
    pending_.clear();
    if (QApplication::focusWidget() != box) {
        restoring_ = true;
        box->setFocus(Qt::OtherFocusReason);
        restoring_ = false;
    }
    armSwallow(target);
}

void FieldRules::onFocusChanged(QWidget* old, QWidget* now)
{
    if (restoring_ || validating_ || !form_ || !form_->isVisible())
        return;
    if (!inForm(old) || !inForm(now) || old == now)
        return;     // to or from another window: no rule runs
    swallow_.clear();

    const bool prevalidated = prevalidTarget_ == now;
    QPointer<QWidget> prevalidBox = prevalidBox_;
    prevalidBox_.clear();
    prevalidTarget_.clear();

    QWidget* box = boxToValidate(old);
    if (box == now) {           // back into the box whose check was waiting
        pending_.clear();
        box = nullptr;
    }
    if (box) {
        if (!causesValidation(now)) {
            pending_ = box;
        } else {
            const bool canHoldFocus = box->isVisible() && box->isEnabled();
            const bool passed = (prevalidated && prevalidBox == box) || !canHoldFocus || runValidate(box);
            if (!passed) {
                refuse(box, now);
                return;
            }
            pending_.clear();
        }
    }

    QPointer<QWidget> nowGuard(now);
    const auto oldRules = rules_.constFind(old);
    if (oldRules != rules_.constEnd() && oldRules->lostFocus) {
        const Rule lost = oldRules->lostFocus;
        lost();
    }
    if (!nowGuard || QApplication::focusWidget() != now)
        return;     // the rule moved the focus on
    const auto nowRules = rules_.constFind(now);
    if (nowRules != rules_.constEnd() && nowRules->gotFocus) {
        const Rule got = nowRules->gotFocus;
        got();
    }
}

QWidget* FieldRules::defaultButton() const
{
    if (!form_ || hasNoDefaultButton(form_))
        return nullptr;
    const auto buttons = form_->findChildren<QPushButton*>();
    for (QPushButton* b : buttons) {
        if (b->isDefault() && b->isVisible() && b->window() == form_->window())
            return b;
    }
    return nullptr;
}

bool FieldRules::filterMouse(QWidget* receiver, QEvent* event)
{
    if (event->type() != QEvent::MouseButtonPress && event->type() != QEvent::MouseButtonDblClick)
        return false;
    if (!inForm(receiver))
        return false;
    if (swallow_ && (receiver == swallow_ || swallow_->isAncestorOf(receiver))) {
        swallow_.clear();
        return true;
    }
    // A button that takes no focus on a click must not slip past a check either.
    QWidget* w = receiver;
    while (w && !qobject_cast<QAbstractButton*>(w) && !w->isWindow())
        w = w->parentWidget();
    auto* button = qobject_cast<QAbstractButton*>(w);
    if (!button || !button->isEnabled() || (button->focusPolicy() & Qt::ClickFocus))
        return false;
    return !validateBefore(button);
}

bool FieldRules::filterKey(QWidget* receiver, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key != Qt::Key_Return && key != Qt::Key_Enter)
        return false;
    // Only the first delivery, to the focused control; not the propagation upwards.
    if (receiver != QApplication::focusWidget() || !inForm(receiver))
        return false;
    if (qobject_cast<QPushButton*>(receiver))
        return false;       // Enter presses the focused button itself
    QWidget* def = defaultButton();
    if (!def || !def->isEnabled())
        return false;
    return !validateBefore(def);
}

bool FieldRules::filterShortcut(QWidget* receiver)
{
    if (!inForm(receiver))
        return false;
    QWidget* target = receiver;
    if (auto* label = qobject_cast<QLabel*>(receiver); label && label->buddy())
        target = label->buddy();
    QWidget* focused = QApplication::focusWidget();
    if (!validateBefore(target))
        return true;
    QWidget* box = inForm(focused) ? boxToValidate(focused) : nullptr;
    if (box && box != target) {
        // The mnemonic moves the focus right after this: do not check twice.
        prevalidBox_ = box;
        prevalidTarget_ = target;
        QTimer::singleShot(0, this, [this] {
            prevalidBox_.clear();
            prevalidTarget_.clear();
        });
    }
    // A button's mnemonic clicks it without moving the focus; the focus goes to
    // the button first, as a click would, so that the box's LostFocus runs.
    if (auto* button = qobject_cast<QAbstractButton*>(target);
        button && focused != button && button->isEnabled() && (button->focusPolicy() & Qt::TabFocus))
        button->setFocus(Qt::ShortcutFocusReason);
    return false;
}

bool FieldRules::eventFilter(QObject* watched, QEvent* event)
{
    if (!form_ || !watched->isWidgetType() || validating_)
        return false;
    auto* receiver = static_cast<QWidget*>(watched);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        return filterMouse(receiver, event);
    case QEvent::KeyPress:
        return filterKey(receiver, event);
    case QEvent::Shortcut:
        return filterShortcut(receiver);
    default:
        return false;
    }
}

} // namespace zarv::ui
