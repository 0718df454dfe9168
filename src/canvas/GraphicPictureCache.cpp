#include "canvas/GraphicPictureCache.h"

#include "document/DrawingCacheKey.h"
#include "document/SKTGraphic.h"

#include <QPaintDevice>
#include <QPainter>

#include <cmath>

namespace {

// Far inside int, so that differences of two such numbers cannot overflow either.
bool fitsPixelNumbers(double value)
{
    return std::abs(value) <= 1 << 24; // false for NaN and infinities too
}

} // namespace

void GraphicPictureCache::drawContents(QPainter &painter, SKTGraphic &graphic, bool isBeingCreateOrEdited)
{
    // One buffer for every paint's keys: a key is built for every object on every paint.
    QByteArray &key = m_key;
    key.resize(0);
    const QTransform world = painter.combinedTransform();
    if (world.type() > QTransform::TxScale || !painter.device() || !graphic.appendDrawingCacheKey(key)) {
        graphic.drawContentsInView(painter, isBeingCreateOrEdited);
        return;
    }

    // Everything below is in device pixels, so that high-density screens keep their sharpness.
    const qreal ratio = painter.device()->devicePixelRatioF();
    const QTransform toPixels = world * QTransform::fromScale(ratio, ratio);
    const QPointF origin = toPixels.map(graphic.bounds().topLeft());
    // Positions are checked before they become pixel numbers: an object far off the card (a stray
    // size or place read from a file or the pasteboard) is drawn directly.
    if (!fitsPixelNumbers(origin.x()) || !fitsPixelNumbers(origin.y())) {
        forget(&graphic);
        graphic.drawContentsInView(painter, isBeingCreateOrEdited);
        return;
    }
    const QPoint originPixel(static_cast<int>(std::floor(origin.x())), static_cast<int>(std::floor(origin.y())));
    const QPointF phase = origin - QPointF(originPixel);
    DrawingCacheKey(key) << toPixels.m11() << toPixels.m22() << phase << isBeingCreateOrEdited;

    const auto it = m_entries.constFind(&graphic);
    const Entry *entry = it != m_entries.constEnd() && it->key == key ? &*it : nullptr;
    if (!entry) {
        const QRectF drawn = graphic.drawingBounds();
        const QRectF area = toPixels.mapRect(drawn);
        const double left = std::floor(area.left()), top = std::floor(area.top());
        const double width = std::ceil(area.right()) - left, height = std::ceil(area.bottom()) - top;
        if (!fitsPixelNumbers(left) || !fitsPixelNumbers(top) ||
            !(width > 0 && height > 0 && width * height <= static_cast<double>(kMaxPicturePixels))) {
            forget(&graphic);
            graphic.drawContentsInView(painter, isBeingCreateOrEdited);
            return;
        }
        const QPoint topLeft(static_cast<int>(left), static_cast<int>(top));
        const QSize size(static_cast<int>(width), static_cast<int>(height));
        Entry fresh{key, QImage(size, QImage::Format_ARGB32_Premultiplied), topLeft - originPixel};
        fresh.picture.fill(Qt::transparent);
        {
            QPainter picturePainter(&fresh.picture);
            picturePainter.setRenderHints(painter.renderHints());
            picturePainter.translate(-topLeft);
            picturePainter.setTransform(toPixels, true);
            picturePainter.setClipRect(drawn);
            graphic.drawContentsInView(picturePainter, isBeingCreateOrEdited);
        }
        fresh.picture.setDevicePixelRatio(ratio);
        forget(&graphic);
        if (m_bytes + fresh.picture.sizeInBytes() > kByteBudget)
            clear();
        m_bytes += fresh.picture.sizeInBytes();
        entry = &*m_entries.insert(&graphic, std::move(fresh));
    }

    painter.save();
    painter.resetTransform();
    painter.drawImage(QPointF(originPixel + entry->offset) / ratio, entry->picture);
    painter.restore();
}

void GraphicPictureCache::forget(const SKTGraphic *graphic)
{
    const auto it = m_entries.find(graphic);
    if (it == m_entries.end())
        return;
    m_bytes -= it->picture.sizeInBytes();
    m_entries.erase(it);
}

void GraphicPictureCache::clear()
{
    m_entries.clear();
    m_bytes = 0;
}
