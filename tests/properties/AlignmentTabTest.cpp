#include "PanelTestSupport.h"

#include "properties/ui/AlignmentTab.h"

#include <QCheckBox>
#include <QPushButton>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

using Op = PanelArrange::Operation;

const QString kSelectMore = QStringLiteral("\nPlease select more than one control.");
const QString kUseGrid = QStringLiteral("\nPlease use grid option first.");

class AlignmentTabTest : public ::testing::Test {
protected:
    void select(int count)
    {
        design.selection.clear();
        for (int i = 0; i < count; ++i)
            design.selection << made<Shape_Control>(QStringLiteral("R"));
    }

    AppFixture app;
    ScopedScriptedServices services;
    FakeDesign design;
    AlignmentTab tab{design, design};
};

TEST_F(AlignmentTabTest, EachButtonRunsItsCanvasOperationAfterItsCheck)
{
    // Buttons by their outlet names.
    const struct {
        const char *button;
        int selected;
        bool gridShown;
        std::optional<Op> operation; // none: refused with `message`
        QString message;
    } rows[] = {
        {"Align_Left_btn", 2, false, Op::AlignLeftEdges, {}},
        {"Align_Right_btn", 2, false, Op::AlignRightEdges, {}},
        {"Align_Top_btn", 1, false, Op::AlignTopEdges, {}},
        {"Align_Bottom_btn", 1, false, Op::AlignBottomEdges, {}},
        {"Align_Horz_btn", 3, false, Op::AlignHorizontalCenters, {}},
        {"Align_Vert_btn", 3, false, Op::AlignVerticalCenters, {}},
        {"Align_Center_btn", 0, false, Op::AlignFormCenter, {}},
        {"Make_same_width_btn", 2, false, Op::MakeSameWidth, {}},
        {"Make_same_width_btn", 1, true, std::nullopt, kSelectMore},
        {"Make_same_height_btn", 2, false, Op::MakeSameHeight, {}},
        {"Make_same_height_btn", 0, false, std::nullopt, kSelectMore},
        {"Make_natural_size_btn", 1, false, Op::MakeNaturalSize, {}},
        {"Align_with_grid_btn", 1, true, Op::AlignWithGrid, {}},
        {"Align_with_grid_btn", 2, false, std::nullopt, kUseGrid},
    };
    // Whatever the canvases last enabled, the commands check for themselves.
    tab.setMakeSameSizeButtonsEnabled(true);
    tab.setAlignWithGridButtonEnabled(true);
    for (const auto &row : rows) {
        SCOPED_TRACE(std::string(row.button) + " with " + std::to_string(row.selected) + " selected");
        auto *button = tab.findChild<QAbstractButton *>(QString::fromLatin1(row.button));
        ASSERT_NE(button, nullptr);
        select(row.selected);
        design.gridShown = row.gridShown;
        design.operations.clear();
        design.refreshes = 0;
        services->messages.clear();

        button->click();

        if (row.operation) {
            EXPECT_EQ(design.operations, QList<Op>{*row.operation});
            EXPECT_EQ(design.refreshes, 1);
            EXPECT_TRUE(services->messages.isEmpty());
        } else {
            EXPECT_TRUE(design.operations.isEmpty());
            EXPECT_EQ(design.refreshes, 0);
            EXPECT_EQ(services->messages, QStringList{row.message});
        }
    }
}

TEST_F(AlignmentTabTest, TheCanvasesAndTheGridEnableTheirButtons)
{
    const QList<QPushButton *> sizing{tab.Make_same_width_btn, tab.Make_same_height_btn, tab.Make_natural_size_btn};
    for (QPushButton *button : sizing)
        EXPECT_FALSE(button->isEnabled()) << button->objectName().toStdString();
    EXPECT_FALSE(tab.Align_with_grid_btn->isEnabled());

    tab.setMakeSameSizeButtonsEnabled(true);
    for (QPushButton *button : sizing)
        EXPECT_TRUE(button->isEnabled()) << button->objectName().toStdString();
    EXPECT_FALSE(tab.Align_with_grid_btn->isEnabled());
    tab.setAlignWithGridButtonEnabled(true);
    EXPECT_TRUE(tab.Align_with_grid_btn->isEnabled());
    tab.setMakeSameSizeButtonsEnabled(false);
    EXPECT_FALSE(tab.Make_natural_size_btn->isEnabled());
    // A disabled button runs nothing.
    tab.Make_natural_size_btn->click();
    EXPECT_TRUE(design.operations.isEmpty());
}

TEST_F(AlignmentTabTest, SnapBoxInvertsTheGridsSnappingAndGridButtonOpensTheGridWindow)
{
    tab.Grid_Snap_chk->click();
    EXPECT_TRUE(design.gridSnaps);
    EXPECT_TRUE(tab.Grid_Snap_chk->isChecked());
    tab.Grid_Snap_chk->click();
    EXPECT_FALSE(design.gridSnaps);
    EXPECT_FALSE(tab.Grid_Snap_chk->isChecked());

    // Shown again, the box follows the grid whoever changed it.
    design.gridSnaps = true;
    tab.show();
    EXPECT_TRUE(tab.Grid_Snap_chk->isChecked());

    tab.Grid_Settings_btn->click();
    EXPECT_EQ(design.gridWindowRuns, 1);
    EXPECT_TRUE(design.operations.isEmpty());
    EXPECT_EQ(design.refreshes, 0);
}

} // namespace
