#pragma once

#include <QImage>

class QPainter;
class QRectF;

// What a barcode object's picture was drawn from, kept beside its pixels so that its texts (value,
// header, footer) can be drawn where the card is drawn: as text in a PDF, which can be selected and
// prints sharp, and as outlines in pictures. Any thread may use it.
class SymbolDrawing {
public:
    // Outlines come out alike on every device; text stays text in a PDF. Both put every glyph in
    // the same place.
    enum class TextForm { Outlines, Text };

    virtual ~SymbolDrawing() = default;
    // The picture without its texts, in the pixels of the picture itself.
    virtual QImage marks() const = 0;
    // The texts alone, placed as in the picture drawn to fill `target`.
    virtual void drawTexts(QPainter &painter, const QRectF &target, TextForm form) const = 0;
};
