#include "PanelTestSupport.h"

#include "core/UnitConversion.h"
#include "platform/ui/ColorWell.h"
#include "properties/ui/CardBackgroundTab.h"
#include "properties/ui/CardPanel.h"
#include "properties/ui/CardSettingsTab.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScopedValueRollback>
#include <QTableView>

#include <gtest/gtest.h>

namespace {

void pick(ColorWell *well, const QColor &colour)
{
    well->setColor(colour);
    emit well->colorChanged(colour);
}

class CardPanelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        {
            // As the window fills its lists: without a write-back.
            const QSignalBlocker quiet(card.card_bkgd_tab->Card_hatch_style);
            card.card_bkgd_tab->Card_hatch_style->addItems({QStringLiteral("Bricks"), QStringLiteral("Dots")});
        }
        card.card_setting_tab->ColList->setModel(&design.sizeList);
        design.showSizePresets(0);
        design.onUpdateAllCardContent = [this] { card.Update_Card_Graphics(); };
        // The size of the sample's preset, the stand-in's row 1.
        design.bounds = QRectF(0, 0, MM_to_Points_Convert(81), MM_to_Points_Convert(50));
        design.front = sampleSide();
        showCard();
    }

    // A side whose every value the panel can show as it is.
    static Card_Property sampleSide()
    {
        Card_Property side;
        side.setCard_border_chk(true);
        side.setCard_bordr_clr(QColor(20, 30, 40, 128));
        side.setCard_bor_Stepper(3);
        side.setCard_border_style(QStringLiteral("DO"));
        side.setCard_fill_chk(true);
        side.setCard_fill_style(QStringLiteral("H"));
        side.setCard_alpha_Stepper(0.5f);
        side.setCard_fill_clr(colorWithOpacity(QColor(200, 10, 10), 0.5));
        side.setCard_fill_Grd_1_clr(colorWithOpacity(QColor(0, 200, 0), 0.5));
        side.setCard_fill_Grd_2_clr(colorWithOpacity(QColor(0, 0, 200), 0.5));
        side.setCard_hatch_bk_clr(colorWithOpacity(QColor(250, 250, 0), 0.5));
        side.setCard_grad_Stepper(30);
        side.setCard_hatch_style(QStringLiteral("Dots"));
        side.setCard_BG_Image_Path(QStringLiteral("/pictures/frame.png"));
        side.setCard_BG_Image_Layout(QStringLiteral("Tile"));
        side.setCard_Content_clr(QColor(Qt::darkBlue));
        side.setCard_Content_font(QFont(QStringLiteral("Liberation Serif"), 11));
        side.setCard_Name(QStringLiteral("Party"));
        side.setCard_Preset(QStringLiteral("Horizontal"));
        side.setCard_Category(QStringLiteral("PVC Card"));
        side.setCard_Sub_Category(QStringLiteral("CR79"));
        side.setCard_Cat_index(1);
        return side;
    }

    void showCard()
    {
        const QScopedValueRollback<bool> filling(App().Not_Draw_Only_Prop_Change, true);
        card.fill();
    }

public:
    AppFixture app;
    ScopedScriptedServices services;
    FakeDesign design;
    CardPanel card{design};
    CardSettingsTab &s = *card.card_setting_tab;
    CardBackgroundTab &b = *card.card_bkgd_tab;
};

TEST_F(CardPanelTest, ShowingASideAndWritingItBackLeavesItAsItWas)
{
    Card_Property expected = sampleSide();
    // Showing the side gives it the card's place and size.
    expected.setCard_Location(design.bounds.topLeft());
    expected.setCard_Size(design.bounds.size());
    EXPECT_EQ(design.front, expected);
    card.Update_Card_Graphics();
    EXPECT_EQ(design.front, expected);
    EXPECT_EQ(design.refreshes, 1);
    EXPECT_EQ(App().All_Text_font.family(), QStringLiteral("Liberation Serif"));
    EXPECT_EQ(s.All_Text_font_value->text(), QStringLiteral("Liberation Serif ( 11.00 )"));
    EXPECT_EQ(s.All_Text_font_COPY, QFont(QStringLiteral("Liberation Serif"), 11));
    EXPECT_EQ(s.All_Text_clr_COPY->color(), QColor(Qt::darkBlue));
}

