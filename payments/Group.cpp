#include "payments/Group.h"

#include "payments/Detail.h"
#include "payments/Group_Agency.h"
#include "payments/paymentrules.h"
#include "platform/data/recordset.h"
#include "platform/forms/dialogkeys.h"
#include "platform/forms/formcolours.h"
#include "platform/grid/recordsetgrid.h"
#include "platform/text/vb.h"
#include "platform/ui/screens/parking.h"
#include "platform/ui/uiservices.h"
#include "services/dataenvironment.h"
#include "services/failurenotice.h"
#include "services/sharedstate.h"

#include <QCloseEvent>
#include <QDate>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace zarv {

namespace {

const QString kInstructions = QStringLiteral("Please select the Agency and press the desired button.");

std::vector<ui::GridColumn> groupColumns()
{
    // A count of folios is a whole number.
    const auto count = [](const QVariant& v, qint64) {
        return v.isNull() ? QString() : vb::Format(v.toDouble(), QStringLiteral("#,##0"));
    };
    const auto currency = [](const QVariant& v, qint64) { return v.isNull() ? QString() : CurrencyText(v.toDouble()); };
    const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;
    std::vector<ui::GridColumn> columns{
        {QStringLiteral("MORTCO"), QStringLiteral("Agency"), 0, false, {}, Qt::AlignLeft | Qt::AlignVCenter, 4},
        {QStringLiteral("NAME1"), QStringLiteral("Name 1"), 0, false, {}, Qt::AlignLeft | Qt::AlignVCenter, 35},
        {QStringLiteral("NAME2"), QStringLiteral("Name 2"), 0, false, {}, Qt::AlignLeft | Qt::AlignVCenter, 35},
        {QStringLiteral("FOLIO_CNT"), QStringLiteral("Folios"), 0, false, count, right},
        {QStringLiteral("TOT_PAY"), QStringLiteral("Payment Amount"), 0, false, currency, right},
        {QStringLiteral("CONTACT"), QStringLiteral("Contact Person"), 0, false, {}, Qt::AlignLeft | Qt::AlignVCenter, 25},
        {QStringLiteral("CONT_PHONE"), QStringLiteral("Phone Number"), 0, false, {}, Qt::AlignLeft | Qt::AlignVCenter,
         13},
    };
    for (int i = 1; i <= 6; ++i) {
        columns.push_back({QStringLiteral("ADDR%1").arg(i), QStringLiteral("Address %1").arg(i), 0, false, {},
                           Qt::AlignLeft | Qt::AlignVCenter, 30});
    }
    columns.push_back({QStringLiteral("DUEDATE"), QStringLiteral("Due Date"), 0, false, {},
                       Qt::AlignLeft | Qt::AlignVCenter});
    return columns;
}

} // namespace

QString GrandTotalText(double total)
{
    return vb::Format(total, QStringLiteral("###,###,###,##0.00"));
}

Group::Group(QWidget* parent) : QDialog(parent)
{
    setupUi(this);
    ui::setForeColour(Label_Historical_Year, ui::colour::Red);
    ui::setBackColour(Label_Total, ui::colour::Tinted);
    ui::makeStatusBox(Text_Msg);
    // Closing this screen ends the run: a stray Escape only asks.
    ui::escapeRuns(this, [this] { Escape_Press(); });

    connect(Command_Details, &QPushButton::clicked, this, [this] { Command_Details_Click(); });
    connect(Command_AgencyInformation, &QPushButton::clicked, this, [this] { Command_AgencyInformation_Click(); });
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(TDBGrid, &ui::RecordsetGrid::rowDoubleClicked, this, [this](int) { Command_Details_Click(); });
    connect(TDBGrid, &ui::RecordsetGrid::rowChanged, this, [this](int) { showGroupNumber(); });
    connect(TDBGrid, &ui::RecordsetGrid::moveFailed, this, [this](const QString& message) {
        ui::ui().msgBox(message, ui::Buttons::OK, ui::Icon::Critical, QStringLiteral("ZARV Data"));
    });

    Form_Load();
    TDBGrid->bind(&DE().rsGroup(), groupColumns());
    showGroupNumber();
}

void Group::Form_Load()
{
    Guarded(QStringLiteral("Group.Form_Load"), [this] {
        TotalBulkPayment = 0;
        Label_Total->setText(GrandTotalText(TotalBulkPayment));
        showHistoricalYear();

        db::Recordset& rsGroup = DE().rsGroup();
        if (!rsGroup.isOpen())
            rsGroup.open();
        if (rsGroup.recordCount() > 0) {
            rsGroup.moveFirst();
            while (!rsGroup.eof()) {
                TotalBulkPayment += rsGroup.number(QStringLiteral("TOT_PAY"));
                rsGroup.moveNext();
            }
            rsGroup.moveFirst();
            Label_Total->setText(GrandTotalText(TotalBulkPayment));
        }

        db::Recordset& rsDetail = DE().rsDetail();
        if (!rsDetail.isOpen())
            rsDetail.open();
        if (rsDetail.recordCount() > 0)
            rsDetail.moveFirst();
    });
}

void Group::showHistoricalYear()
{
    db::Recordset& rs = DE().rsZarvSystem();
    if (!rs.isOpen())
        rs.open();
    if (rs.recordCount() < 1)
        return;
    rs.moveFirst();
    const QString year = rs.text(QStringLiteral("Year"));
    const QString thisYear = vb::Trim(QString::number(QDate::currentDate().year()));
    if (thisYear != year) {
        Label_Historical_Year->setText(year);
        Frame_Historical->setVisible(true);
    }
}

void Group::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    Form_Activate();
}

void Group::Form_Activate()
{
    ui::ui().doEvents();
}

