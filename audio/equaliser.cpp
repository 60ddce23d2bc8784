#include "audio/equaliser.h"

#include <algorithm>
#include <cmath>
#include <complex>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define SONAVEIL_X86 1
#endif

namespace sonaveil::audio {

namespace {
constexpr float kPi = 3.14159265358979f;
// Time constant of a band's glide to a new setting.
constexpr float kGlideSeconds = 0.015f;

// One pipeline step for every lane: x is each lane's input, y receives its output.
inline void stepLanes(const float* b0, const float* b1, const float* b2, const float* a1,
                      const float* a2, const float* x, float* y, float* s1, float* s2)
{
    for (int j = 0; j < Equaliser::kLanes; ++j) {
        y[j] = b0[j] * x[j] + s1[j];
        s1[j] = b1[j] * x[j] - a1[j] * y[j] + s2[j];
        s2[j] = b2[j] * x[j] - a2[j] * y[j];
    }
}

} // namespace

void Equaliser::runPipeline(Lanes& l, float* left, float* right, int frames)
{
#ifdef SONAVEIL_X86
    if (s_avx2) {
        runPipelineAvx2(l, left, right, frames);
        return;
    }
#endif
    alignas(32) float x[kLanes];
    for (int n = 0; n < frames; ++n) {
        x[0] = left[n];
        x[1] = right[n];
        for (int j = 2; j < kLanes; ++j)
            x[j] = l.y[j - 2];
        stepLanes(l.b0, l.b1, l.b2, l.a1, l.a2, x, l.y, l.s1, l.s2);
        left[n] = l.y[kLanes - 2];
        right[n] = l.y[kLanes - 1];
    }
}

#ifdef SONAVEIL_X86
const bool Equaliser::s_avx2 = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");

__attribute__((target("avx2,fma"))) void Equaliser::runPipelineAvx2(Lanes& l, float* left,
                                                                     float* right, int frames)
{
    static_assert(kLanes == 24, "three vectors of eight lanes");
    __m256 b0[3], b1[3], b2[3], a1[3], a2[3], y[3], s1[3], s2[3];
    for (int v = 0; v < 3; ++v) {
        b0[v] = _mm256_load_ps(l.b0 + 8 * v);
        b1[v] = _mm256_load_ps(l.b1 + 8 * v);
        b2[v] = _mm256_load_ps(l.b2 + 8 * v);
        a1[v] = _mm256_load_ps(l.a1 + 8 * v);
        a2[v] = _mm256_load_ps(l.a2 + 8 * v);
        y[v] = _mm256_load_ps(l.y + 8 * v);
        s1[v] = _mm256_load_ps(l.s1 + 8 * v);
        s2[v] = _mm256_load_ps(l.s2 + 8 * v);
    }
    // Rotating a vector by two lanes moves each band's output to the next band's input.
    const __m256i rotate = _mm256_setr_epi32(6, 7, 0, 1, 2, 3, 4, 5);
    for (int n = 0; n < frames; ++n) {
        const __m256 r0 = _mm256_permutevar8x32_ps(y[0], rotate);
        const __m256 r1 = _mm256_permutevar8x32_ps(y[1], rotate);
        const __m256 r2 = _mm256_permutevar8x32_ps(y[2], rotate);
        const __m256 in = _mm256_castps128_ps256(_mm_setr_ps(left[n], right[n], 0.0f, 0.0f));
        __m256 x[3];
        x[0] = _mm256_blend_ps(r0, in, 0x03);
        x[1] = _mm256_blend_ps(r1, r0, 0x03);
        x[2] = _mm256_blend_ps(r2, r1, 0x03);
        for (int v = 0; v < 3; ++v) {
            y[v] = _mm256_fmadd_ps(b0[v], x[v], s1[v]);
            s1[v] = _mm256_fnmadd_ps(a1[v], y[v], _mm256_fmadd_ps(b1[v], x[v], s2[v]));
            s2[v] = _mm256_fnmadd_ps(a2[v], y[v], _mm256_mul_ps(b2[v], x[v]));
        }
        const __m128 last = _mm256_extractf128_ps(y[2], 1);
        left[n] = _mm_cvtss_f32(_mm_shuffle_ps(last, last, 2));
        right[n] = _mm_cvtss_f32(_mm_shuffle_ps(last, last, 3));
    }
    for (int v = 0; v < 3; ++v) {
        _mm256_store_ps(l.y + 8 * v, y[v]);
        _mm256_store_ps(l.s1 + 8 * v, s1[v]);
        _mm256_store_ps(l.s2 + 8 * v, s2[v]);
    }
}
#endif

Equaliser::Equaliser(int sampleRate)
    : m_rate(sampleRate)
{
}

void Equaliser::setBands(const std::array<EqBandSettings, kMaxBands>& bands, int count)
{
    count = std::clamp(count, 0, kMaxBands);
    for (int i = 0; i < kMaxBands; ++i) {
        Band& b = m_bands[std::size_t(i)];
        if (i < count) {
            if (!b.active) {
                // A new band starts flat at its own centre and glides to its gain.
                b.active = true;
                b.logCentre = std::log(std::max(1.0f, bands[std::size_t(i)].centreHz));
                b.bandwidth = bands[std::size_t(i)].bandwidthSemitones;
                b.gain = 0;
                b.c = Coefficients{};
            }
            b.target = bands[std::size_t(i)];
        } else if (b.active) {
            b.target.gainDb = 0; // fades out, dropped when flat
        }
    }
    m_requested = count;
    m_count = std::max(m_count, count);
}

void Equaliser::reset()
{
    std::fill(std::begin(m_lanes.y), std::end(m_lanes.y), 0.0f);
    std::fill(std::begin(m_lanes.s1), std::end(m_lanes.s1), 0.0f);
    std::fill(std::begin(m_lanes.s2), std::end(m_lanes.s2), 0.0f);
}

Equaliser::Coefficients Equaliser::design(float centreHz, float bandwidthSemitones, float gainDb) const
{
    const float nyquistGuard = 0.49f * float(m_rate);
    const float f = std::clamp(centreHz, 10.0f, nyquistGuard);
    const float octaves = std::clamp(bandwidthSemitones, 0.5f, 60.0f) / 12.0f;
    const float a = std::pow(10.0f, std::clamp(gainDb, -40.0f, 40.0f) / 40.0f);
    const float w0 = 2.0f * kPi * f / float(m_rate);
    const float sw = std::sin(w0), cw = std::cos(w0);
    const float alpha = sw * std::sinh(std::log(2.0f) / 2.0f * octaves * w0 / sw);
    const float a0 = 1.0f + alpha / a;
    Coefficients c;
    c.b0 = (1.0f + alpha * a) / a0;
    c.b1 = (-2.0f * cw) / a0;
    c.b2 = (1.0f - alpha * a) / a0;
    c.a1 = (-2.0f * cw) / a0;
    c.a2 = (1.0f - alpha / a) / a0;
    return c;
}

void Equaliser::glide(Band& band, float blockSeconds)
{
    const float k = 1.0f - std::exp(-blockSeconds / kGlideSeconds);
    const float targetLog = std::log(std::max(1.0f, band.target.centreHz));
    const float dLog = targetLog - band.logCentre;
    const float dBw = band.target.bandwidthSemitones - band.bandwidth;
    const float dGain = band.target.gainDb - band.gain;
    if (std::fabs(dLog) < 1e-4f && std::fabs(dBw) < 1e-3f && std::fabs(dGain) < 1e-3f) {
        if (band.logCentre == targetLog && band.bandwidth == band.target.bandwidthSemitones
            && band.gain == band.target.gainDb)
            return;
        band.logCentre = targetLog;
        band.bandwidth = band.target.bandwidthSemitones;
        band.gain = band.target.gainDb;
    } else {
        band.logCentre += dLog * k;
        band.bandwidth += dBw * k;
        band.gain += dGain * k;
    }
    band.c = design(std::exp(band.logCentre), band.bandwidth, band.gain);
}

void Equaliser::process(float* left, float* right, int frames)
{
    const float blockSeconds = float(frames) / float(m_rate);
    for (int i = 0; i < kMaxBands; ++i) {
        Band& band = m_bands[std::size_t(i)];
        if (band.active && i < m_count)
            glide(band, blockSeconds);
        else
            band.c = Coefficients{};
        const Coefficients& c = band.c;
        for (int lane = 2 * i; lane < 2 * i + 2; ++lane) {
            m_lanes.b0[lane] = c.b0;
            m_lanes.b1[lane] = c.b1;
            m_lanes.b2[lane] = c.b2;
            m_lanes.a1[lane] = c.a1;
            m_lanes.a2[lane] = c.a2;
        }
    }
    runPipeline(m_lanes, left, right, frames);

    // Bands that were removed drop out of the chain once they have faded to flat.
    for (int i = m_requested; i < m_count; ++i) {
        Band& band = m_bands[std::size_t(i)];
        if (band.active && band.gain == 0.0f)
            band.active = false;
    }
    while (m_count > m_requested && !m_bands[std::size_t(m_count - 1)].active)
        --m_count;
}

double Equaliser::responseDb(double hz) const
{
    const double w = 2.0 * 3.141592653589793 * hz / double(m_rate);
    const std::complex<double> z1 = std::polar(1.0, -w), z2 = std::polar(1.0, -2.0 * w);
    double db = 0;
    for (int i = 0; i < m_count; ++i) {
        const Band& b = m_bands[std::size_t(i)];
        if (!b.active)
            continue;
        const Coefficients& c = b.c;
        const std::complex<double> h = (double(c.b0) + double(c.b1) * z1 + double(c.b2) * z2)
            / (1.0 + double(c.a1) * z1 + double(c.a2) * z2);
        db += 20.0 * std::log10(std::abs(h));
    }
    return db;
}

} // namespace sonaveil::audio
