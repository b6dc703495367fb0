#pragma once
// How the data layer reads, stores and compares one field value: the column's
// affinity decides whether a value compares as a number or as text, and every
// equality (filter, find, hash index) goes through the same key.
#include "platform/data/cell.h"

#include <QString>
#include <QVariant>

namespace zarv::db::detail {

enum class Affinity { Text, Integer, Real, Numeric, None };

struct Field {
    QString name;
    QString declType;
    Affinity affinity = Affinity::None;
    QVariant defaultValue;          // the column's literal default; Null when none

    bool numeric() const { return affinity != Affinity::Text; }
};

// The class of value the database is given for a QVariant.
enum class StorageClass { Null, Integer, Real, Text, Blob };
StorageClass storageClassOf(const QVariant& v);
StorageClass storageClassOf(const Cell& c);

// SQLite's rule for a declared type.
Affinity affinityOf(const QString& declType);

// The whole text (blanks around it allowed) as a plain decimal number.
bool readNumber(QStringView text, double* out);

// A value as the column stores it: numbers in a text column become their text,
// text that reads as a number in a number column becomes that number.
QVariant normalise(const Field& f, const QVariant& v);
// The same held as a row holds it; a text for a text column and a double for
// a real one, the usual values, are taken as they are.
Cell normalisedCell(const Field& f, const QVariant& v);

// A literal default from the schema ('' quoted text, a number, NULL); Null when
// the default is an expression.
QVariant parseDefault(const QString& sql);

QString numberText(double v);
// A 64-bit hash of the UTF-16 units, for the data layer's own hash tables.
quint64 hashUnits(QStringView text);
QString cellText(const QVariant& v);            // Null as "", numbers as CStr writes them
bool cellNumber(const QVariant& v, double* out); // false when the value is no number
double cellNumberOrZero(const QVariant& v);
// The same for a value a row holds, without making a QVariant of it.
QString cellText(const Cell& c);
bool cellNumber(const Cell& c, double* out);
double cellNumberOrZero(const Cell& c);

// Equality keys: two values are equal under the filter rule exactly when their
// keys are equal. A key part is appended with a length prefix, so that no two
// different lists of values give the same key.
void appendCellKey(QString& key, const Field& f, const Cell& c);
void appendLiteralKey(QString& key, const Field& f, const QString& literal);
QString cellKey(const Field& f, const QVariant& v);
QString literalKey(const Field& f, const QString& literal);
// cellKey(f, v) == key, without building the value's key when it is a text.
bool cellMatchesKey(const Field& f, const Cell& c, QStringView key);

} // namespace zarv::db::detail
