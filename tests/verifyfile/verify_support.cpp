#include "verify_support.h"

#include "platform/data/recordset.h"
#include "platform/workbook/workbookwriter.h"
#include "services/dataenvironment.h"

#include <QFile>
#include <QMap>
#include <QRegularExpression>

#include <cstdlib>
#include <cstring>
#include <zip.h>

namespace zarv::test {

namespace {

void writeSheet(xl::WorkbookWriter& w, const QString& name, const Rows& rows)
{
    ASSERT_TRUE(w.addSheet(name)) << w.errorText().toStdString();
    for (size_t r = 0; r < rows.size(); ++r) {
        for (qsizetype c = 0; c < rows[r].size(); ++c)
            ASSERT_TRUE(w.writeCell(int(r) + 1, int(c) + 1, rows[r][c])) << w.errorText().toStdString();
    }
}

} // namespace

void addCodes(Book& book, const CodeTables& codes)
{
    const std::pair<const QStringList*, Rows*> sheets[] = {{&codes.districts, &book.districts},
                                                           {&codes.jurisdictions, &book.jurisdictions},
                                                           {&codes.pairs, &book.combos},
                                                           {&codes.masks, &book.folioMask}};
    for (const auto& [rows, sheet] : sheets) {
        for (const QString& row : *rows)
            sheet->push_back(row.split(u'|'));
    }
}

void writeBook(const QString& path, const Book& book)
{
    xl::WorkbookWriter w;
    ASSERT_TRUE(w.create(path)) << w.errorText().toStdString();
    const std::vector<std::pair<QString, const Rows*>> sheets = {
        {"Mortgage", &book.mortgage},
        {"Folio Mask", &book.folioMask},
        {"Collection District", &book.districts},
        {"Jurisdiction", &book.jurisdictions},
        {"Collection Jurisdiction Combo", &book.combos},
    };
    for (int i = 0; i < book.sheets; ++i) {
        const auto& [name, rows] = sheets[size_t(book.order[size_t(i)])];
        writeSheet(w, book.named ? name : QString("Sheet%1").arg(i + 1), *rows);
    }
    ASSERT_TRUE(w.save()) << w.errorText().toStdString();
}

ui::ExpectedBox infoBox(const ui::TextMatch& text)
{
    return {text, ui::Answer::OK, ui::Icon::Information, ui::Buttons::OK, ui::UiServices::appTitle()};
}

ui::ExpectedBox criticalBox(const ui::TextMatch& text)
{
    return {text, ui::Answer::OK, ui::Icon::Critical, ui::Buttons::OK, ui::UiServices::appTitle()};
}

QByteArray zipPart(const QString& path, const QString& part)
{
    int error = 0;
    zip_t* archive = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &error);
    const QByteArray name = part.toUtf8();
    zip_stat_t stat;
    zip_file_t* file = archive && zip_stat(archive, name.constData(), 0, &stat) == 0
                           ? zip_fopen(archive, name.constData(), 0) : nullptr;
    QByteArray content;
    if (file != nullptr) {
        content.resize(qsizetype(stat.size));
        if (zip_fread(file, content.data(), stat.size) != zip_int64_t(stat.size))
            content.clear();
        zip_fclose(file);
    }
    if (archive)
        zip_discard(archive);
    return content;
}

void replaceCell(const QString& path, int position, const QString& reference, const QString& cellXml)
{
    const QString partName = QStringLiteral("xl/worksheets/sheet%1.xml").arg(position);
    QString xml = QString::fromUtf8(zipPart(path, partName));
    ASSERT_FALSE(xml.isEmpty()) << partName.toStdString();
    const QString row = reference.mid(reference.indexOf(QRegularExpression(QStringLiteral("[0-9]"))));
    const QRegularExpression cell(QStringLiteral("<c r=\"%1\"[^>]*?(/>|>.*?</c>)").arg(reference));
    const QRegularExpression rowEnd(QStringLiteral("(<row r=\"%1\"[^>]*?>.*?)(</row>)").arg(row));
    if (xml.contains(cell))
        xml.replace(cell, cellXml);
    else if (xml.contains(rowEnd))
        xml.replace(rowEnd, QStringLiteral("\\1") + cellXml + QStringLiteral("\\2"));
    else
        xml.replace(QStringLiteral("</sheetData>"), QStringLiteral("<row r=\"%1\">%2</row></sheetData>").arg(row, cellXml));

    int error = 0;
    zip_t* archive = zip_open(QFile::encodeName(path).constData(), 0, &error);
    ASSERT_NE(archive, nullptr) << path.toStdString();
    const QByteArray changed = xml.toUtf8();
    void* copy = std::malloc(size_t(changed.size()));
    std::memcpy(copy, changed.constData(), size_t(changed.size()));
    zip_source_t* source = zip_source_buffer(archive, copy, zip_uint64_t(changed.size()), 1);
    const bool added = source != nullptr && zip_file_add(archive, partName.toUtf8().constData(), source,
                                                         ZIP_FL_OVERWRITE) >= 0;
    if (!added) {
        zip_source_free(source);
        zip_discard(archive);
    }
    EXPECT_TRUE(added && zip_close(archive) == 0) << partName.toStdString();
}

QStringList folioRow(const QString& cells)
{
    QStringList row = cells.split(u'|');
    while (row.size() < 14)
        row << QString();
    return row;
}

QStringList tableRows(const QString& source, const QStringList& fields)
{
    db::Recordset rs(&DE().Zarv, source, db::LockType::ReadOnly);
    rs.open();
    QStringList out;
    while (!rs.eof()) {
        QStringList values;
        for (const QString& f : fields)
            values << rs.text(f);
        out << values.join(u'|');
        rs.moveNext();
    }
    return out;
}

long tableCount(const QString& table)
{
    db::Recordset rs(&DE().Zarv, table, db::LockType::ReadOnly);
    rs.open();
    return rs.recordCount();
}

QStringList storedRows(const QString& table, const QStringList& fields)
{
    static const QMap<QString, QStringList> loaded = {
        {"VERIFY", kVerifyFields},
        {"Fol_Mask", {"JUR_CD", "YEAR", "FOLIO_LEN", "FOLIO_MASK"}},
        {"Collection_District", {"Collection_District_Code", "Collection_District_Name"}},
        {"Jurisdiction", {"Jurisdiction_Code", "Jurisdiction_Name"}},
        {"CD_JUR", {"Collection_District_Code", "Jurisdiction_Code"}},
    };
    const QString source = "SELECT * FROM " + table + " ORDER BY rowid";
    return tableRows(source, fields.isEmpty() ? loaded.value(table) : fields);
}

void addVerifyRow(const QString& cells)
{
    const QStringList parts = folioRow(cells);
    QVariantList values;
    for (const QString& p : parts)
        values << p;
    addRow("VERIFY", kVerifyFields, values);
}

} // namespace zarv::test
