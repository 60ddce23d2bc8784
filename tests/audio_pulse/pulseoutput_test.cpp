#include "audio/output.h"
#include "privatepulse.h"
#include "tonemeter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <numbers>
#include <sstream>
#include <thread>

#if defined(__x86_64__) || defined(__i386__)
#include <xmmintrin.h>
#endif

using namespace sonaveil::audio;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kRecordRate = 44100;

// A 1 kHz sine at half scale that counts how it is called.
class ToneSource {
public:
    explicit ToneSource(int mixRate) : m_step(2 * std::numbers::pi * 1000.0 / mixRate) {}

    RenderFunction function()
    {
        return [this](float* out, int frames) { render(out, frames); };
    }

    long calls() const { return m_calls.load(); }
    bool sawBadFrameCount() const { return m_badFrameCount.load(); }
    bool sawFlushToZero() const { return m_flushToZero.load(); }

    // Waits until `render` has been called more than `calls` times; false after `limit`.
    bool waitForCallsAbove(long calls, std::chrono::milliseconds limit) const
    {
        const auto deadline = Clock::now() + limit;
        while (m_calls.load() <= calls) {
            if (Clock::now() > deadline)
                return false;
            std::this_thread::sleep_for(5ms);
        }
        return true;
    }

private:
    void render(float* out, int frames)
    {
        if (m_calls.load() == 0) {
#if defined(__x86_64__) || defined(__i386__)
            m_flushToZero = (_mm_getcsr() & 0x8040) == 0x8040;
#else
            m_flushToZero = true;
#endif
        }
        if (frames <= 0 || frames > 1 << 20)
            m_badFrameCount = true;
        for (int i = 0; i < frames; ++i) {
            const float s = float(0.5 * std::sin(m_phase));
            out[2 * i] = s;
            out[2 * i + 1] = s;
            m_phase += m_step;
            if (m_phase > 2 * std::numbers::pi)
                m_phase -= 2 * std::numbers::pi;
        }
        ++m_calls;
    }

    const double m_step;
    double m_phase = 0;
    std::atomic<long> m_calls{0};
    std::atomic<bool> m_badFrameCount{false};
    std::atomic<bool> m_flushToZero{false};
};

ToneMeasurement recordMonitor(const std::string& sink, double seconds = 0.25)
{
    return measureTone(recordSource(sink + ".monitor", int(seconds * kRecordRate), kRecordRate), kRecordRate);
}

void expectTone(const ToneMeasurement& m, const char* where)
{
    SCOPED_TRACE(where);
    EXPECT_NEAR(m.peakHz, 1000.0, 3.0);
    EXPECT_GT(m.rms, 0.2); // a half-scale sine has an RMS of 0.35
    EXPECT_GT(m.purity, 0.95);
}

double millisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Stops the output and returns how long that took, in milliseconds.
double timedStop(Output& output)
{
    const auto start = Clock::now();
    output.stop();
    return millisecondsSince(start);
}

// The latency of the one playback stream as the server reports it (its buffer plus the sink's),
// the median of a few readings while it plays; -1 when there is no stream.
double medianStreamLatencyMs(const PrivatePulse& pulse)
{
    std::vector<double> readings;
    for (int i = 0; i < 5; ++i) {
        std::this_thread::sleep_for(50ms);
        const std::string info = pulse.pactl("list sink-inputs");
        double total = 0;
        int found = 0;
        for (const char* key : {"Buffer Latency: ", "Sink Latency: "}) {
            const auto at = info.find(key);
            if (at != std::string::npos) {
                total += std::atof(info.c_str() + at + std::strlen(key)) / 1000.0;
                ++found;
            }
        }
        if (found == 2)
            readings.push_back(total);
    }
    if (readings.empty())
        return -1;
    std::sort(readings.begin(), readings.end());
    return readings[readings.size() / 2];
}

// The index the server gives the sink called `name` ("" when it has none).
std::string sinkIndex(const PrivatePulse& pulse, const std::string& name)
{
    std::istringstream lines(pulse.pactl("list short sinks"));
    std::string index, sinkName;
    for (std::string line; std::getline(lines, line);) {
        std::istringstream fields(line);
        if (fields >> index >> sinkName && sinkName == name)
            return index;
    }
    return "";
}

class PulseOutputTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(pulse.start()) << "cannot start a private pulseaudio"; }

    PrivatePulse pulse;
};

} // namespace

