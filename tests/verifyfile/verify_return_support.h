#pragma once
// The receiving screen's tests: a fresh data environment, a settings file that
// names the test's own folders for returned workbooks and the verified file,
// printing to PDF, and the screen itself.
#include "verify_support.h"

#include "platform/files/settings.h"
#include "verifyfile/screens/Verify_Return.h"

#include <QListWidget>
#include <memory>

namespace zarv::test {

class ReturnScreenTest : public DeTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // The folder the screen starts in ("C:\Email") and the verified file.
    QString emailFolder() const { return email_; }
    QString verifiedFile() const { return path("verified/ZARVP040_VERIFIED.zarv"); }
    // Where the error report's PDF goes.
    QString reportFolder() const { return folder(); }

    // Opens a new receiving screen (the previous one goes first).
    Verify_Return& open();
    Verify_Return& screen() { return *screen_; }
    void closeScreen() { screen_.reset(); }

    // Writes a workbook into the e-mail folder; returns its path.
    QString returned(const QString& name, const Book& book);
    // Selects a listed file in the screen's file box.
    void choose(const QString& name);
    // Selects the file and presses OK.
    void load(const QString& name);

    QStringList lines() const;
    // The frame, highlight, Upload button and grid as (enabled, shown, enabled, shown).
    std::vector<bool> selectedFileState() const;
    // The rows of the reference database's ErrorMessage as "number|text".
    QStringList errorMessageRows() const;

private:
    QString email_;
    QByteArray savedForcePdf_;
    bool hadForcePdf_ = false;
    std::unique_ptr<Verify_Return> screen_;
};

// The mortgage numbers of a verified file's records, each checked to be 301
// characters and a CR LF.
QStringList verifiedNumbers(const QByteArray& verified);

// A sheet-1 row, headings first.
Rows mortgageRows(const QStringList& cells);

// A returned workbook of nine records with the code tables they use: rows 2, 3
// and 7 are clean, rows 4, 5, 6 and 10 hold an error (status X, a 22-digit
// mortgage number, jurisdiction 999, district 03 with jurisdiction 701), row 8
// repeats row 2 and row 9 has no folio or PID.
Book nineReturnedRecords();

} // namespace zarv::test
