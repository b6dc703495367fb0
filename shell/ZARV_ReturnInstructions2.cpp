#include "shell/ZARV_ReturnInstructions2.h"

#include "platform/files/settings.h"
#include "platform/forms/formcolours.h"
#include "shell/ZARV_ReturnInstructions.h"
#include "shell/formparts.h"
#include "services/failurenotice.h"

#include <QLineEdit>
#include <QPushButton>

namespace zarv {

ZARV_ReturnInstructions2::ZARV_ReturnInstructions2(QWidget* parent) : QDialog(parent)
{
    setupUi(this);
    setWindowIcon(zarvIcon());
    Label_Email->setText(fs::Settings::instance().returnEmail());
    ui::makeStatusBox(Text_Msg);

    connect(Command_Exit, &QPushButton::clicked, this, &ZARV_ReturnInstructions2::Command_Exit_Click);
    Form_Load();
}

void ZARV_ReturnInstructions2::Form_Load()
{
    Label_FileName->setText(QString::fromLatin1(kUnknownPath));
    Guarded(QString(), [this] {
        if (const std::optional<QString> path = ReturnFilePath())
            Label_FileName->setText(*path);
    });
}

void ZARV_ReturnInstructions2::Command_Exit_Click()
{
    accept();
}

} // namespace zarv
