#pragma once

#include "canvas/Card_Side_Image.h"
#include "output/PrintSheetLayout.h"

#include <QSizeF>

#include <functional>

class QPainter;

// What one cell of a sheet shows: its card's sides as drawn for its record. A cell with neither
// side, or whose drawing failed, says "Invalid Data".
struct SheetCard {
    Card_Side_Image front, back;
};

// Draws one sheet of cells into any painter whose units are points from the paper's top-left
// corner: a printer's or PDF file's page, a preview's picture, the set-up dialog's sketch. Printing,
// the preview and the sketch all place cells through it, so they agree to the point.
class SheetPainter {
public:
    // `card` is the size cards are drawn at, never scaled: the design's card.
    SheetPainter(const Print_Sheet_Layout &layout, const QSizeF &card);

    // The cards of a sheet: `cardOf(cellIndex)` gives the card of a cell (0-based, row by row), or
    // nullptr for a cell left blank. White paper, then each card at its own size. False when a
    // card failed to draw; its cell then says "Invalid Data" and `failedCells` names it.
    bool paintSheet(QPainter &painter, const std::function<const SheetCard *(int cell)> &cardOf,
                    QList<int> *failedCells = nullptr) const;
    // The sketch of a sheet: every cell captioned with its side and number ("Frame 3", "Back 3"),
    // outlined when the layout says so; "Invalid Data" in every cell when there is no card to print.
    void paintSketch(QPainter &painter, bool hasCard) const;

    // A caption centred in `rect`: the numbered ones grey, any other text red.
    static void Draw_Label_String(QPainter &painter, const QString &text, const QRectF &rect, bool numbered);

    static inline const QString kInvalidData = QStringLiteral("Invalid Data");

private:
    Print_Sheet_Layout m_layout;
    QSizeF m_card;
};
