// Times the recordset paths the payment screens lean on: filling Detail row by
// row (AddNew, fields, Move 0) and looking a payment up by its full key through
// Filter + RecordCount on a clone of the sorted recordset; and quoting a value
// of millions of quotes.
#include "platform/data/connection.h"
#include "platform/data/criteria.h"
#include "platform/data/recordset.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <cstdio>
#include <vector>

using namespace zarv;

namespace {

constexpr int kRows = 100000;
constexpr int kLookups = 100000;

struct Key {
    QString mortco, cd, jur, folio, name;
};

Key keyOf(int i)
{
    return {QStringLiteral("%1").arg(i % 40 + 1, 4, 10, QLatin1Char('0')),
            QStringLiteral("%1").arg(i % 23 + 1, 2, 10, QLatin1Char('0')),
            QStringLiteral("%1").arg(i % 61 + 1, 3, 10, QLatin1Char('0')),
            QStringLiteral("%1").arg(qlonglong(i) * 7919 % 1000000007, 18, 10, QLatin1Char('0')),
            QStringLiteral("Owner %1 of Lot %2").arg(i % 997).arg(i)};
}

void createSchema(db::Connection& c)
{
    c.execute(QStringLiteral(
        "CREATE TABLE Detail ("
        "MORTCO TEXT NOT NULL DEFAULT '' COLLATE JET, NUMBER TEXT NOT NULL DEFAULT '' COLLATE JET, "
        "NAME TEXT NOT NULL DEFAULT '' COLLATE JET, CD TEXT NOT NULL DEFAULT '' COLLATE JET, "
        "JUR TEXT NOT NULL DEFAULT '' COLLATE JET, FOLIO TEXT NOT NULL DEFAULT '' COLLATE JET, "
        "FOLIO_DISP TEXT NOT NULL DEFAULT '' COLLATE JET, PAYMENT DOUBLE NOT NULL DEFAULT 0, "
        "ABC TEXT NOT NULL DEFAULT '' COLLATE JET, GROSS_TAX DOUBLE NOT NULL DEFAULT 0, "
        "REG_GRANT DOUBLE NOT NULL DEFAULT 0, ADD_GRANT DOUBLE NOT NULL DEFAULT 0, "
        "DELQ DOUBLE NOT NULL DEFAULT 0, LEGAL TEXT NOT NULL DEFAULT '' COLLATE JET)"));
    c.execute(QStringLiteral("CREATE UNIQUE INDEX Detail_Key ON Detail (MORTCO, CD, JUR, FOLIO, NAME)"));
    c.flush();
}

struct DetailRow {
    Key key;
    QString number, folioDisp, legal;
    double payment;
};

double fill(db::Connection& c)
{
    // The rows are made first: the timing is the recordset's, not QString::arg's.
    std::vector<DetailRow> data;
    data.reserve(kRows);
    for (int i = 0; i < kRows; ++i) {
        const Key k = keyOf(i);
        data.push_back({k, QStringLiteral("M%1").arg(i, 11, 10, QLatin1Char('0')), k.folio.right(12),
                        QStringLiteral("LOT %1 PLAN 44").arg(i), 100.0 + i % 5000});
    }
    db::Recordset rs(&c, QStringLiteral("Detail"));
    rs.open();
    QElapsedTimer t;
    t.start();
    for (const DetailRow& d : data) {
        rs.addNew();
        rs.setValue(QStringLiteral("MORTCO"), d.key.mortco);
        rs.setValue(QStringLiteral("NUMBER"), d.number);
        rs.setValue(QStringLiteral("NAME"), d.key.name);
        rs.setValue(QStringLiteral("CD"), d.key.cd);
        rs.setValue(QStringLiteral("JUR"), d.key.jur);
        rs.setValue(QStringLiteral("FOLIO"), d.key.folio);
        rs.setValue(QStringLiteral("FOLIO_DISP"), d.folioDisp);
        rs.setValue(QStringLiteral("PAYMENT"), d.payment);
        rs.setValue(QStringLiteral("ABC"), QStringLiteral("A"));
        rs.setValue(QStringLiteral("GROSS_TAX"), 1200.5);
        rs.setValue(QStringLiteral("REG_GRANT"), 400.0);
        rs.setValue(QStringLiteral("ADD_GRANT"), 0.0);
        rs.setValue(QStringLiteral("DELQ"), 0.0);
        rs.setValue(QStringLiteral("LEGAL"), d.legal);
        rs.move(0);
    }
    c.flush();
    const double ms = t.nsecsElapsed() / 1e6;
    rs.close();
    return ms;
}

// A value of nothing but quotes, as a criterion, a filter, a Find and a
// source's WHERE: the time must grow with the length, no faster.
double quoting(db::Connection& c, int quotes)
{
    const QString value(quotes, u'\'');
    QElapsedTimer t;
    t.start();
    db::Recordset rs(&c, QStringLiteral("SELECT * FROM Detail WHERE NAME = ") + db::quoted(value) +
                             QStringLiteral(" ORDER BY FOLIO"));
    rs.open();
    rs.setFilter(db::contains(QStringLiteral("NAME"), value));
    rs.setFilter(QString());
    rs.find(db::eq(QStringLiteral("NAME"), value));
    return double(t.nsecsElapsed()) / 1e9;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.db"));
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly)) {
            std::fprintf(stderr, "cannot create %s\n", qPrintable(path));
            return 1;
        }
    }
    try {
        db::Connection c(QStringLiteral("Bench"));
        c.setConnectionString(QStringLiteral("Initial Catalog=") + path);
        createSchema(c);

        const double fillMs = fill(c);
        std::printf("AddNew + 14 fields + Move 0, %d rows: %8.1f ms (%.2f us/row)\n", kRows, fillMs,
                    fillMs * 1000 / kRows);

        QElapsedTimer t;
        t.start();
        db::Recordset rs(&c, QStringLiteral("SELECT * FROM Detail ORDER BY MORTCO, CD, JUR, FOLIO"));
        rs.open();
        std::printf("Open sorted, %ld rows:                %8.1f ms\n", rs.recordCount(), t.nsecsElapsed() / 1e6);

        // Half the lookups hit (in another letter case), half miss on the name.
        QRandomGenerator rng(20240229);
        std::vector<QString> filters;
        filters.reserve(kLookups);
        for (int i = 0; i < kLookups; ++i) {
            const int row = int(rng.bounded(kRows));
            Key k = keyOf(row);
            k.name = (i % 2 == 0) ? k.name.toLower() : k.name + QStringLiteral(" X");
            filters.push_back(db::eq(QStringLiteral("MORTCO"), k.mortco) + QStringLiteral("AND ") +
                              db::eq(QStringLiteral("CD"), k.cd) + QStringLiteral("AND ") +
                              db::eq(QStringLiteral("JUR"), k.jur) + QStringLiteral("AND ") +
                              db::eq(QStringLiteral("FOLIO"), k.folio) + QStringLiteral("AND ") +
                              db::eq(QStringLiteral("NAME"), k.name));
        }

        auto clone = rs.clone();
        t.restart();
        clone->setFilter(filters.front());
        std::printf("First key filter (builds the index):  %8.1f ms\n", t.nsecsElapsed() / 1e6);

        long found = 0;
        t.restart();
        for (const QString& f : filters) {
            clone->setFilter(f);
            found += clone->recordCount();
        }
        const double filterMs = t.nsecsElapsed() / 1e6;
        std::printf("%d key filters + RecordCount:     %8.1f ms (%.2f us each), %ld hits (expect %d)\n",
                    kLookups, filterMs, filterMs * 1000 / kLookups, found, kLookups / 2);

        // Find on a single indexed field, as the folio-format lookup does.
        std::vector<QString> criteria;
        for (int i = 0; i < 10000; ++i)
            criteria.push_back(db::eq(QStringLiteral("FOLIO"), keyOf(int(rng.bounded(kRows))).folio));
        t.restart();
        rs.find(criteria.front());
        std::printf("First Find on FOLIO (builds the index): %6.1f ms\n", t.nsecsElapsed() / 1e6);
        long finds = 0;
        t.restart();
        for (const QString& c : criteria) {
            rs.moveFirst();
            rs.find(c);
            finds += rs.eof() ? 0 : 1;
        }
        std::printf("%zu MoveFirst + Find on FOLIO:        %8.1f ms, %ld found\n", criteria.size(),
                    t.nsecsElapsed() / 1e6, finds);

        const double million = quoting(c, 1000000);
        const double four = quoting(c, 4000000);
        std::printf("Quotes in a value, 1 and 4 million:    %6.3f s, %6.3f s (x%.1f)\n", million, four, four / million);
        return found == kLookups / 2 && filterMs < 1000 && four < 6 * million ? 0 : 2;
    } catch (const db::DbError& e) {
        std::fprintf(stderr, "DbError %ld: %s\n", e.number(), qPrintable(e.description()));
        return 1;
    }
}
