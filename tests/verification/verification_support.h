#pragma once
// What the verification tests share: a fresh data environment with VERIFY rows
// written and read as "ACD|MORTCO|...|LEGAL" texts; for the list and the import
// a workbook in the test's own folder (Verify.csv lives beside it), code tables like
// a small workbook's, and the boxes they show.
#include "env/tablerows.h"
#include "env/testenv.h"
#include "clerk.h"     // and with it readable QStrings in failures

#include <QStringList>

namespace zarv::test {

// A fresh data environment whose tables the test fills and reads.
class VerifyTableTest : public DeTest {
protected:
    // A VERIFY row from "ACD|MORTCO|NUMBER|CD|JUR|FOLIO|PID|NAME|ADDR1|...|LEGAL".
    void addVerify(const QString& cells);
    // VERIFY's rows in that form, in the order of a source's ORDER BY.
    QStringList verifyRows(const QString& orderBy = QStringLiteral("rowid")) const;
    // The rows of rsVerify as they stand, in its order.
    static QStringList recordsetRows();
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

// The rejection dialog of the import for one record, closed by its OK button.
void expectRejection(ui::ScriptedUi& u, const QString& message, const QString& raw);
// The text that dialog shows.
QString rejectionText(const QString& message, const QString& raw);

} // namespace zarv::test

// The tests of this folder name the program's types and these helpers without
// their namespaces.
using namespace zarv;
using namespace zarv::test;
