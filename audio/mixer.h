#pragma once

#include "audio/equaliser.h"
#include "audio/limiter.h"
#include "audio/livesource.h"
#include "audio/notch.h"
#include "audio/output.h"
#include "audio/resampler.h"
#include "audio/sourceworker.h"
#include "audio/tonegenerator.h"
#include "audio/voiceslot.h"

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <type_traits>
#include <vector>

namespace sonaveil::audio {

// The equaliser settings as the calling thread publishes them (a sequence lock: odd while
// being written). The mixer keeps its old settings when it catches a write in progress.
struct EqualiserRequest {
    std::atomic<std::uint32_t> sequence{0};
    std::array<std::atomic<float>, Equaliser::kMaxBands * 3> values{};
    std::atomic<int> count{0};
};

// Mixes the voices into stereo float: band-limited resampling (resampler.h) with fixed-point
// phase, sample-accurate loops, gain, pan and fade ramps, the equaliser, the band-stop, the test
// tone and a look-ahead limiter.
class Mixer final : public RewindableMix {
public:
    static constexpr int kBlock = 128; // frames per parameter update (2.9 ms at 44100 Hz)
    // The mixer's state is kept every this many frames, when history is kept (a rewind point):
    // 23 ms at 44100 Hz, fine enough for a rewrite to be heard at once, and few enough points
    // over the seconds kept (each holds the limiter's look-ahead, not the whole limiter) to
    // cost little memory.
    static constexpr int kSnapshotFrames = 1024;
    static_assert(kSnapshotFrames % kBlock == 0, "a rewind point begins a block");
    // How far a live voice whose generator has fallen behind goes back, in source frames, to
    // play again what it played, and how far it turns down each time.
    static constexpr int kHoldFrames = 16384;
    static constexpr float kHoldAttenuation = 0.8f;

    Mixer(int mixRate, int voices);
    ~Mixer() override;

    int mixRate() const { return m_rate; }
    int voiceCount() const { return int(m_slots.size()); }
    VoiceSlot& slot(int index) { return *m_slots[std::size_t(index)]; }
    EqualiserRequest& equaliserRequest() { return m_eqRequest; }
    // The band-stop after the equaliser and the test-tone voice added after both; their
    // set() may be called from any thread.
    Notch& notch() { return m_notch; }
    ToneGenerator& toneGenerator() { return m_tone; }
    void setPaused(bool paused) { m_paused.store(paused, std::memory_order_relaxed); }

    // Mixes `frames` frames of interleaved stereo into `out`. Sets flush-to-zero on the calling
    // thread: silence costs what sound costs.
    void render(float* out, int frames);

    // The output limiter's present gain (1 when it holds nothing back), for measurements.
    float limiterGain() const { return m_limiter.gain(); }

    // Where live voices' generators run: woken when a voice's ring runs low.
    void setSourceWorker(SourceWorker* worker) { m_worker = worker; }
    // How many times a live voice found its generator behind and played its last frames again
    // (any thread).
    std::uint64_t starvedCount() const { return m_starved.load(std::memory_order_relaxed); }

    // Rewinding, for an output that replaces sound it has queued but not played. With history
    // kept for `frames` frames (called once, before mixing), render() keeps the whole state of
    // the mix every kSnapshotFrames frames (when it is asked for whole multiples of them), and
    // rewindTo() brings it back, so that the span after that point is mixed again, the same but
    // for the changes asked for since. Live voices read again what their rings retain; nothing
    // rewinds a generator. Without history, render() is exactly as it always was.
    void keepHistory(int frames);
    bool keepsHistory() const { return !m_history.empty(); }
    // Frames mixed in the present line of time (the next frame render() makes).
    std::uint64_t mixedFrames() const override { return m_mixed; }
    // The oldest frame rewindTo() can go back to now.
    std::uint64_t oldestRewind() const override;
    // Goes back to `frame` (a multiple of kSnapshotFrames between oldestRewind() and
    // mixedFrames()); false, changing nothing, otherwise.
    bool rewindTo(std::uint64_t frame) override;
    // The output's word that frames before `frame` have been played: never rewound to.
    void setRewindFloor(std::uint64_t frame) override;
    int rewindGranularity() const override { return kSnapshotFrames; }
    // Any thread: frames before this are never mixed again; and the furthest the mix has
    // reached (every snapshot lies at or before it, whatever was rewound since).
    std::uint64_t settledFrames() const { return m_settled.load(std::memory_order_acquire); }
    std::uint64_t furthestFrames() const { return m_furthest.load(std::memory_order_acquire); }