void Group::showGroupNumber()
{
    try {
        const db::Recordset& rs = DE().rsGroup();
        // The frame names the paying agency; its group number goes to the tip.
        const bool row = HasCurrentRow(rs);
        Label_Group->setText(row ? rs.text(QStringLiteral("MORTCO")) : QString());
        Label_Group->setToolTip(row ? QStringLiteral("Group ") + rs.text(QStringLiteral("GROUP")) : QString());
    } catch (const std::exception&) {
        Label_Group->clear();
        Label_Group->setToolTip(QString());
    }
}

void Group::park()
{
    ui::ui().parkWindow(this, ui::pixelsToTwips(x()) - kParkTwips);
}

void Group::unpark()
{
    ui::ui().restoreWindow(this);
}

void Group::Command_Details_Click()
{
    if (!Command_Details->isEnabled())
        return;
    if (!HasCurrentRow(DE().rsGroup())) {
        ui::ui().beep();
        Text_Msg->setText(kInstructions);
        return;
    }
    Command_Details->setEnabled(false);
    Text_Msg->clear();

    const QString where = QStringLiteral("Group.Command_Details_Click");
    if (Guarded(where, [this] { restrictToGroup(CurrentGroupMortco()); })) {
        park();
        {
            Detail screen;
            ui::ui().showModal(screen);
        }
        unpark();
        ui::ui().doEvents();
        if (ui::ui().ending())
            return;

        Text_Msg->setText(QStringLiteral("Recalculating total payment amounts..."));
        ui::ui().doEvents();
        if (!Guarded(where, [this] { recountGroup(); }))
            DropPendingEdit(DE().rsGroup());
    }
    Text_Msg->clear();
    Command_Details->setEnabled(true);
}

void Group::restrictToGroup(const QString& mortco)
{
    strFilter = GroupFilter(mortco);
    db::Recordset& rsDetail = DE().rsDetail();
    if (!rsDetail.isOpen())
        rsDetail.open();
    rsDetail.setFilter(QString());
    rsDetail.setFilter(strFilter);
    if (rsDetail.recordCount() > 0)
        rsDetail.moveFirst();
}

void Group::recountGroup()
{
    db::Recordset& rsDetail = DE().rsDetail();
    db::Recordset& rsGroup = DE().rsGroup();
    // The list may have been re-sorted meanwhile: restrict again to be sure.
    const QString mortco = CurrentGroupMortco();
    if (rsDetail.filter() != GroupFilter(mortco))
        restrictToGroup(mortco);

    long count = 0;
    double sum = 0;
    if (rsDetail.recordCount() > 0) {
        rsDetail.moveFirst();
        while (!rsDetail.eof()) {
            ++count;
            sum += rsDetail.number(QStringLiteral("PAYMENT"));
            rsDetail.moveNext();
        }
        rsDetail.moveFirst();
    }
    rsGroup.setValue(QStringLiteral("FOLIO_CNT"), double(count));
    rsGroup.setValue(QStringLiteral("TOT_PAY"), sum);
    rsGroup.move(0);

    rsDetail.setFilter(QString());
    showGrandTotal();
}

void Group::showGrandTotal()
{
    double total = 0;
    std::unique_ptr<db::Recordset> rsGroupClone = DE().rsGroup().clone();
    if (rsGroupClone->recordCount() > 0) {
        rsGroupClone->moveFirst();
        while (!rsGroupClone->eof()) {
            total += rsGroupClone->number(QStringLiteral("TOT_PAY"));
            rsGroupClone->moveNext();
        }
    }
    rsGroupClone->close();
    rsGroupClone.reset();
    TotalBulkPayment = total;
    Label_Total->setText(GrandTotalText(total));
}

void Group::Command_AgencyInformation_Click()
{
    if (!Command_AgencyInformation->isEnabled())
        return;
    if (!Group_Agency::canOpen()) {
        ui::ui().beep();
        Text_Msg->setText(kInstructions);
        return;
    }
    Command_AgencyInformation->setEnabled(false);
    Text_Msg->clear();
    park();
    {
        Group_Agency screen;
        ui::ui().showModal(screen);
    }
    ui::ui().doEvents();
    unpark();
    Command_AgencyInformation->setEnabled(true);
}

void Group::Command1_Click()
{
    leave();
}

std::optional<bool> Group::askToLeave() const
{
    const QString file = dataFile_.isEmpty() ? QStringLiteral("the payment data file")
                                             : QDir::toNativeSeparators(dataFile_);
    const ui::Answer answer = ui::ui().msgBox(ui::MessageBox{
        QStringLiteral("End the payment run on %1?\r\n\r\n"
                       "Yes: save the changes of this run to the file and end.\r\n"
                       "No: end without saving; the file stays as it was.\r\n"
                       "Cancel: go back to the payment groups.")
            .arg(file),
        ui::Buttons::YesNoCancel, ui::Icon::Question, QStringLiteral("Close the payment groups"), ui::Answer::Cancel});
    if (answer == ui::Answer::Yes)
        return true;
    if (answer == ui::Answer::No)
        return false;
    return std::nullopt;
}

void Group::leave()
{
    const std::optional<bool> save = askToLeave();
    if (!save)
        return;
    withoutSaving_ = !*save;
    accept();
}

void Group::Escape_Press()
{
    if (Command1->isEnabled())
        leave();
}

void Group::closeEvent(QCloseEvent* e)
{
    // Close and Escape close the screen through accept(), which sends no close
    // event here; any close that arrives is the window's own (close box, Alt+F4).
    if (!ui::ui().ending()) {
        const std::optional<bool> save = askToLeave();
        if (!save) {
            e->ignore();
            return;
        }
        withoutSaving_ = !*save;
    }
    QDialog::closeEvent(e);
}

} // namespace zarv
