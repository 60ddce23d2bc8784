#pragma once

#include "audio/sample.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

namespace sonaveil::audio {

// Band-limited interpolation of a mono source at any speed: a polyphase Kaiser-windowed sinc.
// Up to one source frame per output frame it removes the source's images above its own Nyquist
// frequency; faster, its cut-off and its length scale with the speed so that nothing folds back
// below the output's Nyquist frequency.
//
// Speeds are grouped in classes twelve to the octave; class c serves speeds up to topSpeed(c),
// with the cut-off of that speed (so a voice loses at most a semitone's worth of its top). Each
// class holds one table of 16-bit coefficients: kPhases + 1 rows of `taps` coefficients, row p
// the kernel at p / kPhases of a frame, each summing to exactly `unity` (no ripple at low
// frequencies, whatever the phase). A frame is the dot product of the source frames under it
// with the two rows around its fraction, interpolated between them; the rows are read against
// the source frames with plain unaligned loads: no gathers. The tables stay small (16 KB at
// natural speed), so they stay in the first-level cache while 35 voices mix.
struct KernelTable {
    static constexpr int kPhaseBits = 8;
    static constexpr int kPhases = 1 << kPhaseBits;
    int taps = 0;
    int unity = 0;      // what every row sums to
    float scale = 0.0f; // turns a dot product of 16-bit frames and a row into full scale ±1
    std::vector<std::int16_t> coefficients; // (kPhases + 1) × taps

    // Slow voices read the same source frames for many output frames in a row. For them the
    // table of speeds up to natural also holds the kernel as polynomials: tap j's weight at
    // fraction f is sum over m of polynomial[m * taps / 2 + j] * u^m with u = 2f - 1 (for the
    // taps of the first half; tap taps - 1 - j is tap j mirrored, u -> -u), with the frames'
    // 1 / 32768 folded in. Then a source frame costs kOrder sums once, however many output frames
    // read it, and each output frame a polynomial of degree kOrder - 1. Empty in other classes.
    static constexpr int kOrder = 7;
    std::vector<float> polynomial;
    // The same coefficients each repeated in eight lanes, for vector code that multiplies eight
    // source positions by one coefficient without broadcasting it first.
    struct alignas(32) EightLanes {
        float lane[8];
    };
    std::vector<EightLanes> polynomialLanes;
};

class ResamplingKernel {
public:
    static constexpr int kBaseTaps = 32;
    static constexpr int kClassesPerOctave = 12;
    static constexpr double kMaxSpeed = 8.0;
    static constexpr int kClasses = 3 * kClassesPerOctave + 1; // up to kMaxSpeed
    static constexpr int kMaxTaps = 8 * kBaseTaps;
    // Below this step (32.32 fixed point) a voice is mixed from the polynomials: there they cost
    // less than the rows, the more so the slower the voice. They come closer to the exact kernel
    // (within -90 dB up to the top of the band) than the rows' 16-bit coefficients (-82 dB).
    static constexpr std::uint64_t kSlowStep = std::uint64_t(5) << 28; // 0.3125

    // The frames read around position i (+ fraction): i - kReachBefore … i + kReachAfter.
    static constexpr int kReachBefore = kMaxTaps / 2 - 1;
    static constexpr int kReachAfter = kMaxTaps / 2;
    static_assert(Sample::kMarginBefore >= kReachBefore && Sample::kMarginAfter >= kReachAfter,
                  "a sample's margins must hold what the kernel reads");

    // The class a voice at `step` (32.32 fixed-point source frames per output frame) needs.
    static int classFor(std::uint64_t step);
    static double topSpeed(int speedClass);
    static int tapsOf(int speedClass);
    // Designs the table of one class (tens of milliseconds; never on the mixing thread).
    static std::unique_ptr<KernelTable> design(int speedClass);

    // The tables shared by every mixer; class 0 (speeds up to 1) exists from the start, the
    // others once build() has made them.
    static const KernelTable* table(int speedClass);
    // The table a voice of `speedClass` plays with now: its own, else the nearest faster one,
    // else the nearest slower one.
    static const KernelTable* bestBuilt(int speedClass);
    // Builds the table of `speedClass` unless it exists. Thread-safe; may take tens of ms.
    static void build(int speedClass);
};

// Adds `n` frames of a voice to `outL`/`outR`. Frame k reads around source position
// (frac + k * step) (32.32 fixed point, frac < 2^32) relative to `base`, and is weighted by gains
// that move linearly by dL, dR per frame.
void mixResampled(const KernelTable& table, const SourceFrame* base, std::uint64_t frac, std::uint64_t step,
                  int n, float gL, float dL, float gR, float dR, float* outL, float* outR);

// The same without any instruction set beyond the baseline (its sums are exact; the vector
// kernel's agree to a float's precision).
void mixResampledPortable(const KernelTable& table, const SourceFrame* base, std::uint64_t frac,
                          std::uint64_t step, int n, float gL, float dL, float gR, float dR, float* outL,
                          float* outR);

} // namespace sonaveil::audio
