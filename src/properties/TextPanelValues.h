#pragma once

#include <QColor>
#include <QFont>
#include <QString>

class SKTGraphic;

// The text tabs' values as their controls hold them (see ShapePanelValues): outline, fill, the
// text with its look, and the drop shadow.
struct TextPanelValues {
    bool border = false;            // Text_border_chk
    QColor borderColor;             // Text_bordr_clr
    int borderWidth = 0;            // Text_bor_Stepper, whole points
    int borderStyle = -1;           // Text_border_style position; -1 none
    bool fill = false;              // Text_fill_chk
    QColor fillColor;               // Text_fill_clr
    bool gradient = false;          // Text_gradient_fill_rd is on (the text tab has no pattern fill)
    QColor gradient1, gradient2;    // Text_fill_Grd_1_clr, Text_fill_Grd_2_clr
    double gradientAngle = 0;       // Text_grad_Stepper, degrees
    double opacityPercent = 100;    // Text_alpha_Stepper
    QColor textColor;               // Text_clr
    QFont font;                     // the tab's current font
    QString text;                   // Text_value_Edit
    int alignment = -1;             // Text_align_combo position; -1 none
    int verticalAlignment = -1;     // Text_vert_align_combo position
    int textCase = -1;              // Text_case_combo position
    double kerning = 0;             // Text_Kern_Stepper
    bool shadow = false;            // draw_shadow_chkbox
    int rotation = 0;               // txt_rotation_slidr, whole degrees
    QColor shadowColor;             // Shadow_clr
    double shadowX = 0, shadowY = 0; // shadow_x_Stepper, shadow_y_Stepper
    double shadowBlur = 0;          // shadow_blur_Stepper
    double shadowOpacityPercent = 0; // shadow_transp_Stepper
    int printObject = 0;            // print_object_chk

    // The write-back into one object, by direct field writes. The text goes in only with
    // `withText`, which the tab gives when this object alone is selected. Lists without a selection
    // store -1 as they stand; the shadow is written whether it is on or off.
    void writeInto(SKTGraphic &graphic, bool withText) const;
    // What the controls show for an object: percentages of the opacities, the angle in single
    // precision, -1 for an outline code the list does not hold.
    static TextPanelValues of(const SKTGraphic &graphic);
};

// The characters an object's text storage holds, without making a storage for it.
QString storedText(const SKTGraphic &graphic);
