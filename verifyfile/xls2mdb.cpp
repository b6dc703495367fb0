// Xls2Mdb: the verification workbook into VERIFY and the code tables. The load
// runs in phases (for the company: reading through and the intake screen; then
// purge, open, sheet 1, sheets 2 to 5, close and summary), each step marked in
// strStep so that the one error message says where it stopped.
#include "verifyfile/verifyfile.h"
#include "services/activitylog.h"

#include "verifyfile/loadparts.h"
#include "verifyfile/loadsteps.h"
#include "verifyfile/verifiedfile.h"
#include "verifyfile/verifylayout.h"

#include "platform/data/connection.h"
#include "platform/data/criteria.h"
#include "platform/text/failure.h"
#include "platform/text/vb.h"
#include "platform/ui/uiservices.h"
#include "services/clientdata.h"
#include "services/dataenvironment.h"
#include "services/foliorule.h"
#include "services/sharedstate.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>

#include <algorithm>
#include <array>
#include <climits>
#include <map>
#include <memory>
#include <optional>

namespace zarv {

namespace {

using namespace loadparts;
using verifylayout::StepError;
using Cells = FolioCells;    // as read
using Stored = FolioCells;   // as stored in VERIFY

const QString CRLF = QStringLiteral("\r\n");

// The text followed by n blanks, cut to its first n characters.
QString padCut(const QString& text, int n)
{
    if (text.size() >= n)
        return text.size() == n ? text : text.left(n);
    return text + QString(n - text.size(), QLatin1Char(' '));
}

// A cell's text as it goes into a table: a line break or tab typed into the
// cell becomes a blank, so that every value stays on one line in every file
// made from the tables; a cell of nothing but blanks, tabs or no-break spaces
// holds nothing.
QString cellText(const xl::Worksheet& sheet, int row, int column)
{
    QString text = sheet.cell(row, column);
    if (std::all_of(text.cbegin(), text.cend(), [](QChar ch) { return ch.isSpace(); }))
        return {};
    for (const QChar ch : std::as_const(text)) {
        if (ch == u'\r' || ch == u'\n' || ch == u'\t')
            return SingleLine(text);
    }
    return text;
}

// The folios stored so far in this load (the purge emptied VERIFY), for the
// repeat test: company and jurisdiction compared as the database compares
// text, the folio as the 18 digits the verified file carries for it (a folio
// typed as the number 123456001 and as the text 000000000123456001 is one
// folio); for a row known by its PID alone, the company and the PID.
class RepeatKeys {
public:
    static QString folio(const QString& company, const QString& jurisdiction, const QString& storedFolio)
    {
        return db::foldText(company) + QChar(0x1F) + db::foldText(jurisdiction) + QChar(0x1F) +
               VerifiedFolio(storedFolio);
    }
    static QString pid(const QString& company, const QString& pid)
    {
        return db::foldText(company) + QChar(0x1E) + db::foldText(pid);
    }
    bool contains(const QString& key) const { return keys_.contains(key); }
    // The row that stored the key first.
    int rowOf(const QString& key) const { return keys_.value(key); }
    void add(const Stored& v, int row)
    {
        keys_.insert(folio(v[B], v[E], v[F]), row);
        keys_.insert(pid(v[B], v[G]), row);
    }
    void clear() { keys_.clear(); }

private:
    QHash<QString, int> keys_;
};

// The widths VERIFY gives columns A to N, and the step marker while each is set.
constexpr std::array<int, verifylayout::kMortgageColumns> kWidths = {1, 4, 12, 2, 3, 18, 9, 70, 30, 30, 30, 30, 30, 32};
constexpr std::array<const char*, verifylayout::kMortgageColumns> kFieldSteps = {
    "114 ", "115 ", "116 ", "117 ", "118 ", "119 ", "120 PID=", "121 ", "122 ", "123 ", "124 ", "125 ", "126 ", "127 "};

// A field of VERIFY as stored from the cells of a row.
QString storedValue(const Cells& c, int col)
{
    const QString cut = padCut(c[size_t(col)], kWidths[size_t(col)]);
    switch (col) {
    case A:
    case B: return vb::UCase(cut);       // not trimmed
    case C:
    case F:
    case G: return vb::Trim(cut);        // letter case kept
    case D:
    case E: return cut;                  // neither trimmed nor upper-cased
    default: return vb::Trim(vb::UCase(cut));
    }
}

Stored storedValues(const Cells& c)
{
    Stored v;
    for (int col = A; col <= N; ++col)
        v[size_t(col)] = storedValue(c, col);
    return v;
}

// The cell loses more than blanks to its field's width.
bool isCut(const QString& cell, int width)
{
    return cell.size() > width && !vb::Trim(cell.mid(width)).isEmpty();
}

// The field the folio rule judges for its length, if any.
std::optional<foliorule::Field> judgedField(int col)
{
    switch (col) {
    case C: return foliorule::Field::Number;
    case D: return foliorule::Field::District;
    case E: return foliorule::Field::Jurisdiction;
    case F: return foliorule::Field::Folio;
    case G: return foliorule::Field::Pid;
    default: return std::nullopt;
    }
}

foliorule::Record recordOf(const Cells& c)
{
    return {c[A], c[B], c[C], c[D], c[E], c[F], c[G]};
}

// A spreadsheet that is no verification workbook: refused before anything is
// emptied, with this text.
struct NotAVerificationWorkbook {
    QString text;
};

QString quotedList(const QStringList& texts)
{
    return QLatin1Char('"') + texts.join(QStringLiteral("\", \"")) + QLatin1Char('"');
}

long rowsIn(db::Connection& connection, const QString& table)
{
    db::Recordset count(&connection, QStringLiteral("SELECT COUNT(*) AS N FROM ") + table, db::LockType::ReadOnly);
    count.open();
    return long(count.number(QStringLiteral("N")));
}

// Everything the phases share: the step marker, the row being read, the
// counters of the summary and where the messages go.
class Load {
public:
    explicit Load(VerifyMessageSink* list) : list_(list) {}
    LoadResult run(const QString& FileName);

private:
    // --- phases
    void refuseOtherSpreadsheets(const QString& FileName);
    void examine();
    void resetRows();
    void purge();
    void purgeTable(db::Recordset& rs, const QString& table, const std::array<const char*, 10>& steps);
    void openWorkbook(const QString& FileName);
    void readMortgageSheet();
    void readCodeSheet(const loadsteps::CodeSheet& sheet);
    void insertCode(db::Recordset& rs, const loadsteps::CodeSheet& sheet, const loadsteps::CodeCells& cells,
                    const loadsteps::InsertSteps& steps);
    void examineCode(const loadsteps::CodeSheet& sheet, const loadsteps::CodeCells& cells,
                     const loadsteps::InsertSteps& steps);
    void closeAndSummarise();
    void fail(const Failure& failure);
    void refuse(const QString& text);

