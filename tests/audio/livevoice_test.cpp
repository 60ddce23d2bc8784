// Voices that play from a generator: they must sound exactly like a sample holding the same
// frames under every channel call, never hold up or shift the mix, never allocate while
// mixing, and be freed on the caller's thread once finished.
#include "audio/engine.h"
#include "audio/livesource.h"
#include "audio/sourceworker.h"

#include "audiotestutil.h"
#include "sanitized.h"
#include "tempfolder.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>
#include <new>
#include <sndfile.h>
#include <thread>

using namespace sonaveil::audio;

// The replaced operators below pair malloc with free; the compiler cannot see that they match.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

namespace {

// Counts the allocations of the one thread that asks for it.
thread_local bool t_counting = false;
std::atomic<long> g_allocations{0};

} // namespace

#if SONAVEIL_TEST_SANITIZED
namespace {
// The sanitizer's allocator serves operator new and tells every allocation to this hook.
void onAllocation(const volatile void*, std::size_t)
{
    if (t_counting)
        g_allocations.fetch_add(1, std::memory_order_relaxed);
}
void onRelease(const volatile void*) {}
const int g_hooked = __sanitizer_install_malloc_and_free_hooks(onAllocation, onRelease);
} // namespace
#else
void* operator new(std::size_t size)
{
    if (t_counting)
        g_allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
#endif

namespace {

constexpr int kRate = 44100;

// Plays `frames` once, then silence; optionally slow, optionally telling when it is destroyed.
class FramesGenerator : public Generator {
public:
    FramesGenerator(std::vector<std::int16_t> frames, int rate) : m_frames(std::move(frames)), m_rate(rate) {}
    ~FramesGenerator() override
    {
        if (onDestroyed)
            onDestroyed();
    }
    int rate() const override { return m_rate; }
    void generate(SourceFrame* out, int frames) override
    {
        ++calls;
        if (delay.count() > 0) {
            const auto until = std::chrono::steady_clock::now() + delay;
            while (std::chrono::steady_clock::now() < until) {
            }
        }
        for (int i = 0; i < frames; ++i, ++m_at)
            out[i] = m_at < m_frames.size() ? m_frames[m_at] : 0;
    }

    std::chrono::microseconds delay{0};
    std::function<void()> onDestroyed;
    int calls = 0;

private:
    std::vector<std::int16_t> m_frames;
    int m_rate;
    std::size_t m_at = 0;
};

// Noise whose last frames are silent: a sample of it has silence in its margin before frame 0,
// exactly as a generator's voice starts, so that both voices read the same frames everywhere.
std::vector<std::int16_t> testFrames(int count)
{
    auto frames = whiteNoiseFrames(count, 0.4, 7);
    std::fill(frames.end() - std::min(count, 300), frames.end(), std::int16_t(0));
    return frames;
}

class LiveVoices : public ::testing::Test {
protected:
    void start(Engine& engine)
    {
        ASSERT_TRUE(engine.setOutput(kOutputNoSound));
        ASSERT_TRUE(engine.init(kRate, 32, kInitEnableSystemChannelFx));
    }

    SampleHandle load(Engine& engine, const std::vector<std::int16_t>& frames, int rate)
    {
        const auto path = dir / ("s" + std::to_string(++files) + ".wav");
        EXPECT_TRUE(writeSoundFile(path, frames, rate, SF_FORMAT_WAV | SF_FORMAT_PCM_16));
        return engine.loadSample(kFree, path.string(), kSampleNormal, 0, 0);
    }

    static std::vector<float> render(Engine& engine, int frames)
    {
        std::vector<float> out(std::size_t(2 * frames));
        engine.renderOffline(out.data(), frames);
        return out;
    }

    TempFolder dir;
    int files = 0;
};

float largestDifference(const std::vector<float>& a, const std::vector<float>& b)
{
    float d = 0;
    for (std::size_t i = 0; i < std::min(a.size(), b.size()); ++i)
        d = std::max(d, std::fabs(a[i] - b[i]));
    return d;
}

// What is done to the voice, and when (in output frames from its start).
struct Script {
    const char* name;
    int rate;                                   // of the frames
    std::function<void(Engine&, ChannelHandle)> atStart, atHalf;
};

} // namespace

TEST_F(LiveVoices, PlayLikeASampleOfTheSameFramesUnderEveryCall)
{
    const std::vector<Script> scripts = {
        {"natural rate", kRate, [](Engine&, ChannelHandle) {}, [](Engine&, ChannelHandle) {}},
        {"a 22050 Hz source", 22050, [](Engine&, ChannelHandle) {}, [](Engine&, ChannelHandle) {}},
        {"volume and pan", kRate, [](Engine& e, ChannelHandle h) { e.setVolume(h, 90); e.setPan(h, 20); },
         [](Engine& e, ChannelHandle h) { e.setVolume(h, 200); e.setPan(h, 250); }},
        {"pitch down, then a glide up past natural", kRate,
         [](Engine& e, ChannelHandle h) { e.setFrequency(h, 30000); },
         [](Engine& e, ChannelHandle h) { e.setFrequency(h, 70560); }},
        {"a fade out and back", kRate, [](Engine& e, ChannelHandle h) { e.setFade(h, 0.2f, 300); },
         [](Engine& e, ChannelHandle h) { e.setFade(h, 1.0f, 100); }},
        {"stopped halfway", kRate, [](Engine&, ChannelHandle) {}, [](Engine& e, ChannelHandle h) { e.stopSound(h); }},
        {"under the equaliser and the band-stop", kRate,
         [](Engine& e, ChannelHandle) {
             const FxHandle fx = e.fxEnable(kSystemChannel, kFxParamEq);
             e.fxSetParamEq(fx, 1000, 18, 9);
             e.setNotch(true, 3000, 1);
         },
         [](Engine& e, ChannelHandle h) { e.setVolume(h, 255); }},
    };
    // Long enough to cross many of the live buffer's slides, at every speed used here.
    const int half = kRate / 2;
    for (const Script& s : scripts) {
        SCOPED_TRACE(s.name);
        const auto frames = testFrames(3 * s.rate);
        std::vector<float> outputs[2];
        for (int live = 0; live < 2; ++live) {
            Engine engine;
            start(engine);
            const SampleHandle sample = live ? 0 : load(engine, frames, s.rate);
            const ChannelHandle h = live ? engine.playGenerator(kFree, std::make_unique<FramesGenerator>(frames, s.rate))
                                         : engine.playSound(kFree, sample);
            ASSERT_GT(h, 0);
            EXPECT_TRUE(engine.isPlaying(h));
            engine.setLoopMode(h, kLoopNormal);
            s.atStart(engine, h);
            auto out = render(engine, half);
            s.atHalf(engine, h);
            const auto rest = render(engine, half);
            out.insert(out.end(), rest.begin(), rest.end());
            outputs[live] = out;
            EXPECT_EQ(engine.isPlaying(h), std::string(s.name) != "stopped halfway");
        }
        EXPECT_GT(rms(outputs[0]), 0.01);
        EXPECT_LT(largestDifference(outputs[0], outputs[1]), 1e-6f);
    }
}

TEST_F(LiveVoices, ASlowOrSilentGeneratorNeitherHoldsUpNorShiftsTheMix)
{
    const auto frames = testFrames(2 * kRate);
    auto mix = [&](std::unique_ptr<FramesGenerator> beside, int* calls) {
        Engine engine;
        start(engine);
        const ChannelHandle h = engine.playSound(kFree, load(engine, frames, kRate));
        engine.setLoopMode(h, kLoopNormal);
        FramesGenerator* g = beside.get();
        if (beside) {
            EXPECT_GT(engine.playGenerator(kFree, std::move(beside)), 0);
        }
        auto out = render(engine, kRate);
        if (calls)
            *calls = g->calls;
        return out;
    };
    const auto alone = mix(nullptr, nullptr);

    // Silence beside it adds nothing, to the last bit.
    int calls = 0;
    EXPECT_EQ(mix(std::make_unique<FramesGenerator>(std::vector<std::int16_t>{}, kRate), &calls), alone);

    // A generator that takes 0.2 ms a call only costs that time: every frame of the mix comes
    // out in place, the slow voice's own included.
    auto slow = std::make_unique<FramesGenerator>(std::vector<std::int16_t>{}, kRate);
    slow->delay = std::chrono::microseconds(200);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(mix(std::move(slow), &calls), alone);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::microseconds(200) * calls);
    // Called for a long run at a time, not for every mixing block.
    EXPECT_GE(calls, 2);
    EXPECT_LE(calls, kRate / (16 * 128));
}

