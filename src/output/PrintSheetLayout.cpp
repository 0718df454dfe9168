#include "output/PrintSheetLayout.h"

#include "core/UnitConversion.h"

#include <array>
#include <climits>
#include <cmath>

namespace {

// A whole count from a quotient: one that is not a finite number counts as below 1.
int wholeCount(float quotient)
{
    if (!std::isfinite(quotient) || quotient < 1.0f)
        return 0;
    return quotient >= float(INT_MAX / 2) ? INT_MAX / 2 : int(quotient);
}

// The count of cells along one edge of the paper, fitted to the area between its margins.
struct EdgeFit {
    float area;   // paper less both margins
    float margins;
    float cell;
    float gap;    // in auto-centre the computed gap comes back here
    int count;
    bool rewrite = false;
};

void fitAuto(EdgeFit &edge)
{
    const float spare = (edge.area - float(edge.count) * edge.cell) / float(edge.count + 1);
    if (spare > 0.0f) {
        edge.gap = spare;
        return;
    }
    int n = wholeCount(edge.area / edge.cell);
    if (n < 1) {
        n = 1;
        edge.count = 1;
    }
    if (edge.count > n)
        edge.count = n;
    edge.rewrite = true;
    edge.gap = 0.0f;
}

void fitTyped(EdgeFit &edge, float paper)
{
    const int typed = edge.count;
    const float spare =
        (edge.area - float(edge.count) * edge.cell - float(edge.count - 1) * edge.gap) / float(edge.count + 1);
    if (spare > 0.0f)
        return;
    int n = wholeCount(std::floor((paper + edge.gap - edge.margins) / (edge.cell + edge.gap)));
    if (n < 1) {
        n = 1;
        edge.count = 1;
    }
    if (edge.count > n)
        edge.count = n;
    edge.rewrite = edge.count < typed;
}

struct PaperRow {
    const char *pattern;
    const char *name;
};

constexpr std::array kPapers{
    PaperRow{"297.00 x 420.00", "A3"},
    PaperRow{"210.00 x 297.00", "A4"},
    PaperRow{"148.00 x 210.00", "A5"},
    PaperRow{"176.00 x 250.00", "B5"},
    PaperRow{"105.00 x 241.00", "Envelope #10"},
    PaperRow{"120.00 x 235.00", "Envelope Choukei 3"},
    PaperRow{"110.00 x 220.00", "Envelope DL"},
    PaperRow{"182.00 x 257.00", "JIS B5"},
    PaperRow{"197.00 x 273.00", "ROC 16K"},
    PaperRow{"330.00 x 483.00", "Super B/A3"},
    PaperRow{"279.00 x 432.00", "Tabloid"},
    PaperRow{"305.00 x 457.00", "Tabloid Oversize"},
    PaperRow{"216.00 x 356.00", "US Legal"},
    PaperRow{"216.00 x 279.00", "US Letter"},
    PaperRow{"215.90 x 279.40", "Letter"},
    PaperRow{"100.00 x 148.00", "Postcard"},
    PaperRow{"184.00 x 267.00", "Executive"},
};

} // namespace

void Print_Sheet_Layout::Set_values_From_Printer(const QSizeF &paperPoints, const QMarginsF &unprintable)
{
    paper = paperPoints;
    Left_Mar = float(unprintable.left());
    Rite_Mar = float(unprintable.right());
    Top_Mar = float(unprintable.top());
    Bot_Mar = float(unprintable.bottom());
}

PrintFitResult Print_Sheet_Layout::Check_Max_Cell_Value(const PrintCellFields &fields, bool bound)
{
    label_width = MM_to_Points_Convert(fields.width);
    label_hight = MM_to_Points_Convert(fields.height);
    if (bothSides()) {
        if (Print_Card_Algn == QLatin1String("U"))
            label_hight = 2 * label_hight;
        else
            label_width = 2 * label_width;
    }
    horz_mar = MM_to_Points_Convert(fields.horzGap);
    vert_mar = MM_to_Points_Convert(fields.vertGap);
    const float paperW = float(paper.width());
    const float paperH = float(paper.height());
    EdgeFit across{paperW - Left_Mar - Rite_Mar, Left_Mar + Rite_Mar, label_width, horz_mar, fields.cols};
    EdgeFit down{paperH - Top_Mar - Bot_Mar, Top_Mar + Bot_Mar, label_hight, vert_mar, fields.rows};
    if (auto_center_flag) {
        fitAuto(across);
        fitAuto(down);
    } else {
        fitTyped(across, paperW);
        fitTyped(down, paperH);
    }
    horz_mar = across.gap;
    vert_mar = down.gap;
    Print_Col = across.count;
    Print_Row = down.count;
    if (!bound)
        Total_Label = Print_Row * Print_Col;
    return {down.rewrite, across.rewrite};
}

