#include "platform/data/recordset.h"

#include "platform/data/filter.h"
#include "platform/data/rowset.h"
#include "platform/data/values.h"

#include <QVarLengthArray>

#include <algorithm>
#include <optional>

namespace zarv::db {

using detail::Filter;

namespace {

[[noreturn]] void raise(long number, const char* text)
{
    throw DbError(number, QString::fromUtf8(text));
}

[[noreturn]] void raiseNoCurrentRow()
{
    raise(DbError::BofOrEof, "Either BOF or EOF is True, or the current record has been deleted. "
                             "Requested operation requires a current record.");
}

[[noreturn]] void raiseRowDeleted()
{
    raise(DbError::RowDeleted, "Row handle referred to a deleted row or a row marked for deletion.");
}

[[noreturn]] void raiseNotFound()
{
    raise(DbError::ItemNotFound, "Item cannot be found in the collection corresponding to the requested name or ordinal.");
}

[[noreturn]] void raiseIsOpen()
{
    raise(DbError::ObjectOpen, "Operation is not allowed when the object is open.");
}

} // namespace

// One cursor's view of the shared rows: the rows that passed its filter (all of
// them without one), its position, and a pending new row or edit.
struct Recordset::Cursor {
    enum class Where { Bof, Row, Eof };

    std::shared_ptr<const Filter> filter;   // none: every row
    bool all = true;              // no filter: view position == row index
    std::vector<int> view;        // rows under the filter, ascending (== the rows' order)
    int syncedRows = 0;           // rows of the RowSet this view has looked at
    size_t syncedLog = 0;         // deletions and undeletions taken into account
    long live = 0;                // rows of the view not deleted
    std::vector<int> compact;     // live rows of the view, built when some are deleted
    bool compactValid = false;

    Where where = Where::Eof;
    int pos = 0;                  // view position when where == Row

    bool newPending = false;
    bool editPending = false;
    std::vector<detail::Cell> buffer;
    std::vector<bool> dirty;

    std::vector<std::pair<int, Observer>> observers;
    int nextObserver = 1;

    int size() const { return all ? syncedRows : int(view.size()); }
    int rowAt(int i) const { return all ? i : view[size_t(i)]; }

    int viewPosOf(int row) const
    {
        if (all)
            return row >= 0 && row < syncedRows ? row : -1;
        const auto it = std::lower_bound(view.begin(), view.end(), row);
        return it != view.end() && *it == row ? int(it - view.begin()) : -1;
    }

    bool liveAt(const RowSet& r, int i) const { return !r.row(rowAt(i)).deleted; }

    int nextLive(const RowSet& r, int from) const
    {
        const int n = size();
        for (int i = std::max(from, 0); i < n; ++i) {
            if (liveAt(r, i))
                return i;
        }
        return n;
    }

    int prevLive(const RowSet& r, int from) const
    {
        for (int i = std::min(from, size() - 1); i >= 0; --i) {
            if (liveAt(r, i))
                return i;
        }
        return -1;
    }

    void clearPending()
    {
        newPending = false;
        editPending = false;
        buffer.clear();
        dirty.clear();
    }

    void rebuild(RowSet& r)
    {
        view.clear();
        compact.clear();
        compactValid = false;
        syncedRows = r.size();
        syncedLog = r.liveLog().size();
        if (!filter || filter->empty()) {
            all = true;
            live = r.liveCount();
            return;
        }
        all = false;
        const Filter& f = *filter;
        if (!f.indexFields.empty()) {
            for (const int row : r.lookup(f.indexFields.data(), f.indexFields.size(), f.indexKey)) {
                if (detail::passesRest(f, r, row))
                    view.push_back(row);
            }
        } else {
            for (int row = 0; row < syncedRows; ++row) {
                if (!r.row(row).deleted && detail::passesAll(f, r, row))
                    view.push_back(row);
            }
        }
        live = long(view.size());
    }

