#include "services/workingfolder.h"

#include "platform/data/recordset.h"
#include "services/dataenvironment.h"

#include <QDir>
#include <exception>

namespace zarv {

QString WorkingFolder()
{
    try {
        if (hasDE()) {
            db::Recordset& rs = DE().rsZarvSystem();
            if (!rs.isOpen())
                rs.open();
            if (rs.recordCount() > 0) {
                rs.moveFirst();
                const QString dir = rs.text(QStringLiteral("Dir"));
                if (!dir.trimmed().isEmpty())
                    return QDir::cleanPath(QDir(dir).absolutePath());
            }
        }
    } catch (const std::exception&) {
        // The remembered choice cannot be read: the home folder serves.
    }
    return QDir::homePath();
}

QString WorkingFilePath(const QString& fileName)
{
    return QDir(WorkingFolder()).filePath(fileName);
}

} // namespace zarv
