#include "audio/resampler.h"

#include <algorithm>
#include <cmath>
#include <mutex>
#include <utility>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define SONAVEIL_X86 1
#endif

namespace sonaveil::audio {

namespace {

// The Kaiser window's shape: about 80 dB of stop band from 1.15 times the cut-off on, flat to
// 0.85 of it, at every length (the length grows with the cut-off's distance to the source's).
constexpr double kBeta = 7.3;
// Faster than natural speed the cut-off sits this far below the output's Nyquist frequency, so
// that what the transition band lets through above it folds back only into the last kilohertz
// or two, and faintly.
constexpr double kFastCutoff = 0.92;

double besselI0(double x)
{
    double sum = 1.0, term = 1.0;
    const double q = 0.25 * x * x;
    for (int k = 1; k < 60; ++k) {
        term *= q / (double(k) * double(k));
        sum += term;
        if (term < 1e-17 * sum)
            break;
    }
    return sum;
}

double sinc(double x)
{
    if (std::fabs(x) < 1e-12)
        return 1.0;
    return std::sin(M_PI * x) / (M_PI * x);
}

std::array<std::atomic<const KernelTable*>, ResamplingKernel::kClasses>& publishedTables()
{
    static std::array<std::atomic<const KernelTable*>, ResamplingKernel::kClasses> tables{};
    return tables;
}

std::array<std::unique_ptr<KernelTable>, ResamplingKernel::kClasses>& ownedTables()
{
    static std::array<std::unique_ptr<KernelTable>, ResamplingKernel::kClasses> tables;
    return tables;
}

// The vector kernel sums a row in eight 32-bit lanes: taps 2m and 2m + 1 of every run of 16
// go to lane m. Each lane must stay inside 32 bits; the lanes are added up in floating point.
constexpr int kLanes = 8;
int laneOf(int tap)
{
    return (tap % 16) / 2;
}

std::mutex& buildMutex()
{
    static std::mutex m;
    return m;
}

void mixDirect(const SourceFrame* s, int n, float gL, float dL, float gR, float dR, float* __restrict outL,
               float* __restrict outR)
{
    constexpr float kScale = 1.0f / 32768.0f;
    for (int k = 0; k < n; ++k) {
        const float y = float(s[k]) * kScale;
        outL[k] += y * (gL + float(k) * dL);
        outR[k] += y * (gR + float(k) * dR);
    }
}

// The dot product of one row with the frames under it, exact.
inline std::int64_t dotPortable(const std::int16_t* s, const std::int16_t* r, int taps)
{
    std::int64_t sum = 0;
    for (int j = 0; j < taps; ++j)
        sum += std::int32_t(s[j]) * std::int32_t(r[j]);
    return sum;
}

// Solves a * x = b (n unknowns, a row-major) by elimination with partial pivoting.
template <std::size_t N>
std::array<double, N> solve(std::array<std::array<double, N>, N> a, std::array<double, N> b)
{
    for (std::size_t col = 0; col < N; ++col) {
        std::size_t pivot = col;
        for (std::size_t r = col + 1; r < N; ++r)
            if (std::fabs(a[r][col]) > std::fabs(a[pivot][col]))
                pivot = r;
        std::swap(a[col], a[pivot]);
        std::swap(b[col], b[pivot]);
        for (std::size_t r = col + 1; r < N; ++r) {
            const double k = a[r][col] / a[col][col];
            for (std::size_t c = col; c < N; ++c)
                a[r][c] -= k * a[col][c];
            b[r] -= k * b[col];
        }
    }
    std::array<double, N> x{};
    for (std::size_t r = N; r-- > 0;) {
        double s = b[r];
        for (std::size_t c = r + 1; c < N; ++c)
            s -= a[r][c] * x[c];
        x[r] = s / a[r][r];
    }
    return x;
}

// Each tap's weight of the first half as a polynomial in u = 2f - 1 through the Chebyshev nodes
// (within a hair of the best fit of its degree); the layout KernelTable::polynomial describes.
template <typename RowAt>
std::vector<float> fitPolynomials(int taps, const RowAt& rowAt)
{
    constexpr std::size_t order = KernelTable::kOrder;
    const int halfTaps = taps / 2;
    std::array<std::array<double, order>, order> vandermonde{};
    std::vector<std::vector<double>> rowsAtNodes(order, std::vector<double>(std::size_t(taps)));
    for (std::size_t k = 0; k < order; ++k) {
        const double u = std::cos(M_PI * (double(k) + 0.5) / double(order));
        double power = 1.0;
        for (std::size_t m = 0; m < order; ++m, power *= u)
            vandermonde[k][m] = power;
        rowAt(0.5 * (u + 1.0), rowsAtNodes[k].data());
    }
    std::vector<float> polynomial(order * std::size_t(halfTaps));
    for (int j = 0; j < halfTaps; ++j) {
        std::array<double, order> values{};
        for (std::size_t k = 0; k < order; ++k)
            values[k] = rowsAtNodes[k][std::size_t(j)];
        const std::array<double, order> a = solve(vandermonde, values);
        for (std::size_t m = 0; m < order; ++m)
            polynomial[m * std::size_t(halfTaps) + std::size_t(j)] = float(a[m] / 32768.0);
    }
    return polynomial;
}

} // namespace

int ResamplingKernel::classFor(std::uint64_t step)
{
    if (step <= (std::uint64_t(1) << 32))
        return 0;
    const double speed = double(step) / 4294967296.0;
    const int c = int(std::ceil(double(kClassesPerOctave) * std::log2(speed) - 1e-9));
    return std::clamp(c, 0, kClasses - 1);
}

double ResamplingKernel::topSpeed(int speedClass)
{
    return std::exp2(double(speedClass) / double(kClassesPerOctave));
}

int ResamplingKernel::tapsOf(int speedClass)
{
    const int taps = int(std::ceil(double(kBaseTaps) * topSpeed(speedClass) - 1e-9));
    return std::min(kMaxTaps, (taps + 7) / 8 * 8);
}

std::unique_ptr<KernelTable> ResamplingKernel::design(int speedClass)
{
    speedClass = std::clamp(speedClass, 0, kClasses - 1);
    auto table = std::make_unique<KernelTable>();
    const int taps = tapsOf(speedClass);
    const int rowsCount = KernelTable::kPhases + 1;
    table->taps = taps;
    // Cut-off in cycles per source frame: the source's Nyquist frequency, lowered with the speed
    // to just below the output's.
    const double cutoff = (speedClass == 0 ? 0.5 : 0.5 * kFastCutoff) / topSpeed(speedClass);
    const double half = 0.5 * double(taps);
    const double windowNorm = 1.0 / besselI0(kBeta);

    std::vector<double> rows(std::size_t(rowsCount) * std::size_t(taps));
    double worstLane = 0.0, worstPeak = 0.0, worstHalf = 0.0;
    // The row at fraction f, passing DC at exactly 1.
    const auto rowAt = [&](double f, double* row) {
        double sum = 0.0;
        for (int j = 0; j < taps; ++j) {
            const double t = double(j - (taps / 2 - 1)) - f;
            const double u = t / half;
            const double w = std::fabs(u) < 1.0 ? besselI0(kBeta * std::sqrt(1.0 - u * u)) * windowNorm : windowNorm;
            row[j] = 2.0 * cutoff * sinc(2.0 * cutoff * t) * w;
            sum += row[j];
        }
        for (int j = 0; j < taps; ++j)
            row[j] /= sum;
    };
    for (int p = 0; p < rowsCount; ++p) {
        double* row = rows.data() + std::size_t(p) * std::size_t(taps);
        rowAt(double(p) / double(KernelTable::kPhases), row);
        std::array<double, kLanes> lanes{};
        std::array<double, 2> halves{};
        for (int j = 0; j < taps; ++j) {
            lanes[std::size_t(laneOf(j))] += std::fabs(row[j]);
            halves[std::size_t(laneOf(j) / 4)] += std::fabs(row[j]);
            worstPeak = std::max(worstPeak, std::fabs(row[j]));
        }
        worstHalf = std::max({worstHalf, halves[0], halves[1]});
        for (double l : lanes)
            worstLane = std::max(worstLane, l);
    }
    // The largest unity for which no coefficient leaves 16 bits and neither a lane's share of a
    // dot product with 16-bit frames (at most 32768 each) nor that of four lanes (lanes 0 … 3 or
    // 4 … 7) leaves 32 bits, rounding included.
    const double byPeak = 32767.0 / worstPeak;
    const double byLane = 65535.0 / (worstLane + 1e-3);
    const double byHalf = 65535.0 / (worstHalf + 1e-3 * taps);
    const int unity = int(std::floor(std::min({byPeak, byLane, byHalf}) * 0.999));
    table->unity = unity;
    table->scale = float(1.0 / (double(unity) * 32768.0));

    table->coefficients.resize(rows.size());
    for (int p = 0; p < rowsCount; ++p) {
        const double* row = rows.data() + std::size_t(p) * std::size_t(taps);
        std::int16_t* q = table->coefficients.data() + std::size_t(p) * std::size_t(taps);
        int sum = 0, biggest = 0;
        for (int j = 0; j < taps; ++j) {
            q[j] = std::int16_t(std::lround(row[j] * unity));
            sum += q[j];
            if (std::abs(q[j]) > std::abs(q[biggest]))
                biggest = j;
        }
        // The rounding's remainder goes to the largest coefficient, where it matters least.
        q[biggest] = std::int16_t(q[biggest] + (unity - sum));
    }
    if (speedClass == 0) {
        table->polynomial = fitPolynomials(taps, rowAt);
        for (float a : table->polynomial) {
            KernelTable::EightLanes lanes;
            std::fill(std::begin(lanes.lane), std::end(lanes.lane), a);
            table->polynomialLanes.push_back(lanes);
        }
    }
    return table;
}

const KernelTable* ResamplingKernel::table(int speedClass)
{
    if (speedClass < 0 || speedClass >= kClasses)
        return nullptr;
    if (speedClass == 0) {
        static const bool built = (build(0), true);
        (void)built;
    }
    return publishedTables()[std::size_t(speedClass)].load(std::memory_order_acquire);
}

const KernelTable* ResamplingKernel::bestBuilt(int speedClass)
{
    speedClass = std::clamp(speedClass, 0, kClasses - 1);
    for (int c = speedClass; c < kClasses; ++c)
        if (const KernelTable* t = table(c))
            return t;
    for (int c = speedClass - 1; c >= 0; --c)
        if (const KernelTable* t = table(c))
            return t;
    return nullptr;
}

void ResamplingKernel::build(int speedClass)
{
    if (speedClass < 0 || speedClass >= kClasses)
        return;
    std::lock_guard lock(buildMutex());
    auto& published = publishedTables()[std::size_t(speedClass)];
    if (published.load(std::memory_order_acquire))
        return;
    auto& owned = ownedTables()[std::size_t(speedClass)];
    owned = design(speedClass);
    published.store(owned.get(), std::memory_order_release);
}

namespace {

constexpr float kFractionToU = 1.0f / float(1 << 23); // (fraction >> 8) * this - 1 is u

// The kOrder sums of one source position: the polynomial in u of its output.
void slowSums(const KernelTable& table, const SourceFrame* s, float* c)
{
    const int taps = table.taps, halfTaps = taps / 2;
    const float* a = table.polynomial.data();
    for (int m = 0; m < KernelTable::kOrder; ++m) {
        const float sign = (m & 1) ? -1.0f : 1.0f;
        float sum = 0.0f;
        for (int j = 0; j < halfTaps; ++j)
            sum += a[m * halfTaps + j] * (float(s[j]) + sign * float(s[taps - 1 - j]));
        c[m] = sum;
    }
}

// The polynomial at u, in pairs (Estrin's scheme: a short chain of dependent steps).
static_assert(KernelTable::kOrder >= 5 && KernelTable::kOrder <= 8);
float polynomialAt(const float* c, float u)
{
    constexpr int order = KernelTable::kOrder;
    const float u2 = u * u, u4 = u2 * u2;
    const float p01 = c[1] * u + c[0], p23 = c[3] * u + c[2];
    float high = c[4];
    if constexpr (order >= 6)
        high = c[5] * u + c[4];
    if constexpr (order == 7)
        high = c[6] * u2 + high;
    if constexpr (order == 8)
        high = (c[7] * u + c[6]) * u2 + high;
    return high * u4 + (p23 * u2 + p01);
}

void mixSlowPortable(const KernelTable& table, const SourceFrame* base, std::uint64_t frac, std::uint64_t step,
                     int n, float gL, float dL, float gR, float dR, float* outL, float* outR)
{
    const SourceFrame* origin = base - (table.taps / 2 - 1);
    std::array<float, KernelTable::kOrder> c{};
    std::uint64_t at = ~std::uint64_t(0);
    std::uint64_t p = frac;
    for (int k = 0; k < n; ++k, p += step) {
        if ((p >> 32) != at) {
            at = p >> 32;
            slowSums(table, origin + at, c.data());
        }
        const float u = float(std::int32_t(std::uint32_t(p) >> 8)) * kFractionToU - 1.0f;
        const float y = polynomialAt(c.data(), u);
        outL[k] += y * (gL + float(k) * dL);
        outR[k] += y * (gR + float(k) * dR);
    }
}

bool slowPathFor(const KernelTable& table, std::uint64_t step)
{
    return step < ResamplingKernel::kSlowStep && !table.polynomial.empty();
}

} // namespace

void mixResampledPortable(const KernelTable& table, const SourceFrame* base, std::uint64_t frac,
                          std::uint64_t step, int n, float gL, float dL, float gR, float dR, float* outL,
                          float* outR)
{
    if (slowPathFor(table, step)) {
        mixSlowPortable(table, base, frac, step, n, gL, dL, gR, dR, outL, outR);
        return;
    }
    constexpr int shift = 32 - KernelTable::kPhaseBits;
    constexpr float weightScale = 1.0f / float(1u << shift);
    const int taps = table.taps;
    const std::int16_t* coefficients = table.coefficients.data();
    const SourceFrame* origin = base - (taps / 2 - 1);
    std::uint64_t p = frac;
    for (int k = 0; k < n; ++k, p += step) {
        const std::uint32_t fraction = std::uint32_t(p);
        const std::int16_t* row = coefficients + std::size_t(fraction >> shift) * std::size_t(taps);
        const float w = float(fraction & ((1u << shift) - 1)) * weightScale;
        const SourceFrame* s = origin + (p >> 32);
        const float d0 = float(dotPortable(s, row, taps));
        const float d1 = float(dotPortable(s, row + taps, taps));
        const float y = (d0 + w * (d1 - d0)) * table.scale;
        outL[k] += y * (gL + float(k) * dL);
        outR[k] += y * (gR + float(k) * dR);
    }
}

using MixFunction = void (*)(const KernelTable&, const SourceFrame*, std::uint64_t, std::uint64_t, int, float,
                             float, float, float, float*, float*);

#ifdef SONAVEIL_X86
namespace {

// One frame: the source frames under it against rows `row` and `row + Taps`, each summed in
// eight 32-bit lanes.
template <int Taps>
__attribute__((target("avx2,fma"))) inline void rowsAvx2(const std::int16_t* s, const std::int16_t* row, __m256i& d0,
                                                         __m256i& d1)
{
    constexpr int wide = Taps / 16;
    __m256i acc0 = _mm256_setzero_si256(), acc1 = _mm256_setzero_si256();
    for (int m = 0; m < wide; ++m) {
        const __m256i x = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + 16 * m));
        acc0 = _mm256_add_epi32(acc0, _mm256_madd_epi16(x, _mm256_loadu_si256(reinterpret_cast<const __m256i*>(row + 16 * m))));
        acc1 = _mm256_add_epi32(acc1, _mm256_madd_epi16(x, _mm256_loadu_si256(reinterpret_cast<const __m256i*>(row + Taps + 16 * m))));
    }
    if constexpr (Taps % 16 != 0) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 16 * wide));
        const __m128i t0 = _mm_madd_epi16(x, _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + 16 * wide)));
        const __m128i t1 = _mm_madd_epi16(x, _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + Taps + 16 * wide)));
        acc0 = _mm256_add_epi32(acc0, _mm256_inserti128_si256(_mm256_setzero_si256(), t0, 0));
        acc1 = _mm256_add_epi32(acc1, _mm256_inserti128_si256(_mm256_setzero_si256(), t1, 0));
    }
    d0 = acc0;
    d1 = acc1;
}

