#include "verification/screens/Verify_Number_Add.h"

#include "verification/screens/folioentry_widgets.h"

#include "platform/data/connection.h"
#include "platform/data/recordset.h"
#include "platform/forms/dialogkeys.h"
#include "platform/forms/fieldrules.h"
#include "platform/forms/formcolours.h"
#include "platform/text/vb.h"
#include "platform/ui/uiservices.h"
#include "services/clientdata.h"
#include "services/dataenvironment.h"

#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>

namespace zarv {

using namespace folioentry;

namespace {

const QString kRequired = QStringLiteral("Required");
const QString kDuplicate = QStringLiteral("Duplicate!");
const QString kBothMissing = QStringLiteral("Folio Number (or Property Identifier) must be entered!");
const QString kSaveFailed = QStringLiteral("UNKNOWN ERROR - Save Failed!");
const QString kChooseDistrictFirst = QStringLiteral("Please Select the Collection District first !");

// The folio box holds the whole display a folio mask gives (20 characters), so
// the digits read back from it are the ones the display shows.
constexpr int kFolioBoxLength = 20;

} // namespace

Verify_Number_Add::Verify_Number_Add(QWidget* parent) : QDialog(parent)
{
    setupUi(this);
    txtADDR = {txtADDR1, txtADDR2, txtADDR3, txtADDR4, txtADDR5};
    styleControls();
    connectControls();
    Form_Load();
    // Enter saves once Save is on (Save is the default button); typing or
    // picking marks the form as begun.
    for (QLineEdit* box : findChildren<QLineEdit*>()) {
        if (box != Text_Msg)
            connect(box, &QLineEdit::textEdited, this, [this] { typed_ = true; });
    }
    for (QComboBox* combo : {ComboCD, ComboJUR})
        connect(combo, &QComboBox::activated, this, [this] { typed_ = true; });
    txtNUMBER->setFocus(Qt::OtherFocusReason);
}

Verify_Number_Add::~Verify_Number_Add() = default;

// What the layout cannot say: the title's size, the colours of the notes, the
// room for a name, the lists that neither complete nor grow.
void Verify_Number_Add::styleControls()
{
    ui::scaleFont(Label1, 1.3);
    for (QLabel* l : {Label_FOLIO_Grey_Tarnwick_Format, Label_PID_Grey_Folio_PID_instructions})
        ui::setForeColour(l, 0x00808080u);
    for (QLabel* l : {Label_NUMBER_Msg, Label_MORTCO_Msg, Label_CD_Msg, Label_JUR_Msg, Label_JUR_Star,
                      Label_FOLIO_Red_Required, Label_FOLIO_Star, Label_PID_Red_Required, Label_PID_Star})
        ui::setForeColour(l, ui::colour::Red);
    txtNAME->setMinimumWidth(fontMetrics().averageCharWidth() * 50);
    for (QComboBox* combo : {ComboCD, ComboJUR})
        plainCombo(combo);
    ui::makeStatusBox(Text_Msg);
}

void Verify_Number_Add::connectControls()
{
    rules = new ui::FieldRules(this);
    ui::FieldRules::setCausesValidation(Command_Cancel, false);

    for (QWidget* w : {static_cast<QWidget*>(ComboCD), static_cast<QWidget*>(ComboJUR),
                       static_cast<QWidget*>(txtMORTCO), static_cast<QWidget*>(txtNAME),
                       static_cast<QWidget*>(txtNUMBER), static_cast<QWidget*>(txtPID),
                       static_cast<QWidget*>(txtLEGAL)})
        rules->onGotFocus(w, [w] { selectAll(w); });
    for (QLineEdit* a : txtADDR)
        rules->onGotFocus(a, [a] { selectAll(a); });

    rules->onValidate(ComboCD, [this](bool& c) { ComboCD_Validate(c); });
    rules->onLostFocus(ComboCD, [this] { ComboCD_Change(); });
    rules->onValidate(ComboJUR, [this](bool& c) { ComboJUR_Validate(c); });
    connect(ComboCD, &QComboBox::editTextChanged, this, [this] { ComboCD_Change(); });
    connect(ComboCD, &QComboBox::activated, this, [this] { ComboCD_Change(); });

    rules->onValidate(txtMORTCO, [this](bool& c) { txtMORTCO_Validate(c); });
    rules->onLostFocus(txtMORTCO, [this] { txtMORTCO_LostFocus(); });
    rules->onValidate(txtNAME, [this](bool& c) { txtNAME_Validate(c); });
    for (int i = 0; i < 5; ++i)
        rules->onValidate(txtADDR[size_t(i)], [this, i](bool&) { txtADDR_Validate(i); });
    rules->onValidate(txtLEGAL, [this](bool&) { txtLEGAL_Validate(); });

    rules->onValidate(txtNUMBER, [this](bool& c) { txtNUMBER_Validate(c); });
    rules->onLostFocus(txtNUMBER, [this] { txtNUMBER_LostFocus(); });
    rules->onGotFocus(txtFOLIO, [this] { txtFOLIO_GotFocus(); });
    rules->onValidate(txtFOLIO, [this](bool& c) { txtFOLIO_Validate(c); });
    rules->onLostFocus(txtFOLIO, [this] { txtFOLIO_LostFocus(); });
    rules->onValidate(txtPID, [this](bool& c) { txtPID_Validate(c); });
    rules->onLostFocus(txtPID, [this] { txtPID_LostFocus(); });

    connect(Command_OK, &QPushButton::clicked, this, [this] { Command_OK_Click(); });
    connect(Command_Cancel, &QPushButton::clicked, this, [this] { Command_Cancel_Click(); });
}

// ---------------------------------------------------------------- load, activation, close

void Verify_Number_Add::Form_Load()
{
    loading_ = true;
    txtNUMBER->clear();
    clearMark(txtNUMBER);
    Label_NUMBER_Msg->setText(kRequired);
    txtMORTCO->clear();
    txtFOLIO->clear();
    clearMark(txtFOLIO);
    Label_FOLIO_Red_Required->setText(kRequired);
    Label_FOLIO_Grey_Tarnwick_Format->clear();
    txtPID->clear();
    clearMark(txtPID);
    Label_PID_Red_Required->clear();
    txtNAME->clear();
    for (QLineEdit* a : txtADDR)
        a->clear();
    txtLEGAL->clear();

    Text_Msg->setText(QStringLiteral("Please Enter the new information and press the 'Save' or 'Cancel' button."));
    Command_OK->setEnabled(false);
    ui::ui().doEvents();

    try {
        rsVerifyClone = CloneOfVerify();
        if (rsVerifyClone->recordCount() > 0) {
            rsVerifyClone->moveFirst();
            txtMORTCO->setText(rsVerifyClone->text(QStringLiteral("MORTCO")));
        }
    } catch (const std::exception&) {
        // Without the list the lookups find nothing; the screen stays usable.
        if (!rsVerifyClone)
            rsVerifyClone = std::make_unique<db::Recordset>();
    }

    ComboCD->clear();
    try {
        ComboCD->addItems(CodeItems(DE().rsCollection_District(), QStringLiteral("Collection_District_Code"),
                                    QStringLiteral("Collection_District_Name")));
    } catch (const std::exception&) {
        // An unreadable code table leaves the list empty; codes can still be typed.
    }
    ComboCD->setEditText(QString());

    ComboJUR->clear();
    try {
        if (!DE().rsJurisdiction().isOpen())
            DE().rsJurisdiction().open();
    } catch (const std::exception&) {
        // As for the districts: the list stays empty and codes can still be typed.
    }
    ComboJUR->addItem(kChooseDistrictFirst);
    ComboJUR->setEditText(QString());
    loading_ = false;
}

bool Verify_Number_Add::event(QEvent* e)
{
    ActivateFolioScreen(e);     // Form_Activate
    return QDialog::event(e);
}

void Verify_Number_Add::done(int r)
{
    Form_Unload();
    QDialog::done(r);
}

void Verify_Number_Add::Form_Unload()
{
    CloseClone(rsVerifyClone);
}

// ---------------------------------------------------------------- derived values

folioentry::NewFolio Verify_Number_Add::enteredFolio() const
{
    return {txtNUMBER->text(), txtMORTCO->text(), ComboCD->currentText(),
            ComboJUR->currentText(), txtFOLIO->text(), txtPID->text()};
}

QString Verify_Number_Add::jurisdictionCode() const
{
    return JurisdictionCode(ComboJUR->currentText());
}

QString Verify_Number_Add::fitMessage(const QString& folio) const
{
    try {
        return FolioFitMessage(jurisdictionCode(), vb::Trim(folio));
    } catch (const std::exception&) {
        return {};      // without the masks every folio shows as its 18 digits
    }
}

QString Verify_Number_Add::displayedFolio(const QString& padded) const
{
    try {
        return FormatFolio(jurisdictionCode(), padded);
    } catch (const std::exception&) {
        return padded;      // without the masks the folio shows as its 18 digits
    }
}

void Verify_Number_Add::refuse(const QString& message, bool& Cancel)
{
    Text_Msg->setText(message);
    ui::ui().beep();
    Cancel = true;
}

// ---------------------------------------------------------------- whole-form check

bool Verify_Number_Add::ValidateAllFields(bool bSetSaveButton)
{
    if (bSetSaveButton)
        Command_OK->setEnabled(false);
    if (!rsVerifyClone)
        return false;
    const FormCheck check = ValidateNewFolio(enteredFolio(), *rsVerifyClone);
    if (!check.ok()) {
        Text_Msg->setText(check.message);
        return false;
    }
    if (const QString fit = fitMessage(txtFOLIO->text()); !vb::Trim(txtFOLIO->text()).isEmpty() && !fit.isEmpty()) {
        Text_Msg->setText(fit);
        return false;
    }
    if (bSetSaveButton)
        Command_OK->setEnabled(true);
    return true;
}

// ---------------------------------------------------------------- district and jurisdiction

void Verify_Number_Add::LoadJurisdictionCombo()
{
    const QString previous = ComboJUR->currentText();
    JurisdictionList list;
    try {
        list = JurisdictionChoices(ComboCD->currentText(), previous);
    } catch (const std::exception&) {
        list.text = previous;   // the list stays empty; a code can still be typed
    }
    const QSignalBlocker block(ComboJUR);
    ComboJUR->clear();
    ComboJUR->addItems(list.items);
    ComboJUR->setEditText(list.text);
}

void Verify_Number_Add::ComboCD_Change()
{
    if (loading_)
        return;
    LoadJurisdictionCombo();
    ValidateAllFields(true);
}

void Verify_Number_Add::codeValidate(QComboBox* combo, int width, int low, int high, const QString& message,
                                     bool& Cancel)
{
    combo->setEditText(vb::Trim(combo->currentText()));
    const QString code = CodeOf(combo->currentText(), width);
    if (CheckCode(code, low, high) == CodeVerdict::Invalid) {
        refuse(message, Cancel);
        ui::ui().setBusy(false);
        return;
    }
    ValidateAllFields(true);
    Text_Msg->clear();
}

void Verify_Number_Add::ComboCD_Validate(bool& Cancel)
{
    codeValidate(ComboCD, kDistrictWidth, kDistrictLow, kDistrictHigh, QStringLiteral("You must enter a valid Collection District (01-99)"),
                 Cancel);
}

void Verify_Number_Add::ComboJUR_Validate(bool& Cancel)
{
    codeValidate(ComboJUR, kJurisdictionWidth, kJurisdictionLow, kJurisdictionHigh,
                 QStringLiteral("You must enter a valid Jurisdiction Code (701-799)"), Cancel);
}

// ---------------------------------------------------------------- company ID, name, addresses, legal

void Verify_Number_Add::txtMORTCO_Validate(bool& Cancel)
{
    txtMORTCO->setText(vb::Trim(vb::UCase(txtMORTCO->text())));
    const QString mortco = txtMORTCO->text();
    if (mortco.isEmpty()) {
        refuse(QStringLiteral("You must enter a Mortgage Company ID! (it is four characters long)"), Cancel);
        return;
    }
    if (mortco.size() != 4) {
        refuse(QStringLiteral("You must enter a valid Mortgage Company ID ! (it is four characters long)"), Cancel);
        return;
    }
    ValidateAllFields(true);
    Text_Msg->clear();
}

void Verify_Number_Add::txtMORTCO_LostFocus()
{
    txtMORTCO->setText(vb::Trim(txtMORTCO->text()));
    Text_Msg->clear();
}

void Verify_Number_Add::txtNAME_Validate(bool& Cancel)
{
    ClientNameRule(txtNAME, Text_Msg, Cancel);
}

void Verify_Number_Add::txtADDR_Validate(int index)
{
    QLineEdit* box = txtADDR[size_t(index)];
    box->setText(vb::UCase(box->text()));
    Text_Msg->clear();
}

void Verify_Number_Add::txtLEGAL_Validate()
{
    txtLEGAL->setText(vb::UCase(txtLEGAL->text()));
    Text_Msg->clear();
}

// ---------------------------------------------------------------- mortgage number

void Verify_Number_Add::txtNUMBER_Validate(bool& Cancel)
{
    txtNUMBER->setText(vb::Trim(vb::UCase(txtNUMBER->text())));
    const QString number = txtNUMBER->text();
    if (number.isEmpty()) {
        refuse(QStringLiteral("You must enter a Mortgage Number!"), Cancel);
        return;
    }
    if (Lookup(*rsVerifyClone, NumberFilter(number)).found) {
        Label_NUMBER_Msg->setText(QStringLiteral("NOTE that there are one or more folios with this mortgage number!"));
        markBox(txtNUMBER, colour::Attention, Label_NUMBER_Msg->text());
        ui::ui().beep();
    } else {
        clearMark(txtNUMBER);
        Label_NUMBER_Msg->setText(kRequired);
    }
    ValidateAllFields(true);
    Text_Msg->clear();
}

void Verify_Number_Add::txtNUMBER_LostFocus()
{
    txtNUMBER->setText(vb::Trim(txtNUMBER->text()));
}

// ---------------------------------------------------------------- folio

void Verify_Number_Add::txtFOLIO_GotFocus()
{
    txtFOLIO->setText(vb::Trim(txtFOLIO->text()));
    if (!txtFOLIO->text().isEmpty() && fitMessage(txtFOLIO->text()).isEmpty())
        txtFOLIO->setText(displayedFolio(PaddedFolio(txtFOLIO->text())));
    selectAll(txtFOLIO);
    Label_FOLIO_Grey_Tarnwick_Format->clear();
}

void Verify_Number_Add::txtFOLIO_Validate(bool& Cancel)
{
    clearMark(txtFOLIO);
    txtFOLIO->setText(vb::Trim(txtFOLIO->text()));
    if (vb::Trim(txtPID->text()).isEmpty())
        clearMark(txtPID);

    const QString folio = txtFOLIO->text();
    if (folio.isEmpty() && vb::Trim(txtPID->text()).isEmpty()) {
        Text_Msg->setText(kBothMissing);
        markBox(txtFOLIO, colour::Attention, kBothMissing);
        markBox(txtPID, colour::Attention, kBothMissing);
        return;
    }
    if (folio.isEmpty())
        return;
    const QString padded = PaddedFolio(folio);
    if (padded == kNoFolio) {
        refuse(QStringLiteral("You must enter a valid Folio Number!"), Cancel);
        return;
    }
    if (const QString fit = fitMessage(folio); !fit.isEmpty()) {
        markBox(txtFOLIO, colour::Attention, fit);
        refuse(fit, Cancel);
        return;
    }
    for (const bool markedDeleted : {false, true}) {
        if (markedDeleted) {
            clearMark(txtFOLIO);
            Label_FOLIO_Red_Required->setText(kRequired);
        }
        const Hit hit = Lookup(*rsVerifyClone, FolioFilter(jurisdictionCode(), padded, markedDeleted));
        if (hit.found) {
            Label_FOLIO_Red_Required->setText(kDuplicate);
            refuse(FolioNote(hit, markedDeleted), Cancel);
            markBox(txtFOLIO, colour::Duplicate, Text_Msg->text());
            return;
        }
    }
    Text_Msg->clear();
    ValidateAllFields(true);
    clearMark(txtFOLIO);
    Label_FOLIO_Red_Required->setText(kRequired);
}

void Verify_Number_Add::txtFOLIO_LostFocus()
{
    txtFOLIO->setText(vb::Trim(txtFOLIO->text()));
    if (txtFOLIO->text().isEmpty()) {
        Label_FOLIO_Grey_Tarnwick_Format->clear();
        return;
    }
    const auto showStored = [this](const QString& padded) {
        Label_FOLIO_Grey_Tarnwick_Format->setText(QStringLiteral("( Tarnwick Folio Format is: ") + padded +
                                                  QStringLiteral(" )"));
    };
    const QString padded = PaddedFolio(txtFOLIO->text());
    showStored(padded);
    txtFOLIO->setText(displayedFolio(padded));
    // What the display kept is what Save stores.
    showStored(PaddedFolio(txtFOLIO->text()));
}

// ---------------------------------------------------------------- PID

void Verify_Number_Add::txtPID_Validate(bool& Cancel)
{
    clearMark(txtPID);
    if (vb::Trim(txtFOLIO->text()).isEmpty())
        clearMark(txtFOLIO);
    txtPID->setText(vb::Trim(txtPID->text()));

    if (vb::Trim(txtFOLIO->text()).isEmpty() && txtPID->text().isEmpty()) {
        Text_Msg->setText(kBothMissing);
        markBox(txtFOLIO, colour::Attention, kBothMissing);
        markBox(txtPID, colour::Attention, kBothMissing);
        ui::ui().beep();
        return;
    }
    if (txtPID->text().isEmpty())
        return;
    const QString pid = Digits(txtPID->text());
    if (pid.isEmpty()) {
        Label_PID_Red_Required->clear();
        refuse(QStringLiteral("The Property Identifier (PID) must be numeric!"), Cancel);
        return;
    }
    for (const bool markedDeleted : {false, true}) {
        if (markedDeleted) {
            clearMark(txtPID);
            Label_PID_Red_Required->clear();
        }
        const Hit hit = Lookup(*rsVerifyClone, PidFilter(pid, markedDeleted));
        if (hit.found) {
            Label_PID_Red_Required->setText(kDuplicate);
            refuse(PidNote(hit, markedDeleted), Cancel);
            markBox(txtPID, colour::Duplicate, Text_Msg->text());
            return;
        }
    }
    Text_Msg->clear();
    ValidateAllFields(true);
    clearMark(txtPID);
    Label_PID_Red_Required->clear();
}

void Verify_Number_Add::txtPID_LostFocus()
{
    txtPID->setText(Digits(txtPID->text()));
}

// ---------------------------------------------------------------- Save and Cancel

void Verify_Number_Add::Command_OK_Click()
{
    Command_OK->setEnabled(false);
    ui::ui().setBusy(true);
    Text_Msg->setText(QStringLiteral("Saving, Please Wait..."));
    ui::ui().doEvents();

    const NewFolio f = enteredFolio();
    if (!ValidateAllFields(false)) {
        ui::ui().setBusy(false);
        return;
    }
    try {
        save(f);
    } catch (const std::exception&) {
        ui::ui().msgBox(kSaveFailed, ui::Buttons::OK, ui::Icon::Critical);
        Text_Msg->setText(kSaveFailed);
        ui::ui().setBusy(false);
        return;
    }
    accept();
}

void Verify_Number_Add::save(const NewFolio& f)
{
    db::Recordset& rsVerify = DE().rsVerify();
    if (!rsVerify.isOpen())
        rsVerify.open();
    std::optional<qint64> before;
    if (!rsVerify.eof() && !rsVerify.bof())
        before = rsVerify.bookmark();

    const VerifyRow row = NewVerifyRow(f, txtNAME->text(), {txtADDR1->text(), txtADDR2->text(), txtADDR3->text(),
                                                            txtADDR4->text(), txtADDR5->text()},
                                       txtLEGAL->text());
    try {
        db::TransactionGuard transaction(DE().Zarv);
        rsVerify.addNew();
        for (size_t i = 0; i < row.values.size(); ++i)
            rsVerify.setValue(VerifyRow::fieldNames()[i], row.values[i]);
        rsVerify.move(0);
        transaction.commit();
    } catch (const std::exception&) {
        // The transaction is rolled back by now; nothing of the row stays, and
        // the list stands where it stood.
        try {
            if (rsVerify.editPending())
                rsVerify.cancelUpdate();
            if (before) {
                rsVerify.setBookmark(*before);
            } else if (rsVerify.recordCount() > 0) {
                rsVerify.moveLast();    // no row was current before: none is now
                rsVerify.moveNext();
            }
        } catch (const std::exception&) {
            // The first failure, rethrown below, is reported; the list shows what it holds.
        }
        throw;
    }
}

void Verify_Number_Add::Command_Cancel_Click()
{
    reject();
}

void Verify_Number_Add::reject()
{
    if (typed_ && !ui::ui().ending()
        && !ui::ui().confirm(QStringLiteral("Leave without saving this new folio?"), windowTitle()))
        return;
    QDialog::reject();
}

} // namespace zarv
