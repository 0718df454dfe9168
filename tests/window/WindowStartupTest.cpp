#include "DesignWindowFixture.h"

#include <QScreen>

#include "canvas/ui/SKTZoomingScrollView.h"
#include "document/Shape_Control.h"
#include "output/OutputState.h"
#include "profile/ProfileState.h"
#include "profile/User_Profile_Class.h"
#include "window/Card_Wizard.h"
#include "platform/ui/ColorWell.h"
#include "window/Grid_Wizard.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QComboBox>
#include <QLabel>
#include <QMainWindow>
#include <QSpinBox>

namespace {

SKTGraphicPtr rectangleAt(double x, double y)
{
    auto shape = std::make_shared<Shape_Control>();
    shape->setBounds(QRectF(x, y, 40, 30));
    return shape;
}

} // namespace

TEST_F(DesignWindowTest, OneControllerIsTheHubAndDefaultInstanceForItsLife)
{
    EXPECT_EQ(SKTWindowController::defaultInstance(), window.get());
    EXPECT_EQ(App().Main_App_wnd, static_cast<DesignWindowHub *>(window.get()));
    // Later documents get no window.
    SKTDocument second;
    EXPECT_EQ(SKTWindowController::makeWindowControllers(second), nullptr);
    // Creation loads nothing yet.
    EXPECT_FALSE(window->isWindowLoaded());
    EXPECT_EQ(window->_graphicView, nullptr);
    EXPECT_EQ(window->Selected_Control_Tool(), 0);
    EXPECT_EQ(window->_zoomFactor, 1.0);
    EXPECT_EQ(window->pvc_card_arry.size(), 7);
    EXPECT_EQ(window->paper_card_arry.size(), 8);
    EXPECT_EQ(window->pvc_card_arry.first(), QStringLiteral("CR80-Credit Card Size"));
    EXPECT_EQ(window->paper_card_arry.last(), QStringLiteral("Durable 1459 - Name Badge"));
    ASSERT_TRUE(window->Front_user_profile && window->Back_user_profile && window->TEMP_user_profile);
    EXPECT_EQ(window->Front_user_profile->Name_id, QStringLiteral("Fup_Name"));

    window.reset();
    EXPECT_EQ(SKTWindowController::defaultInstance(), nullptr);
    EXPECT_EQ(App().Main_App_wnd, nullptr);
}

TEST_F(DesignWindowTest, StartUpPreparesEverythingBeforeTheStartWizardRuns)
{
    writeFile(QStringLiteral("Fill_Style_Image/b.png"));
    writeFile(QStringLiteral("Fill_Style_Image/a.png"));
    Output().sender_email = QStringLiteral("left over");
    bool checked = false;
    window->onStartWizard = [&]() -> int {
        checked = true;
        // The window is up, at most 1000 x 800 and within the screen's free area.
        EXPECT_TRUE(window->Main_wnd->isVisible());
        EXPECT_LE(window->Main_wnd->height(), 800);
        EXPECT_LE(window->Main_wnd->frameGeometry().bottom(), window->Main_wnd->screen()->availableGeometry().bottom());
        EXPECT_EQ(window->Main_wnd->palette().color(QPalette::Window), QColor(241, 244, 250));
        // Resources, data folders and mail settings.
        EXPECT_EQ(App().Resource_Path, resourcePath());
        EXPECT_EQ(App().Data_Folder_Path, resourcePath(QStringLiteral("DataSet")));
        EXPECT_TRUE(QFileInfo(resourcePath(QStringLiteral("Templates/User"))).isDir());
        EXPECT_TRUE(Output().sender_email.isEmpty());
        // Canvases bound to the document's lists at the default size, rulers shown.
        EXPECT_EQ(&window->_graphicView->graphicsList(), &document->graphics());
        EXPECT_EQ(&window->_graphicView_BACK->graphicsList(), &document->graphics_back());
        EXPECT_EQ(&window->_graphicView_TEMP->graphicsList(), &document->graphics_temp());
        for (SKTGraphicView *canvas : {window->_graphicView, window->_graphicView_BACK, window->_graphicView_TEMP}) {
            EXPECT_EQ(canvas->canvasSize(), QSizeF(243, 154));
            EXPECT_EQ(canvas->grid(), &window->_grid);
        }
        EXPECT_TRUE(window->_zoomingScrollView->rulersVisible());
        EXPECT_TRUE(window->Show_Ruler_chk->isChecked());
        // The new design shows the card tabs; the others wait in their fields.
        EXPECT_EQ(tabNames(), (QStringList{QStringLiteral("card_setting_tab"), QStringLiteral("card_bkgd_tab")}));
        EXPECT_EQ(window->sett_tab->indexOf(window->Lock_tab), -1);
        // Lists of the panel.
        EXPECT_EQ(window->Text_Date_style->count(), 9);
        EXPECT_EQ(window->Text_Date_style->currentText(), QStringLiteral("M-d-yyyy"));
        EXPECT_EQ(window->Text_Time_style->itemText(3), QStringLiteral("HH:mm:ss"));
        EXPECT_EQ(window->card_bkgd_tab->Card_image_layout->currentIndex(), 1);
        // The panel shows the new design's card face.
        EXPECT_EQ(window->card_setting_tab->Card_bor_Stepper->value(), 1);
        EXPECT_EQ(window->card_setting_tab->Card_bor_Text->text(), QStringLiteral("1 pt"));
        for (QComboBox *hatches : {window->shape_tab->shape_hatch_style, window->card_bkgd_tab->Card_hatch_style}) {
            EXPECT_EQ(hatches->count(), 2);
            EXPECT_EQ(hatches->itemText(0), QStringLiteral("a"));
            EXPECT_EQ(hatches->currentText(), QStringLiteral("a"));
        }
        EXPECT_FALSE(App().Not_Draw_Only_Prop_Change);
        return 1;
    };
    load();
    EXPECT_TRUE(checked);
    EXPECT_EQ(window->startWizardRuns, 1);
    // Only after the wizard: the front panel.
    EXPECT_EQ(shownPanel(), window->first_view);
    EXPECT_EQ(window->Main_wnd->windowTitle(), App().App_Name);
    EXPECT_TRUE(services->messages.isEmpty());
}

