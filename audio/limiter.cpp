#include "audio/limiter.h"

#include <algorithm>
#include <cmath>

namespace sonaveil::audio {

namespace {

constexpr double kHoldSeconds = 0.3;
constexpr double kReleaseSeconds = 2.0;

} // namespace

Limiter::Limiter(int sampleRate, float ceiling)
    : m_ceiling(ceiling)
{
    const double segmentSeconds = double(kSegment) / double(std::max(sampleRate, 1));
    m_releasePerSegment = float(1.0 - std::exp(-segmentSeconds / kReleaseSeconds));
    m_holdSegments = int(std::lround(kHoldSeconds / segmentSeconds));
    reset();
}

void Limiter::reset()
{
    m_ringL.fill(0.0f);
    m_ringR.fill(0.0f);
    m_peaks.fill(0.0f);
    // The ring starts out holding kDelayFrames frames of silence, so the first frame out is
    // output frame 0 of segment 0.
    m_in = kDelayFrames;
    m_gain = m_nextGain = 1.0f;
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
    // kLookAheadSegments - 1 segments are known.
    const float previous = m_gain;
    float gain = previous;
    if (m_holdLeft > 0)
        --m_holdLeft;
    else
        gain = std::min(1.0f, previous + (1.0f - previous) * m_releasePerSegment);
    // Head for every known requirement in a straight line, so as to meet it just in time; the
    // nearest one (m = 0) is met at this very point, which is what keeps the ceiling.
    for (int m = 0; m + 1 < kLookAheadSegments; ++m) {
        const std::uint64_t s = segment + std::uint64_t(m);
        const float required = std::min(needOf(s - 1), needOf(s));
        gain = std::min(gain, previous + (required - previous) / float(m + 1));
    }
    if (gain < previous)
        m_holdLeft = m_holdSegments;
    return gain;
}

void Limiter::process(float* left, float* right, int frames)
{
    constexpr std::uint64_t mask = kRingFrames - 1;
    constexpr float perFrame = 1.0f / float(kSegment);
    int k = 0;
    while (k < frames) {
        const std::uint64_t in = m_in;
        const std::uint64_t out = in - kDelayFrames;
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
        const float* __restrict outL = m_ringL.data() + ((in - kDelayFrames) & mask);
        const float* __restrict outR = m_ringR.data() + ((in - kDelayFrames) & mask);
        float* __restrict l = left + k;
        float* __restrict r = right + k;
        float peak = m_peaks[inSegment % kPeakSlots];
        for (int j = 0; j < n; ++j)
            peak = std::max(peak, std::max(std::fabs(l[j]), std::fabs(r[j])));
        const float g0 = m_gain + (m_nextGain - m_gain) * perFrame * float(offset);
        const float dg = (m_nextGain - m_gain) * perFrame;
        for (int j = 0; j < n; ++j) {
            const float g = g0 + dg * float(j);
            const float xl = l[j], xr = r[j];
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
