#pragma once

#include <QByteArray>
#include <QHash>
#include <QImage>
#include <QPoint>

class QPainter;
class SKTGraphic;

// Keeps each drawn object as a picture at the canvas's scale, so that a repaint blends pictures
// instead of filling and stroking every outline again. A picture is reused while the object's
// drawing key, the scale and the sub-pixel position are unchanged: moving an object by whole pixels
// reuses it. Objects that cannot describe their drawing are always drawn afresh.
class GraphicPictureCache {
public:
    // Draws the graphic's contents, as drawContentsInView would, into a painter that only scales
    // and translates (anything else is drawn directly).
    void drawContents(QPainter &painter, SKTGraphic &graphic, bool isBeingCreateOrEdited);
    void forget(const SKTGraphic *graphic);
    void clear();

    qsizetype pictureCount() const { return m_entries.size(); }
    qsizetype byteCount() const { return m_bytes; }

    // Pictures larger than this are not kept; beyond the budget the cache starts over.
    static constexpr qsizetype kMaxPicturePixels = 2048 * 2048;
    static constexpr qsizetype kByteBudget = 128 * 1024 * 1024;

private:
    struct Entry {
        QByteArray key;
        QImage picture;
        QPoint offset; // of the picture's top-left pixel from the pixel holding the bounds' origin
    };
    QHash<const SKTGraphic *, Entry> m_entries;
    QByteArray m_key;
    qsizetype m_bytes = 0;
};
