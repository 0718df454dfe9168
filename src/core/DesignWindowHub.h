#pragma once

#include <QPointF>
#include <QRectF>
#include <QString>

class SKTGraphic;

// What the lower layers ask of the design window. The window implements it; tests install a
// recording one. Lower layers never include a window or widget header.
class DesignWindowHub {
public:
    virtual ~DesignWindowHub() = default;

    // Marks the current side's canvas for redrawing (callable from any thread).
    virtual void Refresh_Canvas() = 0;
    // The cascade position of the next new or pasted object on side "F" or "B".
    virtual QPointF Control_New_Point(const QString &cardSide) = 0;
    // Bounds of the front canvas, in canvas points.
    virtual QRectF frontCanvasBounds() const = 0;
};