TEST_F(LiveVoices, TheMixerAllocatesNothingWhileGeneratorsPlay)
{
    Engine engine;
    start(engine);
    std::vector<ChannelHandle> voices;
    for (int i = 0; i < 12; ++i) {
        voices.push_back(engine.playGenerator(kFree, std::make_unique<FramesGenerator>(testFrames(8 * kRate), kRate)));
        engine.setLoopMode(voices.back(), kLoopNormal);
        engine.setFrequency(voices.back(), 30000 + 3000 * i);
    }
    render(engine, 4096); // every speed's kernel is built by now
    std::vector<float> out(2 * 4096);
    g_allocations = 0;
    t_counting = true;
    for (int block = 0; block < 40; ++block)
        engine.renderOffline(out.data(), 4096);
    t_counting = false;
    EXPECT_EQ(g_allocations.load(), 0);
    EXPECT_GT(rms(out), 0.01);
}

TEST_F(LiveVoices, AGeneratorIsFreedOnTheCallersThreadOnlyOnceItsVoiceIsDone)
{
    Engine engine;
    start(engine);
    bool destroyed = false;
    std::thread::id where;
    auto g = std::make_unique<FramesGenerator>(testFrames(kRate), kRate);
    g->onDestroyed = [&] {
        destroyed = true;
        where = std::this_thread::get_id();
    };
    const ChannelHandle h = engine.playGenerator(kFree, std::move(g));
    render(engine, 1024);
    engine.stopSound(h);
    EXPECT_FALSE(destroyed); // the mixer still fades it out
    EXPECT_FALSE(engine.isPlaying(h));
    render(engine, 1024);
    EXPECT_FALSE(destroyed);
    // The next start takes it away, on this thread.
    const ChannelHandle other = engine.playGenerator(kFree, std::make_unique<FramesGenerator>(testFrames(kRate), kRate));
    EXPECT_TRUE(destroyed);
    EXPECT_EQ(where, std::this_thread::get_id());
    EXPECT_NE(other, h);
    // Handles of a stopped generator's voice name nothing from then on.
    EXPECT_FALSE(engine.setVolume(h, 100));

    // close() frees what still plays; no generator, a generator without rate, or no engine: -1.
    destroyed = false;
    auto last = std::make_unique<FramesGenerator>(testFrames(kRate), kRate);
    last->onDestroyed = [&] { destroyed = true; };
    engine.playGenerator(kFree, std::move(last));
    engine.close();
    EXPECT_TRUE(destroyed);
    EXPECT_EQ(engine.playGenerator(kFree, std::make_unique<FramesGenerator>(testFrames(10), kRate)), -1);
    Engine fresh;
    start(fresh);
    EXPECT_EQ(fresh.playGenerator(kFree, nullptr), -1);
    EXPECT_EQ(fresh.playGenerator(kFree, std::make_unique<FramesGenerator>(testFrames(10), 0)), -1);
}

