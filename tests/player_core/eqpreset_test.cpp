#include "player/equaliser/eqpreset.h"

#include <gtest/gtest.h>

using sonaveil::player::EqualiserBands;

TEST(EqualiserPresetFile, SixteenKilohertzBandComesFirst)
{
    EqualiserBands b;
    for (int i = 0; i < 10; ++i)
        b.positions[std::size_t(i)] = i + 1;
    EXPECT_EQ(b.toPresetText(), "10,1,2,3,4,5,6,7,8,9\r\n");
    const auto back = EqualiserBands::parsePresetText("10, 1,2,3\n4,5,6,7,8,9");
    ASSERT_TRUE(back);
    EXPECT_EQ(back->positions, b.positions);
    EXPECT_FALSE(EqualiserBands::parsePresetText("1,2,3"));
    EXPECT_FALSE(EqualiserBands::parsePresetText("1,2,3,4,5,6,7,8,9,x"));
    EXPECT_EQ(EqualiserBands::gainDb(30), 15.0f);
    EXPECT_EQ(EqualiserBands::gainDb(0), -15.0f);
}
