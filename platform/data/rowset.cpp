#include "platform/data/rowset.h"

#include "platform/data/dberror.h"
#include "platform/data/rowsort.h"
#include "platform/data/sourcequery.h"
#include "platform/data/sqlitecall.h"
#include "platform/data/textrule.h"

#include <QVarLengthArray>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <sqlite3.h>

namespace zarv::db {

using detail::Cell;
using detail::Field;

namespace {

sqlite3_stmt* prepare(sqlite3* db, const QString& sql)
{
    sqlite3_stmt* st = nullptr;
    const QByteArray utf8 = sql.toUtf8();
    if (sqlite3_prepare_v2(db, utf8.constData(), int(utf8.size()), &st, nullptr) != SQLITE_OK) {
        sqlite3_finalize(st);
        return nullptr;
    }
    return st;
}

QVariant columnValue(sqlite3_stmt* st, int col)
{
    switch (sqlite3_column_type(st, col)) {
    case SQLITE_INTEGER:
        return QVariant(qlonglong(sqlite3_column_int64(st, col)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(st, col));
    case SQLITE_TEXT: {
        const int bytes = sqlite3_column_bytes(st, col);
        if (bytes == 0)
            return QVariant(QString(QLatin1String("")));   // the empty text, never Null
        return QVariant(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, col)), bytes));
    }
    case SQLITE_BLOB:
        return QVariant(QByteArray(static_cast<const char*>(sqlite3_column_blob(st, col)),
                                   sqlite3_column_bytes(st, col)));
    default:
        return QVariant();
    }
}

// A value read, held as a row holds it.
Cell columnCell(sqlite3_stmt* st, int col)
{
    switch (sqlite3_column_type(st, col)) {
    case SQLITE_INTEGER:
        return Cell::integer(sqlite3_column_int64(st, col));
    case SQLITE_FLOAT:
        return Cell::real(sqlite3_column_double(st, col));
    case SQLITE_NULL:
        return Cell();
    default:
        return Cell(columnValue(st, col));
    }
}

std::string maskKey(const std::vector<bool>& mask)
{
    std::string key(mask.size(), '0');
    for (size_t i = 0; i < mask.size(); ++i)
        key[i] = mask[i] ? '1' : '0';
    return key;
}

} // namespace

// The live rows whose values on `fields` have one key, ascending, by the
// 64-bit hash of that key: a million rows keep no key text each. Rows of two
// keys with one hash share a bucket, which is then marked `mixed` and picked
// from row by row. The buckets lie in one open-addressed table, a bucket of
// one row (the usual case: a key that is unique) in its slot alone.
struct RowSet::Index {
    struct Slot {
        quint64 hash = 0;   // 0: the slot is free (a key's hash is never 0)
        int row = 0;        // the bucket's one row, when `many` is -1
        int many = -1;      // else its rows in `spill`
    };
    struct Many {
        std::vector<int> rows;
        bool mixed = false;
    };
    std::vector<int> fields;
    std::vector<Slot> table;    // a power of two in size, at most 7/10 of it taken
    size_t taken = 0;
    std::vector<Many> spill;
    std::vector<int> freeSpill;

    static quint64 hashOf(quint64 h) { return h ? h : 1; }

    // Room for `keys` keys.
    void reserve(size_t keys)
    {
        size_t size = 16;
        while (size * 7 < keys * 10)
            size *= 2;
        if (size <= table.size())
            return;
        std::vector<Slot> old(size);
        old.swap(table);
        const size_t mask = table.size() - 1;
        for (const Slot& slot : old) {
            if (!slot.hash)
                continue;
            size_t i = size_t(slot.hash) & mask;
            while (table[i].hash)
                i = (i + 1) & mask;
            table[i] = slot;
        }
    }

    // The slot of the bucket of this hash; nullptr when none.
    Slot* find(quint64 hash)
    {
        if (table.empty())
            return nullptr;
        hash = hashOf(hash);
        const size_t mask = table.size() - 1;
        for (size_t i = size_t(hash) & mask;; i = (i + 1) & mask) {
            if (table[i].hash == hash)
                return &table[i];
            if (!table[i].hash)
                return nullptr;
        }
    }

    // The slot of the bucket of this hash, made free of rows when new.
    Slot& insert(quint64 hash, bool& made)
    {
        if ((taken + 1) * 10 > table.size() * 7)
            reserve(taken + 1);
        hash = hashOf(hash);
        const size_t mask = table.size() - 1;
        size_t i = size_t(hash) & mask;
        while (table[i].hash && table[i].hash != hash)
            i = (i + 1) & mask;
        made = !table[i].hash;
        if (made) {
            table[i] = {hash, 0, -1};
            ++taken;
        }
        return table[i];
    }

    // Frees a slot, moving back the ones after it that it kept from their place.
    void erase(Slot* slot)
    {
        if (slot->many >= 0) {
            spill[size_t(slot->many)] = {};
            freeSpill.push_back(slot->many);
        }
        const size_t mask = table.size() - 1;
        size_t i = size_t(slot - table.data());
        for (size_t j = (i + 1) & mask; table[j].hash; j = (j + 1) & mask) {
            const size_t home = size_t(table[j].hash) & mask;
            // j's entry may move to i when its home does not lie in (i, j].
            if (((j - home) & mask) >= ((j - i) & mask)) {
                table[i] = table[j];
                i = j;
            }
        }
        table[i] = {};
        --taken;
    }

