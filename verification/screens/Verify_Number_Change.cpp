#include "verification/screens/Verify_Number_Change.h"

#include "platform/data/recordset.h"
#include "platform/forms/dialogkeys.h"
#include "platform/forms/fieldrules.h"
#include "platform/forms/formcolours.h"
#include "platform/text/vb.h"
#include "platform/ui/uiservices.h"
#include "services/clientdata.h"
#include "services/dataenvironment.h"
#include "services/failurenotice.h"
#include "verification/screens/folioentry_widgets.h"

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace zarv {

using namespace folioentry;

namespace {

constexpr unsigned kLightGreen = 0x00C0FFC0;
const QString kNumberNote = QStringLiteral("NOTE that there are one or more folios with this mortgage number!");

bool markedDeleted(const db::Recordset& rs)
{
    return rs.text(QStringLiteral("ACD")) == QLatin1String("D");
}

// After a failed store the pending edit is dropped, so the row stays as stored.
void dropPendingEdit()
{
    try {
        if (DE().rsVerify().editPending())
            DE().rsVerify().cancelUpdate();
    } catch (const std::exception&) {
        // The failure already reported is the one that counts.
    }
}

} // namespace

Verify_Number_Change::Verify_Number_Change(QWidget* parent) : QDialog(parent)
{
    setupUi(this);
    styleControls();
    connectControls();
    Form_Load();
}

Verify_Number_Change::~Verify_Number_Change()
{
    Form_Unload();
}

// What the layout cannot say: the screen's and the boxes' colours, the title's size.
void Verify_Number_Change::styleControls()
{
    paint(this, colour::Attention);
    paintLockedBoxes(this);
    for (QLineEdit* box : {txtNUMBER, txtNAME, txtADDR1, txtADDR2, txtADDR3, txtADDR4, txtADDR5, txtLEGAL})
        paint(box, colour::White);
    ui::scaleFont(Label1, 1.3);
    ui::setForeColour(Label_NUMBER_Msg, ui::colour::Red);
    paint(Label_NUMBER_Msg, kLightGreen);
    ui::makeStatusBox(Text_Msg);
    txtNUMBER->setFocus(Qt::OtherFocusReason);
}

void Verify_Number_Change::connectControls()
{
    rules = new ui::FieldRules(this);
    rules->onGotFocus(txtNUMBER, [this] { txtNUMBER_GotFocus(); });
    rules->onValidate(txtNUMBER, [this](bool& c) { txtNUMBER_Validate(c); });
    rules->onLostFocus(txtNUMBER, [this] { txtNUMBER_LostFocus(); });
    rules->onGotFocus(txtNAME, [this] { selectAll(txtNAME); });
    rules->onValidate(txtNAME, [this](bool& c) { txtNAME_Validate(c); });
    for (QLineEdit* box : {txtADDR1, txtADDR2, txtADDR3, txtADDR4, txtADDR5, txtLEGAL}) {
        rules->onGotFocus(box, [box] { selectAll(box); });
        rules->onValidate(box, [this, box](bool&) { upperCaseValidate(box); });
    }
    connect(Command_Next, &QPushButton::clicked, this, [this] { Command_Next_Click(); });
    connect(Command_Previous, &QPushButton::clicked, this, [this] { Command_Previous_Click(); });
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    ui::FieldRules::setCausesValidation(Command_Cancel, false);
    connect(Command_Cancel, &QPushButton::clicked, this, [this] { Command_Cancel_Click(); });
}

// ---------------------------------------------------------------- load, activation, close

void Verify_Number_Change::Form_Load()
{
    Label_NUMBER_Msg->clear();
    Text_Msg->setText(QStringLiteral("Please make the changes and press the 'Close' button."));
    ui::ui().doEvents();
    try {
        rsVerifyClone = CloneOfVerify();
    } catch (const std::exception&) {
        rsVerifyClone = std::make_unique<db::Recordset>();   // duplicate notes find nothing
    }
    ShowVerifyDetails();
    nameLeftOut();
    txtNUMBER_GotFocus();
}

void Verify_Number_Change::nameLeftOut()
{
    QString refusal;
    try {
        const db::Recordset& rs = DE().rsVerify();
        if (rs.isOpen() && !rs.eof() && !rs.bof())
            refusal = TaxOfficeRefusal(
                foliorule::Judge(foliorule::RecordOf(rs), foliorule::CodeTables::fromWorkingDatabase()));
    } catch (const std::exception&) {
        return;     // the list names it, and the run before the workbook is written
    }
    if (!refusal.isEmpty())
        Text_Msg->setText(Text_Msg->text().isEmpty() ? refusal : Text_Msg->text() + u' ' + refusal);
}

bool Verify_Number_Change::event(QEvent* e)
{
    ActivateFolioScreen(e);     // Form_Activate
    return QDialog::event(e);
}

void Verify_Number_Change::reject()
{
    if (!ui::ui().ending() && edited()
        && !ui::ui().confirm(QStringLiteral("Leave without saving the changes to this detail?"), windowTitle()))
        return;
    QDialog::done(QDialog::Rejected);
}

void Verify_Number_Change::Command_Cancel_Click()
{
    reject();
}

void Verify_Number_Change::Command1_Click()
{
    storeEdits();
    QDialog::done(QDialog::Accepted);
}

bool Verify_Number_Change::edited() const
{
    const auto boxes = editableBoxes();
    for (size_t i = 0; i < boxes.size(); ++i) {
        if (boxes[i].first->text() != shown_[i])
            return true;
    }
    return false;
}

void Verify_Number_Change::done(int r)
{
    Form_Unload();
    QDialog::done(r);
}

void Verify_Number_Change::Form_Unload()
{
    if (unloaded_)
        return;
    unloaded_ = true;
    CloseClone(rsVerifyClone);
}

// ---------------------------------------------------------------- details and edits

std::array<std::pair<QLineEdit*, QString>, 8> Verify_Number_Change::editableBoxes() const
{
    return {{{txtNUMBER, QStringLiteral("NUMBER")},
             {txtNAME, QStringLiteral("NAME")},
             {txtADDR1, QStringLiteral("ADDR1")},
             {txtADDR2, QStringLiteral("ADDR2")},
             {txtADDR3, QStringLiteral("ADDR3")},
             {txtADDR4, QStringLiteral("ADDR4")},
             {txtADDR5, QStringLiteral("ADDR5")},
             {txtLEGAL, QStringLiteral("LEGAL")}}};
}

void Verify_Number_Change::ShowVerifyDetails()
{
    folioentry::ShowVerifyDetails(*this, ReadVerifyDetails(DE().rsVerify()));
    const auto boxes = editableBoxes();
    for (size_t i = 0; i < boxes.size(); ++i)
        shown_[i] = boxes[i].first->text();
    for (QLineEdit* box : {txtNAME, txtADDR1, txtADDR2, txtADDR3, txtADDR4, txtADDR5, txtLEGAL})
        paint(box, colour::White);
    ui::ui().doEvents();
}

void Verify_Number_Change::writeEdits()
{
    db::Recordset& rs = DE().rsVerify();
    if (!rs.isOpen() || rs.eof() || rs.bof())
        return;
    // Only what was edited here is written: a box that shows its field as it
    // was read writes nothing back.
    const auto boxes = editableBoxes();
    for (size_t i = 0; i < boxes.size(); ++i) {
        const auto& [box, field] = boxes[i];
        if (box->text() != shown_[i] && box->text() != rs.text(field))
            rs.setValue(field, SingleLine(box->text()));   // a pasted line break or tab is stored as a blank
    }
}

void Verify_Number_Change::markStored()
{
    const auto boxes = editableBoxes();
    for (size_t i = 0; i < boxes.size(); ++i)
        shown_[i] = boxes[i].first->text();
}

void Verify_Number_Change::storeEdits()
{
    const bool stored = Guarded(QStringLiteral("Verify_Number_Change"), [this] {
        db::Recordset& rs = DE().rsVerify();
        if (!rs.isOpen() || rs.eof() || rs.bof())
            return;
        txtNUMBER->setText(vb::Trim(txtNUMBER->text()));
        const bool numberChanged = txtNUMBER->text() != vb::Trim(shown_[0]);
        writeEdits();
        if (numberChanged)
            rs.setValue(QStringLiteral("ACD"), QStringLiteral("C"));
        if (rs.editPending())
            rs.move(0);
        markStored();
    });
    if (!stored)
        dropPendingEdit();
}

void Verify_Number_Change::afterMove()
{
    ShowVerifyDetails();
    nameLeftOut();
    Label_NUMBER_Msg->clear();
    txtNUMBER->setFocus(Qt::OtherFocusReason);
    txtNUMBER_GotFocus();
    ui::ui().doEvents();
}

// ---------------------------------------------------------------- Next and Previous

bool Verify_Number_Change::beforeMove()
{
    Text_Msg->clear();
    const db::Recordset& rs = DE().rsVerify();
    try {
        if (!rs.isOpen() || rs.recordCount() < 1)
            return false;
    } catch (const std::exception&) {
        return false;
    }
    storeEdits();
    return true;
}

void Verify_Number_Change::Command_Next_Click()
{
    if (!beforeMove())
        return;
    db::Recordset& rs = DE().rsVerify();
    try {
        SavedBookmark = rs.bookmark();
        rs.moveNext();
        if (rs.eof()) {
            rs.movePrevious();
            Text_Msg->setText(QStringLiteral("End of Details"));
        } else {
            while (markedDeleted(rs)) {
                rs.moveNext();
                if (rs.eof()) {
                    rs.setBookmark(SavedBookmark);
                    Text_Msg->setText(QStringLiteral("End of Detail List"));
                    break;
                }
            }
            if (Text_Msg->text().isEmpty())
                Text_Msg->setText(QStringLiteral("Positioned to the next active Detail"));
        }
    } catch (const std::exception&) {
        // The row reached is shown.
    }
    afterMove();
}

void Verify_Number_Change::Command_Previous_Click()
{
    if (!beforeMove())
        return;
    db::Recordset& rs = DE().rsVerify();
    const QString atHead = QStringLiteral("Beginning of Detail List");
    try {
        if (rs.bof()) {
            Text_Msg->setText(atHead);
            rs.moveFirst();
        } else {
            rs.movePrevious();
            for (;;) {
                if (rs.bof()) {
                    rs.moveFirst();
                    Text_Msg->setText(atHead);
                    break;
                }
                if (!markedDeleted(rs)) {
                    Text_Msg->setText(QStringLiteral("Positioned to the previous Active Detail"));
                    break;
                }
                rs.movePrevious();
            }
        }
    } catch (const std::exception&) {
        // The row reached is shown.
    }
    afterMove();
}

// ---------------------------------------------------------------- mortgage number

void Verify_Number_Change::txtNUMBER_GotFocus()
{
    txtNUMBER->setText(vb::Trim(txtNUMBER->text()));
    selectAll(txtNUMBER);
    OldNumber = txtNUMBER->text();
}

void Verify_Number_Change::txtNUMBER_Validate(bool& Cancel)
{
    txtNUMBER->setText(vb::Trim(vb::UCase(txtNUMBER->text())));
    const QString number = txtNUMBER->text();
    if (number.isEmpty()) {
        Text_Msg->setText(QStringLiteral("You must enter a Mortgage Number!"));
        ui::ui().beep();
        Cancel = true;
        return;
    }
    // Other active rows with the number; the row being edited never counts.
    std::optional<qint64> editing;
    try {
        const db::Recordset& rs = DE().rsVerify();
        if (rs.isOpen() && !rs.eof() && !rs.bof())
            editing = rs.bookmark();
    } catch (const std::exception&) {
        // No row is current, so none is left out of the search.
    }
    const Hit hit = Lookup(*rsVerifyClone, NumberFilter(number), editing);
    if (!hit.found) {
        Label_NUMBER_Msg->clear();
        return;
    }
    Text_Msg->setText(NumberNote(hit));
    Label_NUMBER_Msg->setText(kNumberNote);
}

void Verify_Number_Change::txtNUMBER_LostFocus()
{
    // The number is stored, and the row marked changed, by Close, Next or Previous.
    txtNUMBER->setText(vb::Trim(txtNUMBER->text()));
}

// ---------------------------------------------------------------- name, addresses, legal

void Verify_Number_Change::txtNAME_Validate(bool& Cancel)
{
    ClientNameRule(txtNAME, Text_Msg, Cancel);
}

void Verify_Number_Change::upperCaseValidate(QLineEdit* box)
{
    box->setText(vb::UCase(box->text()));
}

} // namespace zarv
