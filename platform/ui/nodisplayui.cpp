#include "platform/ui/nodisplayui.h"

namespace zarv::ui {

Answer NoDisplayUi::msgBox(const MessageBox& box)
{
    QString text = box.prompt;
    text.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    err_ << shownTitle(box) << QStringLiteral(": ") << text << Qt::endl;
    return safeAnswer(box.buttons);
}

std::optional<QString> NoDisplayUi::inputBox(const QString& prompt, const QString& title, const QString&)
{
    err_ << (title.isEmpty() ? appTitle() : title) << QStringLiteral(": ") << prompt
         << QStringLiteral(" (no answer without a window)") << Qt::endl;
    return std::nullopt;
}

int NoDisplayUi::showModal(QDialog&)
{
    err_ << appTitle() << QStringLiteral(": a screen cannot be opened without a window") << Qt::endl;
    return 0;   // QDialog::Rejected
}

void NoDisplayUi::endProgram(int exitCode)
{
    ending_ = true;
    exitCode_ = exitCode;
}

} // namespace zarv::ui
