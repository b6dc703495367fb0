#pragma once
// The stand-in for the user in tests. A test states, in order, each message box,
// input box and modal screen it expects and how the user answers; the stand-in
// answers them, records everything shown, and collects a failure text for each
// box or screen nobody expected (answering it the safe way: Cancel, No, or OK).
//
//   ScopedUi ui;
//   ui->expectBox(containing("Delete this payment"), Answer::Yes);
//   ui->expectModal("Detail_Change", [&](QDialog& d) { ...type, click OK... });
//   ...run the code...
//   EXPECT_TRUE(ui->clean()) << ui->report();
//
// Expectations added while a screen's script runs go before the ones that were
// still waiting when the screen opened, so a script can state what its own clicks
// will show. No test framework is used here: failures are plain texts.
//
// This stand-in knows no screens: a modal screen shown to it is a failure and
// parking does nothing. Tests of screens use ScriptedScreensUi and its ScopedUi
// (platform/ui/screens/scriptedscreens.h), which run the scripts on the screens.
#include "platform/files/intake.h"
#include "platform/ui/uiservices.h"
#include <QStringList>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

namespace zarv::ui {

// How an expected prompt is recognised.
class TextMatch {
public:
    TextMatch() = default;                          // any text
    TextMatch(const QString& exact);                // NOLINT: exact text reads naturally
    TextMatch(const char* exact);                   // NOLINT
    static TextMatch exactly(const QString& text);
    static TextMatch containing(const QString& part);
    static TextMatch any() { return TextMatch(); }
    bool matches(const QString& text) const;
    QString describe() const;

private:
    enum class Kind { Any, Exact, Contains };
    TextMatch(Kind kind, QString text) : kind_(kind), text_(std::move(text)) {}
    Kind kind_ = Kind::Any;
    QString text_;
};

inline TextMatch containing(const QString& part) { return TextMatch::containing(part); }

// One expected message box. Unset icon, buttons or title are not checked; the
// title is compared with what the box shows (the application's title when empty).
struct ExpectedBox {
    TextMatch prompt;
    Answer answer = Answer::OK;
    std::optional<Icon> icon;
    std::optional<Buttons> buttons;
    std::optional<QString> title;
    bool enter = false;         // the user presses Enter: the box's default answers
    std::optional<Answer> defaultAnswer = std::nullopt;  // the box's default button: the one it names, else the safe one
};

// What the stand-in was shown, in order.
struct ShownBox {
    QString prompt;
    Buttons buttons = Buttons::OK;
    Icon icon = Icon::None;
    QString title;              // as shown
    Answer answer = Answer::OK;
    bool expected = false;
    Answer defaultAnswer = Answer::OK;  // what Enter would have answered
};

struct ShownFileBox {
    QString title;              // as shown
    QString folder;             // where the dialog opened
    QString filter;
    std::optional<QString> chosen;  // nullopt: cancelled
    bool expected = false;
};

struct ShownInput {
    QString prompt;
    QString title;              // as shown
    QString defaultText;
    std::optional<QString> typed;   // nullopt: cancelled
    bool expected = false;
};

class ScriptedUi : public UiServices {
public:
    using Script = std::function<void(QDialog&)>;

    ScriptedUi() = default;
    ScriptedUi(const ScriptedUi&) = delete;
    ScriptedUi& operator=(const ScriptedUi&) = delete;

    // --- what the test expects, in order
    ScriptedUi& expectBox(const ExpectedBox& box);
    ScriptedUi& expectBox(const TextMatch& prompt, Answer answer = Answer::OK);
    // The user presses Enter on the box: its default button answers.
    ScriptedUi& expectBoxEnter(const TextMatch& prompt);
    ScriptedUi& expectInput(const TextMatch& prompt, const QString& typed);
    ScriptedUi& expectInputCancel(const TextMatch& prompt = {});
    // The file dialog, recognised by its title; the user picks chosen, or cancels
    // when it is std::nullopt.
    ScriptedUi& expectFileBox(const TextMatch& title, std::optional<QString> chosen);
    // The print dialog, recognised by its title. The user prints to the PDF
    // file pdfPath ("" for the one the dialog offers), or cancels when it is
    // std::nullopt; the file is written as the dialog would write it.
    ScriptedUi& expectPrint(const TextMatch& title, std::optional<QString> pdfPath = QString());
    // The screen is recognised by its object name. The script acts on it as the
    // user would and must leave it closed. Without a script the screen is closed
    // as by its window's close box.
    ScriptedUi& expectModal(const QString& objectName, Script script = {});
    // The intake screen, recognised by its findings (each as one line, see
    // fs::Intake::lines, joined by line ends); the clerk loads or cancels.
    ScriptedUi& expectIntake(const TextMatch& findings, bool load);

