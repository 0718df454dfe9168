#pragma once

#include <QByteArray>
#include <QRectF>

class Card_Property;
class QPainter;
struct DrawingResources;

// Paints the card face of one side under everything else: white in the card's shape (1 rounded
// rectangle, 2 oval, anything else the rectangle), then the side's fill when its fill is on, for a
// picture fill the side's background picture in its layout ("Center", "Tile", any other name
// stretched), cut to the shape. The border is not part of the face. Any thread may call it; a hatch
// comes from `resources`.
void drawCardFace(QPainter &painter, const QRectF &cardRect, const Card_Property &side, int cardShape,
                  const DrawingResources &resources);

// Appends everything drawCardFace reads to a picture cache key.
void appendCardFaceKey(QByteArray &key, const QRectF &cardRect, const Card_Property &side, int cardShape,
                       const DrawingResources &resources);
