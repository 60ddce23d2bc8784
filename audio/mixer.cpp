#include "audio/mixer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define SONAVEIL_X86 1
#endif

namespace sonaveil::audio {

namespace {

constexpr float kHalfPi = 1.5707963267948966f;
constexpr float kLimiterCeiling = 0.891f; // -1 dBFS
// The soft clipper only guards against what the limiter cannot foresee (rounding, a gain
// change after it); limited sound stays below its knee.
constexpr float kSoftClipKnee = 0.95f;
// Highest playback ratio: far above what any slider asks for, low enough for the arithmetic.
constexpr std::uint64_t kMaxStep = std::uint64_t(8) << 32;

void setFlushToZero()
{
#ifdef SONAVEIL_X86
    _mm_setcsr(_mm_getcsr() | 0x8040); // FTZ | DAZ
#endif
}

// Adds `n` frames of a voice to the mix. Frame k reads around position frac16 + k * step16
// (16.16 fixed point, relative to `base`), with 4-point cubic Hermite interpolation, and is
// weighted by gains that move linearly by dL, dR per frame.
void mixSpanScalar(const std::int16_t* base, std::uint32_t frac16, std::uint32_t step16, int n,
                   float gL, float dL, float gR, float dR, float* outL, float* outR)
{
    constexpr float kScale = 1.0f / 32768.0f;
    constexpr float kFrac = 1.0f / 65536.0f;
    std::uint32_t p = frac16;
    for (int k = 0; k < n; ++k, p += step16) {
        const std::int16_t* s = base + (p >> 16);
        const float t = float(p & 0xFFFF) * kFrac;
        const float xm1 = s[-1], x0 = s[0], x1 = s[1], x2 = s[2];
        const float c1 = 0.5f * (x1 - xm1);
        const float c2 = xm1 - 2.5f * x0 + 2.0f * x1 - 0.5f * x2;
        const float c3 = 0.5f * (x2 - xm1) + 1.5f * (x0 - x1);
        const float y = (((c3 * t + c2) * t + c1) * t + x0) * kScale;
        outL[k] += y * (gL + float(k) * dL);
        outR[k] += y * (gR + float(k) * dR);
    }
}

#ifdef SONAVEIL_X86
__attribute__((target("avx2,fma"))) void
mixSpanAvx2(const std::int16_t* base, std::uint32_t frac16, std::uint32_t step16, int n, float gL,
            float dL, float gR, float dR, float* outL, float* outR)
{
    const __m256i lane = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
    const __m256i step8 = _mm256_set1_epi32(int(step16 * 8));
    __m256i p = _mm256_add_epi32(_mm256_set1_epi32(int(frac16)),
                                 _mm256_mullo_epi32(lane, _mm256_set1_epi32(int(step16))));
    const __m256 laneF = _mm256_cvtepi32_ps(lane);
    __m256 gl = _mm256_fmadd_ps(laneF, _mm256_set1_ps(dL), _mm256_set1_ps(gL));
    __m256 gr = _mm256_fmadd_ps(laneF, _mm256_set1_ps(dR), _mm256_set1_ps(gR));
    const __m256 gl8 = _mm256_set1_ps(8.0f * dL), gr8 = _mm256_set1_ps(8.0f * dR);
    const __m256 kFrac = _mm256_set1_ps(1.0f / 65536.0f);
    const __m256 kScale = _mm256_set1_ps(1.0f / 32768.0f);
    const __m256 half = _mm256_set1_ps(0.5f), onePointFive = _mm256_set1_ps(1.5f);
    const __m256 two = _mm256_set1_ps(2.0f), twoPointFive = _mm256_set1_ps(2.5f);
    const __m256i fracMask = _mm256_set1_epi32(0xFFFF);
    const int* words = reinterpret_cast<const int*>(base);

    int k = 0;
    for (; k + 8 <= n; k += 8) {
        const __m256i idx = _mm256_srli_epi32(p, 16);
        // Two 32-bit gathers at 16-bit granularity bring the four neighbours of each frame.
        const __m256i lo = _mm256_i32gather_epi32(words, _mm256_sub_epi32(idx, _mm256_set1_epi32(1)), 2);
        const __m256i hi = _mm256_i32gather_epi32(words, _mm256_add_epi32(idx, _mm256_set1_epi32(1)), 2);
        const __m256 xm1 = _mm256_cvtepi32_ps(_mm256_srai_epi32(_mm256_slli_epi32(lo, 16), 16));
        const __m256 x0 = _mm256_cvtepi32_ps(_mm256_srai_epi32(lo, 16));
        const __m256 x1 = _mm256_cvtepi32_ps(_mm256_srai_epi32(_mm256_slli_epi32(hi, 16), 16));
        const __m256 x2 = _mm256_cvtepi32_ps(_mm256_srai_epi32(hi, 16));
        const __m256 t = _mm256_mul_ps(_mm256_cvtepi32_ps(_mm256_and_si256(p, fracMask)), kFrac);

        const __m256 c1 = _mm256_mul_ps(half, _mm256_sub_ps(x1, xm1));
        const __m256 c2 = _mm256_fmsub_ps(two, x1, _mm256_fmadd_ps(twoPointFive, x0, _mm256_fmsub_ps(half, x2, xm1)));
        const __m256 c3 = _mm256_fmadd_ps(half, _mm256_sub_ps(x2, xm1), _mm256_mul_ps(onePointFive, _mm256_sub_ps(x0, x1)));
        __m256 y = _mm256_fmadd_ps(c3, t, c2);
        y = _mm256_fmadd_ps(y, t, c1);
        y = _mm256_fmadd_ps(y, t, x0);
        y = _mm256_mul_ps(y, kScale);

        _mm256_storeu_ps(outL + k, _mm256_fmadd_ps(y, gl, _mm256_loadu_ps(outL + k)));
        _mm256_storeu_ps(outR + k, _mm256_fmadd_ps(y, gr, _mm256_loadu_ps(outR + k)));
        p = _mm256_add_epi32(p, step8);
        gl = _mm256_add_ps(gl, gl8);
        gr = _mm256_add_ps(gr, gr8);
    }
    if (k < n)
        mixSpanScalar(base, frac16 + std::uint32_t(k) * step16, step16, n - k, gL + float(k) * dL,
                      dL, gR + float(k) * dR, dR, outL + k, outR + k);
}
#endif

using SpanFunction = void (*)(const std::int16_t*, std::uint32_t, std::uint32_t, int, float, float,
                              float, float, float*, float*);

SpanFunction chooseSpanFunction()
{
#ifdef SONAVEIL_X86
    if (__builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma"))
        return mixSpanAvx2;
#endif
    return mixSpanScalar;
}

const SpanFunction mixSpan = chooseSpanFunction();

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
}

float Mixer::volumeGain(int volume)
{
    return float(std::clamp(volume, 0, 255)) / 255.0f;
}

void Mixer::panGains(int pan, float& left, float& right)
{
    pan = std::clamp(pan, 0, 255);
    // 0 full left, 128 the centre, 255 full right.
    const float p = pan <= 128 ? float(pan) / 256.0f : 0.5f + float(pan - 128) / 254.0f;
    left = std::cos(p * kHalfPi);
    right = std::sin(p * kHalfPi);
}

void Mixer::render(float* out, int frames)
{
    setFlushToZero();
    while (frames > 0) {
        const int n = std::min(frames, kBlock);
        renderBlock(out, n);
        out += 2 * n;
        frames -= n;
    }
}

void Mixer::finish(Voice& voice, VoiceSlot& slot)
{
    voice.active = false;
    voice.sample = nullptr;
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

void Mixer::mixVoice(Voice& voice, VoiceSlot& slot, int frames)
{
    const std::uint32_t generation = slot.generation.load(std::memory_order_acquire);
    if (generation != voice.generation) {
        voice.generation = generation;
        voice.sample = slot.sample.load(std::memory_order_relaxed);
        voice.active = voice.sample != nullptr;
        voice.position = 0;
        voice.step = 0;
        voice.version = -1;
        voice.gainL = voice.gainR = 0;
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
    const Sample& sample = *voice.sample;
    // A sample still being decoded plays as far as it is decoded; the voice waits silently
    // (where it began: decoding runs hundreds of times faster than playing) until the block it
    // is about to play is there.
    std::uint64_t length;
    if (sample.ready.load(std::memory_order_acquire)) {
        if (sample.frames <= 0) {
            finish(voice, slot);
            return;
        }
        length = std::uint64_t(sample.frames) << 32;
    } else {
        const std::uint64_t reach = voice.position + std::uint64_t(frames) * std::max(voice.step, kMaxStep);
        const std::uint64_t available = std::uint64_t(sample.available.load(std::memory_order_acquire)) << 32;
        if (reach + (std::uint64_t(Sample::kMarginAfter) << 32) > available)
            return;
        length = available;
    }
    voice.loop = slot.loop.load(std::memory_order_relaxed);

    float targetL = 0, targetR = 0;
    if (keyOn) {
        panGains(slot.pan.load(std::memory_order_relaxed), targetL, targetR);
        const float g = volumeGain(slot.volume.load(std::memory_order_relaxed));
        targetL *= g;
        targetR *= g;
    }

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

    // Faster than one frame per output frame, the voice reads a band-limited version of its
    // sample (when it has been built); moving to another version crossfades over the block.
    int version = -1;
    if (voice.step > (std::uint64_t(1) << 32)) {
        // The version made for this speed, or one made for a higher speed (it cuts a little
        // lower) while this one is still being built.
        for (int k = Sample::versionFor(double(voice.step) / 4294967296.0); k < Sample::kVersions; ++k)
            if (sample.versions[std::size_t(k)].load(std::memory_order_acquire)) {
                version = k;
                break;
            }
    }
    const bool switching = version != voice.version;

    int done = 0;
    while (done < frames) {
        if (voice.position >= length) {
            if (!voice.loop) {
                finish(voice, slot);
                return;
            }
            voice.position %= length;
        }
        const std::uint64_t left = length - voice.position;
        const std::uint64_t untilEnd = (left + voice.step - 1) / voice.step;
        const int n = int(std::min<std::uint64_t>(untilEnd, std::uint64_t(frames - done)));
        const float share = float(done) / float(frames);
        if (!switching) {
            const float dL = (targetL - voice.gainL) / float(frames);
            const float dR = (targetR - voice.gainR) / float(frames);
            mixFrom(sample, version, voice, n, voice.gainL + float(done) * dL, dL, voice.gainR + float(done) * dR,
                    dR, done);
        } else {
            // The old version fades out from its gain, the new one in towards its target: the
            // two ramps add up to the usual straight line from one gain to the other.
            const float oL = -voice.gainL / float(frames), oR = -voice.gainR / float(frames);
            mixFrom(sample, voice.version, voice, n, voice.gainL * (1.0f - share), oL, voice.gainR * (1.0f - share),
                    oR, done);
            const float iL = targetL / float(frames), iR = targetR / float(frames);
            mixFrom(sample, version, voice, n, targetL * share, iL, targetR * share, iR, done);
        }
        voice.position += std::uint64_t(n) * voice.step;
        done += n;
    }
    voice.version = version;
    voice.gainL = targetL;
    voice.gainR = targetR;
}

void Mixer::mixFrom(const Sample& sample, int version, const Voice& voice, int n, float gL, float dL, float gR,
                    float dR, int at)
{
    if (version < 0) {
        mixSpan(sample.data() + (voice.position >> 32), std::uint32_t((voice.position >> 16) & 0xFFFF),
                std::uint32_t(voice.step >> 16), n, gL, dL, gR, dR, m_left.data() + at, m_right.data() + at);
        return;
    }
    const Sample& v = *sample.versions[std::size_t(version)].load(std::memory_order_relaxed);
    constexpr int up = Sample::kVersionUpsampling;
    const std::uint64_t position = voice.position * up;
    mixSpan(v.data() + (position >> 32), std::uint32_t((position >> 16) & 0xFFFF),
            std::uint32_t((voice.step * up) >> 16), n, gL, dL, gR, dR, m_left.data() + at, m_right.data() + at);
}

void Mixer::renderBlock(float* out, int frames)
{
    const bool paused = m_paused.load(std::memory_order_relaxed);
    if (paused && m_outputGain == 0.0f) {
        // Fully paused: voices hold their place; stopped ones are freed at once.
        for (std::size_t i = 0; i < m_voices.size(); ++i) {
            Voice& v = m_voices[i];
            VoiceSlot& s = *m_slots[i];
            const std::uint32_t g = s.generation.load(std::memory_order_acquire);
            if (g != v.generation || (v.active && !s.keyOn.load(std::memory_order_relaxed))) {
                v.generation = g;
                v.sample = s.sample.load(std::memory_order_relaxed);
                v.active = v.sample && s.keyOn.load(std::memory_order_relaxed);
                v.position = 0;
                v.step = 0;
                v.gainL = v.gainR = 0;
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
    for (int n = 0; n < frames; ++n) {
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
