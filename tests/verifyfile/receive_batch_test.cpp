// zarvreceive --batch: a folder of returned workbooks checked without a
// window, each with its own verified file and list of errors, the same as the
// receiving screen's; and both programs' --help and --version.
#include "verify_return_support.h"

#include "platform/files/textfile.h"
#include "shell/commandline.h"
#include "shell/receivebatch.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>

namespace zarv::test {
namespace {

struct ProgramRun {
    int exitCode = -1;
    QStringList out;
    QString err;
};

class ReceiveBatch : public ReturnScreenTest {
protected:
    QString folderOfTwo()
    {
        const QString returnedFolder = path("returned");
        QDir().mkpath(returnedFolder);
        Book clean = nineReturnedRecords();
        clean.mortgage.resize(3);          // rows 2 and 3 only
        writeBook(QDir(returnedFolder).filePath("MortNo1.xlsx"), clean);
        writeBook(QDir(returnedFolder).filePath("MortNo2.xlsx"), nineReturnedRecords());
        writeFile("returned/notes.txt", "not a workbook");
        return returnedFolder;
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

    static QStringList recordNumbers(const QByteArray& verified)
    {
        QStringList numbers;
        for (const QByteArray& record : verified.split('\n')) {
            if (record.isEmpty())
                continue;
            EXPECT_EQ(record.size(), 302);     // 301 characters and the CR
            numbers << QString::fromLatin1(record.mid(5, 12).trimmed());
        }
        return numbers;
    }
};

TEST_F(ReceiveBatch, AFolderOfTwoWorkbooksWithoutADisplayWritesBothVerifiedFilesAndFailsForTheOneWithErrors)
{
    const QString folder = folderOfTwo();
    const ProgramRun r = run(ZARV_RECEIVE_PROGRAM, {"--batch", folder});

    EXPECT_EQ(r.exitCode, kBatchErrors) << r.err.toStdString();
    ASSERT_EQ(r.out.size(), 2) << r.out.join('\n').toStdString() << r.err.toStdString();
    const QString one = QDir(folder).filePath("MortNo1.xlsx");
    const QString two = QDir(folder).filePath("MortNo2.xlsx");
    EXPECT_TRUE(r.out[0].startsWith(one + ": OK: 2 records read")) << r.out[0].toStdString();
    EXPECT_TRUE(r.out[1].startsWith(two + ": ERRORS: 9 records read")) << r.out[1].toStdString();
    EXPECT_EQ(recordNumbers(readFile(QDir(folder).filePath("MortNo1_VERIFIED.zarv"))), QStringList({"100", "101"}));
    EXPECT_EQ(recordNumbers(readFile(QDir(folder).filePath("MortNo2_VERIFIED.zarv"))),
              QStringList({"100", "101", "105"}));
    EXPECT_EQ(readFile(QDir(folder).filePath("MortNo1_ERRORS.txt")), "");
    EXPECT_EQ(readFile(QDir(folder).filePath("MortNo2_ERRORS.txt")).count("\r\n"), 6);
}

TEST_F(ReceiveBatch, ListsTheSameErrorsAsTheScreenAndKeepsNoStaleVerifiedFile)
{
    const QString folder = folderOfTwo();
    const QString workbook = QDir(folder).filePath("MortNo2.xlsx");
    QString out;
    QString err;
    QTextStream outStream(&out);
    QTextStream errStream(&err);
    EXPECT_EQ(RunReceiveBatch({workbook}, outStream, errStream), kBatchErrors) << err.toStdString();
    EXPECT_EQ(out.count('\n'), 1);
    QStringList listed;
    ASSERT_TRUE(fs::readAllLines(BatchErrorsFilePath(workbook), listed));

    QFile::copy(workbook, QDir(emailFolder()).filePath("MortNo2.xlsx"));
    Verify_Return& s = open();
    load("MortNo2.xlsx");
    EXPECT_EQ(listed, s.reportLines());

    // The same workbook sent again with every record in error: its earlier
    // verified file goes, the list says why.
    Book allBad = nineReturnedRecords();
    allBad.jurisdictions.resize(1);
    allBad.mortgage.erase(allBad.mortgage.begin() + 6);
    writeBook(workbook, allBad);
    out.clear();
    EXPECT_EQ(RunReceiveBatch({workbook}, outStream, errStream), kBatchErrors);
    EXPECT_FALSE(QFileInfo::exists(BatchVerifiedFilePath(workbook)));
    EXPECT_TRUE(out.contains("No verified file is written.")) << out.toStdString();

    // A workbook that cannot be read: its failure is its list of errors.
    const QString damaged = writeFile("returned/MortNo3.xlsx", "PK not a workbook");
    ui().expectBox(criticalBox(ui::containing("Error Xls2Mdb(")));
    out.clear();
    EXPECT_EQ(RunReceiveBatch({damaged}, outStream, errStream), kBatchErrors);
    EXPECT_TRUE(out.startsWith(QDir::toNativeSeparators(damaged) + ": ERRORS: No verified file is written.")) << out.toStdString();
    listed.clear();
    ASSERT_TRUE(fs::readAllLines(BatchErrorsFilePath(damaged), listed));
    // The load's failure, its cause first and then its step, and the line that nothing is uploaded.
    ASSERT_EQ(listed.size(), 3) << listed.join('|').toStdString();
    EXPECT_TRUE(listed[1].startsWith("Error Xls2Mdb(")) << listed[1].toStdString();
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
