#pragma once

#include "core/Side_Code.h"
#include "platform/KeyedCoder.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPointF>
#include <QSizeF>
#include <QString>

// The card-face settings of one printable side: border, fill, outline code, size and place, the
// size preset, the background picture and the card-wide text colour and font. Only the fill fields
// and, for a picture fill, the background picture and its layout take part in drawing; the rest are
// stored, shown and saved.
//
// Every field has a getter of its own name and a setter "set" + name, without side effects.
// Fields are values: a copy never shares a colour, font or picture that the other could change.
#define CARD_PROPERTY_FIELDS(X)                                                                    \
    X(bool, Card_border_chk, false)                                                                \
    X(int, Card_bor_Stepper, 1)                                                                    \
    X(bool, Card_fill_chk, false)                                                                  \
    X(int, Card_grad_Stepper, 0)                                                                   \
    X(float, Card_alpha_Stepper, 1.0f)                                                             \
    X(QColor, Card_bordr_clr, QColor(Qt::black))                                                   \
    X(QString, Card_border_style, QStringLiteral("S"))                                             \
    X(QString, Card_fill_style, QStringLiteral("S"))                                               \
    X(QColor, Card_fill_clr, QColor(Qt::white))                                                    \
    X(QColor, Card_fill_Grd_1_clr, QColor(Qt::white))                                              \
    X(QColor, Card_fill_Grd_2_clr, QColor(Qt::white))                                              \
    X(QString, Card_hatch_style, QString(QLatin1String("")))                                       \
    X(QColor, Card_hatch_bk_clr, QColor(Qt::white))                                                \
    X(QString, Card_Side, QStringLiteral("2"))                                                     \
    X(QString, Card_Side_Name, Side_Code_Name(Side_Code::Front))                                   \
    X(QString, Card_Shape, QStringLiteral("R"))                                                    \
    X(QString, Card_Name, QStringLiteral("Untitled"))                                              \
    X(QPointF, Card_Location, QPointF(0, 0))                                                       \
    X(QSizeF, Card_Size, QSizeF(0, 0))                                                             \
    X(QString, Card_Preset, QStringLiteral("Horizontal"))                                          \
    X(QString, Card_Category, QStringLiteral("PVC Card"))                                          \
    X(QString, Card_Sub_Category, QStringLiteral("CR80-Credit Card Size"))                         \
    X(int, Card_Cat_index, 0)                                                                      \
    X(QString, Card_Create_Mode, QStringLiteral("W"))                                              \
    X(QImage, Card_BG_Image, QImage())                                                             \
    X(QString, Card_BG_Image_Path, QString(QLatin1String("")))                                     \
    X(QString, Card_BG_Image_Layout, QStringLiteral("Stretch"))                                    \
    X(QColor, Card_Content_clr, QColor(Qt::black))                                                 \
    X(QFont, Card_Content_font, defaultContentFont())

class Card_Property {
public:
    Card_Property() = default;

#define CARD_PROPERTY_ACCESSORS(Type, Name, Initial)                                               \
    const Type &Name() const { return m_##Name; }                                                  \
    void set##Name(const Type &value) { m_##Name = value; }
    CARD_PROPERTY_FIELDS(CARD_PROPERTY_ACCESSORS)
#undef CARD_PROPERTY_ACCESSORS

    // Keyed archive: every field under its own name. Decoding starts from a bare object, so a
    // missing key reads as NO, 0, nil or zero rather than the creation value.
    void encodeWithCoder(platform::KeyedEncoder &coder) const;
    static Card_Property initWithCoder(const platform::KeyedDecoder &coder);

    bool operator==(const Card_Property &other) const;

private:
    struct Bare {};
    explicit Card_Property(Bare);
    static QFont defaultContentFont();

#define CARD_PROPERTY_MEMBER(Type, Name, Initial) Type m_##Name = Initial;
    CARD_PROPERTY_FIELDS(CARD_PROPERTY_MEMBER)
#undef CARD_PROPERTY_MEMBER
};
