// The deep output queue on a real server: what is heard after a change is exactly what an
// offline mix with the change at the rewrite's frame makes (no seam, nothing repeated or
// skipped), heard long before the old queue would have played out; and the queue comes back
// after the server is restarted.
#include "audio/mixer.h"
#include "audio/output.h"
#include "audio/rewritecheck.h"
#include "monitorrecorder.h"
#include "noisemix.h"
#include "privatepulse.h"
#include "realtimepermission.h"

#include "../audio/audiotestutil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <optional>
#include <thread>

using namespace sonaveil::audio;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

int g_rate = 44100;

struct Playing {
    NoiseMix mix{g_rate, true};
    std::unique_ptr<Output> output = makePulseOutput();

    bool start()
    {
        OutputConfig config;
        config.mixRate = g_rate;
        config.rewindable = &mix.mixer;
        return output->start(config, [this](float* out, int frames) { mix.mixer.render(out, frames); });
    }

    bool waitFor(const std::function<bool(const OutputStatus&)>& condition, std::chrono::milliseconds limit) const
    {
        const auto deadline = Clock::now() + limit;
        while (!condition(output->status())) {
            if (Clock::now() > deadline)
                return false;
            std::this_thread::sleep_for(5ms);
        }
        return true;
    }
};

// Where `recorded` (from frame `from`, `length` frames long) lies in `reference`: the offset to
// add to a recorded frame for the reference's frame, if it is there.
std::optional<long> alignment(const std::vector<float>& recorded, std::size_t from, std::size_t length,
                              const std::vector<float>& reference)
{
    const std::size_t frames = reference.size() / 2;
    for (std::size_t at = 0; at + length < frames; ++at) {
        bool same = true;
        for (std::size_t k = 0; k < length && same; ++k)
            same = std::fabs(recorded[2 * (from + k)] - reference[2 * (at + k)]) < 3e-4f;
        if (same)
            return long(at) - long(from);
    }
    return std::nullopt;
}

// On PulseAudio at its sinks' rate, and on PipeWire's PulseAudio service at its own (so that
// nothing is resampled on the way to the monitor and the recording can be compared bit for bit).
class DeepQueue : public ::testing::TestWithParam<PrivatePulse::Server> {
protected:
    void SetUp() override
    {
        g_rate = GetParam() == PrivatePulse::Server::PipeWire ? 48000 : 44100;
        ASSERT_TRUE(pulse.start()) << "cannot start a private sound server";
    }

    PrivatePulse pulse{GetParam()};
};

} // namespace

TEST_P(DeepQueue, AChangeIsHeardFromTheRewritesFrameWithoutASeam)
{
    Playing playing;
    ASSERT_TRUE(playing.start());
    MonitorRecorder recorder("sonaveil_test.monitor", g_rate);
    ASSERT_TRUE(recorder.start()) << "cannot record the sink's monitor";
    ASSERT_TRUE(playing.waitFor([](const OutputStatus& s) { return s.streaming; }, 5000ms));
    EXPECT_TRUE(playing.output->status().deep);
    EXPECT_GE(playing.output->status().queueMilliseconds, 1000);
    // Sound at the monitor, then a change.
    ASSERT_TRUE(recorder.waitForFrames(g_rate, 5000ms));
    std::this_thread::sleep_for(500ms);
    const auto changed = Clock::now();
    playing.mix.mixer.slot(0).volume.store(50);
    playing.output->mixChanged();
    ASSERT_TRUE(playing.waitFor([](const OutputStatus& s) { return s.rewrites >= 1; }, 3000ms));
    const std::uint64_t point = playing.output->status().lastRewriteFrame;
    const std::size_t heardFrom = recorder.frames();
    ASSERT_TRUE(recorder.waitForFrames(heardFrom + 3 * g_rate, 6000ms));
    const auto recorded = recorder.samples();

    // The same mix made offline with the change at the rewrite's frame.
    NoiseMix offline(g_rate, false);
    auto reference = offline.render(int(point));
    offline.mixer.slot(0).volume.store(50);
    const auto after = offline.render(int(recorder.frames()) + 4 * g_rate);
    reference.insert(reference.end(), after.begin(), after.end());

    // Align on a stretch heard before the change, then every frame from there to the end.
    std::size_t from = 0;
    while (from < recorded.size() / 2 && std::fabs(recorded[2 * from]) < 1e-3f)
        ++from;
    from += 2000;
    const auto found = alignment(recorded, from, 400, reference);
    ASSERT_TRUE(found) << "the recording is not the mix";
    const long offset = *found;
    const std::size_t frames = recorded.size() / 2;
    std::size_t worst = from;
    float largest = 0;
    for (std::size_t r = from; r < frames; ++r)
        for (int c = 0; c < 2; ++c) {
            const float d = std::fabs(recorded[2 * r + std::size_t(c)] - reference[2 * std::size_t(long(r) + offset) + std::size_t(c)]);
            if (d > largest) {
                largest = d;
                worst = r;
            }
        }
    EXPECT_LT(largest, 3e-4f) << "differs at the mix's frame " << long(worst) + offset << "; the rewrite began at " << point;
    ASSERT_GT(long(point), long(from) + offset) << "the change was never heard before it";

    // Heard well before the old queue (a second and more) would have played out.
    const std::size_t heard = std::size_t(long(point) - offset);
    const double ms = std::chrono::duration<double, std::milli>(recorder.arrivalOf(heard) - changed).count();
    std::printf("the change reached the monitor after %.0f ms\n", ms);
    EXPECT_LT(ms, 400.0);
}

