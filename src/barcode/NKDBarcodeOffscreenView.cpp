#include "barcode/NKDBarcodeOffscreenView.h"

#include "canvas/SKTRenderingView.h"

#include "barcode/BarcodeSizing.h"
#include "barcode/BarcodeText.h"
#include "core/ImageHelpers.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

constexpr double kPointsPerInch = 72.0;
// How much smaller than a picture its place may be, in pixels, and still hold it.
constexpr double kPixelSlack = 0.25;
// Rise of the side digits above the caption line; share of `firstBar` before the left digits and of
// the width after `lastBar` before the right ones.
constexpr double kSideCaptionRise = 3.0;
constexpr double kLeftCaptionShare = 0.25;
constexpr double kRightCaptionShare = 0.07;
// Kerning of header, footer and an unspread caption, and the factor of a spread one.
constexpr float kTextKerning = 2.0f;
// Kerning factor and x offset factor of the parts of a split caption.
constexpr double kSplitKerningFactor = 1.3;
constexpr double kSplitOffsetFactor = 3.0;

double pointsOf(float inches)
{
    return inches * kPointsPerInch;
}

} // namespace

NKDBarcodeOffscreenView::NKDBarcodeOffscreenView(std::shared_ptr<const NKDBarcode> barcode,
                                                 const BarcodeSettings &settings, const QSizeF &room)
    : m_settings(settings), m_margins(Barcode_Margins_Of(settings)), m_barcode(std::move(barcode))
{
    if (!m_barcode)
        return;
    const NKDBarcode &b = *m_barcode;
    const double width = std::max({b.printsHeader() ? double(b.headerWidth()) : 0.0,
                                   b.printsFooter() ? double(b.footerWidth()) : 0.0, double(b.width())});
    // Settings come from files too: a size that is no number draws nothing.
    if (!std::isfinite(width) || !std::isfinite(b.width()) || !std::isfinite(b.barWidth()) || !std::isfinite(b.height()))
        return;
    // The bars stay centred: where the layout leaves them less ground than their quiet zones, as much
    // is added on both sides, as far as the room allows; and their first module starts on a pixel edge
    // at the picture's resolution, so that modules of one pixel stay sharp.
    const Barcode_Symbology *symbology = settings.symbology();
    const Quiet_Zone quiet = symbology ? symbology->quietZone : Quiet_Zone();
    const double dpi = settings.USED_DPI_VALUE();
    const double side = (width - static_cast<double>(b.completeBarcode().size()) * b.barWidth()) / 2.0;
    const double start = Whole_Pixels_Points(std::max<double>(side, std::max(quiet.left, quiet.right) * b.barWidth()), dpi);
    double added = std::max(0.0, start - side);
    const double perPoint = dpi / kPointsPerInch;
    // A frame kept from the picture's own size may measure a little less, through the resolution a
    // picture carries.
    if (!room.isEmpty() && (width + 2.0 * added - room.width()) * perPoint > kPixelSlack)
        added = std::max(0.0, (room.width() - width) / 2.0);
    m_barsX = std::floor((added + side) * perPoint + 1e-4) / perPoint - added;
    m_layout = QRectF(added, 0, width, b.height());
    m_bounds = QRectF(0, 0, width + 2.0 * added, b.height());
    m_ground = room.isEmpty() ? m_bounds : m_bounds & QRectF(QPointF(), room);
}

NKDBarcodeOffscreenView::NKDBarcodeOffscreenView(const QImage &image_2d, const Barcode_2D_Frame &frame,
                                                 const BarcodeSettings &settings, const QSizeF &room)
    : m_settings(settings), m_margins(Barcode_Margins_Of(settings)),
      m_fromImageOrBarcode(true), m_image_2d(image_2d), m_frame(frame)
{
    if (std::isfinite(frame.width()) && std::isfinite(frame.height()))
        m_layout = m_bounds = QRectF(0, 0, frame.width(), frame.height());
    m_ground = room.isEmpty() ? m_bounds : m_bounds & QRectF(QPointF(), room);
}

QRectF NKDBarcodeOffscreenView::flipped(double x, double y, double width, double height) const
{
    return QRectF(m_layout.x() + x, m_layout.bottom() - y - height, width, height);
}

