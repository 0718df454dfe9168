#pragma once

#include "core/FontNames.h"

#include <QColor>
#include <QFont>
#include <QString>

// The barcode fields of a graphic, in their declared order, with a new barcode's values. A graphic
// declares its fields from this list and the barcode settings value its members, so both start
// alike and copy into each other field by field.
//
// Lengths are as typed: bar height and margins in centimetres, bar width in mils.
#define BARCODE_SETTINGS_FIELDS(X)                                                                 \
    X(int, linear_or_2d, 0)                                                                        \
    X(int, barcode_font_index, 0)                                                                  \
    X(QString, linear_font_val, QStringLiteral("0123"))                                            \
    X(QString, two_d_font_val, QStringLiteral("0123"))                                             \
    X(QString, header_val, QStringLiteral("HEADER"))                                               \
    X(QString, footer_val, QStringLiteral("FOOTER"))                                               \
    X(int, show_hide_hdr, 0)                                                                       \
    X(int, show_hide_ftr, 0)                                                                       \
    X(int, show_hide_val, 0)                                                                       \
    X(int, show_val_on_top, 0)                                                                     \
    X(int, align_hdr_index, 1)                                                                     \
    X(int, align_ftr_index, 1)                                                                     \
    X(float, linear_height_val, 0.6f)                                                              \
    X(float, linear_width_val, 20.0f)                                                              \
    X(int, qr_size_val, 60)                                                                        \
    X(int, qr_version_index, 0)                                                                    \
    X(int, qr_ec_index, 0)                                                                         \
    X(int, pdf_hgt_val, 20)                                                                        \
    X(int, pdf_wdt_val, 100)                                                                       \
    X(int, pdf_ec_val, 2)                                                                          \
    X(int, dm_module_val, 2)                                                                       \
    X(int, dm_format_index, 0)                                                                     \
    X(int, dm_encoding_index, 0)                                                                   \
    X(float, hdr_margin_val, 0.1f)                                                                 \
    X(float, ftr_margin_val, 0.1f)                                                                 \
    X(float, val_margin_val, 0.1f)                                                                 \
    X(float, TB_marging_val, 0.1f)                                                                 \
    X(float, LR_margin_val, 0.1f)                                                                  \
    X(QFont, value_font_val, Default_Barcode_Font())                                               \
    X(QFont, header_font_val, Default_Barcode_Font())                                              \
    X(QFont, footer_font_val, Default_Barcode_Font())                                              \
    X(QColor, barcode_hdr_clr_val, QColor(Qt::black))                                              \
    X(QColor, barcode_ftr_clr_val, QColor(Qt::black))                                              \
    X(QColor, barcode_val_clr_val, QColor(Qt::black))                                              \
    X(QColor, barcode_back_clr_val, QColor(Qt::white))                                             \
    X(QColor, barcode_clr_val, QColor(Qt::black))                                                  \
    X(int, dpi_val_index, 0)                                                                       \
    X(QString, dpi_custom_val, QStringLiteral("0"))

// The font of a new barcode's value text, header and footer.
inline QFont Default_Barcode_Font()
{
    return Font_With_Name(QStringLiteral("Times New Roman"), 10.0);
}
