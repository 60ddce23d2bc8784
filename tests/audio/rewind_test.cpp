// Going back in the mix: a rewound mixer makes, from the rewind point on, exactly what a mixer
// that was given the same changes at that point makes, live voices included (they read again
// what their rings kept); and a live voice whose generator falls behind is never silent.
#include "audio/livesource.h"
#include "audio/mixer.h"

#include "audiotestutil.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>

using namespace sonaveil::audio;

namespace {

constexpr int kRate = 44100;

// Noise made block by block, reproducibly, without end.
class NoiseGenerator : public Generator {
public:
    explicit NoiseGenerator(std::uint32_t seed) : m_state(seed) {}
    int rate() const override { return kRate; }
    void generate(SourceFrame* out, int frames) override
    {
        for (int i = 0; i < frames; ++i) {
            m_state = m_state * 1664525u + 1013904223u;
            out[i] = SourceFrame(std::int32_t(m_state >> 16) - 32768) / 3;
        }
    }

private:
    std::uint32_t m_state;
};

// A mixer with a looping sample and two generators' voices, and the engine's part played here:
// filling the rings ahead of every render, as the source worker does.
struct Rig {
    explicit Rig(bool history)
        : mixer(kRate, 8)
        , sample(makeSample(whiteNoiseFrames(kRate / 3, 0.3, 11), kRate))
        , first(std::make_unique<NoiseGenerator>(1))
        , second(std::make_unique<NoiseGenerator>(2))
    {
        if (history)
            mixer.keepHistory(3 * kRate);
        start(0, sample.get(), nullptr, true);
        start(1, nullptr, &first, false);
        start(2, nullptr, &second, false);
        mixer.slot(2).frequency.store(kRate * 5 / 4);
    }

    void start(int index, const Sample* s, LiveSource* live, bool loop)
    {
        VoiceSlot& slot = mixer.slot(index);
        slot.sample.store(s);
        slot.live.store(live);
        slot.frequency.store(kRate);
        slot.loop.store(loop);
        slot.keyOn.store(true);
        slot.generation.store(1);
    }

    // Mixed `chunk` frames at a time, as an output asks.
    std::vector<float> render(int frames, int chunk = 4096)
    {
        std::vector<float> out(std::size_t(2 * frames));
        for (int done = 0; done < frames;) {
            const int n = std::min(frames - done, chunk);
            for (LiveSource* s : {&first, &second})
                s->fillTo(s->readPosition() + std::max<std::int64_t>(2 * (n + 256) + 200, s->startFrames()));
            mixer.render(out.data() + 2 * done, n);
            done += n;
        }
        return out;
    }

    Mixer mixer;
    std::unique_ptr<Sample> sample;
    LiveSource first, second;
};

// The changes a person makes, all at one moment.
const std::vector<std::pair<const char*, std::function<void(Mixer&)>>> kChanges = {
    {"volume", [](Mixer& m) { m.slot(1).volume.store(60); }},
    {"pan and pitch", [](Mixer& m) { m.slot(2).pan.store(20); m.slot(2).frequency.store(kRate / 2); }},
    {"a fade", [](Mixer& m) {
         m.slot(0).fade.store(0.1f);
         m.slot(0).fadeFrames.store(kRate / 5);
         m.slot(0).fadeSerial.store(m.slot(0).fadeSerial.load() + 1);
     }},
    {"a stop", [](Mixer& m) { m.slot(1).keyOn.store(false); }},
    {"the band-stop", [](Mixer& m) { m.notch().set(NotchSettings{true, 2000.0f, 1.0f}); }},
    {"a pause", [](Mixer& m) { m.setPaused(true); }},
};

} // namespace

TEST(Rewind, RemixesExactlyWhatAMixerGivenTheChangeThereMakes)
{
    constexpr int S = Mixer::kSnapshotFrames;
    const int total = 2 * kRate;
    const int queued = (2 * kRate - kRate / 20) / S * S; // almost two seconds
    for (const auto& [name, change] : kChanges) {
        SCOPED_TRACE(name);
        for (const int at : {kRate / 2 / S * S, 7 * kRate / 4 / S * S}) {
            // What is heard: the queue as first mixed up to `at`, then as mixed again.
            Rig live(true);
            auto heard = live.render(queued);
            change(live.mixer);
            ASSERT_TRUE(live.mixer.rewindTo(std::uint64_t(at)));
            EXPECT_EQ(live.mixer.mixedFrames(), std::uint64_t(at));
            const auto again = live.render(total - at);
            heard.resize(std::size_t(2 * at));
            heard.insert(heard.end(), again.begin(), again.end());

            Rig reference(false);
            auto expected = reference.render(at);
            change(reference.mixer);
            const auto rest = reference.render(total - at);
            expected.insert(expected.end(), rest.begin(), rest.end());

            ASSERT_EQ(heard.size(), expected.size());
            EXPECT_TRUE(heard == expected) << "differs from frame " << (std::mismatch(heard.begin(), heard.end(), expected.begin()).first - heard.begin()) / 2;
        }
    }
}

