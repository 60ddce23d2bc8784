#pragma once

// Building blocks for loops that repeat without a seam. Every signal here is one period of a
// periodic signal: noise is made in the frequency domain over the whole loop, filters are
// circular, slow envelopes contain whole cycles only and events wrap their tails past the end.

#include <cstdint>
#include <functional>
#include <vector>

namespace sonaveil::synth {

using Signal = std::vector<float>;
// Magnitude response, a function of frequency in Hz (zero phase).
using Response = std::function<double(double hz)>;

// xoshiro256** seeded through splitmix64: the same seed gives the same stream everywhere.
class Rng {
public:
    explicit Rng(std::uint64_t seed);
    // Inline: live sounds draw several numbers per event.
    std::uint64_t next()
    {
        const std::uint64_t result = rotl(m_s[1] * 5, 7) * 9;
        const std::uint64_t t = m_s[1] << 17;
        m_s[2] ^= m_s[0];
        m_s[3] ^= m_s[1];
        m_s[1] ^= m_s[2];
        m_s[0] ^= m_s[3];
        m_s[2] ^= t;
        m_s[3] = rotl(m_s[3], 45);
        return result;
    }
    // Uniform in [0, 1).
    double uniform() { return double(next() >> 11) * (1.0 / 9007199254740992.0); }
    double range(double lo, double hi) { return lo + (hi - lo) * uniform(); }
    // Standard normal.
    double gauss();
    // exp(sigma * N(0,1)): sizes of drops, crackles and the like.
    double logNormal(double sigma);
    // A child stream, so that a change in one layer leaves the others as they were.
    Rng fork();

private:
    static std::uint64_t rotl(std::uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }

    std::uint64_t m_s[4];
};

// One period: `frames` frames at `rate` Hz.
struct Loop {
    int rate = 44100;
    long frames = 0;
    double seconds() const { return double(frames) / rate; }
    // The nearest frequency with a whole number of cycles in the loop (never 0 for hz > 0).
    double wholeCycles(double hz) const;
    long at(double seconds) const;
};

Loop makeLoop(int rate, double seconds);

// Noise with the magnitude `response` and random phases, scaled to RMS 1.
Signal shapedNoise(const Loop& loop, Rng& rng, const Response& response);
// Circular zero-phase filtering of a whole loop.
void filter(Signal& x, const Loop& loop, const Response& response);
// Zero-mean smooth random motion below `maxHz`, RMS 1.
Signal slowNoise(const Loop& loop, Rng& rng, double maxHz);
// 1 + depth * slowNoise, kept above `floor`.
Signal wobble(const Loop& loop, Rng& rng, double maxHz, double depth, double floor = 0.05);
// Samples fn(t seconds) every `step` frames and interpolates; fn must be periodic in the loop.
Signal envelope(const Loop& loop, const std::function<double(double)>& fn, int step = 16);

double rms(const Signal& x);
void scaleToRms(Signal& x, double target);
// into += gain * x (gain in dB).
void mixDb(Signal& into, const Signal& x, double gainDb);
void multiply(Signal& x, const Signal& envelope);

// Adds `kernel` at frame `start`, wrapping past the loop's end.
void addWrapped(Signal& into, long start, const Signal& kernel, float gain = 1.0f);
// Poisson event times in [0, seconds).
std::vector<double> poissonTimes(Rng& rng, double ratePerSecond, double seconds);
// Signed circular distance t - centre in (-period/2, period/2].
double circularOffset(double t, double centre, double period);

// Responses.
Response lowpass(double hz, int order);
Response highpass(double hz, int order);
Response bandpass(double lo, double hi, int order);
// Slope in dB per octave of power, 0 dB at `refHz`.
Response tilt(double dbPerOctave, double refHz = 1000.0);
// A bump of `gainDb` at `hz`, `octaves` wide (Gaussian on a log-frequency axis).
Response bump(double hz, double octaves, double gainDb);
Response product(std::vector<Response> parts);
Response sum(std::vector<Response> parts);

double dbToGain(double db);

// An inverse real FFT of `n` points, planned once per size (FFTW_ESTIMATE, under the planner's
// lock) and kept for the program's life. runInverse() executes it without locking, from any
// thread, on buffers from fftBuffer(): n / 2 + 1 interleaved complex bins in, n frames out (not
// divided by n; the bins are overwritten).
const void* inversePlan(int n);
void runInverse(const void* plan, float* bins, float* out);
// The forward transform of the same kind: n frames in (overwritten), n / 2 + 1 bins out.
const void* forwardPlan(int n);
void runForward(const void* plan, float* in, float* bins);
// A complex inverse FFT of `n` points, planned as inversePlan() is: n interleaved complex values
// in (kept), n out, not divided by n.
const void* complexInversePlan(int n);
void runComplexInverse(const void* plan, const float* in, float* out);
float* fftBuffer(std::size_t floats);
void freeFftBuffer(float* buffer);

} // namespace sonaveil::synth
