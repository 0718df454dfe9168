#include "DesignWindowFixture.h"

#include "canvas/ui/SKTZoomingScrollView.h"
#include "canvas/ui/SWCenteringClipView.h"
#include "document/SKTGraphicKinds.h"
#include "platform/ui/ImageBrowserView.h"
#include "profile/ProfileState.h"
#include "profile/ui/Show_User_Profile.h"
#include "properties/ui/Image_Library.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

#include <thread>

namespace {

struct ToolCase {
    void (SKTWindowController::*action)();
    int tool;
    SKTGraphic::Kind kind;
    QSizeF size;
    const char *shapeCode; // for shapes
};

const ToolCase kToolCases[] = {
    {&SKTWindowController::Line_Tool_Clicked, 1, SKTGraphic::Kind::Line, {50, 50}, nullptr},
    {&SKTWindowController::Text_Tool_Clicked, 2, SKTGraphic::Kind::Text, {50, 50}, nullptr},
    {&SKTWindowController::Rect_Tool_Clicked, 3, SKTGraphic::Kind::Shape, {50, 50}, "R"},
    {&SKTWindowController::Circle_Tool_Clicked, 4, SKTGraphic::Kind::Shape, {50, 50}, "C"},
    {&SKTWindowController::Round_Rect_Tool_Clicked, 5, SKTGraphic::Kind::Shape, {50, 50}, "RR"},
    {&SKTWindowController::Triangle_Tool_Clicked, 6, SKTGraphic::Kind::Shape, {50, 50}, "T"},
    {&SKTWindowController::Diamond_Tool_Clicked, 7, SKTGraphic::Kind::Shape, {50, 50}, "D"},
    {&SKTWindowController::Barcode_Tool_Clicked, 10, SKTGraphic::Kind::Barcode, {}, nullptr}, // its symbol's size
    {&SKTWindowController::Signature_Tool_Clicked, 11, SKTGraphic::Kind::Signature, {100, 50}, nullptr},
    {&SKTWindowController::Fingure_Print_Tool_Clicked, 12, SKTGraphic::Kind::Signature, {100, 50}, nullptr},
    {&SKTWindowController::Star_Tool_Clicked, 13, SKTGraphic::Kind::Shape, {50, 50}, "S"},
    {&SKTWindowController::Double_Star_Tool_Clicked, 14, SKTGraphic::Kind::Shape, {50, 50}, "DS"},
    {&SKTWindowController::Polygon_Tool_Clicked, 15, SKTGraphic::Kind::Shape, {50, 50}, "P"},
};

class ToolsAndSidesTest : public DesignWindowTest {
protected:
    void SetUp() override
    {
        DesignWindowTest::SetUp();
        load();
    }

    bool enabled(QToolButton *button) const { return button->defaultAction()->isEnabled(); }
};

} // namespace

TEST_F(ToolsAndSidesTest, EveryToolPlacesItsObjectAtOnceAndReturnsToTheArrow)
{
    for (const ToolCase &c : kToolCases) {
        SCOPED_TRACE(c.tool);
        const int before = document->graphics().count();
        (window.get()->*c.action)();
        ASSERT_EQ(document->graphics().count(), before + 1);
        const SKTGraphicPtr made = document->graphics().at(0);
        EXPECT_EQ(made->kind(), c.kind);
        EXPECT_EQ(made->bounds().size(), c.size.isEmpty() ? made->_barcode_image.deviceIndependentSize() : c.size);
        if (c.shapeCode) {
            EXPECT_EQ(made->Get_shape_type(), QString::fromLatin1(c.shapeCode));
        }
        if (c.tool == 11 || c.tool == 12) {
            EXPECT_EQ(made->sign_or_fingureprint == QLatin1String("S"), c.tool == 11);
        }
        // Selected, shown in the panel, and the palette is back on the arrow.
        EXPECT_EQ(window->_graphicView->selectedGraphics(), GraphicList{made});
        EXPECT_EQ(window->Properties_Panel->Last_Selected_Graphic.lock(), made);
        EXPECT_EQ(window->Selected_Control_Tool(), 0);
        EXPECT_TRUE(window->toolButtons[0]->isChecked());
    }
    EXPECT_EQ(document->graphics_back().count(), 0);
    EXPECT_TRUE(document->undoManager().canUndo());
}