TEST_F(LiveVoices, APausedMixHoldsAGeneratorWhereItIs)
{
    const auto frames = testFrames(2 * kRate);
    std::vector<float> outputs[2];
    for (int live = 0; live < 2; ++live) {
        Engine engine;
        start(engine);
        engine.setPaused(kSystemChannel, true);
        render(engine, 512);
        const ChannelHandle h = live ? engine.playGenerator(kFree, std::make_unique<FramesGenerator>(frames, kRate))
                                     : engine.playSound(kFree, load(engine, frames, kRate));
        engine.setLoopMode(h, kLoopNormal);
        render(engine, 4096);
        engine.setPaused(kSystemChannel, false);
        outputs[live] = render(engine, kRate / 2);
    }
    EXPECT_GT(rms(outputs[0]), 0.01);
    EXPECT_LT(largestDifference(outputs[0], outputs[1]), 1e-6f);
}

namespace {

// Frame k holds k (mod 30000): every read must find its own index.
struct Counting : Generator {
    int at = 0;
    int rate() const override { return kRate; }
    void generate(SourceFrame* out, int frames) override
    {
        for (int i = 0; i < frames; ++i)
            out[i] = SourceFrame(at++ % 30000);
    }
};

SourceFrame expected(std::int64_t frame)
{
    return frame < 0 ? SourceFrame(0) : SourceFrame(frame % 30000);
}

} // namespace

