#pragma once
// The rows one recordset loaded, shared by its clones: values in query order with
// their rowid, rows added later appended at the end, deleted rows flagged (never
// erased, so positions and bookmarks stay valid). It writes through to its table
// with statements prepared once, and keeps hash indexes over field sets for
// equality lookups, maintained row by row.
#include "platform/data/connection.h"
#include "platform/data/filter.h"
#include "platform/data/rowsort.h"
#include "platform/data/sourcequery.h"
#include "platform/data/values.h"

#include <QHash>
#include <QString>
#include <QVariant>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace zarv::db {

struct Row {
    qint64 rid = 0;
    std::vector<detail::Cell> values;
    bool deleted = false;
};

// What the connection's journal records, to undo on RollbackTrans.
enum class RowChange { Insert = 0, Update = 1, Delete = 2 };

class RowSet : public std::enable_shared_from_this<RowSet> {
public:
    // Runs the source (a table name or "SELECT * FROM <table> ...") and loads every row.
    // An ORDER BY of plain columns is applied here, rows equal on them in rowid
    // order. Two loads reuse rows in memory that are current(): a whole table
    // in a new order takes the connection's spare rows, and one group of a
    // table (WHERE COLUMN = 'text') is cut from a whole table a recordset holds.
    static std::shared_ptr<RowSet> load(Connection* c, const QString& source);
    ~RowSet();
    RowSet(const RowSet&) = delete;
    RowSet& operator=(const RowSet&) = delete;

    // Rows can be written back: they come from one table and carry their rowid.
    bool updatable() const { return !table_.isEmpty(); }
    const QString& tableKey() const { return tableKey_; }
    // Every row of the table, matching it so far: worth keeping as the
    // connection's spare rows when its recordset closes.
    bool canBeSpare() const { return updatable() && wholeTable_ && seen_ != 0; }
    // The rows match their table: its change count (Connection::changeCount)
    // is where it stood when they were read, or moved only by writes through
    // them, each the one change it made. A row written through them is read
    // back at once unless the database keeps it exactly as given, so they hold
    // what the database stored and stay current.
    bool current();
    const std::vector<detail::Field>& fields() const { return fields_; }
    int fieldIndex(const QString& name) const;   // case-insensitive; -1 when unknown
    // The same for a name cut from a longer text (a filter).
    int fieldIndexInText(QStringView name) const;

    int size() const { return int(rows_.size()); }
    const Row& row(int i) const { return rows_[size_t(i)]; }
    int rowOfRid(qint64 rid) const;              // -1 when unknown
    int liveCount() const { return live_; }
    // Every deletion (-1) and undeletion (+1) in order, for cursors to catch up.
    const std::vector<std::pair<int, int>>& liveLog() const { return liveLog_; }

    // A new row's values: the columns' literal defaults.
    std::vector<detail::Cell> newRowValues() const;

    // Writes; each raises DbError(DatabaseFailure) when the database refuses and
    // then leaves the rows as they were.
    int insert(std::vector<detail::Cell> values, const std::vector<bool>& set);   // returns the row
    void update(int row, const std::vector<detail::Cell>& values, const std::vector<bool>& changed);
    void remove(int row);

    // Undoes one journalled change in memory (the database was rolled back).
    void undo(int row, RowChange kind, const std::shared_ptr<void>& saved);

    // The live rows, ascending, whose values on `fields` (ascending) have this
    // key; valid until the rows or their indexes next change.
    std::span<const int> lookup(const std::vector<int>& fields, const QString& key);
    std::span<const int> lookup(const int* fields, size_t count, const QString& key);

    // A filter or Find text parsed against these fields; the texts given last
    // are kept parsed. Raises DbError(BadArguments) when the text does not parse.
    std::shared_ptr<const detail::Filter> parsedFilter(const QString& text) const;

private:
    struct StmtDeleter {
        void operator()(sqlite3_stmt* s) const;
    };
    using Stmt = std::unique_ptr<sqlite3_stmt, StmtDeleter>;
    struct Index;   // a hash index over one field set (rowset.cpp)

