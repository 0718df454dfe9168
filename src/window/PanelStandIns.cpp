// The design window's side of the properties panel: its panel methods forward to the
// panel, it lends the panel the current side's selection and card face, and it keeps the object
// buttons in step with what the panel shows.

#include "window/SKTWindowController.h"

#include "canvas/ui/InputShield.h"
#include "canvas/ui/SKTGraphicView.h"
#include "core/AppState.h"
#include "core/ImageCategories.h"
#include "core/MessageBoxes.h"
#include "core/PathHelpers.h"
#include "document/ControlTags.h"
#include "document/SKTDocument.h"
#include "document/SKTImage.h"
#include "platform/Pasteboard.h"
#include "platform/ScopedFlag.h"
#include "platform/UiServices.h"
#include "platform/ui/ColorWell.h"
#include "properties/ui/AlignmentTab.h"
#include "properties/ui/CardBackgroundTab.h"
#include "properties/ui/CardPanel.h"
#include "properties/ui/CardSettingsTab.h"
#include "properties/ui/ImageTab.h"
#include "properties/ui/Image_Library.h"
#include "properties/ui/LineTab.h"
#include "properties/ui/PropertiesPanel.h"
#include "properties/ui/ShapeTab.h"
#include "properties/ui/SignatureTab.h"
#include "properties/ui/TextPanel.h"
#include "window/Grid_Wizard.h"
#include "window/Insert_Template.h"
#include "window/WindowState.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

namespace {

// The card background read from `path`, its path shown in the tab; null when there is none (an empty
// path clears the box) or it could not be read (the user told why), and then the side keeps its own.
QImage chosenBackground(CardBackgroundTab *tab, const QString &path, const QImage &picture, const QString &problem)
{
    if (path.isEmpty()) {
        if (tab)
            tab->Card_Image_path->clear();
        return {};
    }
    if (picture.isNull())
        tellPictureNotShown(path, QStringLiteral("card background"), problem);
    else if (tab)
        tab->Card_Image_path->setText(path);
    return picture;
}

void setEnabled(QToolButton *button, bool enabled)
{
    if (!button)
        return;
    if (QAction *action = button->defaultAction())
        action->setEnabled(enabled);
    else
        button->setEnabled(enabled);
}

} // namespace

// --- The panel's methods -----------------------------------------------------------------------------

void SKTWindowController::Show_RHS_Properties(SKTGraphic *graphic)
{
    if (Properties_Panel)
        Properties_Panel->Show_RHS_Properties(graphic);
}

void SKTWindowController::Remove_All_Tab_Items()
{
    if (Properties_Panel)
        Properties_Panel->Remove_All_Tab_Items();
}

void SKTWindowController::card_prop_set(const QString &fillStyle)
{
    if (Properties_Panel)
        Properties_Panel->cardPanel->card_prop_set(fillStyle);
}

void SKTWindowController::Update_Card_Graphics()
{
    if (Properties_Panel)
        Properties_Panel->cardPanel->Update_Card_Graphics();
}

void SKTWindowController::Update_Shape_Graphics()
{
    if (shape_tab)
        shape_tab->Update_Shape_Graphics();
}

void SKTWindowController::Update_Line_Graphics()
{
    if (line_tab)
        line_tab->Update_Line_Graphics();
}

void SKTWindowController::Update_Text_Graphics()
{
    if (textPanel)
        textPanel->Update_Text_Graphics();
}

void SKTWindowController::Update_Image_Graphics()
{
    if (image_tab)
        image_tab->Update_Image_Graphics();
}

void SKTWindowController::Update_Sign_Graphics()
{
    if (sign_tab)
        sign_tab->Update_Sign_Graphics();
}

void SKTWindowController::Apply_Size_Clicked(QObject *sender)
{
    if (Properties_Panel)
        Properties_Panel->cardPanel->Apply_Size_Clicked(sender);
}

void SKTWindowController::card_shape_CellClick(QObject *sender)
{
    if (Properties_Panel)
        Properties_Panel->cardPanel->card_shape_CellClick(sender);
}

