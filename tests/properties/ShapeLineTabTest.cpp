#include "PanelTestSupport.h"

#include "platform/ui/ColorWell.h"
#include "properties/ui/LineTab.h"
#include "properties/ui/ShapeTab.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QScopedValueRollback>

#include <gtest/gtest.h>

namespace {

const QStringList kHatches = {QStringLiteral("Bricks"), QStringLiteral("Dots"), QStringLiteral("Lines")};

void pick(ColorWell *well, const QColor &colour)
{
    well->setColor(colour);
    emit well->colorChanged(colour);
}

// A shape, a text and a line selected together; the tab shows a reference shape.
class ShapeTabTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        {
            const QSignalBlocker quiet(tab.shape_hatch_style);
            tab.shape_hatch_style->addItems(kHatches);
        }
        reference = made<Shape_Control>(QStringLiteral("RR"));
        reference->_isDrawingStroke = true;
        reference->_strokeWidth = 2;
        reference->_strokeColor = QColor(Qt::black);
        reference->_stroke_border_type = QStringLiteral("DA");
        reference->_isDrawingFill = true;
        reference->_fill_type = QStringLiteral("G");
        reference->_fill_grad_angle = 45;
        reference->_fill_hatch_type = QStringLiteral("Dots");
        reference->alpha_val = 0.45f;
        reference->cor_rad_val = 12;
        reference->double_star_type = 2;
        reference->polygon_type = 3;
        design.selection = {made<Shape_Control>(QStringLiteral("S")), made<SKTText>(), made<SKTLine>()};
        show(*reference);
    }

    void show(const SKTGraphic &graphic)
    {
        const QScopedValueRollback<bool> filling(App().Not_Draw_Only_Prop_Change, true);
        tab.fill(graphic);
    }

    AppFixture app;
    FakeDesign design;
    QCheckBox print;
    ShapeTab tab{design, &print};
    std::shared_ptr<Shape_Control> reference;
};

struct ControlCase {
    const char *control;
    std::function<void(ShapeTab &, QCheckBox &)> change;
    std::function<QVariant(const SKTGraphic &)> field;
    QVariant expected;
};

