#pragma once
// What the tests of the folio screens share: a fresh data environment with
// small code tables, VERIFY rows written and read as "ACD|MORTCO|...|LEGAL"
// texts, and a clerk at the screens (shown offscreen and activated).
#include "clerk.h"
#include "verification_support.h"

#include <QStringList>
#include <memory>

class QComboBox;

namespace zarv::test {

class FolioScreenTest : public VerifyTableTest {
protected:
    // Districts 01, 02, 03, "5 " and 07; jurisdictions 701-705; pairs 01/701,
    // 02/702, 02/703, 03/704; masks: 701 "###-###-###-#" (10 digits) and 702
    // "######-######-######" (18 digits, 20 characters); none for the others.
    void addCodes();
    // VERIFY's rows in the order they were stored.
    QStringList storedRows() const { return verifyRows(); }
    // rsVerify opened afresh (on `source`, the list's sort order) on its first row.
    static void openList(const QString& source = QStringLiteral("SELECT * FROM VERIFY ORDER BY NUMBER"));
    // Makes the row with this mortgage number current in rsVerify.
    static void moveTo(const QString& number);
    // The NUMBER of rsVerify's current row; "<none>" without one.
    static QString current();
    // The current row is one rsVerify can read, and the list's bookkeeping
    // agrees with the table.
    void expectConsistentList() const;

    template <typename Screen>
    std::unique_ptr<Screen> openScreen()
    {
        auto screen = std::make_unique<Screen>();
        clerk::activate(screen.get());
        return screen;
    }

    // Clicks into a combo and types over its text.
    static void typeInto(QComboBox* combo, const QString& text);
    static QStringList items(QComboBox* combo);
    // The focus leaves for `next` as a click on it would take it there.
    static void leaveFor(QWidget* next) { clerk::click(next); }
};

} // namespace zarv::test
