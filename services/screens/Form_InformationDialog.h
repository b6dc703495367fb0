#pragma once
// The program's own modal message window for long, column-aligned texts.
// Callers set gMsgType, gMsgText and gMsgTitle, then show it modally; closing it
// empties the three strings.
#include "services/informationwindow.h"

#include "ui_Form_InformationDialog.h"

#include <QDialog>

namespace zarv {

// The controls are laid out in Form_InformationDialog.ui.
class Form_InformationDialog : public QDialog, public Ui_Form_InformationDialog {
    Q_OBJECT
public:
    explicit Form_InformationDialog(QWidget* parent = nullptr);

protected:
    void showEvent(QShowEvent* e) override;
    void done(int r) override;

private:
    void Form_Load();
    void Form_Activate();
    void Form_Unload();

    bool savedBusy_ = false;
    bool unloaded_ = false;
};

// Puts this window behind ShowInformationDialog; the screens' programs and
// tests do so at start.
void useInformationDialog();

} // namespace zarv