TEST_F(ShapeTabTest, EveryControlWritesItsFieldIntoEverySelectedObject)
{
    const ControlCase cases[] = {
        {"Shape_border_chk", [](ShapeTab &t, QCheckBox &) { t.Shape_border_chk->click(); },
         [](const SKTGraphic &g) { return QVariant(g._isDrawingStroke); }, false},
        {"shape_bor_Stepper", [](ShapeTab &t, QCheckBox &) { t.shape_bor_Stepper->stepBy(1); },
         [](const SKTGraphic &g) { return QVariant(g._strokeWidth); }, 3.0},
        {"shape_bor_Text", [](ShapeTab &t, QCheckBox &) { typeInto(t.shape_bor_Stepper, QStringLiteral("7")); },
         [](const SKTGraphic &g) { return QVariant(g._strokeWidth); }, 7.0},
        {"shape_bordr_clr", [](ShapeTab &t, QCheckBox &) { pick(t.shape_bordr_clr, QColor(0, 128, 0)); },
         [](const SKTGraphic &g) { return QVariant(g._strokeColor); }, QColor(0, 128, 0)},
        {"shape_border_style", [](ShapeTab &t, QCheckBox &) { t.shape_border_style->setCurrentIndex(3); },
         [](const SKTGraphic &g) { return QVariant(g._stroke_border_type); }, QStringLiteral("DD")},
        {"Shape_fill_chk", [](ShapeTab &t, QCheckBox &) { t.Shape_fill_chk->click(); },
         [](const SKTGraphic &g) { return QVariant(g._isDrawingFill); }, false},
        {"Shape_fill_chk (type)", [](ShapeTab &t, QCheckBox &) { t.Shape_fill_chk->click(); },
         [](const SKTGraphic &g) { return QVariant(g._fill_type); }, QStringLiteral("S")},
        {"shape_fill_clr", [](ShapeTab &t, QCheckBox &) { pick(t.shape_fill_clr, QColor(250, 200, 10)); },
         [](const SKTGraphic &g) { return QVariant(g._fillColor); }, QColor(250, 200, 10)},
        {"Shape_solid_fill_rd", [](ShapeTab &t, QCheckBox &) { t.Shape_solid_fill_rd->click(); },
         [](const SKTGraphic &g) { return QVariant(g._fill_type); }, QStringLiteral("S")},
        {"Shape_Style_fill_rd", [](ShapeTab &t, QCheckBox &) { t.Shape_Style_fill_rd->click(); },
         [](const SKTGraphic &g) { return QVariant(g._fill_type); }, QStringLiteral("H")},
        {"shape_fill_Grd_1_clr", [](ShapeTab &t, QCheckBox &) { pick(t.shape_fill_Grd_1_clr, QColor(1, 2, 3)); },
         [](const SKTGraphic &g) { return QVariant(g._fill_Grad_clr1); }, QColor(1, 2, 3)},
        {"shape_fill_Grd_2_clr", [](ShapeTab &t, QCheckBox &) { pick(t.shape_fill_Grd_2_clr, QColor(4, 5, 6)); },
         [](const SKTGraphic &g) { return QVariant(g._fill_Grad_clr2); }, QColor(4, 5, 6)},
        {"shape_grad_Stepper", [](ShapeTab &t, QCheckBox &) { t.shape_grad_Stepper->stepBy(1); },
         [](const SKTGraphic &g) { return QVariant(g._fill_grad_angle); }, 46.0},
        {"shape_hatch_bk_clr", [](ShapeTab &t, QCheckBox &) { pick(t.shape_hatch_bk_clr, QColor(7, 8, 9)); },
         [](const SKTGraphic &g) { return QVariant(g._fill_htch_clr); }, QColor(7, 8, 9)},
        {"shape_hatch_style", [](ShapeTab &t, QCheckBox &) { t.shape_hatch_style->setCurrentIndex(2); },
         [](const SKTGraphic &g) { return QVariant(g._fill_hatch_type); }, QStringLiteral("Lines")},
        {"shape_alpha_Stepper", [](ShapeTab &t, QCheckBox &) { t.shape_alpha_Stepper->stepBy(-1); },
         [](const SKTGraphic &g) { return QVariant(g.alpha_val); }, 0.44f},
        {"shape_alpha_Text", [](ShapeTab &t, QCheckBox &) { typeInto(t.shape_alpha_Stepper, QStringLiteral("80")); },
         [](const SKTGraphic &g) { return QVariant(g.alpha_val); }, 0.8f},
        {"shape_cor_radius_Stepper", [](ShapeTab &t, QCheckBox &) { t.shape_cor_radius_Stepper->stepBy(1); },
         [](const SKTGraphic &g) { return QVariant(g.cor_rad_val); }, 13.0f},
        {"double_star_Stepper", [](ShapeTab &t, QCheckBox &) { t.double_star_Stepper->stepBy(1); },
         [](const SKTGraphic &g) { return QVariant(g.double_star_type); }, 3},
        {"polygon_Stepper", [](ShapeTab &t, QCheckBox &) { t.polygon_Stepper->stepBy(1); },
         [](const SKTGraphic &g) { return QVariant(g.polygon_type); }, 4},
        {"print_object_chk", [](ShapeTab &t, QCheckBox &p) { p.setChecked(true); t.polygon_Stepper->stepBy(1); },
         [](const SKTGraphic &g) { return QVariant(g.print_object); }, 1},
    };
    for (const ControlCase &c : cases) {
        SCOPED_TRACE(c.control);
        design.selection = {made<Shape_Control>(QStringLiteral("S")), made<SKTText>(), made<SKTLine>()};
        print.setChecked(false);
        show(*reference);
        const int refreshes = design.refreshes;
        c.change(tab, print);
        for (const SKTGraphicPtr &graphic : design.selection)
            EXPECT_EQ(c.field(*graphic), c.expected) << graphic->className().toStdString();
        EXPECT_EQ(design.refreshes, refreshes + 1);
    }
}