TEST_F(ToolsAndSidesTest, TheArrowToolMakesNothing)
{
    window->Arrow_Tool_Clicked();
    EXPECT_EQ(document->graphics().count(), 0);
    EXPECT_EQ(window->currentGraphicClass(), std::nullopt);
}

TEST_F(ToolsAndSidesTest, NewObjectsCascadeByTheSidesCount)
{
    window->Rect_Tool_Clicked();
    window->Rect_Tool_Clicked();
    EXPECT_EQ(document->graphics().at(1)->bounds().topLeft(), QPointF(30, 30));
    EXPECT_EQ(document->graphics().at(0)->bounds().topLeft(), QPointF(50, 50));

    // Steps grow with a crowded side, and the point wraps before the card's edge.
    for (int i = 0; i < 25; ++i)
        document->graphics_back().insertGraphics({std::make_shared<Shape_Control>()}, {0});
    App().last_ctrl_X = 100;
    App().last_ctrl_Y = 20;
    EXPECT_EQ(window->Control_New_Point(QStringLiteral("B")), QPointF(125, 45));
    // Any side string but "F" counts the back side.
    EXPECT_EQ(window->Control_New_Point(QStringLiteral("T")), QPointF(150, 70));
    App().last_ctrl_X = 168; // 168 + 25 + 50 = 243, the card's width
    EXPECT_EQ(window->Control_New_Point(QStringLiteral("B")).x(), 10.0);
    App().last_ctrl_X = 167;
    EXPECT_EQ(window->Control_New_Point(QStringLiteral("B")).x(), 192.0);
}

TEST_F(ToolsAndSidesTest, ToolsOnTheBackSidePlaceOnTheBackList)
{
    window->Back_Card_Btn_Clicked();
    window->Rect_Tool_Clicked();
    ASSERT_EQ(document->graphics_back().count(), 1);
    EXPECT_EQ(document->graphics().count(), 0);
    EXPECT_EQ(window->_graphicView_BACK->selectedGraphics().size(), 1);
}

TEST_F(ToolsAndSidesTest, PictureToolsAskForTheirFileAndMakeNothingWhenCancelled)
{
    const QString picture = resourcePath(QStringLiteral("LibraryImage/animals/photo.png"));
    QDir().mkpath(QFileInfo(picture).absolutePath());
    QImage(8, 8, QImage::Format_ARGB32).save(picture);
    Image_Library *library = Image_Library::defaultInstance();

    window->Image_Tool_Clicked(); // cancelled: no answer scripted
    QTimer::singleShot(0, library, [library] { library->Cancel_Clicked(); });
    window->Image_Library_Tool_Clicked();
    EXPECT_EQ(document->graphics().count(), 0);
    EXPECT_TRUE(Win().Library_Selected_Image.isEmpty());

    services->fileAnswers = {picture};
    window->Image_Tool_Clicked();
    ASSERT_EQ(document->graphics().count(), 1);
    EXPECT_EQ(document->graphics().at(0)->kind(), SKTGraphic::Kind::Image);
    EXPECT_EQ(document->graphics().at(0)->FilePath(), picture);
    EXPECT_EQ(document->graphics().at(0)->bounds().size(), QSizeF(50, 50));

    QTimer::singleShot(0, library, [library] {
        library->imageBrowser->setSelectionIndexes({0});
        library->OK_Clicked();
    });
    window->Image_Library_Tool_Clicked();
    ASSERT_EQ(document->graphics().count(), 2);
    EXPECT_EQ(Win().lib_window_sel_file, picture);
    EXPECT_EQ(Win().Library_Selected_Image, picture);
}

TEST_F(ToolsAndSidesTest, SideButtonsSwitchPanelsAndTheCurrentSide)
{
    window->Back_Card_Btn_Clicked();
    EXPECT_EQ(App().Card_Front_Or_Back, 1);
    EXPECT_EQ(shownPanel(), window->second_view);
    EXPECT_EQ(window->Front_back_label->text(), QStringLiteral("Back"));
    EXPECT_TRUE(window->Back_Side_btn->isChecked());
    EXPECT_EQ(window->currentCanvas(), window->_graphicView_BACK);

    // The temp side previews the current side and leaves it current.
    window->Temp_Card_Btn_Clicked();
    EXPECT_EQ(App().Card_Front_Or_Back, 1);
    EXPECT_EQ(shownPanel(), window->temp_design_view);
    EXPECT_EQ(window->Front_back_label->text(), QStringLiteral("TEMP"));
    EXPECT_EQ(window->currentCanvas(), window->_graphicView_BACK);

    window->Front_Card_Btn_Clicked();
    EXPECT_EQ(App().Card_Front_Or_Back, 0);
    EXPECT_EQ(shownPanel(), window->first_view);

    window->changeViewController(3);
    window->changeViewController(-1);
    EXPECT_EQ(shownPanel(), window->first_view);
    EXPECT_EQ(window->myTargetView->layout()->count(), 1);
}

