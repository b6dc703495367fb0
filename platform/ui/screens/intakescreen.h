#pragma once
// The intake screen: what a reader decided about a file (its character set,
// separator and decimal mark, lines passed over, values cut, counts that
// differ, repeats), each with its line and the value as read beside the value
// as stored, shown before anything of the file is stored. Load keeps the file
// as shown; Cancel, the default, stores nothing.
#include "platform/files/intake.h"

#include <QDialog>
#include <memory>

namespace Ui {
class IntakeScreen;
}

namespace zarv::ui {

class IntakeScreen : public QDialog {
    Q_OBJECT
public:
    explicit IntakeScreen(const fs::Intake& intake, QWidget* parent = nullptr);
    ~IntakeScreen() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    static constexpr int kDecision = 4;   // the last column

    std::unique_ptr<Ui::IntakeScreen> ui_;
    int decisionWidth_ = 0;
};

} // namespace zarv::ui
