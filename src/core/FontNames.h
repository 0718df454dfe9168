#pragma once

#include <QFont>
#include <QString>

// Fonts are named by their PostScript names in designs ("TimesNewRomanPS-ItalicMT"): the family
// without blanks, then after a dash the face ("DejaVuSans-CondensedBold", "Lato-SemiboldItalic").
// The font for such a name at a size in points: the installed family and face it names where this
// machine has them, else the family named and the weight, slant and width the face's words say.
QFont Font_With_Name(const QString &postScriptName, double pointSize);
// The PostScript-style name of a font, the inverse of Font_With_Name: its face by name where it was
// chosen by name, else its width, weight and slant in words. Underline and strike-out are no part
// of a font's name.
QString Font_PostScript_Name(const QFont &font);
