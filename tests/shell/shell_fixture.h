#pragma once
// What the shell's screen tests share: a fresh data environment with the
// scripted user (DeTest), a settings file of the test's own, the mouse, the
// samples loaded as the runs load them, and the start screen with a run behind
// its button.
#include "clerk.h"
#include "env/testenv.h"
#include "paymentfile/paymentfile.h"
#include "platform/data/recordset.h"
#include "platform/files/settings.h"
#include "platform/grid/recordsetgrid.h"
#include "shell/PaymentRun.h"
#include "shell/VerificationRun.h"
#include "shell/ZarvPayment.h"
#include "shell/startup.h"
#include "verification/screens/Verify_Numbers.h"
#include "verifyfile/verifyfile.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QTableView>
#include <functional>
#include <optional>

namespace zarv::test {

// --- the mouse, as a user uses it

using clerk::click;
using clerk::doubleClick;

inline QPoint itemCentre(QListWidget* list, int row)
{
    list->scrollToItem(list->item(row));
    return list->visualItemRect(list->item(row)).center();
}

// The row whose text, less the indent, is text; -1 when none.
inline int rowOfText(QListWidget* list, const QString& text)
{
    for (int i = 0; i < list->count(); ++i) {
        if (list->item(i)->text().trimmed() == text)
            return i;
    }
    return -1;
}

inline void clickItem(QListWidget* list, int row)
{
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, itemCentre(list, row));
}

inline void doubleClickItem(QListWidget* list, int row)
{
    doubleClick(list->viewport(), itemCentre(list, row));
}

inline QStringList texts(const QListWidget* list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out.append(list->item(i)->text());
    return out;
}

// --- the verification list

// The field of every row of the list, in its order.
inline QStringList listed(const QString& field = QStringLiteral("NUMBER"))
{
    QStringList out;
    const std::unique_ptr<db::Recordset> c = DE().rsVerify().clone();
    for (c->moveFirst(); !c->eof(); c->moveNext())
        out << c->text(field);
    return out;
}

// The status mark of a mortgage number of the list; "<none>" when it is not listed.
inline QString statusOf(const QString& number)
{
    const qsizetype row = listed().indexOf(number);
    return row < 0 ? QStringLiteral("<none>") : listed(QStringLiteral("ACD")).at(row);
}

// Selects the row of a mortgage number, as a click on it would.
inline void selectNumber(Verify_Numbers& list, const QString& number)
{
    const qsizetype row = listed().indexOf(number);
    ASSERT_GE(row, 0) << number.toStdString();
    static_cast<QTableView*>(list.TDBGrid)->selectRow(int(row));
    ASSERT_EQ(DE().rsVerify().text(QStringLiteral("NUMBER")), number);
}

// --- the fixture

class ShellTest : public DeTest {
public:
    enum class Run { Payment, Verification };

    // The start screen over folder with file chosen in its list as the clerk
    // chooses it (none when the list does not show it), the run behind the
    // button of its mode.
    static std::unique_ptr<ZarvPayment> startOn(const QString& folder, const QString& file,
                                                Run run = Run::Payment)
    {
        auto w = std::make_unique<ZarvPayment>();
        if (run == Run::Payment)
            w->setPaymentRun(PaymentRun);
        else
            w->setVerificationRun(VerificationRun);
        w->show();
        if (run == Run::Verification)
            w->Option_VERIFY->click();
        EXPECT_TRUE(w->Dir->setPath(folder));
        const int row = rowOfText(w->File, file);
        if (row >= 0)
            clickItem(w->File, row);
        return w;
    }

    // Expects the screen of class Screen next (by its object name, the class's
    // own) and lets act work on it; without act it is closed by its close box.
    template <class Screen>
    void expectScreen(std::function<void(Screen&)> act = {})
    {
        const QString name = QString::fromLatin1(Screen::staticMetaObject.className()).section(u':', -1);
        if (!act) {
            ui().expectModal(name);
            return;
        }
        ui().expectModal(name, [act](QDialog& d) {
            auto* screen = qobject_cast<Screen*>(&d);
            ASSERT_NE(screen, nullptr);
            act(*screen);
        });
    }

