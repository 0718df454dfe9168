#include "output/PrintSheetLayout.h"

#include "core/UnitConversion.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr float kAnyGap = NAN;

// A row of cells across a 200 mm printable width; the same case is run down a 200 mm height too.
struct FitCase {
    const char *name;
    bool autoCentre;
    const char *side, *arrangement;
    float cellMM, gapMM;
    int typed;
    int cells;      // the count the sheet prints
    bool rewritten; // the field is set to it
    float gapShownMM; // the gap used; NaN: as typed
};

const FitCase kFits[] = {
    {"two 85.6 mm cells centred have 9.6 mm around each", true, "F", "U", 85.6f, 0, 2, 2, false, 9.6f},
    {"three centred do not fit and fall to two", true, "F", "U", 85.6f, 0, 3, 2, true, 0},
    {"three with 5 mm gaps fall to floor(205 / 90.6)", false, "F", "U", 85.6f, 5, 3, 2, true, kAnyGap},
    {"two with 5 mm gaps fit as typed", false, "F", "U", 85.6f, 5, 2, 2, false, kAnyGap},
    {"a cell as wide as the area stays one, unwritten", false, "F", "U", 200, 0, 1, 1, false, kAnyGap},
    {"a cell wider than the area gives one, not none", false, "F", "U", 250, 0, 4, 1, true, kAnyGap},
    {"centred, a cell wider than the area gives one", true, "F", "U", 250, 0, 2, 1, true, 0},
    {"both sides side by side double the width", false, "BOTH", "L", 85.6f, 0, 2, 1, true, kAnyGap},
    {"both sides one above the other keep the width", false, "BOTH", "U", 85.6f, 0, 2, 2, false, kAnyGap},
};

class CellFitting : public ::testing::TestWithParam<FitCase> {};

TEST_P(CellFitting, LowersCountsThatDoNotFitAndCentresTheGrid)
{
    const FitCase &c = GetParam();
    const float area = MM_to_Points_Convert(200);
    for (const bool across : {true, false}) {
        SCOPED_TRACE(across ? "across" : "down");
        Print_Sheet_Layout layout;
        layout.Set_values_From_Printer(QSizeF(area, area), QMarginsF());
        layout.auto_center_flag = c.autoCentre;
        layout.Print_Card_Side = QString::fromLatin1(c.side);
        // Down the sheet the arrangement that doubles the edge is the other one.
        const bool upper = QLatin1String(c.arrangement) == QLatin1String("U");
        layout.Print_Card_Algn = QLatin1String(upper == across ? "U" : "L");
        PrintCellFields fields;
        (across ? fields.width : fields.height) = c.cellMM;
        (across ? fields.height : fields.width) = 10;
        (across ? fields.horzGap : fields.vertGap) = c.gapMM;
        (across ? fields.cols : fields.rows) = c.typed;
        const PrintFitResult result = layout.Check_Max_Cell_Value(fields, false);
        EXPECT_EQ(across ? layout.Print_Col : layout.Print_Row, c.cells);
        EXPECT_EQ(across ? result.rewriteCols : result.rewriteRows, c.rewritten);
        EXPECT_EQ(layout.Total_Label, c.cells);
        const float gap = Points_to_MM_Convert(across ? layout.horz_mar : layout.vert_mar);
        EXPECT_NEAR(gap, std::isnan(c.gapShownMM) ? c.gapMM : c.gapShownMM, 1e-3);
    }
}

INSTANTIATE_TEST_SUITE_P(Examples, CellFitting, ::testing::ValuesIn(kFits),
                         [](const auto &info) { return "case" + std::to_string(info.index); });

TEST(PrintSheetLayout, BoundOutputKeepsItsTotalWhileUnboundFollowsTheGrid)
{
    Print_Sheet_Layout layout;
    layout.Set_values_From_Printer(QSizeF(595, 842), QMarginsF(18, 18, 18, 18));
    layout.Total_Label = 25;
    const PrintCellFields fields{50, 30, 0, 0, 4, 2};
    layout.Check_Max_Cell_Value(fields, true);
    EXPECT_EQ(layout.Total_Label, 25);
    layout.Check_Max_Cell_Value(fields, false);
    EXPECT_EQ(layout.Total_Label, 8);
}

