#include "barcode/pdf417View.h"

#include "barcode/BarcodeEci.h"

#include "core/MessageBoxes.h"
#include "core/ImageHelpers.h"

#include <QColor>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// Well past any card at any resolution offered.
constexpr int kMostPixelSide = 30000;

// The matrix as a one-bit picture, one pixel per module and per symbol row: a 0 bit black, a 1 bit
// white, so the inverted output draws dark bars. The bits are copied: the encoder's buffer is not
// kept alive by the picture.
QImage bitPicture(const pdf417param &p)
{
    QImage bits(p.bitColumns, p.codeRows, QImage::Format_Mono);
    if (bits.isNull())
        return {};
    bits.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    const int bytesPerRow = p.lenBits / p.codeRows;
    for (int r = 0; r < p.codeRows; ++r)
        std::memcpy(bits.scanLine(r), p.outBits.data() + static_cast<std::size_t>(r) * bytesPerRow,
                    static_cast<std::size_t>(bytesPerRow));
    return bits;
}

// The one-bit picture with each pixel drawn as a block of `across` by `down` pixels: the modules at
// their size, not scaled.
QImage enlarged(const QImage &bits, int across, int down)
{
    QImage out(bits.width() * across, bits.height() * down, QImage::Format_ARGB32_Premultiplied);
    if (out.isNull())
        return out;
    const auto lineBytes = static_cast<std::size_t>(out.bytesPerLine());
    for (int r = 0; r < bits.height(); ++r) {
        const uchar *row = bits.constScanLine(r);
        auto *line = reinterpret_cast<QRgb *>(out.scanLine(r * down));
        for (int c = 0; c < bits.width(); ++c) {
            const bool light = row[c >> 3] & (0x80 >> (c & 7)); // most significant bit first; 1 is white
            std::fill_n(line + static_cast<std::ptrdiff_t>(c) * across, across, light ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
        }
        for (int k = 1; k < down; ++k)
            std::memcpy(out.scanLine(r * down + k), line, lineBytes);
    }
    return out;
}

} // namespace

pdf417View::pdf417View(const QSizeF &frameSize) : m_bounds(frameSize)
{
    pdf417init(p);
}

void pdf417View::setErrorLevel(int level)
{
    errorLevel = level;
    Show_NSLog_Message(QStringLiteral("ErrorLevel set to %1").arg(level));
}

int pdf417View::drawWithText(const QString &text, double dpi)
{
    if (text.isEmpty()) {
        m_imageState = Empty;
        return m_imageState;
    }
    pdf417init(p);
    p.text = text.toUtf8();
    p.lenText = static_cast<int>(p.text.size());
    p.eci = Utf8_Eci_For(p.text);
    p.options = PDF417_USE_ERROR_LEVEL | PDF417_INVERT_BITMAP;
    p.errorLevel = errorLevel;
    p.aspectRatio = 1.0f;
    paintCode(p);
    if (p.error != PDF417_ERROR_SUCCESS) {
        Show_NSLog_Message(QStringLiteral("Error encountered while drawing barcode, error %1.").arg(p.error));
        pdf417free(p);
        m_imageState = Error;
        return m_imageState;
    }

    // Each module and each symbol row as many whole pixels as cover the frame's share of it at the
    // resolution, never fewer: the picture may come out a little larger than the frame.
    const QImage bits = m_bounds.width() > 0 && m_bounds.height() > 0 ? bitPicture(p) : QImage();
    pdf417free(p);
    pdf417Image = QImage();
    m_columns = 0;
    if (m_stretched) {
        pdf417Image = bits.isNull() ? bits : Increase_DPI(bits, dpi, m_bounds);
        m_columns = pdf417Image.isNull() ? 0 : bits.width();
    } else if (!bits.isNull() && dpi > 0) {
        const double perPoint = dpi / 72.0;
        const auto across = static_cast<int>(std::ceil(m_bounds.width() * perPoint / bits.width() - 1e-4));
        const auto down = static_cast<int>(std::ceil(m_bounds.height() * perPoint / bits.height() - 1e-4));
        const QSize pixels(std::max(1, across) * bits.width(), std::max(1, down) * bits.height());
        if (pixels.width() <= kMostPixelSide && pixels.height() <= kMostPixelSide) {
            pdf417Image = enlarged(bits, pixels.width() / bits.width(), pixels.height() / bits.height());
            setImageSizeInPoints(pdf417Image, QSizeF(pixels) / perPoint);
            m_columns = bits.width();
        }
    }
    m_imageState = Drawn;
    return m_imageState;
}
