#include "platform/ui/screens/scriptedscreens.h"
#include "platform/ui/screens/intakescreen.h"
#include "platform/ui/screens/screenfit.h"
#include "platform/ui/screens/focusreturn.h"

#include <QDialog>

namespace zarv::ui {

namespace {

QString screenName(const QDialog& screen)
{
    const QString name = screen.objectName();
    return name.isEmpty() ? QStringLiteral("<unnamed %1>").arg(QLatin1String(screen.metaObject()->className()))
                          : name;
}

} // namespace

ScriptedScreensUi::ScriptedScreensUi()
{
    keepFocusOfDisabledControls();
}

std::optional<int> ScriptedScreensUi::parkedLeftTwips(QWidget* w) const
{
    if (!w || !parking_.isParked(w))
        return std::nullopt;
    QWidget* window = w->window();
    for (auto it = parkedAt_.rbegin(); it != parkedAt_.rend(); ++it) {
        if (it->window == window)
            return it->leftTwips;
    }
    return std::nullopt;
}

void ScriptedScreensUi::reset()
{
    ScriptedUi::reset();
    parking_.clear();
    parkedAt_.clear();
}

void ScriptedScreensUi::parkWindow(QWidget* w, int leftTwips)
{
    if (!w)
        return;
    journal_.append(QStringLiteral("park: %1 at %2").arg(w->window()->objectName()).arg(leftTwips));
    if (parking_.park(w, leftTwips))
        parkedAt_.push_back(ParkedAt{w->window(), leftTwips});
}

void ScriptedScreensUi::restoreWindow(QWidget* w)
{
    if (!w)
        return;
    journal_.append(QStringLiteral("restore: %1").arg(w->window()->objectName()));
    parking_.restore(w);
    QWidget* window = w->window();
    std::erase_if(parkedAt_, [window](const ParkedAt& p) { return p.window.isNull() || p.window == window; });
}

int ScriptedScreensUi::showModal(QDialog& screen)
{
    const QString name = screenName(screen);
    if (ending_) {
        journal_.append(QStringLiteral("modal after end (not shown): ") + name);
        return QDialog::Rejected;
    }
    const bool matches = !pending_.empty() && pending_.front().kind == Kind::Modal
                         && pending_.front().screen == screen.objectName();
    modals_.append(name);
    if (!matches) {
        fail(QStringLiteral("unexpected modal screen: %1 (next expected: %2)").arg(name, nextExpected()));
        journal_.append(QStringLiteral("modal: %1 (refused)").arg(name));
        screen.setResult(QDialog::Rejected);
        return QDialog::Rejected;
    }
    const Item item = pending_.front();
    pending_.pop_front();
    journal_.append(QStringLiteral("modal: ") + name);

    screen.setResult(QDialog::Rejected);
    fitToScreen(&screen);
    screen.show();
    if (item.script) {
        runScript(item, screen);
        if (screen.isVisible()) {
            if (!ending_)
                fail(QStringLiteral("modal screen %1 still open after its script").arg(name));
            screen.reject();
        }
    } else if (screen.isVisible()) {
        screen.close();       // as the user's click on the window's close box
    }
    journal_.append(QStringLiteral("closed: ") + name);
    return ending_ ? int(QDialog::Rejected) : screen.result();
}

bool ScriptedScreensUi::reviewIntake(const fs::Intake& intake)
{
    if (pending_.empty() || pending_.front().kind != Kind::Modal)
        return ScriptedUi::reviewIntake(intake);
    intakes_.push_back(intake);
    IntakeScreen screen(intake);
    return showModal(screen) == QDialog::Accepted;
}

} // namespace zarv::ui
