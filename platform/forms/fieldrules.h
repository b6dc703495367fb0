#pragma once
// Field rules that run as the focus moves from control to control of one screen:
//
//   GotFocus   after the focus came to the control from another control of the screen.
//   LostFocus  after the focus left the control for another control of the screen.
//   Validate   before the focus leaves the control for a control that causes
//              validation. A rule that sets cancel keeps the focus in the control,
//              and the mouse press, Enter on the default button or keyboard
//              mnemonic that was to take the focus away does not happen.
//
// Every control causes validation unless it is marked otherwise
// (setCausesValidation(button, false), as for the Cancel button of an editing
// screen). Leaving for such a control runs no Validate; the check waits until the
// focus goes on to a control that does cause validation.
//
// Focus going to or coming from another window (a message box the rule itself
// shows, another screen) runs no rule at all.
//
//   FieldRules rules(this);                        // owned by the screen
//   rules.onLostFocus(txtCD, [this] { ... });
//   rules.onValidate(txtNAME, [this](bool& cancel) { ... cancel = true; });
//   FieldRules::setCausesValidation(Command_Cancel, false);
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QWidget>
#include <functional>

class QEvent;

namespace zarv::ui {

class FieldRules : public QObject {
    Q_OBJECT
public:
    using Rule = std::function<void()>;
    using ValidateRule = std::function<void(bool& cancel)>;

    // form: the screen (its window); the rules object is its child.
    explicit FieldRules(QWidget* form);
    ~FieldRules() override;
    FieldRules(const FieldRules&) = delete;
    FieldRules& operator=(const FieldRules&) = delete;

    void onGotFocus(QWidget* control, Rule rule);
    void onLostFocus(QWidget* control, Rule rule);
    void onValidate(QWidget* control, ValidateRule rule);

    // CausesValidation of a control (kept as a property of the control itself).
    static void setCausesValidation(QWidget* control, bool causes);
    static bool causesValidation(const QWidget* control);

    // Runs the Validate rule that leaving the focused control for target would
    // run. True when it passed or there was none to run.
    bool validateBefore(QWidget* target);

    QWidget* form() const { return form_; }
    // How often a Validate rule kept the focus.
    int refusals() const { return refusals_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Rules {
        Rule gotFocus;
        Rule lostFocus;
        ValidateRule validate;
    };

    bool inForm(const QWidget* w) const;
    bool hasValidate(const QWidget* w) const;
    QWidget* boxToValidate(QWidget* focused) const;
    bool runValidate(QWidget* box);
    void refuse(QWidget* box, QWidget* target);
    void onFocusChanged(QWidget* old, QWidget* now);
    void forget(QObject* control);
    void armSwallow(QWidget* target);
    bool filterMouse(QWidget* receiver, QEvent* event);
    bool filterKey(QWidget* receiver, QEvent* event);
    bool filterShortcut(QWidget* receiver);
    QWidget* defaultButton() const;

    QPointer<QWidget> form_;
    QHash<const QWidget*, Rules> rules_;
    QPointer<QWidget> pending_;         // its Validate waits for a validating control
    QPointer<QWidget> swallow_;         // the control whose press a refusal swallows
    QPointer<QWidget> prevalidBox_;     // a check already passed for this move...
    QPointer<QWidget> prevalidTarget_;  // ...to this control
    bool restoring_ = false;
    bool validating_ = false;
    int refusals_ = 0;
};

} // namespace zarv::ui
