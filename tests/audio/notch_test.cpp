#include "audio/engine.h"
#include "audio/notch.h"

#include "audiotestutil.h"
#include "tempfolder.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <optional>
#include <gtest/gtest.h>
#include <sndfile.h>

using namespace sonaveil::audio;

namespace {

constexpr double kRate = 44100;

// The attenuation a band-stop must give: deep at the centre, deep over the middle half of the
// band, and no audible change an octave beyond either edge.
void expectNotchShape(const std::function<double(double)>& gainDb, double centre, double width,
                      double rate)
{
    SCOPED_TRACE(testing::Message() << centre << " Hz, " << width << " octaves");
    EXPECT_LE(gainDb(centre), -30.0);
    for (double o = -width / 4; o <= width / 4 + 1e-9; o += width / 40) {
        const double hz = centre * std::exp2(o);
        if (hz < 0.45 * rate) {
            EXPECT_LE(gainDb(hz), -20.0) << "at " << hz << " Hz";
        }
    }
    const double below = centre * std::exp2(-width / 2 - 1);
    const double above = centre * std::exp2(width / 2 + 1);
    EXPECT_GT(gainDb(below), -1.0) << "an octave below the band";
    EXPECT_LT(gainDb(below), 1.0);
    if (above < 0.45 * rate) {
        EXPECT_GT(gainDb(above), -1.0) << "an octave above the band";
        EXPECT_LT(gainDb(above), 1.0);
    }
}

// The engine's output on looping white noise, with and without a band-stop, compared bin by bin.
class NotchOnNoise : public ::testing::Test {
protected:
    static constexpr int kFft = 8192;

    std::vector<double> spectrum(std::optional<std::pair<double, double>> notch)
    {
        Engine engine;
        engine.setOutput(kOutputNoSound);
        engine.init(int(kRate), 32, kInitEnableSystemChannelFx);
        const auto path = dir / "noise.isz";
        if (!std::filesystem::exists(path))
            writeSoundFile(path, whiteNoiseFrames(int(kRate) * 4, 0.25, 11), int(kRate), SF_FORMAT_WAV | SF_FORMAT_PCM_16);
        const ChannelHandle h = engine.playSound(kFree, engine.loadSample(kFree, path.string(), kSampleNormal, 0, 0));
        engine.setLoopMode(h, kLoopNormal);
        if (notch) {
            EXPECT_TRUE(engine.setNotch(true, float(notch->first), float(notch->second)));
        }
        std::vector<float> out(2 * std::size_t(kRate) * 3);
        engine.renderOffline(out.data(), int(kRate) / 2); // the band-stop glides in meanwhile
        engine.renderOffline(out.data(), int(kRate) * 3);
        return averagedPowerSpectrum(channelOf(out, 0), kFft);
    }

    // The measured gain in dB around `hz` (five bins), and what the design gives there.
    static double measuredDb(const std::vector<double>& with, const std::vector<double>& without, double hz)
    {
        const int bin = int(std::lround(hz * kFft / kRate));
        double a = 0, b = 0;
        for (int k = bin - 2; k <= bin + 2; ++k) {
            a += with[std::size_t(k)];
            b += without[std::size_t(k)];
        }
        return 10 * std::log10(a / b);
    }
    static double designDb(const Notch::Design& d, double hz)
    {
        const int bin = int(std::lround(hz * kFft / kRate));
        double sum = 0;
        for (int k = bin - 2; k <= bin + 2; ++k)
            sum += std::pow(10.0, Notch::responseDb(d, kRate, k * kRate / kFft) / 10);
        return 10 * std::log10(sum / 5);
    }

    TempFolder dir;
};

} // namespace

TEST(NotchDesign, EveryCentreAndWidthMeetsTheAttenuationFigures)
{
    for (double centre : {250.0, 440.0, 1000.0, 4000.0, 8000.0, 12000.0, 16000.0})
        for (double width : {0.5, 1.0, 1.5, 2.0}) {
            const auto d = Notch::design(kRate, centre, width);
            expectNotchShape([&](double hz) { return Notch::responseDb(d, kRate, hz); }, centre, width, kRate);
            // The edges are the -3 dB points, the asked width apart; below the top of the range
            // they lie evenly around the centre.
            const auto [lo, hi] = Notch::edges(kRate, centre, width);
            EXPECT_NEAR(Notch::responseDb(d, kRate, lo), -3.01, 0.01);
            EXPECT_NEAR(Notch::responseDb(d, kRate, hi), -3.01, 0.01);
            EXPECT_GE(std::log2(hi / lo), width - 1e-6);
            if (centre <= 4000) {
                EXPECT_NEAR(std::log2(hi / lo), width, 1e-6);
                EXPECT_NEAR(std::log2(centre / lo), width / 2, 0.05);
            }
            // Pass bands at unity at both ends.
            EXPECT_NEAR(Notch::responseDb(d, kRate, 5.0), 0.0, 0.01);
        }
    // Nothing to design: a pass-through.
    for (const auto& s : Notch::design(kRate, 4000, 0))
        EXPECT_EQ(s.b0, 1.0);
    for (const auto& s : Notch::design(kRate, 30000, 1))
        EXPECT_EQ(s.b0, 1.0);
}

