#pragma once
// The one comparison rule of the data layer, in the shapes the rest of it needs:
// a folded UTF-16 unit, a LIKE pattern, and the SQLite collation and LIKE
// function that apply the same rule inside the database. The collation is
// registered once on every connection and is the one Detail's columns and
// unique key are declared with; the units and patterns here apply the same
// rule to the rows a cursor holds (filter.h, rowsort.h).
#include <QChar>
#include <QString>
#include <QStringView>
#include <vector>

struct sqlite3;

namespace zarv::db::detail {

// One UTF-16 unit to its upper-case unit; letters only, never one to many.
inline char16_t foldUnit(char16_t c)
{
    if (c < 0x80)
        return (c >= u'a' && c <= u'z') ? char16_t(c - 32) : c;
    const char32_t u = QChar::toUpper(char32_t(c));
    return u > 0xFFFF ? c : char16_t(u);
}

// A compiled LIKE pattern: % and * match any run, _ one unit, [x] is x itself.
class LikePattern {
public:
    LikePattern() = default;
    // `escape` (0 for none) makes the unit after it literal, as SQL's ESCAPE does.
    explicit LikePattern(QStringView pattern, char16_t escape = 0);
    bool matches(QStringView subject) const;

private:
    enum class Kind : unsigned char { Unit, One, Run };
    struct Token {
        Kind kind;
        char16_t unit;
    };
    std::vector<Token> tokens_;
};

// Registers the collation "JET" and the LIKE functions on a database handle.
// Returns an SQLite result code.
int registerTextRule(sqlite3* db);

} // namespace zarv::db::detail
