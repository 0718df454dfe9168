#include "profile/ProfileState.h"

#include "core/AppState.h"

ProfileState::ProfileState()
{
    reset();
}

void ProfileState::reset()
{
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
}

ProfileState &Profiles()
{
    static ProfileState *const state = [] {
        static ProfileState made;
        App().addSubsystemReset([] { made.reset(); });
        return &made;
    }();
    return *state;
}