TEST_F(NotchOnNoise, TheEngineAttenuatesWhiteNoiseAsDesigned)
{
    const auto plain = spectrum(std::nullopt);
    for (const auto& [centre, width] : {std::pair{4000.0, 1.0}, std::pair{1000.0, 0.5}}) {
        SCOPED_TRACE(testing::Message() << centre << " Hz, " << width << " octaves");
        const auto notched = spectrum(std::pair{centre, width});
        expectNotchShape([&](double hz) { return measuredDb(notched, plain, hz); }, centre, width, kRate);
        const auto d = Notch::design(kRate, centre, width);
        const auto [lo, hi] = Notch::edges(kRate, centre, width);
        for (double edge : {lo, hi})
            EXPECT_NEAR(measuredDb(notched, plain, edge), designDb(d, edge), 0.5) << "edge at " << edge << " Hz";
        EXPECT_NEAR(measuredDb(notched, plain, 100), 0.0, 0.1);
        EXPECT_NEAR(measuredDb(notched, plain, 19000), 0.0, 0.1);
    }
    Engine idle;
    EXPECT_FALSE(idle.setNotch(true, 4000, 1)) << "not initialised";
}

TEST(NotchGlide, SwitchingAndRetuningNeverJumps)
{
    Notch notch{int(kRate)};
    // A steady 1 kHz sine; the band-stop switches on far from it, then moves onto it, then off.
    const int block = 128;
    std::vector<float> l(block), r(block);
    double phase = 0;
    auto run = [&](int blocks, std::vector<double>& levels) {
        for (int b = 0; b < blocks; ++b) {
            for (int n = 0; n < block; ++n) {
                l[std::size_t(n)] = r[std::size_t(n)] = float(0.5 * std::sin(phase));
                phase += 2 * M_PI * 1000 / kRate;
            }
            notch.process(l.data(), r.data(), block);
            float peak = 0;
            for (float v : l)
                peak = std::max(peak, std::fabs(v));
            levels.push_back(peak);
        }
    };
    std::vector<double> levels;
    run(40, levels);
    notch.set({true, 8000, 1});
    run(100, levels);
    EXPECT_TRUE(notch.active());
    // 1 kHz is far outside the band: the crossfade leaves it within 0.3 dB.
    for (std::size_t i = 2; i < levels.size(); ++i)
        EXPECT_NEAR(levels[i], 0.5, 0.5 * 0.035) << "block " << i;

    levels.clear();
    notch.set({true, 1000, 1});
    run(300, levels);
    // The level falls without a jump up on the way, and ends deep down.
    for (std::size_t i = 1; i < levels.size(); ++i) {
        EXPECT_LE(levels[i], levels[i - 1] * 1.05 + 1e-3) << "block " << i;
        EXPECT_LE(levels[i], 0.5 * 1.035) << "block " << i;
    }
    EXPECT_LT(levels.back(), 0.5 * 0.01);
    EXPECT_LT(notch.responseDb(1000), -60);

    levels.clear();
    notch.set({false, 1000, 1});
    run(300, levels);
    for (std::size_t i = 1; i < levels.size(); ++i)
        EXPECT_GE(levels[i], levels[i - 1] * 0.99 - 1e-4) << "block " << i;
    EXPECT_NEAR(levels.back(), 0.5, 0.5 * 0.003);
    // The fade takes its set time: about 50 ms from deep down to full.
    const auto half = std::find_if(levels.begin(), levels.end(), [](double v) { return v > 0.25; });
    EXPECT_NEAR(double(half - levels.begin()) * block / kRate, Notch::kFadeSeconds / 2, 0.006);
    EXPECT_FALSE(notch.active());
    EXPECT_EQ(notch.responseDb(1000), 0.0);
}

// Switched off, the band-stop is a pure delay of kDelayFrames, whatever the block sizes (shorter
// and longer than the delay, in any order), and switching it on afterwards starts from the same
// delayed frames.
TEST(NotchGlide, AtRestItDelaysEveryFrameExactly)
{
    Notch notch{int(kRate)};
    std::vector<float> in, outL, outR;
    for (int i = 0; i < 2000; ++i)
        in.push_back(float(i + 1));
    int at = 0;
    for (int size : {1, 2, 5, 128, 3, 77, 1, 64, 200, 4}) {
        std::vector<float> l(in.begin() + at, in.begin() + at + size), r(l);
        for (float& v : r)
            v = -v;
        notch.process(l.data(), r.data(), size);
        outL.insert(outL.end(), l.begin(), l.end());
        outR.insert(outR.end(), r.begin(), r.end());
        at += size;
    }
    for (int i = 0; i < at; ++i) {
        const float expected = i < Notch::kDelayFrames ? 0.0f : in[std::size_t(i - Notch::kDelayFrames)];
        ASSERT_EQ(outL[std::size_t(i)], expected) << "frame " << i;
        ASSERT_EQ(outR[std::size_t(i)], -expected) << "frame " << i;
    }
}
