#pragma once
// Tells whether a session changed the working tables: a digest of their rows
// taken after the load is compared with one taken before the write-back, so
// that a session that changed nothing leaves the clerk's file as it is.
#include <QByteArray>
#include <QStringList>

namespace zarv {

namespace db {
class Connection;
}

// A digest of every row of the tables, in any order (a re-sort or rows
// stored again as they were change nothing). Columns named in skip are left
// out: values recounted from the others, which hold nothing of their own.
QByteArray TableDigest(db::Connection& connection, const QStringList& tables, const QStringList& skip = {});

} // namespace zarv
