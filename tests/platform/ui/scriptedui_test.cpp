#include "platform/ui/screens/qtui.h"
#include "platform/ui/screens/scriptedscreens.h"
#include <QDialog>
#include <QPushButton>
#include <gtest/gtest.h>

using namespace zarv::ui;

namespace {

// A small screen, optionally with a button that opens another screen modally
// through the services, as the program's screens do.
class Screen : public QDialog {
public:
    explicit Screen(const QString& name, Screen* child = nullptr)
    {
        setObjectName(name);
        if (child) {
            auto* open = new QPushButton(QStringLiteral("Open"), this);
            open->setObjectName(QStringLiteral("Command_Open"));
            connect(open, &QPushButton::clicked, this, [child] {
                ui().showModal(*child);
                if (ui().ending())
                    return;
                ui().msgBox(QStringLiteral("back from ") + child->objectName());
            });
        }
    }
};

void click(QDialog& d, const char* name)
{
    auto* b = d.findChild<QPushButton*>(QString::fromLatin1(name));
    ASSERT_NE(b, nullptr) << name;
    b->click();
}

} // namespace

TEST(ScriptedUi, AnswersBoxesInOrderAndRecordsThemAndAWrongBoxFails)
{
    ScopedUi ui;
    ui->expectBox(QStringLiteral("Save the file?"), Answer::No)
        .expectBox(containing("FAILED"), Answer::OK);

    EXPECT_EQ(zarv::ui::ui().msgBox(QStringLiteral("Save the file?"), Buttons::YesNo, Icon::Question),
              Answer::No);
    EXPECT_EQ(zarv::ui::ui().msgBox(QStringLiteral("ZARV Data Load FAILED"), Buttons::OK, Icon::Critical,
                                    QStringLiteral("ZARV Data")),
              Answer::OK);

    EXPECT_TRUE(ui->clean()) << ui->report().toStdString();
    ASSERT_EQ(ui->boxes().size(), 2u);
    EXPECT_EQ(ui->boxes()[0].title, QStringLiteral("ZARV"));   // no title of its own
    EXPECT_EQ(ui->boxes()[0].buttons, Buttons::YesNo);
    EXPECT_EQ(ui->boxes()[0].icon, Icon::Question);
    EXPECT_EQ(ui->boxes()[1].title, QStringLiteral("ZARV Data"));
    EXPECT_TRUE(ui->boxes()[1].expected);

    // Information instead of critical, OK instead of Yes/No, a title of its own.
    ScriptedScreensUi wrong;
    wrong.expectBox({containing("Year"), Answer::Yes, Icon::Critical, Buttons::YesNo, QStringLiteral("ZARV")});
    EXPECT_EQ(wrong.msgBox(QStringLiteral("Wrong Year"), Buttons::OK, Icon::Information, QStringLiteral("X")),
              Answer::OK);   // Yes is not a button of an OK box
    EXPECT_EQ(wrong.failures().size(), 4) << wrong.report().toStdString();
    EXPECT_TRUE(wrong.allExpectationsMet());
}

TEST(ScriptedUi, UnexpectedBoxFailsAndGetsTheSafeAnswer)
{
    const struct {
        Buttons buttons;
        Answer safe;
    } cases[] = {
        {Buttons::OK, Answer::OK},          {Buttons::OKCancel, Answer::Cancel},
        {Buttons::YesNo, Answer::No},       {Buttons::YesNoCancel, Answer::Cancel},
        {Buttons::RetryCancel, Answer::Cancel},
    };
    for (const auto& c : cases) {
        ScriptedScreensUi ui;
        EXPECT_EQ(ui.msgBox(QStringLiteral("Delete it?"), c.buttons), c.safe);
        ASSERT_EQ(ui.failures().size(), 1);
        EXPECT_TRUE(ui.failures()[0].startsWith(QStringLiteral("unexpected message box: Delete it?")))
            << ui.failures()[0].toStdString();
        EXPECT_FALSE(ui.boxes().at(0).expected);
    }

    // An exact prompt is not matched by a longer one, and a box is not taken for
    // the screen that was expected: both stay waiting.
    ScriptedScreensUi ui;
    ui.expectBox(QStringLiteral("Saved"), Answer::OK).expectModal(QStringLiteral("Group"));
    ui.msgBox(QStringLiteral("Saved to A:"));
    EXPECT_EQ(ui.failures().size(), 1);
    EXPECT_FALSE(ui.allExpectationsMet());
}

TEST(ScriptedUiDeathTest, CodeThatAsksAgainWhateverTheAnswerStopsTheTestInsteadOfLoopingForEver)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(
        {
            ScriptedScreensUi ui;
            while (ui.msgBox(QStringLiteral("Retry the save?"), Buttons::RetryCancel) != Answer::OK) {
            }
        },
        "keeps asking. First: unexpected message box: Retry the save");
}

