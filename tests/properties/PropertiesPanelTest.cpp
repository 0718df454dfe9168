#include "PanelTestSupport.h"

#include "datasource/Data_From_Excel.h"
#include "platform/ui/ColorWell.h"
#include "properties/ui/CardBackgroundTab.h"
#include "properties/ui/CardPanel.h"
#include "properties/ui/CardSettingsTab.h"
#include "properties/ui/DataSourceTab.h"
#include "properties/ui/ImageTab.h"
#include "properties/ui/LineTab.h"
#include "properties/ui/PropertiesPanel.h"
#include "properties/ui/ShapeTab.h"
#include "properties/ui/SignatureTab.h"
#include "properties/ui/TextEditTab.h"
#include "properties/ui/TextPanel.h"
#include "properties/ui/TextPropertiesTab.h"
#include "properties/TextPanelValues.h"

#include <QDir>
#include <QScopeGuard>
#include <QFile>
#include <QGroupBox>
#include <QPlainTextEdit>
#include <QPushButton>

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
    PropertiesPanel panel{design, design, design};
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

TEST_F(PropertiesPanelTest, EveryListOfThePanelReachesItsWriteBack)
{
    QDir().mkpath(App().Data_Folder_Path);
    QFile series(App().Data_Folder_Path + QStringLiteral("/Guests.txt"));
    ASSERT_TRUE(series.open(QIODevice::WriteOnly));
    series.write("Dana\n");
    series.close();
    panel.datasource_tab->Data_source_type->addItem(QStringLiteral("Excel"));
    Data_From_Excel &excel = *Data_From_Excel::defaultInstance();
    excel.setColumnTitles({QStringLiteral("#"), QStringLiteral("Name")});
    excel.Create_List_By_Array({QStringLiteral("Erin")}, 1);
    const QScopeGuard forget([&excel] { excel.reset(); });
    panel.card_bkgd_tab->Card_image_layout->setCurrentIndex(0);
    const auto objectField = [this](std::function<QVariant(SKTGraphic &)> field) {
        return [this, field] {
            QVariantList values;
            for (const SKTGraphicPtr &graphic : design.selection)
                values << field(*graphic);
            return QVariant(values);
        };
    };
    const auto onAll = [](const QVariant &value) { return QVariant(QVariantList(5, value)); };
    const struct {
        const char *list;
        int item;
        std::function<QVariant()> outcome;
        QVariant expected;
    } cases[] = {
        {"Text_border_style", 2, objectField([](SKTGraphic &g) { return QVariant(g._stroke_border_type); }), onAll(QStringLiteral("DO"))},
        {"Text_align_combo", 1, objectField([](SKTGraphic &g) { return QVariant(g.text_alignmnet); }), onAll(1)},
        {"Text_vert_align_combo", 2, objectField([](SKTGraphic &g) { return QVariant(g.text_alignmnet_Vert); }), onAll(2)},
        {"Text_case_combo", 3, objectField([](SKTGraphic &g) { return QVariant(g.text_transfrom_case); }), onAll(3)},
        {"shape_border_style", 3, objectField([](SKTGraphic &g) { return QVariant(g._stroke_border_type); }), onAll(QStringLiteral("DD"))},
        {"shape_hatch_style", 1, objectField([](SKTGraphic &g) { return QVariant(g._fill_hatch_type); }), onAll(QStringLiteral("Dots"))},
        {"Line_border_style", 4, objectField([](SKTGraphic &g) { return QVariant(g._stroke_border_type); }), onAll(QStringLiteral("DDD"))},
        {"Line_ori_style", 2, objectField([](SKTGraphic &g) { return QVariant(g._line_ori); }), onAll(2)},
        {"Line_cap_style", 1, objectField([](SKTGraphic &g) { return QVariant(g._line_cap_style); }), onAll(1)},
        {"Image_border_style", 1, objectField([](SKTGraphic &g) { return QVariant(g._stroke_border_type); }), onAll(QStringLiteral("DA"))},
        {"Sign_border_style", 3, objectField([](SKTGraphic &g) { return QVariant(g._stroke_border_type); }), onAll(QStringLiteral("DD"))},
        {"Card_border_style", 1, [this] { return QVariant(design.front.Card_border_style()); }, QStringLiteral("DA")},
        {"Card_hatch_style", 1, [this] { return QVariant(design.front.Card_hatch_style()); }, QStringLiteral("Dots")},
        {"Card_image_layout", 2, [this] { return QVariant(design.front.Card_BG_Image_Layout()); }, QStringLiteral("Tile")},
        {"Data_source_type", 1, [this] { return QVariant(design.current->binding.data_source_type); }, 1},
        {"Batch_Series", 0, [this] { return QVariant(storedText(*design.current)); }, QStringLiteral("Dana")},
        {"Data_source_type", 2, [this] { return QVariant(storedText(*design.current)); }, QStringLiteral("1")},
        {"Batch_Series", 1, [this] { return QVariant(storedText(*design.current)); }, QStringLiteral("Erin")},
        {"Sides_ComboBox", 1, [this] { return QVariant(design.twoSided.value_or(true)); }, false},
        {"Category_ComboBox", 1, [this] { return QVariant(design.shownCategories.value(design.shownCategories.size() - 1)); }, 1},
        {"Preset_ComboBox", 1, [this] { return QVariant(design.shownCategories.size()); }, 3},
    };
    auto text = made<SKTText>();
    design.current = text;
    design.selection = {text, made<SKTImage>(), made<SKTSignature>(), made<Shape_Control>(QStringLiteral("R")),
                        made<SKTLine>()};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.list);
        auto *list = panel.findChild<QComboBox *>(QString::fromLatin1(c.list));
        ASSERT_NE(list, nullptr);
        list->setCurrentIndex(c.item);
        EXPECT_EQ(c.outcome(), c.expected);
    }
}

