#include "platform/ui/uiservices.h"
#include "platform/ui/screens/focusreturn.h"
#include "platform/ui/screens/qtui.h"

namespace zarv::ui {

namespace {
UiServices* g_installed = nullptr;   // the services in force; null means the Qt default
}

UiServices::UiServices()
{
    keepFocusOfDisabledControls();
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
