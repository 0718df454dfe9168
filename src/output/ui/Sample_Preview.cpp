#include "output/ui/Sample_Preview.h"

#include <QPainter>

Sample_Preview::Sample_Preview(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("PrintView"));
    setMinimumSize(300, 420);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void Sample_Preview::showSheet(const Print_Sheet_Layout &layout, const QSizeF &card, bool hasCard)
{
    m_layout = layout;
    m_card = card;
    m_hasCard = hasCard;
    update();
}

QRectF Sample_Preview::paperRect(const QSizeF &size) const
{
    const QSizeF paper = m_layout.paper;
    if (paper.isEmpty())
        return {};
    constexpr double kRoom = 12; // for the paper's shadow
    const double scale = std::min((size.width() - 2 * kRoom) / paper.width(), (size.height() - 2 * kRoom) / paper.height());
    if (!(scale > 0))
        return {};
    const QSizeF shown = paper * scale;
    return QRectF(QPointF((size.width() - shown.width()) / 2, (size.height() - shown.height()) / 2), shown);
}

void Sample_Preview::paintInto(QPainter &painter, const QSizeF &size) const
{
    const QRectF paper = paperRect(size);
    if (paper.isEmpty())
        return;
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(paper.translated(3, 3), QColor(0, 0, 0, 50));
    painter.save();
    painter.translate(paper.topLeft());
    painter.scale(paper.width() / m_layout.paper.width(), paper.height() / m_layout.paper.height());
    SheetPainter(m_layout, m_card).paintSketch(painter, m_hasCard);
    painter.restore();
    painter.setPen(QPen(QColor(150, 150, 150), 1));
    painter.drawRect(paper);
}

void Sample_Preview::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    paintInto(painter, size());
}

QImage Sample_Preview::imageRepresentation(int width) const
{
    if (m_layout.paper.isEmpty() || width < 1)
        return {};
    const QSize size(width, int(width * m_layout.paper.height() / m_layout.paper.width()) + 24);
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(palette().color(QPalette::Window));
    QPainter painter(&image);
    paintInto(painter, size);
    return image;
}
