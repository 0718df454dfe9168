#pragma once

#include <QString>

// The process-wide values of the user profiles: whether an accepted profile may be placed on the
// card, and the captions of the eleven profile fields. reset() puts back the values the program
// starts with (App().reset() calls it).
struct ProfileState {
    ProfileState();
    ProfileState(const ProfileState &) = delete;
    ProfileState &operator=(const ProfileState &) = delete;

    void reset();

    bool Fill_User_Profile;

    QString Title_Name, Title_Title, Title_Company_name, Title_slogan, Title_address, Title_phone, Title_fax,
        Title_email, Title_website, Title_unique, Title_image;
};

ProfileState &Profiles();
