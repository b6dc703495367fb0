#pragma once
// Readable Qt values in test failure messages.
#include <QByteArray>
#include <QRect>
#include <QString>
#include <QStringList>
#include <ostream>

inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

inline void PrintTo(const QStringList& list, std::ostream* os)
{
    *os << "{";
    for (qsizetype i = 0; i < list.size(); ++i) {
        *os << (i ? ",\n  " : "\n  ");
        PrintTo(list[i], os);
    }
    *os << " }";
}

// A rectangle as "x,y wxh".
inline std::ostream& operator<<(std::ostream& os, const QRect& r)
{
    return os << r.x() << ',' << r.y() << ' ' << r.width() << 'x' << r.height();
}

inline void PrintTo(const QRect& r, std::ostream* os)
{
    *os << r;
}

inline void PrintTo(const QByteArray& b, std::ostream* os)
{
    *os << b.size() << " bytes";
}
