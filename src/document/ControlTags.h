#pragma once

#include <QLatin1String>
#include <QString>

class SKTGraphic;

// Tags (`control_ID`) of the objects that the program places itself: the invitation's texts, its
// main photo and frame picture, and the profile's objects.
namespace ControlTags {

inline constexpr QLatin1String PartyPrefix("PARTY_");
inline constexpr QLatin1String PartyTitle("PARTY_TITLE");
inline constexpr QLatin1String PartyTo("PARTY_TO");
inline constexpr QLatin1String PartyMessage("PARTY_MSG");
inline constexpr QLatin1String PartyDate("PARTY_DATE");
inline constexpr QLatin1String PartyTime("PARTY_TIME");
inline constexpr QLatin1String PartyVenue("PARTY_VENUE");
inline constexpr QLatin1String PartyFrom("PARTY_FROM");
inline constexpr QLatin1String PartyMarriageInfo("PARTY_MARRINGE_INFO");
inline constexpr QLatin1String MainPhoto("PARTY_IMAGE");
inline constexpr QLatin1String FramePicture("PARTY_IMAGE_BG");

inline constexpr QLatin1String ProfileName("Fup_Name");
inline constexpr QLatin1String ProfileTitle("Fup_Title");
inline constexpr QLatin1String ProfileCompany("Fup_Company");
inline constexpr QLatin1String ProfileCompanySlogan("Fup_CompanySlogan");
inline constexpr QLatin1String ProfileAddress("Fup_Address");
inline constexpr QLatin1String ProfilePhone("Fup_PhoneNO");
inline constexpr QLatin1String ProfileFax("Fup_FaxNo");
inline constexpr QLatin1String ProfileEmail("Fup_EmailID");
inline constexpr QLatin1String ProfileWebsite("Fup_Website");
inline constexpr QLatin1String ProfileUniqueNumber("Fup_UniqueNo");
inline constexpr QLatin1String ProfilePhoto("Fup_Photo");

} // namespace ControlTags

// The frame picture covers the card: it is never selected, handled or resized on the canvas.
bool isFramePicture(const SKTGraphic &graphic);
// The invitation's main photo, edited only through its own command.
bool isMainPhoto(const SKTGraphic &graphic);
// Either of the two: neither travels through the pasteboard.
bool isInvitationPicture(const SKTGraphic &graphic);
// One of the eleven objects a user profile places.
bool isProfileObject(const SKTGraphic &graphic);
// The name the profile dialogs give the field of a profile tag ("Name", "Unique No."); "" for
// another tag.
QString profileFieldName(const QString &tag);
