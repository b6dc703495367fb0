// The program's own message window: picture by type, hand-over strings emptied
// on close, the caller's busy pointer put back.
#include "platform/ui/screens/scriptedscreens.h"
#include "services/screens/Form_InformationDialog.h"
#include "services/sharedstate.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QCoreApplication>
#include <gtest/gtest.h>

using namespace zarv;

namespace {

struct Seen {
    bool critical = false;
    bool informational = false;
    QString title;
    QString text;
    bool readOnly = false;
    bool busyWhileOpen = true;
};

// Shows the dialog the way callers do, closing it with OK or with the close box.
Seen show(ui::ScriptedUi& u, const QString& type, const QString& text, bool closeBox = false)
{
    Seen seen;
    useInformationDialog();
    u.expectModal(QStringLiteral("Form_InformationDialog"), [&](QDialog& d) {
        auto& dlg = static_cast<Form_InformationDialog&>(d);
        seen.critical = !dlg.Picture_Critical->isHidden();
        seen.informational = !dlg.Picture_Informational->isHidden();
        seen.title = dlg.Label_Title->text();
        seen.text = dlg.Text_Msg->toPlainText();
        seen.readOnly = dlg.Text_Msg->isReadOnly();
        seen.busyWhileOpen = u.busy();
        if (closeBox)
            dlg.close();
        else
            dlg.OKButton->click();
    });
    ShowInformationDialog(type, text, QStringLiteral("Other payments for this folio"));
    return seen;
}

// The picture follows the type; the text shows as given, read-only, and the
// hand-over strings are emptied whether OK or the close box ends it.
TEST(InformationDialog, ShowsTheTextUnderThePictureOfItsTypeAndEmptiesTheStrings)
{
    ui::ScopedUi u;
    const QString text = QStringLiteral("FOLIO        NAME\r\n12-3456      SMITH\r\n12-3457      JONES");
    struct Case {
        const char* type;
        bool critical;
        bool closeBox;
    };
    for (const Case c : {Case{"CRITICAL", true, false}, Case{"critical", true, true},
                         Case{"  CRITICAL ", true, false}, Case{"Informational", false, true},
                         Case{"", false, false}, Case{"Warning", false, true}}) {
        SCOPED_TRACE(c.type);
        u->setBusy(true);
        const Seen seen = show(*u, QString::fromLatin1(c.type), text, c.closeBox);
        EXPECT_EQ(seen.critical, c.critical);
        EXPECT_NE(seen.informational, seen.critical) << "exactly one picture shows";
        EXPECT_EQ(seen.title, QStringLiteral("Other payments for this folio"));
        EXPECT_EQ(seen.text, QString(text).replace("\r\n", "\n"));
        EXPECT_TRUE(seen.readOnly);
        EXPECT_FALSE(seen.busyWhileOpen) << "the caller's hourglass must not stay over the dialog";
        EXPECT_TRUE(u->busy()) << "the caller's pointer comes back";
        EXPECT_EQ(QStringList({gMsgType, gMsgText, gMsgTitle}), QStringList({"", "", ""}));
    }
    EXPECT_TRUE(u->clean()) << u->report().toStdString();
}

// A help text's long lines wrap to the window: nothing to scroll sideways to.
TEST(InformationDialog, LongLinesWrapToTheWindow)
{
    ui::ScopedUi u;
    int sideways = -1;
    u->expectModal(QStringLiteral("Form_InformationDialog"), [&](QDialog& d) {
        auto& dlg = static_cast<Form_InformationDialog&>(d);
        dlg.show();
        QCoreApplication::processEvents();
        sideways = dlg.Text_Msg->horizontalScrollBar()->maximum();
        dlg.OKButton->click();
    });
    useInformationDialog();
    ShowInformationDialog(QStringLiteral("Informational"),
                          QStringLiteral("Export Help\r\n") + QStringLiteral("every word of a long help line ").repeated(12),
                          QStringLiteral("Export Information"));
    EXPECT_EQ(sideways, 0);
    EXPECT_TRUE(u->clean()) << u->report().toStdString();
}

} // namespace

TEST(InformationDialog, WithoutScreensTheTextIsAMessageBoxAndTheStringsAreEmptied)
{
    setInformationWindow({});
    struct Case {
        const char* type;
        ui::Icon icon;
    };
    for (const Case c : {Case{"CRITICAL", ui::Icon::Critical}, Case{" critical ", ui::Icon::Critical},
                         Case{"Informational", ui::Icon::Information}, Case{"", ui::Icon::Information}}) {
        ui::ScopedStandIn<ui::ScriptedUi> u;
        u->expectBox(ui::ExpectedBox{QStringLiteral("Record is NOT imported!\r\nwhy"), ui::Answer::OK, c.icon,
                                     ui::Buttons::OK, QStringLiteral("Import ERROR")});
        ShowInformationDialog(QString::fromLatin1(c.type), QStringLiteral("Record is NOT imported!\r\nwhy"),
                              QStringLiteral("Import ERROR"));
        EXPECT_TRUE(u->clean()) << c.type << ": " << u->report().toStdString();
        EXPECT_TRUE(gMsgType.isEmpty() && gMsgText.isEmpty() && gMsgTitle.isEmpty()) << c.type;
    }
    useInformationDialog();
}
