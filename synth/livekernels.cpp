#include "synth/livekernels.h"

#include "synth/simd.h"

#include <cmath>
#include <numbers>

namespace sonaveil::synth::live {

namespace {

constexpr int kPhasors = 4096;

} // namespace

// Unit phasors for the noise spectra: a random index per bin is cheaper than a sine and cosine.
const std::vector<float>& phasors()
{
    static const std::vector<float> table = [] {
        std::vector<float> t(2 * kPhasors);
        for (int i = 0; i < kPhasors; ++i) {
            t[std::size_t(2 * i)] = float(std::cos(2.0 * std::numbers::pi * i / kPhasors));
            t[std::size_t(2 * i + 1)] = float(std::sin(2.0 * std::numbers::pi * i / kPhasors));
        }
        return t;
    }();
    return table;
}

namespace {

SONAVEIL_INLINE void multiplyRampPlain(float* __restrict x, int n, float g0, float g1)
{
    const float step = (g1 - g0) / float(n);
    for (int i = 0; i < n; ++i)
        x[i] *= g0 + step * float(i);
}

SONAVEIL_INLINE void addRampPlain(float* __restrict out, const float* __restrict x, int n, float g0, float g1)
{
    const float step = (g1 - g0) / float(n);
    for (int i = 0; i < n; ++i)
        out[i] += (g0 + step * float(i)) * x[i];
}

SONAVEIL_INLINE void addScaledBody(float* __restrict r, const float* __restrict k, int n, float gain)
{
    for (int i = 0; i < n; ++i)
        r[i] += gain * k[i];
}

SONAVEIL_INLINE void addScaled16Body(float* __restrict r, const std::int16_t* __restrict k, int n, float gain)
{
    for (int i = 0; i < n; ++i)
        r[i] += gain * float(k[i]);
}

// o += r, r = 0.
SONAVEIL_INLINE void drainBody(float* __restrict o, float* __restrict r, int n)
{
    for (int i = 0; i < n; ++i) {
        o[i] += r[i];
        r[i] = 0.0f;
    }
}

// The overlap of two noise frames: the head of `frame` fades in over the saved tail of the last,
// and its own tail is saved, faded out, for the next.
SONAVEIL_INLINE void crossFadeBody(float* __restrict frame, float* __restrict overlap, const float* __restrict w,
                                   int n, int tail)
{
    for (int i = 0; i < n; ++i)
        frame[i] = overlap[i] + w[i] * frame[i];
    for (int i = 0; i < n; ++i)
        overlap[i] = w[n - 1 - i] * frame[tail + i];
}

} // namespace

SONAVEIL_DISPATCH(void, addScaled, (float* r, const float* k, int n, float gain), (r, k, n, gain))
SONAVEIL_DISPATCH(void, addScaled16, (float* r, const std::int16_t* k, int n, float gain), (r, k, n, gain))
SONAVEIL_DISPATCH(void, drain, (float* o, float* r, int n), (o, r, n))
SONAVEIL_DISPATCH(void, crossFade, (float* frame, float* overlap, const float* w, int n, int tail),
                  (frame, overlap, w, n, tail))

namespace {

// v[i] = the table (2^bits entries and a guard) read with linear interpolation at phase + i step,
// for kBlock frames; the phase's top bits are the index.
void readTablePlain(const float* t, int bits, std::uint32_t phase, std::uint32_t step, float* __restrict v, int n)
{
    const int shift = 32 - bits;
    const std::uint32_t mask = (1u << shift) - 1;
    const float scale = 1.0f / float(1u << shift);
    for (int i = 0; i < n; ++i) {
        const std::uint32_t ph = phase + std::uint32_t(i) * step;
        const std::uint32_t index = ph >> shift;
        const float frac = float(ph & mask) * scale;
        v[i] = t[index] + frac * (t[index + 1] - t[index]);
    }
}

#ifdef SONAVEIL_SIMD_X86
SONAVEIL_AVX2_TARGET void readTableAvx2(const float* t, int bits, std::uint32_t phase, std::uint32_t step, float* v,
                                        int n)
{
    const int shift = 32 - bits;
    const __m256i mask = _mm256_set1_epi32(int((1u << shift) - 1));
    const __m256 scale = _mm256_set1_ps(1.0f / float(1u << shift));
    const __m128i s = _mm_cvtsi32_si128(shift);
    __m256i ph = _mm256_add_epi32(_mm256_set1_epi32(int(phase)),
                                  _mm256_mullo_epi32(_mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7),
                                                     _mm256_set1_epi32(int(step))));
    const __m256i inc = _mm256_set1_epi32(int(8u * step));
    for (int i = 0; i < n; i += 8) {
        const __m256i index = _mm256_srl_epi32(ph, s);
        const __m256 frac = _mm256_mul_ps(_mm256_cvtepi32_ps(_mm256_and_si256(ph, mask)), scale);
        const __m256 a = _mm256_i32gather_ps(t, index, 4);
        const __m256 b = _mm256_i32gather_ps(t + 1, index, 4);
        _mm256_storeu_ps(v + i, _mm256_fmadd_ps(frac, _mm256_sub_ps(b, a), a));
        ph = _mm256_add_epi32(ph, inc);
    }
}
#endif

} // namespace