// Paper 600 × 800 points with margins 10 left, 20 right, 30 top, 40 bottom; two rows of three
// 100 × 50 cells with 5 and 6 point gaps, 80 × 40 cards; rectangles top-down, in points.
struct PlaceCase {
    const char *name;
    int align;
    bool autoCentre;
    const char *side, *arrangement;
    int row, col;
    QRectF cell, front, back;
};

const PlaceCase kPlaces[] = {
    {"top left", 1, false, "F", "U", 1, 1, {10, 30, 100, 50}, {20, 35, 80, 40}, {}},
    {"middle centre puts the grid midway inside the margins", 5, false, "F", "U", 2, 3, {350, 398, 100, 50},
     {360, 403, 80, 40}, {}},
    {"bottom right ends on the right and bottom margins", 9, false, "B", "U", 2, 3, {480, 710, 100, 50},
     {490, 715, 80, 40}, {}},
    {"auto-centre leaves a gap before every cell", 3, true, "F", "U", 2, 2, {130, 690, 100, 50},
     {140, 695, 80, 40}, {}},
    {"both sides left to right", 1, false, "BOTH", "L", 1, 1, {10, 30, 100, 50}, {30, 35, 80, 40},
     {110, 35, 80, 40}},
    {"both sides one above the other, the pair centred", 1, false, "BOTH", "U", 1, 1, {10, 30, 100, 50},
     {20, 40, 80, 40}, {20, 80, 80, 40}},
};

class CellPlacement : public ::testing::TestWithParam<PlaceCase> {};

TEST_P(CellPlacement, PutsCellsAndCardsWhereTheAlignmentSays)
{
    const PlaceCase &c = GetParam();
    Print_Sheet_Layout layout;
    layout.Set_values_From_Printer(QSizeF(600, 800), QMarginsF(10, 30, 20, 40));
    layout.label_width = 100;
    layout.label_hight = 50;
    layout.horz_mar = c.autoCentre ? 10 : 5;
    layout.vert_mar = c.autoCentre ? 20 : 6;
    layout.Print_Row = 2;
    layout.Print_Col = 3;
    layout.label_align_val = c.align;
    layout.auto_center_flag = c.autoCentre;
    layout.Print_Card_Side = QString::fromLatin1(c.side);
    layout.Print_Card_Algn = QString::fromLatin1(c.arrangement);
    // A cell of both sides is doubled along the arrangement, as the fitting makes it.
    if (layout.bothSides())
        (layout.Print_Card_Algn == QLatin1String("L") ? layout.label_width : layout.label_hight) *= 2;
    const PrintCellPlace place = layout.cellPlace(c.row, c.col, QSizeF(80, 40));
    EXPECT_EQ(place.number, (c.row - 1) * 3 + c.col);
    EXPECT_EQ(place.cell, c.cell);
    EXPECT_EQ(place.front, c.front);
    EXPECT_EQ(place.back, c.back);
}

INSTANTIATE_TEST_SUITE_P(Examples, CellPlacement, ::testing::ValuesIn(kPlaces),
                         [](const auto &info) { return "case" + std::to_string(info.index); });

TEST(PrintSheetLayout, SheetsAndTheRecordOfEachCellFollowFromThePageAlone)
{
    struct {
        int total, rows, cols, sheets;
    } const counts[] = {{7, 2, 3, 2}, {6, 2, 3, 1}, {0, 2, 3, 0}, {10, 2, 2, 3}, {5000, 5, 2, 500}};
    for (const auto &c : counts)
        EXPECT_EQ(Print_Sheet_Layout::sheetCount(c.total, c.rows, c.cols), c.sheets) << c.total;
    Print_Sheet_Layout layout;
    layout.Print_Row = 2;
    layout.Print_Col = 2;
    EXPECT_EQ(layout.recordOfCell(3, 1), 9);
}

TEST(PrintSheetLayout, PapersAreNamedByTheLastRowHoldingBothSizes)
{
    const struct {
        const char *width, *height, *name;
    } papers[] = {{"297.00", "210.00", "A4"}, {"210.00", "297.00", "A4"}, {"215.90", "279.40", "Letter"},
                  {"148.00", "210.00", "A5"}, {"0.00", "0.00", "Postcard"}, {"123.00", "456.00", ""}};
    for (const auto &paper : papers)
        EXPECT_EQ(Print_Sheet_Layout::Find_Papaer_Name_From_Size(QLatin1String(paper.width),
                                                                 QLatin1String(paper.height)),
                  QLatin1String(paper.name))
            << paper.width << " x " << paper.height;
}

} // namespace
