#include "services/tabledigest.h"

#include "platform/data/recordset.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QIODevice>

#include <algorithm>
#include <vector>

namespace zarv {

QByteArray TableDigest(db::Connection& connection, const QStringList& tables, const QStringList& skip)
{
    QCryptographicHash all(QCryptographicHash::Sha256);
    for (const QString& table : tables) {
        db::Recordset rs(&connection, table, db::LockType::ReadOnly);   // a table name is a source
        rs.open();
        std::vector<int> fields;
        for (int i = 0; i < rs.fieldCount(); ++i) {
            if (!skip.contains(rs.fieldName(i), Qt::CaseInsensitive))
                fields.push_back(i);
        }
        std::vector<QByteArray> rows;
        rows.reserve(size_t(std::max(0, rs.rowCount())));
        for (int row = 0; row < rs.rowCount(); ++row) {
            QByteArray bytes;
            QDataStream out(&bytes, QIODevice::WriteOnly);
            for (int f : fields)
                out << rs.valueAt(row, f);
            rows.push_back(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256));
        }
        rs.close();
        std::sort(rows.begin(), rows.end());
        all.addData(table.toUtf8());
        all.addData(QByteArray::number(qulonglong(rows.size())));
        for (const QByteArray& r : rows)
            all.addData(r);
    }
    return all.result();
}

} // namespace zarv
