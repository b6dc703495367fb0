#include "platform/ui/screens/qtui.h"
#include "platform/ui/screens/focusreturn.h"
#include "platform/ui/screens/intakescreen.h"
#include "platform/ui/screens/screenfit.h"

#include <QApplication>
#include <QCursor>
#include <QDialog>
#include <QEventLoop>
#include <QFileDialog>
#include <QInputDialog>
#include <QPointer>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>

namespace zarv::ui {

namespace {

bool haveGuiApplication()
{
    return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr;
}

} // namespace

QtUi::QtUi()
{
    keepFocusOfDisabledControls();
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

QMessageBox::StandardButton QtUi::qtButton(Answer answer)
{
    switch (answer) {
    case Answer::OK: return QMessageBox::Ok;
    case Answer::Cancel: return QMessageBox::Cancel;
    case Answer::Yes: return QMessageBox::Yes;
    case Answer::No: return QMessageBox::No;
    case Answer::Retry: return QMessageBox::Retry;
    }
    return QMessageBox::Cancel;
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
    dialog.setDefaultButton(qtButton(defaultAnswerOf(box)));
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

std::optional<QString> QtUi::openFileBox(const QString& title, const QString& folder, const QString& filter)
{
    if (ending_ || !haveGuiApplication())
        return std::nullopt;
    QFileDialog dialog(QApplication::activeWindow(), title.isEmpty() ? appTitle() : title, folder, filter);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    fitToScreen(&dialog);
    const int result = dialog.exec();
    if (ending_ || result != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().first();
}

std::optional<PrintOutcome> QtUi::printDialog(const PrintRequest& request)
{
    if (ending_ || !haveGuiApplication() || !request.paint)
        return std::nullopt;
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(request.title);
    const bool printerThere = qEnvironmentVariable("ZARV_FORCE_PDF") != QLatin1String("1")
                              && !QPrinterInfo::defaultPrinter().isNull();
    if (!printerThere)
        printer.setOutputFileName(request.pdfPath);
    QPrintPreviewDialog dialog(&printer, QApplication::activeWindow());
    dialog.setWindowTitle(request.title.isEmpty() ? appTitle() : request.title);
    PrintOutcome printed;
    printed.cancelled = true;
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [&](QPrinter* p) { printed = request.paint(*p); });
    fitToScreen(&dialog);
    // The preview draws on the printer as well: only what follows the user's
    // Print counts.
    const int result = dialog.exec();
    if (ending_ || result != QDialog::Accepted) {
        PrintOutcome cancelled;
        cancelled.cancelled = true;
        return cancelled;
    }
    return printed;
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
    fitToScreen(&screen);
    const int result = screen.exec();
    if (ending_) {
        // The loop was stopped by endProgram(); the screen must not linger.
        screen.hide();
        return QDialog::Rejected;
    }
    return result;
}

bool QtUi::reviewIntake(const fs::Intake& intake)
{
    IntakeScreen screen(intake, QApplication::activeWindow());
    return showModal(screen) == QDialog::Accepted;
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
