#include "canvas/CardFace.h"
#include "canvas/PainterStateGuard.h"

#include "core/ImageCategories.h"
#include "core/ImageHelpers.h"
#include "core/MessageBoxes.h"
#include "document/Card_Property.h"
#include "document/DrawingCacheKey.h"
#include "document/DrawingResources.h"
#include "document/Shape_Control.h"

#include <QBrush>
#include <QPainter>
#include <QPainterPath>
#include <QTransform>

#include <exception>
#include <list>
#include <mutex>

namespace {

QPainterPath cardPath(const QRectF &rect, int cardShape)
{
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    if (cardShape == 1)
        path.addRoundedRect(rect, 10, 10);
    else if (cardShape == 2)
        path.addEllipse(rect);
    else
        path.addRect(rect);
    return path;
}

// The layouts of the card panel's list. Any other name stretches, as a new side does.
enum class PictureLayout { Stretch, Center, Tile };

PictureLayout pictureLayout(const QString &name)
{
    if (name == QLatin1String("Center"))
        return PictureLayout::Center;
    if (name == QLatin1String("Tile"))
        return PictureLayout::Tile;
    return PictureLayout::Stretch;
}

// Where one copy of the picture lies: stretched over the card, or at its own size in the middle of
// the card, or at its own size from the card's top-left corner, whence the tiles repeat.
QRectF pictureRect(const QRectF &card, const QImage &picture, PictureLayout layout)
{
    if (layout == PictureLayout::Stretch)
        return card;
    const QSizeF size = pictureSize(picture);
    if (layout == PictureLayout::Tile)
        return QRectF(card.topLeft(), size);
    return QRectF(card.center() - QPointF(size.width() / 2, size.height() / 2), size);
}

// The picture, or a smaller copy where it is drawn much smaller than it is. A few copies are kept:
// the same one is drawn at every repaint, by every band of a repaint and for every record.
QImage backgroundForDrawing(const QPainter &painter, const QImage &picture, const QSizeF &target)
{
    const QSize size = reducedSizeForDrawing(picture.size(), target, painter.deviceTransform());
    if (!size.isValid())
        return picture;
    struct Kept {
        qint64 from;
        QImage copy;
    };
    static std::mutex mutex;
    static std::list<Kept> kept; // the most recently used first
    constexpr size_t kKept = 4;
    // Held while a copy is made, so that bands drawing at once make it only once.
    const std::lock_guard lock(mutex);
    for (auto it = kept.begin(); it != kept.end(); ++it)
        if (it->from == picture.cacheKey() && it->copy.size() == size) {
            kept.splice(kept.begin(), kept, it);
            return it->copy;
        }
    kept.push_front({picture.cacheKey(), picture.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)});
    if (kept.size() > kKept)
        kept.pop_back();
    return kept.front().copy;
}

// The side's background picture in its layout, cut to the card's outline.
void drawBackgroundPicture(QPainter &painter, const QPainterPath &outline, const QRectF &card, const QImage &picture,
                           const QString &layoutName)
{
    if (picture.isNull())
        return;
    const PictureLayout layout = pictureLayout(layoutName);
    const QRectF one = pictureRect(card, picture, layout);
    if (one.isEmpty())
        return;
    const QImage drawn = backgroundForDrawing(painter, picture, one.size());
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    if (layout == PictureLayout::Tile) {
        // A texture repeats by itself, and filling the outline keeps its edge smooth.
        const QSizeF size = pictureSize(drawn);
        QBrush tiles(drawn);
        tiles.setTransform(QTransform::fromTranslate(one.left(), one.top())
                               .scale(one.width() / size.width(), one.height() / size.height()));
        painter.fillPath(outline, tiles);
        return;
    }
    // Drawn whole, not cropped: a PDF then holds one copy of the picture for all its cards.
    painter.setClipPath(outline, Qt::IntersectClip);
    painter.drawImage(one, drawn);
}

} // namespace

void drawCardFace(QPainter &painter, const QRectF &cardRect, const Card_Property &side, int cardShape,
                  const DrawingResources &resources)
{
    try {
        PainterStateGuard guard(painter);
        const QPainterPath path = cardPath(cardRect, cardShape);
        painter.fillPath(path, Qt::white);
        if (!side.Card_fill_chk())
            return;

        const QString &style = side.Card_fill_style();
        if (style == QLatin1String("G")) {
            painter.fillPath(path, QBrush(ShapePainting::gradientForBox(path.boundingRect(), side.Card_grad_Stepper(),
                                                                        side.Card_fill_Grd_1_clr(),
                                                                        side.Card_fill_Grd_2_clr())));
        } else if (style == QLatin1String("H")) {
            painter.fillPath(path, side.Card_hatch_bk_clr());
            const QImage pattern = resources.hatchPattern(side.Card_hatch_style());
            if (!pattern.isNull())
                painter.fillPath(path, QBrush(pattern));
        } else if (style == QLatin1String("I")) {
            drawBackgroundPicture(painter, path, cardRect, side.Card_BG_Image(), side.Card_BG_Image_Layout());
        } else {
            painter.fillPath(path, side.Card_fill_clr());
        }
    } catch (const std::exception &e) {
        Show_NSLog_Message(QString::fromUtf8(e.what()));
    }
}

void appendCardFaceKey(QByteArray &key, const QRectF &cardRect, const Card_Property &side, int cardShape,
                       const DrawingResources &resources)
{
    DrawingCacheKey out(key);
    out << cardRect.topLeft() << cardRect.size() << cardShape << side.Card_fill_chk();
    if (!side.Card_fill_chk())
        return;
    const QString &style = side.Card_fill_style();
    out << style;
    if (style == QLatin1String("G"))
        out << side.Card_grad_Stepper() << side.Card_fill_Grd_1_clr() << side.Card_fill_Grd_2_clr();
    else if (style == QLatin1String("H"))
        out << side.Card_hatch_bk_clr() << resources.hatchPattern(side.Card_hatch_style()).cacheKey();
    else if (style == QLatin1String("I"))
        out << side.Card_BG_Image().cacheKey() << side.Card_BG_Image_Layout();
    else
        out << side.Card_fill_clr();
}
