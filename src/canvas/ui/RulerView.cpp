#include "canvas/ui/RulerView.h"

#include "canvas/ui/SWCenteringClipView.h"

#include <QPainter>

#include <array>
#include <cmath>

namespace {

constexpr std::array<double, 7> kSteps{10, 50, 100, 500, 1000, 5000, 10000};
constexpr double kMinMarkGap = 4.0;  // pixels
constexpr int kLabelPadding = 6;     // pixels between a label and the next labelled mark

QFont labelFont(const QWidget *widget)
{
    QFont font = widget->font();
    font.setPixelSize(9);
    return font;
}

} // namespace

RulerView::RulerView(Qt::Orientation orientation, SWCenteringClipView *clipView, QWidget *parent)
    : QWidget(parent), m_orientation(orientation), m_clipView(clipView)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    connect(clipView, &SWCenteringClipView::scrollGeometryChanged, this, qOverload<>(&QWidget::update));
}

QSize RulerView::sizeHint() const
{
    return m_orientation == Qt::Horizontal ? QSize(100, Thickness) : QSize(Thickness, 100);
}

double RulerView::positionForLocation(double location) const
{
    const QPointF origin = m_clipView->documentOriginInView();
    const double start = m_orientation == Qt::Horizontal ? origin.x() : origin.y();
    return start + location * m_clipView->factor();
}

void RulerView::moveRulerline(double from, double to)
{
    if (from != NoRulerline) {
        const qsizetype at = m_rulerlines.indexOf(from);
        if (at >= 0)
            m_rulerlines.removeAt(at);
    }
    if (to != NoRulerline)
        m_rulerlines.append(to);
    update();
}

double RulerView::markStep(double factor)
{
    for (double step : kSteps)
        if (step * factor >= kMinMarkGap)
            return step;
    return kSteps.back();
}

double RulerView::labelStep(double factor, int labelWidth)
{
    const double marks = markStep(factor);
    for (double step : kSteps)
        if (step >= marks && step * factor >= labelWidth + kLabelPadding)
            return step;
    return kSteps.back();
}

void RulerView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const bool horizontal = m_orientation == Qt::Horizontal;
    const QColor face = palette().color(QPalette::Window).lighter(104);
    painter.fillRect(rect(), face);
    painter.setPen(palette().color(QPalette::Mid));
    if (horizontal)
        painter.drawLine(0, height() - 1, width(), height() - 1);
    else
        painter.drawLine(width() - 1, 0, width() - 1, height());

    const double factor = m_clipView->factor();
    const int length = horizontal ? width() : height();
    const QFont font = labelFont(this);
    painter.setFont(font);
    const QFontMetrics metrics(font);
    const double step = markStep(factor);
    const double labelled = labelStep(factor, metrics.horizontalAdvance(QStringLiteral("-0000")));
    const double half = labelled / 2.0;

    // Only the marks that fall inside the ruler are walked, whatever the scroll position.
    const double first = std::floor((0 - positionForLocation(0)) / factor / step) * step;
    const double last = std::ceil((length - positionForLocation(0)) / factor / step) * step;
    const QColor ink = palette().color(QPalette::WindowText);
    for (double location = first; location <= last; location += step) {
        const double pos = std::round(positionForLocation(location)) + 0.5;
        const bool isLabelled = std::fmod(std::abs(location), labelled) == 0.0;
        const bool isHalf = !isLabelled && std::fmod(std::abs(location), half) == 0.0;
        const double tick = isLabelled ? Thickness * 0.6 : isHalf ? Thickness * 0.4 : Thickness * 0.25;
        painter.setPen(ink);
        if (horizontal)
            painter.drawLine(QPointF(pos, Thickness - tick), QPointF(pos, Thickness));
        else
            painter.drawLine(QPointF(Thickness - tick, pos), QPointF(Thickness, pos));
        if (!isLabelled)
            continue;
        const QString text = QString::number(location, 'f', 0);
        if (horizontal) {
            painter.drawText(QPointF(pos + 2, metrics.ascent() + 1), text);
        } else {
            // Turned on its side so that long numbers fit the ruler's thickness.
            painter.save();
            painter.translate(metrics.ascent() + 1, pos + 2 + metrics.horizontalAdvance(text));
            painter.rotate(-90);
            painter.drawText(QPointF(0, 0), text);
            painter.restore();
        }
    }

    painter.setPen(QPen(palette().color(QPalette::Highlight), 1));
    for (double location : m_rulerlines) {
        const double pos = std::round(positionForLocation(location)) + 0.5;
        if (horizontal)
            painter.drawLine(QPointF(pos, 0), QPointF(pos, Thickness));
        else
            painter.drawLine(QPointF(0, pos), QPointF(Thickness, pos));
    }
}
