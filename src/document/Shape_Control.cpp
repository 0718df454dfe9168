#include "document/Shape_Control.h"

#include "core/ImageCategories.h"
#include "core/PathHelpers.h"
#include "document/DrawingResources.h"
#include "document/DrawingCacheKey.h"

#include <QDateTime>
#include <QFileInfo>
#include <QHash>
#include <QMutex>
#include <QPainter>

#include <cmath>
#include <numbers>

namespace {

// Stars and polygons store a variant 1..5; other stored values are taken as the count itself.
int doubleStarPointCount(int type)
{
    return (type >= 1 && type <= 5) ? 5 + 2 * type : type;
}

int polygonPointCount(int type)
{
    return (type >= 1 && type <= 5) ? 6 + 2 * type : type;
}

// The outlines of the triangle, diamond and stars are built from single-precision points.
QPointF floatPoint(double x, double y)
{
    return QPointF(static_cast<float>(x), static_cast<float>(y));
}

QPainterPath windingPath()
{
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    return path;
}

QPainterPath closedPolygon(std::initializer_list<QPointF> points)
{
    QPainterPath path = windingPath();
    bool first = true;
    for (const QPointF &p : points) {
        if (first)
            path.moveTo(p);
        else
            path.lineTo(p);
        first = false;
    }
    path.closeSubpath();
    return path;
}

} // namespace

SKTGraphicPtr Shape_Control::clone() const
{
    return cloneAs<Shape_Control>();
}

QPainterPath Shape_Control::bezierPathForDrawing() const
{
    const QString &code = _shape_type;
    if (code == QLatin1String("R"))
        return Rectangle_path();
    if (code == QLatin1String("C"))
        return Circle_path();
    if (code == QLatin1String("RR"))
        return Rounded_Rectangle_path();
    if (code == QLatin1String("T"))
        return Triangle_path();
    if (code == QLatin1String("D"))
        return Diamond_path();
    if (code == QLatin1String("S"))
        return Polygon_With_Diffrent_Sides(5);
    if (code == QLatin1String("DS"))
        return Polygon_With_Diffrent_Sides(doubleStarPointCount(double_star_type));
    if (code == QLatin1String("P")) {
        const int count = polygonPointCount(polygon_type);
        return count == 8 ? Custom_Polygon() : Polygon_With_Diffrent_Sides(count);
    }
    return windingPath();
}

QPainterPath Shape_Control::Rectangle_path() const
{
    QPainterPath path = windingPath();
    path.addRect(_bounds);
    return path;
}

QPainterPath Shape_Control::Circle_path() const
{
    QPainterPath path = windingPath();
    path.addEllipse(_bounds);
    return path;
}

QPainterPath Shape_Control::Rounded_Rectangle_path() const
{
    QPainterPath path = windingPath();
    // Qt clamps the radius to half the side, as rounded rectangles elsewhere do.
    path.addRoundedRect(_bounds, cor_rad_val, cor_rad_val, Qt::AbsoluteSize);
    return path;
}

QPainterPath Shape_Control::Triangle_path() const
{
    const double x = _bounds.x(), y = _bounds.y(), w = _bounds.width(), h = _bounds.height();
    return closedPolygon({floatPoint(x, y + h), floatPoint(x + w / 2, y), floatPoint(x + w, y + h)});
}

QPainterPath Shape_Control::Diamond_path() const
{
    const double x = _bounds.x(), y = _bounds.y(), w = _bounds.width(), h = _bounds.height();
    return closedPolygon({floatPoint(x, y + h / 2), floatPoint(x + w / 2, y), floatPoint(x + w, y + h / 2),
                          floatPoint(x + w / 2, y + h)});
}

QPainterPath Shape_Control::Polygon_With_Diffrent_Sides(int n) const
{
    QPainterPath path = windingPath();
    if (n <= 0)
        return path;
    const double cx = _bounds.x() + _bounds.width() / 2, cy = _bounds.y() + _bounds.height() / 2;
    const double rx = _bounds.width() / 2, ry = _bounds.height() / 2;
    // Two n-th parts of a turn per step: odd counts make star polygons, even ones a polygon traced twice.
    const double step = 4 * std::numbers::pi / n;
    double a = -std::numbers::pi / 2;
    for (int i = 0; i < n; ++i, a += step) {
        const QPointF vertex = floatPoint(cx + rx * std::cos(a), cy + ry * std::sin(a));
        if (i == 0)
            path.moveTo(vertex);
        else
            path.lineTo(vertex);
    }
    path.closeSubpath();
    return path;
}

QPainterPath Shape_Control::Custom_Polygon() const
{
    const double x = _bounds.x(), y = _bounds.y(), w = _bounds.width(), h = _bounds.height();
    return closedPolygon({QPointF(x, y), QPointF(x + w / 2, y + h / 4), QPointF(x + w, y),
                          QPointF(x + 3 * w / 4, y + h / 2), QPointF(x + w, y + h), QPointF(x + w / 2, y + 3 * h / 4),
                          QPointF(x, y + h), QPointF(x + w / 4, y + h / 2)});
}

void Shape_Control::drawContentsInView(QPainter &painter, bool, const DrawingResources &resources)
{
    if (!ctrl_is_visible)
        return;
    const QPainterPath path = bezierPathForDrawing();
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    if (isDrawingFill())
        ShapePainting::fillPath(painter, path, *this, resources);
    if (isDrawingStroke())
        painter.strokePath(path, ShapePainting::outlinePen(strokeColor(), _strokeWidth, _stroke_border_type));
    painter.restore();
    // No redraw request here: asking for one from inside a paint pass would repaint forever.
}