TEST_F(DesignWindowTest, MissingHatchFolderLeavesBothHatchListsEmpty)
{
    load();
    EXPECT_EQ(window->shape_tab->shape_hatch_style->count(), 0);
    EXPECT_EQ(window->card_bkgd_tab->Card_hatch_style->currentIndex(), -1);
}

TEST_F(DesignWindowTest, CancellingTheStartWizardEndsTheProgram)
{
    window->onStartWizard = [] { return 0; };
    load();
    EXPECT_EQ(services->terminations, QList<int>{0});
}

TEST_F(DesignWindowTest, UnusableResourcesFolderEndsTheStartWithTheMessage)
{
    writeFile(QStringLiteral("plain-file"));
    qputenv("CARD_RESOURCE_PATH", resourcePath(QStringLiteral("plain-file/Resources")).toLocal8Bit());
    // The pictures' folder is read at creation: a new controller sees the new path.
    window.reset();
    window = std::make_unique<ScriptedDesignWindow>();
    window->setDocument(document.get());
    load();
    EXPECT_EQ(services->messages, QStringList{QStringLiteral("\nCan not access Bulk sms Data file.")});
    EXPECT_EQ(services->terminations, QList<int>{0});
    EXPECT_EQ(window->startWizardRuns, 0);
    EXPECT_EQ(window->_graphicView, nullptr);
    // The hub stays safe to call.
    EXPECT_EQ(window->Control_New_Point(QStringLiteral("F")), QPointF(10, 10));
    window->Refresh_Canvas();
    window->Rect_Tool_Clicked();
    EXPECT_EQ(document->graphics().count(), 0);
}

TEST_F(DesignWindowTest, WizardCardIsPlacedWithoutUndoRegistration)
{
    window->onStartWizard = [] {
        Win().Start_Card_Option = QStringLiteral("W");
        App().Card_Shape = 2;
        return 1;
    };
    load();
    EXPECT_TRUE(document->undoManager().isUndoRegistrationEnabled());
    EXPECT_TRUE(window->card_setting_tab->matrix_card_shape_rows->button(2)->isChecked());
    EXPECT_TRUE(window->sett_tab->isVisible());
}