    std::span<const int> rowsOf(const Slot& slot) const
    {
        if (slot.many < 0)
            return {&slot.row, 1};
        const std::vector<int>& rows = spill[size_t(slot.many)].rows;
        return {rows.data(), rows.size()};
    }
};

void RowSet::StmtDeleter::operator()(sqlite3_stmt* s) const
{
    sqlite3_finalize(s);
}

RowSet::~RowSet() = default;

std::shared_ptr<RowSet> RowSet::load(Connection* c, const QString& source)
{
    const detail::SourceQuery q = detail::sourceQuery(source);
    sqlite3* db = c->handle();
    const QString key = q.table.isEmpty() ? QString() : detail::nameKey(q.tableName);

    // A whole table again in another order: the rows a recordset just closed
    // serve. Whatever this load is, they are not kept beside it. Not inside a
    // transaction: its journal names rows by their place.
    const std::shared_ptr<RowSet> spare = key.isEmpty() ? nullptr : c->takeSpareRows(key);
    if (spare && q.order && q.wholeTable && !c->inTransaction() && spare->current()) {
        std::vector<detail::SortKey> keys;
        if (spare->sortKeys(*q.order, keys) && binaryKeysDecidable(spare->rows_, keys)) {
            spare->reorder(keys);
            return spare;
        }
    }

    // Rows of one group (a search): taken from the whole table in memory when
    // a recordset holds it.
    if (q.order && q.equalities && !c->inTransaction()) {
        for (const std::shared_ptr<RowSet>& whole : c->wholeTables(key)) {
            if (std::shared_ptr<RowSet> part = whole->subset(*q.equalities, *q.order))
                return part;
        }
    }

    std::shared_ptr<RowSet> rs(new RowSet);
    rs->conn_ = c;
    bool withRid = !q.table.isEmpty();
    if (withRid) {
        rs->tableName_ = q.tableName;
        rs->tableKey_ = key;
        rs->seen_ = c->changeCount(key);
    }
    Stmt st;
    std::vector<detail::SortKey> keys;
    if (withRid && q.order) {
        st.reset(prepare(db, q.unordered));
        if (st) {
            rs->readFields(st.get(), true);
            if (!rs->sortKeys(*q.order, keys))
                st.reset();
        }
    }
    if (!st) {
        keys.clear();
        st.reset(prepare(db, q.sql));
        if (!st && withRid) {
            withRid = false;
            st.reset(prepare(db, q.plain));
        }
        if (!st)
            detail::raiseSqlite(db);
        rs->readFields(st.get(), withRid);
    }
    if (withRid) {
        rs->table_ = q.table;
        rs->wholeTable_ = q.wholeTable;
    }
    rs->readRows(st.get(), withRid);
    if (!keys.empty() && !binaryKeysDecidable(rs->rows_, keys)) {
        // Rare: let the database order these rows after all.
        rs->rows_.clear();
        rs->live_ = 0;
        keys.clear();
        st.reset(prepare(db, q.sql));
        if (!st)
            detail::raiseSqlite(db);
        rs->readRows(st.get(), withRid);
    }
    if (withRid)
        rs->readDefaults();
    if (!keys.empty())
        detail::sortRows(rs->rows_, keys);
    if (rs->wholeTable_)
        c->noteWholeTable(rs);
    return rs;
}

void RowSet::readFields(sqlite3_stmt* st, bool withRid)
{
    fields_.clear();
    const int columns = sqlite3_column_count(st);
    for (int col = withRid ? 1 : 0; col < columns; ++col) {
        Field f;
        f.name = QString::fromUtf8(sqlite3_column_name(st, col));
        const char* decl = sqlite3_column_decltype(st, col);
        f.declType = decl ? QString::fromUtf8(decl) : QString();
        f.affinity = detail::affinityOf(f.declType);
        fields_.push_back(std::move(f));
    }
}

void RowSet::readRows(sqlite3_stmt* st, bool withRid)
{
    const int first = withRid ? 1 : 0;
    const int columns = sqlite3_column_count(st);
    // Sorted rows repeat their leading columns: a text equal to the one above
    // shares its storage instead of allocating again.
    std::vector<QByteArray> lastBytes(static_cast<size_t>(columns));
    // The starting value stands for the empty text, so an empty first value
    // reads as "" and never as Null.
    std::vector<Cell> lastText(static_cast<size_t>(columns), Cell(QString(QLatin1String(""))));
    qint64 ordinal = 0;
    int rc = SQLITE_ROW;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        Row r;
        r.rid = withRid ? sqlite3_column_int64(st, 0) : ++ordinal;
        r.values.reserve(size_t(columns - first));
        for (int col = first; col < columns; ++col) {
            if (sqlite3_column_type(st, col) != SQLITE_TEXT) {
                r.values.push_back(columnCell(st, col));
                continue;
            }
            const char* text = reinterpret_cast<const char*>(sqlite3_column_text(st, col));
            const int bytes = sqlite3_column_bytes(st, col);
            QByteArray& last = lastBytes[size_t(col)];
            if (last.size() != bytes || std::memcmp(last.constData(), text, size_t(bytes)) != 0) {
                last = QByteArray(text, bytes);
                lastText[size_t(col)] = Cell(QString::fromUtf8(text, bytes));
            }
            r.values.push_back(lastText[size_t(col)]);
        }
        addRow(std::move(r));
    }
    if (rc != SQLITE_DONE)
        detail::raiseSqlite(sqlite3_db_handle(st));
}

