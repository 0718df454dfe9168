#pragma once

#include <QString>

#include <array>

// One side's business-card profile: eleven fields, each with its value and the data source it comes
// from (typed, a series, or a column of the loaded Excel sheet). The profile dialogs write it and the
// placement turns it into tagged objects on the card; it lives in memory only.
//
// A new record holds no strings at all (every string is null) until Reset_All_Values.
class User_Profile_Class {
public:
    // Puts back the defaults: tags set, values and series names empty, every source "typed".
    // The caption texts (F_label) are left as they are.
    void Reset_All_Values();

    bool Fill_User_Profile_Enable = false; // a dialog's OK wrote this profile
    bool Excel_Binding = false;            // an Excel sheet was loaded at that OK

    // The value comes from a series.
    bool Name_ds = false;
    bool Title_ds = false;
    bool Company_name_ds = false;
    bool slogan_ds = false;
    bool address_ds = false;
    bool phone_ds = false;
    bool fax_ds = false;
    bool email_ds = false;
    bool website_ds = false;
    bool unique_ds = false;
    bool image_ds = false;

    // Position of the chosen series in the series list when it was chosen.
    int Name_ds_indx = 0;
    int Title_ds_indx = 0;
    int Company_name_ds_indx = 0;
    int slogan_ds_indx = 0;
    int address_ds_indx = 0;
    int phone_ds_indx = 0;
    int fax_ds_indx = 0;
    int email_ds_indx = 0;
    int website_ds_indx = 0;
    int unique_ds_indx = 0;
    int image_ds_indx = 0;

    // The value comes from a column of the loaded Excel sheet.
    bool Name_xl = false;
    bool Title_xl = false;
    bool Company_name_xl = false;
    bool slogan_xl = false;
    bool address_xl = false;
    bool phone_xl = false;
    bool fax_xl = false;
    bool email_xl = false;
    bool website_xl = false;
    bool unique_xl = false;
    bool image_xl = false;

    // Position of the chosen column in the binding table's column list (0 is the row-number column).
    int Name_xl_col_indx = 0;
    int Title_xl_col_indx = 0;
    int Company_name_xl_col_indx = 0;
    int slogan_xl_col_indx = 0;
    int address_xl_col_indx = 0;
    int phone_xl_col_indx = 0;
    int fax_xl_col_indx = 0;
    int email_xl_col_indx = 0;
    int website_xl_col_indx = 0;
    int unique_xl_col_indx = 0;
    int image_xl_col_indx = 0;

    // Tag (control_ID) of the field's object on the card.
    QString Name_id;
    QString Title_id;
    QString Company_name_id;
    QString slogan_id;
    QString address_id;
    QString phone_id;
    QString fax_id;
    QString email_id;
    QString website_id;
    QString unique_id;
    QString image_id;

    // Tag reserved for a caption object of the field.
    QString Name_label_id;
    QString Title_label_id;
    QString Company_name_label_id;
    QString slogan_label_id;
    QString address_label_id;
    QString phone_label_id;
    QString fax_label_id;
    QString email_label_id;
    QString website_label_id;
    QString unique_label_id;
    QString image_label_id;

    // Caption text of the field; never set.
    QString Name_label;
    QString Title_label;
    QString Company_name_label;
    QString slogan_label;
    QString address_label;
    QString phone_label;
    QString fax_label;
    QString email_label;
    QString website_label;
    QString unique_label;
    QString image_label;

    // The field's value: the text, or the picture file path for the photo. Empty: not placed.
    QString Name;
    QString Title;
    QString Company_name;
    QString slogan;
    QString address;
    QString phone;
    QString fax;
    QString email;
    QString website;
    QString unique;
    QString image;

    // Name of the chosen series.
    QString Name_ds_name;
    QString Title_ds_name;
    QString Company_name_ds_name;
    QString slogan_ds_name;
    QString address_ds_name;
    QString phone_ds_name;
    QString fax_ds_name;
    QString email_ds_name;
    QString website_ds_name;
    QString unique_ds_name;
    QString image_ds_name;
};

// One of the eleven fields: its fixed tags and where its parts live in a record, so that dialogs and
// the placement can walk the fields in their one order instead of spelling out each name.
struct User_Profile_Field {
    const char *stem;        // "Name", "Title", ... "image"
    const char *objectTag;   // "Fup_Name" ...
    const char *captionTag;  // "Fup_lbl_Name" ...
    bool isPhoto;            // the last field's value is a picture path
    bool User_Profile_Class::*ds;
    int User_Profile_Class::*ds_indx;
    bool User_Profile_Class::*xl;
    int User_Profile_Class::*xl_col_indx;
    QString User_Profile_Class::*id;
    QString User_Profile_Class::*label_id;
    QString User_Profile_Class::*label;
    QString User_Profile_Class::*value;
    QString User_Profile_Class::*ds_name;
};

// The eleven fields in the order every profile operation visits them.
const std::array<User_Profile_Field, 11> &User_Profile_Fields();
