// The verification list at full size: 32,766 folios. Times each of the nine
// sort orders from the list screen (re-open, grid refresh, finding the current
// row again) and the Verify.csv export followed by each import option.
// Budgets: 0.3 s per sort, 1 s for the export and 1 s for each import. Prints every figure and
// ends with 1 when a budget is missed or a row is not found again.
#include "verification/screens/Verify_Numbers.h"
#include "verification/verifycsv.h"

#include "platform/data/recordset.h"
#include "platform/ui/screens/scriptedscreens.h"
#include "services/dataenvironment.h"
#include "services/schema.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>

namespace {

using namespace zarv;

constexpr int kFolios = 32766;
constexpr int kCodes = 99;
constexpr double kSortBudget = 0.3;
constexpr double kExchangeBudget = 1.0;   // each of export and import

QString district(int i) { return QStringLiteral("%1").arg(i, 2, 10, QLatin1Char('0')); }
QString jurisdiction(int i) { return QString::number(700 + i); }

void addRow(db::Recordset& rs, const QStringList& fields, const QStringList& values)
{
    rs.addNew();
    for (qsizetype k = 0; k < fields.size(); ++k)
        rs.setValue(fields[k], values[k]);
    rs.update();
}

void fillCodes(DataEnvironment& de)
{
    db::Recordset districts(&de.Zarv, QStringLiteral("Collection_District"));
    db::Recordset jurisdictions(&de.Zarv, QStringLiteral("Jurisdiction"));
    db::Recordset pairs(&de.Zarv, QStringLiteral("CD_JUR"));
    db::Recordset masks(&de.Zarv, QStringLiteral("Fol_Mask"));
    for (db::Recordset* rs : {&districts, &jurisdictions, &pairs, &masks})
        rs->open();
    de.Zarv.beginTrans();
    for (int i = 1; i <= kCodes; ++i) {
        addRow(districts, {"Collection_District_Code", "Collection_District_Name"},
               {district(i), QStringLiteral("District %1").arg(i)});
        addRow(jurisdictions, {"Jurisdiction_Code", "Jurisdiction_Name"},
               {jurisdiction(i), QStringLiteral("Jurisdiction %1").arg(i)});
        addRow(masks, {"JUR_CD", "YEAR", "FOLIO_LEN", "FOLIO_MASK"},
               {jurisdiction(i), QStringLiteral("2024"), QStringLiteral("12"), QStringLiteral("###-###-######")});
        for (int j = 1; j <= kCodes; ++j)
            addRow(pairs, {"Collection_District_Code", "Jurisdiction_Code"}, {district(i), jurisdiction(j)});
    }
    de.Zarv.commitTrans();
}

void fillVerify(DataEnvironment& de)
{
    db::Recordset rs(&de.Zarv, QStringLiteral("VERIFY"));
    rs.open();
    const QStringList fields = {"ACD",   "MORTCO", "NUMBER", "CD",    "JUR",   "FOLIO", "PID",
                                "NAME",  "ADDR1",  "ADDR2",  "ADDR3", "ADDR4", "ADDR5", "LEGAL"};
    const QStringList codes = {" ", "A", "C", "D"};
    de.Zarv.beginTrans();
    for (int i = 0; i < kFolios; ++i) {
        // Numbers, names and addresses in an order unlike the rows' own.
        const int k = int((qint64(i) * 7919) % kFolios);
        addRow(rs, fields,
               {codes[i % 4], QStringLiteral("%1").arg(1000 + i % 37), QStringLiteral("M%1").arg(k, 9, 10, QLatin1Char('0')),
                district(i % kCodes + 1), jurisdiction(i % kCodes + 1),
                QStringLiteral("%1").arg(100000 + i, 18, 10, QLatin1Char('0')),
                i % 3 == 0 ? QString::number(100000000 + i) : QString(),
                QStringLiteral("OWNER %1, AND PARTNER").arg((qint64(i) * 104729) % kFolios),
                QStringLiteral("%1 HARBOUR ROAD").arg(i % 500 + 1), QStringLiteral("WESTPORT"), QString(), QString(),
                QString(), QStringLiteral("LOT %1 PLAN %2").arg(i % 97).arg(k)});
    }
    de.Zarv.commitTrans();
}

QStringList currentRow()
{
    db::Recordset& rs = DE().rsVerify();
    QStringList values;
    for (int f = 0; f < rs.fieldCount(); ++f)
        values << rs.value(f).toString();
    return values;
}

double seconds(const QElapsedTimer& t)
{
    return double(t.nsecsElapsed()) / 1e9;
}

bool sorts(Verify_Numbers& list)
{
    bool ok = true;
    std::printf("sort orders (%d folios, budget %.1f s each):\n", kFolios, kSortBudget);
    for (int order = 0; order < verifylist::kSortOrders; ++order) {
        // A row far from the first in every order.
        db::Recordset& rs = DE().rsVerify();
        rs.moveFirst();
        rs.move(kFolios / 2 + order * 1001);
        const QStringList before = currentRow();
        QElapsedTimer t;
        t.start();
        list.Option_Sort_Click(order);
        const double s = seconds(t);
        const bool kept = currentRow() == before;
        if (!kept)
            std::printf("    before %s\n    after  %s\n", qPrintable(before.join(u'|')), qPrintable(currentRow().join(u'|')));
        const bool inTime = s < kSortBudget;
        ok = ok && kept && inTime;
        std::printf("  %-28s %7.3f s  %s%s\n", verifylist::sortOrders()[size_t(order)].menuCaption, s,
                    kept ? "row kept" : "ROW LOST", inTime ? "" : "  OVER BUDGET");
    }
    return ok;
}

bool exchange(Verify_Numbers& list, ui::ScriptedUi& u, bool option2)
{
    u.expectBox(ui::containing(QStringLiteral("Export to the Verify.csv file complete.")));
    QElapsedTimer t;
    t.start();
    list.Command_Export_Click();
    const double exported = seconds(t);
    if (option2)
        u.expectBox(ui::containing(QStringLiteral("Replace the list?")), ui::Answer::Yes);
    u.expectBox(ui::containing(option2 ? QStringLiteral("(option #2) complete.") : QStringLiteral("(option #1) complete.")));
    t.restart();
    if (option2)
        list.Command_Import2_Click();
    else
        list.Command_Import1_Click();
    const double imported = seconds(t);
    const long rows = DE().rsVerify().recordCount();
    const bool ok = u.clean() && rows == kFolios && exported < kExchangeBudget && imported < kExchangeBudget;
    std::printf("export %.3f s, import option %d %.3f s (budget %.1f s each), %ld rows%s\n", exported,
                option2 ? 2 : 1, imported, kExchangeBudget, rows, ok ? "" : "  FAILED");
    if (!u.clean())
        std::printf("%s\n", qPrintable(u.report()));
    return ok;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    QString error;
    if (!dir.isValid() || !createDatabases(dir.path(), &error)) {
        std::fprintf(stderr, "cannot create the databases: %s\n", qPrintable(error));
        return 2;
    }
    ui::ScopedUi scripted;
    installDE(std::make_unique<DataEnvironment>(dir.path(), QStringLiteral("zarv")));
    if (!DE().DataEnvironment_Initialize())
        return 2;
    // The run's workbook lies in the temporary folder: Verify.csv goes beside it.
    RememberDataFile(QStringLiteral("/"), dir.path(), QStringLiteral("MortNo1234.xlsx"));

    fillCodes(DE());
    fillVerify(DE());
    bool ok = true;
    {
        Verify_Numbers list;
        list.show();
        ok = sorts(list) && ok;
        ok = exchange(list, *scripted, false) && ok;
        ok = exchange(list, *scripted, true) && ok;
        std::printf("Verify.csv: %lld bytes\n", static_cast<long long>(QFile(verifycsv::VerifyCsvPath()).size()));
    }
    takeDE().reset();
    return ok ? 0 : 1;
}
