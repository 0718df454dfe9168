#include "canvas/SideDrawing.h"

#include "canvas/CardFace.h"
#include "canvas/GraphicPictureCache.h"
#include "canvas/PainterStateGuard.h"
#include "canvas/SKTGrid.h"
#include "canvas/SKTSelection.h"
#include "document/DrawingCacheKey.h"
#include "core/MessageBoxes.h"
#include "document/Card_Property.h"
#include "document/ControlTags.h"
#include "platform/ConcurrentFor.h"

#include <QGuiApplication>
#include <QImage>
#include <QPalette>

#include <algorithm>
#include <cmath>
#include <exception>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

namespace {

struct Item {
    SKTGraphic *graphic;
    QRectF bounds;
    bool beingCreated;
    bool handles;
    std::optional<GraphicPictureCache::Placed> kept;
};

void drawItem(QPainter &painter, const Item &item, GraphicPictureCache *pictures, const DrawingResources &resources)
{
    PainterStateGuard graphicGuard(painter);
    painter.setClipRect(item.bounds, Qt::IntersectClip);
    if (item.kept)
        GraphicPictureCache::draw(painter, *item.kept);
    else if (pictures)
        pictures->drawContents(painter, *item.graphic, item.beingCreated, resources);
    else
        item.graphic->drawContentsInView(painter, item.beingCreated, resources);
    if (item.handles)
        item.graphic->drawHandlesInView(painter, item.graphic->ctrl_is_locked);
}

// Draws the card face and grid, and blends runs of kept pictures, into the painter's picture in
// bands of rows, one painter per band, each set up as the caller's painter is. Rows of a band are
// whole pixels at whole points, so the bands neither overlap nor leave a gap, and a fill's rows start
// where they would in one pass, so a gradient's colours do not move.
class Bands {
public:
    // Only for a canvas, whose objects are kept as pictures: its repaints are the ones to hurry.
    Bands(QPainter &painter, const QRectF &area, bool forCanvas) : m_painter(painter), m_area(area)
    {
        QPaintDevice *device = painter.device();
        if (!forCanvas || !device || device->devType() != QInternal::Image || painter.hasClipping() ||
            painter.combinedTransform() != painter.worldTransform() ||
            painter.worldTransform().type() > QTransform::TxScale)
            return;
        auto *image = static_cast<QImage *>(device);
        const qreal ratio = image->devicePixelRatio();
        if (!(ratio >= 1 && ratio == std::floor(ratio)))
            return;
        m_ratio = static_cast<int>(ratio);
        // A band of fewer rows costs more in setting up its painter than it saves.
        m_count = std::min(platform::concurrentThreads(), image->height() / (kLeastRows * m_ratio));
        if (m_count < 2)
            return;
        m_image = image;
        // The memory the caller's painter draws into: asking for writable bits could copy it.
        m_bits = const_cast<uchar *>(image->constBits());
    }

    bool usable() const { return m_image != nullptr; }

    // Runs `paint` once for each band, on the thread pool, with a painter on the caller's picture
    // set up as the caller's: clipped to the band's rows, then to the area, in its world transform.
    void each(const std::function<void(QPainter &, const std::function<void()> &setUp, const QRectF &rows)> &paint) const
    {
        const int rows = m_image->height() / m_ratio; // in whole points of the picture
        platform::concurrentFor(m_count, [&](qsizetype band) {
            const int top = int(rows * band / m_count), bottom = int(rows * (band + 1) / m_count);
            QImage picture(m_bits, m_image->width(), m_image->height(), m_image->bytesPerLine(), m_image->format());
            picture.setDevicePixelRatio(m_ratio);
            QPainter painter(&picture);
            painter.setRenderHints(m_painter.renderHints());
            // The last band also takes the rows below the last whole point.
            const QSizeF size = picture.deviceIndependentSize();
            const QRectF ownRows(0, top, size.width(), band == m_count - 1 ? size.height() - top : bottom - top);
            const QTransform world = m_painter.worldTransform();
            const auto setUp = [&] {
                painter.resetTransform();
                painter.setClipRect(ownRows);
                painter.setWorldTransform(world);
                painter.setClipRect(m_area, Qt::IntersectClip);
            };
            setUp();
            paint(painter, setUp, ownRows);
        });
    }

