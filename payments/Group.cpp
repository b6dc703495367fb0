#include "payments/Group.h"

#include "payments/Detail.h"
#include "payments/Group_Agency.h"
#include "payments/paymentrules.h"
#include "payments/screenparts.h"
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
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

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
    setObjectName(QStringLiteral("Group"));
    setWindowTitle(QStringLiteral("ZARV - Payment Groups"));
    resize(900, 560);

    Frame4 = named(new QGroupBox(QStringLiteral("<Paying Agency>"), this), "Frame4");
    Label_Group = named(new QLabel(Frame4), "Label_Group");
    QFont bold = Label_Group->font();
    bold.setBold(true);
    Label_Group->setFont(bold);
    (new QHBoxLayout(Frame4))->addWidget(Label_Group);

    Frame_Historical = named(new QGroupBox(QStringLiteral("<Historical Year>"), this), "Frame_Historical");
    Label_Historical_Year = named(new QLabel(Frame_Historical), "Label_Historical_Year");
    Label_Historical_Year->setAlignment(Qt::AlignCenter);
    ui::setForeColour(Label_Historical_Year, ui::colour::Red);
    Label_Historical_Year->setToolTip(QStringLiteral(
        "This ZARV data is only for historical purposes. Please do not submit these payments as the current year "
        "ZARV payments!"));
    (new QHBoxLayout(Frame_Historical))->addWidget(Label_Historical_Year);
    Frame_Historical->setVisible(false);

    Frame2 = named(new QGroupBox(QStringLiteral("<Agency Details>"), this), "Frame2");
    Command_Details = named(new QPushButton(QStringLiteral("&Select"), Frame2), "Command_Details");
    Command_Details->setToolTip(QStringLiteral("View/Update the Selected  Agency's Payment Records"));
    Command_Details->setDefault(true);
    (new QHBoxLayout(Frame2))->addWidget(Command_Details);

    Frame1 = named(new QGroupBox(QStringLiteral("<Agency Info>"), this), "Frame1");
    Command_AgencyInformation = named(new QPushButton(QStringLiteral("&Change"), Frame1), "Command_AgencyInformation");
    Command_AgencyInformation->setToolTip(QStringLiteral("View/Update the Selected Agency's Information"));
    (new QHBoxLayout(Frame1))->addWidget(Command_AgencyInformation);

    // Alt+C is Change's, as on the payment list.
    Command1 = named(new QPushButton(QStringLiteral("C&lose"), this), "Command1");
    Command1->setToolTip(QStringLiteral("Close this window"));
    // Closing this screen ends the run: a stray Escape only asks.
    ui::escapeRuns(this, [this] { Escape_Press(); });

    Text_Msg = named(new QLineEdit(kInstructions, this), "Text_Msg");
    ui::makeStatusBox(Text_Msg);

    TDBGrid = named(new ui::RecordsetGrid(this), "TDBGrid");

    Label1 = named(new QLabel(QStringLiteral("Total Bulk Payment Amount"), this), "Label1");
    Label1->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Label_Total = named(new QLabel(QStringLiteral("0.00"), this), "Label_Total");
    Label_Total->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Label_Total->setFont(bold);
    Label_Total->setFrameShape(QFrame::Box);
    Label_Total->setMinimumWidth(160);
    ui::setBackColour(Label_Total, 0x00C0FFFFu);

    auto* top = new QHBoxLayout;
    top->addWidget(Frame4);
    top->addWidget(Frame_Historical);
    top->addStretch();
    top->addWidget(Frame2);
    top->addWidget(Frame1);
    top->addWidget(Command1, 0, Qt::AlignBottom);
    auto* total = new QHBoxLayout;
    total->addStretch();
    total->addWidget(Label1);
    total->addWidget(Label_Total);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(Text_Msg);
    layout->addWidget(TDBGrid, 1);
    layout->addLayout(total);

    QWidget::setTabOrder(TDBGrid, Command_Details);
    QWidget::setTabOrder(Command_Details, Command_AgencyInformation);
    QWidget::setTabOrder(Command_AgencyInformation, Command1);

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
    try {
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
    } catch (const std::exception&) {
        ShowFailure(QStringLiteral("Group.Form_Load"));
    }
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

    bool restricted = false;
    try {
        restrictToGroup(CurrentGroupMortco());
        restricted = true;
    } catch (const std::exception&) {
        ShowFailure(QStringLiteral("Group.Command_Details_Click"));
    }
    if (restricted) {
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
        try {
            recountGroup();
        } catch (const std::exception&) {
            DropPendingEdit(DE().rsGroup());
            ShowFailure(QStringLiteral("Group.Command_Details_Click"));
        }
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
    accept();
}

namespace {

bool confirmEndOfRun()
{
    return ui::ui().confirm(QStringLiteral("Close the payment groups and end the payment run?\r\nThe payment data "
                                           "file is then saved with the changes of this run, and the program ends."),
                            QStringLiteral("Close the payment groups"));
}

} // namespace

void Group::Escape_Press()
{
    if (Command1->isEnabled() && confirmEndOfRun())
        Command1_Click();
}

void Group::closeEvent(QCloseEvent* e)
{
    if (e->spontaneous() && !ui::ui().ending() && !confirmEndOfRun()) {
        e->ignore();
        return;
    }
    QDialog::closeEvent(e);
}

} // namespace zarv
