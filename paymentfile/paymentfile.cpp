#include "paymentfile/paymentfile.h"

#include "platform/files/outputnames.h"
#include "platform/text/vb.h"

#include <QDate>
#include <QDir>

namespace zarv {

void ResetDupFolios()
{
    for (auto& row : DupFolios)
        row.fill(QVariant());
    DupFolioCount = 0;
    DupFoliosFound = false;
}

QString BakPathFor(const QString& filePath)
{
    return fs::paymentBackupPath(filePath);
}

bool PaymentYearAccepted(const QString& year)
{
    if (year.size() != 4)
        return false;
    for (QChar c : year) {
        if (c < u'0' || c > u'9')
            return false;
    }
    const int y = year.toInt();
    return y >= 2000 && y <= QDate::currentDate().year() + 1;
}

QString RefusedFileText(const QString& path)
{
    return QStringLiteral("%1 cannot be loaded.\n\n").arg(QDir::toNativeSeparators(path));
}

QString YearRefusedMessage(const QString& year)
{
    return QStringLiteral("The ZARV data file is for the year \"%1\". Only files for the years 2000 to %2 can be "
                          "loaded. Nothing was loaded.")
        .arg(year)
        .arg(QDate::currentDate().year() + 1);
}

} // namespace zarv
