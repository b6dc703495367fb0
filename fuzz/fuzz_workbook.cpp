// Fuzzing the workbook reader. An input that starts like a zip file is read
// as a whole package; any other input is a worksheet's XML (and, after a line
// "--", the shared strings' XML) inside an otherwise sound package.
#include "platform/workbook/workbook.h"

#include <QByteArray>
#include <QDir>
#include <QString>

#include <zip.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <unistd.h>

namespace {

const char kContentTypes[] =
    R"(<?xml version="1.0" encoding="UTF-8"?><Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">)"
    R"(<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>)"
    R"(<Default Extension="xml" ContentType="application/xml"/></Types>)";
const char kRootRels[] =
    R"(<?xml version="1.0" encoding="UTF-8"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
    R"(<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="xl/workbook.xml"/></Relationships>)";
const char kWorkbook[] =
    R"(<?xml version="1.0" encoding="UTF-8"?><workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" )"
    R"(xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships"><sheets><sheet name="Mortgage" sheetId="1" r:id="rId1"/></sheets></workbook>)";
const char kWorkbookRels[] =
    R"(<?xml version="1.0" encoding="UTF-8"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
    R"(<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/sheet1.xml"/>)"
    R"(<Relationship Id="rId2" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings" Target="sharedStrings.xml"/></Relationships>)";

// The source owns the copy once it holds bytes; libzip takes no ownership of
// a buffer for an empty source, so an empty part is given none.
bool add(zip_t* z, const char* name, const QByteArray& bytes)
{
    void* copy = nullptr;
    if (!bytes.isEmpty()) {
        copy = malloc(size_t(bytes.size()));
        if (!copy)
            return false;
        memcpy(copy, bytes.constData(), size_t(bytes.size()));
    }
    zip_source_t* source = zip_source_buffer(z, copy, zip_uint64_t(bytes.size()), 1);
    if (!source) {
        free(copy);
        return false;
    }
    if (zip_file_add(z, name, source, ZIP_FL_OVERWRITE) < 0) {
        zip_source_free(source);
        return false;
    }
    return true;
}

// The package of one input, removed when the input is done with.
struct TemporaryPackage {
    QByteArray path;
    ~TemporaryPackage() { unlink(path.constData()); }
};

bool writePackage(const QByteArray& path, const QByteArray& sheet, const QByteArray& strings)
{
    int error = 0;
    zip_t* z = zip_open(path.constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!z)
        return false;
    const bool ok = add(z, "[Content_Types].xml", kContentTypes) && add(z, "_rels/.rels", kRootRels)
                    && add(z, "xl/workbook.xml", kWorkbook) && add(z, "xl/_rels/workbook.xml.rels", kWorkbookRels)
                    && add(z, "xl/worksheets/sheet1.xml", sheet) && add(z, "xl/sharedStrings.xml", strings);
    if (!ok) {
        zip_discard(z);
        return false;
    }
    return zip_close(z) == 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const TemporaryPackage package{QDir::tempPath().toLocal8Bit() + "/zarv-fuzz-" +
                                   QByteArray::number(qint64(::getpid())) + ".xlsx"};
    const QByteArray& path = package.path;
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    if (input.startsWith("PK")) {
        FILE* f = fopen(path.constData(), "wb");
        if (!f)
            return 0;
        fwrite(input.constData(), 1, size_t(input.size()), f);
        fclose(f);
    } else {
        const qsizetype cut = input.indexOf("\n--\n");
        const QByteArray sheet = cut < 0 ? input : input.left(cut);
        const QByteArray strings = cut < 0 ? QByteArray("<sst/>") : input.mid(cut + 4);
        if (!writePackage(path, sheet, strings))
            return 0;
    }
    // Read whole and read in slices cut after every item, a workbook gives the
    // same cells, or is refused both ways.
    zarv::xl::ReadLimits whole;
    whole.sliceBytes = 0;
    zarv::xl::ReadLimits slices;
    slices.sliceBytes = 1;
    zarv::xl::Workbook book;
    zarv::xl::Workbook sliced;
    const bool opened = book.open(QString::fromLocal8Bit(path), whole);
    if (sliced.open(QString::fromLocal8Bit(path), slices) != opened)
        abort();
    if (opened) {
        if (sliced.sheetCount() != book.sheetCount())
            abort();
        for (int s = 1; s <= book.sheetCount(); ++s) {
            const zarv::xl::Worksheet* sheet = book.sheet(s);
            const zarv::xl::Worksheet* other = sliced.sheet(s);
            if (other->lastRow() != sheet->lastRow() || other->lastColumn() != sheet->lastColumn()
                || other->faults() != sheet->faults())
                abort();
            for (int r = 1; r <= std::min(sheet->lastRow(), 50); ++r)
                for (int c = 1; c <= 20; ++c)
                    if (sheet->cell(r, c) != other->cell(r, c))
                        abort();
        }
    }
    return 0;
}
