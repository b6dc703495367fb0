#include "platform/data/textrule.h"

#include "platform/data/connection.h"

#include <sqlite3.h>

namespace zarv::db {

int compareText(const QString& a, const QString& b)
{
    const qsizetype n = std::min(a.size(), b.size());
    const auto* pa = reinterpret_cast<const char16_t*>(a.utf16());
    const auto* pb = reinterpret_cast<const char16_t*>(b.utf16());
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t ca = detail::foldUnit(pa[i]);
        const char16_t cb = detail::foldUnit(pb[i]);
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

QString foldText(const QString& s)
{
    QString out(s.size(), Qt::Uninitialized);
    const auto* in = reinterpret_cast<const char16_t*>(s.utf16());
    char16_t* dst = reinterpret_cast<char16_t*>(out.data());
    for (qsizetype i = 0; i < s.size(); ++i)
        dst[i] = detail::foldUnit(in[i]);
    return out;
}

namespace detail {

LikePattern::LikePattern(QStringView pattern, char16_t escape)
{
    const qsizetype n = pattern.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = pattern[i].unicode();
        if (escape != 0 && c == escape && i + 1 < n) {
            tokens_.push_back({Kind::Unit, foldUnit(pattern[++i].unicode())});
        } else if (c == u'%' || c == u'*') {
            if (tokens_.empty() || tokens_.back().kind != Kind::Run)
                tokens_.push_back({Kind::Run, 0});
        } else if (c == u'_') {
            tokens_.push_back({Kind::One, 0});
        } else if (c == u'[' && i + 2 < n && pattern[i + 2] == u']') {
            tokens_.push_back({Kind::Unit, foldUnit(pattern[i + 1].unicode())});
            i += 2;
        } else {
            tokens_.push_back({Kind::Unit, foldUnit(c)});
        }
    }
}

bool LikePattern::matches(QStringView subject) const
{
    // Glob matching with one back-track point: the most recent run.
    const size_t m = tokens_.size();
    const qsizetype n = subject.size();
    size_t p = 0;
    qsizetype s = 0;
    size_t runAt = size_t(-1);
    qsizetype runFrom = 0;
    while (s < n) {
        if (p < m && tokens_[p].kind == Kind::Run) {
            runAt = p++;
            runFrom = s;
        } else if (p < m && (tokens_[p].kind == Kind::One ||
                             tokens_[p].unit == foldUnit(subject[s].unicode()))) {
            ++p;
            ++s;
        } else if (runAt != size_t(-1)) {
            p = runAt + 1;
            s = ++runFrom;
        } else {
            return false;
        }
    }
    while (p < m && tokens_[p].kind == Kind::Run)
        ++p;
    return p == m;
}

namespace {

int collateUtf8(void*, int n1, const void* s1, int n2, const void* s2)
{
    // Every unique-key check compares a handful of short ASCII texts: bytes
    // below 0x80 are their own UTF-16 units, so the common prefix is compared
    // directly and only what follows the first other byte is decoded.
    const auto* p1 = static_cast<const unsigned char*>(s1);
    const auto* p2 = static_cast<const unsigned char*>(s2);
    const int n = std::min(std::max(n1, 0), std::max(n2, 0));
    int i = 0;
    for (; i < n; ++i) {
        const unsigned c1 = p1[i];
        const unsigned c2 = p2[i];
        if ((c1 | c2) >= 0x80)
            break;
        if (c1 == c2)
            continue;
        const char16_t f1 = foldUnit(char16_t(c1));
        const char16_t f2 = foldUnit(char16_t(c2));
        if (f1 != f2)
            return f1 < f2 ? -1 : 1;
    }
    if (i == n)
        return n1 == n2 ? 0 : (n1 < n2 ? -1 : 1);
    // The rest is decoded as the program decodes every text it reads, so that
    // bytes that are no UTF-8 compare here as they do in memory.
    const QString a = QString::fromUtf8(reinterpret_cast<const char*>(p1 + i), n1 - i);
    const QString b = QString::fromUtf8(reinterpret_cast<const char*>(p2 + i), n2 - i);
    return compareText(a, b);
}

int collateUtf16(void*, int n1, const void* s1, int n2, const void* s2)
{
    const QStringView a(static_cast<const char16_t*>(s1), n1 / 2);
    const QStringView b(static_cast<const char16_t*>(s2), n2 / 2);
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t ca = foldUnit(a[i].unicode());
        const char16_t cb = foldUnit(b[i].unicode());
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

QString valueText(sqlite3_value* v)
{
    return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_value_text(v)), sqlite3_value_bytes(v));
}

// like(pattern, subject [, escape]): what "subject LIKE pattern" calls.
void likeFunction(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    for (int i = 0; i < argc; ++i) {
        if (sqlite3_value_type(argv[i]) == SQLITE_NULL) {
            sqlite3_result_null(ctx);
            return;
        }
    }
    char16_t escape = 0;
    if (argc == 3) {
        const QString e = valueText(argv[2]);
        if (e.size() != 1) {
            sqlite3_result_error(ctx, "ESCAPE expression must be a single character", -1);
            return;
        }
        escape = e[0].unicode();
    }
    const LikePattern pattern(valueText(argv[0]), escape);
    sqlite3_result_int(ctx, pattern.matches(valueText(argv[1])) ? 1 : 0);
}

} // namespace

int registerTextRule(sqlite3* db)
{
    int rc = sqlite3_create_collation_v2(db, "JET", SQLITE_UTF8, nullptr, collateUtf8, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_create_collation_v2(db, "JET", SQLITE_UTF16, nullptr, collateUtf16, nullptr);
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    if (rc == SQLITE_OK)
        rc = sqlite3_create_function_v2(db, "like", 2, flags, nullptr, likeFunction, nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_create_function_v2(db, "like", 3, flags, nullptr, likeFunction, nullptr, nullptr, nullptr);
    return rc;
}

} // namespace detail
} // namespace zarv::db
