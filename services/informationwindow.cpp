#include "services/informationwindow.h"

#include "platform/ui/uiservices.h"
#include "services/sharedstate.h"

namespace zarv {

namespace {
InformationWindow g_window;
}

void setInformationWindow(InformationWindow window)
{
    g_window = std::move(window);
}

void ShowInformationDialog(const QString& type, const QString& text, const QString& title)
{
    gMsgType = type;
    gMsgText = text;
    gMsgTitle = title;
    if (g_window) {
        g_window();
        return;
    }
    const bool critical = type.trimmed().compare(QLatin1String("CRITICAL"), Qt::CaseInsensitive) == 0;
    ui::ui().msgBox(text, ui::Buttons::OK, critical ? ui::Icon::Critical : ui::Icon::Information, title);
    gMsgType.clear();
    gMsgText.clear();
    gMsgTitle.clear();
}

} // namespace zarv
