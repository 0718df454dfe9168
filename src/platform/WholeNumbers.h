#pragma once

#include <cmath>
#include <limits>

// Toward zero, as a stepper reads a field into whole units. Values beyond int's range (a damaged
// file's width) stop at its ends and NaN gives 0, rather than an undefined conversion.
inline int truncatedInt(double value)
{
    if (std::isnan(value))
        return 0;
    if (value >= static_cast<double>(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    if (value <= static_cast<double>(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    return static_cast<int>(value);
}
