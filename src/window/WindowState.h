#pragma once

#include "core/Image_Effect_Settings.h"
#include "platform/Guarded.h"

#include <QImage>
#include <QString>

#include <atomic>

// The process-wide variables that the design window defines beside the core ones in AppState:
// start-up choice, invitation texts, the main photo's effect settings, profile captions, the
// data-binding, export and mail state, and the barcode window's settings. Other parts of the
// program read and write them directly; reset() puts back the values the program starts with.
// Flags and counters that worker threads share are atomic.
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

    bool Fill_User_Profile; // a profile was accepted and may be placed on the card

    // Captions of the eleven profile fields.
    QString Title_Name, Title_Title, Title_Company_name, Title_slogan, Title_address, Title_phone, Title_fax,
        Title_email, Title_website, Title_unique, Title_image;

    QString Selected_Template_Path; // the template browser's choice: its picture, after OK its design file
    QString export_template_name;   // the name the template-name dialog accepted
    QString Template_Msg_Val;

    QString CARD_SIDE_STR; // "2" two-sided design, "1" one side

    QString export_card_side; // "F", "B" or "BOTH"
    QString Export_File_Path;
    QString Export_File_Message;
    const QString unable_saving_Msg;

    bool Excel_Binding_Use;
    QString Excel_Source_Path;
    int Excel_Sheet_Number, Excel_Sheet_Columns;
    std::atomic<bool> Use_Data_Sheet_Values, Use_Excel_Binding_Values;
    std::atomic<int> Data_table_rows, Excel_table_rows, Total_Batch_Excel_Card;

    // Progress of a batch export or mail run, shared with its worker and timers.
    std::atomic<bool> Stop_SMS_Sending_Now;
    std::atomic<int> list_count;
    std::atomic<double> curr_barcode_count;
    platform::Guarded<QString> curr_msg_count; // progress text last shown ("%d / %d ")

    // Mail settings in force (loaded by Get_Email_Details).
    QString sender_email, sender_pwd, sending_server, sending_port, send_enable_ssl;

    bool yes_no_msg_val;
    bool Msg_Apply_All_Chk;
    QString Cutom_Msg_Title, Cutom_Msg_Val;   // long-message dialog
    QString Custom_Msg_Title, Custom_Msg_Val; // help box of the series generator

    QImage Barcode_output_image;
    int Barcode_module_size, USED_DPI_VALUE, PDF_Col, PDF_Row, QR_EC_Level_Val, QR_Enc_Mode_Val, QR_Version_Val,
        Measument_Unit_Is, last_unit_val;
};

WindowState &Win();
