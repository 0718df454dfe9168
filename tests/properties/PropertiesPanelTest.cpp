#include "PanelTestSupport.h"

#include "properties/ui/CardBackgroundTab.h"
#include "properties/ui/CardPanel.h"
#include "properties/ui/CardSettingsTab.h"
#include "properties/ui/LineTab.h"
#include "properties/ui/PropertiesPanel.h"
#include "properties/ui/ShapeTab.h"
#include "properties/ui/SignatureTab.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QScopedValueRollback>
#include <QTabWidget>

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

class PropertiesPanelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        panel.card_setting_tab->ColList->setModel(&design.sizeList);
        for (QComboBox *hatches : {panel.shape_tab->shape_hatch_style, panel.card_bkgd_tab->Card_hatch_style}) {
            // As the window fills its lists: without a write-back.
            const QSignalBlocker quiet(hatches);
            hatches->addItems({QStringLiteral("Bricks"), QStringLiteral("Dots")});
        }
        design.showSizePresets(0);
    }

    QStringList tabs() const
    {
        QStringList names;
        for (int i = 0; i < panel.sett_tab->count(); ++i)
            names << panel.sett_tab->widget(i)->objectName() + QLatin1Char(':') + panel.sett_tab->tabText(i);
        return names;
    }

    SKTGraphicPtr selectable(SKTGraphicPtr graphic)
    {
        design.others << graphic;
        return graphic;
    }

    AppFixture app;
    FakeDesign design;
    PropertiesPanel panel{design, design};
};

std::shared_ptr<SKTSignature> signature(const char *code)
{
    auto sign = made<SKTSignature>();
    sign->sign_or_fingureprint = QString::fromLatin1(code);
    return sign;
}

TEST_F(PropertiesPanelTest, EachKindShowsItsTabsAndLabelsOrTheLockTabAlone)
{
    const struct {
        SKTGraphicPtr graphic;
        const char *kindCode;
        QStringList unlocked;
        QString locked;
    } cases[] = {
        {made<SKTText>(), "T",
         {"text_edtng_tab:Text", "text_prop_tab:Text Properties", "datasource_tab:Text Source", "aligmnt_tab:Alignment"},
         "Text Properties"},
        {made<SKTImage>(), "I", {"datasource_tab:Image Source", "image_tab:Image Properties", "aligmnt_tab:Alignment"},
         "Image Properties"},
        {made<SKTLine>(), "NONE", {"line_tab:Line Properties", "aligmnt_tab:Alignment"}, "Line Properties"},
        {signature("S"), "S", {"sign_tab:Signature Properties", "aligmnt_tab:Alignment"}, "Signature Properties"},
        {signature("F"), "F", {"sign_tab:FingrePrint Properties", "aligmnt_tab:Alignment"}, "Signature Properties"},
        {made<SKTBarcode>(), "NONE", {"barcode_tab:Barcode Properties", "aligmnt_tab:Alignment"}, "Barcode Properties"},
        {made<Shape_Control>(QStringLiteral("C")), "NONE", {"shape_tab:Ellipse Properties", "aligmnt_tab:Alignment"},
         "Ellipse Properties"},
        {made<Shape_Control>(QStringLiteral("DS")), "NONE",
         {"shape_tab:Double Star Properties", "aligmnt_tab:Alignment"}, "Double Star Properties"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.graphic->className().toStdString() + " " + c.kindCode);
        design.others = {c.graphic};
        c.graphic->ctrl_is_locked = false;
        panel.Show_RHS_Properties(c.graphic.get());
        EXPECT_EQ(tabs(), c.unlocked);
        EXPECT_EQ(panel.sett_tab->currentIndex(), 0);
        EXPECT_EQ(panel.sel_control_name->text(), QString::fromLatin1(c.kindCode));
        EXPECT_EQ(panel.Last_Selected_Graphic.lock(), c.graphic);

        c.graphic->ctrl_is_locked = true;
        panel.Show_RHS_Properties(nullptr);
        panel.Show_RHS_Properties(c.graphic.get());
        EXPECT_EQ(tabs(), QStringList{QStringLiteral("Lock_tab:") + c.locked});
        EXPECT_EQ(panel.sel_control_name->text(), QString::fromLatin1(c.kindCode));
        EXPECT_FALSE(App().Not_Draw_Only_Prop_Change);
    }
    // The tab title of a fingerprint stays with its sign tab while locked.
    EXPECT_EQ(panel.sign_tab->windowTitle(), QStringLiteral("FingrePrint Properties"));
}

