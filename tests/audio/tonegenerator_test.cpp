#include "audio/engine.h"
#include "audio/tonegenerator.h"

#include "audiotestutil.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

using namespace sonaveil::audio;

namespace {

constexpr int kRate = 44100;

// Runs the generator alone for `frames` frames and returns the left channel.
std::vector<float> run(ToneGenerator& g, int frames)
{
    std::vector<float> l(std::size_t(frames), 0.0f), r(std::size_t(frames), 0.0f);
    for (int done = 0; done < frames; done += 128) {
        const int n = std::min(128, frames - done);
        g.mixInto(l.data() + done, r.data() + done, n);
    }
    return l;
}

float peak(const std::vector<float>& v, std::size_t from = 0, std::size_t to = SIZE_MAX)
{
    float p = 0;
    for (std::size_t i = from; i < std::min(to, v.size()); ++i)
        p = std::max(p, std::fabs(v[i]));
    return p;
}

// Share of the power between `lo` and `hi` Hz.
double shareIn(const std::vector<float>& v, double lo, double hi)
{
    const int size = 8192;
    const auto p = averagedPowerSpectrum(v, size);
    double in = 0, all = 0;
    for (std::size_t k = 1; k < p.size(); ++k) {
        const double hz = double(k) * kRate / size;
        all += p[k];
        if (hz >= lo && hz <= hi)
            in += p[k];
    }
    return in / all;
}

} // namespace

TEST(ToneGenerator, NeverLouderThanTheLevelSetWhateverItPlays)
{
    for (int kind : {kToneSine, kToneBand})
        for (float hz : {250.0f, 1000.0f, 4000.0f, 16000.0f}) {
            SCOPED_TRACE(testing::Message() << "kind " << kind << ", " << hz << " Hz");
            ToneGenerator g(kRate);
            g.set({true, kind, hz, -30.0f});
            const auto out = run(g, kRate * 2);
            const float limit = ToneGenerator::amplitude(-30.0f);
            EXPECT_LE(peak(out), limit * 1.0001f);
            // …and not far below it either: the level is what is heard.
            EXPECT_GT(peak(out, kRate / 2), limit * (kind == kToneSine ? 0.999f : 0.6f));
            // The sound sits where it was asked for.
            const double lo = hz * std::exp2(-1.0 / 3), hi = hz * std::exp2(1.0 / 3);
            EXPECT_GT(shareIn(std::vector<float>(out.begin() + kRate / 2, out.end()), lo, hi),
                      kind == kToneSine ? 0.999 : 0.85);
        }
}

TEST(ToneGenerator, ATonesLevelInDecibelsIsItsPeakInDecibelsBelowFullScale)
{
    // The numbers themselves, not a value the generator computes: -30 dB peaks at -30 dBFS.
    for (float db : {-6.0f, -20.0f, -30.0f, -60.0f}) {
        ToneGenerator g(kRate);
        g.set({true, kToneSine, 997.0f, db});
        const auto out = run(g, kRate);
        EXPECT_NEAR(20.0 * std::log10(peak(out, kRate / 2)), db, 0.05) << db;
    }
    EXPECT_NEAR(ToneGenerator::amplitude(-20.0f), 0.1f, 1e-6f);
}

TEST(ToneGenerator, StartsAndStopsOnARampAndSwitchesKindWithoutAJump)
{
    ToneGenerator g(kRate);
    const float a = ToneGenerator::amplitude(-20.0f);
    g.set({true, kToneSine, 1000.0f, -20.0f});
    auto out = run(g, kRate / 10);
    const int ramp = int(ToneGenerator::kRampSeconds * kRate);
    // The first millisecond is far below the level; the level is reached after the ramp.
    EXPECT_LT(peak(out, 0, 44), a * 0.05f);
    EXPECT_GT(peak(out, std::size_t(ramp), std::size_t(ramp + 100)), a * 0.99f);
    // No sample-to-sample step beyond what a full-level 1 kHz sine makes.
    const float maxStep = a * float(2 * M_PI * 1000 / kRate) * 1.01f;
    for (std::size_t i = 1; i < out.size(); ++i)
        ASSERT_LE(std::fabs(out[i] - out[i - 1]), maxStep) << i;

    g.set({true, kToneBand, 1000.0f, -20.0f});
    out = run(g, kRate / 5);
    EXPECT_LE(peak(out), a * 1.0001f);
    for (std::size_t i = 1; i < out.size(); ++i)
        ASSERT_LE(std::fabs(out[i] - out[i - 1]), maxStep * 1.5f) << i;

    g.set({false, kToneBand, 1000.0f, -20.0f});
    out = run(g, kRate / 10);
    EXPECT_FALSE(g.sounding());
    EXPECT_EQ(peak(out, std::size_t(ramp + 10)), 0.0f);
    EXPECT_GT(peak(out, 0, 200), 0.0f) << "it fades rather than stops";
}

