#pragma once

#include <QMarginsF>
#include <QRectF>
#include <QSizeF>
#include <QString>

// What the print set-up dialog's fields hold as typed: one card's size and the gaps in millimetres,
// the counts as whole numbers.
struct PrintCellFields {
    float width = 0, height = 0;
    float horzGap = 0, vertGap = 0;
    int rows = 1, cols = 1;
};

// Which count fields the fitting changed, so that the dialog shows the counts it will print.
struct PrintFitResult {
    bool rewriteRows = false;
    bool rewriteCols = false;
};

// One cell of a sheet and where its cards go, in points from the paper's top-left corner, y down
// (the painter's coordinates on a full page).
struct PrintCellPlace {
    int number = 0;  // from 1, row by row from the top left
    QRectF cell;     // for both sides, the front's half of the cell
    QRectF front;    // the card in the cell: the back for a back-only sheet
    QRectF back;     // the back beside or below the front; empty unless both sides are printed
};

// One printed sheet: the paper with the printer's margins, the cell size and gaps, rows and columns,
// the number of cards, where the grid sits and which sides fill a cell. Lengths in points, the
// arithmetic in single precision, as the sheet has always been laid out.
struct Print_Sheet_Layout {
    QSizeF paper; // as oriented
    float Left_Mar = 0, Rite_Mar = 0, Top_Mar = 0, Bot_Mar = 0;
    float horz_mar = 0, vert_mar = 0;
    float label_width = 0, label_hight = 0;
    int Print_Row = 1, Print_Col = 1;
    int Total_Label = 1;
    int label_align_val = 1; // 1 top left, 2 top centre … 9 bottom right
    bool auto_center_flag = false;
    bool Show_margin_rect = true;
    QString Print_Card_Side = QStringLiteral("BOTH"); // "F", "B" or "BOTH"
    QString Print_Card_Algn = QStringLiteral("U");    // both sides: "U" front above back, "L" front left of back

    bool bothSides() const { return Print_Card_Side == QLatin1String("BOTH"); }
    bool backOnly() const { return Print_Card_Side == QLatin1String("B"); }

    // The paper as oriented and the part the printer cannot reach at each edge.
    void Set_values_From_Printer(const QSizeF &paperPoints, const QMarginsF &unprintable);
    // Cell size, gaps and counts from the dialog's fields: counts that cannot fit are lowered (never
    // below 1); in auto-centre the gaps are what centres the grid. Unbound, the total becomes
    // rows × columns.
    PrintFitResult Check_Max_Cell_Value(const PrintCellFields &fields, bool bound);

    int cellsPerSheet() const { return Print_Row * Print_Col; }
    // Sheets for `total` cards: whole sheets, the last one partly filled.
    static int sheetCount(int total, int rows, int cols);
    int sheetCount() const { return sheetCount(Total_Label, Print_Row, Print_Col); }
    // 0-based index of the cell (row, col), both from 1, on its sheet.
    int Get_Curr_Label_Index(int row, int col) const { return (row - 1) * Print_Col + col - 1; }
    // The card of a cell on sheet `page` (from 1): a function of where the cell is, not of what was
    // drawn before, so any sheet may be drawn again or alone.
    int recordOfCell(int page, int cellIndex) const { return (page - 1) * cellsPerSheet() + cellIndex; }
    // The cell (row, col) and its cards of `card` size (drawn at their own size, never scaled).
    PrintCellPlace cellPlace(int row, int col, const QSizeF &card) const;
    // One cell with one gap does not fit the paper within its margins: worth asking before a run.
    bool cellExceedsPaper() const;

    // The paper name a table of papers gives a size in millimetres written with two decimals; the
    // last row holding both as substrings wins; "" when none does.
    static QString Find_Papaer_Name_From_Size(const QString &width, const QString &height);
};
