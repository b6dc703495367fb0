#pragma once
// A scratch database in a temporary folder with a small schema shaped like the
// working tables, and helpers to seed and read it.
#include "platform/data/connection.h"
#include "platform/data/recordset.h"

#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "printers.h"

namespace zarv::db::test {

class DbTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        path = dir.filePath(QStringLiteral("Zarv.mdb"));
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.close();
        conn.setConnectionString(QStringLiteral("Provider=MSDASQL.1;Password=;Initial Catalog=") + path +
                                 QStringLiteral(";Mode=ReadWrite"));
        const char* schema[] = {
            "CREATE TABLE Detail (MORTCO TEXT NOT NULL DEFAULT '' COLLATE JET, CD TEXT NOT NULL DEFAULT '' COLLATE JET, "
            "FOLIO TEXT NOT NULL DEFAULT '' COLLATE JET, NAME TEXT NOT NULL DEFAULT '' COLLATE JET, "
            "PAYMENT DOUBLE NOT NULL DEFAULT 0)",
            "CREATE UNIQUE INDEX Detail_Key ON Detail (MORTCO, CD, FOLIO, NAME)",
            "CREATE TABLE \"Group\" (\"GROUP\" TEXT NOT NULL DEFAULT '' COLLATE JET, "
            "MORTCO TEXT NOT NULL DEFAULT '' COLLATE JET)",
            "CREATE TABLE Loose (T TEXT, R REAL)",
        };
        for (const char* sql : schema)
            conn.execute(QString::fromUtf8(sql));
    }

    // Adds Detail rows directly, bypassing the recordset.
    void seed(const QStringList& rows)
    {
        for (const QString& r : rows) {
            const QStringList f = r.split(u'|');
            conn.execute(QStringLiteral("INSERT INTO Detail VALUES ('%1','%2','%3','%4',%5)")
                             .arg(f[0], f[1], f[2], f[3], f.value(4, QStringLiteral("0"))));
        }
    }

    static void addDetail(Recordset& rs, const QString& mortco, const QString& cd, const QString& folio,
                          const QString& name, double payment = 0)
    {
        rs.addNew();
        rs.setValue(QStringLiteral("MORTCO"), mortco);
        rs.setValue(QStringLiteral("CD"), cd);
        rs.setValue(QStringLiteral("FOLIO"), folio);
        rs.setValue(QStringLiteral("NAME"), name);
        rs.setValue(QStringLiteral("PAYMENT"), payment);
        rs.move(0);
    }

    // One field of every row from the current one to EOF; leaves the cursor at EOF.
    static QStringList walk(Recordset& rs, const QString& field)
    {
        QStringList out;
        while (!rs.eof()) {
            out << rs.text(field);
            rs.moveNext();
        }
        return out;
    }

    static QStringList all(Recordset& rs, const QString& field)
    {
        if (rs.recordCount() == 0)
            return {};
        rs.moveFirst();
        return walk(rs, field);
    }

    long countInDatabase(const QString& where = QString()) { return countInDatabase(QStringLiteral("Detail"), where); }
    long countInDatabase(const QString& table, const QString& where)
    {
        Recordset rs(&conn, QStringLiteral("SELECT * FROM ") + table + (where.isEmpty() ? QString() : u' ' + where));
        rs.open();
        return rs.recordCount();
    }

    static inline const QString kSorted = QStringLiteral("SELECT * FROM Detail ORDER BY MORTCO, CD, FOLIO");

    QTemporaryDir dir;
    QString path;
    Connection conn{QStringLiteral("Zarv")};
};

// Runs `f` and returns the DbError number it raised, or 0.
template <typename F>
long errorOf(F&& f)
{
    try {
        f();
    } catch (const DbError& e) {
        return e.number();
    }
    return 0;
}

} // namespace zarv::db::test
