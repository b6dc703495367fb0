#pragma once
// A client-side static cursor over the rows of a query, in the manner the screens
// and file conversions expect: clones share the rows but keep their own position
// and filter, a bookmark (the row's rowid) is valid in every clone, a pending edit
// or new row is saved by the next move (Move 0 included) or by Close.
#include "platform/data/connection.h"
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <memory>

namespace zarv::db {

enum class LockType { ReadOnly, Optimistic };

class RowSet;
namespace detail {
class Cell;
}

class Recordset {
public:
    Recordset();
    // A command-style recordset: its source and lock are kept across Close/Open.
    Recordset(Connection* connection, QString source, LockType lock = LockType::Optimistic);
    ~Recordset();
    Recordset(const Recordset&) = delete;
    Recordset& operator=(const Recordset&) = delete;

    // --- set-up and life cycle
    // A table name or a SELECT text. Kept across Close and Open.
    void setSource(const QString& source);
    QString source() const { return source_; }
    LockType lockType() const { return lock_; }
    void open();                            // uses the current source; lands on the first row
    void open(const QString& source);
    void close();                           // commits a pending edit first; the Filter stays set
    void requery();                         // reloads the rows; keeps source and filter; first row
    int state() const;                      // 0 closed, 1 open
    bool isOpen() const { return state() == 1; }
    std::unique_ptr<Recordset> clone() const;  // same rows, own position (first row) and filter (none)

    // --- filter: "" for none, else conditions joined by AND:
    //   FIELD = 'text'   FIELD <> 'text'   FIELD LIKE '%text%'   (also <, >, <=, >= and numbers)
    // '' inside a literal is one quote; in LIKE, % and * match any run, _ one
    // character, and [x] is the character x itself. A trailing blank is allowed.
    // A text that cannot be parsed raises DbError(BadArguments).
    // Setting the filter moves to the first row that passes it.
    void setFilter(const QString& filter);
    QString filter() const { return filter_; }

    // --- position
    long recordCount() const;               // rows under the filter (deleted rows not counted)
    bool eof() const;
    bool bof() const;
    void moveFirst();                       // DbError(BofOrEof) on an empty recordset
    void moveLast();
    void moveNext();
    void movePrevious();
    void move(long n);                      // Move 0 saves a pending edit or new row
    // Forward (or backward) from the current row, skipping `skip` rows first;
    // one condition of the filter grammar. Lands on the row found, else EOF (BOF).
    void find(const QString& criterion, long skip = 0, bool forward = true);
    // The rows, whatever this cursor's filter, whose fields (by fieldIndex, each
    // once) hold these texts by the rule of a filter's `=`: what a filter of
    // those conditions would count, without a filter text to build and parse.
    long countEqual(const int* fields, const QString* texts, int count);

    // --- bookmarks: the row's rowid; valid in every clone of the same rows
    qint64 bookmark() const;                // DbError(BofOrEof) without a current row
    void setBookmark(qint64 b);             // DbError when the row is not under this cursor

    // --- fields of the current row
    int fieldCount() const;
    QString fieldName(int i) const;
    int fieldIndex(const QString& name) const;          // case-insensitive; -1 when unknown
    QVariant value(const QString& field) const;         // raw: Null stays Null
    QVariant value(int i) const;
    QString text(const QString& field) const;           // Null as "", numbers as CStr writes them
    double number(const QString& field) const;          // Null and text that is no number as 0
    QString text(int i) const;              // the same by fieldIndex, for a caller that reads many rows
    double number(int i) const;
    void setValue(const QString& field, const QVariant& v);  // starts an edit of the current row
    void setValue(int i, const QVariant& v);   // by fieldIndex, for a caller that sets many rows

    // --- changes
    void addNew();                          // a new row becomes current; saved by the next move
    void update();                          // saves a pending edit or new row (what Move 0 does)
    void cancelUpdate();                    // drops a pending edit or new row
    bool editPending() const;
    void deleteCurrent();                   // removes the row at once; MoveNext lands on the follower

    // --- for the grid model: the rows under this cursor in order, deleted ones skipped
    int rowCount() const;                   // == recordCount()
    int currentRow() const;                 // index in [0, rowCount()) or -1 at BOF/EOF
    void moveToRow(int row);
    QVariant valueAt(int row, int field) const;
    qint64 bookmarkAt(int row) const;
    int rowOfBookmark(qint64 b) const;      // -1 when not under this cursor

    // Observers: told after the current row moves or the rows change.
    enum class Event { CurrentChanged, RowsChanged, RowChanged };
    using Observer = std::function<void(Event)>;
    int addObserver(Observer o);
    void removeObserver(int id);

private:
    struct Cursor;
    enum class RowsAfterClose { OfferToConnection, Release };
    void closeRows(RowsAfterClose after);
    void notify(Event e) const;
    void requireOpen() const;
    void requireWritable() const;
    void applyFilter(const QString& filter);   // parses against the rows, rebuilds the view
    void landFirst();
    void saveIfPending();
    int requireField(const QString& name) const;
    const detail::Cell& current(int field) const;

    Connection* conn_ = nullptr;
    QString source_;
    LockType lock_ = LockType::Optimistic;
    QString filter_;
    std::shared_ptr<RowSet> rows_;
    std::unique_ptr<Cursor> cur_;
};

} // namespace zarv::db
