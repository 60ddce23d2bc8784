#pragma once

// Streaming counterparts of the loop building blocks (dsp.h, layers.h), for sounds that are made
// as they play and never repeat. Everything is allocated on construction; the per-frame work is
// cheap and never allocates, locks or calls the system, so a live sound can run on the mixing
// thread. The per-frame loops run as AVX2 where the processor has it (simd.h).
//
// The unit of work is a block of kBlock frames: slow motions (wobbles, densities, envelopes) are
// evaluated once per block and ramped linearly across it; noise, hums, pulses and events are made
// per frame. A live recipe owns its parts and, per block, asks each for its frames:
//
//   NoiseStream   shapedNoise() made live: overlap-added random-spectrum frames, RMS 1.
//   Baseband      a narrow or low band carried at a quarter of the rate as complex frames, its
//                 parts summed there and brought up to the rate once; BasebandNoise is a
//                 NoiseStream made in it.
//   SlowNoise     slowNoise() made live: a smooth random motion, RMS 1; Wobble is 1 + depth · it.
//   KernelBank    a set of pre-made event variants (drops, ticks, bubbles, knocks), already through
//                 the layer's colour, with their mean energy for levelling.
//   Poisson       random event times within each block, optionally thinned by a density.
//   EventRing     where events are added whole, ahead of time, and read out block by block.
//   HumVoice      hum() made live: a wavetable of the harmonic sum whose pitch wanders.
//   Machine       machine() made live: air noise and hums.
//   PulseTrain    a periodic shape (tymbal pulses, amplitude beats) read from a table at a rate
//                 that drifts slowly at random.
//
// A sound's layers are levelled as its file recipe levels them (RMS 1, then the recipe's dB), from
// what each part promises: NoiseStream and SlowNoise RMS 1, Wobble::meanSquare(),
// KernelBank::layerRms(), PulseTrain::meanSquare(). liverecipes.h turns them into generators;
// livenature.cpp and livemachines.cpp hold the recipes, layer for layer beside nature.cpp and
// machines.cpp.

#include "synth/dsp.h"
#include "synth/layers.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

namespace sonaveil::synth::live {

inline constexpr int kBlock = 64;

// The high-pass every sample file gets (removeRumble), as a response to fold into live noise.
Response rumbleFilter();

// Gaussian-ish noise with the magnitude `response` (times rumbleFilter()), RMS 1, made per hop of
// kHop frames from one inverse FFT of a random-phase spectrum. Each frame is one period of a
// periodic noise, so it needs no window to keep its spectrum: frames are only cross-faded over
// kOverlap frames, with sine and cosine tapers whose squares sum to one (constant power).
class NoiseStream {
public:
    static constexpr int kSize = 4096;
    static constexpr int kOverlap = 512;
    static constexpr int kHop = kSize - kOverlap;

    NoiseStream(int rate, const Response& response, Rng& rng);
    ~NoiseStream();
    NoiseStream(const NoiseStream&) = delete;
    NoiseStream& operator=(const NoiseStream&) = delete;

    // Writes the next n frames.
    void read(float* out, int n);
    // Adds the next n frames times a gain ramping from g0 to g1.
    void addRamped(float* out, int n, float g0, float g1);

private:
    void refill();

