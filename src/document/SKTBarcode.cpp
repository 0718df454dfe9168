#include "document/SKTBarcode.h"

#include "core/AppState.h"
#include "core/ImageCategories.h"
#include "core/ImageHelpers.h"

#include "document/InkTrace.h"

#include <QPaintEngine>
#include <QPainter>

SKTBarcode::SKTBarcode(const QPointF &position, const QImage &contents)
{
    Set_Barcode_image(contents);
    barcode_image_var_assign();
    centreOn(position, pictureSize(_contents));
}

SKTGraphicPtr SKTBarcode::clone() const
{
    return cloneAs<SKTBarcode>();
}

QString SKTBarcode::samplePicturePath()
{
    const QString folder = App().Resource_Path;
    const QString name = QStringLiteral("barcode_sample.png");
    if (folder.isEmpty() || folder.endsWith(QLatin1Char('/')))
        return folder + name;
    return folder + QLatin1Char('/') + name;
}

QRectF SKTBarcode::drawingBounds() const
{
    const QRectF base = SKTGraphic::drawingBounds();
    const QImage &shown = _barcode_image.isNull() ? _contents : _barcode_image;
    if (shown.isNull())
        return base;
    return base.united(QRectF(bounds().topLeft(), pictureSize(shown)).adjusted(-1, -1, 1, 1));
}

bool SKTBarcode::canMakeNaturalSize() const
{
    const QImage &shown = _barcode_image.isNull() ? _contents : _barcode_image;
    return !shown.isNull() && bounds().size() != pictureSize(shown);
}

void SKTBarcode::makeNaturalSize()
{
    if (ctrl_is_locked)
        return;
    barcode_image_var_assign();
    if (!_contents.isNull())
        setBounds(QRectF(bounds().topLeft(), pictureSize(_contents)));
}

void SKTBarcode::decodeOwnFields(const platform::KeyedDecoder &)
{
    if (!_barcode_image.isNull())
        setImageSizeInPoints(_barcode_image, imageSizeInPoints(_barcode_image));
}

void SKTBarcode::barcode_image_var_assign()
{
    if (!_barcode_image.isNull()) {
        _contents = _barcode_image;
        m_samplePath.clear();
        return;
    }
    const QString sample = standardizedPath(samplePicturePath());
    if (m_samplePath == sample)
        return;
    _contents = loadPicture(sample);
    m_samplePath = sample;
}

void SKTBarcode::loadPicturesForDrawing()
{
    if (_barcode_image.isNull())
        barcode_image_var_assign();
}

void SKTBarcode::copyLoadedPicturesTo(SKTGraphic &copy) const
{
    auto &barcode = static_cast<SKTBarcode &>(copy);
    barcode._contents = _contents;
    barcode.m_samplePath = m_samplePath;
}

void SKTBarcode::prepareVectorDrawing()
{
    loadPicturesForDrawing();
    const QImage &shown = _barcode_image.isNull() ? _contents : _barcode_image;
    if (m_trace && m_trace->sourceKey == shown.cacheKey())
        return;
    InkTrace trace = InkTrace::of(shown);
    m_trace = trace.isNull() ? nullptr : std::make_shared<const InkTrace>(std::move(trace));
}

void SKTBarcode::drawContentsInView(QPainter &painter, bool, const DrawingResources &)
{
    if (!ctrl_is_visible)
        return;
    // Only the sample is loaded here, once: drawing a symbol writes nothing, so that threads may
    // draw the same object side by side.
    loadPicturesForDrawing();
    const QImage &shown = _barcode_image.isNull() ? _contents : _barcode_image;
    if (shown.isNull())
        return;
    // Unscaled: the symbol's modules keep their printed size whatever the frame says.
    const QRectF place(bounds().topLeft(), pictureSize(shown));
    painter.save();
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    const std::shared_ptr<const InkTrace> trace = m_trace;
    if (trace && trace->sourceKey == shown.cacheKey() && painter.paintEngine() &&
        painter.paintEngine()->type() == QPaintEngine::Pdf) {
        painter.translate(place.topLeft());
        painter.scale(place.width() / trace->pixels.width(), place.height() / trace->pixels.height());
        if (trace->groundColour.alpha() > 0)
            painter.fillRect(QRect(QPoint(0, 0), trace->pixels), trace->groundColour);
        painter.setPen(Qt::NoPen);
        painter.setBrush(trace->inkColour);
        painter.drawRects(trace->ink);
    } else {
        painter.drawImage(place, shown);
    }
    painter.restore();
    // No redraw request: asking for one while painting would repaint forever.
}
