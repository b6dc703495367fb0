#include "services/workingfolder.h"

#include "platform/data/recordset.h"
#include "services/dataenvironment.h"

#include <QDir>
#include <exception>

namespace zarv {

namespace {

// A field of the start screen's remembered choice; "" when there is none.
QString remembered(const QString& field)
{
    try {
        if (hasDE()) {
            db::Recordset& rs = DE().rsZarvSystem();
            if (!rs.isOpen())
                rs.open();
            if (rs.recordCount() > 0) {
                rs.moveFirst();
                return rs.text(field).trimmed().isEmpty() ? QString() : rs.text(field);
            }
        }
    } catch (const std::exception&) {
        // The remembered choice cannot be read: as if none was made.
    }
    return {};
}

} // namespace

QString WorkingFolder()
{
    const QString dir = remembered(QStringLiteral("Dir"));
    return dir.isEmpty() ? QDir::homePath() : QDir::cleanPath(QDir(dir).absolutePath());
}

QString WorkingFilePath(const QString& fileName)
{
    return QDir(WorkingFolder()).filePath(fileName);
}

QString WorkingFile()
{
    const QString file = remembered(QStringLiteral("File"));
    return file.isEmpty() ? QString() : QDir::toNativeSeparators(WorkingFilePath(file));
}

} // namespace zarv