void readTable(const float* t, int bits, std::uint32_t phase, std::uint32_t step, float* v, int n)
{
    SONAVEIL_PICK(readTable, (t, bits, phase, step, v, n));
}

namespace {

// y[n] = sum over t < phases of taps[(n & 3) + 4t] · h[n - 4t] for the kBlock frames of a block,
// h the history of held baseband frames at the block's start: four-fold polyphase interpolation.
SONAVEIL_INLINE void interpolateBody(const float* __restrict taps, int phases, const float* __restrict h,
                                     float* __restrict y)
{
    constexpr int d = Baseband::kDecimation;
    for (int n = 0; n < kBlock; ++n)
        y[n] = 0.0f;
    for (int t = 0; t < phases; ++t) {
        const float* __restrict c = taps + d * t;
        const float* __restrict x = h - d * t;
        for (int n = 0; n < kBlock; ++n)
            y[n] += c[n & (d - 1)] * x[n];
    }
}

#ifdef SONAVEIL_SIMD_X86
// Unrolled for each length the interpolator can have.
template <int phases>
SONAVEIL_AVX2_TARGET void interpolateAvx2(const float* taps, const float* h, float* y)
{
    constexpr int d = Baseband::kDecimation;
    static_assert(d == 4, "eight lanes hold two rounds of the four phases");
    __m256 acc[kBlock / 8];
    for (__m256& a : acc)
        a = _mm256_setzero_ps();
    for (int t = 0; t < phases; ++t) {
        const __m128 c4 = _mm_loadu_ps(taps + d * t);
        const __m256 c = _mm256_insertf128_ps(_mm256_castps128_ps256(c4), c4, 1);
        const float* x = h - d * t;
        for (int g = 0; g < kBlock / 8; ++g)
            acc[g] = _mm256_fmadd_ps(c, _mm256_loadu_ps(x + 8 * g), acc[g]);
    }
    for (int g = 0; g < kBlock / 8; ++g)
        _mm256_storeu_ps(y + 8 * g, acc[g]);
}
#endif

} // namespace

void interpolate(const float* taps, int phases, const float* h, float* y)
{
#ifdef SONAVEIL_SIMD_X86
    static_assert(Baseband::kTaps == 16 * Baseband::kDecimation, "the lengths below");
    if (simd::avx2()) {
        using Kernel = void (*)(const float*, const float*, float*);
        static constexpr Kernel kernels[] = {
            interpolateAvx2<1>,  interpolateAvx2<2>,  interpolateAvx2<3>,  interpolateAvx2<4>,
            interpolateAvx2<5>,  interpolateAvx2<6>,  interpolateAvx2<7>,  interpolateAvx2<8>,
            interpolateAvx2<9>,  interpolateAvx2<10>, interpolateAvx2<11>, interpolateAvx2<12>,
            interpolateAvx2<13>, interpolateAvx2<14>, interpolateAvx2<15>, interpolateAvx2<16>,
        };
        return kernels[phases - 1](taps, h, y);
    }
#endif
    interpolateBody(taps, phases, h, y);
}

