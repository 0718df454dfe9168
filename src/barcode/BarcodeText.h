#pragma once

#include "document/SymbolDrawing.h"

#include <QFont>
#include <QString>

class QColor;
class QPainter;

// One line of caption, header or footer text, laid out as the desktop lays out an attributed
// string: one unit per point whatever device it is painted on, no hinting, no pair kerning, and the
// kerning value added after every character. It is painted as outlines, or as text, and comes out
// the same size at any resolution.
class BarcodeText {
public:
    BarcodeText(const QString &text, const QFont &font, float kerning = 0.0f);

    const QString &text() const { return m_text; }
    // In points, the kerning included.
    double width() const;
    // The line's height in points: ascent and descent of the font.
    double height() const;
    double descent() const;

    using Style = SymbolDrawing::TextForm;
    // Paints the line with the left end of its line box bottom at `leftBottom` (painter coordinates,
    // y growing downward): the baseline lies `descent()` above it.
    void draw(QPainter &painter, const QPointF &leftBottom, const QColor &color, Style style = Style::Outlines) const;

    // 1.35 cap heights of the font, in inches: the height a barcode reserves for a line of it.
    static float bandHeight(const QFont &font);
    // The unkerned width of the text in the font, in points.
    static float measuredWidth(const QString &text, const QFont &font);

private:
    QString m_text;
    QFont m_font; // laid out in points
};
