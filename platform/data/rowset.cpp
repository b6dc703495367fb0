#include "platform/data/rowset.h"

#include "platform/data/dberror.h"
#include "platform/data/sqlitecall.h"
#include "platform/data/textrule.h"

#include <QRegularExpression>
#include <algorithm>
#include <cstring>
#include <sqlite3.h>

namespace zarv::db {

using detail::Field;

namespace {

// What to run for a source, and the table its rows can be written back to.
struct SourceQuery {
    QString sql;      // selects the rowid first, then the table's columns
    QString plain;    // the source as given, run when `sql` cannot be
    QString table;    // quoted; empty when the rows cannot be written back
};

QString unquoted(const QString& token)
{
    if (token.size() >= 2) {
        const QChar first = token.front();
        const QChar last = token.back();
        if ((first == u'"' && last == u'"') || (first == u'`' && last == u'`')) {
            QString inner = token.mid(1, token.size() - 2);
            inner.replace(QString(2, first), QString(first));
            return inner;
        }
        if (first == u'[' && last == u']')
            return token.mid(1, token.size() - 2);
    }
    return token;
}

SourceQuery sourceQuery(const QString& source)
{
    QString text = source.trimmed();
    while (text.endsWith(u';'))
        text = text.chopped(1).trimmed();

    static const QRegularExpression selectWord(QStringLiteral("^SELECT\\b"),
                                               QRegularExpression::CaseInsensitiveOption);
    SourceQuery q;
    if (!selectWord.match(text).hasMatch()) {
        q.table = detail::quoteIdentifier(unquoted(text));
        q.sql = QStringLiteral("SELECT %1.rowid, %1.* FROM %1").arg(q.table);
        q.plain = QStringLiteral("SELECT * FROM %1").arg(q.table);
        return q;
    }
    q.plain = text;
    static const QRegularExpression selectAll(
        QStringLiteral("^SELECT\\s+\\*\\s+FROM\\s+(\"(?:[^\"]|\"\")+\"|\\[[^\\]]+\\]|`[^`]+`|[A-Za-z_][A-Za-z0-9_$]*)"
                       "(\\s+(?:WHERE|ORDER\\s+BY)\\b.*)?$"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    const auto m = selectAll.match(text);
    if (!m.hasMatch()) {
        q.sql = text;
        return q;
    }
    q.table = detail::quoteIdentifier(unquoted(m.captured(1)));
    q.sql = QStringLiteral("SELECT %1.rowid, %1.* FROM %1%2").arg(q.table, m.captured(2));
    return q;
}

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
    case SQLITE_TEXT:
        return QVariant(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, col)),
                                          sqlite3_column_bytes(st, col)));
    case SQLITE_BLOB:
        return QVariant(QByteArray(static_cast<const char*>(sqlite3_column_blob(st, col)),
                                   sqlite3_column_bytes(st, col)));
    default:
        return QVariant();
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

void RowSet::StmtDeleter::operator()(sqlite3_stmt* s) const
{
    sqlite3_finalize(s);
}

RowSet::~RowSet() = default;

std::shared_ptr<RowSet> RowSet::load(Connection* c, const QString& source)
{
    std::shared_ptr<RowSet> rs(new RowSet);
    rs->conn_ = c;
    sqlite3* db = c->handle();
    const SourceQuery q = sourceQuery(source);
    bool withRid = !q.table.isEmpty();
    Stmt st(prepare(db, q.sql));
    if (!st && withRid) {
        withRid = false;
        st.reset(prepare(db, q.plain));
    }
    if (!st)
        detail::raiseSqlite(db);
    if (withRid)
        rs->table_ = q.table;
    rs->readRows(st.get(), withRid);
    if (withRid)
        rs->readDefaults();
    return rs;
}

void RowSet::readRows(sqlite3_stmt* st, bool withRid)
{
    const int first = withRid ? 1 : 0;
    const int columns = sqlite3_column_count(st);
    for (int col = first; col < columns; ++col) {
        Field f;
        f.name = QString::fromUtf8(sqlite3_column_name(st, col));
        const char* decl = sqlite3_column_decltype(st, col);
        f.declType = decl ? QString::fromUtf8(decl) : QString();
        f.affinity = detail::affinityOf(f.declType);
        fields_.push_back(std::move(f));
    }
    // Sorted rows repeat their leading columns: a text equal to the one above
    // shares its storage instead of allocating again.
    std::vector<QByteArray> lastBytes(static_cast<size_t>(columns));
    std::vector<QVariant> lastText(static_cast<size_t>(columns));
    qint64 ordinal = 0;
    int rc = SQLITE_ROW;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        Row r;
        r.rid = withRid ? sqlite3_column_int64(st, 0) : ++ordinal;
        r.values.reserve(size_t(columns - first));
        for (int col = first; col < columns; ++col) {
            if (sqlite3_column_type(st, col) != SQLITE_TEXT) {
                r.values.push_back(columnValue(st, col));
                continue;
            }
            const char* text = reinterpret_cast<const char*>(sqlite3_column_text(st, col));
            const int bytes = sqlite3_column_bytes(st, col);
            QByteArray& last = lastBytes[size_t(col)];
            if (last.size() != bytes || std::memcmp(last.constData(), text, size_t(bytes)) != 0) {
                last = QByteArray(text, bytes);
                lastText[size_t(col)] = QVariant(QString::fromUtf8(text, bytes));
            }
            r.values.push_back(lastText[size_t(col)]);
        }
        addRow(std::move(r));
    }
    if (rc != SQLITE_DONE)
        detail::raiseSqlite(sqlite3_db_handle(st));
}

