#include "window/WindowState.h"

WindowState::WindowState()
    : unable_saving_Msg(QStringLiteral("Unable to continue saving barcode image.\n\nEither Destination Drive is "
                                       "inaccessible or there is no free space available in drive to save barcode "
                                       "image."))
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

    Fill_User_Profile = false;
    Title_Name = QStringLiteral("Name :");
    Title_Title = QStringLiteral("Position / Title :");
    Title_Company_name = QStringLiteral("Company Name :");
    Title_slogan = QStringLiteral("Company Slogan :");
    Title_address = QStringLiteral("Address :");
    Title_phone = QStringLiteral("Phone No. :");
    Title_fax = QStringLiteral("Fax No. :");
    Title_email = QStringLiteral("Email Id :");
    Title_website = QStringLiteral("Website :");
    Title_unique = QStringLiteral("Unique No. :");
    Title_image = QStringLiteral("Photo :");

    Selected_Template_Path.clear();
    export_template_name.clear();
    Template_Msg_Val.clear();
    CARD_SIDE_STR.clear();
    export_card_side.clear();
    Export_File_Path.clear();
    Export_File_Message.clear();

    Excel_Binding_Use = false;
    Excel_Source_Path.clear();
    Excel_Sheet_Number = Excel_Sheet_Columns = 0;
    Use_Data_Sheet_Values = false;
    Use_Excel_Binding_Values = false;
    Data_table_rows = 0;
    Excel_table_rows = 0;
    Total_Batch_Excel_Card = 0;

    Stop_SMS_Sending_Now = false;
    list_count = 0;
    curr_barcode_count = 0.0;
    curr_msg_count = QString();

    for (QString *text : {&sender_email, &sender_pwd, &sending_server, &sending_port, &send_enable_ssl})
        text->clear();
    yes_no_msg_val = false;
    Msg_Apply_All_Chk = false;
    for (QString *text : {&Cutom_Msg_Title, &Cutom_Msg_Val, &Custom_Msg_Title, &Custom_Msg_Val})
        text->clear();

    Barcode_output_image = QImage();
    Barcode_module_size = 1;
    USED_DPI_VALUE = 600;
    PDF_Col = 3;
    PDF_Row = 0;
    QR_EC_Level_Val = QR_Enc_Mode_Val = QR_Version_Val = 0;
    Measument_Unit_Is = last_unit_val = 0;
}

WindowState &Win()
{
    static WindowState state;
    return state;
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