TEST_F(ShapeTabTest, WhileThePanelIsFilledOrNothingIsSelectedNothingIsWrittenOrRedrawn)
{
    const QStringList before = archivedFields(*design.selection.first());
    {
        const QScopedValueRollback<bool> filling(App().Not_Draw_Only_Prop_Change, true);
        tab.shape_bor_Stepper->stepBy(3);
        tab.Shape_Style_fill_rd->click();
        tab.shape_border_style->setCurrentIndex(4);
    }
    EXPECT_EQ(archivedFields(*design.selection.first()), before);
    design.selection.clear();
    tab.shape_bor_Stepper->stepBy(1);
    EXPECT_EQ(design.refreshes, 0);
}

TEST_F(ShapeTabTest, TypingWithoutReturnWritesNothingAndTheObjectTakesTheSteppersValue)
{
    typeOnly(tab.shape_bor_Stepper, QStringLiteral("9"));
    EXPECT_EQ(design.refreshes, 0);
    // The stepper steps on from what was typed.
    tab.shape_bor_Stepper->stepBy(1);
    EXPECT_EQ(design.selection.first()->_strokeWidth, 10.0);
    EXPECT_EQ(tab.shape_bor_Text->text(), QStringLiteral("10 pt"));
}

TEST_F(ShapeTabTest, TurningTheOutlineBackOnRestoresItFromTheControls)
{
    const SKTGraphicPtr shape = design.selection.first();
    tab.Shape_border_chk->click(); // off
    shape->_strokeColor = QColor(Qt::magenta);
    shape->_strokeWidth = 20;
    tab.Shape_border_chk->click(); // on
    EXPECT_EQ(shape->_strokeColor, QColor(Qt::black));
    EXPECT_EQ(shape->_strokeWidth, 2.0);
    EXPECT_TRUE(tab.shape_bor_Stepper->isEnabled());
}

TEST_F(ShapeTabTest, TheFillTypeDecidesWhichFillControlsAreEnabledEvenInsideAFillThatIsOff)
{
    const struct {
        const char *type;
        bool solid, gradient, hatch;
    } cases[] = {{"S", true, false, false}, {"G", false, true, false}, {"H", false, false, true},
                 {"", true, false, false}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.type);
        auto shape = made<Shape_Control>(QStringLiteral("R"));
        shape->_isDrawingFill = false;
        shape->_fill_type = QString::fromLatin1(c.type);
        show(*shape);
        EXPECT_EQ(tab.Shape_solid_fill_rd->isChecked(), c.solid);
        EXPECT_EQ(tab.Shape_gradient_fill_rd->isChecked(), c.gradient);
        EXPECT_EQ(tab.Shape_Style_fill_rd->isChecked(), c.hatch);
        EXPECT_EQ(tab.shape_fill_clr->isEnabled(), c.solid);
        EXPECT_EQ(tab.shape_fill_Grd_1_clr->isEnabled(), c.gradient);
        EXPECT_EQ(tab.shape_grad_Text->isEnabled(), c.gradient);
        EXPECT_EQ(tab.shape_hatch_style->isEnabled(), c.hatch);
        EXPECT_FALSE(tab.shape_alpha_Stepper->isEnabled());
    }
}

TEST_F(ShapeTabTest, ShowingAnObjectConvertsItsValuesForTheControls)
{
    auto shape = made<Shape_Control>(QStringLiteral("R"));
    shape->_strokeWidth = 2.9;
    shape->alpha_val = 0.5f;
    shape->_stroke_border_type = QStringLiteral("DDD");
    shape->_fill_hatch_type = QString();
    tab.shape_hatch_style->setCurrentIndex(1);
    show(*shape);
    EXPECT_EQ(tab.shape_bor_Stepper->value(), 2);
    EXPECT_EQ(tab.shape_bor_Text->text(), QStringLiteral("2 pt"));
    EXPECT_EQ(tab.shape_alpha_Text->text(), QStringLiteral("50 %"));
    EXPECT_EQ(tab.shape_border_style->currentIndex(), 4);
    EXPECT_EQ(tab.shape_hatch_style->currentIndex(), -1);
    // An outline code outside the five keeps the style shown before; an opacity past the
    // stepper's limit shows the limit.
    shape->_stroke_border_type = QStringLiteral("??");
    shape->alpha_val = 100.0f;
    show(*shape);
    EXPECT_EQ(tab.shape_border_style->currentIndex(), 4);
    EXPECT_EQ(tab.shape_alpha_Text->text(), QStringLiteral("100 %"));
    EXPECT_EQ(design.refreshes, 0);
}