TEST_F(DesignWindowTest, NewDesignResetsBothPrintableSidesButNotTheScratchSide)
{
    load();
    document->insertGraphics({rectangleAt(10, 10)}, {0});
    document->graphics_back().insertGraphics({rectangleAt(20, 20)}, {0});
    const SKTGraphicPtr scratch = rectangleAt(30, 30);
    document->graphics_temp().insertGraphics({scratch}, {0});
    window->TEMP_user_profile->Name = QStringLiteral("kept");
    window->Front_user_profile->Name = QStringLiteral("dropped");
    Profiles().Fill_User_Profile = true;
    App().last_ctrl_X = 120;
    App().Project_File_Name = QStringLiteral("/tmp/some.zkse");
    App().All_Text_font = QFont(QStringLiteral("Liberation Sans"), 30);
    window->Front_card_Prop.setCard_fill_chk(true);
    window->setMain_Photo_image(QImage(4, 4, QImage::Format_ARGB32));
    window->Select_back_side();

    window->New_Project();

    EXPECT_EQ(document->graphics().count(), 0);
    EXPECT_EQ(document->graphics_back().count(), 0);
    EXPECT_EQ(document->graphics_temp().items(), GraphicList{scratch});
    EXPECT_FALSE(document->undoManager().canUndo());
    EXPECT_EQ(window->TEMP_user_profile->Name, QStringLiteral("kept"));
    EXPECT_TRUE(window->Front_user_profile->Name.isEmpty());
    EXPECT_FALSE(Profiles().Fill_User_Profile);
    EXPECT_EQ(App().last_ctrl_X, 10.0f);
    EXPECT_TRUE(App().Project_File_Name.isEmpty());
    EXPECT_TRUE(window->Main_Photo_image().isNull());
    EXPECT_EQ(App().Card_Front_Or_Back, 0);
    EXPECT_EQ(shownPanel(), window->first_view);
    EXPECT_EQ(window->card_setting_tab->All_Text_font_value->text(), QStringLiteral("Times New Roman Italic ( 14.00 )"));
    EXPECT_EQ(window->card_setting_tab->All_Text_clr->color(), QColor(Qt::black));
    // A new design starts with the border on, unlike a fresh card face.
    for (const Card_Property *side : {&window->Front_card_Prop, &window->Back_card_Prop}) {
        EXPECT_TRUE(side->Card_border_chk());
        EXPECT_FALSE(side->Card_fill_chk());
        EXPECT_EQ(side->Card_Sub_Category(), QStringLiteral("CR80-Credit Card Size"));
        EXPECT_EQ(side->Card_Content_font().family(), QStringLiteral("Times New Roman"));
    }
    EXPECT_EQ(window->Main_wnd->windowTitle(), App().App_Name);
    // The first object of the new design cascades from (10, 10).
    EXPECT_EQ(window->Control_New_Point(QStringLiteral("F")), QPointF(30, 30));
    // The program's own objects leave the pasteboard with the design; another program's text stays.
    for (const QString &type : {SKTGraphicView::SKTGraphicViewPasteboardType, QStringLiteral("text/plain")}) {
        pasteboard.writeItems({{type, "x"}});
        window->New_Project();
        EXPECT_EQ(pasteboard.types().size(), type == QLatin1String("text/plain") ? 1 : 0) << type.toStdString();
    }
}

TEST_F(DesignWindowTest, DetachingTheDocumentTakesTheCanvasesAwayAndAttachingBindsThemAgain)
{
    load();
    window->setDocument(nullptr);
    EXPECT_EQ(window->_graphicView, nullptr);
    EXPECT_EQ(window->_graphicView_TEMP, nullptr);
    EXPECT_EQ(window->_zoomingScrollView->documentView(), nullptr);
    EXPECT_EQ(window->Get_Front_Controls_Array(), nullptr);
    window->Temp_Card_Btn_Clicked();

    SKTDocument other;
    window->setDocument(&other);
    ASSERT_NE(window->_graphicView_BACK, nullptr);
    EXPECT_EQ(&window->_graphicView_BACK->graphicsList(), &other.graphics_back());
    EXPECT_EQ(window->_zoomingScrollView_BACK->documentView(), window->_graphicView_BACK);
    window->setDocument(document.get());
}

TEST_F(DesignWindowTest, TheSizeAndGridDialogsWorkThroughTheWindowWhileItLives)
{
    load();
    Card_Wizard *cardSize = Card_Wizard::defaultInstance();
    EXPECT_EQ(cardSize->pvc_card_arry, window->pvc_card_arry);
    EXPECT_EQ(cardSize->Get_My_card_Size(QStringLiteral("PVC Card"), QStringLiteral("H"), -1), QSizeF(30, 30));
    cardSize->SetDocumentCanvasSize(QSizeF(200, 100));
    EXPECT_EQ(window->_graphicView_TEMP->canvasSize(), QSizeF(200, 100));

    Grid_Wizard *grid = Grid_Wizard::defaultInstance();
    grid->Grid_Slider_Changed(12);
    EXPECT_EQ(window->_grid._spacing, 12.0);
    EXPECT_TRUE(window->_grid.isAlwaysShown());
    grid->Grid_Show_Hide_Changed(false);
    EXPECT_FALSE(window->_grid.isAlwaysShown());

    window.reset();
    cardSize->SetDocumentCanvasSize(QSizeF(300, 100));
    grid->Grid_Clr_Changed(Qt::red);
}
