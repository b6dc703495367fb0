#include "verification/verifyimport.h"
#include "services/activitylog.h"

#include "verification/folioentry.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

#include "platform/data/connection.h"
#include "platform/data/recordset.h"
#include "platform/files/csvfile.h"
#include "platform/files/intake.h"
#include "platform/text/csv.h"
#include "platform/text/failure.h"
#include "platform/text/vb.h"
#include "platform/ui/uiservices.h"
#include "services/clientdata.h"
#include "services/dataenvironment.h"
#include "services/failurenotice.h"
#include "services/foliorule.h"
#include "services/informationwindow.h"
#include "services/system.h"

#include <algorithm>
#include <climits>
#include <exception>
#include <memory>
#include <new>
#include <vector>

namespace zarv::verifyimport {

using namespace verifycsv;

namespace {

const QString CRLF = QStringLiteral("\r\n");
const QString kZeroFolio = QStringLiteral("000000000000000000");

// How many rejected records bring the question whether to go on.
constexpr int kErrorsPerQuestion = 6;

bool allDigits(const QString& text)
{
    for (QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    return true;
}

void openIfClosed(db::Recordset& rs)
{
    if (!rs.isOpen())
        rs.open();
}

QString tooLong(const VerifyRecord& r)
{
    for (const LengthLimit& limit : LengthLimits()) {
        const int width = fieldWidths()[size_t(limit.field)];
        if (r[limit.field].size() > width)
            return QStringLiteral("%1 is longer than %2 characters.").arg(QLatin1String(limit.label)).arg(width);
    }
    return {};
}

// A folio as a file may write it: digits, with the separators of a folio mask
// and blanks between them.
bool folioText(const QString& text)
{
    return std::all_of(text.cbegin(), text.cend(), [](QChar c) {
        return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('-') || c == QLatin1Char('.') ||
               c == QLatin1Char(' ');
    });
}

QString lostDigits(const char* field, const QString& text)
{
    return QLatin1String(field) + QLatin1Char(' ') + text +
           QStringLiteral(" is in exponent form and has lost digits: write it in full (save the column as text).");
}

const QString kDistrictNotValid = QStringLiteral("Collection District is NOT valid (must be 01-99).");
const QString kJurisdictionNotValid = QStringLiteral("Jurisdiction Code is NOT valid (must be 701-799).");

// How the file spells the fields it brought.
QString spelling(const VerifyRecord& r, const FromFile& file)
{
    if (file[FOLIO] && ExponentForm(r[FOLIO]))
        return lostDigits("Folio Number", r[FOLIO]);
    if (file[FOLIO] && !folioText(r[FOLIO]))
        return QStringLiteral("Folio Number is NOT numeric.");
    if (file[PID] && ExponentForm(r[PID]))
        return lostDigits("Property Identifier", r[PID]);
    if (file[PID] && !allDigits(r[PID]))
        return QStringLiteral("Property Identifier is NOT numeric.");
    // A field of the file is the code alone; the add screen's lists put a name after it.
    if (file[CD] && r[CD].size() > folioentry::kDistrictWidth)
        return kDistrictNotValid;
    if (file[JUR] && r[JUR].size() > folioentry::kJurisdictionWidth)
        return kJurisdictionNotValid;
    return {};
}

// The add screen's rule for a new folio, with the import's own messages.
QString newFolioRule(const VerifyRecord& r)
{
    const folioentry::FormCheck check =
        folioentry::CheckNewFolioFields({r[NUMBER], r[MORTCO], r[CD], r[JUR], r[FOLIO], r[PID]});
    switch (check.failed) {
    case 0: return {};
    case 1: return QStringLiteral("Mortgage Number is MISSING");
    case 2: return QStringLiteral("Mortgage Company ID is MISSING");
    case 3: return QStringLiteral("Mortgage Company ID is NOT four characters long");
    case 4:
    case 5: return kDistrictNotValid;
    case 6:
    case 7: return kJurisdictionNotValid;
    case 8: return QStringLiteral("NO Folio Number or Property Identifier.");
    case 9: return QStringLiteral("Folio Number is MISSING");
    }
    return check.message;
}

// All ASCII digits, at least one, without their leading zeros ("0" for zeros only).
std::optional<QString> numberOf(const QString& text)
{
    if (text.isEmpty() || !allDigits(text))
        return std::nullopt;
    qsizetype first = 0;
    while (first + 1 < text.size() && text[first] == QLatin1Char('0'))
        ++first;
    return text.mid(first);
}

} // namespace

// ---------------------------------------------------------------- one record

const std::array<LengthLimit, 9>& LengthLimits()
{
    static const std::array<LengthLimit, 9> limits = {{
        {NUMBER, "Mortgage Number"}, {PID, "Property Identifier"}, {NAME, "Name"},
        {ADDR1, "Address Line 1"},   {ADDR2, "Address Line 2"},    {ADDR3, "Address Line 3"},
        {ADDR4, "Address Line 4"},   {ADDR5, "Address Line 5"},    {LEGAL, "Legal Description"},
    }};
    return limits;
}

QString ReadField(Field f, const QString& text)
{
    QString value = SingleLine(text);
    // vb::UCase, copying only a value that changes (most are upper case already)
    if (std::any_of(value.cbegin(), value.cend(), [](QChar c) { return c != c.toUpper(); }))
        value = vb::UCase(value);
    if (f == ACD)
        return value == QLatin1String("C") || value == QLatin1String("A") || value == QLatin1String("D")
                   ? value
                   : QStringLiteral(" ");
    return f <= PID ? vb::Trim(value) : value;
}

VerifyRecord ParseVerifyRecord(const QString& line, bool blnHasACD)
{
    VerifyRecord r;
    r.raw = line;
    const int first = blnHasACD ? 0 : 1;
    const QStringList fields = SplitVerifyCsvLine(line, kFieldCount - first);
    r[ACD] = blnHasACD ? ReadField(ACD, fields.value(0)) : QStringLiteral(" ");
    for (int f = MORTCO; f < kFieldCount; ++f)
        r.value[size_t(f)] = ReadField(Field(f), fields.value(f - first));
    return r;
}

QString Folio18(const QString& folio)
{
    QString digits;
    for (QChar c : folio) {
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            digits += c;
    }
    return vb::Right(kZeroFolio + digits, 18);
}

bool ExponentForm(const QString& text)
{
    return (text.contains(QLatin1Char('E')) || text.contains(QLatin1Char('e'))) && vb::IsNumeric(text);
}

bool SameFieldText(Field f, const QString& fileText, const QString& exportedText)
{
    if (fileText == exportedText)
        return true;
    if (f == FOLIO && folioText(fileText) && folioText(exportedText) && Folio18(fileText) != kZeroFolio &&
        Folio18(fileText) == Folio18(exportedText))
        return true;
    const std::optional<QString> n = numberOf(fileText);
    return n && n == numberOf(exportedText);
}

QString CheckVerifyRecord(VerifyRecord& r)
{
    return CheckVerifyRecord(r, FromFile().set());
}

QString CheckVerifyRecord(VerifyRecord& r, const FromFile& file)
{
    if (QString message = spelling(r, file); !message.isEmpty())
        return message;
    if (QString message = newFolioRule(r); !message.isEmpty())
        return message;
    if (file[CD])
        r[CD] = folioentry::IsBlankCode(r[CD]) ? QStringLiteral("  ") : vb::Right(QStringLiteral("00") + r[CD], 2);
    if (file[JUR])
        r[JUR] = folioentry::JurisdictionCode(r[JUR]);
    r.strFolio18 = r[FOLIO].isEmpty() ? QString() : Folio18(r[FOLIO]);
    return tooLong(r);
}

// ---------------------------------------------------------------- matching rows

QString VerifyMatchIndex::folioKey(const QString& jur, const QString& folio18)
{
    return db::foldText(vb::Trim(jur)) + QChar(0x1F) + folio18;
}

QString VerifyMatchIndex::pidKey(const QString& jur, const QString& pid)
{
    return db::foldText(vb::Trim(jur)) + QChar(0x1F) + numberOf(pid).value_or(db::foldText(pid));
}

void VerifyMatchIndex::clear()
{
    byFolio_.clear();
    byPid_.clear();
}

void VerifyMatchIndex::build(db::Recordset& rs)
{
    clear();
    const std::unique_ptr<db::Recordset> rows = rs.clone();
    if (rows->recordCount() <= 0)
        return;
    const int jur = rows->fieldIndex(QStringLiteral("JUR"));
    const int folio = rows->fieldIndex(QStringLiteral("FOLIO"));
    const int pid = rows->fieldIndex(QStringLiteral("PID"));
    byFolio_.reserve(rows->recordCount());
    for (rows->moveFirst(); !rows->eof(); rows->moveNext())
        add(rows->value(jur).toString(), rows->value(folio).toString(), rows->value(pid).toString(),
            rows->bookmark());
}

void VerifyMatchIndex::add(const QString& jur, const QString& folio, const QString& pid, qint64 bookmark)
{
    const QString folio18 = Folio18(folio);
    // The first row of a key is the one the search finds.
    if (folio18 != kZeroFolio) {
        const QString key = folioKey(jur, folio18);
        if (!byFolio_.contains(key))
            byFolio_.insert(key, bookmark);
    }
    if (!pid.isEmpty()) {
        const QString key = pidKey(jur, pid);
        if (!byPid_.contains(key))
            byPid_.insert(key, bookmark);
    }
}

std::optional<qint64> VerifyMatchIndex::find(const VerifyRecord& r) const
{
    const QHash<QString, qint64>& map = r.strFolio18.isEmpty() ? byPid_ : byFolio_;
    const QString key = r.strFolio18.isEmpty() ? pidKey(r[JUR], r[PID]) : folioKey(r[JUR], r.strFolio18);
    const auto it = map.constFind(key);
    if (it == map.constEnd())
        return std::nullopt;
    return *it;
}

// ---------------------------------------------------------------- the rows of the list

namespace {

using RowValues = std::array<QString, kFieldCount>;

foliorule::Record recordOf(const RowValues& v)
{
    return {v[ACD], v[MORTCO], v[NUMBER], v[CD], v[JUR], v[FOLIO], v[PID]};
}

// The reasons the tax office would leave these values out; none when it takes them.
QSet<QString> leftOutReasons(const RowValues& values, const foliorule::CodeTables& tables)
{
    QSet<QString> reasons;
    for (const foliorule::Finding& f : foliorule::Judge(recordOf(values), tables)) {
        if (f.leftOut)
            reasons.insert(f.reason);
    }
    return reasons;
}

// The key a row or a line is found by: its jurisdiction and folio when it has
// a folio, else its jurisdiction and PID; "" when it has neither. A folio that
// is no plain folio (one in exponent form, say) gives no folio key.
QString folioKeyOf(const QString& jur, const QString& folio)
{
    if (folio.isEmpty() || !folioText(folio) || Folio18(folio) == kZeroFolio)
        return {};
    return VerifyMatchIndex::folioKey(jur, Folio18(folio));
}

// A row with neither folio nor PID has no key of its own; a line names it by
// all of its fields, each all-digit field as its number.
QString wholeKey(const std::array<QString, kFieldCount>& fields)
{
    QString key = QStringLiteral("\x1F\x1F");
    for (const QString& v : fields) {
        key += numberOf(v).value_or(v);
        key += QChar(0x1F);
    }
    return key;
}

// The rows the list held when the import began, as stored and as the export
// writes them and the import reads them back.
class ListedRows {
public:
    struct Row {
        qint64 bookmark = 0;
        RowValues stored;
        RowValues exported;
        bool taken = false;
    };

