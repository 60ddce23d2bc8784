// The streaming building blocks: the levels and spectra they promise, and events that come out
// as they were put in.

#include "synth/layers.h"
#include "synth/live.h"
#include "measure/measure.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

using namespace sonaveil::synth;
using namespace sonaveil::synth::live;

constexpr int kRate = 44100;

double rmsOf(const std::vector<float>& x)
{
    double s = 0;
    for (float v : x)
        s += double(v) * v;
    return std::sqrt(s / double(x.size()));
}

std::vector<float> noise(const Response& r, double seconds, std::uint64_t seed = 1)
{
    Rng rng(seed);
    NoiseStream n(kRate, r, rng);
    std::vector<float> x(std::size_t(seconds * kRate) / kBlock * kBlock);
    for (std::size_t i = 0; i < x.size(); i += kBlock)
        n.read(x.data() + i, kBlock);
    return x;
}

// Coloured noise keeps its exact slope and its level (RMS 1 before the rumble filter, as a file
// layer), and a second stream is another noise.
TEST(LiveNoise, SlopeLevelAndIndependence)
{
    EXPECT_NEAR(rmsOf(noise(tilt(0.0), 30)), 1.0, 0.02);
    for (double slope : {0.0, -3.0103, -6.0206, 3.0103}) {
        const auto x = noise(product({tilt(slope), highpass(27.0, 10)}), 30);
        EXPECT_NEAR(sonaveil::measure::fittedSlope(sonaveil::measure::welch(x, kRate), 100, 10000), slope, 0.15)
            << slope;
    }
    const auto a = noise(tilt(0), 2, 1), b = noise(tilt(0), 2, 2);
    double ab = 0;
    for (std::size_t i = 0; i < a.size(); ++i)
        ab += double(a[i]) * b[i];
    EXPECT_LT(std::fabs(ab / double(a.size())), 0.02);
}

// A narrow band stays narrow: nothing leaks an octave away.
TEST(LiveNoise, NarrowBandStaysNarrow)
{
    const auto x = noise([](double f) {
        const double d = std::log2(f / 5000) / 0.08;
        return std::exp(-0.5 * d * d);
    }, 20);
    const auto w = sonaveil::measure::welch(x, kRate);
    auto at = [&](double hz) { return 10 * std::log10(w.power[std::size_t(hz / w.binHz)] + 1e-30); };
    EXPECT_GT(at(5000) - at(2500), 80.0);
    EXPECT_GT(at(5000) - at(10000), 80.0);
}

// A song band made at a quarter of the rate and brought up has its level and its shape, and the
// interpolator's images stay far below it; a band from 0 Hz keeps its level too.
TEST(LiveNoise, BasebandLevelShapeAndImages)
{
    const auto song = [](double f) {
        const double d = std::log2(f / 5000) / 0.08;
        return std::exp(-0.5 * d * d);
    };
    auto render = [](Baseband& band, BasebandNoise& noise, double seconds) {
        std::vector<float> x(std::size_t(seconds * kRate) / kBlock * kBlock, 0.0f);
        for (std::size_t i = 0; i < x.size(); i += kBlock) {
            noise.addRamped(band, 1.0f, 1.0f);
            band.add(x.data() + i);
        }
        return x;
    };
    Rng rng(8);
    Baseband band(kRate, 5000);
    BasebandNoise noise(band, song, 5000 * std::exp2(-0.4), 5000 * std::exp2(0.4), rng);
    const auto x = render(band, noise, 30);
    EXPECT_NEAR(rmsOf(x), 1.0, 0.03);
    const auto w = sonaveil::measure::welch(x, kRate);
    auto at = [&](double hz) { return 10 * std::log10(w.power[std::size_t(hz / w.binHz)] + 1e-30); };
    EXPECT_NEAR(at(5000 * std::exp2(0.08)) - at(5000), 10 * std::log10(std::exp(-1.0)), 0.5);
    // 2500 and 10000 Hz are off the song; 16025 Hz is its first image (5000 + kRate / 4).
    for (double hz : {2500.0, 10000.0, 16025.0})
        EXPECT_GT(at(5000) - at(hz), 60.0) << hz;

    Baseband low(kRate, Baseband(kRate, 1000).reach());
    BasebandNoise lowNoise(low, product({bandpass(40, 500, 2), tilt(-3, 100)}), 0.0, 1e9, rng);
    EXPECT_NEAR(rmsOf(render(low, lowNoise, 30)), 1.0, 0.03);
}

