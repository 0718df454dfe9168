#include "document/SKTBarcode.h"

SKTGraphicPtr SKTBarcode::clone() const
{
    return cloneAs<SKTBarcode>();
}
