#include "audio/limiter.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <random>
#include <vector>

using sonaveil::audio::Limiter;

namespace {

constexpr int kRate = 44100;
constexpr float kCeiling = 0.891f;

double toDb(double v)
{
    return 20.0 * std::log10(std::max(v, 1e-12));
}

// Runs `left`/`right` through the limiter in blocks of varying size, recording the gain after
// every 10 ms of output.
struct Limited {
    std::vector<float> left, right;
    std::vector<double> gainDb;
};

Limited run(Limiter& limiter, std::vector<float> left, std::vector<float> right)
{
    Limited r;
    std::mt19937 rng(3);
    std::size_t done = 0, nextReading = 441;
    while (done < left.size()) {
        const std::size_t n = std::min<std::size_t>(left.size() - done, 1 + rng() % 300);
        limiter.process(left.data() + done, right.data() + done, int(n));
        done += n;
        if (done >= nextReading) {
            r.gainDb.push_back(toDb(limiter.gain()));
            nextReading += 441;
        }
    }
    r.left = std::move(left);
    r.right = std::move(right);
    return r;
}

// Ten independent noises at full volume, each at the sample files' level (-20 dBFS RMS) and
// panned a little left of centre.
void tenLoudNoises(int frames, std::vector<float>& left, std::vector<float>& right, unsigned seed)
{
    std::mt19937 rng(seed);
    std::normal_distribution<float> n(0.0f, 0.1f);
    left.assign(std::size_t(frames), 0.0f);
    right.assign(std::size_t(frames), 0.0f);
    for (int voice = 0; voice < 10; ++voice)
        for (int i = 0; i < frames; ++i) {
            const float x = n(rng);
            left[std::size_t(i)] += 0.74f * x;
            right[std::size_t(i)] += 0.67f * x;
        }
}

// The highest absolute value of `x` between its frames too: four times the rate, through a long
// windowed sinc (longer than the limiter's own), edges left out.
double truePeak(const std::vector<float>& x)
{
    constexpr int half = 32;
    double peak = 0;
    for (std::size_t i = half; i + half < x.size(); ++i) {
        peak = std::max(peak, double(std::fabs(x[i])));
        for (int q = 1; q < 4; ++q) {
            const double f = q / 4.0;
            double v = 0;
            for (int j = -half + 1; j <= half; ++j) {
                const double t = j - f;
                const double w = 0.5 + 0.5 * std::cos(M_PI * t / half);
                v += x[i + std::size_t(j)] * std::sin(M_PI * t) / (M_PI * t) * w;
            }
            peak = std::max(peak, std::fabs(v));
        }
    }
    return peak;
}

} // namespace

TEST(Limiter, SoundBelowTheCeilingComesOutUntouchedOnlyLater)
{
    Limiter limiter(kRate, kCeiling);
    std::vector<float> left(20000), right(20000);
    for (std::size_t i = 0; i < left.size(); ++i) {
        left[i] = 0.85f * float(std::sin(0.05 * double(i)));
        right[i] = -0.5f * float(std::sin(0.031 * double(i)));
    }
    const Limited r = run(limiter, left, right);
    for (std::size_t i = 0; i < left.size(); ++i) {
        const std::size_t from = i - Limiter::kDelayFrames;
        ASSERT_EQ(r.left[i], i < Limiter::kDelayFrames ? 0.0f : left[from]) << i;
        ASSERT_EQ(r.right[i], i < Limiter::kDelayFrames ? 0.0f : right[from]) << i;
    }
    EXPECT_EQ(limiter.gain(), 1.0f);
}

