#pragma once

#include "canvas/Card_Side_Image.h"
#include "document/Card_Property.h"
#include "document/SKTGraphic.h"

#include <QByteArray>
#include <QRectF>
#include <QString>

#include <functional>

class SKTDocument;
struct DesignSnapshot;
struct SKTError;

// Draws a card side away from the screen: the one road by which export, printing, e-mail, record
// previews, the pasteboard's PDF and TIFF flavours and the document's own data get a picture of a
// side. It draws as the side's canvas does (card face, then the objects from the last index to index
// 0, each clipped to its drawing bounds) but without grid or handles, and it leaves out the objects
// whose `print_object` is not 0.
//
// It reads only what it is given: the side's objects, the side's card face, the card shape code and
// the frame (the front canvas's bounds, which all sides share). It never reads or switches the current
// side and touches no widget, pixmap or design window, so a worker may render while the user edits,
// provided it renders objects nobody changes meanwhile (snapshots).
class SKTRenderingView {
public:
    // Keeps its own copy of the list; the objects themselves are shared with the caller. Only the
    // frame's size counts: the side is drawn at the origin of the bounds. The placeholder and hatch
    // patterns drawn are those of `resources`.
    SKTRenderingView(const QRectF &frame, const GraphicList &graphics, const Card_Property &face, int cardShape,
                     const DrawingResources &resources, const QString &printJobTitle = QString());

    // A side of a snapshot (0 the front, else the back), drawn with the snapshot's resources; the
    // snapshot's copies are shared, not copied again.
    SKTRenderingView(const DesignSnapshot &snapshot, int cardSide);

    QRectF bounds() const { return m_bounds; }
    const GraphicList &graphics() const { return _graphics; }
    const QString &printJobTitle() const { return _printJobTitle; }

    // Paints the card face over the whole bounds, then every printable object that meets `rect`,
    // clipped to `rect`; the painter is in canvas points. An object that fails ends the drawing and
    // answers false with its reason in `error` (and one log line); the caller decides what to show.
    bool drawRect(QPainter &painter, const QRectF &rect, QString *error = nullptr) const;
    // A one-page PDF of `rect`, the page exactly `rect`'s size in points (PDF page sizes are whole
    // points, so a fractional size is rounded). Empty when nothing can be written or drawn.
    QByteArray dataWithPDFInsideRect(const QRectF &rect) const;

    // These static functions draw with the running program's resources (DrawingResources::ofProgram),
    // so they are called on the GUI thread.
    // The picture of a side at the frame's size. Null after an exception, which is logged.
    // `print_box` chose an older bitmap road on old systems; here both roads give the same picture.
    static Card_Side_Image image_From_Card_Graphics(const GraphicList &graphics, bool print_box,
                                                    const Card_Property &face, int cardShape, const QRectF &frame);
    // The side as PDF data at the frame's size, with its card face, even for a few selected objects.
    static QByteArray pdfDataWithGraphics_data(const GraphicList &graphics, const Card_Property &face, int cardShape,
                                               const QRectF &frame);
    // The objects alone, cut to the union of their drawing bounds (the frame for an empty list), as
    // TIFF data at one pixel per point. Unlike the pictures above it has no card face and keeps the
    // objects that are not printed. An empty or unusable area, or an object that fails to draw, gives
    // empty data and error code 3.
    static QByteArray tiffDataWithGraphics(const GraphicList &graphics, const QRectF &frame,
                                           SKTError *error = nullptr);

    // A one-page PDF of `page` points (a fractional size is rounded to whole points) drawn by `draw`
    // with one device unit per point; empty when nothing can be written or `draw` answers false.
    static QByteArray onePagePDF(const QSizeF &page, const QString &title,
                                 const std::function<bool(QPainter &)> &draw);

    // A transparent picture covering `pixelSize` (a fractional edge pixel is kept), tagged with
    // `dpi`; a null image when the size is empty, not finite or too large, or the dpi not positive.
    static QImage newTransparentImage(const QSizeF &pixelSize, double dpi);
    // A picture's size in pixels cut to whole pixels, as exported pictures are. An edge within a
    // hundredth of a pixel of a whole number is that number: card sizes pass through single
    // precision, and 3 in (215.99998 points) at 300 dpi is 900 pixels, not 899.
    static QSizeF wholePixels(const QSizeF &pixelSize);

    // Type names of the document's rendered data.
    static const QString PDFType;  // "application/pdf"
    static const QString TIFFType; // "image/tiff"
    // The document's data of a type, always made from the front list: its native data (from the
    // document), PDF with `face` under it, or TIFF. Any other type is a programming error and throws
    // std::invalid_argument.
    static QByteArray dataOfType(SKTDocument &document, const QString &typeName, const Card_Property &face,
                                 int cardShape, const QRectF &frame, SKTError *error = nullptr);

private:
    QRectF m_bounds;
    GraphicList _graphics;
    Card_Property m_face;
    int m_cardShape;
    DrawingResources m_resources;
    QString _printJobTitle;
};
