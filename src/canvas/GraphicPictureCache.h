#pragma once

#include <QByteArray>
#include <QHash>
#include <QImage>
#include <QPoint>
#include <QTransform>

#include <optional>
#include <vector>

class QPainter;
class SKTGraphic;
struct DrawingResources;

// Keeps each drawn object as a picture at the canvas's scale, so that a repaint blends pictures
// instead of filling and stroking every outline again. A picture is reused while the object's
// drawing key, the scale and the sub-pixel position are unchanged: moving an object by whole pixels
// reuses it. Objects that cannot describe their drawing are always drawn afresh.
class GraphicPictureCache {
public:
    // A kept picture and where it goes, in the painter's coordinates with no transform.
    struct Placed {
        QImage picture;
        QPointF position;
    };

    // Draws the graphic's contents, as drawContentsInView would, into a painter that only scales
    // and translates (anything else is drawn directly).
    void drawContents(QPainter &painter, SKTGraphic &graphic, bool isBeingCreateOrEdited,
                      const DrawingResources &resources);
    // The pictures of these graphics for this painter, the missing ones made side by side on the
    // thread pool; nothing for a graphic that is drawn directly. Only kinds whose key covers what
    // their drawing reads are kept, and no graphic being created or edited is passed here (its
    // drawing reads the desktop's colours).
    std::vector<std::optional<Placed>> prepare(const QPainter &painter, const std::vector<SKTGraphic *> &graphics,
                                               const DrawingResources &resources);
    // Blends a kept picture as drawContents does; touches no cache, so any thread may call it.
    static void draw(QPainter &painter, const Placed &placed);

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
    // What one painter asks of one graphic.
    struct Request {
        bool keepable = false; // false: draw directly
        QTransform toPixels;
        qreal ratio = 1;
        QPoint originPixel;
    };

    Request request(const QPainter &painter, const SKTGraphic &graphic, bool isBeingCreateOrEdited,
                    QByteArray &key) const;
    const Entry *find(const SKTGraphic &graphic, const QByteArray &key) const;
    // Draws a fresh picture; touches no cache. Nothing when the picture would be too large.
    static std::optional<Entry> make(const Request &request, QByteArray key, SKTGraphic &graphic,
                                     int renderHints, bool isBeingCreateOrEdited, const DrawingResources &resources);
    const Entry &keep(const SKTGraphic &graphic, Entry &&entry);
    static Placed placed(const Request &request, const Entry &entry);

    QHash<const SKTGraphic *, Entry> m_entries;
    QByteArray m_key; // one buffer for the keys built on every paint
    qsizetype m_bytes = 0;
};