QList<SKTGraphic::OpacityStamp> Shape_Control::drawnColours() const
{
    if (!ctrl_is_visible)
        return {};
    QList<OpacityStamp> colours = drawnFillColours(true);
    if (isDrawingStroke())
        colours << OpacityStamp{&SKTGraphic::_strokeColor, &SKTGraphic::alpha_val_stroke};
    return colours;
}

bool Shape_Control::appendDrawingCacheKey(QByteArray &key) const
{
    DrawingCacheKey out(key);
    out << ctrl_is_visible << _shape_type << double_star_type << polygon_type << _bounds.size() << cor_rad_val
        << isDrawingFill() << _fill_type << _fillColor << _fill_Grad_clr1 << _fill_Grad_clr2 << _fill_grad_angle
        << _fill_htch_clr << _fill_hatch_type << alpha_val << isDrawingStroke() << _strokeColor << alpha_val_stroke
        << _strokeWidth << _stroke_border_type;
    // Hatch tiles are anchored at the canvas origin, so a hatched shape looks different elsewhere.
    if (_fill_type == QLatin1String("H"))
        out << _bounds.topLeft();
    return true;
}

bool Shape_Control::isContentsUnderPoint(const QPointF &point) const
{
    return bezierPathForDrawing().contains(point);
}

namespace ShapePainting {

QList<double> dashPatternForStyle(const QString &style)
{
    if (style == QLatin1String("DA"))
        return {8, 2};
    if (style == QLatin1String("DO"))
        return {4, 6};
    if (style == QLatin1String("DD"))
        return {24, 10, 6, 10};
    if (style == QLatin1String("DDD"))
        return {24, 8, 8, 8, 8, 8};
    return {};
}

QPen outlinePen(const QColor &color, double width, const QString &style)
{
    QPen pen(color, width);
    pen.setCapStyle(Qt::FlatCap);
    // Qt's plain mitre join clips long mitres at its own limit; the SVG one bevels past a limit of
    // mitre length over width, which is how PostScript-style outlines behave (default limit 10).
    pen.setJoinStyle(Qt::SvgMiterJoin);
    pen.setMiterLimit(10);
    QList<double> pattern = dashPatternForStyle(style);
    if (!pattern.isEmpty()) {
        // Qt counts dashes in pen widths; a zero-width pen paints one unit wide.
        const double unit = width > 0 ? width : 1.0;
        for (double &length : pattern)
            length /= unit;
        pen.setDashPattern(pattern);
        pen.setDashOffset(0);
    }
    return pen;
}

void strokeFrame(QPainter &painter, const QRectF &frame, const QColor &color, double width, const QString &style)
{
    painter.save();
    painter.setBrush(Qt::NoBrush);
    painter.setPen(outlinePen(color, width, style));
    painter.drawRect(frame);
    painter.restore();
}

QLinearGradient gradientForBox(const QRectF &box, double angleDegrees, const QColor &start, const QColor &end)
{
    const double radians = angleDegrees * std::numbers::pi / 180.0;
    const double dx = std::cos(radians), dy = std::sin(radians);
    // Half the box's extent along the direction, so the far corners get the pure end colours.
    const double half = (std::abs(dx) * box.width() + std::abs(dy) * box.height()) / 2;
    const QPointF centre = box.center();
    QLinearGradient gradient(centre - QPointF(dx, dy) * half, centre + QPointF(dx, dy) * half);
    gradient.setColorAt(0, start);
    gradient.setColorAt(1, end);
    return gradient;
}

void fillPath(QPainter &painter, const QPainterPath &path, const SKTGraphic &graphic,
              const DrawingResources &resources)
{
    const QString fillType = graphic.fill_type();
    if (fillType == QLatin1String("G")) {
        painter.fillPath(path, QBrush(gradientForBox(path.boundingRect(), graphic.fill_grad_angle(),
                                                     graphic.fill_Grad_clr1(), graphic.fill_Grad_clr2())));
    } else if (fillType == QLatin1String("H")) {
        painter.fillPath(path, graphic.fill_hatch_bk_clr());
        // The tiles are anchored at the canvas origin, so neighbouring shapes line up.
        const QImage pattern = resources.hatchPattern(graphic.fill_hatch_type());
        if (!pattern.isNull())
            painter.fillPath(path, QBrush(pattern));
    } else {
        painter.fillPath(path, graphic.fillColor());
    }
}

QImage hatchPattern(const QString &folder, const QString &name)
{
    // A design names the pattern: a name that could leave the folder would fill shapes with any
    // picture on the disk, which then goes out with an export or a mail.
    if (folder.isEmpty() || !isBareName(name))
        return {};
    const QString path = folder + name + QStringLiteral(".png");
    const QFileInfo info(path);
    if (!info.isFile())
        return {};

    // Decoding at every draw of every hatched shape adds up on a busy canvas; the key notices a
    // replaced file. Workers draw too, hence the lock.
    struct Entry {
        QDateTime modified;
        qint64 size = 0;
        QImage image;
    };
    static QMutex mutex;
    static QHash<QString, Entry> cache;

    const QDateTime modified = info.lastModified();
    const qint64 size = info.size();
    {
        QMutexLocker lock(&mutex);
        const auto it = cache.constFind(path);
        if (it != cache.constEnd() && it->modified == modified && it->size == size)
            return it->image;
    }
    const QImage image = loadPicture(path);
    if (image.isNull())
        return {};
    QMutexLocker lock(&mutex);
    if (cache.size() >= 64)
        cache.clear();
    cache.insert(path, Entry{modified, size, image});
    return image;
}

} // namespace ShapePainting