    // Blends the kept pictures of items [from, to), over what `under` draws first when given.
    void draw(const std::vector<Item> &items, size_t from, size_t to,
              const std::function<void(QPainter &)> *under) const
    {
        // The handles' colours come from the application palette, made on first use.
        (void)QGuiApplication::palette();
        each([&](QPainter &painter, const std::function<void()> &setUp, const QRectF &rows) {
            if (under)
                (*under)(painter);
            // A kept picture holds nothing outside its object's bounds, the clip it was drawn in, so it
            // is blended under the band's clip alone; only handles reach past the bounds and take
            // the object's clip. Saving and restoring the painter would have every band count
            // references to the same pens and brushes, and the threads would wait on one another.
            const QTransform world = painter.worldTransform();
            painter.resetTransform();
            // A band passes over objects whose bounds miss its rows by more than a point, which the
            // clip's rounding cannot bridge.
            const QRectF near = rows.adjusted(0, -1, 0, 1);
            for (size_t i = from; i < to; ++i) {
                const Item &item = items[i];
                const QRectF shown = world.mapRect(item.bounds);
                if (shown.bottom() < near.top() || shown.top() > near.bottom())
                    continue;
                if (!item.handles) {
                    painter.drawImage(item.kept->position, item.kept->picture);
                    continue;
                }
                painter.setWorldTransform(world);
                painter.setClipRect(item.bounds, Qt::IntersectClip);
                painter.resetTransform();
                painter.drawImage(item.kept->position, item.kept->picture);
                painter.setWorldTransform(world);
                item.graphic->drawHandlesInView(painter, item.graphic->ctrl_is_locked);
                setUp();
                painter.resetTransform();
            }
        });
    }

private:
    static constexpr int kLeastRows = 48;
    QPainter &m_painter;
    QRectF m_area;
    QImage *m_image = nullptr;
    uchar *m_bits = nullptr;
    int m_ratio = 1;
    int m_count = 0;
};

// The painter's scale and its shift in whole device pixels, when it has no other transform.
std::optional<std::pair<QTransform, QPoint>> scaleAndShift(const QPainter &painter)
{
    const QTransform device = painter.deviceTransform();
    if (device.type() > QTransform::TxScale || device.dx() != std::round(device.dx()) ||
        device.dy() != std::round(device.dy()) || std::abs(device.dx()) > 1 << 24 || std::abs(device.dy()) > 1 << 24)
        return std::nullopt;
    return std::pair{QTransform::fromScale(device.m11(), device.m22()), QPoint(int(device.dx()), int(device.dy()))};
}

} // namespace

