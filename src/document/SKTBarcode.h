#pragma once

#include "document/SKTGraphic.h"

#include <memory>

struct InkTrace;

// A barcode on the card. The barcode settings window renders the symbol into `_barcode_image`;
// this object draws that picture at its own size from the frame's top-left corner, or the sample
// picture "barcode_sample.png" while there is none.
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

    // Traces the symbol of two colours into shapes, which a PDF then holds instead of its pixels:
    // text stays text and a sheet of symbols stays small. For the caller's own copy of the object,
    // before it is drawn (a record's copies on the thread that made them).
    void prepareVectorDrawing();

    QImage _contents; // the picture drawn

protected:
    void copyLoadedPicturesTo(SKTGraphic &copy) const override;

private:
    QString m_samplePath; // the sample file `_contents` holds, so it is read once, not per drawing
    std::shared_ptr<const InkTrace> m_trace; // of the symbol it was traced from
};
