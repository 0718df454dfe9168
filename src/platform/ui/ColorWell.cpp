#include "platform/ui/ColorWell.h"

#include <QColorDialog>
#include <QPainter>
#include <QStyleOptionButton>

ColorWell::ColorWell(QWidget *parent) : QPushButton(parent)
{
    setCursor(Qt::PointingHandCursor);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    connect(this, &QPushButton::clicked, this, &ColorWell::pickColor);
}

void ColorWell::setColor(const QColor &color)
{
    if (color == m_color)
        return;
    m_color = color;
    update();
}

QSize ColorWell::sizeHint() const
{
    return QSize(44, 24);
}

void ColorWell::pickColor()
{
    const QColor picked = QColorDialog::getColor(m_color, this, toolTip(), QColorDialog::ShowAlphaChannel);
    if (!picked.isValid() || picked == m_color)
        return;
    m_color = picked;
    update();
    emit colorChanged(picked);
}

void ColorWell::paintEvent(QPaintEvent *event)
{
    QPushButton::paintEvent(event);
    QPainter painter(this);
    const QRect swatch = rect().adjusted(6, 5, -6, -5);
    // A checkerboard under the swatch shows a colour's transparency.
    if (m_color.alpha() < 255) {
        const int cell = 4;
        for (int y = swatch.top(); y <= swatch.bottom(); y += cell)
            for (int x = swatch.left(); x <= swatch.right(); x += cell)
                painter.fillRect(QRect(x, y, cell, cell).intersected(swatch),
                                 ((x - swatch.left()) / cell + (y - swatch.top()) / cell) % 2 ? Qt::lightGray : Qt::white);
    }
    painter.fillRect(swatch, m_color);
    painter.setPen(isEnabled() ? QColor(120, 126, 138) : QColor(190, 194, 200));
    painter.drawRect(swatch.adjusted(0, 0, -1, -1));
}