    Rng m_rng;
    std::vector<float> m_magnitude; // per bin, scaled so that the output has RMS 1; 0 off the band
    int m_firstBin = 1, m_lastBin = 0;
    int m_groupFirst = 0, m_groupEnd = 0; // the band's bins in whole groups of eight
    std::uint32_t m_lanes[8] = {};      // the random phases' generators
    const void* m_plan = nullptr;
    float* m_bins = nullptr;   // kSize / 2 + 1 complex values
    float* m_folded = nullptr; // kSize / 2 complex values, FFTW-aligned
    float* m_frame = nullptr; // kSize values, FFTW-aligned; its first kHop are read out
    std::vector<float> m_window, m_overlap;
    int m_position = kHop;
};

// A band of sound around `centreHz` carried as complex frames at a quarter of the rate: the parts
// of a narrow band (insect songs) are made there, four times cheaper, and summed; add() brings
// the sum up to the rate (one interpolator, or two half-band ones each doubling the rate,
// whichever is cheaper for the reach) and shifts it up to the centre. A complex frame z stands for the real sound Re(z · e^(iωt)).
class Baseband {
public:
    static constexpr int kDecimation = 4;
    static constexpr int kFrames = kBlock / kDecimation; // per block
    // The longest interpolators: 4 · k + 1 taps, 2 · k of them not 0 and not the middle one.
    static constexpr int kMostFirst = 10, kMostSecond = 6;
    // The longest single interpolator.
    static constexpr int kTaps = 64;

    // With `reachHz`, the shortest interpolators (cheaper) whose reach covers it; without, those
    // that reach 0.36 of the band's rate (about 4 kHz at 44.1 kHz).
    Baseband(int rate, double centreHz, double reachHz = 0.0);
    // Frames per second of the band's complex frames: a kDecimation-th of the output rate.
    int basebandRate() const { return m_outputRate / kDecimation; }
    double centre() const { return m_centre; }
    // How far from the centre a part may reach before the interpolators let its images through.
    double reach() const { return m_reach; }
    // The interpolators' gain at a baseband frequency (Hz from the centre).
    double gain(double offsetHz) const;
    // Multiply-adds per block (both parts of the complex frames), for choosing the cheapest.
    int work() const
    {
        return m_two ? 2 * (2 * m_first * kFrames + 2 * m_second * 2 * kFrames) : 2 * m_tapsCount * kBlock / kDecimation;
    }
    // Whether the band goes up in two steps.
    bool twoSteps() const { return m_two; }
    // This block's frames, summed into by the parts; add() clears them.
    float* re() { return m_xRe + kHistoryFirst; }
    float* im() { return m_xIm + kHistoryFirst; }
    // Adds the next kBlock frames.
    void add(float* out);

private:
    static constexpr int kHistoryFirst = 24, kHistorySecond = 16;
    // Designs one interpolator of `taps` taps, or two of 4 · first + 1 and 4 · second + 1 taps, and
    // finds the reach.
    void designOne(int taps);
    void designTwo(int first, int second);
    bool imagesStopped(double offsetHz) const;
    bool reaches(double hz) const;
    void findReach();
    void setTurns();
    void addOne(float* out);

    int m_outputRate;
    double m_centre, m_reach = 0.0;
    bool m_two = true;
    int m_first = kMostFirst, m_second = kMostSecond;
    // The single interpolator: its taps, and the last kTaps frames of each part, every baseband
    // frame held kDecimation times, then the new block's.
    int m_tapsCount = kTaps;
    alignas(32) float m_taps[kTaps] = {};
    alignas(32) float m_historyRe[kTaps + kBlock] = {};
    alignas(32) float m_historyIm[kTaps + kBlock] = {};
    // The odd phases' taps of each (the even phase is the middle tap: a delay).
    alignas(32) float m_firstTaps[2 * kMostFirst] = {};
    alignas(32) float m_secondTaps[2 * kMostSecond] = {};
    // The frames at the baseband rate and at twice it: the last ones before this block, then
    // this block's.
    alignas(32) float m_xRe[kHistoryFirst + kFrames] = {};
    alignas(32) float m_xIm[kHistoryFirst + kFrames] = {};
    alignas(32) float m_zRe[kHistorySecond + 2 * kFrames] = {};
    alignas(32) float m_zIm[kHistorySecond + 2 * kFrames] = {};
    // e^(iωn) for the frames of a block, and the phase at the block's start.
    std::vector<float> m_turnRe, m_turnIm;
    // e^(iφ) at the block's start and its turn per block.
    std::complex<double> m_phase{1.0, 0.0}, m_blockTurn{1.0, 0.0};
};

// Noise for a Baseband: complex frames whose spectrum at offset f is `response` at centre + f
// (times rumbleFilter() and the interpolator's correction), nothing outside lo … hi Hz (within
// the band's reach); its real part at the centre has RMS 1 before the rumble filter, as
// NoiseStream does. Frames of kSize, cross-faded as NoiseStream's.
class BasebandNoise {
public:
    static constexpr int kSize = 1024;
    static constexpr int kOverlap = 128;
    static constexpr int kHop = kSize - kOverlap;

