#include "payments/Detail.h"

#include "paymentfile/screens/DetailReport.h"
#include "payments/Detail_Add.h"
#include "payments/Detail_Change.h"
#include "payments/Detail_Delete.h"
#include "payments/Detail_Search.h"
#include "payments/paymentrules.h"
#include "payments/screenparts.h"
#include "platform/data/recordset.h"
#include "platform/files/outputnames.h"
#include "platform/forms/dialogkeys.h"
#include "platform/forms/formcolours.h"
#include "platform/grid/recordsetgrid.h"
#include "platform/ui/screens/parking.h"
#include "platform/ui/uiservices.h"
#include "services/dataenvironment.h"
#include "services/failurenotice.h"
#include "services/sharedstate.h"
#include "services/workingfolder.h"

#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace zarv {

namespace {

// Smallest size of the screen: 9645 by 6450 twips.
constexpr int kMinWidthTwips = 9645;
constexpr int kMinHeightTwips = 6450;

std::vector<ui::GridColumn> detailColumns()
{
    const auto currency = [](const QVariant& v, qint64) { return v.isNull() ? QString() : CurrencyText(v.toDouble()); };
    const Qt::Alignment left = Qt::AlignLeft | Qt::AlignVCenter;
    const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;
    return {
        {QStringLiteral("CD"), QStringLiteral("Collection District"), 0, false, {}, left, 2},
        {QStringLiteral("JUR"), QStringLiteral("Jurisdiction"), 0, false, {}, left, 3},
        {QStringLiteral("FOLIO_DISP"), QStringLiteral("Folio Number"), 0, false, {}, left, kFolioDisplayChars},
        {QStringLiteral("NUMBER"), QStringLiteral("Mortgage Number"), 0, false, {}, left, 12},
        {QStringLiteral("NAME"), QStringLiteral("Name"), 0, false, {}, left, 25},
        {QStringLiteral("LEGAL"), QStringLiteral("Legal Description"), 0, false, {}, left, 32},
        {QStringLiteral("ABC"), QStringLiteral("A B C"), 0, false, {}, left},
        {QStringLiteral("PAYMENT"), QStringLiteral("Payment Amount"), 0, false, currency, right},
        {QStringLiteral("GROSS_TAX"), QStringLiteral("NO Grant (A)"), 0, false, currency, right},
        {QStringLiteral("REG_GRANT"), QStringLiteral("Regular Grant (B)"), 0, false, currency, right},
        {QStringLiteral("ADD_GRANT"), QStringLiteral("Additional Grant (C)"), 0, false, currency, right},
        {QStringLiteral("DELQ"), QStringLiteral("Delinquent / Credit"), 0, false, currency, right},
    };
}

} // namespace

Detail::Detail(QWidget* parent) : QDialog(parent)
{
    setupUi(this);
    try {
        setWindowTitle(QStringLiteral("ZARV - Payments of Agency ") + CurrentGroupMortco());
    } catch (const std::exception&) {
        // No group to name: the title stays "ZARV - Payments".
    }
    ui::noDefaultButton(this);
    setMinimumSize(ui::twipsToPixels(kMinWidthTwips), ui::twipsToPixels(kMinHeightTwips));
    ui::escapePresses(this, Command_Close);
    ui::makeStatusBox(Text_Msg);

    connect(Option_Sort_CD, &QRadioButton::clicked, this, [this] { Option_Sort_CD_Click(); });
    connect(Option_Sort_JUR, &QRadioButton::clicked, this, [this] { Option_Sort_JUR_Click(); });
    connect(Option_Sort_Mortgage, &QRadioButton::clicked, this, [this] { Option_Sort_Mortgage_Click(); });
    connect(Option_Sort_Name, &QRadioButton::clicked, this, [this] { Option_Sort_Name_Click(); });
    connect(Command_AddDetail, &QPushButton::clicked, this, [this] { Command_AddDetail_Click(); });
    connect(Command_ChangeDetail, &QPushButton::clicked, this, [this] { Command_ChangeDetail_Click(); });
    connect(Command_DeleteDetail, &QPushButton::clicked, this, [this] { Command_DeleteDetail_Click(); });
    connect(Command_Search, &QPushButton::clicked, this, [this] { Command_Search_Click(); });
    connect(Command_Export, &QPushButton::clicked, this, [this] { Command_Export_Click(); });
    connect(Command_Print, &QPushButton::clicked, this, [this] { Command_Print_Click(); });
    connect(Command_Close, &QPushButton::clicked, this, [this] { Command_Close_Click(); });
    connect(TDBGrid, &ui::RecordsetGrid::rowDoubleClicked, this, [this](int) { Command_ChangeDetail_Click(); });
    connect(TDBGrid, &ui::RecordsetGrid::rowEntered, this, [this](int) { Command_ChangeDetail_Click(); });
    connect(TDBGrid, &ui::RecordsetGrid::rowChanged, this, [this](int) { Text_Msg->clear(); });
    connect(TDBGrid, &ui::RecordsetGrid::moveFailed, this, [this](const QString& message) {
        ui::ui().msgBox(message, ui::Buttons::OK, ui::Icon::Critical, QStringLiteral("ZARV Data"));
    });

    Form_Load();
    TDBGrid->bind(&DE().rsDetail(), detailColumns());
    Text_Msg->clear();
}

QString Detail::exportPath(const QString& mortco)
{
    return WorkingFilePath(fs::paymentsExportName(mortco));
}

QString Detail::reportName(const QString& mortco)
{
    return fs::reportPdfName(QStringLiteral("Payments %1").arg(mortco));
}

