// Every row written is counted, those a trigger or REPLACE writes included:
// only the pre-update hook is told of all of them.
#define SQLITE_ENABLE_PREUPDATE_HOOK
#include "platform/data/connection.h"

#include "platform/data/rowset.h"
#include "platform/data/sourcequery.h"
#include "platform/data/sqlitecall.h"
#include "platform/data/textrule.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
#include <climits>
#include <optional>
#include <sqlite3.h>
#include <vector>

namespace zarv::db {

struct Connection::Journal {
    // `count` rows from `row` on, each the same change: a load adds a million
    // rows in one transaction, and they make one entry.
    struct Entry {
        std::weak_ptr<RowSet> rows;
        int row;
        int count;
        int kind;
        std::shared_ptr<void> saved;
    };
    std::vector<Entry> entries;
};

namespace {

// The open connections of this process. Two connections may name the same file
// (the reference connection can be pointed at the working database); before one
// of them works, the other's gathered writes are committed so it neither waits
// on their lock nor misses their rows.
std::vector<Connection*>& openConnections()
{
    static std::vector<Connection*> list;
    return list;
}

QString translated(const QString& sql)
{
    static const QRegularExpression deleteStar(QStringLiteral("^(\\s*DELETE)\\s+\\*\\s+(FROM\\b)"),
                                               QRegularExpression::CaseInsensitiveOption);
    QString out = sql;
    out.replace(deleteStar, QStringLiteral("\\1 \\2"));
    return out;
}

// Statements that must not run inside the gathered write transaction.
bool outsideTransaction(const QString& sql)
{
    static const QRegularExpression word(
        QStringLiteral("^\\s*(BEGIN|COMMIT|END|ROLLBACK|SAVEPOINT|RELEASE|VACUUM|PRAGMA|ATTACH|DETACH)\\b"),
        QRegularExpression::CaseInsensitiveOption);
    return word.match(sql).hasMatch();
}

DbError endedByDatabase()
{
    return DbError(DbError::DatabaseFailure,
                   QStringLiteral("The changes were not saved: the database undid them after an error."));
}

} // namespace

Connection::Connection(QString name) : name_(std::move(name)), journal_(std::make_unique<Journal>()) {}

Connection::~Connection()
{
    try {
        close();
    } catch (...) {
        // Nothing can be reported from here; the database keeps what was committed.
    }
}

void Connection::setConnectionString(const QString& s)
{
    close();
    connectionString_ = s;
}

QString Connection::databasePath() const
{
    static const QRegularExpression catalog(QStringLiteral("Initial Catalog\\s*=([^;]*)"),
                                            QRegularExpression::CaseInsensitiveOption);
    const auto m = catalog.match(connectionString_);
    return m.hasMatch() ? m.captured(1).trimmed() : QString();
}

void Connection::open()
{
    if (db_)
        return;
    const QString path = databasePath();
    if (path.isEmpty())
        throw DbError(DbError::DatabaseFailure, QStringLiteral("No database file is named in the connection string."));
    if (!QFileInfo(path).isFile())
        throw DbError(DbError::DatabaseFailure, QStringLiteral("Could not find file '%1'.").arg(path));
    sqlite3* db = nullptr;
    // A connection is used by one thread only (the program's): SQLite need not
    // lock it around every call.
    const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX;
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, flags, nullptr) != SQLITE_OK) {
        const QString message = detail::sqliteMessage(db);
        sqlite3_close_v2(db);
        throw DbError(DbError::DatabaseFailure, QStringLiteral("Could not open '%1': %2").arg(path, message));
    }
    db_ = db;
    try {
        setUp();
    } catch (const DbError& e) {
        sqlite3_close_v2(db_);
        db_ = nullptr;
        throw DbError(DbError::DatabaseFailure, QStringLiteral("Could not open '%1': %2").arg(path, e.description()));
    }
    canonicalPath_ = QFileInfo(path).canonicalFilePath();
    ++allTables_;
    openConnections().push_back(this);
}

void Connection::setUp()
{
    sqlite3_extended_result_codes(db_, 1);
    // A time-out of 0 means wait as long as it takes.
    const long long ms = timeout_ > 0 ? (long long)timeout_ * 1000 : INT_MAX;
    sqlite3_busy_timeout(db_, int(std::min<long long>(ms, INT_MAX)));
    if (detail::registerTextRule(db_) != SQLITE_OK)
        detail::raiseSqlite(db_);
    sqlite3_preupdate_hook(db_, &Connection::rowWritten, this);
    // The working database is scratch for one run: speed over durability.
    // A database still empty takes pages of 16 KB, which a load of many rows
    // fills with fewer allocations and splits; one that holds tables keeps its own.
    detail::exec(db_, "PRAGMA page_size=16384");
    detail::exec(db_, "PRAGMA journal_mode=WAL");
    detail::exec(db_, "PRAGMA synchronous=OFF");
    // 32 MB: the tables of a usual file stay in memory. The rows are held by
    // the recordsets as well, so a larger cache held a million payments twice;
    // pages it lets go of stay in the system's file cache (synchronous=OFF),
    // and a load of a million payments took no longer with it.
    detail::exec(db_, "PRAGMA cache_size=-32768");
    detail::exec(db_, "PRAGMA temp_store=MEMORY");
}

