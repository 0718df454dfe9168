#pragma once

#include <QColor>
#include <QImage>
#include <QList>
#include <QRect>

// A picture of two colours, a symbol's ink on its ground with the blends of smoothed edges between
// them, as rectangles of ink in the picture's pixels: what a PDF holds as a few vector shapes instead
// of a picture of every pixel. Pixels at least half ink are ink; clear pixels count as ground.
struct InkTrace {
    QList<QRect> ink;
    QColor inkColour, groundColour; // the ground may be transparent
    QRect groundArea;               // the box of the pixels of the ground's colour
    QSize pixels;
    qint64 sourceKey = 0; // the traced picture's cacheKey

    bool isNull() const { return pixels.isEmpty(); }
    // A null trace for a picture of other colours than two, or none.
    static InkTrace of(const QImage &picture);
};
