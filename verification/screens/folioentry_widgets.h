#pragma once
// Pieces the folio screens (search, add, change, permanent delete) build their
// controls from, and the read-only details of the current row that the change
// and permanent delete screens both show.
#include "platform/grid/recordsetmodel.h"
#include "verification/folioentry.h"

#include <QString>
#include <array>

class QComboBox;
class QEvent;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QVariant;
class QWidget;

namespace zarv::folioentry {

// Gives a control the name its screen knows it by and returns it.
template <typename W>
W* named(W* w, const char* name)
{
    w->setObjectName(QLatin1String(name));
    return w;
}

QLabel* makeLabel(QWidget* parent, const char* name, const QString& caption);
// A text box taking at most maxLength characters (0: no limit).
QLineEdit* makeBox(QWidget* parent, const char* name, int maxLength = 0);
QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption, const QString& toolTip);
// A combo box the user may type into: typed text is neither completed from the
// items nor added to them.
QComboBox* makeCombo(QWidget* parent, const char* name);

void setBold(QWidget* w, bool bold);
bool isBold(const QWidget* w);
// The box's background as &H00BBGGRR.
void paint(QWidget* box, unsigned colour);
bool paintedWith(const QWidget* box, unsigned colour);
// Selection start 0, length the whole text.
void selectAll(QWidget* box);
// The text of a text box or of a combo box.
QString textOf(const QWidget* box);
void setTextOf(QWidget* box, const QString& text);

// Form_Activate of the folio screens, called from a screen's event() with every
// event: when e activates the window, the pointer goes back to normal and
// pending paints run.
void ActivateFolioScreen(const QEvent* e);

// The Validate rule of the name box of the add and change screens: trimmed and
// in capitals; an empty name is noted in the status line and marked.
void ClientNameRule(QLineEdit* txtNAME, QLineEdit* Text_Msg, bool& Cancel);

// The status code ACD as the grids show it: "Add", "Change", "Delete"; any
// other code as it is.
QString StatusCellText(const QVariant& value, qint64 bookmark);

// The fourteen columns of a grid of VERIFY rows, each as wide as its field's
// length: the status (under statusHeading) through StatusCellText, the folio
// through folioFormat.
std::vector<ui::GridColumn> listColumns(const QString& statusHeading, ui::GridColumn::Formatter folioFormat);

// The owner's boxes of a folio screen: the name, the five address lines (by
// index and by name) and the legal description. Never copied: the names refer
// into the screen's own array.
struct OwnerBoxes {
    OwnerBoxes() = default;
    OwnerBoxes(const OwnerBoxes&) = delete;
    OwnerBoxes& operator=(const OwnerBoxes&) = delete;

    QLineEdit* txtNAME = nullptr;
    std::array<QLineEdit*, 5> txtADDR{};
    QLineEdit*& txtADDR1 = txtADDR[0];
    QLineEdit*& txtADDR2 = txtADDR[1];
    QLineEdit*& txtADDR3 = txtADDR[2];
    QLineEdit*& txtADDR4 = txtADDR[3];
    QLineEdit*& txtADDR5 = txtADDR[4];
    QLineEdit* txtLEGAL = nullptr;
};

// The fields of the current row of rsVerify, read-only, as the change and the
// permanent delete screens show them; the editable ones of the change screen
// are unlocked by that screen.
struct VerifyDetailControls : OwnerBoxes {
    QLineEdit* txtMORTCO = nullptr;
    QLineEdit* TextCD = nullptr;
    QLineEdit* TextJUR = nullptr;
    QLineEdit* txtNUMBER = nullptr;
    QLabel* Label_Collection_District_Name = nullptr;
    QLabel* Label_Jurisdiction_Name = nullptr;
    QLabel* Label_FOLIO_Disp = nullptr;
    QLabel* Label_FOLIO_Tarnwick_Format1 = nullptr;
    QLabel* Label_FOLIO_Tarnwick_Format2 = nullptr;
    QLabel* Label_FOLIO_Tarnwick_Format3 = nullptr;
    QLabel* Label_PID = nullptr;
    QLineEdit* Text_Msg = nullptr;

    // The labels beside the boxes, by the box they describe.
    QLabel* Label_MORTCO = nullptr;
    QLabel* Label_CD = nullptr;
    QLabel* Label_JUR = nullptr;
    QLabel* Label_NUMBER = nullptr;
    QLabel* Label_FOLIO = nullptr;
    QLabel* Label_PIDCaption = nullptr;
    QLabel* Label_NAME = nullptr;
    std::array<QLabel*, 5> Label_ADDR{};
    QLabel* Label_LEGAL = nullptr;
};

// Creates the controls (children of owner; a screen lays them out), all locked
// with the light yellow background, none of them a tab stop.
void BuildVerifyDetailControls(QWidget* owner, VerifyDetailControls& c);
// Shows every field of the details; a field that is missing shows empty, so
// nothing of a row shown before stays on the screen.
void ShowVerifyDetails(VerifyDetailControls& c, const VerifyDetails& d);

// The key fields' rows of a details grid: company ID, district and its name,
// jurisdiction and its name, folio display with the raw folio, PID.
void LayOutKeyFields(QGridLayout* grid, int firstRow, VerifyDetailControls& c);

} // namespace zarv::folioentry
