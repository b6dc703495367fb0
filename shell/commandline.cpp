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

} // namespace

QStringList ArgumentsOf(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

CommandLine ReadCommandLine(Program program, const QStringList& arguments)
{
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
                                   "error, 1 when one had, 2 for a wrong command line.")
                  : QStringLiteral("ZARV: bulk property tax payments and mortgage number verification for mortgage "
                                   "companies. Opens the start screen."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption batch(QStringLiteral("batch"),
                                   QStringLiteral("Check the returned workbooks given without opening a window."));
    if (receiving) {
        parser.addOption(batch);
        parser.addPositionalArgument(QStringLiteral("paths"),
                                     QStringLiteral("With --batch: returned workbooks, or folders holding them."),
                                     QStringLiteral("[PATH...]"));
    }

    CommandLine line;
    const bool parsed = parser.parse(arguments);
    const bool helpAll = parsed && parser.isSet(QStringLiteral("help-all"));
    if (parsed && !helpAll && !parser.isSet(help) && !parser.isSet(version) && !(receiving && parser.isSet(batch)) &&
        parser.positionalArguments().isEmpty())
        return line;

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
        return refuse(QStringLiteral("unexpected argument '%1'.").arg(parser.positionalArguments().first()));
    if (parser.positionalArguments().isEmpty())
        return refuse(QStringLiteral("--batch needs at least one workbook or folder."));
    line.batch = true;
    line.paths = parser.positionalArguments();
    return line;
}

} // namespace zarv