// Eight frames' lane sums, already added in pairs (frames 0 and 1 in pairs[0] …), folded into
// one vector of their eight dot products: within each half of the lanes exactly (no four lanes'
// sum leaves 32 bits), then the halves in floating point.
__attribute__((target("avx2,fma"))) inline __m256 fold8(const __m256i* pairs)
{
    const __m256i h0123 = _mm256_hadd_epi32(pairs[0], pairs[1]);
    const __m256i h4567 = _mm256_hadd_epi32(pairs[2], pairs[3]);
    return _mm256_add_ps(_mm256_cvtepi32_ps(_mm256_permute2x128_si256(h0123, h4567, 0x20)),
                         _mm256_cvtepi32_ps(_mm256_permute2x128_si256(h0123, h4567, 0x31)));
}

template <int Taps>
__attribute__((target("avx2,fma"))) void mixAvx2(const KernelTable& table, const SourceFrame* base, std::uint64_t frac,
                                                 std::uint64_t step, int n, float gL, float dL, float gR, float dR,
                                                 float* outL, float* outR)
{
    constexpr int shift = 32 - KernelTable::kPhaseBits;
    constexpr float weightScale = 1.0f / float(1u << shift);
    const std::int16_t* coefficients = table.coefficients.data();
    const SourceFrame* origin = base - (Taps / 2 - 1);
    const __m256 scale = _mm256_set1_ps(table.scale);
    // The rows are interpolated after the lanes are summed: (sum of row p) + w (sum of row
    // p + 1 - sum of row p), the weights of eight frames worked out side by side from their
    // positions (frames 0, 1, 4, 5 in one vector, 2, 3, 6, 7 in the other: one shuffle puts the
    // fractions in order).
    const long long s = (long long)step;
    __m256i posA = _mm256_add_epi64(_mm256_set1_epi64x((long long)frac), _mm256_setr_epi64x(0, s, 4 * s, 5 * s));
    __m256i posB = _mm256_add_epi64(_mm256_set1_epi64x((long long)frac), _mm256_setr_epi64x(2 * s, 3 * s, 6 * s, 7 * s));
    const __m256i advance = _mm256_set1_epi64x(8 * s);
    const __m256i weightMask = _mm256_set1_epi32((1 << shift) - 1);
    __m256 kf = _mm256_setr_ps(0, 1, 2, 3, 4, 5, 6, 7);
    std::uint64_t p = frac;
    int k = 0;
    const __m256i tapsPerRow = _mm256_set1_epi32(Taps);
    for (; k + 8 <= n; k += 8) {
        // Where the eight frames read, worked out side by side: the source frame and the row.
        const __m256 a8 = _mm256_castsi256_ps(posA), b8 = _mm256_castsi256_ps(posB);
        const __m256i fraction = _mm256_castps_si256(_mm256_shuffle_ps(a8, b8, _MM_SHUFFLE(2, 0, 2, 0)));
        const __m256i whole = _mm256_castps_si256(_mm256_shuffle_ps(a8, b8, _MM_SHUFFLE(3, 1, 3, 1)));
        alignas(32) std::int32_t frameAt[8], rowAt[8];
        _mm256_store_si256(reinterpret_cast<__m256i*>(frameAt), whole);
        _mm256_store_si256(reinterpret_cast<__m256i*>(rowAt),
                           _mm256_mullo_epi32(_mm256_srli_epi32(fraction, shift), tapsPerRow));
        // Each pair of frames' lane sums is added in pairs at once: fewer vectors wait for the fold.
        __m256i d0[4], d1[4];
        for (int f = 0; f < 8; f += 2) {
            __m256i a0, a1, b0, b1;
            rowsAvx2<Taps>(origin + frameAt[f], coefficients + rowAt[f], a0, a1);
            rowsAvx2<Taps>(origin + frameAt[f + 1], coefficients + rowAt[f + 1], b0, b1);
            d0[f / 2] = _mm256_hadd_epi32(a0, b0);
            d1[f / 2] = _mm256_hadd_epi32(a1, b1);
        }
        p += 8 * step;
        const __m256 w = _mm256_mul_ps(_mm256_cvtepi32_ps(_mm256_and_si256(fraction, weightMask)),
                                       _mm256_set1_ps(weightScale));
        posA = _mm256_add_epi64(posA, advance);
        posB = _mm256_add_epi64(posB, advance);
        const __m256 s0 = fold8(d0), s1 = fold8(d1);
        const __m256 y = _mm256_mul_ps(_mm256_fmadd_ps(w, _mm256_sub_ps(s1, s0), s0), scale);
        const __m256 gl = _mm256_fmadd_ps(kf, _mm256_set1_ps(dL), _mm256_set1_ps(gL));
        const __m256 gr = _mm256_fmadd_ps(kf, _mm256_set1_ps(dR), _mm256_set1_ps(gR));
        kf = _mm256_add_ps(kf, _mm256_set1_ps(8.0f));
        _mm256_storeu_ps(outL + k, _mm256_fmadd_ps(y, gl, _mm256_loadu_ps(outL + k)));
        _mm256_storeu_ps(outR + k, _mm256_fmadd_ps(y, gr, _mm256_loadu_ps(outR + k)));
    }
    for (; k < n; ++k, p += step) {
        __m256i a0, a1;
        rowsAvx2<Taps>(origin + (p >> 32), coefficients + std::size_t(std::uint32_t(p) >> shift) * Taps, a0, a1);
        const float w = float(std::uint32_t(p) & ((1u << shift) - 1)) * weightScale;
        // Folded: lane 0 the first row's dot product, lane 1 the second's.
        __m256i h = _mm256_hadd_epi32(a0, a1);
        h = _mm256_hadd_epi32(h, h);
        const __m128 both = _mm_add_ps(_mm_cvtepi32_ps(_mm256_castsi256_si128(h)),
                                       _mm_cvtepi32_ps(_mm256_extracti128_si256(h, 1)));
        const float d0 = _mm_cvtss_f32(both), d1 = _mm_cvtss_f32(_mm_shuffle_ps(both, both, 1));
        const float y = (d0 + w * (d1 - d0)) * table.scale;
        outL[k] += y * (gL + float(k) * dL);
        outR[k] += y * (gR + float(k) * dR);
    }
}

