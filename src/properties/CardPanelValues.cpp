#include "properties/CardPanelValues.h"

#include "core/AppState.h"
#include "core/StringHelpers.h"
#include "core/UnitConversion.h"
#include "document/Card_Property.h"
#include "document/SKTGraphic.h"
#include "properties/PanelConversions.h"

#include <cmath>

using namespace PanelConversions;

void CardPanelValues::writeInto(Card_Property &p) const
{
    p.setCard_border_chk(border);
    if (border) {
        p.setCard_bordr_clr(borderColor);
        p.setCard_bor_Stepper(borderWidth);
    }
    const QString style = outlineCodeForIndex(borderStyle);
    if (!style.isNull())
        p.setCard_border_style(style);

    const double opacity = opacityPercent / 100.0;
    p.setCard_fill_chk(fill);
    if (fill)
        p.setCard_fill_clr(colorWithOpacity(fillColor, opacity));
    const bool known = fillRadio == QLatin1String("G") || fillRadio == QLatin1String("H") ||
                       fillRadio == QLatin1String("I");
    const QString radio = known ? fillRadio : QStringLiteral("S");
    // The back keeps a style only while it fills; the front keeps the radio's in any case.
    p.setCard_fill_style(side == 0 || fill ? radio : QStringLiteral("S"));
    p.setCard_fill_Grd_1_clr(colorWithOpacity(gradient1, opacity));
    p.setCard_fill_Grd_2_clr(colorWithOpacity(gradient2, opacity));
    p.setCard_hatch_bk_clr(colorWithOpacity(hatchBackground, opacity));
    p.setCard_grad_Stepper(truncatedInt(gradientAngle));

    p.setCard_hatch_style(hatchName);
    p.setCard_BG_Image_Path(imagePath);
    p.setCard_BG_Image_Layout(imageLayout);
    p.setCard_alpha_Stepper(static_cast<float>(opacity));
    p.setCard_Content_clr(contentColor);
    p.setCard_Content_font(contentFont);

    p.setCard_Side(sidesIndex == 0 ? QStringLiteral("2") : QStringLiteral("1"));
    p.setCard_Side_Name(Card_Side_Code(side));
    p.setCard_Shape(cardShapeCode(cardShape));
    const QString name = Trim_Str(cardName);
    p.setCard_Name(name.isEmpty() ? QStringLiteral("Untitled") : name);
    p.setCard_Location(frontBounds.topLeft());
    p.setCard_Size(frontBounds.size());
    p.setCard_Preset(preset);
    p.setCard_Category(category);
    p.setCard_Sub_Category(subCategory);
    p.setCard_Cat_index(catIndex);
    p.setCard_Create_Mode(QStringLiteral("W"));
}

namespace {

// Presets are listed to a hundredth of an inch and a card may have the exact size (243 × 154 points
// is a CR80 card); no two presets of different sizes come within 1.5 mm of each other.
constexpr double kSameMillimetres = 0.5;

} // namespace

CardPanelValues CardPanelValues::of(const Card_Property &p, const QList<QSizeF> &presetSizes)
{
    CardPanelValues v;
    v.border = p.Card_border_chk();
    v.borderColor = p.Card_bordr_clr();
    v.borderWidth = p.Card_bor_Stepper();
    v.borderStyle = outlineIndexForCode(p.Card_border_style());
    v.fill = p.Card_fill_chk();
    v.fillColor = p.Card_fill_clr();
    v.fillRadio = p.Card_fill_style();
    v.gradient1 = p.Card_fill_Grd_1_clr();
    v.gradient2 = p.Card_fill_Grd_2_clr();
    v.gradientAngle = p.Card_grad_Stepper();
    v.hatchBackground = p.Card_hatch_bk_clr();
    v.hatchName = p.Card_hatch_style();
    v.opacityPercent = static_cast<double>(p.Card_alpha_Stepper()) * 100.0;
    v.imagePath = p.Card_BG_Image_Path();
    v.imageLayout = p.Card_BG_Image_Layout();
    v.contentColor = p.Card_Content_clr();
    v.contentFont = p.Card_Content_font();
    v.cardName = p.Card_Name();
    v.category = p.Card_Category();

    const QSizeF card(Points_to_MM_Convert(static_cast<float>(p.Card_Size().width())),
                      Points_to_MM_Convert(static_cast<float>(p.Card_Size().height())));
    v.preset = card.width() > card.height()   ? QStringLiteral("Horizontal")
               : card.height() > card.width() ? QStringLiteral("Vertical")
                                              : p.Card_Preset();
    const bool standing = v.preset != QLatin1String("Horizontal");
    const auto fits = [&](int row) {
        if (row < 0 || row >= presetSizes.size())
            return false;
        const QSizeF preset = standing ? presetSizes.at(row).transposed() : presetSizes.at(row);
        return std::abs(preset.width() - card.width()) < kSameMillimetres &&
               std::abs(preset.height() - card.height()) < kSameMillimetres;
    };
    v.catIndex = fits(p.Card_Cat_index()) ? p.Card_Cat_index() : -1;
    for (int row = 0; v.catIndex < 0 && row < presetSizes.size(); ++row)
        if (fits(row))
            v.catIndex = row;
    // The row's name is the window's to give; the stored one holds only for the stored row.
    v.subCategory = v.catIndex == p.Card_Cat_index() ? p.Card_Sub_Category() : QString();
    return v;
}
