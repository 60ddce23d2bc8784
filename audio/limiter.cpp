#include "audio/limiter.h"

#include <algorithm>
#include <cmath>

namespace sonaveil::audio {

namespace {

// The slow stage: how fast it follows the peaks ahead down, how long it holds, how slowly it
// recovers. The fast stage only recovers, quickly: it takes what the slow stage let through.
constexpr double kSlowAttackSeconds = 0.06;
constexpr double kHoldSeconds = 0.3;
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

float coefficient(double segmentSeconds, double timeConstant)
{
    return float(1.0 - std::exp(-segmentSeconds / timeConstant));
}

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
    }
    reset();
}

void Limiter::reset()
{
    m_ringL.fill(0.0f);
    m_ringR.fill(0.0f);
    m_peaks.fill(0.0f);
    m_historyL.fill(0.0f);
    m_historyR.fill(0.0f);
    m_historyIn = 0;
    // The ring starts out holding kCoreDelay frames of silence, so the first frame out is
    // output frame 0 of segment 0.
    m_in = kCoreDelay;
    m_gain = m_nextGain = 1.0f;
    m_slow = m_fast = 1.0f;
    m_holdLeft = 0;
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
    constexpr std::uint64_t mask = kHistory - 1;
    constexpr int before = kInterpolationTaps / 2 - 1;
    static_assert(kTruePeakLag >= kInterpolationTaps / 2 && kHistory >= kTruePeakLag + before + 1);
    float loudest = 0.0f;
    for (float v : m_historyL)
        loudest = std::max(loudest, std::fabs(v));
    for (float v : m_historyR)
        loudest = std::max(loudest, std::fabs(v));
    for (int j = 0; j < n; ++j)
        loudest = std::max(loudest, std::max(std::fabs(left[j]), std::fabs(right[j])));
    const bool detailed = loudest * kTruePeakHeadroom > m_ceiling;

    for (int j = 0; j < n; ++j) {
        const std::uint64_t t = m_historyIn++;
        m_historyL[t & mask] = left[j];
        m_historyR[t & mask] = right[j];
        // The frame measured now is the one kTruePeakLag ago; the frames after it are known.
        const std::uint64_t d = t - kTruePeakLag;
        const float l = m_historyL[d & mask], r = m_historyR[d & mask];
        m_delayedL[std::size_t(j)] = l;
        m_delayedR[std::size_t(j)] = r;
        float peak = std::max(std::fabs(l), std::fabs(r));
        if (detailed) {
            for (const auto& h : m_interpolation) {
                float il = 0.0f, ir = 0.0f;
                for (int i = 0; i < kInterpolationTaps; ++i) {
                    const std::uint64_t at = (d - before + std::uint64_t(i)) & mask;
                    il += h[std::size_t(i)] * m_historyL[at];
                    ir += h[std::size_t(i)] * m_historyR[at];
                }
                peak = std::max(peak, std::max(std::fabs(il), std::fabs(ir)));
            }
        }
        m_truePeak[std::size_t(j)] = peak;
    }
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
        float peak = m_peaks[inSegment % kPeakSlots];
        for (int j = 0; j < n; ++j)
            peak = std::max(peak, tp[j]);
        const float g0 = m_gain + (m_nextGain - m_gain) * perFrame * float(offset);
        const float dg = (m_nextGain - m_gain) * perFrame;
        for (int j = 0; j < n; ++j) {
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
