// The tool palette, the edit buttons and the side buttons.

#include "window/SKTWindowController.h"

#include "canvas/SKTTool.h"
#include "canvas/ui/SKTGraphicView.h"
#include "canvas/ui/SKTZoomingScrollView.h"
#include "core/AppState.h"
#include "core/MessageBoxes.h"
#include "document/DesignSnapshot.h"
#include "document/SKTDocument.h"
#include "window/WindowState.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>

// --- Tools -------------------------------------------------------------------------------------------

void SKTWindowController::setTool(int tool)
{
    if (isPreviewShown() && tool != SKTTool::Arrow)
        return;
    m_Selected_Control_Tool = tool;
    Select_tool_action();
}

void SKTWindowController::Arrow_Tool_Clicked() { setTool(SKTTool::Arrow); }
void SKTWindowController::Line_Tool_Clicked() { setTool(SKTTool::Line); }
void SKTWindowController::Text_Tool_Clicked() { setTool(SKTTool::Text); }
void SKTWindowController::Rect_Tool_Clicked() { setTool(SKTTool::Rectangle); }
void SKTWindowController::Circle_Tool_Clicked() { setTool(SKTTool::Oval); }
void SKTWindowController::Round_Rect_Tool_Clicked() { setTool(SKTTool::RoundedRectangle); }
void SKTWindowController::Triangle_Tool_Clicked() { setTool(SKTTool::Triangle); }
void SKTWindowController::Diamond_Tool_Clicked() { setTool(SKTTool::Diamond); }
void SKTWindowController::Image_Tool_Clicked() { setTool(SKTTool::PictureFromFile); }
void SKTWindowController::Image_Library_Tool_Clicked() { setTool(SKTTool::PictureFromLibrary); }
void SKTWindowController::Barcode_Tool_Clicked() { setTool(SKTTool::Barcode); }
void SKTWindowController::Signature_Tool_Clicked() { setTool(SKTTool::Signature); }
void SKTWindowController::Fingure_Print_Tool_Clicked() { setTool(SKTTool::Fingerprint); }
void SKTWindowController::Star_Tool_Clicked() { setTool(SKTTool::Star); }
void SKTWindowController::Double_Star_Tool_Clicked() { setTool(SKTTool::ManyPointStar); }
void SKTWindowController::Polygon_Tool_Clicked() { setTool(SKTTool::Polygon); }

void SKTWindowController::Select_tool_action()
{
    emit SKTSelectedToolDidChange();
    Refresh_Canvas();
    SKTGraphicView *canvas = currentCanvas();
    const SKTGraphicPtr shown = canvas ? canvas->Selected_Graphic() : nullptr;
    Show_RHS_Properties(shown.get());
}

void SKTWindowController::selectArrowTool()
{
    m_Selected_Control_Tool = SKTTool::Arrow;
    if (toolButtons[SKTTool::Arrow])
        toolButtons[SKTTool::Arrow]->setChecked(true);
    emit SKTSelectedToolDidChange();
}

std::optional<SKTGraphic::Kind> SKTWindowController::currentGraphicClass() const
{
    // One table for the palette and a press on the canvas, so both make the same kind.
    return SKTTool::kindForNumber(m_Selected_Control_Tool);
}

void SKTWindowController::selectedToolDidChange()
{
    const SKTTool *tool = SKTTool::withNumber(m_Selected_Control_Tool);
    if (tool && toolButtons[tool->number])
        toolButtons[tool->number]->setChecked(true);
    SKTGraphicView *canvas = currentCanvas();
    if (!tool || !tool->kind || !canvas)
        return;

    if (tool->number == SKTTool::PictureFromFile && !Browse_User_Image_Manually())
        return;
    if (tool->number == SKTTool::PictureFromLibrary) {
        if (Open_Image_Library_Window(QStringLiteral("C")) != 1)
            return;
        Win().Library_Selected_Image = Win().lib_window_sel_file;
        Show_NSLog_Message(Win().Library_Selected_Image);
    }
    canvas->createGraphicOfClass(*tool->kind, std::nullopt, true, QRectF(QPointF(), tool->placedSize),
                                 currentCardSideCode(), QString(QLatin1String("")), QString(QLatin1String("")));
}

