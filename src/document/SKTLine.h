#pragma once

#include "document/SKTGraphic.h"

#include <QPen>

// A straight line between two opposite corners of its bounds; the direction flags say which two.
// Stroked with the outline styles of shapes and a cap style of its own, never filled.
class SKTLine : public SKTGraphic {
public:
    Kind kind() const override { return Kind::Line; }
    QString className() const override { return QStringLiteral("SKTLine"); }
    SKTGraphicPtr clone() const override;

    static const QString BeginPointKey;
    static const QString EndPointKey;

    QPointF beginPoint() const;
    QPointF endPoint() const;
    void setBeginPoint(const QPointF &point);
    void setEndPoint(const QPointF &point);
    // The bounds of the segment, and its direction flags where places are given for them.
    static QRectF boundsWithBeginPoint(const QPointF &begin, const QPointF &end, bool *pointsRight = nullptr,
                                       bool *pointsDown = nullptr);

    // Moving or resizing through the bounds keeps the direction; the ends follow the corners.
    void setBounds(const QRectF &bounds) override;

    QVariant valueForKey(const QString &key) override;
    void setValueForKey(const QString &key, const QVariant &value) override;
    QStringList keysForValuesToObserveForUndo() const override;
    QString presentablePropertyNameForKey(const QString &key) const override;

    bool isDrawingFill() const override { return false; }
    bool isDrawingStroke() const override { return true; }
    bool canSetDrawingFill() const override { return false; }
    bool canSetDrawingStroke() const override { return false; }
    bool canMakeNaturalSize() const override { return false; }
    int creationSizingHandle() const override { return SKTGraphicUpperMiddleHandle; }

    QPainterPath bezierPathForDrawing() const override;
    // The pen the line is stroked with, colour aside: width, cap style, mitred joins and dashes.
    QPen linePen(const QColor &color) const;
    void drawContentsInView(QPainter &painter, bool isBeingCreateOrEdited,
                            const DrawingResources &resources = {}) override;
    bool appendDrawingCacheKey(QByteArray &key) const override;
    QList<OpacityStamp> drawnColours() const override;
    QRectF drawingBounds() const override;
    void drawHandlesInView(QPainter &painter, bool lock_hai) override;
    int handleUnderPoint(const QPointF &point) const override;
    int resizeByMovingHandle(int handle, const QPointF &point) override;
    bool isContentsUnderPoint(const QPointF &point) const override;
    // A line's colour is its stroke colour.
    void setColor(const QColor &color) override;
    // The direction travels with the line, so a rising line stays rising when saved or pasted.
    void encodeOwnFields(platform::KeyedEncoder &coder) const override;
    void decodeOwnFields(const platform::KeyedDecoder &coder) override;

    bool _pointsRight = false;
    bool _pointsDown = false;

private:
    // Stores the bounds and announces the bounds and both ends, from the ends they had before.
    void storeBounds(const QRectF &bounds, const QPointF &oldBegin, const QPointF &oldEnd);
};
