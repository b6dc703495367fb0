#pragma once
// The About window: the program's title, version and description, System Info,
// a print of the window, a line sweeping to and fro and the credits that pulse
// after a click on the icon.
#include "ui_About.h"

#include <QDialog>

class QTimer;

namespace zarv {

// The controls are laid out in About.ui; the credits (Label65, Label65b) and
// the lines move as the window runs.
class About : public QDialog, public Ui_About {
    Q_OBJECT
public:
    explicit About(QWidget* owner = nullptr);

    QTimer* Timer1 = nullptr;
    QTimer* Timer2 = nullptr;

    // --- event handlers
    void cmdOK_Click();
    void cmdSysInfo_Click();
    void picIcon_Click();
    void Picture_Printer_Click();
    void Timer1_Timer();
    void Timer2_Timer();

    // The next colour of the cycle after ColorText (an &HBBGGRR number as
    // decimal text), as decimal text; white after a colour outside the cycle.
    static QString PickColor(const QString& ColorText);

    // Where the credits stand, in twips from the window's top.
    int Label65Top() const { return label65Top_; }
    int Label65bTop() const { return label65bTop_; }
    long Label65bForeColor() const { return label65bColor_; }

private:
    void Form_Load();
    void StartSysInfo();
    void AnimateCredits();
    void placeCredits(int headingTop, int nameTop);
    void place(QWidget* w, int leftTwips, int topTwips, int widthTwips, int heightTwips);

    int creditsStep_ = 0;
    int label65Top_ = 0;
    int label65bTop_ = 0;
    long label65bColor_ = 0;
};

} // namespace zarv
