#pragma once

#include "barcode/BarcodeSettings.h"

#include <QImage>

class Barcode_2D_Frame;
class NKDBarcode;

// The frame of a barcode picture from its settings: bar height and margins typed in centimetres,
// texts measured in the settings' fonts. Heights and widths come out in points.

// The model's height: bars, the printed texts' bands with their margins, and the top and bottom
// margins. Each step goes through the model's setHeight, so a symbology that limits its height does
// so at every step.
void Set_Barcode_Height(const BarcodeSettings &settings, NKDBarcode &barcode);
// The model's total width: the widest of its bars (as `calculateWidth` left them) and its shown
// header and footer, plus the left and right margins and 15 points more when they are not 0.
float Set_Linear_Barcode_Width(const BarcodeSettings &settings, const NKDBarcode &barcode);
// The frame of a 2-D symbol: its height with the shown header and footer bands and margins, and its
// width as the linear width with the symbol's width for the bars; `symbol` is the symbol's size in points.
void Set_2d_Barcode_Height(const BarcodeSettings &settings, Barcode_2D_Frame &frame, const QSizeF &symbol);
void Set_2d_Barcode_Width(const BarcodeSettings &settings, Barcode_2D_Frame &frame, const QSizeF &symbol);
// The least whole number of pixels at `dpi` that covers `points`, one at least, in points: a module
// drawn so keeps its edges on pixel edges and is never narrower than asked. Float error of the sizes
// typed (about 1e-4 pixel) is not a pixel more.
double Whole_Pixels_Points(double points, double dpi);
// A 2-D symbol picture re-rendered, without interpolation, at the settings' resolution.
QImage Increase_DPI(const QImage &symbol, const BarcodeSettings &settings);
