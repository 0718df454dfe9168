#include "document/SKTLine.h"

#include "document/DrawingCacheKey.h"
#include "document/Shape_Control.h"

#include <QCoreApplication>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <numbers>

const QString SKTLine::BeginPointKey = QStringLiteral("beginPoint");
const QString SKTLine::EndPointKey = QStringLiteral("endPoint");

SKTGraphicPtr SKTLine::clone() const
{
    auto copy = std::static_pointer_cast<SKTLine>(cloneAs<SKTLine>());
    copy->_pointsRight = _pointsRight;
    copy->_pointsDown = _pointsDown;
    return copy;
}

// --- Ends ------------------------------------------------------------------------------------

QPointF SKTLine::beginPoint() const
{
    const QRectF &b = _bounds;
    return {_pointsRight ? b.x() : b.x() + b.width(), _pointsDown ? b.y() : b.y() + b.height()};
}

QPointF SKTLine::endPoint() const
{
    const QRectF &b = _bounds;
    return {_pointsRight ? b.x() + b.width() : b.x(), _pointsDown ? b.y() + b.height() : b.y()};
}

QRectF SKTLine::boundsWithBeginPoint(const QPointF &begin, const QPointF &end, bool *pointsRight, bool *pointsDown)
{
    if (pointsRight)
        *pointsRight = end.x() > begin.x();
    if (pointsDown)
        *pointsDown = end.y() > begin.y();
    return QRectF(std::min(begin.x(), end.x()), std::min(begin.y(), end.y()), std::abs(end.x() - begin.x()),
                  std::abs(end.y() - begin.y()));
}

void SKTLine::setBeginPoint(const QPointF &point)
{
    const QPointF oldBegin = beginPoint();
    const QPointF oldEnd = endPoint();
    const QRectF b = boundsWithBeginPoint(point, oldEnd, &_pointsRight, &_pointsDown);
    storeBounds(b, oldBegin, oldEnd);
}

void SKTLine::setEndPoint(const QPointF &point)
{
    const QPointF oldBegin = beginPoint();
    const QPointF oldEnd = endPoint();
    const QRectF b = boundsWithBeginPoint(oldBegin, point, &_pointsRight, &_pointsDown);
    storeBounds(b, oldBegin, oldEnd);
}

void SKTLine::setBounds(const QRectF &bounds)
{
    storeBounds(bounds, beginPoint(), endPoint());
}

void SKTLine::storeBounds(const QRectF &bounds, const QPointF &oldBegin, const QPointF &oldEnd)
{
    SKTGraphic::setBounds(bounds);
    didChangeValueForKey(BeginPointKey, oldBegin, beginPoint());
    didChangeValueForKey(EndPointKey, oldEnd, endPoint());
}

// --- Keys ------------------------------------------------------------------------------------

QVariant SKTLine::valueForKey(const QString &key)
{
    if (key == BeginPointKey)
        return beginPoint();
    if (key == EndPointKey)
        return endPoint();
    return SKTGraphic::valueForKey(key);
}

void SKTLine::setValueForKey(const QString &key, const QVariant &value)
{
    if (key == BeginPointKey)
        setBeginPoint(value.toPointF());
    else if (key == EndPointKey)
        setEndPoint(value.toPointF());
    else
        SKTGraphic::setValueForKey(key, value);
}

QStringList SKTLine::keysForValuesToObserveForUndo() const
{
    // Undoing the two ends restores the direction flags too, which the bounds alone would not.
    QStringList keys = SKTGraphic::keysForValuesToObserveForUndo();
    keys.removeAll(BoundsKey);
    keys << BeginPointKey << EndPointKey;
    return keys;
}

QString SKTLine::presentablePropertyNameForKey(const QString &key) const
{
    static const QString beginName = QCoreApplication::translate("UndoStrings", "Beginpoint");
    static const QString endName = QCoreApplication::translate("UndoStrings", "Endpoint");
    if (key == BeginPointKey)
        return beginName;
    if (key == EndPointKey)
        return endName;
    return SKTGraphic::presentablePropertyNameForKey(key);
}

void SKTLine::setColor(const QColor &color)
{
    setValueForKey(StrokeColorKey, color);
}

// --- Drawing ---------------------------------------------------------------------------------

QPainterPath SKTLine::bezierPathForDrawing() const
{
    QPainterPath path;
    path.moveTo(beginPoint());
    path.lineTo(endPoint());
    return path;
}

