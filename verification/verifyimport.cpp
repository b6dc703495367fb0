#include "verification/verifyimport.h"

#include "verification/folioentry.h"

#include "platform/data/connection.h"
#include "platform/data/criteria.h"
#include "platform/data/recordset.h"
#include "platform/files/textfile.h"
#include "platform/text/failure.h"
#include "platform/text/vb.h"
#include "platform/ui/uiservices.h"
#include "services/Form_InformationDialog.h"
#include "services/clientdata.h"
#include "services/dataenvironment.h"
#include "services/system.h"

#include <algorithm>
#include <exception>
#include <memory>
#include <new>

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

// True when a row of rs (searched from its first row) has `field` equal to value.
// An empty table lists nothing.
bool listed(db::Recordset& rs, const QString& field, const QString& value)
{
    if (rs.recordCount() <= 0)
        return false;
    rs.moveFirst();
    rs.find(field + QStringLiteral(" = ") + db::quoted(value));
    return !rs.eof();
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

QString districtAndJurisdiction(VerifyRecord& r, CodeLookups& codes)
{
    QString& cd = r[CD];
    if (!vb::IsNumeric(cd) || vb::Val(cd) < folioentry::kDistrictLow || vb::Val(cd) > folioentry::kDistrictHigh)
        return QStringLiteral("Collection District is NOT valid (must be 01-99).");
    cd = vb::Right(QStringLiteral("00") + cd, 2);
    if (!codes.district(cd))
        return QStringLiteral("Collection District (") + cd +
               QStringLiteral(") is NOT in the list of valid Collection Districts!");

    QString& jur = r[JUR];
    if (!vb::IsNumeric(jur) || vb::Val(jur) < folioentry::kJurisdictionLow ||
        vb::Val(jur) > folioentry::kJurisdictionHigh)
        return QStringLiteral("Jurisdiction Code is NOT valid (must be 701-799).");
    jur = vb::Left(jur + RepeatString(QStringLiteral(" "), 3), 3);
    if (!codes.jurisdiction(jur))
        return QStringLiteral("Jurisdiction (") + jur + QStringLiteral(") is NOT in the list of valid Jurisdictions!");
    return {};
}

QString combination(const VerifyRecord& r, CodeLookups& codes)
{
    if (!codes.pairsListed() || codes.pair(r[CD], r[JUR]))
        return {};
    return QStringLiteral("Collection District (") + r[CD] + QStringLiteral(") and Jurisdiction (") + r[JUR] +
           QStringLiteral(") is NOT in the list of valid combinations!");
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

// ---------------------------------------------------------------- code lookups

bool CodeLookups::district(const QString& cd)
{
    auto it = districts_.find(cd);
    if (it == districts_.end())
        it = districts_.insert(cd, listed(DE().rsCollection_District(), QStringLiteral("Collection_District_Code"), cd));
    return *it;
}

bool CodeLookups::jurisdiction(const QString& jur)
{
    auto it = jurisdictions_.find(jur);
    if (it == jurisdictions_.end())
        it = jurisdictions_.insert(jur, listed(DE().rsJurisdiction(), QStringLiteral("Jurisdiction_Code"), jur));
    return *it;
}

bool CodeLookups::pairsListed()
{
    if (!pairsListed_) {
        db::Recordset& pairs = DE().rsCD_JUR();
        pairs.setFilter(QString());
        pairsListed_ = pairs.recordCount() > 0;
    }
    return *pairsListed_;
}

bool CodeLookups::pair(const QString& cd, const QString& jur)
{
    const QString key = cd + QChar(0x1F) + jur;
    auto it = pairs_.find(key);
    if (it == pairs_.end()) {
        db::Recordset& pairs = DE().rsCD_JUR();
        const QString strCdJurFilter = db::eq(QStringLiteral("Collection_District_Code"), cd) + QStringLiteral("AND ") +
                         db::eq(QStringLiteral("Jurisdiction_Code"), jur);
        pairs.setFilter(strCdJurFilter);
        const bool found = pairs.recordCount() > 0;
        pairs.setFilter(QString());
        it = pairs_.insert(key, found);
    }
    return *it;
}

QString CheckVerifyRecord(VerifyRecord& r)
{
    CodeLookups codes;
    return CheckVerifyRecord(r, codes);
}

QString CheckVerifyRecord(VerifyRecord& r, CodeLookups& codes)
{
    if (r[MORTCO].isEmpty())
        return QStringLiteral("Mortgage Company ID is MISSING");
    if (r[MORTCO].size() != 4)
        return QStringLiteral("Mortgage Company ID is NOT four characters long");
    if (r[NUMBER].isEmpty())
        return QStringLiteral("Mortgage Number is MISSING");
    if (QString message = districtAndJurisdiction(r, codes); !message.isEmpty())
        return message;
    if (!r[FOLIO].isEmpty() && !vb::IsNumeric(r[FOLIO]))
        return QStringLiteral("Folio Number is NOT numeric.");
    if (!r[PID].isEmpty() && !allDigits(r[PID]))
        return QStringLiteral("Property Identifier is NOT numeric.");
    if (r[FOLIO].isEmpty() && r[PID].isEmpty())
        return QStringLiteral("NO Folio Number or Property Identifier.");
    if (QString message = combination(r, codes); !message.isEmpty())
        return message;
    r.strFolio18.clear();
    if (!r[FOLIO].isEmpty()) {
        r.strFolio18 = Folio18(r[FOLIO]);
        if (r.strFolio18 == kZeroFolio)
            return QStringLiteral("Folio Number is MISSING");
    }
    return tooLong(r);
}

// ---------------------------------------------------------------- matching rows

QString VerifyMatchIndex::folioKey(const QString& jur, const QString& folio18)
{
    return db::foldText(jur) + QChar(0x1F) + folio18;
}

QString VerifyMatchIndex::pidKey(const QString& jur, const QString& pid)
{
    return db::foldText(jur) + QChar(0x1F) + db::foldText(pid);
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

// ---------------------------------------------------------------- the list as the file gives it back

namespace {

using RowValues = std::array<QString, kFieldCount>;

const QChar kKeySeparator(0x1F);

QString recordKey(const VerifyRecord& r)
{
    QString key;
    for (const QString& v : r.value) {
        key += v;
        key += kKeySeparator;
    }
    return key;
}

// The rows the list held when the import began, each under the record the
// import reads from the line the export writes for it. A line that reads as
// exactly that record stands for the row as it is stored: its letter case,
// its quotes, its folio as typed and codes the checks would refuse (a folio
// with only a PID and no district, say) all come back unchanged.
class ListedRows {
public:
    struct Row {
        qint64 bookmark = 0;
        RowValues values;
    };

    // Every row of rs, in rs's order (rs itself does not move); the values
    // only when withValues.
    void build(db::Recordset& rs, bool withValues)
    {
        rows_.clear();
        const std::unique_ptr<db::Recordset> rows = rs.clone();
        if (rows->recordCount() <= 0)
            return;
        std::array<int, kFieldCount> at{};
        for (int f = 0; f < kFieldCount; ++f)
            at[size_t(f)] = rows->fieldIndex(fieldNames()[size_t(f)]);
        rows_.reserve(rows->recordCount());
        QString key;
        for (rows->moveFirst(); !rows->eof(); rows->moveNext()) {
            Row row{rows->bookmark(), {}};
            key.clear();
            for (int f = 0; f < kFieldCount; ++f) {
                const QString value = rows->value(at[size_t(f)]).toString();
                // The line holds each value as written, and reads back as one
                // field, commas and all.
                key += ReadField(Field(f), ExportedValue(value));
                key += kKeySeparator;
                if (withValues)
                    row.values[size_t(f)] = value;
            }
            rows_[key].append(std::move(row));
        }
    }

    // The first row the record stands for, if any.
    const Row* find(const VerifyRecord& r) const
    {
        const auto it = rows_.constFind(recordKey(r));
        return it == rows_.constEnd() || it->isEmpty() ? nullptr : &it->front();
    }

    // The same, taken: a second line of the same row finds the next one.
    std::optional<Row> take(const VerifyRecord& r)
    {
        const auto it = rows_.find(recordKey(r));
        if (it == rows_.end() || it->isEmpty())
            return std::nullopt;
        return it->takeFirst();
    }

private:
    QHash<QString, QList<Row>> rows_;
};

} // namespace

// ---------------------------------------------------------------- the import

namespace {

class Import {
public:
    Import(const QString& option, const QString& path, const std::function<void()>& refresh)
        : option2_(option == kOption2), path_(path), refresh_(refresh)
    {
    }
    bool run();

private:
    bool readFile();
    void deleteAll();
    void decideAcd();
    // False when the user chose to stop.
    bool importRecord(const QString& line);
    // A line that stands for a row of the list: true when it was taken as that row.
    bool takeListedRow(const VerifyRecord& r);
    void reject(const VerifyRecord& r, const QString& message);
    void addRow(const RowValues& values);
    void updateRow(qint64 bookmark, const VerifyRecord& r);
    void restoreRow(qint64 bookmark);
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

    QStringList lines_;
    bool blnHasACD = false;
    int intErrorCount = 0;
    VerifyMatchIndex index_;
    CodeLookups codes_;
    ListedRows listed_;
    QHash<qint64, RowValues> updatedRows_;   // rows option 1 changed, as they were before
    long stored_ = 0;           // records added
    std::unique_ptr<db::Recordset> rsVerifyClone;
    bool storing_ = false;
    bool storedLost_ = false;   // the database undid the rows stored so far
};

const QString kListLeft = QStringLiteral("The list was left as it was.");

bool Import::run()
{
    Failure failure;
    try {
        openIfClosed(DE().rsCollection_District());
        openIfClosed(DE().rsJurisdiction());
        openIfClosed(DE().rsCD_JUR());
        if (!FileExists(path_)) {
            ui::ui().msgBox(QStringLiteral("Verify.csv file is NOT found in the working directory"), ui::Buttons::OK,
                            ui::Icon::None, QStringLiteral("Verify.csv file is missing"));
            return false;
        }
        // The whole file is read before anything changes, so a file that cannot
        // be read costs no rows.
        if (!readFile())
            return false;
        db::Recordset& rsVerify = DE().rsVerify();
        openIfClosed(rsVerify);
        rsVerify.setFilter(QString());
        listed_.build(rsVerify, option2_);
        decideAcd();
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
                    ui::ui().msgBox(QStringLiteral("The import was stopped.") + CRLF + kListLeft, ui::Buttons::OK,
                                    ui::Icon::Information);
                return false;
            }
        }
        const bool kept = keeps(true);
        finish(kept);
        if (!kept)
            ui::ui().msgBox(QStringLiteral("No record of Verify.csv could be imported.") + CRLF + kListLeft,
                            ui::Buttons::OK, ui::Icon::Information);
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

void Import::showError(const Failure& failure)
{
    QString kept = QStringLiteral("The records imported before the error are kept.");
    if (option2_)
        kept = QStringLiteral("No record of this import was kept.") + CRLF + kListLeft;
    else if (storedLost_)
        kept = QStringLiteral("No record of this import was kept.");
    const QString what = failure.refused ? failure.description
                                         : QStringLiteral("Unexpected error #") + vb::Str(double(failure.number)) +
                                               QStringLiteral(" occurred: ") + failure.description;
    ui::ui().msgBox(what + CRLF + kept,
                    ui::Buttons::OK, ui::Icon::Critical);
}

bool Import::readFile()
{
    QString error;
    if (fs::readAllLines(path_, lines_, &error))
        return true;
    ui::ui().msgBox(QStringLiteral("Verify.csv could not be read: ") + error + CRLF +
                        QStringLiteral("Nothing was imported."),
                    ui::Buttons::OK, ui::Icon::Critical);
    return false;
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
    // A status letter other than A, C and D, which a workbook may bring, shows
    // nothing; a line the export wrote for a row of the list still does.
    for (const QString& line : lines_) {
        if (listed_.find(ParseVerifyRecord(line, true))) {
            blnHasACD = true;
            return;
        }
    }
}

bool Import::importRecord(const QString& line)
{
    VerifyRecord r = ParseVerifyRecord(line, blnHasACD);
    QString message;
    if (takeListedRow(r)) {
        // The row as the list holds it.
    } else if (message = CheckVerifyRecord(r, codes_); !message.isEmpty()) {
        reject(r, message);
    } else if (const std::optional<qint64> match = index_.find(r)) {
        if (option2_)
            reject(r, QStringLiteral("Duplicate Jurisdiction and (Folio Number or Property Identifier)."));
        else
            updateRow(*match, r);
    } else {
        RowValues values = r.value;
        values[FOLIO] = r.strFolio18;
        addRow(values);
    }
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
}

bool Import::takeListedRow(const VerifyRecord& r)
{
    if (option2_) {
        // The list was emptied: the row comes back as it was stored.
        const std::optional<ListedRows::Row> row = listed_.take(r);
        if (row)
            addRow(row->values);
        return row.has_value();
    }
    // Option 1: the row is there already, unless this import changed it.
    const ListedRows::Row* row = listed_.find(r);
    if (row && updatedRows_.contains(row->bookmark))
        restoreRow(row->bookmark);
    return row != nullptr;
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

void Import::updateRow(qint64 bookmark, const VerifyRecord& r)
{
    db::Recordset& rows = *rsVerifyClone;
    rows.setBookmark(bookmark);
    if (!updatedRows_.contains(bookmark)) {
        RowValues& before = updatedRows_[bookmark];
        for (int f = 0; f < kFieldCount; ++f)
            before[size_t(f)] = rows.text(fieldNames()[size_t(f)]);
    }
    const bool sameNumber = vb::Trim(rows.text(QStringLiteral("NUMBER"))) == r[NUMBER];
    rows.setValue(QStringLiteral("ACD"), sameNumber ? r[ACD] : QStringLiteral("C"));
    for (Field f : {NAME, ADDR1, ADDR2, ADDR3, ADDR4, ADDR5, LEGAL})
        rows.setValue(fieldNames()[size_t(f)], r[f]);
    rows.move(0);
}

// Option 1 only changes the status, the name, the addresses and the legal
// description; these go back to what the row held when the import began.
void Import::restoreRow(qint64 bookmark)
{
    const RowValues before = updatedRows_.take(bookmark);
    db::Recordset& rows = *rsVerifyClone;
    rows.setBookmark(bookmark);
    for (Field f : {ACD, NAME, ADDR1, ADDR2, ADDR3, ADDR4, ADDR5, LEGAL})
        rows.setValue(fieldNames()[size_t(f)], before[size_t(f)]);
    rows.move(0);
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

bool ImportVerifyCsv(const QString& ImportOption, const QString& path, const std::function<void()>& refreshGrid)
{
    return Import(ImportOption, path, refreshGrid).run();
}

} // namespace zarv::verifyimport