int RowSet::sqlFieldIndex(const QString& name) const
{
    const QString key = detail::nameKey(name);
    for (size_t i = 0; i < fields_.size(); ++i) {
        if (detail::nameKey(fields_[i].name) == key)
            return int(i);
    }
    return -1;
}

bool RowSet::binaryKeysDecidable(const std::vector<Row>& rows, const std::vector<detail::SortKey>& keys)
{
    // Texts decoded from bytes that were no UTF-8 hold U+FFFD, while the
    // database orders them by their bytes.
    for (const detail::SortKey& k : keys) {
        if (k.text != detail::TextOrder::Binary)
            continue;
        for (const Row& r : rows) {
            if (r.values[size_t(k.field)].textView().contains(QChar::ReplacementCharacter))
                return false;
        }
    }
    return true;
}

std::optional<detail::TextOrder> RowSet::collationOf(int field) const
{
    const char* collation = nullptr;
    if (sqlite3_table_column_metadata(conn_->handle(), nullptr, tableName_.toUtf8().constData(),
                                      fields_[size_t(field)].name.toUtf8().constData(), nullptr, &collation, nullptr,
                                      nullptr, nullptr) != SQLITE_OK ||
        !collation)
        return std::nullopt;
    if (qstricmp(collation, "JET") == 0)
        return detail::TextOrder::Jet;
    if (qstricmp(collation, "BINARY") == 0)
        return detail::TextOrder::Binary;
    return std::nullopt;
}

bool RowSet::sortKeys(const std::vector<detail::OrderTerm>& terms, std::vector<detail::SortKey>& out) const
{
    out.clear();
    for (const detail::OrderTerm& t : terms) {
        const int field = sqlFieldIndex(t.column);
        if (field < 0)
            return false;
        const std::optional<detail::TextOrder> text = collationOf(field);
        if (!text)
            return false;
        out.push_back({field, t.descending, *text});
    }
    return !out.empty();
}

std::shared_ptr<RowSet> RowSet::subset(const std::vector<detail::Equality>& equalities,
                                       const std::vector<detail::OrderTerm>& order)
{
    std::vector<detail::SortKey> keys;
    if (!current() || !sortKeys(order, keys))
        return nullptr;
    // Only a text column compares its texts with the literal as they are; the
    // others would first turn the literal into a number.
    struct Test {
        int field;
        detail::TextOrder rule;
        QString text;
    };
    std::vector<Test> tests;
    for (const detail::Equality& e : equalities) {
        const int field = sqlFieldIndex(e.column);
        if (field < 0 || fields_[size_t(field)].affinity != detail::Affinity::Text)
            return nullptr;
        const std::optional<detail::TextOrder> rule = collationOf(field);
        if (!rule)
            return nullptr;
        tests.push_back({field, *rule, e.text});
    }
    // A text read from bytes that were no UTF-8 holds U+FFFD where the
    // database still compares the bytes: such a row cannot be judged here.
    bool undecidable = false;
    const auto passes = [&](const Row& r) {
        for (const Test& t : tests) {
            const Cell& v = r.values[size_t(t.field)];
            if (detail::storageClassOf(v) != detail::StorageClass::Text)
                return false;   // Null or a blob equals no text
            const QString s = v.isText() ? v.text() : v.toVariant().toString();
            if (t.rule == detail::TextOrder::Binary && s.contains(QChar::ReplacementCharacter))
                undecidable = true;
            if (t.rule == detail::TextOrder::Jet ? compareText(s, t.text) != 0 : s != t.text)
                return false;
        }
        return true;
    };
    // The rows that may pass, through the hash index of the first column
    // (its key folds letters, so it finds a superset of either rule's).
    const std::span<const int> candidates = lookup(&tests.front().field, 1,
                                                detail::literalKey(fields_[size_t(tests.front().field)],
                                                                   tests.front().text));

    std::shared_ptr<RowSet> part(new RowSet);
    part->conn_ = conn_;
    part->table_ = table_;
    part->tableName_ = tableName_;
    part->tableKey_ = tableKey_;
    part->fields_ = fields_;
    part->generatedColumns_ = generatedColumns_;
    part->seen_ = seen_;
    for (const int row : candidates) {
        if (passes(rows_[size_t(row)]))
            part->rows_.push_back(rows_[size_t(row)]);
    }
    if (undecidable || !binaryKeysDecidable(part->rows_, keys))
        return nullptr;
    part->live_ = part->size();
    detail::sortRows(part->rows_, keys);
    return part;
}

bool RowSet::current()
{
    if (seen_ != 0 && seen_ != conn_->changeCount(tableKey_))
        seen_ = 0;
    return seen_ != 0;
}

void RowSet::reorder(const std::vector<detail::SortKey>& keys)
{
    // Deleted rows are gone from the table; positions start afresh.
    rows_.erase(std::remove_if(rows_.begin(), rows_.end(), [](const Row& r) { return r.deleted; }), rows_.end());
    detail::sortRows(rows_, keys);
    live_ = int(rows_.size());
    liveLog_.clear();
    indexes_.clear();
    byRid_.clear();
    ridsMapped_ = false;
}

