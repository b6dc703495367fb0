#include "platform/data/rowsort.h"

#include "platform/data/rowset.h"
#include "platform/data/textrule.h"
#include "platform/data/values.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

namespace zarv::db::detail {

namespace {

// Each row's values on the sort keys are written as one string of bytes whose
// byte order (memcmp) is the order wanted, ending in the rowid: sorting then
// compares bytes only. Every part is prefix-free, so two keys differ at a byte
// both have.
class KeyWriter {
public:
    explicit KeyWriter(std::vector<unsigned char>& out) : out_(out) {}

    void value(const Cell& v, TextOrder order, bool descending)
    {
        const size_t start = out_.size();
        if (v.isText())
            text(v.textView(), order);
        else
            write(v.toVariant(), order);
        if (descending) {
            for (size_t i = start; i < out_.size(); ++i)
                out_[i] = static_cast<unsigned char>(~out_[i]);
        }
    }

    void rowid(qint64 rid) { bigEndian(quint64(rid) ^ (quint64(1) << 63)); }

private:
    // Classes in SQLite's order: Null, numbers, texts, blobs.
    enum Class : unsigned char { Null = 1, Number = 2, Text = 3, Blob = 4 };

    void write(const QVariant& v, TextOrder order)
    {
        switch (storageClassOf(v)) {
        case StorageClass::Null:
            out_.push_back(Null);
            return;
        case StorageClass::Integer:
            integer(v.toLongLong());
            return;
        case StorageClass::Real: {
            const double d = v.toDouble();
            if (std::isnan(d)) {
                out_.push_back(Null);   // the database keeps no NaN: it stores Null
                return;
            }
            real(d);
            out_.push_back(1);
            return;
        }
        case StorageClass::Blob:
            blob(*static_cast<const QByteArray*>(v.constData()));
            return;
        case StorageClass::Text:
            if (v.typeId() == QMetaType::QString)
                text(*static_cast<const QString*>(v.constData()), order);
            else
                text(v.toString(), order);
            return;
        }
    }

    void bigEndian(quint64 x)
    {
        for (int shift = 56; shift >= 0; shift -= 8)
            out_.push_back(static_cast<unsigned char>(x >> shift));
    }

    // A number: the double nearest it, then whether the number lies below (0),
    // on (1) or above (2) that double; an integer off its double follows with
    // its own bits, for integers beyond 2^53 that share one double.
    void real(double d)
    {
        out_.push_back(Number);
        if (d == 0)
            d = 0;   // -0 and 0 are one value
        quint64 bits = std::bit_cast<quint64>(d);
        bits = (bits & (quint64(1) << 63)) ? ~bits : bits | (quint64(1) << 63);
        bigEndian(bits);
    }

    void integer(qint64 i)
    {
        const auto d = static_cast<double>(i);
        real(d);
        int relation = 1;
        if (d >= 9223372036854775808.0) {
            relation = 0;   // i is at most 2^63 - 1, below the double
        } else {
            const auto back = static_cast<qint64>(d);
            relation = i < back ? 0 : (i > back ? 2 : 1);
        }
        out_.push_back(static_cast<unsigned char>(relation));
        if (relation != 1)
            bigEndian(quint64(i) ^ (quint64(1) << 63));
    }

    // Units as two bytes each, a Nul unit as 00 00 FF, the end as 00 00 00:
    // a shorter text comes first, as the collations have it.
    void text(QStringView s, TextOrder order)
    {
        out_.push_back(Text);
        const auto* p = reinterpret_cast<const char16_t*>(s.constData());
        for (qsizetype i = 0; i < s.size(); ++i) {
            char16_t u = p[i];
            if (order == TextOrder::Jet)
                u = foldUnit(u);
            else if (u >= 0xD800)   // UTF-16 units in code point order, as UTF-8 bytes compare
                u = u < 0xE000 ? char16_t(u + 0x2000) : char16_t(u - 0x800);
            out_.push_back(static_cast<unsigned char>(u >> 8));
            out_.push_back(static_cast<unsigned char>(u));
            if (u == 0)
                out_.push_back(0xFF);
        }
        out_.insert(out_.end(), {0, 0, 0});
    }

    // Bytes as they are, a Nul byte as 00 FF, the end as 00 00.
    void blob(const QByteArray& b)
    {
        out_.push_back(Blob);
        for (const char c : b) {
            out_.push_back(static_cast<unsigned char>(c));
            if (c == 0)
                out_.push_back(0xFF);
        }
        out_.insert(out_.end(), {0, 0});
    }

    std::vector<unsigned char>& out_;
};

struct Entry {
    quint64 head;      // eight bytes of the key from where keys start to differ
    size_t offset;
    size_t size;
    int row;
};

} // namespace

void sortRows(std::vector<Row>& rows, const std::vector<SortKey>& keys)
{
    const size_t n = rows.size();
    if (n < 2)
        return;
    std::vector<unsigned char> bytes;
    bytes.reserve(n * 48);
    std::vector<Entry> entries(n);
    KeyWriter writer(bytes);
    for (size_t r = 0; r < n; ++r) {
        const size_t start = bytes.size();
        for (const SortKey& k : keys)
            writer.value(rows[r].values[size_t(k.field)], k.text, k.descending);
        writer.rowid(rows[r].rid);
        entries[r] = {0, start, bytes.size() - start, int(r)};
    }

    // Keys often share a long start (one group, a common word): the heads are
    // taken after it.
    size_t common = entries[0].size;
    const unsigned char* first = bytes.data();
    for (size_t r = 1; r < n && common > 0; ++r) {
        const unsigned char* other = bytes.data() + entries[r].offset;
        size_t i = 0;
        const size_t limit = std::min<size_t>(common, entries[r].size);
        while (i < limit && first[i] == other[i])
            ++i;
        common = i;
    }
    for (Entry& e : entries) {
        quint64 head = 0;
        for (size_t i = 0; i < 8; ++i) {
            const size_t at = common + i;
            head = (head << 8) | (at < e.size ? bytes[e.offset + at] : 0);
        }
        e.head = head;
    }
    const size_t skip = common + 8;
    std::sort(entries.begin(), entries.end(), [&](const Entry& a, const Entry& b) {
        if (a.head != b.head)
            return a.head < b.head;
        const size_t la = a.size > skip ? a.size - skip : 0;
        const size_t lb = b.size > skip ? b.size - skip : 0;
        const int c = std::memcmp(bytes.data() + a.offset + skip, bytes.data() + b.offset + skip, std::min(la, lb));
        return c != 0 ? c < 0 : la < lb;
    });

    std::vector<Row> sorted;
    sorted.reserve(n);
    for (const Entry& e : entries)
        sorted.push_back(std::move(rows[size_t(e.row)]));
    rows = std::move(sorted);
}

} // namespace zarv::db::detail
