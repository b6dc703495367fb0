#include "platform/ui/qtui.h"
#include <QApplication>
#include <QCursor>
#include <QDialog>
#include <QEventLoop>
#include <QInputDialog>
#include <QPointer>

namespace zarv::ui {

namespace {

bool haveGuiApplication()
{
    return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr;
}

} // namespace

Answer safeAnswer(Buttons buttons)
{
    switch (buttons) {
    case Buttons::OK: return Answer::OK;
    case Buttons::YesNo: return Answer::No;
    case Buttons::OKCancel:
    case Buttons::YesNoCancel:
    case Buttons::RetryCancel: return Answer::Cancel;
    }
    return Answer::Cancel;
}

QString shownTitle(const MessageBox& box)
{
    return box.title.isEmpty() ? UiServices::appTitle() : box.title;
}

QtUi::~QtUi()
{
    if (busy_ && haveGuiApplication())
        QApplication::restoreOverrideCursor();
}

QMessageBox::Icon QtUi::qtIcon(Icon icon)
{
    switch (icon) {
    case Icon::None: return QMessageBox::NoIcon;
    case Icon::Critical: return QMessageBox::Critical;
    case Icon::Question: return QMessageBox::Question;
    case Icon::Exclamation: return QMessageBox::Warning;
    case Icon::Information: return QMessageBox::Information;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons QtUi::qtButtons(Buttons buttons)
{
    switch (buttons) {
    case Buttons::OK: return QMessageBox::Ok;
    case Buttons::OKCancel: return QMessageBox::Ok | QMessageBox::Cancel;
    case Buttons::YesNo: return QMessageBox::Yes | QMessageBox::No;
    case Buttons::YesNoCancel: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case Buttons::RetryCancel: return QMessageBox::Retry | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

// The first button is the default one, as the boxes have always behaved.
QMessageBox::StandardButton QtUi::defaultButton(Buttons buttons)
{
    switch (buttons) {
    case Buttons::OK:
    case Buttons::OKCancel: return QMessageBox::Ok;
    case Buttons::YesNo:
    case Buttons::YesNoCancel: return QMessageBox::Yes;
    case Buttons::RetryCancel: return QMessageBox::Retry;
    }
    return QMessageBox::Ok;
}

QMessageBox::StandardButton QtUi::standardButton(Answer answer)
{
    switch (answer) {
    case Answer::OK: return QMessageBox::Ok;
    case Answer::Cancel: return QMessageBox::Cancel;
    case Answer::Yes: return QMessageBox::Yes;
    case Answer::No: return QMessageBox::No;
    case Answer::Retry: return QMessageBox::Retry;
    }
    return QMessageBox::Ok;
}

Answer QtUi::answerOf(int standardButton, Buttons buttons)
{
    const auto allowed = qtButtons(buttons);
    if (!allowed.testFlag(static_cast<QMessageBox::StandardButton>(standardButton)))
        return safeAnswer(buttons);
    switch (standardButton) {
    case QMessageBox::Ok: return Answer::OK;
    case QMessageBox::Cancel: return Answer::Cancel;
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    case QMessageBox::Retry: return Answer::Retry;
    default: return safeAnswer(buttons);
    }
}

Answer QtUi::msgBox(const MessageBox& box)
{
    if (ending_ || !haveGuiApplication())
        return safeAnswer(box.buttons);
    QMessageBox dialog(qtIcon(box.icon), shownTitle(box), box.prompt, qtButtons(box.buttons));
    dialog.setDefaultButton(box.defaultAnswer ? standardButton(*box.defaultAnswer) : defaultButton(box.buttons));
    const int clicked = dialog.exec();
    if (ending_)
        return safeAnswer(box.buttons);
    return answerOf(clicked, box.buttons);
}

std::optional<QString> QtUi::inputBox(const QString& prompt, const QString& title,
                                      const QString& defaultText)
{
    if (ending_ || !haveGuiApplication())
        return std::nullopt;
    QInputDialog dialog;
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setWindowTitle(title.isEmpty() ? appTitle() : title);
    dialog.setLabelText(prompt);
    dialog.setTextValue(defaultText);
    const int result = dialog.exec();
    if (ending_ || result != QDialog::Accepted)
        return std::nullopt;
    return dialog.textValue();
}

void QtUi::setBusy(bool busy)
{
    if (busy == busy_)
        return;
    busy_ = busy;
    if (!haveGuiApplication())
        return;
    if (busy)
        QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    else
        QApplication::restoreOverrideCursor();
}

void QtUi::doEvents()
{
    if (QCoreApplication::instance())
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void QtUi::beep()
{
    if (haveGuiApplication())
        QApplication::beep();
}

void QtUi::parkWindow(QWidget* w, int leftTwips)
{
    parking_.park(w, leftTwips);
}

void QtUi::restoreWindow(QWidget* w)
{
    parking_.restore(w);
}

int QtUi::showModal(QDialog& screen)
{
    if (ending_)
        return QDialog::Rejected;
    const int result = screen.exec();
    if (ending_) {
        // The loop was stopped by endProgram(); the screen must not linger.
        screen.hide();
        return QDialog::Rejected;
    }
    return result;
}

void QtUi::endProgram(int exitCode)
{
    if (ending_)
        return;
    ending_ = true;
    exitCode_ = exitCode;
    setBusy(false);
    if (!QCoreApplication::instance())
        return;
    // Qt 6 stops every running event loop, the nested ones of modal screens
    // included, and any loop started afterwards returns at once.
    QCoreApplication::exit(exitCode);
    if (!haveGuiApplication())
        return;
    // A close handler may delete other windows: hold them by guarded pointers.
    QList<QPointer<QWidget>> windows;
    for (QWidget* w : QApplication::topLevelWidgets())
        windows.append(w);
    for (const QPointer<QWidget>& w : windows) {
        if (w && w->isVisible())
            w->close();
    }
}

} // namespace zarv::ui