TEST_F(PropertiesPanelTest, TextsAndPicturesShowTheirSourceAndValues)
{
    panel.show();
    auto title = made<SKTText>();
    title->control_ID = QStringLiteral("PARTY_TITLE");
    title->Text_contents().string = QStringLiteral("Welcome");
    title->txt_clr = QColor(Qt::darkRed);
    title->print_object = 1;
    design.current = title;
    panel.Show_RHS_Properties(selectable(title).get());
    EXPECT_EQ(panel.text_edtng_tab->Text_value_Edit->toPlainText(), QStringLiteral("Welcome"));
    EXPECT_TRUE(panel.text_edtng_tab->insert_template_btn->isVisibleTo(panel.text_edtng_tab));
    EXPECT_EQ(panel.text_prop_tab->Text_clr->color(), QColor(Qt::darkRed));
    EXPECT_FALSE(panel.datasource_tab->manual_brws_box->isVisibleTo(panel.datasource_tab));
    EXPECT_TRUE(panel.print_object_chk->isChecked());

    auto picture = made<SKTImage>();
    picture->_file_path = QStringLiteral("/pictures/cake.png");
    picture->hue_val = 1.0f;
    design.current = picture;
    panel.Show_RHS_Properties(selectable(picture).get());
    EXPECT_EQ(panel.datasource_tab->Manual_image_path->text(), QStringLiteral("/pictures/cake.png"));
    EXPECT_TRUE(panel.datasource_tab->manual_brws_box->isVisibleTo(panel.datasource_tab));
    EXPECT_EQ(panel.image_tab->Hue_slidr_val->text(), QStringLiteral("1.00"));
    EXPECT_EQ(panel.datasource_tab->data_source_title->text(), QStringLiteral("Image Source"));
    // Filling wrote nothing back.
    EXPECT_EQ(design.refreshes, 0);
    EXPECT_EQ(storedText(*title), QStringLiteral("Welcome"));
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

    panel.text_edtng_tab->Text_Date_style->addItems({QStringLiteral("M-d-yyyy"), QStringLiteral("yyyy-MM-dd")});
    panel.text_edtng_tab->Text_Time_style->addItems({QStringLiteral("h:mm:ss a"), QStringLiteral("HH:mm:ss")});
    auto title = made<SKTText>();
    title->control_ID = QStringLiteral("PARTY_TITLE");
    title->Text_contents().string = QStringLiteral("You are invited!\nSaturday at eight");
    title->text_ctrl_font = QFont(QStringLiteral("Liberation Serif"), 22);
    title->txt_clr = QColor(150, 30, 60);
    title->_isDrawingFill = true;
    title->_fill_type = QStringLiteral("G");
    title->Drawing_Shadow = true;
    title->Shadow_transparency = 0.4f;
    title->text_rotation = 12;
    design.current = title;
    panel.Show_RHS_Properties(selectable(title).get());
    shot(QStringLiteral("panel-text.png"));
    panel.sett_tab->setCurrentIndex(1);
    shot(QStringLiteral("panel-text-properties.png"));
    panel.sett_tab->setCurrentIndex(2);
    shot(QStringLiteral("panel-text-source.png"));

    auto picture = made<SKTImage>();
    picture->_file_path = QStringLiteral("/home/guest/Pictures/garden party.jpg");
    picture->_isDrawingStroke = true;
    picture->Sepia = true;
    picture->sat_val = 1.4f;
    picture->img_trnsp_val = 90;
    design.current = picture;
    panel.Show_RHS_Properties(selectable(picture).get());
    shot(QStringLiteral("panel-image-source.png"));
    panel.sett_tab->setCurrentIndex(1);
    shot(QStringLiteral("panel-image.png"));

    auto sign = made<SKTSignature>();
    sign->_file_path = QStringLiteral("/home/guest/Pictures/signature.png");
    design.current = sign;
    panel.Show_RHS_Properties(selectable(sign).get());
    shot(QStringLiteral("panel-signature.png"));
}

} // namespace
