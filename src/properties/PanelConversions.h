#pragma once

#include "platform/WholeNumbers.h"

#include <QFont>
#include <QString>

// How the properties panel turns stored values into what its controls show, and back.
namespace PanelConversions {

// The outline style lists of every tab hold "S", "DA", "DO", "DD", "DDD" in this order. The code of
// a list position, or a null string for a position without one (no item selected).
QString outlineCodeForIndex(int index);
// The list position of an outline code; -1 for any other code.
int outlineIndexForCode(const QString &code);

// A font as the panel's labels show it: display name and point size, "Arial Bold ( 12.00 )".
QString fontLabel(const QFont &font);

// The tab label of a shape code, "Rectangle Properties" for "R"; empty for an unknown code.
QString shapePropertiesName(const QString &code);

// The card outline as the card settings store it: "R" rectangle (0), "RR" rounded (1), "E" else.
QString cardShapeCode(int cardShape);

// Toward zero, with int's ends and NaN held (one function for panels and steppers alike).
using ::truncatedInt;

// The longest text a text object's editor keeps, in UTF-16 code units.
inline constexpr int kTextLimit = 250;
// What a new text object's editor holds until the user types.
inline constexpr char kTextPlaceholder[] = "Text here";
// The editor's text after the user changed it: each character XML cannot carry made U+FFFD
// (XmlCharacters), every placeholder taken out, then cut to the limit. The cut never splits a character made of two code units; it keeps one unit less instead.
QString cleanedEditorText(const QString &text);

// An object's outline to and from the fields its tab keeps: `border`, `borderColor`, `borderWidth`
// (whole points) and `borderStyle` (list position). Colour and width are kept while the outline is
// off, and so is the stored style when the position has no code.
template <typename Values, typename Graphic>
void writeOutline(const Values &v, Graphic &g)
{
    g._isDrawingStroke = v.border;
    if (v.border) {
        g._strokeColor = v.borderColor;
        g._strokeWidth = v.borderWidth;
    }
    const QString style = outlineCodeForIndex(v.borderStyle);
    if (!style.isNull())
        g._stroke_border_type = style;
}

template <typename Values, typename Graphic>
void readOutline(Values &v, const Graphic &g)
{
    v.border = g._isDrawingStroke;
    v.borderWidth = truncatedInt(g._strokeWidth);
    v.borderColor = g._strokeColor;
    v.borderStyle = outlineIndexForCode(g._stroke_border_type);
}

} // namespace PanelConversions
