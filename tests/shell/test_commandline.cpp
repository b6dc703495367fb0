// The command lines of both programs as a desktop and a clerk give them.
#include "shell/commandline.h"

#include <QDir>
#include <gtest/gtest.h>

using namespace zarv;

namespace {

TEST(CommandLine, AFileIsOpenedAndQtsOwnOptionsAreLeftToQt)
{
    struct Case {
        Program program;
        QStringList arguments;      // after the program's name
        std::optional<int> exitCode;
        QString file;               // relative to the current folder; "" for none
        bool batch;
    };
    const std::vector<Case> cases = {
        {Program::Zarv, {}, std::nullopt, "", false},
        {Program::Zarv, {"Zarvdata.csv"}, std::nullopt, "Zarvdata.csv", false},
        {Program::Zarv, {"-platform", "offscreen", "MortNo1.xlsx"}, std::nullopt, "MortNo1.xlsx", false},
        {Program::Zarv, {"-style=fusion", "--platform", "xcb", "-reverse", "Zarvdata.csv"}, std::nullopt,
         "Zarvdata.csv", false},
        {Program::Zarv, {"-style", "fusion"}, std::nullopt, "", false},
        {Program::Zarv, {"a.csv", "b.csv"}, kBadCommandLine, "", false},
        {Program::Zarv, {"-bogus"}, kBadCommandLine, "", false},
        {Program::Receive, {"MortNo1.xlsx"}, std::nullopt, "MortNo1.xlsx", false},
        {Program::Receive, {"-platform", "offscreen", "--batch", "a.xlsx", "b"}, std::nullopt, "", true},
        {Program::Receive, {"a.xlsx", "b.xlsx"}, kBadCommandLine, "", false},
    };
    for (const Case& c : cases) {
        const CommandLine line = ReadCommandLine(c.program, QStringList{"/usr/bin/zarv"} + c.arguments);
        const std::string what = c.arguments.join(' ').toStdString();
        EXPECT_EQ(line.exitCode, c.exitCode) << what;
        EXPECT_EQ(line.file, c.file.isEmpty() ? QString() : QDir::current().absoluteFilePath(c.file)) << what;
        EXPECT_EQ(line.batch, c.batch) << what;
    }
}

} // namespace
