#pragma once

#include <QColor>
#include <QString>

class SKTGraphic;

// The image tab's values as its controls hold them (see ShapePanelValues): outline, mirroring,
// colour effects, the nine effect sliders and the picture's path. The sliders' values are stored
// as they stand: the opacity in percent, the rest in the effect chain's own units.
struct ImagePanelValues {
    bool border = false;          // Image_border_chk
    QColor borderColor;           // Image_bordr_clr
    int borderWidth = 0;          // Image_bor_Stepper, whole points
    int borderStyle = -1;         // Image_border_style position; -1 none
    bool flipHorizontally = false; // Image_FIH_chk
    bool flipVertically = false;   // Image_FIV_chk
    bool invert = false;          // Image_Invert_chk
    bool grayScale = false;       // Image_Gray_Scale_chk
    bool sepia = false;           // Image_Sepia_chk
    double opacityPercent = 100;  // Trsp_slidr
    double rotation = 0;          // Rotate_slidr, degrees
    double hue = 0;               // Hue_slidr
    double saturation = 1;        // Sat_slidr
    double brightness = 0;        // Brt_slidr
    double contrast = 1;          // Con_slidr
    double sharpness = 0;         // shrp_slidr
    double exposure = 0;          // ev_slidr
    double blur = 0;              // blr_slidr
    QString path;                 // Manual_image_path
    int printObject = 0;          // print_object_chk

    // The write-back into one object, by direct field writes; the picture itself is not reloaded.
    void writeInto(SKTGraphic &graphic) const;
    static ImagePanelValues of(const SKTGraphic &graphic);
};
