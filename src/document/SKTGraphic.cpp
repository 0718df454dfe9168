#include "document/SKTGraphic.h"

#include "core/AppState.h"
#include "core/DesignWindowHub.h"
#include "core/FontNames.h"
#include "document/ControlTags.h"

#include <QPainter>
#include <QPalette>
#include <QGuiApplication>
#include <QRandomGenerator>

#include <algorithm>
#include <cmath>
#include <stdexcept>

const QString SKTGraphic::DrawingFillKey = QStringLiteral("drawingFill");
const QString SKTGraphic::FillColorKey = QStringLiteral("fillColor");
const QString SKTGraphic::DrawingStrokeKey = QStringLiteral("drawingStroke");
const QString SKTGraphic::StrokeColorKey = QStringLiteral("strokeColor");
const QString SKTGraphic::StrokeWidthKey = QStringLiteral("strokeWidth");
const QString SKTGraphic::BoundsKey = QStringLiteral("bounds");
const QString SKTGraphic::XPositionKey = QStringLiteral("xPosition");
const QString SKTGraphic::YPositionKey = QStringLiteral("yPosition");
const QString SKTGraphic::WidthKey = QStringLiteral("width");
const QString SKTGraphic::HeightKey = QStringLiteral("height");
const QString SKTGraphic::DrawingBoundsKey = QStringLiteral("drawingBounds");
const QString SKTGraphic::DrawingContentsKey = QStringLiteral("drawingContents");
const QString SKTGraphic::KeysForValuesToObserveForUndoKey = QStringLiteral("keysForValuesToObserveForUndo");

QColor colorWithOpacity(const QColor &color, double opacity)
{
    if (!color.isValid())
        return color;
    QColor c = color;
    c.setAlphaF(static_cast<float>(std::clamp(opacity, 0.0, 1.0)));
    return c;
}

SKTGraphic::SKTGraphic()
{
    const AppState &app = App();
    // The defaults that come from the design window exist only once it has set itself up.
    if (app.Main_App_wnd != nullptr) {
        text_ctrl_font = app.All_Text_font;
        txt_clr = app.All_Text_clr;
        if (!app.Resource_Path.isEmpty())
            _file_path = app.Resource_Path + QStringLiteral("no.png");
    }
}

SKTGraphic::~SKTGraphic() = default;

SKTGraphicPtr SKTGraphic::clone() const
{
    return cloneAs<SKTGraphic>();
}

void SKTGraphic::copyBaseFieldsTo(SKTGraphic &copy) const
{
    copy._bounds = _bounds;
    copy._isDrawingFill = _isDrawingFill;
    copy._fillColor = _fillColor;
    copy._isDrawingStroke = _isDrawingStroke;
    copy._strokeColor = _strokeColor;
    copy._strokeWidth = _strokeWidth;
    copy._stroke_border_type = _stroke_border_type;
    copy._fill_type = _fill_type;
    copy._fill_Grad_clr1 = _fill_Grad_clr1;
    copy._fill_Grad_clr2 = _fill_Grad_clr2;
    copy._fill_grad_angle = _fill_grad_angle;
    copy._fill_htch_clr = _fill_htch_clr;
    copy._fill_hatch_type = _fill_hatch_type;
}

// --- Observed keys ---------------------------------------------------------------------------

void SKTGraphic::announce(const QString &key, const QVariant &oldValue, const QVariant &newValue)
{
    didChangeValueForKey(key, oldValue, newValue);
    if (key == BoundsKey) {
        const QRectF o = oldValue.toRectF();
        const QRectF n = newValue.toRectF();
        didChangeValueForKey(XPositionKey, o.x(), n.x());
        didChangeValueForKey(YPositionKey, o.y(), n.y());
        didChangeValueForKey(WidthKey, o.width(), n.width());
        didChangeValueForKey(HeightKey, o.height(), n.height());
        didChangeValueForKey(DrawingBoundsKey, QVariant(), QVariant());
    } else if (key == StrokeWidthKey) {
        didChangeValueForKey(DrawingBoundsKey, QVariant(), QVariant());
    } else if (key == DrawingFillKey || key == FillColorKey || key == DrawingStrokeKey || key == StrokeColorKey) {
        didChangeValueForKey(DrawingContentsKey, QVariant(), QVariant());
    }
}

