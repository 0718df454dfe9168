#pragma once

#include "barcode/BarcodePicture.h"
#include "barcode/BarcodeSettings.h"
#include "barcode/BarcodeSymbology.h"
#include "barcode/Barcode_2D_Frame.h"
#include "barcode/NKDBarcode.h"

#include <QImage>
#include <QString>

#include <memory>

class SKTGraphic;

// The barcode generator: plain functions of a settings value, a value, a header and a footer. They
// read no window and no process-wide variable, so the settings window's preview, the hand-off to a
// barcode object and every record of a bound run may call them, from any thread.

// The makers of the 2-D symbologies: each draws its symbol from the settings' own options for it,
// already at the settings' resolution; null when the value does not fit.
QImage QR_Code_Symbol(const BarcodeSettings &settings, const QString &value);
QImage PDF417_Symbol(const BarcodeSettings &settings, const QString &value);
QImage DataMatrix_Symbol(const BarcodeSettings &settings, const QString &value);
// The 2-D symbol the settings' symbology draws of the value; null when the symbology draws none or
// cannot draw this value.
QImage Barcode_2D_Symbol(const BarcodeSettings &settings, const QString &value);

// The symbol of the value laid out as the builds that saved the oldest designs laid it out, for the
// frames those designs keep: the modules where those builds drew them, each whole pixels as near their
// size as the symbol's area allows, on a clear picture of that area (given in `area`, points). Null
// for a symbology drawn alike since (Data Matrix) and where the value cannot be drawn.
QImage Barcode_2D_Earlier_Symbol(const BarcodeSettings &settings, const QString &value, QSizeF *area);
// The area those builds gave the symbol of any value that fits the size set; empty where none.
QSizeF Barcode_2D_Earlier_Area(const BarcodeSettings &settings);

// The QR size, in points, that a version needs: one point per module, 4 × version + 17, and 21
// (version 1) for automatic and below.
int QR_Minimum_Size(int version);
// Modules per side of the QR symbol the settings make of the value; 0 when it cannot be made. An
// automatic version grows with the value, past version 1.
int QR_Modules_For(const BarcodeSettings &settings, const QString &value);

// The linear model of the value, set up from the settings: texts, flags, bar width, fonts, height and
// width. Null for an empty value, in 2-D mode, for a title without a linear model, and for a value the
// symbology cannot encode.
std::shared_ptr<NKDBarcode> Generate_Barcode_Variable(const BarcodeSettings &settings, const QString &value,
                                                      const QString &header, const QString &footer);
// The frame of a 2-D symbol for the value: texts, flags, measures and size.
Barcode_2D_Frame Barcode_2D_Frame_For(const BarcodeSettings &settings, const QString &value, const QString &header,
                                      const QString &footer, const QImage &symbol);
// The picture of the value in the settings' mode; null when none can be made. Drawn in a place of
// `room` points (none: as large as it needs), the quiet zone's ground stays within it where only whole
// pixels make the picture larger, and a 2-D symbol in a frame of the oldest layout lies as that layout
// put it; bars that need more room than the frame at the width set draw on all their ground.
BarcodePicture Get_Image_From_Val(const BarcodeSettings &settings, const QString &value, const QString &header,
                                  const QString &footer, const QSizeF &room = {});
// A barcode object's picture: its own value, header and footer drawn with its settings, in pixels at
// their resolution and carrying its size in points. Null when none can be made.
QImage Barcode_Image_For_Graphic(const SKTGraphic &graphic);
// The same object's picture for another value, as a bound run makes it for every record: always
// from the object's own settings, header and footer, whichever object was drawn before.
QImage Barcode_Image_For_Graphic(const SKTGraphic &graphic, const QString &value);
// Gives a record's copy of a barcode object, which is only drawn, its symbol of `value`: the picture
// holds the ground, bars and symbol, and the texts are drawn from the symbol's drawing where the
// card is drawn, as text in a PDF, as outlines in pictures. The null picture when none can be made;
// true when there is one. Not for an object that is saved: its picture would lack the texts.
bool Set_Record_Barcode(SKTGraphic &graphic, const QString &value);
// Keeps beside a barcode object's picture the drawing of its own value where that drawing gives
// exactly the picture's pixels: a design's barcodes, read from a file or made in the settings window.
void Attach_Barcode_Drawing(SKTGraphic &graphic);