TEST_F(CardPanelTest, EveryControlWritesIntoTheCurrentSidesSettings)
{
    using Field = std::function<QVariant(const Card_Property &)>;
    const struct {
        const char *control;
        std::function<void(CardPanelTest &)> change;
        Field field;
        QVariant expected;
    } cases[] = {
        {"Card_border_chk", [](CardPanelTest &t) { t.s.Card_border_chk->click(); },
         [](const Card_Property &p) { return QVariant(p.Card_border_chk()); }, false},
        {"Card_bor_Stepper", [](CardPanelTest &t) { t.s.Card_bor_Stepper->stepBy(2); },
         [](const Card_Property &p) { return QVariant(p.Card_bor_Stepper()); }, 5},
        {"Card_bor_Text", [](CardPanelTest &t) { typeInto(t.s.Card_bor_Stepper, QStringLiteral("9")); },
         [](const Card_Property &p) { return QVariant(p.Card_bor_Stepper()); }, 9},
        {"Card_bordr_clr", [](CardPanelTest &t) { pick(t.s.Card_bordr_clr, QColor(1, 1, 1)); },
         [](const Card_Property &p) { return QVariant(p.Card_bordr_clr()); }, QColor(1, 1, 1)},
        {"Card_border_style", [](CardPanelTest &t) { t.s.Card_border_style->setCurrentIndex(4); },
         [](const Card_Property &p) { return QVariant(p.Card_border_style()); }, QStringLiteral("DDD")},
        {"Card_fill_chk", [](CardPanelTest &t) { t.b.Card_fill_chk->click(); },
         [](const Card_Property &p) { return QVariant(p.Card_fill_chk()); }, false},
        {"Card_fill_clr", [](CardPanelTest &t) { t.b.Card_solid_fill_rd->click(); pick(t.b.Card_fill_clr, Qt::cyan); },
         [](const Card_Property &p) { return QVariant(p.Card_fill_clr()); }, colorWithOpacity(Qt::cyan, 0.5)},
        {"Card_gradient_fill_rd", [](CardPanelTest &t) { t.b.Card_gradient_fill_rd->click(); },
         [](const Card_Property &p) { return QVariant(p.Card_fill_style()); }, QStringLiteral("G")},
        {"Card_Image_fill_rd", [](CardPanelTest &t) { t.b.Card_Image_fill_rd->click(); },
         [](const Card_Property &p) { return QVariant(p.Card_fill_style()); }, QStringLiteral("I")},
        {"Card_solid_fill_rd", [](CardPanelTest &t) { t.b.Card_solid_fill_rd->click(); },
         [](const Card_Property &p) { return QVariant(p.Card_fill_style()); }, QStringLiteral("S")},
        {"Card_fill_Grd_1_clr", [](CardPanelTest &t) { pick(t.b.Card_fill_Grd_1_clr, Qt::white); },
         [](const Card_Property &p) { return QVariant(p.Card_fill_Grd_1_clr()); }, colorWithOpacity(Qt::white, 0.5)},
        {"Card_grad_Stepper", [](CardPanelTest &t) { t.b.Card_grad_Stepper->stepBy(5); },
         [](const Card_Property &p) { return QVariant(p.Card_grad_Stepper()); }, 35},
        {"Card_hatch_bk_clr", [](CardPanelTest &t) { pick(t.b.Card_hatch_bk_clr, Qt::gray); },
         [](const Card_Property &p) { return QVariant(p.Card_hatch_bk_clr()); }, colorWithOpacity(Qt::gray, 0.5)},
        {"Card_hatch_style", [](CardPanelTest &t) { t.b.Card_hatch_style->setCurrentIndex(0); },
         [](const Card_Property &p) { return QVariant(p.Card_hatch_style()); }, QStringLiteral("Bricks")},
        {"Card_alpha_Stepper", [](CardPanelTest &t) { t.b.Card_alpha_Stepper->stepBy(-25); },
         [](const Card_Property &p) { return QVariant(p.Card_alpha_Stepper()); }, 0.25f},
        {"Card_alpha_Text", [](CardPanelTest &t) { typeInto(t.b.Card_alpha_Stepper, QStringLiteral("100")); },
         [](const Card_Property &p) { return QVariant(p.Card_hatch_bk_clr().alphaF()); }, 1.0},
        {"Card_image_layout", [](CardPanelTest &t) { t.b.Card_image_layout->setCurrentIndex(0); },
         [](const Card_Property &p) { return QVariant(p.Card_BG_Image_Layout()); }, QStringLiteral("Center")},
        {"ColList", [](CardPanelTest &t) { t.card.Mark_List_New_Selection(0); t.s.Card_bor_Stepper->stepBy(1); },
         [](const Card_Property &p) { return QVariant(p.Card_Sub_Category()); }, QStringLiteral("CR80")},
        {"card_name", [](CardPanelTest &t) { t.s.card_name->setText(QStringLiteral(" New ")); t.s.Card_bor_Stepper->stepBy(1); },
         [](const Card_Property &p) { return QVariant(p.Card_Name()); }, QStringLiteral("New")},
        {"Sides_ComboBox", [](CardPanelTest &t) { t.s.Sides_ComboBox->setCurrentIndex(1); t.s.Card_bor_Stepper->stepBy(1); },
         [](const Card_Property &p) { return QVariant(p.Card_Side()); }, QStringLiteral("1")},
        {"matrix_card_shape", [](CardPanelTest &t) { t.s.matrix_card_shape_rows->button(2)->click(); },
         [](const Card_Property &p) { return QVariant(p.Card_Shape()); }, QStringLiteral("E")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.control);
        App().Card_Shape = 0;
        s.Sides_ComboBox->setCurrentIndex(0);
        design.front = sampleSide();
        showCard();
        c.change(*this);
        EXPECT_EQ(c.field(design.front), c.expected);
        EXPECT_GE(design.refreshes, 1);
        design.refreshes = 0;
    }
}

