#include "verification/verifycsv.h"
#include "services/activitylog.h"

#include "platform/data/recordset.h"
#include "platform/files/textfile.h"
#include "platform/text/csv.h"
#include "platform/text/vb.h"
#include "services/clientdata.h"
#include "services/workingfolder.h"

#include <QDir>
#include <vector>

namespace zarv::verifycsv {

namespace {

const QChar kComma = QLatin1Char(',');

} // namespace

const std::array<QString, kFieldCount>& fieldNames()
{
    static const std::array<QString, kFieldCount> names = {
        QStringLiteral("ACD"),   QStringLiteral("MORTCO"), QStringLiteral("NUMBER"), QStringLiteral("CD"),
        QStringLiteral("JUR"),   QStringLiteral("FOLIO"),  QStringLiteral("PID"),    QStringLiteral("NAME"),
        QStringLiteral("ADDR1"), QStringLiteral("ADDR2"),  QStringLiteral("ADDR3"),  QStringLiteral("ADDR4"),
        QStringLiteral("ADDR5"), QStringLiteral("LEGAL"),
    };
    return names;
}

const std::array<int, kFieldCount>& fieldWidths()
{
    static const std::array<int, kFieldCount> widths = {1, 4, 12, 2, 3, 18, 9, 70, 30, 30, 30, 30, 30, 32};
    return widths;
}

QString VerifyCsvPath()
{
    return WorkingFilePath(kFileName);
}

QString ExportedValue(const QString& value)
{
    return CsvValue(value);
}

QString VerifyCsvLine(const QStringList& values)
{
    QStringList fields = values.mid(0, kFieldCount);
    while (fields.size() < kFieldCount)
        fields.append(QString());
    return CsvLine(fields);
}

QStringList SplitVerifyCsvLine(const QString& line, int count)
{
    return csv::split(line, count);
}

bool LineShowsAcd(const QString& line)
{
    if (line.startsWith(kComma))
        return true;
    const QString two = vb::Left(line, 2);
    return two == QLatin1String("D,") || two == QLatin1String("C,") || two == QLatin1String("A,") ||
           two == QLatin1String(" ,");
}

long WriteVerifyCsv(db::Recordset& rs, const QString& path, QString& strStep, const ExportProgress& progress)
{
    strStep = QStringLiteral("  2 Open Verify.csv");
    fs::LineWriter out;
    if (!out.open(path))
        throw CsvError(out.errorString());

    strStep = QStringLiteral("  3");
    long counter = 0;
    strStep = QStringLiteral("  4");
    const std::unique_ptr<db::Recordset> rows = rs.clone();
    const long total = rows->recordCount();
    strStep = QStringLiteral(" 32");
    if (total >= 1) {
        std::vector<int> fields;
        for (const QString& name : fieldNames()) {
            const int at = rows->fieldIndex(name);
            if (at < 0)
                throw db::DbError(db::DbError::ItemNotFound,
                                  QStringLiteral("Item cannot be found in the collection: ") + name);
            fields.push_back(at);
        }
        strStep = QStringLiteral(" 33");
        rows->moveFirst();
        strStep = QStringLiteral(" 34");
        QStringList values;
        while (!rows->eof()) {
            ++counter;
            if (counter % 200 == 0 && progress)
                progress(counter, total);
            strStep = QStringLiteral(" 61");
            values.clear();
            for (int f : fields)
                values.append(rows->value(f).toString());
            out.writeLine(VerifyCsvLine(values));
            strStep = QStringLiteral(" 62 ");
            rows->moveNext();
            strStep = QStringLiteral(" 63");
        }
    }
    strStep = QStringLiteral(" 65");
    if (!out.commit())
        throw CsvError(out.errorString());
    LogFile(path, QStringLiteral("exported"), QStringLiteral("%1 folios").arg(counter));
    return counter;
}

} // namespace zarv::verifycsv
