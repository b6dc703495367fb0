#pragma once
// The command lines of the two programs, read before any window exists:
//
//   zarv [--help | --version | FILE]
//   zarvreceive [--help | --version | FILE | --batch PATH...]
//
// --help and --version are answered on standard output, a wrong command line
// on standard error; neither needs a display. Qt's own options (-platform,
// -style, ...) are left to the application object, which takes them itself.
#include <QString>
#include <QStringList>

#include <optional>

namespace zarv {

enum class Program { Zarv, Receive };

struct CommandLine {
    std::optional<int> exitCode;    // set: the command line is answered, the program ends with it
    bool batch = false;             // zarvreceive --batch
    QStringList paths;              // the folders and workbooks after --batch
    QString file;                   // the file to open at start ("" for none): a file manager's "open with"
};

// arguments as main() got them, the program's own name first. Prints help,
// version or the fault in the command line; needs the application object only
// when it prints (an answered command line makes one of its own when none exists).
CommandLine ReadCommandLine(Program program, const QStringList& arguments);

// The arguments of main() as text.
QStringList ArgumentsOf(int argc, char** argv);

// Exit codes of the receiving program's batch run.
constexpr int kBatchClean = 0;       // every workbook loaded without an error
constexpr int kBatchErrors = 1;      // some workbook has errors or could not be read
constexpr int kBadCommandLine = 2;   // a wrong option, or nothing to read
constexpr int kBatchBusy = 3;        // another copy of the programs is running: nothing was checked

} // namespace zarv
