#include "document/Card_Property.h"

#include "core/AppState.h"
#include "core/FontNames.h"
#include "document/ArchiveValues.h"

namespace {

// What a missing key reads as: NO, 0, nil, the zero point or size.
template <typename T>
T bareValue()
{
    return T{};
}
template <>
QSizeF bareValue<QSizeF>()
{
    return QSizeF(0, 0);
}

} // namespace

QFont Card_Property::defaultContentFont()
{
    return Font_With_Name(App().Text_Ctrl_Font, 14.0);
}

Card_Property::Card_Property(Bare)
{
#define CARD_PROPERTY_BARE(Type, Name, Initial) m_##Name = bareValue<Type>();
    CARD_PROPERTY_FIELDS(CARD_PROPERTY_BARE)
#undef CARD_PROPERTY_BARE
}

bool Card_Property::operator==(const Card_Property &other) const
{
#define CARD_PROPERTY_EQUAL(Type, Name, Initial)                                                   \
    if (!(m_##Name == other.m_##Name))                                                             \
        return false;
    CARD_PROPERTY_FIELDS(CARD_PROPERTY_EQUAL)
#undef CARD_PROPERTY_EQUAL
    return true;
}

// The archive's field order and the coder call of each field.
#define CARD_PROPERTY_ARCHIVE(BOOL, INT, FLOAT, OBJECT, POINT, SIZE)                                \
    BOOL(Card_border_chk) BOOL(Card_fill_chk)                                                      \
    INT(Card_bor_Stepper) INT(Card_grad_Stepper) INT(Card_Cat_index)                               \
    FLOAT(Card_alpha_Stepper)                                                                      \
    OBJECT(Card_bordr_clr) OBJECT(Card_fill_clr) OBJECT(Card_fill_Grd_1_clr)                       \
    OBJECT(Card_fill_Grd_2_clr) OBJECT(Card_hatch_bk_clr) OBJECT(Card_border_style)                \
    OBJECT(Card_fill_style) OBJECT(Card_hatch_style) OBJECT(Card_Side) OBJECT(Card_Side_Name)      \
    OBJECT(Card_Shape) OBJECT(Card_Name) OBJECT(Card_Preset) OBJECT(Card_Category)                 \
    OBJECT(Card_Sub_Category) OBJECT(Card_Create_Mode) OBJECT(Card_BG_Image_Path)                  \
    OBJECT(Card_BG_Image_Layout) OBJECT(Card_BG_Image)                                             \
    POINT(Card_Location) SIZE(Card_Size)                                                           \
    OBJECT(Card_Content_clr) OBJECT(Card_Content_font)

void Card_Property::encodeWithCoder(platform::KeyedEncoder &coder) const
{
#define ENC_BOOL(Name) coder.encodeBool(QStringLiteral(#Name), m_##Name);
#define ENC_INT(Name) coder.encodeInt(QStringLiteral(#Name), m_##Name);
#define ENC_FLOAT(Name) coder.encodeFloat(QStringLiteral(#Name), m_##Name);
#define ENC_OBJECT(Name) coder.encodeObject(QStringLiteral(#Name), archiveObject(m_##Name));
#define ENC_POINT(Name) coder.encodePoint(QStringLiteral(#Name), m_##Name);
#define ENC_SIZE(Name) coder.encodeSize(QStringLiteral(#Name), m_##Name);
    CARD_PROPERTY_ARCHIVE(ENC_BOOL, ENC_INT, ENC_FLOAT, ENC_OBJECT, ENC_POINT, ENC_SIZE)
}

Card_Property Card_Property::initWithCoder(const platform::KeyedDecoder &coder)
{
    Card_Property p{Bare{}};
#define DEC_BOOL(Name) p.m_##Name = coder.decodeBool(QStringLiteral(#Name));
#define DEC_INT(Name) p.m_##Name = coder.decodeInt(QStringLiteral(#Name));
#define DEC_FLOAT(Name) p.m_##Name = coder.decodeFloat(QStringLiteral(#Name));
#define DEC_OBJECT(Name) p.m_##Name = objectFromArchive<decltype(p.m_##Name)>(coder.decodeObject(QStringLiteral(#Name)));
#define DEC_POINT(Name) p.m_##Name = coder.decodePoint(QStringLiteral(#Name));
#define DEC_SIZE(Name) p.m_##Name = coder.decodeSize(QStringLiteral(#Name));
    CARD_PROPERTY_ARCHIVE(DEC_BOOL, DEC_INT, DEC_FLOAT, DEC_OBJECT, DEC_POINT, DEC_SIZE)
    return p;
}