void RowSet::beginWrite()
{
    conn_->beforeWrite();
    conn_->dropSpareRows(tableKey_);
    writeHandle();
}

namespace {

// The stored value equals the one in memory, class and all.
bool sameStored(sqlite3_stmt* st, int col, const QVariant& v);

// The stored text equals `s`.
bool sameStoredText(sqlite3_stmt* st, int col, QStringView s)
{
    const auto* bytes = sqlite3_column_text(st, col);
    const int n = sqlite3_column_bytes(st, col);
    if (n == s.size()) {
        // Plain ASCII compares unit by unit.
        int i = 0;
        while (i < n && bytes[i] < 0x80 && bytes[i] == s[i].unicode())
            ++i;
        if (i == n)
            return true;
        if (bytes[i] < 0x80)
            return false;
    }
    return QString::fromUtf8(reinterpret_cast<const char*>(bytes), n) == s;
}

bool sameStored(sqlite3_stmt* st, int col, const Cell& c)
{
    if (c.kind() == Cell::Kind::Other)
        return sameStored(st, col, c.toVariant());
    switch (sqlite3_column_type(st, col)) {
    case SQLITE_NULL:
        return c.kind() == Cell::Kind::Null;
    case SQLITE_INTEGER:
        return c.kind() == Cell::Kind::Integer && c.integerValue() == sqlite3_column_int64(st, col);
    case SQLITE_FLOAT: {
        if (c.kind() != Cell::Kind::Real)
            return false;
        const double d = sqlite3_column_double(st, col);
        const double r = c.realValue();
        return std::memcmp(&d, &r, sizeof d) == 0;
    }
    case SQLITE_TEXT:
        return (c.isText() || c.kind() == Cell::Kind::NullText) && sameStoredText(st, col, c.textView());
    default:
        return false;   // a blob: held as a QVariant of its own
    }
}

bool sameStored(sqlite3_stmt* st, int col, const QVariant& v)
{
    switch (sqlite3_column_type(st, col)) {
    case SQLITE_NULL:
        return v.isNull();
    case SQLITE_INTEGER:
        return detail::storageClassOf(v) == detail::StorageClass::Integer &&
               v.toLongLong() == sqlite3_column_int64(st, col);
    case SQLITE_FLOAT: {
        const double d = sqlite3_column_double(st, col);
        // Bit for bit: -0 and 0 differ in what a text of them shows.
        return v.typeId() == QMetaType::Double && std::memcmp(&d, v.constData(), sizeof d) == 0;
    }
    case SQLITE_TEXT:
        return v.typeId() == QMetaType::QString
               && sameStoredText(st, col, *static_cast<const QString*>(v.constData()));
    default: {
        if (v.typeId() != QMetaType::QByteArray)
            return false;
        const auto& b = *static_cast<const QByteArray*>(v.constData());
        const int n = sqlite3_column_bytes(st, col);
        return n == b.size() && std::memcmp(sqlite3_column_blob(st, col), b.constData(), size_t(n)) == 0;
    }
    }
}

} // namespace

qint64 RowSet::runWrite(sqlite3_stmt* st, std::vector<Cell>* stored, std::optional<qint64> row, bool asBound)
{
    const quint64 before = conn_->changeCountNow(tableKey_);
    run(st);
    const qint64 rid = row ? *row : sqlite3_last_insert_rowid(preparedOn_);
    // One change to the table, this write's own, and values the database keeps
    // as they were given: the row stored is the one in memory. Otherwise (a
    // default, a conversion, a trigger's change) it is read back, and the rows
    // hold what the database stored from now on.
    const bool onlyThisWrite = conn_->changeCountNow(tableKey_) == before + 1;
    if (stored && !(asBound && onlyThisWrite)) {
        sqlite3_stmt* read = selectStatement();
        bool found = sqlite3_bind_int64(read, 1, rid) == SQLITE_OK && sqlite3_step(read) == SQLITE_ROW &&
                     sqlite3_column_count(read) == int(stored->size());
        for (int col = 0; found && col < int(stored->size()); ++col) {
            if (!sameStored(read, col, (*stored)[size_t(col)]))
                (*stored)[size_t(col)] = columnCell(read, col);
        }
        sqlite3_reset(read);
        if (!found)
            seen_ = 0;
    }
    if (seen_ != before || !onlyThisWrite)
        seen_ = 0;   // the table changed past these rows, or more than this row changed
    else
        seen_ = before + 1;
    return rid;
}

namespace {

// The database stores the value exactly as bound into a column of this affinity.
bool keptAsBound(detail::Affinity affinity, const QVariant& v)
{
    if (v.isNull())
        return false;   // NOT NULL ON CONFLICT REPLACE stores the default
    switch (affinity) {
    case detail::Affinity::Text:
        return v.typeId() == QMetaType::QString && static_cast<const QString*>(v.constData())->isValidUtf16();
    case detail::Affinity::Real: {
        // A NaN is stored as Null, and -0 as 0.
        if (v.typeId() != QMetaType::Double)
            return false;
        const double d = *static_cast<const double*>(v.constData());
        return !std::isnan(d) && !(d == 0 && std::signbit(d));
    }
    case detail::Affinity::Integer:
    case detail::Affinity::Numeric:
    case detail::Affinity::None:
        break;
    }
    return detail::storageClassOf(v) == detail::StorageClass::Integer;
}

bool keptAsBound(detail::Affinity affinity, const Cell& c)
{
    switch (c.kind()) {
    case Cell::Kind::Null:
        return false;
    case Cell::Kind::Integer:
        return affinity != detail::Affinity::Text && affinity != detail::Affinity::Real;
    case Cell::Kind::Real: {
        const double d = c.realValue();
        return affinity == detail::Affinity::Real && !std::isnan(d) && !(d == 0 && std::signbit(d));
    }
    case Cell::Kind::Text:
    case Cell::Kind::RawText:
        return affinity == detail::Affinity::Text && c.textView().isValidUtf16();
    default:
        return keptAsBound(affinity, c.toVariant());
    }
}

} // namespace

