// The equaliser heard for real: white noise through the engine on a private sound server, the
// null sink's monitor recorded and measured in third-octave bands.
#include "measure/measure.h"
#include "player/equaliser/equaliser.h"

#include "../audio_pulse/tonemeter.h"
#include "privatepulse.h"
#include "tempfolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <random>
#include <thread>

using namespace sonaveil;
using namespace sonaveil::player;
using namespace std::chrono_literals;

namespace {

constexpr int kRate = 44100;

// Ten seconds of white noise at about -30 dBFS: loud enough to measure, far from clipping when a
// band is raised by 15 dB.
std::string writeNoise(const TempFolder& dir)
{
    const std::string path = (dir / "noise.wav").string();
    std::mt19937 random(7);
    std::normal_distribution<float> normal(0.0f, 0.03f);
    std::vector<float> frames(std::size_t(kRate) * 10);
    for (float& f : frames)
        f = std::clamp(normal(random), -1.0f, 1.0f);
    EXPECT_TRUE(measure::writeMonoWav(path, frames, kRate)) << path;
    return path;
}

// Power in the third-octave bands around each of `centres`, in dB, from an averaged spectrum
// (Hann windows of 8192 frames, half overlapping).
std::vector<double> thirdOctaveDb(const std::vector<float>& samples, const std::vector<double>& centres)
{
    constexpr int n = 8192;
    const std::vector<double> power = measure::welch(samples, kRate, n).power;
    std::vector<double> levels;
    for (double fc : centres) {
        const double lo = fc / std::pow(2.0, 1.0 / 6), hi = fc * std::pow(2.0, 1.0 / 6);
        double sum = 0;
        for (int k = int(std::ceil(lo * n / kRate)); k <= int(std::floor(hi * n / kRate)); ++k)
            sum += power[std::size_t(k)];
        levels.push_back(10 * std::log10(std::max(sum, 1e-30)));
    }
    return levels;
}

class EqualiserSound : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!pulse.start())
            FAIL() << "the private pulseaudio did not start";
        engine.setBufferSize(100);
        engine.setOutput(audio::kOutputAuto);
        engine.setDriver(0);
        ASSERT_TRUE(engine.init(kRate, 32, audio::kInitEnableSystemChannelFx));
        const audio::SampleHandle sample = engine.loadSample(audio::kFree, writeNoise(dir), audio::kSampleNormal, 0, 0);
        ASSERT_NE(sample, 0);
        channel = engine.playSound(audio::kFree, sample);
        ASSERT_GT(channel, 0);
        engine.setLoopMode(channel, audio::kLoopNormal);
    }
    void TearDown() override { engine.close(); }

    // 80 Hz and 1 kHz levels of what reaches the sink, once the last change has settled.
    std::vector<double> measure()
    {
        std::this_thread::sleep_for(600ms);
        // Six seconds: the 80 Hz band holds few spectral lines, and a shorter recording lets the
        // noise's own wandering come near the 2 dB the test allows.
        const auto recorded = recordSource("sonaveil_test.monitor", kRate * 6, kRate, 12000);
        EXPECT_GE(recorded.size(), std::size_t(kRate * 6) - 1);
        return thirdOctaveDb(recorded, {80.0, 1000.0});
    }

    PrivatePulse pulse;
    TempFolder dir;
    audio::Engine engine;
    audio::ChannelHandle channel = 0;
    EngineEqualiserOutput output{engine};
};

} // namespace

TEST_F(EqualiserSound, RaisedOneKilohertzBandIsHeardAndSwitchingRestoresIt)
{
    Equaliser eq(output, dir.path().string());
    eq.load();
    const auto flat = measure();
    ASSERT_GT(flat[1], -200.0) << "nothing reached the sink";

    eq.setPosition(4, 30); // +15 dB at 1 kHz
    eq.setOn(true);
    const auto raised = measure();
    EXPECT_GT(raised[1] - flat[1], 10.0);
    EXPECT_NEAR(raised[0], flat[0], 2.0);

    eq.setOn(false);
    const auto off = measure();
    EXPECT_NEAR(off[1], flat[1], 2.0);

    eq.setOn(true);
    const auto again = measure();
    EXPECT_GT(again[1] - flat[1], 10.0);
    EXPECT_NEAR(again[1], raised[1], 1.5);
    EXPECT_NEAR(again[0], flat[0], 2.0);
    std::printf("third-octave levels (dB) 80 Hz / 1 kHz: flat %.1f / %.1f, +15 dB at 1 kHz %.1f / %.1f, "
                "off %.1f / %.1f, on again %.1f / %.1f\n",
                flat[0], flat[1], raised[0], raised[1], off[0], off[1], again[0], again[1]);
}