int Print_Sheet_Layout::sheetCount(int total, int rows, int cols)
{
    const qint64 perSheet = qint64(std::max(1, rows)) * std::max(1, cols);
    if (total <= 0)
        return 0;
    return int((total + perSheet - 1) / perSheet);
}

PrintCellPlace Print_Sheet_Layout::cellPlace(int row, int col, const QSizeF &card) const
{
    // Worked out with the origin at the paper's bottom-left corner and y upwards, as the sheet has
    // always been described, and turned to the painter's top-down coordinates once, at the end.
    const float paperW = float(paper.width());
    const float paperH = float(paper.height());
    const float lw = label_width, lh = label_hight;
    const float areaW = paperW - Left_Mar - Rite_Mar;
    const float areaH = paperH - Top_Mar - Bot_Mar;
    const float gridW = float(Print_Col) * lw + float(Print_Col - 1) * horz_mar;
    const float gridH = float(Print_Row) * lh + float(Print_Row - 1) * vert_mar;
    const int align = label_align_val;

    float firstRow;
    if (auto_center_flag)
        firstRow = gridH - lh + vert_mar + Bot_Mar;
    else if (align <= 3)
        firstRow = paperH - lh - Top_Mar;
    else if (align <= 6)
        firstRow = (areaH - gridH) / 2 + Bot_Mar + gridH - lh;
    else
        firstRow = gridH - lh + Bot_Mar;
    const float y = firstRow - float(row - 1) * (lh + vert_mar);

    float x;
    if (auto_center_flag)
        x = Left_Mar + float(col) * horz_mar + float(col - 1) * lw;
    else if (align % 3 == 1)
        x = Left_Mar + float(col - 1) * (lw + horz_mar);
    else if (align % 3 == 2)
        x = Left_Mar + (areaW - gridW) / 2 + float(col - 1) * (lw + horz_mar);
    else
        x = paperW - gridW - Rite_Mar + float(col - 1) * (lw + horz_mar);

    const float cw = float(card.width()), ch = float(card.height());
    const bool both = bothSides();
    const bool leftRight = both && Print_Card_Algn != QLatin1String("U");
    const auto topDown = [paperH](float left, float bottom, float width, float height) {
        return QRectF(left, double(paperH) - bottom - height, width, height);
    };

    PrintCellPlace place;
    place.number = Get_Curr_Label_Index(row, col) + 1;
    if (!both)
        place.cell = topDown(x, y, lw, lh);
    else if (leftRight)
        place.cell = topDown(x, y, lw / 2, lh);
    else
        place.cell = topDown(x, y + lh / 2, lw, lh / 2);

    const float oneLeft = cw < lw ? x + (lw - cw) / 2 : x;
    const float oneBottom = ch < lh ? y + (lh - ch) / 2 : y;
    if (!both) {
        place.front = topDown(oneLeft, oneBottom, cw, ch);
    } else if (leftRight) {
        const float left = 2 * cw < lw ? x + (lw - 2 * cw) / 2 : x;
        place.front = topDown(left, oneBottom, cw, ch);
        place.back = topDown(left + cw, oneBottom, cw, ch);
    } else {
        // The pair is centred in the cell as a single card is (it used to sit at the cell's top).
        const float bottom = 2 * ch < lh ? y + (lh - 2 * ch) / 2 + ch : y + lh / 2;
        place.front = topDown(oneLeft, bottom, cw, ch);
        place.back = topDown(oneLeft, bottom - ch, cw, ch);
    }
    return place;
}

bool Print_Sheet_Layout::cellExceedsPaper() const
{
    return label_width + Left_Mar + Rite_Mar + horz_mar > float(paper.width()) ||
           label_hight + Top_Mar + Bot_Mar + vert_mar > float(paper.height());
}

QString Print_Sheet_Layout::Find_Papaer_Name_From_Size(const QString &width, const QString &height)
{
    QString name;
    for (const PaperRow &row : kPapers) {
        const QString pattern = QLatin1String(row.pattern);
        if (pattern.contains(width) && pattern.contains(height))
            name = QLatin1String(row.name);
    }
    return name;
}
