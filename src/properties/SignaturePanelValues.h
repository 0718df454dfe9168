#pragma once

#include <QColor>
#include <QString>

class SKTGraphic;

// The signature tab's values as its controls hold them (see ShapePanelValues): the outline and the
// picture file of a signature or fingerprint.
struct SignaturePanelValues {
    bool border = false;   // Sign_border_chk
    QColor borderColor;    // Sign_bordr_clr
    int borderWidth = 0;   // Sign_bor_Stepper, whole points
    int borderStyle = -1;  // Sign_border_style position; -1 none
    QString path;          // Sign_image_path
    int printObject = 0;   // print_object_chk

    // The write-back into one object. A signature loads the picture of a new path when it is next
    // drawn, so every selected signature shows it.
    void writeInto(SKTGraphic &graphic) const;
    static SignaturePanelValues of(const SKTGraphic &graphic);
};
