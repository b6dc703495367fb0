#pragma once
// What a recordset's source (a table name or a SELECT text) runs, taken apart
// as far as the data layer needs: the table its rows can be written back to,
// whether it selects the whole table, and an ORDER BY of plain column names,
// which the rows can be put in order by without the database.
//
// Only what the rows in memory are reused for is read here (see rowsort.h for
// why they are put in order here); anything else in the text is left to the
// database, and a source that is not understood is run as given.
//
// SQLite does not tell these things: its column metadata names the table each
// column of a prepared statement comes from, but the rowid has to be in the
// text before it is prepared, and no sqlite3_stmt interface says whether a
// statement selects every row (no WHERE, LIMIT, GROUP BY or compound) or which
// columns it orders by; only EXPLAIN's bytecode shows that, and its form
// changes between versions. The equalities of a WHERE are read here too: when
// the database picked the rows of a WHERE (SELECT rowid, its texts bound) and
// they were cut from the whole table in memory, the rows were the same in
// every data test, but opening the search of a group of 100,000 payments took
// 0.26 s instead of 0.18 s (best of 8 paired runs; medians 0.54 s and 0.38 s):
// the walk of the JET-collated index costs more than the hash index here.
#include <QString>
#include <optional>
#include <vector>

namespace zarv::db::detail {

struct OrderTerm {
    QString column;             // unquoted
    bool descending = false;
};

// "COLUMN = 'text'" in a WHERE.
struct Equality {
    QString column;             // unquoted
    QString text;               // the literal, quotes removed
};

struct SourceQuery {
    QString sql;                // selects the rowid first, then the table's columns
    QString plain;              // the source as given, run when `sql` cannot be
    QString table;              // quoted; empty when the rows cannot be written back
    QString tableName;          // the same unquoted
    // Known to select every row of the table: no WHERE, and nothing after an
    // ORDER BY but plain columns.
    bool wholeTable = false;
    // Set when the source ends in ORDER BY plain column names (each with ASC or
    // DESC at most); `unordered` then selects as `sql` does, without the ORDER BY.
    std::optional<std::vector<OrderTerm>> order;
    QString unordered;
    // With `order`: set when the WHERE is only "COLUMN = 'text'" joined by AND.
    std::optional<std::vector<Equality>> equalities;
};

SourceQuery sourceQuery(const QString& source);

// What the database matches a name of a table or column by: its ASCII letters
// in one case (other letters are compared as they are).
QString nameKey(const QString& unquotedName);

} // namespace zarv::db::detail
