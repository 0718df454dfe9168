#include "window/Grid_Wizard.h"

#include "canvas/SKTGrid.h"
#include "fixtures/TestSupport.h"
#include "platform/ui/ColorWell.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTimer>

namespace {

class GridWizardTest : public ::testing::Test {
protected:
    AppFixture app;
    Grid_Wizard w;
    QStringList calls;

    GridWizardTest()
    {
        w.Grid_Clr_Changed = [this](const QColor &c) { calls << "colour " + c.name(); };
        w.Grid_Slider_Changed = [this](double s) { calls << QStringLiteral("spacing %1").arg(s); };
        w.Grid_Show_Hide_Changed = [this](bool b) { calls << QStringLiteral("shown %1").arg(b); };
    }
    QString spacingText() const { return w.findChild<QLabel *>(QStringLiteral("Grid_Space_value"))->text(); }
};

} // namespace

TEST_F(GridWizardTest, FillingShowsTheGridWithoutActing)
{
    w.Fill_Controls(QColor(Qt::red), 18.0, true);
    EXPECT_EQ(w.Grid_clr->color(), QColor(Qt::red));
    EXPECT_EQ(w.Grid_Space_slidr->value(), 18);
    EXPECT_EQ(spacingText(), "18 pt");
    EXPECT_TRUE(w.Show_hide_grid_chk->isChecked());
    EXPECT_TRUE(w.Grid_Opt_box->isEnabled());

    w.Fill_Controls(QColor(Qt::blue), 0.0, false);
    EXPECT_FALSE(w.Grid_Opt_box->isEnabled());
    EXPECT_EQ(w.Grid_Space_slidr->value(), Grid_Wizard::kMinSpacing) << "a spacing of 0 is no grid";
    EXPECT_TRUE(calls.isEmpty());
}

TEST_F(GridWizardTest, ControlsActAtOnceAndButtonsOnlyClose)
{
    w.Fill_Controls(QColor(Qt::gray), 9.0, false);
    w.Show_hide_grid_chk->click();
    EXPECT_TRUE(w.Grid_Opt_box->isEnabled());
    w.Grid_Space_slidr->setValue(27);
    EXPECT_EQ(spacingText(), "27 pt");
    emit w.Grid_clr->colorChanged(QColor(Qt::green));
    w.Show_hide_grid_chk->click();
    EXPECT_FALSE(w.Grid_Opt_box->isEnabled());
    EXPECT_EQ(calls, (QStringList{"shown 1", "spacing 27", "colour #00ff00", "shown 0"}));

    w.OK_Btn_Clicked();
    EXPECT_EQ(w.result(), 1);
    w.Cancel_Btn_Clicked();
    EXPECT_EQ(w.result(), 0);
    EXPECT_EQ(calls.size(), 4);

    Grid_Wizard bare; // unplugged actions leave the controls working
    bare.Show_hide_grid_chk->click();
    bare.Grid_Space_slidr->setValue(30);
    EXPECT_TRUE(bare.Grid_Opt_box->isEnabled());
}

TEST_F(GridWizardTest, CancelKeepsWhatWasChosen)
{
    // Wired as the design window does: colour and spacing straight into the grid, then shown.
    SKTGrid grid;
    w.Grid_Clr_Changed = [&](const QColor &c) { grid._color = c, grid.setAlwaysShown(true); };
    w.Grid_Slider_Changed = [&](double s) { grid._spacing = s, grid.setAlwaysShown(true); };
    w.Fill_Controls(grid._color, grid._spacing, grid.isAlwaysShown());

    QTimer::singleShot(0, &w, [&] {
        emit w.Grid_clr->colorChanged(QColor(Qt::magenta));
        w.Grid_Space_slidr->setValue(20);
        w.findChild<QPushButton *>(QStringLiteral("Cancel_btn"))->click();
    });
    w.Open_Wnd();
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(grid._color, QColor(Qt::magenta));
    EXPECT_EQ(grid._spacing, 20.0);
    EXPECT_TRUE(grid.isAlwaysShown());
}

TEST_F(GridWizardTest, RendersForALook)
{
    EXPECT_EQ(w.palette().color(QPalette::Window), QColor(241, 244, 250));
    EXPECT_EQ(Grid_Wizard::defaultInstance(), Grid_Wizard::defaultInstance());
    w.Fill_Controls(QColor(Qt::lightGray), 9.0, true);
    w.show();
    w.adjustSize();
    EXPECT_TRUE(w.grab().save(testOutputPath(QStringLiteral("Grid_Wizard.png"))));
    w.hide();
}
