#include "common/rounding.h"

#include <gtest/gtest.h>

using sonaveil::roundHalfEven;

TEST(RoundHalfEven, HalvesGoToTheEvenNeighbour)
{
    EXPECT_EQ(roundHalfEven(0.5), 0);
    EXPECT_EQ(roundHalfEven(1.5), 2);
    EXPECT_EQ(roundHalfEven(2.5), 2);
    EXPECT_EQ(roundHalfEven(3.5), 4);
    EXPECT_EQ(roundHalfEven(-0.5), 0);
    EXPECT_EQ(roundHalfEven(-1.5), -2);
    EXPECT_EQ(roundHalfEven(-2.5), -2);
    EXPECT_EQ(roundHalfEven(2.4999999), 2);
    EXPECT_EQ(roundHalfEven(2.5000001), 3);
    EXPECT_EQ(roundHalfEven(-2.6), -3);
    EXPECT_EQ(roundHalfEven(7.0), 7);
    // 2.55 has no exact double: 2.55 * 50 lies just below 127.5.
    EXPECT_EQ(roundHalfEven(255 / 100.0 * 50), 127);
}