TEST_F(ToolsAndSidesTest, TempSideHoldsTheCurrentSidesObjectsOnceEachTimeItIsShown)
{
    window->Back_Card_Btn_Clicked();
    window->Rect_Tool_Clicked();
    window->Circle_Tool_Clicked();
    window->Temp_Card_Btn_Clicked();
    window->Temp_Card_Btn_Clicked();
    EXPECT_EQ(document->graphics_temp().items(), document->graphics_back().items());
    // A copy of the temp list: changing it leaves the side alone.
    GraphicList copy = window->Get_Temp_Controls_Array();
    copy.clear();
    EXPECT_EQ(window->Get_Temp_Control_Count(), 2);
    // The live front list: removing from it changes the side.
    window->Front_Card_Btn_Clicked();
    window->Rect_Tool_Clicked();
    window->Get_Front_Controls_Array()->removeGraphicsAtIndexes({0});
    EXPECT_EQ(window->Get_Front_Control_Count(), 0);
}

TEST_F(ToolsAndSidesTest, SwitchingSidesShowsTheCardTabsAndClearsTheSelection)
{
    window->Rect_Tool_Clicked();
    EXPECT_EQ(tabNames(), (QStringList{QStringLiteral("shape_tab"), QStringLiteral("aligmnt_tab")}));
    window->Back_Card_Btn_Clicked();
    window->Front_Card_Btn_Clicked();
    EXPECT_TRUE(window->_graphicView->selectedGraphics().isEmpty());
    EXPECT_EQ(tabNames(), (QStringList{QStringLiteral("card_setting_tab"), QStringLiteral("card_bkgd_tab")}));
    EXPECT_FALSE(enabled(window->Delete_btn));
}

TEST_F(ToolsAndSidesTest, LockingSelectedObjectsKeepsThemSelectedAndShowsTheLastOne)
{
    window->Rect_Tool_Clicked();
    window->Text_Tool_Clicked();
    window->_graphicView->changeSelectionIndexes({0, 1});
    window->Lock_Clicked();
    const GraphicList objects = document->graphics().items();
    EXPECT_TRUE(objects[0]->ctrl_is_locked && objects[1]->ctrl_is_locked);
    EXPECT_EQ(window->_graphicView->selectionIndexes(), (platform::IndexSet{0, 1}));
    EXPECT_EQ(window->Properties_Panel->Last_Selected_Graphic.lock(), objects[1]);
    EXPECT_EQ(tabNames(), QStringList{QStringLiteral("Lock_tab")});
    EXPECT_EQ(window->sett_tab->tabText(0), QStringLiteral("Rectangle Properties"));
    EXPECT_TRUE(enabled(window->Unlock_btn));
    EXPECT_FALSE(enabled(window->Lock_btn) || enabled(window->Delete_btn) || enabled(window->Paste_btn));

    window->Unlock_Clicked();
    EXPECT_FALSE(objects[0]->ctrl_is_locked || objects[1]->ctrl_is_locked);
    EXPECT_TRUE(enabled(window->Lock_btn));
    EXPECT_FALSE(enabled(window->Unlock_btn));
    EXPECT_TRUE(tabNames().contains(QStringLiteral("aligmnt_tab")));
    EXPECT_TRUE(services->messages.isEmpty());
}

TEST_F(ToolsAndSidesTest, LockWithoutSelectionSaysSoAndChangesNothing)
{
    window->Rect_Tool_Clicked();
    window->_graphicView->changeSelectionIndexes({});
    window->Lock_Clicked();
    window->Unlock_Clicked();
    EXPECT_EQ(services->messages, (QStringList{QStringLiteral("\nPlease select a control to Lock."),
                                               QStringLiteral("\nPlease select a control to Unlock.")}));
    EXPECT_FALSE(document->graphics().at(0)->ctrl_is_locked);
}

