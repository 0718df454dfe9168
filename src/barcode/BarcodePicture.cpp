#include "barcode/BarcodePicture.h"

#include "barcode/NKDBarcodeOffscreenView.h"
#include "canvas/SKTRenderingView.h"
#include "core/ImageHelpers.h"

#include <QPainter>

BarcodePicture::BarcodePicture(std::shared_ptr<const NKDBarcodeOffscreenView> view) : m_view(std::move(view)) {}

QSizeF BarcodePicture::size() const
{
    return m_view ? m_view->bounds().size() : QSizeF();
}

void BarcodePicture::draw(QPainter &painter, const QRectF &target, Parts parts, TextStyle style) const
{
    const QSizeF own = size();
    if (own.isEmpty() || target.isEmpty())
        return;
    painter.save();
    painter.setClipRect(target, Qt::IntersectClip);
    painter.translate(target.topLeft());
    painter.scale(target.width() / own.width(), target.height() / own.height());
    painter.translate(-m_view->bounds().topLeft());
    m_view->drawRect(painter, parts, style);
    painter.restore();
}

QImage BarcodePicture::toImage(double dpi, Parts parts) const
{
    const QSizeF points = size();
    if (points.isEmpty())
        return {};
    QImage image = SKTRenderingView::newTransparentImage(points * (dpi / 72.0), dpi);
    if (image.isNull())
        return image;
    {
        QPainter painter(&image);
        draw(painter, QRectF(QPointF(0, 0), points * (dpi / 72.0)), parts);
    }
    setImageSizeInPoints(image, points);
    return image;
}

QByteArray BarcodePicture::pdfData() const
{
    return m_view ? m_view->dataWithPDFInsideRect(m_view->bounds()) : QByteArray();
}

BarcodePicture imageFromBarcode(std::shared_ptr<const NKDBarcode> barcode, const BarcodeSettings &settings,
                                const QSizeF &room)
{
    if (!barcode)
        return {};
    return BarcodePicture(std::make_shared<const NKDBarcodeOffscreenView>(std::move(barcode), settings, room));
}

BarcodePicture imageFromBarcodeImage(const QImage &symbol, const Barcode_2D_Frame &frame,
                                     const BarcodeSettings &settings, const QSizeF &room)
{
    if (symbol.isNull())
        return {};
    return BarcodePicture(std::make_shared<const NKDBarcodeOffscreenView>(symbol, frame, settings, room));
}
