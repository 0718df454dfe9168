#include "canvas/GraphicPictureCache.h"

#include "document/DrawingCacheKey.h"
#include "document/SKTGraphic.h"
#include "platform/ConcurrentFor.h"

#include <QPaintDevice>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>

namespace {

// Far inside int, so that differences of two such numbers cannot overflow either.
bool fitsPixelNumbers(double value)
{
    return std::abs(value) <= 1 << 24; // false for NaN and infinities too
}

} // namespace

GraphicPictureCache::Request GraphicPictureCache::request(const QPainter &painter, const SKTGraphic &graphic,
                                                          bool isBeingCreateOrEdited, QByteArray &key) const
{
    key.resize(0);
    Request request;
    const QTransform world = painter.combinedTransform();
    if (world.type() > QTransform::TxScale || !painter.device() || !graphic.appendDrawingCacheKey(key))
        return request;

    // Everything below is in device pixels, so that high-density screens keep their sharpness.
    request.ratio = painter.device()->devicePixelRatioF();
    request.toPixels = world * QTransform::fromScale(request.ratio, request.ratio);
    const QPointF origin = request.toPixels.map(graphic.bounds().topLeft());
    // Positions are checked before they become pixel numbers: an object far off the card (a stray
    // size or place read from a file or the pasteboard) is drawn directly.
    if (!fitsPixelNumbers(origin.x()) || !fitsPixelNumbers(origin.y()))
        return request;
    request.originPixel = QPoint(static_cast<int>(std::floor(origin.x())), static_cast<int>(std::floor(origin.y())));
    const QPointF phase = origin - QPointF(request.originPixel);
    DrawingCacheKey(key) << request.toPixels.m11() << request.toPixels.m22() << phase << isBeingCreateOrEdited;
    request.keepable = true;
    return request;
}

const GraphicPictureCache::Entry *GraphicPictureCache::find(const SKTGraphic &graphic, const QByteArray &key) const
{
    const auto it = m_entries.constFind(&graphic);
    return it != m_entries.constEnd() && it->key == key ? &*it : nullptr;
}

std::optional<GraphicPictureCache::Entry> GraphicPictureCache::make(const Request &request, QByteArray key,
                                                                    SKTGraphic &graphic, int renderHints,
                                                                    bool isBeingCreateOrEdited,
                                                                    const DrawingResources &resources)
{
    const QRectF drawn = graphic.drawingBounds();
    const QRectF area = request.toPixels.mapRect(drawn);
    const double left = std::floor(area.left()), top = std::floor(area.top());
    const double width = std::ceil(area.right()) - left, height = std::ceil(area.bottom()) - top;
    if (!fitsPixelNumbers(left) || !fitsPixelNumbers(top) ||
        !(width > 0 && height > 0 && width * height <= static_cast<double>(kMaxPicturePixels)))
        return std::nullopt;
    const QPoint topLeft(static_cast<int>(left), static_cast<int>(top));
    const QSize size(static_cast<int>(width), static_cast<int>(height));
    // Zeroed memory from calloc: fresh pages need no pass to clear them.
    const qsizetype bytesPerLine = qsizetype(size.width()) * 4;
    std::unique_ptr<void, void (*)(void *)> bits(std::calloc(size_t(bytesPerLine) * size_t(size.height()), 1), std::free);
    if (!bits)
        return std::nullopt;
    const auto pixels = static_cast<uchar *>(bits.get());
    {
        // Drawn through a picture that goes with its painter: a picture holds on to all the memory
        // its painter used, which the kept one has no need of.
        QImage canvas(pixels, size.width(), size.height(), bytesPerLine, QImage::Format_ARGB32_Premultiplied);
        QPainter picturePainter(&canvas);
        picturePainter.setRenderHints(QPainter::RenderHints(renderHints));
        picturePainter.translate(-topLeft);
        picturePainter.setTransform(request.toPixels, true);
        picturePainter.setClipRect(drawn);
        graphic.drawContentsInView(picturePainter, isBeingCreateOrEdited, resources);
    }
    QImage picture(pixels, size.width(), size.height(), bytesPerLine, QImage::Format_ARGB32_Premultiplied,
                   [](void *memory) { std::free(memory); }, bits.release());
    picture.setDevicePixelRatio(request.ratio);
    return Entry{std::move(key), std::move(picture), topLeft - request.originPixel};
}

