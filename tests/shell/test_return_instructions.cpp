// The return-instruction screens: the total, the path and the address they show,
// and the copy to the folders that stand for diskette drives A: and B:.
#include "env/tablerows.h"
#include "shell_fixture.h"

#include "platform/data/connection.h"
#include "shell/ZARV_ReturnInstructions.h"
#include "shell/ZARV_ReturnInstructions2.h"

#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <csignal>
#include <sys/resource.h>

using namespace zarv;
using namespace zarv::test;
using ui::Buttons;
using ui::Icon;

namespace {

const QString kNotReady = QStringLiteral("If you are not ready to return the data, exit and continue later...");

// Records each change of a button's enabled state.
class EnabledLog : public QObject {
public:
    explicit EnabledLog(QWidget* w) { w->installEventFilter(this); }
    std::vector<bool> states;

protected:
    bool eventFilter(QObject* o, QEvent* e) override
    {
        if (e->type() == QEvent::EnabledChange)
            states.push_back(static_cast<QWidget*>(o)->isEnabled());
        return false;
    }
};

QByteArray someBytes(int size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (char& c : bytes)
        c = char(QRandomGenerator::global()->bounded(256));
    return bytes;
}

class ReturnTest : public ShellTest {
protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        a_ = makeFolder(QStringLiteral("A"));
        b_ = makeFolder(QStringLiteral("B"));
        writeSettings(QStringLiteral("[Return]\nEmail=returns@brenhallow.example\n[Drives]\nA=%1\nB=%2\n")
                          .arg(a_, b_)
                          .toUtf8());
        data_ = makeFolder(QStringLiteral("data"));
        payload_ = someBytes(300 * 1024);
        source_ = writeFile(QStringLiteral("data/Zarvdata.csv"), payload_);
        setZarvSystem(QStringLiteral("/"), data_, QStringLiteral("Zarvdata.csv"));
    }

    void addGroup(const QString& mortco, double total)
    {
        addRow(de().rsGroup(), {{"GROUP", mortco}, {"MORTCO", mortco}, {"TOT_PAY", total}});
    }

    static void expectButtonsBack(const ZARV_ReturnInstructions& s)
    {
        EXPECT_TRUE(s.Command_DriveA->isEnabled());
        EXPECT_TRUE(s.Command_DriveB->isEnabled());
        EXPECT_TRUE(s.Command_Exit->isEnabled());
    }

    QString a_, b_, data_, source_;
    QByteArray payload_;
};

QStringList labelTexts(const QWidget& w)
{
    QStringList out;
    for (const QLabel* l : w.findChildren<QLabel*>())
        out.append(l->text());
    return out;
}

TEST_F(ReturnTest, ShowsTheTotalThePathAndTheAddressAndExitLeavesTheEndToTheRun)
{
    addGroup(QStringLiteral("0001"), 1000000.25);
    addGroup(QStringLiteral("0002"), 0.25);
    ZARV_ReturnInstructions s;
    EXPECT_EQ(s.windowTitle(), QStringLiteral("ZARV - Return the Payment Data"));
    EXPECT_EQ(s.Label_Email->text(), QStringLiteral("returns@brenhallow.example"));
    EXPECT_EQ(s.Text_Msg->text(), kNotReady);
    // The group recordset is left on its first row.
    EXPECT_EQ(de().rsGroup().text("MORTCO"), QStringLiteral("0001"));

    const QStringList texts = labelTexts(s);
    for (const char* t : {"IMPORTANT, before you return the ZARV data to", "Velmoran - Brenhallow",
                          "1. Compare that cheque amount agrees with payment amount", "Payment Amount",
                          "2. Return the Data by Email or to the original ZARV diskette",
                          "To return the ZARV data to the Velmoran", "you need to manually attach the",
                          "file to an Email note and send it to:", "Copy the ZARV data file", "To Zarvdata.csv", "or",
                          "or you can do the file copy manually!"})
        EXPECT_TRUE(texts.contains(QLatin1String(t))) << t;
    QStringList titles;
    for (const QGroupBox* g : s.findChildren<QGroupBox*>())
        titles.append(g->title());
    EXPECT_TRUE(titles.contains(QStringLiteral("< Return the ZARV data by Email") + QString(70, u' ')
                                + QStringLiteral("(Recommended)")));
    EXPECT_TRUE(titles.contains(QStringLiteral("< Return the ZARV data by the original ZARV diskette")
                                + QString(37, u' ') + QStringLiteral("(Optional)")));
    EXPECT_EQ(s.Command_DriveA->text(), QStringLiteral("Drive &A"));
    EXPECT_EQ(s.Command_DriveA->toolTip(),
              QStringLiteral("Ensure that the original ZARV diskette is in Drive A: (%1)").arg(a_));
    EXPECT_EQ(s.Command_DriveB->text(), QStringLiteral("Drive &B"));
    EXPECT_EQ(s.Command_DriveB->toolTip(),
              QStringLiteral("Ensure that the original ZARV diskette is in Drive B: (%1)").arg(b_));
    EXPECT_EQ(s.Command_Exit->text(), QStringLiteral("E&xit"));
    EXPECT_EQ(s.Command_Exit->toolTip(), QStringLiteral("Exit ZARV"));

    click(s.Command_Exit);
    EXPECT_FALSE(ui().ending());    // the run driver ends the program, not this screen
}

