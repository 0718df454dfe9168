#pragma once

#include "output/SheetPainter.h"

#include <QWidget>

// The print dialog's sketch of one sheet: the paper, scaled to fit, with every cell placed as
// printing will place it, captioned with its side and number and outlined when asked.
class Sample_Preview : public QWidget {
    Q_OBJECT
public:
    explicit Sample_Preview(QWidget *parent = nullptr);

    void showSheet(const Print_Sheet_Layout &layout, const QSizeF &card, bool hasCard);
    // The sketch as it is painted, at `width` pixels across.
    QImage imageRepresentation(int width) const;

    QSize sizeHint() const override { return QSize(340, 470); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    // The paper's place in a widget of `size`, keeping its shape.
    QRectF paperRect(const QSizeF &size) const;
    void paintInto(QPainter &painter, const QSizeF &size) const;

    Print_Sheet_Layout m_layout;
    QSizeF m_card;
    bool m_hasCard = false;
};
