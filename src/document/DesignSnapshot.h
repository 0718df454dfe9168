#pragma once

#include "core/Image_Effect_Settings.h"
#include "core/StoredPictureBytes.h"
#include "document/Card_Property.h"
#include "document/DrawingResources.h"
#include "document/SKTGraphic.h"

#include <QImage>
#include <QRectF>
#include <QString>
#include <QVariant>

#include <memory>

class User_Profile_Class;

// A design as it stands at one moment, taken on the GUI thread: what its sides need to be drawn
// or saved, held by value. The objects are copies that nobody edits, so that workers may draw them
// (and write a record's values into copies of their own) while the user goes on editing the design.
struct DesignSnapshot {
    struct Side {
        GraphicList graphics;
        Card_Property face;
    };
    Side front, back;
    int cardShape = 0;
    QRectF frame; // the front canvas's bounds, which every side shares
    QString mainPhotoPath;
    QImage mainPhoto;
    StoredPictureBytes mainPhotoBytes; // what a design file keeps mainPhoto as
    QVariant mainPhotoUndecoded; // a main photo the design's file held but could not read
    Image_Effect_Settings mainPhotoEffects;
    float mainPhotoRotation = 0.0f; // in degrees, as kept (the effects hold it truncated)
    std::shared_ptr<const User_Profile_Class> frontProfile, backProfile;
    DrawingResources resources;

    // The front for side code 0, the back for any other.
    const Side &side(int cardSide) const;

    // Copies of the objects with every stored field and the pictures they have loaded.
    static GraphicList copyOf(const GraphicList &graphics);
    // Loads the pictures the copies have not loaded yet (a side never shown), so that drawing them
    // reads no file and writes nothing: call it on the GUI thread before workers draw.
    void loadPictures();
};
