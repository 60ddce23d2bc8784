#include "player/tinnitus/sleepfade.h"

#include "audio/engine.h"
#include "audio/mixer.h"
#include "fakebinding.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>

using namespace sonaveil;
using namespace sonaveil::player;

namespace {
constexpr std::int64_t kMinute = 60'000;
} // namespace

TEST(FadeOut, FallsSmoothlyAndMonotonicallyToSilenceAtTheEnd)
{
    EXPECT_EQ(FadeOut::curve(0), 1.0);
    EXPECT_EQ(FadeOut::curve(1), 0.0);
    double last = 1.0;
    for (int i = 1; i <= 1000; ++i) {
        const double g = FadeOut::curve(i / 1000.0);
        EXPECT_LE(g, last);
        // No corner anywhere: the fall per step stays small.
        EXPECT_LT(last - g, 0.004);
        last = g;
    }
    EXPECT_EQ(FadeOut::gainAt(0, 10 * kMinute, 5 * kMinute), 1.0);
    EXPECT_EQ(FadeOut::gainAt(5 * kMinute, 10 * kMinute, 5 * kMinute), 1.0);
    EXPECT_NEAR(FadeOut::gainAt(7 * kMinute + 30'000, 10 * kMinute, 5 * kMinute), 0.25, 1e-12);
    EXPECT_EQ(FadeOut::gainAt(10 * kMinute, 10 * kMinute, 5 * kMinute), 0.0);
    EXPECT_EQ(FadeOut::gainAt(11 * kMinute, 10 * kMinute, 5 * kMinute), 0.0);
    EXPECT_EQ(FadeOut::gainAt(9 * kMinute, 10 * kMinute, 0), 1.0) << "no fade: full until the moment";
}

TEST(SleepTimer, FadesOverTheLastTenMinutesAndComesBackWhenCancelled)
{
    SleepTimer t;
    const std::int64_t now = 1'000'000;
    EXPECT_FALSE(t.active());
    EXPECT_EQ(t.gain(now), 1.0);
    t.start(now, 30);
    ASSERT_TRUE(t.endMs());
    EXPECT_EQ(*t.endMs(), now + 30 * kMinute);
    EXPECT_EQ(t.gain(now + 20 * kMinute), 1.0);
    EXPECT_LT(t.gain(now + 25 * kMinute), 1.0);
    EXPECT_FALSE(t.due(now + 30 * kMinute - 1));
    EXPECT_TRUE(t.due(now + 30 * kMinute));
    EXPECT_EQ(t.gain(now + 30 * kMinute), 0.0);

    t.start(now, 90); // a new choice replaces the old one
    EXPECT_EQ(*t.endMs(), now + 90 * kMinute);
    const std::int64_t late = now + 85 * kMinute;
    const double low = t.gain(late);
    EXPECT_LT(low, 0.5);
    t.cancel(late);
    EXPECT_FALSE(t.active());
    EXPECT_NEAR(t.gain(late), low, 1e-12) << "no jump when cancelled";
    double last = low;
    for (std::int64_t ms = 100; ms <= SleepTimer::kRecoverMs; ms += 100) {
        EXPECT_GE(t.gain(late + ms), last);
        last = t.gain(late + ms);
    }
    EXPECT_EQ(t.gain(late + SleepTimer::kRecoverMs), 1.0);
    EXPECT_FALSE(t.fading(late + SleepTimer::kRecoverMs));
}

TEST(SleepTimer, TheClockLineShowsTheSleepTime)
{
    EXPECT_EQ(clockLine({23, 15, 2}, std::nullopt), "Time:23:15:02");
    EXPECT_EQ(clockLine({23, 15, 2}, ClockTime{23, 45, 2}), "Time:23:15:02 S23:45");
    EXPECT_EQ(clockLine({0, 5, 9}, ClockTime{1, 35, 0}), "Time:00:05:09 S01:35");
    EXPECT_LE(clockLine({23, 59, 59}, ClockTime{23, 59, 0}).size(), 25u) << "fits the display's line";
}

TEST(FadingBinding, ScalesEveryPlayingSoundAndNothingElse)
{
    FakeBinding inner;
    FadingBinding fading(inner, [](int v) { return float(v) / 255.0f; }); // a linear law
    const int a = fading.playSound(1);
    const int b = fading.playSound(2);
    fading.setVolume(a, 200);
    fading.setVolume(b, 100);
    EXPECT_EQ(inner.channels[a].volume, 200);
    fading.setFade(0.5);
    EXPECT_EQ(inner.channels[a].volume, 100);
    EXPECT_EQ(inner.channels[b].volume, 50);
    fading.stopSound(b);
    inner.calls.clear();
    fading.setFade(0.25);
    EXPECT_EQ(inner.channels[a].volume, 50);
    EXPECT_EQ(std::count(inner.calls.begin(), inner.calls.end(), "volume " + std::to_string(b)), 0)
        << "a stopped sound is left alone";
    // The model moving a slider during a fade gets the faded volume.
    fading.setVolume(a, 255);
    EXPECT_EQ(inner.channels[a].volume, 63);
    // A sound switched on during a fade starts faded.
    const int c = fading.playSound(3);
    EXPECT_EQ(inner.channels[c].volume, 63);
    fading.setFade(0);
    EXPECT_EQ(inner.channels[a].volume, 0);
    fading.setFade(1);
    EXPECT_EQ(inner.channels[a].volume, 255);
}

TEST(FadingBinding, FollowsTheEngineLawWithoutEverRising)
{
    FakeBinding inner;
    FadingBinding fading(inner);
    int last = 255;
    for (int i = 1000; i >= 0; --i) {
        fading.setFade(FadeOut::curve(1.0 - i / 1000.0));
        const int v = fading.scaled(180);
        EXPECT_LE(v, last);
        last = v;
        // Never louder than the faded gain.
        EXPECT_LE(audio::Mixer::volumeGain(v), fading.fade() * audio::Mixer::volumeGain(180) * 1.000001);
    }
    EXPECT_EQ(last, 0);
}

// The fade through the engine: a steady sound fades over ten (compressed) seconds, checked on
// the engine's own output.
TEST(FadingBinding, ThroughTheEngineTheFadeIsMonotonicClickFreeAndEndsInSilence)
{
    audio::Engine engine;
    engine.setOutput(audio::kOutputNoSound);
    engine.init(44100, 32, audio::kInitEnableSystemChannelFx);
    EngineBinding binding(engine);
    FadingBinding fading(binding);

    // A 441 Hz sine, a whole number of periods in the loop, made by the test.
    const auto path = std::filesystem::temp_directory_path() / "sonaveil-fade-test.wav";
    {
        std::vector<std::int16_t> pcm(44100);
        for (std::size_t i = 0; i < pcm.size(); ++i)
            pcm[i] = std::int16_t(std::lround(16384 * std::sin(2 * M_PI * 441.0 * double(i) / 44100.0)));
        FILE* f = std::fopen(path.c_str(), "wb");
        ASSERT_TRUE(f);
        // A minimal 16-bit PCM WAV.
        auto u32 = [&](std::uint32_t v) { std::fwrite(&v, 4, 1, f); };
        auto u16 = [&](std::uint16_t v) { std::fwrite(&v, 2, 1, f); };
        std::fwrite("RIFF", 1, 4, f); u32(36 + 2 * 44100); std::fwrite("WAVEfmt ", 1, 8, f);
        u32(16); u16(1); u16(1); u32(44100); u32(2 * 44100); u16(2); u16(16);
        std::fwrite("data", 1, 4, f); u32(2 * 44100); std::fwrite(pcm.data(), 2, pcm.size(), f);
        std::fclose(f);
    }
    // The engine decodes a sample when it first plays: the file stays until the end.
    const audio::SampleHandle sample = fading.loadSample(path.string());
    ASSERT_GT(sample, 0);
    const audio::ChannelHandle ch = fading.playSound(sample);
    fading.setLoopMode(ch, audio::kLoopNormal);
    fading.setVolume(ch, 200);

    const std::int64_t end = 12'000, duration = 10'000; // ms of sound
    const int tick = 441;                               // 10 ms between fade updates
    std::vector<float> out(2 * tick), left;
    for (std::int64_t ms = 0; ms < end + 500; ms += 10) {
        fading.setFade(FadeOut::gainAt(ms, end, duration));
        engine.renderOffline(out.data(), tick);
        for (int i = 0; i < tick; ++i)
            left.push_back(out[std::size_t(2 * i)]);
    }
    // The peak of each 441 Hz period never rises…
    float lastPeak = 1.0f;
    for (std::size_t p = 1000; p + 100 <= left.size(); p += 100) { // after the voice's start
        const float peak = std::fabs(*std::max_element(left.begin() + long(p), left.begin() + long(p + 100),
                                                       [](float x, float y) { return std::fabs(x) < std::fabs(y); }));
        EXPECT_LE(peak, lastPeak * 1.001f + 1e-6f) << "at " << p / 44.1 << " ms";
        lastPeak = peak;
    }
    // …no sample jumps more than the sine's own slope allows…
    const float slope = float(0.5 * 2 * M_PI * 441 / 44100.0) * 1.05f;
    for (std::size_t i = 1; i < left.size(); ++i)
        ASSERT_LE(std::fabs(left[i] - left[i - 1]), slope) << "at sample " << i;
    // …it is full before the fade, and silent from the set moment on (a block's ramp after it).
    EXPECT_GT(*std::max_element(left.begin() + 44100, left.begin() + 44200), 0.1f);
    const std::size_t silentFrom = std::size_t(end * 441 / 10) + 256;
    EXPECT_EQ(*std::max_element(left.begin() + long(silentFrom), left.end()), 0.0f);
    EXPECT_EQ(*std::min_element(left.begin() + long(silentFrom), left.end()), 0.0f);
    std::filesystem::remove(path);
}