    // Every row of rs, in rs's order (rs itself does not move).
    void build(db::Recordset& rs)
    {
        rows_.clear();
        byKey_.clear();
        const std::unique_ptr<db::Recordset> rows = rs.clone();
        if (rows->recordCount() <= 0)
            return;
        std::array<int, kFieldCount> at{};
        for (int f = 0; f < kFieldCount; ++f)
            at[size_t(f)] = rows->fieldIndex(fieldNames()[size_t(f)]);
        rows_.reserve(rows->recordCount());
        for (rows->moveFirst(); !rows->eof(); rows->moveNext()) {
            Row row;
            row.bookmark = rows->bookmark();
            for (int f = 0; f < kFieldCount; ++f) {
                row.stored[size_t(f)] = rows->value(at[size_t(f)]).toString();
                // The line holds each value as written, and reads back as one
                // field, commas and all.
                row.exported[size_t(f)] = ReadField(Field(f), ExportedValue(row.stored[size_t(f)]));
            }
            const int index = int(rows_.size());
            const QString folio = folioKeyOf(row.exported[JUR], row.exported[FOLIO]);
            if (!folio.isEmpty())
                byKey_[folio].append(index);
            if (!row.exported[PID].isEmpty())
                byKey_[VerifyMatchIndex::pidKey(row.exported[JUR], row.exported[PID])].append(index);
            else if (folio.isEmpty())
                byKey_[wholeKey(row.exported)].append(index);
            rows_.push_back(std::move(row));
        }
    }

