#include "window/WindowState.h"

#include "core/AppState.h"

WindowState::WindowState()
{
    reset();
}

void WindowState::reset()
{
    Start_Card_Option = QStringLiteral("T");
    Library_Selected_Image.clear();
    lib_window_sel_file.clear();
    for (QString *text : {&Invite_Title, &Invite_Message, &Invite_From, &Invite_To, &Invite_Venue, &Invite_Date,
                          &Invite_Time, &Invite_BG_IMG, &Invite_Frame_IMG, &Invite_Frame_Pic_IMG})
        text->clear();

    IMG_invert_clr = IMG_gray_Scale = IMG_Sepia = false;
    IMG_trnsp_val = 100.0f;
    IMG_sat_val = IMG_con_val = 1.0f;
    IMG_hue_val = IMG_brt_val = IMG_srp_val = IMG_ev_val = IMG_blr_val = IMG_rotate_image = 0.0f;

    Selected_Template_Path.clear();
    export_template_name.clear();
    Template_Msg_Val.clear();
    CARD_SIDE_STR.clear();
}

WindowState &Win()
{
    static WindowState *const state = [] {
        static WindowState made;
        App().addSubsystemReset([] { made.reset(); });
        return &made;
    }();
    return *state;
}

Image_Effect_Settings WindowState::mainPhotoEffects() const
{
    Image_Effect_Settings s;
    s.grayscale = IMG_gray_Scale;
    s.sepia = IMG_Sepia;
    s.invrtclr = IMG_invert_clr;
    s.hue = IMG_hue_val;
    s.sat = IMG_sat_val;
    s.brt = IMG_brt_val;
    s.con = IMG_con_val;
    s.sharpness = IMG_srp_val;
    s.exposure = IMG_ev_val;
    s.blur = IMG_blr_val;
    s.tranprency = IMG_trnsp_val;
    s.rotate = Image_Effect_Settings::rotationFrom(IMG_rotate_image);
    return s;
}

void WindowState::setMainPhotoEffects(const Image_Effect_Settings &effects, float rotation)
{
    IMG_invert_clr = effects.invrtclr;
    IMG_gray_Scale = effects.grayscale;
    IMG_Sepia = effects.sepia;
    IMG_trnsp_val = effects.tranprency;
    IMG_rotate_image = rotation;
    IMG_hue_val = effects.hue;
    IMG_sat_val = effects.sat;
    IMG_brt_val = effects.brt;
    IMG_con_val = effects.con;
    IMG_srp_val = effects.sharpness;
    IMG_ev_val = effects.exposure;
    IMG_blr_val = effects.blur;
}