namespace {

// Doubles the rate of n frames x[0 … n) (the frames before x[0] are its history): out[2m] is
// x[m - half], the middle tap's phase (a delay), and out[2m + 1] the odd phase's 2 · half taps.
SONAVEIL_INLINE void doubleRatePlain(const float* __restrict taps, int half, const float* __restrict x, int n,
                                     float* __restrict out)
{
    float odd[2 * Baseband::kFrames];
    for (int m = 0; m < n; ++m)
        odd[m] = 0.0f;
    for (int i = 0; i < 2 * half; ++i) {
        const float c = taps[i];
        const float* __restrict from = x - i;
        for (int m = 0; m < n; ++m)
            odd[m] += c * from[m];
    }
    const float* __restrict even = x - half;
    for (int m = 0; m < n; ++m) {
        out[2 * m] = even[m];
        out[2 * m + 1] = odd[m];
    }
}

#ifdef SONAVEIL_SIMD_X86
// The same by hand for groups · 8 frames: each tap's products for all groups at once, then each
// group's delayed and filtered frames interleaved.
template <int groups>
SONAVEIL_AVX2_TARGET SONAVEIL_INLINE void doubleRateAvx2(const float* taps, int half, const float* x, float* out)
{
    __m256 odd[groups];
    for (__m256& o : odd)
        o = _mm256_setzero_ps();
    for (int i = 0; i < 2 * half; ++i) {
        const __m256 c = _mm256_broadcast_ss(taps + i);
        for (int g = 0; g < groups; ++g)
            odd[g] = _mm256_fmadd_ps(c, _mm256_loadu_ps(x + 8 * g - i), odd[g]);
    }
    for (int g = 0; g < groups; ++g) {
        const __m256 even = _mm256_loadu_ps(x + 8 * g - half);
        const __m256 lo = _mm256_unpacklo_ps(even, odd[g]), hi = _mm256_unpackhi_ps(even, odd[g]);
        _mm256_storeu_ps(out + 16 * g, _mm256_permute2f128_ps(lo, hi, 0x20));
        _mm256_storeu_ps(out + 16 * g + 8, _mm256_permute2f128_ps(lo, hi, 0x31));
    }
}
#endif

// out += Re((yr + i yi) · (cr + i ci) · (tr + i ti)): the interpolated band turned up to its
// centre, (cr, ci) the phase at the block's start, (tr, ti) the turn since.
SONAVEIL_INLINE void shiftUpBody(const float* __restrict yr, const float* __restrict yi, float cr, float ci,
                                 const float* __restrict tr, const float* __restrict ti, float* __restrict out)
{
    for (int n = 0; n < kBlock; ++n) {
        const float re = cr * tr[n] - ci * ti[n], im = cr * ti[n] + ci * tr[n];
        out[n] += yr[n] * re - yi[n] * im;
    }
}

} // namespace

SONAVEIL_DISPATCH(void, shiftUp,
                  (const float* yr, const float* yi, float cr, float ci, const float* tr, const float* ti, float* out),
                  (yr, yi, cr, ci, tr, ti, out))

namespace {

SONAVEIL_INLINE void moveOn(const BandUp& b)
{
    constexpr int n = Baseband::kFrames;
    float* xr = b.xr - b.historyFirst;
    float* xi = b.xi - b.historyFirst;
    for (int i = 0; i < b.historyFirst; ++i) {
        xr[i] = xr[i + n];
        xi[i] = xi[i + n];
    }
    for (int i = 0; i < n; ++i) {
        b.xr[i] = 0.0f;
        b.xi[i] = 0.0f;
    }
    float* zr = b.zr - b.historySecond;
    float* zi = b.zi - b.historySecond;
    for (int i = 0; i < b.historySecond; ++i) {
        zr[i] = zr[i + 2 * n];
        zi[i] = zi[i + 2 * n];
    }
}

void bandUpPlain(const BandUp& b, float cr, float ci, const float* tr, const float* ti, float* out)
{
    constexpr int n = Baseband::kFrames;
    alignas(32) float yr[kBlock], yi[kBlock];
    doubleRatePlain(b.firstTaps, b.first, b.xr, n, b.zr);
    doubleRatePlain(b.firstTaps, b.first, b.xi, n, b.zi);
    doubleRatePlain(b.secondTaps, b.second, b.zr, 2 * n, yr);
    doubleRatePlain(b.secondTaps, b.second, b.zi, 2 * n, yi);
    shiftUpBody(yr, yi, cr, ci, tr, ti, out);
    moveOn(b);
}

#ifdef SONAVEIL_SIMD_X86
SONAVEIL_AVX2_TARGET void bandUpAvx2(const BandUp& b, float cr, float ci, const float* tr, const float* ti, float* out)
{
    static_assert(Baseband::kFrames == 16, "two groups of eight, then four");
    alignas(32) float yr[kBlock], yi[kBlock];
    doubleRateAvx2<2>(b.firstTaps, b.first, b.xr, b.zr);
    doubleRateAvx2<2>(b.firstTaps, b.first, b.xi, b.zi);
    doubleRateAvx2<4>(b.secondTaps, b.second, b.zr, yr);
    doubleRateAvx2<4>(b.secondTaps, b.second, b.zi, yi);
    shiftUpBody(yr, yi, cr, ci, tr, ti, out);
    moveOn(b);
}
#endif

} // namespace

