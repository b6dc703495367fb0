// zarvreceive --batch: a folder of returned workbooks checked without a
// window, each with its own verified file and list of errors, the same as the
// receiving screen's; and both programs' --help and --version.
#include "verify_return_support.h"
#include "textlines.h"

#include "shell/commandline.h"
#include "shell/receivebatch.h"
#include "shell/startup.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QProcess>
#include <QProcessEnvironment>
#include <unistd.h>

namespace zarv::test {
namespace {

struct ProgramRun {
    int exitCode = -1;
    QStringList out;
    QString err;
};

class ReceiveBatch : public ReturnScreenTest {
protected:
    // The nine records, rows 2 and 3 only: both clean.
    static Book twoClean()
    {
        Book b = nineReturnedRecords();
        b.mortgage.resize(3);
        return b;
    }
    // A folder of MortNo1.xlsx with errors, the clean MortNo2.xlsx and a note.
    QString folderOfTwo()
    {
        const QString returnedFolder = path("returned");
        QDir().mkpath(returnedFolder);
        writeBook(QDir(returnedFolder).filePath("MortNo1.xlsx"), nineReturnedRecords());
        writeBook(QDir(returnedFolder).filePath("MortNo2.xlsx"), twoClean());
        writeFile("returned/notes.txt", "not a workbook");
        return returnedFolder;
    }
    // Runs the batch in this process; what it writes to standard output goes to out.
    static int batch(const QStringList& workbooks, QString* out = nullptr)
    {
        QString text;
        QString err;
        QTextStream outStream(&text);
        QTextStream errStream(&err);
        const int code = RunReceiveBatch(workbooks, outStream, errStream);
        outStream.flush();
        if (out)
            *out = text;
        return code;
    }

