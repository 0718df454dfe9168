#include "properties/SignaturePanelValues.h"

#include "document/SKTGraphic.h"
#include "properties/PanelConversions.h"

using namespace PanelConversions;

void SignaturePanelValues::writeInto(SKTGraphic &g) const
{
    g.print_object = printObject;
    g._isDrawingStroke = border;
    if (border) {
        g._strokeColor = borderColor;
        g._strokeWidth = borderWidth;
    }
    const QString style = outlineCodeForIndex(borderStyle);
    if (!style.isNull())
        g._stroke_border_type = style;
    g._file_path = path;
}

SignaturePanelValues SignaturePanelValues::of(const SKTGraphic &g)
{
    SignaturePanelValues v;
    v.border = g._isDrawingStroke;
    v.borderWidth = truncatedInt(g._strokeWidth);
    v.borderColor = g._strokeColor;
    v.borderStyle = outlineIndexForCode(g._stroke_border_type);
    v.path = g._file_path;
    v.printObject = g.print_object;
    return v;
}