void Connection::close()
{
    if (!db_)
        return;
    std::optional<DbError> failure;
    if (explicitTrans_) {
        try {
            rollbackTrans();
        } catch (const DbError& e) {
            failure = e;
        }
    }
    try {
        flush();
    } catch (const DbError& e) {
        if (!failure)
            failure = e;
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        implicitTrans_ = false;
    }
    auto& list = openConnections();
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    spare_.reset();
    wholeTables_.clear();
    sqlite3_finalize(dataVersion_);
    dataVersion_ = nullptr;
    lastDataVersion_ = -1;
    ++allTables_;
    // Statements prepared by recordsets may outlive the handle: close_v2 keeps
    // it until they are finalised.
    sqlite3_close_v2(db_);
    db_ = nullptr;
    canonicalPath_.clear();
    journal_->entries.clear();
    explicitTrans_ = false;
    implicitTrans_ = false;
    if (failure)
        throw *failure;
}

int Connection::state() const
{
    return db_ ? 1 : 0;
}

sqlite3* Connection::handle()
{
    if (!db_)
        open();
    flushOthers();
    return db_;
}

void Connection::flushOthers()
{
    for (Connection* other : openConnections()) {
        if (other != this && other->implicitTrans_ && other->canonicalPath_ == canonicalPath_)
            other->flush();
    }
}

long long Connection::execute(const QString& sql)
{
    const QString text = translated(sql);
    sqlite3* db = handle();
    // Whatever the text does (a schema change, a whole-table delete) moves
    // every table's count at once; with the hook away, a whole-table delete
    // stays quick.
    ++allTables_;
    dropSpareRows();
    sqlite3_preupdate_hook(db, nullptr, nullptr);
    struct HookBack {
        sqlite3* db;
        Connection* c;
        ~HookBack() { sqlite3_preupdate_hook(db, &Connection::rowWritten, c); }
    } hookBack{db, this};
    if (outsideTransaction(text))
        flush();
    else
        beforeWrite();
    const QByteArray utf8 = text.toUtf8();
    const char* next = utf8.constData();
    const char* end = next + utf8.size();
    const sqlite3_int64 before = sqlite3_total_changes64(db);
    while (next < end) {
        sqlite3_stmt* st = nullptr;
        const char* tail = nullptr;
        if (sqlite3_prepare_v2(db, next, int(end - next), &st, &tail) != SQLITE_OK)
            detail::raiseSqlite(db);
        next = tail;
        if (!st)
            continue;   // blanks or a comment
        int rc = SQLITE_ROW;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        }
        if (rc != SQLITE_DONE) {
            const QString message = detail::sqliteMessage(db);
            sqlite3_finalize(st);
            noticeEndedTransaction();
            throw DbError(DbError::DatabaseFailure, message);
        }
        sqlite3_finalize(st);
    }
    return sqlite3_total_changes64(db) - before;
}

void Connection::beginTrans()
{
    if (explicitTrans_)
        throw DbError(DbError::DatabaseFailure, QStringLiteral("A transaction is already in progress."));
    handle();
    flush();
    detail::exec(db_, "BEGIN");
    explicitTrans_ = true;
    journal_->entries.clear();
}

void Connection::commitTrans()
{
    if (!explicitTrans_)
        throw DbError(DbError::DatabaseFailure, QStringLiteral("No transaction is in progress."));
    // Nothing of a transaction the database ended was kept. It stays open for
    // the caller's RollbackTrans, which puts the rows in memory back.
    if (noticeEndedTransaction())
        throw endedByDatabase();
    detail::exec(db_, "COMMIT");
    explicitTrans_ = false;
    journal_->entries.clear();
}

void Connection::rollbackTrans()
{
    if (!explicitTrans_)
        throw DbError(DbError::DatabaseFailure, QStringLiteral("No transaction is in progress."));
    std::optional<DbError> failure;
    if (!sqlite3_get_autocommit(db_)) {
        try {
            detail::exec(db_, "ROLLBACK");
        } catch (const DbError& e) {
            failure = e;
        }
    }
    explicitTrans_ = false;
    ++allTables_;
    undoJournal();
    if (failure)
        throw *failure;
}

void Connection::undoJournal()
{
    auto& entries = journal_->entries;
    for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
        if (auto rows = it->rows.lock()) {
            for (int row = it->row + it->count - 1; row >= it->row; --row)
                rows->undo(row, RowChange(it->kind), it->saved);
        }
    }
    entries.clear();
}

void Connection::flush()
{
    if (!implicitTrans_ || !db_)
        return;
    if (!sqlite3_get_autocommit(db_) && sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK) {
        const QString message = detail::sqliteMessage(db_);
        noticeEndedTransaction();
        throw DbError(DbError::DatabaseFailure, message);
    }
    implicitTrans_ = false;
}