QVariant SKTGraphic::valueForKey(const QString &key)
{
    if (key == BoundsKey)
        return bounds();
    if (key == DrawingFillKey)
        return isDrawingFill();
    if (key == FillColorKey)
        return fillColor();
    if (key == DrawingStrokeKey)
        return isDrawingStroke();
    if (key == StrokeColorKey)
        return strokeColor();
    if (key == StrokeWidthKey)
        return strokeWidth();
    if (key == XPositionKey)
        return xPosition();
    if (key == YPositionKey)
        return yPosition();
    if (key == WidthKey)
        return width();
    if (key == HeightKey)
        return height();
    if (key == DrawingBoundsKey)
        return drawingBounds();
    if (key == KeysForValuesToObserveForUndoKey)
        return keysForValuesToObserveForUndo();
    return QVariant();
}

void SKTGraphic::setValueForKey(const QString &key, const QVariant &value)
{
    if (key == BoundsKey)
        setBounds(value.toRectF());
    else if (key == DrawingFillKey)
        setDrawingFill(value.toBool());
    else if (key == FillColorKey)
        setFillColor(value.value<QColor>());
    else if (key == DrawingStrokeKey)
        setDrawingStroke(value.toBool());
    else if (key == StrokeColorKey)
        setStrokeColor(value.value<QColor>());
    else if (key == StrokeWidthKey)
        setStrokeWidth(value.toDouble());
    else if (key == XPositionKey)
        setXPosition(value.toDouble());
    else if (key == YPositionKey)
        setYPosition(value.toDouble());
    else if (key == WidthKey)
        setWidth(value.toDouble());
    else if (key == HeightKey)
        setHeight(value.toDouble());
}

QStringList SKTGraphic::keysForValuesToObserveForUndo() const
{
    return {DrawingFillKey, FillColorKey, DrawingStrokeKey, StrokeColorKey, StrokeWidthKey, BoundsKey};
}

QString SKTGraphic::presentablePropertyNameForKey(const QString &) const
{
    return QString(QLatin1String(""));
}

// --- Accessors -------------------------------------------------------------------------------

void SKTGraphic::setBounds(const QRectF &bounds)
{
    setObserved(_bounds, bounds, BoundsKey);
}

void SKTGraphic::setDrawingFill(bool fill)
{
    setObserved(_isDrawingFill, fill, DrawingFillKey);
}

void SKTGraphic::setDrawingStroke(bool stroke)
{
    setObserved(_isDrawingStroke, stroke, DrawingStrokeKey);
}

void SKTGraphic::setFillColor(const QColor &color)
{
    setObserved(_fillColor, color, FillColorKey);
}

void SKTGraphic::setStrokeColor(const QColor &color)
{
    setObserved(_strokeColor, color, StrokeColorKey);
}

void SKTGraphic::setStrokeWidth(double width)
{
    setObserved(_strokeWidth, width, StrokeWidthKey);
}

QList<SKTGraphic::OpacityStamp> SKTGraphic::drawnFillColours(bool drawsHatches) const
{
    if (!isDrawingFill())
        return {};
    if (_fill_type == QLatin1String("G"))
        return {OpacityStamp{&SKTGraphic::_fill_Grad_clr1, &SKTGraphic::alpha_val},
                OpacityStamp{&SKTGraphic::_fill_Grad_clr2, &SKTGraphic::alpha_val}};
    if (drawsHatches && _fill_type == QLatin1String("H"))
        return {OpacityStamp{&SKTGraphic::_fill_htch_clr, &SKTGraphic::alpha_val}};
    return {OpacityStamp{&SKTGraphic::_fillColor, &SKTGraphic::alpha_val}};
}

QColor SKTGraphic::colourAsSaved(QColor SKTGraphic::*field) const
{
    for (const OpacityStamp &stamp : drawnColours())
        if (stamp.colour == field)
            return colorWithOpacity(this->*field, this->*stamp.opacity);
    return this->*field;
}

SKTTextStorage SKTGraphic::newTextContents() const
{
    return {Text_Value, Font_With_Name(App().Text_Ctrl_Font, 14.0), QColor(Qt::black)};
}

SKTTextStorage &SKTGraphic::Text_contents()
{
    if (!m_Text_contents)
        m_Text_contents = std::make_unique<SKTTextStorage>(newTextContents());
    return *m_Text_contents;
}

void SKTGraphic::setXPosition(double x)
{
    QRectF b = bounds();
    b.moveLeft(x);
    setBounds(b);
}

void SKTGraphic::setYPosition(double y)
{
    QRectF b = bounds();
    b.moveTop(y);
    setBounds(b);
}

void SKTGraphic::setWidth(double width)
{
    QRectF b = bounds();
    b.setWidth(width);
    setBounds(b);
}

void SKTGraphic::setHeight(double height)
{
    QRectF b = bounds();
    b.setHeight(height);
    setBounds(b);
}

void SKTGraphic::setColor(const QColor &color)
{
    if (!canSetDrawingFill())
        return;
    if (!isDrawingFill())
        setDrawingFill(true);
    setFillColor(color);
}