void bandUp(const BandUp& b, float cr, float ci, const float* tr, const float* ti, float* out)
{
    SONAVEIL_PICK(bandUp, (b, cr, ci, tr, ti, out));
}

namespace {

// re[i] += g(i) · shape[i] · f[2i], im[i] += … f[2i + 1]: interleaved complex frames into a band,
// g ramping from g0 by `step` a frame.
SONAVEIL_INLINE void addToBandBody(const float* __restrict f, const float* __restrict shape, float g0, float step,
                                   float* __restrict re, float* __restrict im)
{
    for (int i = 0; i < Baseband::kFrames; ++i) {
        const float g = (g0 + step * float(i)) * shape[i];
        re[i] += g * f[2 * i];
        im[i] += g * f[2 * i + 1];
    }
}

} // namespace

SONAVEIL_DISPATCH(void, addToBand, (const float* f, const float* shape, float g0, float step, float* re, float* im),
                  (f, shape, g0, step, re, im))

namespace {

// Bins k0 … k1 (a multiple of 8 apart) of a noise spectrum: magnitude times a random phasor, the
// phases from eight xorshift generators, one for each of eight neighbouring bins.
void fillBinsPlain(float* __restrict bins, const float* __restrict magnitude, std::uint32_t* lanes, int k0, int k1)
{
    const float* __restrict ph = phasors().data();
    for (int k = k0; k < k1; k += 8)
        for (int j = 0; j < 8; ++j) {
            std::uint32_t x = lanes[j];
            x ^= x << 13;
            x ^= x >> 17;
            x ^= x << 5;
            lanes[j] = x;
            const std::size_t p = std::size_t(x >> 20) * 2;
            const float m = magnitude[k + j];
            bins[2 * (k + j)] = m * ph[p];
            bins[2 * (k + j) + 1] = m * ph[p + 1];
        }
}

#ifdef SONAVEIL_SIMD_X86
SONAVEIL_AVX2_TARGET void fillBinsAvx2(float* bins, const float* magnitude, std::uint32_t* lanes, int k0, int k1)
{
    const float* ph = phasors().data();
    __m256i x = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(lanes));
    for (int k = k0; k < k1; k += 8) {
        x = _mm256_xor_si256(x, _mm256_slli_epi32(x, 13));
        x = _mm256_xor_si256(x, _mm256_srli_epi32(x, 17));
        x = _mm256_xor_si256(x, _mm256_slli_epi32(x, 5));
        const __m256i p = _mm256_slli_epi32(_mm256_srli_epi32(x, 20), 1);
        const __m256 m = _mm256_loadu_ps(magnitude + k);
        const __m256 re = _mm256_mul_ps(m, _mm256_i32gather_ps(ph, p, 4));
        const __m256 im = _mm256_mul_ps(m, _mm256_i32gather_ps(ph + 1, p, 4));
        const __m256 lo = _mm256_unpacklo_ps(re, im), hi = _mm256_unpackhi_ps(re, im);
        _mm256_storeu_ps(bins + 2 * k, _mm256_permute2f128_ps(lo, hi, 0x20));
        _mm256_storeu_ps(bins + 2 * k + 8, _mm256_permute2f128_ps(lo, hi, 0x31));
    }
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(lanes), x);
}
#endif

} // namespace

void fillBins(float* bins, const float* magnitude, std::uint32_t* lanes, int k0, int k1)
{
    SONAVEIL_PICK(fillBins, (bins, magnitude, lanes, k0, k1));
}

// e^(2πik / n) for k < n / 2, interleaved, n = NoiseStream::kSize: the twist that folds a real
// spectrum of n points into a complex one of n / 2.
const std::vector<float>& halfTwist()
{
    static const std::vector<float> table = [] {
        constexpr int n = NoiseStream::kSize;
        std::vector<float> t(static_cast<std::size_t>(n));
        for (int k = 0; k < n / 2; ++k) {
            t[std::size_t(2 * k)] = float(std::cos(2.0 * std::numbers::pi * k / n));
            t[std::size_t(2 * k + 1)] = float(std::sin(2.0 * std::numbers::pi * k / n));
        }
        return t;
    }();
    return table;
}