// Undo gives back what it took and writes nothing else: a card face the panel does not show as it
// is (a template's preset, size name and row; an opacity another writer left out of its colours)
// is the same after a paste undone.
TEST_F(ToolsAndSidesTest, UndoOfAPasteLeavesTheCardFaceAsItWas)
{
    Card_Property &face = window->Front_card_Prop;
    window->SetDocumentCanvasSize(QSizeF(150, 240));
    face.setCard_Preset(QStringLiteral("Horizontal")); // on a card standing up
    face.setCard_Size(QSizeF(150, 240));
    face.setCard_Sub_Category(QStringLiteral("Invitation 4 x 6"));
    face.setCard_Cat_index(7);
    face.setCard_fill_chk(true);
    face.setCard_fill_clr(QColor(200, 30, 30));
    face.setCard_alpha_Stepper(0.4f);
    const Card_Property before = face;
    window->Rect_Tool_Clicked();
    document->undoManager().closeEventGroup();
    window->Copy_Clicked();
    window->Paste_Clicked();
    document->undoManager().closeEventGroup();
    ASSERT_EQ(document->graphics().count(), 2);

    window->Undo_Clicked();
    EXPECT_EQ(document->graphics().count(), 1);
    EXPECT_TRUE(face == before) << face.Card_Preset().toStdString() << " " << face.Card_Sub_Category().toStdString()
                                << " " << face.Card_Cat_index() << " " << face.Card_fill_clr().alpha();
}

TEST_F(ToolsAndSidesTest, UndoAndRedoWorkOnlyWhileTheFrontIsShown)
{
    EXPECT_FALSE(enabled(window->Undo_btn));
    window->Rect_Tool_Clicked();
    document->undoManager().closeEventGroup();
    EXPECT_TRUE(enabled(window->Undo_btn));

    // The document keeps undo for the front: elsewhere it would change what nobody sees.
    window->Back_Card_Btn_Clicked();
    window->Circle_Tool_Clicked();
    document->undoManager().closeEventGroup();
    for (auto show : {&SKTWindowController::Back_Card_Btn_Clicked, &SKTWindowController::Temp_Card_Btn_Clicked}) {
        (window.get()->*show)();
        EXPECT_FALSE(enabled(window->Undo_btn));
        window->Undo_Clicked();
        EXPECT_EQ(document->graphics().count(), 1);
        EXPECT_EQ(document->graphics_back().count(), 1);
    }

    window->Front_Card_Btn_Clicked();
    EXPECT_TRUE(enabled(window->Undo_btn));
    window->Undo_Clicked();
    EXPECT_EQ(document->graphics().count(), 0);
    EXPECT_TRUE(enabled(window->Redo_btn));
    window->Back_Card_Btn_Clicked();
    EXPECT_FALSE(enabled(window->Redo_btn));
    window->Front_Card_Btn_Clicked();
    window->Redo_Clicked();
    EXPECT_EQ(document->graphics().count(), 1);
}

TEST_F(ToolsAndSidesTest, EditButtonsActOnTheCurrentSidesCanvas)
{
    window->Rect_Tool_Clicked();
    const SKTGraphicPtr front = document->graphics().at(0);
    window->Back_Card_Btn_Clicked();
    window->Circle_Tool_Clicked();
    window->Rect_Tool_Clicked();
    window->_graphicView_BACK->changeSelectionIndexes({1});

    EXPECT_FALSE(enabled(window->Paste_btn));
    window->Copy_Clicked();
    EXPECT_TRUE(enabled(window->Paste_btn));
    window->Paste_Clicked();
    ASSERT_EQ(document->graphics_back().count(), 3);
    EXPECT_EQ(document->graphics_back().at(0)->Get_shape_type(), QStringLiteral("C"));

    window->Send_Back_Clicked();
    EXPECT_EQ(document->graphics_back().at(2)->Get_shape_type(), QStringLiteral("C"));
    window->Delete_Clicked();
    EXPECT_EQ(document->graphics_back().count(), 2);
    EXPECT_EQ(document->graphics().items(), GraphicList{front});
    EXPECT_TRUE(services->messages.isEmpty());

    // A locked selection is refused by the canvas with its message.
    window->_graphicView_BACK->changeSelectionIndexes({0});
    window->Lock_Clicked();
    window->Cut_Clicked();
    EXPECT_EQ(document->graphics_back().count(), 2);
    EXPECT_EQ(services->messages, QStringList{QStringLiteral("\nSelected control is locked.")});
}

