// A whole payment run from the start screen: choose the file, load it, (edit),
// save it back with its backup copy, return instructions, end.
#include "shell_fixture.h"
#include "faults.h"

#include "payments/Group.h"
#include "shell/ZARV_ReturnInstructions.h"

#include <QDate>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

using namespace zarv;
using namespace zarv::test;
using ui::Answer;
using ui::Buttons;
using ui::Icon;
using ui::containing;

namespace {

class PaymentRunTest : public ShellTest {
protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        data_ = makeFolder(QStringLiteral("data"));
        sample_ = sample(QStringLiteral("Zarvdata.csv"));
        ASSERT_FALSE(sample_.isEmpty());
    }
    void TearDown() override
    {
        setPaymentEditing({});
        ShellTest::TearDown();
    }

    // The clerk's edit of a run: the first payment gets another legal description.
    void editFirstLegal(const QString& legal)
    {
        db::Recordset& detail = de().rsDetail();
        detail.setFilter(QString());
        detail.moveFirst();
        detail.setValue("LEGAL", legal);
        detail.move(0);
    }

    // The sample with its year replaced.
    QByteArray sampleOfYear(int year) const
    {
        QByteArray bytes = sample_;
        const int end = bytes.indexOf("\r\n");
        return "ZARV DATA FOR YEAR " + QByteArray::number(year) + bytes.mid(end);
    }

    std::unique_ptr<ZarvPayment> start(const QString& file = QStringLiteral("Zarvdata.csv"))
    {
        auto w = startOn(data_, file);
        EXPECT_EQ(w->File->fileName(), file);
        return w;
    }
    // The return instructions follow and are left by Exit; the file they name is kept.
    void expectInstructions()
    {
        expectScreen<ZARV_ReturnInstructions>([this](ZARV_ReturnInstructions& r) {
            shownPath_ = r.Label_FileName->text();
            shownPath2_ = r.Label_FileName2->text();
            r.Command_Exit->click();
        });
    }
    // The save fails and the clerk types another name, where the data go.
    void expectSavedElsewhere(const ui::TextMatch& failure, const QString& typed, const QString& elsewhere)
    {
        ui().expectBox(box(failure, Answer::OK, Icon::Critical, Buttons::OK,
                           QStringLiteral("ZARV Data Save")));
        ui().expectInput(QStringLiteral("File Save failed. Do you want to try to save to a different file name"),
                         typed);
        ui().expectBox(containing(QStringLiteral("The ZARV data is saved to ") + elsewhere));
        expectInstructions();
    }

    QString data_;
    QByteArray sample_;
    QString shownPath_;
    QString shownPath2_;
};

// A session that changed nothing leaves the file, its backup and everything
// beside it as they were; the return instructions still show the file.
TEST_F(PaymentRunTest, ASessionThatChangesNothingLeavesTheFileAndItsBackupAsTheyAre)
{
    const QString file = writeFile(QStringLiteral("data/Zarvdata.csv"), sample_);
    const QByteArray oldBackup = "the backup of an earlier session\r\n";
    writeFile(QStringLiteral("data/Zarvdata.bak"), oldBackup);
    auto w = start();
    ASSERT_TRUE(w->Command_OK->isEnabled());

    bool edited = false;
    setPaymentEditing([&] {
        edited = true;
        EXPECT_TRUE(ui().isParked(w.get()));
        EXPECT_EQ(de().rsGroup().recordCount(), 4);
    });
    expectInstructions();
    w->Command_OK->click();

    EXPECT_TRUE(edited);
    EXPECT_TRUE(ui().ending()) << "the run ends the program";
    EXPECT_EQ(readFile(file), sample_);
    EXPECT_EQ(readFile(path(QStringLiteral("data/Zarvdata.bak"))), oldBackup);
    EXPECT_EQ(QDir(data_).entryList(QDir::Files), QStringList({"Zarvdata.bak", "Zarvdata.csv"}));
    EXPECT_EQ(shownPath_, file);
    EXPECT_EQ(shownPath2_, file);
    EXPECT_EQ(de().rsZarvSystem().text("File"), QStringLiteral("Zarvdata.csv"));
    EXPECT_TRUE(w->Label_PleaseWait->isVisibleTo(w.get()));
}

