#pragma once

#include "document/SKTGraphic.h"

#include <QPen>

// Closed outlines: rectangle, oval, rounded rectangle, triangle, diamond, stars and polygons, filled
// with a solid colour, a gradient or a hatch pattern and outlined solid or dashed.
class Shape_Control : public SKTGraphic {
public:
    Kind kind() const override { return Kind::Shape; }
    QString className() const override { return QStringLiteral("Shape_Control"); }
    SKTGraphicPtr clone() const override;

    QPainterPath bezierPathForDrawing() const override;
    void drawContentsInView(QPainter &painter, bool isBeingCreateOrEdited,
                            const DrawingResources &resources = {}) override;
    bool isContentsUnderPoint(const QPointF &point) const override;
    bool appendDrawingCacheKey(QByteArray &key) const override;
    QList<OpacityStamp> drawnColours() const override;

    QPainterPath Rectangle_path() const;
    QPainterPath Circle_path() const;
    QPainterPath Rounded_Rectangle_path() const;
    QPainterPath Triangle_path() const;
    QPainterPath Diamond_path() const;
    QPainterPath Polygon_With_Diffrent_Sides(int n) const;
    QPainterPath Custom_Polygon() const;
};

// Painting shared by every kind that fills and strokes an outline (shapes, lines, text frames).
namespace ShapePainting {

// The dash pattern of an outline style in points ("S" and unknown codes: none, solid).
QList<double> dashPatternForStyle(const QString &style);
// A pen of `width` points whose dashes keep their lengths in points whatever the width.
QPen outlinePen(const QColor &color, double width, const QString &style);
// The rectangular outline pictures draw around their frame.
void strokeFrame(QPainter &painter, const QRectF &frame, const QColor &color, double width, const QString &style);
// Fills `path` the way the graphic's fill settings say ("G" gradient, "H" hatch, else solid).
void fillPath(QPainter &painter, const QPainterPath &path, const SKTGraphic &graphic,
              const DrawingResources &resources);
// A linear gradient over `box` at `angleDegrees`: 0 runs left to right, 90 top to bottom.
QLinearGradient gradientForBox(const QRectF &box, double angleDegrees, const QColor &start, const QColor &end);
// The hatch pattern picture "<name>.png" in `folder` (ending with '/'), read by loadPicture;
// a null image for a name that is not bare (isBareName) or a file that cannot be read.
QImage hatchPattern(const QString &folder, const QString &name);

} // namespace ShapePainting
