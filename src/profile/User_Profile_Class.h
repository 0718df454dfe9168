#pragma once

#include "document/DataBinding.h"

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

    // Where the field's value comes from: typed, a series (its name and its place in the series list
    // when it was chosen) or a column of the loaded Excel sheet (its place in the binding table's
    // column list, 0 the row-number column, and its title).
    DataBinding Name_binding;
    DataBinding Title_binding;
    DataBinding Company_name_binding;
    DataBinding slogan_binding;
    DataBinding address_binding;
    DataBinding phone_binding;
    DataBinding fax_binding;
    DataBinding email_binding;
    DataBinding website_binding;
    DataBinding unique_binding;
    DataBinding image_binding;

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
};

// One of the eleven fields: its fixed tags and where its parts live in a record, so that dialogs and
// the placement can walk the fields in their one order instead of spelling out each name.
struct User_Profile_Field {
    const char *stem;        // "Name", "Title", ... "image"
    const char *objectTag;   // "Fup_Name" ...
    const char *captionTag;  // "Fup_lbl_Name" ...
    bool isPhoto;            // the last field's value is a picture path
    DataBinding User_Profile_Class::*binding;
    QString User_Profile_Class::*id;
    QString User_Profile_Class::*label_id;
    QString User_Profile_Class::*label;
    QString User_Profile_Class::*value;
};

// The eleven fields in the order every profile operation visits them.
const std::array<User_Profile_Field, 11> &User_Profile_Fields();
