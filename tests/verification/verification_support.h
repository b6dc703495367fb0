#pragma once
// What the verification tests share: a fresh data environment with VERIFY rows
// written and read as "ACD|MORTCO|...|LEGAL" texts; for the list and the import
// a workbook in the test's own folder (Verify.csv lives beside it), code tables like
// a small workbook's, and the boxes they show; for the folio screens a clerk at
// the screens (shown offscreen and activated).
#include "env/tablerows.h"
#include "env/testenv.h"
#include "clerk.h"     // and with it readable QStrings in failures
#include "platform/data/recordset.h"

#include <QLabel>
#include <QPushButton>
#include <QStringList>
#include <memory>

class QComboBox;

namespace zarv::test {

// A fresh data environment whose tables the test fills and reads.
class VerifyTableTest : public DeTest {
protected:
    // A VERIFY row from "ACD|MORTCO|NUMBER|CD|JUR|FOLIO|PID|NAME|ADDR1|...|LEGAL".
    void addVerify(const QString& cells);
    // VERIFY's rows in that form, in the order of a source's ORDER BY.
    QStringList verifyRows(const QString& orderBy = QStringLiteral("rowid")) const;
    // VERIFY's rows in the order they were stored.
    QStringList storedRows() const { return verifyRows(); }
    // The ACD stored for this mortgage number; "<none>" without such a row.
    QString storedAcd(const QString& number) const;
    // The rows of rsVerify as they stand, in its order.
    static QStringList recordsetRows();
    // rsVerify opened afresh (on `source`, the list's sort order) on its first row.
    static void openList(const QString& source = QStringLiteral("SELECT * FROM VERIFY ORDER BY NUMBER"));
    // Makes the row with this mortgage number current in rsVerify.
    static void moveTo(const QString& number);
    // A field of rsVerify's current row; "<none>" without one.
    static QString current(const QString& field = QStringLiteral("NUMBER"));
    // The current row is one rsVerify can read, and the list's bookkeeping
    // agrees with the table.
    void expectConsistentList() const;
};

class VerificationTest : public VerifyTableTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Districts 01-03, jurisdictions 701-705 and the pairs 01/701, 01/702,
    // 02/702, 02/703, 03/704, 03/705; one folio mask for 701 ("###-###-###-#").
    void addCodes();

    QString csvPath() const { return path(QStringLiteral("Verify.csv")); }
    void writeCsv(const QByteArray& bytes) { writeFile(QStringLiteral("Verify.csv"), bytes); }
    QByteArray readCsv() const { return readFile(csvPath()); }

private:
    QString savedCurrent_;
};

// The tests of the folio screens: add, change, delete and search.
class FolioScreenTest : public VerifyTableTest {
protected:
    // Districts 01, 02, 03, "5 " and 07; jurisdictions 701-705; pairs 01/701,
    // 02/702, 02/703, 03/704; masks: 701 "###-###-###-#" (10 digits) and 702
    // "######-######-######" (18 digits, 20 characters); none for the others.
    void addCodes();

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
};

// The rejection dialog of the import for one record, closed by its OK button.
void expectRejection(ui::ScriptedUi& u, const QString& message, const QString& raw);

} // namespace zarv::test

// The tests of this folder name the program's types and these helpers without
// their namespaces.
using namespace zarv;
using namespace zarv::test;