    // Runs a copy of the program from the test's folder (beside its fresh
    // databases) with no display of any kind and a home of its own.
    ProgramRun run(const QString& program, const QStringList& arguments)
    {
        const QString copy = path(QFileInfo(program).fileName());
        if (!QFileInfo::exists(copy)) {
            EXPECT_TRUE(QFile::copy(program, copy));
        }
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "ZARV_FORCE_PDF"})
            env.remove(name);
        for (const char* name : {"HOME", "XDG_RUNTIME_DIR", "XDG_DATA_HOME", "XDG_CONFIG_HOME"}) {
            const QString own = path(QStringLiteral("env/") + name);
            QDir().mkpath(own);
            QFile::setPermissions(own, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
            env.insert(name, own);
        }
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(copy, arguments);
        EXPECT_TRUE(p.waitForFinished(60000));
        ProgramRun r;
        r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        r.out = QString::fromLocal8Bit(p.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
        r.err = QString::fromLocal8Bit(p.readAllStandardError());
        return r;
    }
};

// One line per workbook entry: path, outcome, records written, records left
// out, errors file; then the total.
QStringList fields(const QString& line)
{
    return line.split('\t');
}

TEST_F(ReceiveBatch, EveryEntryNamedLikeAWorkbookGetsOneTabSeparatedLineAndTheRunFailsForAnyBadOne)
{
    // The workbook with errors comes first, the clean one after it; a
    // dangling link and a folder are named like workbooks; the folder is given
    // twice and one workbook once more on its own.
    const QString folder = folderOfTwo();
    const QString bad = QDir(folder).filePath("MortNo1.xlsx");
    const QString clean = QDir(folder).filePath("MortNo2.xlsx");
    const QString dangling = QDir(folder).filePath("MortNo3.xlsx");
    ASSERT_TRUE(QFile::link(path("nowhere.xlsx"), dangling));
    const QString aFolder = QDir(folder).filePath("x.xlsx");
    QDir().mkpath(aFolder);
    // The copies as received and the backups the company's program keeps are no returned workbooks.
    for (const char* copy : {"MortNo2.received.xlsx", "MortNo2.received.2025-06-01-101500.xlsx", "MortNo1.xlsx.bak"})
        QFile::copy(clean, QDir(folder).filePath(copy));

    const ProgramRun r = run(ZARV_RECEIVE_PROGRAM, {"--batch", folder, folder + "/", clean});
    EXPECT_EQ(r.exitCode, kBatchErrors) << r.err.toStdString();
    const QString errors1 = QDir(folder).filePath("MortNo1_ERRORS.txt");
    const QString errors2 = QDir(folder).filePath("MortNo2_ERRORS.txt");
    const QString errors3 = QDir(folder).filePath("MortNo3_ERRORS.txt");
    const QString errorsX = QDir(folder).filePath("x_ERRORS.txt");
    ASSERT_EQ(r.out.size(), 5) << r.out.join('\n').toStdString() << r.err.toStdString();
    EXPECT_EQ(fields(r.out[0]), QStringList({bad, "ERRORS", "3", "6", errors1}));
    EXPECT_EQ(fields(r.out[1]), QStringList({clean, "OK", "2", "0", errors2}));
    EXPECT_EQ(fields(r.out[2]), QStringList({dangling, "FAILED", "0", "0", errors3}));
    EXPECT_EQ(fields(r.out[3]), QStringList({aFolder, "FAILED", "0", "0", errorsX}));
    EXPECT_EQ(fields(r.out[4]), QStringList({"TOTAL", "ERRORS", "5", "6", "4"}));

    EXPECT_EQ(verifiedNumbers(readFile(QDir(folder).filePath("MortNo1_VERIFIED.zarv"))),
              QStringList({"100", "101", "105"}));
    EXPECT_EQ(verifiedNumbers(readFile(QDir(folder).filePath("MortNo2_VERIFIED.zarv"))),
              QStringList({"100", "101"}));
    EXPECT_EQ(readFile(errors2), "");
    // Each record left out is named with its row, mortgage number, folio and reason.
    const QStringList leftOut = QString::fromLatin1(readFile(errors1)).split("\r\n").filter(QRegularExpression("^LEFT OUT: "));
    ASSERT_EQ(leftOut.size(), 6) << readFile(errors1).toStdString();
    EXPECT_EQ(leftOut[0], "LEFT OUT: Row 4, mortgage number 102, folio 111: status 'X' is not A, C, D or blank");
    EXPECT_EQ(leftOut[4], "LEFT OUT: Row 9, mortgage number 107, no folio or PID: NOT LOADED: no district, "
                          "jurisdiction, folio or PID");
    EXPECT_TRUE(readFile(errors3).contains("does not exist")) << readFile(errors3).toStdString();
    EXPECT_TRUE(readFile(errorsX).contains("is a folder")) << readFile(errorsX).toStdString();
    // Whatever goes to standard error is led by the program's name and carries no internal code.
    for (const QString& line : r.err.split('\n', Qt::SkipEmptyParts)) {
        EXPECT_TRUE(line.startsWith("zarvreceive: ")) << line.toStdString();
        EXPECT_FALSE(line.contains("Err#") || line.contains("Xls2Mdb")) << line.toStdString();
    }
}

// What the load decided that no error names goes into the list of errors, one
// finding a line; standard output keeps its form.
TEST_F(ReceiveBatch, WhatTheLoadDecidedIsInTheListOfErrors)
{
    Book b = twoClean();
    b.mortgage[2][7] = QString(75, 'N');
    const QString workbook = returned("MortNo1.xlsx", b);
    QString out;
    EXPECT_EQ(batch({workbook}, &out), kBatchErrors);
    EXPECT_EQ(fields(out.split('\n').first()),
              QStringList({workbook, "ERRORS", "2", "0", BatchErrorsFilePath(workbook)}));
    EXPECT_EQ(writtenLines(BatchErrorsFilePath(workbook)),
              QStringList({"Value cut, row 3: NAME holds 75 characters; the list keeps 70, so it is stored cut. "
                           "(as read \"" + QString(75, 'N') + "\", stored \"" + QString(70, 'N') + "\")"}));
}

// Another login (its own runtime folder) works on the same data folder: the
// batch checks nothing, says which folder is in use, by whom and since when,
// and ends with an exit code of its own.
TEST_F(ReceiveBatch, IsRefusedWhileAnotherProgramWorksOnTheSameDataFolder)
{
    const QString folder = folderOfTwo();
    const QString data = path("env/XDG_DATA_HOME/zarv");
    ASSERT_TRUE(QDir().mkpath(data));
    std::optional<FolderInUse> none;
    auto held = claimDataFolder(data, "zarvreceive", &none);
    ASSERT_NE(held, nullptr);
    const ProgramRun r = run(ZARV_RECEIVE_PROGRAM, {"--batch", folder});
    EXPECT_EQ(r.exitCode, kBatchBusy) << r.err.toStdString();
    EXPECT_TRUE(r.out.isEmpty()) << r.out.join('\n').toStdString();
    EXPECT_TRUE(r.err.startsWith("zarvreceive: ")) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("already running on the data folder " + data + ": it is in use by zarvreceive (process " +
                               QString::number(::getpid())))
        << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(" since ")) << r.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(QDir(folder).filePath("MortNo1_VERIFIED.zarv")));
}