// Every image of a part within a band's reach (at k times the band's rate from it) lies in the
// interpolators' stopband.
void expectImagesStopped(const Baseband& band, const char* what)
{
    const double r = band.basebandRate();
    for (double f = -band.reach(); f <= band.reach(); f += 25.0)
        for (int k = 1; k <= 3; ++k)
            ASSERT_LT(band.gain(k * r + f), 6e-4) << what << " " << band.basebandRate() << " " << f << " " << k;
}

// The interpolators pass a band's reach flat and keep the images of everything within it in their
// stopband, at both of the catalogue's rates.
TEST(LiveNoise, BasebandReachAndStopband)
{
    for (int rate : {44100, 33000}) {
        const Baseband band(rate, 5000);
        EXPECT_TRUE(band.twoSteps()) << rate;
        EXPECT_GT(band.reach(), 0.35 * band.basebandRate()) << rate;
        EXPECT_NEAR(band.gain(0.0), 1.0, 1e-3) << rate;
        EXPECT_NEAR(band.gain(band.reach()), 1.0, 0.06) << rate; // the noise is corrected for the rest
        expectImagesStopped(band, "wide");
    }
}

// A band asked for a narrower reach gets a cheaper interpolator that still reaches that far,
// passes it flat enough and keeps the images of everything within it in the stopband.
TEST(LiveNoise, ShortInterpolatorForANarrowReach)
{
    for (int rate : {44100, 33000})
        for (double needed : {1500.0, 2400.0}) {
            const Baseband narrow(rate, 5000, needed);
            EXPECT_GE(narrow.reach(), needed) << rate;
            EXPECT_NEAR(narrow.gain(0.0), 1.0, 1e-3) << rate;
            EXPECT_NEAR(narrow.gain(needed), 1.0, 0.06) << rate;
            expectImagesStopped(narrow, "narrow");
        }
    EXPECT_FALSE(Baseband(44100, 5000, 1500).twoSteps());
    EXPECT_LT(Baseband(44100, 5000, 1500).work(), Baseband(44100, 5000).work());
    // Farther than any reaches: the farthest.
    EXPECT_GE(Baseband(33000, 5000, 1e4).reach(), Baseband(33000, 5000).reach());

    // A song made in a short band and in a wide one keeps its level, and nothing of it shows off
    // the band.
    auto song = [](double f) {
        const double d = std::log2(f / 5000.0) / 0.08;
        return f > 0 ? std::exp(-0.5 * d * d) : 0.0;
    };
    for (double reach : {5000 * (std::exp2(0.32) - 1.0), 0.0}) {
        Rng rng(12);
        Baseband band(kRate, 5000, reach);
        BasebandNoise noise(band, song, 5000 * std::exp2(-0.32), 5000 * std::exp2(0.32), rng);
        std::vector<float> x(std::size_t(30 * kRate) / kBlock * kBlock, 0.0f);
        for (std::size_t i = 0; i < x.size(); i += kBlock) {
            noise.addRamped(band, 1.0f, 1.0f);
            band.add(x.data() + i);
        }
        EXPECT_NEAR(rmsOf(x), 1.0, 0.03) << reach;
        const auto w = sonaveil::measure::welch(x, kRate);
        auto at = [&](double hz) { return 10 * std::log10(w.power[std::size_t(hz / w.binHz)] + 1e-30); };
        for (double hz : {1500.0, 2500.0, 10000.0, 16025.0})
            EXPECT_GT(at(5000) - at(hz), 60.0) << reach << " " << hz;
    }
}

