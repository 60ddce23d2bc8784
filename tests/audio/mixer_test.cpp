#include "audio/mixer.h"

#include <cmath>
#include <gtest/gtest.h>

using sonaveil::audio::Mixer;

TEST(MixerLaws, VolumeScalesTheAmplitudeLinearly)
{
    EXPECT_EQ(Mixer::volumeGain(0), 0.0f);
    EXPECT_FLOAT_EQ(Mixer::volumeGain(255), 1.0f);
    EXPECT_NEAR(20 * std::log10(Mixer::volumeGain(128)), -6.0, 0.05);
    EXPECT_NEAR(20 * std::log10(Mixer::volumeGain(100)), -8.1, 0.05);
    EXPECT_EQ(Mixer::volumeGain(-5), 0.0f);
    EXPECT_FLOAT_EQ(Mixer::volumeGain(300), 1.0f);
}

TEST(MixerLaws, PanIsEqualPowerWith128AtTheCentre)
{
    float l, r;
    Mixer::panGains(128, l, r);
    EXPECT_NEAR(l, std::sqrt(0.5), 1e-6);
    EXPECT_NEAR(r, std::sqrt(0.5), 1e-6);
    Mixer::panGains(0, l, r);
    EXPECT_FLOAT_EQ(l, 1.0f);
    EXPECT_NEAR(r, 0.0f, 1e-7);
    Mixer::panGains(255, l, r);
    EXPECT_NEAR(l, 0.0f, 1e-7);
    EXPECT_FLOAT_EQ(r, 1.0f);
    for (int pan : {10, 60, 120, 200, 250}) {
        Mixer::panGains(pan, l, r);
        EXPECT_NEAR(l * l + r * r, 1.0, 1e-6);
    }
    Mixer::panGains(120, l, r);
    EXPECT_GT(l, r); // 120 is slightly left
}

TEST(MixerSilence, AMixWithNothingPlayingIsExactSilence)
{
    Mixer mixer(44100, 64);
    std::vector<float> out(2 * 1000, 1.0f);
    mixer.render(out.data(), 1000);
    for (float v : out)
        ASSERT_EQ(v, 0.0f);
}