QPen SKTLine::linePen(const QColor &color) const
{
    QPen pen = ShapePainting::outlinePen(color, _strokeWidth, _stroke_border_type);
    switch (Get_Line_Cap_Style()) {
    case 1: pen.setCapStyle(Qt::RoundCap); break;
    case 2: pen.setCapStyle(Qt::SquareCap); break;
    default: pen.setCapStyle(Qt::FlatCap); break;
    }
    return pen;
}

void SKTLine::drawContentsInView(QPainter &painter, bool, const DrawingResources &)
{
    if (!ctrl_is_visible)
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.strokePath(bezierPathForDrawing(), linePen(strokeColor()));
    painter.restore();
    // No redraw request here: asking for one from inside a paint pass would repaint forever.
}

QList<SKTGraphic::OpacityStamp> SKTLine::drawnColours() const
{
    if (!ctrl_is_visible)
        return {};
    return {{&SKTGraphic::_strokeColor, &SKTGraphic::alpha_val_stroke}};
}

bool SKTLine::appendDrawingCacheKey(QByteArray &key) const
{
    DrawingCacheKey out(key);
    out << ctrl_is_visible << _bounds.size() << _pointsRight << _pointsDown
        << colorWithOpacity(_strokeColor, alpha_val_stroke) << _strokeWidth << _stroke_border_type << _line_cap_style;
    return true;
}

QRectF SKTLine::drawingBounds() const
{
    // A projecting cap's corners reach half the width along and across the line: on a diagonal
    // that is half the width times the square root of two on each axis.
    double reach = _strokeWidth / 2.0;
    if (Get_Line_Cap_Style() == 2)
        reach *= std::numbers::sqrt2;
    const double outset = std::max(SKTGraphicHandleHalfWidth, reach);
    QRectF r = _bounds.adjusted(-outset, -outset, outset, outset);
    r.setWidth(r.width() + 1.0);
    r.setHeight(r.height() + 1.0);
    return r;
}

void SKTLine::drawHandlesInView(QPainter &painter, bool lock_hai)
{
    drawHandleInView(painter, beginPoint(), lock_hai);
    drawHandleInView(painter, endPoint(), lock_hai);
}

// --- Handles and hit testing -----------------------------------------------------------------

int SKTLine::handleUnderPoint(const QPointF &point) const
{
    if (isHandleAtPoint(beginPoint(), point))
        return 1;
    if (isHandleAtPoint(endPoint(), point))
        return 2;
    return SKTGraphicNoHandle;
}

int SKTLine::resizeByMovingHandle(int handle, const QPointF &point)
{
    if (handle == 1)
        setBeginPoint(point);
    else if (handle == 2)
        setEndPoint(point);
    return handle;
}

bool SKTLine::isContentsUnderPoint(const QPointF &point) const
{
    const double tolerance = _strokeWidth / 2.0 + 2.0;

    // Half-open bounds, except that an axis of no extent (a level or upright line) gets the
    // tolerance on both sides: otherwise no click could ever land on such a line.
    auto within = [tolerance](double v, double min, double size) {
        if (size == 0.0)
            return v >= min - tolerance && v < min + tolerance;
        return v >= min && v < min + size;
    };
    if (!within(point.x(), _bounds.x(), _bounds.width()) || !within(point.y(), _bounds.y(), _bounds.height()))
        return false;

    // The smaller of the vertical and the horizontal distance to the line through both ends, so
    // that steep lines are as easy to hit as shallow ones.
    const QPointF begin = beginPoint();
    const QPointF end = endPoint();
    const double dx = end.x() - begin.x();
    const double dy = end.y() - begin.y();
    const double cross = (point.x() - begin.x()) * dy - (point.y() - begin.y()) * dx;
    return std::abs(cross) <= tolerance * std::max(std::abs(dx), std::abs(dy));
}

void SKTLine::encodeOwnFields(platform::KeyedEncoder &coder) const
{
    coder.encodeBool(QStringLiteral("_pointsRight"), _pointsRight);
    coder.encodeBool(QStringLiteral("_pointsDown"), _pointsDown);
}

void SKTLine::decodeOwnFields(const platform::KeyedDecoder &coder)
{
    if (coder.containsValueForKey(QStringLiteral("_pointsRight")))
        _pointsRight = coder.decodeBool(QStringLiteral("_pointsRight"));
    if (coder.containsValueForKey(QStringLiteral("_pointsDown")))
        _pointsDown = coder.decodeBool(QStringLiteral("_pointsDown"));
}
