#pragma once

// The per-frame loops of the live building blocks (live.h), each with a plain copy and, where the
// processor has AVX2 and FMA, a vector one that gives the same result; the plain copy runs
// otherwise (simd.h). Nothing here allocates, locks or calls the system.

#include "synth/live.h"

#include <cstdint>
#include <vector>

namespace sonaveil::synth::live {

// Unit phasors for the noise spectra (cos, sin interleaved): a random index per bin is cheaper
// than a sine and cosine. Made on the first call; call it before a sound plays.
const std::vector<float>& phasors();
// e^(2πik / n) for k < n / 2, interleaved, n = NoiseStream::kSize: the twist that folds a real
// spectrum of n points into a complex one of n / 2. Made on the first call.
const std::vector<float>& halfTwist();

// r[i] += gain · k[i].
void addScaled(float* r, const float* k, int n, float gain);
void addScaled16(float* r, const std::int16_t* k, int n, float gain);
inline void addScaled(float* r, const std::int16_t* k, int n, float gain)
{
    addScaled16(r, k, n, gain);
}
// o += r, r = 0.
void drain(float* o, float* r, int n);
// The overlap of two noise frames: the head of `frame` fades in over the saved tail of the last
// (w the fade-in), and its own tail, from `tail` on, is saved, faded out, for the next.
void crossFade(float* frame, float* overlap, const float* w, int n, int tail);

// v[i] = the table (2^bits entries and a guard) read with linear interpolation at phase + i step,
// for n frames; the phase's top bits are the index.
void readTable(const float* t, int bits, std::uint32_t phase, std::uint32_t step, float* v, int n = kBlock);

// y[n] = sum over t < phases of taps[(n & 3) + 4t] · h[n - 4t] for the kBlock frames of a block,
// h the history of held baseband frames at the block's start: four-fold polyphase interpolation.
void interpolate(const float* taps, int phases, const float* h, float* y);
// out += Re((yr + i yi) · (cr + i ci) · (tr + i ti)) for a block: the interpolated band turned
// up to its centre, (cr, ci) the phase at the block's start, (tr, ti) the turn since.
void shiftUp(const float* yr, const float* yi, float cr, float ci, const float* tr, const float* ti, float* out);

// One block of a band up to the rate: the baseband frames x (re, im; history before them) to
// twice the rate in z (history before it), to the rate, shifted up into out; then the histories
// moved on and x's new frames cleared.
struct BandUp {
    const float* firstTaps;
    int first;
    const float* secondTaps;
    int second;
    float *xr, *xi, *zr, *zi; // at the new frames, historyFirst / historySecond after the arrays' starts
    int historyFirst, historySecond;
};
void bandUp(const BandUp& b, float cr, float ci, const float* tr, const float* ti, float* out);

// re[i] += g(i) · shape[i] · f[2i], im[i] += … f[2i + 1] for a block's Baseband::kFrames:
// interleaved complex frames into a band, g ramping from g0 by `step` a frame.
void addToBand(const float* f, const float* shape, float g0, float step, float* re, float* im);

// Bins k0 … k1 (a multiple of 8 apart) of a noise spectrum: magnitude times a random phasor, the
// phases from eight xorshift generators (lanes), one for each of eight neighbouring bins.
void fillBins(float* bins, const float* magnitude, std::uint32_t* lanes, int k0, int k1);

// From the bins x[0 … n/2] of a real signal's spectrum, the n / 2 complex bins whose inverse
// transform holds the signal's even frames as real parts and its odd frames as imaginary parts.
void fold(const float* x, const float* twist, int n, float* z);

} // namespace sonaveil::synth::live
