#include "platform/data/cell.h"

#include <limits>
#include <new>
#include <utility>

namespace zarv::db::detail {

Cell::Cell(const QVariant& v) : Cell()
{
    if (v.typeId() == QMetaType::QString && !v.isNull())
        setText(*static_cast<const QString*>(v.constData()));
    else
        hold(v);
}

Cell::Cell(QVariant&& v) : Cell()
{
    if (v.typeId() == QMetaType::QString && !v.isNull())
        adoptText(std::move(*static_cast<QString*>(v.data())));   // data(): the variant's own, unshared
    else
        hold(v);
}

void Cell::hold(const QVariant& v)
{
    const int type = v.typeId();
    if (type == QMetaType::UnknownType)
        return;
    // A value of a class that is Null all the same is kept as it is.
    if (!v.isNull()) {
        switch (type) {
        case QMetaType::LongLong:
            word_.i = *static_cast<const qlonglong*>(v.constData());
            kind_ = quint32(Kind::Integer);
            return;
        case QMetaType::Double:
            word_.r = *static_cast<const double*>(v.constData());
            kind_ = quint32(Kind::Real);
            return;
        default:
            break;
        }
    }
    word_.other = new QVariant(v);
    kind_ = quint32(Kind::Other);
}

void Cell::setText(const QString& s)
{
    if (pointAt(s))
        word_.header->ref();
}

void Cell::adoptText(QString&& s)
{
    if (pointAt(s))
        new (&s.data_ptr()) QString::DataPointer();   // the reference `s` held is the cell's now
}

bool Cell::pointAt(const QString& s)
{
    const QString::DataPointer& d = s.data_ptr();
    if (s.isNull()) {
        kind_ = quint32(Kind::NullText);
        return false;
    }
    if (quint64(s.size()) > std::numeric_limits<quint32>::max()) {
        word_.other = new QVariant(s);
        kind_ = quint32(Kind::Other);
        return false;
    }
    // d_ptr() has no const overload; the header is only read, or given a
    // reference as a copy of the string would be.
    QArrayData* header = const_cast<QString::DataPointer&>(d).d_ptr();
    if (!header) {
        word_.raw = d.data();
        size_ = quint32(s.size());
        kind_ = quint32(Kind::RawText);
        return false;
    }
    const qsizetype offset = d.freeSpaceAtBegin();
    if (offset >= (qsizetype(1) << 24)) {
        adoptText(QString(s.constData(), s.size()));   // a copy's characters start its storage
        return false;
    }
    word_.header = header;
    size_ = quint32(s.size());
    offset_ = quint32(offset);
    kind_ = quint32(Kind::Text);
    return true;
}

QString Cell::text() const
{
    if (!isText())
        return QString();
    auto* const start = const_cast<char16_t*>(chars());
    if (kind() == Kind::RawText)
        return QString(QString::DataPointer(nullptr, start, qsizetype(size_)));
    word_.header->ref();
    return QString(QString::DataPointer(static_cast<QTypedArrayData<char16_t>*>(word_.header), start, qsizetype(size_)));
}

QVariant Cell::toVariant() const
{
    switch (kind()) {
    case Kind::Null:
        return QVariant();
    case Kind::Integer:
        return QVariant(qlonglong(word_.i));
    case Kind::Real:
        return QVariant(word_.r);
    case Kind::Text:
    case Kind::RawText:
        return QVariant(text());
    case Kind::NullText:
        return QVariant(QString());
    case Kind::Other:
        break;
    }
    return *word_.other;
}

} // namespace zarv::db::detail