TEST_F(ToolsAndSidesTest, ThePreviewMakesAndEditsNothing)
{
    window->Rect_Tool_Clicked();
    window->_graphicView->changeSelectionIndexes({0});
    window->Copy_Clicked();
    window->Temp_Card_Btn_Clicked();
    for (QToolButton *button : {window->Cut_btn, window->Copy_btn, window->Paste_btn, window->Delete_btn,
                                window->Begin_Front_btn, window->Lock_btn, window->Undo_btn})
        EXPECT_FALSE(enabled(button)) << qPrintable(button->objectName());
    for (QToolButton *tool : window->toolButtons)
        EXPECT_EQ(tool->isEnabled(), tool == window->toolButtons[SKTTool::Arrow]);

    window->Circle_Tool_Clicked();
    window->Paste_Clicked();
    window->_graphicView->changeSelectionIndexes({0});
    window->Delete_Clicked();
    EXPECT_EQ(document->graphics().count(), 1);
    EXPECT_EQ(document->graphics_back().count(), 0);
    EXPECT_EQ(window->Selected_Control_Tool(), SKTTool::Arrow);

    // Back on a side, the tools and the pasteboard's button work again.
    window->Front_Card_Btn_Clicked();
    EXPECT_TRUE(window->toolButtons[SKTTool::Oval]->isEnabled());
    EXPECT_TRUE(enabled(window->Paste_btn));
    window->Circle_Tool_Clicked();
    EXPECT_EQ(document->graphics().count(), 2);
}

TEST_F(ToolsAndSidesTest, ButtonsAndPanelFollowTheSelectionAfterEveryEditCommand)
{
    window->Rect_Tool_Clicked();
    window->_graphicView->changeSelectionIndexes({0});
    window->Cut_Clicked();
    EXPECT_FALSE(enabled(window->Copy_btn));
    window->Paste_Clicked();
    ASSERT_EQ(window->_graphicView->selectedGraphics().size(), 1);
    for (QToolButton *button : {window->Cut_btn, window->Copy_btn, window->Delete_btn, window->Begin_Front_btn,
                                window->Lock_btn})
        EXPECT_TRUE(enabled(button)) << qPrintable(button->objectName());
    EXPECT_EQ(window->sett_tab->widget(0), window->shape_tab);
}

TEST_F(ToolsAndSidesTest, SelectAllDeselectAndTheBackdropAroundTheCard)
{
    window->Rect_Tool_Clicked();
    window->Circle_Tool_Clicked();
    auto *selectAll = window->Main_wnd->findChild<QAction *>(QStringLiteral("Select_All_action"));
    auto *deselect = window->Main_wnd->findChild<QAction *>(QStringLiteral("Deselect_action"));
    ASSERT_TRUE(selectAll && deselect);
    EXPECT_EQ(selectAll->shortcut(), QKeySequence(QKeySequence::SelectAll));
    EXPECT_EQ(deselect->shortcut(), QKeySequence(QKeySequence::Deselect));
    selectAll->trigger();
    EXPECT_EQ(window->_graphicView->selectedGraphics().size(), 2);
    EXPECT_TRUE(enabled(window->Delete_btn)) << "the buttons follow";
    deselect->trigger();
    EXPECT_TRUE(window->_graphicView->selectedGraphics().isEmpty());

    // The grey backdrop is the canvas's too: a click there deselects, a drag from there selects.
    window->Main_wnd->resize(1400, 1000);
    window->Main_wnd->show();
    SWCenteringClipView *clip = window->_zoomingScrollView->clipView();
    const QPointF card = window->_graphicView->pos();
    ASSERT_GT(card.x(), 4) << "the card must leave some backdrop";
    const auto mouseOnClip = [&](QEvent::Type type, const QPointF &at) {
        const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, at, clip->mapToGlobal(at), button, held, Qt::NoModifier);
        QApplication::sendEvent(clip, &event);
    };
    selectAll->trigger();
    mouseOnClip(QEvent::MouseButtonPress, card - QPointF(3, 3));
    mouseOnClip(QEvent::MouseButtonRelease, card - QPointF(3, 3));
    EXPECT_TRUE(window->_graphicView->selectedGraphics().isEmpty());

    const QRectF first = document->graphics().at(0)->bounds();
    mouseOnClip(QEvent::MouseButtonPress, card - QPointF(3, 3));
    mouseOnClip(QEvent::MouseMove, card + first.center());
    mouseOnClip(QEvent::MouseButtonRelease, card + first.bottomRight() + QPointF(2, 2));
    EXPECT_FALSE(window->_graphicView->selectedGraphics().isEmpty());
}