    // Gain of volume 0…255 (v/255) and of pan 0…255 (equal power), exposed for tests.
    static float volumeGain(int volume);
    static void panGains(int pan, float& left, float& right);

private:
    struct Voice {
        std::uint32_t generation = 0;
        const Sample* sample = nullptr;
        LiveSource* live = nullptr;   // a generator's voice reads this instead of a sample
        bool active = false;
        bool loop = false;
        std::uint64_t position = 0;   // 32.32 fixed-point frames
        std::uint64_t step = 0;       // 32.32 frames per output frame
        float gainL = 0, gainR = 0;   // at the start of the next block
        // The fade: a straight line from fadeFrom to fadeTo over fadeLength frames.
        std::uint32_t fadeSerial = 0;
        double fade = 1.0, fadeFrom = 1.0, fadeTo = 1.0;
        std::int64_t fadeDone = 0, fadeLength = 0;
        // The kernel looked up for `kernelStep`; looked up again when the step changes or while
        // it is a stand-in for a table not yet built.
        const KernelTable* kernel = nullptr;
        std::uint64_t kernelStep = 0;
        bool kernelFinal = false;
        // A live voice: its `position` is the fraction of a frame past `liveFrame`, the ring's
        // frame it reads; `retain` is the oldest frame a rewind may read again.
        std::int64_t liveFrame = 0;
        std::int64_t retain = 0;
        std::int64_t retainPublished = -Sample::kMarginBefore;
        bool liveStarted = false;
        float hold = 1.0f; // turned down while its generator is behind

        bool operator==(const Voice&) const = default;
    };
    static_assert(std::is_trivially_copyable_v<Voice>, "snapshots copy voices as bytes");

    struct Snapshot {
        explicit Snapshot(int rate) : equaliser(rate), notch(rate), tone(rate) {}
        std::uint64_t frame = ~std::uint64_t(0);
        // The first voiceCount voices (those in use when it was taken), in m_historyVoices.
        Voice* voices = nullptr;
        std::size_t voiceCount = 0;
        std::uint32_t eqSequenceSeen = 0;
        Equaliser equaliser;
        Notch notch;
        ToneGenerator tone;
        Limiter::State limiter;
        float outputGain = 1.0f;
    };

    // Where a voice's source frames come from for one block: frame 0 of a contiguous array that
    // may be read kMarginBefore frames before and kMarginAfter after `length` (32.32 frames),
    // where the voice wraps (looping) or ends.
    struct SourceView {
        const SourceFrame* base = nullptr;
        std::uint64_t length = 0;
    };
    enum class ViewState { Playing, Waiting, Ended };

    void renderBlock(float* out, int frames);
    // The voice starts over with what its slot holds for `generation`; active when it has a source.
    static void restart(Voice& voice, const VoiceSlot& slot, std::uint32_t generation);
    void mixVoice(Voice& voice, VoiceSlot& slot, int frames);
    ViewState sampleView(const Voice& voice, int frames, SourceView& view) const;
    // The kernel, the pitch glide and the gain ramps: the same for every kind of source.
    void mixView(Voice& voice, VoiceSlot& slot, const SourceView& view, bool keyOn, int frames);
    // A generator's voice, from its ring; a voice whose generator is behind plays again.
    void mixLive(Voice& voice, VoiceSlot& slot, bool keyOn, int frames);
    void targetGains(const Voice& voice, VoiceSlot& slot, bool keyOn, float& left, float& right) const;
    void updateStep(Voice& voice, VoiceSlot& slot);
    void saveSnapshot();
    void advanceFade(Voice& voice, VoiceSlot& slot, int frames);
    void pullEqualiser();
    void finish(Voice& voice, VoiceSlot& slot);

    int m_rate;
    std::vector<std::unique_ptr<VoiceSlot>> m_slots;
    std::vector<Voice> m_voices;
    EqualiserRequest m_eqRequest;
    std::uint32_t m_eqSequenceSeen = 0;
    Equaliser m_equaliser;
    Notch m_notch;
    ToneGenerator m_tone;
    std::atomic<bool> m_paused{false};
    float m_outputGain = 1.0f;  // fades the whole mix in and out around a pause
    Limiter m_limiter;

    SourceWorker* m_worker = nullptr;
    bool m_wakeWorker = false; // a live voice's ring ran low during this render()
    std::atomic<std::uint64_t> m_starved{0};
    std::vector<Snapshot> m_history;
    std::unique_ptr<std::byte[]> m_historyVoices;
    // Voices past this many have never left their first state: snapshots leave them out.
    std::size_t m_voicesInUse = 0;
    std::uint64_t m_mixed = 0;
    std::uint64_t m_floor = 0;
    std::uint64_t m_restoredAt = ~std::uint64_t(0);
    std::atomic<std::uint64_t> m_settled{0};
    std::atomic<std::uint64_t> m_furthest{0};

    alignas(64) std::array<float, kBlock> m_left{};
    alignas(64) std::array<float, kBlock> m_right{};
};

} // namespace sonaveil::audio
