#pragma once
// One value a row holds, in 16 bytes where a QVariant takes 32: a million rows
// of fifteen fields are 240 MB less. It gives back exactly the QVariant it was
// made from (class, Null or empty text, and a text's own storage, shared and
// not copied); numbers and texts can be read without making a QVariant.
//
// A text keeps a reference to its QString's storage, taken and released
// through QString's data pointer: the storage's header, where the characters
// start in it, and their count fit in the 16 bytes. A text whose characters lie
// far into their storage is copied first; a value of any other class is held
// as a QVariant of its own.
//
// Qt 6's string storage (QArrayDataPointer, QTypedArrayData) is the only part of
// Qt this leans on beyond its documented classes; cell_test holds what it relies on.
#include <QString>
#include <QVariant>
#include <QtGlobal>

static_assert(QT_VERSION_MAJOR == 6, "Cell holds a QString's Qt 6 storage directly");

namespace zarv::db::detail {

class Cell {
public:
    enum class Kind : quint8 {
        Null,       // QVariant()
        Integer,    // qlonglong
        Real,       // double
        Text,       // a QString with storage of its own
        RawText,    // a QString over characters it does not own (a literal, the empty text)
        NullText,   // QString()
        Other,      // any other QVariant
    };

    Cell() noexcept : word_{nullptr}, size_(0), offset_(0), kind_(quint32(Kind::Null)) {}
    explicit Cell(const QVariant& v);
    explicit Cell(QVariant&& v);   // takes over a text's reference instead of adding one
    explicit Cell(const QString& s) : Cell() { setText(s); }
    explicit Cell(QString&& s) : Cell() { adoptText(std::move(s)); }
    static Cell integer(qint64 i) noexcept
    {
        Cell c;
        c.word_.i = i;
        c.kind_ = quint32(Kind::Integer);
        return c;
    }
    static Cell real(double d) noexcept
    {
        Cell c;
        c.word_.r = d;
        c.kind_ = quint32(Kind::Real);
        return c;
    }

    Cell(const Cell& o) : word_(o.word_), size_(o.size_), offset_(o.offset_), kind_(o.kind_) { retain(); }
    Cell(Cell&& o) noexcept : word_(o.word_), size_(o.size_), offset_(o.offset_), kind_(o.kind_) { o.kind_ = quint32(Kind::Null); }
    Cell& operator=(const Cell& o)
    {
        if (this != &o) {
            Cell copy(o);
            swap(copy);
        }
        return *this;
    }
    Cell& operator=(Cell&& o) noexcept
    {
        Cell moved(std::move(o));
        swap(moved);
        return *this;
    }
    ~Cell() { release(); }
    void swap(Cell& o) noexcept
    {
        std::swap(word_, o.word_);
        const quint32 size = size_, offset = offset_, kind = kind_;
        size_ = o.size_;
        offset_ = o.offset_;
        kind_ = o.kind_;
        o.size_ = size;
        o.offset_ = offset;
        o.kind_ = kind;
    }

    Kind kind() const noexcept { return Kind(kind_); }
    // A QString that is not null: its characters are textView().
    bool isText() const noexcept { return kind() == Kind::Text || kind() == Kind::RawText; }
    QStringView textView() const noexcept
    {
        return isText() ? QStringView(chars(), qsizetype(size_)) : QStringView();
    }
    // The text as a QString sharing the storage; a null QString unless isText().
    QString text() const;
    qint64 integerValue() const noexcept
    {
        Q_ASSERT(kind() == Kind::Integer);
        return word_.i;
    }
    double realValue() const noexcept
    {
        Q_ASSERT(kind() == Kind::Real);
        return word_.r;
    }
    // Two cells over the very same characters.
    bool sameStorage(const Cell& o) const noexcept
    {
        return isText() && o.isText() && chars() == o.chars() && size_ == o.size_;
    }

    QVariant toVariant() const;

private:
    union Word {
        QArrayData* header;     // Text
        const char16_t* raw;    // RawText
        qint64 i;               // Integer
        double r;               // Real
        QVariant* other;        // Other
    };

    void hold(const QVariant& v);   // any value but a text
    void setText(const QString& s);
    void adoptText(QString&& s);
    // Points the cell at the text's characters; true when it is then to hold a
    // reference to their storage (setText adds one, adoptText takes the string's).
    bool pointAt(const QString& s);
    const char16_t* chars() const noexcept
    {
        if (kind() == Kind::RawText)
            return word_.raw;
        return QTypedArrayData<char16_t>::dataStart(word_.header, alignof(QTypedArrayData<char16_t>::AlignmentDummy)) +
               offset_;
    }
    void retain()
    {
        if (kind() == Kind::Text)
            word_.header->ref();
        else if (kind() == Kind::Other)
            word_.other = new QVariant(*word_.other);
    }
    void release() noexcept
    {
        if (kind() == Kind::Text) {
            if (!word_.header->deref())
                QTypedArrayData<char16_t>::deallocate(word_.header);
        } else if (kind() == Kind::Other) {
            delete word_.other;
        }
    }

    Word word_;
    quint32 size_;          // a text's length
    quint32 offset_ : 24;   // where a Text's characters start in its storage, in characters
    quint32 kind_ : 8;
};

static_assert(sizeof(Cell) == 16);

inline void swap(Cell& a, Cell& b) noexcept
{
    a.swap(b);
}

} // namespace zarv::db::detail