void SKTWindowController::newDocumentWindow()
{
    // The menu's New and the toolbar's are one command.
    New_Btn_Clicked();
}

// --- Edit commands -----------------------------------------------------------------------------------

SKTGraphicView *SKTWindowController::currentCanvas() const
{
    return App().Card_Front_Or_Back == 1 ? _graphicView_BACK : _graphicView;
}

void SKTWindowController::onCurrentCanvas(void (SKTGraphicView::*command)())
{
    if (isPreviewShown())
        return;
    SKTGraphicView *canvas = currentCanvas();
    if (!canvas)
        return;
    (canvas->*command)();
    Refresh_Canvas();
    const SKTGraphicPtr current = canvas->selectedGraphics().isEmpty() ? nullptr : canvas->Selected_Graphic();
    Show_RHS_Properties(current.get());
}

void SKTWindowController::followShownSide()
{
    const bool editable = !isPreviewShown();
    for (QToolButton *button : toolButtons)
        if (button && button != toolButtons[SKTTool::Arrow])
            button->setEnabled(editable);
    if (!editable) {
        selectArrowTool();
        setButtonsEnabled(false, false, false, false, false, false, false);
    }
    Set_Paste_Button_Status();
    Undo_Redo_Button_state();
}

// Undo is kept for the front only: on another side it would change what the user cannot see.
void SKTWindowController::Undo_Clicked()
{
    if (m_shownView == 0)
        onCurrentCanvas(&SKTGraphicView::undo);
}

void SKTWindowController::Redo_Clicked()
{
    if (m_shownView == 0)
        onCurrentCanvas(&SKTGraphicView::redo);
}
void SKTWindowController::Cut_Clicked() { onCurrentCanvas(&SKTGraphicView::cut); }
void SKTWindowController::Copy_Clicked() { onCurrentCanvas(&SKTGraphicView::copy); }
void SKTWindowController::Paste_Clicked() { onCurrentCanvas(&SKTGraphicView::paste); }
void SKTWindowController::Delete_Clicked() { onCurrentCanvas(&SKTGraphicView::delete_); }
void SKTWindowController::Begin_Front_Clicked() { onCurrentCanvas(&SKTGraphicView::bringToFront); }
void SKTWindowController::Send_Back_Clicked() { onCurrentCanvas(&SKTGraphicView::sendToBack); }

void SKTWindowController::Lock_Clicked()
{
    setLock(true);
}

void SKTWindowController::Unlock_Clicked()
{
    setLock(false);
}

void SKTWindowController::setLock(bool locked)
{
    if (locked)
        Disable_Standard_Button_For_Lock();
    else
        Enable_Standard_Button_For_Unlock();
    SKTGraphicView *canvas = currentCanvas();
    const GraphicList selected = canvas ? canvas->selectedGraphics() : GraphicList();
    if (selected.isEmpty()) {
        Show_MessageBox(locked ? QStringLiteral("Please select a control to Lock.")
                               : QStringLiteral("Please select a control to Unlock."));
        return;
    }
    for (const SKTGraphicPtr &graphic : selected) {
        graphic->ctrl_is_locked = locked;
        canvas->startEditingGraphic(graphic.get());
    }
    // The panel is rebuilt through the card face so that it shows the new lock state.
    const platform::IndexSet indexes = canvas->selectionIndexes();
    Show_RHS_Properties(nullptr);
    canvas->changeSelectionIndexes(indexes);
    canvas->update();
    Refresh_Canvas();
    Show_RHS_Properties(selected.last().get());
}

void SKTWindowController::Undo_Redo_Button_state()
{
    const bool front = m_shownView == 0;
    const bool canUndo = front && m_document && m_document->undoManager().canUndo();
    const bool canRedo = front && m_document && m_document->undoManager().canRedo();
    if (Undo_btn && Undo_btn->defaultAction())
        Undo_btn->defaultAction()->setEnabled(canUndo);
    if (Redo_btn && Redo_btn->defaultAction())
        Redo_btn->defaultAction()->setEnabled(canRedo);
}

