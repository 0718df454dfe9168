#include "canvas/Card_Side_Image.h"

#include "canvas/SKTRenderingView.h"

#include <QPainter>

Card_Side_Image::Card_Side_Image(std::shared_ptr<const SKTRenderingView> view) : m_view(std::move(view)) {}

QSizeF Card_Side_Image::size() const
{
    return m_view ? m_view->bounds().size() : QSizeF();
}

void Card_Side_Image::draw(QPainter &painter, const QRectF &target) const
{
    const QSizeF own = size();
    if (own.isEmpty() || target.isEmpty())
        return;
    painter.save();
    painter.setClipRect(target, Qt::IntersectClip);
    painter.translate(target.topLeft());
    painter.scale(target.width() / own.width(), target.height() / own.height());
    m_view->drawRect(painter, m_view->bounds());
    painter.restore();
}

QImage Card_Side_Image::toImage(double dpi) const
{
    const double scale = dpi / 72.0;
    const QSizeF pixels = size() * scale;
    QImage image = SKTRenderingView::newTransparentImage(pixels, dpi);
    if (image.isNull())
        return image;
    QPainter painter(&image);
    draw(painter, QRectF(QPointF(0, 0), pixels));
    return image;
}