// --- Drawing ---------------------------------------------------------------------------------

void SKTGraphic::drawContentsInView(QPainter &, bool, const DrawingResources &)
{
}

QPainterPath SKTGraphic::bezierPathForDrawing() const
{
    throw std::logic_error("Neither -drawContentsInView: nor -bezierPathForDrawing has been overridden.");
}

bool SKTGraphic::canMakeNaturalSize() const
{
    return _bounds.width() != _bounds.height();
}

void SKTGraphic::drawHandlesInView(QPainter &painter, bool lock_hai)
{
    const QRectF b = bounds();
    const double midX = b.x() + b.width() / 2.0;
    const double midY = b.y() + b.height() / 2.0;
    const double maxX = b.x() + b.width();
    const double maxY = b.y() + b.height();
    drawHandleInView(painter, QPointF(b.x(), b.y()), lock_hai);
    drawHandleInView(painter, QPointF(midX, b.y()), lock_hai);
    drawHandleInView(painter, QPointF(maxX, b.y()), lock_hai);
    drawHandleInView(painter, QPointF(b.x(), midY), lock_hai);
    drawHandleInView(painter, QPointF(maxX, midY), lock_hai);
    drawHandleInView(painter, QPointF(b.x(), maxY), lock_hai);
    drawHandleInView(painter, QPointF(midX, maxY), lock_hai);
    drawHandleInView(painter, QPointF(maxX, maxY), lock_hai);
}

void SKTGraphic::drawHandleInView(QPainter &painter, const QPointF &point, bool lock_hai)
{
    QRectF handle(point.x() - SKTGraphicHandleHalfWidth, point.y() - SKTGraphicHandleHalfWidth,
                  SKTGraphicHandleWidth, SKTGraphicHandleWidth);
    // Align to whole device pixels so the squares stay crisp at any zoom.
    const QTransform toDevice = painter.deviceTransform();
    const QRectF device = toDevice.mapRect(handle);
    const QRectF aligned(std::round(device.x()), std::round(device.y()), std::round(device.width()),
                         std::round(device.height()));
    bool invertible = false;
    const QTransform fromDevice = toDevice.inverted(&invertible);
    if (invertible)
        handle = fromDevice.mapRect(aligned);

    const QPalette palette = QGuiApplication::palette();
    painter.fillRect(handle.translated(1.0, 1.0), palette.color(QPalette::Dark));
    painter.fillRect(handle, lock_hai ? QColor(Qt::red) : palette.color(QPalette::Highlight));
}

// --- Geometry --------------------------------------------------------------------------------

QRectF SKTGraphic::drawingBounds() const
{
    double outset = SKTGraphicHandleHalfWidth;
    if (isDrawingStroke())
        outset = std::max(outset, strokeWidth() / 2.0);
    QRectF r = bounds().adjusted(-outset, -outset, outset, outset);
    r.setWidth(r.width() + 1.0);
    r.setHeight(r.height() + 1.0);
    return r;
}

namespace {

// Half-open point-in-rectangle test, the same for handles and bounds.
bool pointInRect(const QPointF &p, const QRectF &r)
{
    return p.x() >= r.left() && p.x() < r.left() + r.width() && p.y() >= r.top() && p.y() < r.top() + r.height();
}

QPointF handlePosition(const QRectF &b, int handle)
{
    const double midX = b.x() + b.width() / 2.0;
    const double midY = b.y() + b.height() / 2.0;
    const double maxX = b.x() + b.width();
    const double maxY = b.y() + b.height();
    switch (handle) {
    case 1: return {b.x(), b.y()};
    case 2: return {midX, b.y()};
    case 3: return {maxX, b.y()};
    case 4: return {b.x(), midY};
    case 5: return {maxX, midY};
    case 6: return {b.x(), maxY};
    case 7: return {midX, maxY};
    default: return {maxX, maxY};
    }
}

int horizontalFlip(int handle)
{
    static const int table[9] = {0, 3, 2, 1, 5, 4, 8, 7, 6};
    return handle >= 0 && handle <= 8 ? table[handle] : handle;
}

int verticalFlip(int handle)
{
    static const int table[9] = {0, 6, 7, 8, 4, 5, 1, 2, 3};
    return handle >= 0 && handle <= 8 ? table[handle] : handle;
}

} // namespace

bool SKTGraphic::isHandleAtPoint(const QPointF &handlePoint, const QPointF &point) const
{
    const QRectF square(handlePoint.x() - SKTGraphicHandleHalfWidth, handlePoint.y() - SKTGraphicHandleHalfWidth,
                        SKTGraphicHandleWidth, SKTGraphicHandleWidth);
    return pointInRect(point, square);
}