// The file as first received is kept beside it once, before it is first
// replaced, and never again: after two sessions it still holds the received
// bytes, while the backup holds the file as the second session found it.
TEST_F(PaymentRunTest, TheClerksEditsAreSavedAndTheReceivedFileIsKept)
{
    const QString file = writeFile(QStringLiteral("data/Zarvdata.csv"), sample_);
    const QString received = path(QStringLiteral("data/Zarvdata.received.csv"));
    for (const QString& legal : {QStringLiteral("LOT 99 PLAN 1"), QStringLiteral("LOT 100 PLAN 2")}) {
        SCOPED_TRACE(legal.toStdString());
        const QByteArray before = readFile(file);
        ui().reset();
        auto w = start();
        setPaymentEditing([&] { editFirstLegal(legal); });
        expectScreen<ZARV_ReturnInstructions>();
        w->Command_OK->click();
        EXPECT_TRUE(ui().ending());
        EXPECT_TRUE(readFile(file).contains("," + legal.toLatin1() + "\r\n"));
        EXPECT_EQ(readFile(path(QStringLiteral("data/Zarvdata.bak"))), before);
        EXPECT_EQ(readFile(received), sample_) << "the received file is kept once and never replaced";
    }
}

// Close, Escape and the close box of the payment groups ask one question that
// names the file: Enter goes back to the groups, Yes saves and ends, No ends
// with the file as it was.
TEST_F(PaymentRunTest, EveryWayOutOfTheGroupsAsksToSaveToLeaveWithoutSavingOrToGoBack)
{
    const std::pair<const char*, std::function<void(Group&)>> ways[] = {
        {"Close", [](Group& g) { g.Command1->click(); }},
        {"Escape", [](Group& g) {
             g.TDBGrid->setFocus();
             clerk::key(Qt::Key_Escape);
         }},
        {"close box", [](Group& g) { g.close(); }},
    };
    for (const auto& [way, leave] : ways) {
        for (const Answer answer : {Answer::Yes, Answer::No}) {
            SCOPED_TRACE(std::string(way) + (answer == Answer::Yes ? ", save" : ", without saving"));
            ui().reset();
            const QString file = writeFile(QStringLiteral("data/Zarvdata.csv"), sample_);
            auto w = start();
            const auto question = containing(QStringLiteral("End the payment run on ") + QDir::toNativeSeparators(file));
            expectScreen<Group>([&](Group& g) {
                EXPECT_TRUE(ui().isParked(w.get()));
                clerk::activate(&g);
                editFirstLegal(QStringLiteral("LOT 99 PLAN 1"));
                ui().expectBoxEnter(question);
                leave(g);
                EXPECT_TRUE(g.isVisible()) << "Enter goes back to the groups";
                ui().expectBox(box(question, answer, Icon::Question, Buttons::YesNoCancel));
                leave(g);
                EXPECT_FALSE(g.isVisible());
            });
            if (answer == Answer::Yes)
                expectScreen<ZARV_ReturnInstructions>();
            w->Command_OK->click();
            EXPECT_TRUE(ui().ending());
            // What the clerk changed on the way is what the file gets.
            EXPECT_EQ(readFile(file).contains(",LOT 99 PLAN 1\r\n"), answer == Answer::Yes);
            EXPECT_TRUE(ui().clean()) << ui().report().toStdString();
        }
    }
}

