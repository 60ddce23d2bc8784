#include "synth/endless.h"

#include "synth/liverecipes.h"
#include "synth/simd.h"
#include "synth/synth.h"

#include <algorithm>
#include <cmath>

namespace sonaveil::synth {

namespace live {

LiveSound::LiveSound(int rate, std::uint64_t seed) : m_rate(rate), m_dither(4096), m_ditherRng(seed)
{
    for (float& d : m_dither)
        d = float(m_ditherRng.uniform() - m_ditherRng.uniform());
}

void LiveSound::setLevelDb(double db)
{
    m_gain = float(dbToGain(db));
}

void LiveSound::generate(audio::SourceFrame* out, int frames)
{
    while (frames > 0) {
        if (m_position == kBlock)
            nextBlock();
        const int take = std::min(frames, kBlock - m_position);
        std::copy(m_frames + m_position, m_frames + m_position + take, out);
        out += take;
        frames -= take;
        m_position += take;
    }
}

namespace {

float peakPlain(const float* __restrict x)
{
    float peak = 0.0f;
    for (int i = 0; i < kBlock; ++i) {
        const float a = std::fabs(x[i]);
        peak = a > peak ? a : peak;
    }
    return peak;
}

#ifdef SONAVEIL_SIMD_X86
SONAVEIL_AVX2_TARGET float peakAvx2(const float* x)
{
    const __m256 sign = _mm256_set1_ps(-0.0f);
    __m256 m = _mm256_setzero_ps();
    for (int i = 0; i < kBlock; i += 8)
        m = _mm256_max_ps(m, _mm256_andnot_ps(sign, _mm256_loadu_ps(x + i)));
    __m128 h = _mm_max_ps(_mm256_castps256_ps128(m), _mm256_extractf128_ps(m, 1));
    h = _mm_max_ps(h, _mm_movehl_ps(h, h));
    h = _mm_max_ss(h, _mm_shuffle_ps(h, h, 1));
    return _mm_cvtss_f32(h);
}
#endif

float peak(const float* x)
{
#ifdef SONAVEIL_SIMD_X86
    if (simd::avx2())
        return peakAvx2(x);
#endif
    return peakPlain(x);
}

// 16-bit frames of x times a gain ramping from g0 by `step` a frame, with the dither d.
SONAVEIL_INLINE void toFramesBody(const float* __restrict x, const float* __restrict d, float g0, float step,
                                  audio::SourceFrame* __restrict out)
{
    // Adding and taking away 1.5 · 2^23 rounds a float to the nearest integer.
    constexpr float kRound = 12582912.0f;
    for (int i = 0; i < kBlock; ++i) {
        const float v = x[i] * (g0 + step * float(i));
        float s = (v * 32767.0f + d[i] + kRound) - kRound;
        s = s < -32767.0f ? -32767.0f : s;
        s = s > 32767.0f ? 32767.0f : s;
        out[i] = audio::SourceFrame(s);
    }
}

#ifdef SONAVEIL_SIMD_X86
// The same by hand, sixteen frames a step: the clamp in floats, the rounding (to nearest, ties to
// even, as above) by the conversion, two halves packed into sixteen 16-bit frames.
// Eight frames x[i … i + 7] times the ramp at `index`, scaled, dithered, clamped and rounded.
SONAVEIL_AVX2_TARGET inline __m256i eightFrames(const float* x, const float* d, __m256 ramp)
{
    const __m256 full = _mm256_set1_ps(32767.0f), lo = _mm256_set1_ps(-32767.0f);
    const __m256 f = _mm256_fmadd_ps(_mm256_mul_ps(_mm256_loadu_ps(x), ramp), full, _mm256_loadu_ps(d));
    return _mm256_cvtps_epi32(_mm256_min_ps(_mm256_max_ps(f, lo), full));
}

SONAVEIL_AVX2_TARGET void toFramesAvx2(const float* x, const float* d, float g0, float step, audio::SourceFrame* out)
{
    const __m256 s = _mm256_set1_ps(step), g = _mm256_set1_ps(g0), sixteen = _mm256_set1_ps(16.0f);
    __m256 index = _mm256_setr_ps(0, 1, 2, 3, 4, 5, 6, 7);
    const __m256 toSecond = _mm256_set1_ps(8.0f);
    for (int i = 0; i < kBlock; i += 16) {
        const __m256i a = eightFrames(x + i, d + i, _mm256_fmadd_ps(s, index, g));
        const __m256i b = eightFrames(x + i + 8, d + i + 8, _mm256_fmadd_ps(s, _mm256_add_ps(index, toSecond), g));
        index = _mm256_add_ps(index, sixteen);
        // packs works within 128-bit lanes: put the halves back in order.
        const __m256i packed = _mm256_permute4x64_epi64(_mm256_packs_epi32(a, b), 0xD8);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i), packed);
    }
}
#endif

void toFrames(const float* x, const float* d, float g0, float step, audio::SourceFrame* out)
{
#ifdef SONAVEIL_SIMD_X86
    if (simd::avx2())
        return toFramesAvx2(x, d, g0, step, out);
#endif
    toFramesBody(x, d, g0, step, out);
}

} // namespace