void RowSet::readDefaults()
{
    Stmt st(prepare(conn_->handle(), QStringLiteral("PRAGMA table_info(%1)").arg(table_)));
    if (!st)
        return;   // defaults are a convenience; the database applies its own
    while (sqlite3_step(st.get()) == SQLITE_ROW) {
        const QString name = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st.get(), 1)));
        const int i = fieldIndex(name);
        if (i < 0 || sqlite3_column_type(st.get(), 4) == SQLITE_NULL)
            continue;
        const QString sql = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st.get(), 4)));
        Field& f = fields_[size_t(i)];
        f.defaultValue = detail::normalise(f, detail::parseDefault(sql));
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
        for (auto& [fields, ix] : indexes_)
            indexAdd(*ix, index);
    }
}

int RowSet::fieldIndex(QStringView name) const
{
    // A handful of short names: a scan beats hashing the name. The first of
    // equal names wins.
    for (size_t i = 0; i < fields_.size(); ++i) {
        if (fields_[i].name == name)
            return int(i);
    }
    for (size_t i = 0; i < fields_.size(); ++i) {
        const QString& f = fields_[i].name;
        if (f.size() != name.size())
            continue;
        qsizetype k = 0;
        while (k < f.size() && detail::foldUnit(f[k].unicode()) == detail::foldUnit(name[k].unicode()))
            ++k;
        if (k == f.size())
            return int(i);
    }
    return -1;
}

size_t RowSet::QStringHash::operator()(const QString& s) const noexcept
{
    // 64-bit multiply-mix over the UTF-16 bytes, eight at a time.
    const auto* p = reinterpret_cast<const unsigned char*>(s.constData());
    size_t bytes = size_t(s.size()) * 2;
    quint64 h = 0x9E3779B97F4A7C15ULL ^ bytes;
    while (bytes >= 8) {
        quint64 k;
        std::memcpy(&k, p, 8);
        h = (h ^ (k * 0xFF51AFD7ED558CCDULL)) * 0xC4CEB9FE1A85EC53ULL;
        h ^= h >> 29;
        p += 8;
        bytes -= 8;
    }
    quint64 tail = 0;
    std::memcpy(&tail, p, bytes);
    h = (h ^ (tail * 0xFF51AFD7ED558CCDULL)) * 0xC4CEB9FE1A85EC53ULL;
    h ^= h >> 32;
    return size_t(h);
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
    const auto it = byRid_.find(rid);
    return it == byRid_.end() ? -1 : it->second;
}

