#include "canvas/SKTGrid.h"

#include "core/AppState.h"
#include "core/DesignWindowHub.h"
#include "document/DrawingCacheKey.h"

#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPen>

#include <cmath>

const char *const SKTGrid::SKTGridAnyKey = "any";

namespace {

double snapped(double value, double spacing)
{
    return std::floor(value / spacing + 0.5) * spacing;
}

// Lines closer than this many per dirty rectangle are no longer told apart on any device, and an
// absurdly small spacing must not stall the drawing.
constexpr double kMaxLinesPerDirection = 100000.0;

} // namespace

SKTGrid::SKTGrid(platform::TimerFactory timers) : _color(Qt::lightGray), m_timers(std::move(timers)) {}

SKTGrid::~SKTGrid() = default;

bool SKTGrid::isShowing() const
{
    return _isAlwaysShown || (_hidingTimer && _hidingTimer->isActive());
}

void SKTGrid::setConstraining(bool constraining)
{
    _isConstraining = constraining;
    m_observers.notify();
}

void SKTGrid::setAlwaysShown(bool shown)
{
    if (shown != _isAlwaysShown) {
        _isAlwaysShown = shown;
        if (DesignWindowHub *window = App().Main_App_wnd)
            window->setAlignWithGridButtonEnabled(shown);
        if (_hidingTimer)
            _hidingTimer->stop();
    }
    m_observers.notify();
}

void SKTGrid::setSpacing(double spacing)
{
    if (spacing != _spacing) {
        _spacing = spacing;
        if (_spacing > 0.0 && !_isAlwaysShown) {
            if (!_hidingTimer)
                _hidingTimer = platform::makeTimer(
                    m_timers, std::chrono::milliseconds(static_cast<int>(SKTGridTemporaryShowingTime * 1000)),
                    [this] { stopShowingGridForTimer(); });
            _hidingTimer->start(); // restarts a pending showing
        }
    }
    m_observers.notify();
}

void SKTGrid::stopShowingGridForTimer()
{
    if (_hidingTimer)
        _hidingTimer->stop();
    m_observers.notify();
}

QPointF SKTGrid::constrainedPoint(const QPointF &point) const
{
    if (!isUsable() || !_isConstraining)
        return point;
    return {snapped(point.x(), _spacing), snapped(point.y(), _spacing)};
}

QRectF SKTGrid::alignedRect(const QRectF &rect) const
{
    if (!isUsable())
        return rect;
    const double x0 = snapped(rect.x(), _spacing);
    const double y0 = snapped(rect.y(), _spacing);
    const double x1 = snapped(rect.x() + rect.width(), _spacing);
    const double y1 = snapped(rect.y() + rect.height(), _spacing);
    return {x0, y0, x1 - x0, y1 - y0};
}

void SKTGrid::drawRect(QPainter &painter, const QRectF &dirtyRect) const
{
    if (!isUsable() || !isShowing())
        return;
    const QRectF r = dirtyRect.normalized();
    const double first[2] = {std::ceil(r.left() / _spacing), std::ceil(r.top() / _spacing)};
    const double last[2] = {std::floor(r.right() / _spacing), std::floor(r.bottom() / _spacing)};
    for (int axis = 0; axis < 2; ++axis)
        if (!std::isfinite(first[axis]) || !std::isfinite(last[axis]) || last[axis] - first[axis] > kMaxLinesPerDirection)
            return;

    QPainterPath path;
    for (double i = first[0]; i <= last[0]; ++i) {
        path.moveTo(i * _spacing, r.top());
        path.lineTo(i * _spacing, r.bottom());
    }
    for (double j = first[1]; j <= last[1]; ++j) {
        path.moveTo(r.left(), j * _spacing);
        path.lineTo(r.right(), j * _spacing);
    }
    if (path.isEmpty())
        return;

    painter.save();
    QPen pen(_color, 0);
    pen.setCosmetic(true);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    // A hairline on whole points would otherwise smear over two device pixels at 100 %.
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.drawPath(path);
    painter.restore();
}