int SKTGraphic::handleUnderPoint(const QPointF &point) const
{
    for (int handle = 1; handle <= 8; ++handle)
        if (isHandleAtPoint(handlePosition(bounds(), handle), point))
            return handle;
    return SKTGraphicNoHandle;
}

bool SKTGraphic::isContentsUnderPoint(const QPointF &point) const
{
    return pointInRect(point, bounds());
}

int SKTGraphic::resizeByMovingHandle(int handle, const QPointF &point)
{
    QRectF b = bounds();
    double x = b.x(), y = b.y(), w = b.width(), h = b.height();

    if (handle == 1 || handle == 4 || handle == 6) {
        w = x + w - point.x();
        x = point.x();
    } else if (handle == 3 || handle == 5 || handle == 8) {
        w = point.x() - x;
    }
    if (w < 0.0) {
        handle = horizontalFlip(handle);
        w = -w;
        x -= w;
        flipHorizontally();
    }

    if (handle == 1 || handle == 2 || handle == 3) {
        h = y + h - point.y();
        y = point.y();
    } else if (handle == 6 || handle == 7 || handle == 8) {
        h = point.y() - y;
    }
    if (h < 0.0) {
        handle = verticalFlip(handle);
        h = -h;
        y -= h;
        flipVertically();
    }

    setBounds(QRectF(x, y, w, h));
    return handle;
}

void SKTGraphic::makeNaturalSize()
{
    QRectF b = bounds();
    if (b.height() > b.width())
        b.setHeight(b.width());
    else if (b.width() > b.height())
        b.setWidth(b.height());
    setBounds(b);
}

QPointF SKTGraphic::randomPoint(const QRectF &rect)
{
    const int w = std::max(1, static_cast<int>(rect.width()));
    const int h = std::max(1, static_cast<int>(rect.height()));
    QRandomGenerator *random = QRandomGenerator::global();
    return QPointF(rect.x() + static_cast<double>(random->bounded(w)), rect.y() + static_cast<double>(random->bounded(h)));
}

namespace {

// Union that keeps rectangles of zero width or height (a straight line still has a place).
QRectF unionOf(const GraphicList &graphics, QRectF (SKTGraphic::*rectOf)() const)
{
    if (graphics.isEmpty())
        return QRectF();
    QRectF first = ((*graphics.first()).*rectOf)();
    double left = first.left(), top = first.top(), right = first.right(), bottom = first.bottom();
    for (const SKTGraphicPtr &g : graphics) {
        const QRectF r = ((*g).*rectOf)();
        left = std::min(left, r.left());
        top = std::min(top, r.top());
        right = std::max(right, r.right());
        bottom = std::max(bottom, r.bottom());
    }
    return QRectF(left, top, right - left, bottom - top);
}

} // namespace

QRectF SKTGraphic::boundsOfGraphics(const GraphicList &graphics)
{
    return unionOf(graphics, &SKTGraphic::bounds);
}

QRectF SKTGraphic::drawingBoundsOfGraphics(const GraphicList &graphics)
{
    if (graphics.isEmpty()) {
        const DesignWindowHub *hub = App().Main_App_wnd;
        return hub ? hub->frontCanvasBounds() : QRectF();
    }
    return unionOf(graphics, &SKTGraphic::drawingBounds);
}

void SKTGraphic::translateGraphics(const GraphicList &graphics, double dx, double dy)
{
    for (const SKTGraphicPtr &g : graphics) {
        if (g->ctrl_is_locked || isFramePicture(*g))
            continue;
        g->setBounds(g->bounds().translated(dx, dy));
    }
}

void SKTGraphic::Paste_Location_Of_Graphics(const GraphicList &graphics, double x, double y, const QString &card_side)
{
    QPointF place(x, y);
    DesignWindowHub *hub = App().Main_App_wnd;
    for (int i = 0; i < graphics.size(); ++i) {
        if (i > 0 && hub)
            place = hub->Control_New_Point(card_side);
        const SKTGraphicPtr &g = graphics.at(i);
        if (g->ctrl_is_locked)
            continue;
        const QRectF b = g->bounds();
        g->setBounds(QRectF(place, b.size()));
    }
}

bool SKTGraphic::appendDrawingCacheKey(QByteArray &) const
{
    return false;
}

void SKTGraphic::centreOn(const QPointF &position, const QSizeF &size)
{
    _bounds = QRectF(position.x() - size.width() / 2.0, position.y() - size.height() / 2.0, size.width(), size.height());
}

void SKTGraphic::resetImagePanel()
{
    if (DesignWindowHub *hub = App().Main_App_wnd)
        hub->Reset_Image_Editing_Controls();
}
