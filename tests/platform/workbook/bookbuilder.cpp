#include "bookbuilder.h"

#include <QFile>
#include <algorithm>
#include <zip.h>

namespace zarv::xl::test {

namespace {

struct Names {
    const char* main;
    const char* rel;
};

Names namesOf(BookBuilder::Flavour flavour)
{
    if (flavour == BookBuilder::Flavour::Strict)
        return {"http://purl.oclc.org/ooxml/spreadsheetml/main", "http://purl.oclc.org/ooxml/officeDocument/relationships"};
    return {"http://schemas.openxmlformats.org/spreadsheetml/2006/main",
            "http://schemas.openxmlformats.org/officeDocument/2006/relationships"};
}

const char* kHeader = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";

} // namespace

bool writeZip(const QString& path, const QList<Part>& parts)
{
    int error = 0;
    zip_t* archive = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (archive == nullptr)
        return false;
    for (const Part& part : parts) {
        // The source takes no ownership (freep 0): the list outlives zip_close.
        zip_source_t* source = zip_source_buffer(archive, part.content.constData(), zip_uint64_t(part.content.size()), 0);
        if (source == nullptr || zip_file_add(archive, part.name.toUtf8().constData(), source, ZIP_FL_ENC_UTF_8) < 0) {
            zip_source_free(source);
            zip_discard(archive);
            return false;
        }
    }
    return zip_close(archive) == 0;
}

QList<Part> readZip(const QString& path)
{
    int error = 0;
    zip_t* archive = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &error);
    if (archive == nullptr)
        return {};
    QList<Part> parts;
    for (zip_uint64_t i = 0; i < zip_uint64_t(zip_get_num_entries(archive, 0)); ++i) {
        zip_stat_t stat;
        zip_file_t* file = zip_stat_index(archive, i, 0, &stat) == 0 ? zip_fopen_index(archive, i, 0) : nullptr;
        QByteArray content(file ? qsizetype(stat.size) : 0, '\0');
        if (file && zip_fread(file, content.data(), stat.size) != zip_int64_t(stat.size))
            content.clear();
        if (file)
            zip_fclose(file);
        parts.append({QString::fromUtf8(zip_get_name(archive, i, 0)), content});
    }
    zip_discard(archive);
    return parts;
}

QByteArray readZipPart(const QString& path, const QString& partName)
{
    for (const Part& part : readZip(path)) {
        if (part.name == partName)
            return part.content;
    }
    return {};
}

QList<Part> withPart(QList<Part> parts, const QString& partName, const std::function<QByteArray(QByteArray)>& change)
{
    for (Part& p : parts) {
        if (p.name == partName)
            p.content = change(p.content);
    }
    return parts;
}

BookBuilder& BookBuilder::sheet(const QString& name, const QString& rowsXml)
{
    sheets_.append({name, rowsXml, false});
    return *this;
}

BookBuilder& BookBuilder::chartSheet(const QString& name)
{
    sheets_.append({name, QString(), true});
    return *this;
}

BookBuilder& BookBuilder::sharedStrings(const QString& itemsXml)
{
    shared_ = itemsXml;
    hasShared_ = true;
    return *this;
}

BookBuilder& BookBuilder::scrambled()
{
    scrambled_ = true;
    return *this;
}

QString BookBuilder::partFolderName(int index) const
{
    const int number = scrambled_ ? int(sheets_.size()) - index : index + 1;
    return sheets_[index].chart ? QStringLiteral("chartsheets/sheet%1.xml").arg(number)
                                : QStringLiteral("worksheets/sheet%1.xml").arg(number);
}

QList<Part> BookBuilder::parts() const
{
    const Names ns = namesOf(flavour_);
    const QString relBase = flavour_ == Flavour::Strict ? QStringLiteral("http://purl.oclc.org/ooxml/officeDocument/relationships/")
                                                       : QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/relationships/");
    QString book = QString::fromLatin1(kHeader) + QStringLiteral("<workbook xmlns=\"%1\" xmlns:r=\"%2\"><sheets>").arg(ns.main, ns.rel);
    QString rels = QString::fromLatin1(kHeader)
        + QStringLiteral("<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">");
    QList<Part> sheetParts;
    for (int i = 0; i < sheets_.size(); ++i) {
        const Sheet& s = sheets_[i];
        book += QStringLiteral("<sheet name=\"%1\" sheetId=\"%2\" r:id=\"rId%2\"/>").arg(s.name).arg(i + 1);
        const QString target = (scrambled_ ? QStringLiteral("/xl/") : QString()) + partFolderName(i);
        rels += QStringLiteral("<Relationship Id=\"rId%1\" Type=\"%2%3\" Target=\"%4\"/>")
                    .arg(i + 1).arg(relBase, s.chart ? QStringLiteral("chartsheet") : QStringLiteral("worksheet"), target);
        const QString xml = s.chart ? QStringLiteral("<chartsheet xmlns=\"%1\"/>").arg(ns.main)
                                    : QStringLiteral("<worksheet xmlns=\"%1\"><sheetData>%2</sheetData></worksheet>").arg(ns.main, s.body);
        sheetParts.append({QStringLiteral("xl/") + partFolderName(i), (QString::fromLatin1(kHeader) + xml).toUtf8()});
    }
    book += QStringLiteral("</sheets></workbook>");
    if (hasShared_)
        rels += QStringLiteral("<Relationship Id=\"rIdS\" Type=\"%1sharedStrings\" Target=\"sharedStrings.xml\"/>").arg(relBase);
    rels += QStringLiteral("</Relationships>");

    QList<Part> parts;
    parts.append({QStringLiteral("[Content_Types].xml"),
                  QByteArray(kHeader) + "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
                  "<Default Extension=\"xml\" ContentType=\"application/xml\"/></Types>"});
    parts.append({QStringLiteral("xl/workbook.xml"), book.toUtf8()});
    parts.append({QStringLiteral("xl/_rels/workbook.xml.rels"), rels.toUtf8()});
    if (hasShared_) {
        parts.append({QStringLiteral("xl/sharedStrings.xml"),
                      (QString::fromLatin1(kHeader) + QStringLiteral("<sst xmlns=\"%1\">%2</sst>").arg(ns.main, shared_)).toUtf8()});
    }
    if (scrambled_)
        std::reverse(sheetParts.begin(), sheetParts.end());
    parts.append(sheetParts);
    return parts;
}

} // namespace zarv::xl::test
