#pragma once

#include <array>
#include <cstdint>

namespace sonaveil::audio {

// Look-ahead peak limiter for the mixed output. The signal leaves kDelayFrames later than it
// enters, so the gain can start to fall before a peak arrives: it moves in straight lines
// between points kSegment frames apart, each point planned from the peaks still to come, and
// never lets the sound exceed the ceiling, between frames included: the peaks it plans for are
// true peaks, found at four times the rate. The gain has two stages: a slow one that settles where
// sound that stays loud needs it and recovers over seconds, so steady sound is turned down
// evenly instead of pumping with its peaks, and a fast one that catches a lone peak above that
// and lets go within tens of milliseconds. Nothing is waveshaped: every frame of both channels
// is multiplied by the same gain.
class Limiter {
public:
    static constexpr int kSegment = 32;
    static constexpr int kLookAheadSegments = 8;
    // Frames by which the true-peak finder looks ahead of the frame it measures.
    static constexpr int kTruePeakLag = 8;
    static constexpr int kDelayFrames = kSegment * kLookAheadSegments + kTruePeakLag;
    static constexpr int kInterpolationTapCount = 16;
    static constexpr int kPeakSlotCount = 16; // holds the segment going out and those ahead of it

    // `ceiling` as a linear amplitude (0.891 is -1 dBFS).
    Limiter(int sampleRate, float ceiling);

    // Takes `frames` frames of the two channels in and writes the frames that went in
    // kDelayFrames earlier, limited, in their place. Any block size.
    void process(float* left, float* right, int frames);
    // Forgets the delayed sound (silence comes out next) and the gain reduction.
    void reset();

    // What the limiter carries from one process() to the next, and no more: the frames it
    // delays, those its true-peak finder reads again, the peaks ahead and where its gain
    // stands. A limiter that takes back a state goes on exactly as the one that gave it did.
    // A third the size of the whole limiter, for callers that keep many states.
    struct State {
        std::uint64_t in = 0;
        float gain = 1.0f, nextGain = 1.0f;
        float slow = 1.0f, fast = 1.0f;
        int holdLeft = 0;
        std::array<float, kPeakSlotCount> peaks{};
        std::array<float, kSegment * kLookAheadSegments> delayedL{}, delayedR{};
        std::array<float, kTruePeakLag + kInterpolationTapCount / 2 - 1> historyL{}, historyR{};
    };
    void save(State& state) const;
    // Only a state this limiter (or one made with the same rate and ceiling) saved.
    void restore(const State& state);

    float ceiling() const { return m_ceiling; }
    // The gain at the start of the segment going out (1 when nothing is limited).
    float gain() const { return m_gain; }

private:
    static constexpr int kCoreDelay = kSegment * kLookAheadSegments;
    static constexpr int kRingFrames = 2 * kCoreDelay;           // a power of two
    static constexpr int kInterpolationTaps = kInterpolationTapCount;
    // The frames kept from one chunk to the next: those the true-peak finder still reads.
    static constexpr int kHistory = kTruePeakLag + kInterpolationTaps / 2 - 1;
    static constexpr int kChunk = 128;
    static constexpr int kPeakSlots = kPeakSlotCount;
    static_assert(kPeakSlots > kLookAheadSegments);

    // Plans the gain at the start of segment `segment` (whose input is complete up to
    // segment + kLookAheadSegments - 1).
    float planPoint(std::uint64_t segment);
    // Delays `n` frames (at most kChunk) by kTruePeakLag into m_delayed*, with the true peak of
    // each (the largest of the frame and the three points after it at four times the rate).
    void findTruePeaks(const float* left, const float* right, int n);
    void limit(float* left, float* right, int n);
    float needOf(std::uint64_t segment) const;

    float m_ceiling;
    float m_slowAttack;         // share of the way down the slow stage goes per segment
    float m_releasePerSegment;  // share of the distance to 1 the slow stage recovers per segment
    float m_fastRelease;        // the same for the fast stage
    int m_holdSegments;
    int m_holdLeft = 0;
    float m_slow = 1.0f;        // the two stages' gains at the last planned point
    float m_fast = 1.0f;

    std::uint64_t m_in = 0;     // frames taken in so far
    float m_gain = 1.0f;        // gain at the last planned point
    float m_nextGain = 1.0f;    // gain at the point after it
    std::uint64_t m_planned = 0; // segment whose start point is m_gain
    std::array<float, kPeakSlots> m_peaks{}; // per input segment, ring
    std::array<float, kRingFrames> m_ringL{};
    std::array<float, kRingFrames> m_ringR{};

    // Coefficients for the points a quarter, a half and three quarters of the way to the next
    // frame, from the frames kInterpolationTaps / 2 - 1 before to kInterpolationTaps / 2 after.
    std::array<std::array<float, kInterpolationTaps>, 3> m_interpolation{};
    // Frames whose neighbours all stay below this cannot have a point between them above the
    // ceiling: the ceiling over the largest sum of an interpolation row's magnitudes.
    float m_quietBelow = 0.0f;
    // The last kHistory frames taken in, oldest first, then the chunk being measured.
    alignas(32) std::array<float, kHistory + kChunk + 8> m_windowL{};
    alignas(32) std::array<float, kHistory + kChunk + 8> m_windowR{};
    std::array<float, kChunk> m_delayedL{}, m_delayedR{}, m_truePeak{};
};

} // namespace sonaveil::audio
