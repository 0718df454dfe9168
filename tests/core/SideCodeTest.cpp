#include "core/AppState.h"
#include "core/Side_Code.h"

#include <gtest/gtest.h>

TEST(SideCode, EverySideRoundTripsThroughItsName)
{
    for (int i = 0; i < static_cast<int>(Side_Code::Count); ++i) {
        const auto side = static_cast<Side_Code>(i);
        EXPECT_EQ(Side_Code_Named(Side_Code_Name(side)), side) << i;
    }
    EXPECT_EQ(Side_Code_Named(Card_Side_Code(0)), Side_Code::Front);
    EXPECT_EQ(Side_Code_Named(Card_Side_Code(1)), Side_Code::Back);
    EXPECT_EQ(Side_Code_Named(QStringLiteral("f")), std::nullopt);
}
