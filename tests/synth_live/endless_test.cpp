// The live sounds: repeatable from a seed, the same whatever the block sizes, never allocating
// while they play, at the files' loudness, and never repeating where the files loop.

#include "synth/endless.h"
#include "synth/simd.h"
#include "synth/synth.h"
#include "measure/measure.h"

#include "noallocation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

using namespace sonaveil;

std::vector<std::int16_t> render(audio::Generator& g, long frames, int block = 4096)
{
    std::vector<std::int16_t> x(static_cast<std::size_t>(frames));
    for (long at = 0; at < frames; at += block)
        g.generate(x.data() + at, int(std::min<long>(block, frames - at)));
    return x;
}

std::vector<std::int16_t> render(int number, std::uint64_t seed, double seconds)
{
    auto g = synth::makeEndless(number, seed);
    return render(*g, long(seconds * g->rate()));
}

std::vector<float> toFloat(const std::vector<std::int16_t>& x)
{
    std::vector<float> y(x.size());
    std::transform(x.begin(), x.end(), y.begin(), [](std::int16_t v) { return float(v) / 32768.0f; });
    return y;
}

// Pearson correlation of the 100 ms level in dB with itself `lagSeconds` later.
double envelopeCorrelation(const std::vector<float>& x, int rate, double lagSeconds)
{
    return measure::lagCorrelation(measure::levelsDb(x, rate), std::size_t(std::lround(lagSeconds * 10)));
}

TEST(Endless, EveryCatalogueSoundAndNothingElse)
{
    EXPECT_FALSE(synth::hasEndless(0));
    EXPECT_FALSE(synth::hasEndless(36));
    EXPECT_EQ(synth::makeEndless(0, 1), nullptr);
    EXPECT_EQ(synth::makeEndless(36, 1), nullptr);
    for (int n = 1; n <= 35; ++n) {
        ASSERT_TRUE(synth::hasEndless(n)) << n;
        auto g = synth::makeEndless(n, 1);
        ASSERT_NE(g, nullptr) << n;
        EXPECT_EQ(g->rate(), synth::findRecipe(n)->rate) << n;
    }
}

// The same seed gives the same sound, whatever the block sizes it is asked for in; another seed
// gives another sound.
TEST(Endless, SeedMakesTheSoundAndBlocksDoNot)
{
    const int odd[] = {1, 7, 63, 64, 65, 333, 1000, 4097, audio::Generator::kMaxFrames};
    for (int n = 1; n <= 35; ++n) {
        const auto once = render(n, 42, 1.5);
        auto g = synth::makeEndless(n, 42);
        std::vector<std::int16_t> pieces(once.size());
        std::size_t at = 0;
        for (int i = 0; at < pieces.size(); ++i) {
            const int take = int(std::min<std::size_t>(std::size_t(odd[i % 9]), pieces.size() - at));
            g->generate(pieces.data() + at, take);
            at += std::size_t(take);
        }
        EXPECT_TRUE(pieces == once) << "sound " << n << " depends on the block sizes";
        const auto other = render(n, 43, 1.5);
        long same = 0;
        for (std::size_t i = 0; i < once.size(); ++i)
            same += once[i] == other[i] ? 1 : 0;
        EXPECT_LT(double(same) / double(once.size()), 0.2) << "sound " << n << " ignores its seed";
    }
}

// The baseline copies of the vector loops make the same sounds as the AVX2 ones (up to the
// rounding of fused multiply-adds): sounds that use every kind of loop.
TEST(Endless, BaselineLoopsMatchTheVectorOnes)
{
    if (!synth::simd::avx2())
        GTEST_SKIP() << "no AVX2 here: only the baseline loops run";
    for (int n : {1, 8, 9, 10, 12, 14, 19, 21, 24, 27, 29}) {
        const auto vector = render(n, 5, 3.0);
        synth::simd::baselineOnly() = true;
        const auto baseline = render(n, 5, 3.0);
        synth::simd::baselineOnly() = false;
        double square = 0, worst = 0;
        for (std::size_t i = 0; i < vector.size(); ++i) {
            const double d = double(vector[i]) - baseline[i];
            square += d * d;
            worst = std::max(worst, std::fabs(d));
        }
        EXPECT_LT(std::sqrt(square / double(vector.size())), 1.0) << "sound " << n;
        EXPECT_LE(worst, 8.0) << "sound " << n;
    }
}

// Generating runs on the mixing thread: after construction, no allocation at all.
TEST(Endless, GeneratingNeverAllocates)
{
    std::vector<std::int16_t> out(audio::Generator::kMaxFrames);
    for (int n = 1; n <= 35; ++n) {
        auto g = synth::makeEndless(n, 5);
        long allocations = 0;
        {
            const AllocationCount counting;
            // Long enough for every part to run through its buffers, events and landmarks.
            for (int i = 0; i < 300; ++i)
                g->generate(out.data(), i % 2 ? 512 : audio::Generator::kMaxFrames);
            allocations = counting.count();
        }
        EXPECT_EQ(allocations, 0) << "sound " << n;
    }
}

// The level table puts every sound at the files' loudness, its peaks under their ceiling. Gusts
// and swells move a sound's loudness over minutes, so the level is the mean power of a minute
// from each of four seeds.
TEST(Endless, LevelsMatchTheFiles)
{
    for (int n = 1; n <= 35; ++n) {
        double power = 0.0;
        int peak = 0;
        for (std::uint64_t seed = 2024; seed < 2028; ++seed) {
            const auto x = render(n, seed, 60.0);
            const double lufs = measure::integratedLoudness(toFloat(x), synth::findRecipe(n)->rate);
            power += std::pow(10.0, lufs / 10.0) / 4.0;
            for (std::int16_t v : x)
                peak = std::max(peak, std::abs(int(v)));
        }
        EXPECT_NEAR(10.0 * std::log10(power), synth::kTargetLoudnessLufs, 0.5) << "sound " << n;
        EXPECT_LT(peak, 29000) << "sound " << n;
    }
}

// Where a file carries landmarks (waves, bursts of song, thunder, bubbles, crackles), the live
// sound's level never lines up with itself at the file's loop length, though a loop of it would.
TEST(Endless, LandmarksNeverComeBackAtTheLoopLength)
{
    for (int n : {8, 9, 11, 13, 18, 20, 25, 26, 29}) {
        const synth::SoundRecipe* r = synth::findRecipe(n);
        const auto x = toFloat(render(n, 9, 4.0 * r->seconds + 1));
        EXPECT_LT(envelopeCorrelation(x, r->rate, r->seconds), 0.5) << "sound " << n;
        EXPECT_LT(envelopeCorrelation(x, r->rate, 2.0 * r->seconds), 0.5) << "sound " << n;
        // The measure itself: the first loop's length played as a loop correlates fully.
        std::vector<float> looped(x.size());
        const std::size_t period = std::size_t(r->seconds * r->rate);
        for (std::size_t i = 0; i < looped.size(); ++i)
            looped[i] = x[i % period];
        EXPECT_GT(envelopeCorrelation(looped, r->rate, r->seconds), 0.95) << "sound " << n;
    }
}

} // namespace
