#pragma once

#include "barcode/BarcodeSymbology.h"
#include "document/BarcodeFields.h"

#include <QString>
#include <QStringList>

class SKTGraphic;

// Everything one barcode is drawn with: the barcode fields of a graphic under their own names and
// with a new graphic's defaults. The settings window edits such a value, a barcode object keeps one in
// its fields, and the generator, the renderer and the sizing read nothing else, so any thread may draw
// any barcode from its own settings.
struct BarcodeSettings {
#define BARCODE_SETTINGS_MEMBER(Type, Name, Initial) Type Name = Initial;
    BARCODE_SETTINGS_FIELDS(BARCODE_SETTINGS_MEMBER)
#undef BARCODE_SETTINGS_MEMBER

    // The settings window's kerning check box, which no graphic field keeps: on, a single-line
    // caption is spread over the width of the bars.
    bool kerning_value = false;

    bool operator==(const BarcodeSettings &other) const;

    // Whether the value text, header and footer are printed (their check boxes hide them at 1), and
    // whether the value text stands above the bars.
    bool printsCaption() const { return show_hide_val != 1; }
    bool printsHeader() const { return show_hide_hdr != 1; }
    bool printsFooter() const { return show_hide_ftr != 1; }
    bool captionOnTop() const { return show_val_on_top != 0; }
    // The value of the current mode, and the symbology the popup index names (null past the table).
    const QString &value() const { return linear_or_2d == 1 ? two_d_font_val : linear_font_val; }
    const Barcode_Symbology *symbology() const { return Barcode_Symbology_At(barcode_font_index); }
    // "Left", "Center" or "Right"; "" for an index outside the list.
    QString headerAlignment() const;
    QString footerAlignment() const;
    // Dots per inch of the barcode's pictures: the resolution list's item, "Auto" 600, or the custom
    // value held to 72…1200 (one that is no positive number, as a new barcode's "0", counts as "Auto").
    int USED_DPI_VALUE() const;
};

// A barcode object's settings, and the settings written into a barcode object.
BarcodeSettings Barcode_Settings_Of(const SKTGraphic &graphic);
void Set_Barcode_Settings(SKTGraphic &graphic, const BarcodeSettings &settings);

// The item lists of the settings window, whose indexes the settings keep: the header and footer
// alignments, and the resolution list.
const QStringList &Barcode_Alignment_Titles();
const QStringList &Barcode_DPI_Titles();

// Centimetres as the settings window converts them (0.393701 in per cm, not 1 / 2.54).
double Centimetres_To_Points(double centimetres);
// Mils (thousandths of an inch) to points.
float Mils_To_Points(float mils);

// The five margins in points. The value text, header and footer margins count 0 while their text is
// hidden.
struct Barcode_Margins {
    float value_margin = 0;
    float header_margin = 0;
    float footer_margin = 0;
    float LR_margin = 0;
    float TB_margin = 0;
};
Barcode_Margins Barcode_Margins_Of(const BarcodeSettings &settings);