bool RowSet::storedAsBound(const std::vector<Cell>& values, const std::vector<bool>& mask) const
{
    if (generatedColumns_)
        return false;
    for (size_t i = 0; i < values.size(); ++i) {
        if (mask[i] && !keptAsBound(fields_[i].affinity, values[i]))
            return false;
    }
    return true;
}

void RowSet::readDefaults()
{
    // Any column the database works out itself means a write must be read back.
    generatedColumns_ = true;
    newRow_.clear();   // made again from the defaults read here
    Stmt st(prepare(conn_->handle(), QStringLiteral("PRAGMA table_xinfo(%1)").arg(table_)));
    if (!st)
        return;   // defaults are a convenience; the database applies its own
    bool generated = false;
    while (sqlite3_step(st.get()) == SQLITE_ROW) {
        if (sqlite3_column_int(st.get(), 6) >= 2)
            generated = true;
        const QString name = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st.get(), 1)));
        const int i = fieldIndex(name);
        if (i < 0 || sqlite3_column_type(st.get(), 4) == SQLITE_NULL)
            continue;
        const QString sql = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st.get(), 4)));
        Field& f = fields_[size_t(i)];
        f.defaultValue = detail::normalise(f, detail::parseDefault(sql));
    }
    generatedColumns_ = generated;
}

void RowSet::shareRepeats(std::vector<Cell>& values) const
{
    const std::vector<Cell>* last = rows_.empty() ? nullptr : &rows_.back().values;
    const auto isString = [](const Cell& c) { return c.isText() || c.kind() == Cell::Kind::NullText; };
    for (size_t i = 0; i < values.size(); ++i) {
        Cell& value = values[i];
        if (!isString(value))
            continue;
        if (last && i < last->size() && isString((*last)[i])) {
            const Cell& above = (*last)[i];
            if (value.sameStorage(above))
                continue;
            if (value.isText() == above.isText() && value.textView() == above.textView()) {
                value = above;
                continue;
            }
        }
        // A code of one or two ASCII characters (a district, a payment type)
        // is held once, however many rows hold it.
        const QStringView text = value.textView();
        const qsizetype n = text.size();
        if (n < 1 || n > 2 || text[0].unicode() >= 0x80 || text[n - 1].unicode() >= 0x80)
            continue;
        const quint16 key = quint16(n == 1 ? text[0].unicode() : 0x80 + (text[0].unicode() << 7) + text[1].unicode());
        const auto it = shortTexts_.constFind(key);
        if (it != shortTexts_.cend())
            value = *it;
        else
            shortTexts_.insert(key, value);
    }
}

void RowSet::addRow(Row r)
{
    const int index = int(rows_.size());
    if (ridsMapped_)
        byRid_[r.rid] = index;
    if (!r.deleted)
        ++live_;
    const bool live = !r.deleted;
    rows_.push_back(std::move(r));
    if (live) {
        for (auto& ix : indexes_)
            indexAdd(*ix, index);
    }
}

namespace {

bool sameFolded(QStringView a, QStringView b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype k = 0; k < a.size(); ++k) {
        if (a[k] != b[k] && detail::foldUnit(a[k].unicode()) != detail::foldUnit(b[k].unicode()))
            return false;
    }
    return true;
}

} // namespace

int RowSet::fieldIndex(const QString& name) const
{
    return fieldIndexInText(name);
}

int RowSet::fieldIndexInText(QStringView name) const
{
    // The first of equal names wins, an exact one before one in another case.
    for (size_t i = 0; i < fields_.size(); ++i) {
        if (fields_[i].name == name)
            return int(i);
    }
    for (size_t i = 0; i < fields_.size(); ++i) {
        if (sameFolded(fields_[i].name, name))
            return int(i);
    }
    return -1;
}

int RowSet::rowOfRid(qint64 rid) const
{
    if (!ridsMapped_) {
        // Built on the first bookmark lookup, then kept up to date row by row.
        byRid_.reserve(rows_.size());
        for (size_t i = 0; i < rows_.size(); ++i)
            byRid_[rows_[i].rid] = int(i);
        ridsMapped_ = true;
    }
    const auto it = byRid_.constFind(rid);
    return it == byRid_.cend() ? -1 : *it;
}

std::vector<Cell> RowSet::newRowValues() const
{
    if (newRow_.size() != fields_.size()) {
        newRow_.clear();
        for (const Field& f : fields_)
            newRow_.emplace_back(f.defaultValue);
    }
    return newRow_;
}

// --- writing

sqlite3* RowSet::writeHandle()
{
    sqlite3* db = conn_->handle();
    if (db != preparedOn_) {
        // The connection was closed and opened again: statements start afresh.
        inserts_.clear();
        selects_.clear();
        updates_.clear();
        deletes_.clear();
        lastInsert_ = nullptr;
        lastInsertMask_.clear();
        preparedOn_ = db;
    }
    return db;
}

