#include "services/screens/Form_InformationDialog.h"

#include "platform/text/vb.h"
#include "platform/ui/uiservices.h"
#include "services/clientdata.h"
#include "services/sharedstate.h"

#include <QApplication>
#include <QFontDatabase>
#include <QGridLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>

namespace zarv {

Form_InformationDialog::Form_InformationDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Form_InformationDialog"));
    setModal(true);
    resize(640, 420);

    Label_Title = new QLabel(this);
    Label_Title->setObjectName(QStringLiteral("Label_Title"));
    QFont titleFont = Label_Title->font();
    titleFont.setBold(true);
    Label_Title->setFont(titleFont);
    Label_Title->setWordWrap(true);

    Text_Msg = new QPlainTextEdit(this);
    Text_Msg->setObjectName(QStringLiteral("Text_Msg"));
    Text_Msg->setReadOnly(true);
    Text_Msg->setFocusPolicy(Qt::ClickFocus);
    Text_Msg->setLineWrapMode(QPlainTextEdit::WidgetWidth);     // long help lines wrap, no sideways scroll
    Text_Msg->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fixed.setFamilies({QStringLiteral("Courier"), QStringLiteral("Courier New"), fixed.family()});
    fixed.setPointSizeF(9.75);
    Text_Msg->setFont(fixed);
    Text_Msg->setStyleSheet(QStringLiteral("QPlainTextEdit { background-color: #C0FFFF; }"));

    const QSize iconSize(32, 32);
    Picture_Informational = new QLabel(this);
    Picture_Informational->setObjectName(QStringLiteral("Picture_Informational"));
    Picture_Informational->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(iconSize));
    Picture_Informational->setFixedSize(iconSize);
    Picture_Informational->setVisible(false);
    Picture_Critical = new QLabel(this);
    Picture_Critical->setObjectName(QStringLiteral("Picture_Critical"));
    Picture_Critical->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxCritical).pixmap(iconSize));
    Picture_Critical->setFixedSize(iconSize);
    Picture_Critical->setVisible(false);

    OKButton = new QPushButton(QStringLiteral("&OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);

    auto* grid = new QGridLayout(this);
    grid->addWidget(Label_Title, 0, 0);
    grid->addWidget(Picture_Informational, 0, 1, Qt::AlignRight | Qt::AlignTop);
    grid->addWidget(Picture_Critical, 0, 2, Qt::AlignRight | Qt::AlignTop);
    grid->addWidget(Text_Msg, 1, 0, 1, 3);
    grid->addWidget(OKButton, 2, 0, 1, 3, Qt::AlignHCenter);
    grid->setColumnStretch(0, 1);
    grid->setRowStretch(1, 1);

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