    // Takes in rows appended and rows deleted or restored since the last look;
    // `ownRow` (a row this cursor added) is kept even when the filter refuses it.
    void sync(RowSet& r, int ownRow = -1)
    {
        const int seen = syncedRows;
        for (int row = seen; row < r.size(); ++row) {
            const bool isLive = !r.row(row).deleted;
            if (!all) {
                if (row != ownRow && !detail::passesAll(*filter, r, row))
                    continue;
                view.push_back(row);
                if (isLive)
                    ++live;
            }
            if (compactValid && isLive)
                compact.push_back(row);
        }
        syncedRows = r.size();
        const auto& log = r.liveLog();
        for (; syncedLog < log.size(); ++syncedLog) {
            const auto [row, delta] = log[syncedLog];
            if (row >= seen || (!all && viewPosOf(row) < 0))
                continue;   // new rows were read with their final state above
            if (!all)
                live += delta;
            if (compactValid) {
                const auto at = std::lower_bound(compact.begin(), compact.end(), row);
                if (delta < 0 && at != compact.end() && *at == row)
                    compact.erase(at);
                else if (delta > 0 && (at == compact.end() || *at != row))
                    compact.insert(at, row);
            }
        }
        if (all)
            live = r.liveCount();
    }

    // The live rows in order; nullptr when every row of the view is live.
    const std::vector<int>* compactRows(const RowSet& r)
    {
        if (live == size())
            return nullptr;
        if (!compactValid) {
            compact.clear();
            compact.reserve(size_t(live));
            for (int i = 0; i < size(); ++i) {
                if (liveAt(r, i))
                    compact.push_back(rowAt(i));
            }
            compactValid = true;
        }
        return &compact;
    }

    int compactAt(const RowSet& r, int i)
    {
        const auto* c = compactRows(r);
        return c ? (*c)[size_t(i)] : rowAt(i);
    }

    int compactIndexOf(const RowSet& r, int row)
    {
        const auto* c = compactRows(r);
        if (!c)
            return viewPosOf(row);
        const auto it = std::lower_bound(c->begin(), c->end(), row);
        return it != c->end() && *it == row ? int(it - c->begin()) : -1;
    }

    void place(int i)
    {
        if (i < 0) {
            where = Where::Bof;
            pos = -1;
        } else if (i >= size()) {
            where = Where::Eof;
            pos = size();
        } else {
            where = Where::Row;
            pos = i;
        }
    }

    int findForward(RowSet& r, const detail::Condition& c, int from)
    {
        const int n = size();
        if (from >= n)
            return n;
        if (c.op == detail::Op::Eq) {
            const std::span<const int> rows = r.lookup(&c.field, 1, c.key);
            for (auto it = std::lower_bound(rows.begin(), rows.end(), rowAt(from)); it != rows.end(); ++it) {
                const int p = viewPosOf(*it);
                if (p >= 0)
                    return p;
            }
            return n;
        }
        const detail::Field& f = r.fields()[size_t(c.field)];
        for (int i = from; i < n; ++i) {
            const Row& row = r.row(rowAt(i));
            if (!row.deleted && detail::passes(c, f, row.values[size_t(c.field)]))
                return i;
        }
        return n;
    }

