#pragma once
// The last screen of a verification run: where the rewritten workbook is and
// where to e-mail it.
#include "ui_ZARV_ReturnInstructions2.h"

#include <QDialog>

namespace zarv {

// The controls are laid out in ZARV_ReturnInstructions2.ui.
class ZARV_ReturnInstructions2 : public QDialog, public Ui_ZARV_ReturnInstructions2 {
    Q_OBJECT
public:
    explicit ZARV_ReturnInstructions2(QWidget* parent = nullptr);

    void Command_Exit_Click();

private:
    void Form_Load();
};

} // namespace zarv