// --- What the panel is lent ----------------------------------------------------------------------------

GraphicList SKTWindowController::selectedGraphics() const
{
    const SKTGraphicView *canvas = currentCanvas();
    return canvas ? canvas->selectedGraphics() : GraphicList();
}

Card_Property &SKTWindowController::currentCardFace()
{
    return App().Card_Front_Or_Back == 0 ? Front_card_Prop : Back_card_Prop;
}

void SKTWindowController::showSizePresets(int categoryIndex)
{
    ListData.clear();
    reloadListTable();
    for (const QString &name : categoryIndex == 0 ? pvc_card_arry : paper_card_arry)
        Create_List(name);
    reloadListTable();
}

void SKTWindowController::setTwoSided(bool twoSided)
{
    Win().CARD_SIDE_STR = twoSided ? QStringLiteral("2") : QStringLiteral("1");
    if (Back_Side_btn)
        Back_Side_btn->setEnabled(twoSided);
}

void SKTWindowController::setCurrentSideBackground(const QString &path)
{
    if (App().Card_Front_Or_Back == 0)
        set_Front_BG_Image(path);
    else
        set_Back_BG_Image(path);
}

void SKTWindowController::setFrontBackground(const QString &path)
{
    set_Front_BG_Image(path);
}

QString SKTWindowController::chooseLibraryBackground()
{
    return Open_Image_Library_Window(QStringLiteral("B")) == 1 ? Win().lib_window_sel_file : QString();
}

void SKTWindowController::print_contol_or_not(int value)
{
    if (SKTGraphicView *canvas = currentCanvas())
        canvas->print_contol_or_not(value);
}

void SKTWindowController::clearCurrentSelection()
{
    Clear_Control_Selection(currentCanvas());
}

SKTGraphicPtr SKTWindowController::sharedGraphic(const SKTGraphic *graphic) const
{
    if (!graphic || !m_document)
        return nullptr;
    for (SKTGraphicList *list : {&m_document->graphics(), &m_document->graphics_back(), &m_document->graphics_temp()}) {
        const int index = list->indexOf(graphic);
        if (index >= 0)
            return list->at(index);
    }
    return nullptr;
}

bool SKTWindowController::frontSelectionHoldsFramePicture() const
{
    return _graphicView && _graphicView->There_Is_Frame_Pic_Or_Frame_Photo();
}

// --- Arrange and grid --------------------------------------------------------------------------------

void SKTWindowController::arrangeSelection(PanelArrange::Operation operation)
{
    SKTGraphicView *canvas = currentCanvas();
    if (!canvas || isPreviewShown())
        return;
    using Op = PanelArrange::Operation;
    switch (operation) {
    case Op::AlignFormCenter: canvas->alignformCenter(); break;
    case Op::AlignLeftEdges: canvas->alignLeftEdges(); break;
    case Op::AlignRightEdges: canvas->alignRightEdges(); break;
    case Op::AlignTopEdges: canvas->alignTopEdges(); break;
    case Op::AlignBottomEdges: canvas->alignBottomEdges(); break;
    case Op::AlignHorizontalCenters: canvas->alignHorizontalCenters(); break;
    case Op::AlignVerticalCenters: canvas->alignVerticalCenters(); break;
    case Op::MakeSameWidth: canvas->makeSameWidth(); break;
    case Op::MakeSameHeight: canvas->makeSameHeight(); break;
    case Op::MakeNaturalSize: canvas->makeNaturalSize(); break;
    case Op::AlignWithGrid: canvas->alignWithGrid(); break;
    }
}

bool SKTWindowController::isGridAlwaysShown() const
{
    return _grid.isAlwaysShown();
}

bool SKTWindowController::isGridConstraining() const
{
    return _grid.isConstraining();
}

void SKTWindowController::toggleGridConstraining()
{
    _grid.setConstraining(!_grid.isConstraining());
}

void SKTWindowController::toggleGridShowing()
{
    Grid_Wizard *wizard = Grid_Wizard::defaultInstance();
    wizard->Fill_Controls(_grid._color, _grid._spacing, _grid.isAlwaysShown());
    wizard->Open_Wnd();
}