TEST_F(PaymentRunTest, StopsLeaveTheStartScreenUsable)
{
    writeFile(QStringLiteral("data/empty.csv"), "");
    writeFile(QStringLiteral("data/Zarvdata.csv"), sample_);
    writeFile(QStringLiteral("data/broken.csv"), "NOT A PAYMENT FILE\r\n");

    // No file chosen.
    {
        auto w = startOn(data_, QString());
        w->File->setListIndex(-1);
        w->Command_OK_Click();
        EXPECT_EQ(w->Text_Msg->text(), QStringLiteral("Please select the Zarvdata.csv file"));
        EXPECT_TRUE(w->Command_OK->isEnabled());
        EXPECT_TRUE(w->Command_Exit->isEnabled());
    }
    // The chosen file went away before OK: the status line says which.
    {
        const QString gone = writeFile(QStringLiteral("data/gone.csv"), sample_);
        auto w = start(QStringLiteral("gone.csv"));
        QFile::remove(gone);
        w->Command_OK_Click();
        EXPECT_EQ(w->Text_Msg->text(), gone + QStringLiteral(" file not found"));
        EXPECT_TRUE(w->Command_OK->isEnabled());
    }
    // A file that is not a payment file: the load refuses it in one plain
    // message, and no second box follows.
    {
        auto w = start(QStringLiteral("broken.csv"));
        ui().expectBox(box(containing(QStringLiteral("Line 1: The file does not begin with the payment file's header")),
                           Answer::OK, Icon::Critical, Buttons::OK, ui::UiServices::appTitle()));
        w->Command_OK->click();
        EXPECT_EQ(w->Text_Msg->text(), QStringLiteral("ZARV Data Load FAILED (broken.csv)"));
        EXPECT_TRUE(w->Command_OK->isEnabled());
        EXPECT_FALSE(ui().ending());
    }
    // A file holding one payment twice: the box, the list and the status line name it.
    {
        const QString twice = writeFile(QStringLiteral("data/twice.csv"), withARepeatedPayment());
        auto w = start(QStringLiteral("twice.csv"));
        ui().expectIntake(containing(QStringLiteral("Repeat, line ")), true);
        ui().expectBox(box(QStringLiteral("ZARV Data Load FAILED (Duplicate Folios in the input file ") +
                               QDir::toNativeSeparators(twice) + u')',
                           Answer::OK, Icon::Critical, Buttons::OK, QStringLiteral("ZARV Data")));
        ui().expectModal(QStringLiteral("DuplicateFolios"), [](QDialog& d) {
            EXPECT_EQ(d.windowTitle(), QStringLiteral("ZARV - Duplicate Folios in twice.csv"));
            d.reject();
        });
        w->Command_OK->click();
        EXPECT_EQ(w->Text_Msg->text(), QStringLiteral("ZARV Data Load FAILED (Duplicate Folios in twice.csv)"));
        EXPECT_TRUE(ui().allExpectationsMet());
    }
    // The clerk stops a load that would cut a value: nothing more is said.
    {
        writeFile(QStringLiteral("data/wide.csv"),
                  "ZARV DATA FOR YEAR 2024\r\n\r\nFOLIO MASK INFORMATION\r\n70109###-###-###\r\n\r\n"
                  "PAYMENT GROUP INFORMATION\r\nAgency #,0001\r\nName1:,ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789\r\n");
        auto w = start(QStringLiteral("wide.csv"));
        ui().expectIntake(containing(QStringLiteral("Value cut")), false);
        w->Command_OK->click();
        EXPECT_EQ(w->Text_Msg->text(), QStringLiteral("Nothing was loaded"));
        EXPECT_TRUE(w->Command_OK->isEnabled());
    }
}

TEST_F(PaymentRunTest, YearGateRefusesOtherYearsOnlyWhenAskedTo)
{
    const int thisYear = QDate::currentDate().year();
    const QString file = writeFile(QStringLiteral("data/Zarvdata.csv"), sampleOfYear(thisYear - 1));
    auto w = start();
    const QString last = QString::number(thisYear - 1);
    ui().expectBox(box(QStringLiteral("The %1 data does not contain the current years payments!\r\n"
                                      "Year in the file = %2\r\nThis Year = %3\r\n\r\n"
                                      "If you want to view the historical ZARV data then under the 'Use Only "
                                      "Current Year Data' select the NO option")
                           .arg(file, last)
                           .arg(thisYear),
                       Answer::OK, Icon::Critical, Buttons::OK, QStringLiteral("ZARV Data")));
    w->Command_OK->click();
    EXPECT_EQ(w->Text_Msg->text(),
              "The " + file + " data does not contain the current years payments! Year = " + last);
    EXPECT_TRUE(w->Command_OK->isEnabled());
    EXPECT_FALSE(ui().ending());

    // With No, last year's data are edited and saved the same way.
    w->OptionNo->click();
    bool edited = false;
    setPaymentEditing([&] { edited = true; });
    expectScreen<ZARV_ReturnInstructions>();
    w->Command_OK->click();
    EXPECT_TRUE(edited);
    EXPECT_EQ(readFile(file), sampleOfYear(thisYear - 1));
    EXPECT_TRUE(ui().ending());
}

