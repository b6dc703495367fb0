#include "tablerows.h"

#include "services/dataenvironment.h"

#include <gtest/gtest.h>

namespace zarv::test {

void addRow(db::Recordset& rs, const Fields& fields)
{
    if (!rs.isOpen())
        rs.open();
    rs.addNew();
    for (const auto& [name, value] : fields)
        rs.setValue(name, value);
    rs.move(0);
}

void addRow(const QString& table, const QStringList& fields, const QVariantList& values)
{
    Fields row;
    for (qsizetype i = 0; i < fields.size(); ++i)
        row.emplace_back(fields[i], values.value(i));
    db::Recordset rs(&DE().Zarv, table);
    addRow(rs, row);
    rs.close();
}

void addMask(db::Recordset& rs, const QString& jurCd, const QVariant& folioLen, const QString& mask,
             const QString& year)
{
    addRow(rs, {{"JUR_CD", jurCd}, {"YEAR", year}, {"FOLIO_LEN", folioLen}, {"FOLIO_MASK", mask}});
}

void addMask(const QString& jurCd, const QVariant& folioLen, const QString& mask, const QString& year)
{
    addMask(DE().rsFol_Mask(), jurCd, folioLen, mask, year);
}

namespace {

QVariantList cells(const QString& text)
{
    QVariantList out;
    for (const QString& cell : text.split(u'|'))
        out << cell;
    return out;
}

} // namespace

void addCodes(const CodeTables& codes)
{
    for (const QString& d : codes.districts)
        addRow("Collection_District", {"Collection_District_Code", "Collection_District_Name"}, cells(d));
    for (const QString& j : codes.jurisdictions)
        addRow("Jurisdiction", {"Jurisdiction_Code", "Jurisdiction_Name"}, cells(j));
    for (const QString& p : codes.pairs)
        addRow("CD_JUR", {"Collection_District_Code", "Jurisdiction_Code"}, cells(p));
    for (const QString& m : codes.masks) {
        const QVariantList c = cells(m);
        addRow("Fol_Mask", {"JUR_CD", "YEAR", "FOLIO_LEN", "FOLIO_MASK"}, {c.value(0), "2024", c.value(1), c.value(2)});
    }
}

std::vector<QVariantMap> rowsOf(const QString& sql)
{
    db::Recordset rs(&DE().Zarv, sql, db::LockType::ReadOnly);
    rs.open();
    std::vector<QVariantMap> rows;
    if (rs.recordCount() > 0) {
        for (rs.moveFirst(); !rs.eof(); rs.moveNext()) {
            QVariantMap row;
            for (int i = 0; i < rs.fieldCount(); ++i)
                row.insert(rs.fieldName(i), rs.value(i));
            rows.push_back(row);
        }
    }
    rs.close();
    return rows;
}

QStringList columnOf(const QString& sql, const QString& field)
{
    QStringList out;
    for (const QVariantMap& row : rowsOf(sql))
        out << fieldsOf(row, {field});
    return out;
}

QStringList fieldsOf(const QVariantMap& row, const QStringList& fields)
{
    QStringList out;
    for (const QString& f : fields)   // a misspelt name shows instead of passing as ""
        out << (row.contains(f) ? row.value(f).toString() : QStringLiteral("<no field %1>").arg(f));
    return out;
}

QStringList onlyRowOf(const QString& sql, const QStringList& fields)
{
    const std::vector<QVariantMap> rows = rowsOf(sql);
    EXPECT_EQ(rows.size(), 1u) << sql.toStdString();
    return rows.empty() ? QStringList() : fieldsOf(rows.front(), fields);
}

} // namespace zarv::test
