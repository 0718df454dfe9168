#include "DesignWindowFixture.h"

#include "core/UnitConversion.h"
#include "document/SKTGraphicKinds.h"
#include "platform/ui/ColorWell.h"
#include "platform/ui/ImageBrowserView.h"
#include "properties/ui/CardBackgroundTab.h"
#include "properties/ui/CardPanel.h"
#include "properties/ui/DataSourceTab.h"
#include "properties/ui/FontPanel.h"
#include "properties/ui/Image_Library.h"
#include "properties/ui/LineTab.h"
#include "properties/ui/TextEditTab.h"
#include "properties/ui/TextPropertiesTab.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDialog>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
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

namespace {

class TextAndPictureInWindowTest : public PanelInWindowTest {
protected:
    SKTGraphicPtr place(void (SKTWindowController::*tool)())
    {
        (window.get()->*tool)();
        return document->graphics().at(0);
    }
};

TEST_F(TextAndPictureInWindowTest, TheTextTabsAreTheWindowsOwnAndEditTheSelectedTexts)
{
    EXPECT_EQ(window->Text_align_combo, window->text_prop_tab->Text_align_combo);
    EXPECT_EQ(window->Text_Date_style, window->text_edtng_tab->Text_Date_style);
    EXPECT_EQ(window->Data_source_type, window->datasource_tab->Data_source_type);
    EXPECT_EQ(window->Text_Date_style->itemText(5), QStringLiteral("yyyy-MM-dd"));

    const SKTGraphicPtr first = place(&SKTWindowController::Text_Tool_Clicked);
    EXPECT_EQ(window->sett_tab->widget(0), window->text_edtng_tab);
    window->text_edtng_tab->Text_value_Edit->setPlainText(QStringLiteral("Dear friends"));
    EXPECT_EQ(first->Text_contents().string, QStringLiteral("Dear friends"));

    const SKTGraphicPtr second = place(&SKTWindowController::Text_Tool_Clicked);
    window->_graphicView->changeSelectionIndexes({0, 1});
    window->text_prop_tab->Text_case_combo->setCurrentIndex(1);
    for (const SKTGraphicPtr &text : {first, second})
        EXPECT_EQ(text->text_transfrom_case, 1);
    window->text_prop_tab->Text_clr->setColor(QColor(0, 0, 120));
    window->Update_Text_Graphics();
    EXPECT_EQ(first->txt_clr, QColor(0, 0, 120));
    EXPECT_EQ(first->Text_contents().string, QStringLiteral("Dear friends"));
}

TEST_F(TextAndPictureInWindowTest, CardWideColourAndFontReachTheSidesTextsOnceAndTheFramePictureFollowsTheCard)
{
    const SKTGraphicPtr first = place(&SKTWindowController::Text_Tool_Clicked);
    const SKTGraphicPtr second = place(&SKTWindowController::Text_Tool_Clicked);
    auto frame = std::make_shared<SKTImage>();
    frame->control_ID = QStringLiteral("PARTY_IMAGE_BG");
    frame->setBounds(QRectF(5, 5, 10, 10));
    document->insertGraphics({frame}, {2});
    window->Back_Card_Btn_Clicked();
    window->Text_Tool_Clicked();
    const SKTGraphicPtr back = document->graphics_back().at(0);
    const QColor backColour = back->txt_clr;
    window->Front_Card_Btn_Clicked();
    window->Show_RHS_Properties(nullptr);

    CardSettingsTab *card = window->card_setting_tab;
    card->All_Text_clr->setColor(QColor(0, 120, 0));
    emit card->All_Text_clr->colorChanged(QColor(0, 120, 0));
    for (const SKTGraphicPtr &text : {first, second})
        EXPECT_EQ(text->txt_clr, QColor(0, 120, 0));
    EXPECT_EQ(back->txt_clr, backColour);
    EXPECT_EQ(window->Front_card_Prop.Card_Content_clr(), QColor(0, 120, 0));

    card->Content_Font_btn->click();
    QFontDialog *fonts = window->Properties_Panel->fontManager->fontPanel();
    ASSERT_NE(fonts, nullptr);
    fonts->setCurrentFont(QFont(QStringLiteral("Liberation Mono"), 16));
    for (const SKTGraphicPtr &text : {first, second})
        EXPECT_EQ(text->text_ctrl_font.family(), QStringLiteral("Liberation Mono"));
    EXPECT_EQ(card->All_Text_font_value->text(), QStringLiteral("Liberation Mono ( 16.00 )"));
    EXPECT_EQ(window->Front_card_Prop.Card_Content_font().family(), QStringLiteral("Liberation Mono"));
    fonts->close();

    // A text coloured and set by hand afterwards keeps its own through a size change and an undo.
    first->txt_clr = QColor(Qt::magenta);
    first->text_ctrl_font = QFont(QStringLiteral("Liberation Serif"), 9);
    card->width_Stepper->stepBy(10);
    window->Update_All_Card_Content();
    EXPECT_EQ(first->txt_clr, QColor(Qt::magenta));
    EXPECT_EQ(first->text_ctrl_font.family(), QStringLiteral("Liberation Serif"));
    EXPECT_EQ(frame->bounds(), window->_graphicView->canvasBounds());
    EXPECT_GT(frame->bounds().width(), 243.0);
}

TEST_F(TextAndPictureInWindowTest, APictureFileReplacesTheMainPhotoOnlyThroughTheMainPhotoObject)
{
    const QString before = resourcePath(QStringLiteral("before.png"));
    const QString chosen = resourcePath(QStringLiteral("chosen.png"));
    QImage(4, 4, QImage::Format_ARGB32).save(before);
    QImage(9, 6, QImage::Format_ARGB32).save(chosen);
    window->Update_frame_Main_Photo_And_Path(before, true);
    auto photo = std::make_shared<SKTImage>(QPointF(50, 50), before, QStringLiteral("PARTY_IMAGE"));
    auto picture = std::make_shared<SKTImage>(QPointF(50, 50), before);
    document->insertGraphics({photo, picture}, {0, 1});

    for (const auto &[object, replaces] : {std::pair{SKTGraphicPtr(picture), false}, std::pair{SKTGraphicPtr(photo), true}}) {
        SCOPED_TRACE(object->control_ID.toStdString());
        window->_graphicView->changeSelectionIndexes({document->graphics().indexOf(object.get())});
        window->_graphicView->setSelected_Graphic(object);
        services->fileAnswers = {chosen};
        window->datasource_tab->manual_brws_btn->click();
        EXPECT_EQ(object->_file_path, chosen);
        EXPECT_EQ(Win().Invite_Frame_Pic_IMG, replaces ? chosen : before);
        EXPECT_EQ(window->Main_Photo_original().size(), replaces ? QSize(9, 6) : QSize(4, 4));
    }
    EXPECT_EQ(static_cast<SKTImage &>(*picture)._contents.size(), QSize(9, 6));
}

TEST_F(TextAndPictureInWindowTest, TheLibraryButtonsOpenTheLibraryInTheirModes)
{
    writeFile(QStringLiteral("LibraryImage/party/hat.png"));
    QImage(5, 5, QImage::Format_ARGB32).save(resourcePath(QStringLiteral("LibraryImage/party/hat.png")));
    QImage(5, 5, QImage::Format_ARGB32).save(resourcePath(QStringLiteral("Frames/gold.png")));
    Image_Library *library = Image_Library::defaultInstance();
    QStringList titles;
    QTimer::singleShot(0, library, [&] {
        titles << library->windowTitle() << library->cat_cmbo_bx->currentText();
        library->imageBrowser->setSelectionIndexes({0});
        library->OK_Clicked();
    });
    EXPECT_EQ(window->chooseLibraryPicture(), resourcePath(QStringLiteral("LibraryImage/party/hat.png")));
    EXPECT_EQ(Win().Library_Selected_Image, Win().lib_window_sel_file);
    QTimer::singleShot(0, library, [&] {
        titles << library->windowTitle();
        library->imageBrowser->setSelectionIndexes({0});
        library->OK_Clicked();
    });
    EXPECT_EQ(window->chooseLibraryBackground(), resourcePath(QStringLiteral("Frames/gold.png")));
    EXPECT_EQ(titles, (QStringList{QStringLiteral("Image Library"), QStringLiteral("Party"), QStringLiteral("Frame Library")}));
}

// The Card menu's background command puts the library's picture on the side shown, and only there.
TEST_F(TextAndPictureInWindowTest, TheCardBackgroundCommandDressesOnlyTheSideShown)
{
    const QString gold = resourcePath(QStringLiteral("Frames/gold.png"));
    QImage(5, 5, QImage::Format_ARGB32).save(gold);
    Image_Library *library = Image_Library::defaultInstance();
    const QString frontBefore = window->Front_card_Prop.Card_BG_Image_Path();
    window->Back_Card_Btn_Clicked();
    QTimer::singleShot(0, library, [library] {
        library->imageBrowser->setSelectionIndexes({0});
        library->OK_Clicked();
    });
    window->Card_Bckgrnd_Clicked();
    EXPECT_EQ(window->Back_card_Prop.Card_BG_Image_Path(), gold);
    EXPECT_TRUE(window->Back_card_Prop.Card_fill_chk());
    EXPECT_EQ(window->Front_card_Prop.Card_BG_Image_Path(), frontBefore);
    EXPECT_TRUE(window->card_bkgd_tab->Card_fill_chk->isChecked());
    EXPECT_EQ(window->sett_tab->currentWidget(), window->card_bkgd_tab);
}

} // namespace