    // The row a line names: among the rows of its key (left out those taken,
    // when untakenOnly), the first whose every field the line holds as the
    // export wrote it, else the first. Null when none is left.
    Row* find(const VerifyRecord& r, bool untakenOnly)
    {
        QString key = folioKeyOf(r[JUR], r[FOLIO]);
        // A folio of no use as a key (zeros, exponent form) still leaves the
        // row of the PID, against which the folio is then refused.
        if (key.isEmpty())
            key = r[PID].isEmpty() ? wholeKey(r.value) : VerifyMatchIndex::pidKey(r[JUR], r[PID]);
        const auto it = byKey_.constFind(key);
        if (it == byKey_.constEnd())
            return nullptr;
        Row* first = nullptr;
        for (int index : *it) {
            Row& row = rows_[size_t(index)];
            if (untakenOnly && row.taken)
                continue;
            if (unchanged(row, r))
                return &row;
            if (!first)
                first = &row;
        }
        return first;
    }

    // How many rows of the list have the key.
    int count(const QString& key) const
    {
        const auto it = byKey_.constFind(key);
        return it == byKey_.constEnd() ? 0 : int(it->size());
    }

    static bool unchanged(const Row& row, const VerifyRecord& r)
    {
        for (int f = 0; f < kFieldCount; ++f) {
            if (!SameFieldText(Field(f), r.value[size_t(f)], row.exported[size_t(f)]))
                return false;
        }
        return true;
    }

private:
    std::vector<Row> rows_;
    QHash<QString, QList<int>> byKey_;
};

} // namespace

// ---------------------------------------------------------------- the import

namespace {

// The fields option 1 changes in a row it finds; the others stay as stored.
constexpr std::array<Field, 8> kUpdated = {ACD, NAME, ADDR1, ADDR2, ADDR3, ADDR4, ADDR5, LEGAL};

class Import {
public:
    Import(const QString& option, const QString& path, const std::function<void()>& refresh, ImportCounts& counts)
        : option2_(option == kOption2), path_(path), refresh_(refresh), counts_(counts)
    {
    }
    bool run();
    // Why the last run ended without a complete import, as the clerk was told
    // it; "" when it was complete or nothing was said.
    const QString& why() const { return counts_.why; }

private:
    // Shows a box that explains a stop, and keeps its text as the reason.
    void tell(const QString& text, ui::Icon icon, const QString& title = {});
    QString shownPath() const { return QDir::toNativeSeparators(QFileInfo(path_).absoluteFilePath()); }
    bool readFile();
    // A line with more fields than the layout holds cannot be told apart: the
    // file is refused naming it. False when refused.
    bool fieldsFit();
    // What the reader decided is shown before anything is stored; false when
    // the clerk cancelled.
    bool intakeAgreed();
    void noteRepeats();
    // Option 2 replaces the list only when the clerk agrees.
    bool replaceAgreed();
    void deleteAll();
    void decideAcd();
    // False when the user chose to stop.
    bool importRecord(const QString& line);
    // A line that names a row of the list; false when it was refused.
    void takeListedRow(ListedRows::Row& row, VerifyRecord& r);
    void takeNewRecord(VerifyRecord& r);
    void reject(const VerifyRecord& r, const QString& message);
    void addRow(const RowValues& values);
    void updateRow(qint64 bookmark, const VerifyRecord& r);
    // Option 1: the fields it changes in a row become those of values.
    void writeRow(qint64 bookmark, const RowValues& was, const RowValues& values);
    void beginStoring();
    void endStoring(bool keep);
    // Option 2 keeps its records only when the file was read to its end and
    // at least one was stored; otherwise the old list comes back.
    bool keeps(bool readToEnd) const { return !option2_ || (readToEnd && stored_ > 0); }
    void finish(bool keep);
    void showError(const Failure& failure);