// Ten loud sounds at once: the ceiling holds on every frame, and the gain moves so gently that
// steady noise does not pump.
TEST(Limiter, TenLoudSoundsHoldTheCeilingWithASmoothGain)
{
    Limiter limiter(kRate, kCeiling);
    std::vector<float> left, right;
    tenLoudNoises(12 * kRate, left, right, 11);
    const Limited r = run(limiter, left, right);
    float peak = 0;
    for (std::size_t i = 0; i < r.left.size(); ++i)
        peak = std::max({peak, std::fabs(r.left[i]), std::fabs(r.right[i])});
    EXPECT_LE(peak, kCeiling * 1.00001f);
    EXPECT_GT(peak, kCeiling * 0.99f);

    // After the first two seconds: a real reduction that stays put. Averaged over 100 ms (what a
    // listener hears as level), nine tenths of the time lie within 1.5 dB; brief dips below the
    // usual level are rare.
    std::vector<double> steady(r.gainDb.begin() + 200, r.gainDb.end());
    std::vector<double> means;
    for (std::size_t i = 0; i + 10 <= steady.size(); i += 10) {
        double sum = 0;
        for (std::size_t k = i; k < i + 10; ++k)
            sum += steady[k];
        means.push_back(sum / 10);
    }
    std::sort(means.begin(), means.end());
    const double lo = means[means.size() / 20], hi = means[means.size() * 19 / 20];
    EXPECT_LT(hi, -0.1) << "always turned down somewhat";
    EXPECT_LT(hi - lo, 1.5) << "100 ms gain between " << lo << " and " << hi << " dB";
    std::sort(steady.begin(), steady.end());
    const double median = steady[steady.size() / 2];
    const auto dips = std::count_if(steady.begin(), steady.end(), [&](double g) { return g < median - 1.0; });
    EXPECT_LT(double(dips) / double(steady.size()), 0.1) << "time more than 1 dB under the usual gain";
}

// A lone click far above the ceiling: the gain is already on its way down before the click
// arrives, and comes back up afterwards.
TEST(Limiter, GainFallsAheadOfAPeakAndRecovers)
{
    Limiter limiter(kRate, kCeiling);
    std::vector<float> left(12 * kRate, 0.3f), right(12 * kRate, 0.3f);
    const std::size_t click = 10000;
    left[click] = 4.0f;
    Limited r = run(limiter, left, right);
    const std::size_t outAt = click + Limiter::kDelayFrames;
    EXPECT_LE(r.left[outAt], kCeiling * 1.00001f);
    EXPECT_GT(r.left[outAt], kCeiling * 0.99f);
    // The steady right channel shows the gain: it eases down over the look-ahead, no step.
    EXPECT_LT(r.right[outAt - Limiter::kSegment], 0.3f * 0.9f);
    EXPECT_FLOAT_EQ(r.right[outAt - Limiter::kDelayFrames - 1], 0.3f);
    float largestStep = 0;
    for (std::size_t i = outAt - Limiter::kDelayFrames; i < outAt; ++i)
        largestStep = std::max(largestStep, std::fabs(r.right[i + 1] - r.right[i]));
    EXPECT_LT(largestStep, 0.3f * 0.1f);
    EXPECT_NEAR(r.right.back(), 0.3f, 0.005f);
}

