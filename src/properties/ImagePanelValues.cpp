#include "properties/ImagePanelValues.h"

#include "document/SKTGraphic.h"
#include "properties/PanelConversions.h"

using namespace PanelConversions;

void ImagePanelValues::writeInto(SKTGraphic &g) const
{
    g.print_object = printObject;
    writeOutline(*this, g);
    // Direct writes, as every panel edit: no undo step and no notice.
    g._isFlippedHorizontally = flipHorizontally;
    g._isFlippedVertically = flipVertically;
    g.invert_clr = invert;
    g.gray_Scale = grayScale;
    g.Sepia = sepia;
    g.img_trnsp_val = static_cast<float>(opacityPercent);
    g.rotate_image = static_cast<float>(rotation);
    g.hue_val = static_cast<float>(hue);
    g.sat_val = static_cast<float>(saturation);
    g.brt_val = static_cast<float>(brightness);
    g.con_val = static_cast<float>(contrast);
    g.srp_val = static_cast<float>(sharpness);
    g.ev_val = static_cast<float>(exposure);
    g.blr_val = static_cast<float>(blur);
    g._file_path = path;
}

ImagePanelValues ImagePanelValues::of(const SKTGraphic &g)
{
    ImagePanelValues v;
    v.path = g._file_path;
    readOutline(v, g);
    v.rotation = g.rotate_image;
    v.opacityPercent = g.img_trnsp_val;
    v.hue = g.hue_val;
    v.saturation = g.sat_val;
    v.brightness = g.brt_val;
    v.contrast = g.con_val;
    v.sharpness = g.srp_val;
    v.exposure = g.ev_val;
    v.blur = g.blr_val;
    v.grayScale = g.gray_Scale;
    v.sepia = g.Sepia;
    v.invert = g.invert_clr;
    v.flipVertically = g._isFlippedVertically;
    v.flipHorizontally = g._isFlippedHorizontally;
    v.printObject = g.print_object;
    return v;
}