TEST(LiveSource, EveryWindowReadsItsOwnFramesAcrossTheRingsWrap)
{
    LiveSource source(std::make_unique<Counting>());
    const std::uint64_t step = (std::uint64_t(3) << 32) / 2 + 12345; // 1.5 frames and a bit
    std::uint64_t absolute = 0;
    // Several times round the ring, reading a window a block long at every step.
    for (int block = 0; block < 6000; ++block) {
        const std::int64_t frame = std::int64_t(absolute >> 32);
        source.setReadPosition(frame, frame - Sample::kMarginBefore - 1, step);
        source.fillTo(frame + 1024);
        ASSERT_GE(source.written(), frame + 1024);
        const SourceFrame* w = source.window(frame - Sample::kMarginBefore);
        for (int i : {0, 1, Sample::kMarginBefore, Sample::kMarginBefore + 700, LiveSource::kWindow - 1}) {
            const std::int64_t f = frame - Sample::kMarginBefore + i;
            if (f < source.written()) {
                ASSERT_EQ(w[i], expected(f)) << "frame " << f;
            }
        }
        absolute += 128 * step;
    }
    EXPECT_GT(source.written(), 3 * source.capacity());
    // The ring is not a power of two: the wrap is a true modulo.
    EXPECT_NE(source.capacity() & (source.capacity() - 1), 0);
}

TEST(LiveSource, TheWriterKeepsWhatTheReaderMayReadAgainAndAsksToBeWokenOnce)
{
    LiveSource source(std::make_unique<Counting>());
    // The reader holds on to frame 1000: however much is asked, nothing from there on is
    // overwritten, and the ring fills up to there and no further.
    source.setReadPosition(200000, 1000, std::uint64_t(1) << 32);
    source.fillTo(1000 + 2 * LiveSource::kMaxRingFrames);
    EXPECT_EQ(source.capacity(), LiveSource::kMaxRingFrames);
    EXPECT_EQ(source.written(), 1000 + LiveSource::kMaxRingFrames);
    EXPECT_EQ(source.wanted(), 0);
    for (std::int64_t f : {std::int64_t(1000), std::int64_t(50000), source.written() - 1})
        EXPECT_EQ(source.window(f)[0], expected(f));

    // Running low, the reader asks for the writer once; once answered, it asks again.
    LiveSource fresh(std::make_unique<Counting>());
    EXPECT_TRUE(fresh.setReadPosition(0, -Sample::kMarginBefore, std::uint64_t(1) << 32));
    EXPECT_FALSE(fresh.setReadPosition(128, -Sample::kMarginBefore, std::uint64_t(1) << 32));
    EXPECT_TRUE(fresh.takeWakeRequest());
    // The writer tops up a batch at a time, to the frames kept ahead and not beyond.
    int batches = 0;
    while (fresh.fill(int(kRate * LiveSource::kBatchSeconds)) > 0)
        ++batches;
    EXPECT_GE(batches, int(LiveSource::kAheadSeconds / LiveSource::kBatchSeconds));
    EXPECT_EQ(fresh.written(), 128 + std::int64_t(kRate * LiveSource::kAheadSeconds));
    EXPECT_FALSE(fresh.setReadPosition(256, 0, std::uint64_t(1) << 32));
    EXPECT_TRUE(fresh.setReadPosition(fresh.written() - 100, 0, std::uint64_t(1) << 32));
}

