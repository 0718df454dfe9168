#pragma once

// Conversion between points and millimetres, as the size fields show them.

// points × 0.3527777777778, computed in double and rounded to float.
float Points_to_MM_Convert(float points);
// mm × 2.834645669291, computed in double and rounded to float.
float MM_to_Points_Convert(float mm);
