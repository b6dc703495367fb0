#pragma once
// The user-interface services on real Qt widgets: message and input boxes, the
// hourglass as an override cursor, parking windows, modal screens and the one
// clean way out of the program.
#include "platform/ui/parking.h"
#include "platform/ui/uiservices.h"
#include <QMessageBox>

namespace zarv::ui {

class QtUi : public UiServices {
public:
    QtUi() = default;
    ~QtUi() override;
    QtUi(const QtUi&) = delete;
    QtUi& operator=(const QtUi&) = delete;

    using UiServices::msgBox;
    Answer msgBox(const MessageBox& box) override;
    std::optional<QString> inputBox(const QString& prompt, const QString& title,
                                    const QString& defaultText) override;

    void setBusy(bool busy) override;
    bool busy() const override { return busy_; }
    void doEvents() override;
    void beep() override;

    void parkWindow(QWidget* w, int leftTwips) override;
    void restoreWindow(QWidget* w) override;

    int showModal(QDialog& screen) override;

    void endProgram(int exitCode = 0) override;
    bool ending() const override { return ending_; }
    int exitCode() const override { return exitCode_; }

    // The mapping the boxes use, open for tests and for screens that build their own.
    static QMessageBox::Icon qtIcon(Icon icon);
    static QMessageBox::StandardButtons qtButtons(Buttons buttons);
    static QMessageBox::StandardButton defaultButton(Buttons buttons);
    static QMessageBox::StandardButton standardButton(Answer answer);
    static Answer answerOf(int standardButton, Buttons buttons);

private:
    bool busy_ = false;
    bool ending_ = false;
    int exitCode_ = 0;
    WindowParking parking_;
};

// The answer given when a box cannot be shown or is closed without a choice:
// Cancel where there is one, No for Yes/No, OK for an OK-only box.
Answer safeAnswer(Buttons buttons);
// The title a box shows: its own, or the application's when it has none.
QString shownTitle(const MessageBox& box);

} // namespace zarv::ui
