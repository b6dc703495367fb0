#pragma once
// A fresh data environment over a temporary folder, with the scripted stand-in
// for the user installed. Every box or screen a test does not expect fails it.
#include "platform/ui/screens/scriptedscreens.h"
#include "services/dataenvironment.h"

#include <QTemporaryDir>
#include <optional>
#include <gtest/gtest.h>

namespace zarv::test {

class DeTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The program's folder of this test (databases live here).
    QString folder() const { return dir_.path(); }
    QString path(const QString& name) const { return dir_.filePath(name); }
    ui::ScriptedUi& ui() { return ui_->get(); }
    DataEnvironment& de() { return DE(); }

    // Writes bytes to a file in the test's folder and returns its path.
    QString writeFile(const QString& name, const QByteArray& bytes) const;
    static QByteArray readFile(const QString& path);

    // Replaces the data environment by a new one over the same folder, as a
    // restart of the program would.
    void restart();

private:
    QTemporaryDir dir_;
    std::unique_ptr<ui::ScopedUi> ui_;
};

// An expected message box; what is left out is not checked.
inline ui::ExpectedBox box(const ui::TextMatch& prompt, ui::Answer answer = ui::Answer::OK,
                           std::optional<ui::Icon> icon = std::nullopt,
                           std::optional<ui::Buttons> buttons = std::nullopt,
                           std::optional<QString> title = std::nullopt)
{
    ui::ExpectedBox b;
    b.prompt = prompt;
    b.answer = answer;
    b.icon = icon;
    b.buttons = buttons;
    b.title = std::move(title);
    return b;
}

// Path of a file under the source tree's samples/ folder.
QString samplePath(const QString& name);

} // namespace zarv::test
