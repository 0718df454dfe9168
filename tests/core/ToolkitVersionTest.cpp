#include "core/ToolkitVersion.h"

#include <gtest/gtest.h>

TEST(ToolkitVersion, IsTheRunningQtVersion)
{
    EXPECT_GT(Get_OS_Version(), 1038);
}
