// The About box: version data, the colour cycle, the sweep, the credits, System
// Info and the print of the form.
#include "shell_fixture.h"

#include "platform/files/filesys.h"
#include "platform/forms/formcolours.h"
#include "services/activitylog.h"
#include "shell/About.h"
#include "shell/formparts.h"
#include "shell/startup.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QSysInfo>
#include <QTimer>

using namespace zarv;
using namespace zarv::test;
using ui::Buttons;
using ui::Icon;

namespace {

class AboutTest : public ShellTest {};

TEST(AboutPickColor, FollowsTheCycleAndFallsBackToWhite)
{
    const std::pair<long, long> cycle[] = {
        {0xFFFFFF, 0xC0C0FF}, {0xC0C0FF, 0xC0E0FF}, {0xC0E0FF, 0xC0FFFF}, {0xC0FFFF, 0xC0FFC0},
        {0xC0FFC0, 0xFFFFC0}, {0xFFFFC0, 0xFFC0C0}, {0xFFC0C0, 0xFFC0FF}, {0xFFC0FF, 0xE0E0E0},
        {0xE0E0E0, 0x8080FF}, {0x8080FF, 0x80C0FF}, {0x80C0FF, 0x80FFFF}, {0x80FFFF, 0x80FF80},
        {0x80FF80, 0xFFFF80}, {0xFFFF80, 0xFF8080}, {0xFF8080, 0xFF80FF}, {0xFF80FF, 0xC0C0C0},
        {0xC0C0C0, 0xFF},     {0xFF, 0x80FF},       {0x80FF, 0xFFFF},     {0xFFFF, 0xFF00},
        {0xFF00, 0xFFFF00},   {0xFFFF00, 0xFF0000}, {0xFF0000, 0xFF00FF}, {0xFF00FF, 0xFFFFFF},
        {0, 0xFFFFFF},        {0x123456, 0xFFFFFF},
    };
    for (const auto& [current, next] : cycle)
        EXPECT_EQ(About::PickColor(QString::number(current)), QString::number(next)) << std::hex << current;
    EXPECT_EQ(About::PickColor(QStringLiteral("not a colour")), QString::number(0xFFFFFF));
    EXPECT_EQ(About::PickColor(QStringLiteral("1E400")), QString::number(0xFFFFFF));
}

TEST_F(AboutTest, ShowsTheProgramsVersionDataUntilOk)
{
    About about;
    EXPECT_EQ(about.windowTitle(), QStringLiteral("ZARV - About"));
    EXPECT_EQ(about.lblVersion->text(), QStringLiteral("Version 1.0.0"));
    EXPECT_EQ(about.lblTitle->text(), QStringLiteral("ZARV"));
    EXPECT_FALSE(about.lblDescription->text().isEmpty());
    EXPECT_EQ(about.lblDisclaimer->text(),
              QStringLiteral("Note: An installation is needed for this program to work. No shortcuts..."));
    EXPECT_EQ(about.cmdSysInfo->text(), QStringLiteral("&System Info..."));
    EXPECT_EQ(about.Picture_Printer->toolTip(),
              QStringLiteral("Screen Print! Click on this image to print this form."));
    EXPECT_TRUE(about.Timer1->isActive());
    EXPECT_FALSE(about.Timer2->isActive());
    // The credits wait below the visible area.
    EXPECT_EQ(about.Label65Top(), 13600);
    EXPECT_GT(about.Label65->y(), about.height());

    // OK closes the box.
    about.show();
    click(about.cmdOK);
    EXPECT_FALSE(about.isVisible());
    EXPECT_EQ(about.result(), QDialog::Accepted);
    EXPECT_FALSE(about.Timer1->isActive());
}

TEST_F(AboutTest, TheIconBringsTheCreditsThatPulseUntilTheNextClick)
{
    About about;
    about.show();
    const int yieldsBefore = ui().doEventsCount();
    click(about.picIcon);
    EXPECT_TRUE(about.Timer2->isActive());
    EXPECT_EQ(about.Label65Top(), 3600);
    EXPECT_EQ(about.Label65bTop(), 3900);
    EXPECT_LT(about.Label65b->y() + about.Label65b->height(), about.height() + 1);
    EXPECT_EQ(about.Label65b->font().pointSize(), 16);
    EXPECT_EQ(about.Label65bForeColor(), 0xFF00FF);    // magenta after the design blue
    EXPECT_EQ(ui::foreColour(about.Label65b), QColor(0xFF, 0x00, 0xFF));

    // One step a second: 18 .. 26, 26 once more, then 16 again; a new colour each step.
    const int sizes[] = {18, 20, 22, 24, 26, 26, 16, 18};
    long colour = about.Label65bForeColor();
    for (int size : sizes) {
        about.Timer2_Timer();
        EXPECT_EQ(about.Label65b->font().pointSize(), size);
        EXPECT_EQ(QString::number(about.Label65bForeColor()), About::PickColor(QString::number(colour)));
        colour = about.Label65bForeColor();
    }
    EXPECT_EQ(ui().doEventsCount() - yieldsBefore, 1 + int(std::size(sizes)));

    click(about.picIcon);
    EXPECT_FALSE(about.Timer2->isActive());
    EXPECT_EQ(about.Label65Top(), 17600);
    EXPECT_EQ(about.Label65bTop(), 17900);
    EXPECT_GT(about.Label65->y(), about.height());
}

TEST_F(AboutTest, TheSweepTurnsAtItsEndsAndChangesColour)
{
    About about;
    about.Timer1->stop();
    LineShape& line = *about.Line2;
    EXPECT_EQ(line.x1(), 150);
    EXPECT_EQ(line.borderColor(), 0x00FF00);

    about.Timer1_Timer();
    EXPECT_EQ(line.x1(), 160);
    EXPECT_EQ(line.x2(), 285);
    EXPECT_EQ(line.y1(), 2895);

    line.setLine(5601, line.y1(), line.x2(), line.y2());
    about.Timer1_Timer();    // past 5600 moving right: turns, no move
    EXPECT_EQ(line.tag, QStringLiteral("Go Left"));
    EXPECT_EQ(line.x1(), 5601);
    EXPECT_EQ(line.x2(), 5726);
    EXPECT_EQ(line.borderColor(), 0xFFFF00);
    about.Timer1_Timer();
    EXPECT_EQ(line.x1(), 5591);

    line.setLine(99, line.y1(), line.x2(), line.y2());
    about.Timer1_Timer();    // below 100 moving left: turns again
    EXPECT_EQ(line.tag, QString());
    EXPECT_EQ(line.x1(), 99);
    EXPECT_EQ(line.borderColor(), 0xFF0000);
    about.Timer1_Timer();
    EXPECT_EQ(line.x1(), 109);
    EXPECT_EQ(line.x2(), 234);
}

TEST_F(AboutTest, WithoutAWorkingProgramSystemInfoShowsWhatTheSystemIs)
{
    // The box names the system, the folders the program uses, why no program
    // ran, and where one is named.
    const std::pair<QByteArray, QString> settings[] = {
        {"", QStringLiteral("No system-information program is named")},
        {"[About]\nSystemInfo=\n", QStringLiteral("No system-information program is named")},
        {"[About]\nSystemInfo=/nonexistent/msinfo32 --all\n",
         QStringLiteral("/nonexistent/msinfo32 could not be started")},
    };
    for (const auto& [ini, why] : settings) {
        SCOPED_TRACE(ini.toStdString());
        writeSettings(ini);
        ui().expectBox(box(ui::containing(QSysInfo::prettyProductName()), ui::Answer::OK, Icon::Information,
                           Buttons::OK, QStringLiteral("System Information")));
        About about;
        click(about.cmdSysInfo);
        ASSERT_TRUE(ui().allExpectationsMet());
        const QString prompt = ui().boxes().back().prompt;
        for (const QString& part : {why, QStringLiteral("Qt ") + QString::fromLatin1(qVersion()),
                                    QDir::toNativeSeparators(fs::dataFolder()),
                                    QDir::toNativeSeparators(ActivityLogPath()),
                                    QStringLiteral("SystemInfo under [About] in ") +
                                        QDir::toNativeSeparators(path(QStringLiteral("zarv.ini")))})
            EXPECT_TRUE(prompt.contains(part)) << prompt.toStdString() << "\nlacks " << part.toStdString();
    }
}

// The program started keeps nothing of ZARV's open: while it stays up after
// ZARV has ended, the next copy still takes the data folder.
TEST_F(AboutTest, SystemInfoStartsTheConfiguredProgramWithoutWaiting)
{
    const QString marker = path(QStringLiteral("started"));
    // It stays up until its marker goes: at the end of the test, or with the test's folder.
    const QString script = QStringLiteral("#!/bin/sh\necho \"$1\" > '%1'\ni=0\n"
                                          "while [ -e '%1' ] && [ $i -lt 600 ]; do sleep 0.05; i=$((i+1)); done\n")
                               .arg(marker);
    const QString program = writeFile(QStringLiteral("sysinfo.sh"), script.toUtf8());
    ASSERT_TRUE(QFile::setPermissions(program, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
    writeSettings(QStringLiteral("[About]\nSystemInfo=%1 --summary\n").arg(program).toUtf8());
    std::unique_ptr<fs::FolderLock> lock = claimDataFolder(folder(), QStringLiteral("zarv"), nullptr);
    About about;
    click(about.cmdSysInfo);
    EXPECT_TRUE(ui().boxes().empty());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !readFile(marker).isEmpty(); }, 3000));
    EXPECT_EQ(readFile(marker), QByteArray("--summary\n"));
    lock.reset();
    EXPECT_NE(claimDataFolder(folder(), QStringLiteral("zarv"), nullptr), nullptr);
    QFile::remove(marker);
}

