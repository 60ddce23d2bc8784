#pragma once

#include "audio/equaliser.h"
#include "audio/limiter.h"
#include "audio/livesource.h"
#include "audio/notch.h"
#include "audio/resampler.h"
#include "audio/tonegenerator.h"
#include "audio/voiceslot.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
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
class Mixer {
public:
    static constexpr int kBlock = 128; // frames per parameter update (2.9 ms at 44100 Hz)

    Mixer(int mixRate, int voices);

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
    void mixVoice(Voice& voice, VoiceSlot& slot, int frames);
    ViewState sampleView(const Voice& voice, int frames, SourceView& view) const;
    // A generator's voice: its frames are made for the block here and now.
    ViewState liveView(Voice& voice, int frames, SourceView& view);
    // The kernel, the pitch glide and the gain ramps: the same for every kind of source.
    void mixView(Voice& voice, VoiceSlot& slot, const SourceView& view, bool keyOn, int frames);
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

    alignas(64) std::array<float, kBlock> m_left{};
    alignas(64) std::array<float, kBlock> m_right{};
};

} // namespace sonaveil::audio