TEST(ToneGenerator, GlidesToANewFrequencyWithoutLosingPhase)
{
    ToneGenerator g(kRate);
    g.set({true, kToneSine, 1000.0f, -10.0f});
    run(g, kRate / 10);
    g.set({true, kToneSine, 1059.5f, -10.0f}); // a fine step up
    const auto out = run(g, kRate);
    const float a = ToneGenerator::amplitude(-10.0f);
    const float maxStep = a * float(2 * M_PI * 1060 / kRate) * 1.01f;
    for (std::size_t i = 1; i < out.size(); ++i)
        ASSERT_LE(std::fabs(out[i] - out[i - 1]), maxStep) << i;
    EXPECT_GT(shareIn(std::vector<float>(out.begin() + kRate / 4, out.end()), 1040, 1080), 0.99);
}

TEST(ToneGenerator, PlaysThroughTheEngineUntouchedByTheBandStop)
{
    Engine engine;
    EXPECT_FALSE(engine.setTone(true, kToneSine, 4000, -30));
    engine.setOutput(kOutputNoSound);
    engine.init(kRate, 32, kInitEnableSystemChannelFx);
    EXPECT_FALSE(engine.setTone(true, 7, 4000, -30));
    EXPECT_FALSE(engine.setTone(true, kToneSine, -1, -30));
    EXPECT_TRUE(engine.setNotch(true, 4000, 1));
    EXPECT_TRUE(engine.setTone(true, kToneSine, 4000, -30));
    std::vector<float> out(2 * kRate);
    engine.renderOffline(out.data(), kRate);
    const auto left = channelOf(out, 0);
    EXPECT_NEAR(peak(left, kRate / 2), ToneGenerator::amplitude(-30), 1e-4);
    EXPECT_LE(peak(left), ToneGenerator::amplitude(-30) * 1.0001f);
    EXPECT_TRUE(engine.setTone(false, kToneSine, 4000, -30));
    engine.renderOffline(out.data(), kRate);
    EXPECT_EQ(peak(channelOf(out, 0), kRate / 10), 0.0f);
}

TEST(ToneGenerator, NoisesStayUnderTheLevelPinkFallsAndOneEarIsOneChannel)
{
    const int frames = kRate * 4;
    for (int kind : {kToneWhite, kTonePink}) {
        SCOPED_TRACE(testing::Message() << "kind " << kind);
        ToneGenerator g(kRate);
        g.set({true, kind, 1000.0f, -20.0f, kEarRight});
        std::vector<float> l(std::size_t(frames), 0.0f), r(std::size_t(frames), 0.0f);
        for (int done = 0; done < frames; done += 128)
            g.mixInto(l.data() + done, r.data() + done, std::min(128, frames - done));
        EXPECT_EQ(peak(l), 0.0f) << "the left ear hears nothing";
        EXPECT_LE(peak(r), ToneGenerator::amplitude(-20.0f) * 1.0001f);
        EXPECT_GT(peak(r), ToneGenerator::amplitude(-20.0f) * 0.3f);
        // Power per octave: flat for pink, doubling for white.
        const double low = shareIn(r, 500, 1000), high = shareIn(r, 4000, 8000);
        if (kind == kTonePink)
            EXPECT_NEAR(10 * std::log10(high / low), 0.0, 1.5);
        else
            EXPECT_NEAR(10 * std::log10(high / low), 9.0, 1.5);
    }
}
