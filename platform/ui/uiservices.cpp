#include "platform/ui/uiservices.h"
#include "platform/ui/focusreturn.h"
#include "platform/ui/qtui.h"

namespace zarv::ui {

namespace {
UiServices* g_installed = nullptr;   // the services in force; null means the Qt default
}

UiServices::UiServices()
{
    keepFocusOfDisabledControls();
}

Answer defaultAnswerOf(const MessageBox& box)
{
    if (box.defaultAnswer)
        return *box.defaultAnswer;
    switch (box.buttons) {
    case Buttons::OK: return Answer::OK;
    case Buttons::OKCancel: return Answer::Cancel;
    case Buttons::YesNo:
    case Buttons::YesNoCancel: return Answer::No;
    case Buttons::RetryCancel: return Answer::Retry;
    }
    return Answer::Cancel;
}

UiServices& ui()
{
    if (g_installed)
        return *g_installed;
    static QtUi defaultUi;
    return defaultUi;
}

void install(UiServices* services)
{
    g_installed = services;
}

UiServices* installed()
{
    return g_installed;
}

} // namespace zarv::ui
