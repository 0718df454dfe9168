#include "properties/TextPanelValues.h"

#include "document/SKTGraphic.h"
#include "properties/PanelConversions.h"

using namespace PanelConversions;

QString storedText(const SKTGraphic &g)
{
    return g.m_Text_contents ? g.m_Text_contents->string : g.Text_Value;
}

void TextPanelValues::writeInto(SKTGraphic &g, bool withText) const
{
    g.print_object = printObject;
    writeOutline(*this, g);
    g._isDrawingFill = fill;
    if (fill)
        g._fillColor = fillColor;
    g._fill_type = fill && gradient ? QStringLiteral("G") : QStringLiteral("S");
    g._fill_Grad_clr1 = gradient1;
    g._fill_Grad_clr2 = gradient2;
    g._fill_grad_angle = static_cast<float>(gradientAngle);
    g.txt_clr = textColor;
    g.text_ctrl_font = font;
    // An unchanged text keeps the storage as it is (and an object without one, without).
    if (withText && storedText(g) != text)
        g.Text_contents().string = text;
    g.alpha_val = static_cast<float>(opacityPercent / 100.0);
    g.text_alignmnet_Vert = verticalAlignment;
    g.text_alignmnet = alignment;
    g.text_transfrom_case = textCase;
    g.text_kerning = static_cast<float>(kerning);
    g.Drawing_Shadow = shadow;
    g.text_rotation = rotation;
    g.Shadow_Color = shadowColor;
    g.Shadow_offset_X = static_cast<float>(shadowX);
    g.Shadow_offset_Y = static_cast<float>(shadowY);
    g.Shadow_blur = static_cast<float>(shadowBlur);
    g.Shadow_transparency = static_cast<float>(shadowOpacityPercent / 100.0);
}

TextPanelValues TextPanelValues::of(const SKTGraphic &g)
{
    TextPanelValues v;
    readOutline(v, g);
    v.fill = g._isDrawingFill;
    v.fillColor = g._fillColor;
    v.gradient = g._fill_type == QLatin1String("G");
    v.gradient1 = g._fill_Grad_clr1;
    v.gradient2 = g._fill_Grad_clr2;
    v.gradientAngle = static_cast<float>(g._fill_grad_angle);
    v.opacityPercent = static_cast<double>(g.alpha_val) * 100.0;
    v.textColor = g.txt_clr;
    v.font = g.text_ctrl_font;
    v.text = storedText(g);
    v.rotation = g.text_rotation;
    v.verticalAlignment = g.text_alignmnet_Vert;
    v.alignment = g.text_alignmnet;
    v.textCase = g.text_transfrom_case;
    v.kerning = g.text_kerning;
    v.shadow = g.Drawing_Shadow;
    v.shadowColor = g.Shadow_Color;
    v.shadowX = g.Shadow_offset_X;
    v.shadowY = g.Shadow_offset_Y;
    v.shadowBlur = g.Shadow_blur;
    v.shadowOpacityPercent = static_cast<double>(g.Shadow_transparency) * 100.0;
    v.printObject = g.print_object;
    return v;
}
