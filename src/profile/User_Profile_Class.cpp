#include "profile/User_Profile_Class.h"

#define CARD_PROFILE_FIELD(F, tag, photo)                                                              \
    User_Profile_Field                                                                                 \
    {                                                                                                  \
        #F, "Fup_" tag, "Fup_lbl_" tag, photo, &User_Profile_Class::F##_binding,                       \
            &User_Profile_Class::F##_id, &User_Profile_Class::F##_label_id, &User_Profile_Class::F##_label, \
            &User_Profile_Class::F                                                                     \
    }

const std::array<User_Profile_Field, 11> &User_Profile_Fields()
{
    static const std::array<User_Profile_Field, 11> fields{
        CARD_PROFILE_FIELD(Name, "Name", false),
        CARD_PROFILE_FIELD(Title, "Title", false),
        CARD_PROFILE_FIELD(Company_name, "Company", false),
        CARD_PROFILE_FIELD(slogan, "CompanySlogan", false),
        CARD_PROFILE_FIELD(address, "Address", false),
        CARD_PROFILE_FIELD(phone, "PhoneNO", false),
        CARD_PROFILE_FIELD(fax, "FaxNo", false),
        CARD_PROFILE_FIELD(email, "EmailID", false),
        CARD_PROFILE_FIELD(website, "Website", false),
        CARD_PROFILE_FIELD(unique, "UniqueNo", false),
        CARD_PROFILE_FIELD(image, "Photo", true),
    };
    return fields;
}

#undef CARD_PROFILE_FIELD

void User_Profile_Class::Reset_All_Values()
{
    const auto &fields = User_Profile_Fields();
    for (const User_Profile_Field &f : fields)
        this->*f.id = QString::fromLatin1(f.objectTag);
    for (const User_Profile_Field &f : fields)
        this->*f.label_id = QString::fromLatin1(f.captionTag);

    Fill_User_Profile_Enable = false;
    Excel_Binding = false;

    // Empty, not null: only a record that was never reset holds no strings.
    for (const User_Profile_Field &f : fields)
        this->*f.value = QStringLiteral("");

    for (const User_Profile_Field &f : fields)
        this->*f.binding = {DataBinding::Typed, QStringLiteral(""), 0, false, 0, QStringLiteral("")};
}