TEST_F(PropertiesPanelTest, TheCardFaceShowsItsTwoTabsFilledFromTheCurrentSide)
{
    const SKTGraphicPtr shape = selectable(made<Shape_Control>(QStringLiteral("R")));
    panel.Show_RHS_Properties(shape.get());
    design.back.setCard_bor_Stepper(7);
    design.back.setCard_Name(QStringLiteral("Back side"));
    App().Card_Front_Or_Back = 1;
    panel.Show_RHS_Properties(nullptr);
    EXPECT_EQ(tabs(), (QStringList{QStringLiteral("card_setting_tab:Card Settings"),
                                   QStringLiteral("card_bkgd_tab:Card Background")}));
    EXPECT_EQ(panel.card_setting_tab->Card_bor_Stepper->value(), 7);
    EXPECT_EQ(panel.card_setting_tab->card_name->text(), QStringLiteral("Back side"));
    EXPECT_EQ(design.back.Card_Size(), design.bounds.size());
    EXPECT_TRUE(panel.Last_Selected_Graphic.expired());
    EXPECT_EQ(design.selectionClears, 1);
    EXPECT_EQ(design.buttonCalls.last(), QStringLiteral("card"));
    EXPECT_FALSE(panel.print_object_chk->isVisibleTo(&panel));
    // Filling wrote nothing back.
    EXPECT_EQ(design.refreshes, 0);
}

TEST_F(PropertiesPanelTest, TheSameObjectAgainOnlySetsTheButtons)
{
    const SKTGraphicPtr shape = selectable(made<Shape_Control>(QStringLiteral("R")));
    shape->_strokeWidth = 4;
    panel.Show_RHS_Properties(shape.get());
    EXPECT_EQ(design.buttonCalls, (QStringList{QStringLiteral("control"), QStringLiteral("unlock")}));
    shape->_strokeWidth = 9;
    design.buttonCalls.clear();
    panel.Show_RHS_Properties(shape.get());
    EXPECT_EQ(design.buttonCalls, (QStringList{QStringLiteral("control"), QStringLiteral("unlock")}));
    EXPECT_EQ(panel.shape_tab->shape_bor_Stepper->value(), 4);
    EXPECT_EQ(design.arrowSelections, 2);
}

TEST_F(PropertiesPanelTest, NothingHappensWhileThePanelIsBeingFilled)
{
    const SKTGraphicPtr line = selectable(made<SKTLine>());
    const QScopedValueRollback<bool> filling(App().Not_Draw_Only_Prop_Change, true);
    panel.Show_RHS_Properties(line.get());
    panel.Show_RHS_Properties(nullptr);
    EXPECT_EQ(design.arrowSelections, 0);
    EXPECT_TRUE(design.buttonCalls.isEmpty());
    EXPECT_EQ(panel.sett_tab->widget(0), panel.card_setting_tab);
}

TEST_F(PropertiesPanelTest, AFailureOnTheWayIsLoggedAndLeavesThePanelWorking)
{
    LogCapture log;
    design.onClearSelection = [] { throw std::runtime_error("selection gone"); };
    panel.Show_RHS_Properties(nullptr);
    EXPECT_TRUE(log.lines().contains(QStringLiteral("selection gone")));
    EXPECT_FALSE(App().Not_Draw_Only_Prop_Change);
    // The panel still fills and writes back.
    design.onClearSelection = nullptr;
    const SKTGraphicPtr shape = selectable(made<Shape_Control>(QStringLiteral("R")));
    design.selection = {shape};
    panel.Show_RHS_Properties(shape.get());
    panel.shape_tab->shape_bor_Stepper->stepBy(2);
    EXPECT_EQ(shape->_strokeWidth, 3.0);
}