    int findBackward(RowSet& r, const detail::Condition& c, int from)
    {
        if (from < 0)
            return -1;
        if (c.op == detail::Op::Eq) {
            const std::span<const int> rows = r.lookup(&c.field, 1, c.key);
            auto it = std::upper_bound(rows.begin(), rows.end(), rowAt(from));
            while (it != rows.begin()) {
                const int p = viewPosOf(*--it);
                if (p >= 0)
                    return p;
            }
            return -1;
        }
        const detail::Field& f = r.fields()[size_t(c.field)];
        for (int i = from; i >= 0; --i) {
            const Row& row = r.row(rowAt(i));
            if (!row.deleted && detail::passes(c, f, row.values[size_t(c.field)]))
                return i;
        }
        return -1;
    }
};

Recordset::Recordset() : cur_(std::make_unique<Cursor>()) {}

Recordset::Recordset(Connection* connection, QString source, LockType lock)
    : conn_(connection), source_(std::move(source)), lock_(lock), cur_(std::make_unique<Cursor>())
{
}

Recordset::~Recordset()
{
    cur_->observers.clear();   // whoever watched may be gone already
    try {
        closeRows(RowsAfterClose::Release);   // the connection may be gone already
    } catch (...) {
        // A pending row the database refuses is dropped; nothing else is lost.
    }
}

// --- set-up and life cycle

void Recordset::setSource(const QString& source)
{
    if (isOpen())
        raiseIsOpen();
    source_ = source;
}

void Recordset::open(const QString& source)
{
    setSource(source);
    open();
}

void Recordset::open()
{
    if (isOpen())
        raiseIsOpen();
    if (!conn_) {
        raise(DbError::ObjectClosed, "The connection cannot be used to perform this operation. "
                                     "It is either closed or invalid in this context.");
    }
    if (source_.trimmed().isEmpty())
        detail::raiseBadArguments();
    rows_ = RowSet::load(conn_, source_);
    cur_->clearPending();
    std::optional<DbError> refused;
    try {
        applyFilter(filter_);
    } catch (const DbError& e) {
        // The kept filter names a field these rows lack: open without it.
        refused = e;
        filter_.clear();
        applyFilter(QString());
    }
    landFirst();
    notify(Event::RowsChanged);
    notify(Event::CurrentChanged);
    if (refused)
        throw *refused;
}

void Recordset::close()
{
    closeRows(RowsAfterClose::OfferToConnection);
}

void Recordset::closeRows(RowsAfterClose after)
{
    if (!isOpen())
        return;
    std::optional<DbError> failure;
    try {
        saveIfPending();
    } catch (const DbError& e) {
        failure = e;
    }
    // Rows no clone shares may serve the next recordset over the same table.
    if (after == RowsAfterClose::OfferToConnection && !failure && rows_.use_count() == 1 && rows_->canBeSpare() &&
        !conn_->inTransaction())
        conn_->keepSpareRows(std::move(rows_));
    rows_.reset();
    Cursor& c = *cur_;
    c.clearPending();
    c.filter.reset();
    c.view.clear();
    c.compact.clear();
    c.compactValid = false;
    c.all = true;
    c.syncedRows = 0;
    c.syncedLog = 0;
    c.live = 0;
    c.place(0);
    notify(Event::RowsChanged);
    if (failure)
        throw *failure;
}

void Recordset::requery()
{
    requireOpen();
    saveIfPending();
    rows_ = RowSet::load(conn_, source_);
    applyFilter(filter_);
    landFirst();
    notify(Event::RowsChanged);
    notify(Event::CurrentChanged);
}

int Recordset::state() const
{
    return rows_ ? 1 : 0;
}

std::unique_ptr<Recordset> Recordset::clone() const
{
    requireOpen();
    auto c = std::make_unique<Recordset>(conn_, source_, lock_);
    c->rows_ = rows_;
    c->cur_->rebuild(*rows_);
    c->landFirst();
    return c;
}

// --- filter

void Recordset::setFilter(const QString& filter)
{
    const bool blank = std::all_of(filter.begin(), filter.end(), [](QChar c) { return c.isSpace(); });
    const QString text = blank ? QString() : filter;
    if (!isOpen()) {
        filter_ = text;   // checked against the fields when the recordset opens
        return;
    }
    saveIfPending();
    applyFilter(text);
    filter_ = text;
    landFirst();
    notify(Event::RowsChanged);
    notify(Event::CurrentChanged);
}

void Recordset::applyFilter(const QString& filter)
{
    std::shared_ptr<const Filter> parsed = rows_->parsedFilter(filter);
    cur_->filter = std::move(parsed);
    cur_->rebuild(*rows_);
}

void Recordset::landFirst()
{
    cur_->place(cur_->nextLive(*rows_, 0));
}

// --- position

long Recordset::recordCount() const
{
    requireOpen();
    cur_->sync(*rows_);
    return cur_->live + (cur_->newPending ? 1 : 0);
}

bool Recordset::eof() const
{
    requireOpen();
    const Cursor& c = *cur_;
    if (c.newPending)
        return false;
    cur_->sync(*rows_);
    return c.where == Cursor::Where::Eof || (c.where == Cursor::Where::Bof && c.live == 0);
}

bool Recordset::bof() const
{
    requireOpen();
    const Cursor& c = *cur_;
    if (c.newPending)
        return false;
    cur_->sync(*rows_);
    return c.where == Cursor::Where::Bof || (c.where == Cursor::Where::Eof && c.live == 0);
}

void Recordset::moveFirst()
{
    requireOpen();
    saveIfPending();
    Cursor& c = *cur_;
    c.sync(*rows_);
    if (c.live == 0)
        raiseNoCurrentRow();
    c.place(c.nextLive(*rows_, 0));
    notify(Event::CurrentChanged);
}

void Recordset::moveLast()
{
    requireOpen();
    saveIfPending();
    Cursor& c = *cur_;
    c.sync(*rows_);
    if (c.live == 0)
        raiseNoCurrentRow();
    c.place(c.prevLive(*rows_, c.size() - 1));
    notify(Event::CurrentChanged);
}

void Recordset::moveNext()
{
    move(1);
}

void Recordset::movePrevious()
{
    move(-1);
}

void Recordset::move(long n)
{
    requireOpen();
    saveIfPending();
    Cursor& c = *cur_;
    c.sync(*rows_);
    if (n > 0) {
        if (c.where == Cursor::Where::Eof)
            raiseNoCurrentRow();
        int i = c.where == Cursor::Where::Bof ? -1 : c.pos;
        for (long k = 0; k < n && i < c.size(); ++k)
            i = c.nextLive(*rows_, i + 1);
        c.place(i);
    } else if (n < 0) {
        if (c.where == Cursor::Where::Bof)
            raiseNoCurrentRow();
        int i = c.where == Cursor::Where::Eof ? c.size() : c.pos;
        for (long k = 0; k < -n && i >= 0; ++k)
            i = c.prevLive(*rows_, i - 1);
        c.place(i);
    }
    notify(Event::CurrentChanged);
}

void Recordset::find(const QString& criterion, long skip, bool forward)
{
    requireOpen();
    saveIfPending();
    Cursor& c = *cur_;
    c.sync(*rows_);
    const std::shared_ptr<const Filter> f = rows_->parsedFilter(criterion);
    if (f->conditions.size() != 1)
        detail::raiseBadArguments();
    const detail::Condition& cond = f->conditions.front();
    skip = std::max(skip, 0L);
    if (forward) {
        if (c.where == Cursor::Where::Eof)
            return;
        int from = c.where == Cursor::Where::Bof ? 0 : c.pos;
        for (long k = 0; k < skip && from < c.size(); ++k)
            from = c.nextLive(*rows_, from + 1);
        c.place(c.findForward(*rows_, cond, from));
    } else {
        if (c.where == Cursor::Where::Bof)
            return;
        int from = c.where == Cursor::Where::Eof ? c.size() - 1 : c.pos;
        for (long k = 0; k < skip && from >= 0; ++k)
            from = c.prevLive(*rows_, from - 1);
        c.place(c.findBackward(*rows_, cond, from));
    }
    notify(Event::CurrentChanged);
}

// --- bookmarks

qint64 Recordset::bookmark() const
{
    requireOpen();
    const Cursor& c = *cur_;
    if (c.newPending || c.where != Cursor::Where::Row)
        raiseNoCurrentRow();
    return rows_->row(c.rowAt(c.pos)).rid;
}

void Recordset::setBookmark(qint64 b)
{
    requireOpen();
    saveIfPending();
    Cursor& c = *cur_;
    c.sync(*rows_);
    const int row = rows_->rowOfRid(b);
    const int p = row >= 0 ? c.viewPosOf(row) : -1;
    if (p < 0 || rows_->row(row).deleted)
        detail::raiseBadArguments();
    c.place(p);
    notify(Event::CurrentChanged);
}

// --- fields

int Recordset::fieldCount() const
{
    requireOpen();
    return int(rows_->fields().size());
}

QString Recordset::fieldName(int i) const
{
    requireOpen();
    if (i < 0 || i >= fieldCount())
        raiseNotFound();
    return rows_->fields()[size_t(i)].name;
}

int Recordset::fieldIndex(const QString& name) const
{
    return rows_ ? rows_->fieldIndex(name) : -1;
}

int Recordset::requireField(const QString& name) const
{
    requireOpen();
    const int i = rows_->fieldIndex(name);
    if (i < 0)
        raiseNotFound();
    return i;
}

const detail::Cell& Recordset::current(int field) const
{
    const Cursor& c = *cur_;
    if (c.newPending)
        return c.buffer[size_t(field)];
    if (c.where != Cursor::Where::Row)
        raiseNoCurrentRow();
    const Row& row = rows_->row(c.rowAt(c.pos));
    if (row.deleted)
        raiseRowDeleted();
    return c.editPending ? c.buffer[size_t(field)] : row.values[size_t(field)];
}

QVariant Recordset::value(const QString& field) const
{
    return current(requireField(field)).toVariant();
}

QVariant Recordset::value(int i) const
{
    requireOpen();
    if (i < 0 || i >= fieldCount())
        raiseNotFound();
    return current(i).toVariant();
}

QString Recordset::text(const QString& field) const
{
    return detail::cellText(current(requireField(field)));
}

double Recordset::number(const QString& field) const
{
    return detail::cellNumberOrZero(current(requireField(field)));
}

QString Recordset::text(int i) const
{
    requireOpen();
    if (i < 0 || i >= fieldCount())
        raiseNotFound();
    return detail::cellText(current(i));
}

double Recordset::number(int i) const
{
    requireOpen();
    if (i < 0 || i >= fieldCount())
        raiseNotFound();
    return detail::cellNumberOrZero(current(i));
}

void Recordset::setValue(const QString& field, const QVariant& v)
{
    setValue(requireField(field), v);
}

void Recordset::setValue(int i, const QVariant& v)
{
    requireOpen();
    if (i < 0 || i >= fieldCount())
        raiseNotFound();
    requireWritable();
    Cursor& c = *cur_;
    detail::Cell stored = detail::normalisedCell(rows_->fields()[size_t(i)], v);
    if (!c.newPending && !c.editPending) {
        current(i);   // raises without a current row, or on a deleted one
        c.buffer = rows_->row(c.rowAt(c.pos)).values;
        c.dirty.assign(c.buffer.size(), false);
        c.editPending = true;
    }
    c.buffer[size_t(i)] = std::move(stored);
    c.dirty[size_t(i)] = true;
}

long Recordset::countEqual(const int* fields, const QString* texts, int count)
{
    requireOpen();
    QVarLengthArray<std::pair<int, int>, 8> order;   // (field, its text)
    for (int i = 0; i < count; ++i) {
        if (fields[i] < 0 || fields[i] >= fieldCount())
            raiseNotFound();
        order.append({fields[i], i});
    }
    // The index is over the fields in ascending order, as a filter's is.
    std::sort(order.begin(), order.end());
    QVarLengthArray<int, 8> sorted;
    QString key;
    key.reserve(128);   // a key of a few short texts, built without growing
    for (const auto& [field, i] : order) {
        if (!sorted.isEmpty() && sorted.back() == field)
            detail::raiseBadArguments();
        sorted.append(field);
        detail::appendLiteralKey(key, rows_->fields()[size_t(field)], texts[i]);
    }
    return long(rows_->lookup(sorted.data(), size_t(sorted.size()), key).size());
}

// --- changes

void Recordset::addNew()
{
    requireOpen();
    requireWritable();
    saveIfPending();
    Cursor& c = *cur_;
    c.sync(*rows_);
    c.buffer = rows_->newRowValues();
    c.dirty.assign(c.buffer.size(), false);
    c.newPending = true;
    notify(Event::RowsChanged);
    notify(Event::CurrentChanged);
}

void Recordset::update()
{
    requireOpen();
    saveIfPending();
}

void Recordset::cancelUpdate()
{
    requireOpen();
    Cursor& c = *cur_;
    if (c.newPending) {
        c.clearPending();
        notify(Event::RowsChanged);
        notify(Event::CurrentChanged);
    } else if (c.editPending) {
        c.clearPending();
        notify(Event::RowChanged);
    }
}

bool Recordset::editPending() const
{
    return isOpen() && (cur_->newPending || cur_->editPending);
}

void Recordset::saveIfPending()
{
    Cursor& c = *cur_;
    if (c.newPending) {
        std::vector<detail::Cell> values = std::move(c.buffer);
        const std::vector<bool> set = std::move(c.dirty);
        c.clearPending();   // saved or refused, the pending row ends here
        int row = -1;
        try {
            row = rows_->insert(std::move(values), set);
        } catch (const DbError&) {
            notify(Event::RowsChanged);
            notify(Event::CurrentChanged);
            throw;
        }
        c.sync(*rows_, row);
        c.place(c.viewPosOf(row));
        notify(Event::RowsChanged);
    } else if (c.editPending) {
        const int row = c.rowAt(c.pos);
        const std::vector<detail::Cell> values = std::move(c.buffer);
        const std::vector<bool> changed = std::move(c.dirty);
        c.clearPending();
        try {
            rows_->update(row, values, changed);
        } catch (const DbError&) {
            notify(Event::RowChanged);
            throw;
        }
        notify(Event::RowChanged);
    }
}

void Recordset::deleteCurrent()
{
    requireOpen();
    requireWritable();
    Cursor& c = *cur_;
    if (c.newPending) {
        cancelUpdate();
        return;
    }
    c.sync(*rows_);
    if (c.where != Cursor::Where::Row)
        raiseNoCurrentRow();
    const int row = c.rowAt(c.pos);
    if (rows_->row(row).deleted)
        raiseRowDeleted();
    c.clearPending();
    rows_->remove(row);
    c.sync(*rows_);
    notify(Event::RowsChanged);
}

// --- grid model

int Recordset::rowCount() const
{
    if (!isOpen())
        return 0;
    cur_->sync(*rows_);
    return int(cur_->live) + (cur_->newPending ? 1 : 0);
}

int Recordset::currentRow() const
{
    if (!isOpen())
        return -1;
    Cursor& c = *cur_;
    c.sync(*rows_);
    if (c.newPending)
        return int(c.live);
    if (c.where != Cursor::Where::Row || !c.liveAt(*rows_, c.pos))
        return -1;
    return c.compactIndexOf(*rows_, c.rowAt(c.pos));
}

void Recordset::moveToRow(int row)
{
    requireOpen();
    saveIfPending();
    Cursor& c = *cur_;
    c.sync(*rows_);
    if (row < 0 || row >= c.live)
        detail::raiseBadArguments();
    c.place(c.viewPosOf(c.compactAt(*rows_, row)));
    notify(Event::CurrentChanged);
}

QVariant Recordset::valueAt(int row, int field) const
{
    if (!isOpen() || field < 0 || field >= int(rows_->fields().size()))
        return QVariant();
    Cursor& c = *cur_;
    c.sync(*rows_);
    if (c.newPending && row == c.live)
        return c.buffer[size_t(field)].toVariant();
    if (row < 0 || row >= c.live)
        return QVariant();
    const int r = c.compactAt(*rows_, row);
    if (c.editPending && c.where == Cursor::Where::Row && c.rowAt(c.pos) == r)
        return c.buffer[size_t(field)].toVariant();
    return rows_->row(r).values[size_t(field)].toVariant();
}

qint64 Recordset::bookmarkAt(int row) const
{
    if (!isOpen())
        return 0;
    Cursor& c = *cur_;
    c.sync(*rows_);
    if (row < 0 || row >= c.live)
        return 0;
    return rows_->row(c.compactAt(*rows_, row)).rid;
}

int Recordset::rowOfBookmark(qint64 b) const
{
    if (!isOpen())
        return -1;
    Cursor& c = *cur_;
    c.sync(*rows_);
    const int row = rows_->rowOfRid(b);
    if (row < 0 || rows_->row(row).deleted || c.viewPosOf(row) < 0)
        return -1;
    return c.compactIndexOf(*rows_, row);
}

// --- observers

int Recordset::addObserver(Observer o)
{
    const int id = cur_->nextObserver++;
    cur_->observers.emplace_back(id, std::move(o));
    return id;
}

void Recordset::removeObserver(int id)
{
    auto& list = cur_->observers;
    list.erase(std::remove_if(list.begin(), list.end(), [id](const auto& e) { return e.first == id; }), list.end());
}

void Recordset::notify(Event e) const
{
    if (cur_->observers.empty())
        return;
    const auto observers = cur_->observers;   // an observer may remove itself
    for (const auto& [id, o] : observers)
        o(e);
}

void Recordset::requireOpen() const
{
    if (!isOpen())
        raise(DbError::ObjectClosed, "Operation is not allowed when the object is closed.");
}

void Recordset::requireWritable() const
{
    if (lock_ == LockType::ReadOnly || !rows_->updatable()) {
        raise(DbError::ReadOnly, "Current Recordset does not support updating. "
                                 "This may be a limitation of the provider, or of the selected locktype.");
    }
}

} // namespace zarv::db