TEST_F(ReceiveBatch, ListsTheSameErrorsAsTheScreenAndKeepsNoStaleVerifiedFile)
{
    const QString folder = folderOfTwo();
    const QString workbook = QDir(folder).filePath("MortNo1.xlsx");
    // The outcome of a run is not its last workbook's alone.
    EXPECT_EQ(batch({workbook, QDir(folder).filePath("MortNo2.xlsx")}), kBatchErrors);
    EXPECT_EQ(batch({QDir(folder).filePath("MortNo2.xlsx")}), kBatchClean);
    QString out;
    EXPECT_EQ(batch({workbook}, &out), kBatchErrors);
    EXPECT_EQ(out.count('\n'), 2);      // the workbook and the total
    QStringList listed = writtenLines(BatchErrorsFilePath(workbook));
    ASSERT_FALSE(listed.isEmpty());

    QFile::copy(workbook, QDir(emailFolder()).filePath("MortNo1.xlsx"));
    Verify_Return& s = open();
    load("MortNo1.xlsx");
    // The screen's errors, then each record left out.
    EXPECT_EQ(listed.mid(0, s.reportLines().size()), s.reportLines());
    EXPECT_EQ(listed.mid(s.reportLines().size()).filter(QRegularExpression("^LEFT OUT: Row \\d+, mortgage number ")).size(), 6);

    // The same workbook sent again with every record in error: its earlier
    // verified file goes, the list says why.
    Book allBad = nineReturnedRecords();
    allBad.jurisdictions.resize(1);
    allBad.mortgage.erase(allBad.mortgage.begin() + 6);
    writeBook(workbook, allBad);
    EXPECT_EQ(batch({workbook}, &out), kBatchErrors);
    EXPECT_FALSE(QFileInfo::exists(BatchVerifiedFilePath(workbook)));
    EXPECT_EQ(fields(out.split('\n').first()).mid(1, 3), QStringList({"ERRORS", "0", "8"})) << out.toStdString();

    // A workbook that cannot be read: its failure is its list of errors.
    const QString damaged = writeFile("returned/MortNo3.xlsx", "PK not a workbook");
    ui().expectBox(criticalBox(ui::containing("(load step ")));
    EXPECT_EQ(batch({damaged}, &out), kBatchErrors);
    EXPECT_EQ(fields(out.split('\n').first()),
              QStringList({damaged, "FAILED", "0", "0", BatchErrorsFilePath(damaged)})) << out.toStdString();
    listed = writtenLines(BatchErrorsFilePath(damaged));
    // The load's failure, its cause first and then its step, and the line that nothing is uploaded.
    ASSERT_EQ(listed.size(), 3) << listed.join('|').toStdString();
    EXPECT_TRUE(listed[1].startsWith("(load step ")) << listed[1].toStdString();
    EXPECT_TRUE(listed[2].startsWith("ERROR - The selected file " + QDir::toNativeSeparators(damaged) +
                                      " could not be loaded completely"))
        << listed[2].toStdString();
    EXPECT_FALSE(QFileInfo::exists(BatchVerifiedFilePath(damaged)));
}

TEST_F(ReceiveBatch, CommandLinesAreAnsweredWithoutADisplay)
{
    struct Case {
        const char* program;
        QStringList arguments;
        int exitCode;
        const char* outStart;     // what standard output starts with ("" for nothing)
        const char* errHas;       // a text standard error holds ("" for nothing)
    };
    const QString version = QStringLiteral(ZARV_VERSION);
    const std::vector<Case> cases = {
        {ZARV_RECEIVE_PROGRAM, {"--help"}, 0, "Usage: ", ""},
        {ZARV_RECEIVE_PROGRAM, {"-h"}, 0, "Usage: ", ""},
        {ZARV_RECEIVE_PROGRAM, {"--help-all"}, 0, "Usage: ", ""},
        {ZARV_RECEIVE_PROGRAM, {"--version"}, 0, "zarvreceive ", ""},
        {ZARV_PROGRAM, {"--help"}, 0, "Usage: ", ""},
        {ZARV_PROGRAM, {"--version"}, 0, "zarv ", ""},
        {ZARV_PROGRAM, {"--batch", "x"}, kBadCommandLine, "", "Unknown option 'batch'"},
        {ZARV_RECEIVE_PROGRAM, {"--bogus"}, kBadCommandLine, "", "Unknown option 'bogus'"},
        {ZARV_RECEIVE_PROGRAM, {"--batch"}, kBadCommandLine, "", "--batch needs at least one workbook or folder"},
        {ZARV_RECEIVE_PROGRAM, {"MortNo0.xlsx", "MortNo1.xlsx"}, kBadCommandLine, "", "unexpected argument 'MortNo1.xlsx'"},
        {ZARV_RECEIVE_PROGRAM, {"--batch", path("none")}, kBadCommandLine, "", "no such workbook or folder"},
    };
    for (const Case& c : cases) {
        const ProgramRun r = run(c.program, c.arguments);
        const std::string what = QFileInfo(c.program).fileName().toStdString() + " " + c.arguments.join(' ').toStdString();
        EXPECT_EQ(r.exitCode, c.exitCode) << what << "\n" << r.err.toStdString();
        if (*c.outStart)
            EXPECT_TRUE(!r.out.isEmpty() && r.out.first().startsWith(c.outStart)) << what << ": " << r.out.join('\n').toStdString();
        else
            EXPECT_TRUE(r.out.isEmpty()) << what << ": " << r.out.join('\n').toStdString();
        EXPECT_TRUE(r.err.contains(c.errHas)) << what << ": " << r.err.toStdString();
        if (c.arguments == QStringList{"--version"}) {
            EXPECT_EQ(r.out, QStringList{QFileInfo(c.program).fileName() + " " + version});
        }
        if (c.arguments == QStringList{"--help"} && QString(c.program).endsWith("zarvreceive")) {
            EXPECT_TRUE(r.out.join('\n').contains("--batch")) << what;
        }
    }
}

} // namespace
} // namespace zarv::test
