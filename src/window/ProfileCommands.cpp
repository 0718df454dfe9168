// The profiles of the design window: placing a side's profile as tagged objects (the profile library
// does the work) and the dialogs that write the profiles.

#include "window/SKTWindowController.h"

#include "canvas/ui/SKTGraphicView.h"
#include "core/AppState.h"
#include "core/MessageBoxes.h"
#include "datasource/DataSourceState.h"
#include "document/SKTDocument.h"
#include "profile/ProfilePlacement.h"
#include "profile/ProfileState.h"
#include "profile/User_Profile_Class.h"

#include <exception>

void SKTWindowController::Fill_User_profile_info_front_side()
{
    fillProfileSide(0);
}

void SKTWindowController::Fill_User_profile_info_back_side()
{
    fillProfileSide(1);
}

void SKTWindowController::Fill_User_profile_info_TEMP_side()
{
    fillProfileSide(2);
}

void SKTWindowController::Fill_User_profile_Details()
{
    Fill_User_profile_info_front_side();
    Fill_User_profile_info_back_side();
}

void SKTWindowController::fillProfileSide(int side)
{
    if (side != 2) {
        // The panel offers "Excel" while a sheet is bound, whether or not a profile is placed.
        if (DataSources().Excel_Binding_Use)
            Add_Excel_Col_Name_In_Combo(Data_source_type);
        else
            Remove_Excel_Col_Name_In_Combo(Data_source_type);
        if (!Profiles().Fill_User_Profile)
            return;
    }
    SKTGraphicView *canvases[3] = {_graphicView, _graphicView_BACK, _graphicView_TEMP};
    User_Profile_Class *profiles[3] = {Front_user_profile.get(), Back_user_profile.get(), TEMP_user_profile.get()};
    SKTGraphicView *canvas = canvases[side];
    if (!canvas || !m_document)
        return;
    SKTGraphicList *lists[3] = {&m_document->graphics(), &m_document->graphics_back(), &m_document->graphics_temp()};
    // The placement makes its objects itself, so the palette's tool stays what the toolbar shows.
    const QSizeF frontCard = Front_card_Prop.Card_Size().isEmpty() ? frontCanvasBounds().size()
                                                                   : Front_card_Prop.Card_Size();
    Profile_Side_Target target(*lists[side], frontCard, m_no_image, &_grid);
    SKTDocument *document = m_document;
    if (side != 2)
        target.room = canvas->designRoom().objects;
    if (side == 0) {
        target.insert = [document](const GraphicList &graphics, const platform::IndexSet &indexes) {
            document->insertGraphics(graphics, indexes);
        };
        target.undo = &document->undoManager();
    }
    Profile_Fill_Result result;
    try {
        result = Fill_User_Profile_Side(*profiles[side], target);
    } catch (const std::exception &e) {
        Show_NSLog_Message(QString::fromLocal8Bit(e.what()));
        return;
    }
    if (!result.refusal.isEmpty()) {
        Show_MessageBox(tr("The profile cannot be placed.") + QLatin1Char('\n') + result.refusal);
        return;
    }
    if (result.lastPlaced)
        canvas->setSelected_Graphic(result.lastPlaced);
    canvas->update();
    Undo_Redo_Button_state();
    if (!result.photoProblem.isEmpty())
        Show_MessageBox(result.photoProblem);
}