void NKDBarcodeOffscreenView::drawLineAt(QPainter &painter, const BarcodeText &line, double x, double y,
                                         const QColor &color, TextStyle style) const
{
    line.draw(painter, QPointF(m_layout.x() + x, m_layout.bottom() - y), color, style);
}

void NKDBarcodeOffscreenView::drawLineAcross(QPainter &painter, const BarcodeText &line, const QString &alignment,
                                             double y, const QColor &color, TextStyle style) const
{
    double x = 0.0; // "Left", and the natural alignment of any other value
    if (alignment == QLatin1String("Center"))
        x = (m_layout.width() - line.width()) / 2.0;
    else if (alignment == QLatin1String("Right"))
        x = m_layout.width() - line.width();
    drawLineAt(painter, line, x, y, color, style);
}

void NKDBarcodeOffscreenView::drawRect(QPainter &painter, Parts parts, TextStyle style) const
{
    if (m_bounds.isEmpty())
        return;
    painter.save();
    painter.setClipRect(m_bounds, Qt::IntersectClip);
    if (m_fromImageOrBarcode)
        draw2D(painter, parts, style);
    else
        drawLinear(painter, parts, style);
    painter.restore();
}

void NKDBarcodeOffscreenView::drawLinear(QPainter &painter, Parts parts, TextStyle style) const
{
    const NKDBarcode &b = *m_barcode;
    const bool marks = parts != Parts::Texts, texts = parts != Parts::Marks;
    if (marks)
        painter.fillRect(m_ground, m_settings.barcode_back_clr_val);
    const QString modules = b.completeBarcode();
    const qsizetype count = modules.size();
    const double barWidth = b.barWidth();

    double x = m_barsX;
    const double captionBand = b.printsCaption() ? pointsOf(b.captionHeight()) : 0.0;
    const double footerBand = b.printsFooter() ? pointsOf(b.footerHeight()) : 0.0;
    const double baseline = m_settings.captionOnTop()
                                ? footerBand + m_margins.footer_margin + m_margins.TB_margin
                                : captionBand + footerBand + m_margins.value_margin + m_margins.footer_margin +
                                      m_margins.TB_margin;

    // Each run of dark modules is one rectangle up to the bar top of its last module (postal bars
    // differ in height), standing on the common baseline; a four-state bar starts at its own bottom.
    const bool fourState = b.isFourState();
    double barsTop = 0.0;
    int run = 0;
    int last = 0;
    const auto drawRun = [&] {
        const double top = b.barTop(last, m_margins);
        const double bottom = fourState ? b.barBottom(last) : 0.0;
        barsTop = top;
        if (marks && top > bottom)
            painter.fillRect(flipped(x, baseline + bottom, barWidth * run, top - bottom), m_settings.barcode_clr_val);
    };
    for (qsizetype i = 0; i < count; ++i) {
        if (modules.at(i) == QLatin1Char('1')) {
            ++run;
            last = static_cast<int>(i);
            if (i == count - 1)
                drawRun();
            continue;
        }
        if (run > 0)
            drawRun();
        x += barWidth * (run + 1);
        run = 0;
    }

    if (!texts)
        return;
    drawCaptions(painter, barsTop, style);
    if (b.printsHeader())
        drawHeader(painter, b.header(), pointsOf(b.headerHeight()), style);
    if (b.printsFooter())
        drawFooter(painter, b.footer(), style);
}

