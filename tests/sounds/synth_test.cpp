// The synthesiser's building blocks and its determinism.

#include "measure/measure.h"
#include "synth/synth.h"

#include "tempfolder.h"
#include "testutil.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <iterator>

namespace {

using namespace sonaveil::synth;

// A second run, on two threads, gives the very files the build made.
TEST(Synth, RenderingIsByteForByteRepeatable)
{
    const char* d = std::getenv("SONAVEIL_DIST");
    ASSERT_NE(d, nullptr);
    TempFolder temp;
    std::vector<const SoundRecipe*> chosen;
    for (int n : {3, 7, 24, 0})
        chosen.push_back(findRecipe(n));
    ASSERT_TRUE(renderAll(chosen, temp.path().string(), 2).empty());
    for (const SoundRecipe* r : chosen) {
        const std::string made = fileText(temp / r->path);
        ASSERT_GT(made.size(), 1000u) << r->path;
        EXPECT_TRUE(made == fileText(std::filesystem::path(d) / r->path)) << r->path << " differs";
    }
}

TEST(Synth, CatalogueHasEverySoundOnce)
{
    for (int n = 0; n <= 35; ++n) {
        const SoundRecipe* r = findRecipe(n);
        ASSERT_NE(r, nullptr) << n;
        EXPECT_EQ(r->number, n);
        EXPECT_TRUE(r->make);
        EXPECT_GT(std::string(r->madeOf).size(), 10u);
    }
    EXPECT_EQ(catalogue().size(), 36u);
    EXPECT_EQ(findRecipe(36), nullptr);
}

TEST(Synth, LevelReachesLoudnessAndKeepsTruePeaksUnderTheCeiling)
{
    const Loop loop = makeLoop(8000, 4.0);
    Rng rng(1);
    Signal x = shapedNoise(loop, rng, lowpass(2000, 2));
    // A few clicks far above the rest, one of them across the wrap.
    for (long at : {100L, 9000L, loop.frames - 2})
        addWrapped(x, at, Signal{30.0f, -25.0f, 20.0f, -10.0f}, 1.0f);
    const Limiting limited = level(x, loop, -18.0, -1.2);
    EXPECT_NEAR(sonaveil::measure::integratedLoudness(x, loop.rate), -18.0, 0.05);
    EXPECT_LE(sonaveil::measure::truePeakDb(x), -1.2 + 0.05);
    EXPECT_GT(limited.deepestDb, 6.0);
    EXPECT_LT(limited.shareOverOneDb, 0.05) << "only the clicks are turned down";

    // A quiet smooth noise needs no limiting at all.
    Signal smooth = shapedNoise(loop, rng, lowpass(1000, 2));
    EXPECT_EQ(level(smooth, loop, -18.0, -1.2).deepestDb, 0.0);
    EXPECT_NEAR(sonaveil::measure::integratedLoudness(smooth, loop.rate), -18.0, 0.05);
}

TEST(Synth, EventsWrapPastTheEndAndTonesHaveWholeCycles)
{
    Signal x(10, 0.0f);
    addWrapped(x, 8, Signal{1, 2, 3, 4}, 2.0f);
    EXPECT_EQ(x, (Signal{6, 8, 0, 0, 0, 0, 0, 0, 2, 4}));
    addWrapped(x, -1, Signal{1}, 1.0f);
    EXPECT_EQ(x[9], 5.0f);

    const Loop loop = makeLoop(33000, 32.0);
    for (double hz : {0.93, 11.3, 112.35, 0.01}) {
        const double cycles = loop.wholeCycles(hz) * loop.seconds();
        EXPECT_NEAR(cycles, std::round(cycles), 1e-9) << hz;
        EXPECT_GE(cycles, 1.0);
    }
}

TEST(Synth, NoiseIsPeriodicAndUnitLevel)
{
    const Loop loop = makeLoop(8000, 2.0);
    Rng rng(7);
    const Signal x = shapedNoise(loop, rng, tilt(-6.0206));
    EXPECT_NEAR(rms(x), 1.0, 1e-4);
    // Brown noise steps are small; across the wrap too.
    double largest = 0.0;
    for (std::size_t i = 1; i < x.size(); ++i)
        largest = std::max(largest, double(std::fabs(x[i] - x[i - 1])));
    EXPECT_LE(std::fabs(x.front() - x.back()), largest);
}

} // namespace