void Connection::beforeWrite()
{
    // Written after the database ended the explicit transaction, a row would
    // be saved on its own, outside what the caller will roll back or commit.
    if (noticeEndedTransaction())
        throw endedByDatabase();
    if (explicitTrans_ || implicitTrans_)
        return;
    handle();
    detail::exec(db_, "BEGIN");
    implicitTrans_ = true;
}

bool Connection::noticeEndedTransaction()
{
    if (!db_ || !(implicitTrans_ || explicitTrans_) || !sqlite3_get_autocommit(db_))
        return false;
    ++allTables_;   // the writes went with it
    implicitTrans_ = false;
    return explicitTrans_;
}

void Connection::writeFailed()
{
    ++allTables_;
    noticeEndedTransaction();
}

void Connection::rowWritten(void* self, sqlite3*, int, const char*, const char* table, long long, long long)
{
    auto* c = static_cast<Connection*>(self);
    try {
        c->countWrite(table);
    } catch (...) {
        ++c->allTables_;   // not counted against its table: counted against all
    }
}

void Connection::countWrite(const char* table)
{
    // Rows are written table after table: the last one is checked first.
    if (!lastWritten_.isNull() && qstrcmp(lastWritten_.constData(), table) == 0) {
        ++writes_[lastWrittenSlot_].second;
        return;
    }
    const QString key = detail::nameKey(QString::fromUtf8(table));
    auto it = std::find_if(writes_.begin(), writes_.end(), [&](const auto& w) { return w.first == key; });
    if (it == writes_.end())
        it = writes_.insert(writes_.end(), {key, 0});
    ++it->second;
    lastWritten_ = QByteArray(table);
    lastWrittenSlot_ = size_t(it - writes_.begin());
}

quint64 Connection::changeCountNow(const QString& tableKey) const
{
    for (const auto& [key, count] : writes_) {
        if (key == tableKey)
            return allTables_ + count;
    }
    return allTables_;
}

quint64 Connection::changeCount(const QString& tableKey)
{
    sqlite3* db = handle();
    noticeEndedTransaction();
    if (!dataVersion_ && sqlite3_prepare_v2(db, "PRAGMA data_version", -1, &dataVersion_, nullptr) != SQLITE_OK) {
        sqlite3_finalize(dataVersion_);
        dataVersion_ = nullptr;
    }
    // Unknown counts as changed.
    const qint64 version = dataVersion_ && sqlite3_step(dataVersion_) == SQLITE_ROW ? sqlite3_column_int64(dataVersion_, 0)
                                                                                    : -1;
    if (dataVersion_)
        sqlite3_reset(dataVersion_);
    if (version < 0 || version != lastDataVersion_)
        ++allTables_;
    lastDataVersion_ = version;
    return changeCountNow(tableKey);
}

void Connection::keepSpareRows(std::shared_ptr<RowSet> rows)
{
    // Rows that no longer match their table would only take up memory.
    if (db_ && rows && rows->current())
        spare_ = std::move(rows);
}

void Connection::dropSpareRows(const QString& tableKey)
{
    if (spare_ && (tableKey.isNull() || spare_->tableKey() == tableKey))
        spare_.reset();
}

void Connection::noteWholeTable(const std::shared_ptr<RowSet>& rows)
{
    std::erase_if(wholeTables_, [](const std::weak_ptr<RowSet>& w) { return w.expired(); });
    wholeTables_.push_back(rows);
}

std::vector<std::shared_ptr<RowSet>> Connection::wholeTables(const QString& tableKey)
{
    std::vector<std::shared_ptr<RowSet>> out;
    for (const std::weak_ptr<RowSet>& w : wholeTables_) {
        if (std::shared_ptr<RowSet> rows = w.lock(); rows && rows->tableKey() == tableKey)
            out.push_back(std::move(rows));
    }
    return out;
}

std::shared_ptr<RowSet> Connection::takeSpareRows(const QString& tableKey)
{
    if (!spare_ || spare_->tableKey() != tableKey)
        return nullptr;
    return std::move(spare_);
}

void Connection::journal(std::weak_ptr<RowSet> rows, int rowIndex, int kind, std::shared_ptr<void> saved)
{
    if (!explicitTrans_)
        return;
    auto& entries = journal_->entries;
    if (!saved && !entries.empty()) {
        Journal::Entry& last = entries.back();
        if (!last.saved && last.kind == kind && last.row + last.count == rowIndex &&
            !last.rows.owner_before(rows) && !rows.owner_before(last.rows)) {
            ++last.count;
            return;
        }
    }
    entries.push_back({std::move(rows), rowIndex, 1, kind, std::move(saved)});
}

TransactionGuard::TransactionGuard(Connection& c) : c_(c)
{
    c_.beginTrans();
}

TransactionGuard::~TransactionGuard()
{
    if (!open_)
        return;
    try {
        c_.rollbackTrans();
    } catch (...) {
        // Rolling back is all that can be done here; the caller already has the first error.
    }
}

void TransactionGuard::commit()
{
    c_.commitTrans();
    open_ = false;
}

} // namespace zarv::db