void SKTWindowController::setAlignWithGridButtonEnabled(bool enabled)
{
    m_alignWithGridEnabled = enabled;
    if (Properties_Panel)
        Properties_Panel->aligmnt_tab->setAlignWithGridButtonEnabled(enabled);
}

void SKTWindowController::setMakeSameSizeButtonsEnabled(bool enabled)
{
    m_makeSameSizeEnabled = enabled;
    if (Properties_Panel)
        Properties_Panel->aligmnt_tab->setMakeSameSizeButtonsEnabled(enabled);
}

// --- What the text, picture and source tabs ask -----------------------------------------------------

SKTGraphic *SKTWindowController::currentGraphic() const
{
    // The list keeps the object alive; the panel does not hold on to it.
    const SKTGraphicView *canvas = currentCanvas();
    return canvas ? canvas->Selected_Graphic().get() : nullptr;
}

QString SKTWindowController::chooseUserPicture()
{
    return Browse_User_Image_Manually() ? Win().Library_Selected_Image : QString();
}

QString SKTWindowController::chooseLibraryPicture()
{
    if (Open_Image_Library_Window(QStringLiteral("C")) != 1)
        return QString();
    Win().Library_Selected_Image = Win().lib_window_sel_file;
    return Win().Library_Selected_Image;
}

std::optional<QString> SKTWindowController::chooseTemplateText(const QString &title_or_msg)
{
    Insert_Template *picker = titleMessagePicker();
    if (!picker)
        return std::nullopt;
    picker->title_or_msg = title_or_msg;
    if (picker->Open_Template_Dialog() != 1)
        return std::nullopt;
    return Win().Template_Msg_Val;
}


// --- Object buttons --------------------------------------------------------------------------------

void SKTWindowController::setButtonsEnabled(bool cut, bool copy, bool del, bool front, bool back, bool lock,
                                            bool unlock)
{
    if (isPreviewShown())
        cut = copy = del = front = back = lock = unlock = false;
    setEnabled(Cut_btn, cut);
    setEnabled(Copy_btn, copy);
    setEnabled(Delete_btn, del);
    setEnabled(Begin_Front_btn, front);
    setEnabled(Send_Back_btn, back);
    setEnabled(Lock_btn, lock);
    setEnabled(Unlock_btn, unlock);
}

void SKTWindowController::Set_Paste_Button_Status()
{
    // Graphics come first: a pasteboard offering graphics and file names pastes graphics.
    setEnabled(Paste_btn, !isPreviewShown() && platform::generalPasteboard().types().contains(
                                                   SKTGraphicView::SKTGraphicViewPasteboardType));
}

void SKTWindowController::Enable_Standard_Button_For_Control()
{
    Enable_Standard_Button_For_Unlock();
}

void SKTWindowController::Enable_Standard_Button_For_Unlock()
{
    Undo_Redo_Button_state();
    setButtonsEnabled(true, true, true, true, true, true, false);
    Set_Paste_Button_Status();
}

void SKTWindowController::Disable_Standard_Button_For_Card()
{
    setButtonsEnabled(false, false, false, false, false, false, false);
    Set_Paste_Button_Status();
}

void SKTWindowController::Disable_Standard_Button_For_Lock()
{
    setButtonsEnabled(false, false, false, false, false, false, true);
    setEnabled(Paste_btn, false);
}

void SKTWindowController::setArrangeAndLockButtonsEnabled(bool enabled)
{
    for (QToolButton *button : {Begin_Front_btn, Send_Back_btn, Lock_btn, Unlock_btn})
        setEnabled(button, enabled);
}

