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

QString profileFieldName(const QString &tag)
{
    using namespace ControlTags;
    static const std::pair<QLatin1String, const char *> fields[] = {
        {ProfileName, "Name"},           {ProfileTitle, "Position / Title"}, {ProfileCompany, "Company Name"},
        {ProfileCompanySlogan, "Company Slogan"}, {ProfileAddress, "Address"}, {ProfilePhone, "Phone No."},
        {ProfileFax, "Fax No."},         {ProfileEmail, "Email Id"},         {ProfileWebsite, "Website"},
        {ProfileUniqueNumber, "Unique No."}, {ProfilePhoto, "Photo"}};
    for (const auto &[fieldTag, name] : fields)
        if (tag == fieldTag)
            return QString::fromLatin1(name);
    return QString();
}

bool isProfileObject(const SKTGraphic &graphic)
{
    return !profileFieldName(graphic.control_ID).isEmpty();
}