    // --- sheet 1
    void refuseCellsWithoutValue();
    const xl::Worksheet* findSheet(int position, const QString& name) const;
    void readMortgageRow(const Cells& c, const Cells& t);
    void reject(const Cells& t);
    void duplicate(const Cells& c);
    void storeRow(const Cells& c, const Cells& t);
    Stored storeFields(db::Recordset& rs, const Cells& c, const Cells& t);

    // --- findings
    void find(fs::IntakeFinding finding);
    void findCuts(const Cells& c, const Cells& t);
    void findLeftOutRecords();
    void closeFindings();

    // --- reporting
    void list(const QString& text);
    template <class Text>
    void warn(bool condition, const Text& text);
    void useSheet(int position, const QString& name);
    void noteLeftOut(const loadsteps::LeftOutRows& rows, int columns);
    void step(const char* marker) { strStep.set(marker); }
    // The list names every folio row itself.
    bool namesRows() const { return list_ && list_->namesRows(); }
    // The clerk reviews the findings on the intake screen before anything is
    // stored (the company's load, which has no list).
    bool reviewed() const { return list_ == nullptr; }
    QString rowText() const { return QStringLiteral(" Row:") + QString::number(intRow); }
    void dropPendingRows();

    VerifyMessageSink* list_;
    StepMarker strStep;
    Cells row_;          // the cells of the sheet-1 row being read, as read
    Cells trimmed_;      // the same, trimmed
    int intRow = 0;
    int lngLoaded = 0;
    int lngDupRejected = 0;
    int lngWarnings = 0;
    bool blnPidOnly = false;
    RepeatKeys stored_;
    std::unique_ptr<FolioBatch> batch_;

