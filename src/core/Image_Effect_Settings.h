#pragma once

#include <cmath>

// The twelve values of the picture effect chain, neutral by default. A picture object keeps its own
// set in its fields; the main photo keeps one in the design window's variables.
struct Image_Effect_Settings {
    bool grayscale = false;
    bool sepia = false;
    bool invrtclr = false;
    float hue = 0.0f;        // radians
    float sat = 1.0f;
    float brt = 0.0f;
    float con = 1.0f;
    float sharpness = 0.0f;
    float exposure = 0.0f;   // EV
    float blur = 0.0f;       // box radius in pixels
    float tranprency = 100.0f; // percent; the chain ignores it, drawing uses it as opacity
    int rotate = 0;          // whole degrees

    // Whether the chain leaves every pixel as it is (the opacity is drawing's, not the chain's).
    bool changesNoPixel() const
    {
        const Image_Effect_Settings neutral;
        return !grayscale && !sepia && !invrtclr && hue == neutral.hue && sat == neutral.sat && brt == neutral.brt &&
               con == neutral.con && sharpness == neutral.sharpness && exposure == neutral.exposure &&
               blur == neutral.blur && rotate == neutral.rotate;
    }

    // Kept rotations are floats; the chain takes them truncated toward zero. Values beyond any
    // turn are reduced first so that the conversion stays defined.
    static int rotationFrom(float degrees)
    {
        if (!std::isfinite(degrees))
            return 0;
        return static_cast<int>(std::fmod(degrees, 360.0f));
    }
};