// One instance per kernel length, 32 … kMaxTaps in steps of 8, indexed by taps / 8.
template <int... Eighths>
constexpr std::array<MixFunction, sizeof...(Eighths)> avx2Instances(std::integer_sequence<int, Eighths...>)
{
    return {(Eighths * 8 >= ResamplingKernel::kBaseTaps ? &mixAvx2<std::max(Eighths * 8, 32)> : nullptr)...};
}
constexpr auto kAvx2ByEighths =
    avx2Instances(std::make_integer_sequence<int, ResamplingKernel::kMaxTaps / 8 + 1>());

// Slow voices, up to kSlowChunk output frames at a time: first the polynomial of every source
// position the chunk reads (eight positions side by side, the kernel's halves folded onto each
// other), then eight output frames side by side, each picking its position's polynomial out of
// a window of eight (a slow voice moves less than one position per frame).
constexpr int kSlowChunk = 128;
constexpr int kSlowHalf = ResamplingKernel::kBaseTaps / 2;

// Ramp: the gains move (dL, dR not both 0); steady voices skip working out the gains per frame.
template <bool Ramp>
__attribute__((target("avx2,fma"))) void mixSlowChunkAvx2(const KernelTable& table, const SourceFrame* base,
                                                          std::uint64_t frac, std::uint64_t step, int n, float gL,
                                                          float dL, float gR, float dR, float* outL, float* outR)
{
    constexpr int order = KernelTable::kOrder;
    constexpr int span = kSlowChunk + 8;        // source positions at most, rounded up to eights
    constexpr int reach = 2 * kSlowHalf - 1;    // frames under one position beyond the first
    alignas(32) float x[span + reach + 8];
    alignas(32) float c[order][span + 8];

    const int positions = int((frac + std::uint64_t(n - 1) * step) >> 32) + 1;
    const int rounded = (positions + 7) & ~7;
    const SourceFrame* origin = base - (kSlowHalf - 1);
    for (int i = 0; i < rounded + reach; i += 8)
        _mm256_store_ps(x + i, _mm256_cvtepi32_ps(_mm256_cvtepi16_epi32(
                                   _mm_loadu_si128(reinterpret_cast<const __m128i*>(origin + i)))));
    const float* a = table.polynomialLanes.front().lane;
    for (int q = 0; q < rounded; q += 8) {
        __m256 acc[order];
        for (auto& v : acc)
            v = _mm256_setzero_ps();
        for (int j = 0; j < kSlowHalf; ++j) {
            const __m256 lo = _mm256_loadu_ps(x + q + j), hi = _mm256_loadu_ps(x + q + reach - j);
            const __m256 even = _mm256_add_ps(lo, hi), odd = _mm256_sub_ps(lo, hi);
            for (int m = 0; m < order; ++m)
                acc[m] = _mm256_fmadd_ps(_mm256_load_ps(a + 8 * (m * kSlowHalf + j)), (m & 1) ? odd : even, acc[m]);
        }
        for (int m = 0; m < order; ++m)
            _mm256_store_ps(c[m] + q, acc[m]);
    }
    for (int m = 0; m < order; ++m)
        _mm256_store_ps(c[m] + rounded, _mm256_setzero_ps());

    const __m256 toU = _mm256_set1_ps(kFractionToU), minusOne = _mm256_set1_ps(-1.0f);
    __m256 kf = _mm256_setr_ps(0, 1, 2, 3, 4, 5, 6, 7);
    // Frames 0, 1, 4, 5 and 2, 3, 6, 7 of each eight: one shuffle puts their halves in order.
    const long long s = (long long)step;
    __m256i posA = _mm256_add_epi64(_mm256_set1_epi64x((long long)frac), _mm256_setr_epi64x(0, s, 4 * s, 5 * s));
    __m256i posB = _mm256_add_epi64(_mm256_set1_epi64x((long long)frac), _mm256_setr_epi64x(2 * s, 3 * s, 6 * s, 7 * s));
    const __m256i advance = _mm256_set1_epi64x(8 * s);
    std::uint64_t p = frac;
    int k = 0;
    for (; k + 8 <= n; k += 8) {
        const __m256 a0 = _mm256_castsi256_ps(posA), b0 = _mm256_castsi256_ps(posB);
        const int first = int(p >> 32);
        const __m256i whole = _mm256_castps_si256(_mm256_shuffle_ps(a0, b0, _MM_SHUFFLE(3, 1, 3, 1)));
        const __m256i fraction = _mm256_castps_si256(_mm256_shuffle_ps(a0, b0, _MM_SHUFFLE(2, 0, 2, 0)));
        const __m256i pick = _mm256_sub_epi32(whole, _mm256_set1_epi32(first));
        const __m256 u = _mm256_fmadd_ps(_mm256_cvtepi32_ps(_mm256_srli_epi32(fraction, 8)), toU, minusOne);
        __m256 cm[order];
        for (int m = 0; m < order; ++m)
            cm[m] = _mm256_permutevar8x32_ps(_mm256_loadu_ps(c[m] + first), pick);
        // As polynomialAt() does it.
        const __m256 u2 = _mm256_mul_ps(u, u), u4 = _mm256_mul_ps(u2, u2);
        const __m256 p01 = _mm256_fmadd_ps(cm[1], u, cm[0]), p23 = _mm256_fmadd_ps(cm[3], u, cm[2]);
        __m256 high = cm[4];
        if constexpr (order >= 6)
            high = _mm256_fmadd_ps(cm[5], u, cm[4]);
        if constexpr (order == 7)
            high = _mm256_fmadd_ps(cm[6], u2, high);
        if constexpr (order == 8)
            high = _mm256_fmadd_ps(_mm256_fmadd_ps(cm[7], u, cm[6]), u2, high);
        const __m256 y = _mm256_fmadd_ps(high, u4, _mm256_fmadd_ps(p23, u2, p01));
        __m256 gl = _mm256_set1_ps(gL), gr = _mm256_set1_ps(gR);
        if constexpr (Ramp) {
            gl = _mm256_fmadd_ps(kf, _mm256_set1_ps(dL), gl);
            gr = _mm256_fmadd_ps(kf, _mm256_set1_ps(dR), gr);
            kf = _mm256_add_ps(kf, _mm256_set1_ps(8.0f));
        }
        _mm256_storeu_ps(outL + k, _mm256_fmadd_ps(y, gl, _mm256_loadu_ps(outL + k)));
        _mm256_storeu_ps(outR + k, _mm256_fmadd_ps(y, gr, _mm256_loadu_ps(outR + k)));
        posA = _mm256_add_epi64(posA, advance);
        posB = _mm256_add_epi64(posB, advance);
        p += 8 * step;
    }
    for (; k < n; ++k, p += step) {
        float sums[order];
        for (int m = 0; m < order; ++m)
            sums[m] = c[m][p >> 32];
        const float u = float(std::int32_t(std::uint32_t(p) >> 8)) * kFractionToU - 1.0f;
        const float y = polynomialAt(sums, u);
        outL[k] += y * (gL + float(k) * dL);
        outR[k] += y * (gR + float(k) * dR);
    }
}

