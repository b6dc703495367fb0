#include "platform/forms/formcolours.h"
#include "platform/forms/textfit.h"

#include <QAccessible>
#include <QApplication>
#include <QLineEdit>
#include <QPalette>
#include <QWidget>

namespace zarv::ui {

namespace {

bool isSystemColour(quint32 value)
{
    return (value & 0xFF000000u) == 0x80000000u;
}

QColor systemColour(quint32 index)
{
    const QPalette p = QApplication::palette();
    switch (index) {
    case 4: return p.color(QPalette::Window);           // menu
    case 5: return p.color(QPalette::Base);             // window (edit box)
    case 8: return p.color(QPalette::Text);             // window text
    case 13: return p.color(QPalette::Highlight);
    case 14: return p.color(QPalette::HighlightedText);
    case 15: return p.color(QPalette::Button);          // button face
    case 17: return p.color(QPalette::PlaceholderText); // grey text
    case 18: return p.color(QPalette::ButtonText);
    default: return p.color(QPalette::Window);
    }
}

bool isBox(const QWidget* w)
{
    return qobject_cast<const QLineEdit*>(w) != nullptr || w->inherits("QAbstractScrollArea")
           || w->inherits("QComboBox") || w->inherits("QAbstractSpinBox");
}

} // namespace

QColor vbColour(quint32 value)
{
    if (isSystemColour(value))
        return systemColour(value & 0xFFu);
    return QColor(int(value & 0xFFu), int((value >> 8) & 0xFFu), int((value >> 16) & 0xFFu));
}

void setBackColour(QWidget* w, const QColor& c)
{
    QPalette p = w->palette();
    if (isBox(w)) {
        p.setColor(QPalette::Base, c);
    } else {
        p.setColor(QPalette::Window, c);
        w->setAutoFillBackground(true);
    }
    w->setPalette(p);
}

void setBackColour(QWidget* w, quint32 value)
{
    setBackColour(w, vbColour(value));
}

QColor backColour(const QWidget* w)
{
    return w->palette().color(isBox(w) ? QPalette::Base : QPalette::Window);
}

void setForeColour(QWidget* w, const QColor& c)
{
    QPalette p = w->palette();
    p.setColor(isBox(w) ? QPalette::Text : QPalette::WindowText, c);
    w->setPalette(p);
}

void setForeColour(QWidget* w, quint32 value)
{
    setForeColour(w, vbColour(value));
}

QColor foreColour(const QWidget* w)
{
    return w->palette().color(isBox(w) ? QPalette::Text : QPalette::WindowText);
}

namespace {

void describe(QWidget* box, const QString& description, QAccessible::Event event)
{
    if (box->accessibleDescription() == description)
        return;
    box->setAccessibleDescription(description);
    QAccessibleEvent changed(box, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&changed);
    if (event != QAccessible::DescriptionChanged) {
        QAccessibleEvent alert(box, event);
        QAccessible::updateAccessibility(&alert);
    }
}

} // namespace

void markError(QWidget* box, const QString& why)
{
    setBackColour(box, colour::Error);
    describe(box, why.isEmpty() ? QStringLiteral("In error") : QStringLiteral("In error: ") + why, QAccessible::Alert);
}

void markNormal(QWidget* box)
{
    setBackColour(box, colour::SystemWindow);
    if (box->accessibleDescription().startsWith(QStringLiteral("In error")))
        describe(box, QString(), QAccessible::DescriptionChanged);
}

void scaleFont(QWidget* w, qreal factor)
{
    QFont f = w->font();
    f.setPointSizeF(f.pointSizeF() * factor);
    w->setFont(f);
}

bool isMarkedError(const QWidget* box)
{
    return backColour(box) == vbColour(colour::Error);
}

void lockBox(QLineEdit* box, bool rightAligned)
{
    box->setReadOnly(true);
    box->setFocusPolicy(Qt::ClickFocus);
    if (rightAligned)
        box->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setBackColour(box, colour::Disabled);
}

void enableBox(QWidget* box, bool enabled)
{
    box->setEnabled(enabled);
    setBackColour(box, enabled ? colour::SystemWindow : colour::Disabled);
}

void makeStatusBox(QLineEdit* box)
{
    box->setReadOnly(true);
    box->setFocusPolicy(Qt::NoFocus);
    setForeColour(box, colour::Blue);
    setBackColour(box, colour::SystemMenu);
    followText(box);
}

} // namespace zarv::ui
