#include "verifyfile/returnedworkbook.h"
#include "services/activitylog.h"

#include "platform/data/recordset.h"
#include "platform/text/vb.h"
#include "services/dataenvironment.h"
#include "services/foliorule.h"
#include "verifyfile/verifiedfile.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>

#include <algorithm>

namespace zarv {

namespace {

enum Column { A, B, C, D, E, F, G };

// Codes compare as the tables compare them: letter case aside.
QString codeKey(const QString& code)
{
    return code.toUpper();
}

QString identify(const FolioRowCells& trimmed)
{
    if (!trimmed[F].isEmpty())
        return QStringLiteral("folio ") + foliorule::Quoted(trimmed[F]);
    if (!trimmed[G].isEmpty())
        return QStringLiteral("PID ") + foliorule::Quoted(trimmed[G]);
    return QStringLiteral("no folio or PID");
}

FolioRowCells trim(const FolioRowCells& cells)
{
    FolioRowCells t;
    std::transform(cells.begin(), cells.end(), t.begin(), [](const QString& c) { return vb::Trim(c); });
    return t;
}

// The keys a repeated row is found by: company, jurisdiction and folio; or
// company and PID for a row that has only a PID.
QString folioKey(const QString& company, const QString& jurisdiction, const QString& folio)
{
    return codeKey(foliorule::PadCut(company, 4) + QLatin1Char('|') + foliorule::PadCut(jurisdiction, 3) + QLatin1Char('|') + folio);
}

QString pidKey(const QString& company, const QString& pid)
{
    return codeKey(foliorule::PadCut(company, 4) + QLatin1Char('|') + pid);
}

struct StoredRow {
    int row = 0;
    FolioRowCells cells;
    FolioRowCells stored;
    bool pidOnly = false;
    qint64 bookmark = 0;
};

struct LeftOutRow {
    int row = 0;
    FolioRowCells cells;
    RowLeftOut why = RowLeftOut::NoFolioOrPid;
};

// Passes the load's notes on and keeps every folio row for the checks.
class RowCollector : public VerifyMessageSink {
public:
    explicit RowCollector(VerifyMessageSink& notes) : notes_(notes) {}

    void addLine(const QString& text) override { notes_.addLine(text); }
    void enablePrintErrors() override { notes_.enablePrintErrors(); }
    bool namesRows() const override { return true; }
    void rowStored(int row, const FolioRowCells& cells, const FolioRowCells& stored, bool pidOnly,
                   qint64 bookmark) override
    {
        stored_.push_back({row, cells, stored, pidOnly, bookmark});
    }
    void rowLeftOut(int row, const FolioRowCells& cells, RowLeftOut why) override
    {
        leftOut_.push_back({row, cells, why});
    }
    void findings(const fs::Intake& intake) override { findings_ = intake.lines(); }

    std::vector<StoredRow> stored_;
    std::vector<LeftOutRow> leftOut_;
    QStringList findings_;

private:
    VerifyMessageSink& notes_;
};

// The checks of one loaded record: the folio rule, against the code tables
// the same workbook brought. A code the tables lack names the sheet to look at.
class RecordCheck {
public:
    RecordCheck() : tables_(foliorule::CodeTables::fromWorkingDatabase()) {}

    QStringList reasons(const StoredRow& r) const
    {
        const FolioRowCells& c = r.cells;
        const foliorule::Findings findings = foliorule::Judge({c[A], c[B], c[C], c[D], c[E], c[F], c[G]}, tables_);
        QStringList why;
        for (const foliorule::Finding& f : findings) {
            if (f.leftOut)
                why << f.reason + sheetNote(f);
        }
        return why;
    }

private:
    static QString sheetNote(const foliorule::Finding& f)
    {
        if (f.kind == foliorule::Kind::NotAPair)
            return QStringLiteral(" (sheet \"%1\")").arg(verifylayout::kComboSheet);
        if (f.kind != foliorule::Kind::NotInTable)
            return {};
        return QStringLiteral(" (sheet \"%1\")")
            .arg(f.field == foliorule::Field::District ? verifylayout::kDistrictSheet : verifylayout::kJurisdictionSheet);
    }

