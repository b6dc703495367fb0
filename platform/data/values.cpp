#include "platform/data/values.h"

#include "platform/data/connection.h"
#include "platform/data/sqlitecall.h"
#include "platform/data/textrule.h"
#include "platform/text/vb.h"

#include <cmath>
#include <cstring>

namespace zarv::db::detail {

Affinity affinityOf(const QString& declType)
{
    const QString t = declType.toUpper();
    if (t.contains(QLatin1String("INT")))
        return Affinity::Integer;
    if (t.contains(QLatin1String("CHAR")) || t.contains(QLatin1String("CLOB")) || t.contains(QLatin1String("TEXT")))
        return Affinity::Text;
    if (t.isEmpty() || t.contains(QLatin1String("BLOB")))
        return Affinity::None;
    if (t.contains(QLatin1String("REAL")) || t.contains(QLatin1String("FLOA")) || t.contains(QLatin1String("DOUB")))
        return Affinity::Real;
    return Affinity::Numeric;
}

StorageClass storageClassOf(const QVariant& v)
{
    if (v.isNull())
        return StorageClass::Null;
    switch (v.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
        return StorageClass::Real;
    case QMetaType::LongLong:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Bool:
        return StorageClass::Integer;
    case QMetaType::QByteArray:
        return StorageClass::Blob;
    default:
        return StorageClass::Text;
    }
}

StorageClass storageClassOf(const Cell& c)
{
    switch (c.kind()) {
    case Cell::Kind::Null:
        return StorageClass::Null;
    case Cell::Kind::Integer:
        return StorageClass::Integer;
    case Cell::Kind::Real:
        return StorageClass::Real;
    case Cell::Kind::Text:
    case Cell::Kind::RawText:
        return StorageClass::Text;
    default:
        return storageClassOf(c.toVariant());
    }
}

bool readNumber(QStringView text, double* out)
{
    const QStringView t = text.trimmed();
    if (t.isEmpty())
        return false;
    bool digit = false;
    for (const QChar c : t) {
        const char16_t u = c.unicode();
        if (u >= u'0' && u <= u'9')
            digit = true;
        else if (u != u'+' && u != u'-' && u != u'.' && u != u'e' && u != u'E')
            return false;
    }
    if (!digit)
        return false;
    bool ok = false;
    const double v = t.toDouble(&ok);
    if (ok && out)
        *out = v;
    return ok;
}

QString numberText(double v)
{
    return vb::CStr(v);
}

quint64 hashUnits(QStringView text)
{
    // 64-bit multiply-mix over the UTF-16 bytes, eight at a time.
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    size_t bytes = size_t(text.size()) * 2;
    quint64 h = 0x9E3779B97F4A7C15ULL ^ bytes;
    while (bytes >= 8) {
        quint64 k;
        std::memcpy(&k, p, 8);
        h = (h ^ (k * 0xFF51AFD7ED558CCDULL)) * 0xC4CEB9FE1A85EC53ULL;
        h ^= h >> 29;
        p += 8;
        bytes -= 8;
    }
    quint64 tail = 0;
    if (bytes > 0)
        std::memcpy(&tail, p, bytes);
    h = (h ^ (tail * 0xFF51AFD7ED558CCDULL)) * 0xC4CEB9FE1A85EC53ULL;
    h ^= h >> 32;
    return h;
}

namespace {

bool isNumberType(const QVariant& v)
{
    switch (v.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::Short:
    case QMetaType::UShort:
        return true;
    default:
        return false;
    }
}

bool isIntegerType(const QVariant& v)
{
    return isNumberType(v) && v.typeId() != QMetaType::Double && v.typeId() != QMetaType::Float;
}

// A number as an integer column keeps it: whole values as integers.
QVariant integerOrReal(double d)
{
    if (std::isfinite(d) && d == std::floor(d) && std::fabs(d) < 9.0e18)
        return QVariant(qlonglong(d));
    return QVariant(d);
}

QString canonicalNumber(double d)
{
    if (d == 0)
        return QStringLiteral("0");   // -0 and 0 are one value
    if (std::isfinite(d) && d == std::floor(d) && std::fabs(d) < 9.0e15)
        return QString::number(qlonglong(d));
    return QString::number(d, 'g', 17);
}

} // namespace

QVariant normalise(const Field& f, const QVariant& v)
{
    if (v.isNull())
        return QVariant();
    if (f.affinity == Affinity::Text && v.typeId() == QMetaType::QString)
        return v;
    if (f.affinity == Affinity::Real && v.typeId() == QMetaType::Double)
        return v;
    if (v.typeId() == QMetaType::Bool) {
        const bool b = v.toBool();
        if (f.affinity == Affinity::Text)
            return QVariant(b ? QStringLiteral("True") : QStringLiteral("False"));
        return QVariant(qlonglong(b ? -1 : 0));
    }
    switch (f.affinity) {
    case Affinity::Text:
        if (isIntegerType(v))
            return QVariant(vb::CStr(static_cast<long long>(v.toLongLong())));
        if (isNumberType(v))
            return QVariant(numberText(v.toDouble()));
        return QVariant(v.toString());
    case Affinity::Real: {
        double d = 0;
        if (isNumberType(v))
            return QVariant(v.toDouble());
        const QString s = v.toString();
        return readNumber(s, &d) ? QVariant(d) : QVariant(s);
    }
    case Affinity::Integer:
    case Affinity::Numeric: {
        double d = 0;
        if (isIntegerType(v))
            return QVariant(qlonglong(v.toLongLong()));
        if (isNumberType(v))
            return integerOrReal(v.toDouble());
        const QString s = v.toString();
        return readNumber(s, &d) ? integerOrReal(d) : QVariant(s);
    }
    case Affinity::None:
        break;
    }
    if (isIntegerType(v))
        return QVariant(qlonglong(v.toLongLong()));
    if (isNumberType(v))
        return QVariant(v.toDouble());
    return QVariant(v.toString());
}

Cell normalisedCell(const Field& f, const QVariant& v)
{
    switch (v.typeId()) {
    case QMetaType::QString:
        if (f.affinity == Affinity::Text && !v.isNull())
            return Cell(*static_cast<const QString*>(v.constData()));
        break;
    case QMetaType::Double:
        if (f.affinity == Affinity::Real && !v.isNull())
            return Cell::real(*static_cast<const double*>(v.constData()));
        break;
    default:
        break;
    }
    return Cell(normalise(f, v));
}

QVariant parseDefault(const QString& sql)
{
    QString t = sql.trimmed();
    while (t.startsWith(u'(') && t.endsWith(u')'))
        t = t.mid(1, t.size() - 2).trimmed();
    if (t.isEmpty() || t.compare(QLatin1String("NULL"), Qt::CaseInsensitive) == 0)
        return QVariant();
    if (t.size() >= 2 && t.startsWith(u'\'') && t.endsWith(u'\'')) {
        return QVariant(undoubled(QStringView(t).mid(1, t.size() - 2), u'\''));
    }
    double d = 0;
    if (readNumber(t, &d))
        return integerOrReal(d);
    return QVariant();
}

QString cellText(const QVariant& v)
{
    if (v.isNull())
        return QString();
    if (v.typeId() == QMetaType::QString)
        return v.toString();
    if (isIntegerType(v))
        return vb::CStr(static_cast<long long>(v.toLongLong()));
    if (isNumberType(v))
        return numberText(v.toDouble());
    return v.toString();
}

bool cellNumber(const QVariant& v, double* out)
{
    if (v.isNull()) {
        *out = 0;
        return true;
    }
    if (isNumberType(v)) {
        *out = v.toDouble();
        return true;
    }
    return readNumber(v.toString(), out);
}

double cellNumberOrZero(const QVariant& v)
{
    double d = 0;
    return cellNumber(v, &d) ? d : 0.0;
}

QString cellText(const Cell& c)
{
    switch (c.kind()) {
    case Cell::Kind::Text:
    case Cell::Kind::RawText:
        return c.text();
    case Cell::Kind::Integer:
        return vb::CStr(static_cast<long long>(c.integerValue()));
    case Cell::Kind::Real:
        return numberText(c.realValue());
    default:
        return cellText(c.toVariant());
    }
}

bool cellNumber(const Cell& c, double* out)
{
    switch (c.kind()) {
    case Cell::Kind::Null:
        *out = 0;
        return true;
    case Cell::Kind::Integer:
        *out = double(c.integerValue());
        return true;
    case Cell::Kind::Real:
        *out = c.realValue();
        return true;
    case Cell::Kind::Text:
    case Cell::Kind::RawText:
        return readNumber(c.textView(), out);
    default:
        return cellNumber(c.toVariant(), out);
    }
}

double cellNumberOrZero(const Cell& c)
{
    double d = 0;
    return cellNumber(c, &d) ? d : 0.0;
}

namespace {

void appendPart(QString& key, char16_t tag, QStringView text, bool fold)
{
    const auto n = quint32(text.size() + 1);
    const qsizetype at = key.size();
    key.resize(at + 2 + qsizetype(n));
    auto* out = reinterpret_cast<char16_t*>(key.data()) + at;
    *out++ = char16_t(n & 0xFFFF);
    *out++ = char16_t(n >> 16);
    *out++ = tag;
    for (const QChar c : text)
        *out++ = fold ? foldUnit(c.unicode()) : c.unicode();
}

bool textMatchesKey(QStringView text, QStringView key)
{
    // A text part: its length (plus one) in two units, the tag, the folded text.
    const auto n = quint32(text.size() + 1);
    if (key.size() != text.size() + 3 || key[0].unicode() != char16_t(n & 0xFFFF) ||
        key[1].unicode() != char16_t(n >> 16) || key[2] != u'T')
        return false;
    const auto* k = reinterpret_cast<const char16_t*>(key.data()) + 3;
    const auto* t = reinterpret_cast<const char16_t*>(text.constData());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (k[i] != foldUnit(t[i]))
            return false;
    }
    return true;
}

} // namespace

void appendCellKey(QString& key, const Field& f, const Cell& c)
{
    if (f.numeric()) {
        double d = 0;
        if (cellNumber(c, &d)) {
            appendPart(key, u'N', canonicalNumber(d), false);
            return;
        }
    }
    if (c.isText())
        appendPart(key, u'T', c.textView(), true);
    else
        appendPart(key, u'T', cellText(c), true);
}

void appendLiteralKey(QString& key, const Field& f, const QString& literal)
{
    double d = 0;
    if (f.numeric() && readNumber(literal, &d))
        appendPart(key, u'N', canonicalNumber(d), false);
    else
        appendPart(key, u'T', literal, true);
}

bool cellMatchesKey(const Field& f, const Cell& c, QStringView key)
{
    if (f.numeric() || !c.isText()) {
        QString own;
        appendCellKey(own, f, c);
        return own == key;
    }
    return textMatchesKey(c.textView(), key);
}

QString cellKey(const Field& f, const QVariant& v)
{
    QString key;
    appendCellKey(key, f, Cell(v));
    return key;
}

QString literalKey(const Field& f, const QString& literal)
{
    QString key;
    appendLiteralKey(key, f, literal);
    return key;
}

} // namespace zarv::db::detail
