#include "synth/live.h"

#include "synth/livekernels.h"

#include <algorithm>
#include <array>
#include <complex>
#include <cstring>
#include <numbers>

namespace sonaveil::synth::live {

namespace {


// The mean over the spline parameter of the sum of the squared B-spline weights: the variance of
// a spline through unit-variance points.
double splineVariance()
{
    double sum = 0.0;
    const int steps = 1000;
    for (int i = 0; i < steps; ++i) {
        const double u = (i + 0.5) / steps, v = 1.0 - u;
        const double b[4] = {v * v * v / 6, (3 * u * u * u - 6 * u * u + 4) / 6,
                             (-3 * u * u * u + 3 * u * u + 3 * u + 1) / 6, u * u * u / 6};
        sum += b[0] * b[0] + b[1] * b[1] + b[2] * b[2] + b[3] * b[3];
    }
    return sum / steps;
}

// Zero-phase filtering of short kernels, all padded to one transform size so that the filter's
// ringing on both sides fits, then turned so that the part before the onset comes first.
class KernelColour {
public:
    KernelColour(int rate, int longest, const Response& colour)
        : m_pad(std::max(256L, long(rate / 40)))
    {
        while (m_n < longest + 2 * m_pad)
            m_n *= 2;
        m_gain.resize(std::size_t(m_n / 2 + 1));
        for (long k = 1; k < long(m_gain.size()); ++k)
            m_gain[std::size_t(k)] = float(colour(double(k) * rate / double(m_n)) / double(m_n));
        m_forward = forwardPlan(int(m_n));
        m_inverse = inversePlan(int(m_n));
        m_frames = fftBuffer(std::size_t(m_n));
        m_bins = fftBuffer(std::size_t(m_n + 2));
    }
    ~KernelColour()
    {
        freeFftBuffer(m_frames);
        freeFftBuffer(m_bins);
    }