    foliorule::CodeTables tables_;
};

QString leftOutReason(const LeftOutRow& r, const QHash<QString, int>& folioRows, const QHash<QString, int>& pidRows)
{
    const FolioRowCells t = trim(r.cells);
    int earlier = 0;
    QString what;
    switch (r.why) {
    case RowLeftOut::NoFolioOrPid:
        return QStringLiteral("NOT LOADED: no district, jurisdiction, folio or PID");
    case RowLeftOut::RepeatedFolio:
        earlier = folioRows.value(folioKey(r.cells[B], r.cells[E], t[F]));
        what = QStringLiteral("company, jurisdiction and folio");
        break;
    case RowLeftOut::RepeatedPid:
        earlier = pidRows.value(pidKey(r.cells[B], t[G]));
        what = QStringLiteral("company and PID");
        break;
    }
    return QStringLiteral("NOT LOADED: the same %1 as %2")
        .arg(what, earlier > 0 ? QStringLiteral("row %1").arg(earlier) : QStringLiteral("a row loaded before it"));
}

} // namespace

QString Records(int n)
{
    return n == 1 ? QStringLiteral("1 record") : QStringLiteral("%1 records").arg(n);
}

QString LeftOutRecord::text() const
{
    const QString numberText = number.isEmpty() ? QStringLiteral("no mortgage number")
                                                : QStringLiteral("mortgage number ") + foliorule::Quoted(number);
    return QStringLiteral("Row %1, %2, %3: %4").arg(row).arg(numberText, folio, reasons.join(QStringLiteral("; ")));
}

QString ReturnedRowError::text() const
{
    return QStringLiteral("Row %1, %2: %3").arg(row).arg(folio, reason);
}

ReturnedWorkbook ReturnedWorkbook::load(const QString& path, VerifyMessageSink& notes)
{
    ReturnedWorkbook book;
    book.path_ = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
    RowCollector rows(notes);
    book.complete_ = Xls2Mdb(path, rows);
    book.loaded_ = int(rows.stored_.size());
    book.notLoaded_ = int(rows.leftOut_.size());
    book.findings_ = rows.findings_;

    QHash<QString, int> folioRows;
    QHash<QString, int> pidRows;
    for (const StoredRow& r : rows.stored_) {
        const FolioRowCells& v = r.stored;
        folioRows.insert(folioKey(v[B], v[E], v[F]), r.row);
        if (!v[G].isEmpty())
            pidRows.insert(pidKey(v[B], v[G]), r.row);
    }
    for (const LeftOutRow& r : rows.leftOut_) {
        const FolioRowCells t = trim(r.cells);
        book.errors_.push_back({r.row, identify(t), leftOutReason(r, folioRows, pidRows), false});
        book.numbers_.insert(r.row, t[C]);
    }

    if (book.complete_) {
        const RecordCheck check;
        for (const StoredRow& r : rows.stored_) {
            const QStringList reasons = check.reasons(r);
            if (reasons.isEmpty())
                continue;
            book.withErrors_.insert(r.bookmark);
            const FolioRowCells t = trim(r.cells);
            const QString folio = identify(t);
            book.numbers_.insert(r.row, t[C]);
            for (const QString& reason : reasons)
                book.errors_.push_back({r.row, folio, reason, true});
        }
    }
    std::stable_sort(book.errors_.begin(), book.errors_.end(),
                     [](const ReturnedRowError& x, const ReturnedRowError& y) { return x.row < y.row; });
    return book;
}

QStringList ReturnedWorkbook::errorLines() const
{
    if (!complete_)
        return {QStringLiteral("ERROR - The selected file %1 could not be loaded completely: nothing can be "
                               "uploaded and no verified file is written.")
                    .arg(path_)};
    QStringList lines;
    lines.reserve(qsizetype(errors_.size()));
    for (const ReturnedRowError& e : errors_)
        lines << e.text();
    return lines;
}

std::vector<LeftOutRecord> ReturnedWorkbook::leftOut() const
{
    // errors_ is in row order, a row's errors next to each other.
    std::vector<LeftOutRecord> records;
    for (const ReturnedRowError& e : errors_) {
        if (records.empty() || records.back().row != e.row)
            records.push_back({e.row, numbers_.value(e.row), e.folio, {}});
        records.back().reasons << e.reason;
    }
    return records;
}

QString ReturnedWorkbook::summary() const
{
    return QStringLiteral("%1 read: %2 loaded, %3 NOT loaded; %4 of the loaded with errors.")
        .arg(Records(loaded_ + notLoaded_))
        .arg(loaded_)
        .arg(notLoaded_)
        .arg(recordsWithErrors());
}

bool ReturnedWorkbook::writeVerifiedFile(const QString& path, QString* error)
{
    db::Recordset& rs = DE().rsVerify();
    if (!rs.isOpen())
        rs.open();
    const bool written =
        WriteVerifiedFile(rs, path, [this](qint64 bookmark) { return !withErrors_.contains(bookmark); }, error);
    LogOutcome(written, path, QStringLiteral("verified file written"), QStringLiteral("verified file not written"), [this] { return QStringLiteral("%1 records").arg(recordsWithoutErrors()); });
    if (written)
        writtenAt_ = QDateTime::currentDateTime();
    return written;
}

QString ReturnedWorkbook::verifiedFileNote(const QString& path) const
{
    const QString file = QDir::toNativeSeparators(path);
    const int good = recordsWithoutErrors();
    const QString holds = good == loaded_
        ? QStringLiteral("the %1 loaded; none has an error").arg(Records(good))
        : QStringLiteral("the %1 without errors; the %2 with errors %3 left out")
              .arg(Records(good), Records(recordsWithErrors()),
                   recordsWithErrors() == 1 ? QStringLiteral("is") : QStringLiteral("are"));
    if (writtenAt_.isValid())
        return QStringLiteral("The verified file %1 was written at %2. It holds %3.")
            .arg(file, writtenAt_.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")), holds);
    return QStringLiteral("Upload writes the verified file %1. It will hold %2.").arg(file, holds);
}

} // namespace zarv
