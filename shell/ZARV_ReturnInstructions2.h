#pragma once
// The last screen of a verification run: where the rewritten workbook is and
// where to e-mail it.
#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace zarv {

class ZARV_ReturnInstructions2 : public QDialog {
    Q_OBJECT
public:
    explicit ZARV_ReturnInstructions2(QWidget* parent = nullptr);

    QLabel* Label_FileName = nullptr;
    QLabel* Label_Email = nullptr;
    QPushButton* Command_Exit = nullptr;
    QLineEdit* Text_Msg = nullptr;

    void Command_Exit_Click();

private:
    void Form_Load();
};

} // namespace zarv