bool UnderlayPicture::prepare(const QPainter &painter, const QRectF &area, const QByteArray &key,
                              const std::function<void(QPainter &)> &draw)
{
    const QPaintDevice *device = painter.device();
    const std::optional<std::pair<QTransform, QPoint>> mapping = scaleAndShift(painter);
    const qreal ratio = device ? device->devicePixelRatioF() : 0;
    if (!mapping || !(ratio >= 1 && ratio == std::floor(ratio))) {
        clear();
        return false;
    }
    QByteArray wanted = key;
    DrawingCacheKey(wanted) << mapping->first.m11() << mapping->first.m22() << ratio;
    if (wanted == m_key && m_area.contains(area) && !m_picture.isNull())
        return true;
    // An underlay shown for the first time is drawn directly: a canvas asks for it again at its
    // next repaint and keeps it from then on, and a drawing made once pays for no picture.
    if (wanted != m_key && wanted != m_shownOnce) {
        m_shownOnce = wanted;
        return false;
    }

    // The picture starts on a whole point, so that its place in a painter of any shift is a whole
    // number of points too.
    const int step = int(ratio);
    const QRect pixels = mapping->first.mapRect(area).toAlignedRect();
    const QPoint origin(int(std::floor(double(pixels.left()) / step)) * step, int(std::floor(double(pixels.top()) / step)) * step);
    const QSize size(pixels.right() + 1 - origin.x(), pixels.bottom() + 1 - origin.y());
    if (size.isEmpty() || qint64(size.width()) * size.height() > kMaxPixels) {
        clear();
        return false;
    }
    QImage picture(size, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    picture.setDevicePixelRatio(ratio);
    {
        QPainter picturePainter(&picture);
        picturePainter.setRenderHints(painter.renderHints());
        const QTransform world = painter.worldTransform();
        picturePainter.setWorldTransform(
            QTransform(world.m11(), 0, 0, world.m22(), -origin.x() / ratio, -origin.y() / ratio));
        const Bands bands(picturePainter, area, true);
        if (bands.usable()) {
            bands.each([&](QPainter &band, const std::function<void()> &, const QRectF &) { draw(band); });
        } else {
            picturePainter.setClipRect(area);
            draw(picturePainter);
        }
    }
    m_key = wanted;
    m_area = area;
    m_origin = origin;
    m_picture = std::move(picture);
    return true;
}

void UnderlayPicture::copy(QPainter &painter) const
{
    const std::optional<std::pair<QTransform, QPoint>> mapping = scaleAndShift(painter);
    if (!mapping)
        return;
    painter.save();
    painter.resetTransform();
    // Opaque throughout what the clip lets through, so a copy gives what blending would.
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(QPointF(m_origin + mapping->second) / m_picture.devicePixelRatio(), m_picture);
    painter.restore();
}

void UnderlayPicture::clear()
{
    m_key.clear();
    m_area = QRectF();
    m_picture = QImage();
}

namespace {

// The objects to draw, back to front.
std::vector<Item> itemsToDraw(const GraphicList &graphics, const QRectF &area, const SideDrawingOptions &options,
                              const QTransform &toExposed)
{
    std::vector<Item> items;
    for (qsizetype i = graphics.size() - 1; i >= 0; --i) {
        const SKTGraphicPtr &graphic = graphics.at(i);
        if (!graphic || (graphic->print_object != 0 && !options.nonPrintingObjects))
            continue;
        const QRectF bounds = graphic->drawingBounds();
        if (!bounds.intersects(area))
            continue;
        if (!options.exposed.isEmpty() && !options.exposed.intersects(toExposed.mapRect(bounds).toAlignedRect()))
            continue;
        if (options.drawn)
            options.drawn(*graphic, bounds);
        const bool beingCreated = graphic.get() == options.beingCreated;
        const bool handles = options.handlesOf && !beingCreated && !isFramePicture(*graphic) &&
                             options.handlesOf->contains(graphic.get());
        items.push_back({graphic.get(), bounds, beingCreated, handles, std::nullopt});
    }
    return items;
}

// Every object's kept picture, the missing ones made first; the object being created is drawn afresh.
void findKeptPictures(const QPainter &painter, std::vector<Item> &items, GraphicPictureCache &pictures,
                      const DrawingResources &resources)
{
    std::vector<SKTGraphic *> keepable;
    std::vector<Item *> asking;
    for (Item &item : items)
        if (!item.beingCreated) {
            keepable.push_back(item.graphic);
            asking.push_back(&item);
        }
    std::vector<std::optional<GraphicPictureCache::Placed>> kept = pictures.prepare(painter, keepable, resources);
    for (size_t i = 0; i < asking.size(); ++i)
        asking[i]->kept = std::move(kept[i]);
}

// Everything the backdrop, card face and grid are drawn from, as a key for their kept picture.
QByteArray underlayKey(const QPainter &painter, const Card_Property &face, int cardShape, const QRectF &cardBounds,
                       bool grid, const SideDrawingOptions &options)
{
    QByteArray key;
    DrawingCacheKey(key) << options.backdrop << options.cardFace << grid << cardBounds.topLeft() << cardBounds.size()
                         << int(painter.renderHints());
    if (options.cardFace)
        appendCardFaceKey(key, cardBounds, face, cardShape, options.resources);
    if (grid)
        options.grid->appendDrawingCacheKey(key);
    return key;
}

} // namespace

bool drawCardSide(QPainter &painter, const GraphicList &graphics, const Card_Property *face, int cardShape,
                  const QRectF &cardBounds, const QRectF &area, const SideDrawingOptions &options, QString *error)
{
    PainterStateGuard guard(painter);
    try {
        const Bands bands(painter, area, options.pictures != nullptr);
        const QTransform toExposed = painter.worldTransform();
        painter.setClipRect(area, Qt::IntersectClip);
        const bool grid = options.grid && options.grid->isShowing();
        static const Card_Property plainWhite;
        const Card_Property &shownFace = face ? *face : plainWhite;
        const std::function<void(QPainter &)> drawUnderObjects = [&](QPainter &under) {
            if (options.backdrop.isValid())
                under.fillRect(area, options.backdrop);
            if (options.cardFace) {
                PainterStateGuard faceGuard(under);
                drawCardFace(under, cardBounds, shownFace, cardShape, options.resources);
            }
            if (grid)
                options.grid->drawRectFromKeptPicture(under, area.intersected(cardBounds), cardBounds);
        };
        // Kept only over an opaque backdrop, where a copy of it gives what drawing it again would.
        const bool underlayWanted =
            bands.usable() && options.underlay && options.backdrop.isValid() && options.backdrop.alpha() == 255;
        const bool underlayKept =
            underlayWanted && options.underlay->prepare(painter, area,
                                                        underlayKey(painter, shownFace, cardShape, cardBounds, grid, options),
                                                        drawUnderObjects);
        // Made here, on this thread: bands only copy it. Where an underlay is kept, bands stroke the
        // lines into it, or into the canvas the first time.
        if (grid && !underlayWanted)
            options.grid->keepPictureFor(painter, cardBounds);
        const std::function<void(QPainter &)> copyUnderlay = [&](QPainter &under) { options.underlay->copy(under); };
        const std::function<void(QPainter &)> &underObjects = underlayKept ? copyUnderlay : drawUnderObjects;
        // With bands, the face and grid are drawn with the first objects, in the same round.
        bool underDrawn = false;
        const auto drawUnderFirst = [&] {
            if (!underDrawn)
                bands.each([&](QPainter &under, const std::function<void()> &, const QRectF &) { underObjects(under); });
            underDrawn = true;
        };
        if (!bands.usable()) {
            drawUnderObjects(painter);
            underDrawn = true;
        }

        std::vector<Item> items = itemsToDraw(graphics, area, options, toExposed);
        if (bands.usable())
            findKeptPictures(painter, items, *options.pictures, options.resources);
        for (size_t from = 0; from < items.size();) {
            size_t to = from;
            while (to < items.size() && items[to].kept)
                ++to;
            if (to > from) {
                bands.draw(items, from, to, underDrawn ? nullptr : &underObjects);
                underDrawn = true;
                from = to;
            } else {
                drawUnderFirst();
                drawItem(painter, items[from++], options.pictures, options.resources);
            }
        }
        drawUnderFirst();
        return true;
    } catch (const std::exception &e) {
        const QString reason = QString::fromLocal8Bit(e.what());
        Show_NSLog_Message(QStringLiteral("A card side could not be drawn: ") + reason);
        if (error)
            *error = reason;
        return false;
    }
}