    RowSet() = default;
    void readFields(sqlite3_stmt* st, bool withRid);
    void readRows(sqlite3_stmt* st, bool withRid);
    // The sort keys of an ORDER BY; false when one of its columns is unknown or
    // has a collation other than JET or BINARY (the database orders then).
    bool sortKeys(const std::vector<detail::OrderTerm>& terms, std::vector<detail::SortKey>& out) const;
    // How the database compares texts of a column; none for a collation other
    // than JET or BINARY, or when it cannot say.
    std::optional<detail::TextOrder> collationOf(int field) const;
    // A column named as the database names it (ASCII letters in either case); -1 when none.
    int sqlFieldIndex(const QString& name) const;
    static bool binaryKeysDecidable(const std::vector<Row>& rows, const std::vector<detail::SortKey>& keys);
    // The rows equal to the texts, put in order, as a new set; null when the
    // columns do not allow it to be done here exactly as the database would.
    std::shared_ptr<RowSet> subset(const std::vector<detail::Equality>& equalities,
                                   const std::vector<detail::OrderTerm>& order);
    void reorder(const std::vector<detail::SortKey>& keys);
    void beginWrite();
    // Runs one write to the row with rowid `row` (none: the row it inserts)
    // and returns that rowid; `stored` (of an insert or update) takes the row
    // as the database stored it, read back unless `asBound` says the database
    // keeps the values as given and the write was the table's one change.
    qint64 runWrite(sqlite3_stmt* st, std::vector<detail::Cell>* stored, std::optional<qint64> row, bool asBound);
    // Each value under the mask is stored exactly as held: its class is the
    // one its column's affinity keeps, and the table has no generated column.
    bool storedAsBound(const std::vector<detail::Cell>& values, const std::vector<bool>& mask) const;
    // Raises "Row cannot be located for updating" unless the stored row at
    // its rowid is the one held.
    void requireRowAsRead(int row);
    void readDefaults();
    void addRow(Row r);
    // A text equal to the one the last row holds in its column takes that
    // row's storage: rows added in order repeat their leading columns (an
    // agency, a district) row after row, and a million rows need not hold a
    // million copies. A code of one or two characters is held once.
    void shareRepeats(std::vector<detail::Cell>& values) const;

    sqlite3* writeHandle();
    sqlite3_stmt* prepared(std::map<std::string, Stmt>& cache, const std::string& key, const QString& sql);
    sqlite3_stmt* insertStatement(const std::vector<bool>& set);
    sqlite3_stmt* updateStatement(const std::vector<bool>& changed);
    sqlite3_stmt* deleteStatement();
    sqlite3_stmt* selectStatement();
    // Binds the values under the mask to the statement's parameters in order.
    void bindAll(sqlite3_stmt* st, const std::vector<detail::Cell>& values, const std::vector<bool>& mask);
    void run(sqlite3_stmt* st);

    void setValues(int row, std::vector<detail::Cell> values);
    void setDeleted(int row, bool deleted);
    void buildKey(const Index& ix, const std::vector<detail::Cell>& values, QString& out) const;
    // The row's values on the index's fields have this key (built as buildKey builds it).
    bool rowHasKey(const Index& ix, int row, QStringView key) const;
    void indexAdd(Index& ix, int row);
    void indexRemove(Index& ix, int row);
    Index* indexOf(const int* fields, size_t count);
    void journal(int row, RowChange kind, std::shared_ptr<void> saved);

    Connection* conn_ = nullptr;
    QString table_;                   // the table written to, quoted; empty when read-only
    QString tableName_;               // the same unquoted
    QString tableKey_;
    bool wholeTable_ = false;         // the source selects every row of the table
    bool generatedColumns_ = true;    // the table has a column the database works out
    quint64 seen_ = 0;                // the table's change count the rows match; 0: none
    std::vector<detail::Field> fields_;
    mutable std::vector<detail::Cell> newRow_;   // newRowValues(), made once
    std::vector<Row> rows_;
    mutable QHash<qint64, int> byRid_;   // a later row wins a reused rowid
    mutable bool ridsMapped_ = false;
    int live_ = 0;
    std::vector<std::pair<int, int>> liveLog_;
    std::vector<std::unique_ptr<Index>> indexes_;
    mutable QString rowKey_;                          // key scratch: a row being indexed
    mutable QString otherKey_;                        // key scratch: the same row with new values
    std::vector<int> lookupRows_;                     // the rows a lookup picked from a shared bucket
    mutable detail::FilterCache filters_;
    mutable QHash<quint16, detail::Cell> shortTexts_;    // the codes shareRepeats holds, by their characters

    std::string textBuffer_;                          // UTF-8 of the texts being bound
    std::vector<std::pair<size_t, size_t>> textSpans_;
    sqlite3* preparedOn_ = nullptr;
    std::map<std::string, Stmt> inserts_;
    std::map<std::string, Stmt> updates_;
    std::map<std::string, Stmt> deletes_;
    std::map<std::string, Stmt> selects_;
    std::vector<bool> lastInsertMask_;                // the insert used last, found without a key
    quint64 lastInsertBits_ = 0;                      // its first 64 flags
    sqlite3_stmt* lastInsert_ = nullptr;
};

} // namespace zarv::db
