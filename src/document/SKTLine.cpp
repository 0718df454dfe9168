#include "document/SKTLine.h"

SKTGraphicPtr SKTLine::clone() const
{
    return cloneAs<SKTLine>();
}
