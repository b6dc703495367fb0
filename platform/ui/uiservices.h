#pragma once
// Everything a screen or a conversion asks of the user interface beyond its own
// widgets goes through here: message boxes, input boxes, the busy pointer,
// letting pending events run, parking a window, showing a screen modally and
// ending the program. Only this interface belongs to the core: the screens
// install QtUi (platform/ui/screens), tests a scripted stand-in, and a program
// without a display runs on NoDisplayUi (nodisplayui.h), also the default.
// QWidget and QDialog are only named here; code without screens never shows one.
#include <QString>
#include <functional>
#include <optional>

class QWidget;
class QDialog;
class QPrinter;

namespace zarv::fs {
struct Intake;
}

namespace zarv::ui {

enum class Icon { None, Critical, Question, Exclamation, Information };
enum class Buttons { OK, OKCancel, YesNo, YesNoCancel, RetryCancel };
enum class Answer { OK, Cancel, Yes, No, Retry };

struct MessageBox {
    QString prompt;
    Buttons buttons = Buttons::OK;
    Icon icon = Icon::None;
    QString title;              // "" shows the application's title
    // The answer Enter gives; unset, the safe one (defaultAnswerOf).
    std::optional<Answer> defaultAnswer;
};

// What Enter answers: the box's own default, else the answer that changes
// nothing (No, Cancel), or Retry, which gives up nothing.
Answer defaultAnswerOf(const MessageBox& box);

// Where a report or form went when it was printed.
struct PrintOutcome {
    bool ok = false;
    bool toPrinter = false;
    QString where;              // the printer's name or the PDF file's full path
    QString error;              // why it failed; empty on success
    int pages = 0;
    bool chosen = false;        // the user chose the printer or the file in the print dialog
    bool cancelled = false;     // the user closed the print dialog without printing
};

// A report or form offered for printing: the print dialog shows a preview of
// it and lets the user print it on a printer or to a PDF file.
struct PrintRequest {
    QString title;              // the dialog's title, naming what is printed
    QString pdfPath;            // the PDF file offered when the user prints to a file
    // Draws it on a printer the dialog has set up (for the preview, then for
    // the print); the outcome of that printing.
    std::function<PrintOutcome(QPrinter& printer)> paint;
    // Writes it as a PDF file at the path given (safely: never half written).
    std::function<PrintOutcome(const QString& pdfPath)> savePdf;
};

class UiServices {
public:
    UiServices() = default;
    virtual ~UiServices() = default;

    // The application's title, shown by a box without a title of its own.
    static QString appTitle() { return QStringLiteral("ZARV"); }

    virtual Answer msgBox(const MessageBox& box) = 0;
    Answer msgBox(const QString& prompt, Buttons b = Buttons::OK, Icon i = Icon::None,
                  const QString& title = {}) {
        return msgBox(MessageBox{prompt, b, i, title, std::nullopt});
    }
    // A Yes/No question whose default answer is No; true for Yes.
    bool confirm(const QString& prompt, const QString& title = {}, Icon i = Icon::Question) {
        return msgBox(MessageBox{prompt, Buttons::YesNo, i, title, Answer::No}) == Answer::Yes;
    }
    // The typed text, or std::nullopt when the user cancelled.
    virtual std::optional<QString> inputBox(const QString& prompt, const QString& title,
                                            const QString& defaultText) = 0;
    // The standard dialog for opening a file, at folder, showing the files of
    // filter ("Payment files (*.csv)"). The chosen file's full path, or
    // std::nullopt when the user cancelled.
    virtual std::optional<QString> openFileBox(const QString& title, const QString& folder,
                                               const QString& filter) = 0;

    // The print dialog with its preview, for a report or form. The outcome of
    // the user's choice (cancelled when the dialog was closed without
    // printing), or std::nullopt where no dialog can be shown: the caller then
    // prints without asking (the default printer, else a PDF file).
    virtual std::optional<PrintOutcome> printDialog(const PrintRequest& request) { return std::nullopt; }

    // Hourglass on or off: a state, not a stack.
    virtual void setBusy(bool busy) = 0;
    virtual bool busy() const = 0;
    // Lets pending paint and timer events run; never user input.
    virtual void doEvents() = 0;
    virtual void beep() = 0;

    // Moves a window's left edge off screen (twips, as the screens give it) and back.
    // Never hides the window; a no-op where the window system forbids moves.
    virtual void parkWindow(QWidget* w, int leftTwips) = 0;
    virtual void restoreWindow(QWidget* w) = 0;

    // Shows a screen modally and returns when it has closed. The scripted stand-in
    // hands the screen to the test's script instead of running an event loop.
    virtual int showModal(QDialog& screen) = 0;

    // Shows what a reader decided about a file (fs::Intake) before anything of
    // it is stored: the intake screen. True when the clerk chose to load it;
    // Cancel is the default.
    virtual bool reviewIntake(const fs::Intake& intake) = 0;

    // The one clean way out: closes every modal loop and stops the program.
    // Code that resumes after a modal screen checks ending() before going on.
    virtual void endProgram(int exitCode = 0) = 0;
    virtual bool ending() const = 0;
    // The code given to endProgram(); 0 while the program is not ending.
    virtual int exitCode() const { return 0; }
};

// The answer given when a box cannot be shown or is closed without a choice:
// Cancel where there is one, No for Yes/No, OK for an OK-only box.
Answer safeAnswer(Buttons buttons);
// The title a box shows: its own, or the application's when it has none.
QString shownTitle(const MessageBox& box);

// The services in force. Never null after install().
UiServices& ui();
void install(UiServices* services);   // not owned; nullptr goes back to the default
// What install() last set (nullptr when the default is in force), for code that
// installs services for a while and puts the previous ones back.
UiServices* installed();

} // namespace zarv::ui
