// Fuzzing the Verify.csv line reader: any line splits into fourteen fields,
// and a line written from them splits back into the same fields.
#include "platform/files/textfile.h"
#include "verification/verifycsv.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString line = zarv::fs::decodeCp1252(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
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
