#pragma once
// The About window: the program's title, version and description, System Info,
// a print of the window, a line sweeping to and fro and the credits that pulse
// after a click on the icon.
#include <QDialog>

class QLabel;
class QPushButton;
class QTimer;

namespace zarv {

class LineShape;
class PictureBox;

class About : public QDialog {
    Q_OBJECT
public:
    explicit About(QWidget* owner = nullptr);

    QLabel* lblTitle = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblDescription = nullptr;
    QLabel* lblDisclaimer = nullptr;
    PictureBox* picIcon = nullptr;
    PictureBox* Picture_Printer = nullptr;
    LineShape* Line1 = nullptr;
    LineShape* Line2 = nullptr;
    QLabel* Label65 = nullptr;
    QLabel* Label65b = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdSysInfo = nullptr;
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
    int creditsStep() const { return creditsStep_; }

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
