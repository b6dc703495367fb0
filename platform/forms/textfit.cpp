#include "platform/forms/textfit.h"

#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionFrame>

namespace zarv::ui {

namespace {

// A line edit's own margin around its text, left and right.
constexpr int kInnerMargin = 2;

void atLeast(QLineEdit* box, int width)
{
    if (box->minimumWidth() < width)
        box->setMinimumWidth(width);
}

} // namespace

int boxWidthFor(const QLineEdit* box, const QString& text)
{
    const QMargins tm = box->textMargins();
    const QFontMetrics fm = box->fontMetrics();
    const int w = fm.horizontalAdvance(text) + 1 + 2 * kInnerMargin + tm.left() + tm.right();
    const int h = fm.height() + 2 + tm.top() + tm.bottom();
    QStyleOptionFrame opt;
    opt.initFrom(box);
    opt.rect = QRect(0, 0, w, h);
    opt.lineWidth = box->hasFrame() ? box->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &opt, box) : 0;
    const QSize outer = box->style()->sizeFromContents(QStyle::CT_LineEdit, &opt, QSize(w, h), box);
    return std::max(outer.width(), w + 2 * opt.lineWidth);
}

void followText(QLineEdit* box)
{
    atLeast(box, boxWidthFor(box, box->text()));
    QObject::connect(box, &QLineEdit::textChanged, box,
                     [box](const QString& text) { atLeast(box, boxWidthFor(box, text)); });
}

void fitToLength(QLineEdit* box)
{
    if (box->maxLength() > 0 && box->maxLength() < 1000)
        atLeast(box, boxWidthFor(box, QString(box->maxLength(), u'N')));
}

} // namespace zarv::ui
