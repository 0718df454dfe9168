#pragma once

#include <QColor>

class SKTGraphic;

// The line tab's values as its controls hold them (see ShapePanelValues).
struct LinePanelValues {
    QColor color;                // Line_clr
    int width = 1;               // Line_Wdt_Stepper, whole points
    int borderStyle = -1;        // Line_border_style position; -1 none
    int capStyle = 0;            // Line_cap_style position: 0 butt, 1 round, 2 square; -1 none
    int orientation = 0;         // Line_ori_style position; -1 none
    double opacityPercent = 100; // Line_alpha_Stepper
    int printObject = 0;         // print_object_chk

    // The write-back into one object: the outline always on, no fill field touched; no style
    // selected keeps the outline style, no cap or orientation selected gives 0.
    void writeInto(SKTGraphic &graphic) const;
    static LinePanelValues of(const SKTGraphic &graphic);
};
