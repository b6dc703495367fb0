#include "verification/screens/Verify_Number_Delete.h"

#include "platform/data/dberror.h"
#include "platform/data/recordset.h"
#include "platform/text/vb.h"
#include "platform/ui/uiservices.h"
#include "services/dataenvironment.h"
#include "services/failurenotice.h"
#include "verification/verifylist.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

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
    setObjectName(QStringLiteral("Verify_Number_Delete"));
    setWindowTitle(QStringLiteral("ZARV (Mortgage Number Verification) - Permanently Delete a Folio"));
    buildControls();
    connect(Command_Delete, &QPushButton::clicked, this, [this] { Command_Delete_Click(); });
    connect(Command_Cancel, &QPushButton::clicked, this, [this] { Command_Cancel_Click(); });
    Form_Load();
}

void Verify_Number_Delete::buildControls()
{
    paint(this, kLightRed);
    BuildVerifyDetailControls(this, *this);
    Text_Msg->setText(QStringLiteral("Please Select the \"Delete\" button to confirm the permanent removal of the "
                                     "record, or the \"Cancel\" button to quit."));

    Label1 = makeLabel(this, "Label1", QStringLiteral("Permanently Delete Folio Record"));
    QFont title = Label1->font();
    title.setBold(true);
    title.setPointSizeF(title.pointSizeF() * 1.3);
    Label1->setFont(title);
    Label2 = makeLabel(this, "Label2",
                       QStringLiteral("This function will DELETE from your file a new folio ADDED  by MISTAKE.  Other "
                                      "folios marked as 'DELETE'   versus this PERMANENT DELETE function will be "
                                      "processed by the Velmoran  as removing your bank's interest from the property."));
    Label2->setWordWrap(true);

    Command_Cancel = makeButton(this, "Command_Cancel", QStringLiteral("&Cancel"),
                                QStringLiteral("Cancel the Delete and Exit"));
    Command_Delete = makeButton(this, "Command_Delete", QStringLiteral("&Delete"),
                                QStringLiteral("OK to PERMANENTLY Delete the Property Folio Record, then exit"));
    Command_Cancel->setAutoDefault(true);
    Command_Delete->setAutoDefault(true);

    auto* grid = new QGridLayout;
    LayOutKeyFields(grid, 0, *this);
    int row = 5;
    const auto line = [&](QLabel* label, QLineEdit* box) {
        grid->addWidget(label, row, 0);
        grid->addWidget(box, row, 1, 1, 4);
        ++row;
    };
    line(Label_NUMBER, txtNUMBER);
    line(Label_NAME, txtNAME);
    for (size_t i = 0; i < txtADDR.size(); ++i)
        line(Label_ADDR[i], txtADDR[i]);
    line(Label_LEGAL, txtLEGAL);
    grid->setColumnStretch(4, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Command_Cancel);
    buttons->addWidget(Command_Delete);

    auto* page = new QVBoxLayout(this);
    page->addWidget(Label1);
    page->addWidget(Label2);
    page->addLayout(grid);
    page->addLayout(buttons);
    page->addWidget(Text_Msg);

    setTabOrder(Command_Cancel, Command_Delete);
    Command_Cancel->setDefault(true);   // Enter keeps the folio
    Command_Cancel->setFocus(Qt::OtherFocusReason);
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
        try {
            rsVerify.setValue(QStringLiteral("ACD"), QStringLiteral("D"));
            rsVerify.move(0);
        } catch (const std::exception&) {
            if (rsVerify.editPending())
                rsVerify.cancelUpdate();
            ShowFailure(QStringLiteral("Verify_Number_Delete"));
        }
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
