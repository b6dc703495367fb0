#pragma once
// The UI services of a program without a window (zarvreceive --batch, and what
// ui() answers with before other services are installed): every message goes
// to a text stream as one line, a question gets its safe answer (No, Cancel)
// and no screen can be opened.
#include "platform/ui/uiservices.h"

#include <QTextStream>

namespace zarv::ui {

class NoDisplayUi : public UiServices {
public:
    explicit NoDisplayUi(QTextStream& err) : err_(err) {}

    using UiServices::msgBox;
    Answer msgBox(const MessageBox& box) override;
    std::optional<QString> inputBox(const QString& prompt, const QString& title, const QString& defaultText) override;
    // No one can choose a file: as a cancel.
    std::optional<QString> openFileBox(const QString&, const QString&, const QString&) override { return std::nullopt; }
    void setBusy(bool busy) override { busy_ = busy; }
    bool busy() const override { return busy_; }
    void doEvents() override {}
    void beep() override {}
    void parkWindow(QWidget*, int) override {}
    void restoreWindow(QWidget*) override {}
    int showModal(QDialog& screen) override;
    // Each finding goes out as a line; no one can choose Load.
    bool reviewIntake(const fs::Intake& intake) override;
    void endProgram(int exitCode = 0) override;
    bool ending() const override { return ending_; }
    int exitCode() const override { return exitCode_; }

private:
    QTextStream& err_;
    bool busy_ = false;
    bool ending_ = false;
    int exitCode_ = 0;
};

} // namespace zarv::ui
