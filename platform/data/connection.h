#pragma once
// A connection to one database file: the connection string is kept as given and
// the file is the one named after "Initial Catalog="; opened on first use.
#include "platform/data/dberror.h"
#include <QByteArray>
#include <QString>
#include <memory>
#include <utility>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace zarv::db {

class RowSet;

class Connection {
public:
    explicit Connection(QString name);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    const QString& name() const { return name_; }

    // The whole text is kept; only "Initial Catalog=<path>" is used (the password
    // and the other parts are kept as data). Changing it closes the connection.
    void setConnectionString(const QString& s);
    QString connectionString() const { return connectionString_; }
    QString databasePath() const;     // the catalog named in the connection string
    void setConnectionTimeout(int seconds) { timeout_ = seconds; }
    int connectionTimeout() const { return timeout_; }

    // Opens the database file (it must exist). Raises DbError when it cannot.
    void open();
    void close();
    int state() const;                // 0 closed, 1 open
    // Opens on first use. Another connection of this program to the same file
    // has its gathered writes committed first, so this one neither waits on
    // their lock nor misses their rows.
    sqlite3* handle();

    // Runs a statement. Jet-only syntax is translated ("DELETE * FROM").
    // Returns the number of rows changed.
    long long execute(const QString& sql);

    // Explicit transactions. RollbackTrans also undoes what recordsets over this
    // connection changed in their rows since BeginTrans.
    void beginTrans();
    void commitTrans();
    void rollbackTrans();
    bool inTransaction() const { return explicitTrans_; }

    // Writes outside an explicit transaction are gathered into an implicit one
    // for speed; flush() commits it (also done by beginTrans, close and the
    // destructor).
    void flush();

    // For recordsets: called before a write outside an explicit transaction;
    // and the undo journal of the explicit transaction.
    void beforeWrite();
    void journal(std::weak_ptr<RowSet> rows, int rowIndex, int kind, std::shared_ptr<void> saved);
    // A write was refused: the database may have undone more than that row.
    void writeFailed();

    // The one rule for rows kept in memory. A table's change count moves on
    // every row written to it through this connection (whatever wrote it: a
    // recordset, a trigger, a REPLACE), and for every table at once when a
    // statement runs as text, a transaction is rolled back (by the caller or
    // by SQLite), a write is refused, the connection opens or closes, or
    // another connection commits to the file. Rows read while the count stood
    // at n match the table for as long as it stays at n. A table is named by
    // its key (detail::nameKey).
    quint64 changeCount(const QString& tableKey);
    // The same without looking for other connections' commits: for the count
    // just before and after a write, when only this connection can write.
    quint64 changeCountNow(const QString& tableKey) const;

    // The rows of a whole table that a recordset closed, kept for the next
    // recordset over the same table (a new sort order reuses them). One set is
    // kept; it is handed out once.
    void keepSpareRows(std::shared_ptr<RowSet> rows);
    std::shared_ptr<RowSet> takeSpareRows(const QString& tableKey);
    void dropSpareRows(const QString& tableKey = QString());   // those of one table, or any
    // Rows of whole tables that recordsets (or the spare) still hold, so that
    // a part of one can be taken from memory.
    void noteWholeTable(const std::shared_ptr<RowSet>& rows);
    std::vector<std::shared_ptr<RowSet>> wholeTables(const QString& tableKey);

private:
    struct Journal;
    void setUp();
    void flushOthers();
    // SQLite ends a transaction by itself after some errors (a full disk, an
    // I/O error). Notes it; true when it was the explicit one, which stays
    // marked open for the caller's RollbackTrans.
    bool noticeEndedTransaction();
    void undoJournal();
    static void rowWritten(void* self, sqlite3* db, int op, const char* database, const char* table, long long key,
                           long long newKey);
    void countWrite(const char* table);

    QString name_;
    QString connectionString_;
    int timeout_ = 15;
    sqlite3* db_ = nullptr;
    bool explicitTrans_ = false;
    bool implicitTrans_ = false;
    std::unique_ptr<Journal> journal_;
    QString canonicalPath_;           // set while open; connections to one file share it

    quint64 allTables_ = 1;           // the changes that move every table's count
    std::vector<std::pair<QString, quint64>> writes_;   // table key, rows written
    QByteArray lastWritten_;          // the table the last counted write went to
    size_t lastWrittenSlot_ = 0;
    sqlite3_stmt* dataVersion_ = nullptr;
    qint64 lastDataVersion_ = -1;
    std::shared_ptr<RowSet> spare_;
    std::vector<std::weak_ptr<RowSet>> wholeTables_;
};

// Begins a transaction on construction and rolls it back on destruction unless
// commit() was called, so an error between the two leaves nothing half done.
class TransactionGuard {
public:
    explicit TransactionGuard(Connection& c);
    ~TransactionGuard();
    TransactionGuard(const TransactionGuard&) = delete;
    TransactionGuard& operator=(const TransactionGuard&) = delete;

    void commit();

private:
    Connection& c_;
    bool open_ = true;
};

// The comparison rule for text everywhere in the data layer (filters, Find,
// ORDER BY, unique keys): case-insensitive, one character to one character.
int compareText(const QString& a, const QString& b);
QString foldText(const QString& s);   // the key two texts share when compareText says equal

} // namespace zarv::db
