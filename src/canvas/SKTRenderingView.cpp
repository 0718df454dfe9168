#include "canvas/SKTRenderingView.h"

#include "canvas/SideDrawing.h"
#include "core/MessageBoxes.h"
#include "document/DesignSnapshot.h"
#include "document/SKTDocument.h"

#include <QBuffer>
#include <QImageWriter>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <cmath>
#include <exception>
#include <memory>
#include <stdexcept>

const QString SKTRenderingView::PDFType = QStringLiteral("application/pdf");
const QString SKTRenderingView::TIFFType = QStringLiteral("image/tiff");

namespace {

constexpr double kPointsPerInch = 72.0;
constexpr double kInchesPerMeter = 1.0 / 0.0254;
// Beyond these a picture is a mistake in its input (a stray huge object), not a card.
constexpr double kMaxImageEdge = 32767.0;
constexpr double kMaxImagePixels = 128.0 * 1024 * 1024;

QPageLayout pageLayoutForSize(const QSizeF &points)
{
    // A size equal to a standard paper in landscape would otherwise be taken for the portrait paper.
    const bool landscape = points.width() > points.height();
    const QSizeF portrait = landscape ? points.transposed() : points;
    const QPageSize size(portrait, QPageSize::Point, QString(), QPageSize::ExactMatch);
    return QPageLayout(size, landscape ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF());
}

void setError(SKTError *error, int code)
{
    if (error)
        *error = SKTErrorWithCode(code);
}

} // namespace

SKTRenderingView::SKTRenderingView(const QRectF &frame, const GraphicList &graphics, const Card_Property &face,
                                   int cardShape, const DrawingResources &resources, const QString &printJobTitle)
    : m_bounds(QPointF(0, 0), frame.size()), _graphics(graphics), m_face(face), m_cardShape(cardShape),
      m_resources(resources), _printJobTitle(printJobTitle)
{
}

SKTRenderingView::SKTRenderingView(const DesignSnapshot &snapshot, int cardSide)
    : SKTRenderingView(snapshot.frame, snapshot.side(cardSide).graphics, snapshot.side(cardSide).face,
                       snapshot.cardShape, snapshot.resources)
{
}

bool SKTRenderingView::drawRect(QPainter &painter, const QRectF &rect, QString *error) const
{
    SideDrawingOptions options;
    options.resources = m_resources;
    return drawCardSide(painter, _graphics, &m_face, m_cardShape, m_bounds, rect, options, error);
}

QByteArray SKTRenderingView::onePagePDF(const QSizeF &page, const QString &title,
                                        const std::function<bool(QPainter &)> &draw)
{
    if (!(page.width() > 0 && page.height() > 0) || !std::isfinite(page.width()) || !std::isfinite(page.height()))
        return {};
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        // One device unit per point: what is drawn keeps its own units and stays vector.
        writer.setResolution(static_cast<int>(kPointsPerInch));
        if (!writer.setPageLayout(pageLayoutForSize(page)))
            return {};
        writer.setTitle(title);
        QPainter painter;
        if (!painter.begin(&writer))
            return {};
        const bool drawn = draw(painter);
        if (!painter.end() || !drawn)
            return {};
    }
    return buffer.data();
}

QByteArray SKTRenderingView::dataWithPDFInsideRect(const QRectF &rect) const
{
    return onePagePDF(rect.size(), _printJobTitle, [&](QPainter &painter) {
        painter.translate(-rect.topLeft());
        return drawRect(painter, rect);
    });
}

