#pragma once

#include "document/SKTGraphic.h"

#include <memory>

class SymbolDrawing;

// A barcode on the card. The barcode settings window renders the symbol into `_barcode_image`;
// this object draws that picture at its own size from the frame's top-left corner, or the sample
// picture "barcode_sample.png" while there is none. A record's copy may hold the symbol's marks
// alone and draw its texts from the symbol's drawing (setSymbolDrawing).
class SKTBarcode : public SKTGraphic {
public:
    SKTBarcode() = default;
    // A new object centred on `position`, its frame the size of `contents`, the symbol its settings
    // make; with no symbol it shows the sample.
    SKTBarcode(const QPointF &position, const QImage &contents);

    Kind kind() const override { return Kind::Barcode; }
    QString className() const override { return QStringLiteral("SKTBarcode"); }
    SKTGraphicPtr clone() const override;
    bool isDrawingFill() const override { return false; }
    bool isDrawingStroke() const override { return false; }
    // The frame and the drawn picture may differ in size; both must be redrawn and neither clipped.
    QRectF drawingBounds() const override;
    // Archives and pasteboard data carry the picture's size as its resolution, which a picture read
    // back turns into its size in points again: a 300 dpi symbol keeps its printed size.
    void decodeOwnFields(const platform::KeyedDecoder &coder) override;

    // The frame takes the size of the picture drawn, which is never scaled.
    bool canMakeNaturalSize() const override;
    void makeNaturalSize() override;

    // Takes the latest barcode picture, or the sample when there is none.
    void barcode_image_var_assign();
    void loadPicturesForDrawing() override;
    void drawContentsInView(QPainter &painter, bool isBeingCreateOrEdited,
                            const DrawingResources &resources = {}) override;

    static QString samplePicturePath();

    // Keeps beside the present picture the drawing it was made from (null: none); `textsApart`: the
    // picture holds the marks alone, and drawing the object draws the texts from the drawing.
    void setSymbolDrawing(std::shared_ptr<const SymbolDrawing> drawing, bool textsApart);
    // Traces the symbol of two colours into shapes, which a PDF then holds instead of its pixels: a
    // sheet of symbols stays small. With the picture's drawing at hand only the marks are traced and
    // the texts drawn as text. For the caller's own copy of the object, before it is drawn (a
    // record's copies on the thread that made them).
    void prepareVectorDrawing();

    QImage _contents; // the picture drawn

protected:
    void copyLoadedPicturesTo(SKTGraphic &copy) const override;

private:
    // The symbol as a PDF draws it: traced shapes, and the texts as text where they are apart.
    struct PrintedSymbol;

    QString m_samplePath; // the sample file `_contents` holds, so it is read once, not per drawing
    // The drawing of the picture shown, when it is at hand.
    std::shared_ptr<const SymbolDrawing> drawingOf(const QImage &shown) const;

    std::shared_ptr<const SymbolDrawing> m_drawing;
    qint64 m_drawingKey = 0; // the cacheKey of the picture `m_drawing` drew
    bool m_textsApart = false;
    std::shared_ptr<const PrintedSymbol> m_printed;
};
