#pragma once
// The lines of a text file the program wrote: Windows-1252, every line ended
// by CR LF. A file that cannot be read has no lines.
#include "platform/files/textfile.h"

#include <QFile>
#include <QStringList>

namespace zarv::test {

inline QStringList writtenLines(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QString text = fs::decodeCp1252(f.readAll());
    if (text.isEmpty())
        return {};
    if (text.endsWith(QStringLiteral("\r\n")))
        text.chop(2);
    return text.split(QStringLiteral("\r\n"));
}

} // namespace zarv::test