TEST(ScriptedUi, InputBoxTypesCancelsAndRefusesTheUnexpected)
{
    ScriptedScreensUi ui;
    ui.expectInput(containing("file name"), QStringLiteral("Other.csv")).expectInputCancel();

    EXPECT_EQ(ui.inputBox(QStringLiteral("Enter a new file name"), {}, QStringLiteral("Zarvdata.csv")),
              std::optional<QString>(QStringLiteral("Other.csv")));
    EXPECT_EQ(ui.inputBox(QStringLiteral("Again"), {}, {}), std::nullopt);
    EXPECT_TRUE(ui.clean()) << ui.report().toStdString();
    EXPECT_EQ(ui.inputs().at(0).title, QStringLiteral("ZARV"));

    EXPECT_EQ(ui.inputBox(QStringLiteral("Not scripted"), {}, QStringLiteral("x")), std::nullopt);
    ASSERT_EQ(ui.failures().size(), 1);
    EXPECT_TRUE(ui.failures()[0].startsWith(QStringLiteral("unexpected input box: Not scripted")));
}

// A screen its script leaves open, or one no script expects, fails and is closed.
TEST(ScriptedUi, ScreenLeftOpenOrNotExpectedFailsAndIsClosed)
{
    struct Case { const char* shown; const char* expected; const char* failure; };
    const Case cases[] = {
        {"Group", "Group", "still open"},
        {"Verify_Numbers", "Group", "unexpected modal screen: Verify_Numbers"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.shown);
        ScriptedScreensUi ui;
        Screen screen(QString::fromLatin1(c.shown));
        int runs = 0;
        ui.expectModal(QString::fromLatin1(c.expected), [&](QDialog&) { ++runs; });
        EXPECT_EQ(ui.showModal(screen), QDialog::Rejected);
        EXPECT_EQ(runs, qstrcmp(c.shown, c.expected) == 0 ? 1 : 0);
        EXPECT_FALSE(screen.isVisible());
        ASSERT_EQ(ui.failures().size(), 1);
        EXPECT_TRUE(ui.failures()[0].contains(QLatin1String(c.failure)));
    }
}

TEST(ScriptedUi, EndInsideANestedScreenStopsEverything)
{
    ScopedUi ui;
    Screen inner(QStringLiteral("Verify_Search"));
    Screen outer(QStringLiteral("Verify_Numbers"), &inner);
    ui->expectModal(QStringLiteral("Verify_Numbers"), [&](QDialog& d) { click(d, "Command_Open"); });
    ui->expectModal(QStringLiteral("Verify_Search"), [&](QDialog&) { zarv::ui::ui().endProgram(3); });

    EXPECT_EQ(zarv::ui::ui().showModal(outer), QDialog::Rejected);
    EXPECT_FALSE(outer.isVisible());
    EXPECT_FALSE(inner.isVisible());
    EXPECT_TRUE(ui->ending());
    EXPECT_EQ(ui->exitCode(), 3);
    // Nothing more is shown once the program is ending, and nothing is a failure.
    EXPECT_EQ(zarv::ui::ui().msgBox(QStringLiteral("write back?"), Buttons::YesNo), Answer::No);
    EXPECT_EQ(zarv::ui::ui().showModal(outer), QDialog::Rejected);
    EXPECT_TRUE(ui->clean()) << ui->report().toStdString();
    EXPECT_TRUE(ui->boxes().empty());
}

TEST(ScopedUi, InstallsAndPutsBackThePreviousServices)
{
    ASSERT_EQ(installed(), nullptr);
    // The default before any install is a program without a display: no Qt box,
    // every box gets the safe answer.
    UiServices* const fallback = &ui();
    EXPECT_EQ(dynamic_cast<QtUi*>(fallback), nullptr);
    EXPECT_EQ(fallback->msgBox(QStringLiteral("Overwrite the file?"), Buttons::YesNoCancel), Answer::Cancel);
    EXPECT_EQ(fallback->msgBox(QStringLiteral("Continue?"), Buttons::YesNo), Answer::No);
    EXPECT_EQ(fallback->inputBox(QStringLiteral("Folio?"), {}, QStringLiteral("1")), std::nullopt);
    {
        ScopedUi outer;
        EXPECT_EQ(&ui(), &outer.get());
        {
            ScopedUi inner;
            EXPECT_EQ(&ui(), &inner.get());
        }
        EXPECT_EQ(&ui(), &outer.get());
    }
    EXPECT_EQ(installed(), nullptr);
    EXPECT_EQ(&ui(), fallback);
}
