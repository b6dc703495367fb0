#include "platform/ui/uiservices.h"

#include <cstdio>

namespace zarv::ui {

namespace {

UiServices* g_installed = nullptr;   // the services in force; null means the default

// The services of a program without a display (a batch run, a fuzzer): each box
// is written to the error output with the safe answer it gets; a screen cannot
// be shown and counts as cancelled.
class NoDisplayUi : public UiServices {
public:
    using UiServices::msgBox;
    Answer msgBox(const MessageBox& box) override
    {
        std::fprintf(stderr, "%s: %s\n", qPrintable(shownTitle(box)), qPrintable(box.prompt));
        return safeAnswer(box.buttons);
    }
    std::optional<QString> inputBox(const QString& prompt, const QString&, const QString&) override
    {
        std::fprintf(stderr, "%s\n", qPrintable(prompt));
        return std::nullopt;
    }
    void setBusy(bool busy) override { busy_ = busy; }
    bool busy() const override { return busy_; }
    void doEvents() override {}
    void beep() override {}
    void parkWindow(QWidget*, int) override {}
    void restoreWindow(QWidget*) override {}
    int showModal(QDialog&) override { return kCancelled; }
    void endProgram(int exitCode = 0) override
    {
        if (!ending_)
            exitCode_ = exitCode;
        ending_ = true;
    }
    bool ending() const override { return ending_; }
    int exitCode() const override { return exitCode_; }

private:
    static constexpr int kCancelled = 0;   // QDialog::Rejected
    bool busy_ = false;
    bool ending_ = false;
    int exitCode_ = 0;
};

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

UiServices& ui()
{
    if (g_installed)
        return *g_installed;
    static NoDisplayUi defaultUi;
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
