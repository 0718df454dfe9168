#pragma once

#include <QFont>
#include <QString>

// Fonts are named by their PostScript names in designs ("TimesNewRomanPS-ItalicMT").
// The font for such a name at a size in points.
QFont Font_With_Name(const QString &postScriptName, double pointSize);
// The PostScript-style name of a font, the inverse of Font_With_Name for the names it made.
QString Font_PostScript_Name(const QFont &font);