// A pulse train read every fourth frame for a baseband gives the frames it multiplies by at the
// full rate.
TEST(LiveMotion, PulseValuesAreTheFullRateShape)
{
    Rng a(9), b(9);
    PulseTrain full(kRate, a, tymbalPulse(0.3, 0.9), 150.0, 0.01), quarter(kRate, b, tymbalPulse(0.3, 0.9), 150.0, 0.01);
    for (int block = 0; block < 500; ++block) {
        float x[kBlock], v[kBlock / 4];
        std::fill(x, x + kBlock, 1.0f);
        full.multiply(x);
        quarter.values(v, 4);
        for (int i = 0; i < kBlock / 4; ++i)
            ASSERT_NEAR(v[i], x[4 * i], 1e-5) << block << " " << i;
    }
}

// Slow motions have the RMS they promise, and a wobble the mean and mean square it reports.
TEST(LiveMotion, SlowNoiseAndWobbleLevels)
{
    Rng rng(3);
    SlowNoise slow(kRate, rng, 2.0);
    Wobble wobble(kRate, rng, 2.0, 0.6, 0.05);
    double s2 = 0, w1 = 0, w2 = 0;
    const int blocks = 600 * kRate / kBlock;
    for (int i = 0; i < blocks; ++i) {
        const double v = slow.next();
        wobble.next();
        s2 += v * v;
        w1 += wobble.to();
        w2 += double(wobble.to()) * wobble.to();
    }
    EXPECT_NEAR(std::sqrt(s2 / blocks), 1.0, 0.1);
    EXPECT_NEAR(w1 / blocks, wobble.mean(), 0.05);
    EXPECT_NEAR(w2 / blocks, wobble.meanSquare(), 0.08);
}

// Events placed in the ring come out whole, across its wrap too, and a Poisson layer has the
// RMS the bank predicts.
TEST(LiveEvents, RingAndLayerLevel)
{
    EventRing ring(300);
    std::vector<float> kernel(250);
    for (std::size_t i = 0; i < kernel.size(); ++i)
        kernel[i] = float(i + 1);
    std::vector<float> out(64 * 40, 0.0f);
    for (int b = 0; b < 40; ++b) {
        if (b == 7)
            ring.add(kernel.data(), int(kernel.size()), 10, 2.0f);
        ring.read(out.data() + b * 64, 64);
    }
    for (std::size_t i = 0; i < out.size(); ++i) {
        const long k = long(i) - (7 * 64 + 10);
        EXPECT_EQ(out[i], k >= 0 && k < 250 ? 2.0f * kernel[std::size_t(k)] : 0.0f) << i;
    }

    Rng rng(4);
    KernelBank bank(64, kRate, rng, [](Rng& r, const KernelBank::Shares& q) {
        return tick(r, kRate, 0.5, 3000 * (1 + q.pitch), 2, 0.3);
    }, bandpass(400, 10000, 2));
    Poisson events(300, kRate, rng);
    EventRing layer(bank.longest() + kBlock);
    std::vector<float> x(std::size_t(60 * kRate / kBlock * kBlock), 0.0f);
    for (std::size_t b = 0; b < x.size(); b += kBlock) {
        events.block(1.0, [&](int at) { layer.add(bank, bank.choose(rng.next()), at, 1.0f); });
        layer.read(x.data() + b, kBlock);
    }
    EXPECT_NEAR(rmsOf(x) / bank.layerRms(300, kRate), 1.0, 0.05);
}

