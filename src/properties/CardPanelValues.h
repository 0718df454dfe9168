#pragma once

#include <QColor>
#include <QFont>
#include <QList>
#include <QRectF>
#include <QSizeF>
#include <QString>

class Card_Property;

// The card panel's values as its controls hold them, with what else the card settings take from
// the design at that moment (see ShapePanelValues).
struct CardPanelValues {
    bool border = false;          // Card_border_chk
    QColor borderColor;           // Card_bordr_clr
    int borderWidth = 0;          // Card_bor_Stepper
    int borderStyle = -1;         // Card_border_style position; -1 none
    bool fill = false;            // Card_fill_chk
    QColor fillColor;             // Card_fill_clr
    QString fillRadio;            // the fill radio that is on: "S", "G", "H" or "I"
    QColor gradient1, gradient2;  // Card_fill_Grd_1_clr, Card_fill_Grd_2_clr
    double gradientAngle = 0;     // Card_grad_Stepper
    QColor hatchBackground;       // Card_hatch_bk_clr
    QString hatchName;            // Card_hatch_style's selected item; null for none
    double opacityPercent = 100;  // Card_alpha_Stepper
    QString imagePath;            // Card_Image_path
    QString imageLayout;          // Card_image_layout's selected item
    QColor contentColor;          // All_Text_clr
    QFont contentFont;            // the card-wide font
    int sidesIndex = 0;           // Sides_ComboBox position: 0 two sides
    QString cardName;             // card_name
    QString preset, category;     // Preset_ComboBox, Category_ComboBox selected items
    QString subCategory;          // name of the card-size list's selected row
    int catIndex = -1;            // that row; -1 none
    int cardShape = 0;            // matrix_card_shape's row, the design's Card_Shape
    int side = 0;                 // Card_Front_Or_Back
    QRectF frontBounds;           // the front canvas's bounds, for both sides

    // The write-back into one side's settings. The opacity is folded into the fill, gradient and
    // hatch colours, not the border's. The border colour and width stay while the border is off,
    // the fill colour while the fill is off; on the back a fill that is off stores style "S".
    void writeInto(Card_Property &side) const;
    // What the controls show for a side's settings (the design-wide values left at their defaults).
    // The orientation and the size preset are the card's own, whatever was stored with them: its
    // longer edge lying or standing (a square card keeps the stored orientation), and the row of
    // `presetSizes` (the millimetres of the category's presets, lying) that has the card's size,
    // the stored row first; none (-1) when no preset has it.
    static CardPanelValues of(const Card_Property &side, const QList<QSizeF> &presetSizes);
};