TEST_F(CardPanelTest, EditsOnTheBackGoToTheBackAndAFillThatIsOffStoresSolidThere)
{
    App().Card_Front_Or_Back = 1;
    design.back = sampleSide();
    showCard();
    const Card_Property front = design.front;
    b.Card_gradient_fill_rd->click();
    EXPECT_EQ(design.back.Card_fill_style(), QStringLiteral("G"));
    EXPECT_EQ(design.back.Card_Side_Name(), QStringLiteral("B"));
    b.Card_fill_chk->click(); // off
    EXPECT_EQ(design.back.Card_fill_style(), QStringLiteral("S"));
    EXPECT_EQ(design.front, front);
    // The back takes the front canvas's place and size too.
    EXPECT_EQ(design.back.Card_Size(), design.bounds.size());
}

TEST_F(CardPanelTest, FillRadiosAndControlsFollowTheFillStyle)
{
    const struct {
        const char *style;
        QRadioButton *CardBackgroundTab::*radio;
        bool solid, gradient, hatch, picture;
    } cases[] = {{"G", &CardBackgroundTab::Card_gradient_fill_rd, false, true, false, false},
                 {"H", &CardBackgroundTab::Card_Style_fill_rd, false, false, true, false},
                 {"I", &CardBackgroundTab::Card_Image_fill_rd, false, false, false, true},
                 {"S", &CardBackgroundTab::Card_solid_fill_rd, true, false, false, false},
                 {"Q", &CardBackgroundTab::Card_solid_fill_rd, true, false, false, false}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.style);
        // With the fill off the style's own controls still win over the box.
        b.Card_fill_chk->setChecked(false);
        card.card_prop_set(QString::fromLatin1(c.style));
        for (QRadioButton *radio : {b.Card_solid_fill_rd, b.Card_gradient_fill_rd, b.Card_Style_fill_rd,
                                    b.Card_Image_fill_rd})
            EXPECT_EQ(radio->isChecked(), radio == b.*c.radio);
        EXPECT_EQ(b.Card_fill_clr->isEnabled(), c.solid);
        EXPECT_EQ(b.Card_fill_Grd_2_clr->isEnabled(), c.gradient);
        EXPECT_EQ(b.Card_grad_Stepper->isEnabled(), c.gradient);
        EXPECT_EQ(b.Card_hatch_bk_clr->isEnabled(), c.hatch);
        EXPECT_EQ(b.Card_Image_path->isEnabled(), c.picture);
        EXPECT_EQ(b.Card_Image_Browse_btn->isEnabled(), c.picture);
        EXPECT_FALSE(b.Card_alpha_Stepper->isEnabled());
    }
}

