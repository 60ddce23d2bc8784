#include "audio/pcm16.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

using sonaveil::audio::toPcm16;

TEST(Pcm16, RoundsToTheNearestStepAndClipsAtBothEnds)
{
    // Exact steps stay exact, both ends included.
    EXPECT_EQ(toPcm16(0.0f), 0);
    EXPECT_EQ(toPcm16(-1.0f), -32768);
    EXPECT_EQ(toPcm16(1.0f / 32768), 1);
    EXPECT_EQ(toPcm16(-1.0f / 32768), -1);
    EXPECT_EQ(toPcm16(32767.0f / 32768), 32767);
    // Full scale and beyond clip rather than wrap around to the other sign.
    EXPECT_EQ(toPcm16(1.0f), 32767);
    EXPECT_EQ(toPcm16(1.5f), 32767);
    EXPECT_EQ(toPcm16(-1.5f), -32768);
    EXPECT_EQ(toPcm16(std::numeric_limits<float>::infinity()), 32767);
    EXPECT_EQ(toPcm16(-std::numeric_limits<float>::infinity()), -32768);
    // Halfway between steps: to the even one, as the server's conversion does; otherwise the
    // nearer one, the same way on both sides of zero.
    EXPECT_EQ(toPcm16(0.5f / 32768), 0);
    EXPECT_EQ(toPcm16(1.5f / 32768), 2);
    EXPECT_EQ(toPcm16(-1.5f / 32768), -2);
    EXPECT_EQ(toPcm16(0.6f / 32768), 1);
    EXPECT_EQ(toPcm16(-0.6f / 32768), -1);
    EXPECT_EQ(toPcm16(0.4f / 32768), 0);
    // A NaN is silence, not a full-scale click.
    EXPECT_EQ(toPcm16(std::numeric_limits<float>::quiet_NaN()), 0);
}

TEST(Pcm16, ABlockConvertsEverySampleWithinHalfAStep)
{
    std::vector<float> in;
    for (int i = -40000; i <= 40000; ++i)
        in.push_back(float(i) / 35000.0f);
    std::vector<std::int16_t> out(in.size() + 1, 77);
    toPcm16(in.data(), out.data(), in.size());
    for (std::size_t i = 0; i < in.size(); ++i) {
        const float expected = std::fmax(-32768.0f, std::fmin(32767.0f, in[i] * 32768.0f));
        ASSERT_LE(std::fabs(float(out[i]) - expected), 0.5f) << "at " << in[i];
    }
    EXPECT_EQ(out.back(), 77) << "wrote past the block";
}
