#include "DesignWindowFixture.h"

#include "core/WindowUtilities.h"
#include "document/SKTGraphicKinds.h"
#include "platform/ui/ColorWell.h"
#include "properties/ui/CardPanel.h"
#include "properties/ui/LineTab.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

namespace {

class PanelInWindowTest : public DesignWindowTest {
protected:
    void SetUp() override
    {
        DesignWindowTest::SetUp();
        load();
    }

    static bool on(QToolButton *button) { return button->defaultAction()->isEnabled(); }

    // The eight object buttons, in the order of the command bar.
    QList<bool> objectButtons() const
    {
        QList<bool> states;
        for (QToolButton *button : {window->Cut_btn, window->Copy_btn, window->Paste_btn, window->Delete_btn,
                                    window->Begin_Front_btn, window->Send_Back_btn, window->Lock_btn,
                                    window->Unlock_btn})
            states << on(button);
        return states;
    }
};

TEST_F(PanelInWindowTest, ShapeEditsReachEverySelectedObjectOfTheCurrentSideOnly)
{
    window->Rect_Tool_Clicked();
    window->Line_Tool_Clicked();
    const SKTGraphicPtr front = document->graphics().at(0);
    window->Back_Card_Btn_Clicked();
    window->Rect_Tool_Clicked();
    window->Star_Tool_Clicked();
    window->_graphicView_BACK->changeSelectionIndexes({0, 1});
    // The panel shows the star, the object the tool made last.
    EXPECT_EQ(window->sett_tab->tabText(0), QStringLiteral("Star Properties"));
    window->shape_tab->shape_bor_Stepper->stepBy(4);
    for (const SKTGraphicPtr &graphic : document->graphics_back().items())
        EXPECT_EQ(graphic->_strokeWidth, 5.0);
    EXPECT_EQ(front->_strokeWidth, 1.0);
    // The window's own write-back is the tab's.
    window->shape_tab->shape_bor_Stepper->setValue(8);
    window->Update_Shape_Graphics();
    EXPECT_EQ(document->graphics_back().at(1)->_strokeWidth, 8.0);
}

TEST_F(PanelInWindowTest, LineEditsWriteTheLineTab)
{
    window->Line_Tool_Clicked();
    const SKTGraphicPtr line = document->graphics().at(0);
    EXPECT_EQ(window->sett_tab->widget(0), window->line_tab);
    window->line_tab->Line_cap_style->setCurrentIndex(1);
    window->line_tab->Line_alpha_Stepper->stepBy(-55);
    EXPECT_EQ(line->_line_cap_style, 1);
    EXPECT_FLOAT_EQ(line->alpha_val_stroke, 0.45f);
}

TEST_F(PanelInWindowTest, CardEditsGoToTheSideShownAndSwitchingSidesShowsTheOther)
{
    window->card_bkgd_tab->Card_fill_chk->click();
    window->card_bkgd_tab->Card_gradient_fill_rd->click();
    EXPECT_TRUE(window->Front_card_Prop.Card_fill_chk());
    EXPECT_EQ(window->Front_card_Prop.Card_fill_style(), QStringLiteral("G"));
    EXPECT_EQ(window->Front_card_Prop.Card_Sub_Category(), QStringLiteral("CR80-Credit Card Size"));

    window->Back_Card_Btn_Clicked();
    EXPECT_FALSE(window->card_bkgd_tab->Card_fill_chk->isChecked());
    EXPECT_TRUE(window->card_bkgd_tab->Card_solid_fill_rd->isChecked());
    window->card_setting_tab->Card_bor_Stepper->stepBy(2);
    EXPECT_EQ(window->Back_card_Prop.Card_bor_Stepper(), 3);
    EXPECT_EQ(window->Back_card_Prop.Card_Side_Name(), QStringLiteral("B"));
    EXPECT_EQ(window->Front_card_Prop.Card_bor_Stepper(), 1);

    window->Front_Card_Btn_Clicked();
    EXPECT_TRUE(window->card_bkgd_tab->Card_gradient_fill_rd->isChecked());
    EXPECT_EQ(window->card_setting_tab->Card_bor_Stepper->value(), 1);
}

TEST_F(PanelInWindowTest, TheSizeStepperAndTheShapeMatrixResizeAndReshapeTheCard)
{
    const double width = window->card_setting_tab->width_Stepper->value();
    EXPECT_NEAR(width, Points_to_MM_Convert(243), 0.001);
    window->card_setting_tab->width_Stepper->stepBy(10);
    const QSizeF size = window->_graphicView->canvasSize();
    EXPECT_FLOAT_EQ(static_cast<float>(size.width()), MM_to_Points_Convert(static_cast<float>(width + 10)));
    EXPECT_EQ(window->_graphicView_BACK->canvasSize(), size);
    EXPECT_EQ(window->Front_card_Prop.Card_Size(), size);

    window->card_setting_tab->matrix_card_shape_rows->button(1)->click();
    EXPECT_EQ(App().Card_Shape, 1);
    EXPECT_EQ(window->Front_card_Prop.Card_Shape(), QStringLiteral("RR"));
}

TEST_F(PanelInWindowTest, TheSidesListDecidesWhetherTheBackTakesPart)
{
    window->card_setting_tab->Sides_ComboBox->setCurrentIndex(1);
    EXPECT_EQ(Win().CARD_SIDE_STR, QStringLiteral("1"));
    EXPECT_FALSE(window->Back_Side_btn->isEnabled());
    window->card_setting_tab->Sides_ComboBox->setCurrentIndex(0);
    EXPECT_EQ(Win().CARD_SIDE_STR, QStringLiteral("2"));
    EXPECT_TRUE(window->Back_Side_btn->isEnabled());
}

TEST_F(PanelInWindowTest, ObjectButtonsFollowWhatThePanelShowsAndThePasteboard)
{
    const QString graphicsType = SKTGraphicView::SKTGraphicViewPasteboardType;
    const struct {
        QList<platform::Pasteboard::Item> pasteboard;
        bool paste;
    } boards[] = {{{{graphicsType, "x"}}, true},
                  {{{graphicsType, "x"}, {QStringLiteral("text/uri-list"), "file:///a.png"}}, true},
                  {{{QStringLiteral("text/uri-list"), "file:///a.png"}}, false},
                  {{}, false}};
    window->Rect_Tool_Clicked();
    const SKTGraphicPtr shape = document->graphics().at(0);
    for (const auto &board : boards) {
        pasteboard.writeItems(board.pasteboard);
        window->Show_RHS_Properties(nullptr);
        EXPECT_EQ(objectButtons(), (QList<bool>{false, false, board.paste, false, false, false, false, false}));
        window->Show_RHS_Properties(shape.get());
        EXPECT_EQ(objectButtons(), (QList<bool>{true, true, board.paste, true, true, true, true, false}));
        shape->ctrl_is_locked = true;
        window->Show_RHS_Properties(shape.get());
        EXPECT_EQ(objectButtons(), (QList<bool>{false, false, false, false, false, false, false, true}));
        shape->ctrl_is_locked = false;
    }
}

TEST_F(PanelInWindowTest, BackgroundPicturesReachTheSideAndThePanel)
{
    const QString picture = resourcePath(QStringLiteral("paper.png"));
    QImage(6, 4, QImage::Format_ARGB32).save(picture);
    window->Back_Card_Btn_Clicked();
    window->set_Back_BG_Image(picture);
    EXPECT_TRUE(window->Back_card_Prop.Card_fill_chk());
    EXPECT_EQ(window->Back_card_Prop.Card_fill_style(), QStringLiteral("I"));
    EXPECT_EQ(window->Back_card_Prop.Card_BG_Image().size(), QSize(6, 4));
    EXPECT_TRUE(window->card_bkgd_tab->Card_Image_fill_rd->isChecked());
    EXPECT_EQ(window->card_bkgd_tab->Card_Image_path->text(), picture);

    // An empty path clears the field and nothing else.
    window->set_Back_BG_Image(QString());
    EXPECT_TRUE(window->card_bkgd_tab->Card_Image_path->text().isEmpty());
    EXPECT_EQ(window->Back_card_Prop.Card_BG_Image_Path(), picture);

    // On the front the frame picture shows it and becomes the current object.
    window->Front_Card_Btn_Clicked();
    auto frame = std::make_shared<SKTImage>();
    frame->control_ID = QStringLiteral("PARTY_IMAGE_BG");
    document->insertGraphics({frame}, {0});
    services->fileAnswers = {picture};
    window->card_bkgd_tab->Card_fill_chk->click();
    window->card_bkgd_tab->Card_Image_fill_rd->click();
    window->card_bkgd_tab->Card_Image_Browse_btn->click();
    EXPECT_EQ(frame->FilePath(), picture);
    EXPECT_EQ(window->_graphicView->Selected_Graphic(), frame);
    EXPECT_EQ(window->Front_card_Prop.Card_BG_Image_Path(), picture);
    EXPECT_EQ(window->Front_card_Prop.Card_fill_style(), QStringLiteral("I"));
}

TEST_F(PanelInWindowTest, WindowWithAShapeShownRendersForALook)
{
    window->Round_Rect_Tool_Clicked();
    window->shape_tab->shape_fill_clr->setColor(QColor(120, 180, 230));
    emit window->shape_tab->shape_fill_clr->colorChanged(QColor(120, 180, 230));
    window->Main_wnd->show();
    QApplication::processEvents();
    EXPECT_TRUE(window->Main_wnd->grab().save(testOutputPath(QStringLiteral("design-window-shape.png"))));
}

} // namespace
