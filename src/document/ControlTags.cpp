#include "document/ControlTags.h"

#include "document/SKTGraphic.h"

bool isFramePicture(const SKTGraphic &graphic)
{
    return graphic.control_ID == ControlTags::FramePicture;
}

bool isMainPhoto(const SKTGraphic &graphic)
{
    return graphic.control_ID == ControlTags::MainPhoto;
}

bool isInvitationPicture(const SKTGraphic &graphic)
{
    return isMainPhoto(graphic) || isFramePicture(graphic);
}

bool isProfileObject(const SKTGraphic &graphic)
{
    using namespace ControlTags;
    static const QLatin1String tags[] = {ProfileName,    ProfileTitle,    ProfileCompany,     ProfileCompanySlogan,
                                         ProfileAddress, ProfilePhone,    ProfileFax,         ProfileEmail,
                                         ProfileWebsite, ProfileUniqueNumber, ProfilePhoto};
    for (const QLatin1String &tag : tags)
        if (graphic.control_ID == tag)
            return true;
    return false;
}
