#pragma once
// The program's own modal message window for long, column-aligned texts.
// Callers set gMsgType, gMsgText and gMsgTitle, then show it modally; closing it
// empties the three strings.
#include "services/informationwindow.h"

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace zarv {

class Form_InformationDialog : public QDialog {
    Q_OBJECT
public:
    explicit Form_InformationDialog(QWidget* parent = nullptr);

    QLabel* Label_Title = nullptr;
    QPlainTextEdit* Text_Msg = nullptr;
    QLabel* Picture_Informational = nullptr;
    QLabel* Picture_Critical = nullptr;
    QPushButton* OKButton = nullptr;

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
