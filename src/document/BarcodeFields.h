#pragma once

#include "core/FontNames.h"

#include <QColor>
#include <QFont>
#include <QString>

#include <algorithm>
#include <cmath>

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

// The range the settings window allows each number of a barcode, the same units as the fields.
struct Barcode_Field_Range {
    double least;
    double most;
};
namespace Barcode_Ranges {
inline constexpr Barcode_Field_Range linear_height_val{0.1, 20.0};
inline constexpr Barcode_Field_Range linear_width_val{5.0, 200.0};
inline constexpr Barcode_Field_Range qr_size_val{21, 1000};
inline constexpr Barcode_Field_Range pdf_wdt_val{20, 2000};
inline constexpr Barcode_Field_Range pdf_hgt_val{5, 1000};
inline constexpr Barcode_Field_Range pdf_ec_val{0, 8};
inline constexpr Barcode_Field_Range dm_module_val{1, 20};
inline constexpr Barcode_Field_Range margin{0.0, 5.0};
} // namespace Barcode_Ranges

#define BARCODE_SETTINGS_RANGES(X)                                                                 \
    X(linear_height_val, linear_height_val) X(linear_width_val, linear_width_val)                  \
    X(qr_size_val, qr_size_val) X(pdf_wdt_val, pdf_wdt_val) X(pdf_hgt_val, pdf_hgt_val)              \
    X(pdf_ec_val, pdf_ec_val) X(dm_module_val, dm_module_val) X(hdr_margin_val, margin)              \
    X(ftr_margin_val, margin) X(val_margin_val, margin) X(TB_marging_val, margin) X(LR_margin_val, margin)

template <typename Number>
Number Held_To_Range(Number value, Barcode_Field_Range range)
{
    const double v = static_cast<double>(value);
    // A number that is none (NaN) takes the least.
    return static_cast<Number>(std::isnan(v) ? range.least : std::clamp(v, range.least, range.most));
}

// Holds every number of a graphic's or a settings value's barcode fields to the settings window's
// range, as read from a file or a pasteboard: a size of INT_MAX or 1e30 would make a picture of
// gigapoints or overflow the drawing's arithmetic.
template <typename Fields>
void Hold_Barcode_Fields_To_Ranges(Fields &fields)
{
#define BARCODE_HOLD_TO_RANGE(Name, Range) fields.Name = Held_To_Range(fields.Name, Barcode_Ranges::Range);
    BARCODE_SETTINGS_RANGES(BARCODE_HOLD_TO_RANGE)
#undef BARCODE_HOLD_TO_RANGE
}

// The font of a new barcode's value text, header and footer.
inline QFont Default_Barcode_Font()
{
    return Font_With_Name(QStringLiteral("Times New Roman"), 10.0);
}