    BasebandNoise(const Baseband& band, const Response& response, double lo, double hi, Rng& rng);
    ~BasebandNoise();
    BasebandNoise(const BasebandNoise&) = delete;
    BasebandNoise& operator=(const BasebandNoise&) = delete;

    // Adds the next Baseband::kFrames frames to the band's, times a gain ramping from g0 to g1
    // over the block and, when given, times shape[i].
    void addRamped(Baseband& band, float g0, float g1, const float* shape = nullptr);

private:
    void refill();

    Rng m_rng;
    std::vector<float> m_magnitude; // per bin (0 … kSize - 1, negative offsets from kSize / 2), 0 off the band
    // The band's bins in whole groups of eight: [from, to) in each of two stretches (the band
    // may wrap past the last bin to the first).
    int m_from[2] = {}, m_to[2] = {};
    std::uint32_t m_lanes[8] = {}; // the random phases' generators
    const void* m_plan = nullptr;
    float* m_spectrum = nullptr; // kSize interleaved complex values, 0 off the band
    float* m_frame = nullptr;    // kSize interleaved complex values
    std::vector<float> m_window, m_overlap;
    int m_position = kHop;
};

// A smooth random motion below about `maxHz`, RMS about 1: a cubic B-spline through Gaussian
// control points spaced 0.5 / maxHz apart, sampled at each block's end.
class SlowNoise {
public:
    SlowNoise(int rate, Rng& rng, double maxHz);
    // The value at the end of the next block.
    float next();

private:
    // The spline's segment between m_p[1] and m_p[2] as a cubic in the parameter, times m_scale.
    void segment();

    Rng m_rng;
    double m_step;  // of the spline parameter per block
    double m_u = 0.0;
    double m_p[4];
    double m_c[4] = {};
    double m_scale;
};

// 1 + depth · SlowNoise, kept above `floor`; per block it gives the ramp from the last value.
class Wobble {
public:
    Wobble(int rate, Rng& rng, double maxHz, double depth, double floor = 0.05);
    // Advances one block; from() and to() are the ramp's ends.
    void next();
    float from() const { return m_from; }
    float to() const { return m_to; }
    // E[value] and E[value²] of the motion, for levelling the layer it shapes.
    double mean() const { return moment(1); }
    double meanSquare() const { return moment(2); }

private:
    double moment(int power) const;

