#pragma once

#include <QFont>

class QPaintDevice;

// Text laid out as the desktop lays out an attributed string: one unit of the layout per point of
// font size whatever the screen's resolution, no hinting (hinted advances change with the size in
// pixels, so layouts would change with zoom), and a kerning value added after every character.
// Lay such a font out on `device()` (QTextLayout, QFontMetricsF) or take its outlines
// (QPainterPath::addText), and paint the result with any painter: it stays the same size in points.
namespace PointTextLayout {

enum PairKerning { KeepPairKerning, NoPairKerning };

// `font` made ready for a layout in points, `kerning` points added after every character. A font
// sized in pixels keeps its size, one unit per pixel.
QFont font(const QFont &font, float kerning, PairKerning pairKerning = KeepPairKerning);

// The device such fonts are laid out on; it is never painted on.
const QPaintDevice *device();

} // namespace PointTextLayout