void SKTWindowController::Update_All_Card_Content()
{
    AppState &app = App();
    SKTGraphicView *canvas = currentCanvas();
    if (canvas && card_setting_tab) {
        const ColorWell *colour = card_setting_tab->All_Text_clr;
        const bool colourChanged = colour->color() != card_setting_tab->All_Text_clr_COPY->color();
        // Without a baseline the card-wide font was never changed: texts keep their own fonts.
        const std::optional<QFont> &baseline = card_setting_tab->All_Text_font_COPY;
        const bool fontChanged = baseline && app.All_Text_font != *baseline;
        for (const SKTGraphicPtr &graphic : canvas->graphics()) {
            if (graphic->kind() == SKTGraphic::Kind::Text) {
                if (colourChanged)
                    graphic->txt_clr = colour->color();
                if (fontChanged)
                    graphic->text_ctrl_font = app.All_Text_font;
            } else if (graphic->kind() == SKTGraphic::Kind::Image &&
                       isFramePicture(*graphic) && _graphicView) {
                graphic->setBounds(_graphicView->canvasBounds());
            }
        }
        // Applied once: a later size change or undo leaves texts coloured one by one as they are.
        card_setting_tab->All_Text_clr_COPY->setColor(colour->color());
        if (baseline)
            card_setting_tab->All_Text_font_COPY = app.All_Text_font;
    }
    Update_Card_Graphics();
}

// --- Backgrounds -----------------------------------------------------------------------------------

void SKTWindowController::Load_and_fill_backgrounds()
{
    if (Properties_Panel)
        Properties_Panel->cardPanel->Load_and_fill_backgrounds();
}

void SKTWindowController::Reset_Image_Editing_Controls()
{
    if (image_tab)
        image_tab->Reset_Image_Editing_Controls();
}

bool SKTWindowController::set_Front_BG_Image(const QString &path)
{
    QString problem;
    const QImage picture = InputShield::loadPicture(Main_wnd, path, &problem);
    return set_Front_BG_Image(path, picture, problem);
}

bool SKTWindowController::set_Front_BG_Image(const QString &path, const QImage &read, const QString &problem)
{
    // A picture that cannot be read leaves the side, its frame picture and the panel as they were.
    const QImage picture = chosenBackground(card_bkgd_tab, path, read, problem);
    if (picture.isNull())
        return false;
    Front_card_Prop.setCard_fill_chk(true);
    Front_card_Prop.setCard_BG_Image_Path(path);
    Front_card_Prop.setCard_BG_Image(picture);
    // The frame picture shows the front's background.
    if (_graphicView) {
        const SKTGraphicPtr frame = _graphicView->Selcect_Ctrl_With_ID(ControlTags::FramePicture);
        _graphicView->setSelected_Graphic(frame);
        if (frame && frame->kind() == SKTGraphic::Kind::Image)
            static_cast<SKTImage &>(*frame).setPicture(path, picture);
    }
    Show_RHS_Properties(nullptr);
    return true;
}

bool SKTWindowController::set_Back_BG_Image(const QString &path)
{
    QString problem;
    const QImage picture = InputShield::loadPicture(Main_wnd, path, &problem);
    return set_Back_BG_Image(path, picture, problem);
}

bool SKTWindowController::set_Back_BG_Image(const QString &path, const QImage &read, const QString &problem)
{
    const QImage picture = chosenBackground(card_bkgd_tab, path, read, problem);
    if (picture.isNull())
        return false;
    Back_card_Prop.setCard_fill_chk(true);
    Back_card_Prop.setCard_fill_style(QStringLiteral("I"));
    Back_card_Prop.setCard_BG_Image_Path(path);
    Back_card_Prop.setCard_BG_Image(picture);
    Show_RHS_Properties(nullptr);
    return true;
}

bool SKTWindowController::Browse_User_Image_Manually()
{
    const QString path = platform::uiServices().chooseFileToOpen(
        QStringLiteral("Choose a Picture"), Panel_Start_Folder(QStandardPaths::PicturesLocation),
        platform::photoFileTypes());
    Win().Library_Selected_Image = path;
    return !path.isEmpty();
}

int SKTWindowController::Open_Image_Library_Window(const QString &category)
{
    Image_Library *library = Image_Library::defaultInstance();
    library->control_or_BG = category;
    const int result = library->Open_Library_Window();
    if (result == 1)
        Win().lib_window_sel_file = library->selected_image;
    return result;
}