// A tone a quarter of the rate, 45 degrees off the frames: every frame lies 3 dB under its true
// peak. The frames stay under the ceiling; the true peak would not, so the limiter must act.
TEST(Limiter, TruePeaksBetweenFramesHoldTheCeilingToo)
{
    Limiter limiter(kRate, kCeiling);
    const float amplitude = 1.2f; // frames at 0.85, under the ceiling
    std::vector<float> left(2 * kRate), right(2 * kRate);
    for (std::size_t i = 0; i < left.size(); ++i)
        left[i] = right[i] = amplitude * float(std::sin(M_PI / 2 * double(i) + M_PI / 4));
    const Limited r = run(limiter, left, right);
    const std::vector<float> tail(r.left.begin() + kRate, r.left.end());
    EXPECT_LE(truePeak(tail), kCeiling * 1.01);
    EXPECT_GT(truePeak(tail), kCeiling * 0.95) << "turned down further than needed";

    // Short bursts of the same between quiet stretches, in one channel only, anywhere in a block:
    // quiet frames around them must not hide them.
    Limiter bursts(kRate, kCeiling);
    std::vector<float> bl(kRate / 2, 0.0f), br(kRate / 2, 0.0f);
    for (std::size_t start = 1000; start + 8 < bl.size(); start += 997)
        for (std::size_t i = start; i < start + 6; ++i)
            br[i] = 0.01f * float(i % 3) + amplitude * float(std::sin(M_PI / 2 * double(i) + M_PI / 4));
    const Limited burst = run(bursts, bl, br);
    EXPECT_LE(truePeak(burst.right), kCeiling * 1.01);
    EXPECT_EQ(truePeak(burst.left), 0.0);

    std::vector<float> l, rr;
    tenLoudNoises(2 * kRate, l, rr, 5);
    const Limited noise = run(limiter, l, rr);
    EXPECT_LE(truePeak(noise.left), kCeiling * 1.02);
    EXPECT_LE(truePeak(noise.right), kCeiling * 1.02);
}

// Ten steady tones, three times over the ceiling at their peaks, which come round about once a
// second: once settled the gain stays put. A gain that rides the peaks modulates every tone,
// which is heard as distortion.
TEST(Limiter, SteadyTonesAreTurnedDownEvenly)
{
    Limiter limiter(kRate, kCeiling);
    std::vector<float> left(8 * kRate), right(8 * kRate);
    for (std::size_t i = 0; i < left.size(); ++i) {
        double x = 0;
        for (int k = 0; k < 10; ++k)
            x += 0.3 * std::sin(2 * M_PI * (331.0 * (k + 1) + 97) * double(i) / kRate);
        left[i] = right[i] = float(x);
    }
    const Limited r = run(limiter, left, right);
    // Readings every 10 ms; the last four seconds.
    const auto settled = r.gainDb.end() - 400;
    const auto [low, high] = std::minmax_element(settled, r.gainDb.end());
    EXPECT_LT(*high - *low, 0.01) << "the gain moves between " << *low << " and " << *high << " dB";
    EXPECT_LT(*high, -6.0);
}

// A saved state taken back, by the limiter that saved it after it went on, or by another one
// made alike, goes on exactly as the original did: while it holds a loud mix down (both stages
// moving, peaks ahead planned for) and across odd block sizes.
TEST(Limiter, AStateTakenBackGoesOnExactlyAsTheOriginalDid)
{
    std::vector<float> left, right;
    tenLoudNoises(kRate, left, right, 21);
    // A lone peak right after the point saved, so that the look-ahead holds it.
    const std::size_t saved = 20011;
    left[saved + 100] = right[saved + 100] = 3.0f;

    Limiter original(kRate, kCeiling);
    std::vector<float> l(left), r(right);
    original.process(l.data(), r.data(), int(saved));
    ASSERT_LT(original.gain(), 0.9f) << "the state to save should be one of a limiter at work";
    Limiter::State state;
    original.save(state);
    const Limited ahead = run(original, std::vector<float>(left.begin() + saved, left.end()),
                              std::vector<float>(right.begin() + saved, right.end()));

    Limiter other(kRate, kCeiling);
    std::vector<float> silence(777, 0.0f), silenceR(777, 0.0f);
    other.process(silence.data(), silenceR.data(), 777);
    for (Limiter* again : {&original, &other}) {
        again->restore(state);
        const Limited replay = run(*again, std::vector<float>(left.begin() + saved, left.end()),
                                   std::vector<float>(right.begin() + saved, right.end()));
        ASSERT_EQ(replay.left, ahead.left) << (again == &original ? "the same limiter" : "another limiter");
        ASSERT_EQ(replay.right, ahead.right);
        EXPECT_EQ(replay.gainDb, ahead.gainDb);
    }
}
