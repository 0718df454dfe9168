#pragma once

#include "document/SKTGraphic.h"

#include <QImage>
#include <QString>

class User_Profile_Class;

// What the profile dialogs ask of the design window, which implements it; tests install a recording
// one. Main thread only.
class ProfileDialogHost {
public:
    virtual ~ProfileDialogHost() = default;

    enum Profile { Front, Back, Temp };
    virtual User_Profile_Class &profile(Profile which) = 0;
    // Whether the back side is the one shown (Card_Front_Or_Back 1).
    virtual bool backShown() const = 0;
    // The shown side's live objects.
    virtual GraphicList shownSideObjects() const = 0;
    // A picture of `objects` with the shown side's card face.
    virtual QImage sidePicture(const GraphicList &objects) = 0;
    // The temp side made of copies of the shown side's objects, the temp profile placed on it; the
    // temp side's objects. The shown side and the new-object cascade stay as they were.
    virtual GraphicList previewTempProfile() = 0;
    // The series viewer on `seriesName`, and the batch series manager.
    virtual void View_Data_Series(const QString &seriesName) = 0;
    virtual void Batch_Series_Button() = 0;
};