// Coloured variants lose the far tail of their decay before the colour, smoothly, and keep all but
// a trace of their energy; variants without a colour are kept whole.
TEST(LiveEvents, VariantTailsTrimmedBeforeTheColour)
{
    const Signal ring = quickKnock(kRate, 2000, 8);
    double whole = 0.0;
    for (float v : ring)
        whole += double(v) * v;
    auto make = [&](Rng&, const KernelBank::Shares&) { return ring; };
    Rng rng(6);
    const KernelBank plain(4, kRate, rng, make), coloured(4, kRate, rng, make, bandpass(200, 15000, 2));
    EXPECT_EQ(plain.length(0), int(ring.size()));
    // 7 decay times made, 4.6 kept: the colour's ringing adds a little at both ends.
    EXPECT_LT(coloured.length(0), int(0.8 * double(ring.size())));
    double peak = 0.0;
    for (int i = 0; i < coloured.length(0); ++i)
        peak = std::max(peak, std::fabs(double(coloured.data(0)[i])));
    const int n = coloured.length(0);
    EXPECT_LT(std::fabs(double(coloured.data(0)[n - 1])), 2e-3 * peak);
    // The colour passes 2 kHz whole: the energy is the kernel's but for 1e-4 of it.
    EXPECT_NEAR(coloured.meanEnergy() / whole, 1.0, 2e-3);
    EXPECT_NEAR(plain.meanEnergy() / whole, 1.0, 1e-3);
}

// The quick logarithm of the gaps between events is the library's, never below 0, and the gaps
// keep their mean.
TEST(LiveEvents, QuickLogOfTheGaps)
{
    for (double x = 1.0; x > 1e-12; x *= 0.9973) {
        ASSERT_NEAR(minusLog(x), -std::log(x), 2e-7 + 1e-12 * -std::log(x)) << x;
        ASSERT_GE(minusLog(x), 0.0) << x;
        ASSERT_GE(minusLog(1.0 - x * 1e-3), 0.0) << x;
    }
    EXPECT_EQ(minusLog(1.0), 0.0);
    Rng rng(21);
    Poisson events(441.0, kRate, rng);
    long count = 0;
    for (int b = 0; b < 20000; ++b)
        events.block(1.0, [&](int) { ++count; });
    EXPECT_NEAR(double(count) / (20000.0 * kBlock / kRate * 441.0), 1.0, 0.02);
}

// Sizes from shares follow the capped log-normal, and the quick kernels are the recipes' own.
TEST(LiveEvents, SizesAndQuickKernels)
{
    EXPECT_NEAR(sizeAt(0.5, 0.7, 4.0), 1.0, 1e-6);
    EXPECT_NEAR(std::log(sizeAt(0.841344746, 0.7, 4.0)), 0.7, 1e-4);
    EXPECT_EQ(sizeAt(0.999, 0.7, 4.0), 4.0);
    const Signal b = bubble(kRate, 1200, 20, 0.3), qb = quickBubble(kRate, 1200, 20, 0.3);
    const Signal k = knock(kRate, 300, 25), qk = quickKnock(kRate, 300, 25);
    ASSERT_EQ(b.size(), qb.size());
    ASSERT_EQ(k.size(), qk.size());
    for (std::size_t i = 0; i < b.size(); ++i)
        ASSERT_NEAR(b[i], qb[i], 1e-4) << i;
    for (std::size_t i = 0; i < k.size(); ++i)
        ASSERT_NEAR(k[i], qk[i], 1e-4) << i;
}

// A hum has its level and its pitch, however its phase wanders.
TEST(LiveHum, LevelAndPitch)
{
    Rng rng(6);
    HumVoice hum(kRate, rng, Hum{100.0, {0, -6, -12}, 2.0, -12});
    std::vector<float> x(std::size_t(20 * kRate / kBlock * kBlock), 0.0f);
    for (std::size_t b = 0; b < x.size(); b += kBlock)
        hum.add(x.data() + b);
    EXPECT_NEAR(20 * std::log10(rmsOf(x)), -12.0, 0.1);
    const auto w = sonaveil::measure::welch(x, kRate);
    std::size_t top = 1;
    for (std::size_t k = 1; k < w.power.size(); ++k)
        top = w.power[k] > w.power[top] ? k : top;
    EXPECT_NEAR(double(top) * w.binHz, 100.0, 2 * w.binHz);
}

} // namespace
