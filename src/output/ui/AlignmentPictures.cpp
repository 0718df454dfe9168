#include "output/ui/AlignmentPictures.h"

#include <QPainter>
#include <QPixmap>

namespace AlignmentPictures {

QImage picture(int code, bool selected, int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    if (code < 1 || code > 9)
        return image;
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor ink = selected ? QColor(38, 110, 210) : QColor(120, 126, 138);
    const QRectF sheet(size * 0.16, size * 0.06, size * 0.68, size * 0.88);
    painter.setPen(QPen(ink, 1.2));
    painter.setBrush(selected ? QColor(225, 236, 252) : QColor(Qt::white));
    painter.drawRect(sheet);
    // A block of two by two cards at the place the code names.
    const QSizeF block(sheet.width() * 0.5, sheet.height() * 0.38);
    const int column = (code - 1) % 3, row = (code - 1) / 3;
    const double inset = 2.5;
    const double x = sheet.left() + inset + column * (sheet.width() - 2 * inset - block.width()) / 2;
    const double y = sheet.top() + inset + row * (sheet.height() - 2 * inset - block.height()) / 2;
    painter.setPen(Qt::NoPen);
    painter.setBrush(ink);
    const double gap = 1.2;
    const QSizeF card((block.width() - gap) / 2, (block.height() - gap) / 2);
    for (int i = 0; i < 4; ++i)
        painter.drawRect(QRectF(QPointF(x + (i % 2) * (card.width() + gap), y + (i / 2) * (card.height() + gap)), card));
    return image;
}

QIcon icon(int code, bool selected)
{
    QIcon icon;
    for (const int scale : {1, 2}) {
        QImage image = picture(code, selected, 28 * scale);
        image.setDevicePixelRatio(scale);
        icon.addPixmap(QPixmap::fromImage(image));
    }
    return icon;
}

} // namespace AlignmentPictures
