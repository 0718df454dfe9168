#include "properties/ShapePanelValues.h"

#include "document/SKTGraphic.h"
#include "properties/PanelConversions.h"

using namespace PanelConversions;

void ShapePanelValues::writeInto(SKTGraphic &g) const
{
    writeOutline(*this, g);
    g._isDrawingFill = fill;
    if (fill)
        g._fillColor = fillColor;
    g._fill_type = fill && (fillRadio == QLatin1String("G") || fillRadio == QLatin1String("H")) ? fillRadio
                                                                                              : QStringLiteral("S");
    g._fill_Grad_clr1 = gradient1;
    g._fill_Grad_clr2 = gradient2;
    g._fill_grad_angle = static_cast<float>(gradientAngle);
    g._fill_htch_clr = hatchBackground;
    g._fill_hatch_type = hatchName;
    g.alpha_val = static_cast<float>(opacityPercent / 100.0);
    g.cor_rad_val = static_cast<float>(cornerRadius);
    g.double_star_type = doubleStar;
    g.polygon_type = polygon;
    g.print_object = printObject;
}

ShapePanelValues ShapePanelValues::of(const SKTGraphic &g)
{
    ShapePanelValues v;
    readOutline(v, g);
    v.fill = g._isDrawingFill;
    v.fillColor = g._fillColor;
    v.fillRadio = g._fill_type == QLatin1String("G") || g._fill_type == QLatin1String("H") ? g._fill_type
                                                                                          : QStringLiteral("S");
    v.gradient1 = g._fill_Grad_clr1;
    v.gradient2 = g._fill_Grad_clr2;
    v.hatchBackground = g._fill_htch_clr;
    v.hatchName = g._fill_hatch_type;
    v.gradientAngle = static_cast<float>(g._fill_grad_angle);
    v.opacityPercent = static_cast<double>(g.alpha_val) * 100.0;
    v.cornerRadius = g.cor_rad_val;
    v.doubleStar = g.double_star_type;
    v.polygon = g.polygon_type;
    v.printObject = g.print_object;
    return v;
}
