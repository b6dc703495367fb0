#pragma once
// The scripted stand-in for tests of screens: a modal screen is handed to the
// script the test gave for it (see scriptedui.h) and parking moves the window
// as the Qt services would.
#include "platform/ui/screens/parking.h"
#include "platform/ui/scriptedui.h"

#include <QPointer>
#include <optional>
#include <vector>

namespace zarv::ui {

class ScriptedScreensUi : public ScriptedUi {
public:
    ScriptedScreensUi();

    bool isParked(QWidget* w) const override { return parking_.isParked(w); }
    std::optional<int> parkedLeftTwips(QWidget* w) const override;
    void reset() override;

    void parkWindow(QWidget* w, int leftTwips) override;
    void restoreWindow(QWidget* w) override;
    int showModal(QDialog& screen) override;
    // The intake screen itself when the test expects it as a modal screen
    // ("Intake"); otherwise as the stand-in without screens.
    bool reviewIntake(const fs::Intake& intake) override;

private:
    struct ParkedAt {
        QPointer<QWidget> window;
        int leftTwips = 0;
    };
    WindowParking parking_;
    std::vector<ParkedAt> parkedAt_;
};

using ScopedUi = ScopedStandIn<ScriptedScreensUi>;

} // namespace zarv::ui