namespace {

// From the bins x[0 … n/2] of a real signal's spectrum, the n / 2 complex bins whose inverse
// transform holds the signal's even frames as real parts and its odd frames as imaginary parts:
// z[k] = (x[k] + x*[n/2 - k]) + i (x[k] - x*[n/2 - k]) e^(2πik / n).
void foldPlain(const float* __restrict x, const float* __restrict twist, int n, float* __restrict z)
{
    for (int k = 0; k < n / 2; ++k) {
        const float ar = x[2 * k], ai = x[2 * k + 1];
        const float br = x[n - 2 * k], bi = -x[n - 2 * k + 1];
        const float dr = ar - br, di = ai - bi;
        const float tr = twist[2 * k], ti = twist[2 * k + 1];
        const float or_ = dr * tr - di * ti, oi = dr * ti + di * tr;
        z[2 * k] = ar + br - oi;
        z[2 * k + 1] = ai + bi + or_;
    }
}

#ifdef SONAVEIL_SIMD_X86
SONAVEIL_AVX2_TARGET void foldAvx2(const float* x, const float* twist, int n, float* z)
{
    const __m256 conj = _mm256_setr_ps(0.0f, -0.0f, 0.0f, -0.0f, 0.0f, -0.0f, 0.0f, -0.0f);
    const __m256 negRe = _mm256_setr_ps(-0.0f, 0.0f, -0.0f, 0.0f, -0.0f, 0.0f, -0.0f, 0.0f);
    for (int k = 0; k < n / 2; k += 4) {
        const __m256 a = _mm256_loadu_ps(x + 2 * k);
        // x[n/2 - k - 3 … n/2 - k], turned round a complex value at a time, conjugated.
        const __m256 r = _mm256_loadu_ps(x + n - 2 * k - 6);
        const __m256 b = _mm256_xor_ps(_mm256_castpd_ps(_mm256_permute4x64_pd(_mm256_castps_pd(r), 0x1B)), conj);
        const __m256 d = _mm256_sub_ps(a, b);
        const __m256 t = _mm256_loadu_ps(twist + 2 * k);
        // o = d · t
        const __m256 o = _mm256_fmaddsub_ps(_mm256_moveldup_ps(d), t,
                                            _mm256_mul_ps(_mm256_movehdup_ps(d), _mm256_permute_ps(t, 0xB1)));
        // i · o = (-oi, or)
        const __m256 io = _mm256_xor_ps(_mm256_permute_ps(o, 0xB1), negRe);
        _mm256_storeu_ps(z + 2 * k, _mm256_add_ps(_mm256_add_ps(a, b), io));
    }
}
#endif

} // namespace

void fold(const float* x, const float* twist, int n, float* z)
{
    SONAVEIL_PICK(fold, (x, twist, n, z));
}

namespace {

#ifdef SONAVEIL_SIMD_X86
// The ramps by hand: eight frames a step with no set-up for odd lengths, the rest (rare) as the
// plain loop does it.
SONAVEIL_AVX2_TARGET void multiplyRampAvx2(float* x, int n, float g0, float g1)
{
    const float step = (g1 - g0) / float(n);
    const __m256 s = _mm256_set1_ps(step), g = _mm256_set1_ps(g0), eight = _mm256_set1_ps(8.0f);
    __m256 index = _mm256_setr_ps(0, 1, 2, 3, 4, 5, 6, 7);
    int i = 0;
    for (; i + 8 <= n; i += 8) {
        _mm256_storeu_ps(x + i, _mm256_mul_ps(_mm256_loadu_ps(x + i), _mm256_fmadd_ps(s, index, g)));
        index = _mm256_add_ps(index, eight);
    }
    for (; i < n; ++i)
        x[i] *= g0 + step * float(i);
}

SONAVEIL_AVX2_TARGET void addRampAvx2(float* out, const float* x, int n, float g0, float g1)
{
    const float step = (g1 - g0) / float(n);
    const __m256 s = _mm256_set1_ps(step), g = _mm256_set1_ps(g0), eight = _mm256_set1_ps(8.0f);
    __m256 index = _mm256_setr_ps(0, 1, 2, 3, 4, 5, 6, 7);
    int i = 0;
    for (; i + 8 <= n; i += 8) {
        const __m256 ramp = _mm256_fmadd_ps(s, index, g);
        _mm256_storeu_ps(out + i, _mm256_fmadd_ps(ramp, _mm256_loadu_ps(x + i), _mm256_loadu_ps(out + i)));
        index = _mm256_add_ps(index, eight);
    }
    for (; i < n; ++i)
        out[i] += (g0 + step * float(i)) * x[i];
}
#endif

} // namespace

void multiplyRamp(float* x, int n, float g0, float g1)
{
    SONAVEIL_PICK(multiplyRamp, (x, n, g0, g1));
}

void addRamp(float* out, const float* x, int n, float g0, float g1)
{
    SONAVEIL_PICK(addRamp, (out, x, n, g0, g1));
}

} // namespace sonaveil::synth::live
