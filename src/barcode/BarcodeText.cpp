#include "barcode/BarcodeText.h"

#include "platform/PointTextLayout.h"

#include <QColor>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QPainter>
#include <QPainterPath>
#include <QTextLayout>

namespace {

// Captions leave out the font's pair kerning.
QFont layoutFont(const QFont &font, float kerning)
{
    return PointTextLayout::font(font, kerning, PointTextLayout::NoPairKerning);
}

QFontMetricsF metricsOf(const QFont &font)
{
    return QFontMetricsF(font, PointTextLayout::device());
}

} // namespace

BarcodeText::BarcodeText(const QString &text, const QFont &font, float kerning)
    : m_text(text), m_font(layoutFont(font, kerning))
{
}

double BarcodeText::width() const
{
    return metricsOf(m_font).horizontalAdvance(m_text);
}

double BarcodeText::height() const
{
    return metricsOf(m_font).height();
}

double BarcodeText::descent() const
{
    return metricsOf(m_font).descent();
}

void BarcodeText::draw(QPainter &painter, const QPointF &leftBottom, const QColor &color, Style style) const
{
    if (m_text.isEmpty())
        return;
    const QPointF baseline(leftBottom.x(), leftBottom.y() - descent());
    if (style == Style::Text) {
        // Glyphs laid out on the device of the outlines: a font in points would take the painter's
        // resolution instead.
        QTextLayout layout(m_text, m_font, const_cast<QPaintDevice *>(PointTextLayout::device()));
        layout.beginLayout();
        const QTextLine line = layout.createLine();
        layout.endLayout();
        painter.save();
        painter.setPen(color);
        for (const QGlyphRun &run : layout.glyphRuns())
            painter.drawGlyphRun(baseline - QPointF(0, line.ascent()), run);
        painter.restore();
        return;
    }
    QPainterPath path;
    path.addText(baseline, m_font, m_text);
    path.setFillRule(Qt::WindingFill);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.fillPath(path, color);
    painter.restore();
}

float BarcodeText::bandHeight(const QFont &font)
{
    const double capHeight = metricsOf(layoutFont(font, 0.0f)).capHeight();
    return static_cast<float>(capHeight / 72.0 + 0.35 * capHeight / 72.0);
}

float BarcodeText::measuredWidth(const QString &text, const QFont &font)
{
    return static_cast<float>(BarcodeText(text, font).width());
}