    SlowNoise m_slow;
    double m_depth, m_floor;
    float m_from = 1.0f, m_to = 1.0f;
};

// The size at `share` of the recipes' capped log-normal sizes: min(cap, exp(sigma · z)) with z
// the standard normal quantile of share.
double sizeAt(double share, double sigma, double cap);
// The standard normal quantile of share.
double normalQuantile(double share);
// lo + share · (hi - lo), and its log-uniform counterpart.
inline double spread(double share, double lo, double hi) { return lo + share * (hi - lo); }
inline double logSpread(double share, double lo, double hi) { return lo * std::pow(hi / lo, share); }

// x[i] *= a ramp from g0 to g1 over n frames.
void multiplyRamp(float* x, int n, float g0, float g1);
// out[i] += x[i] * a ramp from g0 to g1.
void addRamp(float* out, const float* x, int n, float g0, float g1);

// Event variants, made once, kept in one block of memory.
class KernelBank {
public:
    // Where a variant sits in the bank's spread of parameters: `size` goes through (0, 1) over
    // the bank, `pitch` and `length` follow a low-discrepancy lattice against it, so that a size
    // drawn with sizeAt(), a pitch with logSpread() and a decay with spread() cover their ranges
    // evenly and independently: a bank of a hundred drops has the spectrum of a million. The
    // sizes crowd towards 1, where the few big events that carry most of a layer's energy are,
    // and choose() picks each variant as often as its share of (0, 1) says.
    struct Shares {
        double size, pitch, length;
    };
    // `count` variants from make(rng, shares); each is passed through `colour` (zero phase, as
    // filter() does to a whole loop) when one is given.
    using Maker = std::function<Signal(Rng&, const Shares&)>;
    KernelBank(int count, int rate, Rng& rng, const Maker& make, const Response& colour = {});
    int size() const { return int(m_offsets.size()); }
    // A variant at random, from random bits.
    int choose(std::uint64_t bits) const { return m_pick[bits & (kPicks - 1)]; }
    // Variant i as 16-bit frames; times scale(i) they are the variant.
    const std::int16_t* data(int i) const { return m_data.data() + m_offsets[std::size_t(i)]; }
    float scale(int i) const { return m_scales[std::size_t(i)]; }
    int length(int i) const { return m_lengths[std::size_t(i)]; }
    int longest() const { return m_longest; }
    // The mean sum of squares of an event chosen by choose(): what it adds to a layer's energy.
    double meanEnergy() const { return m_meanEnergy; }
    // RMS of a layer with `perSecond` events of mean square gain `gainSquare` at `rate`.
    double layerRms(double perSecond, int rate, double gainSquare = 1.0) const;

private:
    static constexpr std::size_t kPicks = 4096;

    // 16 bits, each variant scaled to its own peak: half the memory of floats, and a step of
    // -96 dB under each event is far below anything it is heard against.
    std::vector<std::int16_t> m_data;
    std::vector<float> m_scales;
    std::vector<std::uint16_t> m_pick;
    std::vector<std::size_t> m_offsets;
    std::vector<int> m_lengths;
    int m_longest = 0;
    double m_meanEnergy = 0.0;
};

// -ln(x) for x in (0, 1], within about 1e-7 (the time between two events needs no more): the
// exponent and an odd series in (m - 1) / (m + 1) for the mantissa m, a few times cheaper than
// std::log.
inline double minusLog(double x)
{
    std::uint64_t bits;
    std::memcpy(&bits, &x, sizeof bits);
    const int exponent = int((bits >> 52) & 0x7FF) - 1023;
    bits = (bits & 0x000FFFFFFFFFFFFFull) | 0x3FF0000000000000ull;
    double m;
    std::memcpy(&m, &bits, sizeof m);
    const double t = (m - 1.0) / (m + 1.0), t2 = t * t;
    const double series = t * (2.0 + t2 * (2.0 / 3.0 + t2 * (2.0 / 5.0 + t2 * (2.0 / 7.0 + t2 * (2.0 / 9.0 + t2 * (2.0 / 11.0))))));
    return std::max(0.0, -(exponent * 0.69314718055994530942 + series));
}

// Poisson times at `perSecond` (its highest rate); each block, each time is kept with chance
// `keep` (a density below 1 thins it).
class Poisson {
public:
    Poisson(double perSecond, int rate, Rng& rng);
    // Calls at(frameInBlock) for each event of the next block.
    template <typename F>
    void block(double keep, F&& at)
    {
        while (m_untilNext < kBlock) {
            if (keep >= 1.0 || m_rng.uniform() < keep)
                at(int(m_untilNext));
            m_untilNext += gap();
        }
        m_untilNext -= kBlock;
    }
    Rng& rng() { return m_rng; }

private:
    double gap() { return minusLog(1.0 - m_rng.uniform()) * m_meanGap; }