void NKDBarcodeOffscreenView::drawCaptions(QPainter &painter, double barsTop, TextStyle style) const
{
    const NKDBarcode &b = *m_barcode;
    if (!b.printsCaption())
        return;
    const double footerBand = b.printsFooter() ? pointsOf(b.footerHeight()) : 0.0;
    const double line = m_settings.captionOnTop() ? footerBand + m_margins.footer_margin + barsTop +
                                                        m_margins.value_margin + m_margins.TB_margin
                                                  : footerBand + m_margins.footer_margin + m_margins.TB_margin;
    const QFont &font = m_settings.value_font_val;
    const QColor &color = m_settings.barcode_val_clr_val;

    const QString left = b.leftCaption();
    if (!left.isEmpty())
        drawLineAt(painter, BarcodeText(left, font), b.firstBar() * kLeftCaptionShare + m_margins.LR_margin,
                   line + kSideCaptionRise, color, style);

    const QString caption = b.caption();
    if (!caption.isEmpty()) {
        const QStringList parts = caption.split(QLatin1Char('\t'));
        const double width = b.width();
        const double guard = static_cast<double>(b.initiator().size()) * b.barWidth();
        if (left.isEmpty() && parts.size() == 1) {
            // One line centred over the view: spread over the barcode's width when asked.
            const BarcodeText measured(caption, font);
            const double k = (width - measured.width()) / (2.0 * static_cast<double>(caption.size()));
            const float kerning = m_settings.kerning_value ? static_cast<float>(2.0 * k) : kTextKerning;
            drawLineAcross(painter, BarcodeText(caption, font, kerning), QStringLiteral("Center"), line, color, style);
        } else {
            // Each part spread over its own segment between the guard bars.
            const qsizetype n = parts.size();
            const double segment = n == 1 ? width - 2.0 * guard - 2.0 * b.firstBar()
                                          : width / static_cast<double>(n) - guard - b.firstBar();
            for (qsizetype j = 0; j < n; ++j) {
                const QString &part = parts.at(j);
                // An empty part has no characters to spread over: it draws nothing.
                if (part.isEmpty())
                    continue;
                const double k = (segment - BarcodeText(part, font).width()) / (2.0 * static_cast<double>(part.size()));
                const double x = kSplitOffsetFactor * k + b.firstBar() + static_cast<double>(j + 1) * guard +
                                 static_cast<double>(j) * segment + m_margins.LR_margin;
                drawLineAt(painter, BarcodeText(part, font, static_cast<float>(kSplitKerningFactor * k)), x, line,
                           color, style);
            }
        }
    }

    const QString right = b.rightCaption();
    if (!right.isEmpty())
        drawLineAt(painter, BarcodeText(right, font),
                   b.lastBar() + b.width() * kRightCaptionShare + m_margins.LR_margin, line + kSideCaptionRise,
                   color, style);
}

void NKDBarcodeOffscreenView::drawHeader(QPainter &painter, const QString &text, double headerBand,
                                         TextStyle style) const
{
    const BarcodeText line(text, m_settings.header_font_val, kTextKerning);
    drawLineAcross(painter, line, m_settings.headerAlignment(),
                   m_layout.height() - headerBand - m_margins.TB_margin, m_settings.barcode_hdr_clr_val, style);
}

void NKDBarcodeOffscreenView::drawFooter(QPainter &painter, const QString &text, TextStyle style) const
{
    const BarcodeText line(text, m_settings.footer_font_val, kTextKerning);
    drawLineAcross(painter, line, m_settings.footerAlignment(), m_margins.TB_margin, m_settings.barcode_ftr_clr_val,
                   style);
}

void NKDBarcodeOffscreenView::draw2D(QPainter &painter, Parts parts, TextStyle style) const
{
    const bool marks = parts != Parts::Texts, texts = parts != Parts::Marks;
    if (marks)
        painter.fillRect(m_ground, Qt::white);
    const double headerBand = m_frame.printsHeader() ? pointsOf(m_frame.headerHeight()) : 0.0;
    if (texts && m_frame.printsHeader())
        drawHeader(painter, m_frame.header(), headerBand, style);
    if (marks && !m_image_2d.isNull()) {
        const QSizeF symbol = imageSizeInPoints(m_image_2d);
        // Below the header band, as the linear layout keeps its bars below it.
        const double top = m_layout.height() - m_margins.TB_margin;
        const double x = (m_frame.width() - symbol.width()) / 2.0;
        const double y = top - headerBand - m_margins.header_margin - symbol.height();
        painter.save();
        painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
        painter.drawImage(flipped(x, y, symbol.width(), symbol.height()), m_image_2d);
        painter.restore();
    }
    if (texts && m_frame.printsFooter())
        drawFooter(painter, m_frame.footer(), style);
}

QByteArray NKDBarcodeOffscreenView::dataWithPDFInsideRect(const QRectF &rect) const
{
    // Pages are whole points: round up rather than cut the picture.
    const QSizeF page(std::ceil(rect.width()), std::ceil(rect.height()));
    return SKTRenderingView::onePagePDF(page, QString(), [&](QPainter &painter) {
        painter.translate(-rect.topLeft());
        drawRect(painter);
        return true;
    });
}
