#include "verifyfile/verifyfile.h"

#include "platform/files/outputnames.h"
#include "platform/text/vb.h"

namespace zarv {

xl::Workbook xlBook;
const xl::Worksheet* xlSheet = nullptr;

void OpenVerifyWorkbook(const QString& FileName)
{
    // Workbook::open closes what was open and never throws; a failed open
    // leaves no sheet to point at.
    xlSheet = nullptr;
    if (xlBook.open(FileName))
        xlSheet = xlBook.sheet(1);
}

void CloseVerifyWorkbook()
{
    xlSheet = nullptr;
    xlBook.close();
}

QString BackupNameFor(const QString& FileName)
{
    return fs::workbookBackupPath(FileName);
}

} // namespace zarv
