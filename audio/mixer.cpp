#include "audio/mixer.h"

#include "audio/livesource.h"
#include "audio/resampler.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <emmintrin.h>
#define SONAVEIL_X86 1
#endif

namespace sonaveil::audio {

namespace {

constexpr float kHalfPi = 1.5707963267948966f;
constexpr float kLimiterCeiling = 0.891f; // -1 dBFS
// The soft clipper only guards against what the limiter cannot foresee (rounding, a gain
// change after it); limited sound stays below its knee.
constexpr float kSoftClipKnee = 0.95f;
// Highest playback ratio: far above what any slider asks for; the kernel is built up to it.
constexpr std::uint64_t kMaxStep = std::uint64_t(ResamplingKernel::kMaxSpeed) << 32;

void setFlushToZero()
{
#ifdef SONAVEIL_X86
    _mm_setcsr(_mm_getcsr() | 0x8040); // FTZ | DAZ
#endif
}

float softClip(float x)
{
    const float a = std::fabs(x);
    if (a <= kSoftClipKnee)
        return x;
    const float room = 1.0f - kSoftClipKnee;
    const float shaped = kSoftClipKnee + room * std::tanh((a - kSoftClipKnee) / room);
    return x < 0 ? -shaped : shaped;
}

} // namespace

Mixer::Mixer(int mixRate, int voices)
    : m_rate(mixRate)
    , m_equaliser(mixRate)
    , m_notch(mixRate)
    , m_tone(mixRate)
    , m_limiter(mixRate, kLimiterCeiling)
{
    m_slots.reserve(std::size_t(voices));
    for (int i = 0; i < voices; ++i)
        m_slots.push_back(std::make_unique<VoiceSlot>());
    m_voices.resize(std::size_t(voices));
    // The kernel for speeds up to natural is made here, not on the mixing thread.
    ResamplingKernel::table(0);
}

Mixer::~Mixer() = default;

void Mixer::keepHistory(int frames)
{
    const int count = std::max(frames, 0) / kSnapshotFrames + 2;
    m_history.clear();
    m_history.reserve(std::size_t(count));
    // Room for every voice in every snapshot, in one block taken fresh from the system and left
    // uninitialised: only the voices in use are ever written, so the rest costs no memory.
    m_historyVoices.reset(new std::byte[sizeof(Voice) * m_voices.size() * std::size_t(count)]);
    for (int i = 0; i < count; ++i) {
        m_history.emplace_back(m_rate);
        m_history.back().voices = reinterpret_cast<Voice*>(m_historyVoices.get()) + std::size_t(i) * m_voices.size();
    }
}

std::uint64_t Mixer::oldestRewind() const
{
    if (m_history.empty())
        return m_mixed;
    const std::uint64_t span = std::uint64_t(m_history.size() - 1) * kSnapshotFrames;
    std::uint64_t oldest = m_mixed > span ? m_mixed - span : 0;
    // A point once settled stays out of reach after a rewind too: the generators of voices that
    // ended before it are freed, and the rings no longer keep what was read there.
    oldest = std::max({oldest, m_floor, m_settled.load(std::memory_order_relaxed)});
    return (oldest + kSnapshotFrames - 1) / kSnapshotFrames * kSnapshotFrames;
}

bool Mixer::rewindTo(std::uint64_t frame)
{
    if (m_history.empty() || frame % kSnapshotFrames != 0 || frame > m_mixed || frame < oldestRewind())
        return false;
    const Snapshot& s = m_history[std::size_t(frame / kSnapshotFrames % m_history.size())];
    if (s.frame != frame)
        return false;
    // Voices past those the snapshot holds had never been used when it was taken.
    std::memcpy(static_cast<void*>(m_voices.data()), s.voices, sizeof(Voice) * s.voiceCount);
    std::fill(m_voices.begin() + std::ptrdiff_t(s.voiceCount), m_voices.end(), Voice{});
    m_eqSequenceSeen = s.eqSequenceSeen;
    m_equaliser = s.equaliser;
    m_notch = s.notch;
    m_tone = s.tone;
    m_limiter.restore(s.limiter);
    m_outputGain = s.outputGain;
    m_mixed = frame;
    m_restoredAt = frame;
    return true;
}

void Mixer::setRewindFloor(std::uint64_t frame)
{
    m_floor = std::min(frame, m_mixed);
    m_settled.store(std::max(m_settled.load(std::memory_order_relaxed), oldestRewind()), std::memory_order_release);
}

void Mixer::saveSnapshot()
{
    Snapshot& s = m_history[std::size_t(m_mixed / kSnapshotFrames % m_history.size())];
    s.frame = m_mixed;
    const Voice unused{};
    for (std::size_t i = m_voices.size(); i > m_voicesInUse; --i)
        if (!(m_voices[i - 1] == unused)) {
            m_voicesInUse = i;
            break;
        }
    std::memcpy(static_cast<void*>(s.voices), m_voices.data(), sizeof(Voice) * m_voicesInUse);
    s.voiceCount = m_voicesInUse;
    s.eqSequenceSeen = m_eqSequenceSeen;
    s.equaliser = m_equaliser;
    s.notch = m_notch;
    s.tone = m_tone;
    m_limiter.save(s.limiter);
    s.outputGain = m_outputGain;

    // What each live voice read at the oldest point a rewind can still reach is kept in its ring.
    const std::uint64_t oldestFrame = oldestRewind();
    const Snapshot& oldest = m_history[std::size_t(oldestFrame / kSnapshotFrames % m_history.size())];
    const bool known = oldest.frame == oldestFrame;
    for (std::size_t i = 0; i < m_voices.size(); ++i) {
        Voice& v = m_voices[i];
        if (!v.active || !v.live)
            continue;
        const Voice& then = i < oldest.voiceCount ? oldest.voices[i] : unused;
        const bool same = known && then.active && then.live == v.live && then.generation == v.generation;
        v.retain = same ? std::min(then.liveFrame, v.liveFrame) : v.liveFrame;
    }
    m_settled.store(std::max(m_settled.load(std::memory_order_relaxed), oldestFrame), std::memory_order_release);
}

float Mixer::volumeGain(int volume)
{
    return float(std::clamp(volume, 0, 255)) / 255.0f;
}

void Mixer::panGains(int pan, float& left, float& right)
{
    // Every voice asks for its pan every block: the 256 pairs are worked out once.
    static const auto table = [] {
        std::array<std::array<float, 2>, 256> t{};
        for (int i = 0; i < 256; ++i) {
            // 0 full left, 128 the centre, 255 full right.
            const float p = i <= 128 ? float(i) / 256.0f : 0.5f + float(i - 128) / 254.0f;
            t[std::size_t(i)] = {std::cos(p * kHalfPi), std::sin(p * kHalfPi)};
        }
        return t;
    }();
    const auto& g = table[std::size_t(std::clamp(pan, 0, 255))];
    left = g[0];
    right = g[1];
}

void Mixer::render(float* out, int frames)
{
    setFlushToZero();
    while (frames > 0) {
        int n = std::min(frames, kBlock);
        // With history the blocks keep to one grid whatever the caller asks for at a time (a
        // server lends blocks of any size), so that every rewind point begins a block and is kept.
        if (!m_history.empty())
            n = std::min(n, kBlock - int(m_mixed % kBlock));
        renderBlock(out, n);
        out += 2 * n;
        frames -= n;
    }
    // Once for all the voices that ran low, after the mix: a worker woken in the middle of it
    // would take the processor from this thread, once for every voice.
    if (m_wakeWorker && m_worker) {
        m_wakeWorker = false;
        m_worker->wake();
    }
}

void Mixer::finish(Voice& voice, VoiceSlot& slot)
{
    voice.active = false;
    voice.sample = nullptr;
    voice.live = nullptr;
    voice.gainL = voice.gainR = 0;
    slot.finishedGeneration.store(voice.generation, std::memory_order_release);
}

void Mixer::pullEqualiser()
{
    const std::uint32_t before = m_eqRequest.sequence.load(std::memory_order_acquire);
    if (before == m_eqSequenceSeen || (before & 1))
        return;
    std::array<EqBandSettings, Equaliser::kMaxBands> bands{};
    const int count = std::clamp(m_eqRequest.count.load(std::memory_order_relaxed), 0,
                                 Equaliser::kMaxBands);
    for (int i = 0; i < count; ++i) {
        bands[std::size_t(i)].centreHz = m_eqRequest.values[std::size_t(3 * i)].load(std::memory_order_relaxed);
        bands[std::size_t(i)].bandwidthSemitones = m_eqRequest.values[std::size_t(3 * i + 1)].load(std::memory_order_relaxed);
        bands[std::size_t(i)].gainDb = m_eqRequest.values[std::size_t(3 * i + 2)].load(std::memory_order_relaxed);
    }
    std::atomic_thread_fence(std::memory_order_acquire);
    if (m_eqRequest.sequence.load(std::memory_order_relaxed) != before)
        return; // written meanwhile: take it next block
    m_eqSequenceSeen = before;
    m_equaliser.setBands(bands, count);
}

void Mixer::restart(Voice& voice, const VoiceSlot& slot, std::uint32_t generation)
{
    voice.generation = generation;
    voice.sample = slot.sample.load(std::memory_order_relaxed);
    voice.live = slot.live.load(std::memory_order_relaxed);
    voice.active = voice.sample != nullptr || voice.live != nullptr;
    voice.position = 0;
    voice.step = 0;
    voice.gainL = voice.gainR = 0;
    voice.fadeSerial = slot.fadeSerial.load(std::memory_order_acquire);
    voice.fade = voice.fadeFrom = voice.fadeTo = slot.fade.load(std::memory_order_relaxed);
    voice.fadeDone = voice.fadeLength = 0;
    voice.liveFrame = voice.retain = 0;
    voice.retainPublished = -Sample::kMarginBefore;
    voice.liveStarted = false;
    voice.hold = 1.0f;
}

void Mixer::mixVoice(Voice& voice, VoiceSlot& slot, int frames)
{
    const std::uint32_t generation = slot.generation.load(std::memory_order_acquire);
    if (generation != voice.generation) {
        restart(voice, slot, generation);
        if (!voice.active) {
            finish(voice, slot);
            return;
        }
    }
    if (!voice.active)
        return;

    const bool keyOn = slot.keyOn.load(std::memory_order_relaxed);
    if (!keyOn && voice.gainL == 0 && voice.gainR == 0) {
        finish(voice, slot);
        return;
    }
    if (voice.live) {
        mixLive(voice, slot, keyOn, frames);
        return;
    }
    SourceView view;
    switch (sampleView(voice, frames, view)) {
    case ViewState::Ended:
        finish(voice, slot);
        return;
    case ViewState::Waiting:
        return;
    case ViewState::Playing:
        break;
    }
    mixView(voice, slot, view, keyOn, frames);
}

Mixer::ViewState Mixer::sampleView(const Voice& voice, int frames, SourceView& view) const
{
    const Sample& sample = *voice.sample;
    view.base = sample.data();
    // A sample still being decoded plays as far as it is decoded; the voice waits silently
    // (where it began: decoding runs hundreds of times faster than playing) until the block it
    // is about to play is there.
    if (sample.ready.load(std::memory_order_acquire)) {
        if (sample.frames <= 0)
            return ViewState::Ended;
        view.length = std::uint64_t(sample.frames) << 32;
        return ViewState::Playing;
    }
    const std::uint64_t reach = voice.position + std::uint64_t(frames) * std::max(voice.step, kMaxStep);
    const std::uint64_t available = std::uint64_t(sample.available.load(std::memory_order_acquire)) << 32;
    if (reach + (std::uint64_t(Sample::kMarginAfter) << 32) > available)
        return ViewState::Waiting;
    view.length = available;
    return ViewState::Playing;
}

void Mixer::targetGains(const Voice& voice, VoiceSlot& slot, bool keyOn, float& left, float& right) const
{
    left = right = 0;
    if (!keyOn)
        return;
    panGains(slot.pan.load(std::memory_order_relaxed), left, right);
    float g = volumeGain(slot.volume.load(std::memory_order_relaxed)) * float(voice.fade);
    if (voice.hold < 1.0f)
        g *= voice.hold;
    left *= g;
    right *= g;
}

void Mixer::updateStep(Voice& voice, VoiceSlot& slot)
{
    const int hz = slot.frequency.load(std::memory_order_relaxed);
    const std::uint64_t target = std::min<std::uint64_t>(
        (std::uint64_t(std::max(hz, 1)) << 32) / std::uint64_t(m_rate), kMaxStep);
    if (voice.step == 0) {
        voice.step = target;
    } else if (voice.step != target) {
        // Glide: a quarter of the way per block, about 10 ms to settle.
        const std::int64_t diff = std::int64_t(target) - std::int64_t(voice.step);
        voice.step = std::abs(diff) < 1024 ? target : std::uint64_t(std::int64_t(voice.step) + diff / 4);
    }
    if (voice.step != voice.kernelStep || !voice.kernelFinal) {
        const int speedClass = ResamplingKernel::classFor(voice.step);
        voice.kernel = ResamplingKernel::bestBuilt(speedClass);
        voice.kernelStep = voice.step;
        voice.kernelFinal = voice.kernel == ResamplingKernel::table(speedClass);
    }
}

void Mixer::mixLive(Voice& voice, VoiceSlot& slot, bool keyOn, int frames)
{
    LiveSource& source = *voice.live;
    const std::int64_t written = source.written();
    const auto report = [&] {
        // The writer keeps what a rewind or a hold may read again.
        voice.retainPublished = std::min(m_history.empty() ? voice.liveFrame : voice.retain,
                                         voice.liveFrame - kHoldFrames) - Sample::kMarginBefore - 1;
        if (source.setReadPosition(voice.liveFrame, voice.retainPublished, std::max<std::uint64_t>(voice.step, 1)))
            m_wakeWorker = true;
    };
    if (!voice.liveStarted) {
        // Its first frames are not made yet: the voice waits silently where it begins, until
        // there is enough for a while (as much as a rewritten queue mixes at once).
        const std::int64_t first = std::int64_t((std::uint64_t(frames) * kMaxStep) >> 32) + Sample::kMarginAfter + 2;
        if (written < std::max(first, source.startFrames())) {
            report();
            return;
        }
        voice.liveStarted = true;
    }
    advanceFade(voice, slot, frames);
    updateStep(voice, slot);
    if (voice.hold < 1.0f)
        voice.hold = std::min(1.0f, voice.hold + 0.002f); // back to full over about a second
    float targetL = 0, targetR = 0;
    targetGains(voice, slot, keyOn, targetL, targetR);
    const float dL = (targetL - voice.gainL) / float(frames);
    const float dR = (targetR - voice.gainR) / float(frames);

    const std::uint64_t advance = voice.position + std::uint64_t(frames) * voice.step;
    const std::int64_t readTo = voice.liveFrame + std::int64_t(advance >> 32) + Sample::kMarginAfter + 1;
    const std::int64_t nextReadTo = readTo + std::int64_t((std::uint64_t(frames) * voice.step) >> 32) + 1;
    const auto from = [&](std::int64_t frame) { return source.window(frame - Sample::kMarginBefore) + Sample::kMarginBefore; };
    if (nextReadTo <= written) {
        mixResampled(*voice.kernel, from(voice.liveFrame), voice.position & 0xFFFFFFFFu, voice.step, frames,
                     voice.gainL, dL, voice.gainR, dR, m_left.data(), m_right.data());
        voice.liveFrame += std::int64_t(advance >> 32);
        voice.position = advance & 0xFFFFFFFFu;
    } else {
        // The generator is behind: rather than a hole, the voice crossfades to what it played a
        // moment ago (the ring still holds it) and plays that again, a little quieter each time,
        // until the generator has caught up.
        m_starved.fetch_add(1, std::memory_order_relaxed);
        if (readTo <= written)
            mixResampled(*voice.kernel, from(voice.liveFrame), voice.position & 0xFFFFFFFFu, voice.step, frames,
                         voice.gainL, -voice.gainL / float(frames), voice.gainR, -voice.gainR / float(frames),
                         m_left.data(), m_right.data());
        const std::int64_t back = std::max<std::int64_t>(
            {voice.liveFrame - kHoldFrames, voice.retainPublished + Sample::kMarginBefore + 1, 0});
        voice.hold = std::max(voice.hold * kHoldAttenuation, 0.25f);
        targetL *= kHoldAttenuation;
        targetR *= kHoldAttenuation;
        if (back + (readTo - voice.liveFrame) <= written) {
            mixResampled(*voice.kernel, from(back), voice.position & 0xFFFFFFFFu, voice.step, frames, 0.0f,
                         targetL / float(frames), 0.0f, targetR / float(frames), m_left.data(), m_right.data());
            voice.liveFrame = back + std::int64_t(advance >> 32);
            voice.position = advance & 0xFFFFFFFFu;
        } else {
            targetL = targetR = 0; // nothing at all to play yet: it comes in when there is
            voice.liveFrame = back;
        }
    }
    voice.gainL = targetL;
    voice.gainR = targetR;
    report();
}

void Mixer::advanceFade(Voice& voice, VoiceSlot& slot, int frames)
{
    const std::uint32_t serial = slot.fadeSerial.load(std::memory_order_acquire);
    if (serial != voice.fadeSerial) {
        voice.fadeSerial = serial;
        voice.fadeFrom = voice.fade;
        voice.fadeTo = std::clamp(double(slot.fade.load(std::memory_order_relaxed)), 0.0, 1.0);
        voice.fadeLength = std::max<std::int64_t>(slot.fadeFrames.load(std::memory_order_relaxed), 0);
        voice.fadeDone = 0;
    }
    if (voice.fadeDone >= voice.fadeLength) {
        voice.fade = voice.fadeTo;
        return;
    }
    // Measured from the start of the ramp, so that a fade of hours lands exactly where asked.
    voice.fadeDone = std::min(voice.fadeDone + frames, voice.fadeLength);
    voice.fade = voice.fadeFrom
        + (voice.fadeTo - voice.fadeFrom) * (double(voice.fadeDone) / double(voice.fadeLength));
}

void Mixer::mixView(Voice& voice, VoiceSlot& slot, const SourceView& view, bool keyOn, int frames)
{
    voice.loop = slot.loop.load(std::memory_order_relaxed);
    advanceFade(voice, slot, frames);

    float targetL = 0, targetR = 0;
    targetGains(voice, slot, keyOn, targetL, targetR);
    updateStep(voice, slot);
    const KernelTable* kernel = voice.kernel;

    const float dL = (targetL - voice.gainL) / float(frames);
    const float dR = (targetR - voice.gainR) / float(frames);
    int done = 0;
    while (done < frames) {
        if (voice.position >= view.length) {
            if (!voice.loop) {
                finish(voice, slot);
                return;
            }
            voice.position %= view.length;
        }
        const std::uint64_t left = view.length - voice.position;
        int n = frames - done;
        // Only a block that reaches the end needs to know where.
        if (left <= std::uint64_t(n - 1) * voice.step)
            n = int((left + voice.step - 1) / voice.step);
        mixResampled(*kernel, view.base + (voice.position >> 32), voice.position & 0xFFFFFFFFu, voice.step, n,
                     voice.gainL + float(done) * dL, dL, voice.gainR + float(done) * dR, dR, m_left.data() + done,
                     m_right.data() + done);
        voice.position += std::uint64_t(n) * voice.step;
        done += n;
    }
    voice.gainL = targetL;
    voice.gainR = targetR;
}

void Mixer::renderBlock(float* out, int frames)
{
    if (!m_history.empty() && m_mixed % kSnapshotFrames == 0 && m_mixed != m_restoredAt)
        saveSnapshot();
    m_restoredAt = ~std::uint64_t(0);
    m_mixed += std::uint64_t(frames);
    if (m_history.empty())
        m_settled.store(m_mixed, std::memory_order_release);
    if (m_mixed > m_furthest.load(std::memory_order_relaxed))
        m_furthest.store(m_mixed, std::memory_order_release);
    const bool paused = m_paused.load(std::memory_order_relaxed);
    if (paused && m_outputGain == 0.0f) {
        // Fully paused: voices hold their place; stopped ones are freed at once.
        for (std::size_t i = 0; i < m_voices.size(); ++i) {
            Voice& v = m_voices[i];
            VoiceSlot& s = *m_slots[i];
            const std::uint32_t g = s.generation.load(std::memory_order_acquire);
            if (g != v.generation || (v.active && !s.keyOn.load(std::memory_order_relaxed))) {
                restart(v, s, g);
                v.active = v.active && s.keyOn.load(std::memory_order_relaxed);
                if (!v.active)
                    finish(v, s);
            }
        }
        std::memset(out, 0, sizeof(float) * 2 * std::size_t(frames));
        return;
    }

    std::fill_n(m_left.begin(), frames, 0.0f);
    std::fill_n(m_right.begin(), frames, 0.0f);
    for (std::size_t i = 0; i < m_voices.size(); ++i)
        mixVoice(m_voices[i], *m_slots[i], frames);

    pullEqualiser();
    m_equaliser.process(m_left.data(), m_right.data(), frames);
    m_notch.process(m_left.data(), m_right.data(), frames);
    // The test tone is heard as set: neither the equaliser nor the band-stop touch it.
    m_tone.mixInto(m_left.data(), m_right.data(), frames);

    m_limiter.process(m_left.data(), m_right.data(), frames);

    // The fade around a pause; then the guard, which limited sound never reaches.
    const float outputTarget = paused ? 0.0f : 1.0f;
    const float g0 = m_outputGain;
    const float dg = (outputTarget - g0) / float(frames);
    bool hot = false;
    int n = 0;
#ifdef __SSE2__
    {
        const __m128 magnitude = _mm_castsi128_ps(_mm_set1_epi32(0x7fffffff));
        const __m128 knee = _mm_set1_ps(kSoftClipKnee);
        const __m128 base = _mm_set1_ps(g0), slope = _mm_set1_ps(dg);
        __m128 over = _mm_setzero_ps();
        for (; n + 4 <= frames; n += 4) {
            const __m128 at = _mm_setr_ps(float(n), float(n + 1), float(n + 2), float(n + 3));
            const __m128 g = _mm_add_ps(base, _mm_mul_ps(at, slope));
            const __m128 l = _mm_mul_ps(_mm_load_ps(m_left.data() + n), g);
            const __m128 r = _mm_mul_ps(_mm_load_ps(m_right.data() + n), g);
            const __m128 louder = _mm_max_ps(_mm_and_ps(l, magnitude), _mm_and_ps(r, magnitude));
            over = _mm_or_ps(over, _mm_cmpgt_ps(louder, knee));
            _mm_storeu_ps(out + 2 * n, _mm_unpacklo_ps(l, r));
            _mm_storeu_ps(out + 2 * n + 4, _mm_unpackhi_ps(l, r));
        }
        hot = _mm_movemask_ps(over) != 0;
    }
#endif
    for (; n < frames; ++n) {
        const float g = g0 + float(n) * dg;
        const float l = m_left[std::size_t(n)] * g, r = m_right[std::size_t(n)] * g;
        hot = hot || std::fabs(l) > kSoftClipKnee || std::fabs(r) > kSoftClipKnee;
        out[2 * n] = l;
        out[2 * n + 1] = r;
    }
    if (hot)
        for (int n = 0; n < 2 * frames; ++n)
            out[n] = softClip(out[n]);
    m_outputGain = outputTarget;
    // The limiter keeps what it delays: it comes out first when the mix resumes.
    if (paused) {
        m_equaliser.reset();
        m_notch.reset();
    }
}

} // namespace sonaveil::audio
