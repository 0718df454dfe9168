#include "document/SKTImage.h"

SKTImage::SKTImage()
{
    _isDrawingStroke = false;
}

SKTGraphicPtr SKTImage::clone() const
{
    return cloneAs<SKTImage>();
}
