#include "canvas/ui/SKTZoomingScrollView.h"

#include "canvas/ui/RulerView.h"
#include "canvas/ui/SWCenteringClipView.h"
#include "platform/ScopedFlag.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScrollBar>

#include <algorithm>
#include <cmath>

// The first factor is the single-precision 0.1 widened, and the pop-up matches by equality.
const std::array<double, 11> SKTZoomingScrollView::SKTZoomingScrollViewFactors{
    static_cast<double>(0.1f), 0.25, 0.5, 0.75, 1.0, 1.25, 1.5, 2.0, 4.0, 8.0, 16.0};

const std::array<const char *, 11> SKTZoomingScrollView::SKTZoomingScrollViewLabels{
    QT_TRANSLATE_NOOP("SKTZoomingScrollView", "10%"),  QT_TRANSLATE_NOOP("SKTZoomingScrollView", "25%"),
    QT_TRANSLATE_NOOP("SKTZoomingScrollView", "50%"),  QT_TRANSLATE_NOOP("SKTZoomingScrollView", "75%"),
    QT_TRANSLATE_NOOP("SKTZoomingScrollView", "100%"), QT_TRANSLATE_NOOP("SKTZoomingScrollView", "125%"),
    QT_TRANSLATE_NOOP("SKTZoomingScrollView", "150%"), QT_TRANSLATE_NOOP("SKTZoomingScrollView", "200%"),
    QT_TRANSLATE_NOOP("SKTZoomingScrollView", "400%"), QT_TRANSLATE_NOOP("SKTZoomingScrollView", "800%"),
    QT_TRANSLATE_NOOP("SKTZoomingScrollView", "1600%")};

namespace {

// A flat, square pop-up that fits in the height of a scroll bar, where a styled combo box is too tall.
class ZoomPopUp : public QComboBox {
public:
    using QComboBox::QComboBox;

    QSize sizeHint() const override
    {
        const QFontMetrics metrics(font());
        int widest = 0;
        for (int i = 0; i < count(); ++i)
            widest = std::max(widest, metrics.horizontalAdvance(itemText(i)));
        return {kPadding + widest + kPadding + kArrowWidth + kPadding, metrics.height() + 2};
    }
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        const QRect r = rect();
        QLinearGradient face(0, 0, 0, r.height());
        face.setColorAt(0, palette().color(QPalette::Button).lighter(108));
        face.setColorAt(1, palette().color(QPalette::Button));
        painter.fillRect(r, face);
        painter.setPen(palette().color(QPalette::Mid));
        painter.drawLine(r.topLeft(), r.topRight());
        painter.drawLine(r.topRight(), r.bottomRight());

        painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
        const QRect textRect = r.adjusted(kPadding, 0, -(kPadding + kArrowWidth + kPadding), 0);
        painter.drawText(textRect, Qt::AlignVCenter | Qt::AlignLeft, currentText());

        const double cx = r.right() - kPadding - kArrowWidth / 2.0;
        const double cy = r.center().y() + 1.0;
        QPainterPath arrow;
        arrow.moveTo(cx - kArrowWidth / 2.0, cy - 2.0);
        arrow.lineTo(cx + kArrowWidth / 2.0, cy - 2.0);
        arrow.lineTo(cx, cy + 2.0);
        arrow.closeSubpath();
        painter.setRenderHint(QPainter::Antialiasing);
        painter.fillPath(arrow, painter.pen().color());
    }

private:
    static constexpr int kPadding = 5;
    static constexpr int kArrowWidth = 7;
};

} // namespace

SKTZoomingScrollView::SKTZoomingScrollView(QWidget *parent)
    : QAbstractScrollArea(parent), m_clipView(new SWCenteringClipView)
{
    setViewport(m_clipView);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    m_horizontalRuler = new RulerView(Qt::Horizontal, m_clipView, this);
    m_verticalRuler = new RulerView(Qt::Vertical, m_clipView, this);
    m_rulerCorner = new QWidget(this);
    m_rulerCorner->setAutoFillBackground(true);
    QPalette cornerPalette = m_rulerCorner->palette();
    cornerPalette.setColor(QPalette::Window, cornerPalette.color(QPalette::Window).lighter(104));
    m_rulerCorner->setPalette(cornerPalette);
    for (QWidget *w : {static_cast<QWidget *>(m_horizontalRuler), static_cast<QWidget *>(m_verticalRuler), m_rulerCorner})
        w->hide();

    connect(m_clipView, &SWCenteringClipView::scrollGeometryChanged, this, &SKTZoomingScrollView::syncScrollBars);
    tile();
    syncScrollBars();
}

SKTZoomingScrollView::~SKTZoomingScrollView() = default;

SKTZoomingScrollView *SKTZoomingScrollView::enclosingScrollView(const QWidget *view)
{
    for (QWidget *w = view ? view->parentWidget() : nullptr; w; w = w->parentWidget())
        if (auto *scrollView = qobject_cast<SKTZoomingScrollView *>(w))
            return scrollView;
    return nullptr;
}

void SKTZoomingScrollView::setDocumentView(QWidget *view)
{
    m_clipView->setDocumentView(view);
}

QWidget *SKTZoomingScrollView::documentView() const
{
    return m_clipView->documentView();
}

void SKTZoomingScrollView::setDocumentSize(const QSizeF &points)
{
    m_clipView->setDocumentSize(points);
}

QSizeF SKTZoomingScrollView::documentSize() const
{
    return m_clipView->documentSize();
}

