#pragma once
// Rows the tests put into the working tables: any row, a folio mask, and a
// set of code tables.
#include "platform/data/recordset.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantMap>

#include <utility>
#include <vector>

namespace zarv::test {

using Fields = std::vector<std::pair<QString, QVariant>>;

// Adds a row through the recordset (a shared one, so that the screens see it)
// and commits it.
void addRow(db::Recordset& rs, const Fields& fields);
// The same into a table of Zarv.mdb, fields and values in the same order.
void addRow(const QString& table, const QStringList& fields, const QVariantList& values);

// A folio mask row of Fol_Mask, or of the given mask table.
void addMask(db::Recordset& rs, const QString& jurCd, const QVariant& folioLen, const QString& mask,
             const QString& year = QStringLiteral("2024"));
void addMask(const QString& jurCd, const QVariant& folioLen, const QString& mask,
             const QString& year = QStringLiteral("2024"));

// Code tables as "code|name" (pairs "district|jurisdiction", masks
// "jurisdiction|length|mask") texts.
struct CodeTables {
    QStringList districts;
    QStringList jurisdictions;
    QStringList pairs;
    QStringList masks;
};
void addCodes(const CodeTables& codes);

// The rows of a query on Zarv.mdb, in order, field name -> value.
std::vector<QVariantMap> rowsOf(const QString& sql);
// One column of a query's rows.
QStringList columnOf(const QString& sql, const QString& field);
// The named fields of a row as texts (a number as its shortest form: 150, 12.5;
// a field the row lacks as "<no field NAME>").
QStringList fieldsOf(const QVariantMap& row, const QStringList& fields);
// The named fields of the one row a query gives (a test failure when it gives
// none or more).
QStringList onlyRowOf(const QString& sql, const QStringList& fields);

} // namespace zarv::test