TEST_F(PulseOutputTest, PlaysOnTheDefaultSinkWithTheConfiguredLatency)
{
    ToneSource tone(44100);
    auto output = makePulseOutput();
    ASSERT_TRUE(output);
    const auto started = Clock::now();
    ASSERT_TRUE(output->start({44100, 100, ""}, tone.function()));
    EXPECT_LT(millisecondsSince(started), 100.0) << "start() waited for the server";
    ASSERT_TRUE(tone.waitForCallsAbove(0, 3000ms));
    EXPECT_TRUE(tone.sawFlushToZero());

    const double latency = medianStreamLatencyMs(pulse);
    std::printf("latency with 100 ms asked: %.1f ms (median of the server's figures)\n", latency);
    // 150 ms in all is asked for, 50 ms at a time: a change is heard within 150 ms.
    EXPECT_GT(latency, 60.0);
    EXPECT_LT(latency, 160.0);

    expectTone(recordMonitor("sonaveil_test"), "default sink");
    EXPECT_LT(recordMonitor("sonaveil_second", 0.1).rms, 1e-4) << "the tone leaked to another sink";
    EXPECT_LT(timedStop(*output), 300.0);
    EXPECT_FALSE(tone.sawBadFrameCount());
}

// The sink the stream plays on keeps a buffer of tens of milliseconds (the server then wakes a
// few dozen times a second, not thousands), and the output's thread renders about 20 times a
// second.
TEST_F(PulseOutputTest, LeavesTheSinkALatencyOfTensOfMillisecondsAndWakesRarely)
{
    ToneSource tone(44100);
    auto output = makePulseOutput();
    ASSERT_TRUE(output->start({44100, 100, ""}, tone.function()));
    ASSERT_TRUE(tone.waitForCallsAbove(2, 3000ms));
    std::this_thread::sleep_for(300ms);
    const long before = tone.calls();
    const auto start = Clock::now();
    std::this_thread::sleep_for(2000ms);
    const double perSecond = double(tone.calls() - before) / (millisecondsSince(start) / 1000.0);
    std::printf("render calls: %.1f a second\n", perSecond);
    EXPECT_LT(perSecond, 24.0);
    EXPECT_GT(perSecond, 10.0);

    // "Latency: 24890 usec, configured 25000 usec" in the sink's entry.
    const std::string sinks = pulse.pactl("list sinks");
    const auto entry = sinks.find("Name: sonaveil_test");
    ASSERT_NE(entry, std::string::npos) << sinks;
    const auto configured = sinks.find("configured ", sinks.find("Latency: ", entry));
    ASSERT_NE(configured, std::string::npos) << sinks;
    const double sinkMs = std::atof(sinks.c_str() + configured + std::strlen("configured ")) / 1000.0;
    std::printf("sink's configured latency: %.1f ms\n", sinkMs);
    EXPECT_GE(sinkMs, 20.0);
    EXPECT_LE(sinkMs, 60.0);
}

TEST_F(PulseOutputTest, PlaysOnTheNamedSinkAtItsOwnMixRate)
{
    ToneSource tone(48000);
    auto output = makePulseOutput();
    ASSERT_TRUE(output->start({48000, 60, "sonaveil_second"}, tone.function()));
    ASSERT_TRUE(tone.waitForCallsAbove(0, 3000ms));
    // The stream carries the mix rate itself (a tone made for 48 kHz played at 44.1 kHz would
    // sound at 919 Hz), on the sink it was given.
    const std::string streams = pulse.pactl("list sink-inputs");
    EXPECT_NE(streams.find(" 48000Hz"), std::string::npos) << streams;
    EXPECT_NE(streams.find("Sink: " + sinkIndex(pulse, "sonaveil_second") + "\n"), std::string::npos) << streams;
    expectTone(recordMonitor("sonaveil_second"), "named sink");
    EXPECT_LT(recordMonitor("sonaveil_test", 0.1).rms, 1e-4) << "the tone played on the default sink too";
}

TEST_F(PulseOutputTest, AMissingSinkPlaysOnTheDefaultSink)
{
    ToneSource tone(44100);
    auto output = makePulseOutput();
    ASSERT_TRUE(output->start({44100, 100, "unplugged_headset"}, tone.function()));
    ASSERT_TRUE(tone.waitForCallsAbove(0, 3000ms));
    std::this_thread::sleep_for(200ms);
    expectTone(recordMonitor("sonaveil_test"), "fallback to the default sink");
}

TEST_F(PulseOutputTest, StopEndsRenderingAndStartPlaysAgain)
{
    auto output = makePulseOutput();
    ToneSource first(44100);
    ASSERT_TRUE(output->start({44100, 100, ""}, first.function()));
    ASSERT_TRUE(first.waitForCallsAbove(2, 3000ms));
    EXPECT_LT(timedStop(*output), 300.0);
    const long callsAtStop = first.calls();
    std::this_thread::sleep_for(250ms);
    EXPECT_EQ(first.calls(), callsAtStop) << "render was called after stop()";
    output->stop(); // a second stop is harmless

    ToneSource second(44100);
    ASSERT_TRUE(output->start({44100, 100, ""}, second.function()));
    ASSERT_TRUE(second.waitForCallsAbove(0, 3000ms));
    // A start while started replaces the render function.
    ToneSource third(44100);
    ASSERT_TRUE(output->start({44100, 100, ""}, third.function()));
    const long secondCalls = second.calls();
    ASSERT_TRUE(third.waitForCallsAbove(0, 3000ms));
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(second.calls(), secondCalls);
    expectTone(recordMonitor("sonaveil_test"), "after start, stop, start");
    output.reset(); // the destructor stops
    const long thirdCalls = third.calls();
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(third.calls(), thirdCalls);
}