void Detail::Form_Load()
{
    blnLoading = true;
    Guarded(QStringLiteral("Detail.Form_Load"), [this] {
        db::Recordset& rs = DE().rsDetail();
        if (!rs.isOpen()) {
            rs.setSource(kSortByDistrict);
            rs.open();
        } else {
            selectOptionOf(rs.source());
        }
        if (rs.recordCount() > 0)
            rs.moveFirst();
    });
    blnLoading = false;
}

void Detail::selectOptionOf(const QString& source)
{
    if (source == kSortByName)
        Option_Sort_Name->setChecked(true);
    else if (source == kSortByMortgage)
        Option_Sort_Mortgage->setChecked(true);
    else if (source == kSortByJurisdiction)
        Option_Sort_JUR->setChecked(true);
    else
        Option_Sort_CD->setChecked(true);
}

void Detail::Option_Sort_CD_Click()
{
    Text_Msg->clear();
    if (!blnLoading)
        sortBy(kSortByDistrict);
}

void Detail::Option_Sort_JUR_Click()
{
    Text_Msg->clear();
    if (!blnLoading)
        sortBy(kSortByJurisdiction);
}

void Detail::Option_Sort_Mortgage_Click()
{
    Text_Msg->clear();
    if (!blnLoading)
        sortBy(kSortByMortgage);
}

void Detail::Option_Sort_Name_Click()
{
    Text_Msg->clear();
    if (!blnLoading)
        sortBy(kSortByName);
}

void Detail::sortBy(const QString& source)
{
    db::Recordset& rs = DE().rsDetail();
    const QString previous = rs.source();
    const QString where = QStringLiteral("Detail.Option_Sort_Click");
    const bool sorted = Guarded(where, [&] {
        strSQL = source;
        rs.close();
        rs.setSource(strSQL);
        rs.open();      // the group's filter stays set across Close and Open
    });
    if (!sorted) {
        Guarded(where, [&] {
            if (!rs.isOpen()) {
                rs.setSource(previous);
                rs.open();
            }
        });
        selectOptionOf(rs.source());
    }
    TDBGrid->rebind();
}

void Detail::Command_AddDetail_Click()
{
    Text_Msg->clear();
    if (!Detail_Add::canOpen())
        return;
    Detail_Add screen;
    ui::ui().showModal(screen);
}

void Detail::Command_ChangeDetail_Click()
{
    if (!Detail_Change::canOpen())
        return;     // no current payment: nothing to change
    Text_Msg->clear();
    Detail_Change screen;
    if (screen.loaded())
        ui::ui().showModal(screen);
}

void Detail::Command_DeleteDetail_Click()
{
    if (!Detail_Delete::canOpen())
        return;
    Text_Msg->clear();
    Detail_Delete screen;
    if (screen.loaded())
        ui::ui().showModal(screen);
}

void Detail::Command_Search_Click()
{
    Text_Msg->clear();
    if (!Detail_Search::canOpen())
        return;
    Detail_Search screen;
    if (screen.loaded())
        ui::ui().showModal(screen);
}

void Detail::Command_Export_Click()
{
    Command_Export->setEnabled(false);
    Text_Msg->setText(QStringLiteral("Please wait while exporting..."));
    ExportResult result;
    QString path;
    const bool ran = Guarded(QStringLiteral("Detail.Command_Export_Click"), [&] {
        const QString mortco = CurrentGroupMortco();
        path = exportPath(mortco);
        result = WriteExport(DE().rsDetail(), mortco, path);
        if (!result.ok) {
            ui::ui().msgBox(QDir::toNativeSeparators(path) + QStringLiteral(" could not be written: ") + result.error +
                                QStringLiteral("\r\nAny earlier file of that name is unchanged."),
                            ui::Buttons::OK, ui::Icon::Critical, QStringLiteral("ZARV Data"));
        }
    });
    result.ok = result.ok && ran;
    // The status names the file with its folder, so the clerk finds it.
    const QString shownPath = QDir::toNativeSeparators(path);
    Text_Msg->setText(result.ok ? QStringLiteral("Export Complete! (%1)").arg(shownPath)
                                : QStringLiteral("Export FAILED! (%1)").arg(shownPath));
    Command_Export->setEnabled(true);
    if (result.ok)
        ui::ui().beep();
    Command_Export->setFocus(Qt::OtherFocusReason);
}

void Detail::Command_Print_Click()
{
    Command_Print->setEnabled(false);
    Text_Msg->setText(QStringLiteral("Printing ..."));
    ui::ui().doEvents();
    bool printed = false;
    QString savedAs;
    const QString where = QStringLiteral("Detail.Command_Print_Click");
    Guarded(where, [&] {
        const ui::PdfTarget target{WorkingFolder(), reportName(CurrentGroupMortco()), true};
        printed =
            PrintDetailReport(QStringLiteral("Payments of Agency %1").arg(CurrentGroupMortco()), target, &savedAs);
    });
    Guarded(where, [] {
        db::Recordset& rs = DE().rsDetail();
        if (rs.isOpen() && rs.recordCount() > 0)
            rs.moveFirst();
    });
    Text_Msg->clear();
    Command_Print->setEnabled(true);
    if (printed) {
        Text_Msg->setText(savedAs.isEmpty()
                              ? QStringLiteral("Report Printed!")
                              : QStringLiteral("Report saved as %1").arg(QDir::toNativeSeparators(savedAs)));
        ui::ui().beep();
    }
    ui::ui().doEvents();
}

void Detail::Command_Close_Click()
{
    accept();
}

} // namespace zarv
