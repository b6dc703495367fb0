#include "verification/screens/folioentry_widgets.h"

#include "platform/forms/formcolours.h"
#include "platform/forms/textfit.h"
#include "platform/text/vb.h"
#include "platform/ui/uiservices.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace zarv::folioentry {

QLabel* makeLabel(QWidget* parent, const char* name, const QString& caption)
{
    return named(new QLabel(caption, parent), name);
}

QLineEdit* makeBox(QWidget* parent, const char* name, int maxLength)
{
    auto* box = named(new QLineEdit(parent), name);
    if (maxLength > 0)
        box->setMaxLength(maxLength);
    return box;
}

QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption, const QString& toolTip)
{
    auto* b = named(new QPushButton(caption, parent), name);
    b->setToolTip(toolTip);
    b->setAutoDefault(false);
    return b;
}

QComboBox* makeCombo(QWidget* parent, const char* name)
{
    auto* combo = named(new QComboBox(parent), name);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setCompleter(nullptr);
    combo->setMinimumContentsLength(12);
    return combo;
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
            paint(txtNAME, colour::White);
        } else {
            Text_Msg->setText(QStringLiteral("NOTE - The Client Name should be entered"));
            paint(txtNAME, colour::Attention);
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

namespace {

QLineEdit* lockedBox(QWidget* owner, const char* name)
{
    auto* box = makeBox(owner, name);
    box->setReadOnly(true);
    box->setFocusPolicy(Qt::ClickFocus);    // locked, and skipped by the tab key
    paint(box, colour::Attention);
    return box;
}

} // namespace

void BuildVerifyDetailControls(QWidget* owner, VerifyDetailControls& c)
{
    c.txtMORTCO = lockedBox(owner, "txtMORTCO");
    c.TextCD = lockedBox(owner, "TextCD");
    c.TextJUR = lockedBox(owner, "TextJUR");
    c.txtNUMBER = lockedBox(owner, "txtNUMBER");
    c.txtNAME = lockedBox(owner, "txtNAME");
    for (int i = 0; i < 5; ++i) {
        const QByteArray name = "txtADDR" + QByteArray::number(i + 1);
        c.txtADDR[size_t(i)] = lockedBox(owner, name.constData());
    }
    c.txtLEGAL = lockedBox(owner, "txtLEGAL");

    c.Label_Collection_District_Name = makeLabel(owner, "Label_Collection_District_Name", {});
    c.Label_Jurisdiction_Name = makeLabel(owner, "Label_Jurisdiction_Name", {});
    c.Label_FOLIO_Disp = makeLabel(owner, "Label_FOLIO_Disp", {});
    c.Label_FOLIO_Tarnwick_Format1 =
        makeLabel(owner, "Label_FOLIO_Tarnwick_Format1", QStringLiteral("( Tarnwick Folio Format is:"));
    c.Label_FOLIO_Tarnwick_Format2 = makeLabel(owner, "Label_FOLIO_Tarnwick_Format2", {});
    c.Label_FOLIO_Tarnwick_Format3 = makeLabel(owner, "Label_FOLIO_Tarnwick_Format3", QStringLiteral(")"));
    c.Label_PID = makeLabel(owner, "Label_PID", {});
    for (QLabel* l : {c.Label_FOLIO_Disp, c.Label_PID, c.Label_FOLIO_Tarnwick_Format2})
        l->setTextInteractionFlags(Qt::TextSelectableByMouse);

    c.Text_Msg = named(new QLineEdit(owner), "Text_Msg");
    c.Text_Msg->setReadOnly(true);
    c.Text_Msg->setFocusPolicy(Qt::NoFocus);
    ui::setForeColour(c.Text_Msg, ui::colour::Blue);
    ui::followText(c.Text_Msg);

    c.Label_MORTCO = makeLabel(owner, "Label_MORTCO", QStringLiteral("Mortgage Company ID:"));
    c.Label_CD = makeLabel(owner, "Label_CD", QStringLiteral("Collection District (CD):"));
    c.Label_JUR = makeLabel(owner, "Label_JUR", QStringLiteral("Jurisdiction (JUR):"));
    c.Label_NUMBER = makeLabel(owner, "Label_NUMBER", QStringLiteral("Mortgage Number:"));
    c.Label_FOLIO = makeLabel(owner, "Label_FOLIO", QStringLiteral("Folio Number:"));
    c.Label_PIDCaption = makeLabel(owner, "Label_PIDCaption", QStringLiteral("Property Identifier (PID):"));
    c.Label_NAME = makeLabel(owner, "Label_NAME", QStringLiteral("Name:"));
    for (int i = 0; i < 5; ++i) {
        const QByteArray name = "Label_ADDR" + QByteArray::number(i + 1);
        c.Label_ADDR[size_t(i)] = makeLabel(owner, name.constData(), QStringLiteral("Address Line %1:").arg(i + 1));
    }
    c.Label_LEGAL = makeLabel(owner, "Label_LEGAL", QStringLiteral("Legal Description:"));
}

void ShowVerifyDetails(VerifyDetailControls& c, const VerifyDetails& d)
{
    c.txtMORTCO->setText(d.MORTCO);
    c.TextCD->setText(d.CD);
    c.TextJUR->setText(d.JUR);
    c.txtNUMBER->setText(d.NUMBER);
    c.txtNAME->setText(d.NAME);
    for (size_t i = 0; i < c.txtADDR.size(); ++i)
        c.txtADDR[i]->setText(d.ADDR[i]);
    c.txtLEGAL->setText(d.LEGAL);
    c.Label_Collection_District_Name->setText(d.districtName);
    c.Label_Jurisdiction_Name->setText(d.jurisdictionName);
    c.Label_FOLIO_Disp->setText(d.folioDisplay);
    c.Label_FOLIO_Tarnwick_Format2->setText(d.FOLIO);
    c.Label_PID->setText(d.PID);
    for (QLineEdit* box : {c.txtMORTCO, c.TextCD, c.TextJUR, c.txtNUMBER, c.txtNAME, c.txtLEGAL})
        box->setCursorPosition(0);
}

void LayOutKeyFields(QGridLayout* grid, int row, VerifyDetailControls& c)
{
    grid->addWidget(c.Label_MORTCO, row, 0);
    grid->addWidget(c.txtMORTCO, row, 1);
    ++row;
    grid->addWidget(c.Label_CD, row, 0);
    grid->addWidget(c.TextCD, row, 1);
    grid->addWidget(c.Label_Collection_District_Name, row, 2, 1, 3);
    ++row;
    grid->addWidget(c.Label_JUR, row, 0);
    grid->addWidget(c.TextJUR, row, 1);
    grid->addWidget(c.Label_Jurisdiction_Name, row, 2, 1, 3);
    ++row;
    grid->addWidget(c.Label_FOLIO, row, 0);
    grid->addWidget(c.Label_FOLIO_Disp, row, 1, 1, 2);
    auto* raw = new QHBoxLayout;
    raw->setSpacing(4);
    raw->addWidget(c.Label_FOLIO_Tarnwick_Format1);
    raw->addWidget(c.Label_FOLIO_Tarnwick_Format2);
    raw->addWidget(c.Label_FOLIO_Tarnwick_Format3);
    raw->addStretch(1);
    grid->addLayout(raw, row, 3, 1, 2);
    ++row;
    grid->addWidget(c.Label_PIDCaption, row, 0);
    grid->addWidget(c.Label_PID, row, 1, 1, 2);
}

} // namespace zarv::folioentry