sqlite3_stmt* RowSet::prepared(std::map<std::string, Stmt>& cache, const std::string& key, const QString& sql)
{
    auto it = cache.find(key);
    if (it != cache.end())
        return it->second.get();
    Stmt st(prepare(preparedOn_, sql));
    if (!st)
        detail::raiseSqlite(preparedOn_);
    return cache.emplace(key, std::move(st)).first->second.get();
}

sqlite3_stmt* RowSet::insertStatement(const std::vector<bool>& set)
{
    // Rows added one after another set the same fields.
    quint64 bits = 0;
    for (size_t i = 0; i < set.size() && i < 64; ++i)
        bits |= quint64(set[i]) << i;
    if (lastInsert_ && bits == lastInsertBits_ && (set.size() <= 64 ? set.size() == lastInsertMask_.size()
                                                                      : set == lastInsertMask_))
        return lastInsert_;
    const std::string key = maskKey(set);
    if (auto it = inserts_.find(key); it != inserts_.end()) {
        lastInsertMask_ = set;
        lastInsertBits_ = bits;
        lastInsert_ = it->second.get();
        return lastInsert_;
    }
    QStringList names;
    QStringList marks;
    for (size_t i = 0; i < set.size(); ++i) {
        if (set[i]) {
            names << detail::quoteIdentifier(fields_[i].name);
            marks << QStringLiteral("?");
        }
    }
    const QString sql = names.isEmpty()
        ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(table_)
        : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(table_, names.join(u','), marks.join(u','));
    sqlite3_stmt* st = prepared(inserts_, key, sql);
    lastInsertMask_ = set;
    lastInsertBits_ = bits;
    lastInsert_ = st;
    return st;
}

sqlite3_stmt* RowSet::updateStatement(const std::vector<bool>& changed)
{
    const std::string key = maskKey(changed);
    if (auto it = updates_.find(key); it != updates_.end())
        return it->second.get();
    QStringList sets;
    for (size_t i = 0; i < changed.size(); ++i) {
        if (changed[i])
            sets << detail::quoteIdentifier(fields_[i].name) + QStringLiteral("=?");
    }
    return prepared(updates_, key, QStringLiteral("UPDATE %1 SET %2 WHERE rowid=?").arg(table_, sets.join(u',')));
}

sqlite3_stmt* RowSet::selectStatement()
{
    return prepared(selects_, std::string(), QStringLiteral("SELECT * FROM %1 WHERE rowid=?").arg(table_));
}

sqlite3_stmt* RowSet::deleteStatement()
{
    return prepared(deletes_, std::string(), QStringLiteral("DELETE FROM %1 WHERE rowid=?").arg(table_));
}

namespace {

// Appends the UTF-8 form of a text; plain ASCII without a detour.
void appendUtf8(std::string& out, QStringView text)
{
    const auto* p = reinterpret_cast<const char16_t*>(text.constData());
    const qsizetype n = text.size();
    const size_t start = out.size();
    out.resize(start + size_t(n));
    for (qsizetype i = 0; i < n; ++i) {
        if (p[i] >= 0x80) {
            out.resize(start);
            const QByteArray utf8 = text.toUtf8();
            out.append(utf8.constData(), size_t(utf8.size()));
            return;
        }
        out[start + size_t(i)] = char(p[i]);
    }
}

} // namespace

