#include "canvas/ui/Repeat_Image.h"

#include <QPaintEvent>
#include <QPainter>

Repeat_Image::Repeat_Image(QWidget *parent) : QWidget(parent) {}

void Repeat_Image::setBannerImage(const QImage &banner)
{
    m_banner = banner;
    update();
}

void Repeat_Image::setImage(const QImage &image)
{
    m_image = image;
    updateGeometry();
    update();
}

QSize Repeat_Image::sizeHint() const
{
    return m_image.isNull() ? QWidget::sizeHint() : m_image.size();
}

void Repeat_Image::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    // A texture brush is anchored at the widget's origin, so partial repaints join seamlessly.
    if (!m_banner.isNull())
        painter.fillRect(event->rect(), QBrush(m_banner));
    if (m_image.isNull() || width() <= 0 || height() <= 0)
        return;

    QSizeF size = m_image.size();
    if (size.width() > width() || size.height() > height())
        size.scale(QSizeF(this->size()), Qt::KeepAspectRatio);
    QRectF target(QPointF(), size);
    target.moveCenter(QRectF(rect()).center());
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter.drawImage(target, m_image);
}
