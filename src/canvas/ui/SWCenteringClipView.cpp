#include "canvas/ui/SWCenteringClipView.h"

#include "core/AppState.h"

#include <QPainter>
#include <QPainterPath>
#include <QCoreApplication>
#include <QMouseEvent>
#include <QResizeEvent>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace {

// Cocoa shadows live in device space: offset and blur are pixels at every zoom.
constexpr QPoint kShadowOffset{3, 3};
// Three box passes of this radius give a Gaussian of sigma ~7.5, the blur of a radius-15 shadow.
constexpr int kBoxRadius = 7;
constexpr int kBoxPasses = 3;
constexpr int kShadowReach = kBoxRadius * kBoxPasses;

// Halves away from zero, as the platform rounds scroll points.
double roundHalfAway(double v)
{
    return std::round(v);
}

// One box pass along rows (step 1) or columns (step = width); outside the buffer counts as clear.
void boxPass(std::vector<std::uint8_t> &alpha, int count, int length, int stride, int step)
{
    std::vector<std::uint8_t> line(static_cast<size_t>(length));
    const int window = 2 * kBoxRadius + 1;
    for (int c = 0; c < count; ++c) {
        std::uint8_t *base = alpha.data() + static_cast<ptrdiff_t>(c) * stride;
        int sum = 0;
        for (int i = 0; i <= kBoxRadius && i < length; ++i)
            sum += base[static_cast<ptrdiff_t>(i) * step];
        for (int i = 0; i < length; ++i) {
            line[static_cast<size_t>(i)] = static_cast<std::uint8_t>((sum + window / 2) / window);
            const int enter = i + kBoxRadius + 1;
            const int leave = i - kBoxRadius;
            if (enter < length)
                sum += base[static_cast<ptrdiff_t>(enter) * step];
            if (leave >= 0)
                sum -= base[static_cast<ptrdiff_t>(leave) * step];
        }
        for (int i = 0; i < length; ++i)
            base[static_cast<ptrdiff_t>(i) * step] = line[static_cast<size_t>(i)];
    }
}

} // namespace

double SWCenteringClipView::farthestOrigin(double overhang)
{
    // Origins are whole points: rounding a fractional overhang down would leave the far edge of the
    // card out of reach, by more pixels the higher the zoom.
    return overhang > 0.0 ? std::ceil(overhang - 1e-9) : 0.0;
}

namespace {

QImage blurredShadow(const QPainterPath &shape, const QRect &area)
{
    QImage mask(area.size(), QImage::Format_Alpha8);
    mask.fill(0);
    {
        QPainter p(&mask);
        p.setRenderHint(QPainter::Antialiasing);
        p.translate(-area.topLeft() + kShadowOffset);
        p.fillPath(shape, Qt::black);
    }
    const int w = area.width();
    const int h = area.height();
    std::vector<std::uint8_t> alpha(static_cast<size_t>(w) * static_cast<size_t>(h));
    for (int y = 0; y < h; ++y)
        std::copy_n(mask.constScanLine(y), w, alpha.begin() + static_cast<ptrdiff_t>(y) * w);
    for (int pass = 0; pass < kBoxPasses; ++pass) {
        boxPass(alpha, h, w, w, 1);
        boxPass(alpha, w, h, 1, w);
    }
    QImage shadow(area.size(), QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < h; ++y) {
        auto *row = reinterpret_cast<QRgb *>(shadow.scanLine(y));
        for (int x = 0; x < w; ++x)
            row[x] = qRgba(0, 0, 0, alpha[static_cast<size_t>(y) * w + x]);
    }
    return shadow;
}

} // namespace

SWCenteringClipView::SWCenteringClipView(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAutoFillBackground(false);
}

SWCenteringClipView::~SWCenteringClipView() = default;

void SWCenteringClipView::setDocumentView(QWidget *view)
{
    if (view == m_documentView)
        return;
    if (m_documentView) {
        m_documentDestroyed.cancel();
        m_documentView->removeEventFilter(this);
        m_documentView->hide();
    }
    m_documentView = view;
    if (view) {
        m_documentSize = view->size();
        view->setParent(this);
        view->installEventFilter(this);
        m_documentDestroyed = platform::Subscription::connection(connect(view, &QObject::destroyed, this, [this] {
            update();
            emit scrollGeometryChanged();
            centerDocument();
        }));
        placeDocumentView();
        view->show();
    }
    update();
    emit scrollGeometryChanged();
    centerDocument();
}

void SWCenteringClipView::setDocumentSize(const QSizeF &points)
{
    if (points == m_documentSize)
        return;
    m_documentSize = points;
    relayout();
}

QRectF SWCenteringClipView::documentFrame() const
{
    return m_documentView ? QRectF(QPointF(0, 0), m_documentSize) : QRectF();
}

QRectF SWCenteringClipView::bounds() const
{
    return {m_boundsOrigin, QSizeF(width() / m_factor, height() / m_factor)};
}

void SWCenteringClipView::setFactor(double factor)
{
    if (!(factor > 0.0) || !std::isfinite(factor) || factor == m_factor)
        return;
    // The point at the centre of the view stays there, as the eye expects of a zoom.
    const QPointF centre = bounds().center();
    m_factor = factor;
    const QSizeF size = bounds().size();
    m_boundsOrigin = constrainScrollPoint(centre - QPointF(size.width() / 2, size.height() / 2));
    relayout();
}

void SWCenteringClipView::setBoundsOrigin(const QPointF &origin)
{
    // Centring scrolls, and scrolling centres again: an unchanged origin ends that loop.
    if (origin == m_boundsOrigin)
        return;
    m_boundsOrigin = origin;
    relayout();
}