// A read-only file in a read-only folder, for a clerk who is not the
// superuser: the one message comes when the save has failed and says so; the
// save under another name says where it went, and the return instructions
// follow for that file.
TEST_F(PaymentRunTest, AReadOnlyFileInAReadOnlyFolderIsReportedTrulyAndSavedElsewhere)
{
    const QString folder = makeFolder(QStringLiteral("locked"));
    const QString file = writeFile(QStringLiteral("locked/Zarvdata.csv"), sample_);
    ASSERT_TRUE(QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther));
    const auto readAndEnter = QFileDevice::ReadOwner | QFileDevice::ExeOwner | QFileDevice::ReadGroup |
                              QFileDevice::ExeGroup | QFileDevice::ReadOther | QFileDevice::ExeOther;
    ASSERT_TRUE(QFile::setPermissions(folder, readAndEnter));
    data_ = folder;
    const QString elsewhere = path(QStringLiteral("saved/Zarvdata.csv"));
    makeFolder(QStringLiteral("saved"));
    {
        ObeyPermissions asAClerk;
        auto w = start();
        setPaymentEditing([&] {
            editFirstLegal(QStringLiteral("EDITED LEGAL"));
        });
        ui().expectBox(containing(QStringLiteral(" is READONLY.")), Answer::Yes);
        // The typed name is taken without its blanks.
        expectSavedElsewhere(containing(file + QStringLiteral(" could not be saved: ")),
                             QStringLiteral("  ") + elsewhere + QStringLiteral(" "), elsewhere);
        w->Command_OK->click();
        EXPECT_EQ(shownPath_, elsewhere);
        EXPECT_EQ(w->m_FilePath, elsewhere);
    }
    EXPECT_TRUE(ui().clean()) << ui().report().toStdString();
    for (const ui::ShownBox& b : ui().boxes()) {
        EXPECT_FALSE(b.prompt.contains(QStringLiteral("all the same"))) << b.prompt.toStdString();
        EXPECT_FALSE(b.prompt.contains(QStringLiteral("Unexpected error"))) << b.prompt.toStdString();
    }
    EXPECT_EQ(readFile(file), sample_);
    EXPECT_TRUE(readFile(elsewhere).contains("EDITED LEGAL"));
    QFile::setPermissions(folder, readAndEnter | QFileDevice::WriteOwner);
    QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

TEST_F(PaymentRunTest, GivingUpTheSaveAsksAndEndsWithTheEditsStillInTheTables)
{
    const QString file = writeFile(QStringLiteral("data/Zarvdata.csv"), sample_);
    auto w = start();
    setPaymentEditing([&] {
        editFirstLegal(QStringLiteral("EDITED LEGAL"));
        ASSERT_TRUE(QFile::remove(file));
        ASSERT_TRUE(QDir().mkpath(file));
    });
    ui().expectBox(box(file + QStringLiteral(" could not be saved: Could not write ") + file +
                           QStringLiteral(": a folder of that name is in the way\r\nThe file ") + file +
                           QStringLiteral(" is as it was."),
                       Answer::OK, Icon::Critical, Buttons::OK, QStringLiteral("ZARV Data Save")));
    // A stray Escape on the input box does not give up: the question's default
    // tries again.
    ui().expectInputCancel();
    ui().expectBoxEnter(containing(QStringLiteral("Give up saving the ZARV data?")));
    ui().expectBox(containing(QStringLiteral(" could not be saved: ")));     // tried again
    ui().expectInputCancel();
    ui().expectBox(containing(QStringLiteral("Give up saving the ZARV data?")), Answer::Yes);
    ui().expectBox(box(QStringLiteral("ZARV data save FAILED"), Answer::OK, Icon::Critical, Buttons::OK,
                       QStringLiteral("ZARV Data Save")));
    w->Command_OK->click();
    EXPECT_TRUE(ui().ending());
    de().rsDetail().setFilter(QString());
    EXPECT_EQ(de().rsDetail().recordCount(), 13);
}

} // namespace