    Signal apply(const Signal& k) const
    {
        std::fill(m_frames, m_frames + m_n, 0.0f);
        std::copy(k.begin(), k.end(), m_frames);
        runForward(m_forward, m_frames, m_bins);
        for (long j = 0; j < long(m_gain.size()); ++j) {
            m_bins[2 * j] *= m_gain[std::size_t(j)];
            m_bins[2 * j + 1] *= m_gain[std::size_t(j)];
        }
        runInverse(m_inverse, m_bins, m_frames);
        // The pad before the onset is the end of the circular result.
        Signal out(std::size_t(long(k.size()) + 2 * m_pad));
        std::copy(m_frames + (m_n - m_pad), m_frames + m_n, out.begin());
        std::copy(m_frames, m_frames + (long(out.size()) - m_pad), out.begin() + m_pad);
        // Trim what is too quiet to matter at both ends, then fade the ends so nothing steps.
        float peak = 0.0f;
        for (float v : out)
            peak = std::max(peak, std::fabs(v));
        long a = 0, b = long(out.size());
        while (a < b && std::fabs(out[std::size_t(a)]) < 1e-4f * peak)
            ++a;
        while (b > a && std::fabs(out[std::size_t(b - 1)]) < 1e-4f * peak)
            --b;
        Signal trimmed(out.begin() + a, out.begin() + b);
        const long fade = std::min<long>(32, long(trimmed.size()) / 4);
        for (long i = 0; i < fade; ++i) {
            const float g = float(i + 1) / float(fade + 1);
            trimmed[std::size_t(i)] *= g;
            trimmed[trimmed.size() - 1 - std::size_t(i)] *= g;
        }
        return trimmed;
    }

private:
    long m_pad;
    long m_n = 1;
    std::vector<float> m_gain;
    const void* m_forward;
    const void* m_inverse;
    float* m_frames;
    float* m_bins;
};

// A phase step of `cycles` per frame, in 2^-32 of a cycle.
std::uint32_t phaseStep(double cycles)
{
    const double x = cycles * 4294967296.0;
    return std::uint32_t(std::int64_t(x + (x >= 0.0 ? 0.5 : -0.5)));
}

double besselI0(double x)
{
    double sum = 1.0, term = 1.0;
    for (int k = 1; k < 40; ++k) {
        term *= (x / (2.0 * k)) * (x / (2.0 * k));
        sum += term;
    }
    return sum;
}

} // namespace

Response rumbleFilter()
{
    return highpass(24.0, 8);
}

NoiseStream::NoiseStream(int rate, const Response& response, Rng& rng)
    : m_rng(rng.fork()), m_magnitude(kSize / 2 + 8, 0.0f), m_window(kOverlap), m_overlap(kOverlap, 0.0f)
{
    // Scaled to RMS 1 before the rumble filter, as a file layer is (the filter comes last there).
    const Response rumble = rumbleFilter();
    double power = 0.0, peak = 0.0;
    std::vector<double> m(kSize / 2 + 1, 0.0);
    for (int k = 1; k < kSize / 2; ++k) {
        const double f = double(k) * rate / kSize;
        const double r = response(f);
        power += 2.0 * r * r;
        m[std::size_t(k)] = r * rumble(f);
        peak = std::max(peak, m[std::size_t(k)]);
    }
    const double scale = power > 0 ? 1.0 / std::sqrt(power) : 0.0;
    m_firstBin = kSize / 2;
    m_lastBin = 0;
    for (int k = 1; k < kSize / 2; ++k)
        if (m[std::size_t(k)] > 1e-6 * peak) {
            m_firstBin = std::min(m_firstBin, k);
            m_lastBin = k;
        }
    for (int k = m_firstBin; k <= m_lastBin; ++k)
        m_magnitude[std::size_t(k)] = float(m[std::size_t(k)] * scale);
    // Whole groups of eight bins around the band.
    m_groupFirst = m_firstBin <= m_lastBin ? m_firstBin & ~7 : 0;
    m_groupEnd = m_firstBin <= m_lastBin ? (m_lastBin | 7) + 1 : 0;
    for (std::uint32_t& lane : m_lanes)
        lane = std::uint32_t(m_rng.next() >> 32) | 1u;
    for (int i = 0; i < kOverlap; ++i)
        m_window[std::size_t(i)] = float(std::sin(0.5 * std::numbers::pi * (i + 0.5) / kOverlap));
    phasors();
    halfTwist();
    m_plan = complexInversePlan(kSize / 2);
    m_bins = fftBuffer(std::size_t(kSize + 8));
    m_folded = fftBuffer(std::size_t(kSize));
    m_frame = fftBuffer(std::size_t(kSize));
    std::fill(m_bins, m_bins + kSize + 8, 0.0f);
    // The first frame only fills the overlap: the stream starts at full level.
    refill();
    refill();
}

NoiseStream::~NoiseStream()
{
    freeFftBuffer(m_bins);
    freeFftBuffer(m_folded);
    freeFftBuffer(m_frame);
}

void NoiseStream::refill()
{
    // Only the band is written: the rest of m_bins stays 0 (the transform reads m_folded).
    fillBins(m_bins, m_magnitude.data(), m_lanes, m_groupFirst, m_groupEnd);
    // The inverse real transform as a complex one of half the size, whose output is the frame.
    fold(m_bins, halfTwist().data(), kSize, m_folded);
    runComplexInverse(m_plan, m_folded, m_frame);
    // The fade-in of this frame over the fade-out of the last, then this frame as it is; its end
    // fades out under the next one. The frame is read in place up to kHop.
    crossFade(m_frame, m_overlap.data(), m_window.data(), kOverlap, kHop);
    m_position = 0;
}

void NoiseStream::read(float* out, int n)
{
    while (n > 0) {
        if (m_position == kHop)
            refill();
        const int take = std::min(n, kHop - m_position);
        std::memcpy(out, m_frame + m_position, sizeof(float) * std::size_t(take));
        out += take;
        n -= take;
        m_position += take;
    }
}

void NoiseStream::addRamped(float* out, int n, float g0, float g1)
{
    const float step = (g1 - g0) / float(n);
    float g = g0;
    while (n > 0) {
        if (m_position == kHop)
            refill();
        const int take = std::min(n, kHop - m_position);
        addRamp(out, m_frame + m_position, take, g, g + step * float(take));
        g += step * float(take);
        out += take;
        n -= take;
        m_position += take;
    }
}

Baseband::Baseband(int rate, double centreHz, double reachHz)
    : m_outputRate(rate), m_centre(centreHz), m_turnRe(kBlock), m_turnIm(kBlock)
{
    // One interpolator of `taps` taps (two multiply-adds a tap a frame) while that reaches with up
    // to 48 taps; beyond, two half-band ones (at half the rate, then at the rate, a multiply-add
    // for each odd tap, the even phase a copy), the pair with the least work that reaches: their
    // interleaving costs about what 48 taps of one do over those of the pair.
    const double needed = reachHz > 0.0 ? reachHz : 0.36 * basebandRate();
    int taps = 16;
    for (designOne(taps); taps < kTaps && !reaches(needed); designOne(taps))
        taps += kDecimation;
    if (taps <= 48 && reaches(needed)) {
        findReach();
        setTurns();
        return;
    }
    int bestWork = 1 << 30, bestFirst = kMostFirst, bestSecond = kMostSecond;
    for (int first = 2; first <= kMostFirst; ++first)
        for (int second = 2; second <= kMostSecond; ++second) {
            const int work = 2 * (2 * first * kFrames + 2 * second * 2 * kFrames);
            if (work >= bestWork)
                break;
            designTwo(first, second);
            if (reaches(needed)) {
                bestWork = work;
                bestFirst = first;
                bestSecond = second;
                break; // a longer second stage only costs more
            }
        }
    designTwo(bestFirst, bestSecond);
    findReach();
    if (m_reach < needed) {
        // Nothing reaches: the farther of the longest of each kind.
        const double twoReach = m_reach;
        designOne(kTaps);
        findReach();
        if (m_reach < twoReach) {
            designTwo(bestFirst, bestSecond);
            findReach();
        }
    }
    setTurns();
}

void Baseband::setTurns()
{
    const double w = 2.0 * std::numbers::pi * m_centre / m_outputRate;
    for (int n = 0; n < kBlock; ++n) {
        m_turnRe[std::size_t(n)] = float(std::cos(w * n));
        m_turnIm[std::size_t(n)] = float(std::sin(w * n));
    }
    m_blockTurn = std::polar(1.0, std::fmod(w * kBlock, 2.0 * std::numbers::pi));
}

void Baseband::designOne(int taps)
{
    m_two = false;
    // A Kaiser-windowed sinc cut at half the baseband rate, kDecimation at DC.
    const double cut = 0.5 / kDecimation, beta = 7.0;
    double sum = 0.0;
    std::vector<double> h(static_cast<std::size_t>(taps));
    for (int k = 0; k < taps; ++k) {
        const double u = k - (taps - 1) / 2.0, r = 2.0 * k / (taps - 1) - 1.0;
        h[std::size_t(k)] = std::sin(2.0 * std::numbers::pi * cut * u) / (std::numbers::pi * u) * besselI0(beta * std::sqrt(1.0 - r * r))
                            / besselI0(beta);
        sum += h[std::size_t(k)];
    }
    m_tapsCount = taps;
    std::fill(m_taps, m_taps + kTaps, 0.0f);
    for (int k = 0; k < taps; ++k)
        m_taps[k] = float(h[std::size_t(k)] * kDecimation / sum);
}

bool Baseband::imagesStopped(double f) const
{
    // A part at offset ±f has images at k · basebandRate() ± f for k = 1, 2, 3 (the rest repeat them):
    // each must lie in the stopband (66 dB).
    const double r = basebandRate();
    for (int k = 1; k <= 3; ++k)
        if (gain(k * r + f) > 5e-4 || gain(k * r - f) > 5e-4)
            return false;
    return true;
}

bool Baseband::reaches(double hz) const
{
    // From the top down: where a design falls short, it does so at the top.
    for (double f = hz; f > 0.0; f -= 20.0)
        if (!imagesStopped(f))
            return false;
    return true;
}

void Baseband::findReach()
{
    m_reach = 0.0;
    for (double f = 10.0; f < 0.5 * basebandRate() && imagesStopped(f); f += 10.0)
        m_reach = f;
}

namespace {

// The odd taps of a Kaiser-windowed half-band interpolator of 4 · half + 1 taps, scaled to sum to
// 1, as the even phase's one tap (the middle one) does.
std::vector<double> halfBand(int half)
{
    const int n = 4 * half + 1, middle = 2 * half;
    const double beta = 7.0;
    std::vector<double> odd(static_cast<std::size_t>(2 * half));
    double sum = 0.0;
    for (int i = 0; i < 2 * half; ++i) {
        const int j = 2 * i + 1, u = j - middle;
        const double r = 2.0 * j / (n - 1) - 1.0;
        odd[std::size_t(i)] = std::sin(0.5 * std::numbers::pi * u) / (0.5 * std::numbers::pi * u) * besselI0(beta * std::sqrt(1.0 - r * r))
                              / besselI0(beta);
        sum += odd[std::size_t(i)];
    }
    for (double& t : odd)
        t /= sum;
    return odd;
}

// The gain at f (in cycles per frame of the doubled rate) of the interpolator with these odd taps.
double halfBandGain(const float* odd, int half, double f)
{
    // h[middle] = 1 / 2, h[2i + 1] = odd[i] / 2.
    const std::complex<double> turn = std::polar(1.0, -2.0 * std::numbers::pi * f), twice = turn * turn;
    std::complex<double> at = turn, sum = 0.5 * std::pow(turn, 2 * half);
    for (int i = 0; i < 2 * half; ++i) {
        sum += 0.5 * double(odd[i]) * at;
        at *= twice;
    }
    return std::abs(sum);
}

} // namespace

void Baseband::designTwo(int first, int second)
{
    m_two = true;
    m_first = first;
    m_second = second;
    const std::vector<double> a = halfBand(first), b = halfBand(second);
    std::fill(m_firstTaps, m_firstTaps + 2 * kMostFirst, 0.0f);
    std::fill(m_secondTaps, m_secondTaps + 2 * kMostSecond, 0.0f);
    for (std::size_t i = 0; i < a.size(); ++i)
        m_firstTaps[i] = float(a[i]);
    for (std::size_t i = 0; i < b.size(); ++i)
        m_secondTaps[i] = float(b[i]);
}

double Baseband::gain(double offsetHz) const
{
    const double r = basebandRate();
    if (!m_two) {
        const std::complex<double> step = std::polar(1.0, -2.0 * std::numbers::pi * offsetHz / m_outputRate);
        std::complex<double> z(1.0, 0.0), sum(0.0, 0.0);
        for (int k = 0; k < m_tapsCount; ++k) {
            sum += double(m_taps[k]) * z;
            z *= step;
        }
        return std::abs(sum) / kDecimation;
    }
    return halfBandGain(m_firstTaps, m_first, offsetHz / (2.0 * r)) * halfBandGain(m_secondTaps, m_second, offsetHz / (4.0 * r));
}

void Baseband::add(float* out)
{
    if (!m_two) {
        addOne(out);
        return;
    }
    static_assert(kHistoryFirst >= 2 * kMostFirst && kHistorySecond >= 2 * kMostSecond, "the taps' reach back");
    const BandUp b{m_firstTaps, m_first, m_secondTaps, m_second, m_xRe + kHistoryFirst, m_xIm + kHistoryFirst,
                   m_zRe + kHistorySecond, m_zIm + kHistorySecond, kHistoryFirst, kHistorySecond};
    bandUp(b, float(m_phase.real()), float(m_phase.imag()), m_turnRe.data(), m_turnIm.data(), out);
    // Turned on, and kept on the unit circle (one Newton step towards |z| = 1).
    m_phase *= m_blockTurn;
    m_phase *= 0.5 * (3.0 - std::norm(m_phase));
}

void Baseband::addOne(float* out)
{
    // Each new baseband frame held kDecimation times after the history.
    for (int i = 0; i < kFrames; ++i)
        for (int d = 0; d < kDecimation; ++d) {
            m_historyRe[kTaps + kDecimation * i + d] = re()[i];
            m_historyIm[kTaps + kDecimation * i + d] = im()[i];
        }
    alignas(32) float yr[kBlock], yi[kBlock];
    interpolate(m_taps, m_tapsCount / kDecimation, m_historyRe + kTaps, yr);
    interpolate(m_taps, m_tapsCount / kDecimation, m_historyIm + kTaps, yi);
    shiftUp(yr, yi, float(m_phase.real()), float(m_phase.imag()), m_turnRe.data(), m_turnIm.data(), out);
    // Turned on, and kept on the unit circle (one Newton step towards |z| = 1).
    m_phase *= m_blockTurn;
    m_phase *= 0.5 * (3.0 - std::norm(m_phase));
    static_assert(kTaps == kBlock, "the history is the last block");
    std::copy(m_historyRe + kBlock, m_historyRe + kBlock + kTaps, m_historyRe);
    std::copy(m_historyIm + kBlock, m_historyIm + kBlock + kTaps, m_historyIm);
    std::fill(re(), re() + kFrames, 0.0f);
    std::fill(im(), im() + kFrames, 0.0f);
}

BasebandNoise::BasebandNoise(const Baseband& band, const Response& response, double lo, double hi, Rng& rng)
    : m_rng(rng.fork()), m_magnitude(kSize + 8, 0.0f), m_window(kOverlap), m_overlap(2 * kOverlap, 0.0f)
{
    const double df = double(band.basebandRate()) / kSize;
    lo = std::max(lo, band.centre() - band.reach());
    hi = std::min(hi, band.centre() + band.reach());
    const Response rumble = rumbleFilter();
    double power = 0.0;
    bool used[kSize] = {};
    for (int k = 0; k < kSize; ++k) {
        const double offset = (k < kSize / 2 ? k : k - kSize) * df, f = band.centre() + offset;
        if (f < lo || f > hi || f <= 0.0)
            continue;
        const double r = response(f);
        power += r * r;
        m_magnitude[std::size_t(k)] = float(r * rumble(f) / band.gain(offset));
        used[k] = true;
    }
    // E|z|² = 2: the real part has RMS 1.
    const float scale = power > 0 ? float(std::sqrt(2.0 / power)) : 0.0f;
    for (float& m : m_magnitude)
        m *= scale;
    // The positive offsets' groups, then the negative ones'.
    for (int half = 0; half < 2; ++half) {
        const int begin = half == 0 ? 0 : kSize / 2, end = half == 0 ? kSize / 2 : kSize;
        int first = end, last = begin - 1;
        for (int k = begin; k < end; ++k)
            if (used[k]) {
                first = std::min(first, k);
                last = k;
            }
        m_from[half] = first <= last ? first & ~7 : 0;
        m_to[half] = first <= last ? (last | 7) + 1 : 0;
    }
    for (std::uint32_t& lane : m_lanes)
        lane = std::uint32_t(m_rng.next() >> 32) | 1u;
    for (int i = 0; i < kOverlap; ++i)
        m_window[std::size_t(i)] = float(std::sin(0.5 * std::numbers::pi * (i + 0.5) / kOverlap));
    phasors();
    m_plan = complexInversePlan(kSize);
    m_spectrum = fftBuffer(std::size_t(2 * kSize + 16));
    m_frame = fftBuffer(std::size_t(2 * kSize));
    std::fill(m_spectrum, m_spectrum + 2 * kSize + 16, 0.0f);
    refill();
    refill();
}

BasebandNoise::~BasebandNoise()
{
    freeFftBuffer(m_spectrum);
    freeFftBuffer(m_frame);
}

void BasebandNoise::refill()
{
    // The rest of the spectrum stays 0: the transform keeps its input.
    for (int half = 0; half < 2; ++half)
        fillBins(m_spectrum, m_magnitude.data(), m_lanes, m_from[half], m_to[half]);
    runComplexInverse(m_plan, m_spectrum, m_frame);
    float* __restrict f = m_frame;
    float* __restrict o = m_overlap.data();
    const float* __restrict w = m_window.data();
    for (int i = 0; i < kOverlap; ++i) {
        f[2 * i] = o[2 * i] + w[i] * f[2 * i];
        f[2 * i + 1] = o[2 * i + 1] + w[i] * f[2 * i + 1];
    }
    for (int i = 0; i < kOverlap; ++i) {
        o[2 * i] = w[kOverlap - 1 - i] * f[2 * (kHop + i)];
        o[2 * i + 1] = w[kOverlap - 1 - i] * f[2 * (kHop + i) + 1];
    }
    m_position = 0;
}

void BasebandNoise::addRamped(Baseband& band, float g0, float g1, const float* shape)
{
    static const std::array<float, Baseband::kFrames> ones = [] {
        std::array<float, Baseband::kFrames> a{};
        a.fill(1.0f);
        return a;
    }();
    static_assert(kHop % Baseband::kFrames == 0, "a read never straddles two frames");
    if (m_position == kHop)
        refill();
    addToBand(m_frame + 2 * m_position, shape ? shape : ones.data(), g0, (g1 - g0) / float(Baseband::kFrames),
              band.re(), band.im());
    m_position += Baseband::kFrames;
}

SlowNoise::SlowNoise(int rate, Rng& rng, double maxHz)
    : m_rng(rng.fork()), m_step(double(kBlock) / rate * 2.0 * maxHz), m_scale(1.0 / std::sqrt(splineVariance()))
{
    for (double& p : m_p)
        p = m_rng.gauss();
    m_u = m_rng.uniform();
    segment();
}

void SlowNoise::segment()
{
    // The uniform cubic B-spline's weights, (1 - u)³, 3u³ - 6u² + 4, -3u³ + 3u² + 3u + 1 and u³
    // (over 6), gathered by powers of u.
    const double s = m_scale / 6.0;
    m_c[0] = s * (m_p[0] + 4.0 * m_p[1] + m_p[2]);
    m_c[1] = s * (3.0 * (m_p[2] - m_p[0]));
    m_c[2] = s * (3.0 * m_p[0] - 6.0 * m_p[1] + 3.0 * m_p[2]);
    m_c[3] = s * (-m_p[0] + 3.0 * m_p[1] - 3.0 * m_p[2] + m_p[3]);
}

float SlowNoise::next()
{
    m_u += m_step;
    if (m_u >= 1.0) {
        while (m_u >= 1.0) {
            m_u -= 1.0;
            m_p[0] = m_p[1];
            m_p[1] = m_p[2];
            m_p[2] = m_p[3];
            m_p[3] = m_rng.gauss();
        }
        segment();
    }
    const double u = m_u;
    return float(((m_c[3] * u + m_c[2]) * u + m_c[1]) * u + m_c[0]);
}

Wobble::Wobble(int rate, Rng& rng, double maxHz, double depth, double floor)
    : m_slow(rate, rng, maxHz), m_depth(depth), m_floor(floor)
{
    next();
    m_from = m_to;
}

void Wobble::next()
{
    m_from = m_to;
    m_to = float(std::max(m_floor, 1.0 + m_depth * m_slow.next()));
}

double Wobble::moment(int power) const
{
    // E[max(floor, 1 + d z)^power] for a standard normal z, by quadrature.
    double sum = 0.0, weight = 0.0;
    for (int i = -600; i <= 600; ++i) {
        const double z = i / 100.0, p = std::exp(-0.5 * z * z);
        const double v = std::max(m_floor, 1.0 + m_depth * z);
        sum += p * (power == 1 ? v : v * v);
        weight += p;
    }
    return sum / weight;
}

namespace {

// An event without the tail that holds less than kTail of its energy (the far end of its decay),
// faded out over up to kFade frames: every frame of an event is a multiply-add each time it is
// placed, and what goes is 40 dB down.
Signal withoutTail(const Signal& k)
{
    constexpr double kTail = 1e-4;
    constexpr long kFade = 64;
    double energy = 0.0;
    for (float v : k)
        energy += double(v) * v;
    long b = long(k.size());
    for (double tail = 0.0; b > 0; --b) {
        tail += double(k[std::size_t(b - 1)]) * k[std::size_t(b - 1)];
        if (tail > kTail * energy)
            break;
    }
    if (b < 16 || b == long(k.size()))
        return k;
    Signal out(k.begin(), k.begin() + b);
    const long fade = std::min(kFade, b / 4);
    for (long i = 0; i < fade; ++i)
        out[out.size() - 1 - std::size_t(i)] *= float(0.5 - 0.5 * std::cos(std::numbers::pi * (i + 0.5) / fade));
    return out;
}

} // namespace

double normalQuantile(double share)
{
    // By bisection on erfc: made once per variant, on construction.
    double lo = -8.0, hi = 8.0;
    for (int i = 0; i < 60; ++i) {
        const double mid = 0.5 * (lo + hi);
        (0.5 * std::erfc(-mid / std::sqrt(2.0)) < share ? lo : hi) = mid;
    }
    return 0.5 * (lo + hi);
}

double sizeAt(double share, double sigma, double cap)
{
    return std::min(cap, std::exp(sigma * normalQuantile(share)));
}

KernelBank::KernelBank(int count, int rate, Rng& rng, const Maker& make, const Response& colour)
{
    Rng r = rng.fork();
    std::vector<Signal> kernels;
    std::size_t longest = 0;
    // The plastic number's lattice (the R2 sequence), from a random start.
    const double a1 = 0.7548776662466927, a2 = 0.5698402909980532;
    const double p0 = r.uniform(), l0 = r.uniform();
    // Variant i stands for sizes between u(i / count) and u((i + 1) / count), u(t) = 1 - (1 - t)²:
    // three times as many variants in the top tenth as an even spread would give.
    auto u = [](double t) { return 1.0 - (1.0 - t) * (1.0 - t); };
    m_pick.resize(kPicks);
    for (std::size_t j = 0; j < kPicks; ++j) {
        // The variant whose stretch holds (j + 0.5) / kPicks: t = 1 - sqrt(1 - s).
        const double t = 1.0 - std::sqrt(1.0 - (j + 0.5) / kPicks);
        m_pick[j] = std::uint16_t(std::min(count - 1, int(t * count)));
    }
    for (int i = 0; i < count; ++i) {
        const Shares shares{u((i + 0.5) / count), std::fmod(p0 + a1 * i, 1.0), std::fmod(l0 + a2 * i, 1.0)};
        kernels.push_back(make(r, shares));
        longest = std::max(longest, kernels.back().size());
    }
    if (colour) {
        // The colour's high-pass takes away the low splatter that cutting a tail short leaves.
        longest = 0;
        for (Signal& k : kernels) {
            k = withoutTail(k);
            longest = std::max(longest, k.size());
        }
        const KernelColour c(rate, int(longest), colour);
        for (Signal& k : kernels)
            k = c.apply(k);
    }
    std::size_t total = 0;
    for (const Signal& k : kernels)
        total += k.size();
    m_data.reserve(total);
    std::vector<double> energies;
    for (Signal& k : kernels) {
        double e = 0.0;
        for (float v : k)
            e += double(v) * v;
        energies.push_back(e);
        m_offsets.push_back(m_data.size());
        m_lengths.push_back(int(k.size()));
        m_longest = std::max(m_longest, int(k.size()));
        float peak = 0.0f;
        for (float v : k)
            peak = std::max(peak, std::fabs(v));
        const float step = peak > 0.0f ? peak / 32767.0f : 1.0f;
        m_scales.push_back(step);
        for (float v : k)
            m_data.push_back(std::int16_t(std::lrint(v / step)));
        Signal().swap(k);
    }
    double energy = 0.0;
    for (std::uint16_t i : m_pick)
        energy += energies[i];
    m_meanEnergy = energy / double(kPicks);
}

double KernelBank::layerRms(double perSecond, int rate, double gainSquare) const
{
    return std::sqrt(perSecond / rate * m_meanEnergy * gainSquare);
}

Poisson::Poisson(double perSecond, int rate, Rng& rng)
    : m_rng(rng.fork()), m_meanGap(perSecond > 0 ? rate / perSecond : 1e18)
{
    m_untilNext = gap();
}

EventRing::EventRing(int reach)
{
    std::size_t n = 1;
    while (n < std::size_t(reach + kBlock))
        n *= 2;
    m_ring.assign(n, 0.0f);
    m_mask = n - 1;
}

template <class Sample>
void EventRing::place(const Sample* kernel, int n, long ahead, float gain)
{
    n = std::min(n, reach() - int(std::max(0L, ahead)));
    if (n <= 0)
        return;
    std::size_t at = (m_start + std::size_t(ahead)) & m_mask;
    const int first = std::min<int>(n, int(m_ring.size() - at));
    addScaled(m_ring.data() + at, kernel, first, gain);
    if (n > first)
        addScaled(m_ring.data(), kernel + first, n - first, gain);
}

void EventRing::add(const float* kernel, int n, long ahead, float gain)
{
    place(kernel, n, ahead, gain);
}

void EventRing::add(const std::int16_t* kernel, int n, long ahead, float gain)
{
    place(kernel, n, ahead, gain);
}

void EventRing::read(float* out, int n)
{
    while (n > 0) {
        const int take = std::min<int>(n, int(m_ring.size() - m_start));
        drain(out, m_ring.data() + m_start, take);
        out += take;
        n -= take;
        m_start = (m_start + std::size_t(take)) & m_mask;
    }
}

HumVoice::HumVoice(int rate, Rng& rng, const Hum& h, double drift)
    : m_rng(rng.fork()), m_table(kTable + 1), m_rate(rate), m_f0(h.f0), m_depth(h.widthHz / 2.0), m_drift(drift),
      m_wander(rate, m_rng, 2.0), m_baseDrift(rate, m_rng, 0.02)
{
    std::vector<double> amps, phases;
    for (double db : h.harmonicsDb) {
        amps.push_back(dbToGain(db));
        phases.push_back(m_rng.uniform() * 2.0 * std::numbers::pi);
    }
    double power = 0.0;
    for (int i = 0; i < kTable; ++i) {
        const double base = 2.0 * std::numbers::pi * i / kTable;
        double v = 0.0;
        for (std::size_t k = 0; k < amps.size(); ++k)
            v += amps[k] * std::sin(double(k + 1) * base + phases[k]);
        m_table[std::size_t(i)] = float(v);
        power += v * v;
    }
    const float g = float(dbToGain(h.levelDb) / std::sqrt(std::max(power / kTable, 1e-30)));
    for (float& v : m_table)
        v *= g;
    m_table[kTable] = m_table[0];
    m_lastWander = m_wander.next();
    m_phase = std::uint32_t(m_rng.next());
}

void HumVoice::add(float* __restrict out)
{
    // The phase moves by f0 per second plus the change of the wandering offset over the block.
    const double w = m_wander.next();
    const double f = m_f0 * (1.0 + m_drift * m_baseDrift.next());
    const double cycles = f * kBlock / m_rate + m_depth * (w - m_lastWander) / (2.0 * std::numbers::pi);
    m_lastWander = w;
    const auto step = phaseStep(cycles / kBlock);
    float v[kBlock];
    readTable(m_table.data(), kTableBits, m_phase, step, v);
    addScaled(out, v, kBlock, 1.0f);
    m_phase += step * std::uint32_t(kBlock);
}

PulseTrain::PulseTrain(int rate, Rng& rng, const std::function<double(double)>& shape, double hz, double drift)
    : m_table(kTable + 1), m_rate(rate), m_hz(hz), m_drift(drift), m_wobble(rate, rng, 0.03)
{
    for (int i = 0; i < kTable; ++i) {
        const double v = shape(double(i) / kTable);
        m_table[std::size_t(i)] = float(v);
        m_meanSquare += v * v / kTable;
    }
    m_table[kTable] = m_table[0];
    Rng r = rng.fork();
    m_phase = std::uint32_t(r.next());
}

void PulseTrain::values(float* v, int step)
{
    const double f = m_hz * (1.0 + m_drift * m_wobble.next());
    const auto s = phaseStep(f / m_rate);
    readTable(m_table.data(), kTableBits, m_phase, s * std::uint32_t(step), v, kBlock / step);
    m_phase += s * std::uint32_t(kBlock);
}

void PulseTrain::multiply(float* __restrict x)
{
    const double f = m_hz * (1.0 + m_drift * m_wobble.next());
    const auto step = phaseStep(f / m_rate);
    float v[kBlock];
    readTable(m_table.data(), kTableBits, m_phase, step, v);
    for (int i = 0; i < kBlock; ++i)
        x[i] *= v[i];
    m_phase += step * std::uint32_t(kBlock);
}

Machine::Machine(int rate, Rng& rng, const Response& air, double airDb, const std::vector<Hum>& hums)
    : m_air(rate, air, rng), m_airGain(float(dbToGain(airDb)))
{
    for (const Hum& h : hums)
        m_hums.emplace_back(std::make_unique<HumVoice>(rate, rng, h));
}

void Machine::add(float* out, float gain)
{
    m_air.addRamped(out, kBlock, m_airGain * gain, m_airGain * gain);
    if (gain == 1.0f) {
        for (auto& h : m_hums)
            h->add(out);
        return;
    }
    float hums[kBlock] = {};
    for (auto& h : m_hums)
        h->add(hums);
    addRamp(out, hums, kBlock, gain, gain);
}

Signal quickBubble(int rate, double hz, double tauMs, double rise)
{
    const std::size_t n = eventLength(rate, tauMs);
    Signal k(n);
    const double tau = tauMs * 1e-3;
    // The phase step grows by the same amount every frame: a rotation whose own rotation turns.
    const double w0 = 2.0 * std::numbers::pi * hz / rate, dw = 2.0 * std::numbers::pi * hz * rise / (tau * rate) / rate;
    std::complex<double> step(std::cos(w0), std::sin(w0));
    const std::complex<double> turn(std::cos(dw), std::sin(dw));
    std::complex<double> z = step;
    const double decay = std::exp(-1.0 / (tau * rate));
    double env = 1.0;
    for (std::size_t i = 0; i < n; ++i) {
        const double t = double(i) / rate;
        k[i] = float(smoothOnset(t, 0.0004) * z.imag() * env);
        step *= turn;
        z *= step;
        env *= decay;
    }
    return k;
}

Signal quickKnock(int rate, double hz, double tauMs)
{
    const std::size_t n = eventLength(rate, tauMs);
    Signal k(n);
    const double w = 2.0 * std::numbers::pi * hz / rate;
    const std::complex<double> step(std::cos(w), std::sin(w));
    std::complex<double> z(1.0, 0.0);
    const double decay = std::exp(-1.0 / (tauMs * 1e-3 * rate));
    double env = 1.0;
    for (std::size_t i = 0; i < n; ++i) {
        k[i] = float(smoothOnset(double(i) / rate, 0.001) * z.imag() * env);
        z *= step;
        env *= decay;
    }
    return k;
}

std::function<double(double)> tymbalPulse(double duty, double depth)
{
    return [duty, depth](double ph) {
        const double p = ph < duty ? 0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * ph / duty) : 0.0;
        return (1.0 - depth) + depth * p;
    };
}

std::function<double(double)> sineBeat(double depth, double phase0)
{
    return [depth, phase0](double ph) { return 1.0 + depth * std::sin(2.0 * std::numbers::pi * ph + phase0); };
}

} // namespace sonaveil::synth::live