    Rng m_rng;
    double m_meanGap;
    double m_untilNext;
};

// A ring the events of a sound are added into, whole, when they are placed; read() takes out a
// block (adding it to the output) and clears it. `reach` must cover the longest event plus how far
// ahead of the current block events are placed.
class EventRing {
public:
    explicit EventRing(int reach);
    // Adds `n` frames of `kernel` times `gain`, starting `ahead` frames after the start of the
    // block read next.
    void add(const float* kernel, int n, long ahead, float gain);
    void add(const std::int16_t* kernel, int n, long ahead, float gain);
    void add(const KernelBank& bank, int variant, long ahead, float gain)
    {
        add(bank.data(variant), bank.length(variant), ahead, gain * bank.scale(variant));
    }
    void read(float* out, int n);
    int reach() const { return int(m_ring.size()) - kBlock; }

private:
    template <class Sample>
    void place(const Sample* kernel, int n, long ahead, float gain);

    std::vector<float> m_ring;
    std::size_t m_mask;
    std::size_t m_start = 0;
};

// A steady hum (layers.h's Hum): one cycle of its harmonic sum in a table, RMS from levelDb,
// read at f0 whose phase wanders by widthHz / 2 radians (as hum() does) and whose base drifts
// slowly by up to about `drift` (a fraction) so that two hums never keep the same beat.
class HumVoice {
public:
    static constexpr int kTableBits = 11;
    static constexpr int kTable = 1 << kTableBits;
    HumVoice(int rate, Rng& rng, const Hum& hum, double drift = 0.002);
    // Adds the next kBlock frames.
    void add(float* out);

private:
    Rng m_rng;
    std::vector<float> m_table; // kTable + 1 entries, the last the first again
    double m_rate, m_f0, m_depth, m_drift;
    SlowNoise m_wander, m_baseDrift;
    double m_lastWander;
    std::uint32_t m_phase;
};

// A periodic shape read from a table (one cycle) at `hz`, the rate drifting by up to about
// `drift` (a fraction) over tens of seconds.
class PulseTrain {
public:
    static constexpr int kTableBits = 10;
    static constexpr int kTable = 1 << kTableBits;
    PulseTrain(int rate, Rng& rng, const std::function<double(double phase)>& shape, double hz, double drift);
    // x[i] *= the next kBlock frames of the shape.
    void multiply(float* x);
    // The next kBlock frames of the shape, every `step`th of them (kBlock / step values).
    void values(float* v, int step);
    // The mean square of the shape over a cycle.
    double meanSquare() const { return m_meanSquare; }

private:
    std::vector<float> m_table;
    double m_rate, m_hz, m_drift;
    SlowNoise m_wobble;
    std::uint32_t m_phase;
    double m_meanSquare = 0.0;
};

// machine(): broadband air at airDb plus the hums at their own levels.
class Machine {
public:
    Machine(int rate, Rng& rng, const Response& air, double airDb, const std::vector<Hum>& hums);
    // Adds the next kBlock frames times `gain`.
    void add(float* out, float gain = 1.0f);

private:
    NoiseStream m_air;
    float m_airGain;
    std::vector<std::unique_ptr<HumVoice>> m_hums;
};

// layers.h's bubble() and knock() made by recurrences instead of a sine and an exponential per
// frame: the same kernels to float precision, quick enough to fill a bank on construction.
Signal quickBubble(int rate, double hz, double tauMs, double rise);
Signal quickKnock(int rate, double hz, double tauMs);

// The raised-cosine pulse of layers.h's insect(): duty share of each cycle, `depth` deep.
std::function<double(double)> tymbalPulse(double duty, double depth);
// 1 + depth · sin(2π phase + phase0): amplitudeBeat().
std::function<double(double)> sineBeat(double depth, double phase0 = 0.0);

} // namespace sonaveil::synth::live
