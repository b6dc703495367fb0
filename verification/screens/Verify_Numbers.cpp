#include "verification/screens/Verify_Numbers.h"

#include "verification/screens/Verify_Number_Add.h"
#include "verification/screens/Verify_Number_Change.h"
#include "verification/screens/Verify_Number_Delete.h"
#include "verification/screens/Verify_Numbers_Search.h"
#include "verification/screens/folioentry_widgets.h"
#include "verification/verifycsv.h"
#include "verification/verifyhelp.h"
#include "verification/verifyimport.h"

#include "platform/data/recordset.h"
#include "platform/forms/dialogkeys.h"
#include "platform/forms/formcolours.h"
#include "platform/grid/recordsetgrid.h"
#include "platform/text/vb.h"
#include "platform/ui/screens/parking.h"
#include "platform/ui/screens/screenfit.h"
#include "platform/ui/uiservices.h"
#include "services/screens/Form_InformationDialog.h"
#include "services/clientdata.h"
#include "services/dataenvironment.h"
#include "services/failurenotice.h"
#include "services/system.h"
#include "services/workingfolder.h"

#include <QCloseEvent>
#include <QDir>
#include <QHeaderView>
#include <QScrollBar>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>

namespace zarv {

namespace {

const QString CRLF = QStringLiteral("\r\n");

// The park position while the find screen is open.
constexpr int kParkedLeftTwips = -99999;

// A folio cell: laid out by its row's jurisdiction; a value that is not the
// row's stored folio through the amount mask without its leading zeros. The
// list's current row does not move.
QString folioText(const QVariant& value, qint64 bookmark)
{
    const QString folio = value.toString();
    if (folio.isEmpty())
        return folio;
    try {
        const db::Recordset& rs = DE().rsVerify();
        if (rs.isOpen() && rs.recordCount() > 0) {
            const int row = rs.rowOfBookmark(bookmark);
            const int folioField = rs.fieldIndex(QStringLiteral("FOLIO"));
            const int jurField = rs.fieldIndex(QStringLiteral("JUR"));
            if (row >= 0 && rs.valueAt(row, folioField).toString() == folio)
                return FormatFolio(rs.valueAt(row, jurField).toString(), folio);
        }
        return StripLeadingChar(FormatAmountMask(folio), QStringLiteral("0"));
    } catch (const std::exception&) {
        return folio;
    }
}


bool confirmEndOfRun()
{
    return ui::ui().confirm(QStringLiteral("Close the folio list and end the verification run?") + CRLF +
                                QStringLiteral("The workbook %1 is then saved with the changes of this run, and "
                                               "the program ends.")
                                    .arg(WorkingFile()),
                            QStringLiteral("Close the folio list"));
}

} // namespace

// Holds off everything the user could click while an export or import runs, so
// that no second action starts and the list cannot close half way.
class Verify_Numbers::ExchangeGuard {
public:
    explicit ExchangeGuard(Verify_Numbers& screen) : screen_(screen) { screen_.blockUserActions(true); }
    ~ExchangeGuard() { screen_.blockUserActions(false); }
    ExchangeGuard(const ExchangeGuard&) = delete;
    ExchangeGuard& operator=(const ExchangeGuard&) = delete;

private:
    Verify_Numbers& screen_;
};

Verify_Numbers::Verify_Numbers(QWidget* parent) : QDialog(parent)
{
    setupUi(this);
    layout()->setMenuBar(menuBar);
    findOptions();
    // Headings stand over the start of their values: a wide column's heading
    // (Name) is read without scrolling to the middle of the column.
    TDBGrid->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    for (QPushButton* help : {Command_Exp_Help, Command_Imp_Help})
        help->setFixedWidth(help->fontMetrics().horizontalAdvance(QStringLiteral("??")) + 12);
    // The column is as wide as its frames need, and wider by its scroll bar
    // only while the window is too short for all of it.
    const auto fitColumn = [this](int, int max) {
        columnArea->setMinimumWidth(column->minimumSizeHint().width() +
                                    (max > 0 ? columnArea->verticalScrollBar()->sizeHint().width() : 0));
    };
    connect(columnArea->verticalScrollBar(), &QScrollBar::rangeChanged, this, fitColumn);
    fitColumn(0, 0);
    ui::makeStatusBox(Text_Msg);
    // Closing the list ends the run: a stray Escape only asks.
    ui::escapeRuns(this, [this] { Escape_Press(); });
    connectControls();
    connectMenus();
    Form_Load();
    bindGrid();
    Option_Window_Click(verifylist::kDesignLayout);
    nameLeftOutRows();
}

Verify_Numbers::~Verify_Numbers() = default;

// The options and menu items of the sort orders and window sizes, by the names
// their tables give them.
void Verify_Numbers::findOptions()
{
    for (int i = 0; i < verifylist::kSortOrders; ++i) {
        const verifylist::SortOrder& order = verifylist::sortOrders()[size_t(i)];
        Option_Sort[size_t(i)] = findChild<QRadioButton*>(QLatin1String(order.option));
        mnuSortBy[size_t(i)] = findChild<QAction*>(QLatin1String(order.menuItem));
    }
    for (int i = 0; i < verifylist::kWindowLayouts; ++i) {
        const verifylist::WindowLayout& layout = verifylist::windowLayouts()[size_t(i)];
        Option_Window[size_t(i)] = findChild<QRadioButton*>(QLatin1String(layout.option));
        mnuWindowSize[size_t(i)] = findChild<QAction*>(QLatin1String(layout.menuItem));
    }
}

void Verify_Numbers::connectControls()
{
    const auto on = [this](QPushButton* b, void (Verify_Numbers::*handler)()) {
        connect(b, &QPushButton::clicked, this, [this, handler] { (this->*handler)(); });
    };
    on(Command_AddDetail, &Verify_Numbers::Command_AddDetail_Click);
    on(Command_ChangeDetail, &Verify_Numbers::Command_ChangeDetail_Click);
    on(Command_Inactivate, &Verify_Numbers::Command_Inactivate_Click);
    on(Command_Activate, &Verify_Numbers::Command_Activate_Click);
    on(Command_Search, &Verify_Numbers::Command_Search_Click);
    on(Command_Close, &Verify_Numbers::Command_Close_Click);
    on(Command_Export, &Verify_Numbers::Command_Export_Click);
    on(Command_Exp_Help, &Verify_Numbers::Command_Exp_Help_Click);
    on(Command_Imp_Help, &Verify_Numbers::Command_Imp_Help_Click);
    on(Command_Import1, &Verify_Numbers::Command_Import1_Click);
    on(Command_Import2, &Verify_Numbers::Command_Import2_Click);

    for (int i = 0; i < verifylist::kSortOrders; ++i)
        connect(Option_Sort[size_t(i)], &QRadioButton::clicked, this, [this, i] { Option_Sort_Click(i); });
    for (int i = 0; i < verifylist::kWindowLayouts; ++i)
        connect(Option_Window[size_t(i)], &QRadioButton::clicked, this, [this, i] { Option_Window_Click(i); });

    connect(TDBGrid, &ui::RecordsetGrid::rowChanged, this, [this](int) { TDBGrid_RowColChange(); });
    connect(TDBGrid, &ui::RecordsetGrid::rowDoubleClicked, this, [this](int) { TDBGrid_DblClick(); });
    connect(TDBGrid, &ui::RecordsetGrid::rowEntered, this, [this](int) { TDBGrid_DblClick(); });
}

void Verify_Numbers::connectMenus()
{
    // Menu items that run a button's action only while the button is enabled.
    const auto whenEnabled = [this](QAction* a, QPushButton* b, void (Verify_Numbers::*handler)()) {
        connect(a, &QAction::triggered, this, [this, b, handler] {
            if (b->isEnabled())
                (this->*handler)();
        });
    };
    whenEnabled(mnuAdd, Command_AddDetail, &Verify_Numbers::Command_AddDetail_Click);
    whenEnabled(mnuChange, Command_ChangeDetail, &Verify_Numbers::Command_ChangeDetail_Click);
    whenEnabled(mnuDelete, Command_Inactivate, &Verify_Numbers::Command_Inactivate_Click);
    whenEnabled(mnuUndelete, Command_Activate, &Verify_Numbers::Command_Activate_Click);
    whenEnabled(mnuFind, Command_Search, &Verify_Numbers::Command_Search_Click);

    const auto always = [this](QAction* a, void (Verify_Numbers::*handler)()) {
        connect(a, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
    };
    always(mnuClose, &Verify_Numbers::Command_Close_Click);
    always(mnuCloseNOW, &Verify_Numbers::mnuCloseNOW_Click);
    always(mnuPermanentDelete, &Verify_Numbers::mnuPermanentDelete_Click);
    always(mnuACD_Added, &Verify_Numbers::mnuACD_Added_Click);
    always(mnuACD_Changed, &Verify_Numbers::mnuACD_Changed_Click);
    always(mnuACD_Deleted, &Verify_Numbers::mnuACD_Deleted_Click);
    always(mnuACD_Blank, &Verify_Numbers::mnuACD_Blank_Click);
    always(mnuExport, &Verify_Numbers::Command_Export_Click);
    always(mnuExportHelp, &Verify_Numbers::Command_Exp_Help_Click);
    always(mnuImportHelp, &Verify_Numbers::Command_Imp_Help_Click);
    always(mnuImportAppend, &Verify_Numbers::Command_Import1_Click);
    always(mnuImportReplace, &Verify_Numbers::Command_Import2_Click);

    // A View or Window item runs the option's handler without selecting the option.
    for (int i = 0; i < verifylist::kSortOrders; ++i)
        connect(mnuSortBy[size_t(i)], &QAction::triggered, this, [this, i] { Option_Sort_Click(i); });
    for (int i = 0; i < verifylist::kWindowLayouts; ++i)
        connect(mnuWindowSize[size_t(i)], &QAction::triggered, this, [this, i] { Option_Window_Click(i); });
}

void Verify_Numbers::bindGrid()
{
    TDBGrid->bind(&DE().rsVerify(), folioentry::listColumns(QStringLiteral("A/C/D"), folioText));
    // How wide the grid must be to show the Name heading without scrolling.
    const QHeaderView* header = TDBGrid->horizontalHeader();
    for (int c = 0; c < header->count(); ++c) {
        const QString heading = header->model()->headerData(c, Qt::Horizontal).toString();
        if (heading == QLatin1String("Name"))
            gridWidthForName_ = header->sectionPosition(c) + header->fontMetrics().horizontalAdvance(heading) +
                                2 * header->style()->pixelMetric(QStyle::PM_HeaderMargin) +
                                2 * TDBGrid->frameWidth() + TDBGrid->verticalScrollBar()->sizeHint().width();
    }
}

// ---------------------------------------------------------------- load and activation

void Verify_Numbers::Form_Load()
{
    blnLoading = true;
    for (db::Recordset* rs : {&DE().rsCollection_District(), &DE().rsJurisdiction(), &DE().rsCD_JUR(),
                              &DE().rsVerify()}) {
        try {
            if (!rs->isOpen())
                rs->open();
            if (rs->recordCount() > 0)
                rs->moveFirst();
        } catch (const std::exception&) {
            // The list shows what it can; each recordset on its own.
        }
    }
    try {
        db::Recordset& rsVerify = DE().rsVerify();
        if (rsVerify.source() != DataEnvironment::kVerifySource) {
            // Re-sorted while the list was loaded before: that order stays.
            strSortSQL = rsVerify.source();
            rsVerify.close();
            Option_Sort[0]->setChecked(true);
            rsVerify.setSource(strSortSQL);
            rsVerify.open();
        }
    } catch (const std::exception&) {
        // As above.
    }
    try {
        codeTables_ = foliorule::CodeTables::fromWorkingDatabase();
    } catch (const std::exception&) {
        // No row is named in the list; all are named before the workbook is written.
    }
    blnLoading = false;
}

bool Verify_Numbers::event(QEvent* e)
{
    if (e->type() == QEvent::WindowActivate)
        Form_Activate();
    return QDialog::event(e);
}

void Verify_Numbers::Form_Activate()
{
    if (ui::ui().busy() && !busyState_ && !exchangeRunning_)
        ui::ui().setBusy(false);
    if (!ui::ui().ending() && pos() != QPoint(0, 0))
        move(0, 0);
}

void Verify_Numbers::closeEvent(QCloseEvent* e)
{
    // The window's close box closes the list as Close does, but never while an
    // export or import runs.
    if (exchangeRunning_ && !ui::ui().ending()) {
        e->ignore();
        return;
    }
    // The window manager's close (its close box, Alt+F4) ends the run: it asks first.
    if (e->spontaneous() && !ui::ui().ending() && !confirmEndOfRun()) {
        e->ignore();
        return;
    }
    QDialog::closeEvent(e);
}

// ---------------------------------------------------------------- busy state and button rule

void Verify_Numbers::DisableControls(bool ClearMsg, bool SetHourglass)
{
    busyState_ = true;
    if (ClearMsg)
        Text_Msg->clear();
    if (SetHourglass)
        ui::ui().setBusy(true);
    for (QPushButton* b : {Command_AddDetail, Command_ChangeDetail, Command_Inactivate, Command_Activate, Command_Search})
        b->setEnabled(false);
    Frame_Sort->setEnabled(false);     // held, but in its place: nothing below it moves
    Command_Close->setEnabled(false);
    ui::ui().doEvents();
}

void Verify_Numbers::EnableControls(bool ClearMsg, bool ResetPointer)
{
    busyState_ = false;
    verifylist::RowButtons rule;
    try {
        rule = verifylist::ButtonRule(DE().rsVerify());
    } catch (const std::exception&) {
        rule = verifylist::RowButtons{};
    }
    Command_AddDetail->setEnabled(rule.add);
    Command_Search->setEnabled(rule.search);
    applyRowButtons(rule);
    Frame_Sort->setEnabled(true);
    Command_Close->setEnabled(true);
    if (ClearMsg)
        Text_Msg->clear();
    if (ResetPointer)
        ui::ui().setBusy(false);
    ui::ui().doEvents();
}

void Verify_Numbers::applyRowButtons(const verifylist::RowButtons& rule)
{
    Command_ChangeDetail->setEnabled(rule.change);
    Command_Inactivate->setEnabled(rule.inactivate);
    Command_Activate->setEnabled(rule.activate);
}

void Verify_Numbers::nameLeftOutRows()
{
    std::vector<foliorule::NamedRecord> named;
    try {
        named = foliorule::LeftOutRows(DE().rsVerify());
    } catch (const std::exception&) {
        return;     // the folios are named again before the workbook is written
    }
    if (named.empty())
        return;
    Text_Msg->setText((named.size() == 1 ? QStringLiteral("1 folio") : QStringLiteral("%1 folios").arg(named.size())) +
                      QStringLiteral(" of this list would be left out by the tax office: each is named here when "
                                     "it is the current row, and all of them before the workbook is written."));
}

void Verify_Numbers::nameCurrentRow()
{
    try {
        const db::Recordset& rs = DE().rsVerify();
        if (!codeTables_ || !rs.isOpen() || rs.eof() || rs.bof())
            return;
        const QString refusal =
            folioentry::TaxOfficeRefusal(foliorule::Judge(foliorule::RecordOf(rs), *codeTables_));
        if (!refusal.isEmpty())
            Text_Msg->setText(refusal);
    } catch (const std::exception&) {
        // Nothing is named for a row that cannot be read.
    }
}

void Verify_Numbers::TDBGrid_RowColChange()
{
    Text_Msg->clear();
    // While busy the buttons wait for EnableControls, which reads the row then current.
    if (busyState_)
        return;
    nameCurrentRow();
    try {
        applyRowButtons(verifylist::ButtonRule(DE().rsVerify()));
    } catch (const std::exception&) {
        applyRowButtons(verifylist::RowButtons{});
    }
}

void Verify_Numbers::blockUserActions(bool block)
{
    exchangeRunning_ = block;
    menuBar->setEnabled(!block);
    column->setEnabled(!block);
    TDBGrid->setEnabled(!block);
}

// ---------------------------------------------------------------- status marks

void Verify_Numbers::setStatus(const QString& code)
{
    if (!idle())
        return;
    DisableControls(true, true);
    db::Recordset& rs = DE().rsVerify();
    const bool stored = Guarded(QStringLiteral("Verify_Numbers.setStatus"), [&] {
        if (rs.isOpen() && !rs.eof() && !rs.bof()) {
            rs.setValue(QStringLiteral("ACD"), code);
            rs.move(0);
        }
    });
    if (!stored) {
        // The stored code stays; the rule below shows the row as it is stored.
        try {
            if (rs.editPending())
                rs.cancelUpdate();
        } catch (const std::exception&) {
            // The refusal already shown is the one the clerk can act on.
        }
    }
    EnableControls(true, true);
    ui::ui().setBusy(false);
}

void Verify_Numbers::Command_Inactivate_Click()
{
    setStatus(QStringLiteral("D"));
}

void Verify_Numbers::Command_Activate_Click()
{
    setStatus(QStringLiteral(" "));
}

void Verify_Numbers::mnuACD_Added_Click()
{
    setStatus(QStringLiteral("A"));
}

void Verify_Numbers::mnuACD_Changed_Click()
{
    setStatus(QStringLiteral("C"));
}

void Verify_Numbers::mnuACD_Deleted_Click()
{
    setStatus(QStringLiteral("D"));
}

void Verify_Numbers::mnuACD_Blank_Click()
{
    setStatus(QStringLiteral(" "));
}

// ---------------------------------------------------------------- child screens

// A new screen for every showing: each loads itself from the current row.
std::unique_ptr<QDialog> Verify_Numbers::childScreen(Child which)
{
    switch (which) {
    case Child::Add:
        return std::make_unique<Verify_Number_Add>();
    case Child::Change:
        return std::make_unique<Verify_Number_Change>();
    case Child::Search:
        return std::make_unique<Verify_Numbers_Search>();
    case Child::PermanentDelete:
        return std::make_unique<Verify_Number_Delete>();
    }
    return nullptr;
}

void Verify_Numbers::runChild(Child which, bool parked)
{
    if (!idle())
        return;
    DisableControls(true, true);
    if (parked) {
        intSavedLeft = ui::pixelsToTwips(x());
        ui::ui().parkWindow(this, kParkedLeftTwips);
    }
    try {
        std::unique_ptr<QDialog> screen = childScreen(which);
        ui::ui().showModal(*screen);
    } catch (const std::exception&) {
        // The screens report their own failures; the list goes on with what it holds.
    }
    if (ui::ui().ending())
        return;
    if (parked)
        ui::ui().restoreWindow(this);
    TDBGrid->rebind();
    EnableControls(true, true);
}

void Verify_Numbers::Command_AddDetail_Click()
{
    runChild(Child::Add, false);
}

void Verify_Numbers::Command_ChangeDetail_Click()
{
    runChild(Child::Change, false);
}

void Verify_Numbers::Command_Search_Click()
{
    runChild(Child::Search, true);
}

void Verify_Numbers::mnuPermanentDelete_Click()
{
    if (!idle())
        return;
    try {
        db::Recordset& rsVerify = DE().rsVerify();
        if (verifylist::ButtonRule(rsVerify).search && !verifylist::PermanentDeleteAllowed(rsVerify)) {
            if (verifylist::OfferToMarkDeleted(rsVerify))
                setStatus(QStringLiteral("D"));
            return;
        }
        if (verifylist::ButtonRule(rsVerify).search) {     // there is a current row
            std::unique_ptr<QDialog> screen = childScreen(Child::PermanentDelete);
            ui::ui().showModal(*screen);
            if (ui::ui().ending())
                return;
            TDBGrid->rebind();
        }
    } catch (const std::exception&) {
        // As for the other screens.
    }
    EnableControls(true, true);
}

void Verify_Numbers::TDBGrid_DblClick()
{
    if (idle() && Command_ChangeDetail->isEnabled())
        Command_ChangeDetail_Click();
}

// ---------------------------------------------------------------- closing

void Verify_Numbers::Command_Close_Click()
{
    if (!idle())
        return;
    ui::ui().setBusy(true);
    Text_Msg->setText(QStringLiteral("Closing form..."));
    ui::ui().doEvents();
    accept();
}

void Verify_Numbers::Escape_Press()
{
    if (idle() && Command_Close->isEnabled() && confirmEndOfRun())
        Command_Close_Click();
}

void Verify_Numbers::mnuCloseNOW_Click()
{
    if (!idle())
        return;
    if (!ui::ui().confirm(QStringLiteral("Close WITHOUT saving?") + CRLF +
                              QStringLiteral("Every change made in this run is lost: the workbook %1 stays as it "
                                             "was, and the program ends.")
                                  .arg(WorkingFile()),
                          QStringLiteral("Close and do NOT save"), ui::Icon::Exclamation))
        return;
    ui::ui().endProgram(0);
}

// ---------------------------------------------------------------- sort orders and window sizes

void Verify_Numbers::Option_Sort_Click(int order)
{
    if (blnLoading || !idle() || order < 0 || order >= verifylist::kSortOrders)
        return;
    DisableControls(true, true);
    db::Recordset& rsVerify = DE().rsVerify();
    try {
        saved_.SaveCurrentRow(rsVerify);
    } catch (const std::exception&) {
        // No row to come back to: the list opens at its first row.
    }
    const QString before = rsVerify.source();
    const QString where = QStringLiteral("Verify_Numbers.Option_Sort_Click");
    const auto reopen = [&rsVerify](const QString& source) {
        rsVerify.close();
        rsVerify.setSource(source);
        rsVerify.open();
    };
    if (Guarded(where, [&] { reopen(QLatin1String(verifylist::sortOrders()[size_t(order)].source)); })) {
        strSortSQL = rsVerify.source();
    } else {
        // The list comes back in the order it had, so no folio drops out of view.
        Guarded(where, [&] { reopen(before); });
        for (int i = 0; i < verifylist::kSortOrders; ++i) {
            if (before == QLatin1String(verifylist::sortOrders()[size_t(i)].source))
                Option_Sort[size_t(i)]->setChecked(true);
        }
    }
    TDBGrid->rebind();
    try {
        saved_.RestoreCurrentRow(rsVerify);
    } catch (const std::exception&) {
        // The row is gone from the list: the first row stays current.
    }
    // The rule reads the row found again, not the first row.
    EnableControls(true, true);
}

void Verify_Numbers::Option_Window_Click(int layout)
{
    if (!idle() || layout < 0 || layout >= verifylist::kWindowLayouts)
        return;
    const verifylist::WindowLayout& l = verifylist::windowLayouts()[size_t(layout)];
    // The window takes the layout's size, never less than its content needs
    // nor so narrow that the Name heading is out of view; the grid fills what
    // the frames and the status line leave of it. A layout larger than the
    // screen is cut to it: the grid scrolls instead.
    fitColumnToScreen();
    const QSize least = minimumSizeHint();
    const int forName = least.width() - TDBGrid->minimumSizeHint().width() + gridWidthForName_;
    move(0, 0);
    resize(QSize(ui::twipsToPixels(l.screenWidth), ui::twipsToPixels(l.screenHeight))
               .expandedTo(least)
               .expandedTo(QSize(forName, 0)));
    ui::fitToScreen(this);
}

// The column of frames is shown whole, unless the screen is too short for it
// beside the menus and the status line: then it scrolls, and the status line
// stays in view.
void Verify_Numbers::fitColumnToScreen()
{
    columnArea->setMinimumHeight(0);
    const QMargins frame = ui::frameMarginsOf(this);
    const int room = ui::availableAreaFor(this).height() - frame.top() - frame.bottom() -
                     (minimumSizeHint().height() - columnArea->minimumSizeHint().height());
    columnArea->setMinimumHeight(std::max(0, std::min(column->minimumSizeHint().height(), room)));
}

// ---------------------------------------------------------------- Verify.csv

void Verify_Numbers::Command_Export_Click()
{
    if (!idle())
        return;
    ExchangeGuard guard(*this);
    strStep = QStringLiteral("  1");
    DisableControls(true, true);
    const QString csv = QDir::toNativeSeparators(verifycsv::VerifyCsvPath());
    Text_Msg->setText(QStringLiteral("Please wait while exporting the Folio Verification data to the %1 file...").arg(csv));
    ui::ui().setBusy(true);
    ui::ui().doEvents();
    try {
        db::Recordset& rsVerify = DE().rsVerify();
        const long counter = verifycsv::WriteVerifyCsv(rsVerify, verifycsv::VerifyCsvPath(), strStep,
                                                       [this](long written, long total) {
                                                           Text_Msg->setText(QStringLiteral(" (%1/%2)").arg(written).arg(total));
                                                           ui::ui().doEvents();
                                                       });
        if (counter > 0)
            rsVerify.moveFirst();
        strStep = QStringLiteral(" 68");
        Text_Msg->setText(QStringLiteral("Export to the Verify.csv file complete. ") + QString::number(counter) +
                          QStringLiteral(" Records exported (%1)")
                              .arg(QDir::toNativeSeparators(verifycsv::VerifyCsvPath())));
        ui::ui().msgBox(Text_Msg->text(), ui::Buttons::OK, ui::Icon::Information);
        EnableControls(false, true);
        strStep = QStringLiteral(" 90");
        ui::ui().doEvents();
        return;
    } catch (const std::exception&) {
        // The box names the failure and the step it stopped at, as every
        // unexpected error does, then what to do and that the old file stays.
        const QString step = vb::Trim(strStep);
        const QString database = DE().databasePath(QStringLiteral("Zarv.mdb"));
        Text_Msg->setText(QStringLiteral("Unexpected error occurred (") + step + QStringLiteral("). Ensure that the ") +
                          database + QStringLiteral(" is not open. Check diskspace... then try again"));
        ui::ui().msgBox(FailureNotice(QStringLiteral("Verify_Numbers.Command_Export_Click"), currentFailure(), step) +
                            CRLF + QStringLiteral("Ensure that the ") + database + QStringLiteral(" is not open.") +
                            CRLF + QStringLiteral("Check diskspace... then try again") + CRLF + csv +
                            QStringLiteral(" was left as it was."),
                        ui::Buttons::OK, ui::Icon::Critical);
    }
    EnableControls(true, true);
    ui::ui().setBusy(false);
    ui::ui().doEvents();
}

void Verify_Numbers::showHelp(const QString& text, const QString& title)
{
    if (!idle())
        return;
    ShowInformationDialog(QStringLiteral("Informational"), text, title);
    Text_Msg->clear();
    ui::ui().doEvents();
}

void Verify_Numbers::Command_Exp_Help_Click()
{
    if (!idle())
        return;
    ui::ui().doEvents();
    showHelp(verifyhelp::ExportHelpText(), verifyhelp::kExportTitle);
}

void Verify_Numbers::Command_Imp_Help_Click()
{
    showHelp(verifyhelp::ImportHelpText(), verifyhelp::kImportTitle);
}

void Verify_Numbers::runImport(const QString& option, const QString& doneText, const QString& failedText)
{
    if (!idle())
        return;
    ExchangeGuard guard(*this);
    verifyimport::ImportCounts counts;
    const QString csv = verifycsv::VerifyCsvPath();
    const QString done = doneText.arg(QDir::toNativeSeparators(csv));
    const QString failed = failedText.arg(QDir::toNativeSeparators(csv));
    const bool ok = verifyimport::ImportVerifyCsv(option, csv, [this] { TDBGrid->rebind(); }, &counts);
    const QString tally = counts.read
        ? QStringLiteral("Lines imported: %1, refused: %2.").arg(counts.imported).arg(counts.refused)
        : QString();
    if (counts.declined) {
        Text_Msg->setText(QStringLiteral("Import from the %1 file (option #2) was not run: the list was left "
                                         "as it was.")
                              .arg(QDir::toNativeSeparators(csv)));
        ui::ui().msgBox(Text_Msg->text(), ui::Buttons::OK, ui::Icon::Information);
    } else if (ok) {
        Text_Msg->setText(done + tally);
        ui::ui().msgBox(Text_Msg->text(), ui::Buttons::OK, ui::Icon::Information);
    } else if (counts.why.isEmpty()) {
        Text_Msg->setText(failed +
                          QStringLiteral("It was stopped at your answer; the records imported before it are kept.") +
                          (tally.isEmpty() ? QString() : QLatin1Char(' ') + tally));
        ui::ui().msgBox(Text_Msg->text(), ui::Buttons::OK, ui::Icon::Information);
    } else {
        // The reason was shown as the import stopped; the status line keeps it.
        Text_Msg->setText(failed + SingleLine(counts.why).simplified() +
                          (tally.isEmpty() ? QString() : QLatin1Char(' ') + tally));
    }
    EnableControls(false, true);
}

void Verify_Numbers::Command_Import1_Click()
{
    runImport(verifyimport::kOption1, QStringLiteral("Import from the %1 file (option #1) complete. "),
              QStringLiteral("Import from the %1 file (option #1) is NOT complete. "));
}

void Verify_Numbers::Command_Import2_Click()
{
    if (!idle())
        return;
    // The import itself asks before it replaces the list, once it knows how many lines the file holds.
    runImport(verifyimport::kOption2, QStringLiteral("Import from the %1 file (option #2) complete. "),
              QStringLiteral("Import from the %1 file (option #2) is NOT complete. "));
}

} // namespace zarv
