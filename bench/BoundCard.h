#pragma once

#include "barcode/BarcodeGenerator.h"
#include "barcode/BarcodeSettings.h"
#include "datasource/RecordBinding.h"
#include "core/FontNames.h"
#include "document/SKTBarcode.h"
#include "document/SKTText.h"

#include <QRectF>

#include <memory>

// The objects of a typical bound business card, each taking its value from the named series.

// A card of 85.6 × 54 mm, in points.
inline const QRectF kCard(0, 0, 85.6 * 72 / 25.4, 54.0 * 72 / 25.4);

inline SKTGraphicPtr boundText(const QString &series, const QRectF &bounds, double size)
{
    auto graphic = std::make_shared<SKTText>();
    graphic->Set_Data_source_type(1);
    graphic->Set_Batch_List_Name(series);
    graphic->text_ctrl_font = Font_With_Name(QStringLiteral("ArialMT"), size);
    graphic->_isDrawingFill = false;
    graphic->_isDrawingStroke = false;
    graphic->_bounds = bounds;
    return graphic;
}

inline SKTGraphicPtr boundBarcode(const QString &symbology, const QString &series, const QRectF &bounds)
{
    auto graphic = std::make_shared<SKTBarcode>();
    graphic->barcode_font_index = static_cast<int>(Barcode_Symbology_Titles().indexOf(symbology));
    graphic->linear_or_2d = symbology == QLatin1String("QR Code") ? 1 : 0;
    graphic->dpi_val_index = static_cast<int>(Barcode_DPI_Titles().indexOf(QStringLiteral("300")));
    graphic->Set_Data_source_type(1);
    graphic->Set_Batch_List_Name(series);
    graphic->_bounds = bounds;
    return graphic;
}

// A barcode as the settings window leaves it: its symbol of the first record's value made and its
// frame the symbol's size, since the symbol is drawn unscaled from the frame's corner.
inline void showSymbol(SKTGraphic &graphic, const QString &value)
{
    (graphic.linear_or_2d == 1 ? graphic.two_d_font_val : graphic.linear_font_val) = value;
    graphic.Set_Barcode_image(Barcode_Image_For_Graphic(graphic));
    graphic.makeNaturalSize();
}

// A record's values: its ticket's code and its guest's link.
inline QString codeOf(int record)
{
    return QStringLiteral("TICKET-%1").arg(record + 100000);
}

inline QString linkOf(int record)
{
    return QStringLiteral("https://example.org/guest/%1").arg(record + 1);
}

// The record engine's part: each bound object takes the record's value.
inline RecordOutcome applyRecord(int record, GraphicList &objects)
{
    for (const SKTGraphicPtr &object : objects) {
        const QString series = object->binding.batch_list_name;
        if (series == QLatin1String("Name") || series == QLatin1String("Title")) {
            auto *graphic = static_cast<SKTText *>(object.get());
            graphic->Text_Value = QStringLiteral("%1 %2").arg(series).arg(record + 1);
            graphic->contents_val.reset();
        } else if (series == QLatin1String("Code")) {
            // As the record binding gives a barcode its value.
            Set_Record_Barcode(*object, codeOf(record));
        } else if (series == QLatin1String("Link")) {
            Set_Record_Barcode(*object, linkOf(record));
        }
    }
    return {};
}
