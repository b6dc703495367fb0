#include "verification/screens/Verify_Numbers_Search.h"

#include "verification/folioentry.h"
#include "verification/screens/folioentry_widgets.h"

#include "platform/data/criteria.h"
#include "platform/data/recordset.h"
#include "platform/forms/fieldrules.h"
#include "platform/forms/formcolours.h"
#include "platform/grid/recordsetgrid.h"
#include "platform/text/vb.h"
#include "platform/ui/uiservices.h"
#include "services/clientdata.h"
#include "services/dataenvironment.h"
#include "services/failurenotice.h"
#include "services/sharedstate.h"
#include "services/system.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

namespace zarv {

using namespace folioentry;

// ---------------------------------------------------------------- the filter

namespace verifysearch {

QString StatusFilter(Status status, bool includeDeleted)
{
    const QString acd = QStringLiteral("ACD");
    switch (status) {
    case Status::All:
        return includeDeleted ? db::ne(acd, QStringLiteral("~")) : db::ne(acd, QStringLiteral("D"));
    case Status::Added:
        return db::eq(acd, QStringLiteral("A"));
    case Status::Changed:
        return db::eq(acd, QStringLiteral("C"));
    case Status::NotChanged:
        return db::eq(acd, QStringLiteral(" "));
    case Status::Deleted:
        return db::eq(acd, QStringLiteral("D"));
    }
    return db::ne(acd, QStringLiteral("D"));
}

QString SearchFilter(Status status, bool includeDeleted, const std::vector<Criterion>& criteria)
{
    QString filter = StatusFilter(status, includeDeleted);
    for (const Criterion& c : criteria)
        filter += QStringLiteral("AND ") + db::contains(c.field, c.value);
    return filter;
}

QString FolioCriterion(const QString& text)
{
    return StripLeadingChar(Digits(vb::Trim(text)), QStringLiteral("0"));
}

} // namespace verifysearch

using verifysearch::Status;

namespace {

const QString kFindPrompt = QStringLiteral("Please set the selection criteria and press the 'Find' button.");
const QString kTooComplex =
    QStringLiteral("Error - Search Criteria is too complex. Please change the search criteria and try again");

struct FieldInfo {
    const char* field;
    const char* check;
    const char* label;
    const char* entry;
};

const std::array<FieldInfo, Verify_Numbers_Search::kFields> kFieldInfo = {{
    {"MORTCO", "Check_MORTCO", "Label_MORTCO", "txtMORTCO"},
    {"NUMBER", "Check_NUMBER", "Label_NUMBER", "txtNUMBER"},
    {"CD", "Check_CD", "Label_CD", "ComboCD"},
    {"JUR", "Check_JUR", "Label_JUR", "ComboJUR"},
    {"FOLIO", "Check_FOLIO", "Label_FOLIO", "txtFOLIO"},
    {"PID", "Check_PID", "Label_PID", "txtPID"},
    {"NAME", "Check_NAME", "Label_NAME", "txtNAME"},
    {"ADDR1", "Check_ADDR1", "Label_ADDR1", "txtADDR1"},
    {"ADDR2", "Check_ADDR2", "Label_ADDR2", "txtADDR2"},
    {"ADDR3", "Check_ADDR3", "Label_ADDR3", "txtADDR3"},
    {"ADDR4", "Check_ADDR4", "Label_ADDR4", "txtADDR4"},
    {"ADDR5", "Check_ADDR5", "Label_ADDR5", "txtADDR5"},
    {"LEGAL", "Check_LEGAL", "Label_LEGAL", "txtLEGAL"},
}};

// The order in which empty criteria are unticked before a search.
constexpr std::array<int, 12> kClearOrder = {
    Verify_Numbers_Search::NUMBER, Verify_Numbers_Search::MORTCO, Verify_Numbers_Search::CD,
    Verify_Numbers_Search::JUR,    Verify_Numbers_Search::FOLIO,  Verify_Numbers_Search::NAME,
    Verify_Numbers_Search::ADDR1,  Verify_Numbers_Search::ADDR2,  Verify_Numbers_Search::ADDR3,
    Verify_Numbers_Search::ADDR4,  Verify_Numbers_Search::ADDR5,  Verify_Numbers_Search::LEGAL};

const std::array<QString, 6> kSelectFields = {QStringLiteral("MORTCO"), QStringLiteral("NUMBER"),
                                              QStringLiteral("CD"),     QStringLiteral("JUR"),
                                              QStringLiteral("FOLIO"),  QStringLiteral("PID")};

} // namespace

const char* Verify_Numbers_Search::fieldName(int field)
{
    return kFieldInfo.at(size_t(field)).field;
}

Verify_Numbers_Search::Verify_Numbers_Search(QWidget* parent) : QDialog(parent)
{
    setupUi(this);
    findCriteria();
    for (QComboBox* combo : {ComboCD, ComboJUR})
        plainCombo(combo);
    ui::makeStatusBox(Text_Msg);
    Text_Msg->setText(QStringLiteral("Please set the selection criteria and press the \"Find\" button."));
    TDBGrid->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    TDBGrid->bind(&DE().rsVerify2(), folioentry::listColumns(QStringLiteral("ACD"), [this](const QVariant& v, qint64 b) {
                      return folioText(v, b);
                  }));
    TDBGrid->viewport()->installEventFilter(this);
    connectControls();
    Form_Load();
}

Verify_Numbers_Search::~Verify_Numbers_Search()
{
    Form_Unload();
}

void Verify_Numbers_Search::findCriteria()
{
    for (int f = 0; f < kFields; ++f) {
        const FieldInfo& s = kFieldInfo[size_t(f)];
        Check[size_t(f)] = findChild<QCheckBox*>(QLatin1String(s.check));
        Label[size_t(f)] = findChild<QLabel*>(QLatin1String(s.label));
        Entry[size_t(f)] = findChild<QWidget*>(QLatin1String(s.entry));
    }
}

void Verify_Numbers_Search::connectControls()
{
    rules = new ui::FieldRules(this);
    for (QRadioButton* o : {Option_ACD_ALL, Option_ACD_A, Option_ACD_C, Option_ACD_No_Change, Option_ACD_D})
        connect(o, &QRadioButton::toggled, this, [this](bool on) {
            if (on)
                Option_ACD_Click();
        });
    connect(Check_ACD_Deleted, &QCheckBox::toggled, this, [this] { Check_ACD_Deleted_Click(); });
    for (int f = 0; f < kFields; ++f) {
        QWidget* entry = Entry[size_t(f)];
        connect(Check[size_t(f)], &QCheckBox::toggled, this, [this, f] { Check_Click(f); });
        rules->onGotFocus(entry, [entry] { selectAll(entry); });
        rules->onLostFocus(entry, [this, f] { Entry_LostFocus(f); });
    }
    rules->onValidate(ComboCD, [this](bool& c) {
        Combo_Validate(ComboCD, kDistrictWidth, kDistrictLow, kDistrictHigh,
                       QStringLiteral("You must enter a valid Collection District (01-99)"), c);
    });
    rules->onValidate(ComboJUR, [this](bool& c) {
        Combo_Validate(ComboJUR, kJurisdictionWidth, kJurisdictionLow, kJurisdictionHigh,
                       QStringLiteral("You must enter a valid Jurisdiction Code (701-799)"), c);
    });

    connect(Command_Find, &QPushButton::clicked, this, [this] { Command_Find_Click(); });
    connect(Command_Select, &QPushButton::clicked, this, [this] { Command_Select_Click(); });
    connect(Command_Close, &QPushButton::clicked, this, [this] { Command_Close_Click(); });
    connect(TDBGrid, &ui::RecordsetGrid::rowDoubleClicked, this, [this](int) { Command_Select_Click(); });
}

// ---------------------------------------------------------------- load, activation, unload

void Verify_Numbers_Search::Form_Load()
{
    const QString where = QStringLiteral("Verify_Numbers_Search.Form_Load");
    rsVerifyClone = std::make_unique<db::Recordset>();     // finds nothing unless the clone below is made
    Guarded(where, [&] { rsVerifyClone = CloneOfVerify(); });
    Guarded(where, [&] {
        db::Recordset& rsVerify2 = DE().rsVerify2();
        if (rsVerify2.isOpen())
            rsVerify2.close();
        strSQL = DataEnvironment::kVerifySource;
        strFilter = db::eq(QStringLiteral("MORTCO"), QStringLiteral("NONE"));
        rsVerify2.setSource(strSQL);
        rsVerify2.open();
        rsVerify2.setFilter(QString());
        rsVerify2.setFilter(strFilter);
    });
    TDBGrid->rebind();

    Option_ACD_ALL->setChecked(true);
    Check_ACD_Deleted->setVisible(true);
    Check_ACD_Deleted->setChecked(false);
    for (int f = 0; f < kFields; ++f)
        resetCriterion(f);
    Check_ACD_Deleted->setVisible(true);
    setBold(Check_ACD_Deleted, false);
    Option_ACD_Click();
    Command_Select->setEnabled(false);
}

void Verify_Numbers_Search::resetCriterion(int field)
{
    const QSignalBlocker quiet(Check[size_t(field)]);
    Check[size_t(field)]->setChecked(false);
    QWidget* entry = Entry[size_t(field)];
    entry->setEnabled(false);
    paint(entry, colour::Unticked);
    setBold(Label[size_t(field)], false);
    if (field == CD) {
        fillCombo(ComboCD, DE().rsCollection_District(), QStringLiteral("Collection_District_Code"),
                  QStringLiteral("Collection_District_Name"));
    } else if (field == JUR) {
        fillCombo(ComboJUR, DE().rsJurisdiction(), QStringLiteral("Jurisdiction_Code"),
                  QStringLiteral("Jurisdiction_Name"));
    }
    setTextOf(entry, QString());
}

void Verify_Numbers_Search::fillCombo(QComboBox* combo, db::Recordset& table, const QString& codeField,
                                      const QString& nameField)
{
    combo->clear();
    Guarded(QStringLiteral("Verify_Numbers_Search.Form_Load"),
            [&] { combo->addItems(CodeItems(table, codeField, nameField)); });
}

bool Verify_Numbers_Search::event(QEvent* e)
{
    ActivateFolioScreen(e);     // Form_Activate
    return QDialog::event(e);
}

void Verify_Numbers_Search::done(int r)
{
    Form_Unload();
    QDialog::done(r);
}

void Verify_Numbers_Search::Form_Unload()
{
    if (unloaded_)
        return;
    unloaded_ = true;
    CloseClone(rsVerifyClone);
    try {
        if (hasDE() && DE().rsVerify2().isOpen())
            DE().rsVerify2().close();
    } catch (const std::exception&) {
        // Only read through here: closing it can lose nothing.
    }
}

void Verify_Numbers_Search::Command_Close_Click()
{
    reject();
}

// ---------------------------------------------------------------- status and criteria

Status Verify_Numbers_Search::chosenStatus() const
{
    if (Option_ACD_A->isChecked())
        return Status::Added;
    if (Option_ACD_C->isChecked())
        return Status::Changed;
    if (Option_ACD_No_Change->isChecked())
        return Status::NotChanged;
    if (Option_ACD_D->isChecked())
        return Status::Deleted;
    return Status::All;
}

void Verify_Numbers_Search::Option_ACD_Click()
{
    Check_ACD_Deleted->setVisible(Option_ACD_ALL->isChecked());
    for (QRadioButton* o : {Option_ACD_ALL, Option_ACD_A, Option_ACD_C, Option_ACD_No_Change, Option_ACD_D})
        setBold(o, o->isChecked());
}

void Verify_Numbers_Search::Check_ACD_Deleted_Click()
{
    setBold(Check_ACD_Deleted, Check_ACD_Deleted->isChecked());
}

void Verify_Numbers_Search::Check_Click(int field)
{
    QWidget* entry = Entry[size_t(field)];
    const bool ticked = Check[size_t(field)]->isChecked();
    entry->setEnabled(ticked);
    paint(entry, ticked ? colour::Attention : colour::Unticked);
    setBold(Label[size_t(field)], ticked);
    if (ticked)
        entry->setFocus(Qt::OtherFocusReason);
}

QString Verify_Numbers_Search::entryText(int field) const
{
    return textOf(Entry[size_t(field)]);
}

void Verify_Numbers_Search::Entry_LostFocus(int field)
{
    QWidget* entry = Entry[size_t(field)];
    QString text = entryText(field);
    if (field == CD || field == JUR) {
        if (vb::Trim(text).isEmpty())
            Check[size_t(field)]->setChecked(false);
        return;
    }
    if (field == FOLIO)
        text = verifysearch::FolioCriterion(text);
    else if (field == PID)
        text = Digits(vb::Trim(text));
    else
        text = vb::Trim(text);
    setTextOf(entry, text);
    if (text.isEmpty())
        Check[size_t(field)]->setChecked(false);
}

void Verify_Numbers_Search::Combo_Validate(QComboBox* combo, int width, int low, int high, const QString& message,
                                           bool& Cancel)
{
    setTextOf(combo, vb::Trim(combo->currentText()));
    if (combo->currentText().isEmpty())
        return;
    if (CheckCode(CodeOf(combo->currentText(), width), low, high) == CodeVerdict::Valid) {
        Text_Msg->setText(kFindPrompt);
        return;
    }
    Text_Msg->setText(message);
    ui::ui().beep();
    ui::ui().setBusy(false);
    Cancel = true;
}

void Verify_Numbers_Search::ClearEmptyCriteria()
{
    for (const int f : kClearOrder) {
        const QString text = entryText(f);
        const bool empty = (f == CD || f == JUR) ? text.isEmpty() : vb::Trim(text).isEmpty();
        if (empty && Check[size_t(f)]->isChecked())
            Check[size_t(f)]->setChecked(false);
    }
}

std::vector<verifysearch::Criterion> Verify_Numbers_Search::criteria() const
{
    std::vector<verifysearch::Criterion> list;
    for (int f = 0; f < kFields; ++f) {
        if (!Check[size_t(f)]->isChecked())
            continue;
        QString value = entryText(f);
        if (f == CD)
            value = DistrictCode(value);
        else if (f == JUR)
            value = JurisdictionCode(value);
        else if (value.isEmpty())
            continue;
        list.push_back({QLatin1String(kFieldInfo[size_t(f)].field), value});
    }
    return list;
}

// ---------------------------------------------------------------- Find

void Verify_Numbers_Search::Command_Find_Click()
{
    Command_Find->setEnabled(false);
    ui::ui().setBusy(true);
    Text_Msg->clear();
    ui::ui().doEvents();
    try {
        ClearEmptyCriteria();
        strFilter = verifysearch::SearchFilter(chosenStatus(), Check_ACD_Deleted->isChecked(), criteria());
        db::Recordset& rsVerify2 = DE().rsVerify2();
        rsVerify2.setFilter(QString());
        rsVerify2.setFilter(strFilter);
        const long found = rsVerify2.recordCount();
        if (found > 0) {
            rsVerify2.moveFirst();
            Command_Select->setEnabled(true);
            Text_Msg->setText(found == 1 ? QStringLiteral("Folio Record Found!")
                                         : QStringLiteral("Multiple Folio Records found that matched the search!"));
        } else {
            Command_Select->setEnabled(false);
            Text_Msg->setText(QStringLiteral("There are no Folio Records matching the search criteria!"));
        }
        TDBGrid->rebind();
    } catch (const std::exception&) {
        ui::ui().msgBox(kTooComplex, ui::Buttons::OK, ui::Icon::Critical);
        Text_Msg->setText(kTooComplex);
    }
    Command_Find->setEnabled(true);
    ui::ui().setBusy(false);
    ui::ui().doEvents();
}

// ---------------------------------------------------------------- Select

void Verify_Numbers_Search::Command_Select_Click()
{
    Command_Select->setEnabled(false);
    ui::ui().setBusy(true);
    ui::ui().doEvents();
    bool atEnd = true;
    try {
        const db::Recordset& rsVerify2 = DE().rsVerify2();
        atEnd = !rsVerify2.isOpen() || rsVerify2.eof() || rsVerify2.bof();
    } catch (const std::exception&) {
        atEnd = true;
    }
    if (atEnd) {
        ui::ui().beep();
        Text_Msg->setText(QStringLiteral("ERROR could not find the payment"));
        Command_Select->setEnabled(true);
        ui::ui().setBusy(false);
        return;
    }
    try {
        selectMatchingRow();
    } catch (const std::exception&) {
        // The list stays where it was.
    }
    accept();
}

bool Verify_Numbers_Search::selectMatchingRow()
{
    if (!rsVerifyClone || rsVerifyClone->recordCount() < 1)
        return false;
    const db::Recordset& chosen = DE().rsVerify2();
    std::array<QVariant, 6> wanted;
    for (size_t i = 0; i < kSelectFields.size(); ++i) {
        wanted[i] = chosen.value(kSelectFields[i]);
        if (wanted[i].isNull())
            return false;       // a Null equals nothing
    }
    for (rsVerifyClone->moveFirst(); !rsVerifyClone->eof(); rsVerifyClone->moveNext()) {
        bool same = true;
        for (size_t i = 0; i < kSelectFields.size() && same; ++i) {
            const QVariant v = rsVerifyClone->value(kSelectFields[i]);
            same = !v.isNull() && v.toString() == wanted[i].toString();
        }
        if (same) {
            DE().rsVerify().setBookmark(rsVerifyClone->bookmark());
            return true;
        }
    }
    return false;
}

// ---------------------------------------------------------------- the grid

QString Verify_Numbers_Search::folioText(const QVariant& value, qint64 bookmark) const
{
    const QString folio = value.toString();
    if (folio.isEmpty())
        return folio;
    const QString fallback = StripLeadingChar(FormatAmountMask(folio), QStringLiteral("0"));
    try {
        if (!rsVerifyClone || rsVerifyClone->recordCount() < 1)
            return fallback;
        const db::Recordset& rs = DE().rsVerify2();
        const int row = rs.rowOfBookmark(bookmark);
        if (row < 0)
            return fallback;
        const QString jur = rs.valueAt(row, rs.fieldIndex(QStringLiteral("JUR"))).toString();
        return FormatFolio(jur, rs.valueAt(row, rs.fieldIndex(QStringLiteral("FOLIO"))).toString());
    } catch (const std::exception&) {
        return fallback;
    }
}

bool Verify_Numbers_Search::eventFilter(QObject* watched, QEvent* e)
{
    // A double click where the grid shows no row selects as well: with nothing
    // found it reports that the row cannot be found.
    if (watched == TDBGrid->viewport() && e->type() == QEvent::MouseButtonDblClick) {
        const auto* me = static_cast<QMouseEvent*>(e);
        if (!TDBGrid->indexAt(me->position().toPoint()).isValid()) {
            QTimer::singleShot(0, this, [this] { Command_Select_Click(); });
            return true;
        }
    }
    return QDialog::eventFilter(watched, e);
}

} // namespace zarv