QImage SKTRenderingView::newTransparentImage(const QSizeF &pixelSize, double dpi)
{
    const double width = std::ceil(pixelSize.width());
    const double height = std::ceil(pixelSize.height());
    if (!(width >= 1 && height >= 1 && width <= kMaxImageEdge && height <= kMaxImageEdge) ||
        width * height > kMaxImagePixels || !(dpi > 0) || !std::isfinite(dpi))
        return {};
    QImage image(static_cast<int>(width), static_cast<int>(height), QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return {};
    image.fill(Qt::transparent);
    const int dotsPerMeter = static_cast<int>(std::lround(dpi * kInchesPerMeter));
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    return image;
}

QSizeF SKTRenderingView::wholePixels(const QSizeF &pixelSize)
{
    // Single precision errs by about 1e-7 of a size: less than this on any picture that can be made
    // (at most 32767 pixels a side), far more than double arithmetic.
    constexpr double kFloatError = 0.01;
    const auto whole = [](double pixels) {
        const double nearest = std::round(pixels);
        return std::abs(pixels - nearest) <= kFloatError ? nearest : std::floor(pixels);
    };
    return QSizeF(whole(pixelSize.width()), whole(pixelSize.height()));
}

Card_Side_Image SKTRenderingView::image_From_Card_Graphics(const GraphicList &graphics, bool,
                                                           const Card_Property &face, int cardShape,
                                                           const QRectF &frame)
{
    try {
        return Card_Side_Image(std::make_shared<const SKTRenderingView>(frame, graphics, face, cardShape,
                                                                                DrawingResources::ofProgram()));
    } catch (const std::exception &e) {
        Show_NSLog_Message(QString::fromLocal8Bit(e.what()));
        return {};
    }
}

QByteArray SKTRenderingView::pdfDataWithGraphics_data(const GraphicList &graphics, const Card_Property &face,
                                                      int cardShape, const QRectF &frame)
{
    const SKTRenderingView view(frame, graphics, face, cardShape, DrawingResources::ofProgram());
    return view.dataWithPDFInsideRect(view.bounds());
}

QByteArray SKTRenderingView::tiffDataWithGraphics(const GraphicList &graphics, const QRectF &frame,
                                                  SKTError *error)
{
    // The union is taken here rather than through SKTGraphic so that an empty list asks nobody for
    // the front canvas: the caller's frame stands for it.
    const QRectF area = graphics.isEmpty() ? frame : SKTGraphic::drawingBoundsOfGraphics(graphics);
    if (area.isEmpty() || !std::isfinite(area.x()) || !std::isfinite(area.y())) {
        setError(error, 3);
        return {};
    }
    QImage image = newTransparentImage(area.size(), kPointsPerInch);
    if (image.isNull()) {
        Show_NSLog_Message(QStringLiteral("No picture of %1 x %2 points can be made.")
                               .arg(area.width())
                               .arg(area.height()));
        setError(error, 3);
        return {};
    }
    {
        QPainter painter(&image);
        painter.translate(-area.topLeft());
        SideDrawingOptions objectsAlone;
        objectsAlone.cardFace = false;
        objectsAlone.nonPrintingObjects = true;
        objectsAlone.resources = DrawingResources::ofProgram();
        // Half a picture must not pass for the copied objects.
        if (!drawCardSide(painter, graphics, nullptr, 0, area, area, objectsAlone)) {
            setError(error, 3);
            return {};
        }
    }
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "tiff");
    if (!writer.write(image)) {
        Show_NSLog_Message(QStringLiteral("TIFF data could not be written: ") + writer.errorString());
        setError(error, 3);
        return {};
    }
    return buffer.data();
}

QByteArray SKTRenderingView::dataOfType(SKTDocument &document, const QString &typeName, const Card_Property &face,
                                        int cardShape, const QRectF &frame, SKTError *error)
{
    if (SKTDocument::isNativeType(typeName))
        return document.dataOfType(typeName, error);
    const GraphicList &front = document.graphics().items();
    if (typeName == PDFType)
        return pdfDataWithGraphics_data(front, face, cardShape, frame);
    if (typeName == TIFFType)
        return tiffDataWithGraphics(front, frame, error);
    throw std::invalid_argument("Invalid parameter not satisfying: " + typeName.toStdString());
}
