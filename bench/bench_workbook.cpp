// Writes and reads back a full-size verification sheet: 32,766 data rows of 14
// text cells under a heading row, and prints the times.
#include "platform/workbook/workbook.h"
#include "platform/workbook/workbookwriter.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>

namespace {

constexpr int kRows = 32766;
constexpr int kColumns = 14;

QString value(int row, int column)
{
    return QStringLiteral("R%1 C%2 %3").arg(row).arg(column).arg(QStringLiteral("0000000000").left(column % 10));
}

} // namespace

int main()
{
    QTemporaryDir dir;
    dir.setAutoRemove(qEnvironmentVariableIsEmpty("ZARV_BENCH_KEEP"));   // keep the workbook to look at
    if (!dir.isValid()) {
        std::fprintf(stderr, "no temporary folder\n");
        return 1;
    }
    const QString path = dir.filePath(QStringLiteral("MortNoBench.xlsx"));

    QStringList headings;
    QList<double> widths;
    for (int c = 1; c <= kColumns; ++c) {
        headings << QStringLiteral("HEADING %1").arg(c);
        widths << 10 + c;
    }
    std::vector<QString> values;   // made beforehand: the timing is the writer's
    values.reserve(std::size_t(kRows) * kColumns);
    for (int r = 2; r <= kRows + 1; ++r) {
        for (int c = 1; c <= kColumns; ++c)
            values.push_back(value(r, c));
    }

    QElapsedTimer timer;
    timer.start();
    zarv::xl::WorkbookWriter writer;
    bool ok = writer.create(path) && writer.addSheet(QStringLiteral("Mortgage")) && writer.setColumnWidths(widths)
              && writer.writeHeadings(headings);
    std::size_t next = 0;
    for (int r = 2; ok && r <= kRows + 1; ++r) {
        for (int c = 1; ok && c <= kColumns; ++c)
            ok = writer.writeCell(r, c, values[next++]);
    }
    ok = ok && writer.ignoreNumberStoredAsText({2, 3, kRows + 1, 7}) && writer.save();
    const qint64 writeMs = timer.elapsed();
    if (!ok) {
        std::fprintf(stderr, "%s\n", qPrintable(writer.errorText()));
        return 1;
    }

    timer.restart();
    zarv::xl::Workbook book;
    if (!book.open(path)) {
        std::fprintf(stderr, "%s\n", qPrintable(book.errorText()));
        return 1;
    }
    const qint64 openMs = timer.elapsed();
    timer.restart();
    const zarv::xl::Worksheet& sheet = *book.sheet(1);
    next = 0;
    int mismatches = 0;
    for (int r = 2; r <= kRows + 1; ++r) {
        for (int c = 1; c <= kColumns; ++c)
            mismatches += sheet.cell(r, c) == values[next++] ? 0 : 1;
    }
    const qint64 cellsMs = timer.elapsed();

    std::printf("workbook of %d x %d text cells\n", kRows, kColumns);
    std::printf("write and save:  %lld ms\n", static_cast<long long>(writeMs));
    std::printf("open and parse:  %lld ms\n", static_cast<long long>(openMs));
    std::printf("read all cells:  %lld ms (%d mismatches)\n", static_cast<long long>(cellsMs), mismatches);
    return mismatches == 0 ? 0 : 1;
}