TEST_F(ShapeTabTest, ShowingAndWritingBackLeavesAnObjectAsItWas)
{
    std::vector<SKTGraphicPtr> objects;
    auto gradient = made<Shape_Control>(QStringLiteral("RR"));
    gradient->_fill_type = QStringLiteral("G");
    gradient->_fill_Grad_clr1 = QColor(10, 20, 30, 40);
    gradient->_fill_grad_angle = 30;
    gradient->_strokeWidth = 4;
    gradient->_fill_hatch_type = QStringLiteral("Bricks");
    gradient->alpha_val = 0.45f;
    gradient->cor_rad_val = 12.5f;
    objects.push_back(gradient);
    auto hatch = made<Shape_Control>(QStringLiteral("DS"));
    hatch->_fill_type = QStringLiteral("H");
    hatch->_fill_hatch_type = QStringLiteral("Lines");
    hatch->_stroke_border_type = QStringLiteral("DO");
    hatch->double_star_type = 4;
    hatch->polygon_type = 5;
    hatch->print_object = 1;
    hatch->alpha_val = 1.0f;
    objects.push_back(hatch);
    auto bare = made<Shape_Control>(QStringLiteral("P"));
    bare->_isDrawingFill = false;
    bare->_isDrawingStroke = false;
    bare->_fill_hatch_type = QStringLiteral("Dots");
    bare->alpha_val = 0.0f;
    objects.push_back(bare);
    for (const SKTGraphicPtr &object : objects) {
        SCOPED_TRACE(object->Get_shape_type().toStdString());
        const QStringList before = archivedFields(*object);
        print.setChecked(object->print_object != 0);
        show(*object);
        design.selection = {object};
        tab.Update_Shape_Graphics();
        EXPECT_EQ(archivedFields(*object), before);
    }
}

TEST_F(ShapeTabTest, OnlyTheMeasuresOfTheShownShapeAreVisible)
{
    tab.show();
    const struct {
        const char *code;
        bool corner, star, polygon;
    } cases[] = {{"RR", true, false, false}, {"DS", false, true, false}, {"P", false, false, true},
                 {"R", false, false, false}};
    for (const auto &c : cases) {
        tab.showShapeMeasures(QString::fromLatin1(c.code));
        EXPECT_EQ(tab.shape_cor_radius_Stepper->isVisible(), c.corner) << c.code;
        EXPECT_EQ(tab.shape_cor_radius_Label->isVisible(), c.corner) << c.code;
        EXPECT_EQ(tab.double_star_Label->isVisible(), c.star) << c.code;
        EXPECT_EQ(tab.polygon_Stepper->isVisible(), c.polygon) << c.code;
        EXPECT_EQ(tab.Shape_Measure_Box->isVisible(), c.corner || c.star || c.polygon) << c.code;
    }
}

// --- Line tab ----------------------------------------------------------------------------------------

class LineTabTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        reference = made<SKTLine>();
        reference->_strokeWidth = 2;
        reference->_strokeColor = QColor(Qt::black);
        reference->_stroke_border_type = QStringLiteral("DA");
        reference->_line_cap_style = 1;
        reference->_line_ori = 2;
        reference->alpha_val_stroke = 0.45f;
    }

    void show(const SKTGraphic &graphic)
    {
        const QScopedValueRollback<bool> filling(App().Not_Draw_Only_Prop_Change, true);
        tab.fill(graphic);
    }

    AppFixture app;
    FakeDesign design;
    QCheckBox print;
    LineTab tab{design, &print};
    std::shared_ptr<SKTLine> reference;
};

