#include "services/screens/Form_InformationDialog.h"

#include "platform/text/vb.h"
#include "platform/ui/uiservices.h"
#include "services/clientdata.h"
#include "services/sharedstate.h"

#include <QApplication>
#include <QFontDatabase>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>

namespace zarv {

Form_InformationDialog::Form_InformationDialog(QWidget* parent) : QDialog(parent)
{
    setupUi(this);
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fixed.setFamilies({QStringLiteral("Courier"), QStringLiteral("Courier New"), fixed.family()});
    fixed.setPointSizeF(9.75);
    Text_Msg->setFont(fixed);
    const QSize iconSize(32, 32);
    Picture_Informational->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(iconSize));
    Picture_Critical->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxCritical).pixmap(iconSize));
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);

    Form_Load();
}

void Form_InformationDialog::Form_Load()
{
    savedBusy_ = ui::ui().busy();
    Label_Title->setText(gMsgTitle);
    // The window is named for what it tells.
    const QString title = SingleLine(vb::Trim(gMsgTitle));
    setWindowTitle(QStringLiteral("ZARV - ") + (title.isEmpty() ? QStringLiteral("Message") : title));
    QString text = gMsgText;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    Text_Msg->setPlainText(text);
    const bool critical = vb::UCase(vb::Trim(gMsgType)) == QLatin1String("CRITICAL");
    Picture_Critical->setVisible(critical);
    Picture_Informational->setVisible(!critical);
}

void Form_InformationDialog::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    Form_Activate();
}

void Form_InformationDialog::Form_Activate()
{
    // The caller's hourglass must not stay over the dialog.
    ui::ui().setBusy(false);
    ui::ui().doEvents();
}

void Form_InformationDialog::done(int r)
{
    Form_Unload();
    QDialog::done(r);
}

void Form_InformationDialog::Form_Unload()
{
    if (unloaded_)
        return;
    unloaded_ = true;
    gMsgTitle.clear();
    gMsgText.clear();
    gMsgType.clear();
    ui::ui().setBusy(savedBusy_);
}

void useInformationDialog()
{
    setInformationWindow([] {
        Form_InformationDialog dialog;
        ui::ui().showModal(dialog);
    });
}

} // namespace zarv