void mixSlowAvx2(const KernelTable& table, const SourceFrame* base, std::uint64_t frac, std::uint64_t step, int n,
                 float gL, float dL, float gR, float dR, float* outL, float* outR)
{
    while (n > 0) {
        const int chunk = std::min(n, kSlowChunk);
        if (dL == 0.0f && dR == 0.0f)
            mixSlowChunkAvx2<false>(table, base, frac, step, chunk, gL, dL, gR, dR, outL, outR);
        else
            mixSlowChunkAvx2<true>(table, base, frac, step, chunk, gL, dL, gR, dR, outL, outR);
        const std::uint64_t end = frac + std::uint64_t(chunk) * step;
        base += end >> 32;
        frac = std::uint32_t(end);
        gL += float(chunk) * dL;
        gR += float(chunk) * dR;
        outL += chunk;
        outR += chunk;
        n -= chunk;
    }
}

void mixResampledAvx2(const KernelTable& table, const SourceFrame* base, std::uint64_t frac, std::uint64_t step,
                      int n, float gL, float dL, float gR, float dR, float* outL, float* outR)
{
    if (slowPathFor(table, step) && table.taps == 2 * kSlowHalf) {
        mixSlowAvx2(table, base, frac, step, n, gL, dL, gR, dR, outL, outR);
        return;
    }
    kAvx2ByEighths[std::size_t(table.taps / 8)](table, base, frac, step, n, gL, dL, gR, dR, outL, outR);
}

} // namespace
#endif

namespace {

MixFunction chooseMixFunction()
{
#ifdef SONAVEIL_X86
    if (__builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma"))
        return mixResampledAvx2;
#endif
    return mixResampledPortable;
}

const MixFunction chosenMix = chooseMixFunction();

} // namespace

void mixResampled(const KernelTable& table, const SourceFrame* base, std::uint64_t frac, std::uint64_t step,
                  int n, float gL, float dL, float gR, float dR, float* outL, float* outR)
{
    // At natural speed on a whole frame every row is the identity: the frames themselves.
    if (step == (std::uint64_t(1) << 32) && std::uint32_t(frac) == 0) {
        mixDirect(base + (frac >> 32), n, gL, dL, gR, dR, outL, outR);
        return;
    }
    chosenMix(table, base, frac, step, n, gL, dL, gR, dR, outL, outR);
}

} // namespace sonaveil::audio
