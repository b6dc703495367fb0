#pragma once
// The lines of a text file the program wrote: Windows-1252, every line ended
// by CR LF. A file that cannot be read, or whose last line has no end, fails
// the test; it has no lines.
#include "platform/files/textfile.h"

#include <QFile>
#include <QStringList>
#include <gtest/gtest.h>

namespace zarv::test {

inline QStringList writtenLines(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << path.toStdString() << ": " << f.errorString().toStdString();
        return {};
    }
    QString text = fs::decodeCp1252(f.readAll());
    if (text.isEmpty())
        return {};
    if (!text.endsWith(QStringLiteral("\r\n"))) {
        ADD_FAILURE() << path.toStdString() << ": the last line has no CR LF";
        return {};
    }
    text.chop(2);
    return text.split(QStringLiteral("\r\n"));
}

} // namespace zarv::test