    const bool option2_;
    const QString path_;
    const std::function<void()>& refresh_;
    ImportCounts& counts_;

    QStringList lines_;
    std::vector<int> lineNumbers_;   // of each of lines_ in the file
    fs::Intake intake_;
    bool blnHasACD = false;
    int intErrorCount = 0;
    VerifyMatchIndex index_;
    ListedRows listed_;
    QHash<qint64, RowValues> written_;  // rows option 1 changed, as they now are
    long stored_ = 0;           // records added
    std::unique_ptr<db::Recordset> rsVerifyClone;
    foliorule::CodeTables tables_;
    bool storing_ = false;
    bool storedLost_ = false;   // the database undid the rows stored so far
};

const QString kListLeft = QStringLiteral("The list was left as it was.");

bool Import::run()
{
    Failure failure;
    try {
        if (!FileExists(path_)) {
            tell(QStringLiteral("Verify.csv file is NOT found: ") + shownPath(), ui::Icon::None,
                 QStringLiteral("Verify.csv file is missing"));
            return false;
        }
        // The whole file is read before anything changes, so a file that cannot
        // be read costs no rows.
        if (!readFile())
            return false;
        counts_.read = true;
        db::Recordset& rsVerify = DE().rsVerify();
        openIfClosed(rsVerify);
        rsVerify.setFilter(QString());
        listed_.build(rsVerify);
        decideAcd();
        if (!fieldsFit() || !intakeAgreed())
            return false;
        if (option2_ && !replaceAgreed()) {
            counts_.declined = true;
            return false;
        }
        tables_ = foliorule::CodeTables::fromWorkingDatabase();
        // Option 2's delete and its records are one unit: a stop, an error or a
        // file of which nothing could be stored puts the old list back.
        beginStoring();
        if (option2_)
            deleteAll();
        rsVerifyClone = rsVerify.clone();
        index_.build(rsVerify);
        for (const QString& line : lines_) {
            if (!importRecord(line)) {
                finish(keeps(false));
                if (option2_)
                    tell(QStringLiteral("The import was stopped.") + CRLF + kListLeft, ui::Icon::Information);
                return false;
            }
        }
        const bool kept = keeps(true);
        finish(kept);
        if (!kept)
            tell(QStringLiteral("No record of ") + shownPath() + QStringLiteral(" could be imported.") + CRLF + kListLeft,
                 ui::Icon::Information);
        return kept;
    } catch (const std::exception&) {
        failure = currentFailure();
    }
    if (rsVerifyClone && rsVerifyClone->editPending())
        rsVerifyClone->cancelUpdate();
    try {
        finish(keeps(false));
    } catch (const std::exception&) {
        // The list shows what rsVerify holds; the box below tells what was kept.
    }
    showError(failure);
    return false;
}

void Import::tell(const QString& text, ui::Icon icon, const QString& title)
{
    counts_.why = text;
    ui::ui().msgBox(text, ui::Buttons::OK, icon, title);
}

void Import::showError(const Failure& failure)
{
    QString kept = QStringLiteral("The records imported before the error are kept.");
    if (option2_)
        kept = QStringLiteral("No record of this import was kept.") + CRLF + kListLeft;
    else if (storedLost_)
        kept = QStringLiteral("No record of this import was kept.");
    tell(FailureNotice(QString(), failure) + CRLF + kept, ui::Icon::Critical);
}

// A file a spreadsheet program may have saved: read as UTF-8 or Windows-1252,
// and refused whole, naming its lines, when its fields cannot be told apart or
// it holds characters the program's files cannot.
bool Import::readFile()
{
    fs::CsvReader file;
    QString error;
    if (!file.open(path_)) {
        error = file.errorString();
    } else if (file.fault() != fs::CsvReader::Fault::None) {
        error = file.refusal();
    } else {
        intake_ = {};
        intake_.path = shownPath();
        intake_.writtenBack = fs::taxOfficeForm();
        for (const fs::IntakeFinding& f : file.findings())
            intake_.add(f);
        lines_.clear();
        lineNumbers_.clear();
        lines_.reserve(file.lineCount());
        // An empty line, or one of only blanks and commas, is no record. Those
        // at the end (editors and spreadsheet programs often leave one) pass
        // without a word; one between records is named on the intake screen.
        std::vector<int> blanks;
        QString line;
        while (file.readLine(line)) {
            if (csv::isBlankLine(line)) {
                blanks.push_back(file.lineNumber());
                continue;
            }
            for (const int blank : blanks)
                intake_.add({fs::IntakeFinding::Kind::SkippedLine, blank, {}, {},
                             QStringLiteral("An empty line is no record; it is passed over.")});
            blanks.clear();
            lines_.append(line);
            lineNumbers_.push_back(file.lineNumber());
        }
        return true;
    }
    tell(shownPath() + QStringLiteral(" could not be read: ") + error + CRLF + QStringLiteral("Nothing was imported."),
         ui::Icon::Critical);
    return false;
}

bool Import::fieldsFit()
{
    const int count = blnHasACD ? kFieldCount : kFieldCount - 1;
    for (qsizetype n = 0; n < lines_.size(); ++n) {
        const QString& line = lines_[n];
        if (line.count(u',') < count)
            continue;
        QStringList fields = fs::splitFieldsBy(line, QLatin1Char(','));
        while (fields.size() > count && vb::Trim(fields.last()).isEmpty())
            fields.removeLast();
        if (fields.size() <= count)
            continue;
        tell(shownPath() + QStringLiteral(" could not be read: line %1 holds %2 fields where a record has %3, so "
                                          "which value belongs to which field cannot be told (a value with a "
                                          "comma and no quotes around it, say):")
                               .arg(lineNumbers_[size_t(n)])
                               .arg(fields.size())
                               .arg(count) +
                 CRLF + line + CRLF +
                 QStringLiteral("Put the value in double quotes or take out its comma, then import again.") + CRLF +
                 QStringLiteral("Nothing was imported."),
             ui::Icon::Critical);
        return false;
    }
    return true;
}

// A record the file holds twice (the same jurisdiction and folio, or without a
// folio the same PID) is named before anything is stored: with option 1 the
// later line is read over the earlier, with option 2 it is refused. Lines that
// give back rows the list holds are no repeats: each finds its own row, and
// with option 1 any line of a listed key does.
void Import::noteRepeats()
{
    constexpr int kNamed = 100;
    QHash<QString, int> firstLine;
    QHash<QString, int> seen;
    int repeats = 0;
    for (qsizetype n = 0; n < lines_.size(); ++n) {
        const VerifyRecord r = ParseVerifyRecord(lines_[n], blnHasACD);
        QString key = folioKeyOf(r[JUR], r[FOLIO]);
        const bool byFolio = !key.isEmpty();
        if (!byFolio && !r[PID].isEmpty())
            key = VerifyMatchIndex::pidKey(r[JUR], r[PID]);
        if (key.isEmpty())
            continue;
        const int line = lineNumbers_[size_t(n)];
        const int listed = listed_.count(key);
        if (!firstLine.contains(key))
            firstLine.insert(key, line);
        if (++seen[key] <= (option2_ ? std::max(1, listed) : (listed > 0 ? INT_MAX : 1)))
            continue;
        const auto it = firstLine.constFind(key);
        if (++repeats > kNamed)
            continue;
        const QString sep = QStringLiteral(", ");
        intake_.add({fs::IntakeFinding::Kind::Repeat, line, QStringList{r[JUR], r[FOLIO], r[PID]}.join(sep),
                     QStringList{r[JUR], byFolio ? Folio18(r[FOLIO]) : r[FOLIO], r[PID]}.join(sep),
                     QStringLiteral("The record repeats the jurisdiction and %1 of line %2. %3")
                         .arg(byFolio ? QStringLiteral("folio") : QStringLiteral("PID"))
                         .arg(*it)
                         .arg(option2_ ? QStringLiteral("It is not imported.")
                                       : QStringLiteral("It is read over the earlier one."))});
    }
    if (repeats > kNamed)
        intake_.add({fs::IntakeFinding::Kind::Repeat, 0, {}, {},
                     QStringLiteral("... and %1 more like these.").arg(repeats - kNamed)});
}

bool Import::intakeAgreed()
{
    noteRepeats();
    if (!intake_.needsReview() || ui::ui().reviewIntake(intake_))
        return true;
    counts_.declined = true;
    counts_.why = QStringLiteral("The import was cancelled before anything was stored.");
    if (option2_)
        counts_.why += CRLF + kListLeft;
    return false;
}

bool Import::replaceAgreed()
{
    const long folios = std::max(DE().rsVerify().recordCount(), 0L);
    if (folios == 0)
        return true;    // nothing to lose
    const auto counted = [](qsizetype n, const char* one, const char* many) {
        return QString::number(n) + QLatin1Char(' ') + QLatin1String(n == 1 ? one : many);
    };
    const QString held = counted(folios, "folio", "folios");
    ui::MessageBox question{QStringLiteral("The list holds ") + held + QStringLiteral(" and ") + shownPath() + QStringLiteral(" holds ") +
                                counted(lines_.size(), "line", "lines") + QLatin1Char('.') + CRLF +
                                QStringLiteral("Import 2 deletes ") + (folios == 1 ? QStringLiteral("the ") : QStringLiteral("all ")) +
                                held + QStringLiteral(" and puts the lines of the file in their place.") + CRLF +
                                QStringLiteral("Replace the list?"),
                            ui::Buttons::YesNo, ui::Icon::Question, {}, ui::Answer::No};
    return ui::ui().msgBox(question) == ui::Answer::Yes;
}

void Import::deleteAll()
{
    DE().Zarv.execute(QStringLiteral("DELETE * FROM \"VERIFY\" "));
    db::Recordset& rsVerify = DE().rsVerify();
    if (rsVerify.isOpen())
        rsVerify.requery();
    ui::ui().doEvents();
}

void Import::decideAcd()
{
    blnHasACD = false;
    for (const QString& line : lines_) {
        if (LineShowsAcd(vb::UCase(line))) {
            blnHasACD = true;
            return;
        }
    }
    // A spreadsheet program may put every field in quotes; the status is then
    // the first field as the splitter gives it.
    for (const QString& line : lines_) {
        if (!line.startsWith(QLatin1Char('"')))
            continue;
        const QStringList first = SplitVerifyCsvLine(line, 2);
        if (line.size() > 2 && LineShowsAcd(vb::UCase(first.value(0)) + QLatin1Char(','))) {
            blnHasACD = true;
            return;
        }
    }
    // A status letter other than A, C and D, which a workbook may bring, shows
    // nothing; a line the export wrote for a row of the list still does.
    for (const QString& line : lines_) {
        const VerifyRecord r = ParseVerifyRecord(line, true);
        const ListedRows::Row* row = listed_.find(r, false);
        if (row && ListedRows::unchanged(*row, r)) {
            blnHasACD = true;
            return;
        }
    }
}

bool Import::importRecord(const QString& line)
{
    VerifyRecord r = ParseVerifyRecord(line, blnHasACD);
    if (ListedRows::Row* row = listed_.find(r, option2_))
        takeListedRow(*row, r);
    else
        takeNewRecord(r);
    if (intErrorCount < kErrorsPerQuestion)
        return true;
    const ui::Answer varAnswer =
        ui::ui().msgBox(QStringLiteral("There has been a number of errors... do you want to Continue ?"),
                        ui::Buttons::YesNo, ui::Icon::None, QStringLiteral("Multiple Verification Folio Errors"));
    if (varAnswer != ui::Answer::Yes)
        return false;
    intErrorCount = 0;
    return true;
}

void Import::reject(const VerifyRecord& r, const QString& message)
{
    ShowInformationDialog(QStringLiteral("CRITICAL"),
                          QStringLiteral("Record is NOT imported!") + CRLF + message + CRLF + QStringLiteral(" ") +
                              CRLF + QStringLiteral("Record:") + CRLF + r.raw,
                          QStringLiteral("Import ERROR"));
    ++intErrorCount;
    ++counts_.refused;
}

// A field the line holds as the export wrote it is the row's own value, as
// stored (its apostrophes, letter case, blanks, leading zeros and folio as
// typed); what the line changed is checked and taken.
void Import::takeListedRow(ListedRows::Row& row, VerifyRecord& r)
{
    FromFile file;
    for (int f = 0; f < kFieldCount; ++f) {
        if (SameFieldText(Field(f), r.value[size_t(f)], row.exported[size_t(f)]))
            r.value[size_t(f)] = row.stored[size_t(f)];
        else
            file.set(size_t(f));
    }
    RowValues values = row.stored;
    if (file.any()) {
        if (QString message = CheckVerifyRecord(r, file); !message.isEmpty()) {
            reject(r, message);
            return;
        }
        values = r.value;
        if (file[FOLIO])
            values[FOLIO] = r.strFolio18;
        // What the line changed must not make the tax office leave the row out
        // (a row the list held with a fault is named in the list already).
        const QSet<QString> before = leftOutReasons(row.stored, tables_);
        foliorule::Findings added;
        for (const foliorule::Finding& f : foliorule::Judge(recordOf(values), tables_)) {
            if (f.leftOut && !before.contains(f.reason))
                added.push_back(f);
        }
        if (!added.empty()) {
            reject(r, folioentry::TaxOfficeRefusal(added));
            return;
        }
        // A number the clerk changed marks the row as changed; the number itself stays.
        if (file[NUMBER] && !option2_)
            values[ACD] = QStringLiteral("C");
    }
    if (option2_) {
        row.taken = true;
        addRow(values);
    } else {
        writeRow(row.bookmark, row.stored, values);
    }
    ++counts_.imported;
}

void Import::takeNewRecord(VerifyRecord& r)
{
    if (QString message = CheckVerifyRecord(r, FromFile().set()); !message.isEmpty()) {
        reject(r, message);
        return;
    }
    RowValues values = r.value;
    values[FOLIO] = r.strFolio18;
    if (QString refusal = folioentry::TaxOfficeRefusal(foliorule::Judge(recordOf(values), tables_));
        !refusal.isEmpty()) {
        reject(r, refusal);
        return;
    }
    if (const std::optional<qint64> match = index_.find(r)) {
        if (option2_) {
            // The list was emptied, so the match is a repeat within the file,
            // which the intake screen named before anything was stored.
            ++counts_.refused;
            return;
        }
        updateRow(*match, r);
    } else {
        addRow(values);
    }
    ++counts_.imported;
}

// The records of one import go into one transaction, ended when the import ends
// or stops: kept (option 1 always keeps what was stored before a stop), or
// rolled back, which with option 2 brings back the list as it was before its
// delete. A record the database refuses is dropped on its own (its pending row
// is cancelled).
void Import::beginStoring()
{
    DE().Zarv.beginTrans();
    storing_ = true;
}

void Import::endStoring(bool keep)
{
    if (!storing_)
        return;
    storing_ = false;
    if (!keep) {
        DE().Zarv.rollbackTrans();
        return;
    }
    try {
        DE().Zarv.commitTrans();
    } catch (const std::exception&) {
        storedLost_ = true;
        DE().Zarv.rollbackTrans();
        throw;
    }
}

void Import::addRow(const RowValues& values)
{
    db::Recordset& rows = *rsVerifyClone;
    rows.addNew();
    for (int f = 0; f < kFieldCount; ++f)
        rows.setValue(fieldNames()[size_t(f)], values[size_t(f)]);
    rows.move(0);
    index_.add(values[JUR], values[FOLIO], values[PID], rows.bookmark());
    ++stored_;
}

// A repeat of a record this import added: the row takes the record's status
// (another number marks it changed), name, addresses and legal description.
void Import::updateRow(qint64 bookmark, const VerifyRecord& r)
{
    db::Recordset& rows = *rsVerifyClone;
    rows.setBookmark(bookmark);
    const bool sameNumber = vb::Trim(rows.text(QStringLiteral("NUMBER"))) == r[NUMBER];
    rows.setValue(QStringLiteral("ACD"), sameNumber ? r[ACD] : QStringLiteral("C"));
    for (Field f : {NAME, ADDR1, ADDR2, ADDR3, ADDR4, ADDR5, LEGAL})
        rows.setValue(fieldNames()[size_t(f)], r[f]);
    rows.move(0);
}

void Import::writeRow(qint64 bookmark, const RowValues& was, const RowValues& values)
{
    const RowValues& now = written_.contains(bookmark) ? written_[bookmark] : was;
    if (std::all_of(kUpdated.begin(), kUpdated.end(), [&](Field f) { return now[f] == values[f]; }))
        return;
    db::Recordset& rows = *rsVerifyClone;
    rows.setBookmark(bookmark);
    RowValues changed = now;
    for (Field f : kUpdated) {
        rows.setValue(fieldNames()[size_t(f)], values[f]);
        changed[f] = values[f];
    }
    rows.move(0);
    written_.insert(bookmark, changed);
}

// The list shows the rows as they now stand, in its order, from its first row.
void Import::finish(bool keep)
{
    // The list is shown as the table stands even when the rows could not be kept.
    std::exception_ptr failure;
    try {
        endStoring(keep);
    } catch (...) {
        failure = std::current_exception();
    }
    rsVerifyClone.reset();
    db::Recordset& rsVerify = DE().rsVerify();
    rsVerify.close();
    rsVerify.open();
    ui::ui().doEvents();
    if (refresh_)
        refresh_();
    ui::ui().doEvents();
    if (failure)
        std::rethrow_exception(failure);
}

} // namespace

bool ImportVerifyCsv(const QString& ImportOption, const QString& path, const std::function<void()>& refreshGrid,
                     ImportCounts* counts)
{
    ImportCounts own;
    ImportCounts& c = counts ? *counts : own;
    c = ImportCounts{};
    const bool kept = LogOutcome(Import(ImportOption, path, refreshGrid, c).run(), path, QStringLiteral("imported"), QStringLiteral("not imported"), [&c] { return QStringLiteral("%1 lines imported, %2 refused").arg(c.imported).arg(c.refused); });
    // A list put back holds none of the file's lines.
    if (!kept && ImportOption == kOption2)
        c.imported = 0;
    return kept;
}

} // namespace zarv::verifyimport
