#include "platform/ui/nodisplayui.h"

#include "platform/files/intake.h"

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

bool NoDisplayUi::reviewIntake(const fs::Intake& intake)
{
    for (const QString& line : intake.lines())
        err_ << intake.path << QStringLiteral(": ") << line << Qt::endl;
    err_ << intake.path << QStringLiteral(": not loaded (no one can choose Load without a window)") << Qt::endl;
    return false;
}

void NoDisplayUi::endProgram(int exitCode)
{
    ending_ = true;
    exitCode_ = exitCode;
}

} // namespace zarv::ui
