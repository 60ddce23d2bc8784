#include "player/tinnitus/sleepfade.h"
#include "player/tinnitus/night.h"

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

TEST(FadingBinding, FadesEveryPlayingSoundAndLeavesTheirVolumes)
{
    FakeBinding inner;
    FadingBinding fading(inner);
    const int a = fading.playSound(1);
    const int b = fading.playSound(2);
    fading.setVolume(a, 200);
    fading.setVolume(b, 100);
    fading.setFade(0.5, 250);
    EXPECT_EQ(inner.channels[a].fade, 0.5f);
    EXPECT_EQ(inner.channels[a].fadeMs, 250);
    EXPECT_EQ(inner.channels[b].fade, 0.5f);
    EXPECT_EQ(inner.channels[a].volume, 200) << "the volume stays as the model set it";
    fading.stopSound(b);
    inner.calls.clear();
    fading.setFade(0.25, 250);
    EXPECT_EQ(inner.channels[a].fade, 0.25f);
    EXPECT_EQ(std::count(inner.calls.begin(), inner.calls.end(), "fade " + std::to_string(b)), 0)
        << "a stopped sound is left alone";
    fading.setVolume(a, 255);
    EXPECT_EQ(inner.channels[a].volume, 255);
    // A sound switched on during a fade starts faded, at once.
    const int c = fading.playSound(3);
    EXPECT_EQ(inner.channels[c].fade, 0.25f);
    EXPECT_EQ(inner.channels[c].fadeMs, 0);
    // So does a live one, and it follows the fade from then on.
    const int d = fading.playGenerator(std::make_unique<SilentGenerator>());
    EXPECT_EQ(inner.channels[d].fade, 0.25f);
    fading.setFade(1, 250);
    EXPECT_EQ(inner.channels[a].fade, 1.0f);
    EXPECT_EQ(inner.channels[c].fade, 1.0f);
    EXPECT_EQ(inner.channels[d].fade, 1.0f);
}

// The player's sleep on the offline engine: "Sleep in 30 min", the night ticking every 250 ms as
// the player's timer does, through the fading binding into the engine. A constant sound makes
// the output the gain itself: it follows the curve over the last ten minutes without a step and
// is silent from the set moment on.
TEST(FadingBinding, TheSleepFadesTheEnginesOutputAlongItsCurveToSilence)
{
    audio::Engine engine;
    engine.setOutput(audio::kOutputNoSound);
    engine.init(44100, 32, audio::kInitEnableSystemChannelFx);
    EngineBinding binding(engine);
    FadingBinding fading(binding);

    const auto path = std::filesystem::temp_directory_path() / "sonaveil-sleep-test.wav";
    {
        const std::vector<std::int16_t> pcm(4410, 16384);
        FILE* f = std::fopen(path.c_str(), "wb");
        ASSERT_TRUE(f);
        // A minimal 16-bit PCM WAV.
        auto u32 = [&](std::uint32_t v) { std::fwrite(&v, 4, 1, f); };
        auto u16 = [&](std::uint16_t v) { std::fwrite(&v, 2, 1, f); };
        std::fwrite("RIFF", 1, 4, f); u32(36 + 2 * 4410); std::fwrite("WAVEfmt ", 1, 8, f);
        u32(16); u16(1); u16(1); u32(44100); u32(2 * 44100); u16(2); u16(16);
        std::fwrite("data", 1, 4, f); u32(2 * 4410); std::fwrite(pcm.data(), 2, pcm.size(), f);
        std::fclose(f);
    }
    const audio::SampleHandle sample = fading.loadSample(path.string());
    ASSERT_GT(sample, 0);
    const audio::ChannelHandle ch = fading.playSound(sample);
    fading.setLoopMode(ch, audio::kLoopNormal);
    fading.setVolume(ch, 200);

    std::int64_t now = 0;
    NightClock clock;
    clock.now = [&] { return now; };
    clock.timeOfDay = [](std::int64_t ms) { return ClockTime{int(ms / 3'600'000 % 24), int(ms / 60'000 % 60), 0}; };
    clock.dayAt = [](std::int64_t, const ClockTime&, int) { return std::int64_t(0); };
    Night night(clock);
    night.hooks().fade = [&](double gain) { fading.setFade(gain, Night::kTickMs); };
    night.hooks().silence = [&] { fading.stopSound(ch); };
    night.sleepIn(30);
    const std::int64_t end = 30 * kMinute;

    // Nothing happens in the first twenty minutes; the night's timer and the engine start a
    // little before the fade.
    now = end - 10 * kMinute - 2000;
    night.tick(now);
    std::vector<float> out(2 * 11025);
    engine.renderOffline(out.data(), 11025); // the voice's start
    const float full = 0.5f * float(std::sqrt(0.5)) * 200.0f / 255.0f;
    double previousDb = 0, worstStep = 0, worstOffCurve = 0;
    float largestJump = 0, last = out[2 * 11024];
    bool silentAtTheEnd = true;
    while (now < end + 2000) {
        engine.renderOffline(out.data(), 11025);
        double sum = 0;
        for (int i = 0; i < 11025; ++i) {
            const float v = out[std::size_t(2 * i)];
            largestJump = std::max(largestJump, std::fabs(v - last));
            last = v;
            sum += v;
        }
        const double level = 20 * std::log10(std::max(sum / 11025 / full, 1e-12));
        const double curve = 20 * std::log10(std::max(FadeOut::gainAt(now, end, 10 * kMinute), 1e-12));
        if (curve > -60) {
            worstStep = std::max(worstStep, std::fabs(level - previousDb));
            worstOffCurve = std::max(worstOffCurve, std::fabs(level - curve));
        }
        if (now >= end + 250 && sum != 0)
            silentAtTheEnd = false;
        previousDb = level;
        now += 250;
        night.tick(now);
    }
    EXPECT_LT(worstStep, 0.5) << "dB from one 250 ms to the next";
    EXPECT_LT(worstOffCurve, 0.5) << "dB off the curve";
    EXPECT_LT(largestJump, full * 0.002f) << "no frame jumps";
    EXPECT_TRUE(silentAtTheEnd);
    EXPECT_FALSE(engine.isPlaying(ch)) << "the sleep's moment stopped the sound";
    std::filesystem::remove(path);
}
