#pragma once
// Finding the long list of an XML part (a sheet's rows, the shared strings) and
// where it can be cut, so that the list is parsed a slice at a time. Kept apart
// from the reader so it can be tested on its own.
#include <QByteArray>
#include <optional>
#include <vector>

namespace zarv::xl::detail {

// Where the long list of a part lies: the content of its list element (a
// sheet's <sheetData>, the shared strings' <sst>) and the places between its
// items where the content can be cut into slices of about `sliceBytes`. Found
// by walking the markup (comments, CDATA and processing instructions passed
// over, quoted attribute values honoured); a part in another encoding than
// UTF-8, with a document type, with a NUL byte, or whose markup does not
// balance, has no list found and is parsed whole.
struct ListSlices {
    qsizetype contentBegin = 0;
    qsizetype contentEnd = 0;
    std::vector<qsizetype> cuts;   // ascending, inside the content, each after an item's end
};

// The list of the element named `listName` (local name, any prefix) at
// `listDepth` (0: the root), cut after an item wherever a slice has reached
// `sliceBytes`; none when the part is not one whose slices can be read alone.
std::optional<ListSlices> findListSlices(const QByteArray& buffer, const char* listName, int listDepth,
                                         qsizetype sliceBytes);

// The part is UTF-8, as its slices are read: its declaration names no other
// encoding, and it starts with no byte-order mark of UTF-16 or UTF-32.
bool declaredUtf8(const QByteArray& buffer);

} // namespace zarv::xl::detail
