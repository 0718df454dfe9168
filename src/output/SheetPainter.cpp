#include "output/SheetPainter.h"

#include "canvas/PainterStateGuard.h"

#include <QGuiApplication>
#include <QPainter>

SheetPainter::SheetPainter(const Print_Sheet_Layout &layout, const QSizeF &card) : m_layout(layout), m_card(card) {}

void SheetPainter::Draw_Label_String(QPainter &painter, const QString &text, const QRectF &rect, bool numbered)
{
    PainterStateGuard guard(painter);
    QFont font = QGuiApplication::font();
    font.setBold(true);
    // The painter counts in points: a size in its units is a size in points on any device.
    font.setPixelSize(11);
    painter.setFont(font);
    painter.setPen(numbered ? QColor(Qt::gray) : QColor(Qt::red));
    painter.drawText(rect, Qt::AlignCenter | Qt::TextWordWrap, text);
}

bool SheetPainter::paintSheet(QPainter &painter, const std::function<const SheetCard *(int cell)> &cardOf,
                              QList<int> *failedCells) const
{
    PainterStateGuard guard(painter);
    painter.fillRect(QRectF(QPointF(0, 0), m_layout.paper), Qt::white);
    bool allDrawn = true;
    for (int row = 1; row <= m_layout.Print_Row; ++row) {
        for (int col = 1; col <= m_layout.Print_Col; ++col) {
            const int cell = m_layout.Get_Curr_Label_Index(row, col);
            const SheetCard *card = cardOf(cell);
            if (!card)
                continue;
            const PrintCellPlace place = m_layout.cellPlace(row, col, m_card);
            const Card_Side_Image &first = m_layout.backOnly() ? card->back : card->front;
            bool drawn = !first.isNull() && first.draw(painter, place.front);
            if (drawn && m_layout.bothSides())
                drawn = !card->back.isNull() && card->back.draw(painter, place.back);
            if (drawn)
                continue;
            // Half a card must not pass for the card.
            const QRectF spoilt = place.front.united(place.back);
            painter.fillRect(spoilt, Qt::white);
            Draw_Label_String(painter, kInvalidData, spoilt, false);
            allDrawn = false;
            if (failedCells)
                failedCells->append(cell);
        }
    }
    return allDrawn;
}

void SheetPainter::paintSketch(QPainter &painter, bool hasCard) const
{
    PainterStateGuard guard(painter);
    painter.fillRect(QRectF(QPointF(0, 0), m_layout.paper), Qt::white);
    const auto outline = [&](const QRectF &rect) {
        if (!m_layout.Show_margin_rect)
            return;
        PainterStateGuard keep(painter);
        painter.setPen(QPen(Qt::darkGray, 0));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect);
    };
    for (int row = 1; row <= m_layout.Print_Row; ++row) {
        for (int col = 1; col <= m_layout.Print_Col; ++col) {
            const PrintCellPlace place = m_layout.cellPlace(row, col, m_card);
            if (!hasCard) {
                Draw_Label_String(painter, kInvalidData, place.cell, false);
                outline(place.cell);
                continue;
            }
            const QString first = m_layout.backOnly() ? QStringLiteral("Back") : QStringLiteral("Frame");
            Draw_Label_String(painter, QStringLiteral("%1 %2").arg(first).arg(place.number), place.cell, true);
            outline(place.cell);
            if (m_layout.bothSides()) {
                Draw_Label_String(painter, QStringLiteral("Back %1").arg(place.number), place.back, true);
                outline(place.back);
            }
        }
    }
}
