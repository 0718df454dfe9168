#pragma once

#include <QColor>
#include <QString>

class SKTGraphic;

// The shape tab's values as its controls hold them. A tab reads its controls into these and writes
// them into every selected object; showing an object goes the other way.
struct ShapePanelValues {
    bool border = false;        // Shape_border_chk
    QColor borderColor;         // shape_bordr_clr
    int borderWidth = 0;        // shape_bor_Stepper, whole points
    int borderStyle = -1;       // shape_border_style position; -1 none
    bool fill = false;          // Shape_fill_chk
    QColor fillColor;           // shape_fill_clr
    QString fillRadio;          // the fill radio that is on: "S" solid, "G" gradient, "H" pattern
    QColor gradient1, gradient2; // shape_fill_Grd_1_clr, shape_fill_Grd_2_clr
    double gradientAngle = 0;   // shape_grad_Stepper, degrees
    QColor hatchBackground;     // shape_hatch_bk_clr
    QString hatchName;          // shape_hatch_style's selected item; null for none
    double opacityPercent = 100; // shape_alpha_Stepper
    double cornerRadius = 0;    // shape_cor_radius_Stepper
    int doubleStar = 1;         // double_star_Stepper
    int polygon = 1;            // polygon_Stepper
    int printObject = 0;        // print_object_chk

    // The write-back into one object, by direct field writes. The outline colour and width stay
    // when the outline is off, the fill colour when the fill is off; a fill that is off is solid;
    // no style selected keeps the object's outline style.
    void writeInto(SKTGraphic &graphic) const;
    // What the controls show for an object: widths truncated to whole points, opacity in percent,
    // the angle in single precision, -1 for an outline code the list does not hold.
    static ShapePanelValues of(const SKTGraphic &graphic);
};
