#pragma once

#include "core/Image_Effect_Settings.h"

#include <QString>

// The process-wide variables that the design window defines beside the core ones in AppState:
// start-up choice, invitation texts, the main photo's effect settings and the template choices.
// The data sources, output, profiles and the barcode window keep theirs in their own structs.
// reset() puts back the values the program starts with (App().reset() calls it).
struct WindowState {
    WindowState();
    WindowState(const WindowState &) = delete;
    WindowState &operator=(const WindowState &) = delete;

    void reset();

    QString Start_Card_Option; // "W" wizard card, "L" design opened, "T" nothing more

    QString Library_Selected_Image; // picture file for the next picture object
    QString lib_window_sel_file;    // path chosen in the image library window

    QString Invite_Title, Invite_Message, Invite_From, Invite_To, Invite_Venue, Invite_Date, Invite_Time;
    QString Invite_BG_IMG, Invite_Frame_IMG; // frame picture of the start wizard (both hold it)
    QString Invite_Frame_Pic_IMG;            // main photo of the start wizard

    // Effect settings of the main photo.
    bool IMG_invert_clr, IMG_gray_Scale, IMG_Sepia;
    float IMG_trnsp_val;
    float IMG_sat_val, IMG_con_val;
    float IMG_hue_val, IMG_brt_val, IMG_srp_val, IMG_ev_val, IMG_blr_val, IMG_rotate_image;
    // The effect settings above as the processer takes them, and back; `rotation` in degrees, as
    // IMG_rotate_image keeps it.
    Image_Effect_Settings mainPhotoEffects() const;
    void setMainPhotoEffects(const Image_Effect_Settings &effects, float rotation);

    QString Selected_Template_Path; // the template browser's choice: its picture, after OK its design file
    QString export_template_name;   // the name the template-name dialog accepted
    QString Template_Msg_Val;

    QString CARD_SIDE_STR; // "2" two-sided design, "1" one side
};

WindowState &Win();
