#include "document/SKTSignature.h"

SKTGraphicPtr SKTSignature::clone() const
{
    return cloneAs<SKTSignature>();
}