TEST_F(ReturnTest, TheTotalIsTheSumOfEveryGroupFormatted)
{
    struct Case {
        std::vector<double> totals;
        const char* shown;
    } cases[] = {
        {{}, "0.00"},
        {{12.5}, "12.50"},
        {{1234.565, 0.001}, "1,234.57"},
        {{100, -250.75}, "-150.75"},
        {{999999999.99, 0.01}, "1,000,000,000.00"},
        {{0.1, 0.2}, "0.30"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shown);
        de().Zarv.execute(QStringLiteral("DELETE FROM \"Group\""));
        de().rsGroup().requery();
        for (std::size_t i = 0; i < c.totals.size(); ++i)
            addGroup(QStringLiteral("%1").arg(i, 4, 10, QLatin1Char('0')), c.totals[i]);
        ZARV_ReturnInstructions s;
        EXPECT_EQ(s.Label_Payment->text(), QLatin1String(c.shown));
    }
}

// Both screens show the remembered file with one separator before its name,
// or that it is unknown; a drive then finds no file to copy.
TEST_F(ReturnTest, ThePathHasOneSeparatorOrIsUnknown)
{
    const std::pair<QString, QString> cases[] = {
        {QStringLiteral("/"), QStringLiteral("/Zarvdata.csv")},
        {QStringLiteral("/srv/zarv/"), QStringLiteral("/srv/zarv/Zarvdata.csv")},
        {QStringLiteral("/srv/zarv"), QStringLiteral("/srv/zarv/Zarvdata.csv")},
        {QString(), QStringLiteral("??? UNKNOWN ???")},
    };
    for (const auto& [dir, shown] : cases) {
        SCOPED_TRACE(shown.toStdString());
        if (dir.isEmpty()) {
            de().Zarv.execute(QStringLiteral("DELETE FROM ZarvSystem"));
            de().rsZarvSystem().requery();
        } else {
            setZarvSystem(QStringLiteral("/"), dir, QStringLiteral("Zarvdata.csv"));
        }
        ZARV_ReturnInstructions s;
        EXPECT_EQ(s.Label_FileName->text(), shown);
        EXPECT_EQ(s.Label_FileName2->text(), shown);
        EXPECT_EQ(ZARV_ReturnInstructions2().Label_FileName->text(), shown);
        if (dir.isEmpty()) {
            click(s.Command_DriveA);
            EXPECT_EQ(s.Text_Msg->text(), QStringLiteral("File ??? UNKNOWN ??? is NOT found?. Copy FAILED!"));
            EXPECT_EQ(ui().beeps(), 1);
        }
    }
}

struct DriveCase {
    const char* name;
    bool driveB;
    const char* copied;
    const char* already;
    const char* failureStatus;
    const char* failureBox;
};

