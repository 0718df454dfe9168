#pragma once

#include "document/SKTGraphic.h"

#include <QColor>
#include <QRectF>
#include <QRegion>
#include <QString>

#include <functional>

class Card_Property;
class GraphicPictureCache;
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
    // When not empty, objects that do not meet it are left out: what a repaint of a few scattered
    // places needs. In logical pixels of the painter's device.
    QRegion exposed;
    // Told of every object drawn and where.
    std::function<void(const SKTGraphic &, const QRectF &drawingBounds)> drawn;
    // The placeholder and hatch patterns; without them neither is drawn.
    DrawingResources resources;
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