    // Reading through before anything is stored: nothing is written, what
    // the reader decides becomes a finding of intake_.
    bool examining_ = false;
    fs::Intake intake_;
    std::map<fs::IntakeFinding::Kind, int> found_;      // findings by kind, named or not
    std::vector<std::pair<int, foliorule::Record>> records_;   // the rows to be stored, as read
    QStringList districts_, jurisdictions_;             // the codes of the code sheets
    struct SheetRow {
        int row;
        loadsteps::RowKind kind;
        Cells cells, trimmed;
    };
    std::vector<SheetRow> readThrough_;                 // the rows of sheet 1 with content, as read through
    QList<QPair<QString, QString>> pairs_;
};

// Findings of one kind named on the screen; the rest are counted.
constexpr int kNamed = 100;

LoadResult Load::run(const QString& FileName)
{
    try {
        refuseOtherSpreadsheets(FileName);
        intake_ = {};
        intake_.path = QDir::toNativeSeparators(QFileInfo(FileName).absoluteFilePath());
        intake_.writtenBack = QStringLiteral("Written back as the tax office sends it: the same five sheets, "
                                             "headings and columns, every value as the list holds it.");
        intake_.lineName = QStringLiteral("row");
        if (reviewed()) {
            examine();
            if (intake_.needsReview() && !ui::ui().reviewIntake(intake_)) {
                CloseVerifyWorkbook();
                return LoadResult::Cancelled;
            }
        }
        purge();
        openWorkbook(FileName);
        readMortgageSheet();
        for (const loadsteps::CodeSheet& sheet : loadsteps::codeSheets())
            readCodeSheet(sheet);
        closeAndSummarise();
        if (namesRows()) {
            closeFindings();
            list_->findings(intake_);
        }
        return LoadResult::Loaded;
    } catch (const NotAVerificationWorkbook& refusal) {
        refuse(refusal.text);
        return LoadResult::Refused;
    } catch (const std::exception&) {
        fail(currentFailure());
    }
    return LoadResult::Failed;
}

// ---------------------------------------------------------------- what the file is

// The workbook is opened first, so that a spreadsheet that is no verification
// workbook empties no table. A verification workbook has a sheet named as the
// layout names one, or, with its sheets renamed, the heading row on the first
// sheet; a file that cannot be opened goes on to fail where the first sheet is
// read, as before.
void Load::refuseOtherSpreadsheets(const QString& FileName)
{
    step("70");
    OpenVerifyWorkbook(FileName);
    if (!xlBook.isOpen())
        return;
    QStringList sheetNames{verifylayout::kMortgageSheet};
    for (const loadsteps::CodeSheet& code : loadsteps::codeSheets())
        sheetNames << code.name;
    for (const QString& name : std::as_const(sheetNames)) {
        if (xlBook.sheet(name) != nullptr)
            return;
    }
    const QStringList& headings = verifylayout::kMortgageHeadings;
    const xl::Worksheet* first = xlBook.sheet(1);
    if (first != nullptr) {
        for (int row = 1; row <= first->lastRow(); ++row) {
            const int lastColumn = first->lastColumn(row);
            if (lastColumn == 0)
                continue;
            Cells cells;
            for (int col = 0; col < verifylayout::kMortgageColumns; ++col)
                cells[size_t(col)] = first->cell(row, col + 1);
            if (loadsteps::kindOfRow(cells, headings, lastColumn) == loadsteps::RowKind::Heading)
                return;
            break;      // the first row with content is the heading row
        }
    }
    CloseVerifyWorkbook();
    throw NotAVerificationWorkbook{
        QStringLiteral("The file %1 is not a Mortgage Verification workbook: none of its sheets is named %2, and "
                       "its first sheet does not start with the headings %3. Nothing was loaded.")
            .arg(QDir::toNativeSeparators(QFileInfo(FileName).absoluteFilePath()), quotedList(sheetNames),
                 quotedList(headings.mid(0, 3)) + QStringLiteral(" ..."))};
}

// ---------------------------------------------------------------- reading through

// Reads every sheet as the load will, storing nothing, so that what the reader
// decides is known before a table is emptied: rows passed over or repeated,
// values cut, and the records the tax office would leave out under the code
// tables this workbook brings. An error met here leaves the tables as they were.
void Load::examine()
{
    examining_ = true;
    step("82");
    useSheet(1, verifylayout::kMortgageSheet);
    refuseCellsWithoutValue();
    resetRows();
    readMortgageSheet();
    for (const loadsteps::CodeSheet& sheet : loadsteps::codeSheets())
        readCodeSheet(sheet);
    findLeftOutRecords();
    closeFindings();
    records_.clear();
    examining_ = false;
}

void Load::resetRows()
{
    stored_.clear();
    lngLoaded = 0;
    lngDupRejected = 0;
    intRow = 0;
}

// ---------------------------------------------------------------- purge

void Load::purge()
{
    DataEnvironment& de = DE();
    purgeTable(de.rsFol_Mask(), QStringLiteral("Fol_Mask"), {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"});
    purgeTable(de.rsCollection_District(), QStringLiteral("Collection_District"),
               {"11", "12", "13", "14", "15", "16", "17", "18", "19", "20"});
    purgeTable(de.rsJurisdiction(), QStringLiteral("Jurisdiction"),
               {"30", "31", "32", "33", "34", "35", "36", "37", "38", "39"});
    purgeTable(de.rsCD_JUR(), QStringLiteral("CD_JUR"), {"50", "51", "52", "53", "54", "55", "56", "57", "58", "59"});
    purgeTable(de.rsVerify(), QStringLiteral("VERIFY"), {"60", "61", "62", "63", "64", "65", "66", "67", "68", "69"});
}

// Close the recordset, empty its table when it has rows, and open it again
// over the empty table. The rows are counted with a small query rather than
// by loading them all only to throw them away.
void Load::purgeTable(db::Recordset& rs, const QString& table, const std::array<const char*, 10>& steps)
{
    step(steps[0]);
    if (rs.state() == 1) {
        step(steps[1]);
        rs.close();
    }
    step(steps[4]);
    db::Connection& zarvDb = DE().Zarv;
    const bool hasRows = rowsIn(zarvDb, table) > 0;
    if (hasRows) {
        step(steps[5]);
        db::TransactionGuard trans(zarvDb);
        step(steps[6]);
        zarvDb.execute(QStringLiteral("DELETE FROM ") + table);
        step(steps[7]);
        trans.commit();
    }
    step(steps[2]);
    if (rs.state() == 0) {
        step(steps[3]);
        rs.open();
    }
    // A filter left by an earlier user stays set across Close and Open.
    step(steps[8]);
    rs.setFilter(QString());
    if (hasRows) {
        step(steps[9]);
        ui::ui().doEvents();
    }
}

// ---------------------------------------------------------------- open

void Load::openWorkbook(const QString& FileName)
{
    // refuseOtherSpreadsheets opened it (or failed to, which the first sheet's step reports).
    Q_UNUSED(FileName);
    step("80");
    stored_.clear();
    step("82");
    useSheet(1, verifylayout::kMortgageSheet);
    refuseCellsWithoutValue();
    step("83");
    resetRows();
}

// The sheet of that name when the workbook has one, wherever a clerk moved
// it; otherwise the sheet at its place in the layout.
const xl::Worksheet* Load::findSheet(int position, const QString& name) const
{
    const xl::Worksheet* sheet = xlBook.sheet(name);
    return sheet != nullptr ? sheet : xlBook.sheet(position);
}

void Load::useSheet(int position, const QString& name)
{
    if (!xlBook.isOpen()) {
        xlSheet = nullptr;
        throw StepError(StepError::ObjectNotSet, xlBook.errorText().isEmpty()
                                                     ? QStringLiteral("No workbook is open.")
                                                     : xlBook.errorText());
    }
    xlSheet = findSheet(position, name);
    if (xlSheet == nullptr)
        throw StepError(StepError::SubscriptOutOfRange, xlBook.missingSheetText(position));
}

// An error value or a formula without a stored result, in a column the load
// reads, has no text that could stand for it: the workbook is refused before
// anything of it is stored, naming the first such cell.
void Load::refuseCellsWithoutValue()
{
    std::vector<std::pair<const xl::Worksheet*, int>> sheets = {{xlSheet, verifylayout::kMortgageColumns}};
    for (const loadsteps::CodeSheet& code : loadsteps::codeSheets()) {
        if (const xl::Worksheet* sheet = findSheet(code.position, code.name))
            sheets.emplace_back(sheet, int(code.headings.size()));
    }
    const xl::CellFault* first = nullptr;
    const xl::Worksheet* firstSheet = nullptr;
    qsizetype others = 0;
    for (const auto& [sheet, columns] : sheets) {
        for (const xl::CellFault& fault : sheet->faults()) {
            if (fault.column > columns)
                continue;
            if (first == nullptr) {
                first = &fault;
                firstSheet = sheet;
            } else {
                ++others;
            }
        }
    }
    if (first == nullptr)
        return;
    const QString where = QStringLiteral("Cell %1 of the sheet \"%2\" in the workbook \"%3\"")
                              .arg(xl::cellReference(first->row, first->column), firstSheet->name(),
                                   QDir::toNativeSeparators(xlBook.path()));
    QString text = first->kind == xl::CellFault::ErrorValue
        ? where + QStringLiteral(" holds the error value %1 instead of a value. Correct the cell, or the cells its "
                                 "formula uses, save the workbook and load it again.").arg(first->text)
        : where + QStringLiteral(" holds a formula whose result is not stored in the file (the program that wrote "
                                 "it did not work its formulas out). Opening the workbook in a spreadsheet program "
                                 "and saving it stores the results; then load it again.");
    if (others > 0) {
        text += others == 1 ? QStringLiteral(" One more cell holds an error value or a formula without a result.")
                            : QStringLiteral(" %1 more cells hold error values or formulas without results.").arg(others);
    }
    throw StepError(StepError::TypeMismatch, text);
}

// ---------------------------------------------------------------- sheet 1

void Load::readMortgageSheet()
{
    if (!examining_)
        batch_ = std::make_unique<FolioBatch>(DE().Zarv, DE().rsVerify());
    const QStringList& headings = verifylayout::kMortgageHeadings;
    Cells& c = row_;
    Cells& t = trimmed_;
    // Every row up to the last one holding anything is looked at, past empty
    // rows; a row with content that is not loaded is named in a note.
    loadsteps::LeftOutRows leftOut;
    auto take = [&](loadsteps::RowKind kind) {
        if (kind != loadsteps::RowKind::Data) {
            leftOut.add(kind, intRow);
            return;
        }
        step("101");
        if (t[D].isEmpty() && t[E].isEmpty() && t[F].isEmpty() && t[G].isEmpty())
            reject(t);
        else
            readMortgageRow(c, t);
    };
    if (!examining_ && !readThrough_.empty()) {
        // The rows as the reading through found them.
        for (SheetRow& r : readThrough_) {
            step("100");
            intRow = r.row;
            c = std::move(r.cells);
            t = std::move(r.trimmed);
            take(r.kind);
        }
        readThrough_.clear();
        intRow = xlSheet->lastRow();
    }
    const int lastRow = xlSheet->lastRow();
    while (intRow < lastRow) {
        step("100");
        ++intRow;
        const int lastColumn = xlSheet->lastColumn(intRow);
        if (lastColumn == 0)
            continue;
        for (int col = 0; col < verifylayout::kMortgageColumns; ++col)
            c[col] = cellText(*xlSheet, intRow, col + 1);
        const loadsteps::RowKind kind = loadsteps::kindOfRow(c, headings, lastColumn);
        if (kind == loadsteps::RowKind::Data) {
            for (int col = 0; col < verifylayout::kMortgageColumns; ++col)
                t[col] = vb::Trim(c[col]);
        }
        if (examining_)
            readThrough_.push_back({intRow, kind, c, t});
        take(kind);
    }
    step("129");
    if (batch_) {
        batch_->finish();
        batch_.reset();
    }
    noteLeftOut(leftOut, verifylayout::kMortgageColumns);
}

void Load::reject(const Cells& t)
{
    if (examining_)
        find({fs::IntakeFinding::Kind::SkippedLine, intRow, {}, {},
              QStringLiteral("The row has no district, jurisdiction, folio or PID. It is not loaded.")});
    if (reviewed()) {
        ++lngDupRejected;
        return;
    }
    if (namesRows()) {
        list_->rowLeftOut(intRow, t, RowLeftOut::NoFolioOrPid);
        ++lngDupRejected;
        return;
    }
    QString msg = QStringLiteral("RECORD REJECTED, NO Folio or PID!") + rowText();
    if (!t[B].isEmpty())
        msg += QStringLiteral(" Mort. Co:") + t[B];
    QString address;
    for (int col = I; col <= M; ++col)
        address += t[col];
    if (!address.isEmpty())
        msg += QStringLiteral(" Addr.:") + address;
    if (!t[N].isEmpty())
        msg += QStringLiteral(" Legal:") + t[N];
    msg = vb::Trim(vb::Left(msg, 200));
    list(msg);
    ++lngDupRejected;
}

void Load::readMortgageRow(const Cells& c, const Cells& t)
{
    step("102");
    blnPidOnly = foliorule::PidOnly({t[A], t[B], t[C], t[D], t[E], t[F], t[G]});
    step("104");
    const QString key = blnPidOnly ? RepeatKeys::pid(padCut(c[B], 4), t[G])
                                   : RepeatKeys::folio(padCut(c[B], 4), padCut(c[E], 3), vb::Trim(padCut(c[F], 18)));
    step("105");
    if (stored_.contains(key)) {
        if (examining_) {
            const QString sep = QStringLiteral(", ");
            find({fs::IntakeFinding::Kind::Repeat, intRow,
                  blnPidOnly ? QStringList{t[B], t[G]}.join(sep) : QStringList{t[B], t[E], t[F]}.join(sep),
                  QStringLiteral("not loaded"),
                  QStringLiteral("The row repeats the %1 of row %2. It is not loaded.")
                      .arg(blnPidOnly ? QStringLiteral("company and PID")
                                      : QStringLiteral("company, jurisdiction and folio"))
                      .arg(stored_.rowOf(key))});
        }
        duplicate(c);
    } else {
        storeRow(c, t);
    }
}

void Load::duplicate(const Cells& c)
{
    step("106");
    ++lngDupRejected;
    if (reviewed())
        return;
    if (namesRows()) {
        list_->rowLeftOut(intRow, c, blnPidOnly ? RowLeftOut::RepeatedPid : RowLeftOut::RepeatedFolio);
        return;
    }
    step("107");
    const QString msg = blnPidOnly
        ? QStringLiteral("WARNING ( RECORD IGNORED ) DUPLICATE PID NUMBER:  ") + rowText() + QStringLiteral(" Mort. Co:") +
              c[B] + QStringLiteral(" PID:") + c[G] + QStringLiteral(" ")
        : QStringLiteral("WARNING ( RECORD IGNORED ) DUPLICATE FOLIO NUMBER:  ") + rowText() + QStringLiteral(" Mort. Co:") + c[B] +
              QStringLiteral(" CD:") + c[D] + QStringLiteral(" JUR:") + c[E] + QStringLiteral(" FOLIO:") + c[F] +
              QStringLiteral(" (Most likely duplicate KEY violation)");
    step("108");
    list(msg);
    step("110");
    step("111b");
}

void Load::storeRow(const Cells& c, const Cells& t)
{
    if (examining_) {
        // Only the fields the repeat test keys on are worked out here.
        Stored keys;
        for (int col : {B, E, F, G})
            keys[size_t(col)] = storedValue(c, col);
        findCuts(c, t);
        records_.emplace_back(intRow, recordOf(c));
        stored_.add(keys, intRow);
        ++lngLoaded;
        return;
    }
    db::Recordset& rs = DE().rsVerify();
    step("112");
    batch_->beginRow();
    step("113");
    rs.addNew();
    const Stored stored = storeFields(rs, c, t);
    strStep.setSaving(&c);
    rs.move(0);
    step("129");
    batch_->rowSaved(stored);
    stored_.add(stored, intRow);
    if (list_)
        findCuts(c, t);
    if (list_)
        list_->rowStored(intRow, c, stored, blnPidOnly, rs.bookmark());
    step("130");
    ++lngLoaded;
}

// Stores columns A to N into the new row, then runs the checks of the list's
// warnings, and returns the values stored.
Stored Load::storeFields(db::Recordset& rs, const Cells& c, const Cells& t)
{
    const Stored v = storedValues(c);
    for (int col = A; col <= N; ++col) {
        strStep.setCell(kFieldSteps[size_t(col)], &c[size_t(col)]);
        rs.setValue(verifylayout::kVerifyFields[col], v[size_t(col)]);
    }

    const QString& acd = v[A];
    const bool acdValid = acd == QLatin1String("A") || acd == QLatin1String("C") || acd == QLatin1String("D") ||
                          acd == QLatin1String(" ");
    warn(!acdValid, [&] { return warnings::invalidAcd(c[A]); });
    warn(t[B].isEmpty(), [&] { return warnings::missingCompany(); });
    warn(t[C].size() > 12, [&] { return warnings::numberTruncated(c[C], v[C]); });
    warn(!blnPidOnly && t[D].isEmpty(), [&] { return warnings::missingDistrict(); });
    warn(!blnPidOnly && t[D].size() > 2, [&] { return warnings::districtTooLong(c[D], v[D]); });
    warn(!blnPidOnly && t[E].isEmpty(), [&] { return warnings::missingJurisdiction(); });
    warn(!blnPidOnly && t[E].size() > 3, [&] { return warnings::jurisdictionTooLong(c[E], v[E]); });
    warn(!blnPidOnly && t[F].size() > 18, [&] { return warnings::folioTruncated(c[F], v[F]); });
    warn(t[G].size() > 9, [&] { return warnings::pidTruncated(c[G], v[G]); });
    warn(t[F].isEmpty() && t[G].isEmpty(), [&] { return warnings::folioAndPidMissing(c); });
    return v;
}

// ---------------------------------------------------------------- findings

void Load::find(fs::IntakeFinding finding)
{
    if (++found_[finding.kind] <= kNamed)
        intake_.add(std::move(finding));
}

// The findings in the order of rows, those of the whole workbook last, each
// kind with more findings than are named followed by their count.
void Load::closeFindings()
{
    for (const auto& [kind, count] : found_) {
        if (count > kNamed)
            intake_.add({kind, 0, {}, {}, QStringLiteral("... and %1 more like these.").arg(count - kNamed)});
    }
    std::stable_sort(intake_.findings.begin(), intake_.findings.end(),
                     [](const fs::IntakeFinding& x, const fs::IntakeFinding& y) {
                         return (x.line == 0 ? INT_MAX : x.line) < (y.line == 0 ? INT_MAX : y.line);
                     });
}

// Each value the list keeps shorter than the cell holds. A field whose
// length the folio rule judges is named with the record's other reasons
// instead.
void Load::findCuts(const Cells& c, const Cells& t)
{
    std::optional<foliorule::Findings> judged;
    for (int col = B; col <= N; ++col) {
        if (!isCut(c[size_t(col)], kWidths[size_t(col)]))
            continue;
        if (const std::optional<foliorule::Field> field = judgedField(col)) {
            if (!judged)
                judged = foliorule::Judge(recordOf(c), foliorule::CodeTables());
            if (std::any_of(judged->begin(), judged->end(), [&](const foliorule::Finding& f) {
                    return f.field == *field && f.kind == foliorule::Kind::TooLong;
                }))
                continue;
        }
        find({fs::IntakeFinding::Kind::Cut, intRow, t[size_t(col)], vb::Trim(storedValue(c, col)),
              QStringLiteral("%1 holds %2 characters; the list keeps %3, so it is stored cut.")
                  .arg(verifylayout::kMortgageHeadings[col])
                  .arg(t[size_t(col)].size())
                  .arg(kWidths[size_t(col)])});
    }
}

// The records the tax office would leave out, judged against the code tables
// this workbook brings, as the receiving side judges them.
void Load::findLeftOutRecords()
{
    const foliorule::CodeTables tables(districts_, jurisdictions_, pairs_);
    for (const auto& [row, record] : records_) {
        const foliorule::Findings findings = foliorule::Judge(record, tables);
        if (!foliorule::LeftOut(findings))
            continue;
        find({fs::IntakeFinding::Kind::LeftOut, row, {}, {},
              QStringLiteral("The tax office would leave out %1: %2. It is loaded; correct it in the list before "
                             "the workbook goes back.")
                  .arg(foliorule::Identify(record), foliorule::LeftOutReasons(findings))});
    }
}

// ---------------------------------------------------------------- sheets 2 to 5

void Load::readCodeSheet(const loadsteps::CodeSheet& sheet)
{
    const loadsteps::CodeSheetSteps& s = sheet.steps;
    db::Recordset& rs = (DE().*sheet.recordset)();
    if (!examining_) {
        step(s.stateTest);
        if (rs.state() == 0) {
            step(s.open);
            rs.open();
        }
        step(s.filterNone);
        rs.setFilter(QString());
    }
    step(s.worksheet);
    useSheet(sheet.position, sheet.name);
    if (s.ready)
        step(s.ready);
    intRow = 0;
    loadsteps::CodeCells cells;
    loadsteps::LeftOutRows leftOut;
    int codeRows = 0;
    const int lastRow = xlSheet->lastRow();
    while (intRow < lastRow) {
        step(s.rowStart);
        ++intRow;
        const int lastColumn = xlSheet->lastColumn(intRow);
        if (lastColumn == 0)
            continue;
        for (int col = 0; col < sheet.headings.size(); ++col)
            cells[size_t(col)] = cellText(*xlSheet, intRow, col + 1);
        const loadsteps::RowKind kind =
            loadsteps::kindOfRow(std::span(cells).first(size_t(sheet.headings.size())), sheet.headings, lastColumn);
        if (kind != loadsteps::RowKind::Data) {
            leftOut.add(kind, intRow);
            continue;
        }
        if (examining_) {
            examineCode(sheet, cells, codeRows++ == 0 ? s.intoEmpty : s.afterLookup);
            continue;
        }
        step(s.countTest);
        if (rs.recordCount() <= 0) {
            insertCode(rs, sheet, cells, s.intoEmpty);
            continue;
        }
        step(s.first);
        rs.moveFirst();
        step(s.criterion);
        const QString key = sheet.key(cells);
        step(s.lookup);
        bool absent = false;
        if (sheet.byFilter) {
            strFilter = key;
            rs.setFilter(strFilter);
            step(s.absentTest);
            absent = rs.recordCount() == 0;
        } else {
            strFind = key;
            rs.find(strFind, 0, true);
            step(s.absentTest);
            absent = rs.eof();
        }
        if (absent)
            insertCode(rs, sheet, cells, s.afterLookup);
    }
    if (s.afterSheet)
        step(s.afterSheet);
    noteLeftOut(leftOut, int(sheet.headings.size()));
}

// A code row read through: every field is worked out as the insert would,
// so that a cell that cannot be read fails here, and the codes are kept for
// the folio rule.
void Load::examineCode(const loadsteps::CodeSheet& sheet, const loadsteps::CodeCells& cells,
                       const loadsteps::InsertSteps& steps)
{
    QStringList values;
    for (size_t k = 0; k < sheet.fields.size(); ++k) {
        step(steps.fields[k]);
        values << sheet.fields[k].value(cells).toString();
    }
    if (sheet.recordset == &DataEnvironment::rsCollection_District)
        districts_ << values.value(0);
    else if (sheet.recordset == &DataEnvironment::rsJurisdiction)
        jurisdictions_ << values.value(0);
    else if (sheet.recordset == &DataEnvironment::rsCD_JUR)
        pairs_.append({values.value(0), values.value(1)});
}

void Load::insertCode(db::Recordset& rs, const loadsteps::CodeSheet& sheet, const loadsteps::CodeCells& cells,
                      const loadsteps::InsertSteps& steps)
{
    step(steps.addNew);
    rs.addNew();
    for (size_t k = 0; k < sheet.fields.size(); ++k) {
        step(steps.fields[k]);
        rs.setValue(sheet.fields[k].name, sheet.fields[k].value(cells));
    }
    strStep.set(QString::fromLatin1(steps.reading) + sheet.readingText(cells));
    rs.move(0);
    step(steps.saved);
}

// ---------------------------------------------------------------- close, summary, failure

void Load::closeAndSummarise()
{
    step("330");
    CloseVerifyWorkbook();
    step("331");
    stored_.clear();

    step("333");
    if ((lngDupRejected > 0 || lngWarnings > 0) && list_ && !namesRows()) {
        step("334");
        const QString msg = QStringLiteral("INFORMATION: There was a total of") +
                            vb::Str(double(lngDupRejected) + double(lngWarnings)) +
                            QStringLiteral(" records NOT loaded.");
        QString dupLine;
        if (lngDupRejected == 1)
            dupLine = QStringLiteral(" 1") + QStringLiteral(" record was not loaded because it a duplicate or rejected folio");
        else if (lngDupRejected > 1)
            dupLine = vb::Str(lngDupRejected) +
                      QStringLiteral(" records were not loaded because they were duplicate or rejected folios");
        QString formatLine;
        if (lngWarnings == 1)
            formatLine = QStringLiteral(" 1") + QStringLiteral(" record was not loaded for formatting reasons");
        else if (lngWarnings > 1)
            formatLine = vb::Str(lngWarnings) + QStringLiteral(" records were not loaded for formatting reasons");
        step("335");
        ui::ui().msgBox(msg + CRLF + dupLine + CRLF + formatLine, ui::Buttons::OK, ui::Icon::Information);
        list_->addLine(msg);
        list_->addLine(dupLine);
        list_->addLine(formatLine);
        list_->enablePrintErrors();
        ui::ui().doEvents();
    }
    step("336");
    if (lngLoaded == 0) {
        const QString msg = QStringLiteral("ERROR - The Verification file is empty");
        if (list_) {
            list_->addLine(msg);
            list_->enablePrintErrors();
            ui::ui().doEvents();
        }
        ui::ui().msgBox(msg, ui::Buttons::OK, ui::Icon::Critical);
    }
    step("337");
}

void Load::fail(const Failure& failure)
{
    // Nothing half stored stays behind: a pending new row is dropped and an
    // open transaction rolled back before the user is told.
    if (batch_) {
        batch_->abandon();
        batch_.reset();
    }
    dropPendingRows();
    // What went wrong leads; the number of the step where the load stopped
    // follows for support, without the marker's texts.
    const QString marker = strStep.text();
    QString msg = failure.description + QStringLiteral("\r\n(load step ") + marker.left(marker.indexOf(QLatin1Char(' ')));
    if (xlSheet != nullptr && intRow > 0)
        msg += QStringLiteral(", row %1 of the sheet \"%2\"").arg(intRow).arg(xlSheet->name());
    msg += QLatin1Char(')');
    ui::ui().msgBox(msg, ui::Buttons::OK, ui::Icon::Critical);
    if (list_) {
        list_->addLine(msg);
        list_->enablePrintErrors();
        ui::ui().doEvents();
    }
    CloseVerifyWorkbook();
    stored_.clear();
}

void Load::refuse(const QString& text)
{
    ui::ui().msgBox(text, ui::Buttons::OK, ui::Icon::Critical);
    if (list_) {
        list_->addLine(text);
        list_->enablePrintErrors();
        ui::ui().doEvents();
    }
}

void Load::dropPendingRows()
{
    try {
        DataEnvironment& de = DE();
        for (db::Recordset* rs : {&de.rsFol_Mask(), &de.rsCollection_District(), &de.rsJurisdiction(),
                                  &de.rsCD_JUR(), &de.rsVerify()}) {
            if (rs->isOpen() && rs->editPending())
                rs->cancelUpdate();
        }
        if (de.Zarv.inTransaction())
            de.Zarv.rollbackTrans();
    } catch (const std::exception&) {
        // Reporting the first error matters more than a second one here.
    }
}

// ---------------------------------------------------------------- reporting

void Load::noteLeftOut(const loadsteps::LeftOutRows& rows, int columns)
{
    const QString text = rows.note(xlSheet->name(), columns);
    if (text.isEmpty())
        return;
    if (examining_)
        find({fs::IntakeFinding::Kind::SkippedLine, 0, {}, {}, text});
    else if (list_)
        list(text);
}

void Load::list(const QString& text)
{
    list_->addLine(text);
    ui::ui().doEvents();
}

// The message is only built when it is given.
template <class Text>
void Load::warn(bool condition, const Text& text)
{
    if (reviewed() || lngWarnings >= 3 || !condition || namesRows())
        return;
    // The row goes at the end of the warning's first line.
    QString msg = text();
    const qsizetype firstLineEnd = msg.indexOf(CRLF);
    msg.insert(firstLineEnd < 0 ? msg.size() : firstLineEnd, rowText());
    list(msg);
    ++lngWarnings;
}

} // namespace

LoadResult LoadVerificationWorkbook(const QString& FileName)
{
    const LoadResult result = Load(nullptr).run(FileName);
    LogOutcome(result == LoadResult::Loaded, FileName, QStringLiteral("loaded"),
               result == LoadResult::Refused     ? QStringLiteral("refused")
               : result == LoadResult::Cancelled ? QStringLiteral("cancelled on the intake screen")
                                                 : QStringLiteral("not loaded"),
               [] { return LoggedRows(DE().Zarv, QStringLiteral("VERIFY"), QStringLiteral("folios")); });
    return result;
}

bool Xls2Mdb(const QString& FileName)
{
    return LoadVerificationWorkbook(FileName) == LoadResult::Loaded;
}

bool Xls2Mdb(const QString& FileName, VerifyMessageSink& list)
{
    return LogOutcome(Load(&list).run(FileName) == LoadResult::Loaded, FileName, QStringLiteral("loaded"),
                      QStringLiteral("not loaded"),
                      [] { return LoggedRows(DE().Zarv, QStringLiteral("VERIFY"), QStringLiteral("folios")); });
}

} // namespace zarv
