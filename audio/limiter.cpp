#include "audio/limiter.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define SONAVEIL_X86 1
#endif

namespace sonaveil::audio {

namespace {

// The slow stage: how fast it follows the peaks ahead down, how long it holds, how slowly it
// recovers. The fast stage only recovers, quickly: it takes what the slow stage let through.
// The hold outlasts the second or so in which a steady mix's loudest peaks come round again, so
// such a mix settles at one gain; a gain that rode its peaks would modulate it, heard as
// distortion.
constexpr double kSlowAttackSeconds = 0.02;
constexpr double kHoldSeconds = 1.0;
constexpr double kReleaseSeconds = 2.0;
constexpr double kFastReleaseSeconds = 0.06;

// True peaks are looked for in detail only where a frame comes within this factor of the ceiling:
// between frames a band-limited signal does not rise further above its neighbours than that.
constexpr float kTruePeakHeadroom = 1.8f;

double besselI0(double x)
{
    double sum = 1.0, term = 1.0;
    for (int k = 1; k < 40; ++k) {
        term *= (0.25 * x * x) / (double(k) * double(k));
        sum += term;
    }
    return sum;
}

// The largest of `start` and x[0 … n - 1] (which are not negative).
float largest(const float* x, int n, float start)
{
    int j = 0;
#ifdef __SSE2__
    __m128 m = _mm_set1_ps(start);
    for (; j + 4 <= n; j += 4)
        m = _mm_max_ps(m, _mm_loadu_ps(x + j));
    m = _mm_max_ps(m, _mm_shuffle_ps(m, m, _MM_SHUFFLE(1, 0, 3, 2)));
    m = _mm_max_ps(m, _mm_shuffle_ps(m, m, _MM_SHUFFLE(2, 3, 0, 1)));
    start = _mm_cvtss_f32(m);
#endif
    for (; j < n; ++j)
        start = std::max(start, x[j]);
    return start;
}

// The largest magnitude in either of l[0 … n - 1] and r[0 … n - 1].
float loudestOf(const float* l, const float* r, int n)
{
    float loudest = 0.0f;
    int j = 0;
#ifdef __SSE2__
    const __m128 magnitude = _mm_castsi128_ps(_mm_set1_epi32(0x7fffffff));
    __m128 m = _mm_setzero_ps();
    for (; j + 4 <= n; j += 4)
        m = _mm_max_ps(m, _mm_max_ps(_mm_and_ps(_mm_loadu_ps(l + j), magnitude),
                                     _mm_and_ps(_mm_loadu_ps(r + j), magnitude)));
    m = _mm_max_ps(m, _mm_shuffle_ps(m, m, _MM_SHUFFLE(1, 0, 3, 2)));
    m = _mm_max_ps(m, _mm_shuffle_ps(m, m, _MM_SHUFFLE(2, 3, 0, 1)));
    loudest = _mm_cvtss_f32(m);
#endif
    for (; j < n; ++j)
        loudest = std::max(loudest, std::max(std::fabs(l[j]), std::fabs(r[j])));
    return loudest;
}

float coefficient(double segmentSeconds, double timeConstant)
{
    return float(1.0 - std::exp(-segmentSeconds / timeConstant));
}

using Interpolation = std::array<std::array<float, 16>, 3>;

// Raises peak[j] (j < n) to the largest magnitude, in either channel, of the three points between
// window frames j + 7 and j + 8, interpolated from frames j … j + 15.
void interpolatedPeaksPortable(const Interpolation& h, const float* wl, const float* wr, float* peak, int n,
                               float /*quietBelow*/)
{
    for (int j = 0; j < n; ++j) {
        float p = peak[j];
        for (const auto& row : h) {
            float il = 0.0f, ir = 0.0f;
            for (int i = 0; i < 16; ++i) {
                il += row[std::size_t(i)] * wl[j + i];
                ir += row[std::size_t(i)] * wr[j + i];
            }
            p = std::max(p, std::max(std::fabs(il), std::fabs(ir)));
        }
        peak[j] = p;
    }
}

// `quietBelow`: eight frames whose window stays below it may be passed over (their points cannot
// reach the ceiling).
using PeaksFunction = void (*)(const Interpolation&, const float*, const float*, float*, int, float);

#ifdef SONAVEIL_X86
// Eight frames at a time, each lane a frame; even and odd taps in separate sums so that the
// additions do not wait on each other.
__attribute__((target("avx2,fma"))) void interpolatedPeaksAvx2(const Interpolation& h, const float* wl,
                                                               const float* wr, float* peak, int n,
                                                               float quietBelow)
{
    const __m256 magnitude = _mm256_castsi256_ps(_mm256_set1_epi32(0x7fffffff));
    int j = 0;
    for (; j + 8 <= n; j += 8) {
        // Frames j … j + 22 are read for these eight.
        __m256 window = _mm256_max_ps(_mm256_loadu_ps(wl + j), _mm256_loadu_ps(wl + j + 8));
        window = _mm256_max_ps(window, _mm256_max_ps(_mm256_loadu_ps(wl + j + 15), _mm256_loadu_ps(wr + j)));
        window = _mm256_max_ps(window, _mm256_max_ps(_mm256_loadu_ps(wr + j + 8), _mm256_loadu_ps(wr + j + 15)));
        __m256 low = _mm256_min_ps(_mm256_loadu_ps(wl + j), _mm256_loadu_ps(wl + j + 8));
        low = _mm256_min_ps(low, _mm256_min_ps(_mm256_loadu_ps(wl + j + 15), _mm256_loadu_ps(wr + j)));
        low = _mm256_min_ps(low, _mm256_min_ps(_mm256_loadu_ps(wr + j + 8), _mm256_loadu_ps(wr + j + 15)));
        const __m256 limit = _mm256_set1_ps(quietBelow);
        const __m256 loud = _mm256_or_ps(_mm256_cmp_ps(window, limit, _CMP_GE_OQ),
                                         _mm256_cmp_ps(low, _mm256_sub_ps(_mm256_setzero_ps(), limit), _CMP_LE_OQ));
        if (_mm256_testz_ps(loud, loud))
            continue;
        __m256 acc[3][4];
        for (auto& a : acc)
            for (auto& v : a)
                v = _mm256_setzero_ps();
        for (int i = 0; i < 16; i += 2) {
            const __m256 l0 = _mm256_loadu_ps(wl + j + i), l1 = _mm256_loadu_ps(wl + j + i + 1);
            const __m256 r0 = _mm256_loadu_ps(wr + j + i), r1 = _mm256_loadu_ps(wr + j + i + 1);
            for (int p = 0; p < 3; ++p) {
                const __m256 c0 = _mm256_set1_ps(h[std::size_t(p)][std::size_t(i)]);
                const __m256 c1 = _mm256_set1_ps(h[std::size_t(p)][std::size_t(i + 1)]);
                acc[p][0] = _mm256_fmadd_ps(c0, l0, acc[p][0]);
                acc[p][1] = _mm256_fmadd_ps(c1, l1, acc[p][1]);
                acc[p][2] = _mm256_fmadd_ps(c0, r0, acc[p][2]);
                acc[p][3] = _mm256_fmadd_ps(c1, r1, acc[p][3]);
            }
        }
        __m256 m = _mm256_loadu_ps(peak + j);
        for (auto& a : acc) {
            m = _mm256_max_ps(m, _mm256_and_ps(_mm256_add_ps(a[0], a[1]), magnitude));
            m = _mm256_max_ps(m, _mm256_and_ps(_mm256_add_ps(a[2], a[3]), magnitude));
        }
        _mm256_storeu_ps(peak + j, m);
    }
    interpolatedPeaksPortable(h, wl + j, wr + j, peak + j, n - j, quietBelow);
}
#endif

PeaksFunction choosePeaks()
{
#ifdef SONAVEIL_X86
    if (__builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma"))
        return interpolatedPeaksAvx2;
#endif
    return interpolatedPeaksPortable;
}

const PeaksFunction chosenPeaks = choosePeaks();

} // namespace

Limiter::Limiter(int sampleRate, float ceiling)
    : m_ceiling(ceiling)
{
    const double segmentSeconds = double(kSegment) / double(std::max(sampleRate, 1));
    m_slowAttack = coefficient(segmentSeconds, kSlowAttackSeconds);
    m_releasePerSegment = coefficient(segmentSeconds, kReleaseSeconds);
    m_fastRelease = coefficient(segmentSeconds, kFastReleaseSeconds);
    m_holdSegments = int(std::lround(kHoldSeconds / segmentSeconds));
    // Kaiser-windowed sinc, each phase passing DC at exactly 1.
    constexpr double beta = 5.0;
    constexpr int half = kInterpolationTaps / 2;
    m_quietBelow = ceiling;
    for (int p = 0; p < 3; ++p) {
        const double f = double(p + 1) / 4.0;
        double sum = 0.0;
        std::array<double, kInterpolationTaps> h{};
        for (int j = 0; j < kInterpolationTaps; ++j) {
            const double t = double(j - (half - 1)) - f;
            const double u = t / double(half);
            const double w = besselI0(beta * std::sqrt(std::max(0.0, 1.0 - u * u))) / besselI0(beta);
            h[std::size_t(j)] = std::sin(M_PI * t) / (M_PI * t) * w;
            sum += h[std::size_t(j)];
        }
        for (int j = 0; j < kInterpolationTaps; ++j)
            m_interpolation[std::size_t(p)][std::size_t(j)] = float(h[std::size_t(j)] / sum);
        double magnitudes = 0.0;
        for (int j = 0; j < kInterpolationTaps; ++j)
            magnitudes += std::fabs(double(m_interpolation[std::size_t(p)][std::size_t(j)]));
        // A little below, for the rounding of the sums in single precision.
        m_quietBelow = std::min(m_quietBelow, float(double(ceiling) / (magnitudes * (1.0 + 1e-5))));
    }
    reset();
}

void Limiter::reset()
{
    m_ringL.fill(0.0f);
    m_ringR.fill(0.0f);
    m_peaks.fill(0.0f);
    m_windowL.fill(0.0f);
    m_windowR.fill(0.0f);
    // The ring starts out holding kCoreDelay frames of silence, so the first frame out is
    // output frame 0 of segment 0.
    m_in = kCoreDelay;
    m_gain = m_nextGain = 1.0f;
    m_slow = m_fast = 1.0f;
    m_holdLeft = 0;
}

void Limiter::save(State& state) const
{
    static_assert(std::tuple_size_v<decltype(state.historyL)> == kHistory);
    state.in = m_in;
    state.gain = m_gain;
    state.nextGain = m_nextGain;
    state.slow = m_slow;
    state.fast = m_fast;
    state.holdLeft = m_holdLeft;
    state.peaks = m_peaks;
    // The ring's other half holds frames already gone out: never read again before it is
    // written over.
    constexpr std::uint64_t mask = kRingFrames - 1;
    const std::uint64_t from = m_in - kCoreDelay;
    for (int i = 0; i < kCoreDelay; ++i) {
        state.delayedL[std::size_t(i)] = m_ringL[(from + std::uint64_t(i)) & mask];
        state.delayedR[std::size_t(i)] = m_ringR[(from + std::uint64_t(i)) & mask];
    }
    // The rest of the window is the chunk being measured, made afresh by every process().
    std::copy_n(m_windowL.begin(), kHistory, state.historyL.begin());
    std::copy_n(m_windowR.begin(), kHistory, state.historyR.begin());
}

void Limiter::restore(const State& state)
{
    m_in = state.in;
    m_gain = state.gain;
    m_nextGain = state.nextGain;
    m_slow = state.slow;
    m_fast = state.fast;
    m_holdLeft = state.holdLeft;
    m_peaks = state.peaks;
    constexpr std::uint64_t mask = kRingFrames - 1;
    const std::uint64_t from = m_in - kCoreDelay;
    for (int i = 0; i < kCoreDelay; ++i) {
        m_ringL[(from + std::uint64_t(i)) & mask] = state.delayedL[std::size_t(i)];
        m_ringR[(from + std::uint64_t(i)) & mask] = state.delayedR[std::size_t(i)];
    }
    std::copy(state.historyL.begin(), state.historyL.end(), m_windowL.begin());
    std::copy(state.historyR.begin(), state.historyR.end(), m_windowR.begin());
}

float Limiter::needOf(std::uint64_t segment) const
{
    const float peak = m_peaks[segment % kPeakSlots];
    return peak > m_ceiling ? m_ceiling / peak : 1.0f;
}

float Limiter::planPoint(std::uint64_t segment)
{
    // `segment` - 1 is the segment about to go out; its input and that of the next
    // kLookAheadSegments - 1 segments are known. Requirement m is the gain the point
    // segment + m may have at most.
    std::array<float, kLookAheadSegments - 1> required{};
    float lowest = 1.0f;
    for (int m = 0; m + 1 < kLookAheadSegments; ++m) {
        const std::uint64_t s = segment + std::uint64_t(m);
        required[std::size_t(m)] = std::min(needOf(s - 1), needOf(s));
        lowest = std::min(lowest, required[std::size_t(m)]);
    }

    // The slow stage sets the level for sound that stays loud: it follows the peaks ahead down
    // gently, holds, and recovers over seconds, so steady sound is not pumped.
    if (lowest < m_slow) {
        m_slow += (lowest - m_slow) * m_slowAttack;
        m_holdLeft = m_holdSegments;
    } else if (m_holdLeft > 0) {
        --m_holdLeft;
    } else {
        m_slow += (1.0f - m_slow) * m_releasePerSegment;
    }

    // The fast stage takes the rest: it heads for every requirement in a straight line so as to
    // meet it just in time (m = 0 is met at this very point, which is what keeps the ceiling),
    // and lets go within tens of milliseconds, while the peak that needed it still masks it.
    const float previous = m_fast;
    float fast = std::min(1.0f, previous + (1.0f - previous) * m_fastRelease);
    for (int m = 0; m + 1 < kLookAheadSegments; ++m)
        fast = std::min(fast, previous + (required[std::size_t(m)] / m_slow - previous) / float(m + 1));
    m_fast = fast;
    return m_slow * fast;
}

void Limiter::process(float* left, float* right, int frames)
{
    for (int k = 0; k < frames; k += kChunk) {
        const int n = std::min(kChunk, frames - k);
        findTruePeaks(left + k, right + k, n);
        limit(left + k, right + k, n);
    }
}

void Limiter::findTruePeaks(const float* left, const float* right, int n)
{
    constexpr int before = kInterpolationTaps / 2 - 1;
    // Window index of the frame measured for chunk frame j (j + measured), kTruePeakLag before it.
    constexpr int measured = kHistory - kTruePeakLag;
    static_assert(kTruePeakLag >= kInterpolationTaps / 2 && measured >= before);
    float* wl = m_windowL.data();
    float* wr = m_windowR.data();
    std::copy_n(left, n, wl + kHistory);
    std::copy_n(right, n, wr + kHistory);
    const float loudest = loudestOf(wl, wr, kHistory + n);
    const bool detailed = loudest * kTruePeakHeadroom > m_ceiling;

    for (int j = 0; j < n; ++j) {
        const float l = wl[j + measured], r = wr[j + measured];
        m_delayedL[std::size_t(j)] = l;
        m_delayedR[std::size_t(j)] = r;
        m_truePeak[std::size_t(j)] = std::max(std::fabs(l), std::fabs(r));
    }
    if (detailed)
        chosenPeaks(m_interpolation, wl + measured - before, wr + measured - before, m_truePeak.data(), n,
                    m_quietBelow);
    std::memmove(wl, wl + n, sizeof(float) * kHistory);
    std::memmove(wr, wr + n, sizeof(float) * kHistory);
}

void Limiter::limit(float* left, float* right, int frames)
{
    constexpr std::uint64_t mask = kRingFrames - 1;
    constexpr float perFrame = 1.0f / float(kSegment);
    int k = 0;
    while (k < frames) {
        const std::uint64_t in = m_in;
        const std::uint64_t out = in - kCoreDelay;
        const int offset = int(out % kSegment);
        const std::uint64_t inSegment = in / kSegment;
        if (offset == 0) {
            m_gain = m_nextGain;
            m_peaks[inSegment % kPeakSlots] = 0.0f;
            m_nextGain = planPoint(out / kSegment + 1);
        }
        const int n = std::min(frames - k, kSegment - offset);
        // A segment never straddles the ring's end (both are multiples of kSegment), so the
        // frames going in and out lie side by side in it.
        float* __restrict inL = m_ringL.data() + (in & mask);
        float* __restrict inR = m_ringR.data() + (in & mask);
        const float* __restrict outL = m_ringL.data() + ((in - kCoreDelay) & mask);
        const float* __restrict outR = m_ringR.data() + ((in - kCoreDelay) & mask);
        float* __restrict l = left + k;
        float* __restrict r = right + k;
        const float* __restrict dl = m_delayedL.data() + k;
        const float* __restrict dr = m_delayedR.data() + k;
        const float* __restrict tp = m_truePeak.data() + k;
        const float peak = largest(tp, n, m_peaks[inSegment % kPeakSlots]);
        const float g0 = m_gain + (m_nextGain - m_gain) * perFrame * float(offset);
        const float dg = (m_nextGain - m_gain) * perFrame;
        int j = 0;
#ifdef __SSE2__
        for (; j + 4 <= n; j += 4) {
            const __m128 at = _mm_setr_ps(float(j), float(j + 1), float(j + 2), float(j + 3));
            const __m128 g = _mm_add_ps(_mm_set1_ps(g0), _mm_mul_ps(_mm_set1_ps(dg), at));
            const __m128 xl = _mm_loadu_ps(dl + j), xr = _mm_loadu_ps(dr + j);
            _mm_storeu_ps(l + j, _mm_mul_ps(_mm_loadu_ps(outL + j), g));
            _mm_storeu_ps(r + j, _mm_mul_ps(_mm_loadu_ps(outR + j), g));
            _mm_storeu_ps(inL + j, xl);
            _mm_storeu_ps(inR + j, xr);
        }
#endif
        for (; j < n; ++j) {
            const float g = g0 + dg * float(j);
            const float xl = dl[j], xr = dr[j];
            l[j] = outL[j] * g;
            r[j] = outR[j] * g;
            inL[j] = xl;
            inR[j] = xr;
        }
        m_peaks[inSegment % kPeakSlots] = peak;
        m_in += std::uint64_t(n);
        k += n;
    }
}

} // namespace sonaveil::audio
