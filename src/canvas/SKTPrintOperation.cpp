#include "canvas/SKTPrintOperation.h"

#include "document/SKTDocument.h"

#include <QPagedPaintDevice>
#include <QPainter>

namespace {

constexpr double kPointsPerInch = 72.0;

} // namespace

SKTPrintOperation::SKTPrintOperation(const SKTRenderingView &view, const platform::PrintInfo &printInfo)
    : m_view(view), m_printInfo(printInfo)
{
}

SKTPrintOperation SKTPrintOperation::printOperationWithSettings(SKTDocument &document, const QVariantMap &settings,
                                                                const Card_Property &face, int cardShape)
{
    const SKTRenderingView view(QRectF(QPointF(0, 0), SKTDocument::canvasSize(true, QSizeF())),
                                document.graphics().items(), face, cardShape, DrawingResources::ofProgram(),
                                document.displayName());
    platform::PrintInfo info = document.printInfo();
    info.dictionary.insert(settings);
    return SKTPrintOperation(view, info);
}

bool SKTPrintOperation::runOperation(QPagedPaintDevice &device) const
{
    if (!device.setPageLayout(m_printInfo.pageLayout))
        return false;
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    // The painter starts at the top left of the margins, in device pixels; the view draws in points.
    painter.scale(device.logicalDpiX() / kPointsPerInch, device.logicalDpiY() / kPointsPerInch);
    m_view.drawRect(painter, m_view.bounds());
    return painter.end();
}
