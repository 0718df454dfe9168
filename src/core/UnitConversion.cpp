#include "core/UnitConversion.h"

float Points_to_MM_Convert(float points)
{
    return static_cast<float>(static_cast<double>(points) * 0.3527777777778);
}

float MM_to_Points_Convert(float mm)
{
    return static_cast<float>(static_cast<double>(mm) * 2.834645669291);
}