TEST(LiveSource, TheRingFollowsTheReadersSpeedAndKeepsEveryFrameAcrossAMove)
{
    // At the natural speed the ring a voice starts with holds what is kept ahead and retained.
    LiveSource source(std::make_unique<Counting>());
    const std::int64_t start = source.capacity();
    EXPECT_LT(start, std::int64_t(1) << 18);
    EXPECT_GE(start, std::int64_t(kRate * (LiveSource::kAheadSeconds + LiveSource::kRetainSeconds)));
    const std::int64_t retained = std::int64_t(kRate * 2.15);
    std::int64_t read = 300000;
    source.setReadPosition(read, read - retained, std::uint64_t(1) << 32);
    source.fillTo(read);
    while (source.fill(Generator::kMaxFrames) > 0) {
    }
    EXPECT_EQ(source.capacity(), start);
    EXPECT_EQ(source.written(), read + std::int64_t(kRate * LiveSource::kAheadSeconds));
    // A rewind two seconds back moves what is retained back as far: the ring stays as it is
    // and still holds every frame the reader reads from there on.
    source.setReadPosition(read - 2 * kRate, read - 2 * kRate - retained, std::uint64_t(1) << 32);
    EXPECT_EQ(source.fill(Generator::kMaxFrames), 0);
    EXPECT_EQ(source.capacity(), start);
    for (std::int64_t f = read - 2 * kRate; f < source.written(); f += 997)
        ASSERT_EQ(source.window(f)[0], expected(f)) << "frame " << f;
    source.setReadPosition(read, read - retained, std::uint64_t(1) << 32);

    // Three times as fast: it retains and keeps ahead three times the frames. The reader still
    // holds a window of the ring it had; that one stays readable until it publishes again.
    const SourceFrame* held = source.window(read - retained);
    source.setReadPosition(read, read - 3 * retained, std::uint64_t(3) << 32);
    while (source.fill(Generator::kMaxFrames) > 0) {
    }
    EXPECT_GE(source.capacity(), 3 * retained + 3 * std::int64_t(kRate * LiveSource::kAheadSeconds));
    EXPECT_EQ(source.written(), read + 3 * std::int64_t(kRate * LiveSource::kAheadSeconds));
    for (int i = 0; i < LiveSource::kWindow; i += 97)
        ASSERT_EQ(held[i], expected(read - retained + i));
    for (std::int64_t f = read - retained; f < source.written(); f += 997)
        ASSERT_EQ(source.window(f)[0], expected(f)) << "frame " << f;

    // Back at the natural speed, once the reader has moved on, the ring is made small again.
    read = source.written() - 1000;
    source.setReadPosition(read, read - retained, std::uint64_t(1) << 32);
    source.setReadPosition(read, read - retained, std::uint64_t(1) << 32);
    while (source.fill(Generator::kMaxFrames) > 0) {
    }
    EXPECT_EQ(source.capacity(), start);
    for (std::int64_t f = read - retained; f < source.written(); f += 997)
        ASSERT_EQ(source.window(f)[0], expected(f)) << "frame " << f;
    for (int i : {0, 1, LiveSource::kWindow - 1})
        ASSERT_EQ(source.window(source.written() - 2 * LiveSource::kWindow)[i],
                  expected(source.written() - 2 * LiveSource::kWindow + i));
}

TEST(SourceWorker, KeepsEveryRingAheadOfItsReaderOnItsOwnThread)
{
    const auto waitFor = [](const std::function<bool()>& condition) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!condition()) {
            if (std::chrono::steady_clock::now() > deadline)
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return true;
    };
    const std::int64_t ahead = std::int64_t(kRate * LiveSource::kAheadSeconds);
    SourceWorker worker(4);
    std::atomic<int> started{0};
    worker.setOnFirstFrames([&] { ++started; });
    worker.start();
    LiveSource a(std::make_unique<Counting>()), b(std::make_unique<Counting>());
    worker.set(0, &a);
    worker.set(3, &b);
    ASSERT_TRUE(waitFor([&] { return a.written() == ahead && b.written() == ahead; }));
    EXPECT_EQ(started.load(), 2);
    // A reader that has run low wakes the worker, which catches up a batch at a time.
    const std::uint64_t batches = worker.batches();
    if (a.setReadPosition(ahead - 1000, ahead - 2000, std::uint64_t(1) << 32))
        worker.wake();
    ASSERT_TRUE(waitFor([&] { return a.written() == 2 * ahead - 1000; }));
    EXPECT_GE(worker.batches() - batches, std::uint64_t(LiveSource::kAheadSeconds / LiveSource::kBatchSeconds));
    EXPECT_EQ(a.window(ahead)[0], expected(ahead));
    EXPECT_EQ(b.written(), ahead);

    // Taken out, a source is left alone once the worker says so.
    worker.set(0, nullptr);
    ASSERT_TRUE(waitFor([&] { return worker.released(&a); }));
    const std::int64_t written = a.written();
    a.setReadPosition(written, written - 200, std::uint64_t(1) << 32);
    worker.wake();
    b.setReadPosition(ahead, ahead - 200, std::uint64_t(1) << 32);
    worker.wake();
    ASSERT_TRUE(waitFor([&] { return b.written() > ahead; }));
    EXPECT_EQ(a.written(), written);
    worker.stop();
}
