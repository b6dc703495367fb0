#include "shell/commandline.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>

#include <cstdio>
#include <memory>

namespace zarv {

namespace {

void print(FILE* to, const QString& text)
{
    std::fputs(text.toLocal8Bit().constData(), to);
    std::fflush(to);
}

// The parser needs the application object to name the program in its texts.
class PrintingApplication {
public:
    explicit PrintingApplication(const QString& programPath)
    {
        if (QCoreApplication::instance())
            return;
        name_ = programPath.toLocal8Bit();
        argv_[0] = name_.data();
        app_ = std::make_unique<QCoreApplication>(argc_, argv_);
    }

private:
    QByteArray name_;
    int argc_ = 1;
    char* argv_[2] = {nullptr, nullptr};
    std::unique_ptr<QCoreApplication> app_;
};

// The options QApplication takes from the command line itself (one dash or
// two): those that take a value, given after a blank or after "=", and those
// that take none.
const QStringList kQtOptionsWithValue = {
    QStringLiteral("platform"), QStringLiteral("platformpluginpath"), QStringLiteral("platformtheme"),
    QStringLiteral("plugin"), QStringLiteral("qwindowgeometry"), QStringLiteral("geometry"),
    QStringLiteral("qwindowicon"), QStringLiteral("icon"), QStringLiteral("qwindowtitle"), QStringLiteral("title"),
    QStringLiteral("display"), QStringLiteral("name"), QStringLiteral("visual"), QStringLiteral("style"),
    QStringLiteral("stylesheet"), QStringLiteral("session"), QStringLiteral("qmljsdebugger"),
    QStringLiteral("fontengine")};
const QStringList kQtFlags = {QStringLiteral("reverse"), QStringLiteral("widgetcount"), QStringLiteral("nograb"),
                              QStringLiteral("dograb"), QStringLiteral("sync")};

// The arguments without Qt's own options.
QStringList withoutQtOptions(const QStringList& arguments)
{
    QStringList kept;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        if (i == 0 || !a.startsWith(QLatin1Char('-'))) {
            kept << a;
            continue;
        }
        QString name = a.mid(a.startsWith(QLatin1String("--")) ? 2 : 1);
        const qsizetype equals = name.indexOf(QLatin1Char('='));
        if (equals >= 0)
            name.truncate(equals);
        if (kQtOptionsWithValue.contains(name)) {
            if (equals < 0)
                ++i;        // its value follows
            continue;
        }
        if (kQtFlags.contains(name) && equals < 0)
            continue;
        kept << a;
    }
    return kept;
}

} // namespace

QStringList ArgumentsOf(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

CommandLine ReadCommandLine(Program program, const QStringList& givenArguments)
{
    const QStringList arguments = withoutQtOptions(givenArguments);
    const bool receiving = program == Program::Receive;
    QCommandLineParser parser;
    parser.setApplicationDescription(
        receiving ? QStringLiteral("ZARV receiving program: loads the verification workbooks that mortgage companies "
                                   "send back and writes their verified files.\n\n"
                                   "Without options it opens the receiving screen. With --batch it opens no window: "
                                   "for each returned workbook (a .xlsx file given, or each one in a folder given) it "
                                   "writes beside the workbook <name>_VERIFIED.zarv, holding the records without "
                                   "errors, and <name>_ERRORS.txt, listing each record that was not loaded or has an "
                                   "error; it prints one line per workbook. Exit status: 0 when no workbook had an "
                                   "error, 1 when one had, 2 for a wrong command line.\n\n"
                                   "With a FILE it opens the receiving screen and loads that workbook.")
                  : QStringLiteral("ZARV: bulk property tax payments and mortgage number verification for mortgage "
                                   "companies. Opens the start screen; given a FILE, starts its run at once: the "
                                   "payment run for a payment data file (Zarvdata.csv), the verification run for a "
                                   "verification workbook (MortNo*.xlsx)."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption batch(QStringLiteral("batch"),
                                   QStringLiteral("Check the returned workbooks given without opening a window."));
    if (receiving) {
        parser.addOption(batch);
        parser.addPositionalArgument(QStringLiteral("paths"),
                                     QStringLiteral("A returned workbook to load in the receiving screen; with "
                                                    "--batch: returned workbooks, or folders holding them."),
                                     QStringLiteral("[FILE | PATH...]"));
    } else {
        parser.addPositionalArgument(QStringLiteral("file"),
                                     QStringLiteral("A payment data file or a verification workbook to open."),
                                     QStringLiteral("[FILE]"));
    }

    CommandLine line;
    const bool parsed = parser.parse(arguments);
    const bool helpAll = parsed && parser.isSet(QStringLiteral("help-all"));
    const bool batchSet = receiving && parsed && parser.isSet(batch);
    if (parsed && !helpAll && !parser.isSet(help) && !parser.isSet(version) && !batchSet &&
        parser.positionalArguments().size() <= 1) {
        if (!parser.positionalArguments().isEmpty())
            line.file = QFileInfo(parser.positionalArguments().first()).absoluteFilePath();
        return line;
    }

    const QString programPath = arguments.isEmpty() ? QString() : arguments.first();
    const QString name = QFileInfo(programPath).fileName();
    const PrintingApplication app(programPath);
    const auto refuse = [&](const QString& why) {
        print(stderr, name + QStringLiteral(": ") + why + QStringLiteral("\nTry '") + name +
                          QStringLiteral(" --help' for more information.\n"));
        line.exitCode = kBadCommandLine;
        return line;
    };
    if (!parsed)
        return refuse(parser.errorText());
    if (helpAll)
        parser.process(arguments);      // prints the help with Qt's own options and ends the program
    if (parser.isSet(help)) {
        print(stdout, parser.helpText());
        line.exitCode = 0;
        return line;
    }
    if (parser.isSet(version)) {
        print(stdout, name + QStringLiteral(" ") + QStringLiteral(ZARV_VERSION) + QLatin1Char('\n'));
        line.exitCode = 0;
        return line;
    }
    if (!receiving || !parser.isSet(batch))
        return refuse(QStringLiteral("unexpected argument '%1': one file at a time.").arg(parser.positionalArguments().at(1)));
    if (parser.positionalArguments().isEmpty())
        return refuse(QStringLiteral("--batch needs at least one workbook or folder."));
    line.batch = true;
    line.paths = parser.positionalArguments();
    return line;
}

} // namespace zarv
