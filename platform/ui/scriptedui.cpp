#include "platform/ui/scriptedui.h"
#include <algorithm>

namespace zarv::ui {

namespace {

QString iconName(Icon icon)
{
    switch (icon) {
    case Icon::None: return QStringLiteral("none");
    case Icon::Critical: return QStringLiteral("critical");
    case Icon::Question: return QStringLiteral("question");
    case Icon::Exclamation: return QStringLiteral("exclamation");
    case Icon::Information: return QStringLiteral("information");
    }
    return QStringLiteral("?");
}

QString buttonsName(Buttons buttons)
{
    switch (buttons) {
    case Buttons::OK: return QStringLiteral("OK");
    case Buttons::OKCancel: return QStringLiteral("OK/Cancel");
    case Buttons::YesNo: return QStringLiteral("Yes/No");
    case Buttons::YesNoCancel: return QStringLiteral("Yes/No/Cancel");
    case Buttons::RetryCancel: return QStringLiteral("Retry/Cancel");
    }
    return QStringLiteral("?");
}

QString answerName(Answer answer)
{
    switch (answer) {
    case Answer::OK: return QStringLiteral("OK");
    case Answer::Cancel: return QStringLiteral("Cancel");
    case Answer::Yes: return QStringLiteral("Yes");
    case Answer::No: return QStringLiteral("No");
    case Answer::Retry: return QStringLiteral("Retry");
    }
    return QStringLiteral("?");
}


bool answerAllowed(Answer answer, Buttons buttons)
{
    switch (buttons) {
    case Buttons::OK: return answer == Answer::OK;
    case Buttons::OKCancel: return answer == Answer::OK || answer == Answer::Cancel;
    case Buttons::YesNo: return answer == Answer::Yes || answer == Answer::No;
    case Buttons::YesNoCancel:
        return answer == Answer::Yes || answer == Answer::No || answer == Answer::Cancel;
    case Buttons::RetryCancel: return answer == Answer::Retry || answer == Answer::Cancel;
    }
    return false;
}

} // namespace

// ---------------------------------------------------------------- TextMatch

TextMatch::TextMatch(const QString& exact) : kind_(Kind::Exact), text_(exact) {}
TextMatch::TextMatch(const char* exact) : kind_(Kind::Exact), text_(QString::fromUtf8(exact)) {}

TextMatch TextMatch::exactly(const QString& text)
{
    return TextMatch(Kind::Exact, text);
}

TextMatch TextMatch::containing(const QString& part)
{
    return TextMatch(Kind::Contains, part);
}

bool TextMatch::matches(const QString& text) const
{
    switch (kind_) {
    case Kind::Any: return true;
    case Kind::Exact: return text == text_;
    case Kind::Contains: return text.contains(text_);
    }
    return false;
}

QString TextMatch::describe() const
{
    switch (kind_) {
    case Kind::Any: return QStringLiteral("any text");
    case Kind::Exact: return QStringLiteral("\"%1\"").arg(text_);
    case Kind::Contains: return QStringLiteral("containing \"%1\"").arg(text_);
    }
    return {};
}

// ---------------------------------------------------------------- expectations

void ScriptedUi::add(Item item)
{
    item.id = nextId_++;
    if (scriptDepth_ > 0 && barrier_) {
        const int barrier = *barrier_;
        auto at = std::find_if(pending_.begin(), pending_.end(),
                               [barrier](const Item& i) { return i.id == barrier; });
        pending_.insert(at, std::move(item));
        return;
    }
    pending_.push_back(std::move(item));
}

ScriptedUi& ScriptedUi::expectBox(const ExpectedBox& box)
{
    Item item;
    item.kind = Kind::Box;
    item.box = box;
    add(std::move(item));
    return *this;
}

ScriptedUi& ScriptedUi::expectBox(const TextMatch& prompt, Answer answer)
{
    return expectBox(ExpectedBox{prompt, answer, std::nullopt, std::nullopt, std::nullopt, false, std::nullopt});
}

ScriptedUi& ScriptedUi::expectBoxEnter(const TextMatch& prompt)
{
    return expectBox(ExpectedBox{prompt, Answer::OK, std::nullopt, std::nullopt, std::nullopt, true, std::nullopt});
}

ScriptedUi& ScriptedUi::expectPrompted(Kind kind, const TextMatch& prompt, std::optional<QString> typed)
{
    Item item;
    item.kind = kind;
    item.prompt = prompt;
    item.typed = std::move(typed);
    add(std::move(item));
    return *this;
}

ScriptedUi& ScriptedUi::expectInput(const TextMatch& prompt, const QString& typed)
{
    return expectPrompted(Kind::Input, prompt, typed);
}

ScriptedUi& ScriptedUi::expectInputCancel(const TextMatch& prompt)
{
    return expectPrompted(Kind::Input, prompt, std::nullopt);
}

ScriptedUi& ScriptedUi::expectFileBox(const TextMatch& title, std::optional<QString> chosen)
{
    return expectPrompted(Kind::File, title, std::move(chosen));
}

ScriptedUi& ScriptedUi::expectIntake(const TextMatch& findings, bool load)
{
    return expectPrompted(Kind::Intake, findings, load ? std::optional<QString>(QString()) : std::nullopt);
}

ScriptedUi& ScriptedUi::expectPrint(const TextMatch& title, std::optional<QString> pdfPath)
{
    return expectPrompted(Kind::Print, title, std::move(pdfPath));
}

ScriptedUi& ScriptedUi::expectModal(const QString& objectName, Script script)
{
    Item item;
    item.kind = Kind::Modal;
    item.screen = objectName;
    item.script = std::move(script);
    add(std::move(item));
    return *this;
}

QString ScriptedUi::describe(const Item& item)
{
    switch (item.kind) {
    case Kind::Box: return QStringLiteral("message box %1").arg(item.box.prompt.describe());
    case Kind::Input: return QStringLiteral("input box %1").arg(item.prompt.describe());
    case Kind::Modal: return QStringLiteral("modal screen %1").arg(item.screen);
    case Kind::File: return QStringLiteral("file dialog %1").arg(item.prompt.describe());
    case Kind::Intake: return QStringLiteral("intake screen %1").arg(item.prompt.describe());
    case Kind::Print: return QStringLiteral("print dialog %1").arg(item.prompt.describe());
    }
    return {};
}

QString ScriptedUi::nextExpected() const
{
    return pending_.empty() ? QStringLiteral("nothing") : describe(pending_.front());
}

void ScriptedUi::fail(const QString& text)
{
    failures_.append(text);
    journal_.append(QStringLiteral("FAILURE: ") + text);
    // Code that asks again whatever the answer (a save's Retry) would loop
    // here for ever: the test stops with what it was shown instead.
    if (failures_.size() > kMostFailures)
        qFatal("scripted user: more than %d unexpected things; the code under test keeps asking. First: %s",
               int(kMostFailures), qPrintable(failures_.first()));
}

QString ScriptedUi::report() const
{
    QStringList lines = failures_;
    for (const Item& item : pending_)
        lines.append(QStringLiteral("expected but never shown: ") + describe(item));
    return lines.join(QLatin1Char('\n'));
}

void ScriptedUi::reset()
{
    pending_.clear();
    barrier_.reset();
    scriptDepth_ = 0;
    failures_.clear();
    journal_.clear();
    boxes_.clear();
    inputs_.clear();
    fileBoxes_.clear();
    offeredPdfs_.clear();
    modals_.clear();
    intakes_.clear();
    busy_ = false;
    beeps_ = 0;
    doEvents_ = 0;
    ending_ = false;
    exitCode_ = 0;
}

// ---------------------------------------------------------------- the services

void ScriptedUi::checkBoxDetails(const ExpectedBox& want, const MessageBox& box)
{
    const QString title = shownTitle(box);
    if (want.icon && *want.icon != box.icon)
        fail(QStringLiteral("message box \"%1\": icon %2, expected %3")
                 .arg(box.prompt, iconName(box.icon), iconName(*want.icon)));
    if (want.buttons && *want.buttons != box.buttons)
        fail(QStringLiteral("message box \"%1\": buttons %2, expected %3")
                 .arg(box.prompt, buttonsName(box.buttons), buttonsName(*want.buttons)));
    if (want.title && *want.title != title)
        fail(QStringLiteral("message box \"%1\": title \"%2\", expected \"%3\"")
                 .arg(box.prompt, title, *want.title));
    const Answer shownDefault = defaultAnswerOf(box);
    if (want.defaultAnswer && *want.defaultAnswer != shownDefault)
        fail(QStringLiteral("message box \"%1\": default button %2, expected %3")
                 .arg(box.prompt, answerName(shownDefault), answerName(*want.defaultAnswer)));
}

Answer ScriptedUi::msgBox(const MessageBox& box)
{
    ShownBox shown{box.prompt, box.buttons, box.icon, shownTitle(box), safeAnswer(box.buttons), false,
                   defaultAnswerOf(box)};
    if (ending_) {
        journal_.append(QStringLiteral("box after end (not shown): ") + box.prompt);
        return shown.answer;
    }
    const bool matches = !pending_.empty() && pending_.front().kind == Kind::Box
                         && pending_.front().box.prompt.matches(box.prompt);
    if (!matches) {
        fail(QStringLiteral("unexpected message box: %1 (next expected: %2)").arg(box.prompt, nextExpected()));
    } else {
        const ExpectedBox want = pending_.front().box;
        pending_.pop_front();
        shown.expected = true;
        checkBoxDetails(want, box);
        if (want.enter)
            shown.answer = shown.defaultAnswer;
        else if (answerAllowed(want.answer, box.buttons))
            shown.answer = want.answer;
        else
            fail(QStringLiteral("message box \"%1\": answer %2 is not one of its buttons (%3)")
                     .arg(box.prompt, answerName(want.answer), buttonsName(box.buttons)));
    }
    journal_.append(QStringLiteral("box: %1 [%2, %3, \"%4\"] -> %5")
                        .arg(box.prompt, buttonsName(box.buttons), iconName(box.icon), shown.title,
                             answerName(shown.answer)));
    boxes_.push_back(shown);
    return shown.answer;
}

std::optional<QString> ScriptedUi::inputBox(const QString& prompt, const QString& title,
                                            const QString& defaultText)
{
    ShownInput shown{prompt, title.isEmpty() ? appTitle() : title, defaultText, std::nullopt, false};
    if (ending_) {
        journal_.append(QStringLiteral("input box after end (not shown): ") + prompt);
        return std::nullopt;
    }
    const bool matches = !pending_.empty() && pending_.front().kind == Kind::Input
                         && pending_.front().prompt.matches(prompt);
    if (!matches) {
        fail(QStringLiteral("unexpected input box: %1 (next expected: %2)").arg(prompt, nextExpected()));
    } else {
        shown.typed = pending_.front().typed;
        shown.expected = true;
        pending_.pop_front();
    }
    journal_.append(QStringLiteral("input: %1 -> %2")
                        .arg(prompt, shown.typed ? QStringLiteral("\"%1\"").arg(*shown.typed)
                                                 : QStringLiteral("Cancel")));
    inputs_.push_back(shown);
    return shown.typed;
}

std::optional<QString> ScriptedUi::openFileBox(const QString& title, const QString& folder, const QString& filter)
{
    ShownFileBox shown{title.isEmpty() ? appTitle() : title, folder, filter, std::nullopt, false};
    if (ending_) {
        journal_.append(QStringLiteral("file dialog after end (not shown): ") + shown.title);
        return std::nullopt;
    }
    const bool matches = !pending_.empty() && pending_.front().kind == Kind::File
                         && pending_.front().prompt.matches(shown.title);
    if (!matches) {
        fail(QStringLiteral("unexpected file dialog: %1 (next expected: %2)").arg(shown.title, nextExpected()));
    } else {
        shown.chosen = pending_.front().typed;
        shown.expected = true;
        pending_.pop_front();
    }
    journal_.append(QStringLiteral("file dialog: %1 at %2 -> %3")
                        .arg(shown.title, folder, shown.chosen ? *shown.chosen : QStringLiteral("Cancel")));
    fileBoxes_.push_back(shown);
    return shown.chosen;
}

std::optional<PrintOutcome> ScriptedUi::printDialog(const PrintRequest& request)
{
    PrintOutcome cancelled;
    cancelled.cancelled = true;
    if (ending_) {
        journal_.append(QStringLiteral("print dialog after end (not shown): ") + request.title);
        return cancelled;
    }
    offeredPdfs_ << request.pdfPath;
    const bool matches = !pending_.empty() && pending_.front().kind == Kind::Print
                         && pending_.front().prompt.matches(request.title);
    std::optional<QString> pdf;
    if (!matches) {
        fail(QStringLiteral("unexpected print dialog: %1 (next expected: %2)").arg(request.title, nextExpected()));
    } else {
        pdf = pending_.front().typed;
        pending_.pop_front();
        if (pdf && pdf->isEmpty())
            pdf = request.pdfPath;
    }
    journal_.append(QStringLiteral("print dialog: %1 -> %2").arg(request.title, pdf ? *pdf : QStringLiteral("Cancel")));
    if (!pdf || !request.savePdf)
        return cancelled;
    return request.savePdf(*pdf);
}

void ScriptedUi::setBusy(bool busy)
{
    busy_ = busy;
}

// Without screens there is no window to move.
void ScriptedUi::parkWindow(QWidget* w, int leftTwips)
{
}

void ScriptedUi::restoreWindow(QWidget* w)
{
    // Nothing was moved by parkWindow, so nothing comes back.
}

void ScriptedUi::runScript(const Item& item, QDialog& screen)
{
    // While the script runs, what it expects goes before what was already waiting.
    struct Frame {
        ScriptedUi& self;
        std::optional<int> savedBarrier;
        Frame(ScriptedUi& s) : self(s), savedBarrier(s.barrier_)
        {
            ++self.scriptDepth_;
            self.barrier_ = self.pending_.empty() ? std::nullopt : std::optional<int>(self.pending_.front().id);
        }
        ~Frame()
        {
            --self.scriptDepth_;
            self.barrier_ = savedBarrier;
        }
    } frame(*this);
    item.script(screen);
}

int ScriptedUi::showModal(QDialog& screen)
{
    const QString name = QStringLiteral("<a screen>");
    modals_.append(name);
    if (ending_) {
        journal_.append(QStringLiteral("modal after end (not shown): ") + name);
        return kScreenCancelled;
    }
    fail(QStringLiteral("unexpected modal screen in a program without screens (next expected: %1)").arg(nextExpected()));
    return kScreenCancelled;
}

bool ScriptedUi::reviewIntake(const fs::Intake& intake)
{
    intakes_.push_back(intake);
    const QString shown = intake.lines().join(QLatin1Char('\n'));
    if (ending_) {
        journal_.append(QStringLiteral("intake screen after end (not shown)"));
        return false;
    }
    const bool matches = !pending_.empty() && pending_.front().kind == Kind::Intake
                         && pending_.front().prompt.matches(shown);
    bool load = false;
    if (!matches) {
        fail(QStringLiteral("unexpected intake screen: %1 (next expected: %2)").arg(shown, nextExpected()));
    } else {
        load = pending_.front().typed.has_value();
        pending_.pop_front();
    }
    journal_.append(QStringLiteral("intake: %1 -> %2").arg(shown, load ? QStringLiteral("Load") : QStringLiteral("Cancel")));
    return load;
}

void ScriptedUi::endProgram(int exitCode)
{
    journal_.append(QStringLiteral("end: %1").arg(exitCode));
    if (ending_)
        return;
    ending_ = true;
    exitCode_ = exitCode;
    busy_ = false;
}

} // namespace zarv::ui