std::vector<QVariant> RowSet::newRowValues() const
{
    std::vector<QVariant> values;
    values.reserve(fields_.size());
    for (const Field& f : fields_)
        values.push_back(f.defaultValue);
    return values;
}

// --- writing

sqlite3* RowSet::writeHandle()
{
    sqlite3* db = conn_->handle();
    if (db != preparedOn_) {
        // The connection was closed and opened again: statements start afresh.
        inserts_.clear();
        updates_.clear();
        deletes_.clear();
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
    const std::string key = maskKey(set);
    if (auto it = inserts_.find(key); it != inserts_.end())
        return it->second.get();
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
    return prepared(inserts_, key, sql);
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

sqlite3_stmt* RowSet::deleteStatement()
{
    return prepared(deletes_, std::string(), QStringLiteral("DELETE FROM %1 WHERE rowid=?").arg(table_));
}

namespace {

// Appends the UTF-8 form of a text; plain ASCII without a detour.
void appendUtf8(std::string& out, const QString& text)
{
    const auto* p = reinterpret_cast<const char16_t*>(text.utf16());
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

void RowSet::bindAll(sqlite3_stmt* st, const std::vector<QVariant>& values, const std::vector<bool>& mask)
{
    // Texts go to one buffer first, so that binding allocates nothing.
    textBuffer_.clear();
    textSpans_.clear();
    for (size_t i = 0; i < values.size(); ++i) {
        if (!mask[i] || values[i].isNull() || values[i].typeId() != QMetaType::QString)
            continue;
        const size_t start = textBuffer_.size();
        appendUtf8(textBuffer_, *static_cast<const QString*>(values[i].constData()));
        textSpans_.emplace_back(start, textBuffer_.size() - start);
    }
    int at = 1;
    size_t span = 0;
    for (size_t i = 0; i < values.size(); ++i) {
        if (!mask[i])
            continue;
        const QVariant& v = values[i];
        int rc = SQLITE_OK;
        if (!v.isNull() && v.typeId() == QMetaType::QString) {
            const auto [start, length] = textSpans_[span++];
            rc = sqlite3_bind_text(st, at, textBuffer_.data() + start, int(length), SQLITE_STATIC);
        } else {
            rc = bindOther(st, at, v);
        }
        if (rc != SQLITE_OK)
            detail::raiseSqlite(preparedOn_);
        ++at;
    }
}

int RowSet::bindOther(sqlite3_stmt* st, int at, const QVariant& v)
{
    if (v.isNull())
        return sqlite3_bind_null(st, at);
    switch (v.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
        return sqlite3_bind_double(st, at, v.toDouble());
    case QMetaType::LongLong:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::Short:
    case QMetaType::UShort:
        return sqlite3_bind_int64(st, at, v.toLongLong());
    case QMetaType::QByteArray: {
        const QByteArray b = v.toByteArray();
        return sqlite3_bind_blob(st, at, b.constData(), int(b.size()), SQLITE_TRANSIENT);
    }
    default: {
        const QByteArray utf8 = v.toString().toUtf8();
        return sqlite3_bind_text(st, at, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
    }
    }
}

void RowSet::run(sqlite3_stmt* st)
{
    const int rc = sqlite3_step(st);
    if (rc != SQLITE_DONE && rc != SQLITE_ROW) {
        const QString message = detail::sqliteMessage(preparedOn_);
        sqlite3_reset(st);
        throw DbError(DbError::DatabaseFailure, message);
    }
    // Every parameter is bound again before the next use.
    sqlite3_reset(st);
}

int RowSet::insert(std::vector<QVariant> values, const std::vector<bool>& set)
{
    conn_->beforeWrite();
    writeHandle();
    sqlite3_stmt* st = insertStatement(set);
    bindAll(st, values, set);
    run(st);
    Row r;
    r.rid = sqlite3_last_insert_rowid(preparedOn_);
    r.values = std::move(values);
    const int row = size();
    addRow(std::move(r));
    journal(row, RowChange::Insert, nullptr);
    return row;
}

void RowSet::update(int row, const std::vector<QVariant>& values, const std::vector<bool>& changed)
{
    if (std::none_of(changed.begin(), changed.end(), [](bool b) { return b; }))
        return;
    conn_->beforeWrite();
    writeHandle();
    sqlite3_stmt* st = updateStatement(changed);
    bindAll(st, values, changed);
    const int at = int(std::count(changed.begin(), changed.end(), true)) + 1;
    if (sqlite3_bind_int64(st, at, rows_[size_t(row)].rid) != SQLITE_OK)
        detail::raiseSqlite(preparedOn_);
    run(st);
    if (sqlite3_changes(preparedOn_) == 0) {
        throw DbError(DbError::DatabaseFailure,
                      QStringLiteral("Row cannot be located for updating. "
                                     "Some values may have been changed since it was last read."));
    }
    std::vector<QVariant> merged = rows_[size_t(row)].values;
    for (size_t i = 0; i < changed.size(); ++i) {
        if (changed[i])
            merged[i] = values[i];
    }
    std::shared_ptr<void> saved;
    if (conn_->inTransaction())
        saved = std::make_shared<std::vector<QVariant>>(rows_[size_t(row)].values);
    setValues(row, std::move(merged));
    journal(row, RowChange::Update, saved);
}

void RowSet::remove(int row)
{
    conn_->beforeWrite();
    writeHandle();
    sqlite3_stmt* st = deleteStatement();
    if (sqlite3_bind_int64(st, 1, rows_[size_t(row)].rid) != SQLITE_OK)
        detail::raiseSqlite(preparedOn_);
    run(st);
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
            setValues(row, *std::static_pointer_cast<std::vector<QVariant>>(saved));
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

void RowSet::setValues(int row, std::vector<QVariant> values)
{
    Row& r = rows_[size_t(row)];
    std::vector<Index*> moved;
    if (!r.deleted) {
        for (auto& [fields, ix] : indexes_) {
            if (rowKey(*ix, r.values) != rowKey(*ix, values)) {
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
        for (auto& [fields, ix] : indexes_)
            indexRemove(*ix, row);
    }
    r.deleted = deleted;
    live_ += deleted ? -1 : 1;
    liveLog_.emplace_back(row, deleted ? -1 : 1);
    if (!deleted) {
        for (auto& [fields, ix] : indexes_)
            indexAdd(*ix, row);
    }
}

QString RowSet::rowKey(const Index& ix, const std::vector<QVariant>& values) const
{
    QString key;
    key.reserve(64);
    for (const int f : ix.fields)
        detail::appendCellKey(key, fields_[size_t(f)], values[size_t(f)]);
    return key;
}

void RowSet::indexAdd(Index& ix, int row)
{
    std::vector<int>& bucket = ix.buckets[rowKey(ix, rows_[size_t(row)].values)];
    if (bucket.empty() || bucket.back() < row)
        bucket.push_back(row);
    else
        bucket.insert(std::lower_bound(bucket.begin(), bucket.end(), row), row);
}

void RowSet::indexRemove(Index& ix, int row)
{
    const auto it = ix.buckets.find(rowKey(ix, rows_[size_t(row)].values));
    if (it == ix.buckets.end())
        return;
    std::vector<int>& bucket = it->second;
    const auto pos = std::lower_bound(bucket.begin(), bucket.end(), row);
    if (pos != bucket.end() && *pos == row)
        bucket.erase(pos);
    if (bucket.empty())
        ix.buckets.erase(it);
}

const std::vector<int>* RowSet::lookup(const std::vector<int>& fields, const QString& key)
{
    auto it = indexes_.find(fields);
    if (it == indexes_.end()) {
        auto ix = std::make_unique<Index>();
        ix->fields = fields;
        ix->buckets.reserve(size_t(live_));
        for (int row = 0; row < size(); ++row) {
            if (!rows_[size_t(row)].deleted)
                indexAdd(*ix, row);
        }
        it = indexes_.emplace(fields, std::move(ix)).first;
    }
    const auto b = it->second->buckets.find(key);
    return b == it->second->buckets.end() ? nullptr : &b->second;
}

} // namespace zarv::db