TEST(Rewind, GoesBackOnlyToKeptPointsAndManyTimesOver)
{
    constexpr int S = Mixer::kSnapshotFrames;
    Rig rig(true);
    auto heard = rig.render(100 * S);
    EXPECT_FALSE(rig.mixer.rewindTo(100)); // not a kept point
    EXPECT_FALSE(rig.mixer.rewindTo(101 * S)); // not mixed yet
    rig.mixer.setRewindFloor(30 * S);
    EXPECT_EQ(rig.mixer.oldestRewind(), 30u * S);
    EXPECT_FALSE(rig.mixer.rewindTo(29 * S)); // already played
    EXPECT_GE(rig.mixer.settledFrames(), 30u * S);
    EXPECT_EQ(rig.mixer.mixedFrames(), 100u * S);

    // A slider dragged: a rewind every kept point, each from a later one; the queue holds what
    // was mixed last from each point on.
    Rig reference(false);
    auto expected = reference.render(40 * S);
    for (int k = 0; k < 10; ++k) {
        const int volume = 250 - 20 * k;
        rig.mixer.slot(1).volume.store(volume);
        ASSERT_TRUE(rig.mixer.rewindTo(std::uint64_t(40 + k) * S));
        heard.resize(std::size_t(2 * (40 + k) * S));
        const auto again = rig.render(60 * S);
        heard.insert(heard.end(), again.begin(), again.end());
        reference.mixer.slot(1).volume.store(volume);
        const auto part = reference.render(k < 9 ? S : 60 * S);
        expected.insert(expected.end(), part.begin(), part.end());
    }
    ASSERT_EQ(heard.size(), expected.size());
    EXPECT_TRUE(heard == expected);
}

TEST(Rewind, EveryPointIsKeptWhateverTheOutputAsksForAtATime)
{
    // A sound server lends blocks of its own size (65472 bytes is 16368 frames of 16-bit
    // stereo), not whole rewind points; other outputs ask for odd amounts.
    constexpr int S = Mixer::kSnapshotFrames;
    for (const int chunk : {16368, 1000, 333}) {
        SCOPED_TRACE(chunk);
        Rig live(true);
        live.render(80 * S, chunk);
        for (int point = 79; point >= 20; --point)
            ASSERT_TRUE(live.mixer.rewindTo(std::uint64_t(point) * S)) << "no point at " << point * S;
        auto heard = live.render(30 * S, chunk);
        live.mixer.slot(1).volume.store(40);
        ASSERT_TRUE(live.mixer.rewindTo(std::uint64_t(40) * S));
        const auto again = live.render(20 * S, chunk);
        heard.resize(std::size_t(2 * 20 * S));
        heard.insert(heard.end(), again.begin(), again.end());

        Rig reference(false);
        reference.render(20 * S);
        auto expected = reference.render(20 * S);
        reference.mixer.slot(1).volume.store(40);
        const auto rest = reference.render(20 * S);
        expected.insert(expected.end(), rest.begin(), rest.end());
        ASSERT_EQ(heard.size(), expected.size());
        EXPECT_TRUE(heard == expected) << "differs from frame " << (std::mismatch(heard.begin(), heard.end(), expected.begin()).first - heard.begin()) / 2;
    }
}

TEST(Rewind, AVoiceStartedAfterTheRewindPointStartsAgainFromIt)
{
    // Voice 5 was never used when the point was kept; it has played since. Going back must
    // leave it as it was then, so that it starts again at the point, as in a mixer given the
    // start there.
    constexpr int S = Mixer::kSnapshotFrames;
    const int at = 60 * S;
    Rig live(true);
    auto heard = live.render(100 * S);
    live.start(5, live.sample.get(), nullptr, true);
    live.render(20 * S);
    ASSERT_TRUE(live.mixer.rewindTo(std::uint64_t(at)));
    heard.resize(std::size_t(2 * at));
    const auto again = live.render(40 * S);
    heard.insert(heard.end(), again.begin(), again.end());

    Rig reference(false);
    auto expected = reference.render(at);
    reference.start(5, reference.sample.get(), nullptr, true);
    const auto rest = reference.render(40 * S);
    expected.insert(expected.end(), rest.begin(), rest.end());
    ASSERT_EQ(heard.size(), expected.size());
    EXPECT_TRUE(heard == expected) << "differs from frame " << (std::mismatch(heard.begin(), heard.end(), expected.begin()).first - heard.begin()) / 2;
}

TEST(LiveVoice, AGeneratorThatFallsBehindIsNeverHeardAsSilence)
{
    Mixer mixer(kRate, 4);
    LiveSource source(std::make_unique<NoiseGenerator>(5));
    VoiceSlot& slot = mixer.slot(0);
    slot.live.store(&source);
    slot.frequency.store(kRate);
    slot.keyOn.store(true);
    slot.generation.store(1);

    // A second made, then the generator stalls for two seconds, then catches up.
    source.fillTo(kRate);
    std::vector<float> out(std::size_t(2 * 7 * kRate / 2));
    mixer.render(out.data(), 3 * kRate);
    EXPECT_GT(mixer.starvedCount(), 0u);
    const std::uint64_t starved = mixer.starvedCount();
    source.fillTo(source.readPosition() + 2 * kRate);
    mixer.render(out.data() + 2 * 3 * kRate, kRate / 2);
    EXPECT_EQ(mixer.starvedCount(), starved);

    // Past the mix's own delay (the limiter's look-ahead, the filters), no 2 ms is more than
    // 30 dB below the 2 ms on either side.
    const int window = kRate / 500;
    std::vector<double> energy;
    for (std::size_t i = 0; i + 2 * std::size_t(window) <= out.size(); i += 2 * std::size_t(window)) {
        double e = 0;
        for (std::size_t k = i; k < i + 2 * std::size_t(window); ++k)
            e += double(out[k]) * out[k];
        energy.push_back(e);
    }
    for (std::size_t w = 10; w + 1 < energy.size(); ++w)
        ASSERT_GT(energy[w], 1e-3 * std::min(energy[w - 1], energy[w + 1])) << "a hole at " << w * 2 << " ms";
    EXPECT_GT(energy.back(), 1e-4);
}
