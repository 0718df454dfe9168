#include "document/SKTGraphicKinds.h"

SKTGraphicPtr SKTLine::clone() const
{
    return cloneAs<SKTLine>();
}

SKTGraphicPtr SKTText::clone() const
{
    return cloneAs<SKTText>();
}

SKTImage::SKTImage()
{
    _isDrawingStroke = false;
}

SKTGraphicPtr SKTImage::clone() const
{
    return cloneAs<SKTImage>();
}

SKTGraphicPtr SKTSignature::clone() const
{
    return cloneAs<SKTSignature>();
}

SKTGraphicPtr SKTBarcode::clone() const
{
    return cloneAs<SKTBarcode>();
}
