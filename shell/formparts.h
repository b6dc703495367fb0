#pragma once
// Small pieces the shell's screens share: paths, a picture that reacts to a click, a line placed in twips, the program's icon.
#include <QIcon>
#include <QLabel>
#include <QString>
#include <QWidget>

namespace zarv {

// Joins a folder and a file name with exactly one "/" between them.
QString joinPath(const QString& folder, const QString& fileName);

// A picture that reports a click (released over it with the left button).
class PictureBox : public QLabel {
    Q_OBJECT
public:
    explicit PictureBox(QWidget* parent = nullptr);

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    bool pressed_ = false;
};

// A straight line whose ends are placed in twips on its parent; a tag text rides
// along with it, as screens use one to remember a direction.
class LineShape : public QWidget {
    Q_OBJECT
public:
    explicit LineShape(QWidget* parent = nullptr);

    int x1() const { return x1_; }
    int y1() const { return y1_; }
    int x2() const { return x2_; }
    int y2() const { return y2_; }
    void setLine(int x1, int y1, int x2, int y2);

    long borderColor() const { return color_; }     // &HBBGGRR
    void setBorderColor(long bgr);
    void setBorderWidth(int pixels);

    QString tag;

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    void place();
    int x1_ = 0, y1_ = 0, x2_ = 0, y2_ = 0;
    long color_ = 0;
    int width_ = 1;
};

// The program's icon, drawn in code so that no resource file is needed.
QIcon zarvIcon();
// A small printer picture for "print this form".
QPixmap printerPicture();

} // namespace zarv
