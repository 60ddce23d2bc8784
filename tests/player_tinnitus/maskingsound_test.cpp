#include "player/tinnitus/maskingsound.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

using namespace sonaveil::player;

TEST(MaskingSound, TheEqualiserFollowsTheHearingCurveAroundItsMean)
{
    // Hearing 20 dB weaker from 3 kHz up, in the right ear only at 1 kHz.
    const std::vector<MaskingSound::Threshold> left = {{250, -70}, {1000, -70}, {3000, -50}, {6000, -50}, {12000, -50}};
    const std::vector<MaskingSound::Threshold> right = {{250, -66}, {1000, -80}, {3000, -48}, {6000, -52}};
    const auto better = MaskingSound::betterEar(left, right);
    ASSERT_EQ(better.size(), 5u);
    EXPECT_EQ(better[1].db, -80) << "the better ear at 1 kHz";
    EXPECT_EQ(better[0].db, -70);
    EXPECT_EQ(better[3].db, -52);

    EXPECT_DOUBLE_EQ(MaskingSound::curveAt(better, 100), -70) << "held below the first point";
    EXPECT_DOUBLE_EQ(MaskingSound::curveAt(better, 500), -75) << "half way on a log scale";
    EXPECT_DOUBLE_EQ(MaskingSound::curveAt(better, 16000), -50) << "held above the last point";

    const auto made = MaskingSound::make(better, -42, TestKind::Pink, 5200.0, 100);
    ASSERT_TRUE(made);
    EXPECT_EQ(made->sound, MaskingSound::kPinkNoise);
    double mean = 0;
    for (float hz : EqualiserBands::kCentresHz)
        mean += MaskingSound::curveAt(better, hz) / 10;
    for (std::size_t b = 0; b < 10; ++b) {
        const double hz = EqualiserBands::kCentresHz[b];
        SCOPED_TRACE(hz);
        EXPECT_NEAR(EqualiserBands::gainDb(made->equaliser.positions[b]),
                    std::clamp(MaskingSound::curveAt(better, hz) - mean, -15.0, 15.0), 0.5);
    }
    // Weaker hearing gets more: the 6 kHz band is above the 1 kHz band by the curve's 28 dB,
    // as far as the equaliser's ±15 dB allow.
    EXPECT_GT(made->equaliser.positions[6], made->equaliser.positions[4]);
    EXPECT_EQ(*made->notchHz, 5200);
    // -42 dB of full scale: 255 · 10^(-42/20), at master 100.
    EXPECT_EQ(made->volumePosition, 2);
    EXPECT_EQ(MaskingSound::make(better, -6, TestKind::White, std::nullopt, 50)->volumePosition, 255);
    EXPECT_FALSE(MaskingSound::make(better, -6, TestKind::White, std::nullopt, 50)->notchHz);
    EXPECT_FALSE(MaskingSound::make({}, -40, TestKind::White, std::nullopt, 100));

    // A curve steeper than the equaliser can follow is held at its ends.
    const auto steep = MaskingSound::make({{250, -90}, {12000, -20}}, -40, TestKind::White, std::nullopt, 100);
    EXPECT_EQ(steep->equaliser.positions[0], 0);
    EXPECT_EQ(steep->equaliser.positions[9], 30);
}
