#pragma once
// Putting loaded rows in the order an ORDER BY of plain columns asks, exactly as
// SQLite orders values: Null first, then numbers by value, then texts by the
// column's collation, then blobs byte by byte; DESC reverses a column. Rows
// equal on every column keep the order of their rowid, so the order is the
// same however the rows were read.
#include <vector>

namespace zarv::db {
struct Row;
}

namespace zarv::db::detail {

enum class TextOrder { Jet, Binary };

struct SortKey {
    int field = -1;
    bool descending = false;
    TextOrder text = TextOrder::Jet;
};

void sortRows(std::vector<Row>& rows, const std::vector<SortKey>& keys);

} // namespace zarv::db::detail
