// Writes a full-size verification workbook from the tables (Mdb2Xls) and loads
// it back (Xls2Mdb): 32,766 folios with full code sheets (99 districts, 99
// jurisdictions with their folio masks, every district/jurisdiction pair).
// Prints each time; the budget is 1.0 s for each direction.
#include "verifyfile/verifyfile.h"

#include "platform/data/recordset.h"
#include "platform/ui/scriptedui.h"
#include "services/dataenvironment.h"
#include "services/schema.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>

namespace {

constexpr int kFolios = 32766;
constexpr int kCodes = 99;
constexpr int kRuns = 3;
constexpr double kBudgetSeconds = 1.0;

QString district(int i) { return QStringLiteral("%1").arg(i, 2, 10, QLatin1Char('0')); }
QString jurisdiction(int i) { return QString::number(700 + i); }

void fillVerify(zarv::DataEnvironment& de)
{
    zarv::db::Recordset rs(&de.Zarv, QStringLiteral("VERIFY"));
    rs.open();
    de.Zarv.beginTrans();
    for (int i = 0; i < kFolios; ++i) {
        rs.addNew();
        rs.setValue(QStringLiteral("ACD"), i % 10 == 0 ? QStringLiteral("C") : QStringLiteral(" "));
        rs.setValue(QStringLiteral("MORTCO"), QStringLiteral("1234"));
        rs.setValue(QStringLiteral("NUMBER"), QStringLiteral("M%1").arg(i, 9, 10, QLatin1Char('0')));
        rs.setValue(QStringLiteral("CD"), district(i % kCodes + 1));
        rs.setValue(QStringLiteral("JUR"), jurisdiction(i % kCodes + 1));
        rs.setValue(QStringLiteral("FOLIO"), QStringLiteral("%1").arg(100000 + i, 18, 10, QLatin1Char('0')));
        rs.setValue(QStringLiteral("PID"), QString::number(100000000 + i));
        rs.setValue(QStringLiteral("NAME"), QStringLiteral("OWNER NUMBER %1 AND PARTNER").arg(i));
        rs.setValue(QStringLiteral("ADDR1"), QStringLiteral("%1 HARBOUR ROAD").arg(i % 500 + 1));
        rs.setValue(QStringLiteral("ADDR2"), QStringLiteral("WESTPORT"));
        rs.setValue(QStringLiteral("ADDR3"), QStringLiteral("VELMORAN"));
        rs.setValue(QStringLiteral("LEGAL"), QStringLiteral("LOT %1 PLAN %2").arg(i % 97).arg(i % 1000));
        rs.update();
    }
    de.Zarv.commitTrans();
    rs.close();
}

void fillCodes(zarv::DataEnvironment& de)
{
    auto add = [&](const QString& table, const QStringList& fields, const QVariantList& values) {
        zarv::db::Recordset rs(&de.Zarv, table);
        rs.open();
        rs.addNew();
        for (qsizetype k = 0; k < fields.size(); ++k)
            rs.setValue(fields[k], values[k]);
        rs.update();
        rs.close();
    };
    de.Zarv.beginTrans();
    for (int i = 1; i <= kCodes; ++i) {
        add(QStringLiteral("Fol_Mask"), {QStringLiteral("JUR_CD"), QStringLiteral("YEAR"), QStringLiteral("FOLIO_LEN"),
                                         QStringLiteral("FOLIO_MASK")},
            {jurisdiction(i), QStringLiteral("2024"), 10 + i % 9, QStringLiteral("###-###-####")});
        add(QStringLiteral("Collection_District"),
            {QStringLiteral("Collection_District_Code"), QStringLiteral("Collection_District_Name")},
            {district(i), QStringLiteral("District %1").arg(i)});
        add(QStringLiteral("Jurisdiction"), {QStringLiteral("Jurisdiction_Code"), QStringLiteral("Jurisdiction_Name")},
            {jurisdiction(i), QStringLiteral("Jurisdiction %1").arg(i)});
    }
    de.Zarv.commitTrans();
    zarv::db::Recordset pairs(&de.Zarv, QStringLiteral("CD_JUR"));
    pairs.open();
    de.Zarv.beginTrans();
    for (int d = 1; d <= kCodes; ++d) {
        for (int j = 1; j <= kCodes; ++j) {
            pairs.addNew();
            pairs.setValue(QStringLiteral("Collection_District_Code"), district(d));
            pairs.setValue(QStringLiteral("Jurisdiction_Code"), jurisdiction(j));
            pairs.update();
        }
    }
    de.Zarv.commitTrans();
    pairs.close();
}

long count(zarv::DataEnvironment& de, const QString& table)
{
    zarv::db::Recordset rs(&de.Zarv, table, zarv::db::LockType::ReadOnly);
    rs.open();
    return rs.recordCount();
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    QString error;
    if (!dir.isValid() || !zarv::createDatabases(dir.path(), &error)) {
        std::fprintf(stderr, "cannot set up the databases: %s\n", qPrintable(error));
        return 1;
    }
    zarv::ui::ScopedStandIn<zarv::ui::ScriptedUi> ui;
    {
        auto de = std::make_unique<zarv::DataEnvironment>(dir.path(), QStringLiteral("zarv"));
        if (!de->DataEnvironment_Initialize())
            return 1;
        zarv::installDE(std::move(de));
    }
    zarv::DataEnvironment& de = zarv::DE();
    fillVerify(de);
    fillCodes(de);
    de.flush();

    const QString path = dir.filePath(QStringLiteral("MortNoBench.xlsx"));
    bool ok = true;
    double worstWrite = 0;
    double worstLoad = 0;
    for (int run = 1; run <= kRuns && ok; ++run) {
        QElapsedTimer timer;
        timer.start();
        ok = zarv::Mdb2Xls(path);
        const double write = timer.nsecsElapsed() / 1e9;

        timer.restart();
        ok = ok && zarv::Xls2Mdb(path);
        de.flush();
        const double load = timer.nsecsElapsed() / 1e9;
        worstWrite = std::max(worstWrite, write);
        worstLoad = std::max(worstLoad, load);
        std::printf("run %d: Mdb2Xls %.3f s, Xls2Mdb %.3f s\n", run, write, load);
    }
    const long folios = count(de, QStringLiteral("VERIFY"));
    const long pairs = count(de, QStringLiteral("CD_JUR"));
    std::printf("folios %ld, masks %ld, districts %ld, jurisdictions %ld, pairs %ld\n", folios,
                count(de, QStringLiteral("Fol_Mask")), count(de, QStringLiteral("Collection_District")),
                count(de, QStringLiteral("Jurisdiction")), pairs);
    if (!ok || folios != kFolios || pairs != kCodes * kCodes || !ui->clean()) {
        std::fprintf(stderr, "the round trip failed:\n%s\n", qPrintable(ui->journal().join(QLatin1Char('\n'))));
        return 1;
    }
    const bool inBudget = worstWrite < kBudgetSeconds && worstLoad < kBudgetSeconds;
    std::printf("slowest: write %.3f s, load %.3f s (budget %.1f s each): %s\n", worstWrite, worstLoad,
                kBudgetSeconds, inBudget ? "within budget" : "OVER BUDGET");
    zarv::takeDE().reset();
    return inBudget ? 0 : 2;
}
