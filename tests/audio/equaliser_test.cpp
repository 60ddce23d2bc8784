#include "audio/engine.h"
#include "audio/equaliser.h"

#include "audiotestutil.h"
#include "tempfolder.h"

#include <cmath>
#include <set>
#include <gtest/gtest.h>
#include <sndfile.h>

using namespace sonaveil::audio;

namespace {

// Gain in dB of the engine's output over its input around `hz`, measured on white noise.
class EqualiserOnNoise : public ::testing::Test {
protected:
    static constexpr int kFft = 4096;

    void SetUp() override
    {
        engine.setOutput(kOutputNoSound);
        engine.init(44100, 32, kInitEnableSystemChannelFx);
        const auto path = dir / "noise.isz";
        writeSoundFile(path, whiteNoiseFrames(44100 * 4, 0.25, 7), 44100, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
        const ChannelHandle h = engine.playSound(kFree, engine.loadSample(kFree, path.string(), kSampleNormal, 0, 0));
        engine.setLoopMode(h, kLoopNormal);
    }

    std::vector<double> spectrum()
    {
        std::vector<float> out(2 * 44100 * 3);
        engine.renderOffline(out.data(), 44100 / 2); // settle
        engine.renderOffline(out.data(), 44100 * 3);
        return averagedPowerSpectrum(channelOf(out, 0), kFft);
    }

    static double bandDb(const std::vector<double>& with, const std::vector<double>& without, double hz)
    {
        const int bin = int(std::lround(hz * kFft / 44100.0));
        double a = 0, b = 0;
        for (int k = bin - 3; k <= bin + 3; ++k) {
            a += with[std::size_t(k)];
            b += without[std::size_t(k)];
        }
        return 10 * std::log10(a / b);
    }

    TempFolder dir;
    Engine engine;
};

} // namespace

TEST_F(EqualiserOnNoise, A12DbBandLiftsItsCentreAndLeavesTheRestFlat)
{
    const auto flat = spectrum();
    // Same noise again from the start of the loop: the second render must see the same input.
    engine.close();
    SetUp();
    engine.setPaused(kSystemChannel, true);
    engine.fxDisable(kSystemChannel);
    const FxHandle fx = engine.fxEnable(kSystemChannel, kFxParamEq);
    ASSERT_GT(fx, 0);
    EXPECT_TRUE(engine.fxSetParamEq(fx, 1000.0f, 18.0f, 12.0f));
    engine.setPaused(kSystemChannel, false);
    const auto lifted = spectrum();

    EXPECT_NEAR(bandDb(lifted, flat, 1000), 12.0, 1.0);
    EXPECT_NEAR(bandDb(lifted, flat, 40), 0.0, 1.0);
    EXPECT_NEAR(bandDb(lifted, flat, 16000), 0.0, 1.0);
    EXPECT_FALSE(engine.fxSetParamEq(fx + 100, 1000.0f, 18.0f, 12.0f));
    EXPECT_EQ(engine.fxEnable(0, kFxParamEq), -1);
    EXPECT_EQ(engine.fxEnable(kSystemChannel, 3), -1);
}

TEST(Equaliser, ResponseOfTenBandsAddsUpAndRetuningGlides)
{
    Equaliser eq(44100);
    std::array<EqBandSettings, Equaliser::kMaxBands> bands{};
    const float centres[10] = {31, 62, 125, 250, 500, 1000, 2000, 4000, 8000, 16000};
    for (int i = 0; i < 10; ++i)
        bands[std::size_t(i)] = {centres[i], 18.0f, 6.0f};
    eq.setBands(bands, 10);
    std::vector<float> l(4096, 0.0f), r(4096, 0.0f);
    for (int i = 0; i < 40; ++i)
        eq.process(l.data(), r.data(), 128);
    // Every band +6 dB with wide overlapping skirts: everywhere lifted, never by more than all ten.
    for (double hz : {100.0, 1000.0, 5000.0})
        EXPECT_GT(eq.responseDb(hz), 6.0);
    EXPECT_LT(eq.responseDb(1000), 60.0);

    // A jump of the setting reaches the filter only gradually.
    bands[5].gainDb = -12.0f;
    eq.setBands(bands, 10);
    const double before = eq.responseDb(1000);
    eq.process(l.data(), r.data(), 128);
    const double afterOneBlock = eq.responseDb(1000);
    EXPECT_LT(afterOneBlock, before);
    EXPECT_GT(afterOneBlock, before - 10.0);
    for (int i = 0; i < 100; ++i)
        eq.process(l.data(), r.data(), 128);
    eq.setBands(bands, 0);
    for (int i = 0; i < 100; ++i)
        eq.process(l.data(), r.data(), 128);
    EXPECT_NEAR(eq.responseDb(1000), 0.0, 1e-3);
}

TEST(EngineEqualiser, TakesAsManyBandsAsItDocumentsAndRefusesOneMore)
{
    TempFolder dir;
    Engine engine;
    engine.setOutput(kOutputNoSound);
    ASSERT_TRUE(engine.init(44100, 32, kInitEnableSystemChannelFx));
    const auto path = dir / "tone.isz";
    writeSoundFile(path, sineFrames(1000, 44100, 44100, 0.05), 44100, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    const ChannelHandle h = engine.playSound(kFree, engine.loadSample(kFree, path.string(), kSampleNormal, 0, 0));
    engine.setLoopMode(h, kLoopNormal);
    auto level = [&] {
        std::vector<float> out(2 * 8820);
        engine.renderOffline(out.data(), 8820); // the band glides to its setting
        engine.renderOffline(out.data(), 8820);
        double sum = 0;
        for (float v : channelOf(out, 0))
            sum += double(v) * v;
        return std::sqrt(sum);
    };

    for (int round = 0; round < 2; ++round) {
        engine.fxDisable(kSystemChannel);
        std::vector<FxHandle> bands;
        for (int i = 0; i < kMaxEqBands; ++i) {
            bands.push_back(engine.fxEnable(kSystemChannel, kFxParamEq));
            EXPECT_GT(bands.back(), 0) << "band " << i + 1;
        }
        EXPECT_EQ(std::set<FxHandle>(bands.begin(), bands.end()).size(), bands.size());
        EXPECT_EQ(engine.fxEnable(kSystemChannel, kFxParamEq), -1);

        // The last band counts like the first.
        const double flat = level();
        EXPECT_TRUE(engine.fxSetParamEq(bands.back(), 1000.0f, 18.0f, 12.0f));
        EXPECT_NEAR(20 * std::log10(level() / flat), 12.0, 1.0);
    }
}

// A chain whose sections all pass through only delays (the equaliser off skips the filters);
// it must give what filtering frame by frame gives, also as a band comes and goes again.
TEST(BiquadChain, PassingThroughIsTheSameDelayAsFiltering)
{
    BiquadChain<12> fast, reference;
    const auto noise = whiteNoiseFrames(3000, 0.5, 11);
    Biquad peak;
    peak.b0 = 1.02;
    peak.b1 = -1.9;
    peak.b2 = 0.91;
    peak.a1 = -1.9;
    peak.a2 = 0.93;
    int at = 0;
    double worst = 0;
    for (int round = 0; round < 3; ++round) {
        if (round == 1) {
            fast.setSection(5, peak);
            reference.setSection(5, peak);
        } else if (round == 2) {
            fast.setSection(5, Biquad{});
            reference.setSection(5, Biquad{});
        }
        for (int block = 0; block < 7; ++block, at += 137) {
            std::vector<float> l(137), r(137);
            for (int k = 0; k < 137; ++k) {
                l[std::size_t(k)] = noise[std::size_t(at + k)] / 32768.0f;
                r[std::size_t(k)] = -0.5f * l[std::size_t(k)];
            }
            const std::vector<float> inL = l;
            fast.process(l.data(), r.data(), 137);
            for (int k = 0; k < 137; ++k) {
                const auto y = reference.step(inL[std::size_t(k)], -0.5f * inL[std::size_t(k)]);
                worst = std::max({worst, double(std::fabs(y[0] - l[std::size_t(k)])),
                                  double(std::fabs(y[1] - r[std::size_t(k)]))});
                if (round == 0 && at + k >= BiquadChain<12>::kDelayFrames) {
                    ASSERT_EQ(l[std::size_t(k)], noise[std::size_t(at + k - BiquadChain<12>::kDelayFrames)] / 32768.0f);
                }
            }
        }
    }
    EXPECT_LT(worst, 1e-5);
}