TEST_F(ToolsAndSidesTest, ShortcutsAreTheDesktopsStandardOnes)
{
    EXPECT_EQ(window->Undo_btn->defaultAction()->shortcut(), QKeySequence(QKeySequence::Undo));
    EXPECT_EQ(window->Copy_btn->defaultAction()->shortcut(), QKeySequence(QKeySequence::Copy));
    EXPECT_EQ(window->Delete_btn->defaultAction()->shortcut(), QKeySequence(QKeySequence::Delete));
    for (QToolButton *tool : window->toolButtons) {
        ASSERT_NE(tool, nullptr);
        EXPECT_FALSE(tool->toolTip().isEmpty());
        EXPECT_FALSE(tool->icon().isNull());
    }
}

TEST_F(ToolsAndSidesTest, RulerBoxTogglesTheRulersOfAllThreeSides)
{
    ASSERT_TRUE(window->Show_Ruler_chk->isChecked());
    window->Show_Ruler_chk->click();
    for (SKTZoomingScrollView *scroll :
         {window->_zoomingScrollView, window->_zoomingScrollView_BACK, window->_zoomingScrollView_TEMP})
        EXPECT_FALSE(scroll->rulersVisible());
    EXPECT_FALSE(window->Show_Ruler_chk->isChecked());
    // A canvas asking for its rulers gets them, and the box follows the front side's.
    window->_graphicView->showOrHideRulers();
    EXPECT_TRUE(window->_zoomingScrollView->rulersVisible());
    EXPECT_FALSE(window->_zoomingScrollView_BACK->rulersVisible());
    EXPECT_TRUE(window->Show_Ruler_chk->isChecked());
}

TEST_F(ToolsAndSidesTest, ProfileButtonPlacesNothingWhileNoProfileIsAccepted)
{
    Show_User_Profile *dialog = Show_User_Profile::defaultInstance();
    QTimer::singleShot(0, dialog, [dialog] { dialog->Cancel_Btn_Clicked(); });
    window->User_Profile_Button_Clicked();
    EXPECT_EQ(document->graphics().count(), 0);
    EXPECT_FALSE(Profiles().Fill_User_Profile);
}

TEST_F(ToolsAndSidesTest, WindowWithObjectsOnBothSidesRendersForALook)
{
    for (auto tool : {&SKTWindowController::Rect_Tool_Clicked, &SKTWindowController::Star_Tool_Clicked,
                      &SKTWindowController::Text_Tool_Clicked, &SKTWindowController::Line_Tool_Clicked,
                      &SKTWindowController::Barcode_Tool_Clicked})
        (window.get()->*tool)();
    document->graphics().at(4)->setFillColor(QColor(120, 180, 230));
    document->graphics().at(3)->setFillColor(QColor(250, 200, 60));
    window->Back_Card_Btn_Clicked();
    for (auto tool : {&SKTWindowController::Circle_Tool_Clicked, &SKTWindowController::Signature_Tool_Clicked,
                      &SKTWindowController::Fingure_Print_Tool_Clicked})
        (window.get()->*tool)();
    window->Main_wnd->show();
    QCoreApplication::processEvents();
    const QImage back = window->Main_wnd->grab().toImage();
    window->Front_Card_Btn_Clicked();
    window->_graphicView->changeSelectionIndexes({1});
    QCoreApplication::processEvents();
    const QImage front = window->Main_wnd->grab().toImage();
    EXPECT_EQ(front.size(), window->Main_wnd->size());
    EXPECT_TRUE(front.save(testOutputPath(QStringLiteral("design-window-front.png"))));
    EXPECT_TRUE(back.save(testOutputPath(QStringLiteral("design-window-back.png"))));
}
