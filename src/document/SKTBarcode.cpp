#include "document/SKTBarcode.h"

#include "core/AppState.h"
#include "core/ImageCategories.h"
#include "core/ImageHelpers.h"

#include "document/InkTrace.h"
#include "document/SymbolDrawing.h"

#include <QPaintEngine>
#include <QPainter>

struct SKTBarcode::PrintedSymbol {
    InkTrace marks;
    std::shared_ptr<const SymbolDrawing> texts; // null: the trace holds them
};

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
    // The copy's picture holds the same pixels, under a key of its own.
    if (m_drawing && m_drawingKey == _barcode_image.cacheKey()) {
        barcode.m_drawing = m_drawing;
        barcode.m_drawingKey = barcode._barcode_image.cacheKey();
        barcode.m_textsApart = m_textsApart;
    }
}

void SKTBarcode::setSymbolDrawing(std::shared_ptr<const SymbolDrawing> drawing, bool textsApart)
{
    m_drawing = std::move(drawing);
    m_drawingKey = _barcode_image.cacheKey();
    m_textsApart = textsApart && m_drawing;
}

std::shared_ptr<const SymbolDrawing> SKTBarcode::drawingOf(const QImage &shown) const
{
    const bool ofShown = m_drawing && !_barcode_image.isNull() && m_drawingKey == shown.cacheKey();
    return ofShown ? m_drawing : nullptr;
}

void SKTBarcode::prepareVectorDrawing()
{
    loadPicturesForDrawing();
    const QImage &shown = _barcode_image.isNull() ? _contents : _barcode_image;
    if (m_printed && m_printed->marks.sourceKey == shown.cacheKey())
        return;
    PrintedSymbol printed;
    const std::shared_ptr<const SymbolDrawing> drawing = drawingOf(shown);
    const bool apart = drawing && m_textsApart;
    if (drawing) {
        // Pixels that hold the texts as well are traced without them, from the drawing.
        printed.marks = InkTrace::of(apart ? shown : drawing->marks());
        if (!printed.marks.isNull() && printed.marks.pixels == shown.size())
            printed.texts = drawing;
        else
            printed.marks = InkTrace();
    }
    // Texts apart that cannot be traced with the marks are drawn with the picture.
    if (!printed.texts && !apart)
        printed.marks = InkTrace::of(shown);
    printed.marks.sourceKey = shown.cacheKey();
    m_printed = printed.marks.isNull() ? nullptr : std::make_shared<const PrintedSymbol>(std::move(printed));
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
    const bool pdf = painter.paintEngine() && painter.paintEngine()->type() == QPaintEngine::Pdf;
    const std::shared_ptr<const PrintedSymbol> printed = m_printed;
    if (pdf && printed && printed->marks.sourceKey == shown.cacheKey()) {
        const InkTrace &trace = printed->marks;
        painter.save();
        painter.translate(place.topLeft());
        painter.scale(place.width() / trace.pixels.width(), place.height() / trace.pixels.height());
        if (trace.groundColour.alpha() > 0)
            painter.fillRect(trace.groundArea, trace.groundColour);
        painter.setPen(Qt::NoPen);
        painter.setBrush(trace.inkColour);
        painter.drawRects(trace.ink);
        painter.restore();
        if (printed->texts)
            printed->texts->drawTexts(painter, place, SymbolDrawing::TextForm::Text);
    } else {
        painter.drawImage(place, shown);
        const std::shared_ptr<const SymbolDrawing> drawing = m_textsApart ? drawingOf(shown) : nullptr;
        if (drawing)
            drawing->drawTexts(painter, place, pdf ? SymbolDrawing::TextForm::Text : SymbolDrawing::TextForm::Outlines);
    }
    painter.restore();
    // No redraw request: asking for one while painting would repaint forever.
}
