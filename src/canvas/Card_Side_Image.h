#pragma once

#include <QImage>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include <memory>

class QPainter;
class SKTRenderingView;

// The picture of one card side, as SKTRenderingView makes it: the card face and the side's printable
// objects. It keeps the objects rather than pixels and draws them afresh into whatever painter it is
// given, so a 300 dpi export is drawn at 300 dpi and a PDF stays vector. The objects are shared with
// the caller: a caller that goes on changing them hands the renderer snapshots. One thread at a time
// paints a given picture, since drawing an object stamps its opacity into its colours.
class Card_Side_Image {
public:
    Card_Side_Image() = default; // the null picture: nothing to draw
    explicit Card_Side_Image(std::shared_ptr<const SKTRenderingView> view);

    bool isNull() const { return !m_view; }
    // In points: the size of the canvas the side was rendered from.
    QSizeF size() const;
    const SKTRenderingView *renderingView() const { return m_view.get(); }

    // Paints the side so that its whole area fills `target` (in the painter's coordinates), clipped
    // to `target`; the painter's state is left as it was. False when an object failed to draw, with
    // its reason in `error`.
    bool draw(QPainter &painter, const QRectF &target, QString *error = nullptr) const;
    // The side at `dpi` pixels per inch (72: one pixel per point), in whole pixels (wholePixels()),
    // transparent outside the card's shape and tagged with its resolution. A null image for the null
    // picture, an empty side, a size or resolution that cannot make an image, or an object that
    // failed to draw (its reason in `error`): half a card never passes for the card.
    QImage toImage(double dpi = 72.0, QString *error = nullptr) const;

private:
    std::shared_ptr<const SKTRenderingView> m_view;
};
