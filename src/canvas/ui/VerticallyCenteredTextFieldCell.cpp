#include "canvas/ui/VerticallyCenteredTextFieldCell.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QStyle>

VerticallyCenteredTextFieldCell::VerticallyCenteredTextFieldCell(QWidget *parent) : QLabel(parent) {}

VerticallyCenteredTextFieldCell::VerticallyCenteredTextFieldCell(const QString &text, QWidget *parent)
    : QLabel(text, parent)
{
}

QRectF VerticallyCenteredTextFieldCell::titleRectForBounds(const QRectF &bounds) const
{
    const double lineHeight = QFontMetricsF(font()).height();
    const double m = margin();
    QRectF title = bounds.adjusted(m, m, -m, -m);
    const double top = bounds.y() + (bounds.height() - lineHeight) / 2;
    title.setHeight(title.height() - (top - bounds.y()));
    title.moveTop(top);
    return title;
}

void VerticallyCenteredTextFieldCell::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    drawFrame(&painter);
    const QRect title = titleRectForBounds(QRectF(contentsRect())).toAlignedRect();
    const int flags = int(alignment() & Qt::AlignHorizontal_Mask) | Qt::AlignTop | Qt::TextSingleLine;
    painter.setClipRect(contentsRect());
    style()->drawItemText(&painter, title, flags, palette(), isEnabled(), text(), foregroundRole());
}
