#pragma once
// What the shell's screen tests share: a fresh data environment with the
// scripted user (DeTest), a settings file of the test's own, and the mouse.
#include "clerk.h"
#include "env/testenv.h"
#include "platform/files/settings.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <optional>

namespace zarv::test {

class ShellTest : public DeTest {
protected:
    void SetUp() override
    {
        DeTest::SetUp();
        fs::Settings::setFolder(folder());
    }
    void TearDown() override
    {
        fs::Settings::setFolder(QString());
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
};

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

} // namespace zarv::test
