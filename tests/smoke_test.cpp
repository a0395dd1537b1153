/* smoke_test.cpp: the test binary links the game library. */
#include <gtest/gtest.h>

#include "shell/fatal.h"

TEST(Fatal, CheckWithTrueConditionReturnsZero)
{
    EXPECT_EQ(check(1, "never shown"), 0);
}