void SWCenteringClipView::scrollToPoint(const QPointF &point)
{
    setBoundsOrigin(constrainScrollPoint(point));
}

void SWCenteringClipView::centerDocument()
{
    scrollToPoint(centeredOrigin(documentFrame(), bounds()));
}

QPointF SWCenteringClipView::constrainScrollPoint(const QPointF &point) const
{
    return constrainScrollPoint(point, documentFrame(), bounds());
}

QPointF SWCenteringClipView::centeredOrigin(const QRectF &documentFrame, const QRectF &bounds)
{
    QPointF origin = bounds.topLeft();
    if (bounds.width() > documentFrame.width())
        origin.setX(roundHalfAway((documentFrame.width() - bounds.width()) / 2.0));
    if (bounds.height() > documentFrame.height())
        origin.setY(roundHalfAway((documentFrame.height() - bounds.height()) / 2.0));
    return origin;
}

QPointF SWCenteringClipView::constrainScrollPoint(const QPointF &point, const QRectF &documentFrame,
                                                  const QRectF &bounds)
{
    const auto axis = [](double p, double documentExtent, double boundsExtent) {
        const double max = documentExtent - boundsExtent;
        if (boundsExtent <= documentExtent)
            return std::clamp(roundHalfAway(p), 0.0, farthestOrigin(max));
        return roundHalfAway(max / 2.0);
    };
    return {axis(point.x(), documentFrame.width(), bounds.width()),
            axis(point.y(), documentFrame.height(), bounds.height())};
}

QPointF SWCenteringClipView::documentOriginInView() const
{
    return -m_boundsOrigin * m_factor;
}

QRect SWCenteringClipView::documentRectInView() const
{
    const QPointF origin = documentOriginInView();
    // Rounded up, less a hair so that 243 x 1.1 does not gain a blank column: as the canvas sizes itself.
    const auto pixels = [this](double points) { return static_cast<int>(std::ceil(points * m_factor - 1e-6)); };
    const QSizeF size = documentFrame().size();
    return {qRound(origin.x()), qRound(origin.y()), pixels(size.width()), pixels(size.height())};
}

bool SWCenteringClipView::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_documentView && event->type() == QEvent::Resize) {
        const QSize size = static_cast<QResizeEvent *>(event)->size();
        if (size != documentRectInView().size())
            setDocumentSize(QSizeF(size) / m_factor);
    }
    return QWidget::eventFilter(watched, event);
}

void SWCenteringClipView::placeDocumentView()
{
    if (m_documentView)
        m_documentView->setGeometry(documentRectInView());
}

void SWCenteringClipView::forwardToDocument(QMouseEvent *event)
{
    if (!m_documentView || !m_documentView->isVisible()) {
        event->ignore();
        return;
    }
    QMouseEvent mapped(event->type(), event->position() - QPointF(m_documentView->pos()), event->scenePosition(),
                       event->globalPosition(), event->button(), event->buttons(), event->modifiers(),
                       event->pointingDevice());
    QCoreApplication::sendEvent(m_documentView, &mapped);
    event->setAccepted(mapped.isAccepted());
}

void SWCenteringClipView::mousePressEvent(QMouseEvent *event)
{
    forwardToDocument(event);
}

void SWCenteringClipView::mouseMoveEvent(QMouseEvent *event)
{
    forwardToDocument(event);
}

void SWCenteringClipView::mouseReleaseEvent(QMouseEvent *event)
{
    forwardToDocument(event);
}

void SWCenteringClipView::mouseDoubleClickEvent(QMouseEvent *event)
{
    forwardToDocument(event);
}

void SWCenteringClipView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    emit scrollGeometryChanged();
    centerDocument();
}

void SWCenteringClipView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (!backgroundGradient) {
        QLinearGradient gradient(0, 0, 0, 1);
        gradient.setCoordinateMode(QGradient::ObjectMode);
        gradient.setColorAt(0, QColor::fromRgbF(0.88f, 0.88f, 0.88f));
        gradient.setColorAt(1, QColor::fromRgbF(0.78f, 0.78f, 0.78f));
        backgroundGradient = gradient;
    }
    painter.fillRect(rect(), *backgroundGradient);

    const QRect card = m_documentView ? m_documentView->geometry() : QRect();
    if (card.isEmpty())
        return;
    QPainterPath shape;
    switch (App().Card_Shape) {
    case 1: shape.addRoundedRect(card, 10 * m_factor, 10 * m_factor); break;
    case 2: shape.addEllipse(card); break;
    default: shape.addRect(card); break;
    }
    drawShadow(painter, shape);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(shape, Qt::white);
}

void SWCenteringClipView::drawShadow(QPainter &painter, const QPainterPath &card)
{
    const QRect cardRect = card.boundingRect().toAlignedRect();
    const QRect reach(-kShadowReach, -kShadowReach, width() + 2 * kShadowReach, height() + 2 * kShadowReach);
    const QRect area = cardRect.translated(kShadowOffset)
                           .adjusted(-kShadowReach, -kShadowReach, kShadowReach, kShadowReach)
                           .intersected(reach);
    if (area.isEmpty())
        return;
    const int shape = App().Card_Shape;
    ShadowCache &cache = m_shadowCache;
    if (cache.image.isNull() || cache.cardRect != cardRect || cache.area != area || cache.shape != shape
        || cache.factor != m_factor) {
        cache = {cardRect, area, shape, m_factor, blurredShadow(card, area)};
    }
    painter.drawImage(area.topLeft(), cache.image);
}

void SWCenteringClipView::relayout()
{
    placeDocumentView();
    update();
    emit scrollGeometryChanged();
    centerDocument();
}