const GraphicPictureCache::Entry &GraphicPictureCache::keep(const SKTGraphic &graphic, Entry &&entry)
{
    forget(&graphic);
    if (m_bytes + entry.picture.sizeInBytes() > kByteBudget)
        clear();
    m_bytes += entry.picture.sizeInBytes();
    return *m_entries.insert(&graphic, std::move(entry));
}

GraphicPictureCache::Placed GraphicPictureCache::placed(const Request &request, const Entry &entry)
{
    return {entry.picture, QPointF(request.originPixel + entry.offset) / request.ratio};
}

void GraphicPictureCache::draw(QPainter &painter, const Placed &placed)
{
    painter.save();
    painter.resetTransform();
    painter.drawImage(placed.position, placed.picture);
    painter.restore();
}

void GraphicPictureCache::drawContents(QPainter &painter, SKTGraphic &graphic, bool isBeingCreateOrEdited,
                                       const DrawingResources &resources)
{
    const Request asked = request(painter, graphic, isBeingCreateOrEdited, m_key);
    const Entry *entry = asked.keepable ? find(graphic, m_key) : nullptr;
    if (!entry && asked.keepable) {
        if (std::optional<Entry> fresh =
                make(asked, m_key, graphic, painter.renderHints(), isBeingCreateOrEdited, resources))
            entry = &keep(graphic, std::move(*fresh));
    }
    if (!entry) {
        forget(&graphic);
        graphic.drawContentsInView(painter, isBeingCreateOrEdited, resources);
        return;
    }
    draw(painter, placed(asked, *entry));
}

std::vector<std::optional<GraphicPictureCache::Placed>>
GraphicPictureCache::prepare(const QPainter &painter, const std::vector<SKTGraphic *> &graphics,
                             const DrawingResources &resources)
{
    struct Asked {
        Request request;
        QByteArray key;
        const Entry *found = nullptr;
        std::optional<Entry> made;
    };
    std::vector<Asked> asked(graphics.size());
    // Keys are built side by side: on a busy canvas they are a good part of a repaint. Nothing is
    // kept or let go meanwhile, so looking pictures up from several threads is safe.
    constexpr qsizetype kGraphicsPerRound = 64;
    const qsizetype count = qsizetype(graphics.size());
    platform::concurrentFor((count + kGraphicsPerRound - 1) / kGraphicsPerRound, [&](qsizetype round) {
        for (qsizetype i = round * kGraphicsPerRound; i < std::min(count, (round + 1) * kGraphicsPerRound); ++i) {
            Asked &a = asked[size_t(i)];
            a.request = request(painter, *graphics[size_t(i)], false, a.key);
            a.found = a.request.keepable ? find(*graphics[size_t(i)], a.key) : nullptr;
        }
    });
    std::vector<size_t> missing;
    for (size_t i = 0; i < graphics.size(); ++i)
        if (asked[i].request.keepable && !asked[i].found)
            missing.push_back(i);
    const int hints = painter.renderHints();
    // Each call draws one object into a picture of its own.
    platform::concurrentFor(qsizetype(missing.size()), [&](qsizetype m) {
        Asked &a = asked[missing[size_t(m)]];
        a.made = make(a.request, a.key, *graphics[missing[size_t(m)]], hints, false, resources);
    });
    // Pictures found are placed first, as keeping may start the cache over; those just made are
    // placed from their own copy, which serves this paint whatever the cache lets go.
    std::vector<std::optional<Placed>> pictures(graphics.size());
    for (size_t i = 0; i < graphics.size(); ++i)
        if (asked[i].found)
            pictures[i] = placed(asked[i].request, *asked[i].found);
    for (const size_t i : missing) {
        if (asked[i].made) {
            pictures[i] = placed(asked[i].request, *asked[i].made);
            keep(*graphics[i], std::move(*asked[i].made));
        } else {
            forget(graphics[i]);
        }
    }
    return pictures;
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
