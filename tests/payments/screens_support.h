#pragma once
// A payment run's tables loaded from a small payment file, and a clerk who
// works the payment screens offscreen: selects a group, opens the list, types
// into boxes, clicks and answers the screens that come up.
#include "env/tablerows.h"
#include "env/testenv.h"
#include "clerk.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class QDialog;

namespace zarv {
class Group;
class Detail;
namespace ui {
class RecordsetGrid;
}
}

namespace zarv::test {

// One payment line of the file: number, name, district, jurisdiction, folio,
// payment, type, gross tax, regular grant, additional grant, delinquent, legal.
QString paymentLine(const QString& number, const QString& name, const QString& cd, const QString& jur,
                    const QString& folio, const QString& payment, const QString& abc = QStringLiteral("A"),
                    const QString& gross = QStringLiteral("0"), const QString& reg = QStringLiteral("0"),
                    const QString& add = QStringLiteral("0"), const QString& delq = QStringLiteral("0"),
                    const QString& legal = QString());

struct SampleGroup {
    QString group;
    QString mortco;
    QStringList payments;   // paymentLine()s
};

// The lines of a payment file for the year with masks for 701 and 702.
QStringList paymentFile(const QString& year, const std::vector<SampleGroup>& groups);

// Group 0042 with three payments, 0077 with two, 0099 with one.
std::vector<SampleGroup> sampleGroups();

// A message box the clerk expects: its text and icon, answered with OK.
inline ui::ExpectedBox boxWith(const ui::TextMatch& prompt, ui::Icon icon)
{
    ui::ExpectedBox box;
    box.prompt = prompt;
    box.icon = icon;
    return box;
}

class ScreensTest : public DeTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Writes and loads the file: the tables stand as a load leaves them.
    void load(const std::vector<SampleGroup>& groups, const QString& year = currentYear());
    void loadSample() { load(sampleGroups()); }
    static QString currentYear();

    // The group row of a table, read from the database.
    double folioCount(const QString& mortco) const;
    double totalPay(const QString& mortco) const;
    // The payments of a group as stored, "NAME PAYMENT ABC" each, by name.
    QStringList storedPayments(const QString& mortco) const;
    // The named fields of the one payment the condition picks, as stored.
    static QStringList storedPayment(const QString& where, const QStringList& fields);

    // Moves the group grid to the group of the agency as the clerk's click would.
    void chooseGroup(Group& screen, const QString& mortco);
    // Clicks a row of a grid.
    static void clickRow(ui::RecordsetGrid* grid, int row);
    // Select on the group screen with a script for the payment list that must close it.
    void openList(Group& screen, const QString& mortco, const std::function<void(Detail&)>& script);
    // The names of the payment list's rows (or a grid's of payments), top to bottom.
    static QStringList listNames(Detail& list);
    static QStringList gridNames(ui::RecordsetGrid* grid);
    static QString currentName(Detail& list);

    // Expects the screen next and runs the script on it, activated, after
    // checking its type.
    template <typename Screen>
    void expectScreen(const char* name, std::function<void(Screen&)> script);

    QString workingFolder_;
};

// The sample loaded and the group screen open, activated, as the clerk starts.
class GroupScreenTest : public ScreensTest {
protected:
    GroupScreenTest();
    ~GroupScreenTest() override;    // where Group is complete
    void SetUp() override;
    void TearDown() override;

    std::unique_ptr<Group> group;
};

template <typename Screen>
void ScreensTest::expectScreen(const char* name, std::function<void(Screen&)> script)
{
    ui().expectModal(QLatin1String(name), [script](QDialog& d) {
        auto* screen = dynamic_cast<Screen*>(&d);
        ASSERT_NE(screen, nullptr);
        clerk::activate(screen);
        script(*screen);
    });
}

} // namespace zarv::test
