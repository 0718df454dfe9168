#include "document/SKTText.h"

SKTGraphicPtr SKTText::clone() const
{
    return cloneAs<SKTText>();
}
