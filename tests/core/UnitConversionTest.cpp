#include "core/UnitConversion.h"

#include <gtest/gtest.h>

TEST(UnitConversion, PointsAndMillimetres)
{
    EXPECT_FLOAT_EQ(MM_to_Points_Convert(25.4f), 72.0f);
    EXPECT_FLOAT_EQ(Points_to_MM_Convert(72.0f), 25.4f);
    EXPECT_NEAR(MM_to_Points_Convert(85.6f), 242.65f, 0.005f);
}
