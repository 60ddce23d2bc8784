#include "audio/engine.h"
#include "privatepulse.h"
#include "tempfolder.h"
#include "tonemeter.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <sndfile.h>
#include <thread>
#include <vector>

using namespace sonaveil::audio;
using namespace std::chrono_literals;

namespace {

constexpr int kRate = 44100;

// One second of a 1 kHz sine at half scale, a whole number of periods so that it loops cleanly.
std::string writeTone(const TempFolder& dir)
{
    const std::string path = (dir / "tone.isz").string();
    std::vector<short> frames(kRate);
    for (int i = 0; i < kRate; ++i)
        frames[std::size_t(i)] = short(std::lround(16384.0 * std::sin(2 * M_PI * 1000.0 * i / kRate)));
    SF_INFO info{};
    info.samplerate = kRate;
    info.channels = 1;
    info.format = SF_FORMAT_FLAC | SF_FORMAT_PCM_16;
    SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
    sf_writef_short(f, frames.data(), kRate);
    sf_close(f);
    return path;
}

ToneMeasurement recordDefaultMonitor()
{
    return measureTone(recordSource("sonaveil_test.monitor", kRate / 4, kRate), kRate);
}

class EngineOnPulse : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(pulse.start()) << "cannot start a private pulseaudio"; }

    // Engine started as the player starts it, with the tone looping at full volume.
    void startTone()
    {
        engine.setBufferSize(100);
        engine.setOutput(kOutputAuto);
        engine.setDriver(0);
        ASSERT_TRUE(engine.init(kRate, 32, kInitEnableSystemChannelFx));
        const SampleHandle sample = engine.loadSample(kFree, writeTone(dir), kSampleNormal, 0, 0);
        ASSERT_NE(sample, 0);
        channel = engine.playSound(kFree, sample);
        ASSERT_GT(channel, 0);
        engine.setLoopMode(channel, kLoopNormal);
        engine.setPan(channel, 0);
    }

    PrivatePulse pulse;
    TempFolder dir;
    Engine engine;
    ChannelHandle channel = 0;
};

} // namespace

TEST_F(EngineOnPulse, DriversAreTheServersSinksDefaultFirst)
{
    EXPECT_EQ(engine.driverCount(), 2);
    EXPECT_EQ(engine.driverName(0), "Sonaveil_Test");
    EXPECT_EQ(engine.driverName(1), "Second_Sink");
    EXPECT_EQ(engine.driverName(2), "");
}

TEST_F(EngineOnPulse, ATonePlayedThroughTheEngineReachesTheSink)
{
    startTone();
    std::this_thread::sleep_for(300ms);
    const ToneMeasurement m = recordDefaultMonitor();
    EXPECT_NEAR(m.peakHz, 1000.0, 3.0);
    EXPECT_GT(m.rms, 0.1);
    EXPECT_GT(m.purity, 0.9);
}

TEST_F(EngineOnPulse, TheVoicePlaysOnAfterTheServerComesBack)
{
    startTone();
    std::this_thread::sleep_for(300ms);
    pulse.kill();
    // Calls keep being taken while the server is away.
    EXPECT_TRUE(engine.setVolume(channel, 255));
    EXPECT_TRUE(engine.isPlaying(channel));
    std::this_thread::sleep_for(300ms);
    ASSERT_TRUE(pulse.start());
    ToneMeasurement m;
    for (int attempt = 0; attempt < 20 && m.rms < 0.1; ++attempt) {
        std::this_thread::sleep_for(250ms);
        m = recordDefaultMonitor();
    }
    EXPECT_NEAR(m.peakHz, 1000.0, 3.0);
    EXPECT_GT(m.rms, 0.1);
}

TEST_F(EngineOnPulse, ThePitchMatchToneReachesTheSinkAtItsLevel)
{
    engine.setBufferSize(100);
    engine.setOutput(kOutputAuto);
    ASSERT_TRUE(engine.init(kRate, 32, kInitEnableSystemChannelFx));
    // A band-stop on the tone's own pitch: the test tone passes it untouched.
    ASSERT_TRUE(engine.setNotch(true, 3000, 1));
    ASSERT_TRUE(engine.setTone(true, kToneSine, 3000, -20));
    std::this_thread::sleep_for(300ms);
    const ToneMeasurement m = recordDefaultMonitor();
    EXPECT_NEAR(m.peakHz, 3000.0, 5.0);
    EXPECT_NEAR(m.rms, ToneGenerator::amplitude(-20) / std::sqrt(2.0), 0.01);
    EXPECT_GT(m.purity, 0.9);
}
