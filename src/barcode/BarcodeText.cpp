#include "barcode/BarcodeText.h"

#include <QColor>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

// The resolution Qt lays text out at when no device is named (exported by QtGui, not declared in
// its public headers).
int qt_defaultDpiY();

namespace {

QFont layoutFont(const QFont &font, float kerning)
{
    QFont f = font;
    // Without a device Qt lays points out at its default resolution: scale so one unit is one point.
    if (f.pointSizeF() > 0)
        f.setPointSizeF(f.pointSizeF() * 72.0 / qt_defaultDpiY());
    f.setHintingPreference(QFont::PreferNoHinting);
    f.setKerning(false);
    if (kerning != 0.0f)
        f.setLetterSpacing(QFont::AbsoluteSpacing, kerning);
    return f;
}

} // namespace

BarcodeText::BarcodeText(const QString &text, const QFont &font, float kerning)
    : m_text(text), m_font(layoutFont(font, kerning))
{
}

double BarcodeText::width() const
{
    return QFontMetricsF(m_font).horizontalAdvance(m_text);
}

double BarcodeText::height() const
{
    return QFontMetricsF(m_font).height();
}

double BarcodeText::descent() const
{
    return QFontMetricsF(m_font).descent();
}

void BarcodeText::draw(QPainter &painter, const QPointF &leftBottom, const QColor &color) const
{
    if (m_text.isEmpty())
        return;
    QPainterPath path;
    path.addText(QPointF(leftBottom.x(), leftBottom.y() - descent()), m_font, m_text);
    path.setFillRule(Qt::WindingFill);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.fillPath(path, color);
    painter.restore();
}

float BarcodeText::bandHeight(const QFont &font)
{
    const double capHeight = QFontMetricsF(layoutFont(font, 0.0f)).capHeight();
    return static_cast<float>(capHeight / 72.0 + 0.35 * capHeight / 72.0);
}

float BarcodeText::measuredWidth(const QString &text, const QFont &font)
{
    return static_cast<float>(BarcodeText(text, font).width());
}