TEST_F(PulseOutputTest, ReconnectsAfterTheServerIsKilledAndRestarted)
{
    ToneSource tone(44100);
    auto output = makePulseOutput();
    ASSERT_TRUE(output->start({44100, 100, ""}, tone.function()));
    ASSERT_TRUE(tone.waitForCallsAbove(2, 3000ms));
    std::this_thread::sleep_for(200ms);

    pulse.kill();
    std::this_thread::sleep_for(100ms);
    const long callsWhileDown = tone.calls();
    std::this_thread::sleep_for(700ms);
    EXPECT_EQ(tone.calls(), callsWhileDown) << "render was called with no server";

    ASSERT_TRUE(pulse.start());
    const auto restarted = Clock::now();
    ASSERT_TRUE(tone.waitForCallsAbove(callsWhileDown, 4000ms)) << "no reconnection";
    std::printf("playing again %.0f ms after the server answered\n", millisecondsSince(restarted));
    std::this_thread::sleep_for(300ms);
    expectTone(recordMonitor("sonaveil_test"), "after the restart");
}

TEST_F(PulseOutputTest, KeepsPlayingWhenItsSinkIsRemoved)
{
    ToneSource tone(44100);
    auto output = makePulseOutput();
    ASSERT_TRUE(output->start({44100, 100, "sonaveil_second"}, tone.function()));
    ASSERT_TRUE(tone.waitForCallsAbove(2, 3000ms));

    // An unplugged sound card: its sink goes away with the stream on it.
    std::istringstream modules(pulse.pactl("list short modules"));
    std::string line, secondSinkModule;
    while (std::getline(modules, line))
        if (line.find("sink_name=sonaveil_second") != std::string::npos)
            secondSinkModule = line.substr(0, line.find('\t'));
    ASSERT_FALSE(secondSinkModule.empty());
    pulse.pactl("unload-module " + secondSinkModule);
    std::this_thread::sleep_for(300ms);
    expectTone(recordMonitor("sonaveil_test"), "after the chosen sink went away");
}

TEST_F(PulseOutputTest, StopReturnsQuicklyWhenTheServerIsDeadOrHung)
{
    {
        ToneSource tone(44100);
        auto output = makePulseOutput();
        ASSERT_TRUE(output->start({44100, 100, ""}, tone.function()));
        ASSERT_TRUE(tone.waitForCallsAbove(0, 3000ms));
        pulse.freeze();
        std::this_thread::sleep_for(300ms);
        EXPECT_LT(timedStop(*output), 300.0) << "playing on a hung server";

        // Connecting to a hung server never gets past the handshake.
        ToneSource another(44100);
        ASSERT_TRUE(output->start({44100, 100, ""}, another.function()));
        std::this_thread::sleep_for(300ms);
        EXPECT_EQ(another.calls(), 0);
        EXPECT_LT(timedStop(*output), 300.0) << "connecting to a hung server";
        pulse.thaw();
    }
    ToneSource tone(44100);
    auto output = makePulseOutput();
    ASSERT_TRUE(output->start({44100, 100, ""}, tone.function()));
    ASSERT_TRUE(tone.waitForCallsAbove(0, 3000ms));
    pulse.kill();
    std::this_thread::sleep_for(100ms);
    EXPECT_LT(timedStop(*output), 300.0) << "after the server died";
}

TEST(PulseOutputWithoutServer, WaitsForAServerThatAppearsLater)
{
    PrivatePulse pulse;
    pulse.useEnvironment(); // nothing listens there yet
    ToneSource tone(44100);
    auto output = makePulseOutput();
    ASSERT_TRUE(output->start({44100, 100, ""}, tone.function()));
    std::this_thread::sleep_for(1200ms); // a few failed attempts
    EXPECT_EQ(tone.calls(), 0);

    ASSERT_TRUE(pulse.start());
    EXPECT_TRUE(tone.waitForCallsAbove(0, 3000ms)) << "never connected to the server that came up";
    output->stop();

    pulse.kill();
    ToneSource silent(44100);
    ASSERT_TRUE(output->start({44100, 100, "sonaveil_test"}, silent.function()));
    std::this_thread::sleep_for(600ms);
    EXPECT_LT(timedStop(*output), 300.0);
    EXPECT_EQ(silent.calls(), 0);
}
