#include "verifyfile/returnedworkbook.h"
#include "services/activitylog.h"

#include "platform/data/recordset.h"
#include "platform/text/vb.h"
#include "services/dataenvironment.h"
#include "verifyfile/verifiedfile.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>

#include <algorithm>

namespace zarv {

namespace {

enum Column { A, B, C, D, E, F, G };

// A cell as a message quotes it: a long one is shortened, so that every
// message fits a row of the error report's table.
QString quoted(const QString& text)
{
    constexpr int kLongest = 40;
    return text.size() > kLongest ? text.left(kLongest) + QStringLiteral("...") : text;
}

// The text followed by blanks, cut to n characters: a code as VERIFY keys it.
QString padCut(const QString& text, int n)
{
    return text.leftJustified(n, QLatin1Char(' '), true);
}

// Codes compare as the tables compare them: letter case aside.
QString codeKey(const QString& code)
{
    return code.toUpper();
}

QSet<QString> codesOf(const QString& sql)
{
    QSet<QString> codes;
    db::Recordset rs(&DE().Zarv, sql, db::LockType::ReadOnly);
    rs.open();
    for (; !rs.eof(); rs.moveNext())
        codes.insert(codeKey(rs.text(QStringLiteral("K"))));
    return codes;
}

QString identify(const FolioRowCells& trimmed)
{
    if (!trimmed[F].isEmpty())
        return QStringLiteral("folio ") + quoted(trimmed[F]);
    if (!trimmed[G].isEmpty())
        return QStringLiteral("PID ") + quoted(trimmed[G]);
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
    return codeKey(padCut(company, 4) + QLatin1Char('|') + padCut(jurisdiction, 3) + QLatin1Char('|') + folio);
}

QString pidKey(const QString& company, const QString& pid)
{
    return codeKey(padCut(company, 4) + QLatin1Char('|') + pid);
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

    std::vector<StoredRow> stored_;
    std::vector<LeftOutRow> leftOut_;

private:
    VerifyMessageSink& notes_;
};

// The checks of one loaded record, against the code tables the same workbook
// brought.
class RecordCheck {
public:
    RecordCheck()
        : districts_(codesOf(QStringLiteral("SELECT Collection_District_Code AS K FROM Collection_District"))),
          jurisdictions_(codesOf(QStringLiteral("SELECT Jurisdiction_Code AS K FROM Jurisdiction"))),
          pairs_(codesOf(QStringLiteral(
              "SELECT Collection_District_Code || '|' || Jurisdiction_Code AS K FROM CD_JUR")))
    {
    }

    QStringList reasons(const StoredRow& r) const
    {
        const FolioRowCells t = trim(r.cells);
        const FolioRowCells& v = r.stored;
        QStringList why;
        const QString& acd = v[A];
        if (acd != QLatin1String("A") && acd != QLatin1String("C") && acd != QLatin1String("D") &&
            acd != QLatin1String(" "))
            why << QStringLiteral("status '%1' is not A, C, D or blank").arg(quoted(t[A]));
        if (t[B].isEmpty())
            why << QStringLiteral("no mortgage company");
        if (t[C].size() > 12)
            why << QStringLiteral("mortgage number %1 has %2 characters, more than 12 (stored cut to %3)")
                       .arg(quoted(t[C]))
                       .arg(t[C].size())
                       .arg(v[C]);
        const bool districtKnown = code(why, t[D], v[D], 2, QStringLiteral("collection district"),
                                        districts_, verifylayout::kDistrictSheet, !r.pidOnly);
        const bool jurisdictionKnown = code(why, t[E], v[E], 3, QStringLiteral("jurisdiction"), jurisdictions_,
                                            verifylayout::kJurisdictionSheet, !r.pidOnly);
        if (districtKnown && jurisdictionKnown && !pairs_.contains(codeKey(v[D] + QLatin1Char('|') + v[E])))
            why << QStringLiteral("collection district %1 with jurisdiction %2 is not a pair of the code table "
                                  "(sheet \"%3\")")
                       .arg(vb::Trim(v[D]), vb::Trim(v[E]), verifylayout::kComboSheet);
        if (!r.pidOnly && t[F].size() > 18)
            why << QStringLiteral("folio %1 has %2 characters, more than 18 (stored cut to %3)")
                       .arg(quoted(t[F]))
                       .arg(t[F].size())
                       .arg(v[F]);
        if (t[G].size() > 9)
            why << QStringLiteral("PID %1 has %2 characters, more than 9 (stored cut to %3)")
                       .arg(quoted(t[G]))
                       .arg(t[G].size())
                       .arg(v[G]);
        if (t[F].isEmpty() && t[G].isEmpty())
            why << QStringLiteral("neither folio nor PID");
        return why;
    }

private:
    // A district or jurisdiction: missing where one is needed, too long, or
    // not in its code table. True when it is given and in the table.
    static bool code(QStringList& why, const QString& cell, const QString& stored, int width, const QString& what,
                     const QSet<QString>& table, const QString& sheet, bool needed)
    {
        if (cell.isEmpty()) {
            if (needed)
                why << QStringLiteral("no ") + what;
            return false;
        }
        if (cell.size() > width) {
            if (needed)
                why << QStringLiteral("%1 %2 has more than %3 characters").arg(what, quoted(cell)).arg(width);
            return false;
        }
        if (!table.contains(codeKey(stored))) {
            why << QStringLiteral("%1 %2 is not in the code table (sheet \"%3\")").arg(what, cell, sheet);
            return false;
        }
        return true;
    }

    QSet<QString> districts_;
    QSet<QString> jurisdictions_;
    QSet<QString> pairs_;
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

    QHash<QString, int> folioRows;
    QHash<QString, int> pidRows;
    for (const StoredRow& r : rows.stored_) {
        const FolioRowCells& v = r.stored;
        folioRows.insert(folioKey(v[B], v[E], v[F]), r.row);
        if (!v[G].isEmpty())
            pidRows.insert(pidKey(v[B], v[G]), r.row);
    }
    for (const LeftOutRow& r : rows.leftOut_)
        book.errors_.push_back({r.row, identify(trim(r.cells)), leftOutReason(r, folioRows, pidRows), false});

    if (book.complete_) {
        const RecordCheck check;
        for (const StoredRow& r : rows.stored_) {
            const QStringList reasons = check.reasons(r);
            if (reasons.isEmpty())
                continue;
            book.withErrors_.insert(r.bookmark);
            const QString folio = identify(trim(r.cells));
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
