#include "payments/Detail_Search.h"

#include "payments/paymentrules.h"
#include "payments/screenparts.h"
#include "platform/data/criteria.h"
#include "platform/data/recordset.h"
#include "platform/forms/dialogkeys.h"
#include "platform/forms/fieldrules.h"
#include "platform/forms/formcolours.h"
#include "platform/grid/recordsetgrid.h"
#include "platform/text/vb.h"
#include "platform/ui/uiservices.h"
#include "services/dataenvironment.h"
#include "services/failurenotice.h"
#include "services/sharedstate.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <optional>
#include <tuple>

namespace zarv {

namespace {

std::vector<ui::GridColumn> resultColumns()
{
    struct Column {
        const char* field;
        const char* heading;
        int chars;      // the field's length; 0: the values decide
    };
    const Column columns[] = {
        {"CD", "Collection District", 2},  {"JUR", "Jurisdiction", 3},  {"FOLIO_DISP", "Folio Number", kFolioDisplayChars},
        {"NUMBER", "Mortgage Number", 12}, {"NAME", "Name", 25},        {"LEGAL", "Legal Description", 32},
        {"PAYMENT", "Payment Amount", 0},  {"ABC", "A B C", 1},         {"GROSS_TAX", "NO Grant", 0},
        {"REG_GRANT", "Regular Grant", 0}, {"ADD_GRANT", "Additional Grant", 0}, {"DELQ", "Delinquent / Credit", 0},
    };
    std::vector<ui::GridColumn> out;
    for (const Column& c : columns) {
        out.push_back({QLatin1String(c.field), QLatin1String(c.heading), 0, false, {},
                       Qt::AlignLeft | Qt::AlignVCenter, c.chars});
    }
    return out;
}

// Equal as the list compares them: a Null on either side is never equal.
bool sameValue(const db::Recordset& rs, const char* field, const QVariant& wanted)
{
    const QVariant have = rs.value(QLatin1String(field));
    return !have.isNull() && !wanted.isNull() && have.toString() == wanted.toString();
}

} // namespace

Detail_Search::Detail_Search(QWidget* parent) : QDialog(parent)
{
    setupUi(this);
    for (QLineEdit* box : {txtCD, txtJUR, txtFOLIO_DISP, txtNUMBER, txtNAME})
        ui::enableBox(box, false);
    ui::escapePresses(this, Command_Close);
    ui::makeStatusBox(Text_Msg);

    const std::pair<QCheckBox*, QLineEdit*> rows[] = {{Check_CD, txtCD}, {Check_JUR, txtJUR},
                                                       {Check_FOLIO, txtFOLIO_DISP}, {Check_NUMBER, txtNUMBER},
                                                       {Check_NAME, txtNAME}};
    rules = new ui::FieldRules(this);
    for (const auto& [check, box] : rows) {
        QLineEdit* b = box;
        connect(check, &QCheckBox::clicked, this, [this, check = check, b] { Check_Click(check, b); });
        rules->onGotFocus(b, [b] { b->selectAll(); });
        rules->onLostFocus(b, [b] { b->setText(vb::Trim(b->text())); });
    }
    connect(Command_Find, &QPushButton::clicked, this, [this] { Command_Find_Click(); });
    connect(Command_Select, &QPushButton::clicked, this, [this] { Command_Select_Click(); });
    connect(Command_Close, &QPushButton::clicked, this, [this] { Command_Close_Click(); });
    connect(TDBGrid, &ui::RecordsetGrid::rowDoubleClicked, this, [this](int) {
        if (Command_Select->isEnabled())
            Command_Select_Click();
    });

    // The result grid starts empty: it is bound to the search result only once
    // Find has run.
    TDBGrid->bind(nullptr, resultColumns());
    Form_Load();
}

bool Detail_Search::canOpen()
{
    return HasCurrentRow(DE().rsGroup());
}

void Detail_Search::Form_Load()
{
    loaded_ = Guarded(QStringLiteral("Detail_Search.Form_Load"), [this] {
        mortco_ = CurrentGroupMortco();
        db::Recordset& rs = DE().rsDetail2ToReopen();
        if (rs.isOpen())
            rs.close();
        strSQL = QStringLiteral("SELECT * FROM Detail WHERE MORTCO = ") + db::quoted(mortco_) +
                 QStringLiteral(" ORDER BY MORTCO, CD, JUR, FOLIO");
        rs.setFilter(QString());
        rs.setSource(strSQL);
        rs.open();
    });
    Command_Find->setEnabled(loaded_);
}

void Detail_Search::Check_Click(QCheckBox* check, QLineEdit* box)
{
    ui::enableBox(box, check->isChecked());
}

bool Detail_Search::emptyCriterion(QLineEdit*& box, QString& message) const
{
    const std::tuple<QCheckBox*, QLineEdit*, const char*> order[] = {
        {Check_CD, txtCD, "Collection District Search has nothing entered to search on!"},
        {Check_JUR, txtJUR, "Jurisdiction Search has nothing entered to search on!"},
        {Check_FOLIO, txtFOLIO_DISP, "Folio Number Search has nothing entered to search on!"},
        {Check_NUMBER, txtNUMBER, "Mortgage Number Search has nothing entered to search on!"},
        {Check_NAME, txtNAME, "Name Search has nothing entered to search on!"},
    };
    for (const auto& [check, b, text] : order) {
        if (check->isChecked() && b->text().isEmpty()) {
            box = b;
            message = QLatin1String(text);
            return true;
        }
    }
    return false;
}

QString Detail_Search::buildFilter(const QString& mortco)
{
    const QString andText = QStringLiteral("AND ");
    QString filter = db::eq(QStringLiteral("MORTCO"), mortco);
    if (Check_CD->isChecked())
        filter += andText + db::contains(QStringLiteral("CD"), txtCD->text());
    if (Check_FOLIO->isChecked()) {
        txtFOLIO_DISP->setText(vb::Trim(txtFOLIO_DISP->text()));
        if (!txtFOLIO_DISP->text().isEmpty())
            filter += andText + db::contains(QStringLiteral("FOLIO_DISP"), txtFOLIO_DISP->text());
        else
            filter += andText + db::eq(QStringLiteral("FOLIO_DISP"), QString());
    }
    if (Check_JUR->isChecked())
        filter += andText + db::contains(QStringLiteral("JUR"), txtJUR->text());
    if (Check_NAME->isChecked())
        filter += andText + db::contains(QStringLiteral("NAME"), txtNAME->text());
    if (Check_NUMBER->isChecked() && !vb::Trim(txtNUMBER->text()).isEmpty())
        filter += andText + db::contains(QStringLiteral("NUMBER"), txtNUMBER->text());
    return filter;
}

void Detail_Search::Command_Find_Click()
{
    if (!loaded_)
        return;
    Command_Find->setEnabled(false);
    const bool anyTicked = Check_CD->isChecked() || Check_JUR->isChecked() || Check_FOLIO->isChecked() ||
                           Check_NUMBER->isChecked() || Check_NAME->isChecked();
    if (!anyTicked) {
        Text_Msg->setText(QStringLiteral("No Search criteria has been selected!"));
        Command_Find->setEnabled(true);
        return;
    }
    Text_Msg->clear();
    QLineEdit* empty = nullptr;
    QString message;
    if (emptyCriterion(empty, message)) {
        Text_Msg->setText(message);
        Command_Find->setEnabled(true);
        empty->setFocus(Qt::OtherFocusReason);
        return;
    }
    const bool searched = Guarded(QStringLiteral("Detail_Search.Command_Find_Click"), [this] {
        db::Recordset& rs = DE().rsDetail2();
        strFilter = buildFilter(mortco_);
        rs.setFilter(QString());
        rs.setFilter(strFilter);
        if (TDBGrid->recordsetModel() && TDBGrid->recordsetModel()->recordset() != &rs)
            TDBGrid->recordsetModel()->setRecordset(&rs);
        const long found = rs.recordCount();
        if (found > 0) {
            rs.moveFirst();
            Command_Select->setEnabled(true);
            Text_Msg->setText(found == 1 ? QStringLiteral("Payment Found!")
                                         : QStringLiteral("Multiple payments found that matched the search!"));
        } else {
            Command_Select->setEnabled(false);
            Text_Msg->setText(QStringLiteral("There are no payments matching the search criteria!"));
        }
    });
    if (!searched)
        Command_Select->setEnabled(false);
    TDBGrid->rebind();
    Command_Find->setEnabled(true);
}

void Detail_Search::Command_Select_Click()
{
    Command_Select->setEnabled(false);
    bool placed = false;
    Guarded(QStringLiteral("Detail_Search.Command_Select_Click"), [&] { placed = placePaymentList(); });
    if (placed) {
        accept();
        return;
    }
    ui::ui().beep();
    Text_Msg->setText(QStringLiteral("ERROR could not find the payment"));
    Command_Select->setEnabled(true);
}

// Moves rsDetail to the payment of the current result row. When it is not in
// the list, rsDetail goes back where it stood and the result is false.
bool Detail_Search::placePaymentList()
{
    const db::Recordset& result = DE().rsDetail2();
    db::Recordset& list = DE().rsDetail();
    if (!HasCurrentRow(result) || !list.isOpen())
        return false;
    const QVariant cd = result.value(QStringLiteral("CD"));
    const QVariant jur = result.value(QStringLiteral("JUR"));
    const QVariant name = result.value(QStringLiteral("NAME"));
    const QVariant folio = result.value(QStringLiteral("FOLIO"));
    const bool hadRow = HasCurrentRow(list);
    const qint64 before = hadRow ? list.bookmark() : 0;

    if (list.recordCount() > 0)
        list.moveFirst();
    strFind = db::eq(QStringLiteral("FOLIO"), folio.toString());
    list.find(strFind);
    while (!list.eof()) {
        if (sameValue(list, "CD", cd) && sameValue(list, "JUR", jur) && sameValue(list, "NAME", name) &&
            sameValue(list, "FOLIO", folio))
            return true;
        list.find(strFind, 1);
    }
    if (hadRow)
        list.setBookmark(before);
    else if (list.recordCount() > 0)
        list.moveFirst();
    return false;
}

void Detail_Search::Command_Close_Click()
{
    reject();
}

void Detail_Search::Form_Unload()
{
    Guarded(QStringLiteral("Detail_Search.Form_Unload"), [this] {
        TDBGrid->bind(nullptr, resultColumns());
        db::Recordset& rs = DE().rsDetail2();
        if (rs.isOpen())
            rs.close();
    });
}

void Detail_Search::done(int r)
{
    if (!unloaded_) {
        unloaded_ = true;
        Form_Unload();
    }
    QDialog::done(r);
}

} // namespace zarv