// --- Sides -------------------------------------------------------------------------------------------

void SKTWindowController::Front_Card_Btn_Clicked()
{
    Select_front_side();
}

void SKTWindowController::Back_Card_Btn_Clicked()
{
    Select_back_side();
}

void SKTWindowController::Temp_Card_Btn_Clicked()
{
    Select_temp_design_side();
    Temp_Design_Control_Assign();
}

void SKTWindowController::Select_front_side()
{
    if (Front_back_label)
        Front_back_label->setText(QStringLiteral("Front"));
    if (Front_Side_btn)
        Front_Side_btn->setChecked(true);
    App().Card_Front_Or_Back = 0;
    changeViewController(0);
    Show_RHS_Properties(nullptr);
    followShownSide();
}

void SKTWindowController::Select_back_side()
{
    if (Front_back_label)
        Front_back_label->setText(QStringLiteral("Back"));
    if (Back_Side_btn)
        Back_Side_btn->setChecked(true);
    App().Card_Front_Or_Back = 1;
    changeViewController(1);
    Show_RHS_Properties(nullptr);
    followShownSide();
}

void SKTWindowController::Select_temp_design_side()
{
    if (Front_back_label)
        Front_back_label->setText(QStringLiteral("TEMP"));
    if (Temp_Side_btn)
        Temp_Side_btn->setChecked(true);
    changeViewController(2);
    Show_RHS_Properties(nullptr);
    followShownSide();
}

void SKTWindowController::Temp_Design_Control_Assign(bool copies)
{
    if (!_graphicView_TEMP)
        return;
    delete_all_control(_graphicView_TEMP);
    const bool back = App().Card_Front_Or_Back == 1;
    _graphicView_TEMP->setCardFace(back ? &Back_card_Prop : &Front_card_Prop);
    SKTGraphicList *side = back ? Get_Back_Controls_Array() : Get_Front_Controls_Array();
    if (side && !side->isEmpty()) {
        // The same objects show the side as it is; copies may be changed without touching it.
        const GraphicList objects = copies ? DesignSnapshot::copyOf(side->items()) : side->items();
        _graphicView_TEMP->graphicsList().insertGraphics(objects, platform::IndexSet::range(0, objects.size()));
    }
    _graphicView_TEMP->update();
}

void SKTWindowController::delete_all_control(SKTGraphicView *canvas)
{
    // An empty side stays as it is: removing nothing must not leave an undo step behind.
    if (canvas && !canvas->graphicsList().isEmpty())
        canvas->delete_all_control();
}

void SKTWindowController::Clear_Control_Selection(SKTGraphicView *canvas)
{
    if (canvas)
        canvas->Clear_Control_Selection();
}

void SKTWindowController::Show_Hide_Ruler_ChkBox()
{
    // Each canvas's rulers belong to its scroll view, which exists before the canvas is bound.
    for (SKTZoomingScrollView *scroll : {_zoomingScrollView, _zoomingScrollView_BACK, _zoomingScrollView_TEMP})
        if (scroll)
            scroll->toggleRulers();
    syncRulerBox();
}

void SKTWindowController::syncRulerBox()
{
    // The box follows the rulers, whoever toggled them.
    if (Show_Ruler_chk && _zoomingScrollView)
        Show_Ruler_chk->setChecked(_zoomingScrollView->rulersVisible());
}

void SKTWindowController::User_Profile_Button_Clicked()
{
    const bool back = App().Card_Front_Or_Back == 1;
    if (Open_User_Profile_Window(true, currentCardSideCode()) == 1) {
        if (back)
            Fill_User_profile_info_back_side();
        else
            Fill_User_profile_info_front_side();
    }
    Refresh_Canvas();
}

void SKTWindowController::Share_It_Button_Clicked()
{
    Open_Share_It_Dl();
}
