#pragma once
// What the folio screens (search, add, change, permanent delete) share beyond
// their Designer files: colours and texts of their boxes, the grid columns of
// VERIFY rows, and the read-only details of the current row that the change
// and permanent delete screens both show.
#include "platform/grid/recordsetmodel.h"
#include "verification/folioentry.h"

#include <QLabel>
#include <QLineEdit>
#include <QString>
#include <array>

class QComboBox;
class QEvent;
class QVariant;
class QWidget;

namespace zarv::folioentry {

// A combo box the user may type into: typed text is neither completed from the
// items nor added to them, and its edit box is named by the combo's caption.
void plainCombo(QComboBox* combo);

void setBold(QWidget* w, bool bold);
bool isBold(const QWidget* w);
// The box's background as &H00BBGGRR.
void paint(QWidget* box, unsigned colour);
bool paintedWith(const QWidget* box, unsigned colour);
// A box in error takes colour (&H00BBGGRR) and announces why to a screen
// reader (ui::markError); clearMark makes it white and silent again.
void markBox(QWidget* box, unsigned colour, const QString& why);
void clearMark(QWidget* box);
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

// The locked boxes of a details screen take the light yellow of a value that
// cannot be changed here.
void paintLockedBoxes(QWidget* screen);

// Shows every field of the details on a change or permanent delete screen (its
// controls as their Designer files name them); a field that is missing shows
// empty, so nothing of a row shown before stays on the screen.
template <typename Screen>
void ShowVerifyDetails(Screen& c, const VerifyDetails& d)
{
    c.txtMORTCO->setText(d.MORTCO);
    c.TextCD->setText(d.CD);
    c.TextJUR->setText(d.JUR);
    c.txtNUMBER->setText(d.NUMBER);
    c.txtNAME->setText(d.NAME);
    const std::array<QLineEdit*, 5> addr = {c.txtADDR1, c.txtADDR2, c.txtADDR3, c.txtADDR4, c.txtADDR5};
    for (size_t i = 0; i < addr.size(); ++i)
        addr[i]->setText(d.ADDR[i]);
    c.txtLEGAL->setText(d.LEGAL);
    c.Label_Collection_District_Name->setText(d.districtName);
    c.Label_Jurisdiction_Name->setText(d.jurisdictionName);
    c.Label_FOLIO_Disp->setText(d.folioDisplay);
    c.Label_FOLIO_Tarnwick_Format2->setText(d.FOLIO);
    c.Label_PID->setText(d.PID);
    for (QLineEdit* box : {c.txtMORTCO, c.TextCD, c.TextJUR, c.txtNUMBER, c.txtNAME, c.txtLEGAL})
        box->setCursorPosition(0);
}

} // namespace zarv::folioentry