namespace {

int bindOther(sqlite3_stmt* st, int at, const QVariant& v)
{
    switch (detail::storageClassOf(v)) {
    case detail::StorageClass::Null:
        return sqlite3_bind_null(st, at);
    case detail::StorageClass::Real:
        return sqlite3_bind_double(st, at, v.toDouble());
    case detail::StorageClass::Integer:
        return sqlite3_bind_int64(st, at, v.toLongLong());
    case detail::StorageClass::Blob: {
        const QByteArray b = v.toByteArray();
        return sqlite3_bind_blob(st, at, b.constData(), int(b.size()), SQLITE_TRANSIENT);
    }
    case detail::StorageClass::Text:
        break;
    }
    const QByteArray utf8 = v.toString().toUtf8();
    return sqlite3_bind_text(st, at, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
}

// A value that is no text of its own characters.
int bindOther(sqlite3_stmt* st, int at, const Cell& c)
{
    switch (c.kind()) {
    case Cell::Kind::Null:
        return sqlite3_bind_null(st, at);
    case Cell::Kind::Integer:
        return sqlite3_bind_int64(st, at, c.integerValue());
    case Cell::Kind::Real:
        return sqlite3_bind_double(st, at, c.realValue());
    case Cell::Kind::NullText:
        return sqlite3_bind_text(st, at, "", 0, SQLITE_STATIC);   // a null QString is text all the same
    case Cell::Kind::Text:
    case Cell::Kind::RawText:
    case Cell::Kind::Other:
        break;
    }
    return bindOther(st, at, c.toVariant());
}

} // namespace

void RowSet::bindAll(sqlite3_stmt* st, const std::vector<Cell>& values, const std::vector<bool>& mask)
{
    // Texts go to one buffer first, so that binding allocates nothing; a span
    // of (size_t)-1 marks a value bound otherwise.
    constexpr size_t kNotText = size_t(-1);
    textBuffer_.clear();
    textSpans_.clear();
    QVarLengthArray<int, 32> bound;   // the values under the mask, in parameter order
    for (size_t i = 0; i < values.size(); ++i) {
        if (!mask[i])
            continue;
        bound.append(int(i));
        const Cell& v = values[i];
        if (!v.isText()) {
            textSpans_.emplace_back(kNotText, 0);
            continue;
        }
        const size_t start = textBuffer_.size();
        appendUtf8(textBuffer_, v.textView());
        textSpans_.emplace_back(start, textBuffer_.size() - start);
    }
    for (int k = 0; k < bound.size(); ++k) {
        const auto [start, length] = textSpans_[size_t(k)];
        const int rc = start == kNotText
            ? bindOther(st, k + 1, values[size_t(bound[k])])
            : sqlite3_bind_text(st, k + 1, textBuffer_.data() + start, int(length), SQLITE_STATIC);
        if (rc != SQLITE_OK)
            detail::raiseSqlite(preparedOn_);
    }
}

void RowSet::run(sqlite3_stmt* st)
{
    int rc = sqlite3_step(st);
    while (rc == SQLITE_ROW)
        rc = sqlite3_step(st);
    if (rc != SQLITE_DONE) {
        const QString message = detail::sqliteMessage(preparedOn_);
        sqlite3_reset(st);
        seen_ = 0;
        conn_->writeFailed();
        throw DbError(DbError::DatabaseFailure, message);
    }
    // Every parameter is bound again before the next use.
    sqlite3_reset(st);
}

namespace {

[[noreturn]] void raiseNotLocated()
{
    throw DbError(DbError::DatabaseFailure, QStringLiteral("Row cannot be located for updating. "
                                                           "Some values may have been changed since it was last read."));
}

} // namespace

void RowSet::requireRowAsRead(int row)
{
    // SQLite gives the largest rowid out again once its row is gone: the row
    // now at this rowid must hold exactly what was read, or it is another one.
    const Row& r = rows_[size_t(row)];
    sqlite3_stmt* st = selectStatement();
    bool same = sqlite3_bind_int64(st, 1, r.rid) == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW &&
                sqlite3_column_count(st) == int(r.values.size());
    for (int col = 0; same && col < int(r.values.size()); ++col)
        same = sameStored(st, col, r.values[size_t(col)]);
    sqlite3_reset(st);
    if (!same)
        raiseNotLocated();
}

int RowSet::insert(std::vector<Cell> values, const std::vector<bool>& set)
{
    beginWrite();
    sqlite3_stmt* st = insertStatement(set);
    bindAll(st, values, set);
    const int row = size();
    Row r;
    // A column left out takes the database's default: read back then.
    const bool asBound = std::all_of(set.begin(), set.end(), [](bool b) { return b; }) && storedAsBound(values, set);
    r.rid = runWrite(st, &values, std::nullopt, asBound);
    shareRepeats(values);
    r.values = std::move(values);
    addRow(std::move(r));
    journal(row, RowChange::Insert, nullptr);
    return row;
}

void RowSet::update(int row, const std::vector<Cell>& values, const std::vector<bool>& changed)
{
    if (std::none_of(changed.begin(), changed.end(), [](bool b) { return b; }))
        return;
    beginWrite();
    requireRowAsRead(row);
    sqlite3_stmt* st = updateStatement(changed);
    bindAll(st, values, changed);
    const int at = int(std::count(changed.begin(), changed.end(), true)) + 1;
    if (sqlite3_bind_int64(st, at, rows_[size_t(row)].rid) != SQLITE_OK)
        detail::raiseSqlite(preparedOn_);
    std::vector<Cell> merged = rows_[size_t(row)].values;
    for (size_t i = 0; i < changed.size(); ++i) {
        if (changed[i])
            merged[i] = values[i];
    }
    runWrite(st, &merged, rows_[size_t(row)].rid, storedAsBound(values, changed));
    std::shared_ptr<void> saved;
    if (conn_->inTransaction())
        saved = std::make_shared<std::vector<Cell>>(rows_[size_t(row)].values);
    setValues(row, std::move(merged));
    journal(row, RowChange::Update, saved);
}

void RowSet::remove(int row)
{
    beginWrite();
    requireRowAsRead(row);
    sqlite3_stmt* st = deleteStatement();
    if (sqlite3_bind_int64(st, 1, rows_[size_t(row)].rid) != SQLITE_OK)
        detail::raiseSqlite(preparedOn_);
    runWrite(st, nullptr, rows_[size_t(row)].rid, true);
    setDeleted(row, true);
    journal(row, RowChange::Delete, nullptr);
}

void RowSet::undo(int row, RowChange kind, const std::shared_ptr<void>& saved)
{
    if (row < 0 || row >= size())
        return;
    switch (kind) {
    case RowChange::Insert:
        setDeleted(row, true);
        break;
    case RowChange::Update:
        if (saved)
            setValues(row, *std::static_pointer_cast<std::vector<Cell>>(saved));
        break;
    case RowChange::Delete:
        setDeleted(row, false);
        break;
    }
}

void RowSet::journal(int row, RowChange kind, std::shared_ptr<void> saved)
{
    if (conn_->inTransaction())
        conn_->journal(weak_from_this(), row, int(kind), std::move(saved));
}

// --- rows and their indexes

void RowSet::setValues(int row, std::vector<Cell> values)
{
    Row& r = rows_[size_t(row)];
    std::vector<Index*> moved;
    if (!r.deleted) {
        for (auto& ix : indexes_) {
            buildKey(*ix, r.values, rowKey_);
            buildKey(*ix, values, otherKey_);
            if (rowKey_ != otherKey_) {
                indexRemove(*ix, row);
                moved.push_back(ix.get());
            }
        }
    }
    r.values = std::move(values);
    for (Index* ix : moved)
        indexAdd(*ix, row);
}

void RowSet::setDeleted(int row, bool deleted)
{
    Row& r = rows_[size_t(row)];
    if (r.deleted == deleted)
        return;
    if (deleted) {
        for (auto& ix : indexes_)
            indexRemove(*ix, row);
    }
    r.deleted = deleted;
    live_ += deleted ? -1 : 1;
    liveLog_.emplace_back(row, deleted ? -1 : 1);
    if (!deleted) {
        for (auto& ix : indexes_)
            indexAdd(*ix, row);
    }
}

void RowSet::buildKey(const Index& ix, const std::vector<Cell>& values, QString& out) const
{
    out.resize(0);
    for (const int f : ix.fields)
        detail::appendCellKey(out, fields_[size_t(f)], values[size_t(f)]);
}

bool RowSet::rowHasKey(const Index& ix, int row, QStringView key) const
{
    // The key is one part a field: its length (with the tag) in two units, then the tag and text.
    const std::vector<Cell>& values = rows_[size_t(row)].values;
    qsizetype at = 0;
    for (const int f : ix.fields) {
        if (key.size() - at < 3)
            return false;
        const qsizetype n = qsizetype(key[at].unicode()) | (qsizetype(key[at + 1].unicode()) << 16);
        if (key.size() - at < 2 + n || !detail::cellMatchesKey(fields_[size_t(f)], values[size_t(f)], key.mid(at, 2 + n)))
            return false;
        at += 2 + n;
    }
    return at == key.size();
}

void RowSet::indexAdd(Index& ix, int row)
{
    buildKey(ix, rows_[size_t(row)].values, rowKey_);
    bool made = false;
    Index::Slot& slot = ix.insert(detail::hashUnits(rowKey_), made);
    if (made) {
        slot.row = row;
        return;
    }
    if (slot.many < 0) {
        // A second row: the bucket's rows move to the spill.
        int at = 0;
        if (!ix.freeSpill.empty()) {
            at = ix.freeSpill.back();
            ix.freeSpill.pop_back();
        } else {
            at = int(ix.spill.size());
            ix.spill.emplace_back();
        }
        ix.spill[size_t(at)].rows = {slot.row};
        slot.many = at;
    }
    Index::Many& many = ix.spill[size_t(slot.many)];
    std::vector<int>& rows = many.rows;
    if (!many.mixed)
        many.mixed = !rowHasKey(ix, rows.front(), rowKey_);
    if (rows.back() < row)
        rows.push_back(row);
    else
        rows.insert(std::lower_bound(rows.begin(), rows.end(), row), row);
}

void RowSet::indexRemove(Index& ix, int row)
{
    buildKey(ix, rows_[size_t(row)].values, rowKey_);
    Index::Slot* slot = ix.find(detail::hashUnits(rowKey_));
    if (!slot)
        return;
    if (slot->many < 0) {
        if (slot->row == row)
            ix.erase(slot);
        return;
    }
    std::vector<int>& rows = ix.spill[size_t(slot->many)].rows;
    const auto pos = std::lower_bound(rows.begin(), rows.end(), row);
    if (pos != rows.end() && *pos == row)
        rows.erase(pos);
    if (rows.empty())
        ix.erase(slot);
}

RowSet::Index* RowSet::indexOf(const int* fields, size_t count)
{
    for (auto& ix : indexes_) {
        if (ix->fields.size() == count && std::equal(fields, fields + count, ix->fields.begin()))
            return ix.get();
    }
    auto ix = std::make_unique<Index>();
    ix->fields.assign(fields, fields + count);
    ix->reserve(size_t(live_));
    indexes_.push_back(std::move(ix));
    Index& made = *indexes_.back();
    for (int row = 0; row < size(); ++row) {
        if (!rows_[size_t(row)].deleted)
            indexAdd(made, row);
    }
    return &made;
}

std::span<const int> RowSet::lookup(const std::vector<int>& fields, const QString& key)
{
    return lookup(fields.data(), fields.size(), key);
}

std::span<const int> RowSet::lookup(const int* fields, size_t count, const QString& key)
{
    Index& ix = *indexOf(fields, count);
    const Index::Slot* slot = ix.find(detail::hashUnits(key));
    if (!slot)
        return {};
    const std::span<const int> rows = ix.rowsOf(*slot);
    if (slot->many < 0 || !ix.spill[size_t(slot->many)].mixed) {
        // One key in the bucket: the one asked for, or another of the same hash.
        if (!rowHasKey(ix, rows.front(), key))
            return {};
        return rows;
    }
    lookupRows_.clear();
    for (const int row : rows) {
        if (rowHasKey(ix, row, key))
            lookupRows_.push_back(row);
    }
    return lookupRows_;
}

std::shared_ptr<const detail::Filter> RowSet::parsedFilter(const QString& text) const
{
    return filters_.get(text, *this);
}

} // namespace zarv::db