// The texts name the folder that stands for the drive: %1 is the file there, %2
// the folder in brackets, or that it is missing.
const DriveCase kDrives[] = {
    {"A", false, "ZARV data file is copied to A:\\Zarvdata.csv (%1)",
     "The ZARV data file is already at A:\\Zarvdata.csv (%1)",
     "Unexpected error occurred! Ensure that the ZARV diskette is in Drive A: %2",
     "Unexpected error occurred: \r\nEnsure that the ZARV diskette is in Drive A: %2"},
    {"B", true, "ZARV data file is copied to B:\\Zarvdata.csv (%1)",
     "The ZARV data file is already at  B:\\Zarvdata.csv (%1)",
     "Unexpected error occurred! Ensure that the ZARV diskette is in Drive B: %2",
     "Unexpected error occurred: \r\nEnsure that the ZARV diskette is in Drive B: %2"},
};

class DriveCopyTest : public ReturnTest, public ::testing::WithParamInterface<DriveCase> {
protected:
    QString folderOfDrive() const { return GetParam().driveB ? b_ : a_; }
    QString otherFolder() const { return GetParam().driveB ? a_ : b_; }
    QString target() const { return folderOfDrive() + QStringLiteral("/Zarvdata.csv"); }
    QPushButton* button(ZARV_ReturnInstructions& s) const
    {
        return GetParam().driveB ? s.Command_DriveB : s.Command_DriveA;
    }
    QStringList filesOnDrive() const { return QDir(folderOfDrive()).entryList(QDir::Files | QDir::Hidden); }
    // A text of the case with the drive's file and folder put in.
    QString text(const char* pattern, const QString& file = {}, bool folderMissing = false) const
    {
        const QString folderNote = folderMissing
                                       ? QStringLiteral("(the folder %1 is missing)").arg(folderOfDrive())
                                       : QStringLiteral("(%1)").arg(folderOfDrive());
        return QString::fromLatin1(pattern)
            .replace(QStringLiteral("%1"), file.isEmpty() ? target() : file)
            .replace(QStringLiteral("%2"), folderNote);
    }
};

TEST_P(DriveCopyTest, TheFileArrivesWholeInPlaceOfAnOlderOne)
{
    writeFile(target().mid(folder().size() + 1), "OLD DISKETTE DATA\r\n");
    ZARV_ReturnInstructions s;
    EnabledLog log(s.Command_Exit);
    click(button(s));
    EXPECT_EQ(s.Text_Msg->text(), text(GetParam().copied));
    EXPECT_EQ(readFile(target()), payload_);
    EXPECT_EQ(filesOnDrive(), QStringList{"Zarvdata.csv"});    // no temporary file left
    EXPECT_EQ(log.states, (std::vector<bool>{false, true}));    // disabled while copying
    expectButtonsBack(s);
    EXPECT_GE(ui().doEventsCount(), 1);

    // Copying again, or to the other drive too, is allowed.
    click(button(s));
    EXPECT_EQ(readFile(target()), payload_);
}

