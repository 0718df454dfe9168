#include "canvas/Card_Side_Image.h"

#include "canvas/PainterStateGuard.h"
#include "canvas/SKTRenderingView.h"

#include <QPainter>

Card_Side_Image::Card_Side_Image(std::shared_ptr<const SKTRenderingView> view) : m_view(std::move(view)) {}

QSizeF Card_Side_Image::size() const
{
    return m_view ? m_view->bounds().size() : QSizeF();
}

bool Card_Side_Image::draw(QPainter &painter, const QRectF &target, QString *error) const
{
    const QSizeF own = size();
    if (own.isEmpty() || target.isEmpty())
        return true;
    PainterStateGuard guard(painter);
    painter.setClipRect(target, Qt::IntersectClip);
    painter.translate(target.topLeft());
    painter.scale(target.width() / own.width(), target.height() / own.height());
    return m_view->drawRect(painter, m_view->bounds(), error);
}

QImage Card_Side_Image::toImage(double dpi, QString *error) const
{
    const QSizeF pixels = size() * (dpi / 72.0);
    QImage image = SKTRenderingView::newTransparentImage(SKTRenderingView::wholePixels(pixels), dpi);
    if (image.isNull())
        return image;
    QPainter painter(&image);
    if (!draw(painter, QRectF(QPointF(0, 0), pixels), error))
        return QImage();
    return image;
}