TEST_P(DeepQueue, RefillsAboutOnceASecondAndComesBackAfterTheServerRestarts)
{
    Playing playing;
    ASSERT_TRUE(playing.start());
    ASSERT_TRUE(playing.waitFor([](const OutputStatus& s) { return s.streaming && s.refills > 0; }, 5000ms));
    std::this_thread::sleep_for(500ms);
    const std::uint64_t before = playing.output->status().refills;
    std::this_thread::sleep_for(3000ms);
    const std::uint64_t refills = playing.output->status().refills - before;
    std::printf("refills in 3 s: %llu\n", static_cast<unsigned long long>(refills));
    EXPECT_GE(refills, 2u);
    EXPECT_LE(refills, 5u);

    pulse.kill();
    ASSERT_TRUE(playing.waitFor([](const OutputStatus& s) { return !s.streaming; }, 3000ms));
    ASSERT_TRUE(pulse.start());
    // The output retries every second; a loaded machine starts the server slowly.
    ASSERT_TRUE(playing.waitFor([](const OutputStatus& s) { return s.streaming; }, 30000ms))
        << "no stream after the restart";
    MonitorRecorder recorder("sonaveil_test.monitor", g_rate);
    ASSERT_TRUE(recorder.start());
    ASSERT_TRUE(recorder.waitForFrames(g_rate / 2, 5000ms));
    // Still deep, still rewritten on a change.
    const std::uint64_t rewrites = playing.output->status().rewrites;
    playing.mix.mixer.slot(0).volume.store(100);
    playing.output->mixChanged();
    EXPECT_TRUE(playing.waitFor([&](const OutputStatus& s) { return s.rewrites > rewrites; }, 3000ms));
    EXPECT_TRUE(playing.output->status().deep);
    ASSERT_TRUE(recorder.waitForFrames(g_rate, 5000ms));
    const auto recorded = recorder.samples();
    double energy = 0;
    for (std::size_t i = recorded.size() / 2; i < recorded.size(); ++i)
        energy += double(recorded[i]) * recorded[i];
    EXPECT_GT(energy / double(recorded.size() / 2), 1e-3) << "silent after the restart";
}

TEST_P(DeepQueue, WithoutRealTimeSchedulingTheQueueWorksTheSame)
{
    Playing playing;
    // The output's thread is started from one that may not become real-time, as for an
    // ordinary user without a broker.
    bool started = false;
    bool dropped = false;
    std::thread([&] {
        dropped = dropRealtimePermission(false);
        started = dropped && playing.start();
    }).join();
    ASSERT_TRUE(dropped);
    ASSERT_TRUE(started);
    ASSERT_TRUE(playing.waitFor([](const OutputStatus& s) { return s.streaming && s.refills > 0; }, 5000ms));
    EXPECT_FALSE(playing.output->status().realtime);
    EXPECT_TRUE(playing.output->status().deep);
    MonitorRecorder recorder("sonaveil_test.monitor", g_rate);
    ASSERT_TRUE(recorder.start());
    ASSERT_TRUE(recorder.waitForFrames(g_rate / 2, 5000ms));
    playing.mix.mixer.slot(0).volume.store(60);
    playing.output->mixChanged();
    EXPECT_TRUE(playing.waitFor([](const OutputStatus& s) { return s.rewrites >= 1; }, 3000ms));
    ASSERT_TRUE(recorder.waitForFrames(recorder.frames() + g_rate, 5000ms));
    const auto recorded = recorder.samples();
    double energy = 0;
    for (std::size_t i = recorded.size() / 2; i < recorded.size(); ++i)
        energy += double(recorded[i]) * recorded[i];
    EXPECT_GT(energy / double(recorded.size() / 2), 1e-4) << "silent without real-time scheduling";
    EXPECT_FALSE(playing.output->status().fellBack);
}

INSTANTIATE_TEST_SUITE_P(Servers, DeepQueue,
                         ::testing::Values(PrivatePulse::Server::PulseAudio, PrivatePulse::Server::PipeWire),
                         [](const auto& info) {
                             return info.param == PrivatePulse::Server::PipeWire ? "PipeWire" : "PulseAudio";
                         });

TEST(RewriteCheck, ARewriteIgnoredOnceOrLateMostOfTheTimeMeansFallingBack)
{
    using V = RewriteCheck::Verdict;
    EXPECT_EQ(RewriteCheck::judge(1000, 5000, 900, 5000, 100), V::Honoured);
    EXPECT_EQ(RewriteCheck::judge(1000, 5000, 1100, 5000, 100), V::Honoured);
    EXPECT_EQ(RewriteCheck::judge(1000, 5000, 1101, 5000, 100), V::Late);
    EXPECT_EQ(RewriteCheck::judge(1000, 5000, 900, 9000, 100), V::Ignored); // appended, not sought

    RewriteCheck now;
    EXPECT_TRUE(now.record(V::Ignored));

    // A late rewrite now and then is the machine being busy; most of four is the server.
    RewriteCheck late;
    for (V v : {V::Late, V::Honoured, V::Late, V::Honoured, V::Honoured, V::Late, V::Honoured})
        EXPECT_FALSE(late.record(v));
    EXPECT_FALSE(late.record(V::Late));
    EXPECT_TRUE(late.record(V::Late));
    EXPECT_TRUE(late.failed());
}
