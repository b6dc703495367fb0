#include "paymentfile/screens/DuplicateFolios.h"

#include "paymentfile/screens/DetailReport.h"
#include "paymentfile/paymentformat.h"

#include "platform/files/outputnames.h"
#include "platform/text/vb.h"
#include "platform/ui/uiservices.h"
#include "services/dataenvironment.h"
#include "services/failurenotice.h"
#include "services/workingfolder.h"

#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QFontDatabase>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

namespace zarv {

namespace {

const QString kReportTitle = QStringLiteral("Duplicate Folios");

QFont courier()
{
    QFont f = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    f.setFamilies({QStringLiteral("Courier"), QStringLiteral("Courier New"), f.family()});
    f.setStyleHint(QFont::TypeWriter);
    f.setPointSizeF(9.75);
    return f;
}

// Left-aligned in width characters: padded with blanks or cut.
QString column(const QString& text, int width)
{
    return vb::Left(text + QString(width, QLatin1Char(' ')), width);
}

QString text(const QVariant& v)
{
    return v.toString();
}

// The rows put into Detail must fit the table as a load would have stored them.
void storeEntry(db::Recordset& rs, const DupFolioRow& e, int i)
{
    rs.addNew();
    rs.setValue(QStringLiteral("MORTCO"), vb::Left(text(e[dfMortco]), 4));
    rs.setValue(QStringLiteral("NUMBER"), vb::Left(text(e[dfNumber]), pf::kNumberWidth));
    rs.setValue(QStringLiteral("NAME"), vb::Left(text(e[dfName]), pf::kNameWidth));
    rs.setValue(QStringLiteral("CD"), vb::Left(text(e[dfCd]), pf::kCdWidth));
    rs.setValue(QStringLiteral("JUR"), vb::Left(text(e[dfJur]), pf::kJurWidth));
    rs.setValue(QStringLiteral("LEGAL"), vb::Left(text(e[dfLegal]), pf::kLegalWidth));
    rs.setValue(QStringLiteral("ABC"), vb::Left(text(e[dfAbc]), pf::kAbcWidth));
    rs.setValue(QStringLiteral("FOLIO_DISP"), vb::Left(text(e[dfFolioDisp]), pf::kFolioDispWidth));
    // The entry's number keeps the rows apart under the unique key even when
    // the duplicates repeat one another.
    rs.setValue(QStringLiteral("FOLIO"), vb::Str(i));
    rs.setValue(QStringLiteral("GROSS_TAX"), e[dfGrossTax].toDouble());
    rs.setValue(QStringLiteral("REG_GRANT"), e[dfRegGrant].toDouble());
    rs.setValue(QStringLiteral("ADD_GRANT"), e[dfAddGrant].toDouble());
    rs.setValue(QStringLiteral("DELQ"), e[dfDelq].toDouble());
    rs.setValue(QStringLiteral("PAYMENT"), e[dfPayment].toDouble());
    rs.move(0);
}

void dropPending(db::Recordset& rs)
{
    try {
        if (DE().Zarv.inTransaction())
            DE().Zarv.rollbackTrans();
        if (rs.isOpen() && rs.editPending())
            rs.cancelUpdate();
    } catch (const std::exception&) {
        // Already reporting a failure; nothing more to undo.
    }
}

} // namespace

namespace {

// The list's columns, in characters; the heading and every line are laid out
// by the same widths so that each value stands under its title.
constexpr int kAgencyWidth = 6;
constexpr int kCdWidth = 2;
constexpr int kJurWidth = 3;
constexpr int kFolioWidth = 20;
constexpr int kNameWidth = 25;
constexpr int kPaymentWidth = 14;
constexpr int kLegalWidth = 32;

// At least width characters: a longer code or folio is shown whole.
QString atLeast(const QString& text, int width)
{
    return text.leftJustified(width);
}

} // namespace

QString DupFolioListHeading()
{
    const QChar blank = QLatin1Char(' ');
    return atLeast(QStringLiteral("Agency"), kAgencyWidth) + blank + atLeast(QStringLiteral("CD"), kCdWidth) + blank +
           atLeast(QStringLiteral("JUR"), kJurWidth) + blank + atLeast(QStringLiteral("Folio Number"), kFolioWidth) +
           blank + atLeast(QStringLiteral("Name"), kNameWidth) + blank +
           QStringLiteral("Payment Amount").rightJustified(kPaymentWidth) + blank + QStringLiteral("Legal Description");
}

QString DupFolioListLine(const DupFolioRow& entry)
{
    const QChar blank = QLatin1Char(' ');
    const QString payment =
        vb::Format(entry[dfPayment].toDouble(), QStringLiteral("###,###,###,##0.00")).rightJustified(kPaymentWidth);
    return atLeast(text(entry[dfMortco]), kAgencyWidth) + blank + atLeast(text(entry[dfCd]), kCdWidth) + blank +
           atLeast(text(entry[dfJur]), kJurWidth) + blank + atLeast(text(entry[dfFolioDisp]), kFolioWidth) + blank +
           column(text(entry[dfName]), kNameWidth) + blank + payment + blank +
           column(text(entry[dfLegal]), kLegalWidth) + blank;
}

DuplicateFolios::DuplicateFolios(QWidget* parent) : QDialog(parent)
{
    setupUi(this);
    Label1->setText(introText());
    Label2->setFont(courier());
    Label2->setText(DupFolioListHeading());
    List_DuplicateFolios->setFont(courier());
    connect(Command_Print, &QPushButton::clicked, this, &DuplicateFolios::Command_Print_Click);
    connect(Command_OK, &QPushButton::clicked, this, &DuplicateFolios::Command_OK_Click);

    Form_Load();
}

void DuplicateFolios::setDataFile(const QString& path)
{
    dataFile_ = path;
    setWindowTitle(QStringLiteral("ZARV - Duplicate Folios in ") + QFileInfo(path).fileName());
    Label1->setText(introText());
    Label_FolioCount->setText(countText());
}

QString DuplicateFolios::introText() const
{
    const QString file = dataFile_.isEmpty() ? QString() : QLatin1Char(' ') + QDir::toNativeSeparators(dataFile_);
    return QStringLiteral(
               "There are duplicate folios in the ZARV data file%1. There is a unique index that prevents duplication "
               "of the exact same { Mortgage/Bulk Company (Agency), Collection District, Jurisdiction, Folio Number, "
               "and Name }. Please examine the input ZARV file and remove or fix the following duplicate folios. Note "
               "this list only shows the first 200 duplicate folios.")
        .arg(file);
}

QString DuplicateFolios::countText() const
{
    const QString count = vb::Format(double(DupFolioCount), QStringLiteral("###,###,###,##0"));
    const QString in = dataFile_.isEmpty() ? QStringLiteral("the file") : QFileInfo(dataFile_).fileName();
    return DupFolioCount == 1 ? QStringLiteral("There is 1 Duplicate Folio in ") + in
                              : QStringLiteral("There are ") + count + QStringLiteral(" Duplicate Folios in ") + in;
}

void DuplicateFolios::Form_Load()
{
    const int last = static_cast<int>(std::min<long>(DupFolioCount, kDupFolioRows)) - 1;
    List_DuplicateFolios->clear();
    for (int i = 0; i <= last; ++i)
        List_DuplicateFolios->addItem(DupFolioListLine(DupFolios[static_cast<size_t>(i)]));
    if (List_DuplicateFolios->count() > 0)
        List_DuplicateFolios->setCurrentRow(0);
    Label_FolioCount->setText(countText());
    ui::ui().doEvents();

    refillDetail(last);

    ui::ui().setBusy(false);
    ui::ui().doEvents();
}

// Detail is emptied and gets the listed duplicates, for the printed report.
void DuplicateFolios::refillDetail(int last)
{
    db::Recordset* rs = nullptr;
    const bool stored = Guarded(QStringLiteral("The duplicate folios could not be stored for printing."), [&] {
        rs = &DE().rsDetail();
        if (!rs->isOpen())
            rs->open();
        rs->setFilter(QString());
        if (rs->recordCount() > 0) {
            DE().Zarv.beginTrans();
            DE().Zarv.execute(QStringLiteral("DELETE FROM Detail"));
            DE().Zarv.commitTrans();
            rs->requery();
        }
        ui::ui().doEvents();
        for (int i = 0; i <= last; ++i)
            storeEntry(*rs, DupFolios[static_cast<size_t>(i)], i);
    });
    if (!stored && rs)
        dropPending(*rs);
}

void DuplicateFolios::Command_Print_Click()
{
    Command_Print->setEnabled(false);
    ui::ui().setBusy(true);
    Label_FolioCount->setText(QStringLiteral("Printing ..."));
    ui::ui().doEvents();

    bool printed = false;
    QString savedAs;
    const auto print = [&] {
        printed = PrintDetailReport(
            kReportTitle, ui::PdfTarget{WorkingFolder(), fs::reportPdfName(QStringLiteral("Duplicate folios")), true},
            &savedAs);
        db::Recordset& rs = DE().rsDetail();
        if (rs.recordCount() > 0)
            rs.moveFirst();
    };
    if (!Guarded(QStringLiteral("The report could not be printed."), print, kReportTitle))
        printed = false;

    Label_FolioCount->setText(!printed            ? countText()
                              : savedAs.isEmpty() ? QStringLiteral("Report Printed!")
                                                  : QStringLiteral("Report saved as %1").arg(QDir::toNativeSeparators(savedAs)));
    ui::ui().doEvents();
    ui::ui().setBusy(false);
    Command_Print->setEnabled(true);
    ui::ui().doEvents();
}

void DuplicateFolios::Command_OK_Click()
{
    close();
}

} // namespace zarv