std::optional<SKTGrid::Picture> SKTGrid::plainPicture(const QPainter &painter, const QRectF &cardBounds) const
{
    if (!isUsable() || !isShowing())
        return std::nullopt;
    const QTransform device = painter.deviceTransform();
    const double scaleX = device.m11(), scaleY = device.m22();
    // Lines on the card's far edges are drawn one pixel past it, as stroking does.
    const QSize pixels(int(std::ceil(cardBounds.width() * scaleX)) + 1, int(std::ceil(cardBounds.height() * scaleY)) + 1);
    // Only where the copy lands on whole pixels exactly as stroking would draw them.
    constexpr qint64 kMostPixels = 4096LL * 4096;
    const bool plain = device.type() <= QTransform::TxScale && scaleX > 0 && scaleY > 0 &&
                       device.dx() == std::round(device.dx()) && device.dy() == std::round(device.dy()) &&
                       painter.device() && painter.device()->devicePixelRatioF() == 1.0 &&
                       painter.paintEngine() && painter.paintEngine()->type() == QPaintEngine::Raster &&
                       cardBounds.topLeft() == QPointF(0, 0) && !pixels.isEmpty() &&
                       qint64(pixels.width()) * pixels.height() <= kMostPixels;
    if (!plain)
        return std::nullopt;
    return Picture{QImage(), _color, _spacing, scaleX, scaleY, cardBounds, pixels};
}

void SKTGrid::appendDrawingCacheKey(QByteArray &key) const
{
    DrawingCacheKey(key) << isShowing() << _color << _spacing;
}

bool SKTGrid::Picture::sameLinesAs(const Picture &other) const
{
    return color == other.color && spacing == other.spacing && scaleX == other.scaleX && scaleY == other.scaleY &&
           card == other.card && pixels == other.pixels;
}

bool SKTGrid::keepPictureFor(const QPainter &painter, const QRectF &cardBounds) const
{
    std::optional<Picture> wanted = plainPicture(painter, cardBounds);
    if (!wanted)
        return false;
    if (m_picture.lines.isNull() || !m_picture.sameLinesAs(*wanted)) {
        wanted->lines = QImage(wanted->pixels, QImage::Format_ARGB32_Premultiplied);
        wanted->lines.fill(Qt::transparent);
        QPainter lines(&wanted->lines);
        lines.scale(wanted->scaleX, wanted->scaleY);
        drawRect(lines, cardBounds);
        lines.end();
        m_picture = *wanted;
    }
    return true;
}

void SKTGrid::drawRect(QPainter &painter, const QRectF &dirtyRect, const QRectF &cardBounds) const
{
    if (keepPictureFor(painter, cardBounds))
        copyKeptLines(painter, dirtyRect, cardBounds);
    else
        drawRect(painter, dirtyRect);
}

void SKTGrid::drawRectFromKeptPicture(QPainter &painter, const QRectF &dirtyRect, const QRectF &cardBounds) const
{
    const std::optional<Picture> wanted = plainPicture(painter, cardBounds);
    if (wanted && !m_picture.lines.isNull() && m_picture.sameLinesAs(*wanted))
        copyKeptLines(painter, dirtyRect, cardBounds);
    else
        drawRect(painter, dirtyRect);
}

void SKTGrid::copyKeptLines(QPainter &painter, const QRectF &dirtyRect, const QRectF &cardBounds) const
{
    const QTransform device = painter.deviceTransform();
    const QPoint origin(int(device.dx()), int(device.dy()));
    const QRect target = device.mapRect(dirtyRect.intersected(cardBounds))
                             .toAlignedRect()
                             .adjusted(0, 0, 1, 1)
                             .intersected(QRect(origin, m_picture.lines.size()));
    painter.save();
    painter.resetTransform();
    painter.drawImage(target.topLeft(), m_picture.lines, target.translated(-origin));
    painter.restore();
}