    // --- results
    const QStringList& failures() const { return failures_; }
    bool allExpectationsMet() const { return pending_.empty(); }
    bool clean() const { return failures_.isEmpty() && allExpectationsMet(); }
    // The failures and the expectations still waiting, one per line.
    QString report() const;
    // Everything that happened, one line each ("box: ...", "modal: ...", "end: 0").
    const QStringList& journal() const { return journal_; }

    const std::vector<ShownBox>& boxes() const { return boxes_; }
    const std::vector<ShownInput>& inputs() const { return inputs_; }
    const std::vector<ShownFileBox>& fileBoxes() const { return fileBoxes_; }
    // The PDF files the print dialogs shown offered.
    const QStringList& offeredPdfs() const { return offeredPdfs_; }
    const QStringList& modalsShown() const { return modals_; }
    const std::vector<fs::Intake>& intakes() const { return intakes_; }
    int beeps() const { return beeps_; }
    int doEventsCount() const { return doEvents_; }
    virtual bool isParked(QWidget* w) const { return false; }
    virtual std::optional<int> parkedLeftTwips(QWidget* w) const { return std::nullopt; }

    // Forgets expectations, records and state.
    virtual void reset();

    // --- the services
    using UiServices::msgBox;
    Answer msgBox(const MessageBox& box) override;
    std::optional<QString> inputBox(const QString& prompt, const QString& title,
                                    const QString& defaultText) override;
    std::optional<QString> openFileBox(const QString& title, const QString& folder,
                                       const QString& filter) override;
    std::optional<PrintOutcome> printDialog(const PrintRequest& request) override;
    void setBusy(bool busy) override;
    bool busy() const override { return busy_; }
    void doEvents() override { ++doEvents_; }
    void beep() override { ++beeps_; }
    void parkWindow(QWidget* w, int leftTwips) override;
    void restoreWindow(QWidget* w) override;
    int showModal(QDialog& screen) override;
    bool reviewIntake(const fs::Intake& intake) override;
    void endProgram(int exitCode = 0) override;
    bool ending() const override { return ending_; }
    int exitCode() const override { return exitCode_; }

protected:
    static constexpr int kScreenCancelled = 0;   // QDialog::Rejected
    static constexpr qsizetype kMostFailures = 1000;
    enum class Kind { Box, Input, Modal, File, Intake, Print };
    struct Item {
        int id = 0;
        Kind kind = Kind::Box;
        ExpectedBox box;                    // Box
        TextMatch prompt;                   // Input; File, Print: the title
        std::optional<QString> typed;       // Input, File, Print; nullopt = cancel; Intake: set = load
        QString screen;                     // Modal
        Script script;                      // Modal
    };
    void add(Item item);
    // An expectation answered with a typed or chosen text (nullopt: cancelled).
    ScriptedUi& expectPrompted(Kind kind, const TextMatch& prompt, std::optional<QString> typed);
    static QString describe(const Item& item);
    QString nextExpected() const;
    void fail(const QString& text);
    void checkBoxDetails(const ExpectedBox& want, const MessageBox& box);
    // Runs a screen's script; what it expects goes before what was already waiting.
    void runScript(const Item& item, QDialog& screen);

    std::deque<Item> pending_;
    int nextId_ = 1;
    int scriptDepth_ = 0;
    std::optional<int> barrier_;        // id before which a running script's additions go

    QStringList failures_;
    QStringList journal_;
    std::vector<ShownBox> boxes_;
    std::vector<ShownInput> inputs_;
    std::vector<ShownFileBox> fileBoxes_;
    QStringList offeredPdfs_;
    QStringList modals_;
    std::vector<fs::Intake> intakes_;

    bool busy_ = false;
    int beeps_ = 0;
    int doEvents_ = 0;
    bool ending_ = false;
    int exitCode_ = 0;
};

// Installs a fresh stand-in for its lifetime and puts back the services that
// were in force before. ScopedUi (scriptedscreens.h) is the one for screens.
template <class StandIn>
class ScopedStandIn {
public:
    ScopedStandIn() : previous_(installed()) { install(&ui_); }
    ~ScopedStandIn() { install(previous_); }
    ScopedStandIn(const ScopedStandIn&) = delete;
    ScopedStandIn& operator=(const ScopedStandIn&) = delete;

    StandIn& get() { return ui_; }
    StandIn* operator->() { return &ui_; }
    StandIn& operator*() { return ui_; }

private:
    StandIn ui_;
    UiServices* previous_;
};

} // namespace zarv::ui
