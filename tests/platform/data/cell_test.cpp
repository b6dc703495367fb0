// A value a row holds gives back the very QVariant it was made from, whether it
// was copied in or moved in, copied or moved on, and holds no text's storage
// once it is gone; and the value rules judge it as they judge that QVariant.
#include "platform/data/cell.h"
#include "platform/data/values.h"

#include <QByteArray>
#include <gtest/gtest.h>

namespace zarv::db::detail {
namespace {

bool identical(const QVariant& a, const QVariant& b)
{
    return a.isValid() == b.isValid() && a.typeId() == b.typeId() && a.isNull() == b.isNull() && a == b &&
           (a.typeId() != QMetaType::QString || a.toString().isNull() == b.toString().isNull());
}

// A value of every kind a row can hold.
QVariantList everyKindOfValue()
{
    QString ahead = QStringLiteral("xxLEFT");
    ahead.remove(0, 2);   // its characters no longer start its storage
    return {
        QVariant(),
        QVariant(qlonglong(-7)),
        QVariant(qlonglong(9007199254740993LL)),   // 2^53 + 1: no double holds it
        QVariant(2.5),
        QVariant(-0.0),
        QVariant(QString()),
        QVariant(QString(QLatin1String(""))),
        QVariant(QStringLiteral("LITERAL")),
        QVariant(QStringLiteral(" 12.50 ")),
        QVariant(QString::fromUtf8("h\xc3\xa9llo")),
        QVariant(ahead),
        QVariant(QByteArray("\0b", 2)),
        QVariant(7),      // an int stays an int
        QVariant(true),
        QVariant(QMetaType::fromType<QString>()),   // of a class, yet Null
    };
}

TEST(CellTest, EveryKindOfValueComesBackAsItWent)
{
    for (const QVariant& v : everyKindOfValue()) {
        SCOPED_TRACE(v.typeName() ? v.typeName() : "invalid");
        const Cell copied(v);
        EXPECT_TRUE(identical(copied.toVariant(), v));
        QVariant source = v;
        const Cell moved(std::move(source));
        Cell again = moved;
        EXPECT_TRUE(identical(again.toVariant(), v));
        Cell taken = std::move(again);
        again = taken;
        EXPECT_TRUE(identical(taken.toVariant(), v));
        EXPECT_TRUE(identical(again.toVariant(), v));
        EXPECT_EQ(copied.isText(), v.typeId() == QMetaType::QString && !v.toString().isNull());
        if (copied.isText()) {
            EXPECT_EQ(copied.textView(), v.toString());
        }
    }
    // A text keeps its storage alive on its own and shares it when read.
    Cell cell;
    {
        const QString text = QStringLiteral("SHARED ") + QString::number(42);
        cell = Cell(text);
        EXPECT_EQ(cell.text().constData(), text.constData());
    }
    EXPECT_EQ(cell.text(), QStringLiteral("SHARED 42"));

    // A text moved in takes nothing from a copy of its variant, and a text read
    // out lives on without the cell.
    QVariant first(QStringLiteral("ONE ") + QString::number(1));
    const QVariant second = first;
    QString out;
    {
        const Cell taken(std::move(first));
        out = taken.text();
    }
    EXPECT_EQ(second.toString(), QStringLiteral("ONE 1"));
    EXPECT_EQ(out, QStringLiteral("ONE 1"));
}

// The rules read a row's value without making a QVariant of it; they must
// judge it exactly as they judge the QVariant, in a column of every affinity.
TEST(CellTest, TheValueRulesJudgeACellAsTheyJudgeItsVariant)
{
    for (const Affinity affinity : {Affinity::Text, Affinity::Integer, Affinity::Real, Affinity::Numeric,
                                    Affinity::None}) {
        const Field f{QStringLiteral("F"), QString(), affinity, QVariant()};
        for (const QVariant& v : everyKindOfValue()) {
            SCOPED_TRACE(QStringLiteral("affinity %1, %2 %3")
                             .arg(int(affinity))
                             .arg(QString::fromLatin1(v.typeName() ? v.typeName() : "invalid"), v.toString())
                             .toStdString());
            const Cell c(v);
            EXPECT_EQ(storageClassOf(c), storageClassOf(v));
            EXPECT_EQ(cellText(c), cellText(v));
            double fromCell = 0, fromVariant = 0;
            EXPECT_EQ(cellNumber(c, &fromCell), cellNumber(v, &fromVariant));
            EXPECT_EQ(fromCell, fromVariant);
            QString key;
            appendCellKey(key, f, c);
            EXPECT_EQ(key, cellKey(f, v));
            EXPECT_TRUE(cellMatchesKey(f, c, cellKey(f, v)));
            EXPECT_TRUE(identical(normalisedCell(f, v).toVariant(), normalise(f, v)));
        }
    }
}

} // namespace
} // namespace zarv::db::detail
