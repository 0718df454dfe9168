#include "properties/LinePanelValues.h"

#include "document/SKTGraphic.h"
#include "properties/PanelConversions.h"

#include <algorithm>

using namespace PanelConversions;

void LinePanelValues::writeInto(SKTGraphic &g) const
{
    g._isDrawingStroke = true;
    g._strokeColor = color;
    g._strokeWidth = width;
    g.print_object = printObject;
    const QString style = outlineCodeForIndex(borderStyle);
    if (!style.isNull())
        g._stroke_border_type = style;
    g._line_cap_style = std::max(capStyle, 0);
    g._line_ori = std::max(orientation, 0);
    g.alpha_val_stroke = static_cast<float>(opacityPercent / 100.0);
}

LinePanelValues LinePanelValues::of(const SKTGraphic &g)
{
    LinePanelValues v;
    v.width = truncatedInt(g._strokeWidth);
    v.color = g._strokeColor;
    v.borderStyle = outlineIndexForCode(g._stroke_border_type);
    v.orientation = g._line_ori;
    v.capStyle = g._line_cap_style;
    v.opacityPercent = static_cast<double>(g.alpha_val_stroke) * 100.0;
    v.printObject = g.print_object;
    return v;
}
