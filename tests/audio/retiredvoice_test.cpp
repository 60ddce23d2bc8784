// Voices stopped and others started while the output goes back over its queue again and again,
// as when presets are loaded during rewrites: a stopped voice's generator is never freed while a
// rewind can still bring the voice back.
#include "audio/engine.h"
#include "audio/output.h"
#include "sanitized.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>
#include <random>
#include <thread>
#include <vector>
#include <malloc.h>

#if !SONAVEIL_TEST_SANITIZED
// Freed memory is overwritten and held back for a while in this program, so that a voice that
// reads a freed generator's ring crashes here, rather than reading whatever was left there or
// the next generator made in the same place (the sanitizers catch it on their own).
namespace {
std::mutex g_quarantineLock;
void* g_quarantine[8192];
std::size_t g_quarantined = 0;
}

void* operator new(std::size_t size)
{
    if (void* p = std::malloc(std::max<std::size_t>(size, 1)))
        return p;
    throw std::bad_alloc();
}

void operator delete(void* p) noexcept
{
    if (!p)
        return;
    std::memset(p, 0xDB, malloc_usable_size(p));
    std::lock_guard lock(g_quarantineLock);
    void*& slot = g_quarantine[g_quarantined++ % std::size(g_quarantine)];
    std::free(slot);
    slot = p;
}

void operator delete(void* p, std::size_t) noexcept
{
    ::operator delete(p);
}
#endif

using namespace sonaveil::audio;

namespace {

constexpr int kRate = 44100;

class Noise : public Generator {
public:
    explicit Noise(std::uint32_t seed) : m_state(seed) {}
    int rate() const override { return kRate; }
    void generate(SourceFrame* out, int frames) override
    {
        for (int i = 0; i < frames; ++i) {
            m_state = m_state * 1664525u + 1013904223u;
            out[i] = SourceFrame(std::int32_t(m_state >> 16) - 32768) / 4;
        }
    }

private:
    std::uint32_t m_state;
};

// An output that goes over its queue again and again on its own thread, as fast as it can: it
// mixes a stretch, now and then goes back to a kept point not yet played and mixes from there,
// and now and then moves the point its "server" has played to.
class BusyOutput : public Output {
public:
    ~BusyOutput() override { stop(); }

    bool start(const OutputConfig& config, RenderFunction render) override
    {
        m_mix = config.rewindable;
        m_render = std::move(render);
        if (!m_mix)
            return false;
        m_thread = std::thread([this] { run(); });
        return true;
    }

    void stop() override
    {
        m_stopping.store(true);
        if (m_thread.joinable())
            m_thread.join();
    }

    // Waits until the thread has mixed `rounds` more stretches.
    void waitRounds(int rounds) const
    {
        const int until = m_rounds.load() + rounds;
        while (m_rounds.load() < until)
            std::this_thread::yield();
    }

    int rewrites() const { return m_rewrites.load(); }

private:
    void run()
    {
        std::mt19937 random(9);
        std::vector<float> out(2 * 16368);
        auto mix = [&](int frames, int chunk) {
            for (int done = 0; done < frames; done += chunk)
                m_render(out.data(), std::min(chunk, frames - done));
        };
        while (!m_stopping.load()) {
            const int chunk = std::uniform_int_distribution<int>(300, 16368)(random);
            mix(std::uniform_int_distribution<int>(0, kRate / 4)(random), chunk);
            if (random() % 2 == 0) {
                // A rewrite: a short stretch first, the rest when the changes have settled.
                const std::uint64_t end = m_mix->mixedFrames();
                const std::uint64_t oldest = m_mix->oldestRewind();
                const std::uint64_t granule = std::uint64_t(m_mix->rewindGranularity());
                const double fraction = std::uniform_real_distribution<double>(0.0, 1.0)(random);
                const std::uint64_t point = (oldest + std::uint64_t(double(end - oldest) * fraction)) / granule * granule;
                if (point >= oldest && m_mix->rewindTo(point)) {
                    m_rewrites.fetch_add(1);
                    mix(std::min(int(end - point), kRate * 3 / 10), chunk);
                }
            }
            if (random() % 4 == 0) {
                const std::uint64_t end = m_mix->mixedFrames();
                const std::uint64_t queued = std::uniform_int_distribution<std::uint64_t>(kRate / 2, 2 * kRate)(random);
                m_mix->setRewindFloor(end > queued ? end - queued : 0);
            }
            m_rounds.fetch_add(1);
        }
    }

    RewindableMix* m_mix = nullptr;
    RenderFunction m_render;
    std::thread m_thread;
    std::atomic<bool> m_stopping{false};
    std::atomic<int> m_rounds{0};
    std::atomic<int> m_rewrites{0};
};

} // namespace

TEST(RetiredVoices, PresetsLoadedDuringRewritesNeverLeaveAVoiceOnAFreedGenerator)
{
    BusyOutput* output = nullptr;
    Engine engine;
    engine.setOutputFactory([&output] {
        auto made = std::make_unique<BusyOutput>();
        output = made.get();
        return made;
    });
    ASSERT_TRUE(engine.init(kRate, 64, 0));
    ASSERT_NE(output, nullptr);

    std::mt19937 random(5);
    std::uint32_t seed = 1;
    std::vector<ChannelHandle> voices;
    for (int load = 0; load < 1500; ++load) {
        for (ChannelHandle h : voices)
            engine.stopSound(h);
        voices.clear();
        // Presets of different sizes: some voices' slots stay free for a while.
        const int count = std::uniform_int_distribution<int>(2, 12)(random);
        for (int n = 0; n < count; ++n)
            voices.push_back(engine.playGenerator(kFree, std::make_unique<Noise>(seed++)));
        ASSERT_EQ(std::count(voices.begin(), voices.end(), -1), 0);
        output->waitRounds(std::uniform_int_distribution<int>(0, 3)(random));
    }
    EXPECT_GT(output->rewrites(), 100);
    engine.close();
}