TEST_F(AboutTest, PrintingWithoutAPrinterWritesAPdfBesideTheDataFileAndSaysWhere)
{
    const QString work = makeFolder(QStringLiteral("work"));
    setZarvSystem(QStringLiteral("/"), work, QStringLiteral("Zarvdata.csv"));
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(makeFolder(QStringLiteral("elsewhere"))));
    qputenv("ZARV_FORCE_PDF", "1");
    const QString pdf = work + QStringLiteral("/About ZARV.pdf");
    ui().expectPrint(QStringLiteral("About ZARV"));
    ui().expectBox(box(QStringLiteral("The About form was saved as ") + pdf,
                               ui::Answer::OK, Icon::Information, Buttons::OK, QStringLiteral("About ZARV")));
    {
        About about;
        about.show();
        click(about.Picture_Printer);
    }
    qunsetenv("ZARV_FORCE_PDF");
    QDir::setCurrent(previous);
    const QByteArray bytes = readFile(pdf);
    EXPECT_TRUE(bytes.startsWith("%PDF")) << bytes.left(16).toStdString();
    EXPECT_GT(bytes.size(), 1000);
    // Nothing half written is left beside it.
    EXPECT_EQ(QDir(work).entryList(QDir::Files), QStringList{"About ZARV.pdf"});
    EXPECT_EQ(QDir(path(QStringLiteral("elsewhere"))).entryList(QDir::Files), QStringList());
}

} // namespace
