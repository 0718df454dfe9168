#pragma once

#include "barcode/BarcodeSettings.h"
#include "barcode/NKDBarcodeOffscreenView.h"

#include <QByteArray>
#include <QImage>
#include <QRectF>
#include <QSizeF>

#include <memory>

class Barcode_2D_Frame;
class NKDBarcode;
class QPainter;

// A barcode picture: bars, texts and any 2-D symbol kept as the renderer's drawing, not as pixels.
// It paints itself into any painter and turns into pixels only when a file or an object needs them,
// at the resolution asked, so a 300 dpi picture is drawn at 300 dpi and PDF output stays vector.
// It is a value: copies share one unchanging drawing, which any thread may paint.
class BarcodePicture {
public:
    BarcodePicture() = default; // the null picture
    explicit BarcodePicture(std::shared_ptr<const NKDBarcodeOffscreenView> view);

    bool isNull() const { return !m_view; }
    // In points.
    QSizeF size() const;
    const NKDBarcodeOffscreenView *view() const { return m_view.get(); }

    using Parts = NKDBarcodeOffscreenView::Parts;
    using TextStyle = NKDBarcodeOffscreenView::TextStyle;
    // Paints the picture, or the parts asked for, so that it fills `target` (painter coordinates),
    // clipped to it.
    void draw(QPainter &painter, const QRectF &target, Parts parts = Parts::All,
              TextStyle style = TextStyle::Outlines) const;
    // The picture at `dpi` pixels per inch, carrying its size in points (resolution and device pixel
    // ratio). Null for the null picture or a size that cannot make an image.
    QImage toImage(double dpi, Parts parts = Parts::All) const;
    // A one-page PDF of the picture; empty for the null picture.
    QByteArray pdfData() const;

private:
    std::shared_ptr<const NKDBarcodeOffscreenView> m_view;
};

// The picture of a linear or postal barcode (null without one). The barcode is shared, not copied:
// whoever holds it changes it no more. Its ground stays within `room` (NKDBarcodeOffscreenView).
BarcodePicture imageFromBarcode(std::shared_ptr<const NKDBarcode> barcode, const BarcodeSettings &settings,
                                const QSizeF &room = {});
// A 2-D symbol framed with the frame's header and footer; null without a symbol.
BarcodePicture imageFromBarcodeImage(const QImage &symbol, const Barcode_2D_Frame &frame,
                                     const BarcodeSettings &settings, const QSizeF &room = {});
