#include "audio/engine.h"
#include "../audio/audiotestutil.h"
#include "monitorrecorder.h"
#include "privatepulse.h"
#include "tempfolder.h"
#include "tonemeter.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <sndfile.h>
#include <thread>
#include <vector>
#include <algorithm>
#include <atomic>

using namespace sonaveil::audio;
using namespace std::chrono_literals;

namespace {

constexpr int kRate = 44100;

// One second of a 1 kHz sine at half scale, a whole number of periods so that it loops cleanly.
std::string writeTone(const TempFolder& dir)
{
    const std::string path = (dir / "tone.isz").string();
    EXPECT_TRUE(writeSoundFile(path, sineFrames(1000, kRate, kRate, 0.5), kRate, SF_FORMAT_FLAC | SF_FORMAT_PCM_16)) << path;
    return path;
}

ToneMeasurement recordDefaultMonitor()
{
    return measureTone(recordSource("sonaveil_test.monitor", kRate / 4, kRate), kRate);
}

// Noise, made without end; it can be told to stop answering for a while, as a generator reading
// a file from a sleeping disk would.
class NoiseGenerator : public Generator {
public:
    explicit NoiseGenerator(std::atomic<int>* stallMs = nullptr) : m_stallMs(stallMs) {}
    int rate() const override { return kRate; }
    void generate(SourceFrame* out, int frames) override
    {
        if (m_stallMs) {
            const int ms = m_stallMs->exchange(0);
            if (ms > 0)
                std::this_thread::sleep_for(std::chrono::milliseconds(ms));
        }
        for (int i = 0; i < frames; ++i) {
            m_state = m_state * 1664525u + 1013904223u;
            out[i] = SourceFrame((std::int32_t(m_state >> 16) - 32768) / 3);
        }
    }

private:
    std::atomic<int>* m_stallMs;
    std::uint32_t m_state = 1;
};

// Energy of each 2 ms of interleaved stereo.
std::vector<double> energies(const std::vector<float>& stereo)
{
    const std::size_t window = 2 * std::size_t(kRate / 500);
    std::vector<double> out;
    for (std::size_t i = 0; i + window <= stereo.size(); i += window) {
        double e = 0;
        for (std::size_t k = i; k < i + window; ++k)
            e += double(stereo[k]) * stereo[k];
        out.push_back(e);
    }
    return out;
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

// A change through the engine is heard at once although about two seconds are queued.
TEST_F(EngineOnPulse, AVolumeChangeIsHeardAtOnceThoughTheQueueIsDeep)
{
    ASSERT_TRUE(engine.init(kRate, 32, kInitEnableSystemChannelFx));
    const ChannelHandle voice = engine.playGenerator(kFree, std::make_unique<NoiseGenerator>());
    ASSERT_GT(voice, 0);
    MonitorRecorder recorder("sonaveil_test.monitor", kRate);
    ASSERT_TRUE(recorder.start());
    // Loud at the monitor first.
    const auto loud = [&](std::size_t from) {
        const auto e = energies(recorder.samples());
        return std::any_of(e.begin() + std::ptrdiff_t(std::min(from, e.size())), e.end(), [](double x) { return x > 1.0; });
    };
    for (int i = 0; i < 400 && !loud(0); ++i)
        std::this_thread::sleep_for(10ms);
    ASSERT_TRUE(loud(0)) << "the generator's voice never reached the sink";
    std::this_thread::sleep_for(300ms);
    const std::size_t before = recorder.frames();
    const auto changed = std::chrono::steady_clock::now();
    ASSERT_TRUE(engine.setVolume(voice, 10));
    ASSERT_TRUE(recorder.waitForFrames(before + kRate, 5000ms));
    const auto e = energies(recorder.samples());
    std::size_t quiet = before / std::size_t(kRate / 500);
    while (quiet < e.size() && e[quiet] > 0.05)
        ++quiet;
    ASSERT_LT(quiet, e.size()) << "the change was not heard within a second";
    const double ms = std::chrono::duration<double, std::milli>(
        recorder.arrivalOf(quiet * std::size_t(kRate / 500)) - changed).count();
    std::printf("the volume change reached the monitor after %.0f ms\n", ms);
    EXPECT_LT(ms, 400.0);
}

// A generator that stops answering for longer than everything made ahead is never heard as a
// hole: its voice plays its last frames again until the generator is back.
TEST_F(EngineOnPulse, AStalledGeneratorIsNeverHeardAsSilence)
{
    ASSERT_TRUE(engine.init(kRate, 32, kInitEnableSystemChannelFx));
    std::atomic<int> stall{0};
    ASSERT_GT(engine.playGenerator(kFree, std::make_unique<NoiseGenerator>(&stall)), 0);
    MonitorRecorder recorder("sonaveil_test.monitor", kRate);
    ASSERT_TRUE(recorder.start());
    ASSERT_TRUE(recorder.waitForFrames(kRate, 5000ms));
    stall = 4000;
    ASSERT_TRUE(recorder.waitForFrames(recorder.frames() + 7 * kRate, 12000ms));
    EXPECT_GT(engine.starvedCount(), 0u) << "the generator never fell behind: the test proves nothing";
    const auto e = energies(recorder.samples());
    std::size_t first = 0;
    while (first < e.size() && e[first] < 1e-3)
        ++first;
    for (std::size_t w = first + 10; w + 1 < e.size(); ++w)
        ASSERT_GT(e[w], 1e-3 * std::min(e[w - 1], e[w + 1])) << "a hole at " << w * 2 << " ms of the recording";
}