TEST_F(PropertiesPanelTest, ShapesShowOnlyTheirOwnMeasuresAndUnknownCodesKeepTheLabel)
{
    panel.show();
    const SKTGraphicPtr rounded = selectable(made<Shape_Control>(QStringLiteral("RR")));
    panel.Show_RHS_Properties(rounded.get());
    EXPECT_TRUE(panel.shape_tab->shape_cor_radius_Stepper->isVisibleTo(panel.shape_tab));
    EXPECT_FALSE(panel.shape_tab->polygon_Stepper->isVisibleTo(panel.shape_tab));
    EXPECT_EQ(panel.shape_tab->Shape_prop_title->text(), QStringLiteral("Rounded Rectangle Properties"));

    const SKTGraphicPtr odd = selectable(made<Shape_Control>(QStringLiteral("ZZ")));
    panel.Show_RHS_Properties(odd.get());
    EXPECT_EQ(panel.sett_tab->tabText(0), QStringLiteral("Rounded Rectangle Properties"));
    EXPECT_FALSE(panel.shape_tab->shape_cor_radius_Stepper->isVisibleTo(panel.shape_tab));

    // Locked, the measures stay hidden and the shape tab keeps its label.
    const SKTGraphicPtr polygon = selectable(made<Shape_Control>(QStringLiteral("P")));
    polygon->ctrl_is_locked = true;
    panel.Show_RHS_Properties(polygon.get());
    EXPECT_EQ(panel.sett_tab->tabText(0), QStringLiteral("Polygon Properties"));
    EXPECT_FALSE(panel.shape_tab->polygon_Stepper->isVisibleTo(panel.shape_tab));
    EXPECT_EQ(panel.shape_tab->windowTitle(), QStringLiteral("Rounded Rectangle Properties"));
}

TEST_F(PropertiesPanelTest, MainPhotoAndFramePictureKeepTheOrderAndLockButtonsOff)
{
    const SKTGraphicPtr photo = selectable(made<SKTImage>());
    photo->control_ID = QStringLiteral("PARTY_IMAGE");
    design.framePictureSelected = true;
    panel.Show_RHS_Properties(photo.get());
    EXPECT_EQ(design.arrangeAndLockEnabled, false);
    design.arrangeAndLockEnabled.reset();
    panel.Show_RHS_Properties(photo.get());
    EXPECT_EQ(design.arrangeAndLockEnabled, false);

    // Any other picture, locked or not, has them on.
    design.framePictureSelected = false;
    const SKTGraphicPtr picture = selectable(made<SKTImage>());
    picture->ctrl_is_locked = true;
    panel.Show_RHS_Properties(picture.get());
    EXPECT_EQ(design.arrangeAndLockEnabled, true);
    EXPECT_EQ(design.buttonCalls.last(), QStringLiteral("lock"));
}

TEST_F(PropertiesPanelTest, ThePrintBoxShowsTheObjectsFlagAndSetsTheSelections)
{
    const SKTGraphicPtr line = selectable(made<SKTLine>());
    line->print_object = 1;
    panel.Show_RHS_Properties(line.get());
    EXPECT_TRUE(panel.print_object_chk->isChecked());
    EXPECT_TRUE(panel.print_object_chk->isVisibleTo(&panel));
    panel.print_object_chk->click();
    EXPECT_EQ(design.printFlags, QList<int>{0});
}

// Pictures of the tabs, to be looked at.
TEST_F(PropertiesPanelTest, TabsRenderForALook)
{
    panel.resize(320, 720);
    panel.show();
    auto shot = [this](const QString &name) {
        QApplication::processEvents();
        EXPECT_TRUE(panel.grab().save(testOutputPath(name)));
    };
    design.front.setCard_border_chk(true);
    design.front.setCard_fill_chk(true);
    design.front.setCard_fill_style(QStringLiteral("G"));
    design.front.setCard_Name(QStringLiteral("Birthday"));
    panel.Show_RHS_Properties(nullptr);
    shot(QStringLiteral("panel-card-settings.png"));
    panel.sett_tab->setCurrentIndex(1);
    shot(QStringLiteral("panel-card-background.png"));

    auto rounded = made<Shape_Control>(QStringLiteral("RR"));
    rounded->_fill_type = QStringLiteral("H");
    rounded->_fill_hatch_type = QStringLiteral("Dots");
    rounded->_fillColor = QColor(120, 180, 230);
    rounded->alpha_val = 0.8f;
    panel.Show_RHS_Properties(selectable(rounded).get());
    shot(QStringLiteral("panel-shape.png"));

    auto line = made<SKTLine>();
    line->_strokeWidth = 3;
    line->_strokeColor = QColor(200, 40, 40);
    line->alpha_val_stroke = 1.0f;
    panel.Show_RHS_Properties(selectable(line).get());
    shot(QStringLiteral("panel-line.png"));

    auto locked = made<SKTText>();
    locked->ctrl_is_locked = true;
    panel.Show_RHS_Properties(selectable(locked).get());
    shot(QStringLiteral("panel-lock.png"));
}

} // namespace