void LiveSound::nextBlock()
{
    // How far the peak gain recovers towards 1 per block (about 30 ms).
    constexpr float kRelease = 0.05f;
    auto make = [this](float* x) {
        std::fill(x, x + kBlock, 0.0f);
        block(x);
        const float p = peak(x) * m_gain;
        return p > kCeiling ? kCeiling / p : 1.0f;
    };
    if (!m_primed) {
        m_need = make(m_blocks[m_current]);
        m_startGain = m_need;
        m_primed = true;
    }
    // One block of look-ahead: the gain at each block's ends is at most what either block next
    // to that end allows, so a linear ramp between them keeps every frame under the ceiling.
    const float needNext = make(m_blocks[1 - m_current]);
    const float endGain = std::min({m_need, needNext, m_startGain + (1.0f - m_startGain) * kRelease});
    const float step = (endGain - m_startGain) / float(kBlock);
    const float* d = m_dither.data() + (m_ditherRng.next() % (m_dither.size() - kBlock));
    toFrames(m_blocks[m_current], d, m_startGain * m_gain, step * m_gain, m_frames);
    m_current = 1 - m_current;
    m_need = needNext;
    m_startGain = endGain;
    m_position = 0;
}

} // namespace live

namespace {

struct Endless {
    live::Recipe make;
    // The gain that brings the recipe to the files' loudness (kTargetLoudnessLufs), measured by
    // bench_endless --calibrate.
    double levelDb;
};

std::unique_ptr<live::LiveSound> white(int rate, Rng& rng) { return live::colouredNoise(rate, rng, 0.0); }
std::unique_ptr<live::LiveSound> pink(int rate, Rng& rng) { return live::colouredNoise(rate, rng, -3.0103); }
std::unique_ptr<live::LiveSound> brown(int rate, Rng& rng) { return live::colouredNoise(rate, rng, -6.0206); }
std::unique_ptr<live::LiveSound> blue(int rate, Rng& rng) { return live::colouredNoise(rate, rng, 3.0103); }
std::unique_ptr<live::LiveSound> violet(int rate, Rng& rng) { return live::colouredNoise(rate, rng, 6.0206); }

const Endless* endless(int number)
{
    using namespace live;
    static const Endless table[] = {
        {white, -21.13}, // 1
        {pink, -18.97}, // 2
        {brown, -14.63}, // 3
        {blue, -21.33}, // 4
        {violet, -21.35}, // 5
        {rainGarden, -23.09}, // 6
        {rainRoof, -19.18}, // 7
        {rainDownpour, -23.37}, // 8
        {ocean, -14.61}, // 9
        {cicadaDrone, -26.23}, // 10
        {cicadaSwells, -25.23}, // 11
        {cicadaChirps, -25.51}, // 12
        {rainThunder, -23.49}, // 13
        {rainLeaves, -22.26}, // 14
        {rainDrizzle, -21.75}, // 15
        {rainGutter, -22.63}, // 16
        {rainTinRoof, -19.93}, // 17
        {cicadaTicking, -25.43}, // 18
        {cicadaWeeOo, -24.06}, // 19
        {cicadaShimmer, -26.96}, // 20
        {airConditionerDuct, -18.20}, // 21
        {airConditionerWindow, -20.04}, // 22
        {aircraftCabin, -17.85}, // 23
        {trainCabin, -18.69}, // 24
        {aquariumAirStone, -21.92}, // 25
        {aquariumFilter, -20.76}, // 26
        {fan, -19.57}, // 27
        {hoover, -20.57}, // 28
        {fire, -18.22}, // 29
        {hairdryerHot, -21.01}, // 30
        {hairdryerLow, -20.23}, // 31
        {vacuumCanister, -21.03}, // 32
        {vacuumCentral, -18.90}, // 33
        {vacuumHandheld, -21.40}, // 34
        {vacuumWorkshop, -20.19}, // 35
    };
    static_assert(std::size(table) == 35);
    if (number < 1 || number > 35)
        return nullptr;
    return &table[number - 1];
}

} // namespace

bool hasEndless(int number)
{
    return endless(number) != nullptr;
}

std::unique_ptr<audio::Generator> makeEndless(int number, std::uint64_t seed)
{
    const Endless* e = endless(number);
    const SoundRecipe* recipe = findRecipe(number);
    if (!e || !recipe)
        return nullptr;
    Rng rng(seed * 0x9E3779B97F4A7C15ull + std::uint64_t(number));
    auto sound = e->make(recipe->rate, rng);
    sound->setLevelDb(e->levelDb);
    return sound;
}

} // namespace sonaveil::synth
