#include "platform/ui/uiservices.h"
#include "platform/ui/nodisplayui.h"

#include <cstdio>

namespace zarv::ui {

namespace {

UiServices* g_installed = nullptr;   // the services in force; null means the default

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
    static QTextStream err(stderr);
    static NoDisplayUi defaultUi(err);
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
