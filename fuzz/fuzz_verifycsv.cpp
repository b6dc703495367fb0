// Fuzzing the Verify.csv line reader: any line splits into fourteen fields,
// and a line written from them splits back into the same fields. The input as
// a whole file: the reader takes it, and a file it does not refuse has no line
// whose quote is left open.
#include "platform/files/csvfile.h"
#include "platform/files/textfile.h"
#include "platform/text/csv.h"
#include "verification/verifycsv.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    zarv::fs::CsvReader file;
    file.open(bytes);
    QString fileLine;
    while (file.readLine(fileLine)) {
        if (file.fault() == zarv::fs::CsvReader::Fault::None && zarv::csv::unclosedQuote(fileLine) >= 0)
            std::abort();
    }
    if (file.lineNumber() != file.lineCount())
        std::abort();
    const QString line = zarv::fs::decodeCp1252(bytes);
    const int count = 14;
    const QStringList fields = zarv::verifycsv::SplitVerifyCsvLine(line, count);
    if (fields.size() != count)
        std::abort();
    (void)zarv::verifycsv::LineShowsAcd(line.toUpper());
    QStringList cleared;
    for (const QString& f : fields)
        cleared << zarv::verifycsv::ExportedValue(f);
    const QString written = zarv::verifycsv::VerifyCsvLine(fields);
    if (!written.contains(u'\r') && !written.contains(u'\n') && zarv::verifycsv::SplitVerifyCsvLine(written, count) != cleared)
        std::abort();
    return 0;
}