void SKTZoomingScrollView::setFactor(double factor)
{
    if (!(factor > 0.0) || !std::isfinite(factor) || factor == _factor)
        return;
    _factor = factor;
    selectFactorItem();
    m_clipView->setFactor(factor);
    emit factorChanged(factor);
    emit zoomFactorChanged(factor);
}

void SKTZoomingScrollView::echoOnRulers(const QRectF &bounds)
{
    const auto lines = [](const QRectF &r, Qt::Orientation o) -> std::array<double, 3> {
        if (r.isNull())
            return {RulerView::NoRulerline, RulerView::NoRulerline, RulerView::NoRulerline};
        if (o == Qt::Horizontal)
            return {r.left(), r.left() + 0.5 * r.width(), r.left() + r.width()};
        return {r.top(), r.top() + 0.5 * r.height(), r.top() + r.height()};
    };
    for (RulerView *ruler : {m_horizontalRuler, m_verticalRuler}) {
        const auto from = lines(m_echoedBounds, ruler->orientation());
        const auto to = lines(bounds, ruler->orientation());
        for (size_t i = 0; i < 3; ++i)
            ruler->moveRulerline(from[i], to[i]);
    }
    m_echoedBounds = bounds;
}

void SKTZoomingScrollView::validateFactorPopUpButton()
{
    if (_factorPopUpButton)
        return;
    auto *popUp = new ZoomPopUp;
    popUp->setObjectName(QStringLiteral("_factorPopUpButton"));
    popUp->setFocusPolicy(Qt::NoFocus);
    QFont small = popUp->font();
    small.setPixelSize(10);
    popUp->setFont(small);
    for (size_t i = 0; i < SKTZoomingScrollViewFactors.size(); ++i)
        popUp->addItem(QCoreApplication::translate("SKTZoomingScrollView", SKTZoomingScrollViewLabels[i]),
                       SKTZoomingScrollViewFactors[i]);
    _factorPopUpButton = popUp;
    selectFactorItem();
    connect(popUp, &QComboBox::activated, this,
            [this](int index) { setFactor(_factorPopUpButton->itemData(index).toDouble()); });
    addScrollBarWidget(popUp, Qt::AlignLeft);
}

void SKTZoomingScrollView::selectFactorItem()
{
    if (!_factorPopUpButton)
        return;
    const auto &factors = SKTZoomingScrollViewFactors;
    const auto found = std::find(factors.begin(), factors.end(), _factor);
    _factorPopUpButton->setCurrentIndex(found == factors.end() ? -1 : static_cast<int>(found - factors.begin()));
}

void SKTZoomingScrollView::tile()
{
    if (horizontalScrollBarPolicy() == Qt::ScrollBarAlwaysOff)
        qFatal("SKTZoomingScrollView doesn't support use without a horizontal scroll bar.");
    validateFactorPopUpButton();
    _factorPopUpButton->setFixedSize(_factorPopUpButton->sizeHint().width(),
                                     horizontalScrollBar()->sizeHint().height());

    const int t = m_rulersVisible ? RulerView::Thickness : 0;
    if (viewportMargins() != QMargins(t, t, 0, 0))
        setViewportMargins(t, t, 0, 0);

    for (QWidget *w : {static_cast<QWidget *>(m_horizontalRuler), static_cast<QWidget *>(m_verticalRuler), m_rulerCorner})
        w->setVisible(m_rulersVisible);
    if (!m_rulersVisible)
        return;
    const QRect vp = viewport()->geometry();
    m_horizontalRuler->setGeometry(vp.left(), vp.top() - t, vp.width(), t);
    m_verticalRuler->setGeometry(vp.left() - t, vp.top(), t, vp.height());
    m_rulerCorner->setGeometry(vp.left() - t, vp.top() - t, t, t);
}

void SKTZoomingScrollView::setRulersVisible(bool visible)
{
    if (visible == m_rulersVisible)
        return;
    m_rulersVisible = visible;
    tile();
    emit rulersVisibleChanged(visible);
}

bool SKTZoomingScrollView::viewportEvent(QEvent *event)
{
    switch (event->type()) {
    case QEvent::Paint:
        // The clip view paints and centres itself.
        return false;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
        // The clip view hands presses on its backdrop to the canvas.
        return false;
    case QEvent::Resize:
    case QEvent::Move:
        if (m_rulersVisible)
            tile();
        return false;
    default:
        return QAbstractScrollArea::viewportEvent(event);
    }
}

void SKTZoomingScrollView::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    tile();
}

void SKTZoomingScrollView::scrollContentsBy(int, int)
{
    if (m_syncingScrollBars)
        return;
    const double f = m_clipView->factor();
    m_clipView->scrollToPoint(QPointF(horizontalScrollBar()->value() / f, verticalScrollBar()->value() / f));
}

void SKTZoomingScrollView::syncScrollBars()
{
    const QRectF document = m_clipView->documentFrame();
    const QRectF bounds = m_clipView->bounds();
    const double f = m_clipView->factor();
    // Values are pixels, and scrolling rounds to whole points: a step must move at least one.
    const int step = std::max(20, static_cast<int>(std::ceil(f)));
    const auto sync = [&](QScrollBar *bar, double documentExtent, double boundsExtent, double origin, int page) {
        bar->setRange(0, qRound(SWCenteringClipView::farthestOrigin(documentExtent - boundsExtent) * f));
        bar->setPageStep(page);
        bar->setSingleStep(step);
        bar->setValue(qRound(std::max(0.0, origin) * f));
    };
    const platform::ScopedFlag syncing(m_syncingScrollBars);
    sync(horizontalScrollBar(), document.width(), bounds.width(), bounds.x(), viewport()->width());
    sync(verticalScrollBar(), document.height(), bounds.height(), bounds.y(), viewport()->height());
}
