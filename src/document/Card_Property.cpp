#include "document/Card_Property.h"

#include "core/AppState.h"
#include "core/FontNames.h"

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

template <typename T>
QVariant objectValue(const T &value)
{
    return QVariant::fromValue(value);
}
template <>
QVariant objectValue<QString>(const QString &value)
{
    return value.isNull() ? QVariant() : QVariant(value);
}
template <>
QVariant objectValue<QImage>(const QImage &value)
{
    return value.isNull() ? QVariant() : QVariant(value);
}
template <>
QVariant objectValue<QColor>(const QColor &value)
{
    return value.isValid() ? QVariant(value) : QVariant();
}

template <typename T>
T fromObject(const QVariant &value)
{
    return value.isValid() ? value.value<T>() : bareValue<T>();
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

void Card_Property::encodeWithCoder(platform::KeyedEncoder &coder) const
{
#define KEY(Name) QStringLiteral(#Name), m_##Name
#define OBJECT(Name) coder.encodeObject(QStringLiteral(#Name), objectValue(m_##Name))
    coder.encodeBool(KEY(Card_border_chk));
    coder.encodeBool(KEY(Card_fill_chk));
    coder.encodeInt(KEY(Card_bor_Stepper));
    coder.encodeInt(KEY(Card_grad_Stepper));
    coder.encodeInt(KEY(Card_Cat_index));
    coder.encodeFloat(KEY(Card_alpha_Stepper));
    OBJECT(Card_bordr_clr);
    OBJECT(Card_fill_clr);
    OBJECT(Card_fill_Grd_1_clr);
    OBJECT(Card_fill_Grd_2_clr);
    OBJECT(Card_hatch_bk_clr);
    OBJECT(Card_border_style);
    OBJECT(Card_fill_style);
    OBJECT(Card_hatch_style);
    OBJECT(Card_Side);
    OBJECT(Card_Side_Name);
    OBJECT(Card_Shape);
    OBJECT(Card_Name);
    OBJECT(Card_Preset);
    OBJECT(Card_Category);
    OBJECT(Card_Sub_Category);
    OBJECT(Card_Create_Mode);
    OBJECT(Card_BG_Image_Path);
    OBJECT(Card_BG_Image_Layout);
    OBJECT(Card_BG_Image);
    coder.encodePoint(KEY(Card_Location));
    coder.encodeSize(KEY(Card_Size));
    OBJECT(Card_Content_clr);
    OBJECT(Card_Content_font);
#undef OBJECT
#undef KEY
}

Card_Property Card_Property::initWithCoder(const platform::KeyedDecoder &coder)
{
    Card_Property p{Bare{}};
#define DECODE(Name, call) p.m_##Name = coder.call(QStringLiteral(#Name))
#define OBJECT(Name) p.m_##Name = fromObject<decltype(p.m_##Name)>(coder.decodeObject(QStringLiteral(#Name)))
    DECODE(Card_border_chk, decodeBool);
    DECODE(Card_fill_chk, decodeBool);
    DECODE(Card_bor_Stepper, decodeInt);
    DECODE(Card_grad_Stepper, decodeInt);
    DECODE(Card_Cat_index, decodeInt);
    DECODE(Card_alpha_Stepper, decodeFloat);
    OBJECT(Card_bordr_clr);
    OBJECT(Card_fill_clr);
    OBJECT(Card_fill_Grd_1_clr);
    OBJECT(Card_fill_Grd_2_clr);
    OBJECT(Card_hatch_bk_clr);
    OBJECT(Card_border_style);
    OBJECT(Card_fill_style);
    OBJECT(Card_hatch_style);
    OBJECT(Card_Side);
    OBJECT(Card_Side_Name);
    OBJECT(Card_Shape);
    OBJECT(Card_Name);
    OBJECT(Card_Preset);
    OBJECT(Card_Category);
    OBJECT(Card_Sub_Category);
    OBJECT(Card_Create_Mode);
    OBJECT(Card_BG_Image_Path);
    OBJECT(Card_BG_Image_Layout);
    OBJECT(Card_BG_Image);
    DECODE(Card_Location, decodePoint);
    DECODE(Card_Size, decodeSize);
    OBJECT(Card_Content_clr);
    OBJECT(Card_Content_font);
#undef OBJECT
#undef DECODE
    return p;
}
