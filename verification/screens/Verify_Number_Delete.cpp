#include "verification/screens/Verify_Number_Delete.h"

#include "platform/data/dberror.h"
#include "platform/data/recordset.h"
#include "platform/forms/formcolours.h"
#include "platform/text/vb.h"
#include "platform/ui/uiservices.h"
#include "services/dataenvironment.h"
#include "services/failurenotice.h"
#include "verification/screens/folioentry_widgets.h"
#include "verification/verifylist.h"

#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace zarv {

using namespace folioentry;

namespace {

constexpr unsigned kLightRed = 0x00C0C0FF;

// Call inside a catch block.
QString failureText()
{
    return QStringLiteral("ERROR - The Folio Record could NOT be deleted!\r\n") + FailureDetail(currentFailure());
}

} // namespace

Verify_Number_Delete::Verify_Number_Delete(QWidget* parent) : QDialog(parent)
{
    setupUi(this);
    paint(this, kLightRed);
    paintLockedBoxes(this);
    ui::scaleFont(Label1, 1.3);
    ui::makeStatusBox(Text_Msg);
    Text_Msg->setText(QStringLiteral("Please Select the \"Delete\" button to confirm the permanent removal of the "
                                     "record, or the \"Cancel\" button to quit."));
    // Enter keeps the folio: Cancel is the default button and has the focus.
    Command_Cancel->setFocus(Qt::OtherFocusReason);
    connect(Command_Delete, &QPushButton::clicked, this, [this] { Command_Delete_Click(); });
    connect(Command_Cancel, &QPushButton::clicked, this, [this] { Command_Cancel_Click(); });
    Form_Load();
}

void Verify_Number_Delete::Form_Load()
{
    folioentry::ShowVerifyDetails(*this, ReadVerifyDetails(DE().rsVerify()));
}

bool Verify_Number_Delete::event(QEvent* e)
{
    ActivateFolioScreen(e);     // Form_Activate
    return QDialog::event(e);
}

void Verify_Number_Delete::Command_Cancel_Click()
{
    reject();
}

void Verify_Number_Delete::Command_Delete_Click()
{
    db::Recordset& rsVerify = DE().rsVerify();
    if (!verifylist::PermanentDeleteAllowed(rsVerify)) {
        if (!verifylist::OfferToMarkDeleted(rsVerify)) {
            reject();
            return;
        }
        const bool marked = Guarded(QStringLiteral("Verify_Number_Delete"), [&rsVerify] {
            rsVerify.setValue(QStringLiteral("ACD"), QStringLiteral("D"));
            rsVerify.move(0);
        });
        if (!marked && rsVerify.editPending())
            rsVerify.cancelUpdate();    // the row stays as stored
        accept();
        return;
    }
    deleteCurrentRow();
    accept();
}

bool Verify_Number_Delete::deleteCurrentRow()
{
    db::Recordset& rsVerify = DE().rsVerify();
    try {
        if (!rsVerify.isOpen())
            rsVerify.open();
        rsVerify.deleteCurrent();
    } catch (const std::exception&) {
        // The row stays in the table and current.
        ui::ui().msgBox(failureText(), ui::Buttons::OK, ui::Icon::Critical);
        return false;
    }
    try {
        if (rsVerify.recordCount() > 0) {
            rsVerify.moveNext();
            if (rsVerify.eof())
                rsVerify.moveFirst();
        } else {
            rsVerify.close();
            rsVerify.open();    // its source is the list's current sort order
        }
    } catch (const std::exception&) {
        // The list finds its current row as it stands.
    }
    return true;
}

} // namespace zarv