TEST_F(CardPanelTest, ThePatternListChangesOnlyForAPatternFill)
{
    b.Card_hatch_style->setCurrentIndex(0);
    design.front.setCard_fill_style(QStringLiteral("G"));
    design.front.setCard_hatch_style(QStringLiteral("Dots"));
    showCard();
    EXPECT_EQ(b.Card_hatch_style->currentIndex(), 0);
    design.front.setCard_fill_style(QStringLiteral("H"));
    design.front.setCard_hatch_style(QString());
    showCard();
    EXPECT_EQ(b.Card_hatch_style->currentIndex(), -1);
}

TEST_F(CardPanelTest, SizeStepsApplyAtOnceTypingWaitsForApply)
{
    design.bounds = QRectF(0, 0, 100, 50);
    s.width_Stepper->setValue(80);
    s.height_Stepper->setValue(50);
    typeInto(s.width_Stepper, QStringLiteral("90"));
    EXPECT_TRUE(design.canvasSizes.isEmpty());
    s.width_Stepper->stepBy(1);
    ASSERT_EQ(design.canvasSizes.size(), 1);
    EXPECT_FLOAT_EQ(static_cast<float>(design.canvasSizes.last().width()), MM_to_Points_Convert(91.0f));
    EXPECT_FLOAT_EQ(static_cast<float>(design.canvasSizes.last().height()), MM_to_Points_Convert(50.0f));
    // The card settings follow through the card-wide update.
    EXPECT_EQ(design.cardContentUpdates, 1);
    EXPECT_EQ(design.front.Card_Size(), QSizeF(100, 50));
    typeInto(s.height_Stepper, QStringLiteral("20"));
    s.Apply_Size_btn->click();
    EXPECT_FLOAT_EQ(static_cast<float>(design.canvasSizes.last().height()), MM_to_Points_Convert(20.0f));
}

TEST_F(CardPanelTest, BackgroundPicturesGoToTheCurrentSide)
{
    // The picture buttons work with a picture fill.
    b.Card_Image_fill_rd->click();
    services->fileAnswers = {QStringLiteral("/pictures/chosen.png")};
    b.Card_Image_Browse_btn->click();
    b.Card_Image_Browse_btn->click(); // cancelled: nothing more
    design.libraryAnswer = QStringLiteral("/library/frame.png");
    b.Card_Image_Library_btn->click();
    design.libraryAnswer.clear();
    const int refreshes = design.refreshes;
    b.Card_Image_Library_btn->click(); // cancelled: the panel is written back all the same
    EXPECT_EQ(design.backgrounds, (QStringList{QStringLiteral("/pictures/chosen.png"),
                                               QStringLiteral("/library/frame.png")}));
    EXPECT_EQ(design.refreshes, refreshes + 1);
}

TEST_F(CardPanelTest, ListsRunTheirChoices)
{
    s.Sides_ComboBox->setCurrentIndex(1);
    EXPECT_EQ(design.twoSided, false);
    s.Sides_ComboBox->setCurrentIndex(0);
    EXPECT_EQ(design.twoSided, true);
    design.shownCategories.clear();
    s.Category_ComboBox->setCurrentIndex(1);
    s.Preset_ComboBox->setCurrentIndex(1);
    EXPECT_EQ(design.shownCategories, (QList<int>{1, 1}));
    EXPECT_EQ(s.ColList->selectionModel()->selectedRows().first().row(), 0);
    card.Mark_List_New_Selection(5);
    EXPECT_TRUE(s.ColList->selectionModel()->selectedRows().isEmpty());
}

TEST_F(CardPanelTest, TheContentColourGoesToTheTextsOfTheSide)
{
    pick(s.All_Text_clr, QColor(Qt::red));
    EXPECT_EQ(design.cardContentUpdates, 1);
    EXPECT_EQ(design.front.Card_Content_clr(), QColor(Qt::red));
}

} // namespace
