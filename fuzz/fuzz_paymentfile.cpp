// Fuzzing the payment data file's reading: every line as the load reads it,
// through the line splitter and the readers of payment and group lines.
#include "paymentfile/paymentformat.h"
#include "platform/files/textfile.h"

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = zarv::fs::decodeCp1252(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    qsizetype start = 0;
    while (start <= text.size()) {
        qsizetype end = start;
        while (end < text.size() && text[end] != u'\r' && text[end] != u'\n')
            ++end;
        const QString line = text.mid(start, end - start);
        QString marker;
        try {
            (void)zarv::pf::parsePaymentLine(line, &marker);
        } catch (const std::exception&) {
            // A refused line is a normal outcome.
        }
        for (const zarv::pf::GroupLabel& label : zarv::pf::kGroupLabels)
            (void)zarv::pf::groupValue(line, label);
        if (end < text.size() && text[end] == u'\r' && end + 1 < text.size() && text[end + 1] == u'\n')
            ++end;
        start = end + 1;
    }
    return 0;
}
