#pragma once
// The user-interface services on real Qt widgets: message and input boxes, the
// hourglass as an override cursor, parking windows, modal screens and the one
// clean way out of the program.
#include "platform/ui/screens/parking.h"
#include "platform/ui/uiservices.h"
#include <QMessageBox>

namespace zarv::ui {

class QtUi : public UiServices {
public:
    QtUi();
    ~QtUi() override;
    QtUi(const QtUi&) = delete;
    QtUi& operator=(const QtUi&) = delete;

    using UiServices::msgBox;
    Answer msgBox(const MessageBox& box) override;
    std::optional<QString> inputBox(const QString& prompt, const QString& title,
                                    const QString& defaultText) override;
    std::optional<QString> openFileBox(const QString& title, const QString& folder,
                                       const QString& filter) override;
    // Qt's print preview: its Print button opens the standard print dialog
    // (a printer or a PDF file), set to the request's PDF file where the
    // machine has no printer.
    std::optional<PrintOutcome> printDialog(const PrintRequest& request) override;

    void setBusy(bool busy) override;
    bool busy() const override { return busy_; }
    void doEvents() override;
    void beep() override;

    void parkWindow(QWidget* w, int leftTwips) override;
    void restoreWindow(QWidget* w) override;

    int showModal(QDialog& screen) override;
    bool reviewIntake(const fs::Intake& intake) override;

    void endProgram(int exitCode = 0) override;
    bool ending() const override { return ending_; }
    int exitCode() const override { return exitCode_; }

    // The mapping the boxes use, open for tests and for screens that build their own.
    static QMessageBox::Icon qtIcon(Icon icon);
    static QMessageBox::StandardButtons qtButtons(Buttons buttons);
    static QMessageBox::StandardButton qtButton(Answer answer);
    static Answer answerOf(int standardButton, Buttons buttons);

private:
    bool busy_ = false;
    bool ending_ = false;
    int exitCode_ = 0;
    WindowParking parking_;
};

} // namespace zarv::ui