TEST_F(LineTabTest, EveryControlWritesItsFieldIntoEverySelectedObject)
{
    using Case = std::tuple<const char *, std::function<void(LineTab &)>, std::function<QVariant(const SKTGraphic &)>,
                            QVariant>;
    const Case cases[] = {
        {"Line_Wdt_Stepper", [](LineTab &t) { t.Line_Wdt_Stepper->stepBy(1); },
         [](const SKTGraphic &g) { return QVariant(g._strokeWidth); }, 3.0},
        {"Line_Wdt_Text", [](LineTab &t) { typeInto(t.Line_Wdt_Stepper, QStringLiteral("12")); },
         [](const SKTGraphic &g) { return QVariant(g._strokeWidth); }, 12.0},
        {"Line_Wdt_Stepper (outline)", [](LineTab &t) { t.Line_Wdt_Stepper->stepBy(1); },
         [](const SKTGraphic &g) { return QVariant(g._isDrawingStroke); }, true},
        {"Line_clr", [](LineTab &t) { pick(t.Line_clr, QColor(200, 0, 0)); },
         [](const SKTGraphic &g) { return QVariant(g._strokeColor); }, QColor(200, 0, 0)},
        {"Line_border_style", [](LineTab &t) { t.Line_border_style->setCurrentIndex(2); },
         [](const SKTGraphic &g) { return QVariant(g._stroke_border_type); }, QStringLiteral("DO")},
        {"Line_cap_style", [](LineTab &t) { t.Line_cap_style->setCurrentIndex(2); },
         [](const SKTGraphic &g) { return QVariant(g._line_cap_style); }, 2},
        {"Line_cap_style (none)", [](LineTab &t) { t.Line_cap_style->setCurrentIndex(-1); },
         [](const SKTGraphic &g) { return QVariant(g._line_cap_style); }, 0},
        {"Line_ori_style", [](LineTab &t) { t.Line_ori_style->setCurrentIndex(1); },
         [](const SKTGraphic &g) { return QVariant(g._line_ori); }, 1},
        {"Line_alpha_Stepper", [](LineTab &t) { t.Line_alpha_Stepper->stepBy(1); },
         [](const SKTGraphic &g) { return QVariant(g.alpha_val_stroke); }, 0.46f},
        {"Line_alpha_Text", [](LineTab &t) { typeInto(t.Line_alpha_Stepper, QStringLiteral("30")); },
         [](const SKTGraphic &g) { return QVariant(g.alpha_val_stroke); }, 0.3f},
    };
    for (const auto &[control, change, field, expected] : cases) {
        SCOPED_TRACE(control);
        auto shape = made<Shape_Control>(QStringLiteral("R"));
        shape->_isDrawingStroke = false;
        design.selection = {made<SKTLine>(), shape};
        show(*reference);
        change(tab);
        for (const SKTGraphicPtr &graphic : design.selection)
            EXPECT_EQ(field(*graphic), expected) << graphic->className().toStdString();
        // No fill field is the line tab's.
        EXPECT_TRUE(shape->_isDrawingFill);
        EXPECT_EQ(shape->_fill_type, QStringLiteral("S"));
    }
}

TEST_F(LineTabTest, ShowingAndWritingBackLeavesALineAsItWas)
{
    reference->print_object = 1;
    const QStringList before = archivedFields(*reference);
    show(*reference);
    print.setChecked(true);
    design.selection = {reference};
    tab.Update_Line_Graphics();
    EXPECT_EQ(archivedFields(*reference), before);
    EXPECT_EQ(design.refreshes, 1);
}

TEST_F(LineTabTest, IndexesTheListsDoNotHoldSelectNothing)
{
    reference->_line_cap_style = 9;
    reference->_line_ori = -3;
    show(*reference);
    EXPECT_EQ(tab.Line_cap_style->currentIndex(), -1);
    EXPECT_EQ(tab.Line_ori_style->currentIndex(), -1);
}

} // namespace