// No diskette, a write-protected one, and one that fills up half way: the
// status line and a critical box name the drive, and the diskette keeps what
// it held, without a temporary file.
TEST_P(DriveCopyTest, AFailedCopyIsReportedAndLeavesTheDisketteAsItWas)
{
    using Copy = std::function<void()>;
    const struct {
        const char* what;
        bool folderMissing;
        std::function<void(const Copy&)> copyWith;
    } cases[] = {
        {"no diskette", true, [&](const Copy& copy) {
             QDir(folderOfDrive()).removeRecursively();
             copy();
         }},
        {"write-protected", false, [&](const Copy& copy) {
             ASSERT_TRUE(QFile::setPermissions(target(), QFileDevice::ReadOwner | QFileDevice::ReadGroup));
             copy();
             QFile::setPermissions(target(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
         }},
        // No file may grow past 64 KiB while the copy runs.
        {"full half way", false, [&](const Copy& copy) {
             rlimit saved{};
             ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
             const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
             rlimit small = saved;
             small.rlim_cur = 64 * 1024;
             ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
             copy();
             setrlimit(RLIMIT_FSIZE, &saved);
             std::signal(SIGXFSZ, previousHandler);
         }},
    };
    const QByteArray old = "OLD DISKETTE DATA\r\n";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ui().reset();
        writeFile(target().mid(folder().size() + 1), old);
        ui().expectBox(box(text(GetParam().failureBox, {}, c.folderMissing), ui::Answer::OK, Icon::Critical,
                           Buttons::OK, QStringLiteral("ZARV")));
        ZARV_ReturnInstructions s;
        c.copyWith([&] { click(button(s)); });
        EXPECT_EQ(s.Text_Msg->text(), text(GetParam().failureStatus, {}, c.folderMissing));
        EXPECT_EQ(readFile(target()), c.folderMissing ? QByteArray() : old);
        EXPECT_EQ(filesOnDrive(), c.folderMissing ? QStringList() : QStringList{"Zarvdata.csv"});
        expectButtonsBack(s);
        EXPECT_TRUE(ui().clean()) << ui().report().toStdString();
    }
}

TEST_P(DriveCopyTest, AFileOnTheDisketteItselfIsNotCopiedOntoItself)
{
    // Chosen on the diskette, named in another letter case.
    const QString onDiskette = writeFile(folderOfDrive().mid(folder().size() + 1) + QStringLiteral("/zarvdata.CSV"),
                                         payload_);
    setZarvSystem(QStringLiteral("/"), folderOfDrive(), QStringLiteral("zarvdata.CSV"));
    ZARV_ReturnInstructions s;
    EXPECT_EQ(s.Text_Msg->text(), QStringLiteral("Please NOTE that the zarv data is already on the floppy diskette!"));
    click(button(s));
    EXPECT_EQ(s.Text_Msg->text(), text(GetParam().already, onDiskette));
    EXPECT_EQ(filesOnDrive(), QStringList{"zarvdata.CSV"});
    expectButtonsBack(s);

    // The other drive takes it without complaint.
    click(GetParam().driveB ? s.Command_DriveA : s.Command_DriveB);
    EXPECT_EQ(readFile(otherFolder() + QStringLiteral("/Zarvdata.csv")), payload_);
    EXPECT_EQ(readFile(onDiskette), payload_);
}

TEST_P(DriveCopyTest, AMissingOrEmptyDataFileIsNotCopied)
{
    for (const bool empty : {true, false}) {
        SCOPED_TRACE(empty ? "empty" : "missing");
        if (empty)
            writeFile(QStringLiteral("data/Zarvdata.csv"), QByteArray());
        else
            QFile::remove(source_);
        ui().reset();
        ZARV_ReturnInstructions s;
        click(button(s));
        EXPECT_EQ(s.Text_Msg->text(), QStringLiteral("File ") + source_ + QStringLiteral(" is NOT found?. Copy FAILED!"));
        EXPECT_EQ(ui().beeps(), 1);
        EXPECT_TRUE(ui().boxes().empty());
        EXPECT_FALSE(QFileInfo::exists(target()));
        expectButtonsBack(s);
    }
}

INSTANTIATE_TEST_SUITE_P(Drives, DriveCopyTest, ::testing::ValuesIn(kDrives),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ReturnTest, TheVerificationScreenShowsThePathAndTheAddress)
{
    setZarvSystem(QStringLiteral("/"), data_, QStringLiteral("MortNo1234.xlsx"));
    ZARV_ReturnInstructions2 s;
    EXPECT_EQ(s.windowTitle(), QStringLiteral("ZARV (Mortgage Number Verification) - Return the Workbook"));
    EXPECT_EQ(s.Label_Email->text(), QStringLiteral("returns@brenhallow.example"));
    EXPECT_EQ(s.Text_Msg->text(), kNotReady);
    EXPECT_EQ(s.findChild<QGroupBox*>()->title(), QStringLiteral("< Return the Folio Verification File by Email >"));
    const QStringList texts = labelTexts(s);
    for (const char* t : {"When you are finished verifying the folio mortgage numbers please return the Folio "
                          "Verification File back to",
                          "the Velmoran - Brenhallow by manually attaching the", "file to an Email note and send it to:"})
        EXPECT_TRUE(texts.contains(QLatin1String(t))) << t;
    EXPECT_EQ(s.Command_Exit->toolTip(), QStringLiteral("Exit ZARV"));
}

} // namespace
