#include "shell/formparts.h"

#include "platform/forms/formcolours.h"
#include "platform/ui/screens/parking.h"
#include "platform/ui/uiservices.h"

#include <QMouseEvent>
#include <QPainter>
#include <QSvgRenderer>
#include <algorithm>
#include <cstdlib>

namespace zarv {

QString joinPath(const QString& folder, const QString& fileName)
{
    if (folder.endsWith(QLatin1Char('/')))
        return folder + fileName;
    return folder + QLatin1Char('/') + fileName;
}

// ---------------------------------------------------------------- PictureBox

PictureBox::PictureBox(QWidget* parent) : QLabel(parent)
{
    setCursor(Qt::PointingHandCursor);
}

void PictureBox::mousePressEvent(QMouseEvent* e)
{
    pressed_ = e->button() == Qt::LeftButton;
    e->accept();
}

void PictureBox::mouseReleaseEvent(QMouseEvent* e)
{
    const bool click = pressed_ && e->button() == Qt::LeftButton && rect().contains(e->position().toPoint());
    pressed_ = false;
    e->accept();
    if (click)
        emit clicked();
}

// ---------------------------------------------------------------- LineShape

LineShape::LineShape(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void LineShape::setLine(int x1, int y1, int x2, int y2)
{
    x1_ = x1;
    y1_ = y1;
    x2_ = x2;
    y2_ = y2;
    place();
}

void LineShape::setBorderColor(long bgr)
{
    color_ = bgr;
    update();
}

void LineShape::setBorderWidth(int pixels)
{
    width_ = std::max(1, pixels);
    place();
}

void LineShape::place()
{
    const int left = ui::twipsToPixels(std::min(x1_, x2_));
    const int top = ui::twipsToPixels(std::min(y1_, y2_));
    const int w = std::max(width_, ui::twipsToPixels(std::abs(x2_ - x1_)) + width_);
    const int h = std::max(width_, ui::twipsToPixels(std::abs(y2_ - y1_)) + width_);
    setGeometry(left, top, w, h);
    update();
}

void LineShape::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    QPen pen(ui::vbColour(quint32(color_)));
    pen.setWidth(width_);
    pen.setCapStyle(Qt::FlatCap);
    p.setPen(pen);
    const qreal half = width_ / 2.0;
    const QPointF a(ui::twipsToPixels(x1_ - std::min(x1_, x2_)) + half, ui::twipsToPixels(y1_ - std::min(y1_, y2_)) + half);
    const QPointF b(ui::twipsToPixels(x2_ - std::min(x1_, x2_)) + half, ui::twipsToPixels(y2_ - std::min(y1_, y2_)) + half);
    if (a == b)
        p.drawPoint(a);
    else
        p.drawLine(a, b);
}

// ---------------------------------------------------------------- pictures

QIcon zarvIcon()
{
    // The icon the package installs (zarv.svg), built into the program, drawn
    // at the sizes window managers ask for.
    QSvgRenderer svg(QStringLiteral(":/zarv/zarv.svg"));
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128}) {
        QPixmap pm(size, size);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        svg.render(&p);
        icon.addPixmap(pm);
    }
    return icon;
}

QPixmap printerPicture()
{
    const int s = 32;
    QPixmap pm(s, s);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(9.5, 3.5, 13, 10));            // paper going in
    p.setBrush(QColor(0x80, 0x80, 0x80));
    p.drawRoundedRect(QRectF(3.5, 12.5, 25, 11), 2, 2);  // body
    p.setBrush(Qt::white);
    p.drawRect(QRectF(8.5, 20.5, 15, 9));            // the printed sheet
    p.setPen(QPen(Qt::black, 1));
    p.drawLine(QPointF(11, 24), QPointF(21, 24));
    p.drawLine(QPointF(11, 27), QPointF(19, 27));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x00, 0xC0, 0x00));
    p.drawEllipse(QPointF(25, 16), 1.5, 1.5);        // power light
    return pm;
}

} // namespace zarv
