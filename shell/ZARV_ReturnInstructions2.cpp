#include "shell/ZARV_ReturnInstructions2.h"

#include "platform/files/settings.h"
#include "platform/forms/formcolours.h"
#include "shell/ZARV_ReturnInstructions.h"
#include "shell/formparts.h"
#include "services/failurenotice.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace zarv {

ZARV_ReturnInstructions2::ZARV_ReturnInstructions2(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("ZARV_ReturnInstructions2"));
    setWindowTitle(QStringLiteral("ZARV (Mortgage Number Verification) - Return the Workbook"));
    setWindowIcon(zarvIcon());

    auto* top = new QVBoxLayout(this);
    auto* frame = new QGroupBox(QStringLiteral("< Return the Folio Verification File by Email >"), this);
    frame->setObjectName(QStringLiteral("Frame_Email"));
    auto* inner = new QVBoxLayout(frame);
    auto add = [frame, inner](const QString& text) {
        auto* l = new QLabel(text, frame);
        l->setTextInteractionFlags(Qt::TextSelectableByMouse);
        inner->addWidget(l);
        return l;
    };
    add(QStringLiteral("When you are finished verifying the folio mortgage numbers please return the Folio "
                       "Verification File back to"));
    add(QStringLiteral("the Velmoran - Brenhallow by manually attaching the"));
    Label_FileName = add(QString());
    Label_FileName->setObjectName(QStringLiteral("Label_FileName"));
    QFont bold = Label_FileName->font();
    bold.setBold(true);
    Label_FileName->setFont(bold);
    add(QStringLiteral("file to an Email note and send it to:"));
    Label_Email = add(fs::Settings::instance().returnEmail());
    Label_Email->setObjectName(QStringLiteral("Label_Email"));
    Label_Email->setFont(bold);
    top->addWidget(frame);

    Command_Exit = new QPushButton(QStringLiteral("E&xit"), this);
    Command_Exit->setObjectName(QStringLiteral("Command_Exit"));
    Command_Exit->setToolTip(QStringLiteral("Exit ZARV"));
    top->addWidget(Command_Exit, 0, Qt::AlignHCenter);

    Text_Msg = new QLineEdit(QStringLiteral("If you are not ready to return the data, exit and continue later..."),
                             this);
    Text_Msg->setObjectName(QStringLiteral("Text_Msg"));
    ui::makeStatusBox(Text_Msg);
    top->addWidget(Text_Msg);

    connect(Command_Exit, &QPushButton::clicked, this, &ZARV_ReturnInstructions2::Command_Exit_Click);
    Form_Load();
}

void ZARV_ReturnInstructions2::Form_Load()
{
    Label_FileName->setText(QString::fromLatin1(kUnknownPath));
    try {
        if (const std::optional<QString> path = ReturnFilePath())
            Label_FileName->setText(*path);
    } catch (const std::exception&) {
        ShowFailure(QString());
    }
}

void ZARV_ReturnInstructions2::Command_Exit_Click()
{
    accept();
}

} // namespace zarv