    // The program started over the test's folder as its databases' folder.
    StartOptions programOptions(bool show = false) const
    {
        StartOptions o;
        o.programFolder = folder();
        o.programName = QStringLiteral("zarv");
        o.show = show;
        return o;
    }

    static QByteArray sample(const QString& name) { return readFile(samplePath(name)); }

    // The sample payment file with its first payment twice.
    static QByteArray withARepeatedPayment()
    {
        QList<QByteArray> lines = sample(QStringLiteral("Zarvdata.csv")).split('\n');
        const qsizetype first = lines.indexOf("PAYMENT DETAIL INFORMATION\r") + 2;
        EXPECT_GT(first, 1);
        lines.insert(first + 1, lines.value(first));
        return lines.join('\n');
    }

    // Loads a payment file (the sample unless bytes are given) as the run
    // does, its first group current; the load's own messages are not looked at.
    bool loadPayments(const QByteArray& bytes = sample(QStringLiteral("Zarvdata.csv")))
    {
        const bool loaded = Csv2Mdb(writeFile(QStringLiteral("loaded/Zarvdata.csv"), bytes));
        ui().reset();
        if (DE().rsGroup().recordCount() > 0)
            DE().rsGroup().moveFirst();
        return loaded;
    }
    // Loads the sample with its first payment twice: the load lists the repeat.
    void loadARepeatedPayment()
    {
        ui().expectIntake(ui::containing(QStringLiteral("Repeat, line ")), true);
        loadPayments(withARepeatedPayment());
        ASSERT_TRUE(DupFoliosFound);
    }
    // The payments of the current group, as the group screen opens them.
    static void openFirstGroupsPayments()
    {
        const QString mortco = DE().rsGroup().text(QStringLiteral("MORTCO"));
        DE().rsDetail().setFilter(QStringLiteral("MORTCO = '") + mortco + u'\'');
        DE().rsDetail().moveFirst();
    }
    // Loads the sample workbook, its first folio current; the load's own
    // messages are not looked at.
    void loadWorkbook()
    {
        Xls2Mdb(writeFile(QStringLiteral("loaded/MortNo1234.xlsx"), sample(QStringLiteral("MortNo1234.xlsx"))));
        ui().reset();
        ASSERT_GT(DE().rsVerify().recordCount(), 0);
        DE().rsVerify().moveFirst();
    }

protected:
    void SetUp() override
    {
        DeTest::SetUp();
        fs::Settings::setFolder(folder());
    }
    void TearDown() override
    {
        fs::Settings::setFolder(QString());
        if (!savedCurrent_.isEmpty())
            QDir::setCurrent(savedCurrent_);
        DeTest::TearDown();
    }

    void writeSettings(const QByteArray& ini) { writeFile(QStringLiteral("zarv.ini"), ini); }

    // A folder under the test's folder, made on the way.
    QString makeFolder(const QString& name) const
    {
        const QString p = path(name);
        QDir().mkpath(p);
        return QDir::cleanPath(p);
    }

    // The single ZarvSystem row, as the start screen remembers it.
    void setZarvSystem(const QString& drive, const QString& dir, const QString& file)
    {
        RememberDataFile(drive, dir, file);
    }

    // Makes the test's folder the current one until the test ends, so that
    // whatever is written there by mistake is seen.
    void workInTestFolder()
    {
        savedCurrent_ = QDir::currentPath();
        ASSERT_TRUE(QDir::setCurrent(folder()));
    }

    // The sample files in data/, the payment file remembered by the start
    // screen, data/ the receiving side's mail folder.
    QString useSampleFolder()
    {
        const QString data = makeFolder(QStringLiteral("data"));
        writeSettings(QStringLiteral("[Receiving]\nVerifiedFolder=%1\nEmailFolder=%2\n")
                          .arg(makeFolder(QStringLiteral("verified")), data)
                          .toUtf8());
        for (const QString& name : {QStringLiteral("MortNo1234.xlsx"), QStringLiteral("Zarvdata.csv")})
            writeFile(QStringLiteral("data/") + name, sample(name));
        setZarvSystem(QStringLiteral("/"), data, QStringLiteral("Zarvdata.csv"));
        return data;
    }

private:
    QString savedCurrent_;
};

} // namespace zarv::test
