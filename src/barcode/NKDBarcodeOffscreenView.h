#pragma once

#include "barcode/BarcodeSettings.h"
#include "barcode/BarcodeText.h"
#include "barcode/Barcode_2D_Frame.h"
#include "barcode/NKDBarcode.h"

#include <QByteArray>
#include <QImage>
#include <QRectF>

#include <memory>

class QPainter;

// Draws one barcode picture: the bars of a linear or postal barcode with its caption, header and
// footer, or a finished 2-D symbol placed between its header and footer. It is never shown: it draws
// into whatever painter it is given (a picture at any resolution, PDF, the canvas). Every colour,
// font, margin and alignment comes from the settings it was made with; it keeps them, and the
// barcode, unchanged, so any thread may draw it.
//
// Lengths are in points. The layout is worked out as the desktop does it, y growing upward from the
// bottom edge; the painter has y growing downward with the origin at the bounds' top-left.
class NKDBarcodeOffscreenView {
public:
    // A linear picture: as wide as the widest of the bars (`width`) and the printed header and
    // footer, and wider where the bars' quiet zones need it, as high as the barcode's `height`.
    // `room`, the size of the place the picture is drawn in from its top-left corner (none: as much as
    // it needs), holds its ground: ground added for the quiet zones only as far as the room reaches, and
    // none painted outside it, so that only bars that need more room reach past it.
    NKDBarcodeOffscreenView(std::shared_ptr<const NKDBarcode> barcode, const BarcodeSettings &settings,
                            const QSizeF &room = {});
    // A 2-D picture: the frame's width and height, the symbol (which holds its quiet zone) drawn at its
    // own size in points; its ground within `room` as above.
    NKDBarcodeOffscreenView(const QImage &image_2d, const Barcode_2D_Frame &frame, const BarcodeSettings &settings,
                            const QSizeF &room = {});

    QRectF bounds() const { return m_bounds; }
    bool fromImageOrBarcode() const { return m_fromImageOrBarcode; }
    const NKDBarcode *barcode() const { return m_barcode.get(); }
    const QImage &image_2d() const { return m_image_2d; }

    // What of the picture is drawn: all of it, the ground, bars and symbol alone, or the texts alone.
    enum class Parts { All, Marks, Texts };
    using TextStyle = BarcodeText::Style;
    // Draws the picture, or its parts, its texts in `style`; the painter's state is left as it was.
    void drawRect(QPainter &painter, Parts parts = Parts::All, TextStyle style = TextStyle::Outlines) const;
    // A one-page PDF of `rect`, vector bars and text outlines; the page rounded up to whole points.
    // Empty when nothing can be written.
    QByteArray dataWithPDFInsideRect(const QRectF &rect) const;

private:
    void drawLinear(QPainter &painter, Parts parts, TextStyle style) const;
    void draw2D(QPainter &painter, Parts parts, TextStyle style) const;
    void drawCaptions(QPainter &painter, double barsTop, TextStyle style) const;
    void drawHeader(QPainter &painter, const QString &text, double headerBand, TextStyle style) const;
    void drawFooter(QPainter &painter, const QString &text, TextStyle style) const;
    // The painter rectangle of a rectangle given by its lower-left corner in the upward layout.
    QRectF flipped(double x, double y, double width, double height) const;
    // Paints a line with its box's lower-left corner at (x, y) of the upward layout.
    void drawLineAt(QPainter &painter, const BarcodeText &line, double x, double y, const QColor &color,
                    TextStyle style) const;
    // Paints a line across the bounds' width, aligned by an alignment title, its box's bottom at y.
    void drawLineAcross(QPainter &painter, const BarcodeText &line, const QString &alignment, double y,
                        const QColor &color, TextStyle style) const;

    BarcodeSettings m_settings;
    Barcode_Margins m_margins;
    QRectF m_bounds;
    // The picture as the model or frame measures it, within the bounds; a linear picture's bounds are
    // wider where the bars need more ground beside them for their quiet zones.
    QRectF m_layout;
    // Where the ground is painted: the bounds, within the room.
    QRectF m_ground;
    // Where the bars start across the layout: on a pixel edge at the picture's resolution.
    double m_barsX = 0;
    bool m_fromImageOrBarcode = false;
    std::shared_ptr<const NKDBarcode> m_barcode;
    QImage m_image_2d;
    Barcode_2D_Frame m_frame;
};
