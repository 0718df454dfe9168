#pragma once

#include "barcode/BarcodePicture.h"
#include "barcode/BarcodeSettings.h"
#include "barcode/Barcode_2D_Frame.h"
#include "barcode/NKDBarcode.h"

#include <QImage>
#include <QString>

#include <memory>

class SKTGraphic;

// The barcode generator: plain functions of a settings value, a value, a header and a footer. They
// read no window and no process-wide variable, so the settings window's preview, the hand-off to a
// barcode object and every record of a bound run may call them, from any thread.

// What a symbology title of the settings makes: a linear model for a value and caption flag, or a
// 2-D symbol picture for a value. One of the two is set.
struct Barcode_Symbology {
    QString title;
    std::unique_ptr<NKDBarcode> (*linearModel)(const QString &value, bool printsCaption) = nullptr;
    QImage (*symbolPicture)(const BarcodeSettings &settings, const QString &value) = nullptr;
};
// The symbology of a title; null for a title nothing makes.
const Barcode_Symbology *Barcode_Symbology_Named(const QString &title);
// The 2-D rows of the table, "QR Code", "PDF417" and "DataMatrix": each draws its symbol from the
// settings' own options for it, already at the settings' resolution. Null for any other title.
const Barcode_Symbology *Barcode_2D_Symbology_Named(const QString &title);
// The 2-D symbol the settings' symbology draws of the value; null when the symbology draws none or
// cannot draw this value.
QImage Barcode_2D_Symbol(const BarcodeSettings &settings, const QString &value);

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
// The picture of the value in the settings' mode; null when none can be made.
BarcodePicture Get_Image_From_Val(const BarcodeSettings &settings, const QString &value, const QString &header,
                                  const QString &footer);
// A barcode object's picture: its own value, header and footer drawn with its settings, in pixels at
// their resolution and carrying its size in points. Null when none can be made.
QImage Barcode_Image_For_Graphic(const SKTGraphic &graphic);
// The same object's picture for another value, as a bound run makes it for every record: always
// from the object's own settings, header and footer, whichever object was drawn before.
QImage Barcode_Image_For_Graphic(const SKTGraphic &graphic, const QString &value);
