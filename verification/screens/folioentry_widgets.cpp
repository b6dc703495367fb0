#include "verification/screens/folioentry_widgets.h"

#include "platform/forms/formcolours.h"
#include "platform/forms/textfit.h"
#include "platform/text/vb.h"
#include "platform/ui/uiservices.h"

#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>

namespace zarv::folioentry {

void plainCombo(QComboBox* combo)
{
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setCompleter(nullptr);
    // What is typed is read out under the caption of the list.
    for (const QLabel* caption : combo->window()->findChildren<QLabel*>()) {
        if (caption->buddy() == combo)
            combo->lineEdit()->setAccessibleName(caption->text().remove(u'&').remove(u':').trimmed());
    }
}

void setBold(QWidget* w, bool bold)
{
    QFont f = w->font();
    f.setBold(bold);
    w->setFont(f);
}

bool isBold(const QWidget* w)
{
    return w->font().bold();
}

void paint(QWidget* box, unsigned colour)
{
    ui::setBackColour(box, quint32(colour));
}

bool paintedWith(const QWidget* box, unsigned colour)
{
    return ui::backColour(box) == ui::vbColour(quint32(colour));
}

void markBox(QWidget* box, unsigned colour, const QString& why)
{
    ui::markError(box, why);
    paint(box, colour);
}

void clearMark(QWidget* box)
{
    ui::markNormal(box);
    paint(box, colour::White);
}

void selectAll(QWidget* box)
{
    if (auto* edit = qobject_cast<QLineEdit*>(box)) {
        edit->setSelection(0, int(edit->text().size()));
    } else if (auto* combo = qobject_cast<QComboBox*>(box); combo && combo->lineEdit()) {
        combo->lineEdit()->setSelection(0, int(combo->currentText().size()));
    }
}

QString textOf(const QWidget* box)
{
    if (auto* edit = qobject_cast<const QLineEdit*>(box))
        return edit->text();
    if (auto* combo = qobject_cast<const QComboBox*>(box))
        return combo->currentText();
    return {};
}

void setTextOf(QWidget* box, const QString& text)
{
    if (auto* edit = qobject_cast<QLineEdit*>(box)) {
        if (edit->text() != text)
            edit->setText(text);
    } else if (auto* combo = qobject_cast<QComboBox*>(box)) {
        if (combo->currentText() != text)
            combo->setEditText(text);
    }
}

void ActivateFolioScreen(const QEvent* e)
{
    if (e->type() != QEvent::WindowActivate)
        return;
    ui::ui().setBusy(false);
    ui::ui().doEvents();
}

void ClientNameRule(QLineEdit* txtNAME, QLineEdit* Text_Msg, bool& Cancel)
{
    try {
        txtNAME->setText(vb::Trim(vb::UCase(txtNAME->text())));
        if (!txtNAME->text().isEmpty()) {
            Text_Msg->clear();
            clearMark(txtNAME);
        } else {
            Text_Msg->setText(QStringLiteral("NOTE - The Client Name should be entered"));
            markBox(txtNAME, colour::Attention, Text_Msg->text());
        }
    } catch (const std::exception&) {
        ui::ui().msgBox(QStringLiteral("Please Correct the Client Name, It is not a Valid Entry"), ui::Buttons::OK,
                        ui::Icon::Critical);
        Cancel = true;
        Text_Msg->setText(QStringLiteral("Error - The Client Name is Not Valid"));
    }
}

QString StatusCellText(const QVariant& value, qint64)
{
    const QString code = value.toString();
    if (code == QLatin1String("A"))
        return QStringLiteral("Add");
    if (code == QLatin1String("C"))
        return QStringLiteral("Change");
    if (code == QLatin1String("D"))
        return QStringLiteral("Delete");
    return code;
}

std::vector<ui::GridColumn> listColumns(const QString& statusHeading, ui::GridColumn::Formatter folioFormat)
{
    const Qt::Alignment left = Qt::AlignLeft | Qt::AlignVCenter;
    std::vector<ui::GridColumn> columns = {
        {QStringLiteral("ACD"), statusHeading, 0, false, StatusCellText, left, 6},     // "Change"
        {QStringLiteral("MORTCO"), QStringLiteral("Mort.Co"), 0, false, {}, left, 4},
        {QStringLiteral("NUMBER"), QStringLiteral("Mortgage Number"), 0, false, {}, left, 12},
        {QStringLiteral("CD"), QStringLiteral("CD"), 0, false, {}, left, 2},
        {QStringLiteral("JUR"), QStringLiteral("JUR"), 0, false, {}, left, 3},
        {QStringLiteral("FOLIO"), QStringLiteral("Folio Number"), 0, false, std::move(folioFormat), left, 18},
        {QStringLiteral("PID"), QStringLiteral("PID"), 0, false, {}, left, 9},
        {QStringLiteral("NAME"), QStringLiteral("Name"), 0, false, {}, left, 70},
        {QStringLiteral("ADDR1"), QStringLiteral("Address Line1"), 0, false, {}, left, 30},
    };
    for (int i = 2; i <= 5; ++i)
        columns.push_back({QStringLiteral("ADDR%1").arg(i), QStringLiteral("Address Line %1").arg(i), 0, false, {}, left, 30});
    columns.push_back({QStringLiteral("LEGAL"), QStringLiteral("Legal Description"), 0, false, {}, left, 32});
    return columns;
}

// ---------------------------------------------------------------- details

void paintLockedBoxes(QWidget* screen)
{
    for (QLineEdit* box : screen->findChildren<QLineEdit*>()) {
        if (box->isReadOnly() && box->focusPolicy() != Qt::NoFocus)
            paint(box, colour::Attention);
    }
}

} // namespace zarv::folioentry
