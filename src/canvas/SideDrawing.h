#pragma once

#include "document/SKTGraphic.h"

#include <QColor>
#include <QRectF>
#include <QRegion>
#include <QString>

#include <functional>

class Card_Property;
class GraphicPictureCache;
class UnderlayPicture;
class QPainter;
class SKTGrid;
class SKTSelection;

// What a side shows beyond the printed card. The defaults give the card as it prints.
struct SideDrawingOptions {
    // Filled over the whole area first, when valid: a canvas's own colour around a rounded or oval card.
    QColor backdrop;
    // Off for the objects alone, without the card under them.
    bool cardFace = true;
    // The canvas also shows the objects that prints and exports leave out.
    bool nonPrintingObjects = false;
    // Drawn over the face while it is showing.
    const SKTGrid *grid = nullptr;
    // Handles on these objects, but never on the frame picture or on the object being created.
    const SKTSelection *handlesOf = nullptr;
    const SKTGraphic *beingCreated = nullptr;
    // Keeps drawn objects as pictures between repaints of a canvas. Into a picture with no clip
    // set, the missing pictures are made and the kept ones blended side by side on the thread pool.
    GraphicPictureCache *pictures = nullptr;
    // With `pictures`: keeps the backdrop, card face and grid as one picture.
    UnderlayPicture *underlay = nullptr;
    // When not empty, objects that do not meet it are left out: what a repaint of a few scattered
    // places needs. In logical pixels of the painter's device.
    QRegion exposed;
    // Told of every object drawn and where.
    std::function<void(const SKTGraphic &, const QRectF &drawingBounds)> drawn;
    // The placeholder and hatch patterns; without them neither is drawn.
    DrawingResources resources;
};

// What a canvas shows under its objects (backdrop, card face and grid) kept as one picture at its
// scale, so that a repaint copies it instead of filling the card and blending the grid again. The
// picture covers the area last drawn in full; a repaint of a part of it copies from it.
class UnderlayPicture {
public:
    // Brings the picture up to date for `area` under this painter, drawing it with `draw` (as the
    // painter would, clipped to the area) when its key or scale changed or the area reaches past
    // it; false where a kept picture cannot serve this painter, or not yet, and the caller draws.
    bool prepare(const QPainter &painter, const QRectF &area, const QByteArray &key,
                 const std::function<void(QPainter &)> &draw);
    // Copies the picture under the painter's clip, in a painter set up as the one prepared apart
    // from a shift by whole pixels. Touches nothing else, so any thread may call it.
    void copy(QPainter &painter) const;

    // Beyond this the underlay is drawn afresh at every repaint.
    static constexpr qsizetype kMaxPixels = 4096 * 4096;

private:
    void clear();

    QByteArray m_key;       // with the scale and the pixel ratio
    QByteArray m_shownOnce; // the last underlay drawn directly
    QRectF m_area;          // in canvas points
    QPoint m_origin;        // of the picture's top-left pixel, in device pixels before the painter's shift
    QImage m_picture;
};

// Draws one card side into any painter, in canvas points: the card face over the whole card (so
// that a part looks like the same part of the whole; nullptr for a plain white card), the grid,
// then the objects from the last index to index 0, each clipped to its drawing bounds. Only what
// meets `area` is drawn, and nothing outside it. Every canvas, render and output draws a side here.
//
// Drawing a canvas in bands of rows gives the same pixels as drawing it in one pass.
//
// An object that throws ends the drawing: its reason is written to the log once and into `error`,
// and the answer is false. The painter's state is restored either way. Any thread may call it for
// graphics nobody edits meanwhile; several threads may draw the same graphics at once once their
// pictures are loaded (SKTGraphic::loadPicturesForDrawing, as a snapshot does), since drawing then
// writes nothing into them.
bool drawCardSide(QPainter &painter, const GraphicList &graphics, const Card_Property *face, int cardShape,
                  const QRectF &cardBounds, const QRectF &area, const SideDrawingOptions &options = {},
                  QString *error = nullptr);
